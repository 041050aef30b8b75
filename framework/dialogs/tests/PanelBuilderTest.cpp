// Panels built from small skins written by the tests: every element kind and what it needs,
// backgrounds, data binding, radio groups, page tabs, views and the panel-element cache.
#include "framework/controls/Button.h"
#include "framework/controls/ComboBox.h"
#include "framework/controls/FrameIndexControl.h"
#include "framework/controls/LabelControl.h"
#include "framework/controls/PageTab.h"
#include "framework/controls/Panel.h"
#include "framework/controls/RadioGroupLogic.h"
#include "framework/controls/RotaryControl.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/dialogs/ListBox.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/TreeView.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinViewFactory.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skintest;

namespace
{
constexpr uint32_t kTileA = 0x102030;
constexpr uint32_t kTileB = 0x405060;
constexpr uint32_t kButtonFace = 0x202020;
constexpr uint32_t kPanelColour = 0x646464;

// The composite, 128 x 128 (everything else magenta):
//   tileA (0, 0, 16, 16), tileB (16, 0, 16, 16): one colour each
//   button (32, 0, 40, 64): four frames of 16 rows, dark
//   knob (72, 0, 16, 4): four frames of 4 pixels
//   track (88, 0, 32, 4), thumb (120, 0, 4, 4)
//   border (0, 16, 32, 32)
//   vscroll (32, 64, 12, 64), hscroll (0, 112, 64, 12)
//   menu (48, 64, 4, 4), combo (56, 64, 32, 8)
uint32_t BuilderPixel(int x, int y)
{
    if (y < 16 && x < 16)
        return kTileA;
    if (y < 16 && x < 32)
        return kTileB;
    if (y < 64 && x >= 32 && x < 72)
        return kButtonFace + static_cast<uint32_t>(y / 16);
    if (y < 4 && x >= 72)
        return 0x300000 + static_cast<uint32_t>(x);
    if (y >= 16 && y < 48 && x < 32)
        return 0x505050;
    if (y >= 64 && y < 128 && x >= 32 && x < 44)
        return 0x606060;
    if (y >= 112 && y < 124 && x < 64)
        return 0x707070;
    if (y >= 64 && y < 72 && x >= 48 && x < 88)
        return 0x808080;
    return kMagenta;
}

const char* const kRegions = "<regions>"
                             "<region name=\"tileA\" x=\"0\" y=\"0\" w=\"16\" h=\"16\"/>"
                             "<region name=\"tileB\" x=\"16\" y=\"0\" w=\"16\" h=\"16\"/>"
                             "<region name=\"button\" x=\"32\" y=\"0\" w=\"40\" h=\"64\"/>"
                             "<region name=\"knob\" x=\"72\" y=\"0\" w=\"16\" h=\"4\"/>"
                             "<region name=\"track\" x=\"88\" y=\"0\" w=\"32\" h=\"4\"/>"
                             "<region name=\"thumb\" x=\"120\" y=\"0\" w=\"4\" h=\"4\"/>"
                             "<region name=\"border\" x=\"0\" y=\"16\" w=\"32\" h=\"32\"/>"
                             "<region name=\"vscroll\" x=\"32\" y=\"64\" w=\"12\" h=\"64\"/>"
                             "<region name=\"hscroll\" x=\"0\" y=\"112\" w=\"64\" h=\"12\"/>"
                             "<region name=\"menu\" x=\"48\" y=\"64\" w=\"4\" h=\"4\"/>"
                             "<region name=\"combo\" x=\"56\" y=\"64\" w=\"32\" h=\"8\"/>"
                             "</regions>";

// Fonts, styles and a response function every test layout has; panels come after.
const char* const kCommon =
    "<fonts><font name=\"Normal\" size=\"9\"/>"
    "<bitmapfont name=\"Glyphs\" charImages=\"knob\" firstChar=\"48\" numChars=\"4\"/></fonts>"
    "<popupmenus><style name=\"Menu\" topLeft=\"menu\" topMid=\"menu\" topRight=\"menu\" centerLeft=\"menu\" "
    "centerMid=\"menu\" centerRight=\"menu\" botLeft=\"menu\" botMid=\"menu\" botRight=\"menu\" font=\"Normal\" "
    "scrollbar=\"1\" scrollbarStyle=\"Bar\"/></popupmenus>"
    "<scrollbarstyles>"
    "<vertstyle name=\"Bar\" images=\"vscroll\" decBg=\"8\" barBg=\"8\" incBg=\"8\" decBut=\"12\" incBut=\"12\" "
    "barBegin=\"4\" barMid=\"8\" barEnd=\"4\"/>"
    "<horzstyle name=\"Wide\" images=\"hscroll\" decBg=\"8\" barBg=\"8\" incBg=\"8\" decBut=\"12\" incBut=\"12\" "
    "barBegin=\"4\" barMid=\"8\" barEnd=\"4\"/>"
    "</scrollbarstyles>"
    "<responsefunctions><responsefunction name=\"Half\"><entry normVal=\"0.5\" transVal=\"0.25\"/>"
    "</responsefunction></responsefunctions>";

const char* const kStrings = "<stringtable>"
                             "<string id=\"IDS_LABEL\" value=\"From the table\"/>"
                             "<string id=\"IDS_TIP\" value=\"Tip from the table\"/>"
                             "<string id=\"IDS_PAGE\" value=\"Second\"/>"
                             "</stringtable>";

const char* const kBackground =
    "<background><section region=\"tileA\" x=\"0\" y=\"0\" dx=\"20\" dy=\"10\"/></background>";

// A skin folder with the builder's composite, its regions and strings.
class BuilderSkin : public FixtureSkin
{
public:
    BuilderSkin()
    {
        WriteBitmap(*this / "composite.bmp", 128, 128, BuilderPixel);
        Write("regions.xml", kRegions);
        Write("strings.xml", kStrings);
    }

    // The common part, then the panels section.
    void Layout(const std::string& panels) const
    {
        Write("layout.xml", std::string("<layout>") + kCommon + "<panels>" + panels + "</panels></layout>");
    }
};

// Views from a factory that writes what it was asked; a tree asked for by name "other" is
// answered with a list box.
class RecordingFactory : public SkinViewFactory
{
public:
    std::vector<std::string> log;

