// The running mixer program with the shipped skin, driven as the card and a COM client would:
// this test starts KivCorvanDSP.exe from a copy of the program folder (so it can give the
// program a broken skin of its own), raises engine events in it through the simulated
// engine's control channel and watches what its COM server sends and what the engine was
// asked.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "mixer/comcontract/ComInterfaces.h"
#include "standins/engine/EngineControl.h"
#include "standins/engine/StandinServices.h"
#include "tests/mainwindow/ProgramWindows.h"
#include "tests/comserver/Sinks.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FrameApp.h"
#include "tests/mixer/MixerServer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PointerInput.h"
#include "tests/support/ScreenPixels.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/StartProcess.h"

namespace fs = std::filesystem;

namespace
{
// The main window's key as the raw registry calls below take it (the path is ASCII).
const std::string kViewKey(std::begin(ViewSettings::kKeyPath), std::end(ViewSettings::kKeyPath) - 1);

// The build tree this test program belongs to.
fs::path BuildFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path() / ".." / "..";
}

// Where the test run keeps its screenshots: build/<tree>/shots.
std::wstring ShotPath(const char* name)
{
    const fs::path shots = BuildFolder() / "shots";
    std::error_code error;
    fs::create_directories(shots, error);
    return (shots / name).wstring();
}

// A setting of the main window's key: a subkey of that name whose default value is the text.
std::string ReadSetting(const char* name)
{
    char value[256] = {};
    LONG size = sizeof value;
    const std::string key = kViewKey + "\\" + name;
    if (RegQueryValueA(HKEY_CURRENT_USER, key.c_str(), value, &size) != ERROR_SUCCESS)
        return "(none)";
    return value;
}

void WriteSetting(const char* name, const char* text)
{
    const std::string key = kViewKey + "\\" + name;
    RegSetValueA(HKEY_CURRENT_USER, key.c_str(), REG_SZ, text, static_cast<DWORD>(std::strlen(text)));
}

// The main section in the program's frame: the frame's child with id 10 (the frame's caption
// buttons, a short panel, have that id too; the section is the taller one).
HWND FindMainSection(DWORD processId)
{
    HWND found = nullptr;
    LONG foundHeight = 0;
    for (HWND window : ProgramWindows(processId))
    {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        {
            RECT rect = {};
            GetWindowRect(child, &rect);
            if (GetDlgCtrlID(child) == 10 && rect.bottom - rect.top > foundHeight)
            {
                found = child;
                foundHeight = rect.bottom - rect.top;
            }
        }
    }
    return found;
}

// The program's main frame: the window that holds the main section.
HWND FindFrame(DWORD processId)
{
    HWND section = FindMainSection(processId);
    return section ? GetParent(section) : nullptr;
}

// The frame's main toolbar: its child with id 1.
HWND FindMainToolbar(HWND frame)
{
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == 1)
            return child;
    return nullptr;
}

// A click of the left button at a point of a window's client area, through the system's queue
// (the program reads where the pointer is); the test goes on while a handler of the program
// runs a loop of its own. It waits until the point shows that window (or one of its own) rather
// than a window still going or one over it; false when it never does and nothing was clicked.
bool Click(HWND window, POINT at)
{
    if (!ClientToScreen(window, &at))
        return false;
    const bool shown = PumpUntil([&] {
        HWND under = WindowFromPoint(at);
        return under == window || IsChild(window, under);
    });
    if (!shown)
        return false;
    SendMouse(0, at.x, at.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN, at.x, at.y);
    SendMouse(MOUSEEVENTF_LEFTUP, at.x, at.y);
    return true;
}

// Where the program folder's skin puts an element: its attributes xName and yName (the
// element's own "x" and "y" unless said otherwise), the first one after the panel named so
// when one is; (-1, -1) when the skin has no such element.
POINT LayoutPoint(const fs::path& program, const std::string& name, const std::string& xName = "x",
                  const std::string& yName = "y", const std::string& panel = "")
{
    std::ifstream in(program / "Skins" / "Default" / "layout.xml");
    std::string layout((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!panel.empty())
        layout.erase(0, layout.find("<panel name=\"" + panel + "\""));
    std::smatch found;
    if (!std::regex_search(
            layout, found,
            std::regex("name=\"" + name + "\"[^>]*\\b" + xName + "=\"(\\d+)\"[^>]*\\b" + yName + "=\"(\\d+)\"")))
        return {-1, -1};
    return {std::stoi(found[1]), std::stoi(found[2])};
}

// The main level's fader in the section's client area; its track is 24 x 120 pixels.
RECT MainFaderRect(const fs::path& program)
{
    const POINT at = LayoutPoint(program, "mixlevelFader");
    return {at.x, at.y, at.x + 24, at.y + 120};
}

// What the screen shows of a rectangle of a window's client area.
std::vector<DWORD> ScreenPixels(HWND window, RECT rect)
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return ::ScreenPixels(rect);
}

// What the screen shows of a rectangle of a window's client area once it has stopped
// changing (two reads 300 ms apart agree); empty when it never settles.
std::vector<DWORD> SettledPixels(HWND window, const RECT& rect)
{
    std::vector<DWORD> last = ScreenPixels(window, rect);
    const bool settled = PumpUntil([&] {
        Sleep(300);
        std::vector<DWORD> now = ScreenPixels(window, rect);
        return std::exchange(last, now) == now;
    });
    return settled ? last : std::vector<DWORD>{};
}

// A strip view of the frame: the child (window id: the strip's place) of the strip section's
// (id 7) first group.
HWND FindStripView(DWORD processId, int index = 0)
{
    HWND frame = FindFrame(processId);
    HWND strips = frame ? GetDlgItem(frame, 7) : nullptr;
    HWND group = strips ? GetWindow(strips, GW_CHILD) : nullptr;
    return group ? GetDlgItem(group, index) : nullptr;
}

