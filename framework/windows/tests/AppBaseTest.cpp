#include <gtest/gtest.h>

#include <windows.h>

#include <wtsapi32.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/windows/AppBase.h"
#include "framework/windows/NativeWindow.h"
#include "framework/windows/PlaceholderWindow.h"
#include "framework/windows/Window.h"

namespace
{

// The program names the key and the two values; the framework uses whatever it is given.
const char kViewKey[] = "Software\\KivTests\\HandOver";
const char kLaunchFlag[] = "Launch Test View";
const char kCommandLineOpen[] = "Open This";
const AppBase::SettingsKey kHandOver{u"Software\\KivTests\\HandOver", u"Open This", u"Launch Test View"};

class ViewKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AppBase::SetSettingsKey(kHandOver);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kViewKey);
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kViewKey); }

    static void CreateViewKey()
    {
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kViewKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    static void SetFlag(DWORD value)
    {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kViewKey, kLaunchFlag, REG_DWORD, &value, sizeof value),
                  ERROR_SUCCESS);
    }
};

TEST_F(ViewKeyTest, TheLaunchFlagIsTakenOnce)
{
    EXPECT_EQ(AppBase::TakeLaunchFlag(), 0) << "no view key";
    CreateViewKey();
    EXPECT_EQ(AppBase::TakeLaunchFlag(), 0) << "no flag";
    SetFlag(1);
    EXPECT_EQ(AppBase::TakeLaunchFlag(), 1);
    EXPECT_EQ(AppBase::TakeLaunchFlag(), 0);
    SetFlag(2);
    EXPECT_EQ(AppBase::TakeLaunchFlag(), 0);
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_NE(::RegGetValueA(HKEY_CURRENT_USER, kViewKey, kLaunchFlag, RRF_RT_ANY, nullptr, &value, &size),
              ERROR_SUCCESS)
        << "any value is deleted once read";
}

TEST_F(ViewKeyTest, ASessionPathIsStoredAsTheCommandLineOpenSetting)
{
    EXPECT_EQ(AppBase::StoreCommandLineOpen("\"C:\\a b.session\""), 0) << "the view key is opened, not created";
    CreateViewKey();
    EXPECT_EQ(AppBase::StoreCommandLineOpen("\"C:\\a b.session\""), 1);
    char text[100] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, (std::string(kViewKey) + "\\" + kCommandLineOpen).c_str(), nullptr,
                             RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "\"C:\\a b.session\"");
    EXPECT_EQ(size, std::strlen(text) + 1) << "the length counts the terminator";
}

// An application that records its hooks and plays a script once its window stands.
class ScriptedApp : public AppBase
{
public:
    explicit ScriptedApp(const char* className) : className_(className) {}

    std::vector<std::string> hooks;
    std::vector<void (*)(ScriptedApp&)> script;
    int initBefore = 1;

    void GetClassName(char* buffer, int size) override { lstrcpynA(buffer, className_, size); }
    // Hidden: without a window manager, showing and destroying active windows costs seconds.
    int ShowOnStart() override { return 0; }
    int InitBeforeCreate() override
    {
        hooks.push_back("InitBeforeCreate");
        return initBefore;
    }
    int InitAfterCreate() override
    {
        hooks.push_back("InitAfterCreate");
        for (auto step : script)
            step(*this);
        return 1;
    }
    int OnCommand(int id, int code) override
    {
        hooks.push_back("OnCommand(" + std::to_string(id) + "," + std::to_string(code) + ")");
        return 1;
    }
    void OnQuit() override { hooks.push_back("OnQuit"); }
    void OnActivateRequest() override { hooks.push_back("OnActivateRequest"); }
    void OnSessionLock() override { hooks.push_back("OnSessionLock"); }
    void OnSessionUnlock() override { hooks.push_back("OnSessionUnlock"); }
    void OnSessionConnect() override { hooks.push_back("OnSessionConnect"); }
    void OnSessionDisconnect() override { hooks.push_back("OnSessionDisconnect"); }
    void OnMainWindowDestroyed(Window* window) override
    {
        hooks.push_back("OnMainWindowDestroyed");
        AppBase::OnMainWindowDestroyed(window);
    }

private:
    const char* className_;
};