    Window* CreateView(const String& name, int kind) override
    {
        log.push_back("create " + Narrow(name) + " " + std::to_string(kind));
        if (Narrow(name) == "other")
            return new ListBox();
        return nullptr;
    }
    void ViewCreated(Window* view) override
    {
        log.push_back(std::string("created ") + (dynamic_cast<TreeView*>(view) ? "tree" : "list"));
    }
};

class PanelBuilderTest : public ::testing::Test
{
protected:
    // Loads a skin whose panels section is panels; what the load reported is forgotten.
    void Load(const std::string& panels)
    {
        folder_.Layout(panels);
        EXPECT_EQ(skin_.Load(folder_.Path(), &factory_), 1);
        skin_.reports.clear();
    }
    int BuildPanel(const char* name = "p") { return PanelBuilder(skin_).BuildPanel(name, panel_, 1, nullptr); }
    // Loads the panels and builds the panel "p" from them.
    int Build(const std::string& panels)
    {
        Load(panels);
        return BuildPanel();
    }
    // A panel of these controls over a 320 x 160 background of tileA.
    int BuildControls(const std::string& controls)
    {
        return Build("<panel name=\"p\">" + std::string(kBackground) + controls + "</panel>");
    }

    Control* Named(const char* name) const { return panel_.FindControl(Text(name)); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < panel_.ControlCount(); ++i)
            names.push_back(Narrow(panel_.ControlAtIndex(i)->GetName()));
        return names;
    }

    BuilderSkin folder_;
    RecordingSkin skin_;
    RecordingFactory factory_;
    Panel panel_;
};

TEST_F(PanelBuilderTest, EveryControlKindMakesItsControlAtItsPlaceInOrder)
{
    const struct
    {
        const char* element;
        int type;
        int x;
        int y;
    } cases[] = {
        {"<text name=\"c\" x=\"1\" y=\"2\" font=\"Normal\" text=\"Hi\"/>", Control::TypeText, 1, 2},
        {"<textURL name=\"c\" x=\"3\" y=\"4\" font=\"Normal\" text=\"http://x\"/>", Control::TypeUrlText, 3, 4},
        {"<image name=\"c\" x=\"5\" y=\"6\" image=\"tileA\"/>", Control::TypeBitmap, 5, 6},
        {"<numericdisplay name=\"c\" x=\"7\" y=\"8\" font=\"Normal\" decimalPlaces=\"2\"/>",
         Control::TypeNumericDisplay, 7, 8},
        {"<command_button name=\"c\" x=\"9\" y=\"10\" bgallstates=\"button\"/>", Control::TypeButton, 9, 10},
        {"<toggle_button name=\"c\" x=\"11\" y=\"12\" bgallstates=\"button\"/>", Control::TypeButton, 11, 12},
        {"<rotary name=\"c\" x=\"13\" y=\"14\" images=\"knob\" frameCount=\"4\"/>", Control::TypeRotary, 13, 14},
        {"<slider_bar name=\"c\" x=\"15\" y=\"16\" bgImage=\"track\" valImage=\"track\"/>", Control::TypeSliderBar, 15,
         16},
        {"<slider name=\"c\" x=\"17\" y=\"18\" bgImage=\"track\" knobImage=\"thumb\"/>", Control::TypeSlider, 17, 18},
        {"<peakmeter name=\"c\" x=\"19\" y=\"20\" ledsUnlit=\"track\" ledsLit=\"track\"/>", Control::TypePeakMeter, 19,
         20},
        {"<combobox name=\"c\" x=\"21\" y=\"22\" bgimages=\"combo\" font=\"Normal\" popupstyle=\"Menu\"/>",
         Control::TypeButton, 21, 22},
        {"<scrollbar name=\"c\" x=\"23\" y=\"24\" orientation=\"vert\" style=\"Bar\" length=\"100\"/>",
         Control::TypeScrollbar, 23, 24},
        {"<scrollbar name=\"c\" x=\"25\" y=\"26\" orientation=\"horz\" style=\"Wide\" length=\"100\"/>",
         Control::TypeScrollbar, 25, 26},
        {"<tree_view name=\"c\" x=\"27\" y=\"28\" w=\"50\" h=\"60\"/>", Control::TypeViewHost, 27, 28},
        {"<icon_view name=\"c\" x=\"29\" y=\"30\" w=\"50\" h=\"60\"/>", Control::TypeViewHost, 29, 30},
        {"<region name=\"c\" x=\"31\" y=\"32\" w=\"5\" h=\"6\" id=\"7\"/>", Control::TypeRegion, 31, 32},
    };
    for (const auto& c : cases)
    {
        // Each kind between two neighbours: the order of the elements is the order of the list.
        ASSERT_EQ(BuildControls(std::string("<region name=\"before\" x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>") + c.element +
                                "<region name=\"after\" x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"),
                  1)
            << c.element;
        EXPECT_EQ(Names(), (std::vector<std::string>{"before", "c", "after"})) << c.element;
        Control* control = Named("c");
        ASSERT_NE(control, nullptr) << c.element;
        EXPECT_EQ(control->GetType(), c.type) << c.element;
        EXPECT_EQ(control->X(), c.x) << c.element;
        EXPECT_EQ(control->Y(), c.y) << c.element;
        EXPECT_EQ(skin_.reports, std::vector<std::string>()) << c.element;
    }
}

