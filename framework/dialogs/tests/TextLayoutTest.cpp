#include "framework/dialogs/DialogGeometry.h"
#include "framework/dialogs/TextLayout.h"
#include "framework/platform/graphics/FontInterface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Every character is 10 pixels wide, lines are 12 high; a styled font says so.
class FixedFont final : public FontInterface
{
public:
    explicit FixedFont(int kind = KindBitmap, int style = 0) : FontInterface(kind), style_(style) {}
    int Height() const override { return 12; }
    int TextWidth(const StringRef& text) const override { return 10 * text.Length(); }
    void GetExtent(const StringRef& text, int& width, int& height) const override
    {
        width = TextWidth(text);
        height = 12;
    }
    int FitCount(const StringRef& text, int width) const override { return std::min(text.Length(), width / 10); }
    int MeasureWrapped(const StringRef&, int) const override { return 12; }
    int StyleBits() const override { return style_; }

private:
    int style_;
};

String Text(const char* text)
{
    String s;
    s.AssignAscii(text);
    return s;
}

std::vector<std::string> Narrow(const std::vector<String>& lines)
{
    std::vector<std::string> out;
    for (const String& line : lines)
    {
        std::string text;
        for (int i = 0; i < line.Length(); ++i)
            text += static_cast<char>(line.WideCharAt(i));
        out.push_back(text);
    }
    return out;
}

TEST(WrapLines, BreaksSentencesHyphensAndLongWords)
{
    struct Case
    {
        const char* label;
        int width;
        const char* text;
        std::vector<std::string> lines;
        int answer;
    };
    const Case cases[] = {
        {"two sentences with an empty line between",
         200,
         "One two. Three four.",
         {"One two. ", "", "Three four."},
         200},
        {"a break after a hyphen", 100, "aaa well-known", {"aaa well-", "known"}, 100},
        {"a word wider than the width stands alone", 60, "ab abcdefghij cd", {"ab ", "abcdefghij ", "cd"}, 100},
        {"a too-wide first word closes its line", 30, "abcdef gh", {"abcdef ", "gh"}, 60},
        // Pieces are placed by their own widths; the answer measures the line as it is shown.
        {"white space of every kind separates words", 40, "ab\tcd\r\nef", {"ab\tcd\r\n", "ef"}, 50},
        {"closing brackets end a piece", 50, "(abc)def", {"(abc)", "def"}, 50},
        {"a question ends its sentence", 300, "Sure? Yes!", {"Sure? ", "", "Yes!"}, 300},
        {"an empty text has no line", 100, "", {}, 100},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        FixedFont font;
        std::vector<String> lines;
        EXPECT_EQ(TextLayout::WrapLines(c.width, Text(c.text), lines, font), c.answer);
        EXPECT_EQ(Narrow(lines), c.lines);
    }
}

TEST(WrapLines, AStyledSystemFontGetsATrailingBlank)
{
    struct Case
    {
        const char* label;
        int kind;
        int style;
        std::vector<std::string> lines;
    };
    for (const Case& c : {Case{"bold system font", FontInterface::KindGdi, 1, {"ab cd "}},
                          Case{"plain system font", FontInterface::KindGdi, 0, {"ab cd"}},
                          Case{"bitmap font", FontInterface::KindBitmap, 1, {"ab cd"}}})
    {
        SCOPED_TRACE(c.label);
        FixedFont font(c.kind, c.style);
        std::vector<String> lines;
        TextLayout::WrapLines(200, Text("ab cd"), lines, font);
        EXPECT_EQ(Narrow(lines), c.lines);
    }
}

TEST(WrapLines, LinesAreAppendedToWhatTheCallerHolds)
{
    FixedFont font;
    std::vector<String> lines(1);
    TextLayout::WrapLines(100, Text("x"), lines, font);
    EXPECT_EQ(Narrow(lines), (std::vector<std::string>{"", "x"}));
}

