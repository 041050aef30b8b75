#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <memory>
#include <string>
#include <vector>

#include "framework/platform/system/tests/FakeDeviceBackend.h"
#include "framework/platform/graphics/BitmapFont.h"
#include "framework/platform/graphics/Font.h"
#include "framework/platform/graphics/Region.h"
#include "framework/windows/AppWindow.h"
#include "framework/windows/FormPlacement.h"
#include "framework/windows/NativeWindow.h"
#include "framework/windows/PlaceholderWindow.h"
#include "framework/windows/tests/RecordingWindow.h"

namespace
{

using Calls = std::vector<std::string>;

// A top-level framework window of the default class, shown at a known place.
std::unique_ptr<RecordingWindow> MakeWindow(Window* parent = nullptr, int x = 100, int y = 100)
{
    auto window = std::make_unique<RecordingWindow>();
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP;
    EXPECT_EQ(window->Create(nullptr, style, x, y, 200, 150, parent, 0, 0), 1);
    // Shown without activation: with no window manager, activating windows costs seconds.
    if (!parent)
        window->Show(SW_SHOWNOACTIVATE);
    window->Take();
    return window;
}

// The cursor's place in the window's client area, as the mouse handlers must see it.
POINT CursorInClient(HWND hwnd, int screenX, int screenY)
{
    ::SetCursorPos(screenX, screenY);
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(hwnd, &point);
    return point;
}

std::string Call(const char* name, std::initializer_list<long long> args)
{
    std::string text = std::string(name) + "(";
    const char* separator = "";
    for (long long value : args)
    {
        text += separator + std::to_string(value);
        separator = ",";
    }
    return text + ")";
}

TEST(NativeWindow, EveryRowOfTheMessageTableReachesItsOperation)
{
    auto window = MakeWindow();
    HWND hwnd = window->GetHandle();
    ASSERT_NE(hwnd, nullptr);
    const POINT at = CursorInClient(hwnd, 130, 140);
    const LPARAM junk = MAKELPARAM(3, 4); // mouse handlers take the cursor, not lParam
    MINMAXINFO minMax = {};
    COPYDATASTRUCT copy = {};
    DEV_BROADCAST_HDR handleNotice = {sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_HANDLE, 0};
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    // Only the low 16 bits count: default processing would activate the window once more.
    window->activateAnswer = 0x10000;

    struct Row
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        Calls expected;
        LRESULT answer;
    };
    const Row rows[] = {
        {WM_MOVE, 0, MAKELPARAM(-5, 7), {Call("OnMove", {-5, 7})}, 0},
        {WM_SIZE, 2, MAKELPARAM(100, 50), {Call("OnSize", {2, 100, 50})}, 0},
        {WM_ACTIVATE, MAKEWPARAM(1, 1), 0, {Call("OnActivate", {0x10001, 1, 0})}, 0},
        {WM_QUERYENDSESSION, 0, 0, {"OnQueryEndSession()"}, 1},
        {WM_ENDSESSION, 1, 0, {Call("OnEndSession", {1})}, 0},
        {WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&minMax), {"OnGetMinMaxInfo()"}, 0},
        {WM_COPYDATA, 77, reinterpret_cast<LPARAM>(&copy), {Call("OnCopyData", {77})}, 0},
        {WM_NCPAINT, 1, 0, {"OnNcPaint()"}, 0},
        {WM_KEYDOWN, 'A', 9, {Call("OnKeyDown", {'A', 9})}, 0},
        {WM_KEYUP, 'B', 8, {Call("OnKeyUp", {'B', 8})}, 0},
        {WM_CHAR, 'c', 7, {Call("OnChar", {'c', 7})}, 0},
        {WM_COMMAND, MAKEWPARAM(12, 3), 0, {Call("OnCommand", {12, 3})}, 0},
        {WM_TIMER, 42, 0, {Call("OnTimer", {42})}, 0},
        {WM_MOUSEMOVE, 1, junk, {Call("OnMouseMove", {1, at.x, at.y})}, 0},
        {WM_LBUTTONDOWN, 1, junk, {Call("OnMouseDown", {1, at.x, at.y})}, 0},
        {WM_LBUTTONUP, 0, junk, {Call("OnMouseUp", {0, at.x, at.y})}, 0},
        {WM_LBUTTONDBLCLK, 1, junk, {Call("OnDoubleClick", {1, at.x, at.y})}, 0},
        {WM_RBUTTONDOWN, 2, junk, {Call("OnRightButtonDown", {2, at.x, at.y})}, 0},
        {WM_RBUTTONUP, 0, junk, {Call("OnRightButtonUp", {0, at.x, at.y})}, 0},
        // Screen coordinates left of and above the primary monitor are negative.
        {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(-100, -20), {Call("OnMouseWheel", {0x780000, -100, -20})}, 0},
        {WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, {"OnPowerQuerySuspend()"}, 0},
        {WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 0, {"OnPowerResume()"}, 0},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, {"OnPowerResume()"}, 0},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, {}, 0},
        {WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, {}, 0},
        {WM_DEVICECHANGE,
         DBT_DEVICEQUERYREMOVE,
         reinterpret_cast<LPARAM>(&handleNotice),
         {Call("OnEndSession", {1}), "OnDeviceQueryRemove()"},
         1},
        {WM_DEVICECHANGE,
         DBT_DEVICEQUERYREMOVEFAILED,
         reinterpret_cast<LPARAM>(&handleNotice),
         {"OnDeviceQueryRemoveFailed()"},
         1},
        {WM_USER + 5, 6, 7, {Call("OnUserMessage", {WM_USER + 5, 6, 7})}, 0},
        {WM_APP + 1, 2, 3, {Call("OnUserMessage", {WM_APP + 1, 2, 3})}, 0},
        {taskbarCreated, 0, 0, {"OnTaskbarCreated()"}, 0},
        {WM_ERASEBKGND, 0, 0, {"OnEraseBackground()"}, 0},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(::testing::Message() << "message 0x" << std::hex << row.message << " wParam 0x" << row.wParam);
        EXPECT_EQ(::SendMessageA(hwnd, row.message, row.wParam, row.lParam), row.answer);
        EXPECT_EQ(window->Take(), row.expected);
    }
}

