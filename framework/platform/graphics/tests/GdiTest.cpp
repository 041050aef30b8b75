#include "framework/base/String.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/BitmapFont.h"
#include "framework/platform/graphics/Font.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/platform/graphics/Region.h"
#include "framework/platform/graphics/ScreenContext.h"

#include <gtest/gtest.h>

#include <climits>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr uint32_t kMagenta = 0xFF00FF;

// A DIB section's pixel as GDI sees it, for comparing with what the pixel core wrote.
COLORREF GdiPixel(const Bitmap& bitmap, int x, int y)
{
    HDC context = bitmap.Context();
    return context ? ::GetPixel(context, x, y) : CLR_INVALID;
}

TEST(DibBitmap, PixelCoreAndGdiSeeTheSamePixels)
{
    for (int bits : {24, 32})
    {
        SCOPED_TRACE(bits);
        Bitmap bitmap;
        ASSERT_EQ(bitmap.Create(6, 4, bits), 1);
        EXPECT_EQ(bitmap.Width(), 6);
        EXPECT_EQ(bitmap.Height(), 4);
        EXPECT_EQ(bitmap.BitsPerPixel(), bits);
        ASSERT_NE(bitmap.Bits(), nullptr);
        bitmap.SetPixel(1, 0, 0x123456);
        EXPECT_EQ(GdiPixel(bitmap, 1, 0), RGB(0x12, 0x34, 0x56));
        ASSERT_EQ(bitmap.FillRect(2, 1, 3, 2, RGB(0xAB, 0xCD, 0xEF)), 1);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
            {
                const bool filled = x >= 2 && x < 5 && y >= 1 && y < 3;
                const uint32_t expected = filled ? 0xABCDEF : (x == 1 && y == 0 ? 0x123456 : 0);
                EXPECT_EQ(bitmap.GetPixel(x, y) & 0xFFFFFF, expected) << x << "," << y;
            }
    }
}

TEST(DibBitmap, TemplateGivesTheDepthAndPalettedDepthsAreMade)
{
    Bitmap deep;
    ASSERT_EQ(deep.Create(3, 3, 32), 1);
    Bitmap copy;
    ASSERT_EQ(copy.Create(5, 2, deep), 1);
    EXPECT_EQ(copy.BitsPerPixel(), 32);
    for (int bits : {1, 4, 8, 16})
    {
        Bitmap paletted;
        EXPECT_EQ(paletted.Create(9, 3, bits), 1) << bits;
        EXPECT_EQ(paletted.BitsPerPixel(), bits);
    }
    Bitmap none;
    Bitmap fromNothing;
    EXPECT_EQ(fromNothing.Create(3, 3, none), 0);
    EXPECT_EQ(fromNothing.Bits(), nullptr);
    EXPECT_EQ(fromNothing.Create(3, 3, 12), 0);
}