TEST(AppBase, RunCreatesThePlaceholderRoutesItsMessagesAndEndsWhenItIsDestroyed)
{
    ScriptedApp app("KivRunTest");
    EXPECT_EQ(AppBase::Current(), &app);
    app.script.push_back([](ScriptedApp& self) {
        HWND main = self.GetWindowHandle();
        ASSERT_NE(main, nullptr);
        char name[64] = {};
        ::GetClassNameA(main, name, sizeof name);
        EXPECT_STREQ(name, "KivRunTest");
        EXPECT_NE(dynamic_cast<PlaceholderWindow*>(self.GetMainWindow()), nullptr);
        EXPECT_EQ(self.GetMainWindow()->GetHandle(), main) << "the handle is stored at WM_CREATE";
        EXPECT_EQ(NativeWindow::FromHandle(main), nullptr) << "the main window is not in the window map";
        // The child class is named after the application's class and the process-wide counter.
        const std::string childClass = NativeWindow::ClassName(0);
        EXPECT_EQ(childClass.rfind("KivRunTest", 0), 0u) << childClass;
        EXPECT_NE(childClass.find_first_of("0123456789", 10), std::string::npos) << childClass;
        WNDCLASSA child;
        EXPECT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), childClass.c_str(), &child));
        EXPECT_EQ(child.style, UINT(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));

        struct Session
        {
            WPARAM code;
            const char* hook;
        };
        for (const Session& s :
             {Session{WTS_CONSOLE_CONNECT, "OnSessionConnect"}, Session{WTS_REMOTE_CONNECT, "OnSessionConnect"},
              Session{WTS_CONSOLE_DISCONNECT, "OnSessionDisconnect"},
              Session{WTS_REMOTE_DISCONNECT, "OnSessionDisconnect"}, Session{WTS_SESSION_LOCK, "OnSessionLock"},
              Session{WTS_SESSION_UNLOCK, "OnSessionUnlock"}, Session{5, nullptr}})
        {
            self.hooks.clear();
            ::SendMessageA(main, WM_WTSSESSION_CHANGE, s.code, 0);
            EXPECT_EQ(self.hooks, s.hook ? std::vector<std::string>{s.hook} : std::vector<std::string>{}) << s.code;
        }
        self.hooks.clear();
        ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(7, 1), 0);
        ::SendMessageA(main, AppWindow::ActivationMessage(), 0, 0);
        EXPECT_EQ(self.hooks, (std::vector<std::string>{"OnCommand(7,1)", "OnActivateRequest"}));
        EXPECT_EQ(AppWindow::ActivationMessage(), ::RegisterWindowMessageA("KivRunTestActivate"));
        // A second start broadcasts the request to every top-level window: the copies that
        // reach the program's other windows do not count.
        self.hooks.clear();
        Window other;
        ASSERT_TRUE(other.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0));
        ::SendMessageA(other.GetHandle(), AppWindow::ActivationMessage(), 0, 0);
        EXPECT_TRUE(self.hooks.empty());
        other.Destroy();
        self.hooks.clear();
        ::PostMessageA(main, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(app.Run(), 1);
    EXPECT_EQ(app.hooks, std::vector<std::string>{"OnMainWindowDestroyed"});
    EXPECT_EQ(app.GetMainWindow()->GetHandle(), nullptr);
    EXPECT_EQ(app.GetWindowHandle(), nullptr) << "the destroyed main window's handle is forgotten";
    EXPECT_EQ(app.Unregister(), 1);
}

TEST(AppBase, QuitDestroysTheMainWindowAndEndsTheLoop)
{
    ScriptedApp app("KivQuitTest");
    app.script.push_back([](ScriptedApp& self) {
        self.hooks.clear();
        self.Quit();
    });
    EXPECT_EQ(app.Run(), 1);
    EXPECT_EQ(app.hooks, (std::vector<std::string>{"OnQuit", "OnMainWindowDestroyed"}));
    EXPECT_EQ(app.GetWindowHandle(), nullptr);
    EXPECT_EQ(AppBase::IsQuitting(), 1);
    EXPECT_EQ(app.GetAppWindow().GetExitCode(), 0u);
    app.Unregister();
}

TEST(AppBase, AStartUpHookThatRefusesEndsTheRun)
{
    ScriptedApp app("KivRefuseTest");
    app.initBefore = 0;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.GetWindowHandle(), nullptr);
    app.Unregister();
}

