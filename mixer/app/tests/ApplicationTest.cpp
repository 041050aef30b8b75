// The application's start-up and run-time services against the simulated engine, in this
// process: the tray window exists, the message loop runs, the user's answers come from a
// recorder and the notification area is a recorder as well.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/controls/DataItem.h"
#include "framework/controls/FormWindow.h"
#include "framework/platform/files/ChooserSeam.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/windows/TrayIcon.h"
#include "mixer/app/Application.h"
#include "mixer/app/ApplicationTrayWindow.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/names/ViewSettings.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/StartProcess.h"

namespace fs = std::filesystem;

namespace
{

class RecordingMessages : public AppMessages
{
public:
    int Show(const char* id, const char16_t*, const char16_t*) override
    {
        shown.push_back(id ? id : "");
        auto answer = answers.find(shown.back());
        return answer != answers.end() ? answer->second : 1;
    }
    std::vector<std::string> shown;
    std::map<std::string, int> answers;
};

class RecordingDesktop : public DesktopShell
{
public:
    int ShowMessageBox(const char* text, const char*) override
    {
        boxes.push_back(text);
        return IDOK;
    }
    void Open(const char*) override {}
    std::vector<std::string> boxes;
};

// Answers every dialog: runs the step for its skin name, then ends it with the answer.
class RecordingDialogs : public DialogAnswerer
{
public:
    RecordingDialogs() { Dialog::SetAnswerer(this); }
    ~RecordingDialogs() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        std::string name;
        for (int i = 0; i < dialog.GetSourceName().Length(); ++i)
            name += dialog.GetSourceName().CharAt(i);
        shown.push_back(name);
        if (step)
            step(dialog);
        dialog.End(answer);
    }
    std::vector<std::string> shown;
    std::function<void(Dialog&)> step;
    int answer = 0;
};

class RecordingNotifier : public TrayNotifier
{
public:
    BOOL Notify(DWORD message, NOTIFYICONDATAA* data) override
    {
        calls.emplace_back(message, data->szTip);
        return TRUE;
    }
    std::vector<std::pair<DWORD, std::string>> calls;
};

// The engines the factory made, in order (owned by the application that took them).
std::vector<StandinServices*> gCreated;
bool gInitialiseFirst = false; // the factory's engine was initialised already: Init fails

IVarnServices* CreateStandin()
{
    gCreated.push_back(new StandinServices);
    if (gInitialiseFirst)
    {
        fs::path folder = fs::temp_directory_path();
        gCreated.back()->Init(folder.u16string().c_str(), folder.u16string().c_str(), folder.u16string().c_str());
    }
    return gCreated.back();
}

bool Logged(StandinServices* engine, const std::string& prefix)
{
    for (const std::string& line : engine->GetCallLog())
        if (line.rfind(prefix, 0) == 0)
            return true;
    return false;
}

