#include "framework/controls/ControlClipboard.h"
#include "framework/controls/tests/BoundItem.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace itemtest;

namespace
{
String Units(const std::u16string& text)
{
    String out;
    out.AssignWide(text.c_str());
    return out;
}

std::u16string Wide(const String& text)
{
    return std::u16string(text.Text(), static_cast<size_t>(text.Length()));
}

TEST(ControlClipboard, EverySlotStartsEmptyAndACopyFillsOnlyItsKind)
{
    ControlClipboard clipboard(199);
    for (int kind = DataItem::KindFlag; kind <= DataItem::KindText; ++kind)
        EXPECT_EQ(clipboard.IsEmpty(kind), 1) << kind;
    // A kind without a slot is never empty: the menu keeps Paste for it.
    EXPECT_EQ(clipboard.IsEmpty(DataItem::KindBare), 0);
    EXPECT_EQ(clipboard.IsEmpty(-1), 0);

    IntItem copied;
    copied.value = 3;
    clipboard.Copy(copied);
    EXPECT_EQ(clipboard.IsEmpty(DataItem::KindInt), 0);
    for (int kind : {DataItem::KindFlag, DataItem::KindReal, DataItem::KindText})
        EXPECT_EQ(clipboard.IsEmpty(kind), 1) << kind;

    // Nothing crosses kinds: a real item finds its own slot empty.
    Bound<RealItem> real;
    real.item->value = 0.25f;
    clipboard.Paste(*real.item);
    EXPECT_EQ(real.item->value, 0.25f);
    EXPECT_TRUE(real.log.empty());
    // An item of no kind copies nothing.
    DataItem bare;
    clipboard.Copy(bare);
    clipboard.Paste(bare);
    // One per process: a later call's limit does not make another.
    ControlClipboard& shared = ControlClipboard::Shared(200);
    EXPECT_EQ(&ControlClipboard::Shared(199), &shared);
    EXPECT_EQ(ControlClipboard::Shared(7).MaxTextUnits(), shared.MaxTextUnits());
}

TEST(ControlClipboard, IntegersPasteOnlyWhereTheRangeTakesThem)
{
    ControlClipboard clipboard(199);
    IntItem source;
    source.minimum = 0;
    source.maximum = 100;
    source.value = 50;
    clipboard.Copy(source);
    source.value = 7; // the clipboard keeps what was copied

    Bound<IntItem> narrow;
    narrow.item->minimum = 0;
    narrow.item->maximum = 10;
    narrow.item->value = 4;
    clipboard.Paste(*narrow.item);
    EXPECT_EQ(narrow.item->value, 4);
    EXPECT_TRUE(narrow.log.empty());

    Bound<IntItem> open;
    open.item->minimum = 5;
    open.item->maximum = 5;
    clipboard.Paste(*open.item);
    EXPECT_EQ(open.item->value, 50);
    EXPECT_EQ(open.log, (Log{"notify 50", "redraw a", "redraw b"}));
}

TEST(ControlClipboard, AValueOfAWiderRangeIsTakenOnlyWithinTheNarrowerOne)
{
    // Copied from a 0-10 control, pasted into a 0-5 one: above 5 is ignored.
    const struct
    {
        int32_t copied;
        int32_t after;
        bool told;
    } cases[] = {{0, 0, true}, {3, 3, true}, {5, 5, true}, {6, 2, false}, {10, 2, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.copied);
        ControlClipboard clipboard(199);
        IntItem source;
        source.minimum = 0;
        source.maximum = 10;
        source.value = c.copied;
        clipboard.Copy(source);
        Bound<IntItem> target;
        target.item->minimum = 0;
        target.item->maximum = 5;
        target.item->value = 2;
        clipboard.Paste(*target.item);
        EXPECT_EQ(target.item->value, c.after);
        EXPECT_EQ(target.log.empty(), !c.told);
    }
}

TEST(ControlClipboard, FlagsPasteTheirValueWithoutARangeCheck)
{
    ControlClipboard clipboard(199);
    FlagItem source;
    source.value = 7;
    clipboard.Copy(source);
    Bound<FlagItem> target;
    clipboard.Paste(*target.item);
    EXPECT_EQ(target.item->value, 7);
    EXPECT_EQ(target.log, (Log{"redraw a", "redraw b", "notify 7"}));
}

TEST(ControlClipboard, RealsPasteThroughTheRangeAndTellTheTruncatedValue)
{
    struct Case
    {
        const char* trace;
        float copied;
        float minimum, maximum;
        bool stored;
        const char* notified;
    } cases[] = {
        {"2.75", 2.75f, -10, 10, true, "notify 2"},
        {"-2.75", -2.75f, -10, 10, true, "notify -2"},
        {"the maximum", 6.0f, -90, 6, true, "notify 6"},
        {"above the maximum", 6.5f, -90, 6, false, nullptr},
        {"NaN into a range", std::numeric_limits<float>::quiet_NaN(), -90, 6, false, nullptr},
        {"NaN into equal bounds", std::numeric_limits<float>::quiet_NaN(), 0, 0, true, "notify 0"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        ControlClipboard clipboard(199);
        RealItem source;
        source.value = c.copied;
        clipboard.Copy(source);
        Bound<RealItem> target;
        target.item->minimum = c.minimum;
        target.item->maximum = c.maximum;
        target.item->value = -1.0f;
        clipboard.Paste(*target.item);
        if (c.stored)
        {
            EXPECT_EQ(target.log, (Log{"redraw a", "redraw b", c.notified}));
        }
        else
        {
            EXPECT_EQ(target.item->value, -1.0f);
            EXPECT_TRUE(target.log.empty());
        }
    }
}

TEST(ControlClipboard, TextsAreCutToTheLimitAndTheOwnerHearsZero)
{
    std::u16string longText;
    for (int i = 0; i < 250; ++i)
        longText += static_cast<char16_t>(u'a' + i % 26);
    // The plug-in keeps 200 units, the mixer 199.
    for (int limit : {200, 199, 1})
    {
        SCOPED_TRACE(limit);
        ControlClipboard cut(limit);
        EXPECT_EQ(cut.MaxTextUnits(), limit);
        TextItem source;
        source.text.AssignWide(longText.c_str());
        cut.Copy(source);
        EXPECT_EQ(cut.IsEmpty(DataItem::KindText), 0);
        Bound<TextItem> target;
        target.item->text.AssignWide(u"old");
        cut.Paste(*target.item);
        EXPECT_EQ(Wide(target.item->text), longText.substr(0, static_cast<size_t>(limit)));
        EXPECT_EQ(target.log, (Log{"redraw a", "redraw b", "notify 0"}));
    }
    ControlClipboard clipboard(199);

    String out;
    clipboard.SetText(Units(u"short"));
    clipboard.GetText(out);
    EXPECT_EQ(Wide(out), u"short");
}

TEST(ControlClipboard, ACutNeverSplitsASurrogatePair)
{
    ControlClipboard clipboard(199);
    // 198 letters, then a character outside the basic plane whose halves sit at 198 and 199.
    std::u16string text(198, u'x');
    text += u"\U0001F3B5tail";
    clipboard.SetText(Units(text));
    String out;
    clipboard.GetText(out);
    EXPECT_EQ(Wide(out), std::u16string(198, u'x'));

    // A pair that ends at the cut stays whole.
    std::u16string fits(197, u'y');
    fits += u"\U0001F3B5tail";
    clipboard.SetText(Units(fits));
    clipboard.GetText(out);
    EXPECT_EQ(Wide(out), fits.substr(0, 199));
}

TEST(ControlClipboard, APasteIntoAnEmptySlotChangesNothing)
{
    ControlClipboard clipboard(199);
    Bound<FlagItem> flag;
    Bound<IntItem> integer;
    Bound<TextItem> text;
    flag.item->value = 1;
    integer.item->value = 2;
    text.item->text.AssignWide(u"kept");
    clipboard.Paste(*flag.item);
    clipboard.Paste(*integer.item);
    clipboard.Paste(*text.item);
    EXPECT_EQ(flag.item->value, 1);
    EXPECT_EQ(integer.item->value, 2);
    EXPECT_EQ(Wide(text.item->text), u"kept");
    EXPECT_TRUE(flag.log.empty() && integer.log.empty() && text.log.empty());
}
} // namespace