TEST(NativeWindow, AnswersOfTheOperationsDecideDefaultProcessing)
{
    auto window = MakeWindow();
    HWND hwnd = window->GetHandle();
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    const LPARAM inside = MAKELPARAM(rect.left + 5, rect.top + 6);
    EXPECT_EQ(::SendMessageA(hwnd, WM_NCHITTEST, 0, inside), HTCLIENT) << "-1 asks for default processing";
    EXPECT_EQ(window->Take(), Calls{Call("OnNcHitTest", {5, 6})});
    window->hitAnswer = HTCAPTION;
    EXPECT_EQ(::SendMessageA(hwnd, WM_NCHITTEST, 0, inside), HTCAPTION);

    window->queryEndAnswer = 0;
    EXPECT_EQ(::SendMessageA(hwnd, WM_QUERYENDSESSION, 0, 0), 0);

    window->Take();
    // The paint operation draws on the paint context: its clip box is the invalid area.
    const RECT invalid = {10, 20, 50, 60};
    ::ValidateRect(hwnd, nullptr);
    ::InvalidateRect(hwnd, &invalid, FALSE);
    ::UpdateWindow(hwnd);
    EXPECT_EQ(window->Take(), Calls{"OnPaint()"});
    ASSERT_EQ(window->paintClipped, 1);
    EXPECT_EQ(window->paintClip.left, 10);
    EXPECT_EQ(window->paintClip.top, 20);
    EXPECT_EQ(window->paintClip.right, 50);
    EXPECT_EQ(window->paintClip.bottom, 60);
    // The erase operation draws on the context the message brings.
    HDC memory = ::CreateCompatibleDC(nullptr);
    ::SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    EXPECT_EQ(window->eraseContext, memory);
    ::DeleteDC(memory);

    window->closeAnswer = 0;
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(hwnd)) << "OnClose answering 0 keeps the window";
    window->closeAnswer = 1;
    window->Take();
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(window->TakeInput(), (Calls{"OnClose()", "OnDestroy()"}));
    EXPECT_EQ(window->GetHandle(), nullptr);
}

TEST(NativeWindow, CreationBindsTheHandleFromTheFirstMessage)
{
    RecordingWindow window;
    ASSERT_EQ(window.Create(nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, 0, 0), 1);
    ASSERT_FALSE(window.calls.empty());
    EXPECT_EQ(window.calls.front(), "OnGetMinMaxInfo()") << "messages before WM_CREATE reach the object";
    EXPECT_NE(std::find(window.calls.begin(), window.calls.end(), "OnCreate()"), window.calls.end());
    EXPECT_EQ(NativeWindow::FromHandle(window.GetHandle()), &window);
    char name[100] = {};
    ::GetClassNameA(window.GetHandle(), name, sizeof name);
    EXPECT_STREQ(name, NativeWindow::ClassName(0));
    EXPECT_EQ(std::string(name).rfind("UndefinedAppWnd", 0), 0u) << name;
    EXPECT_THROW(window.Create(nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, 0, 99), std::out_of_range);
}