int CountLogged(StandinServices* engine, const std::string& prefix)
{
    int count = 0;
    for (const std::string& line : engine->GetCallLog())
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

// Runs the application's start-up and then the script inside its message loop.
class ScriptedApplication : public Application
{
public:
    ScriptedApplication() : Application(CreateStandin) {}
    void OnActivateRequest() override
    {
        ++activations;
        Application::OnActivateRequest();
    }
    int InitAfterCreate() override
    {
        started = Application::InitAfterCreate();
        if (started && script)
            script(*this);
        // Whatever the script did or failed to do, the loop ends.
        if (started)
            ::PostMessageA(GetWindowHandle(), WindowMessage::kQuit, 0, 0);
        return started;
    }
    // Handles what is posted so far.
    static void Pump()
    {
        MSG msg;
        for (int i = 0; i < 50 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        {
            if (msg.message == WM_QUIT)
            {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    int Start()
    {
        const int result = GetAppWindow().Run(::GetModuleHandleA(nullptr), 0, 0, SW_SHOW);
        if (HWND window = GetWindowHandle())
        {
            // A failed start leaves the window, which the program's end would take.
            ::DestroyWindow(window);
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            {
            }
        }
        Unregister(); // the next test registers the class again
        return result;
    }

    std::function<void(ScriptedApplication&)> script;
    int started = -1;
    int activations = 0;
};

// The test program's folder plays the program folder: it gets the launcher skin and, where
// a test wants the card, a card description, for the time of the test.
class ApplicationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        gCreated.clear();
        gInitialiseFirst = false;
        char self[MAX_PATH];
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        program = fs::path(self).parent_path();
        std::error_code error;
        for (const char* folder : {"System", "Skins"})
        {
            fs::remove_all(program / folder, error); // left by a run that was stopped
            fs::copy(program / ".." / ".." / "program" / folder, program / folder, fs::copy_options::recursive, error);
            ASSERT_FALSE(error) << error.message();
        }
        AppBase::SetDesktopShell(&desktop);
        TrayIcon::SetNotifier(&notifier);
        ASSERT_TRUE(launcher.Open(ViewSettings::kRoot, LauncherSettings::kKeyPath, 1));
        ASSERT_TRUE(view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1));
        launcher.WriteBool(LauncherSettings::kShowExitWarning, 0);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(program / "System", ignored);
        fs::remove_all(program / "Skins", ignored);
        fs::remove(program / "SimulatedCard.txt", ignored);
        launcher.DeleteKey(LauncherSettings::kSavedFxPath);
        view.DeleteKey(ViewSettings::kCommandLineOpen);
        view.DeleteKey(u"skin");
        view.DeleteKey(u"in CorvanView mode");
        AppBase::SetDesktopShell(nullptr);
        TrayIcon::SetNotifier(nullptr);
    }

public:
    void WithCard(const std::string& text = "systems=1\nrate=1\n")
    {
        std::ofstream(program / "SimulatedCard.txt") << text;
    }

protected:
    fs::path program;
    RecordingDesktop desktop;
    RecordingNotifier notifier;
    RecordingMessages messages;
    RecordingDialogs dialogs; // no test waits for a person
    RegistryKey launcher, view;
};

TEST_F(ApplicationTest, StartUpShowsTheIconWithItsTipAndQuitsOnTheExitCommand)
{
    WithCard();
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        ASSERT_EQ(gCreated.size(), 1u);
        EXPECT_EQ(self.GetServices(), gCreated[0]);
        EXPECT_EQ(self.GetInitStatus(), 1);
        EXPECT_TRUE(Logged(gCreated[0], "AddListener"));
        EXPECT_TRUE(Logged(gCreated[0], "SetViewInterface"));
        EXPECT_EQ(self.GetSplash(), nullptr) << "the splash goes once the start-up is done";
        String data;
        AppBase::AppDataFolder(&data);
        data.AppendAscii("\\KivCorvanDSP");
        EXPECT_TRUE(FileSystem::DirectoryExists(data));
        ASSERT_FALSE(notifier.calls.empty());
        EXPECT_EQ(notifier.calls.front().first, DWORD(NIM_ADD));
        bool tip = false;
        for (const auto& call : notifier.calls)
            tip = tip || call.second == "KIV Corvan DSP\nS/R: 48.0 kHz (Internal)\nStatus: Unlocked";
        EXPECT_TRUE(tip);
        // "show exit warning" is no: the exit command quits at once.
        self.OnTrayCommand(Application::kCommandExit);
    };
    EXPECT_EQ(app.Start(), 0);
    EXPECT_EQ(app.started, 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ApplicationTest, InitStatusesShowTheirMessages)
{
    struct Row
    {
        const char* name;
        std::function<void(ApplicationTest&)> prepare;
        int started;
        std::string message;
    };
    ScratchFolder other("kiv-application-running");
    std::u16string otherPath = other.Path().u16string();
    std::unique_ptr<StandinServices> running;
    const Row rows[] = {
        {"failure", [](ApplicationTest&) { gInitialiseFirst = true; }, 0, "IDM_CORVANDSP_SERVICES_INIT_FAIL"},
        {"no hardware", [](ApplicationTest&) {}, 1, "IDM_HARDWARE_MISSING"},
        {"partial hardware",
         [](ApplicationTest& test) {
             test.WithCard();
             String data;
             AppBase::AppDataFolder(&data);
             std::ofstream(fs::path(data.Text()) / "KivCorvanDSP" / "KivCorvanConfig.session")
                 << "KivCorvanSession 2\nsystems=3\n";
         },
         1, "IDM_PARTIAL_HARDWARE"},
        {"newer session",
         [](ApplicationTest& test) {
             test.WithCard();
             String data;
             AppBase::AppDataFolder(&data);
             std::ofstream(fs::path(data.Text()) / "KivCorvanDSP" / "KivCorvanConfig.session")
                 << "KivCorvanSession 9\n";
         },
         1, "IDM_CORVANDSP_SERVICES_LAST_SESSION_VER_NEWER_THAN_APP"},
        {"already running",
         [&](ApplicationTest&) {
             running.reset(new StandinServices);
             running->Init(otherPath.c_str(), otherPath.c_str(), otherPath.c_str());
         },
         0, "IDM_CORVANDSP_SERVICES_ALREADY_RUNNING"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        gCreated.clear();
        messages.shown.clear();
        row.prepare(*this);
        {
            ScriptedApplication app;
            app.SetMessages(&messages);
            app.script = [](ScriptedApplication& self) { self.OnTrayCommand(Application::kCommandExit); };
            app.Start();
            EXPECT_EQ(app.started, row.started);
            EXPECT_EQ(app.GetServices(), row.started ? app.GetServices() : nullptr)
                << "a failed start forgets the engine it released";
        }
        EXPECT_NE(std::find(messages.shown.begin(), messages.shown.end(), row.message), messages.shown.end());
        running.reset();
        gInitialiseFirst = false;
        std::error_code ignored;
        fs::remove(program / "SimulatedCard.txt", ignored);
        String data;
        AppBase::AppDataFolder(&data);
        fs::remove(fs::path(data.Text()) / "KivCorvanDSP" / "KivCorvanConfig.session", ignored);
    }
}

TEST_F(ApplicationTest, SplashTextsFollowTheEngineFromAnyThread)
{
    WithCard();
    ScriptedApplication app;
    app.SetMessages(&messages);
    std::vector<std::string> texts;
    app.script = [&](ScriptedApplication& self) {
        // The start-up's own splash is gone; put one up as the start-up does to watch it.
        self.ShowSplash();
        ASSERT_NE(self.GetSplash(), nullptr);
        auto text = [&] {
            char16_t buffer[256] = {};
            self.GetSplash()->GetChildText("inittag", buffer, 256);
            return std::u16string(buffer);
        };
        ApplicationTrayWindow* tray = self.GetTrayWindow();
        ASSERT_NE(tray, nullptr);
        // On the user-interface thread the text changes at once.
        tray->OnEngineEvent(81, 0);
        EXPECT_EQ(text(), u"Loading effect presets...");
        // From another thread nothing is touched there: the event is posted.
        std::thread engine([&] { tray->OnEngineEvent(82, 0); });
        engine.join();
        MSG msg;
        EXPECT_TRUE(::PeekMessageA(&msg, self.GetWindowHandle(), WindowMessage::kTrayEngineEvent,
                                   WindowMessage::kTrayEngineEvent, PM_NOREMOVE));
        EXPECT_EQ(text(), u"Loading effect presets...");
        ScriptedApplication::Pump();
        EXPECT_EQ(text(), u"Loading core effects...");
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
    EXPECT_EQ(app.started, 1);
}

TEST_F(ApplicationTest, RateChangesRaiseTheMismatchOnlyAcrossFamilies)
{
    WithCard();
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        StandinServices* engine = gCreated.at(0);
        auto* session = static_cast<StandinSettings*>(engine->GetMixer()->GetSessionSettings());
        // 48 kHz hardware, 44.1 kHz session: the same family, the session takes the rate.
        static_cast<StandinMixer*>(engine->GetMixer())->rateCode = 0;
        self.OnRateChange();
        EXPECT_EQ(session->texts["samplerate"], u"48000");
        EXPECT_EQ(CountLogged(engine, "RunCommand UnMute"), 1);
        EXPECT_TRUE(dialogs.shown.empty()) << "no question within a family";
        // 48 -> 96 kHz: a mismatch asks; Retry after the card went back to 48 kHz settles it.
        static_cast<StandinMixer*>(engine->GetMixer())->rateCode = 1;
        session->texts.clear();
        dialogs.step = [&](Dialog&) { static_cast<StandinMixer*>(engine->GetMixer())->hardwareRateCode = 1; };
        engine->SetHardwareRate(2);
        engine->WaitForEvents();
        ScriptedApplication::Pump();
        EXPECT_EQ(dialogs.shown, std::vector<std::string>{"ratechanged"});
        EXPECT_EQ(session->texts.count("samplerate"), 0u);
        EXPECT_EQ(CountLogged(engine, "RunCommand UnMute"), 2);
        // Sync source 1 is written as text; an unknown one clears the value.
        self.OnSyncSourceChange(1);
        self.OnSyncSourceChange(9);
        EXPECT_TRUE(Logged(engine, "SetText ExtSyncSrc=1"));
        EXPECT_TRUE(Logged(engine, "SetText ExtSyncSrc="));
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
    EXPECT_EQ(app.started, 1);
}

TEST_F(ApplicationTest, PowerAndSessionHooks)
{
    WithCard();
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        StandinServices* engine = gCreated.at(0);
        HWND window = self.GetWindowHandle();
        const int saves = CountLogged(engine, "SaveSession (null)");
        ::SendMessageA(window, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0);
        EXPECT_EQ(CountLogged(engine, "SaveSession (null)"), saves + 1) << "a running card saves on suspend";
        engine->SetRunning(false);
        ::SendMessageA(window, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0);
        EXPECT_EQ(CountLogged(engine, "SaveSession (null)"), saves + 1);
        engine->SetRunning(true);
        // A session that is not ending changes nothing.
        ::SendMessageA(window, WM_ENDSESSION, 0, 0);
        EXPECT_EQ(self.GetServices(), engine);
        // A query-remove reaches both the end of session and the removal hook: one release.
        DEV_BROADCAST_HANDLE notice = {};
        notice.dbch_size = sizeof notice;
        notice.dbch_devicetype = DBT_DEVTYP_HANDLE;
        ::SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&notice));
        EXPECT_EQ(self.GetServices(), nullptr);
    };
    app.Start();
    EXPECT_EQ(app.started, 1);
}

TEST_F(ApplicationTest, ACommandLineSessionLoadsAndItsSettingGoes)
{
    WithCard();
    ScratchFolder sessions("kiv-application-commandline");
    fs::path file = sessions / "Given.session";
    std::ofstream(file) << "KivCorvanSession 2\nrate=1\nname=Given\n";
    String path;
    path.AppendAscii(("\"" + file.string() + "\"").c_str());
    ASSERT_TRUE(view.WriteString(ViewSettings::kCommandLineOpen, &path));
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        EXPECT_TRUE(Logged(gCreated.at(0), "LoadSession " + file.string()));
        EXPECT_EQ(std::u16string(self.GetServices()->GetMixer()->GetSessionName()), u"Given");
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
    String left;
    EXPECT_EQ(view.ReadString(ViewSettings::kCommandLineOpen, left, nullptr), 0) << "the setting is read once";
}

// A command-line session that fails to load before the main window is up is reported once the
// window is there, once.
TEST_F(ApplicationTest, ACommandLineSessionThatFailsIsReportedOnceTheWindowIsUp)
{
    WithCard();
    ScratchFolder sessions("kiv-application-commandline-bad");
    const fs::path file = sessions / "Broken.session";
    std::ofstream(file) << "not a session\n";
    String path;
    path.AppendAscii(file.string().c_str());
    ASSERT_TRUE(view.WriteString(ViewSettings::kCommandLineOpen, &path));
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        EXPECT_TRUE(Logged(gCreated.at(0), "LoadSession " + file.string()));
        EXPECT_NE(self.GetFirstViewField(), nullptr);
        std::vector<std::string> told = dialogs.shown;
        told.insert(told.end(), messages.shown.begin(), messages.shown.end());
        EXPECT_EQ(std::count(told.begin(), told.end(), "IDM_SESSION_LOAD_FILE_INVALID"), 1);
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
}

// A failed import keeps the saved presets and their setting for the next start.
TEST_F(ApplicationTest, AFailedImportKeepsTheSavedPresets)
{
    WithCard();
    ScratchFolder saved("kiv-saved-fx-missing");
    String text;
    text.AppendAscii((saved / "gone").string().c_str());
    ASSERT_TRUE(launcher.WriteString(LauncherSettings::kSavedFxPath, &text));
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [](ScriptedApplication& self) { self.OnTrayCommand(Application::kCommandExit); };
    app.Start();
    EXPECT_EQ(app.started, 1);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"IDM_IMPORT_FX_UNSUCCESS"});
    String kept;
    EXPECT_EQ(launcher.ReadString(LauncherSettings::kSavedFxPath, kept, nullptr), 1);
}

