#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "mixer/dialogs/TemplateRules.h"

using namespace TemplateRules;

namespace
{
Hardware With(std::initializer_list<int> features)
{
    Hardware hardware;
    for (int feature : features)
        hardware.f[feature] = true;
    return hardware;
}

std::string Narrow(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}
} // namespace

TEST(TemplateRulesTest, WhichTemplatesAHardwareGetsAndUnderWhichText)
{
    const struct
    {
        const char* label;
        const char16_t* name;
        int rate;
        Hardware hardware;
        bool oldDriver;
        const char* text; // null: not listed
    } cases[] = {
        {"rate tag first", u"(48) Tracking ", 1, With({0, 1}), false, "Tracking"},
        {"rate tag inside", u"Big (44.1)  Mix", 0, With({0, 1}), false, "Mix"},
        {"model tag", u"Live (Rastol)", 1, With({0, 1}), false, "Live"},
        {"model tag at the start", u"(Rastol)Live", 1, With({0, 1}), false, "Live"},
        {"no tag", u"Plain", 1, With({0}), false, "Plain"},
        {"Pavren without feature 2", u"Pavren Set", 1, With({0, 1}), false, nullptr},
        {"Rastol without feature 1", u"Rastol Set", 1, With({0, 2}), false, nullptr},
        {"Rastol without feature 0 at all", u"Rastol Set", 1, With({}), false, "Rastol Set"},
        {"Ostik on a plain card", u"Ostik Set", 1, With({0}), false, "Ostik Set"},
        {"Ostik with a dock", u"Ostik Set", 1, With({0, 1}), false, nullptr},
        {"Sevrin without 5 or 6", u"Sevrin Set", 1, With({0}), false, nullptr},
        {"Sevrin model tag", u"Studio (Sevrin)", 1, With({5}), false, "Studio"},
        {"SevrinR without 6", u"Studio (SevrinR)", 1, With({5}), false, nullptr},
        {"Vondi on 9 without 10", u"Vondi Set", 1, With({9}), false, "Vondi Set"},
        {"Vondi on 9 and 10", u"Vondi Set", 1, With({9, 10}), false, nullptr},
        {"Quellin without 10", u"Quellin Set", 1, With({9}), false, nullptr},
        {"Quellin tag", u"Desk (Quellin)", 1, With({9, 10}), false, "Desk"},
        {"192 kHz, feature 5, old driver", u"(192) Hi", 3, With({5}), true, nullptr},
        {"192 kHz, feature 5, new driver", u"(192) Hi", 3, With({5}), false, "Hi"},
    };
    for (const auto& c : cases)
    {
        std::u16string text;
        const bool listed = ListedText(c.name, c.rate, c.hardware, c.oldDriver, text);
        EXPECT_EQ(listed, c.text != nullptr) << c.label;
        if (listed && c.text)
        {
            EXPECT_EQ(Narrow(text), c.text) << c.label;
        }
    }
}

TEST(TemplateRulesTest, DefaultsFirstThenByUnits)
{
    EXPECT_TRUE(GoesBefore(u"My DEFAULT", u"Alpha"));
    EXPECT_FALSE(GoesBefore(u"Alpha", u"Default"));
    EXPECT_TRUE(GoesBefore(u"Alpha", u"Beta"));
    EXPECT_FALSE(GoesBefore(u"Beta", u"Alpha"));
    EXPECT_TRUE(GoesBefore(u"Al", u"Alpha")) << "a unit past the end counts as 0";
    EXPECT_FALSE(GoesBefore(u"Alpha", u"Alpha")) << "equal texts keep their order";
    EXPECT_FALSE(GoesBefore(u"Alphabet", u"Alpha"));
}

TEST(TemplateRulesTest, PagesAndRates)
{
    const int pairs[][2] = {{0, 0}, {1, 1}, {4, 2}, {2, 3}, {5, 4}, {3, 5}};
    for (const auto& pair : pairs)
    {
        EXPECT_EQ(PageOfRate(pair[0]), pair[1]);
        EXPECT_EQ(RateOfPage(pair[1]), pair[0]);
    }
    EXPECT_EQ(PageOfRate(6), -1);
    EXPECT_EQ(RateOfPage(6), -1);
}
