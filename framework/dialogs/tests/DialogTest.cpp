#include "framework/dialogs/tests/DialogsTestSupport.h"

#include "framework/controls/Button.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/platform/Timer.h"
#include "framework/platform/TimerImpl.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/AppBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace
{
using namespace dialogstest;

class DialogTest : public ::testing::Test
{
protected:
    // A dialog of the shipped dialog style with OK and cancel buttons.
    void Build(Dialog& dialog, int width = 200, int height = 100)
    {
        const String title = Text("Settings");
        ASSERT_EQ(dialog.Create(skin_.skin.FirstDialogStyle(), width, height, &title), 1);
        dialog.AddOkCancelButtons(20, 60, 100, 60);
    }

    TestSkin skin_;
    Script script_;
};

class RefusingDialog : public Dialog
{
public:
    int CanAccept() override { return 0; }
};

TEST_F(DialogTest, KeysButtonsAndCloseEndIt)
{
    struct Case
    {
        const char* label;
        std::function<void(Script&)> script;
        bool refuses;
        int result;
    };
    const Case cases[] = {
        {"Escape", [](Script& s) { s.Key(VK_ESCAPE); }, false, 0},
        {"Enter", [](Script& s) { s.Key(VK_RETURN); }, false, 1},
        {"Enter refused by CanAccept, then Escape",
         [](Script& s) {
             s.Then([](Dialog& d) {
                 ::PostMessageA(d.GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
                 ::PostMessageA(d.GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
             });
         },
         true, 0},
        {"OK", [](Script& s) { s.Press("OK"); }, false, 1},
        {"CANCEL", [](Script& s) { s.Press("CANCEL"); }, false, 0},
        {"the exit button", [](Script& s) { s.Press("dialogclose"); }, false, 0},
        {"the window's close",
         [](Script& s) { s.Then([](Dialog& d) { ::PostMessageA(d.GetHandle(), WM_CLOSE, 0, 0); }); }, false, 0},
    };
    Owner owner;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        std::unique_ptr<Dialog> dialog(c.refuses ? new RefusingDialog() : new Dialog());
        Build(*dialog);
        c.script(script_);
        EXPECT_EQ(dialog->DoModal(&owner.window), c.result);
        EXPECT_EQ(dialog->GetResult(), c.result);
        EXPECT_TRUE(::IsWindow(dialog->GetHandle())) << "the window lives until the dialog is destroyed";
        EXPECT_FALSE(::IsWindowVisible(dialog->GetHandle()));
        EXPECT_EQ(Dialog::TopModal(), nullptr);
        EXPECT_EQ(Dialog::ModalCount(), 1) << "an ended dialog stays listed until it goes";
    }
    EXPECT_EQ(Dialog::ModalCount(), 0);
}

TEST_F(DialogTest, ANestedDialogIsTopModalUntilItEnds)
{
    Owner owner;
    Dialog outer;
    Dialog inner;
    Build(outer);
    Build(inner, 150, 80);
    int innerResult = -2;
    script_.Then([&](Dialog& shown) {
        EXPECT_EQ(&shown, &outer);
        innerResult = inner.DoModal(&outer);
        EXPECT_EQ(Dialog::TopModal(), &outer) << "the outer dialog is on top again";
        EXPECT_TRUE(outer.IsEnabled()) << "the inner dialog gave its owner back";
        shown.End(0);
    });
    script_.Then([&](Dialog& shown) {
        EXPECT_EQ(&shown, &inner);
        EXPECT_FALSE(outer.IsEnabled());
        shown.End(1);
    });
    EXPECT_EQ(outer.DoModal(&owner.window), 0);
    EXPECT_EQ(innerResult, 1);
    const std::vector<Seen>& seen = script_.SeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].windowId, 1);
    EXPECT_EQ(seen[0].modalCount, 1);
    EXPECT_TRUE(seen[0].isTop);
    EXPECT_EQ(seen[1].windowId, 2);
    EXPECT_EQ(seen[1].modalCount, 2);
    EXPECT_TRUE(seen[1].isTop);
    EXPECT_EQ(Dialog::ModalAt(1), &inner);
    EXPECT_THROW(Dialog::ModalAt(2), std::out_of_range);
    EXPECT_TRUE(owner.window.IsEnabled());
}