// A stored skin name whose System folder is missing falls back to the launcher skin.
TEST_F(ApplicationTest, AMissingStoredSkinFallsBackToTheLauncherSkin)
{
    WithCard();
    String name;
    name.AppendAscii("Gone Skin");
    ASSERT_TRUE(view.WriteString(u"skin", &name));
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [](ScriptedApplication& self) { self.OnTrayCommand(Application::kCommandExit); };
    app.Start();
    EXPECT_EQ(app.started, 1);
    EXPECT_TRUE(desktop.boxes.empty());
}

// Answering the quit warning with 0 after a reset still stops every later save: the reset
// deleted the working session.
TEST_F(ApplicationTest, AResetStopsLaterSavesWhateverTheAnswer)
{
    WithCard();
    messages.answers["IDM_QUITWARNING"] = 0;
    dialogs.answer = 1; // the reset took the settings: the exit warning is back
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        StandinServices* engine = gCreated.at(0);
        self.OnTrayCommand(Application::kCommandResetHardware);
        EXPECT_EQ(Application::IsHardwareReset(), 1);
        const int saves = CountLogged(engine, "SaveSession (null)");
        ::SendMessageA(self.GetWindowHandle(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0);
        EXPECT_EQ(CountLogged(engine, "SaveSession (null)"), saves);
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"IDM_QUITWARNING"});
}
} // namespace

