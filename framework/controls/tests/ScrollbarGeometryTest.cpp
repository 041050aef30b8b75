#include "framework/controls/ScrollbarGeometry.h"

#include "framework/platform/graphics/BitmapPixels.h"

#include <gtest/gtest.h>

#include <climits>

#include <vector>

using namespace ScrollbarGeometry;

namespace
{
// A 100-pixel bar whose end backgrounds take 10 pixels each: an 80-pixel track.
Parts TestParts()
{
    Parts parts;
    parts.decBg = 10;
    parts.barBg = 12;
    parts.incBg = 10;
    parts.decBut = 20;
    parts.incBut = 20;
    parts.barBegin = 3;
    parts.barMid = 4;
    parts.barEnd = 3;
    return parts;
}

State Make(int range, int total, int visible, int position)
{
    State state;
    state.range = range;
    state.total = total;
    state.visible = visible;
    state.position = position;
    return state;
}

TEST(ScrollbarGeometry, PartsLieEndToEndInTheImage)
{
    const Parts parts = TestParts();
    EXPECT_EQ(parts.BarBgOffset(), 10);
    EXPECT_EQ(parts.IncBgOffset(), 22);
    EXPECT_EQ(parts.DecButOffset(), 32);
    EXPECT_EQ(parts.IncButOffset(), 52);
    EXPECT_EQ(parts.BarBeginOffset(), 72);
    EXPECT_EQ(parts.BarMidOffset(), 75);
    EXPECT_EQ(parts.BarEndOffset(), 79);
    EXPECT_EQ(Track(100, parts), 80);
}

TEST(ScrollbarGeometry, WithoutContentThereIsNoThumbAndNoLineStep)
{
    const State empty = Make(100, 0, 10, 5);
    Span thumb;
    EXPECT_FALSE(DrawnThumb(100, TestParts(), empty, thumb));
    EXPECT_EQ(LineUp(empty), 5);
    EXPECT_EQ(LineDown(empty), 5);
    EXPECT_EQ(PageMove(empty), 0);
    // A press anywhere in the track is on the thumb.
    EXPECT_EQ(HitThumb(100, TestParts(), empty).length, 80);
    EXPECT_EQ(DragThumb(100, TestParts(), empty).length, 80);
}

TEST(ScrollbarGeometry, ThumbsFollowTheVisibleShareAndThePosition)
{
    const Parts parts = TestParts();
    struct Case
    {
        const char* label;
        State state;
        bool drawn;
        Span drawnThumb;
        Span hitThumb;
    } cases[] = {
        {"a quarter visible, at the start", Make(100, 100, 25, 0), true, {10, 20}, {10, 20}},
        {"a quarter visible, at the end", Make(100, 100, 25, 100), true, {70, 20}, {70, 20}},
        {"half way", Make(100, 100, 25, 50), true, {40, 20}, {40, 20}},
        // The press target never gets shorter than both end backgrounds.
        {"a tiny share", Make(100, 1000, 20, 100), true, {89, 1}, {70, 20}},
        // Visible equals total: no range to divide by, the thumb fills the track at 0.
        {"content that exactly fills the view", Make(0, 10, 10, 0), true, {10, 80}, {10, 80}},
        {"content smaller than the view", Make(100, 10, 20, 0), false, {}, {10, 80}},
        {"a thumb below one pixel", Make(100, 1000, 1, 0), false, {}, {10, 20}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Span thumb;
        ASSERT_EQ(DrawnThumb(100, parts, c.state, thumb), c.drawn);
        if (c.drawn)
        {
            EXPECT_EQ(thumb.start, c.drawnThumb.start);
            EXPECT_EQ(thumb.length, c.drawnThumb.length);
        }
        const Span hit = HitThumb(100, parts, c.state);
        EXPECT_EQ(hit.start, c.hitThumb.start);
        EXPECT_EQ(hit.length, c.hitThumb.length);
    }
}

TEST(ScrollbarGeometry, PagesOverlapByOnePositionAndAlwaysMove)
{
    struct Case
    {
        const char* label;
        State state;
        int up;
        int down;
    } cases[] = {
        {"ten positions a page: from 50 down to 59", Make(100, 110, 10, 50), 41, 59},
        {"near the start and the end", Make(100, 110, 10, 5), 0, 14},
        {"at the end", Make(100, 110, 10, 95), 86, 100},
        // Fewer hidden units than positions: the Part's integer quotient is 0 here.
        {"hidden content below the range", Make(100, 60, 10, 50), 31, 69},
        // One position a page: the overlap would leave the position where it was.
        {"a one-position page", Make(100, 101, 1, 50), 49, 51},
        {"content that fits", Make(100, 10, 10, 50), 50, 50},
        {"content smaller than the view", Make(100, 5, 10, 50), 50, 50},
        {"no range", Make(0, 110, 10, 0), 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(PageUp(c.state), c.up);
        EXPECT_EQ(PageDown(c.state), c.down);
    }
}

TEST(ScrollbarGeometry, LinesStepByOneInsideTheRange)
{
    EXPECT_EQ(LineUp(Make(100, 110, 10, 50)), 49);
    EXPECT_EQ(LineDown(Make(100, 110, 10, 50)), 51);
    EXPECT_EQ(LineUp(Make(100, 110, 10, 0)), 0);
    EXPECT_EQ(LineDown(Make(100, 110, 10, 100)), 100);
}

TEST(ScrollbarGeometry, DragPastTheEndAndBackKeepsTheEndUntilTheOvershootIsUndone)
{
    const Parts parts = TestParts();
    // The drag thumb is a fifth of the track (16 pixels); 64 pixels carry the 100 positions.
    State state = Make(100, 100, 20, 0);
    const Span thumb = DragThumb(100, parts, state);
    EXPECT_EQ(thumb.length, 16);
    int pixel = thumb.start - parts.decBg;
    std::vector<int> positions;
    for (int delta : {32, 48, -10, -6, -4, -64})
    {
        pixel += delta; // the thumb pixel is not clamped: an overshoot is remembered
        positions.push_back(DragPosition(pixel, 100, parts, state));
    }
    EXPECT_EQ(positions, (std::vector<int>{50, 100, 100, 100, 93, 0}));
}

TEST(ScrollbarGeometry, NoDragWhenTheThumbFillsTheTrackOrThereIsNoRange)
{
    EXPECT_EQ(DragPosition(10, 100, TestParts(), Make(100, 10, 10, 0)), -1);
    EXPECT_EQ(DragPosition(10, 100, TestParts(), Make(0, 100, 20, 0)), -1);
}

TEST(ScrollbarGeometry, TilesCutTheLastPieceAndSkipPiecesBelowAPixel)
{
    const std::vector<Span> tiles = Tiles(5, 10, 4);
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_EQ(tiles[0].start, 5);
    EXPECT_EQ(tiles[2].start, 13);
    EXPECT_EQ(tiles[2].length, 2);
    EXPECT_TRUE(Tiles(0, 10, 0).empty());
    EXPECT_TRUE(Tiles(0, 10, -1).empty());
    EXPECT_TRUE(Tiles(0, 0, 4).empty());
}
TEST(ScrollbarGeometry, TilesEndWhereTheLongestBitmapEnds)
{
    for (const int piece : {1, 12, 5000})
    {
        SCOPED_TRACE(piece);
        const std::vector<Span> tiles = Tiles(12, INT_MAX, piece);
        ASSERT_FALSE(tiles.empty());
        EXPECT_EQ(tiles.size(), static_cast<size_t>((BitmapPixels::kMaxSide + piece - 1) / piece));
        EXPECT_LE(tiles.back().start + tiles.back().length, 12 + BitmapPixels::kMaxSide);
    }
}
} // namespace