TEST_F(DialogTest, AQuitInsideTheLoopAnswersMinusOneAndIsPostedAgain)
{
    Owner owner;
    Dialog dialog;
    Build(dialog);
    script_.Then([](Dialog&) { ::PostQuitMessage(0); });
    EXPECT_EQ(dialog.DoModal(&owner.window), -1);
    MSG message;
    EXPECT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the outer loop must see the quit";
    EXPECT_TRUE(owner.window.IsEnabled());
}

// The ticker's system timer, counted.
class CountingTicker final : public TickerBackend
{
public:
    int starts = 0;
    int stops = 0;
    bool running = false;
    uint32_t Now() override { return 0; }
    uintptr_t StartTimer(void*, uintptr_t id, uint32_t, TickProc) override
    {
        ++starts;
        running = true;
        return id;
    }
    int StopTimer(void*, uintptr_t) override
    {
        ++stops;
        const int was = running;
        running = false;
        return was;
    }
};

TEST_F(DialogTest, TheTickerIsStoppedAndRestartedOnlyWhenItRan)
{
    CountingTicker ticker;
    TimerImpl::SetBackend(&ticker);
    Owner owner;
    int tickerWindow = 0;
    struct Case
    {
        const char* label;
        bool withWindow;
        int startsAfter;
    };
    for (const Case& c : {Case{"a running ticker", true, 2}, Case{"no ticker window", false, 0}})
    {
        SCOPED_TRACE(c.label);
        ticker.starts = 0;
        ticker.running = false;
        Timer::StartTicker(c.withWindow ? &tickerWindow : nullptr);
        Dialog dialog;
        Build(dialog);
        bool runningInside = true;
        script_.Then([&](Dialog& d) {
            runningInside = ticker.running;
            d.End(1);
        });
        EXPECT_EQ(dialog.DoModal(&owner.window), 1);
        EXPECT_FALSE(runningInside) << "stopped while the dialog runs";
        EXPECT_EQ(ticker.starts, c.startsAfter) << "started again only when it ran before";
        EXPECT_EQ(ticker.running, c.withWindow);
        Timer::StopTicker();
    }
    Timer::StartTicker(nullptr);
    TimerImpl::SetBackend(nullptr);
}

// A dialog that fails to open leaves DoModal on its first way out.
class FailingDialog final : public Dialog
{
public:
    int OnInitDialog() override { return 0; }
};

TEST_F(DialogTest, ADialogThatFailsToOpenStartsTheTickerAgain)
{
    CountingTicker ticker;
    TimerImpl::SetBackend(&ticker);
    Owner owner;
    int tickerWindow = 0;
    Timer::StartTicker(&tickerWindow);
    FailingDialog dialog;
    Build(dialog);
    EXPECT_EQ(dialog.DoModal(&owner.window), 0);
    EXPECT_EQ(ticker.stops, 1);
    EXPECT_EQ(ticker.starts, 2) << "the start before and the one after";
    EXPECT_TRUE(ticker.running);
    Timer::StopTicker();
    Timer::StartTicker(nullptr);
    TimerImpl::SetBackend(nullptr);
}

TEST_F(DialogTest, TheOwnerIsDisabledWhileItRunsAndItsStateComesBack)
{
    for (const bool enabledBefore : {true, false})
    {
        SCOPED_TRACE(enabledBefore ? "enabled owner" : "disabled owner");
        Owner owner;
        owner.window.Enable(enabledBefore ? 1 : 0);
        Dialog dialog;
        Build(dialog);
        bool enabledInside = true;
        script_.Then([&](Dialog& d) {
            enabledInside = owner.window.IsEnabled() != 0;
            d.End(1);
        });
        dialog.DoModal(&owner.window);
        EXPECT_FALSE(enabledInside);
        EXPECT_EQ(owner.window.IsEnabled() != 0, enabledBefore);
    }
}

TEST_F(DialogTest, ADialogByAScreenEdgeStaysOnePixelInsideTheWorkArea)
{
    RECT work;
    Window::GetWorkArea(work);
    Owner owner(work.right - 100, work.bottom - 50, 300, 200);
    Dialog dialog;
    Build(dialog);
    RECT placed = {};
    script_.Then([&](Dialog& d) {
        d.GetWindowRect(placed);
        d.End(0);
    });
    dialog.DoModal(&owner.window);
    EXPECT_EQ(placed.right, work.right - 1);
    EXPECT_EQ(placed.bottom, work.bottom - 1);
}