namespace
{
// With "show exit warning" set the exit command asks first; cancelling keeps the program.
TEST_F(ApplicationTest, TheExitWarningCanCancelTheExit)
{
    WithCard();
    launcher.WriteBool(LauncherSettings::kShowExitWarning, 1);
    ScriptedApplication app;
    app.SetMessages(&messages);
    int stillRunning = 0;
    app.script = [&](ScriptedApplication& self) {
        self.OnTrayCommand(Application::kCommandExit);
        stillRunning = ::IsWindow(self.GetWindowHandle());
        dialogs.answer = 1;
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"exitwarning", "exitwarning"}));
    EXPECT_EQ(stillRunning, 1);
    EXPECT_EQ(app.GetWindowHandle(), nullptr) << "the second answer quit";
}
} // namespace

namespace
{
BOOL CALLBACK CountFrameworkWindow(HWND window, LPARAM counter)
{
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name).rfind("Varn Services", 0) == 0)
        ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// The top-level windows of this thread that the framework made: every one of them gets a
// second start's broadcast.
int FrameworkTopLevelWindows()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountFrameworkWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Ends a start that did not end by itself: one that became a program of its own ends by the
// user's quit (a killed one would leave its class object behind in the prefix), one that
// shows a box by closing it.
BOOL CALLBACK EndStrayWindow(HWND window, LPARAM processId)
{
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId))
        return TRUE;
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    ::PostMessageA(window, std::string(name) == "Varn Services" ? WindowMessage::kQuit : WM_CLOSE, 0, 0);
    return TRUE;
}

