#include "framework/controls/NumericText.h"

#include "framework/controls/DataItem.h"
#include "framework/skin/ResponseFunction.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string Ascii(const String& text)
{
    char buffer[64];
    text.CopyToAscii(buffer, sizeof buffer);
    return buffer;
}

std::string Shown(const DataItem* item, int decimals, const ResponseFunction* response = nullptr)
{
    String text;
    EXPECT_EQ(NumericText::DisplayText(item, decimals, response, text), 1);
    return Ascii(text);
}

String Make(const char* ascii)
{
    String text;
    text.AssignAscii(ascii);
    return text;
}

TEST(NumericText, DisplayText)
{
    EXPECT_EQ(Shown(nullptr, 2), "-") << "no item";
    TextItem words;
    EXPECT_EQ(Shown(&words, 2), "-") << "a text item has no number";

    RealItem gain;
    gain.minimum = -60.0f;
    gain.maximum = 6.0f;
    gain.value = -3.25f;
    EXPECT_EQ(Shown(&gain, 2), "-3.25");
    EXPECT_EQ(Shown(&gain, 1), "-3.2");

    IntItem steps;
    steps.maximum = 10;
    steps.value = 7;
    // The string's real format drops trailing zeros but keeps one decimal.
    EXPECT_EQ(Shown(&steps, 2), "7.0");
    steps.valueText = Make("Seven");
    EXPECT_EQ(Shown(&steps, 2), "7.0") << "the value text only when the item asks for it";
    steps.showValueText = 1;
    EXPECT_EQ(Shown(&steps, 2), "Seven");

    // Normalised 0.5 shows 0.25.
    const ResponseFunction response({{0.5f, 0.25f}});
    RealItem position;
    position.maximum = 1.0f;
    position.value = 0.5f;
    EXPECT_EQ(Shown(&position, 3, &response), "0.25");
}

TEST(NumericText, EditorOpensWithTheIntegerValueOrTheShownText)
{
    String text;
    IntItem steps;
    steps.maximum = 10;
    steps.value = 4;
    steps.showValueText = 1;
    steps.valueText = Make("Four");
    ASSERT_EQ(NumericText::EditorText(&steps, 1, Make("Four"), text), 1);
    EXPECT_EQ(Ascii(text), "4.0");
    RealItem gain;
    ASSERT_EQ(NumericText::EditorText(&gain, 1, Make("-1.50"), text), 1);
    EXPECT_EQ(Ascii(text), "-1.50");
}

TEST(NumericText, TypedEntriesGoThroughTheItem)
{
    IntItem steps;
    steps.maximum = 10;
    steps.value = 3;
    NumericText::StoreEntry(&steps, Make("1.5"), nullptr, 0);
    EXPECT_EQ(steps.value, 1) << "an integer item truncates";
    NumericText::StoreEntry(&steps, Make("20"), nullptr, 0);
    EXPECT_EQ(steps.value, 1) << "outside 0..10: refused";

    RealItem gain;
    gain.minimum = -60.0f;
    gain.maximum = 6.0f;
    NumericText::StoreEntry(&gain, Make("-12.5"), nullptr, 0);
    EXPECT_EQ(gain.value, -12.5f);

    const ResponseFunction response({{0.5f, 0.25f}});
    RealItem position;
    position.maximum = 1.0f;
    NumericText::StoreEntry(&position, Make("0.25"), &response, 0);
    EXPECT_FLOAT_EQ(position.value, 0.5f) << "the shown value maps back to the normalised one";

    TextItem words;
    NumericText::StoreEntry(&words, Make("5"), nullptr, 0);
    EXPECT_EQ(words.text.Length(), 0) << "other items are left alone";
    NumericText::StoreEntry(nullptr, Make("5"), nullptr, 0);
}
}