TEST(AppBase, RegisterPreparesBothClassesWithoutRunning)
{
    ScriptedApp app("KivRegisterTest");
    const int childClass = app.Register();
    ASSERT_GE(childClass, 0);
    WNDCLASSA info;
    EXPECT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), "KivRegisterTest", &info));
    EXPECT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), NativeWindow::ClassName(childClass), &info));
    EXPECT_EQ(app.Register(), -1) << "the class is taken";
    EXPECT_EQ(app.Unregister(), 1);
    EXPECT_FALSE(::GetClassInfoA(::GetModuleHandleA(nullptr), "KivRegisterTest", &info));
}

TEST(AppBase, StaticServicesWithoutAndWithAnApplication)
{
    String path;
    {
        ScriptedApp app("KivServicesTest");
        ASSERT_EQ(AppBase::ModulePath(path), 1);
        char exe[MAX_PATH];
        ::GetModuleFileNameA(nullptr, exe, sizeof exe);
        *std::strrchr(exe, '\\') = '\0';
        String expected;
        expected.AppendAnsi(exe);
        EXPECT_EQ(path.Compare(expected.Text()), 0);
        EXPECT_EQ(AppBase::AppDataFolder(nullptr), 0);
        EXPECT_EQ(AppBase::AppDataFolder(&path), 1);
        EXPECT_GT(path.Length(), 0);
        EXPECT_EQ(AppBase::DocumentsFolder(&path), 1);
    }
    EXPECT_EQ(AppBase::Current(), nullptr);
}

class RecordingDesktop : public DesktopShell
{
public:
    std::vector<std::string> asked;
    int ShowMessageBox(const char* text, const char* caption) override
    {
        asked.push_back(std::string("box ") + caption + ": " + text);
        return IDOK;
    }
    void Open(const char* path) override { asked.push_back(std::string("open ") + path); }
};

TEST(AppBase, DocumentsOpenAsGivenOrBesideTheProgram)
{
    RecordingDesktop desktop;
    AppBase::SetDesktopShell(&desktop);
    String folder;
    String existing;
    String relative;
    relative.AppendAscii("Manual.pdf");
    AppBase::OpenDocument(relative);
    EXPECT_TRUE(desktop.asked.empty()) << "nothing without an application";
    {
        ScriptedApp app("KivDocumentTest");
        ASSERT_EQ(AppBase::ModulePath(folder), 1);
        existing.Assign(folder);
        existing.AppendAscii("\\framework_app_test.exe");
        AppBase::OpenDocument(existing);
        AppBase::OpenDocument(relative);
        String text;
        text.AppendAscii("Text");
        String caption;
        caption.AppendAscii("Caption");
        EXPECT_EQ(AppBase::MessageBox(text, caption), IDOK);
    }
    AppBase::SetDesktopShell(nullptr);
    auto ansi = [](const String& s) { return std::string(s.ToAnsi().get()); };
    EXPECT_EQ(desktop.asked, (std::vector<std::string>{"open " + ansi(existing),
                                                       "open " + ansi(folder) + "\\Manual.pdf", "box Caption: Text"}));
}

TEST(AppBase, TheShellOpensWholePathsAndRefusesLongerOnes)
{
    RecordingDesktop desktop;
    AppBase::SetDesktopShell(&desktop);
    String fits;
    fits.AppendAscii("http://");
    while (fits.Length() < MAX_PATH - 1)
        fits.AppendAscii("x");
    String tooLong;
    tooLong.Assign(fits);
    tooLong.AppendAscii("y");
    EXPECT_EQ(AppBase::OpenWithShell(fits), 1) << "259 characters and the terminator fit";
    EXPECT_EQ(AppBase::OpenWithShell(tooLong), 0) << "one more is refused, not cut";
    AppBase::SetDesktopShell(nullptr);
    ASSERT_EQ(desktop.asked.size(), 1u);
    EXPECT_EQ(desktop.asked[0], "open " + std::string(fits.ToAnsi().get()));
}

TEST(AppBase, TheDefaultNamesFitTheGivenBuffer)
{
    AppBase app;
    char name[6];
    std::memset(name, 'x', sizeof name);
    app.GetClassName(name, 4);
    EXPECT_STREQ(name, "Und");
    EXPECT_EQ(name[5], 'x');
    char title[100];
    app.GetTitle(title, sizeof title);
    EXPECT_STREQ(title, "Noname");
    int x, y, w, h;
    app.GetDefaultRect(x, y, w, h);
    EXPECT_EQ(x + y + w + h, 50 + 50 + 400 + 300);
}

} // namespace