TEST(NativeWindow, DestroyForgetsTheHandleOnceAndForAll)
{
    auto parent = MakeWindow();
    auto child = std::make_unique<RecordingWindow>();
    ASSERT_EQ(child->Create(nullptr, WS_CHILD, 0, 0, 10, 10, parent.get(), 0, 0), 1);
    HWND childHandle = child->GetHandle();
    HWND parentHandle = parent->GetHandle();
    EXPECT_EQ(child->GetParent(), parent.get());
    parent->Take();
    child->Take();

    // The parent's OnChildDestroy answers 1 (the base answer): the child is unbound all the same.
    parent->Destroy();
    EXPECT_EQ(parent->TakeInput(), (Calls{"OnDestroy()", "OnChildDestroy()"}));
    EXPECT_EQ(child->GetHandle(), nullptr);
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_EQ(parent->GetHandle(), nullptr);
    EXPECT_EQ(NativeWindow::FromHandle(childHandle), nullptr);
    EXPECT_EQ(NativeWindow::FromHandle(parentHandle), nullptr);
    parent->Destroy();
    child->Destroy();
    EXPECT_EQ(child->TakeInput(), Calls{"OnDestroy()"}) << "a second Destroy does nothing";
}

// A window of a class not of ours, as a plug-in host makes it.
HWND MakeForeignWindow()
{
    HWND hwnd = ::CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(hwnd, nullptr);
    return hwnd;
}

TEST(NativeWindow, AnAttachedWindowParentsOursAndIsNeverDestroyedFromHere)
{
    HWND foreign = MakeForeignWindow();
    const int live = NativeWindow::LiveWindowCount();
    {
        RecordingWindow host;
        ASSERT_EQ(host.Attach(foreign), 1);
        EXPECT_EQ(host.GetHandle(), foreign);
        EXPECT_EQ(NativeWindow::FromHandle(foreign), &host);
        EXPECT_EQ(NativeWindow::LiveWindowCount(), live + 1);

        RecordingWindow other;
        EXPECT_EQ(other.Attach(foreign), 0) << "a window has one object";
        HWND second = MakeForeignWindow();
        EXPECT_EQ(host.Attach(second), 0) << "an object has one window";
        ::DestroyWindow(second);
        EXPECT_EQ(other.Attach(nullptr), 0);
        auto ours = MakeWindow();
        EXPECT_EQ(other.Attach(ours->GetHandle()), 0) << "a framework window is not taken over";
        EXPECT_EQ(NativeWindow::FromHandle(ours->GetHandle()), ours.get());

        // The host's window parents a framework window, which reports its end to the host object.
        auto child = MakeWindow(&host, 0, 0);
        EXPECT_EQ(::GetParent(child->GetHandle()), foreign);
        child->Destroy();
        EXPECT_EQ(host.Take(), Calls{"OnChildDestroy()"});

        // Destroying lets go without destroying.
        host.Destroy();
        EXPECT_TRUE(::IsWindow(foreign));
        EXPECT_EQ(host.GetHandle(), nullptr);
        EXPECT_EQ(NativeWindow::FromHandle(foreign), nullptr);
        host.Destroy();
        ASSERT_EQ(host.Attach(foreign), 1) << "free to be attached again";
    }
    EXPECT_TRUE(::IsWindow(foreign)) << "the destructor lets it go as well";
    EXPECT_EQ(NativeWindow::FromHandle(foreign), nullptr);
    EXPECT_EQ(NativeWindow::LiveWindowCount(), live);

    RecordingWindow host;
    ASSERT_EQ(host.Attach(foreign), 1);
    host.Detach();
    EXPECT_EQ(host.GetHandle(), nullptr);
    EXPECT_EQ(NativeWindow::FromHandle(foreign), nullptr);
    EXPECT_EQ(NativeWindow::LiveWindowCount(), live);
    EXPECT_TRUE(::IsWindow(foreign));
    ::DestroyWindow(foreign);
}

