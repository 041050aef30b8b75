#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/FontTable.h"
#include "plugins/base/gui/Geometry.h"
#include "plugins/base/gui/MenuEntries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

TEST(GeometryTest, PointInsideIncludesEveryEdge)
{
    const Rect r(10, 20, 30, 40);
    struct Case
    {
        Point p;
        bool inside;
    };
    const Case cases[] = {
        {{10, 20}, true}, {{30, 40}, true},  {{10, 40}, true},  {{30, 20}, true},  {{20, 30}, true},
        {{9, 30}, false}, {{31, 30}, false}, {{20, 19}, false}, {{20, 41}, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.p.IsInside(r), c.inside) << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 20);
}

TEST(GeometryTest, ColourValuesAndGdiForm)
{
    EXPECT_EQ(Colors::kRed.ToGdi(), 0x0000FFu);
    EXPECT_EQ(Colors::kBlue.ToGdi(), 0xFF0000u);
    EXPECT_EQ(Color(1, 2, 3, 4).Value(), 0x04030201u);
    EXPECT_EQ(Color(1, 2, 3, 4).ToGdi(), 0x030201u);
    EXPECT_NE(Color(1, 2, 3, 4), Color(1, 2, 3, 0));
    EXPECT_EQ(Colors::kTransparent, Colors::kWhite);
}

TEST(FontTableTest, IndexesOutsideTheTableMeanFontZero)
{
    for (int32_t index : {-1, 7, 9, 1000})
    {
        const FontSpec& entry = GetFontSpec(index);
        EXPECT_STREQ(entry.family, "Arial") << index;
        EXPECT_EQ(entry.height, 12) << index;
        EXPECT_TRUE(entry.bold) << index;
    }
    EXPECT_EQ(GetFontSpec(4).height, 11);
    EXPECT_FALSE(GetFontSpec(4).bold);
    EXPECT_STREQ(GetFontSpec(5).family, "Small Fonts");
    EXPECT_TRUE(GetFontSpec(6).decorative);
}

TEST(MenuEntriesTest, TheHundredAndTwentyNinthEntryIsRefused)
{
    MenuEntries entries;
    for (int i = 0; i < MenuEntries::kMaxEntries; ++i)
    {
        ASSERT_TRUE(entries.Add(std::to_string(i).c_str()));
    }
    EXPECT_FALSE(entries.Add("one too many"));
    EXPECT_EQ(entries.Count(), 128);
    EXPECT_EQ(entries.Get(127), "127");
}

TEST(MenuEntriesTest, CurrentIndexFollowsInsertsAndRemovals)
{
    MenuEntries entries;
    EXPECT_EQ(entries.GetCurrent(), -1);
    ASSERT_TRUE(entries.Add("a"));
    EXPECT_EQ(entries.GetCurrent(), 0); // the first entry becomes current
    ASSERT_TRUE(entries.Add("b"));
    ASSERT_TRUE(entries.Add("c"));
    ASSERT_TRUE(entries.SetCurrent(1));
    ASSERT_TRUE(entries.Add("front", 0)); // before the current one: it moves down
    EXPECT_EQ(entries.GetCurrent(), 2);
    EXPECT_EQ(entries.Get(2), "b");
    ASSERT_TRUE(entries.Add("end", 99)); // beyond the last: appended
    EXPECT_EQ(entries.Get(entries.Count() - 1), "end");
    entries.Remove(0); // before the current one: it moves back
    EXPECT_EQ(entries.GetCurrent(), 1);
    EXPECT_EQ(entries.Get(1), "b");
    entries.Remove(3); // after it: unchanged
    EXPECT_EQ(entries.GetCurrent(), 1);
    ASSERT_TRUE(entries.Add(nullptr));
    EXPECT_EQ(entries.Get(entries.Count() - 1), "");
    entries.RemoveAll();
    EXPECT_EQ(entries.GetCurrent(), -1);
    EXPECT_EQ(entries.Count(), 0);
}

TEST(MenuEntriesTest, RemovingTheOnlyEntryLeavesNoCurrent)
{
    MenuEntries entries;
    ASSERT_TRUE(entries.Add("only"));
    entries.Remove(0);
    EXPECT_EQ(entries.GetCurrent(), -1);
    EXPECT_EQ(entries.Get(0), "");
}

