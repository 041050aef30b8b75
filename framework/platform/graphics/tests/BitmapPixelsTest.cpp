#include "framework/platform/graphics/BitmapPixels.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/tests/PixelTestBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <tuple>
#include <vector>

namespace
{
constexpr uint32_t kMagenta = 0xFF00FF;

TEST(BitmapPixels, PixelsLieBottomUpLittleEndian)
{
    struct Case
    {
        int bits;
        uint32_t value;
        uint32_t readBack;
    };
    for (const Case& c : {Case{8, 0x12345678, 0x78}, Case{16, 0x12345678, 0x5678}, Case{24, 0x12345678, 0x345678},
                          Case{32, 0x12345678, 0x12345678}})
    {
        SCOPED_TRACE(c.bits);
        PixelTestBitmap bitmap(3, 2, c.bits);
        bitmap.Set(1, 0, c.value);
        EXPECT_EQ(bitmap.Get(1, 0), c.readBack);
        // Image row 0 is the last row in memory.
        const int bytes = BitmapPixels::BytesPerPixel(c.bits);
        const size_t at = static_cast<size_t>(bitmap.Buffer().stride + bytes);
        EXPECT_EQ(bitmap.Bytes()[at], 0x78);
        EXPECT_EQ(bitmap.Get(1, 1), 0u);
    }
}

TEST(BitmapPixels, OutsideReadsZeroAndWritesNothing)
{
    PixelTestBitmap bitmap(2, 2, 32);
    for (auto [x, y] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{2, 0}, std::pair{0, 2}})
    {
        bitmap.Set(x, y, 0xFFFFFFFF);
        EXPECT_EQ(bitmap.Get(x, y), 0u);
    }
    EXPECT_TRUE(bitmap.GuardIntact());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(bitmap.Get(x, y), 0u);
}

TEST(BitmapPixels, WholeSpanModesCopyTheArea)
{
    for (int mode : {BitmapPixels::CopyBottomUp, BitmapPixels::CopyTopDown})
    {
        SCOPED_TRACE(mode);
        PixelTestBitmap source(4, 4, 24);
        source.FillPattern(0x100000);
        PixelTestBitmap target(5, 5, 24);
        EXPECT_EQ(BitmapPixels::Copy(target.Buffer(), source.Buffer(), 1, 2, 2, 2, 3, 0, mode, 0, 0, 0), 1);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
            {
                const bool inArea = x >= 3 && y < 2;
                EXPECT_EQ(target.Get(x, y), inArea ? source.Get(x - 2, y + 2) : 0u) << x << "," << y;
            }
    }
}

TEST(BitmapPixels, KeyedModesCompareWithTheKeyPixelOrColour)
{
    // Row 0: key, a, key, b.
    PixelTestBitmap source(4, 1, 24);
    source.Set(0, 0, kMagenta);
    source.Set(1, 0, 0x0000AA);
    source.Set(2, 0, kMagenta);
    source.Set(3, 0, 0x0000BB);
    struct Case
    {
        int mode;
        int keyX;
        uint32_t keyColour;
        std::vector<uint32_t> expected;
    };
    const uint32_t t = 0x777777; // target background
    for (const Case& c : {
             Case{BitmapPixels::CopyUnlessKey, 0, 0, {t, 0x0000AA, t, 0x0000BB}},
             Case{BitmapPixels::CopyOnlyKey, 0, 0, {kMagenta, t, kMagenta, t}},
             // The skin key colour given as a value: bytes FF 00 FF in blue, green, red order.
             Case{BitmapPixels::CopyUnlessKey, -1, kMagenta, {t, 0x0000AA, t, 0x0000BB}},
             Case{BitmapPixels::CopyUnlessKey, 1, 0, {kMagenta, t, kMagenta, 0x0000BB}},
             Case{BitmapPixels::CopyOnlyKey, -1, 0x0000BB, {t, t, t, 0x0000BB}},
         })
    {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " key x " << c.keyX);
        PixelTestBitmap target(4, 1, 24);
        for (int x = 0; x < 4; ++x)
            target.Set(x, 0, t);
        EXPECT_EQ(
            BitmapPixels::Copy(target.Buffer(), source.Buffer(), 0, 0, 4, 1, 0, 0, c.mode, c.keyX, 0, c.keyColour), 1);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.Get(x, 0), c.expected[static_cast<size_t>(x)]) << x;
    }
}

