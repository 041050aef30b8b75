// The skins we ship load without a single silent failure, and every name the code looks up
// in them so far resolves. Later views add their look-ups to the tables below.
#include "framework/base/FileStream.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlLoader.h"
#include "framework/xml/XmlUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace skintest;

namespace
{
// The build's program folder as Wine sees it (the Unix root is drive Z:).
String ProgramFolder(const char* skin)
{
    std::string path = std::string("Z:") + KIV_PROGRAM_DIR + "/" + skin;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return Text(path.c_str());
}

// Every message box the skin defines names texts that strings.xml holds, and a known mode.
void ExpectMessageBoxesResolve(RecordingSkin& skin, const String& folder)
{
    String path;
    ASSERT_TRUE(path.Assign(folder) && path.AppendAscii("\\layout.xml"));
    FileStream stream(0);
    XmlLoader loader;
    ASSERT_TRUE(stream.OpenRead(path.Text()) && loader.CreateDocument() && loader.Load(stream));
    stream.Close();
    std::vector<XmlNode*> boxes;
    XmlUtil::GetChildrenByName(XmlUtil::FindChild(loader.GetDocument()->GetFirstChild(), "messageboxes", 0),
                               "messagebox", boxes);
    EXPECT_FALSE(boxes.empty());
    for (XmlNode* node : boxes)
    {
        const auto* box = static_cast<const XmlElement*>(node);
        String name, title, message, mode;
        XmlUtil::GetAttribute(box, "name", name);
        SCOPED_TRACE(Narrow(name));
        ASSERT_TRUE(XmlUtil::GetAttribute(box, "titleId", title));
        ASSERT_TRUE(XmlUtil::GetAttribute(box, "messageId", message));
        ASSERT_TRUE(XmlUtil::GetAttribute(box, "mode", mode));
        EXPECT_NE(skin.FindString(title), nullptr);
        EXPECT_NE(skin.FindString(message), nullptr);
        const std::string modeText = Narrow(mode);
        EXPECT_TRUE(modeText == "OKONLY" || modeText == "OKCANCEL" || modeText == "YESNOCANCEL" || modeText == "YESNO");
    }
}

// An image the controls take from a skin, with the size their set-ups rely on.
struct ShippedBitmap
{
    const char* name;
    int width;
    int height;
};

struct ShippedSkin
{
    const char* folder;
    std::vector<const char*> fonts;
    std::vector<const char*> popupMenuStyles;
    std::vector<const char*> frameStyles2;
    std::vector<const char*> scrollbarStyles; // both orientations
    std::vector<const char*> dialogStyles;
    std::vector<const char*> responseFunctions;
    std::vector<ShippedBitmap> bitmaps;
};

const std::vector<const char*> kCommonStrings = {"IDS_YES",
                                                 "IDS_NO",
                                                 "IDS_OK",
                                                 "IDS_CANCEL",
                                                 "IDS_CORVANDSP_TITLE",
                                                 "IDM_COMPONENT_MISSING",
                                                 "IDM_HARDWARE_MISSING"};

const ShippedSkin kSkins[] = {
    {"Skins/Default",
     {"Small", "Normal", "Bold", "Title", "Fixed"},
     {"Default"},
     {"Main"},
     {"Default"},
     {"Default"},
     {"Linear"},
     // A knob strip of 16 frames; meter images of one size (30 LEDs of 3 + 1); a fader's track
     // and thumb; the 32 x 32 border; tab buttons of four states.
     {{"knob", 384, 24},
      {"meter_off", 8, 120},
      {"meter_on", 8, 120},
      {"fader_track", 24, 120},
      {"fader_thumb", 24, 12},
      {"border", 32, 32},
      {"tab", 24, 80}}},
    {"System/Launcher Skin", {"Small", "Normal", "Bold", "Title"}, {}, {}, {}, {"Default"}, {}, {}},
    {"VST/KivQuorvel/Skins/Default",
     {"Small", "Normal", "Bold", "Title", "tv_fxWillFit"},
     {"Default"},
     {},
     {"Default"},
     {"Default"},
     {"Linear"},
     {{"vstbg", 20, 22},
      {"lamp", 10, 40},
      {"core_fx_16x16_01", 16, 16},
      {"user_fx_16x16_01", 16, 16},
      {"core_fx_16x16_01_v2", 16, 16},
      {"user_fx_16x16_01_v2", 16, 16},
      {"combo", 88, 20},
      {"hfader_track", 120, 12},
      {"hfader_thumb", 10, 12},
      {"hmeter_off", 120, 6},
      {"hmeter_on", 120, 6}}},
};

TEST(ShippedSkins, LoadWithoutAFailureAndResolveEveryLookedUpName)
{
    for (const ShippedSkin& shipped : kSkins)
    {
        SCOPED_TRACE(shipped.folder);
        RecordingSkin skin;
        const String folder = ProgramFolder(shipped.folder);
        ASSERT_EQ(skin.Load(folder, nullptr), 1);
        EXPECT_TRUE(skin.reports.empty()) << (skin.reports.empty() ? "" : skin.reports.front());

        const DialogStyle* box = skin.MessageBoxStyle();
        ASSERT_NE(box, nullptr);
        EXPECT_NE(box->buttonImages, nullptr);
        EXPECT_NE(box->titleFont, nullptr);
        EXPECT_NE(box->frame[CenterMid], nullptr);
        const TooltipStyle* tooltip = skin.GetTooltipStyle();
        ASSERT_NE(tooltip, nullptr);
        EXPECT_NE(tooltip->font, nullptr);

        for (const char* id : kCommonStrings)
            EXPECT_NE(skin.FindStringById(id), nullptr) << id;
        for (const char* name : shipped.fonts)
            EXPECT_NE(skin.FindFont(Text(name)), nullptr) << name;
        for (const char* name : shipped.popupMenuStyles)
        {
            const PopupMenuStyle* style = skin.FindPopupMenuStyle(Text(name));
            ASSERT_NE(style, nullptr) << name;
            const String scrollbar = Text(style->scrollbarStyle);
            EXPECT_TRUE(!style->scrollbar || skin.FindScrollbarStyle(&scrollbar, 1)) << name;
        }
        for (const char* name : shipped.frameStyles2)
            EXPECT_NE(skin.FindFrameStyle2(Text(name)), nullptr) << name;
        for (const char* name : shipped.scrollbarStyles)
        {
            const String text = Text(name);
            EXPECT_NE(skin.FindScrollbarStyle(&text, 0), nullptr) << name;
            EXPECT_NE(skin.FindScrollbarStyle(&text, 1), nullptr) << name;
        }
        for (const char* name : shipped.dialogStyles)
            EXPECT_NE(skin.FindDialogStyle(Text(name)), nullptr) << name;
        for (const char* name : shipped.responseFunctions)
            EXPECT_NE(skin.FindResponseFunction(Text(name)), nullptr) << name;
        for (const ShippedBitmap& expected : shipped.bitmaps)
        {
            SkinBitmap* bitmap = skin.FindBitmap(Text(expected.name));
            ASSERT_NE(bitmap, nullptr) << expected.name;
            EXPECT_NE(bitmap->GetDib(), nullptr) << expected.name;
            EXPECT_EQ(bitmap->Width(), expected.width) << expected.name;
            EXPECT_EQ(bitmap->Height(), expected.height) << expected.name;
        }
        ExpectMessageBoxesResolve(skin, folder);
        EXPECT_TRUE(skin.reports.empty()) << (skin.reports.empty() ? "" : skin.reports.front());
    }
}

// The effects plug-in's editor finds its panel, menus, dialogs, colours and texts by name.
TEST(ShippedSkins, ThePluginSkinHoldsWhatItsEditorLooksUp)
{
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(ProgramFolder("VST/KivQuorvel/Skins/Default"), nullptr), 1);
    const XmlElement* panel = skin.FindPanelElement(Text("vstPluginPanel"));
    ASSERT_NE(panel, nullptr);
    // Whether a child element of the panel has the attribute with that value.
    const auto hasChild = [panel](const char* attribute, const char* value) {
        for (XmlNode* node = panel->GetFirstChild(); node; node = node->GetNextSibling())
        {
            String text;
            if (node->GetNodeType() == XmlNode::ELEMENT_NODE &&
                XmlUtil::GetAttribute(static_cast<const XmlElement*>(node), attribute, text) && Narrow(text) == value)
                return true;
        }
        return false;
    };
    for (const char* control :
         {"presets", "presetinspector", "inspscrollbar", "newcategory", "globalpreferences", "help"})
        EXPECT_TRUE(hasChild("name", control)) << control;
    for (const char* lamp : {"sendleft", "sendright", "returnleft", "returnright"})
        EXPECT_TRUE(hasChild("data", lamp)) << lamp;
    for (const char* menu : {"PresetContextMenu", "PresetCategoryContextMenu"})
        EXPECT_NE(skin.FindDefinition("popupmenus", "menu", Text(menu)), nullptr) << menu;
    for (const char* dialog : {"newname", "newpreset", "globalpreferences"})
        EXPECT_NE(skin.FindDefinition("dialogpanels", "dialogpanel", Text(dialog)), nullptr) << dialog;
    for (const char* box :
         {"IDM_EXTRABUFFER_SETTING_ALERT", "IDM_RENDERMODE_SETTING_ALERT", "IDM_MAX_CHAR_EXCEEDED",
          "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET", "IDM_PRESET_CATEGORY_EXISTS", "IDM_DELETE_CATEGORY_ALERT",
          "IDM_DELETE_PRESET_ALERT", "IDM_DELETE_FACTORY_PRESET_ALERT", "IDM_RENAME_FACTORY_PRESET_ALERT"})
        EXPECT_NE(skin.FindDefinition("messageboxes", "messagebox", Text(box)), nullptr) << box;
    for (const char* colour : {"presetInspectorBgCol", "presetInspectorTextCol", "fxPaletteFontColNoFit"})
    {
        uint32_t value = 0;
        EXPECT_EQ(skin.GetMiscParamColour(colour, value), 1) << colour;
    }
    String text;
    ASSERT_EQ(skin.FindMiscParam("presetInspectorFontName", text), 1);
    EXPECT_NE(skin.FindFont(text), nullptr);
    EXPECT_EQ(skin.FindMiscParam("VSTPPHelp", text), 1);
    for (const char* id : {"IDS_CAT_CORE_EFFECTS", "IDS_CREATE_NEW_CATEGORY", "IDS_RENAME_CAT_TITLE",
                           "IDS_RENAME_CAT_PROMPT", "IDS_NEW_PRESET_CATEGORY_TITLE", "IDS_NEW_PRESET_CATEGORY_PROMPT",
                           "IDS_NEW_PRESET_CATEGORY_DEFAULT", "IDS_RENAME_PRESET_TITLE", "IDS_RENAME_PRESET_PROMPT"})
        EXPECT_NE(skin.FindStringById(id), nullptr) << id;
    EXPECT_TRUE(skin.reports.empty()) << (skin.reports.empty() ? "" : skin.reports.front());
}