TEST(NativeWindow, TheLastDestroyedWindowUnregistersTheClasses)
{
    ASSERT_EQ(NativeWindow::LiveWindowCount(), 0);
    std::string oldName;
    {
        auto a = MakeWindow();
        auto b = MakeWindow();
        oldName = NativeWindow::ClassName(0);
        a->Destroy();
        WNDCLASSA info;
        EXPECT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), oldName.c_str(), &info));
        b->Destroy();
        EXPECT_FALSE(::GetClassInfoA(::GetModuleHandleA(nullptr), oldName.c_str(), &info));
    }
    // A window object made while the classes still stood can be created after they went.
    RecordingWindow early;
    {
        auto last = MakeWindow();
        last->Destroy();
    }
    EXPECT_EQ(early.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0), 1);
    early.Destroy();
    auto c = MakeWindow();
    const std::string newName = NativeWindow::ClassName(0);
    ASSERT_EQ(oldName.rfind("UndefinedAppWnd", 0), 0u) << oldName;
    const int oldCounter = std::stoi(oldName.substr(15));
    EXPECT_EQ(newName, "UndefinedAppWnd" + std::to_string(oldCounter + 3)) << "the class counter is never reset";
}

TEST(NativeWindow, TheModalLoopEndsWithItsResultOrPassesAQuitOn)
{
    // End the loop from inside a dispatched message.
    class EndingWindow : public RecordingWindow
    {
    public:
        // Only our own message: other test programs may broadcast theirs meanwhile.
        void OnUserMessage(UINT message, WPARAM wParam, LPARAM) override
        {
            if (message == WM_USER)
                EndModalLoop(static_cast<int>(wParam));
        }
    };
    EndingWindow dialog;
    ASSERT_EQ(dialog.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0), 1);
    dialog.PostMessage(WM_USER, 5, 0);
    EXPECT_EQ(dialog.RunModalLoop(), 5);
    EXPECT_EQ(dialog.IsInModalLoop(), 0);

    ::PostQuitMessage(3);
    EXPECT_EQ(dialog.RunModalLoop(), -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is posted again";
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(dialog.IsInModalLoop(), 0);
}

int gTakes;

// Fails (-1) without touching the message, then reports WM_QUIT.
BOOL WINAPI FailOnceThenQuit(LPMSG, HWND, UINT, UINT)
{
    return ++gTakes == 1 ? -1 : 0;
}

TEST(NativeWindow, AFailedGetMessageDispatchesNothing)
{
    auto window = MakeWindow();
    gTakes = 0;
    AppWindow::SetGetMessage(&FailOnceThenQuit);
    MSG stale = {};
    stale.hwnd = window->GetHandle();
    stale.message = WM_TIMER;
    stale.wParam = 9;
    EXPECT_EQ(AppWindow::PumpMessage(stale), 1) << "the loop goes on";
    EXPECT_EQ(AppWindow::PumpMessage(stale), 0);
    AppWindow::SetGetMessage(nullptr);
    EXPECT_TRUE(window->TakeInput().empty()) << "the stale message was dispatched again";
}

class FakePopup : public OpenPopup
{
public:
    explicit FakePopup(HWND handle) : handle_(handle) {}
    HWND GetPopupHandle() const override { return handle_; }
    int OnKey(WPARAM key) override
    {
        keys.push_back(static_cast<int>(key));
        return consume;
    }
    void CloseAndDelete() override { ++closed; }
    std::vector<int> keys;
    int consume = 0;
    int closed = 0;

private:
    HWND handle_;
};

class FakeHook : public KeyboardHook
{
public:
    int OnChar(WPARAM, LPARAM) override { return Seen("char"); }
    int OnKeyDown(WPARAM, LPARAM) override { return Seen("down"); }
    int OnKeyUp(WPARAM, LPARAM) override { return Seen("up"); }
    std::vector<std::string> seen;
    int consume = 1;

private:
    int Seen(const char* what)
    {
        seen.push_back(what);
        return consume;
    }
};

class ModalRulesTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        NativeWindow::SetTopModal(nullptr);
        NativeWindow::SetCurrentPopup(nullptr);
        NativeWindow::SetKeyboardHook(nullptr);
    }
};

// The beeps the modal filter sounds, heard instead of the speaker.
std::vector<UINT> gBeeps;
BOOL WINAPI RecordBeep(UINT type)
{
    gBeeps.push_back(type);
    return TRUE;
}