TEST(BitmapPixels, KeyedModesCopyRunsOfPixelsOfEveryByteSize)
{
    // Rows with runs of key pixels and of others of several lengths, at the row's ends too.
    const int widths[] = {1, 2, 3, 5, 1, 4, 2};
    for (int bits : {8, 16, 24, 32})
        for (int mode : {BitmapPixels::CopyUnlessKey, BitmapPixels::CopyOnlyKey})
        {
            SCOPED_TRACE(testing::Message() << bits << " bits, mode " << mode);
            const uint32_t key = bits == 8 ? 0x5A : 0x5A5A;
            PixelTestBitmap source(18, 3, bits);
            for (int y = 0; y < 3; ++y)
            {
                int x = 0;
                for (int run = 0; run < 7; ++run)
                    for (int i = 0; i < widths[(run + y) % 7] && x < 18; ++i, ++x)
                        source.Set(x, y, run % 2 == y % 2 ? key : static_cast<uint32_t>(0x10 + x + 20 * y));
            }
            PixelTestBitmap target(20, 3, bits);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 20; ++x)
                    target.Set(x, y, 0x33);
            EXPECT_EQ(BitmapPixels::Copy(target.Buffer(), source.Buffer(), 0, 0, 18, 3, 1, 0, mode, -1, 0, key), 1);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 20; ++x)
                {
                    const bool inside = x >= 1 && x <= 18;
                    const bool keyed = inside && source.Get(x - 1, y) == key;
                    const bool copied = inside && keyed == (mode == BitmapPixels::CopyOnlyKey);
                    EXPECT_EQ(target.Get(x, y), copied ? source.Get(x - 1, y) : 0x33u) << x << "," << y;
                }
            EXPECT_TRUE(target.GuardIntact());
        }
}

TEST(BitmapPixels, CopyClipsToBothBitmaps)
{
    struct Case
    {
        const char* what;
        int sx, sy, width, height, tx, ty;
        int firstX, firstY, lastX, lastY; // the target area that must change (inclusive)
        int offsetX, offsetY;             // target minus source position
    };
    for (const Case& c : {
             Case{"source origin at the width copies nothing", 4, 0, 2, 2, 0, 0, 0, 0, -1, -1, 0, 0},
             Case{"width cut to the source", 3, 0, 9, 1, 0, 0, 0, 0, 0, 0, -3, 0},
             Case{"width cut to the target", 0, 0, 4, 4, 4, 3, 4, 3, 4, 3, 4, 3},
             Case{"negative source origin", -2, -1, 4, 3, 0, 0, 2, 1, 3, 2, 2, 1},
             Case{"negative target origin", 0, 0, 3, 3, -1, -2, 0, 0, 1, 0, -1, -2},
         })
    {
        SCOPED_TRACE(c.what);
        PixelTestBitmap source(4, 4, 32);
        source.FillPattern(0x1000);
        PixelTestBitmap target(5, 4, 32);
        EXPECT_EQ(BitmapPixels::Copy(target.Buffer(), source.Buffer(), c.sx, c.sy, c.width, c.height, c.tx, c.ty,
                                     BitmapPixels::CopyBottomUp, 0, 0, 0),
                  1);
        EXPECT_TRUE(target.GuardIntact());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
            {
                const bool changed = x >= c.firstX && x <= c.lastX && y >= c.firstY && y <= c.lastY;
                EXPECT_EQ(target.Get(x, y), changed ? source.Get(x - c.offsetX, y - c.offsetY) : 0u) << x << "," << y;
            }
    }
}