// The effect view and its row panels hold the controls the editor finds by name.
TEST(ShippedSkins, ThePluginSkinHoldsTheEffectViewAndItsRows)
{
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(ProgramFolder("VST/KivQuorvel/Skins/Default"), nullptr), 1);
    const std::pair<const char*, std::vector<const char*>> panels[] = {
        {"MSTVFXView",
         {"clientarea", "vertscrollbar", "dspavailable", "effectname", "effectorigin", "drytag", "wettag", "presets",
          "editpreset"}},
        {"MSTVFXViewItem_ContinuousParam", {"paramname", "unit"}},
        {"MSTVFXViewItem_DiscreteParam", {"paramname", "unit"}},
        {"MSTVFXViewItem_ToggleParam", {"paramname", "unit"}},
        {"MSTVFXViewItem_TriggerParam", {"paramname", "toggle"}},
        {"MSTVFXViewItem_SelectorParam", {"paramname", "combo"}},
        {"MSTVFXViewItem_PeakMeterParam", {"paramname", "unit"}},
        {"MSTVFXViewItem_PeakMeterInvertedParam", {"paramname", "unit"}},
    };
    for (const auto& [name, controls] : panels)
    {
        const XmlElement* panel = skin.FindPanelElement(Text(name));
        ASSERT_NE(panel, nullptr) << name;
        for (const char* control : controls)
        {
            bool found = false;
            for (XmlNode* node = panel->GetFirstChild(); node; node = node->GetNextSibling())
            {
                String value;
                if (node->GetNodeType() == XmlNode::ELEMENT_NODE &&
                    XmlUtil::GetAttribute(static_cast<const XmlElement*>(node), "name", value) &&
                    Narrow(value) == control)
                    found = true;
            }
            EXPECT_TRUE(found) << name << " " << control;
        }
    }
    int value = 0;
    EXPECT_EQ(skin.GetMiscParamInt("TVViewXpos", value), 1);
    EXPECT_EQ(skin.GetMiscParamInt("TVViewYpos", value), 1);
    EXPECT_TRUE(skin.reports.empty()) << (skin.reports.empty() ? "" : skin.reports.front());
}