void EndStrayStart(DWORD processId)
{
    ::EnumWindows(EndStrayWindow, static_cast<LPARAM>(processId));
}

// Starts the program again as a user does, serving this thread's messages until that start
// has ended; its exit code, 0xFFFFFFFF when it did not start or did not end by itself.
DWORD StartAgain(const fs::path& executable, const std::string& arguments)
{
    const std::string line = "\"" + executable.string() + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!StartProcess(nullptr, line, FALSE, startup, &process))
        return 0xFFFFFFFF;
    // A Wine start on a loaded machine has taken most of a minute.
    const bool ended = PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 240000);
    if (!ended)
    {
        EndStrayStart(process.dwProcessId);
        PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 60000);
    }
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return ended ? code : 0xFFFFFFFF;
}

// Serves what is queued now (the broadcast's copies are queued by the time the second start
// has ended).
void ServeQueued()
{
    PumpUntil(
        [] {
            MSG msg;
            return !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        },
        10000);
}

// A second start of the program hands its session over and ends; the running program takes
// the request once, whatever top-level windows it has up (the broadcast reaches each): the
// tray window alone, with the main frame and its windows, and with a message box over them. Two starts in a
// row each time: a request that counted every other copy would lose one of them.
TEST_F(ApplicationTest, ASecondStartActivatesTheRunningProgramOnce)
{
    WithCard();
    ScratchFolder sessions("kiv-application-activation");
    const fs::path executable = program / ".." / ".." / "program" / "KivCorvanDSP.exe";
    ASSERT_TRUE(fs::exists(executable));
    ScriptedApplication app;
    app.SetMessages(&messages);
    int starts = 0;
    auto startAgain = [&](ScriptedApplication& self, int windows) {
        ++starts;
        SCOPED_TRACE("start " + std::to_string(starts) + " with " + std::to_string(windows) + " windows");
        EXPECT_EQ(FrameworkTopLevelWindows(), windows);
        const fs::path file = sessions / ("Start" + std::to_string(starts) + ".session");
        std::ofstream(file) << "KivCorvanSession 2\nrate=1\nname=Start" << starts << "\n";
        const int before = self.activations;
        EXPECT_EQ(StartAgain(executable, "\"" + file.string() + "\""), 0u) << "the second start starts nothing";
        EXPECT_TRUE(PumpUntil([&] { return self.activations > before; }, 60000));
        ServeQueued();
        EXPECT_EQ(self.activations, before + 1);
        EXPECT_EQ(CountLogged(gCreated.at(0), "LoadSession " + file.string()), 1);
        EXPECT_EQ(std::u16string(self.GetServices()->GetMixer()->GetSessionName()),
                  u"Start" + std::u16string(1, char16_t(u'0' + starts)));
        String left;
        EXPECT_EQ(view.ReadString(ViewSettings::kCommandLineOpen, left, nullptr), 0) << "the request took the session";
    };
    app.script = [&](ScriptedApplication& self) {
        for (int round = 0; round < 2; ++round)
        {
            // The start-up's request for the main window and a loaded session's both open
            // the frame: close it again to leave the tray window alone.
            ServeQueued();
            self.CloseMainWindow();
            startAgain(self, 1);
        }
        self.OnTrayMessage(WindowMessage::kShowMainWindow, 0, 0);
        // The frame brings windows of its own (its floating logo, the main window's event
        // window): each gets the broadcast too.
        const int framed = FrameworkTopLevelWindows();
        EXPECT_GT(framed, 1);
        for (int round = 0; round < 2; ++round)
            startAgain(self, framed);
        int boxEnded = 0;
        dialogs.step = [&](Dialog& box) {
            startAgain(self, framed + 1);
            // A session handed over ends what the user was being asked.
            boxEnded = !box.IsInModalLoop();
            startAgain(self, framed + 1);
        };
        String title, text;
        title.AppendAscii("Kiv CorvanDSP");
        text.AppendAscii("A question the user has not answered yet.");
        SkinDialogs(self.GetSkin()).ShowPlainMessageBox(title, text, nullptr, nullptr);
        dialogs.step = nullptr;
        EXPECT_EQ(boxEnded, 1);
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
    EXPECT_EQ(app.started, 1);
    EXPECT_EQ(starts, 6);
}

// Outside CorvanView mode the program starts without the engine; the tray and a second
// start open the Ostrel view, a window of its own named as its view-list entry, and bring the
// same window forward while it is open; switching to CorvanView mode closes it.
TEST_F(ApplicationTest, OutsideCorvanViewModeTheTrayOpensTheOstrelView)
{
    WithCard();
    ASSERT_TRUE(view.WriteBool(u"in CorvanView mode", 0));
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        EXPECT_TRUE(gCreated.empty()) << "no engine outside CorvanView mode";
        EXPECT_EQ(self.IsCorvanViewMode(), 0);
        ASSERT_EQ(self.GetViewNames(0).size(), 1u);
        EXPECT_EQ(self.GetViewNames(0)[0].CompareLiteral("Ostrel"), 0);
        ASSERT_EQ(self.GetViewNames(1).size(), 1u);
        EXPECT_EQ(self.GetViewNames(1)[0].CompareLiteral("Kiv Corvan DSP"), 0);
        EXPECT_EQ(self.GetOstrelView(), nullptr);

        self.OnTrayCommand(Application::kCommandFirstView);
        Window* ostrel = self.GetOstrelView();
        ASSERT_NE(ostrel, nullptr);
        HWND window = ostrel->GetHandle();
        EXPECT_TRUE(::IsWindowVisible(window));
        EXPECT_EQ(::GetParent(window), nullptr) << "a top-level window";
        char title[64] = {};
        ::GetWindowTextA(window, title, sizeof title);
        EXPECT_STREQ(title, "Ostrel");
        // Each way in brings the open view forward rather than opening another.
        struct Way
        {
            const char* name;
            std::function<void()> run;
        };
        const Way ways[] = {
            {"tray command 3", [&] { self.OnTrayCommand(Application::kCommandFirstView); }},
            {"tray command 4", [&] { self.OnTrayCommand(Application::kCommandStartMixer); }},
            {"tray click", [&] { self.OnTrayLeftUp(0); }},
            {"second start", [&] { self.OnActivateRequest(); }},
        };
        for (const Way& way : ways)
        {
            SCOPED_TRACE(way.name);
            ::ShowWindow(window, SW_HIDE);
            way.run();
            ASSERT_NE(self.GetOstrelView(), nullptr);
            EXPECT_EQ(self.GetOstrelView()->GetHandle(), window);
            EXPECT_TRUE(::IsWindowVisible(window));
        }
        // Closed by the user, the view opens afresh from each way in.
        for (const Way& way : ways)
        {
            SCOPED_TRACE(way.name);
            ::SendMessageA(self.GetOstrelView()->GetHandle(), WM_CLOSE, 0, 0);
            EXPECT_EQ(self.GetOstrelView(), nullptr);
            way.run();
            ASSERT_NE(self.GetOstrelView(), nullptr);
            EXPECT_TRUE(::IsWindowVisible(self.GetOstrelView()->GetHandle()));
        }
        EXPECT_TRUE(::IsWindow(self.GetWindowHandle())) << "closing the view does not end the program";
        EXPECT_TRUE(messages.shown.empty());

        // Back to CorvanView mode: the Ostrel view closes, the engine starts.
        EXPECT_EQ(self.InitServices(0, 0), 1);
        EXPECT_EQ(self.GetOstrelView(), nullptr);
        EXPECT_EQ(self.IsCorvanViewMode(), 1);
        EXPECT_EQ(gCreated.size(), 1u);
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
    EXPECT_EQ(app.started, 1);
    EXPECT_EQ(view.ReadBool(u"in CorvanView mode", 0), 1) << "the switch is stored";
}
} // namespace

