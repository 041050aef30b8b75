#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/BitmapFont.h"
#include "framework/platform/graphics/BitmapPixels.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// A strip whose column x holds the value 0x100 + x, so drawn pixels name their source.
void MakeStrip(Bitmap& strip, int width, int height)
{
    ASSERT_EQ(strip.Create(width, height, 24), 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            strip.SetPixel(x, y, 0x100u + static_cast<uint32_t>(x));
}

TEST(BitmapFont, CellWidthAndMetrics)
{
    Bitmap strip;
    MakeStrip(strip, 95, 7);
    BitmapFont font;
    ASSERT_EQ(font.Setup(&strip, '0', 10), 1);
    EXPECT_EQ(font.CellWidth(), 9);
    EXPECT_EQ(font.TextWidth(u"12"), 20);
    EXPECT_EQ(font.Height(), 7);
    int width = 0, height = 0;
    font.GetExtent(u"123", width, height);
    EXPECT_EQ(width, 30);
    EXPECT_EQ(height, 7);
    EXPECT_EQ(font.FitCount(u"123456", 40), 4);
    EXPECT_EQ(font.FitCount(u"123456", -5), 0);
    EXPECT_EQ(font.MeasureWrapped(u"a long text that would wrap", 10), 7);

    EXPECT_EQ(font.GlyphOffset(u'0'), 0);
    EXPECT_EQ(font.GlyphOffset(u'9'), 81);
    EXPECT_EQ(font.GlyphOffset(u'/'), -1);
    EXPECT_EQ(font.GlyphOffset(u':'), -1);
    EXPECT_EQ(font.GlyphOffset(u'\u00B0'), -1);
    EXPECT_EQ(font.GlyphOffset(u'\u0131'), -1); // low byte 0x31 is '1': no aliasing

    BitmapFont stripless;
    EXPECT_EQ(stripless.Setup(nullptr, 32, 96), 1);
    EXPECT_EQ(stripless.CellWidth(), 6);
    EXPECT_EQ(stripless.Height(), 0);
}

TEST(BitmapFont, SetupRefusesCountsThatLeaveNoCell)
{
    Bitmap strip;
    MakeStrip(strip, 20, 4);
    // A missing count reads -1 from the skin; 0 and a count above the strip width would
    // give a division by zero in FitCount or a negative cell.
    for (auto [bitmap, count] : {std::pair<const Bitmap*, int>{&strip, 0}, std::pair<const Bitmap*, int>{&strip, -1},
                                 std::pair<const Bitmap*, int>{&strip, 21}, std::pair<const Bitmap*, int>{nullptr, 0}})
    {
        SCOPED_TRACE(count);
        BitmapFont font;
        ASSERT_EQ(font.Setup(&strip, 'a', 4), 1);
        EXPECT_EQ(font.Setup(bitmap, 'A', count), 0);
        EXPECT_EQ(font.CellWidth(), 5);
        EXPECT_EQ(font.GlyphOffset(u'b'), 5);
        EXPECT_EQ(font.FitCount(u"abc", 10), 2);
    }
}

TEST(BitmapFont, StartFollowsTheAlignment)
{
    Bitmap strip;
    MakeStrip(strip, 40, 4);
    BitmapFont font;
    ASSERT_EQ(font.Setup(&strip, 'a', 10), 1); // cell 4, advance 5
    struct Case
    {
        int alignment;
        const char16_t* text;
        int expected;
    };
    const Rect rect{10, 3, 41, 9}; // 31 wide
    for (const Case& c :
         {Case{BitmapFont::AlignLeft, u"abc", 10}, Case{BitmapFont::AlignRight, u"abc", 26},
          Case{BitmapFont::AlignCenter, u"abc", 18}, Case{BitmapFont::AlignCenter, u"ab", 20}, Case{7, u"abc", 10},
          // Wider than the rectangle: never left of it.
          Case{BitmapFont::AlignRight, u"abcdefghij", 10}, Case{BitmapFont::AlignCenter, u"abcdefghij", 10}})
    {
        SCOPED_TRACE(testing::Message() << c.alignment << " " << std::u16string(c.text).size());
        EXPECT_EQ(font.StartX(c.text, rect, c.alignment), c.expected);
    }
}

TEST(BitmapFont, DrawsCellsOnePixelApartAndClipsAtTheRight)
{
    Bitmap strip;
    MakeStrip(strip, 12, 2);
    BitmapFont font;
    ASSERT_EQ(font.Setup(&strip, 'a', 4), 1); // cell 3
    Bitmap target;
    ASSERT_EQ(target.Create(20, 4, 24), 1);
    // The e-acute has no glyph but still advances; the 'a' after it is cut at the right edge.
    font.DrawText(target, u"c\u00E9a", Rect{2, 1, 11, 4});
    auto expected = [](int x) -> uint32_t {
        if (x >= 2 && x <= 4)
            return 0x100u + 6 + static_cast<uint32_t>(x - 2); // 'c' from strip column 6
        if (x >= 10 && x <= 10)
            return 0x100u + static_cast<uint32_t>(x - 10); // 'a', one column left of the edge
        return 0;
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(target.GetPixel(x, y), (y == 1 || y == 2) ? expected(x) : 0u) << x << "," << y;
}

// Every character is ten pixels wide.
class FixedWidthFont : public FontInterface
{
public:
    FixedWidthFont() : FontInterface(KindGdi) {}
    int Height() const override { return 12; }
    int TextWidth(const StringRef& text) const override { return 10 * text.Length(); }
    void GetExtent(const StringRef& text, int& width, int& height) const override
    {
        width = TextWidth(text);
        height = Height();
    }
    int FitCount(const StringRef& text, int width) const override
    {
        const int fit = width / 10;
        return fit < text.Length() ? fit : text.Length();
    }
    int MeasureWrapped(const StringRef& text, int width) const override { return WrappedHeight(text, width); }
};

TEST(FontInterface, WrappedHeightBreaksAtBlanks)
{
    struct Case
    {
        const char16_t* text;
        int width;
        int lines;
    };
    FixedWidthFont font;
    for (const Case& c : {
             Case{u"", 50, 1},
             Case{u"fits", 50, 1},
             Case{u"aaa bbb ccc", 70, 2},     // "aaa bbb" | "ccc"
             Case{u"aaa bbb ccc", 40, 3},     // break on the blank after each word
             Case{u"aaaaaaaaaa bb", 50, 2},   // a word longer than a line takes it
             Case{u"aaaaaaaaaaaaaaa", 50, 1}, // one long word alone
             Case{u"ab cdefg", 50, 2},        // walk back to the blank: "ab " | "cdefg"
             Case{u"ab cdefgh", 50, 3},       // "ab " | "cdefg" (the rest but one) | "h"
             Case{u"abcd efg", 40, 2},        // a blank at the fit: "abcd" | " efg"
             Case{u"aaaa", 0, 1},             // nothing fits: the word takes the line
             Case{u"aa bb cc", 0, 3},
         })
    {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + std::u16string(c.text).size()) << " / "
                                        << c.width);
        EXPECT_EQ(font.MeasureWrapped(c.text, c.width), c.lines * 12);
    }
}

TEST(FontInterface, LongTextsGetOneMoreLinePer300Characters)
{
    FixedWidthFont font;
    for (auto [length, lines] : {std::pair{300, 1}, std::pair{301, 2}, std::pair{600, 3}})
    {
        const std::u16string text(static_cast<size_t>(length), u'x');
        EXPECT_EQ(font.MeasureWrapped(StringRef(text.data(), length), 100000), lines * 12) << length;
    }
}
} // namespace