TEST_F(PanelBuilderTest, AnElementWithoutWhatItNeedsMakesNothingAndTheRestAppears)
{
    const char* const cases[] = {
        "<text name=\"c\" x=\"1\" y=\"1\" text=\"no font\"/>",
        "<text name=\"c\" x=\"1\" y=\"1\" font=\"Nonexistent\" text=\"unknown font\"/>",
        "<text name=\"c\" font=\"Normal\" text=\"no position\"/>",
        "<textURL name=\"c\" x=\"1\" y=\"1\" text=\"no font\"/>",
        "<image name=\"c\" x=\"1\" y=\"1\"/>",
        "<image name=\"c\" x=\"1\" y=\"1\" image=\"nowhere\"/>",
        "<numericdisplay name=\"c\" x=\"1\" y=\"1\"/>",
        "<command_button name=\"c\" x=\"1\" y=\"1\" text=\"no image\"/>",
        "<toggle_button name=\"c\" x=\"1\" y=\"1\" bgallstates=\"nowhere\"/>",
        "<rotary name=\"c\" x=\"1\" y=\"1\" images=\"knob\"/>",
        "<rotary name=\"c\" x=\"1\" y=\"1\" frameCount=\"4\"/>",
        // Frames of no width, or no frames to share the strip among.
        "<rotary name=\"c\" x=\"1\" y=\"1\" images=\"knob\" frameCount=\"0\"/>",
        "<slider_bar name=\"c\" x=\"1\" y=\"1\"/>",
        "<slider name=\"c\" x=\"1\" y=\"1\" bgImage=\"track\"/>",
        "<peakmeter name=\"c\" x=\"1\" y=\"1\" ledsUnlit=\"track\"/>",
        "<peakmeter name=\"c\" x=\"1\" y=\"1\" ledsUnlit=\"track\" ledsLit=\"track\" ledThickness=\"0\"/>",
        "<combobox name=\"c\" x=\"1\" y=\"1\" font=\"Normal\" popupstyle=\"Menu\"/>",
        "<combobox name=\"c\" x=\"1\" y=\"1\" bgimages=\"combo\" popupstyle=\"Menu\"/>",
        "<combobox name=\"c\" x=\"1\" y=\"1\" bgimages=\"combo\" font=\"Normal\"/>",
        "<combobox name=\"c\" x=\"1\" y=\"1\" bgimages=\"combo\" font=\"Normal\" popupstyle=\"Nope\"/>",
        // A horizontal bar whose style is only a vertical one.
        "<scrollbar name=\"c\" x=\"1\" y=\"1\" orientation=\"horz\" style=\"Bar\"/>",
        "<scrollbar name=\"c\" x=\"1\" y=\"1\" style=\"Bar\"/>",
        "<scrollbar name=\"c\" x=\"1\" y=\"1\" orientation=\"vert\"/>",
        "<tree_view name=\"c\" x=\"1\" y=\"1\"/>",
        "<icon_view name=\"c\" w=\"10\" h=\"10\"/>",
        "<region name=\"c\" x=\"1\" y=\"1\"/>",
        "<Text name=\"c\" x=\"1\" y=\"1\" font=\"Normal\" text=\"names are exact\"/>",
        "<background name=\"c\"/>",
    };
    for (const char* element : cases)
    {
        ASSERT_EQ(BuildControls(std::string("<image name=\"first\" x=\"0\" y=\"0\" image=\"tileA\"/>") + element +
                                "<text name=\"last\" x=\"0\" y=\"0\" font=\"Normal\" text=\"x\"/>"),
                  1)
            << element;
        EXPECT_EQ(Names(), (std::vector<std::string>{"first", "last"})) << element;
    }
}

TEST_F(PanelBuilderTest, OneCoordinateOrDimensionGivenLeavesTheOtherMinusOne)
{
    ASSERT_EQ(BuildControls("<image name=\"onlyX\" x=\"5\" image=\"tileA\"/>"
                            "<image name=\"onlyY\" y=\"7\" image=\"tileA\"/>"
                            "<region name=\"onlyW\" x=\"1\" y=\"2\" w=\"30\"/>"),
              1);
    EXPECT_EQ(Named("onlyX")->X(), 5);
    EXPECT_EQ(Named("onlyX")->Y(), -1);
    EXPECT_EQ(Named("onlyY")->X(), -1);
    EXPECT_EQ(Named("onlyY")->Y(), 7);
    EXPECT_EQ(Named("onlyW")->Width(), 30);
    EXPECT_EQ(Named("onlyW")->Height(), -1);
}

TEST_F(PanelBuilderTest, ControlsBindToThePanelsItemsByNameAndAnUnknownOneLeavesThemUnbound)
{
    Load("<panel name=\"p\">" + std::string(kBackground) +
         "<text name=\"label\" x=\"0\" y=\"0\" font=\"Normal\" data=\"title\"/>"
         "<rotary name=\"knob\" x=\"0\" y=\"0\" images=\"knob\" frameCount=\"4\" data=\"level\"/>"
         "<image name=\"loose\" x=\"0\" y=\"0\" image=\"tileA\" data=\"nosuch\"/>"
         "</panel>");
    TextItem* title = panel_.AddTextItem("title", Text("Bound text"), 0, 0);
    IntItem* level = panel_.AddIntItem("level", 3, 0, 3, 0, 0);
    ASSERT_EQ(BuildPanel(), 1);
    EXPECT_EQ(Named("label")->GetItem(), title);
    EXPECT_EQ(Named("knob")->GetItem(), level);
    // The knob shows its item's value from the start: the last of four frames.
    EXPECT_EQ(static_cast<FrameIndexControl*>(Named("knob"))->GetFrame(), 3);
    ASSERT_NE(Named("loose"), nullptr);
    EXPECT_EQ(Named("loose")->GetItem(), nullptr);
    EXPECT_EQ(skin_.reports, std::vector<std::string>{"Bogus Skin Data Ref. [nosuch]"});
}

TEST_F(PanelBuilderTest, TooltipsAndHelpComeFromTheirAttributesOrTheStringTable)
{
    ASSERT_EQ(BuildControls("<image name=\"own\" x=\"0\" y=\"0\" image=\"tileA\" tooltip=\"Own tip\" help=\"topic\"/>"
                            "<image name=\"byId\" x=\"0\" y=\"0\" image=\"tileA\" tooltipId=\"IDS_TIP\"/>"
                            "<image name=\"both\" x=\"0\" y=\"0\" image=\"tileA\" tooltip=\"\" tooltipId=\"IDS_TIP\"/>"
                            "<image name=\"none\" x=\"0\" y=\"0\" image=\"tileA\" tooltipId=\"IDS_MISSING\"/>"),
              1);
    EXPECT_EQ(Narrow(Named("own")->GetTooltip()), "Own tip");
    EXPECT_EQ(Narrow(Named("own")->GetHelp()), "topic");
    EXPECT_EQ(Narrow(Named("byId")->GetTooltip()), "Tip from the table");
    EXPECT_EQ(Narrow(Named("byId")->GetHelp()), "");
    // An empty tooltip attribute is present: the string id is not asked.
    EXPECT_EQ(Narrow(Named("both")->GetTooltip()), "");
    EXPECT_EQ(Narrow(Named("none")->GetTooltip()), "");
}

