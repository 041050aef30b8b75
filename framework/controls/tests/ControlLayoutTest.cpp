#include "framework/controls/ControlLayout.h"

#include "framework/platform/graphics/BitmapPixels.h"

#include <gtest/gtest.h>

#include <climits>

#include <string>
#include <vector>

namespace
{
using ControlLayout::SlicePiece;

bool operator==(const SlicePiece& a, const SlicePiece& b)
{
    return a.sourceX == b.sourceX && a.width == b.width && a.targetX == b.targetX;
}

TEST(ThreeSlices, MiddleSlicesFillTheSpanWithACutRemainder)
{
    const std::vector<SlicePiece> exact = ControlLayout::ThreeSlices(100, 10, 16, 10);
    ASSERT_EQ(exact.size(), 7u) << "left, five middle pieces, right; no empty remainder";
    EXPECT_TRUE(exact.front() == (SlicePiece{0, 10, 0}));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(exact[1 + i] == (SlicePiece{10, 16, 10 + 16 * i})) << i;
    EXPECT_TRUE(exact.back() == (SlicePiece{26, 10, 90}));

    const std::vector<SlicePiece> remainder = ControlLayout::ThreeSlices(101, 10, 16, 10);
    ASSERT_EQ(remainder.size(), 8u) << "left, five whole middle pieces, the remainder, right";
    EXPECT_TRUE(remainder[6] == (SlicePiece{10, 1, 90})) << "a one-pixel remainder";
    EXPECT_TRUE(remainder.back() == (SlicePiece{26, 10, 91}));
}

TEST(ThreeSlices, MiddleBelowOnePixelIsNotTiled)
{
    for (int middle : {0, -1})
    {
        SCOPED_TRACE(middle);
        const std::vector<SlicePiece> pieces = ControlLayout::ThreeSlices(100, 10, middle, 10);
        ASSERT_EQ(pieces.size(), 2u);
        EXPECT_TRUE(pieces[0] == (SlicePiece{0, 10, 0}));
        EXPECT_EQ(pieces[1].targetX, 90);
    }
}

TEST(ThreeSlices, NarrowerThanItsEndsAndEndsOfNoWidth)
{
    const std::vector<SlicePiece> narrow = ControlLayout::ThreeSlices(15, 10, 16, 10);
    ASSERT_EQ(narrow.size(), 2u) << "no middle pieces";
    EXPECT_EQ(narrow[1].targetX, 5);
    const std::vector<SlicePiece> noEnds = ControlLayout::ThreeSlices(20, 0, 8, -1);
    ASSERT_EQ(noEnds.size(), 3u);
    EXPECT_TRUE(noEnds[2] == (SlicePiece{0, 4, 16}));
}

// Widths from hand-edited skins: the pieces end where the widest bitmap ends, however wide the
// control claims to be, and no arithmetic wraps.
TEST(ThreeSlices, AnAbsurdWidthGivesNoMorePiecesThanTheWidestBitmapHolds)
{
    const int max = BitmapPixels::kMaxSide;
    const struct
    {
        int width;
        int left;
        int middle;
        int right;
        size_t pieces;
    } cases[] = {
        {INT_MAX, 6, 12, 6, 2 + (max + 11) / 12},
        {INT_MAX, 6, 1, 6, 2 + static_cast<size_t>(max)},
        {INT_MAX, INT_MAX, 12, INT_MAX, 2},
        {INT_MIN, 6, 12, 6, 2},
        {max + 12, 0, 12, 0, static_cast<size_t>(max / 12 + 1)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.left) + "/" + std::to_string(c.middle) + "/" +
                     std::to_string(c.right));
        const std::vector<SlicePiece> pieces = ControlLayout::ThreeSlices(c.width, c.left, c.middle, c.right);
        EXPECT_EQ(pieces.size(), c.pieces);
        for (const SlicePiece& piece : pieces)
        {
            EXPECT_GT(piece.width, 0);
            EXPECT_GE(piece.sourceX, 0);
        }
    }
}