// A strip view's first insert slot in its client area, where the skin's strip template puts it.
RECT FirstInsertSlot(const fs::path& program)
{
    const POINT at = LayoutPoint(program, "insert_slot_1");
    return {at.x, at.y, at.x + 64, at.y + 16};
}

// Each case starts the program afresh and ends it (which it must survive well), from the same
// settings and no working session, so that no case sees what another left: an open palette over
// the faders, a loaded session, a strip's insert kept over the quit.
class MainWindowTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The program and what it reads lie in a folder of the test's own, with a cut-short copy
        // of the shipped skin beside it.
        program_ = new ScratchFolder("kiv-mixer-program");
        std::error_code error;
        fs::copy(BuildFolder() / "program", program_->Path(), fs::copy_options::recursive, error);
        ASSERT_FALSE(error) << error.message();
        const fs::path broken = program_->Path() / "Skins" / "Broken";
        fs::copy(program_->Path() / "Skins" / "Default", broken, fs::copy_options::recursive, error);
        ASSERT_FALSE(error) << error.message();
        std::ofstream(broken / "layout.xml", std::ios::trunc)
            << "<?xml version=\"1.0\"?>\n<layout><panels><panel name=";
        // The shipped card, as a user runs it: it has a sync card (feature 3: the main toolbar
        // shows "sync_settings") and no small box (4), and its second MIDI port does not carry
        // sync.
        ASSERT_TRUE(RegisterMixerServer((program_->Path() / "KivCorvanDSP.exe").string(),
                                        (program_->Path() / "KivCorvanDSP_ps.dll").string()));
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }

    static void TearDownTestSuite()
    {
        EndMixerProgram();
        CoUninitialize();
        sinks_.clear();
        privateSinks_.clear();
        delete program_;
        program_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(EndMixerProgram()) << "a program of an earlier case did not end well";
        ForgetWhatTheProgramKept();
        ASSERT_NO_FATAL_FAILURE(StartProgram());
    }

    void TearDown() override { EXPECT_TRUE(StopProgram()) << "the program did not end well"; }

    // The program's settings and its working session, gone as on a first start; only the
    // splash, which the application's own tests show, is not shown (it holds each start up).
    static void ForgetWhatTheProgramKept()
    {
        for (const char16_t* key : {ViewSettings::kKeyPath, LauncherSettings::kKeyPath})
            SHDeleteKeyW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(key));
        const std::u16string splash =
            std::u16string(LauncherSettings::kKeyPath) + u"\\" + LauncherSettings::kShowServicesSplash;
        RegSetValueW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(splash.c_str()), REG_SZ, L"no",
                     2 * sizeof(wchar_t));
        std::error_code error;
        fs::remove(WorkingSession(), error);
    }

    static fs::path WorkingSession()
    {
        char appData[MAX_PATH] = {};
        SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE);
        return fs::path(appData) / "KivCorvanDSP" / fs::path(StandinServices::kWorkingSessionName);
    }

    // A client's activation starts the program; it is ready once its engine serves the channel.
    void StartProgram()
    {
        ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                                   reinterpret_cast<void**>(&services_)),
                  S_OK);
        ASSERT_EQ(services_->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source_)), S_OK);
        HWND application = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (application = FindWindowA("Varn Services", nullptr)) != nullptr; }));
        GetWindowThreadProcessId(application, &processId_);
        std::string reply;
        ASSERT_TRUE(PumpUntil([&] { return SendControlRequest(processId_, "log", reply, 1000); }, 120000));
    }

    // The user quits; true when the program ended well.
    bool StopProgram()
    {
        if (source_)
            source_->Release();
        if (services_)
            services_->Release();
        source_ = nullptr;
        services_ = nullptr;
        return EndMixerProgram();
    }

    // Sends a request while this thread goes on serving the notifications that come in: the
    // server drops a client that leaves a call unanswered for seconds, as a loaded machine
    // made the test's blocking requests do.
    std::string Control(const std::string& request)
    {
        std::string reply;
        std::atomic<bool> sent{false}, answered{false};
        std::thread sender([&] {
            sent = SendControlRequest(processId_, request, reply);
            answered = true;
        });
        PumpUntil([&] { return answered.load(); }, INFINITE);
        sender.join();
        EXPECT_TRUE(sent) << request;
        return reply;
    }

    // The engine's call log, one entry an element.
    std::vector<std::string> Log()
    {
        std::vector<std::string> entries;
        std::string log = Control("log");
        size_t start = 0;
        for (size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
            entries.push_back(log.substr(start, end - start));
        return entries;
    }

    // The engine's call log entries that contain text.
    std::vector<std::string> LogWith(const std::string& text)
    {
        std::vector<std::string> found;
        for (std::string& entry : Log())
            if (entry.find(text) != std::string::npos)
                found.push_back(std::move(entry));
        return found;
    }

    // The control request with the value 6 moves a fader to the top: the view hears the event
    // and reads the value (the log gains a `read` entry) and, once drawn, the fader stays as
    // it is; with -90 it moves to the bottom and with 6 back to the top, on screen each time.
    void ExpectFaderFollows(HWND window, const RECT& fader, const std::string& request, const std::string& read)
    {
        const size_t readsBefore = LogWith(read).size();
        EXPECT_EQ(Control(request + " 6"), "ok");
        ASSERT_TRUE(PumpUntil([&] { return LogWith(read).size() > readsBefore; }));
        const std::vector<DWORD> top = SettledPixels(window, fader);
        ASSERT_FALSE(top.empty());
        EXPECT_EQ(Control(request + " -90"), "ok");
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixels(window, fader) != top; }))
            << "the fader does not show the new value of " << request;
        EXPECT_EQ(Control(request + " 6"), "ok");
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixels(window, fader) == top; }))
            << "the fader does not come back with " << request;
    }

    // The strip view at that place and what its first insert slot shows while it holds nothing.
    void EmptySlot(int place, HWND& strip, std::vector<DWORD>& empty)
    {
        ASSERT_TRUE(PumpUntil([&] { return (strip = FindStripView(processId_, place)) != nullptr; }))
            << "the running program shows no strip at " << place;
        const RECT slot = FirstInsertSlot(program_->Path());
        ASSERT_GE(slot.left, 0) << "the skin places the strips' insert slots";
        empty = SettledPixels(strip, slot);
        ASSERT_FALSE(empty.empty());
    }

    bool LogHas(const std::string& entry)
    {
        return PumpUntil([&] {
            auto found = LogWith(entry);
            return std::find(found.begin(), found.end(), entry) != found.end();
        });
    }

    PublicSink& NewPublicSink()
    {
        sinks_.emplace_back();
        return sinks_.back();
    }
    PrivateSink& NewPrivateSink()
    {
        privateSinks_.emplace_back();
        return privateSinks_.back();
    }

    static ScratchFolder* program_;
    // Sinks outlive their test: the server may still hold a proxy a moment after Unadvise.
    static std::deque<PublicSink> sinks_;
    static std::deque<PrivateSink> privateSinks_;
    IKivCorvanServices* services_ = nullptr;
    IKivCorvanEventSource* source_ = nullptr;
    DWORD processId_ = 0;
};