TEST_F(PanelBuilderTest, TheBackgroundStopsAtASectionWithoutItsImage)
{
    const struct
    {
        const char* sections;
        int width;
    } cases[] = {
        {"<section region=\"tileA\" x=\"0\" y=\"0\"/><section region=\"tileB\" x=\"16\" y=\"0\" dx=\"2\"/>", 48},
        {"<section region=\"tileA\" x=\"0\" y=\"0\"/><section x=\"16\" y=\"0\"/>"
         "<section region=\"tileB\" x=\"32\" y=\"0\"/>",
         16},
        {"<section region=\"tileA\" x=\"0\" y=\"0\"/><section region=\"nowhere\" x=\"16\" y=\"0\"/>"
         "<section region=\"tileB\" x=\"32\" y=\"0\"/>",
         16},
        {"<other/><section region=\"tileA\" x=\"0\" y=\"0\"/>", 16},
    };
    for (const auto& c : cases)
    {
        ASSERT_EQ(Build(std::string("<panel name=\"p\"><background>") + c.sections + "</background></panel>"), 1)
            << c.sections;
        EXPECT_EQ(panel_.BackgroundWidth(), c.width) << c.sections;
        ASSERT_NE(panel_.ComposedBackground(), nullptr);
        EXPECT_EQ(panel_.ComposedBackground()->GetPixel(2, 2) & 0xFFFFFF, kTileA) << c.sections;
    }
}

// Hand-edited numbers: each element holding one past the skin's bound is skipped with a line
// in the report, in bounded time and memory, and the rest of the panel is built. Before, a
// button or scroll bar 2147483647 long asked for a piece per slice and a border that large
// for a control per 16 pixels.
TEST_F(PanelBuilderTest, AnElementWithANumberPastTheBoundIsSkippedWithAReport)
{
    const struct
    {
        const char* element;
        const char* report;
    } cases[] = {
        {"<command_button name=\"c\" x=\"1\" y=\"1\" w=\"2147483647\" bgallstates=\"button\" leftSeg=\"4\" "
         "midSeg=\"12\" rightSeg=\"4\"/>",
         "command_button w"},
        {"<toggle_button name=\"c\" x=\"100000\" y=\"1\" bgallstates=\"button\"/>", "toggle_button x"},
        {"<command_button name=\"c\" x=\"1\" y=\"1\" w=\"40\" bgallstates=\"button\" leftSeg=\"4\" "
         "midSeg=\"16385\" rightSeg=\"4\"/>",
         "command_button midSeg"},
        {"<scrollbar name=\"c\" x=\"1\" y=\"1\" orientation=\"vert\" style=\"Bar\" length=\"2147483647\"/>",
         "scrollbar length"},
        {"<image name=\"c\" x=\"1\" y=\"2147483647\" image=\"tileA\"/>", "image y"},
        {"<text name=\"c\" x=\"1\" y=\"1\" w=\"100000\" font=\"Normal\" text=\"Hi\"/>", "text w"},
        {"<slider name=\"c\" x=\"1\" y=\"1\" bgImage=\"track\" knobImage=\"thumb\" runnerLength=\"100000\"/>",
         "slider runnerLength"},
        {"<peakmeter name=\"c\" x=\"1\" y=\"1\" ledsUnlit=\"track\" ledsLit=\"track\" ledSpacing=\"2147483647\"/>",
         "peakmeter ledSpacing"},
        {"<tree_view name=\"c\" x=\"1\" y=\"1\" w=\"50\" h=\"60\" itemHeight=\"100000\"/>", "tree_view itemHeight"},
        {"<region name=\"c\" x=\"1\" y=\"1\" w=\"5\" h=\"2147483647\"/>", "region h"},
        {"<border name=\"c\" x=\"0\" y=\"0\" w=\"2147483647\" h=\"2147483647\" borderImages=\"border\"/>", "border w"},
        {"<border name=\"c\" x=\"0\" y=\"0\" w=\"64\" h=\"10000000\" borderImages=\"border\"/>", "border h"},
        {"<pagetab name=\"c\" x=\"0\" y=\"0\" w=\"100000\" h=\"64\" tabButImages=\"button\"/>", "pagetab w"},
        {"<radio_group><toggle_button name=\"c\" x=\"1\" y=\"1\" w=\"100000\" bgallstates=\"button\" "
         "leftSeg=\"4\" midSeg=\"12\" rightSeg=\"4\"/></radio_group>",
         "toggle_button w"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.element);
        ASSERT_EQ(BuildControls(std::string("<region name=\"before\" x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>") + c.element +
                                "<region name=\"after\" x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"),
                  1);
        EXPECT_EQ(Names(), (std::vector<std::string>{"before", "after"}));
        EXPECT_EQ(skin_.reports, std::vector<std::string>{std::string("Skin value out of range. [") + c.report + "]"});
        EXPECT_NE(panel_.ComposedBackground(), nullptr) << "the panel's background is still composed";
    }
}

// The largest numbers inside the bound still make their controls, bounded by what a bitmap can
// hold: slices, scroll-bar tiles and border runs end with the widest bitmap.
TEST_F(PanelBuilderTest, NumbersAtTheBoundMakeBoundedControls)
{
    ASSERT_EQ(BuildControls("<command_button name=\"wide\" x=\"0\" y=\"0\" w=\"16384\" bgallstates=\"button\" "
                            "leftSeg=\"4\" midSeg=\"1\" rightSeg=\"4\"/>"
                            "<scrollbar name=\"long\" x=\"0\" y=\"0\" orientation=\"vert\" style=\"Bar\" "
                            "length=\"16384\"/>"
                            "<border x=\"0\" y=\"0\" w=\"16384\" h=\"16384\" borderImages=\"border\"/>"),
              1);
    EXPECT_EQ(skin_.reports, std::vector<std::string>());
    ASSERT_NE(Named("wide"), nullptr);
    EXPECT_EQ(Named("wide")->Width(), 16384);
    ASSERT_NE(Named("long"), nullptr);
    EXPECT_EQ(Named("long")->Height(), 16384);
    // Four corners and four runs of (16384 - 16) / 16 edge pieces, after the two controls.
    EXPECT_EQ(panel_.ControlCount(), 2 + 4 + 4 * 1023);
    // Drawing them all into the 320 x 160 background ends.
    panel_.RedrawArea(nullptr, 0);
    EXPECT_NE(panel_.ComposedBackground(), nullptr);
}