TEST_F(ModalRulesTest, AModalDialogSwallowsInputForOtherWindows)
{
    auto main = MakeWindow(nullptr, 10, 10);
    auto dialog = MakeWindow(nullptr, 300, 300);
    auto dialogChild = MakeWindow(dialog.get(), 0, 0);
    NativeWindow::SetTopModal(dialog->GetHandle());
    NativeWindow::SetBeep(&RecordBeep);
    // Only the left clicks that would have started something beep.
    const struct
    {
        UINT message;
        bool beeps;
    } cases[] = {{WM_LBUTTONDOWN, true}, {WM_LBUTTONDBLCLK, true}, {WM_LBUTTONUP, false}, {WM_RBUTTONDOWN, false},
                 {WM_RBUTTONUP, false},  {WM_MOUSEMOVE, false},    {WM_NCHITTEST, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.message);
        gBeeps.clear();
        EXPECT_EQ(::SendMessageA(main->GetHandle(), c.message, 0, 0), 0);
        EXPECT_TRUE(main->TakeInput().empty());
        EXPECT_EQ(gBeeps, c.beeps ? std::vector<UINT>{MB_ICONEXCLAMATION} : std::vector<UINT>{});
        gBeeps.clear();
        dialogChild->Take();
        ::SendMessageA(dialogChild->GetHandle(), c.message, 0, 0);
        EXPECT_EQ(dialogChild->Take().size(), 1u) << "the dialog's children still work";
        dialog->Take();
        ::SendMessageA(dialog->GetHandle(), c.message, 0, 0);
        EXPECT_EQ(dialog->Take().size(), 1u);
        EXPECT_TRUE(gBeeps.empty()) << "input for the dialog itself is not refused";
    }
    NativeWindow::SetBeep(nullptr);
    EXPECT_EQ(NativeWindow::IsDescendant(dialog->GetHandle(), dialogChild->GetHandle()), 1);
    EXPECT_EQ(NativeWindow::IsDescendant(dialog->GetHandle(), main->GetHandle()), 0);
    EXPECT_EQ(NativeWindow::IsDescendant(nullptr, main->GetHandle()), 0);
}