ScratchFolder* MainWindowTest::program_ = nullptr;
std::deque<PublicSink> MainWindowTest::sinks_;
std::deque<PrivateSink> MainWindowTest::privateSinks_;

// The program's top-level window of that title, or null.
HWND FindWindowTitled(DWORD processId, const std::string& wanted)
{
    for (HWND window : ProgramWindows(processId))
    {
        char title[64] = {};
        GetWindowTextA(window, title, sizeof title);
        if (title == wanted)
            return window;
    }
    return nullptr;
}

// The program's FX palette: its top-level window titled "FX Palette", or null.
HWND FindPalette(DWORD processId)
{
    return FindWindowTitled(processId, "FX Palette");
}

// The window's descendant with a control id, or null; ids lists the ids seen.
HWND FindDescendant(HWND window, int id, std::string& ids)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        ids += " " + std::to_string(GetDlgCtrlID(child));
        if (GetDlgCtrlID(child) == id)
            return child;
        if (HWND found = FindDescendant(child, id, ids))
            return found;
    }
    return nullptr;
}

TEST_F(MainWindowTest, ThePaletteLeftOpenIsBackAtItsPlaceAndItsExitClosesIt)
{
    // The FX palette was left open at the last start, at a place of its own.
    ASSERT_TRUE(StopProgram());
    WriteSetting("FX palette visible", "yes");
    WriteSetting("FX Palette XPos", "300");
    WriteSetting("FX Palette YPos", "200");
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    HWND palette = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (palette = FindPalette(processId_)) != nullptr; }));
    RECT rect = {};
    GetWindowRect(palette, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 200);
    // It holds the library's tree and the inspector (control 678) beside it.
    std::string ids;
    EXPECT_NE(FindDescendant(palette, 678, ids), nullptr) << "children:" << ids;
    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-window-fxpalette.png")));
    const POINT exit = LayoutPoint(program_->Path(), "exit", "x", "y", "fxPalette");
    ASSERT_GE(exit.x, 0) << "the skin places the palette's exit button";
    ASSERT_TRUE(Click(palette, {exit.x + 10, exit.y + 8})) << "the window to click is not at the point";
    EXPECT_TRUE(PumpUntil([&] { return FindPalette(processId_) == nullptr; }));
    EXPECT_TRUE(PumpUntil([&] { return ReadSetting("FX palette visible") == "no"; }))
        << ReadSetting("FX palette visible");
}

TEST_F(MainWindowTest, BrokenChosenSkinOpensAsDefault)
{
    ASSERT_TRUE(StopProgram());
    WriteSetting("skin", "Broken");
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(PumpUntil([&] { return !ProgramWindows(processId_).empty(); }));
    EXPECT_EQ(ReadSetting("skin"), "Default");
}

TEST_F(MainWindowTest, ControlChannelReachesTheRunningProgramsEngine)
{
    // The application hears the sync change on its user-interface thread: the engine calls it
    // makes are not marked as made on the engine's thread.
    EXPECT_EQ(Control("raise 52 1"), "ok");
    EXPECT_TRUE(LogHas("SetText ExtSyncSrc=1"));
    EXPECT_TRUE(LogHas("RunCommand UnMute"));

    EXPECT_EQ(Control("raise 52 x"), "refused: bad argument");
    EXPECT_EQ(Control("format c:"), "refused: unknown request");
    const std::vector<std::string> refused = LogWith("Control refused");
    for (const char* entry :
         {"Control refused (bad argument): raise 52 x", "Control refused (unknown request): format c:"})
        EXPECT_NE(std::find(refused.begin(), refused.end(), entry), refused.end()) << entry;
    // Each process has a channel of its own: this one has none.
    std::string reply;
    EXPECT_FALSE(SendControlRequest(GetCurrentProcessId(), "log", reply, 100));
    EXPECT_TRUE(LogWith("(engine thread)").empty());
}

