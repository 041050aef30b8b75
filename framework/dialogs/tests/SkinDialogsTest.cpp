#include "framework/dialogs/tests/DialogsTestSupport.h"

#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/FrameWindow.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/dialogs/SkinDialogs.h"

#include <gtest/gtest.h>

namespace
{
using namespace dialogstest;

const char kBoxes[] =
    "<messagebox name=\"NoMode\" titleId=\"IDS_CORVANDSP_TITLE\" messageId=\"IDM_SETTINGS_ERROR\"/>"
    "<messagebox name=\"OddMode\" titleId=\"IDS_CORVANDSP_TITLE\" messageId=\"IDM_SETTINGS_ERROR\" mode=\"MAYBE\"/>"
    "<messagebox name=\"Ask\" titleId=\"IDS_CORVANDSP_TITLE\" messageId=\"IDM_CORVANDSP_SERVICES_ALREADY_RUNNING\" "
    "mode=\"YESNO\"/>"
    "<messagebox name=\"NoTitle\" messageId=\"IDM_SETTINGS_ERROR\" mode=\"OKONLY\"/>"
    "<messagebox name=\"NoText\" titleId=\"IDS_CORVANDSP_TITLE\" messageId=\"IDM_NOT_THERE\" mode=\"OKONLY\"/>";
const char kPanels[] =
    "<dialogpanel name=\"NoWidth\" h=\"80\" title=\"No width\" okcancel=\"yes\" okx=\"10\" oky=\"40\"/>"
    "<dialogpanel name=\"Named\" style=\"Nope\" titleId=\"IDS_CORVANDSP_TITLE\" w=\"240\" h=\"120\" yesno=\"yes\" "
    "yesx=\"20\" yesy=\"70\" nox=\"120\" noy=\"70\"/>";
const char kFrames[] = "<framewindow name=\"Main\" style=\"Main\"/><framewindow name=\"Wrong\" style=\"Nope\"/>";

class SkinDialogsTest : public ::testing::Test
{
protected:
    TestSkin skin_{{{"</messageboxes>", kBoxes}, {"</dialogpanels>", kPanels}, {"</framewindows>", kFrames}}};
    SkinDialogs dialogs_{skin_.skin};
    Script script_;
    Owner owner_;
};

TEST_F(SkinDialogsTest, DefinedMessageBoxes)
{
    struct Case
    {
        const char* name;
        const char* press; // null: nothing is shown
        int result;
    };
    const Case cases[] = {
        {"NoMode", nullptr, 0}, {"NoTitle", nullptr, 0}, {"NoText", nullptr, 0}, {"Missing", nullptr, 0},
        {"OddMode", "OK", 1},   {"Ask", "YES", 3},       {"Ask", "NO", 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.name) + (c.press ? std::string(" ") + c.press : ""));
        const size_t shownBefore = script_.SeenDialogs().size();
        if (c.press)
            script_.Press(c.press);
        EXPECT_EQ(dialogs_.ShowDefinedMessageBox(c.name, &owner_.window, nullptr), c.result);
        EXPECT_EQ(script_.SeenDialogs().size(), shownBefore + (c.press ? 1 : 0));
    }
    const std::vector<Seen>& seen = script_.SeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].source, "IDM_SETTINGS_ERROR");
    EXPECT_EQ(seen[0].text, Narrow(*skin_.skin.FindStringById("IDM_SETTINGS_ERROR")));
    EXPECT_EQ(seen[1].source, "IDM_CORVANDSP_SERVICES_ALREADY_RUNNING");
    EXPECT_FALSE(seen[1].title.empty());
    EXPECT_EQ(skin_.skin.reports.back(), "Could not find message box definition in skin file! [Missing]");
}

TEST_F(SkinDialogsTest, AnUnknownModeShowsOkAlone)
{
    int okButtons = -1;
    int otherButtons = -1;
    script_.Then([&](Dialog& box) {
        okButtons = CountControls(box, "OK");
        otherButtons = CountControls(box, "YES") + CountControls(box, "NO") + CountControls(box, "CANCEL");
        box.End(1);
    });
    EXPECT_EQ(dialogs_.ShowDefinedMessageBox("OddMode", &owner_.window, nullptr), 1);
    EXPECT_EQ(okButtons, 1);
    EXPECT_EQ(otherButtons, 0);
}

TEST_F(SkinDialogsTest, TheModalFlagStaysSetWhileAnOuterBoxRuns)
{
    int outerInside = -1;
    int innerInside = -1;
    int afterInner = -1;
    script_.Then([&](Dialog& outer) {
        outerInside = skin_.skin.IsMessageBoxRunning();
        EXPECT_EQ(dialogs_.ShowPlainMessageBox(Text("Inner"), Text("Inside."), &outer, nullptr), 1);
        afterInner = skin_.skin.IsMessageBoxRunning();
        outer.End(0);
    });
    script_.Then([&](Dialog& inner) {
        innerInside = skin_.skin.IsMessageBoxRunning();
        inner.End(1);
    });
    EXPECT_EQ(dialogs_.ShowDefinedMessageBox("Ask", &owner_.window, nullptr), 0);
    EXPECT_EQ(outerInside, 1);
    EXPECT_EQ(innerInside, 1);
    EXPECT_EQ(afterInner, 1) << "the inner box's end must not clear the outer box's flag";
    EXPECT_EQ(skin_.skin.IsMessageBoxRunning(), 0);
}

TEST_F(SkinDialogsTest, DialogPanels)
{
    int runningInside = -1;
    script_.Then([&](Dialog& dialog) {
        runningInside = skin_.skin.IsMessageBoxRunning();
        EXPECT_EQ(CountControls(dialog, "OK"), 1);
        EXPECT_EQ(CountControls(dialog, "CANCEL"), 0) << "no cancel position given";
        dialog.End(1);
    });
    Dialog noWidth;
    EXPECT_EQ(dialogs_.ShowDialogPanel("NoWidth", &noWidth, &owner_.window), 1);
    EXPECT_EQ(runningInside, 1);
    EXPECT_EQ(skin_.skin.IsMessageBoxRunning(), 0);

    script_.Press("CANCEL");
    Dialog named;
    EXPECT_EQ(dialogs_.ShowDialogPanel("Named", &named, &owner_.window), 0);
    EXPECT_EQ(CountControls(named, "OK"), 1) << "yes and no buttons bear the names OK and CANCEL";

    Dialog missing;
    EXPECT_EQ(dialogs_.ShowDialogPanel("Missing", &missing, &owner_.window), 0);

    const std::vector<Seen>& seen = script_.SeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].source, "NoWidth");
    EXPECT_EQ(seen[0].title, "No width");
    // 100 wide, rounded to the shipped frame's whole 8-pixel tiles.
    EXPECT_EQ(seen[0].width, 104);
    EXPECT_EQ(seen[1].source, "Named");
    EXPECT_EQ(seen[1].title, Narrow(*skin_.skin.FindStringById("IDS_CORVANDSP_TITLE")));
    EXPECT_EQ(seen[1].width, 240);
}

TEST_F(SkinDialogsTest, FrameWindowsByName)
{
    FrameWindow main;
    EXPECT_EQ(dialogs_.CreateFrameWindow2("Main", &main), 1);
    EXPECT_NE(main.GetCaptionPanel(), nullptr);
    FrameWindow other;
    EXPECT_EQ(dialogs_.CreateFrameWindow2("Wrong", &other), 0);
    EXPECT_EQ(dialogs_.CreateFrameWindow2("Missing", &other), 0);
    EXPECT_EQ(other.GetCaptionPanel(), nullptr);
}
} // namespace
