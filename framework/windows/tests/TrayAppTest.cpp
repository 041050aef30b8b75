#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/windows/TrayApp.h"
#include "framework/windows/TrayIcon.h"

namespace
{

struct NotifyCall
{
    DWORD message;
    UINT flags;
    UINT callback;
    std::string tip;
    DWORD size;
    HWND window;
};

// Stands in for the notification area, which a bare X server does not have.
class RecordingNotifier : public TrayNotifier
{
public:
    std::vector<NotifyCall> calls;
    BOOL Notify(DWORD message, NOTIFYICONDATAA* data) override
    {
        calls.push_back({message, data->uFlags, data->uCallbackMessage, data->szTip, data->cbSize, data->hWnd});
        return TRUE;
    }
    std::vector<DWORD> TakeMessages()
    {
        std::vector<DWORD> messages;
        for (const NotifyCall& call : calls)
            messages.push_back(call.message);
        calls.clear();
        return messages;
    }
};

const char kIcon[] = "KIVTRAYICON";
const char kOtherIcon[] = "KIVOTHERICON";

class ScriptedTrayApp : public TrayApp
{
public:
    std::vector<std::string> hooks;
    void (*script)(ScriptedTrayApp&) = nullptr;

    void GetClassName(char* buffer, int size) override { lstrcpynA(buffer, "KivTrayTest", size); }
    const char* GetTrayIconName() override { return kIcon; }
    int InitAfterCreate() override
    {
        script(*this);
        return 1;
    }
    void OnTrayLeftDown(WPARAM k) override { Hook("OnTrayLeftDown", k); }
    void OnTrayLeftUp(WPARAM k) override { Hook("OnTrayLeftUp", k); }
    void OnTrayDoubleClick(WPARAM k) override { Hook("OnTrayDoubleClick", k); }
    void OnTrayRightDown(WPARAM k) override { Hook("OnTrayRightDown", k); }
    void OnTrayRightUp(WPARAM k) override { Hook("OnTrayRightUp", k); }
    void OnTrayMouseMove(WPARAM k) override { Hook("OnTrayMouseMove", k); }
    void OnTrayMessage(UINT message, WPARAM, LPARAM lParam) override
    {
        hooks.push_back("OnTrayMessage(" + std::to_string(message) + "," + std::to_string(lParam) + ")");
    }

private:
    void Hook(const char* name, WPARAM keys) { hooks.push_back(std::string(name) + "(" + std::to_string(keys) + ")"); }
};

RecordingNotifier gNotifier;
HWND gTrayWindow;

TEST(TrayApp, TheHiddenWindowOwnsTheIconAndTurnsItsMessagesIntoHooks)
{
    TrayIcon::SetNotifier(&gNotifier);
    {
        ScriptedTrayApp app;
        app.script = [](ScriptedTrayApp& self) {
            HWND hwnd = self.GetWindowHandle();
            gTrayWindow = hwnd;
            EXPECT_FALSE(::IsWindowVisible(hwnd));
            ASSERT_EQ(gNotifier.calls.size(), 1u);
            const NotifyCall added = gNotifier.calls.front();
            EXPECT_EQ(added.message, DWORD(NIM_ADD));
            EXPECT_EQ(added.flags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
            EXPECT_EQ(added.callback, 1024u);
            EXPECT_EQ(added.tip, "Testing");
            EXPECT_EQ(added.size, DWORD(NOTIFYICONDATAA_V1_SIZE));
            EXPECT_EQ(added.window, hwnd);
            gNotifier.calls.clear();

            struct Row
            {
                UINT message;
                LPARAM mouse;
                std::vector<std::string> hooks;
            };
            const Row rows[] = {
                {1024, WM_MOUSEMOVE, {"OnTrayMessage(1024,512)", "OnTrayMouseMove(0)"}},
                {1024, WM_LBUTTONDOWN, {"OnTrayMessage(1024,513)", "OnTrayLeftDown(0)"}},
                {1024, WM_LBUTTONUP, {"OnTrayMessage(1024,514)", "OnTrayLeftUp(0)"}},
                {1024, WM_LBUTTONDBLCLK, {"OnTrayMessage(1024,515)"}},
                {1024, WM_RBUTTONDOWN, {"OnTrayMessage(1024,516)", "OnTrayRightDown(0)"}},
                {1024, WM_RBUTTONUP, {"OnTrayMessage(1024,517)", "OnTrayRightUp(0)"}},
                // The application's own messages to this window carry no mouse code.
                {1123, WM_RBUTTONUP, {"OnTrayMessage(1123,517)"}},
                {1126, WM_LBUTTONDOWN, {"OnTrayMessage(1126,513)"}},
            };
            for (const Row& row : rows)
            {
                SCOPED_TRACE(row.message);
                self.hooks.clear();
                ::SendMessageA(hwnd, row.message, 0, row.mouse);
                EXPECT_EQ(self.hooks, row.hooks);
            }

            TrayIcon* icon = self.GetTrayIcon();
            self.SetIcon(icon->GetIconName());
            EXPECT_TRUE(gNotifier.calls.empty()) << "the same name changes nothing";
            self.SetIcon(kOtherIcon);
            EXPECT_EQ(gNotifier.TakeMessages(), (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
            self.HideIcon();
            EXPECT_EQ(self.IsIconShown(), 0);
            EXPECT_EQ(gNotifier.TakeMessages(), std::vector<DWORD>{NIM_DELETE});
            self.SetIcon(kIcon);
            EXPECT_EQ(gNotifier.TakeMessages(), std::vector<DWORD>{NIM_DELETE}) << "a hidden icon stays hidden";
            EXPECT_EQ(icon->GetIconName(), kIcon);
            self.HideIcon();
            EXPECT_TRUE(gNotifier.calls.empty());
            self.ShowIcon(1);
            EXPECT_EQ(gNotifier.TakeMessages(), std::vector<DWORD>{NIM_ADD});
            self.ShowIcon(1);
            EXPECT_TRUE(gNotifier.calls.empty()) << "already shown";
            self.ShowIcon(0);
            EXPECT_EQ(gNotifier.TakeMessages(), std::vector<DWORD>{NIM_ADD}) << "added again, as after a new taskbar";

            String tip;
            for (int i = 0; i < 100; ++i)
                tip.AppendAsciiChar(static_cast<char>('a' + i % 26));
            self.SetTip(tip);
            ASSERT_EQ(gNotifier.calls.size(), 1u);
            EXPECT_EQ(gNotifier.calls.front().message, DWORD(NIM_MODIFY));
            EXPECT_EQ(gNotifier.calls.front().tip.size(), 63u);
            EXPECT_EQ(gNotifier.calls.front().tip.substr(0, 3), "abc");
            gNotifier.calls.clear();
            ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
        };
        EXPECT_EQ(app.Run(), 1) << "destroying the placeholder ends the loop";
        EXPECT_EQ(app.GetTrayIcon()->GetHandle(), nullptr);
        gNotifier.calls.clear();
        app.Unregister();
    }
    // The application's end removes the icon it added, under the window it was added with.
    ASSERT_EQ(gNotifier.calls.size(), 1u);
    EXPECT_EQ(gNotifier.calls.back().message, DWORD(NIM_DELETE));
    EXPECT_EQ(gNotifier.calls.back().window, gTrayWindow);
    TrayIcon::SetNotifier(nullptr);
}

} // namespace