TEST(TooltipWidth, HalfEndsAroundTheTextRoundedUpToEight)
{
    EXPECT_EQ(ControlLayout::TooltipWidth(50, 6, 6), 56);
    EXPECT_EQ(ControlLayout::TooltipWidth(51, 6, 6), 64);
    EXPECT_EQ(ControlLayout::TooltipWidth(0, 0, 0), 0);
    EXPECT_EQ(ControlLayout::TooltipWidth(10, 5, 5), 16) << "halves round toward zero: 2 + 2 + 10";
}

TEST(TextX, AlignmentInsideTheMargins)
{
    struct Case
    {
        const char* label;
        int width, margin, textWidth, alignment, x;
    } cases[] = {
        {"left starts at the margin", 100, 4, 30, 0, 4},
        {"centred in the span between the margins", 100, 4, 30, 1, 4 + 31},
        {"right ends at the margin", 100, 4, 30, 2, 66},
        {"a wide text counts as the span: right", 100, 4, 150, 2, 4},
        {"a wide text counts as the span: centred", 100, 4, 150, 1, 4},
        {"no margin, odd remainder rounds toward the left", 11, 0, 4, 1, 3},
        {"an unknown alignment is left", 100, 4, 30, 7, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ControlLayout::TextX(c.width, c.margin, c.textWidth, c.alignment), c.x) << c.label;
}

TEST(EditorBox, InsetGrownToTheFontAndToANumbersWidth)
{
    struct Case
    {
        const char* label;
        int margin, fontHeight, textWidth;
        Rect box;
    } cases[] = {
        // The control is (10, 20) - (110, 40).
        {"inset by the margin", 2, 12, -1, {12, 22, 108, 38}},
        {"lower than the font: grows by half up and half down", 4, 16, -1, {14, 22, 106, 38}},
        {"an odd difference: the extra pixel goes down", 4, 15, -1, {14, 23, 106, 38}},
        {"a text that fits leaves the width", 0, 12, 100, {10, 20, 110, 40}},
        {"a number too wide: half the missing width and 2 each side", 0, 12, 110, {3, 20, 117, 40}},
        {"an odd missing width: one more pixel on the right", 0, 12, 111, {3, 20, 118, 40}},
        {"a text control's text never widens the box", 0, 12, -1, {10, 20, 110, 40}},
    };
    const Rect control = {10, 20, 110, 40};
    for (const Case& c : cases)
    {
        const Rect box = ControlLayout::EditorBox(control, c.margin, c.fontHeight, c.textWidth);
        EXPECT_EQ(box.left, c.box.left) << c.label;
        EXPECT_EQ(box.top, c.box.top) << c.label;
        EXPECT_EQ(box.right, c.box.right) << c.label;
        EXPECT_EQ(box.bottom, c.box.bottom) << c.label;
    }
}

TEST(BorderRuns, ASizeIsRoundedDownToSixteen)
{
    // 100 x 70 is drawn as 96 x 64.
    const std::vector<ControlLayout::BorderRun> runs = ControlLayout::BorderRuns(0, 0, 100, 70);
    const struct
    {
        const char* name;
        int x;
        int y;
        bool horizontal;
        int count;
    } expected[] = {
        {"tl", 0, 0, true, 1}, {"tr", 88, 0, true, 1}, {"bl", 0, 56, true, 1}, {"br", 88, 56, true, 1},
        {"t", 8, 0, true, 5},  {"b", 8, 56, true, 5},  {"l", 0, 8, false, 3},  {"r", 88, 8, false, 3},
    };
    ASSERT_EQ(runs.size(), 8u);
    for (size_t i = 0; i < runs.size(); ++i)
    {
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(runs[i].baseName, expected[i].name);
        EXPECT_EQ(runs[i].x, expected[i].x);
        EXPECT_EQ(runs[i].y, expected[i].y);
        EXPECT_EQ(runs[i].horizontal, expected[i].horizontal);
        EXPECT_EQ(runs[i].count, expected[i].count);
    }
}

TEST(BorderRuns, SmallBordersKeepOnePiecePerRun)
{
    const std::vector<ControlLayout::BorderRun> runs = ControlLayout::BorderRuns(10, 20, 20, 16);
    ASSERT_EQ(runs.size(), 8u);
    for (const ControlLayout::BorderRun& run : runs)
        EXPECT_EQ(run.count, 1) << run.baseName;
    EXPECT_EQ(runs[3].x, 10 + 16 - 8) << "width 20 is drawn as 16";
    EXPECT_EQ(runs[3].y, 20 + 16 - 8);
}

TEST(BorderRuns, AnAbsurdSizeGivesNoLongerRunsThanTheWidestBitmapHolds)
{
    const int most = (BitmapPixels::kMaxSide - 16) / 16;
    for (const int size : {BitmapPixels::kMaxSide, BitmapPixels::kMaxSide + 15, 10000000, INT_MAX})
    {
        SCOPED_TRACE(size);
        for (const ControlLayout::BorderRun& run : ControlLayout::BorderRuns(0, 0, size, size))
        {
            EXPECT_LE(run.count, most) << run.baseName;
            EXPECT_LE(run.x, BitmapPixels::kMaxSide) << run.baseName;
            EXPECT_LE(run.y, BitmapPixels::kMaxSide) << run.baseName;
        }
    }
}

TEST(BorderPieces, EveryRunHasAPieceAndThePiecesCoverTheFrameOnce)
{
    int covered[32][32] = {};
    for (const ControlLayout::BorderPiece& piece : ControlLayout::kBorderPieces)
        for (int y = piece.y; y < piece.y + piece.height; ++y)
            for (int x = piece.x; x < piece.x + piece.width; ++x)
                ++covered[y][x];
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(covered[y][x], x >= 8 && x < 24 && y >= 8 && y < 24 ? 0 : 1) << x << "," << y;
    for (const ControlLayout::BorderRun& run : ControlLayout::BorderRuns(0, 0, 64, 64))
    {
        const ControlLayout::BorderPiece* found = nullptr;
        for (const ControlLayout::BorderPiece& piece : ControlLayout::kBorderPieces)
            if (std::string(piece.baseName) == run.baseName)
                found = &piece;
        EXPECT_NE(found, nullptr) << run.baseName;
    }
}

TEST(PageBorder, BelowTheTabButtonsInWholePieces)
{
    // Tab buttons 20 high (80-pixel images): the border overlaps their last row.
    const ControlLayout::Area area = ControlLayout::PageBorder(10, 5, 200, 150, 20);
    EXPECT_EQ(area.x, 10);
    EXPECT_EQ(area.y, 24);
    EXPECT_EQ(area.width, 192);
    EXPECT_EQ(area.height, 128) << "(150 - 20 + 1) / 16 whole pieces";
}

TEST(PlacePopup, CentredAboveAndKeptInsideTheWorkArea)
{
    // A 1024 x 738 work area below a 30-pixel bar on a 1024-wide screen; a 60 x 20 popup.
    const ControlLayout::Area work = {0, 30, 1024, 738};
    const struct
    {
        const char* what;
        int centreX;
        int top;
        int width;
        int height;
        int x;
        int y;
    } cases[] = {
        {"room above the knob: centred, 2 pixels above", 500, 300, 60, 20, 470, 278},
        {"knob at the work area's top: 1 pixel inside", 500, 40, 60, 20, 470, 31},
        {"knob at the left edge", 10, 300, 60, 20, 1, 278},
        {"knob at the right edge", 1020, 300, 60, 20, 1024 - 60 - 1, 278},
        {"knob below the work area", 500, 790, 60, 20, 470, 30 + 738 - 20 - 1},
        {"wider than the work area: on the screen from its left edge", 500, 300, 1100, 20, 0, 278},
        {"higher than the work area: its top at least at 0", 500, 300, 60, 800, 470, 31},
    };
    for (const auto& c : cases)
    {
        int x = -1;
        int y = -1;
        ControlLayout::PlacePopup(c.centreX, c.top, c.width, c.height, work, 1024, x, y);
        EXPECT_EQ(x, c.x) << c.what;
        EXPECT_EQ(y, c.y) << c.what;
    }
}
} // namespace