// Sections whose counts overflowed made a small bitmap over billions of tiles (a hang); one
// that would outgrow any bitmap made a 380 MB one. Now: the first is skipped as out of range,
// the second refused as too large; the sections before and after stay.
TEST_F(PanelBuilderTest, ABackgroundSectionPastTheBoundOrTooLargeIsSkippedWithAReport)
{
    const struct
    {
        const char* section;
        const char* report;
    } cases[] = {
        {"<section region=\"tileB\" x=\"0\" y=\"0\" dx=\"2147483647\" dy=\"2147483647\"/>",
         "Skin value out of range. [section dx]"},
        {"<section region=\"tileB\" x=\"0\" y=\"0\" dx=\"150000\"/>", "Skin value out of range. [section dx]"},
        {"<section region=\"tileB\" x=\"16384\" y=\"0\"/>", "Panel Background too large [tileB]"},
        {"<section region=\"tileB\" x=\"0\" y=\"0\" dx=\"1024\" dy=\"1024\"/>", "Panel Background too large [tileB]"},
        {"<section region=\"tileB\" x=\"0\" y=\"0\" dx=\"1\" w=\"16385\"/>", "Skin value out of range. [section w]"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.section);
        ASSERT_EQ(Build(std::string("<panel name=\"p\"><background><section region=\"tileA\" x=\"0\" y=\"0\" "
                                    "dx=\"2\"/>") +
                        c.section + "<section region=\"tileA\" x=\"32\" y=\"0\"/></background></panel>"),
                  1);
        EXPECT_EQ(skin_.reports, std::vector<std::string>{c.report});
        EXPECT_EQ(panel_.BackgroundWidth(), 48);
        EXPECT_EQ(panel_.BackgroundHeight(), 16);
        ASSERT_NE(panel_.ComposedBackground(), nullptr);
        EXPECT_EQ(panel_.ComposedBackground()->GetPixel(40, 2) & 0xFFFFFF, kTileA) << "the section after it stays";
    }
}

TEST_F(PanelBuilderTest, ABackgroundIsChosenByNameAndRebuiltWithoutTouchingTheControls)
{
    Load("<panel name=\"p\">"
         "<background name=\"first\"><section region=\"tileA\" x=\"0\" y=\"0\"/></background>"
         "<image name=\"keep\" x=\"0\" y=\"0\" image=\"tileB\"/>"
         "<background name=\"second\"><section region=\"tileB\" x=\"0\" y=\"0\" dx=\"3\"/></background>"
         "</panel>");
    PanelBuilder builder(skin_);
    ASSERT_EQ(builder.BuildPanel("p", panel_, 1, "second"), 1);
    EXPECT_EQ(panel_.BackgroundWidth(), 48);
    Control* kept = Named("keep");
    ASSERT_NE(kept, nullptr);

    ASSERT_EQ(builder.RebuildPanelBackground(panel_, "first", 0), 1);
    EXPECT_EQ(Named("keep"), kept);
    ASSERT_NE(panel_.ComposedBackground(), nullptr);
    EXPECT_EQ(panel_.ComposedBackground()->GetPixel(20, 2) & 0xFFFFFF, kPanelColour);
    // The image control is drawn over the new background.
    EXPECT_EQ(panel_.ComposedBackground()->GetPixel(2, 2) & 0xFFFFFF, kTileB);

    skin_.reports.clear();
    EXPECT_EQ(builder.RebuildPanelBackground(panel_, "third", 0), 1);
    EXPECT_EQ(skin_.reports, std::vector<std::string>{"Panel Background not found [third]"});
    EXPECT_EQ(Named("keep"), kept);

    Panel unnamed;
    EXPECT_EQ(builder.RebuildPanelBackground(unnamed, nullptr, 0), 0);
}

TEST_F(PanelBuilderTest, AMissingPanelIsReportedAndLeavesThePanelEmpty)
{
    ASSERT_EQ(BuildControls("<image name=\"one\" x=\"0\" y=\"0\" image=\"tileA\"/>"), 1);
    ASSERT_EQ(panel_.ControlCount(), 1);
    EXPECT_EQ(Narrow(panel_.GetName()), "p");
    EXPECT_EQ(PanelBuilder(skin_).BuildPanel("elsewhere", panel_, 1, nullptr), 0);
    EXPECT_EQ(panel_.ControlCount(), 0);
    EXPECT_EQ(skin_.reports, std::vector<std::string>{"Panel not found in skin. [elsewhere]"});
    // A panel element without any background builds its controls.
    ASSERT_EQ(Build("<panel name=\"p\"><image name=\"one\" x=\"0\" y=\"0\" image=\"tileA\"/></panel>"), 1);
    EXPECT_EQ(panel_.ControlCount(), 1);
    EXPECT_EQ(skin_.reports, std::vector<std::string>{"Panel Background not found []"});
}

// Whether the composed background shows a pixel of this colour inside the control.
bool ShowsColour(Panel& panel, const Control& control, uint32_t colour)
{
    Bitmap* background = panel.ComposedBackground();
    if (!background)
        return false;
    for (int y = control.Y(); y < control.Y() + control.Height(); ++y)
        for (int x = control.X(); x < control.X() + control.Width(); ++x)
            if ((background->GetPixel(x, y) & 0xFFFFFF) == colour)
                return true;
    return false;
}