// The insert slots: the column's regions and bar, the images, fonts and offsets of a slot,
// the menus of the slots, the core presets and the parameter controls.
TEST(ShippedSkins, ThePluginSkinHoldsTheInsertSlots)
{
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(ProgramFolder("VST/KivQuorvel/Skins/Default"), nullptr), 1);
    const XmlElement* panel = skin.FindPanelElement(Text("vstPluginPanel"));
    ASSERT_NE(panel, nullptr);
    std::vector<std::string> names;
    for (XmlNode* node = panel->GetFirstChild(); node; node = node->GetNextSibling())
    {
        String value;
        if (node->GetNodeType() == XmlNode::ELEMENT_NODE &&
            XmlUtil::GetAttribute(static_cast<const XmlElement*>(node), "name", value))
            names.push_back(Narrow(value));
    }
    std::vector<std::string> wanted = {"inserts", "insertsScrollbar"};
    for (int slot = 0; slot < 14; ++slot)
        wanted.push_back("insert_slot_" + std::to_string(slot));
    for (const std::string& name : wanted)
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    for (const char* image :
         {"insert_bg", "insert_noDSP_bg", "insert_clear_mask", "insert_selected_mask", "insert_focus_mask",
          "peakMeter_insertThin_unlit_top", "peakMeter_insertThin_unlit_bottom", "peakMeter_insertThin_lit",
          "peakMeter_insertThin_disabled"})
        EXPECT_NE(skin.FindBitmap(Text(image)), nullptr) << image;
    for (const char* font : {"digitalFontNormal", "digitalFontNoDSP", "digitalFontDisabled"})
        EXPECT_NE(skin.FindFont(Text(font)), nullptr) << font;
    for (const char* param :
         {"insertEffectTextXpos", "insertEffectTextYpos", "insertLeftPeakMeterXpos", "insertLeftPeakMeterYpos",
          "insertRightPeakMeterXpos", "insertRightPeakMeterYpos", "insertPeakMeterLEDThickness",
          "insertPeakMeterLEDSpacing", "insertPeakMeterHoldDurn", "insertPeakMeterDecayInterval"})
    {
        int value = 0;
        EXPECT_EQ(skin.GetMiscParamInt(param, value), 1) << param;
    }
    uint32_t colour = 0;
    EXPECT_EQ(skin.GetMiscParamColour("insertTextColEnabled", colour), 1);
    for (const char* menu : {"VSTPPInsertContextMenu", "CorePresetEditMenu", "ControlContextMenu"})
        EXPECT_NE(skin.FindDefinition("popupmenus", "menu", Text(menu)), nullptr) << menu;
    for (const char* box : {"IDM_DUPLICATE_WRONG_DATA_CREATEPRESET", "IDM_DELETE_FACTORY_CORE_PRESET_ALERT",
                            "IDM_RENAME_FACTORY_CORE_PRESET_ALERT"})
        EXPECT_NE(skin.FindDefinition("messageboxes", "messagebox", Text(box)), nullptr) << box;
    for (const char* id : {"IDS_SOLO_INSERT", "IDS_UNSOLO_INSERT", "IDS_BYPASS_INSERT", "IDS_UNBYPASS_INSERT",
                           "IDS_BYPASS_ALLINSERTS", "IDS_UNBYPASS_ALLINSERTS"})
        EXPECT_NE(skin.FindStringById(id), nullptr) << id;
    EXPECT_TRUE(skin.reports.empty()) << (skin.reports.empty() ? "" : skin.reports.front());
}
} // namespace
