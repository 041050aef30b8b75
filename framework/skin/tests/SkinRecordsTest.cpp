#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/BitmapFont.h"
#include "framework/platform/graphics/Font.h"
#include "framework/skin/ResponseFunction.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/tests/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace skintest;

namespace
{
TEST(SkinAttributes, ColoursByHexOrName)
{
    const struct
    {
        const char* text;
        uint32_t colour;
    } cases[] = {
        {"Red", 0x0000FF},
        {"#FF0000", 0x0000FF},
        {"#f00", 0},
        {"orange", 0},
        {"#102030", 0x302010},
        {"brown", 0x2A2AA5},
        {"GREY", 0x808080},
        {"#ffffff", 0xFFFFFF},
        {"#gg00zz", 0},
        {"#12345678", 0},
        {"", 0},
        {"teal", 0x808000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Skin::ParseColour(Text(c.text)), c.colour) << c.text;
}

class LayoutTest : public ::testing::Test
{
protected:
    // Loads the fixture skin with this layout (inside <layout>) and strings.
    void Load(const std::string& layout, const std::string& strings = "")
    {
        folder_.Write("layout.xml", "<layout>" + layout + "</layout>");
        if (!strings.empty())
            folder_.Write("strings.xml", "<stringtable>" + strings + "</stringtable>");
        ASSERT_EQ(skin_.Load(folder_.Path(), nullptr), 1);
    }

    FixtureSkin folder_;
    RecordingSkin skin_;
};

LOGFONTA FontDescription(FontInterface* font)
{
    LOGFONTA description{};
    if (font && font->GetKind() == FontInterface::KindGdi)
        GetObjectA(static_cast<Font*>(font)->Handle(), sizeof description, &description);
    return description;
}

TEST_F(LayoutTest, FontsFamiliesStylesAndTheDefaultSize)
{
    Load("<fonts>"
         "<font name=\"Plain\" family=\"arial\" size=\"10\"/>"
         "<font name=\"NoSize\" family=\"arial\"/>"
         "<font name=\"BoldItalic\" family=\"courier_new\" style=\"bolditalic\" size=\"9\"/>"
         "<font name=\"Marked\" family=\"times_roman\" style=\"underline strikeout\" size=\"9\"/>"
         "<font name=\"Upper\" style=\"BOLD\" size=\"9\"/>"
         "<font name=\"Plain\" size=\"30\"/>"
         "</fonts>");
    const LOGFONTA plain = FontDescription(skin_.FindFont(Text("Plain")));
    EXPECT_EQ(plain.lfWeight, 400);
    EXPECT_STREQ(plain.lfFaceName, "Arial");
    // A font without a size is the default 10 points, not one pixel high.
    EXPECT_EQ(FontDescription(skin_.FindFont(Text("NoSize"))).lfHeight, plain.lfHeight);
    EXPECT_LT(plain.lfHeight, -5);

    const LOGFONTA boldItalic = FontDescription(skin_.FindFont(Text("BoldItalic")));
    EXPECT_EQ(boldItalic.lfWeight, 700);
    EXPECT_TRUE(boldItalic.lfItalic);
    EXPECT_FALSE(boldItalic.lfUnderline);
    EXPECT_STREQ(boldItalic.lfFaceName, "Courier New");

    const LOGFONTA marked = FontDescription(skin_.FindFont(Text("Marked")));
    EXPECT_EQ(marked.lfWeight, 400);
    EXPECT_TRUE(marked.lfUnderline);
    EXPECT_TRUE(marked.lfStrikeOut);
    EXPECT_STREQ(marked.lfFaceName, "Times New Roman");

    EXPECT_EQ(FontDescription(skin_.FindFont(Text("Upper"))).lfWeight, 400); // style words are case-sensitive
    EXPECT_TRUE(skin_.reports.empty());
    EXPECT_EQ(skin_.FindFont(Text("Missing")), nullptr);
    EXPECT_EQ(skin_.reports, std::vector<std::string>({"Skin Font not found. [Missing]"}));
}

// Fonts of equal attributes are one font; past the cap no further font is made.
TEST_F(LayoutTest, FontsAreSharedAndCapped)
{
    std::string fonts = "<fonts>";
    for (int i = 0; i < 2000; ++i)
        fonts += "<font name=\"same" + std::to_string(i) + "\" family=\"arial\" size=\"500\"/>";
    for (int size = 1; size <= Skin::kMaxFonts + 10; ++size)
        fonts += "<font name=\"size" + std::to_string(size) + "\" size=\"" + std::to_string(size) + "\"/>";
    fonts += "<bitmapfont name=\"digits\" charImages=\"strip\" firstChar=\"48\" numChars=\"4\"/>"
             "<bitmapfont name=\"digits2\" charImages=\"strip\" firstChar=\"48\" numChars=\"4\"/>";
    Load(fonts + "</fonts>");

    FontInterface* same = skin_.FindFont(Text("same0"));
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(skin_.FindFont(Text("same1999")), same);
    EXPECT_EQ(FontDescription(same).lfHeight, -(96 * 500 / 72));
    // "same" is one font, so sizes 1 to kMaxFonts - 1 fill the cap.
    const int last = Skin::kMaxFonts - 1;
    ASSERT_NE(skin_.FindFont(Text(("size" + std::to_string(last)).c_str())), nullptr);
    EXPECT_NE(skin_.FindFont(Text(("size" + std::to_string(last)).c_str())), skin_.FindFont(Text("size1")));
    const std::string refused = "size" + std::to_string(last + 1);
    EXPECT_EQ(skin_.reports.front(), "Skin Font limit reached. [" + refused + "]");
    EXPECT_EQ(skin_.FindFont(Text(refused.c_str())), nullptr);
    // The bitmap fonts came past the cap as well.
    EXPECT_EQ(skin_.FindFont(Text("digits")), nullptr);
}

TEST_F(LayoutTest, SharedBitmapFontsAndFontSizesReadWhole)
{
    Load("<fonts>"
         "<bitmapfont name=\"digits\" charImages=\"strip\" firstChar=\"48\" numChars=\"4\"/>"
         "<bitmapfont name=\"again\" charImages=\"strip\" firstChar=\"48\" numChars=\"4\"/>"
         "<bitmapfont name=\"fewer\" charImages=\"strip\" firstChar=\"48\" numChars=\"2\"/>"
         "<font name=\"wrapping\" size=\"2147483648\"/>"
         "<font name=\"negative\" size=\"-12\"/>"
         "<font name=\"huge\" size=\"22369622\"/>"
         "<font name=\"zero\" size=\"0\"/>"
         "</fonts>");
    ASSERT_NE(skin_.FindFont(Text("digits")), nullptr);
    EXPECT_EQ(skin_.FindFont(Text("again")), skin_.FindFont(Text("digits")));
    EXPECT_NE(skin_.FindFont(Text("fewer")), skin_.FindFont(Text("digits")));
    // No number: the default 10 points. Beyond what a screen shows: 1000 points. 0: 1 point.
    EXPECT_EQ(FontDescription(skin_.FindFont(Text("wrapping"))).lfHeight, -13);
    EXPECT_EQ(FontDescription(skin_.FindFont(Text("negative"))).lfHeight, -13);
    EXPECT_EQ(FontDescription(skin_.FindFont(Text("huge"))).lfHeight, -1333);
    EXPECT_EQ(FontDescription(skin_.FindFont(Text("zero"))).lfHeight, -1);
    EXPECT_TRUE(skin_.reports.empty());
}

TEST_F(LayoutTest, BitmapFontCutsItsStripFromThePiece)
{
    Load("<fonts><bitmapfont name=\"Digits\" charImages=\"strip\" firstChar=\"48\" numChars=\"4\"/>"
         "<bitmapfont name=\"NoCount\" charImages=\"strip\" firstChar=\"48\"/></fonts>");
    FontInterface* font = skin_.FindFont(Text("Digits"));
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(font->GetKind(), FontInterface::KindBitmap);
    auto* digits = static_cast<BitmapFont*>(font);
    // The strip is the 8 x 4 piece, not the 16 x 8 composite.
    EXPECT_EQ(digits->CellWidth(), 2);
    EXPECT_EQ(digits->Height(), 4);
    Bitmap target;
    ASSERT_EQ(target.Create(4, 4, 24), 1);
    digits->DrawText(target, u"1", Rect{0, 0, 4, 4});
    // Glyph '1' is the strip's second cell: composite columns 10 and 11.
    EXPECT_EQ(target.GetPixel(0, 0) & 0xFFFFFF, 10u);
    EXPECT_EQ(target.GetPixel(1, 0) & 0xFFFFFF, 11u);
    EXPECT_EQ(skin_.FindFont(Text("NoCount")), nullptr);
}

TEST_F(LayoutTest, TooltipStyle)
{
    RecordingSkin empty;
    EXPECT_EQ(empty.GetTooltipStyle(), nullptr);
    Load("<fonts><font name=\"Small\" size=\"8\"/></fonts>"
         "<tooltipstyle font=\"Small\" images=\"keyed\" textcol=\"navy\" leftSeg=\"1\" midSeg=\"2\" rightSeg=\"1\" "
         "textAreaHeight=\"12\"/>");
    const TooltipStyle* style = skin_.GetTooltipStyle();
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->font, skin_.FindFont(Text("Small")));
    EXPECT_EQ(style->images, skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(style->textColour, 0x800000u);
    EXPECT_EQ(style->leftSeg, 1);
    EXPECT_EQ(style->midSeg, 2);
    EXPECT_EQ(style->rightSeg, 1);
    EXPECT_EQ(style->textAreaHeight, 12);
}

TEST_F(LayoutTest, PopupMenuStyles)
{
    const std::string longName(120, 'v');
    Load("<fonts><font name=\"Menu\" size=\"9\"/></fonts><popupmenus>"
         "<style name=\"A\" topLeft=\"solid\" botRight=\"keyed\" seperator=\"solid\" tickIcon=\"keyed\" "
         "subMenuIcon=\"solid\" topBanner=\"\" font=\"Menu\" fontColNormal=\"white\" fontColSelected=\"#010203\" "
         "fontColDisabled=\"gray\" selectedCol=\"blue\" itemVertSpacing=\"3\" scrollbar=\"1\" scrollbarStyle=\"" +
         longName +
         "\"/>"
         "<style name=\"A\" itemVertSpacing=\"99\"/>"
         "<style name=\"B\" vertBanner=\"nothing\"/>"
         "<menu name=\"ignored\"/>"
         "</popupmenus>");
    PopupMenuStyle* a = skin_.FindPopupMenuStyle(Text("A"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->frame[TopLeft], skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(a->frame[BotRight], skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(a->frame[CenterMid], nullptr);
    EXPECT_EQ(a->separator, skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(a->tickIcon, skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(a->topBanner, nullptr); // empty names are no image
    EXPECT_EQ(a->font, skin_.FindFont(Text("Menu")));
    EXPECT_EQ(a->normalColour, 0xFFFFFFu);
    EXPECT_EQ(a->selectedColour, 0x030201u);
    EXPECT_EQ(a->disabledColour, 0x808080u);
    EXPECT_EQ(a->selectionColour, 0xFF0000u);
    EXPECT_EQ(a->itemVertSpacing, 3); // the first definition
    EXPECT_EQ(a->scrollbar, 1);
    // A name longer than the record holds is cut, never written past it.
    EXPECT_EQ(std::string(a->scrollbarStyle), std::string(99, 'v'));

    PopupMenuStyle* b = skin_.FindPopupMenuStyle(Text("B"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->vertBanner, nullptr);
    EXPECT_EQ(b->font, nullptr);
    EXPECT_EQ(b->itemVertSpacing, -1);
    EXPECT_EQ(b->normalColour, 0u);
    EXPECT_STREQ(b->scrollbarStyle, "");
    EXPECT_EQ(skin_.reports, std::vector<std::string>({"Skin region in composite bitmap not found. [nothing]"}));
}

TEST_F(LayoutTest, FrameStylesOfBothKindsShareOneTable)
{
    Load("<fonts><font name=\"Title\" size=\"10\"/></fonts><framewindows>"
         "<style name=\"Plain\" topLeft=\"solid\" centerRight=\"keyed\" leftLogoOffset=\"5\" topLogoOffset=\"6\"/>"
         "<style2 name=\"Fancy\" frameComposite=\"solid\" topLeft_x=\"1\" topLeft_y=\"2\" topLeft_w=\"3\" "
         "topLeft_h=\"4\" botRight_x=\"10\" botRight_y=\"20\" botRight_w=\"5\" botRight_h=\"6\" closeButton=\"keyed\" "
         "helpButton=\"solid\" butTopSpacing=\"1\" butRightSpacing=\"2\" interButSpacing=\"3\" titleFont=\"Title\" "
         "titleColor=\"lime\" titleTopSpacing=\"4\" titleLeftSpacing=\"5\" titleRightSpacing=\"6\" "
         "leftLogoOffset=\"7\" topLogoOffset=\"8\" sessionNameXOffset=\"9\" sessionNameYOffset=\"10\"/>"
         "<style2 name=\"Plain\" butTopSpacing=\"50\"/>"
         "</framewindows>");
    FrameStyle* plain = skin_.FindFrameStyle(Text("Plain"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->kind, 0);
    EXPECT_EQ(plain->frame[TopLeft], skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(plain->frame[CenterRight], skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(plain->leftLogoOffset, 5);
    EXPECT_EQ(plain->topLogoOffset, 6);
    EXPECT_EQ(skin_.FindFrameStyle2(Text("Plain")), nullptr);

    FrameStyle2* fancy = skin_.FindFrameStyle2(Text("Fancy"));
    ASSERT_NE(fancy, nullptr);
    EXPECT_EQ(fancy->kind, 1);
    EXPECT_EQ(skin_.FindFrameStyle(Text("Fancy")), nullptr);
    EXPECT_EQ(fancy->frameComposite, skin_.FindBitmap(Text("solid")));
    const Rect& topLeft = fancy->pieces[TopLeft];
    EXPECT_EQ(std::vector<int>({topLeft.left, topLeft.top, topLeft.right, topLeft.bottom}),
              std::vector<int>({1, 2, 4, 6}));
    const Rect& botRight = fancy->pieces[BotRight];
    EXPECT_EQ(std::vector<int>({botRight.left, botRight.top, botRight.right, botRight.bottom}),
              std::vector<int>({10, 20, 15, 26}));
    EXPECT_EQ(fancy->closeButton, skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(fancy->minimizeButton, nullptr);
    EXPECT_EQ(fancy->helpButton, skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(
        std::vector<int>({fancy->butTopSpacing, fancy->butRightSpacing, fancy->interButSpacing, fancy->titleTopSpacing,
                          fancy->titleLeftSpacing, fancy->titleRightSpacing, fancy->leftLogoOffset,
                          fancy->topLogoOffset, fancy->sessionNameXOffset, fancy->sessionNameYOffset}),
        std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(fancy->titleFont, skin_.FindFont(Text("Title")));
    EXPECT_EQ(fancy->titleColour, 0x00FF00u);
}

// A style holding a number past the skin's bound is not kept, with a line in the report; the
// frame, bar, menu, tooltip or box that would use it is then missing, as for a style not
// given, and a style of the same name defined later does not take its place either.
TEST_F(LayoutTest, AStyleWithANumberPastTheBoundIsDropped)
{
    Load("<fonts><font name=\"Title\" size=\"10\"/></fonts>"
         "<framewindows>"
         "<style2 name=\"Tall\" frameComposite=\"solid\" topMid_x=\"1\" topMid_h=\"100000\"/>"
         "<style2 name=\"Spaced\" frameComposite=\"solid\" butRightSpacing=\"2147483647\"/>"
         "<style2 name=\"Kept\" frameComposite=\"solid\" topMid_h=\"16384\"/>"
         "<style name=\"Logo\" leftLogoOffset=\"16385\"/>"
         "</framewindows>"
         "<scrollbarstyles><horzstyle name=\"H\" images=\"solid\" decBg=\"2147483647\"/>"
         "<vertstyle name=\"V\" images=\"solid\" barMid=\"100000\"/></scrollbarstyles>"
         "<popupmenus><style name=\"M\" topLeft=\"solid\" itemVertSpacing=\"100000\"/></popupmenus>"
         "<tooltipstyle images=\"solid\" leftSeg=\"100000\"/>"
         "<messageboxes><globalstyle topLeft=\"solid\" exitButRightOffset=\"100000\"/></messageboxes>"
         "<dialogpanels><style name=\"D\" topLeft=\"solid\" midSeg=\"2147483647\"/></dialogpanels>");
    EXPECT_EQ(skin_.reports, (std::vector<std::string>{
                                 "Skin value out of range. [tooltipstyle leftSeg]",
                                 "Skin value out of range. [style itemVertSpacing]",
                                 "Skin value out of range. [style leftLogoOffset]",
                                 "Skin value out of range. [style2 topMid_h]",
                                 "Skin value out of range. [style2 butRightSpacing]",
                                 "Skin value out of range. [horzstyle decBg]",
                                 "Skin value out of range. [vertstyle barMid]",
                                 "Skin value out of range. [globalstyle exitButRightOffset]",
                                 "Skin value out of range. [style midSeg]",
                             }));
    const String h = Text("H"), v = Text("V");
    EXPECT_EQ(skin_.FindFrameStyle2(Text("Tall")), nullptr);
    EXPECT_EQ(skin_.FindFrameStyle2(Text("Spaced")), nullptr);
    EXPECT_NE(skin_.FindFrameStyle2(Text("Kept")), nullptr) << "the bound itself is inside";
    EXPECT_EQ(skin_.FindFrameStyle(Text("Logo")), nullptr);
    EXPECT_EQ(skin_.FindScrollbarStyle(&h, 0), nullptr);
    EXPECT_EQ(skin_.FindScrollbarStyle(&v, 1), nullptr);
    EXPECT_EQ(skin_.FindPopupMenuStyle(Text("M")), nullptr);
    EXPECT_EQ(skin_.GetTooltipStyle(), nullptr);
    EXPECT_EQ(skin_.MessageBoxStyle(), nullptr);
    EXPECT_EQ(skin_.FindDialogStyle(Text("D")), nullptr);
}

TEST_F(LayoutTest, ScrollbarStylesByOrientation)
{
    Load("<scrollbarstyles>"
         "<horzstyle name=\"H\" images=\"solid\" decBg=\"1\" barBg=\"2\" incBg=\"3\" decBut=\"4\" incBut=\"5\" "
         "barBegin=\"6\" barMid=\"7\" barEnd=\"8\"/>"
         "<vertstyle name=\"V\" images=\"keyed\" decBg=\"11\"/>"
         "<diagonalstyle name=\"D\"/>"
         "</scrollbarstyles>");
    const String hName = Text("H"), vName = Text("V"), dName = Text("D");
    ScrollbarStyle* h = skin_.FindScrollbarStyle(&hName, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->vertical, 0);
    EXPECT_EQ(h->images, skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(std::vector<int>({h->decBg, h->barBg, h->incBg, h->decBut, h->incBut, h->barBegin, h->barMid, h->barEnd}),
              std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(skin_.FindScrollbarStyle(&hName, 1), nullptr);
    ScrollbarStyle* v = skin_.FindScrollbarStyle(&vName, 1);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->vertical, 1);
    EXPECT_EQ(v->decBg, 11);
    EXPECT_EQ(v->barEnd, -1);
    EXPECT_EQ(skin_.FindScrollbarStyle(&dName, 0), nullptr);
    EXPECT_EQ(skin_.FindScrollbarStyle(&dName, 1), nullptr);
    EXPECT_EQ(skin_.FindScrollbarStyle(nullptr, 1), nullptr);
}

TEST_F(LayoutTest, DialogAndMessageBoxStyles)
{
    const std::string style = "topLeft=\"solid\" botMid=\"keyed\" sysExitButton=\"keyed\" sysHelpButton=\"solid\" "
                              "buttonImages=\"solid\" leftSeg=\"1\" midSeg=\"2\" rightSeg=\"3\" tickIcon=\"keyed\" "
                              "crossIcon=\"solid\" buttonFont=\"F\" titleFont=\"F\" titleTopOffset=\"4\" "
                              "titleSideOffset=\"5\" sysButTopOffset=\"6\" helpButRightOffset=\"7\" "
                              "exitButRightOffset=\"8\" titleAlignment=\"Center\" titleFontCol=\"yellow\" "
                              "fontColNormal=\"silver\" fontColSelected=\"maroon\" fontColDisabled=\"olive\"";
    Load("<fonts><font name=\"F\" size=\"9\"/></fonts>"
         "<messageboxes><messagebox name=\"IDM_X\"/><globalstyle " +
             style +
             "/></messageboxes>"
             "<dialogpanels><style name=\"Zeta\"/><style name=\"Alpha\" " +
             style +
             " titleAlignment=\"right\"/>"
             "<style name=\"Mid\" titleAlignment=\"middle\"/></dialogpanels>",
         "<string id=\"IDS_YES\" value=\"Ja\"/><string id=\"IDS_CANCEL\" value=\"Abbrechen\"/>");
    DialogStyle* box = skin_.MessageBoxStyle();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->frame[TopLeft], skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(box->frame[BotMid], skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(box->exitButton, skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(box->helpButton, skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(box->buttonImages, skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(box->tickIcon, skin_.FindBitmap(Text("keyed")));
    EXPECT_EQ(box->crossIcon, skin_.FindBitmap(Text("solid")));
    EXPECT_EQ(box->buttonFont, skin_.FindFont(Text("F")));
    EXPECT_EQ(box->titleFont, skin_.FindFont(Text("F")));
    EXPECT_EQ(std::vector<int>({box->leftSeg, box->midSeg, box->rightSeg, box->titleTopOffset, box->titleSideOffset,
                                box->sysButTopOffset, box->helpButRightOffset, box->exitButRightOffset}),
              std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(box->titleAlignment, 1);
    EXPECT_EQ(box->titleColour, 0x00FFFFu);
    EXPECT_EQ(box->normalColour, 0xC0C0C0u);
    EXPECT_EQ(box->selectedColour, 0x000080u);
    EXPECT_EQ(box->disabledColour, 0x008080u);
    EXPECT_EQ(Narrow(box->yes), "Ja");
    EXPECT_EQ(Narrow(box->no), "No");
    EXPECT_EQ(Narrow(box->ok), "OK");
    EXPECT_EQ(Narrow(box->cancel), "Abbrechen");

    EXPECT_EQ(skin_.FindDialogStyle(Text("Alpha"))->titleAlignment, 2);
    EXPECT_EQ(skin_.FindDialogStyle(Text("Mid"))->titleAlignment, 0);
    EXPECT_EQ(skin_.FindDialogStyle(Text("Zeta"))->frame[TopLeft], nullptr);
    EXPECT_EQ(skin_.FirstDialogStyle(), skin_.FindDialogStyle(Text("Alpha")));
    EXPECT_TRUE(skin_.reports.empty());
}

TEST_F(LayoutTest, WithoutGlobalStyleThereIsNoMessageBoxStyle)
{
    Load("<messageboxes><messagebox name=\"IDM_X\"/></messageboxes>");
    EXPECT_EQ(skin_.MessageBoxStyle(), nullptr);
    EXPECT_EQ(skin_.FirstDialogStyle(), nullptr);
}

TEST_F(LayoutTest, ResponseFunctionsFromTheLayout)
{
    Load("<responsefunctions>"
         "<responsefunction name=\"Half\"><entry normVal=\"0.5\" transVal=\"0.25\"/><other normVal=\"0.1\"/>"
         "</responsefunction>"
         "<responsefunction name=\"Gain\"><entry normVal=\"0\" transVal=\"-60\"/>"
         "<entry normVal=\"1\" transVal=\"12\"/></responsefunction>"
         "<responsefunction name=\"Identity\"/>"
         "</responsefunctions>");
    ResponseFunction* half = skin_.FindResponseFunction(Text("Half"));
    ASSERT_NE(half, nullptr);
    EXPECT_FLOAT_EQ(half->Map(0.25f), 0.125f);
    ResponseFunction* gain = skin_.FindResponseFunction(Text("Gain"));
    ASSERT_NE(gain, nullptr);
    EXPECT_FLOAT_EQ(gain->Map(0.0f), -60.0f);
    // (1, 12) goes after the starting entry (1, 1), which bounds the half-way value.
    EXPECT_FLOAT_EQ(gain->Map(0.5f), -29.5f);
    EXPECT_FLOAT_EQ(skin_.FindResponseFunction(Text("Identity"))->Map(0.4f), 0.4f);
    EXPECT_EQ(skin_.FindResponseFunction(Text("None")), nullptr);
    EXPECT_EQ(skin_.reports, std::vector<std::string>({"Response Function not found. [None]"}));
}

TEST_F(LayoutTest, MiscellaneousParameters)
{
    Load("<miscparams><param name=\"count\" value=\"42\"/><param name=\"flag\" value=\"yes\"/>"
         "<param name=\"upper\" value=\"Yes\"/><param name=\"colour\" value=\"Red\"/>"
         "<param name=\"empty\" value=\"\"/><param name=\"bare\"/><param name=\"count\" value=\"7\"/>"
         "<param name=\"hex\" value=\"0x10\"/><param name=\"signed\" value=\"-10\"/>"
         "</miscparams>");
    String value;
    EXPECT_EQ(skin_.FindMiscParam("empty", value), 1);
    EXPECT_EQ(value.Length(), 0);
    int number = 0;
    EXPECT_EQ(skin_.GetMiscParamInt("count", number), 1);
    EXPECT_EQ(number, 42);
    // No part of a value that is no number is read; the caller keeps its own.
    EXPECT_EQ(skin_.GetMiscParamInt("hex", number), 0);
    EXPECT_EQ(skin_.GetMiscParamInt("signed", number), 0);
    EXPECT_EQ(number, 42);
    EXPECT_EQ(skin_.GetMiscParamFlag("flag"), 1);
    EXPECT_EQ(skin_.GetMiscParamFlag("upper"), 0);
    uint32_t colour = 0;
    EXPECT_EQ(skin_.GetMiscParamColour("colour", colour), 1);
    EXPECT_EQ(colour, 0x0000FFu);
    EXPECT_TRUE(skin_.reports.empty());
    EXPECT_EQ(skin_.FindMiscParam("bare", value), 0);
    EXPECT_EQ(skin_.FindMiscParam("none", value), 0);
    EXPECT_EQ(skin_.reports,
              std::vector<std::string>({"Skin Miscellaneous Parameter found but value not defined. [bare]",
                                        "Skin Miscellaneous Parameter not found. [none]"}));
}

TEST_F(LayoutTest, MissingSectionsLeaveEmptyTables)
{
    Load("");
    EXPECT_EQ(skin_.FindPopupMenuStyle(Text("A")), nullptr);
    EXPECT_EQ(skin_.FindFrameStyle(Text("A")), nullptr);
    EXPECT_EQ(skin_.FindDialogStyle(Text("A")), nullptr);
    String value;
    EXPECT_EQ(skin_.FindMiscParam("x", value), 0);
    EXPECT_EQ(skin_.reports,
              std::vector<std::string>(
                  {"Skin Popup Menu Style not found. [A]", "Skin Frame Window Style not found. [A]",
                   "Skin Dialog Window Style not found. [A]", "Skin Miscellaneous Parameter not found. [x]"}));
}
} // namespace