TEST_F(MainWindowTest, EngineEventsReachTheComClientsWithTheirValues)
{
    PublicSink& publicSink = NewPublicSink();
    PrivateSink& privateSink = NewPrivateSink();
    DWORD publicCookie = 0, privateCookie = 0;
    ASSERT_EQ(services_->Advise(&publicSink, 0x77FC, 0x11, &publicCookie), S_OK);
    ASSERT_EQ(source_->Advise(&privateSink, 0x7400, 0x22, &privateCookie), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return !ProgramWindows(processId_).empty(); }));

    for (const char* request :
         {"raise 850", "raise 898 5", "raise 849", "raise 801 3", "raise 601", "raise 600", "raise 615 77",
          "raise 1003 9", "raise 1105 -1", "raise 1299 2147483647", "raise 749", "raise 899"})
        EXPECT_EQ(Control(request), "ok") << request;
    ASSERT_TRUE(PumpUntil([&] { return publicSink.arrivals.size() >= 6 && privateSink.arrivals.size() >= 4; }));
    EXPECT_EQ(publicSink.arrivals, (std::vector<Arrival>{{0x8, 0x11, 0, 0},
                                                         {0x8, 0x11, 0, 0},
                                                         {0x10, 0x11, 0, 0},
                                                         {0x10, 0x11, 0, 0},
                                                         {0x200, 0x11, 0, 0},
                                                         {0x100, 0x11, 0, 0}}));
    EXPECT_EQ(privateSink.arrivals, (std::vector<Arrival>{{0x400, 0x22, 5, 77},
                                                          {0x1000, 0x22, 3, 9},
                                                          {0x2000, 0x22, 5, 0xFFFFFFFF},
                                                          {0x4000, 0x22, 99, 0x7FFFFFFF}}));
    EXPECT_EQ(services_->Unadvise(publicCookie), S_OK);
    EXPECT_EQ(source_->Unadvise(privateCookie), S_OK);
    EXPECT_TRUE(LogWith("(engine thread)").empty());
}

TEST_F(MainWindowTest, AMainLevelTheEngineChangesShowsInTheMainSection)
{
    HWND section = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (section = FindMainSection(processId_)) != nullptr; }));
    const RECT fader = MainFaderRect(program_->Path());
    ASSERT_GE(fader.left, 0) << "the skin places the main fader";
    const size_t setsBefore = LogWith("SetMainLevel").size();

    // The engine's level goes to the top and the section hears 300, then to the bottom and
    // back: the fader follows it each time.
    ExpectFaderFollows(section, fader, "set mainlevel", "GetMainLevel");

    // The section mirrored the engine's values: nothing went back to the engine.
    EXPECT_EQ(LogWith("SetMainLevel").size(), setsBefore + 3);
    EXPECT_TRUE(LogWith("(engine thread)").empty());
}

TEST_F(MainWindowTest, AStripGainTheEngineChangesMovesItsFaderOnScreen)
{
    HWND strip = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (strip = FindStripView(processId_)) != nullptr; }))
        << "the running program shows the card's strips";
    const POINT at = LayoutPoint(program_->Path(), "gainFader");
    ASSERT_GE(at.x, 0) << "the skin places the strips' gain fader";
    const RECT fader = {at.x, at.y, at.x + 24, at.y + 120};
    const size_t setsBefore = LogWith("SetGain").size();

    // The card's first strip (id 0): the strip hears 100 each time and its fader follows.
    ExpectFaderFollows(strip, fader, "set strip 0 gain", "GetGain 0");

    // Only the control channel set the gain: the strip mirrored it and sent nothing back.
    EXPECT_EQ(LogWith("SetGain").size(), setsBefore + 3);
    EXPECT_EQ(Control("set strip 9999 gain 0"), "refused: no such strip");
}

// The chains of the card's strips start empty.
TEST_F(MainWindowTest, AnInsertTheEngineAddsShowsInItsStripsSlot)
{
    HWND strip = nullptr;
    std::vector<DWORD> empty;
    ASSERT_NO_FATAL_FAILURE(EmptySlot(1, strip, empty));
    const RECT slot = FirstInsertSlot(program_->Path());
    const size_t addsBefore = LogWith("AddEffect").size();

    // The card adds an effect to the strip (id 1) and raises 700: the slot shows it.
    EXPECT_EQ(Control("insert 0 strip 1 effect Reverb"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixels(strip, slot) != empty; })) << "the slot shows no insert";
    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-window-insert.png")));
    // The view read the chain and asked the engine to add nothing itself.
    EXPECT_EQ(LogWith("AddEffect").size(), addsBefore + 1);
    EXPECT_TRUE(LogWith("(engine thread)").empty());
}

// A normal quit keeps the strips' chains in the working session and the next start shows them.
TEST_F(MainWindowTest, AStripsInsertIsKeptOverAQuitAndShownAtTheNextStart)
{
    HWND strip = nullptr;
    std::vector<DWORD> empty;
    ASSERT_NO_FATAL_FAILURE(EmptySlot(2, strip, empty));
    const RECT slot = FirstInsertSlot(program_->Path());
    EXPECT_EQ(Control("insert 0 strip 2 effect Delay"), "ok");
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixels(strip, slot) != empty; })) << "the slot shows no insert";

    // The user quits; the program is started again, as a client's activation starts it.
    ASSERT_TRUE(StopProgram()) << "the program did not end well";
    {
        std::ifstream in(WorkingSession(), std::ios::binary);
        const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(saved.find("insert 0 strip 2 0 0 0 "), std::string::npos) << saved;
    }
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    HWND restarted = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (restarted = FindStripView(processId_, 2)) != nullptr; }, 120000))
        << "the started program shows no third strip";
    const std::vector<DWORD> shown = SettledPixels(restarted, slot);
    EXPECT_FALSE(shown.empty());
    EXPECT_NE(shown, empty) << "the slot of the started program shows no insert";
    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-window-insert-restart.png")));
    EXPECT_EQ(LogWith("AddEffect"), std::vector<std::string>{}) << "the started program added the insert itself";
}