TEST_F(PanelBuilderTest, ButtonsAreSegmentedTextOrImageButtons)
{
    ASSERT_EQ(BuildControls(
                  "<toggle_button name=\"text\" x=\"0\" y=\"0\" bgallstates=\"button\" text=\"WWW\" font=\"Normal\" "
                  "textColUp=\"#ffffff\"/>"
                  "<toggle_button name=\"image\" x=\"50\" y=\"0\" bgallstates=\"button\" text=\"\" font=\"Normal\" "
                  "textColUp=\"#ffffff\"/>"
                  "<command_button name=\"segmented\" x=\"0\" y=\"20\" w=\"100\" bgallstates=\"button\" "
                  "leftSeg=\"4\" midSeg=\"8\" rightSeg=\"4\" textId=\"IDS_LABEL\" font=\"Normal\" "
                  "textColUp=\"#ffffff\"/>"
                  "<command_button name=\"unlettered\" x=\"0\" y=\"40\" w=\"100\" bgallstates=\"button\" "
                  "leftSeg=\"4\" midSeg=\"8\" rightSeg=\"4\" text=\"WWW\" textColUp=\"#ffffff\"/>"),
              1);
    Control* text = Named("text");
    Control* image = Named("image");
    Control* segmented = Named("segmented");
    Control* unlettered = Named("unlettered");
    ASSERT_TRUE(text && image && segmented && unlettered);
    // Plain buttons take the image's width and a quarter of its height.
    EXPECT_EQ(text->Width(), 40);
    EXPECT_EQ(text->Height(), 16);
    EXPECT_TRUE(ShowsColour(panel_, *text, 0xFFFFFF));
    EXPECT_FALSE(ShowsColour(panel_, *image, 0xFFFFFF));
    EXPECT_EQ(segmented->Width(), 100);
    EXPECT_TRUE(ShowsColour(panel_, *segmented, 0xFFFFFF));
    // Without a font the text and its colours are not read: nothing is written on it.
    EXPECT_EQ(unlettered->Width(), 100);
    EXPECT_FALSE(ShowsColour(panel_, *unlettered, 0xFFFFFF));
}

TEST_F(PanelBuilderTest, MultiStateControlsTakeTheirResponseFunctionAndTheKnobItsPopup)
{
    ASSERT_EQ(BuildControls("<rotary name=\"knob\" x=\"0\" y=\"0\" images=\"knob\" frameCount=\"4\" "
                            "responsefunction=\"Half\" bgImage=\"track\" knobImage=\"thumb\"/>"
                            "<rotary name=\"plain\" x=\"0\" y=\"0\" images=\"knob\" frameCount=\"4\" "
                            "knobImage=\"thumb\"/>"
                            "<slider name=\"slider\" x=\"0\" y=\"0\" bgImage=\"track\" knobImage=\"thumb\" "
                            "responsefunction=\"Half\"/>"
                            "<peakmeter name=\"meter\" x=\"0\" y=\"0\" ledsUnlit=\"track\" ledsLit=\"track\" "
                            "responsefunction=\"Nope\"/>"),
              1);
    const ResponseFunction* half = skin_.FindResponseFunction(Text("Half"));
    ASSERT_NE(half, nullptr);
    auto* knob = static_cast<RotaryControl*>(Named("knob"));
    EXPECT_EQ(knob->GetResponseFunction(), half);
    EXPECT_NE(knob->GetPopup(), nullptr);
    // A knob strip of four frames 4 wide.
    EXPECT_EQ(knob->Width(), 4);
    EXPECT_EQ(static_cast<RotaryControl*>(Named("plain"))->GetPopup(), nullptr);
    EXPECT_EQ(static_cast<FrameIndexControl*>(Named("slider"))->GetResponseFunction(), half);
    EXPECT_EQ(static_cast<FrameIndexControl*>(Named("meter"))->GetResponseFunction(), nullptr);
    EXPECT_EQ(skin_.reports, std::vector<std::string>{"Response Function not found. [Nope]"});
}

TEST_F(PanelBuilderTest, ARadioGroupJoinsItsButtonsToOneLogicOnItsItem)
{
    Load("<panel name=\"p\"><radio_group data=\"choice\">"
         "<toggle_button name=\"a\" x=\"0\" y=\"0\" bgallstates=\"button\"/>"
         "<image name=\"picture\" x=\"0\" y=\"0\" image=\"tileA\" data=\"own\"/>"
         "<combobox name=\"combo\" x=\"0\" y=\"0\" bgimages=\"combo\" font=\"Normal\" popupstyle=\"Menu\"/>"
         "<toggle_button name=\"b\" x=\"50\" y=\"0\" bgallstates=\"button\"/>"
         "</radio_group>"
         "<radio_group data=\"empty\"><image name=\"alone\" x=\"0\" y=\"0\" image=\"tileA\"/></radio_group>"
         "</panel>");
    IntItem* choice = panel_.AddIntItem("choice", 1, 0, 1, 0, 0);
    FlagItem* own = panel_.AddFlagItem("own", 0, 0, 0);
    IntItem* empty = panel_.AddIntItem("empty", 0, 0, 1, 0, 0);
    ASSERT_EQ(BuildPanel(), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "picture", "combo", "b", "alone"}));
    auto* a = static_cast<Button*>(Named("a"));
    auto* b = static_cast<Button*>(Named("b"));
    RadioGroupLogic* logic = a->GetRadioLogic();
    ASSERT_NE(logic, nullptr);
    EXPECT_EQ(b->GetRadioLogic(), logic);
    EXPECT_EQ(logic->GetItem(), choice);
    // The combo box shares the buttons' type code but is no button: it stays out.
    EXPECT_EQ(logic->MemberCount(), 2);
    EXPECT_EQ(a->GetRadioIndex(), 0);
    EXPECT_EQ(b->GetRadioIndex(), 1);
    EXPECT_EQ(a->IsChecked(), 0);
    EXPECT_EQ(b->IsChecked(), 1);
    // Each member keeps its own item.
    EXPECT_EQ(Named("picture")->GetItem(), own);
    // The item selects through the logic.
    choice->value = 0;
    choice->RefreshControls(nullptr);
    EXPECT_EQ(a->IsChecked(), 1);
    EXPECT_EQ(b->IsChecked(), 0);
    // A group that no button joined leaves no logic listening to its item.
    EXPECT_EQ(empty->ListenerCount(), 0);
    // The logic goes with its buttons.
    panel_.ResetControls();
    EXPECT_EQ(choice->ListenerCount(), 0);
}