TEST_F(DialogTest, TheFrameIsRoundedToWholeTilesAndCarriesItsSystemButtons)
{
    Dialog dialog;
    Build(dialog);
    // The shipped frame: 8-pixel edges and tiles, a 24-pixel title row.
    EXPECT_EQ(dialog.Width(), 200);
    EXPECT_EQ(dialog.Height(), 104);
    EXPECT_EQ(dialog.BackgroundWidth(), 200);
    EXPECT_EQ(dialog.BackgroundHeight(), 104);
    for (const char* name : {"title", "dialogclose", "dialoghelp", "OK", "CANCEL"})
        EXPECT_EQ(CountControls(dialog, name), 1) << name;
    Control* close = dialog.FindControl(Text("dialogclose"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->X(), 200 - skin_.skin.FirstDialogStyle()->exitButRightOffset);
    EXPECT_EQ(dialog.OnNcHitTest(100, 30), HTCAPTION) << "the background drags";
    EXPECT_EQ(dialog.OnNcHitTest(12, 8), HTCAPTION) << "so does the title";
    EXPECT_EQ(dialog.OnNcHitTest(close->X() + 2, close->Y() + 2), -1) << "a button is pressed";
    EXPECT_EQ(dialog.ControlAtForClick(close->X() + 2, close->Y() + 2), close) << "not the title over it";
}

// Frame pieces or fonts missing from a style: the dialog and the box are refused; missing
// button images leave the buttons out.
TEST_F(DialogTest, AnIncompleteStyleRefusesTheDialogAndTheBox)
{
    SkinBitmap unloaded;
    struct Case
    {
        const char* label;
        std::function<void(DialogStyle&)> spoil;
    };
    const Case cases[] = {
        {"no top middle piece", [](DialogStyle& s) { s.frame[TopMid] = nullptr; }},
        {"a centre piece of no size", [&](DialogStyle& s) { s.frame[CenterMid] = &unloaded; }},
        {"no title font", [](DialogStyle& s) { s.titleFont = nullptr; }},
        {"no button font", [](DialogStyle& s) { s.buttonFont = nullptr; }},
    };
    DialogStyle* style = skin_.skin.MessageBoxStyle();
    ASSERT_NE(style, nullptr);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        const DialogStyle* shipped = skin_.skin.FirstDialogStyle();
        DialogStyle spoilt;
        std::copy(std::begin(shipped->frame), std::end(shipped->frame), std::begin(spoilt.frame));
        spoilt.titleFont = shipped->titleFont;
        spoilt.buttonFont = shipped->buttonFont;
        spoilt.buttonImages = shipped->buttonImages;
        c.spoil(spoilt);
        Dialog dialog;
        EXPECT_EQ(dialog.Create(&spoilt, 200, 100, nullptr), 0);
        MessageBox box;
        EXPECT_EQ(box.Run(&spoilt, Text("Title"), Text("Text."), MessageBox::TypeOk, nullptr, 1, nullptr), 0);
    }
    EXPECT_TRUE(script_.SeenDialogs().empty());

    style->buttonImages = nullptr;
    MessageBox box;
    ASSERT_EQ(box.Run(style, Text("Title"), Text("Text."), MessageBox::TypeYesNo, nullptr, 1, nullptr), 1);
    EXPECT_EQ(CountControls(box, "YES") + CountControls(box, "NO"), 0);
    Dialog dialog;
    Build(dialog);
    EXPECT_EQ(CountControls(dialog, "OK"), 1) << "the dialog style still has its images";
}