// A descendant of a window with the control id, or null.
struct DescendantSearch
{
    int id;
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND child, LPARAM data)
{
    auto* search = reinterpret_cast<DescendantSearch*>(data);
    if (GetDlgCtrlID(child) != search->id)
        return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindDescendant(HWND parent, int id)
{
    DescendantSearch search = {id, nullptr};
    EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(MainWindowTest, TheOutputsViewsMonitorToggleReassignsAndItsRowFollowsTheEngine)
{
    HWND section = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (section = FindMainSection(processId_)) != nullptr; }));
    const POINT outputs = LayoutPoint(program_->Path(), "tvOutputs");
    const POINT toggle = LayoutPoint(program_->Path(), "mononButton");
    ASSERT_GE(outputs.x, 0) << "the skin places the outputs button";
    ASSERT_GE(toggle.x, 0) << "the skin places the monitor toggle";
    WriteSetting("TV Outputs Mode", "physical");
    // The user shows the outputs; the choice is kept for the next start. The view shown before
    // may have a list of the same id: the outputs list is another window.
    const HWND shownBefore = FindDescendant(section, 999);
    ASSERT_TRUE(Click(section, {outputs.x + 40, outputs.y + 10})) << "the window to click is not at the point";
    ASSERT_TRUE(PumpUntil([&] { return ReadSetting("TV View Mode") == "outputs"; })) << "the view mode was kept";
    HWND list = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        list = FindDescendant(section, 999);
        return list && list != shownBefore && IsWindowVisible(list);
    })) << "no outputs list in the TV area";
    // Row 1 (pair 1) carries nothing; its monitor toggle routes the monitor mix to it.
    const RECT row = {0, 20, 272, 40};
    std::vector<DWORD> before = ScreenPixels(list, row);
    ASSERT_TRUE(PumpUntil([&] {
        Sleep(200);
        std::vector<DWORD> now = ScreenPixels(list, row);
        return std::exchange(before, now) == now;
    }));
    const size_t assigned = LogWith("Assign 2 1 1 1").size();
    ASSERT_TRUE(Click(list, {toggle.x + 20, row.top + 10})) << "the window to click is not at the point";
    ASSERT_TRUE(PumpUntil([&] { return LogWith("Assign 2 1 1 1").size() > assigned; }))
        << "the toggle asked the engine for nothing";
    // The engine's 400 comes back through the dispatcher: the row shows the monitor.
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixels(list, row) != before; })) << "the row did not change";
    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-window-outputs.png")));
    EXPECT_TRUE(LogWith("(engine thread)").empty());
}

TEST_F(MainWindowTest, EventsArrivingWhileTheFrameIsRebuiltAreAllHandledOnTheUserInterfaceThread)
{
    PublicSink& sink = NewPublicSink();
    DWORD cookie = 0;
    ASSERT_EQ(services_->Advise(&sink, 0x319, 0x33, &cookie), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return !ProgramWindows(processId_).empty(); }));
    const size_t rebuildsBefore = LogWith("SetModified 0").size();
    const size_t preparedBefore = LogWith("PrepareDsp").size();

    // Rebuilds one after another, each followed at once by events that need the frame.
    std::vector<Arrival> expected;
    for (int round = 0; round < 5; ++round)
    {
        EXPECT_EQ(Control("raise 1"), "ok");
        EXPECT_EQ(Control("raise 850"), "ok");
        EXPECT_EQ(Control("raise 55"), "ok");
        EXPECT_EQ(Control("raise 801"), "ok");
        EXPECT_EQ(Control("raise 601"), "ok");
        for (DWORD type : {0x1, 0x8, 0x10, 0x200})
            expected.push_back({type, 0x33, 0, 0});
    }
    ASSERT_TRUE(PumpUntil([&] { return sink.arrivals.size() >= expected.size(); }));
    EXPECT_EQ(sink.arrivals, expected);
    EXPECT_EQ(services_->Unadvise(cookie), S_OK);

    // Every rebuild marked the session unmodified and every 55 prepared the DSP, on the
    // program's own thread; the frame is there afterwards.
    EXPECT_TRUE(PumpUntil([&] { return LogWith("PrepareDsp").size() >= preparedBefore + 5; }));
    EXPECT_GE(LogWith("SetModified 0").size(), rebuildsBefore + 5);
    EXPECT_TRUE(LogWith("(engine thread)").empty());
    EXPECT_FALSE(ProgramWindows(processId_).empty());
}

// The program's sync panel: its top-level window titled as the skin's "IDS_SYNCSETTINGS_TITLE"
// says, or null.
HWND FindSyncPanel(DWORD processId)
{
    return FindWindowTitled(processId, "Sync Settings");
}

// Closes the program's sync panel, as its toolbar toggle does, so that the next case sees the
// frame uncovered; true when none is open afterwards.
bool CloseSyncPanel(DWORD processId, HWND frame)
{
    HWND panel = FindSyncPanel(processId);
    if (!panel)
        return true;
    PostMessageA(frame, WindowMessage::kToolbarRequest, FrameApp::kSyncSettings, 0);
    return PumpUntil([&] { return !IsWindow(panel) || !IsWindowVisible(panel); });
}