namespace
{
std::string Narrow(const std::u16string& text)
{
    return fs::path(text).u8string();
}

// The file dialogs answer the path a test gives (empty: cancel).
class ChooserAnswers : public ChooserSeam
{
public:
    ChooserAnswers() { ChooserSeam::Install(this); }
    ~ChooserAnswers() override { ChooserSeam::Install(nullptr); }
    int Answer(const Request&, std::string& path) override
    {
        if (answers.empty())
            return 0;
        path = answers.front();
        answers.erase(answers.begin());
        return path.empty() ? 0 : 1;
    }
    std::vector<std::string> answers;
};

// A modified session is asked about before the program quits and before the hardware reset.
TEST_F(ApplicationTest, QuitAndResetAskToSaveAModifiedSession)
{
    WithCard();
    messages.answers["IDM_QUITWARNING"] = 0;
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        StandinServices* engine = gCreated.at(0);
        ASSERT_NE(self.GetFirstViewField(), nullptr);
        engine->SetModified(1);
        dialogs.answer = 0; // "No": the changes stay in the working session
        self.OnTrayCommand(Application::kCommandResetHardware);
        EXPECT_EQ(dialogs.shown, std::vector<std::string>{"IDS_CORVANDSP_SAVE"}) << "the reset asks first";
        dialogs.shown.clear();
        engine->SetModified(1);
        dialogs.answer = 1; // the reset took the settings: the exit warning is back, and goes on
        self.OnTrayCommand(Application::kCommandExit);
        EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"exitwarning", "IDS_CORVANDSP_SAVE"})) << "so does quitting";
    };
    app.Start();
}

