// The skins we ship load without a single silent failure, and every name the code looks up
// in them so far resolves. Later views add their look-ups to the tables below.
#include "framework/base/FileStream.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlLoader.h"
#include "framework/xml/XmlUtil.h"

#include <gtest/gtest.h>

#include <string>
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

struct ShippedSkin
{
    const char* folder;
    std::vector<const char*> fonts;
    std::vector<const char*> popupMenuStyles;
    std::vector<const char*> frameStyles2;
    std::vector<const char*> scrollbarStyles; // both orientations
    std::vector<const char*> dialogStyles;
    std::vector<const char*> responseFunctions;
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
     {"Linear"}},
    {"System/Launcher Skin", {"Small", "Normal", "Bold", "Title"}, {}, {}, {}, {"Default"}, {}},
    {"VST/KivQuorvel/Skins/Default",
     {"Small", "Normal", "Bold", "Title"},
     {"Default"},
     {},
     {"Default"},
     {"Default"},
     {"Linear"}},
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
        ExpectMessageBoxesResolve(skin, folder);
        EXPECT_TRUE(skin.reports.empty()) << (skin.reports.empty() ? "" : skin.reports.front());
    }
}
} // namespace