TEST(DialogGeometry, SizesGrowToWholeTiles)
{
    struct Case
    {
        const char* label;
        int size, before, after, tile;
        int ok, rounded;
    };
    const Case cases[] = {
        {"200 wide with 16-pixel pieces", 200, 16, 16, 16, 1, 208},
        {"100 high with 16-pixel pieces", 100, 16, 16, 16, 1, 112},
        {"already whole", 208, 16, 16, 16, 1, 208},
        {"smaller than its edges", 20, 16, 16, 16, 1, 32},
        {"a zero tile is refused", 200, 16, 16, 0, 0, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        int rounded = -1;
        EXPECT_EQ(DialogGeometry::RoundToTiles(c.size, c.before, c.after, c.tile, rounded), c.ok);
        EXPECT_EQ(rounded, c.rounded);
    }
}

TEST(DialogGeometry, MessageBoxWidthFromTitleAndButtons)
{
    struct Case
    {
        const char* label;
        int work, title, minimum, width;
    };
    const Case cases[] = {
        {"short title and buttons: 300", 1280, 100, 200, 300},
        {"a title wider than 300", 1280, 500, 200, 500},
        {"a wide title capped at 2 x (work / 3)", 1000, 900, 200, 666},
        {"the button row widens it", 1280, 100, 420, 420},
        {"buttons do not widen it past a wider title", 1280, 450, 420, 450},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(DialogGeometry::MessageBoxWidth(c.work, c.title, c.minimum), c.width);
    }
}

TEST(DialogGeometry, ButtonRowsOfEveryType)
{
    DialogGeometry::ButtonRow row;
    row.ok = 20;
    row.cancel = 60;
    row.yes = 30;
    row.no = 20;
    row.segments = 10;
    row.tick = 8;
    row.cross = 7;
    const int expected[] = {20 + 20 + 8,
                            20 + 60 + 50 + 15,
                            30 + 20 + 60 + 80 + 15,
                            30 + 20 + 50 + 15,
                            60 + 20 + 60 + 15,
                            30 + 20 + 60 + 80 + 15,
                            0};
    for (int type = 0; type <= 6; ++type)
    {
        SCOPED_TRACE(type);
        EXPECT_EQ(DialogGeometry::ButtonRowWidth(type, row), expected[type]);
    }
}

TEST(DialogGeometry, PlacementCentresAndStaysOnePixelInside)
{
    const Rect work = {0, 0, 1280, 994};
    struct Case
    {
        const char* label;
        bool hasOwner;
        Rect owner;
        int x, y;
    };
    const Case cases[] = {
        {"centred on the owner", true, {100, 100, 500, 400}, 200, 200},
        {"owner by the bottom right edge", true, {1100, 900, 1300, 1000}, 1280 - 200 - 1, 994 - 100 - 1},
        {"owner above the top left", true, {-300, -200, -100, -100}, 1, 1},
        {"no owner: centred in the work area", false, {}, 540, 447},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        int x = 0, y = 0;
        DialogGeometry::Place(c.hasOwner ? &c.owner : nullptr, work, 200, 100, x, y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

TEST(DialogGeometry, FrameTilesAndHitCodes)
{
    int whole = -1, rest = -1;
    EXPECT_EQ(DialogGeometry::Tiles(100, 7, whole, rest), 1);
    EXPECT_EQ(whole, 14);
    EXPECT_EQ(rest, 2);
    EXPECT_EQ(DialogGeometry::Tiles(-5, 7, whole, rest), 1) << "corners wider than the window";
    EXPECT_EQ(whole, 0);
    EXPECT_EQ(rest, 0);
    EXPECT_EQ(DialogGeometry::Tiles(100, 0, whole, rest), 0);

    const Rect content = {10, 20, 190, 170};
    struct Case
    {
        int x, y, code;
    };
    for (const Case& c : {Case{5, 5, 13}, Case{195, 5, 14}, Case{5, 175, 16}, Case{195, 175, 17}, Case{5, 100, 10},
                          Case{195, 100, 11}, Case{100, 5, 12}, Case{100, 175, 15}, Case{100, 100, 2}, Case{10, 20, 2}})
    {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(DialogGeometry::FrameHitTest(content, c.x, c.y), c.code);
    }
}
} // namespace
