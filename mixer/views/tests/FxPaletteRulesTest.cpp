// The FX palette's arithmetic: where it opens, the inspector's content and scroll range, and
// the shell copy's source list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mixer/views/FxPaletteRules.h"

namespace
{
using namespace FxPaletteRules;

Monitor Screen(int left, int top, int width, int height, int taskbar)
{
    return Monitor{RectAt(left, top, width, height), RectAt(left, top, width, height - taskbar)};
}

TEST(FxPaletteRules, ThePaletteOpensAtItsStoredPlaceWhenThatCanBeReached)
{
    const std::vector<Monitor> one = {Screen(0, 0, 1920, 1080, 40)};
    const std::vector<Monitor> two = {Screen(0, 0, 1920, 1080, 40), Screen(1920, 200, 1280, 800, 0)};
    const Rect parentArea = RectAt(0, 0, 1920, 1040);
    struct Case
    {
        const char* label;
        const std::vector<Monitor>* monitors;
        int x, y;
        int left, top;
    } cases[] = {
        {"inside", &one, 100, 200, 100, 200},
        {"far outside: the parent's work area + 20", &one, 5000, 5000, 20, 20},
        {"left of the screen", &one, -10, 100, 20, 20},
        // On the right edge the point passes the inclusive test; the palette of 300 x 400 is
        // moved into the work area rather than opened off-screen.
        {"on the right edge", &one, 1920, 100, 1620, 100},
        {"on the bottom edge", &one, 100, 1080, 100, 640},
        {"in the gap above the lower monitor", &two, 2000, 150, 2000, 200},
        {"on the second monitor", &two, 2500, 300, 2500, 300},
    };
    for (const Case& c : cases)
    {
        const Rect place = PalettePlace(c.x, c.y, 300, 400, *c.monitors, parentArea);
        EXPECT_EQ(place.left, c.left) << c.label;
        EXPECT_EQ(place.top, c.top) << c.label;
        EXPECT_EQ(place.right - place.left, 300) << c.label;
        EXPECT_EQ(place.bottom - place.top, 400) << c.label;
    }
}

TEST(FxPaletteRules, TheInspectorsContentAndScrollRange)
{
    // A preset of 20 effects with a line height of 13 in a window 100 pixels high.
    const int content = ContentHeight(Shown::Preset, 20, 13);
    EXPECT_EQ(content, 296);
    EXPECT_EQ(LayoutScroll(content, 100, 0).maximum, 39);
    EXPECT_EQ(LayoutScroll(content, 100, 39).position, 38);
    EXPECT_EQ(LayoutScroll(content, 100, 400).position, 38);
    EXPECT_EQ(LayoutScroll(content, 100, 10).position, 10);
    // Content lower than the window: nothing to scroll, position 0.
    EXPECT_EQ(LayoutScroll(ContentHeight(Shown::Line, 0, 13), 100, 7).maximum, 0);
    EXPECT_EQ(LayoutScroll(ContentHeight(Shown::Line, 0, 13), 100, 7).position, 0);
    EXPECT_EQ(ContentHeight(Shown::Line, 0, 13), 15);
    EXPECT_EQ(ContentHeight(Shown::Nothing, 5, 13), 0);
    EXPECT_EQ(ContentHeight(Shown::CoreNode, 5, 13), 0);
}

TEST(FxPaletteRules, APresetsEffectCountIsBoundedByItsRecord)
{
    // The record holds 200 ids: a stored 500 (or a negative count) reads no id beyond them.
    EXPECT_EQ(PresetEffectCount(500), 200);
    EXPECT_EQ(PresetEffectCount(-3), 0);
    EXPECT_EQ(PresetEffectCount(7), 7);
    EXPECT_EQ(ContentHeight(Shown::Preset, 500, 13), 201 * 14 + 2);
}

TEST(FxPaletteRules, TheSourceListHoldsBothPathsWithinItsRoom)
{
    std::vector<char> list;
    ASSERT_TRUE(SourceList("C:\\a", "C:\\b", list));
    EXPECT_EQ(std::string(list.data(), list.size()), std::string("C:\\a\0C:\\b\0\0", 11));
    ASSERT_TRUE(SourceList("C:\\a", "", list));
    EXPECT_EQ(std::string(list.data(), list.size()), std::string("C:\\a\0\0", 6));

    // 780 bytes: both paths, their terminators and the closing one.
    const std::string a(388, 'a'), b(389, 'b');
    EXPECT_TRUE(SourceList(a, b, list));
    EXPECT_EQ(list.size(), 780u);
    EXPECT_FALSE(SourceList(a, b + "b", list)) << "one byte over";
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(SourceList("", "C:\\b", list)) << "no first path";
    EXPECT_FALSE(SourceList(std::string("C:\\a\0b", 6), "", list)) << "a zero inside a path";
}
} // namespace