TEST_F(PanelBuilderTest, APageTabGetsItsPagesAndTheirControls)
{
    Load("<panel name=\"p\">" + std::string(kBackground) +
         "<pagetab name=\"tabs\" x=\"0\" y=\"0\" w=\"200\" h=\"120\" tabButImages=\"button\" "
         "pageBorderImages=\"border\" font=\"Normal\" textcol=\"#ffffff\" leftSeg=\"4\" midSeg=\"8\" "
         "rightSeg=\"4\">"
         "<page name=\"one\" tabtitle=\"First\">"
         "<image name=\"onFirst\" x=\"10\" y=\"30\" image=\"tileA\"/>"
         "<radio_group data=\"mode\">"
         "<toggle_button name=\"m0\" x=\"10\" y=\"50\" bgallstates=\"button\"/>"
         "<toggle_button name=\"m1\" x=\"60\" y=\"50\" bgallstates=\"button\"/>"
         "</radio_group>"
         "</page>"
         "<other/>"
         "<page name=\"two\" tabtitleId=\"IDS_PAGE\">"
         "<text name=\"onSecond\" x=\"10\" y=\"30\" font=\"Normal\" text=\"two\" data=\"label\"/>"
         "<border x=\"5\" y=\"25\" w=\"64\" h=\"64\" borderImages=\"border\"/>"
         "</page>"
         "</pagetab>"
         "<pagetab name=\"plain\" x=\"0\" y=\"130\" w=\"200\" h=\"120\" tabButImages=\"button\">"
         "<page name=\"only\"><image name=\"onPlain\" x=\"10\" y=\"160\" image=\"tileA\"/></page>"
         "</pagetab>"
         "<pagetab name=\"noImages\" x=\"0\" y=\"0\" w=\"200\" h=\"120\">"
         "<page name=\"lost\"><image name=\"never\" x=\"0\" y=\"0\" image=\"tileA\" data=\"nosuch\"/></page>"
         "</pagetab>"
         "</panel>");
    IntItem* mode = panel_.AddIntItem("mode", 1, 0, 1, 0, 0);
    TextItem* label = panel_.AddTextItem("label", Text("bound"), 0, 0);
    ASSERT_EQ(BuildPanel(), 1);
    PageTab* tab = panel_.FindPageTab(Text("tabs"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->PageCount(), 2);
    EXPECT_EQ(panel_.GetTabPage(Text("tabs")), 0);
    EXPECT_EQ(panel_.FindPageTab(Text("noImages")), nullptr);
    // Without font, segments or border images the tab is still made.
    ASSERT_NE(panel_.FindPageTab(Text("plain")), nullptr);
    EXPECT_EQ(panel_.FindPageTab(Text("plain"))->PageCount(), 1);
    EXPECT_NE(Named("onPlain"), nullptr);
    EXPECT_EQ(Named("never"), nullptr);
    // Nothing of a tab that was not made is read.
    EXPECT_EQ(skin_.reports, std::vector<std::string>());

    Control* onFirst = Named("onFirst");
    Control* onSecond = Named("onSecond");
    ASSERT_TRUE(onFirst && onSecond);
    EXPECT_EQ(onSecond->GetItem(), label);
    EXPECT_FALSE(onFirst->IsInvisible());
    EXPECT_TRUE(onSecond->IsInvisible());
    auto* m1 = static_cast<Button*>(Named("m1"));
    ASSERT_NE(m1, nullptr);
    ASSERT_NE(m1->GetRadioLogic(), nullptr);
    EXPECT_EQ(m1->GetRadioLogic()->GetItem(), mode);
    EXPECT_EQ(m1->IsChecked(), 1);
    // The tab's titles are the buttons' texts; the second came from the string table.
    panel_.SelectTabPage(Text("tabs"), 1);
    EXPECT_TRUE(onFirst->IsInvisible());
    EXPECT_FALSE(onSecond->IsInvisible());
}

TEST_F(PanelBuilderTest, ViewsComeFromTheFactoryOrAreTheStandardOnesAndABarScrollsThem)
{
    ASSERT_EQ(BuildControls("<tree_view name=\"tree\" x=\"0\" y=\"0\" w=\"100\" h=\"80\" itemHeight=\"20\" "
                            "border=\"yes\"/>"
                            "<scrollbar name=\"bar\" x=\"100\" y=\"0\" orientation=\"vert\" style=\"Bar\" "
                            "length=\"80\" target=\"tree\"/>"
                            "<icon_view name=\"list\" x=\"0\" y=\"100\" w=\"100\" h=\"80\" singleSelect=\"yes\"/>"
                            "<scrollbar name=\"loose\" x=\"100\" y=\"100\" orientation=\"vert\" style=\"Bar\" "
                            "length=\"80\" target=\"bar\"/>"
                            // A factory that answers a tree with a list box: refused, not taken for a tree.
                            "<tree_view name=\"other\" x=\"0\" y=\"0\" w=\"10\" h=\"10\"/>"),
              1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"tree", "bar", "list", "loose"}));
    EXPECT_EQ(factory_.log, (std::vector<std::string>{"create tree 12", "created tree", "create list 14",
                                                      "created list", "create other 12"}));
    auto* treeHost = static_cast<ViewHostControl*>(Named("tree"));
    auto* tree = dynamic_cast<TreeView*>(treeHost->GetView());
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Style().itemHeight, 20);
    EXPECT_EQ(treeHost->HasBorder(), 1);
    EXPECT_EQ(treeHost->Width(), 100);
    EXPECT_EQ(treeHost->Height(), 80);
    EXPECT_EQ(tree->VerticalScroller(), static_cast<Scroller*>(static_cast<Scrollbar*>(Named("bar"))));
    auto* list = dynamic_cast<ListBox*>(static_cast<ViewHostControl*>(Named("list"))->GetView());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->Style().singleSelect);
    EXPECT_EQ(list->VerticalScroller(), nullptr);
    // The views go before their bars: nothing is left pointing at a deleted view.
    panel_.ResetControls();
}

TEST_F(PanelBuilderTest, BordersAndRegionsAddTheirPieces)
{
    ASSERT_EQ(BuildControls("<border x=\"0\" y=\"0\" w=\"64\" h=\"64\" borderImages=\"border\"/>"
                            "<border x=\"0\" y=\"0\" w=\"64\" borderImages=\"border\"/>"
                            "<border x=\"0\" y=\"0\" w=\"64\" h=\"64\"/>"
                            "<region name=\"hit\" x=\"10\" y=\"20\" w=\"30\" h=\"40\" id=\"9\"/>"),
              1);
    int x, y, width, height, id;
    ASSERT_EQ(panel_.GetRegionRect(Text("hit"), x, y, width, height, id), 1);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(width, 30);
    EXPECT_EQ(height, 40);
    EXPECT_EQ(id, 9);
    // The first border's pieces are image controls around its area.
    int borderPieces = 0;
    for (int i = 0; i < panel_.ControlCount(); ++i)
        borderPieces += panel_.ControlAtIndex(i)->GetType() == Control::TypeBitmap;
    EXPECT_GT(borderPieces, 0);
    EXPECT_EQ(panel_.ControlAtIndex(panel_.ControlCount() - 1), Named("hit"));
}