TEST_F(ModalRulesTest, AClickOutsideTheOpenPopupClosesItFirst)
{
    auto other = MakeWindow(nullptr, 10, 10);
    auto popupWindow = MakeWindow(nullptr, 300, 300);
    auto popupChild = MakeWindow(popupWindow.get(), 0, 0);
    FakePopup popup(popupWindow->GetHandle());
    NativeWindow::SetCurrentPopup(&popup);
    ::SendMessageA(popupChild->GetHandle(), WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(popup.closed, 0);
    EXPECT_EQ(NativeWindow::GetCurrentPopup(), &popup);
    ::SendMessageA(other->GetHandle(), WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(popup.closed, 1);
    EXPECT_EQ(NativeWindow::GetCurrentPopup(), nullptr);
    EXPECT_EQ(other->TakeInput().size(), 1u) << "the click goes on after the popup closed";
}

TEST_F(ModalRulesTest, KeysGoToThePopupThenTheHookThenTheWindow)
{
    auto window = MakeWindow();
    HWND hwnd = window->GetHandle();
    FakeHook hook;
    NativeWindow::SetKeyboardHook(&hook);
    ::SendMessageA(hwnd, WM_KEYDOWN, 'X', 0);
    ::SendMessageA(hwnd, WM_KEYUP, 'X', 0);
    ::SendMessageA(hwnd, WM_CHAR, 'x', 0);
    EXPECT_EQ(hook.seen, (std::vector<std::string>{"down", "up", "char"}));
    EXPECT_TRUE(window->TakeInput().empty()) << "consumed keys stop at the hook";

    auto dialog = MakeWindow(nullptr, 400, 400);
    NativeWindow::SetTopModal(dialog->GetHandle());
    ::SendMessageA(hwnd, WM_KEYDOWN, 'Y', 0);
    EXPECT_EQ(hook.seen.size(), 3u) << "no hook while a modal dialog runs";
    EXPECT_EQ(window->TakeInput(), Calls{Call("OnKeyDown", {'Y', 0})});
    NativeWindow::SetTopModal(nullptr);

    FakePopup popup(dialog->GetHandle());
    popup.consume = 1;
    NativeWindow::SetCurrentPopup(&popup);
    ::SendMessageA(hwnd, WM_KEYDOWN, 'Z', 0);
    EXPECT_EQ(popup.keys, std::vector<int>{'Z'});
    EXPECT_EQ(hook.seen.size(), 3u);
    EXPECT_TRUE(window->TakeInput().empty());
}

class FakeTooltip : public OpenTooltip
{
public:
    explicit FakeTooltip(HWND handle) : handle_(handle) {}
    HWND GetTooltipHandle() const override { return handle_; }
    void Destroy() override { ++destroyed; }
    int destroyed = 0;

private:
    HWND handle_;
};

TEST_F(ModalRulesTest, ClicksAndHitTestsDismissTheTooltip)
{
    auto window = MakeWindow(nullptr, 10, 10);
    auto tip = MakeWindow(nullptr, 300, 300);
    FakeTooltip tooltip(tip->GetHandle());
    NativeWindow::SetTooltip(&tooltip);
    ::SendMessageA(tip->GetHandle(), WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(tooltip.destroyed, 1);
    EXPECT_TRUE(tip->TakeInput().empty()) << "a click on the tooltip only dismisses it";
    ::SendMessageA(window->GetHandle(), WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(tooltip.destroyed, 2);
    EXPECT_EQ(window->TakeInput().size(), 1u);
    ::SendMessageA(window->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(tooltip.destroyed, 2) << "a default hit test leaves it";
    window->hitAnswer = HTCLIENT;
    ::SendMessageA(window->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(tooltip.destroyed, 3);
    NativeWindow::SetTooltip(nullptr);
}

// A synthetic arrival of a topology interface with this device path.
LRESULT InterfaceArrives(HWND hwnd, const char* path)
{
    std::vector<char> buffer(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + std::strlen(path));
    auto* notice = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(buffer.data());
    notice->dbcc_size = static_cast<DWORD>(buffer.size());
    notice->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(notice->dbcc_name, path, std::strlen(path) + 1);
    return ::SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(notice));
}

TEST(NativeWindow, DeviceNoticesGoThroughTheDeviceSearch)
{
    auto window = MakeWindow();
    HWND hwnd = window->GetHandle();
    FakeDevices devices;
    DEV_BROADCAST_HANDLE handleNotice = {};
    handleNotice.dbch_size = sizeof handleNotice;
    handleNotice.dbch_devicetype = DBT_DEVTYP_HANDLE;
    const LPARAM handle = reinterpret_cast<LPARAM>(&handleNotice);
    EXPECT_EQ(::SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, handle), 1);
    EXPECT_TRUE(window->Take().empty()) << "a handle arrival without the card";
    devices.CardPresent();
    ::SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, handle);
    EXPECT_EQ(window->Take(), Calls{"OnDeviceChange()"});

    // A notice whose device is going away is unregistered once, and only once.
    ASSERT_EQ(window->RegisterDeviceNotifications(), 1);
    EXPECT_EQ(devices.handleNotices, std::vector<HWND>{hwnd});
    ASSERT_EQ(devices.liveNotices.size(), 1u);
    handleNotice.dbch_hdevnotify = *devices.liveNotices.begin();
    EXPECT_EQ(::SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEREMOVEPENDING, handle), 1);
    EXPECT_TRUE(devices.liveNotices.empty());
    EXPECT_EQ(window->UnregisterDeviceNotifications(), 1);

    // A query to remove the card drops the window's notices.
    ASSERT_EQ(window->RegisterDeviceNotifications(), 1);
    ASSERT_EQ(devices.liveNotices.size(), 1u);
    ::SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, handle);
    EXPECT_TRUE(devices.liveNotices.empty());
    EXPECT_EQ(window->Take(), (Calls{Call("OnEndSession", {1}), "OnDeviceQueryRemove()"}));

    // Only the card's interface counts: a device whose vendor id reads like the card's with
    // decimal rules does not.
    devices.handleNotices.clear();
    EXPECT_EQ(InterfaceArrives(hwnd, kOtherPath), 1);
    EXPECT_TRUE(window->Take().empty());
    EXPECT_TRUE(devices.handleNotices.empty());
    EXPECT_EQ(InterfaceArrives(hwnd, kCardPath), 1);
    EXPECT_EQ(window->Take(), Calls{"OnDeviceChange()"});
    EXPECT_EQ(devices.handleNotices, std::vector<HWND>{hwnd});

    window->Enable(0);
    EXPECT_EQ(window->RegisterDeviceNotifications(), 0) << "only while enabled";
    EXPECT_EQ(window->UnregisterDeviceNotifications(), 0);
    EXPECT_EQ(devices.handleNotices.size(), 1u);
}

TEST(Window, GraphicsOfAWindowAndThePlaceholdersBackground)
{
    Graphics graphics;
    EXPECT_EQ(graphics.AttachWindow(nullptr), 0);
    PlaceholderWindow window;
    EXPECT_EQ(graphics.AttachWindow(window.GetHandle()), 0) << "no window handle yet";
    EXPECT_EQ(graphics.GetDC(), nullptr);
    ASSERT_EQ(window.Create(nullptr, WS_POPUP, 0, 0, 40, 30, nullptr, 0, 0), 1);
    ASSERT_EQ(graphics.AttachWindow(window.GetHandle()), 1);
    EXPECT_EQ(::WindowFromDC(graphics.GetDC()), window.GetHandle());

    // The placeholder paints its whole client area white when asked to erase.
    HDC memory = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(graphics.GetDC(), 40, 30);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::PatBlt(memory, 0, 0, 40, 30, BLACKNESS);
    EXPECT_EQ(::SendMessageA(window.GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 0);
    EXPECT_EQ(::GetPixel(memory, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(::GetPixel(memory, 39, 29), RGB(255, 255, 255));
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
}

TEST(Window, GeometryOfAChildInABorderlessParent)
{
    auto parent = MakeWindow(nullptr, 200, 100);
    auto child = MakeWindow(parent.get(), 0, 0);
    ASSERT_EQ(child->SetPosition(30, 40, 0), 1);
    int x = 0, y = 0;
    ASSERT_EQ(child->GetPosition(x, y), 1);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    ASSERT_EQ(child->MoveBy(5, -10, 0), 1);
    child->GetPosition(x, y);
    EXPECT_EQ(x, 35);
    EXPECT_EQ(y, 30);
    ASSERT_EQ(child->SetSize(60, 70, 0), 1);
    int width = 0, height = 0;
    child->GetSize(width, height);
    EXPECT_EQ(width, 60);
    EXPECT_EQ(height, 70);
    child->GetPosition(x, y);
    EXPECT_EQ(x, 35) << "SetSize keeps the position";
    int sx = 0, sy = 0;
    child->GetScreenArea(sx, sy, width, height);
    EXPECT_EQ(sx, 235);
    EXPECT_EQ(sy, 130);
    int px = 1, py = 2;
    ASSERT_EQ(child->ClientToScreen(px, py), 1);
    EXPECT_EQ(px, 236);
    EXPECT_EQ(py, 132);
    RECT rect = {0, 0, 10, 10};
    child->ClientToScreenRect(rect);
    EXPECT_EQ(rect.left, 235);
    EXPECT_EQ(rect.bottom, 140);
    child->ScreenToClientRect(rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.bottom, 10);
    EXPECT_EQ(parent->SetTimer(5, 1000), 5u);
    EXPECT_EQ(parent->KillTimer(5), 1);
    EXPECT_EQ(parent->KillTimer(5), 0) << "a timer that is not running cannot be killed";
    String title;
    title.AssignAscii("Mixer");
    EXPECT_EQ(parent->SetText(title), 1);
    String read;
    EXPECT_EQ(parent->GetText(read), 1);
    EXPECT_EQ(read.CompareLiteral("Mixer"), 0);
    EXPECT_EQ(Window::WindowFromPoint(240, 135), child.get());
    EXPECT_EQ(Window::WindowFromPoint(-5000, -5000), nullptr);
}

TEST(Window, ShapesAndFontsFromTheGraphicsLayer)
{
    Window window;
    Region square;
    ASSERT_EQ(square.AddRect(0, 0, 10, 10), 1);
    Font font;
    ASSERT_EQ(font.Create(Font::FamilyArial, 0, 10), 1);
    EXPECT_EQ(window.SetRegion(&square, 0), 0) << "no window yet";
    EXPECT_EQ(window.SetFont(font, 0), 0);

    // A system edit control keeps the font it is given.
    ASSERT_EQ(window.CreateWithClass("EDIT", nullptr, WS_POPUP, 0, 0, 40, 30, nullptr, 0, 0), 1);
    HWND hwnd = window.GetHandle();
    ASSERT_EQ(window.SetFont(font, 0), 1);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)), font.Handle());
    BitmapFont bitmapFont;
    EXPECT_EQ(window.SetFont(bitmapFont, 0), 0) << "a bitmap font is not a window font";
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)), font.Handle());

    ASSERT_EQ(window.SetRegion(&square, 0), 1);
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(hwnd, shape), SIMPLEREGION);
    RECT box = {};
    ::GetRgnBox(shape, &box);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 10);
    // The window took a copy: the region is still the caller's to use.
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_EQ(square.GetBox(x, y, width, height), 1);
    EXPECT_EQ(width, 10);
    ASSERT_EQ(square.Offset(5, 5), 1);
    ASSERT_EQ(::GetWindowRgn(hwnd, shape), SIMPLEREGION);
    ::GetRgnBox(shape, &box);
    EXPECT_EQ(box.left, 0);
    // No region removes the shape.
    ASSERT_EQ(window.SetRegion(nullptr, 0), 1);
    EXPECT_EQ(::GetWindowRgn(hwnd, shape), ERROR);
    ::DeleteObject(shape);
}