// After a rate change across families only a session that was made or opened settles the
// question: a refused open says why and asks again.
TEST_F(ApplicationTest, TheRateQuestionSettlesOnlyAfterAGoodOpen)
{
    WithCard("systems=1\nrate=1\n");
    ChooserAnswers chooser;
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        StandinServices* engine = gCreated.at(0);
        ASSERT_NE(self.GetFirstViewField(), nullptr);
        String sessions;
        ASSERT_TRUE(AppBase::DocumentsFolder(&sessions));
        const fs::path folder = fs::path(sessions.Text()) / "My Sessions";
        fs::create_directories(folder);
        std::ofstream(folder / "At48.session") << "KivCorvanSession 2\nrate=1\n";
        std::ofstream(folder / "At96.session") << "KivCorvanSession 2\nrate=2\n";
        const std::string at48 = Narrow((folder / "At48.session").u16string());
        const std::string at96 = Narrow((folder / "At96.session").u16string());
        chooser.answers = {at48, at96};
        dialogs.answer = 1;
        // The question is answered "open another session" each time.
        dialogs.step = [&](Dialog& dialog) {
            String name;
            name.AppendAscii("ratechangedoption");
            if (auto* option = static_cast<NumericItem*>(dialog.FindDataItem(name)))
                option->SetValue(1, 1, 1, nullptr);
        };
        engine->SetHardwareRate(2); // 48 -> 96 kHz
        engine->WaitForEvents();
        ScriptedApplication::Pump();
        EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"ratechanged", "IDS_SAMPLERATE_MISMATCH", "ratechanged"}));
        EXPECT_TRUE(Logged(engine, "LoadSession " + at96));
        EXPECT_FALSE(Logged(engine, "LoadSession " + at48)) << "a 48 kHz file is refused on a 96 kHz card";
        EXPECT_EQ(engine->GetMixer()->GetRateCode(), 2);
        std::error_code ignored;
        fs::remove(folder / "At48.session", ignored);
        fs::remove(folder / "At96.session", ignored);
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
}