TEST_F(DialogTest, MessageBoxButtonsOfEveryType)
{
    struct Case
    {
        int type;
        std::vector<const char*> buttons;
    };
    const Case cases[] = {
        {0, {"OK"}},        {1, {"OK", "CANCEL"}}, {2, {"YES", "NO", "CANCEL"}},
        {3, {"YES", "NO"}}, {4, {"NO", "CANCEL"}}, {5, {"YES", "NO", "CANCEL"}},
    };
    const struct
    {
        const char* name;
        int answer;
    } answers[] = {{"OK", 1}, {"YES", 3}, {"NO", 2}, {"CANCEL", 0}, {"dialogclose", 0}};
    for (const Case& c : cases)
        for (const auto& answer : answers)
        {
            SCOPED_TRACE(std::to_string(c.type) + " " + answer.name);
            MessageBox box;
            ASSERT_EQ(box.Run(skin_.skin.MessageBoxStyle(), Text("Title"), Text("Text."), c.type, nullptr, 1, nullptr),
                      1);
            int present = 0;
            for (const char* name : {"OK", "YES", "NO", "CANCEL"})
                present += CountControls(box, name);
            EXPECT_EQ(present, static_cast<int>(c.buttons.size()));
            Control* button = box.FindControl(Text(answer.name));
            const bool expected = std::string(answer.name) == "dialogclose" ||
                                  std::find_if(c.buttons.begin(), c.buttons.end(), [&](const char* name) {
                                      return std::string(name) == answer.name;
                                  }) != c.buttons.end();
            ASSERT_EQ(button != nullptr, expected);
            if (!button)
                continue;
            box.OnControlNotify(&box, button, 0);
            EXPECT_EQ(box.GetResult(), answer.answer);
        }
}

TEST_F(DialogTest, AYesNoBoxAnswersEnterWithOneAndEscapeWithZero)
{
    Owner owner;
    for (const auto& key : {std::make_pair(VK_RETURN, 1), std::make_pair(VK_ESCAPE, 0)})
    {
        MessageBox box;
        ASSERT_EQ(box.Run(skin_.skin.MessageBoxStyle(), Text("Question"), Text("Go on?"), MessageBox::TypeYesNo,
                          nullptr, 1, nullptr),
                  1);
        script_.Key(key.first);
        EXPECT_EQ(box.DoModal(&owner.window), key.second);
    }
}

class RecordingShell : public DesktopShell
{
public:
    std::vector<std::string> opened;
    int ShowMessageBox(const char*, const char*) override { return IDOK; }
    void Open(const char* path) override { opened.push_back(path); }
};

TEST_F(DialogTest, AMessageBoxHelpButtonOpensItsDocumentAndLeavesItOpen)
{
    RecordingShell shell;
    AppBase::SetDesktopShell(&shell);
    MessageBox box;
    const String document = Text("C:\\Help\\Manual.pdf");
    ASSERT_EQ(
        box.Run(skin_.skin.MessageBoxStyle(), Text("Title"), Text("Text."), MessageBox::TypeOk, nullptr, 1, &document),
        1);
    Control* help = box.FindControl(Text("dialoghelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(box.OnControlNotify(&box, help, 0), 1);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"C:\\Help\\Manual.pdf"});
    EXPECT_EQ(box.GetResult(), -1) << "help does not end the box";
    AppBase::SetDesktopShell(nullptr);
}

TEST_F(DialogTest, MessageBoxSizesAndLines)
{
    const DialogStyle* style = skin_.skin.MessageBoxStyle();
    struct Case
    {
        const char* label;
        const char* title;
        const char* text;
        int wrap;
        int lines;
    };
    const Case cases[] = {
        {"a short message", "Note", "Saved.", 1, 1},
        {"two sentences with an empty line between", "Note", "The session was saved. It can be loaded again.", 1, 3},
        {"an empty message shows one empty line", "Note", "", 1, 1},
        {"without wrap one line", "Note", "One. Two. Three.", 0, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        MessageBox box;
        ASSERT_EQ(box.Run(style, Text(c.title), Text(c.text), MessageBox::TypeOk, nullptr, c.wrap, nullptr), 1);
        EXPECT_EQ(CountControls(box, "msg"), c.lines);
        // 300 less the 8-pixel sides, rounded up to whole 8-pixel tiles.
        EXPECT_EQ(box.Width(), 304);
    }
    RECT work;
    Window::GetWorkArea(work);
    const int cap = 2 * ((work.right - work.left) / 3);
    MessageBox wide;
    const std::string title(400, 'W');
    ASSERT_EQ(wide.Run(style, Text(title.c_str()), Text("Text."), MessageBox::TypeOk, nullptr, 1, nullptr), 1);
    EXPECT_GE(wide.Width(), cap);
    EXPECT_LT(wide.Width(), cap + 8) << "a wide title is capped at two thirds of the work area";
}
} // namespace