TEST_F(MainWindowTest, ARebuildRaisedWhileAToolbarCommandAsksWaitsUntilTheCommandHasRun)
{
    PublicSink& sink = NewPublicSink();
    DWORD cookie = 0;
    ASSERT_EQ(services_->Advise(&sink, 0x319, 0x44, &cookie), S_OK);
    HWND frame = nullptr;
    HWND toolbar = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (frame = FindFrame(processId_)) && (toolbar = FindMainToolbar(frame)); }));
    // Whatever ran before: the sync panel closed and the second MIDI port carrying no sync,
    // so the toggle asks.
    ASSERT_TRUE(CloseSyncPanel(processId_, frame)) << "the sync panel stayed open";
    ASSERT_EQ(Control("setting 0 MidiInput2Src 0"), "ok");
    const POINT sync = LayoutPoint(program_->Path(), "sync_settings");
    const POINT ok = LayoutPoint(program_->Path(), "midiport2warning", "okx", "oky");
    ASSERT_GE(sync.x, 0) << "the skin places the sync toggle";
    ASSERT_GE(ok.x, 0) << "the skin places the warning's OK button";
    const std::unique_ptr<void, decltype(&CloseHandle)> process(OpenProcess(SYNCHRONIZE, FALSE, processId_),
                                                                &CloseHandle);
    ASSERT_TRUE(process);

    // The sync toggle: the second MIDI port does not carry sync, so the toolbar's handler asks
    // first, in a dialog with a loop of its own.
    const std::vector<HWND> before = ProgramWindows(processId_);
    ASSERT_TRUE(Click(toolbar, {sync.x + 8, sync.y + 6})) << "the window to click is not at the point";
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        for (HWND window : ProgramWindows(processId_))
            if (std::find(before.begin(), before.end(), window) == before.end())
                dialog = window;
        return dialog != nullptr;
    })) << "the sync toggle opened no dialog";

    // The dialog's loop handles the engine's events as they come...
    const size_t preparedBefore = LogWith("PrepareDsp").size();
    EXPECT_EQ(Control("raise 55"), "ok");
    ASSERT_TRUE(PumpUntil([&] { return LogWith("PrepareDsp").size() > preparedBefore; }));
    // ...but the rebuild, and every event after it, wait for the command that runs the dialog:
    // for a while the frame stays and nothing reaches the client.
    for (const char* request : {"raise 1", "raise 850", "raise 55", "raise 801", "raise 601"})
        EXPECT_EQ(Control(request), "ok") << request;
    PumpUntil([&] { return !IsWindow(frame) || !sink.arrivals.empty(); }, 2000);
    EXPECT_EQ(FindFrame(processId_), frame) << "the frame was rebuilt while the toolbar's dialog was open";
    EXPECT_TRUE(sink.arrivals.empty()) << "events after the rebuild were handled while the dialog was open";
    EXPECT_EQ(LogWith("PrepareDsp").size(), preparedBefore + 1);
    ASSERT_TRUE(IsWindowVisible(dialog)) << "the dialog went while it was open";
    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-syncwarning.png")));

    // Accepted, the command sets the port, shows the sync panel and returns; then the waiting
    // events run in their order, the rebuild first.
    ASSERT_TRUE(Click(dialog, {ok.x + 8, ok.y + 6})) << "the window to click is not at the point";
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog); })) << "the dialog did not close";
    ASSERT_TRUE(PumpUntil([&] { return sink.arrivals.size() >= 4; }));
    EXPECT_EQ(sink.arrivals,
              (std::vector<Arrival>{{0x1, 0x44, 0, 0}, {0x8, 0x44, 0, 0}, {0x10, 0x44, 0, 0}, {0x200, 0x44, 0, 0}}));
    EXPECT_EQ(services_->Unadvise(cookie), S_OK);
    HWND rebuilt = nullptr;
    EXPECT_TRUE(PumpUntil([&] { return (rebuilt = FindFrame(processId_)) != nullptr && rebuilt != frame; }))
        << "the frame was not rebuilt";
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_TRUE(PumpUntil([&] { return LogWith("PrepareDsp").size() >= preparedBefore + 2; }));
    EXPECT_EQ(ReadSetting("Sync UI Panel"), "yes");

    // The engine heard the command's setting before the rebuild's calls.
    const std::vector<std::string> log = Log();
    const auto raised = std::find(log.rbegin(), log.rend(), "Control raise 1").base();
    const auto set = std::find(raised, log.end(), "SetValue MidiInput2Src=1");
    const auto rebuild = std::find(raised, log.end(), "SetModified 0");
    EXPECT_NE(set, log.end()) << "the command did not set the second MIDI port";
    EXPECT_NE(rebuild, log.end()) << "the rebuild did not run";
    std::string since;
    for (auto entry = raised; entry != log.end(); ++entry)
        since += "\n  " + *entry;
    EXPECT_LT(set - log.begin(), rebuild - log.begin())
        << "the rebuild ran inside the toolbar's command; the engine heard since the rebuild was raised:" << since;
    EXPECT_TRUE(LogWith("(engine thread)").empty());
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program ended";
    EXPECT_TRUE(CloseSyncPanel(processId_, rebuilt)) << "the sync panel stayed open";
}

TEST_F(MainWindowTest, TheSyncPanelShowsTheTimeCodeTheCardReads)
{
    HWND frame = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (frame = FindFrame(processId_)) != nullptr; }));
    HWND panel = FindSyncPanel(processId_);
    if (!panel)
    {
        // The toolbar's sync toggle, as its button sets it; the second MIDI port may not carry
        // sync yet, and then the toggle asks first.
        const std::vector<HWND> before = ProgramWindows(processId_);
        PostMessageA(frame, WindowMessage::kToolbarRequest, FrameApp::kSyncSettings, 1);
        HWND opened = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            for (HWND window : ProgramWindows(processId_))
                if (IsWindowVisible(window) && std::find(before.begin(), before.end(), window) == before.end())
                    opened = window;
            return opened != nullptr;
        })) << "the sync toggle opened nothing";
        if (opened != FindSyncPanel(processId_))
        {
            const POINT ok = LayoutPoint(program_->Path(), "midiport2warning", "okx", "oky");
            ASSERT_GE(ok.x, 0) << "the skin places the warning's OK button";
            ASSERT_TRUE(Click(opened, {ok.x + 8, ok.y + 6})) << "the window to click is not at the point";
        }
        ASSERT_TRUE(PumpUntil([&] { return (panel = FindSyncPanel(processId_)) != nullptr; }))
            << "no window titled \"Sync Settings\"";
    }
    const POINT at = LayoutPoint(program_->Path(), "ReadTime", "x", "y", "syncsettings");
    ASSERT_GE(at.x, 0) << "the skin places the panel's time code";
    const RECT time = {at.x, at.y, at.x + 110, at.y + 16};

    // Rate code, hours, seconds, minutes, frames: the time code shows each time the card
    // reads, and the same time again looks as it did.
    EXPECT_EQ(Control("raise 54 time 3 1 30 2 9"), "ok");
    ASSERT_TRUE(PumpUntil([&] { return LogHas("Control raise 54 time 3 1 30 2 9"); }));
    const std::vector<DWORD> first = SettledPixels(panel, time);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(Control("raise 54 time 3 5 6 7 8"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixels(panel, time) != first; })) << "the panel kept the first time";
    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-window-syncpanel.png")));
    EXPECT_EQ(Control("raise 54 time 3 1 30 2 9"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixels(panel, time) == first; })) << "the first time did not come back";
    EXPECT_TRUE(LogWith("(engine thread)").empty());
    EXPECT_TRUE(CloseSyncPanel(processId_, FindFrame(processId_))) << "the sync panel stayed open";
}