// A new session settles the question too, once it is made: a new session cancelled after the
// rate change asks again.
TEST_F(ApplicationTest, TheRateQuestionSettlesOnlyAfterANewSessionIsMade)
{
    WithCard("systems=1\nrate=1\n");
    ScriptedApplication app;
    app.SetMessages(&messages);
    app.script = [&](ScriptedApplication& self) {
        StandinServices* engine = gCreated.at(0);
        ASSERT_NE(self.GetFirstViewField(), nullptr);
        int newSessions = 0;
        // The question is answered "new session" each time; the first new session is cancelled.
        dialogs.step = [&](Dialog& dialog) {
            String name;
            name.AppendAscii("ratechangedoption");
            if (auto* option = static_cast<NumericItem*>(dialog.FindDataItem(name)))
                option->SetValue(0, 1, 1, nullptr);
            const bool isNew = dialog.GetSourceName().CompareLiteral("newsession") == 0;
            dialogs.answer = isNew && newSessions++ == 0 ? 0 : 1;
        };
        engine->SetHardwareRate(2); // 48 -> 96 kHz
        engine->WaitForEvents();
        ScriptedApplication::Pump();
        EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"ratechanged", "newsession", "ratechanged", "newsession"}));
        EXPECT_EQ(CountLogged(engine, "CreateEmptySession") + CountLogged(engine, "CreateSessionFromTemplate"), 1)
            << "the cancelled new session made none";
        EXPECT_EQ(engine->GetMixer()->GetRateCode(), 2) << "the new session runs at the card's rate";
        dialogs.step = nullptr;
        self.OnTrayCommand(Application::kCommandExit);
    };
    app.Start();
}
} // namespace