TEST(DibBitmap, KeyedCopyBetweenSections)
{
    Bitmap source, target;
    ASSERT_EQ(source.Create(3, 1, 24), 1);
    ASSERT_EQ(target.Create(3, 1, 24), 1);
    source.SetPixel(0, 0, kMagenta);
    source.SetPixel(1, 0, 0x010203);
    source.SetPixel(2, 0, kMagenta);
    target.FillRect(0, 0, 3, 1, RGB(0x44, 0x44, 0x44));
    EXPECT_EQ(target.CopyPixels(source, 0, 0, 3, 1, 0, 0, 1, -1, 0, kMagenta), 1);
    EXPECT_EQ(GdiPixel(target, 0, 0), RGB(0x44, 0x44, 0x44));
    EXPECT_EQ(GdiPixel(target, 1, 0), RGB(0x01, 0x02, 0x03));
    EXPECT_EQ(GdiPixel(target, 2, 0), RGB(0x44, 0x44, 0x44));

    // A 32-bit source into a 24-bit section is refused rather than overrunning it.
    Bitmap deep;
    ASSERT_EQ(deep.Create(3, 1, 32), 1);
    deep.SetPixel(0, 0, 0xFFFFFFFF);
    EXPECT_EQ(target.CopyPixels(deep, 0, 0, 3, 1, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(GdiPixel(target, 0, 0), RGB(0x44, 0x44, 0x44));
}

TEST(DibBitmap, BlendAndScrollOnSections)
{
    Bitmap a, b, target;
    ASSERT_EQ(a.Create(2, 2, 24), 1);
    ASSERT_EQ(b.Create(2, 2, 24), 1);
    ASSERT_EQ(target.Create(2, 2, 24), 1);
    b.FillRect(0, 0, 2, 2, RGB(255, 255, 255));
    EXPECT_EQ(target.Blend(0.5, a, b, 2, 2, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(GdiPixel(target, 1, 1), RGB(127, 127, 127));

    Bitmap strip;
    ASSERT_EQ(strip.Create(1, 3, 24), 1);
    for (int y = 0; y < 3; ++y)
        strip.SetPixel(0, y, static_cast<uint32_t>(y + 1));
    EXPECT_EQ(strip.ScrollArea(1, 0, 0, 1, 3), 1);
    EXPECT_EQ(strip.GetPixel(0, 0), 1u);
    EXPECT_EQ(strip.GetPixel(0, 1), 1u);
    EXPECT_EQ(strip.GetPixel(0, 2), 2u);
}

// A 3 x 2 24-bit file, rows stored bottom-up: top row red, green, blue; bottom row white,
// black, grey.
std::string WriteBitmapFile(const char* name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    const uint8_t top[12] = {0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0};
    const uint8_t bottom[12] = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0x80, 0x80, 0, 0, 0};
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + 24;
    info.biSize = sizeof(info);
    info.biWidth = 3;
    info.biHeight = 2;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return path;
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(bottom, 12, 1, out);
    std::fwrite(top, 12, 1, out);
    std::fclose(out);
    return path;
}

TEST(DibBitmap, LoadFileReadsRowsInImageOrder)
{
    const std::string path = WriteBitmapFile("kiv-load-file.bmp");
    String widePath;
    ASSERT_EQ(widePath.AppendAnsi(path.c_str()), 1);
    Bitmap bitmap;
    ASSERT_EQ(bitmap.LoadFile(widePath), 1);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.BitsPerPixel(), 24);
    const uint32_t expected[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0x808080}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
        {
            const uint32_t value = expected[y][x];
            EXPECT_EQ(bitmap.GetPixel(x, y), value) << x << "," << y;
            EXPECT_EQ(GdiPixel(bitmap, x, y), RGB(value >> 16, (value >> 8) & 0xFF, value & 0xFF)) << x << "," << y;
        }
    DeleteFileA(path.c_str());
}

TEST(DibBitmap, LoadFileOfAMissingFileFails)
{
    Bitmap bitmap;
    String path;
    ASSERT_EQ(path.AssignWide(u"C:\\no such folder\\missing.bmp"), 1);
    EXPECT_EQ(bitmap.LoadFile(path), 0);
    EXPECT_EQ(bitmap.Handle(), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
}

std::vector<RECT> RectanglesOf(const Region& region)
{
    const DWORD size = GetRegionData(region.Handle(), 0, nullptr);
    std::vector<uint8_t> data(size);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (size == 0 || GetRegionData(region.Handle(), size, header) != size)
        return {};
    const RECT* rects = reinterpret_cast<const RECT*>(header->Buffer);
    return std::vector<RECT>(rects, rects + header->rdh.nCount);
}

TEST(RegionFromBitmap, ColumnAndAllKey)
{
    Bitmap bitmap;
    ASSERT_EQ(bitmap.Create(5, 4, 24), 1);
    bitmap.FillRect(0, 0, 5, 4, RGB(0xFF, 0x00, 0xFF));
    // A one-pixel column at x = 3 in rows 1..3, taken from the area (1, 1, 4, 3).
    bitmap.FillRect(3, 1, 1, 3, RGB(1, 2, 3));
    Region region;
    ASSERT_EQ(region.FromBitmap(bitmap, 1, 1, 4, 3, 0, 0), 1);
    ASSERT_NE(region.Handle(), nullptr);
    const std::vector<RECT> rects = RectanglesOf(region);
    ASSERT_EQ(rects.size(), 1u); // GDI merges the rows of a column into one rectangle
    EXPECT_EQ(rects[0].left, 2);
    EXPECT_EQ(rects[0].top, 0);
    EXPECT_EQ(rects[0].right, 3);
    EXPECT_EQ(rects[0].bottom, 3);
    EXPECT_EQ(region.Contains(2, 2), 1);
    EXPECT_EQ(region.Contains(1, 2), 0);

    Region empty;
    ASSERT_EQ(empty.FromBitmap(bitmap, 0, 0, 2, 4, 0, 0), 1);
    ASSERT_NE(empty.Handle(), nullptr);
    RECT box = {};
    EXPECT_EQ(GetRgnBox(empty.Handle(), &box), NULLREGION);

    // A bitmap without a section keeps the old region.
    Bitmap none;
    HRGN before = region.Handle();
    EXPECT_EQ(region.FromBitmap(none, 0, 0, 1, 1, 0, 0), 0);
    EXPECT_EQ(region.Handle(), before);
}

TEST(Region, CombinationsAndCopies)
{
    Region a, b;
    ASSERT_EQ(a.AddRect(0, 0, 10, 10), 1);
    ASSERT_EQ(a.AddRect(20, 0, 5, 5), 1);
    ASSERT_EQ(b.AddRect(5, 5, 10, 10), 1);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_EQ(a.GetBox(x, y, width, height), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(width, 25);

    Region result;
    ASSERT_EQ(result.And(a, b), 1);
    ASSERT_EQ(result.GetBox(x, y, width, height), 1);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 5);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 5);
    ASSERT_EQ(result.Diff(a, b), 1);
    EXPECT_EQ(result.Contains(7, 7), 0);
    EXPECT_EQ(result.Contains(2, 2), 1);

    // Or(a, this) reuses this region's handle.
    HRGN own = b.Handle();
    ASSERT_EQ(b.Or(a, b), 1);
    EXPECT_EQ(b.Handle(), own);
    EXPECT_EQ(b.Contains(21, 1), 1);
    EXPECT_EQ(b.IntersectsRect(12, 12, 2, 2), 1);
    EXPECT_EQ(b.IntersectsRect(16, 16, 2, 2), 0);

    Region copy;
    ASSERT_EQ(copy.Copy(b), 1);
    EXPECT_EQ(copy.Equals(b), 1);
    ASSERT_EQ(copy.Offset(1, 0), 1);
    EXPECT_EQ(copy.Equals(b), 0);

    Region none, alsoNone, square;
    EXPECT_EQ(none.Equals(alsoNone), 1);
    EXPECT_EQ(none.Equals(a), 0);
    EXPECT_EQ(none.Contains(0, 0), 0);
    EXPECT_EQ(none.Or(a, alsoNone), 0);
    EXPECT_EQ(none.Handle(), nullptr);
    ASSERT_EQ(square.Copy(none), 1);
    ASSERT_EQ(square.GetBox(x, y, width, height), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(width, 10);
    EXPECT_EQ(height, 10);
}

TEST(Font, HeightFollowsTheScreenResolution)
{
    int pixelsPerInch = 0;
    {
        ScreenContext screen;
        ASSERT_NE(screen.Get(), nullptr);
        pixelsPerInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    ASSERT_EQ(pixelsPerInch, 96);
    Font font;
    ASSERT_EQ(font.Create(Font::FamilyArial, Font::StyleBold | Font::StyleItalic, 10), 1);
    LOGFONTA logFont = {};
    ASSERT_EQ(GetObjectA(font.Handle(), sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
    EXPECT_EQ(logFont.lfHeight, -13);
    EXPECT_EQ(logFont.lfWeight, FW_BOLD);
    EXPECT_EQ(logFont.lfItalic, 1);
    EXPECT_EQ(logFont.lfUnderline, 0);
    EXPECT_STREQ(logFont.lfFaceName, "Arial");
    EXPECT_GT(font.Height(), 10);
    EXPECT_GT(font.TextWidth(u"WWW"), font.TextWidth(u"W"));
    const int wide = font.TextWidth(u"abcdef");
    EXPECT_EQ(font.FitCount(u"abcdefabcdef", wide), 6);
    EXPECT_EQ(font.MeasureWrapped(u"abcdef", 1000), font.Height());
    EXPECT_EQ(font.MeasureWrapped(u"abcdef abcdef", font.TextWidth(u"abcdef ") + 2), 2 * font.Height());

    std::unique_ptr<Font> clone(font.Clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->Height(), font.Height());
    EXPECT_NE(clone->Handle(), font.Handle());
}

// At 96 pixels per inch the pixel height is size * 96 / 72, worked out past 32 bits.
TEST(Font, HugeSizesKeepTheirSign)
{
    const struct
    {
        int size;
        LONG height;
    } cases[] = {{22369621, -29826161}, {22369622, -29826162}, {INT_MAX, -LONG_MAX}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.size);
        Font font;
        ASSERT_EQ(font.Create(Font::FamilyArial, 0, c.size), 1);
        LOGFONTA logFont = {};
        ASSERT_EQ(GetObjectA(font.Handle(), sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
        EXPECT_EQ(logFont.lfHeight, c.height);
    }
}

// Paints into a section through its own context, as a paint handler would into a window.
class SectionGraphics
{
public:
    explicit SectionGraphics(Bitmap& target) { graphics.AttachDC(target.Context()); }
    ~SectionGraphics() { GdiFlush(); }
    Graphics graphics;
};

TEST(Graphics, ShapesAndBlits)
{
    Bitmap target;
    ASSERT_EQ(target.Create(8, 8, 24), 1);
    {
        SectionGraphics paint(target);
        paint.graphics.FillRect(Rect{0, 0, 8, 8}, RGB(0, 0, 0x80));
        paint.graphics.FrameRect(Rect{1, 1, 5, 4}, RGB(0xFF, 0, 0));
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const bool edge = (x >= 1 && x <= 4 && (y == 1 || y == 3)) || (y >= 1 && y <= 3 && (x == 1 || x == 4));
            EXPECT_EQ(target.GetPixel(x, y), edge ? 0xFF0000u : 0x000080u) << x << "," << y;
        }

    Bitmap source;
    ASSERT_EQ(source.Create(2, 2, 24), 1);
    source.SetPixel(1, 1, 0x00FF00);
    {
        SectionGraphics paint(target);
        paint.graphics.Blit(source, 1, 1, 1, 1, 6, 6);
        Rect clip;
        ASSERT_EQ(paint.graphics.GetClipBox(clip), 1);
        EXPECT_EQ(clip.right, 8);
    }
    EXPECT_EQ(target.GetPixel(6, 6), 0x00FF00u);
}

// The objects selected into a context, to see that a drawing call put back what it chose.
struct Selected
{
    HGDIOBJ bitmap, font, pen, brush;
    explicit Selected(HDC dc)
        : bitmap(GetCurrentObject(dc, OBJ_BITMAP)), font(GetCurrentObject(dc, OBJ_FONT)),
          pen(GetCurrentObject(dc, OBJ_PEN)), brush(GetCurrentObject(dc, OBJ_BRUSH))
    {
    }
    bool operator==(const Selected& other) const
    {
        return bitmap == other.bitmap && font == other.font && pen == other.pen && brush == other.brush;
    }
};

TEST(DibBitmap, OneContextHoldsTheBitmapUntilItGoesOrIsMadeAgain)
{
    Bitmap none;
    EXPECT_EQ(none.Context(), nullptr) << "no bitmap, no context";

    auto bitmap = std::make_unique<Bitmap>();
    ASSERT_EQ(bitmap->Create(4, 4, 24), 1);
    HDC first = bitmap->Context();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(first, OBJ_BITMAP), bitmap->Handle());
    const Selected before(first);

    // Drawing into the bitmap and out of it keeps the one context and leaves it as it was.
    Font font;
    ASSERT_EQ(font.Create(Font::FamilyArial, 0, 8), 1);
    String text;
    ASSERT_EQ(text.AssignWide(u"x"), 1);
    ASSERT_EQ(bitmap->FillRect(0, 0, 4, 4, RGB(0, 0xFF, 0)), 1);
    ASSERT_EQ(bitmap->DrawText(text, font, 0, 0, 0, RGB(0, 0, 0xFF), nullptr), 1);
    ASSERT_EQ(bitmap->DrawFocusRect(Rect{0, 0, 4, 4}), 1);
    Bitmap target;
    ASSERT_EQ(target.Create(8, 8, 24), 1);
    {
        SectionGraphics paint(target);
        const Selected targetBefore(target.Context());
        for (int i = 0; i < 3; ++i)
        {
            paint.graphics.Blit(*bitmap, 0, 0, 2, 2, 2 * i, 0);
            paint.graphics.StretchBlit(*bitmap, 0, 0, 1, 1, 2 * i, 4, 2, 2);
            paint.graphics.TextOut(text, 0, 0, Rect{0, 0, 8, 8}, font, 0);
            paint.graphics.Ellipse(Rect{0, 0, 4, 4}, 0, 0);
        }
        EXPECT_TRUE(Selected(target.Context()) == targetBefore) << "nothing left selected in the target";
    }
    EXPECT_EQ(bitmap->Context(), first) << "the same context on every use";
    EXPECT_TRUE(Selected(first) == before) << "nothing left selected in the bitmap's context";

    // Made again, the bitmap gets a new section in a new context; the old context is gone.
    ASSERT_EQ(bitmap->Create(2, 2, 24), 1);
    EXPECT_EQ(GetObjectType(first), 0u);
    HDC second = bitmap->Context();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetCurrentObject(second, OBJ_BITMAP), bitmap->Handle());
    HBITMAP section = bitmap->Handle();
    bitmap.reset();
    EXPECT_EQ(GetObjectType(second), 0u) << "deleted with its bitmap";
    EXPECT_EQ(GetObjectType(section), 0u) << "and the section with it";
}

TEST(Graphics, BlitsFromAKeptContextCopyAndClipAsBefore)
{
    // A 4 x 4 source of distinct pixels blitted to a target whose context clips to (2, 2, 6, 6).
    Bitmap source;
    ASSERT_EQ(source.Create(4, 4, 24), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, 0x100000u * (x + 1) + 0x10u * (y + 1));
    Bitmap target;
    ASSERT_EQ(target.Create(8, 8, 24), 1);
    HRGN clip = CreateRectRgn(2, 2, 6, 6);
    ASSERT_NE(clip, nullptr);
    ASSERT_NE(SelectClipRgn(target.Context(), clip), ERROR);
    {
        SectionGraphics paint(target);
        paint.graphics.Blit(source, 0, 0, 4, 4, 1, 1);
        // A pixel written straight into the source after a blit reaches the next blit.
        GdiFlush();
        source.SetPixel(3, 3, 0xABCDEF);
        paint.graphics.Blit(source, 3, 3, 1, 1, 5, 5);
    }
    SelectClipRgn(target.Context(), nullptr);
    DeleteObject(clip);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            uint32_t expected = 0;
            if (x == 5 && y == 5)
                expected = 0xABCDEF;
            else if (inside && x <= 4 && y <= 4)
                expected = 0x100000u * x + 0x10u * y;
            EXPECT_EQ(target.GetPixel(x, y), expected) << x << "," << y;
        }
}

TEST(Graphics, BitmapFontTakesTheAlignmentFromDrawTextFlags)
{
    Bitmap strip;
    ASSERT_EQ(strip.Create(2, 1, 24), 1);
    strip.FillRect(0, 0, 2, 1, RGB(0, 0xFF, 0));
    BitmapFont font;
    ASSERT_EQ(font.Setup(&strip, 'a', 1), 1); // cell 2, advance 3
    struct Case
    {
        UINT format;
        int start;
    };
    // DT_CENTER is 1 and DT_RIGHT 2, the other way round from the bitmap font's numbers.
    for (const Case& c : {Case{DT_LEFT, 0}, Case{DT_CENTER, 3}, Case{DT_RIGHT, 6}})
    {
        SCOPED_TRACE(c.format);
        Bitmap target;
        ASSERT_EQ(target.Create(10, 1, 24), 1);
        {
            SectionGraphics paint(target);
            paint.graphics.DrawText(u"a", Rect{0, 0, 9, 1}, font, 0, c.format);
        }
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(target.GetPixel(x, 0), (x == c.start || x == c.start + 1) ? 0x00FF00u : 0u) << x;
    }
}

TEST(Graphics, TextReachesTheBitmap)
{
    Font font;
    ASSERT_EQ(font.Create(Font::FamilyCourierNew, 0, 12), 1);
    Bitmap target;
    ASSERT_EQ(target.Create(60, 20, 24), 1);
    String text;
    ASSERT_EQ(text.AssignWide(u"Mix"), 1);
    ASSERT_EQ(target.DrawText(text, font, 0, 2, 2, RGB(0xFF, 0xFF, 0xFF), nullptr), 1);
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            lit += target.GetPixel(x, y) != 0 ? 1 : 0;
    EXPECT_GT(lit, 10);
    // Clipped to an empty rectangle nothing is drawn.
    Bitmap clipped;
    ASSERT_EQ(clipped.Create(60, 20, 24), 1);
    const Rect none{0, 0, 0, 0};
    clipped.DrawText(text, font, 0, 2, 2, RGB(0xFF, 0xFF, 0xFF), &none);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(clipped.GetPixel(x, y), 0u);
}
} // namespace