// A second start of the program with a session hands it to the running program, which loads
// it in its window: the COM clients hear the load's two notifications and the ASIO
// clients' reinit, and the window names the session.
TEST_F(MainWindowTest, ASecondStartWithASessionLoadsItInTheRunningWindow)
{
    ASSERT_TRUE(PumpUntil([&] { return FindFrame(processId_) != nullptr; }));
    // A rebuild leaves the session unmodified: the load asks nothing first.
    const size_t unmodified = LogWith("SetModified 0").size();
    EXPECT_EQ(Control("raise 1"), "ok");
    ASSERT_TRUE(PumpUntil([&] { return LogWith("SetModified 0").size() > unmodified; }));
    ASSERT_TRUE(PumpUntil([&] { return FindFrame(processId_) != nullptr; }));

    ScratchFolder sessions("kiv-mixer-secondstart");
    const fs::path file = sessions.Path() / "SecondStart.session";
    std::ofstream(file) << "KivCorvanSession 2\nrate=1\n";
    PublicSink& sink = NewPublicSink();
    DWORD cookie = 0;
    ASSERT_EQ(services_->Advise(&sink, 0x20 | 0x40 | KivKDSPASIO_Reinit, 0x55, &cookie), S_OK);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION second = {};
    ASSERT_TRUE(StartProcess(nullptr,
                             "\"" + (program_->Path() / "KivCorvanDSP.exe").string() + "\" \"" + file.string() + "\"",
                             FALSE, startup, &second));
    const bool ended = PumpUntil([&] { return WaitForSingleObject(second.hProcess, 0) == WAIT_OBJECT_0; }, 240000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(second.hProcess, &code);
    if (!ended)
        TerminateProcess(second.hProcess, 1);
    CloseHandle(second.hThread);
    CloseHandle(second.hProcess);
    EXPECT_TRUE(ended) << "the second start did not end";
    EXPECT_EQ(code, 0u);

    EXPECT_TRUE(LogHas("LoadSession " + file.string()));
    ASSERT_TRUE(PumpUntil([&] { return sink.arrivals.size() >= 3; }));
    EXPECT_EQ(sink.arrivals,
              (std::vector<Arrival>{{0x20, 0x55, 0, 0}, {0x40, 0x55, 0, 0}, {KivKDSPASIO_Reinit, 0x55, 0, 0}}));
    EXPECT_EQ(services_->Unadvise(cookie), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return ReadSetting("LastSavedSession") == "SecondStart.session"; }))
        << ReadSetting("LastSavedSession");
    const std::unique_ptr<void, decltype(&CloseHandle)> running(OpenProcess(SYNCHRONIZE, FALSE, processId_),
                                                                &CloseHandle);
    ASSERT_TRUE(running);
    EXPECT_EQ(WaitForSingleObject(running.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the running program ended";
    EXPECT_TRUE(LogWith("(engine thread)").empty());
}

// The program started on hand-edited skins, each in a program folder of its own (a copy of the
// built one) and by a start of its own, as a user starts it: a skin that loads but cannot make
// the frame gives way to "Default", and when "Default" cannot make it either the program says
// so and ends.
class SkinFallbackTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // The mixer fixture's program, when it ran first, has ended; a program of this fixture
        // is started here only.
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(EndMixerProgram());
        const std::string launcher = "Software\\Halvorn Professional\\KivCorvanDSP\\Launcher\\show services splash";
        RegSetValueA(HKEY_CURRENT_USER, launcher.c_str(), REG_SZ, "no", 2);
        std::error_code error;
        fs::copy(BuildFolder() / "program", folder_.Path(), fs::copy_options::recursive, error);
        ASSERT_FALSE(error) << error.message();
    }
    void TearDown() override
    {
        if (process_.hProcess)
        {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            {
                EXPECT_TRUE(EndMixerProgram()) << "the program did not end well";
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    fs::path Skin(const char* name) const { return folder_.Path() / "Skins" / name; }
    // A copy of the shipped skin under that name, its layout.xml cut where it holds text.
    void EditedCopy(const char* name, const std::string& text)
    {
        std::error_code error;
        fs::copy(Skin("Default"), Skin(name), fs::copy_options::recursive, error);
        ASSERT_FALSE(error) << error.message();
        if (!text.empty())
            Edit(name, text, "");
    }
    // Replaces text in the skin's layout.xml.
    void Edit(const char* name, const std::string& text, const std::string& by)
    {
        const fs::path file = Skin(name) / "layout.xml";
        std::ifstream in(file);
        std::string layout((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        const size_t at = layout.find(text);
        ASSERT_NE(at, std::string::npos) << text;
        layout.replace(at, text.size(), by);
        std::ofstream(file, std::ios::trunc) << layout;
    }
    // Starts the program with that skin chosen.
    void Start(const char* chosen)
    {
        WriteSetting("skin", chosen);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        const std::string program = (folder_.Path() / "KivCorvanDSP.exe").string();
        ASSERT_TRUE(StartProcess(nullptr, "\"" + program + "\"", FALSE, startup, &process_));
    }
    bool Ended() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    ScratchFolder folder_{"kiv-mixer-skins"};
    PROCESS_INFORMATION process_ = {};
};

TEST_F(SkinFallbackTest, ASkinThatCannotMakeTheFrameGivesWayToDefault)
{
    const struct
    {
        const char* label;
        const char* chosen;
        std::string cut;      // taken out of the copy's layout.xml
        std::string from, to; // then replaced in it
        bool onePixelComposite;
    } cases[] = {
        {"no frameApp", "Edited", "<framewindow name=\"frameApp\" style=\"Main\"/>", "", "", false},
        {"no strips scroll bar style", "Edited", "<horzstyle name=\"stripsection\"", "", "", false},
        {"a frame piece of 100000", "Edited", "", "topMid_h=\"80\"", "topMid_h=\"100000\"", false},
        {"a missing frame style", "Edited", "", "name=\"frameApp\" style=\"Main\"", "name=\"frameApp\" style=\"Gone\"",
         false},
        {"a frame image of no region", "Edited", "", "frameComposite=\"frame\"", "frameComposite=\"nowhere\"", false},
        {"a composite of one pixel", "Edited", "", "", "", true},
        {"a path outside Skins", "..\\System\\Launcher Skin", "", "", "", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        TearDown();
        process_ = {};
        if (std::string(c.chosen) == "Edited")
        {
            std::error_code ignored;
            fs::remove_all(Skin("Edited"), ignored);
            EditedCopy("Edited", c.cut);
            if (!c.from.empty())
                Edit("Edited", c.from, c.to);
            if (c.onePixelComposite)
            {
                // A valid bitmap, 1 x 1 at 24 bits: every region lies outside it.
                const unsigned char bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,    0,    54,   0,    0,    0,    40,
                                               0,   0,   0,  1, 0, 0, 0, 1, 0,    0,    0,    1,    0,    24,   0,
                                               0,   0,   0,  0, 4, 0, 0, 0, 0x13, 0x0B, 0,    0,    0x13, 0x0B, 0,
                                               0,   0,   0,  0, 0, 0, 0, 0, 0,    0x20, 0x40, 0x60, 0};
                std::ofstream(Skin("Edited") / "composite.bmp", std::ios::binary | std::ios::trunc)
                    .write(reinterpret_cast<const char*>(bmp), sizeof bmp);
            }
        }
        Start(c.chosen);
        EXPECT_TRUE(PumpUntil([&] { return FindFrame(process_.dwProcessId) != nullptr || Ended(); }, 120000))
            << "no frame";
        EXPECT_NE(FindFrame(process_.dwProcessId), nullptr) << "the program shows no frame";
        EXPECT_EQ(ReadSetting("skin"), "Default");
        EXPECT_FALSE(Ended()) << "the program ended";
    }
}

TEST_F(SkinFallbackTest, WhenDefaultCannotMakeTheFrameEitherTheProgramSaysSoAndEnds)
{
    // Both the chosen skin and "Default" lack the frame.
    EditedCopy("Edited", "<framewindow name=\"frameApp\" style=\"Main\"/>");
    Edit("Default", "<framewindow name=\"frameApp\" style=\"Main\"/>", "");
    Start("Edited");
    // The one window the program shows is its message; closed, the program ends.
    int messages = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            EXPECT_EQ(FindFrame(process_.dwProcessId), nullptr) << "a frame opened";
            for (HWND window : ProgramWindows(process_.dwProcessId))
            {
                if (++messages == 1)
                {
                    Sleep(500);
                    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-viewmissing.png")));
                }
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
            Sleep(200);
            return Ended();
        },
        120000))
        << "the program did not end";
    EXPECT_GE(messages, 1) << "the program said nothing";
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadSetting("skin"), "Default");
}

// The main section's "Compact" button: the compact section is there at once, painted whole,
// without a repaint forced from outside.
TEST_F(SkinFallbackTest, CompactShowsThePaintedCompactSection)
{
    Start("Default");
    HWND section = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (section = FindMainSection(process_.dwProcessId)) != nullptr; }, 120000));
    const POINT collapse = LayoutPoint(folder_.Path(), "collapse", "x", "y", "mainSection");
    ASSERT_GE(collapse.x, 0) << "the skin places the compact button";
    RECT full = {};
    GetClientRect(section, &full);
    Sleep(1000);
    ASSERT_TRUE(Click(section, {collapse.x + 36, collapse.y + 8})) << "the window to click is not at the point";
    HWND compact = nullptr;
    RECT rect = {};
    ASSERT_TRUE(PumpUntil([&] {
        compact = FindMainSection(process_.dwProcessId);
        return compact && GetClientRect(compact, &rect) && rect.bottom < full.bottom;
    })) << "the section did not become compact";
    Sleep(1500);
    const std::vector<DWORD> shown = ScreenPixels(compact, rect);
    EXPECT_TRUE(SaveScreenPicture(ShotPath("mixer-program-compact.png")));
    RedrawWindow(compact, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
    const std::vector<DWORD> repainted = ScreenPixels(compact, rect);
    ASSERT_EQ(shown.size(), repainted.size());
    size_t changed = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        changed += shown[i] != repainted[i];
    // The meters move on their own: a few hundred pixels.
    EXPECT_LT(changed * 20, shown.size()) << changed << " of " << shown.size() << " pixels were not painted";
}
} // namespace