TEST(FormPlacement, CentresInTheWorkAreaWhereverItLies)
{
    const struct
    {
        RECT work;
        int width, height;
        int x, y;
    } cases[] = {
        {{0, 0, 1280, 1024}, 400, 300, 440, 362},
        // A taskbar on the left and at the top: centred in what is left, not shifted toward it.
        {{200, 30, 1280, 1024}, 400, 300, 540, 377},
        // Larger than the area: overhangs evenly, halves truncated toward zero.
        {{0, 0, 100, 100}, 105, 107, -2, -3},
    };
    for (const auto& c : cases)
    {
        int x = 0, y = 0;
        FormPlacement::Centre(c.work, c.width, c.height, x, y);
        EXPECT_EQ(x, c.x) << c.work.left;
        EXPECT_EQ(y, c.y) << c.work.top;
    }
}

TEST(FormPlacement, APlainFormShowsAtOnceAndAShapedOneTakesItsShape)
{
    RECT work;
    Window::GetWorkArea(work);
    int centreX = 0, centreY = 0;
    FormPlacement::Centre(work, 120, 80, centreX, centreY);
    const DWORD popupBits = WS_POPUP | WS_SYSMENU | WS_VISIBLE | WS_CHILD;

    RecordingWindow plain;
    ASSERT_EQ(FormPlacement::Create(plain, nullptr, 120, 80, nullptr), 1);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_EQ(plain.GetScreenArea(x, y, width, height), 1);
    EXPECT_EQ(x, centreX);
    EXPECT_EQ(y, centreY);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 80);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(plain.GetHandle(), GWL_STYLE)) & popupBits,
              DWORD(WS_POPUP | WS_SYSMENU | WS_VISIBLE));
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(plain.GetHandle(), shape), ERROR) << "no shape";

    Region round;
    ASSERT_EQ(round.AddRect(10, 0, 100, 80), 1);
    RecordingWindow parent;
    ASSERT_EQ(parent.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0), 1);
    RecordingWindow shaped;
    ASSERT_EQ(FormPlacement::Create(shaped, &parent, 120, 80, &round), 1);
    EXPECT_EQ(shaped.IsVisible(), 1) << "shown once shaped";
    EXPECT_EQ(::GetWindow(shaped.GetHandle(), GW_OWNER), parent.GetHandle());
    ASSERT_EQ(::GetWindowRgn(shaped.GetHandle(), shape), SIMPLEREGION);
    RECT box = {};
    ::GetRgnBox(shape, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 110);
    ::DeleteObject(shape);
}

