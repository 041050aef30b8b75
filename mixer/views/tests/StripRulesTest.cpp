#include "mixer/views/StripRules.h"

#include <gtest/gtest.h>

using namespace StripRules;

TEST(StripRules, ScrollByStepsOneWithinTheRange)
{
    const struct
    {
        int position, maximum, direction, expected;
    } rows[] = {{0, 5, 0, 0}, {3, 5, 0, 3}, {0, 5, -1, 0}, {1, 5, -1, 0}, {4, 5, 1, 5}, {5, 5, 1, 5}, {2, 5, -7, 1}};
    for (const auto& row : rows)
        EXPECT_EQ(ScrollPosition(row.position, row.maximum, row.direction), row.expected)
            << row.position << " " << row.direction;
}

TEST(StripRules, EnsureStripVisibleShowsTheWholeStrip)
{
    const struct
    {
        const char* trace;
        int x, width, position, sectionWidth, expected;
    } rows[] = {
        {"inside", 152, 76, 1, 304, 1},
        {"flush right", 304, 76, 1, 304, 1},
        {"one step left", 0, 76, 1, 304, 0},
        {"three steps right", 532, 76, 1, 304, 4},
        // Off the grid (group spacing): a part hidden takes a whole step more, not none.
        {"half out to the left", 114, 76, 2, 304, 1},
        {"a pixel out to the left", 151, 76, 2, 304, 1},
        {"a pixel out to the right", 305, 76, 0, 380, 1},
        {"ten pixels past three steps right", 542, 76, 1, 304, 5},
    };
    for (const auto& row : rows)
    {
        const int position = VisiblePosition(row.x, row.width, row.position, row.sectionWidth);
        EXPECT_EQ(position, row.expected) << row.trace;
        const int left = position * kStripStep;
        EXPECT_TRUE(left <= row.x && row.x + row.width <= left + row.sectionWidth) << row.trace;
    }
}

TEST(StripRules, StripXCountsEarlierGroupsWithTheirSpacing)
{
    const std::vector<std::vector<int>> widths = {{76, 76, 76}, {}, {76, 76}};
    EXPECT_EQ(StripX(widths, 10, 0, 0), 0);
    EXPECT_EQ(StripX(widths, 10, 0, 2), 152);
    EXPECT_EQ(StripX(widths, 10, 2, 0), 228 + 10 + 10);
    EXPECT_EQ(StripX(widths, 10, 2, 1), 248 + 76);
    EXPECT_EQ(StripX(widths, 10, 1, 0), -1);
    EXPECT_EQ(StripX(widths, 10, 3, 0), -1);
    EXPECT_EQ(StripX(widths, 10, 0, -1), -1);
}

TEST(StripRules, NavigationStaysInItsGroupWithTwoSystems)
{
    const struct
    {
        const char* trace;
        std::vector<int> sizes;
        Place from;
        int key;
        bool moves;
        Place to;
    } rows[] = {
        {"left within", {3, 2}, {0, 2}, kKeyLeft, true, {0, 1}},
        {"right within", {3, 2}, {1, 0}, kKeyRight, true, {1, 1}},
        {"left at the first strip of the second group", {3, 2}, {1, 0}, kKeyLeft, false, {}},
        {"right at the last strip of the first group", {3, 2}, {0, 2}, kKeyRight, false, {}},
        {"left at the very first", {3, 2}, {0, 0}, kKeyLeft, false, {}},
        {"right at the very last", {3, 2}, {1, 1}, kKeyRight, false, {}},
        {"left from the third group", {3, 2, 2}, {2, 0}, kKeyLeft, true, {1, 1}},
        {"right into the second of four", {3, 2, 2, 1}, {1, 1}, kKeyRight, true, {2, 0}},
        {"right from the first of three", {3, 2, 2}, {0, 2}, kKeyRight, true, {1, 0}},
        {"left past an empty group", {3, 0, 2}, {2, 0}, kKeyLeft, false, {}},
        {"another key", {3, 2}, {0, 1}, 46, false, {}},
    };
    for (const auto& row : rows)
    {
        Place target = {-1, -1};
        EXPECT_EQ(Navigate(row.sizes, row.from, row.key, target), row.moves) << row.trace;
        if (row.moves)
        {
            EXPECT_EQ(target.group, row.to.group) << row.trace;
            EXPECT_EQ(target.view, row.to.view) << row.trace;
        }
    }
}

TEST(StripRules, MovingAViewShiftsTheOnesItPasses)
{
    const std::vector<int> xs = {0, 76, 152, 228, 304};
    // 0 to 3: views 1-3 move left, the moved one takes view 3's place.
    EXPECT_EQ(MoveOrder(5, 0, 3), (std::vector<int>{1, 2, 3, 0, 4}));
    EXPECT_EQ(MoveViews(xs, 0, 3, 76), (std::vector<int>{0, 76, 152, 228, 304}));
    // 4 to 1: views 1-3 move right.
    EXPECT_EQ(MoveOrder(5, 4, 1), (std::vector<int>{0, 4, 1, 2, 3}));
    EXPECT_EQ(MoveViews(xs, 4, 1, 76), (std::vector<int>{0, 76, 152, 228, 304}));
    // Past the last view (a view that failed to build): the last view's place, not none.
    EXPECT_EQ(MoveOrder(3, 0, 5), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(MoveViews({0, 76, 152}, 0, 5, 76), (std::vector<int>{0, 76, 152}));
    // Unequal places show which view lands where.
    EXPECT_EQ(MoveViews({0, 100, 200, 300}, 1, 2, 76), (std::vector<int>{0, 124, 200, 300}));
    EXPECT_EQ(MoveViews({0, 100}, 7, 0, 76), (std::vector<int>{0, 100}));
}
