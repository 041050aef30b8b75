#include "plugins/quorvel/EditorRules.h"
#include "plugins/quorvel/PresetInspectorText.h"

#include "plugins/quorvel/tests/FakeLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(EditorRules, ALampLightsStrictlyAboveMinus96Decibels)
{
    const struct
    {
        float level;
        bool lit;
    } cases[] = {
        {0.0f, false}, {1.5848931e-5f, false}, {-1.5848931e-5f, false}, {-2e-5f, true},
        {2e-5f, true}, {1.0f, true},           {-1.0f, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSignalLit(c.level), c.lit) << c.level;
}

TEST(EditorRules, APresetsComboTextPadsItsPositionAndMarksAUsersPreset)
{
    struct Case
    {
        int32_t position;
        int32_t number;
        bool user;
        const char16_t* text;
    };
    const Case cases[] = {
        {0, 0, false, u"000 - Hall"},         {9, 9, false, u"009 - Hall"},
        {10, 10, false, u"010 - Hall"},                                         // the tenth keeps one zero
        {99, 99, true, u"099 - Hall [user]"}, {100, 100, false, u"100 - Hall"}, // the hundredth none
        {120, 7, true, u"7 - Hall [user]"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(PresetComboText(c.position, c.number, u"Hall", c.user, u"[user]"), std::u16string(c.text));
    }
}

TEST(EditorRules, LibraryNamesFitTheEngineAndAreOneFolderName)
{
    const std::u16string longest(127, u'a');
    const struct
    {
        std::u16string name;
        LibraryNameCheck check;
    } cases[] = {
        {u"Vocal Chain", LibraryNameCheck::kAccepted},
        {longest, LibraryNameCheck::kAccepted},
        {longest + u"a", LibraryNameCheck::kTooLong},
        {std::u16string(300, u'.'), LibraryNameCheck::kTooLong},
        {u"a\\b", LibraryNameCheck::kInvalid},
        {u"a/b", LibraryNameCheck::kInvalid},
        {u"..", LibraryNameCheck::kInvalid},
        {u"C:", LibraryNameCheck::kInvalid},
        {u"", LibraryNameCheck::kInvalid},
        {u"nul", LibraryNameCheck::kInvalid},
        {u"name.", LibraryNameCheck::kInvalid},
        {u"a?", LibraryNameCheck::kInvalid},
        {u"tab\there", LibraryNameCheck::kInvalid},
        {u"Caf\u00e9 1.2", LibraryNameCheck::kAccepted},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLibraryName(c.name.data(), static_cast<int32_t>(c.name.size())), c.check)
            << std::string(c.name.begin(), c.name.end());
}

class InspectorLines : public testing::Test
{
protected:
    InspectorLines()
    {
        library_.categories = {
            {u"Core Effects",
             1,
             {{u"Reverb", FakeLibrary::Id(1), false, {}}, {u"Delay", FakeLibrary::Id(2), false, {}}}},
            {u"Factory Chains",
             0,
             {{u"Vocal Chain", FakeLibrary::Id(6), true, {}}, {u"Warm", FakeLibrary::Id(7), false, {}}}},
        };
        library_.categories[1].presets[0].effects = {
            {FakeLibrary::Id(1), {}, 1.0f},
            {EffectId{}, {}, 1.0f},
            {SpecialEffectId(kSpecialPeakMeter, 48000), {}, 1.0f},
            {FakeLibrary::Id(9), {}, 1.0f},
            {FakeLibrary::Id(2), {}, 1.0f},
        };
    }
    ~InspectorLines() override { EXPECT_EQ(link_.outstanding, 0); }

    std::shared_ptr<PresetEntry> Entry(int32_t category, int32_t preset)
    {
        std::shared_ptr<PresetCategory> c = catalog_.CategoryAt(category);
        c->PresetCount();
        return c->PresetAt(preset);
    }

    FakeModelLink link_;
    FakeLibrary library_{link_};
    EffectCatalog catalog_{&link_};
};

TEST_F(InspectorLines, AChainNamesItsEffectsAndLeavesUnknownAndZeroIdsBare)
{
    const std::vector<std::u16string> expected = {u"Vocal Chain:",  u"1. Reverb", u"2. ",
                                                  u"3. Peak Meter", u"4. ",       u"5. Delay"};
    EXPECT_EQ(PresetInspectorLines(catalog_, *Entry(1, 0), u"Vocal Chain"), expected);
    library_.chainFactory = 0;
    EffectCatalog fresh(&link_);
    std::shared_ptr<PresetCategory> chains = fresh.CategoryAt(1);
    chains->PresetCount();
    EXPECT_EQ(PresetInspectorLines(fresh, *chains->PresetAt(0), u"Vocal Chain [user]").front(), u"Vocal Chain [user]:");
}

TEST_F(InspectorLines, AZeroIdInTheMiddleStillGivesOneLinePerEffect)
{
    library_.categories[1].presets[0].effects = {
        {FakeLibrary::Id(1), {}, 1.0f}, {EffectId{}, {}, 1.0f}, {FakeLibrary::Id(2), {}, 1.0f}};
    const std::vector<std::u16string> expected = {u"Vocal Chain:", u"1. Reverb", u"2. ", u"3. Delay"};
    EXPECT_EQ(PresetInspectorLines(catalog_, *Entry(1, 0), u"Vocal Chain"), expected);
}

TEST_F(InspectorLines, APlainPresetShowsItsLabelAndACategoryItsCount)
{
    EXPECT_EQ(PresetInspectorLines(catalog_, *Entry(1, 1), u"Warm [user]"),
              std::vector<std::u16string>{u"Warm [user]"});
    EXPECT_EQ(CategoryInspectorLines(u"Factory Chains", 2), std::vector<std::u16string>{u"Factory Chains (2)"});
    EXPECT_EQ(CategoryInspectorLines(u"Empty", 0), std::vector<std::u16string>{u"Empty (0)"});
}

} // namespace