TEST(Window, AWindowNeverCreatedDoesNothing)
{
    RecordingWindow window;
    int x = 7, y = 8, w = 0, h = 0;
    RECT rect = {};
    String text;
    EXPECT_EQ(window.GetHandle(), nullptr);
    EXPECT_EQ(window.GetSize(w, h), 0);
    EXPECT_EQ(window.GetPosition(x, y), 0);
    EXPECT_EQ(window.SetPosition(1, 2, 1), 0);
    EXPECT_EQ(window.MoveBy(1, 2, 1), 0);
    EXPECT_EQ(window.GetClientRect(rect), 0);
    EXPECT_EQ(window.ScreenToClient(x, y), 0);
    EXPECT_EQ(window.Show(SW_SHOW), 0);
    EXPECT_EQ(window.PostMessage(WM_USER, 0, 0), 0);
    EXPECT_EQ(window.SetTimer(1, 10), 0u);
    EXPECT_EQ(window.KillTimer(1), 0);
    EXPECT_EQ(window.IsVisible(), 0);
    EXPECT_EQ(window.GetText(text), 0);
    EXPECT_EQ(window.InvalidateAll(1), 0);
    EXPECT_EQ(window.Scroll(1, 1), 0);
    EXPECT_EQ(x, 7);
    window.Destroy();
    EXPECT_TRUE(window.calls.empty());
}

} // namespace