TEST_F(PanelBuilderTest, TheSameNameFindsTheSameElementAndAControlsElementsAreRead)
{
    Load("<panel name=\"p\"><image name=\"one\" x=\"0\" y=\"0\" image=\"tileA\"/></panel>"
         "<panel name=\"q\"><image name=\"two\" x=\"0\" y=\"0\" image=\"tileA\"/></panel>");
    const XmlElement* p = skin_.FindPanelElement(Text("p"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(skin_.FindPanelElement(Text("p")), p);
    const XmlElement* q = skin_.FindPanelElement(Text("q"));
    ASSERT_NE(q, nullptr);
    EXPECT_NE(q, p);
    EXPECT_EQ(skin_.FindPanelElement(Text("p")), p);
    EXPECT_EQ(skin_.FindPanelElement(Text("r")), nullptr);
    PanelBuilder builder(skin_);
    ASSERT_EQ(builder.BuildPanel("q", panel_, 0, nullptr), 1);
    ASSERT_EQ(builder.BuildPanel("q", panel_, 0, nullptr), 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"two"});
    // A dialog panel's children are read the same way from any element.
    Panel other;
    builder.ReadPanelControls(*p, other);
    EXPECT_EQ(other.ControlCount(), 1);
}

// The name attribute of a built panel's only image control.
std::string FirstControl(Skin& skin, const char* panel)
{
    Panel built;
    if (!PanelBuilder(skin).BuildPanel(panel, built, 0, nullptr) || built.ControlCount() != 1)
        return "";
    return Narrow(built.ControlAtIndex(0)->GetName());
}

TEST_F(PanelBuilderTest, AReloadOrAnotherSkinNeverAnswersWithAnotherDocumentsElement)
{
    Load("<panel name=\"p\"><image name=\"first\" x=\"0\" y=\"0\" image=\"tileA\"/></panel>");
    ASSERT_EQ(FirstControl(skin_, "p"), "first");

    // A second skin with a panel of the same name.
    BuilderSkin otherFolder;
    otherFolder.Layout("<panel name=\"p\"><image name=\"second\" x=\"0\" y=\"0\" image=\"tileA\"/></panel>");
    RecordingSkin other;
    ASSERT_EQ(other.Load(otherFolder.Path(), nullptr), 1);
    EXPECT_EQ(FirstControl(other, "p"), "second");
    EXPECT_EQ(FirstControl(skin_, "p"), "first");

    // The same skin reloaded from a changed layout.
    folder_.Layout("<panel name=\"p\"><image name=\"reloaded\" x=\"0\" y=\"0\" image=\"tileA\"/></panel>");
    ASSERT_EQ(skin_.Reload(folder_.Path(), nullptr), 1);
    EXPECT_EQ(FirstControl(skin_, "p"), "reloaded");

    // Loading another folder on top replaces the layout as well.
    ASSERT_EQ(skin_.Load(otherFolder.Path(), nullptr), 1);
    EXPECT_EQ(FirstControl(skin_, "p"), "second");

    // A reload that fails leaves no layout: the panel is not found.
    folder_.Remove("layout.xml");
    EXPECT_EQ(skin_.Reload(folder_.Path(), nullptr), 0);
    EXPECT_EQ(FirstControl(skin_, "p"), "");
}

TEST_F(PanelBuilderTest, ALongPanelNameRebuildsItsOwnBackground)
{
    const std::string common(120, 'n');
    Load("<panel name=\"" + common.substr(0, 99) +
         "\"><background><section region=\"tileB\" x=\"0\" y=\"0\"/></background></panel>"
         "<panel name=\"" +
         common + "\"><background><section region=\"tileA\" x=\"0\" y=\"0\"/></background></panel>");
    PanelBuilder builder(skin_);
    ASSERT_EQ(builder.BuildPanel(common.c_str(), panel_, 1, nullptr), 1);
    // Another look-up in between, so that the rebuild searches again.
    EXPECT_NE(skin_.FindPanelElement(Text(common.substr(0, 99).c_str())), nullptr);
    ASSERT_EQ(builder.RebuildPanelBackground(panel_, nullptr, 0), 1);
    ASSERT_NE(panel_.ComposedBackground(), nullptr);
    EXPECT_EQ(panel_.ComposedBackground()->GetPixel(2, 2) & 0xFFFFFF, kTileA);
}

TEST_F(PanelBuilderTest, TextsTakeTheirStringAndAnEditFontOnlyWhenItIsASystemFont)
{
    ASSERT_EQ(BuildControls("<text name=\"own\" x=\"0\" y=\"0\" font=\"Normal\" text=\"Own\" textId=\"IDS_LABEL\"/>"
                            "<text name=\"table\" x=\"0\" y=\"20\" font=\"Normal\" textId=\"IDS_LABEL\"/>"
                            "<text name=\"missing\" x=\"0\" y=\"40\" font=\"Normal\" textId=\"IDS_NONE\"/>"
                            "<text name=\"glyphs\" x=\"0\" y=\"60\" font=\"Normal\" editFont=\"Glyphs\" text=\"g\"/>"
                            "<numericdisplay name=\"number\" x=\"0\" y=\"70\" font=\"Normal\" editFont=\"Nope\"/>"
                            "<textURL name=\"link\" x=\"0\" y=\"80\" font=\"Normal\" textId=\"IDS_LABEL\" "
                            "w=\"150\"/>"),
              1);
    EXPECT_EQ(Narrow(static_cast<LabelControl*>(Named("own"))->GetText()), "Own");
    EXPECT_EQ(Narrow(static_cast<LabelControl*>(Named("table"))->GetText()), "From the table");
    EXPECT_EQ(Narrow(static_cast<LabelControl*>(Named("missing"))->GetText()), "");
    EXPECT_EQ(Named("link")->Width(), 150);
    // Edit fonts that are a glyph strip or no font at all are left out, not read.
    ASSERT_NE(Named("glyphs"), nullptr);
    ASSERT_NE(Named("number"), nullptr);
}
} // namespace