TEST(MenuEntriesTest, SeparatorsAndMissingIndexesCannotBeCurrent)
{
    MenuEntries entries;
    ASSERT_TRUE(entries.Add("a"));
    ASSERT_TRUE(entries.Add("-"));
    ASSERT_TRUE(entries.Add("b"));
    for (int32_t index : {1, -1, 3, 100})
    {
        EXPECT_FALSE(entries.SetCurrent(index)) << index;
    }
    EXPECT_EQ(entries.GetCurrent(), 0);
    EXPECT_TRUE(entries.SetCurrent(2));
}

TEST(MenuEntriesTest, LongTextsAreCut)
{
    MenuEntries entries;
    ASSERT_TRUE(entries.Add(std::string(300, 'x').c_str()));
    EXPECT_EQ(entries.Get(0).size(), MenuEntries::kMaxText);
}

TEST(ControlValuesTest, OnOffButtonShowsAnyNonZeroButTogglesByIntegerPart)
{
    struct Case
    {
        float value;
        bool showsOn;
        float toggled;
    };
    const Case cases[] = {
        {0.0f, false, 1.0f}, {0.3f, true, 1.0f}, {1.0f, true, 0.0f}, {2.5f, true, 0.0f}, {-1.0f, true, 0.0f},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ControlValues::ShowsOn(c.value), c.showsOn) << c.value;
        EXPECT_EQ(ControlValues::Toggled(c.value), c.toggled) << c.value;
    }
}

TEST(ControlValuesTest, DigitsAreClampedToWhatTheDisplayHolds)
{
    struct Case
    {
        float value;
        int32_t count;
        std::string shown;
    };
    const Case cases[] = {
        {1234.5f, 3, "999"},    {42.9f, 3, "042"},
        {-5.0f, 2, "00"},       {std::numeric_limits<float>::quiet_NaN(), 2, "00"},
        {1e30f, 7, "9999999"},  {1234567.0f, 7, "1234567"},
        {7.0f, 0, "7"},         // at least one digit
        {12.0f, 12, "0000012"}, // at most seven
    };
    for (const Case& c : cases)
    {
        int32_t digits[ControlValues::kMaxDigits] = {};
        ControlValues::SplitDigits(c.value, c.count, digits);
        std::string shown;
        for (size_t i = 0; i < c.shown.size(); ++i)
        {
            shown += static_cast<char>('0' + digits[i]);
        }
        EXPECT_EQ(shown, c.shown) << c.value;
    }
}

TEST(ControlValuesTest, PicturesOfAStrip)
{
    struct Case
    {
        float value;
        int32_t count;
        int32_t floor;
        int32_t round;
    };
    const Case cases[] = {
        {0.0f, 5, 0, 0}, {0.49f, 5, 1, 2}, {0.5f, 5, 2, 2}, {1.0f, 5, 4, 4},
        {3.0f, 5, 4, 4}, {-1.0f, 5, 0, 0}, {0.7f, 1, 0, 0}, {std::numeric_limits<float>::quiet_NaN(), 5, 0, 0},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ControlValues::FloorPicture(c.value, c.count), c.floor) << c.value;
        EXPECT_EQ(ControlValues::RoundPicture(c.value, c.count), c.round) << c.value;
    }
}

TEST(ControlValuesTest, SwitchBandsAndTheirBoundaries)
{
    // Three pictures 10 high: a vertical boundary belongs to the next band.
    EXPECT_EQ(ControlValues::VerticalSwitchValue(9, 10, 3), 0.0f);
    EXPECT_EQ(ControlValues::VerticalSwitchValue(10, 10, 3), 0.5f);
    EXPECT_EQ(ControlValues::VerticalSwitchValue(29, 10, 3), 1.0f);
    EXPECT_EQ(ControlValues::VerticalSwitchValue(100, 10, 3), 1.0f);
    EXPECT_EQ(ControlValues::VerticalSwitchValue(-5, 10, 3), 0.0f);
    // Three bands 10 wide: a horizontal boundary belongs to the lower band.
    EXPECT_EQ(ControlValues::HorizontalSwitchValue(10, 30, 3), 0.0f);
    EXPECT_EQ(ControlValues::HorizontalSwitchValue(11, 30, 3), 0.5f);
    EXPECT_EQ(ControlValues::HorizontalSwitchValue(20, 30, 3), 0.5f);
    EXPECT_EQ(ControlValues::HorizontalSwitchValue(21, 30, 3), 1.0f);
    EXPECT_EQ(ControlValues::HorizontalSwitchValue(500, 30, 3), 1.0f);
    // Degenerate strips never divide by zero.
    EXPECT_EQ(ControlValues::VerticalSwitchValue(5, 0, 3), 0.0f);
    EXPECT_EQ(ControlValues::HorizontalSwitchValue(5, 2, 3), 0.0f);
    EXPECT_EQ(ControlValues::HorizontalSwitchValue(5, 30, 1), 0.0f);
}