TEST(BitmapPixels, CopyRefusesWhatWouldOverrun)
{
    struct Case
    {
        const char* what;
        int sourceBits, targetBits;
        int width, height;
        int mode;
        int keyX;
    };
    for (const Case& c : {
             // The bytes per pixel of a 32-bit source would run past a 24-bit target.
             Case{"deeper source", 32, 24, 8, 8, BitmapPixels::CopyBottomUp, 0},
             Case{"shallower source", 24, 32, 8, 8, BitmapPixels::CopyUnlessKey, -1},
             // A skin region without its width or height reads -1.
             Case{"negative width", 24, 24, -1, 8, BitmapPixels::CopyBottomUp, 0},
             Case{"negative height", 24, 24, 8, -1, BitmapPixels::CopyTopDown, 0},
             Case{"unknown depth", 4, 4, 8, 8, BitmapPixels::CopyBottomUp, 0},
             Case{"unknown mode", 24, 24, 8, 8, 4, 0},
             Case{"key point outside", 24, 24, 8, 8, BitmapPixels::CopyOnlyKey, 8},
         })
    {
        SCOPED_TRACE(c.what);
        PixelTestBitmap source(8, 8, c.sourceBits);
        source.FillPattern(0x20000);
        PixelTestBitmap target(8, 8, c.targetBits);
        const std::vector<uint8_t> before = target.Bytes();
        EXPECT_EQ(
            BitmapPixels::Copy(target.Buffer(), source.Buffer(), 0, 0, c.width, c.height, 0, 0, c.mode, c.keyX, 0, 0),
            0);
        EXPECT_EQ(target.Bytes(), before);
    }
    PixelTestBitmap bitmap(2, 2, 24);
    PixelBuffer noBits = bitmap.Buffer();
    noBits.bits = nullptr;
    EXPECT_EQ(BitmapPixels::Copy(noBits, bitmap.Buffer(), 0, 0, 1, 1, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(BitmapPixels::Copy(bitmap.Buffer(), noBits, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0), 0);
}

TEST(BitmapPixels, ScrollMovesRowsInsideOneBitmap)
{
    struct Case
    {
        int delta;
        int height;
        std::vector<int> sourceRow; // per area row: the original row now shown there
    };
    // Area rows 1..4 of a 6-row bitmap; -1 in the table means "unchanged".
    for (const Case& c : {
             Case{2, 4, {1, 2, 1, 2}},
             Case{1, 4, {1, 1, 2, 3}},
             Case{-1, 4, {2, 3, 4, 4}},
             Case{-3, 4, {4, 2, 3, 4}},
             Case{4, 4, {1, 2, 3, 4}},
             Case{-9, 4, {1, 2, 3, 4}},
             Case{1, 1, {1}},
         })
    {
        SCOPED_TRACE(testing::Message() << "delta " << c.delta << " height " << c.height);
        PixelTestBitmap bitmap(5, 6, 24);
        bitmap.FillPattern(0x300000);
        PixelTestBitmap original(5, 6, 24);
        original.FillPattern(0x300000);
        EXPECT_EQ(BitmapPixels::Scroll(bitmap.Buffer(), c.delta, 1, 1, 3, c.height), 1);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 5; ++x)
            {
                const bool inArea = x >= 1 && x <= 3 && y >= 1 && y < 1 + c.height;
                const int from = inArea ? c.sourceRow[static_cast<size_t>(y - 1)] : y;
                EXPECT_EQ(bitmap.Get(x, y), original.Get(x, from)) << x << "," << y;
            }
    }
}

TEST(BitmapPixels, BlendMixesEachColourByte)
{
    for (auto [factor, expected] : {std::pair{0.0, 0x00FF10u}, std::pair{1.0, 0xFF0030u}, std::pair{0.5, 0x7F8020u}})
    {
        SCOPED_TRACE(factor);
        PixelTestBitmap a(2, 2, 24), b(2, 2, 24), target(3, 3, 24);
        a.Set(1, 1, 0x00FF10);
        b.Set(0, 0, 0xFF0030);
        EXPECT_EQ(BitmapPixels::Blend(target.Buffer(), factor, a.Buffer(), b.Buffer(), 1, 1, 1, 1, 0, 0, 2, 2), 1);
        EXPECT_EQ(target.Get(2, 2), expected);
        EXPECT_EQ(target.Get(1, 1), 0u);
    }
}

TEST(BitmapPixels, BlendClipsAgainstAllThreeBitmaps)
{
    PixelTestBitmap a(6, 6, 24), b(4, 6, 24), target(6, 3, 24);
    a.FillPattern(0x10);
    b.FillPattern(0x10);
    // The area is larger than B's width and the target's height.
    EXPECT_EQ(BitmapPixels::Blend(target.Buffer(), 1.0, a.Buffer(), b.Buffer(), 6, 6, 0, 0, 1, 0, 0, 1), 1);
    EXPECT_TRUE(target.GuardIntact());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
        {
            const bool blended = y >= 1 && x < 3;
            EXPECT_EQ(target.Get(x, y), blended ? b.Get(x + 1, y - 1) : 0u) << x << "," << y;
        }
}

TEST(BitmapPixels, BlendRefusesOtherDepthsAndNegativeSpans)
{
    for (auto [bitsA, bitsB, bitsT, width] :
         {std::tuple{32, 24, 24, 2}, std::tuple{24, 32, 24, 2}, std::tuple{24, 24, 32, 2}, std::tuple{24, 24, 24, -1}})
    {
        PixelTestBitmap a(2, 2, bitsA), b(2, 2, bitsB), target(2, 2, bitsT);
        a.FillPattern(0x40);
        b.FillPattern(0x50);
        const std::vector<uint8_t> before = target.Bytes();
        EXPECT_EQ(BitmapPixels::Blend(target.Buffer(), 0.5, a.Buffer(), b.Buffer(), width, 2, 0, 0, 0, 0, 0, 0), 0);
        EXPECT_EQ(target.Bytes(), before);
    }
}

struct Rect
{
    int left, top, right, bottom;
    bool operator==(const Rect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

class RectangleList : public BitmapPixels::RunSink
{
public:
    int AddRun(int left, int top, int right, int bottom) override
    {
        rects.push_back({left, top, right, bottom});
        return 1;
    }
    std::vector<Rect> rects;
};

TEST(BitmapPixels, RunsOfAnOpaqueColumnAreOneRectanglePerRow)
{
    PixelTestBitmap bitmap(4, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            bitmap.Set(x, y, x == 2 ? 0x123456 : kMagenta);
    RectangleList list;
    EXPECT_EQ(BitmapPixels::ScanRuns(bitmap.Buffer(), 0, 0, 4, 3, 0, 0, list), 1);
    EXPECT_EQ(list.rects, (std::vector<Rect>{{2, 0, 3, 1}, {2, 1, 3, 2}, {2, 2, 3, 3}}));
}

TEST(BitmapPixels, RunsAreRelativeToTheArea)
{
    // Row 1: key, x, x, key, x, key
    PixelTestBitmap bitmap(6, 3, 32);
    const uint32_t row[] = {kMagenta, 1, 2, kMagenta, 3, kMagenta};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            bitmap.Set(x, y, y == 1 ? row[x] : kMagenta);
    RectangleList list;
    EXPECT_EQ(BitmapPixels::ScanRuns(bitmap.Buffer(), 1, 1, 4, 2, 0, 0, list), 1);
    EXPECT_EQ(list.rects, (std::vector<Rect>{{0, 0, 2, 1}, {3, 0, 4, 1}}));
}

TEST(BitmapPixels, AllKeyOrUnsizedDepthGivesNoRuns)
{
    for (int bits : {24, 1})
    {
        PixelTestBitmap bitmap(3, 3, bits);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                bitmap.Set(x, y, 5);
        RectangleList list;
        EXPECT_EQ(BitmapPixels::ScanRuns(bitmap.Buffer(), 0, 0, 3, 3, 1, 1, list), 1);
        EXPECT_TRUE(list.rects.empty());
    }
    PixelTestBitmap bitmap(3, 3, 24);
    RectangleList list;
    EXPECT_EQ(BitmapPixels::ScanRuns(bitmap.Buffer(), 0, 0, 3, 3, 3, 0, list), 0);
    EXPECT_EQ(BitmapPixels::ScanRuns(bitmap.Buffer(), 0, 0, -1, 3, 0, 0, list), 0);
}
} // namespace

namespace
{
TEST(BitmapPixels, RunsByKeyValueNeedNoKeyPixel)
{
    // A composed row whose key colour lies on none of its pixels' key points: A, key, key, B.
    PixelTestBitmap bitmap(4, 1, 24);
    const uint32_t row[] = {0x010203, kMagenta, kMagenta, 0x040506};
    for (int x = 0; x < 4; ++x)
        bitmap.Set(x, 0, row[x]);
    for (uint32_t key : {kMagenta, 0xAB000000u | kMagenta})
    {
        SCOPED_TRACE(key);
        RectangleList list;
        EXPECT_EQ(BitmapPixels::ScanRunsKeyed(bitmap.Buffer(), 0, 0, 4, 1, key, list), 1)
            << "bytes above the pixel's own do not count";
        EXPECT_EQ(list.rects, (std::vector<Rect>{{0, 0, 1, 1}, {3, 0, 4, 1}}));
    }
    RectangleList list;
    EXPECT_EQ(BitmapPixels::ScanRunsKeyed(bitmap.Buffer(), 0, 0, -1, 1, kMagenta, list), 0);
}
// Sizes come from files and skins a user may edit: a bitmap is made only within its side and
// pixel limits and with a byte count that fits, and a refused size leaves no bits behind.
TEST(BitmapPixels, BitmapsAreMadeOnlyWithinTheSizeLimits)
{
    const struct
    {
        int64_t width;
        int64_t height;
        int bits;
        bool allowed;
    } cases[] = {
        {1, 1, 24, true},
        {BitmapPixels::kMaxSide, 1024, 32, true},
        {1024, BitmapPixels::kMaxSide, 8, true},
        {BitmapPixels::kMaxSide + 1, 1, 24, false},
        {1, BitmapPixels::kMaxSide + 1, 24, false},
        {4096, 4097, 32, false}, // past the pixel budget though each side fits
        {INT_MAX, 1, 32, false},
        {INT_MAX, INT_MAX, 32, false},
        {int64_t{1} << 32, 1, 8, false},
        {0, 10, 24, false},
        {10, -1, 24, false},
        {10, 10, 0, false},
        {10, 10, 33, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.bits));
        EXPECT_EQ(BitmapPixels::SizeAllowed(c.width, c.height, c.bits), c.allowed);
        if (c.width > INT_MAX || c.height > INT_MAX || c.bits % 8)
            continue;
        Bitmap bitmap;
        EXPECT_EQ(bitmap.Create(static_cast<int>(c.width), static_cast<int>(c.height), c.bits), c.allowed ? 1 : 0);
        EXPECT_EQ(bitmap.Bits() != nullptr, c.allowed);
    }
}
} // namespace