TEST(ControlValuesTest, KnobAnglesAndTheGapAtTheBottom)
{
    struct Case
    {
        int32_t dx, dy;
        float value;
    };
    const Case cases[] = {
        {0, -10, 0.5f},                                              // top: half way
        {-10, 10, 0.0f},                                             // 225 degrees: the minimum
        {10, 10, 1.0f},                                              // 135 degrees: the maximum
        {-10, 0, 1.0f / 6.0f}, {10, 0, 5.0f / 6.0f}, {-1, 10, 0.0f}, // in the gap, left half
        {1, 10, 1.0f},                                               // in the gap, right half
    };
    for (const Case& c : cases)
    {
        EXPECT_NEAR(ControlValues::KnobValue(c.dx, c.dy, 0.0f, 1.0f), c.value, 1e-5) << c.dx << "," << c.dy;
    }
    EXPECT_NEAR(ControlValues::KnobValue(0, -10, -12.0f, 12.0f), 0.0f, 1e-5);
    EXPECT_DOUBLE_EQ(ControlValues::KnobAngle(0.0f, 0.0f, 1.0f), 225.0);
    EXPECT_DOUBLE_EQ(ControlValues::KnobAngle(1.0f, 0.0f, 1.0f), 495.0);
    EXPECT_DOUBLE_EQ(ControlValues::KnobAngle(5.0f, 0.0f, 1.0f), 495.0);
    EXPECT_DOUBLE_EQ(ControlValues::KnobAngle(0.5f, 1.0f, 1.0f), 225.0); // empty range
}

TEST(ControlValuesTest, MeterFallsByAtMostOneStep)
{
    EXPECT_FLOAT_EQ(ControlValues::MeterFall(0.2f, 0.9f, 0.0f, 1.0f, 0.1f), 0.9f); // rises at once
    EXPECT_FLOAT_EQ(ControlValues::MeterFall(0.9f, 0.0f, 0.0f, 1.0f, 0.1f), 0.8f);
    EXPECT_FLOAT_EQ(ControlValues::MeterFall(0.05f, 0.0f, 0.0f, 1.0f, 0.1f), 0.0f);
    EXPECT_FLOAT_EQ(ControlValues::MeterFall(0.0f, 7.0f, 0.0f, 1.0f, 0.1f), 1.0f);
    EXPECT_FLOAT_EQ(ControlValues::MeterFall(0.5f, std::numeric_limits<float>::quiet_NaN(), 0.0f, 1.0f, 1.0f), 0.0f);
}

TEST(ControlValuesTest, SliderPositionsAndValuesRunTheSameWay)
{
    for (bool zeroAtStart : {true, false})
    {
        for (float value : {0.0f, 0.25f, 0.5f, 1.0f})
        {
            const int32_t position = ControlValues::SliderPosition(value, 10, 50, zeroAtStart);
            EXPECT_FLOAT_EQ(ControlValues::SliderValue(position, 10, 50, zeroAtStart), value) << zeroAtStart;
        }
    }
    EXPECT_EQ(ControlValues::SliderPosition(0.0f, 10, 50, true), 10);
    EXPECT_EQ(ControlValues::SliderPosition(0.0f, 10, 50, false), 50);
    EXPECT_EQ(ControlValues::SliderPosition(4.0f, 10, 50, true), 50);
    EXPECT_FLOAT_EQ(ControlValues::SliderValue(-100.0, 10, 50, true), 0.0f);
    EXPECT_FLOAT_EQ(ControlValues::SliderValue(100.0, 10, 50, false), 0.0f);
    EXPECT_FLOAT_EQ(ControlValues::SliderValue(20.0, 10, 10, true), 0.0f); // no travel
}
