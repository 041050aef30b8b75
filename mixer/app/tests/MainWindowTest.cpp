// The main window's engine-event dispatcher with recording views, a recording engine and
// sinks on the COM server's lists; and the threads: the engine's events are handled on the
// user-interface thread, the frame is rebuilt from a posted message only, and event 54's data
// is copied before the engine can overwrite it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mixer/app/ApplicationHost.h"
#include "mixer/app/MainWindow.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/Dialog.h"
#include "framework/platform/files/ChooserSeam.h"
#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/comserver/SinkCourier.h"
#include "mixer/comserver/SinkList.h"
#include "mixer/comserver/tests/FakeSink.h"
#include "mixer/engine/tests/NullServices.h"
#include "mixer/names/ViewSettings.h"
#include "standins/engine/EngineModel.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/MessagePump.h"

namespace fs = std::filesystem;

namespace
{

// Everything the views, the engine and the host are asked, in order, with the thread.
struct Recorder
{
    void Add(std::string entry)
    {
        calls.push_back(std::move(entry));
        threads.push_back(::GetCurrentThreadId());
    }
    std::vector<std::string> calls;
    std::vector<DWORD> threads;
};

std::string Text(const char* name, long long a)
{
    return std::string(name) + " " + std::to_string(a);
}
std::string Text(const char* name, long long a, long long b)
{
    return Text(name, a) + " " + std::to_string(b);
}

// The last part of a skin's folder.
std::string SkinName(const Skin& skin)
{
    return fs::path(std::u16string(skin.Folder().Text())).filename().string();
}

std::string Narrow(const char16_t* text)
{
    std::string narrow;
    for (; text && *text; ++text)
        narrow += static_cast<char>(*text);
    return narrow;
}

// The public types a sink received, in order.
std::vector<DWORD> Types(FakeSink& sink)
{
    std::vector<DWORD> types;
    for (const Call& call : sink.Calls())
        types.push_back(call.type);
    return types;
}

class FakeHardware final : public IVarnHardware
{
public:
    explicit FakeHardware(Recorder& log) : log_(log) {}
    int VARN_CALL HasFeature(int) override { return 0; }
    IVarnSettings* VARN_CALL GetSettings() override { return settings; }
    IVarnMainMix* VARN_CALL GetMainMix() override { return nullptr; }
    IVarnInputList* VARN_CALL GetInputList() override { return nullptr; }
    IVarnItemList* VARN_CALL GetItemList() override { return nullptr; }
    int VARN_CALL GetModelCode() override { return 0; }
    int VARN_CALL IsMaster() override { return 1; }
    int VARN_CALL PrepareDsp() override
    {
        log_.Add("engine PrepareDsp");
        return 1;
    }
    int VARN_CALL ChannelExists(int, int, int) override { return 0; }
    int VARN_CALL GetRates(int, VarnCodeList*) override { return 0; }
    IVarnDriver* VARN_CALL GetDriver() override { return nullptr; }
    IVarnFitChecker* VARN_CALL GetFitChecker() override { return nullptr; }

    IVarnSettings* settings = nullptr; // borrowed; the session settings' tests give one

private:
    Recorder& log_;
};

class FakeStrip final : public IVarnStrip
{
public:
    FakeStrip(Recorder& log, int id, IVarnInput* source) : log_(log), id_(id), source_(source) {}
    IVarnInput* VARN_CALL GetSource() override { return source_; }
    void VARN_CALL SetSelected(int selected, int redraw) override
    {
        log_.Add(Text("strip SetSelected", selected, redraw));
    }
    const char16_t* VARN_CALL GetName() override { return nullptr; }
    int VARN_CALL GetId() override { return id_; }
    int VARN_CALL GetIndex() override { return 0; }
    IVarnMonitor* VARN_CALL GetMonitor() override { return nullptr; }
    int VARN_CALL SetState(int, int) override { return 0; }
    int VARN_CALL HasHardware() override { return 1; }

private:
    Recorder& log_;
    int id_;
    IVarnInput* source_; // borrowed
};

class FakeInsert final : public IVarnInsert
{
public:
    FakeInsert(int kind, int hasEffect) : kind_(kind), hasEffect_(hasEffect) {}
    int VARN_CALL GetKind() override { return kind_; }
    IVarnEffect* VARN_CALL GetEffect() override { return nullptr; }
    IVarnOutput* VARN_CALL GetOutputPort() override { return nullptr; }
    IVarnInput* VARN_CALL GetInputPort() override { return nullptr; }
    int VARN_CALL GetPosition() override { return 0; }
    int VARN_CALL GetEventKey() override { return 0; }
    int VARN_CALL HasWetDry() override { return 0; }
    float VARN_CALL GetWetDry() override { return 0; }
    int VARN_CALL SetWetDry(float, int) override { return 0; }
    int VARN_CALL HasEffect() override { return hasEffect_; }
    int VARN_CALL IsBypassed() override { return 0; }
    int VARN_CALL SetBypass(int, int) override { return 0; }
    int VARN_CALL IsSoloed() override { return 0; }
    int VARN_CALL SetSolo(int, int) override { return 0; }
    int VARN_CALL HasHardware() override { return 1; }
    IVarnInsertChain* VARN_CALL GetChain() override { return nullptr; }

private:
    int kind_, hasEffect_;
};

class FakeChain final : public IVarnInsertChain
{
public:
    int VARN_CALL GetCount() override { return static_cast<int>(inserts.size()); }
    IVarnInsert* VARN_CALL GetInsert(int index) override
    {
        return index >= 0 && index < GetCount() ? inserts[index] : nullptr;
    }
    int VARN_CALL GetBusType() override { return 2; }
    IVarnStrip* VARN_CALL GetStrip() override { return nullptr; }
    IVarnAux* VARN_CALL GetAux() override { return nullptr; }

    std::vector<IVarnInsert*> inserts; // borrowed
};

class FakeMixer final : public IVarnMixer
{
public:
    explicit FakeMixer(Recorder& log) : hardware(log) {}
    int VARN_CALL GetSystemCount() override { return systems; }
    IVarnHardware* VARN_CALL GetSystem(int index) override
    {
        return index >= 0 && index < systems ? &hardware : nullptr;
    }
    IVarnHardware* VARN_CALL GetHardware() override { return &hardware; }
    int VARN_CALL GetRateCode() override { return 4; }
    int VARN_CALL GetHardwareRateCode() override { return 4; }
    int VARN_CALL GetRateText(char16_t*, int) override { return 0; }
    const char16_t* VARN_CALL GetSessionName() override { return sessionName; }
    IVarnSettings* VARN_CALL GetSessionSettings() override { return nullptr; }
    IVarnStrip* VARN_CALL GetStripById(int id) override
    {
        auto found = strips.find(id);
        return found == strips.end() ? nullptr : found->second;
    }
    int VARN_CALL SelectsNewStrip() override { return selectsNew; }
    void VARN_CALL SetModified(int) override {}
    int VARN_CALL IsHardwareAdequate() override { return adequate; }

    FakeHardware hardware;
    const char16_t* sessionName = u"Live Set";
    int adequate = 1;
    int systems = 1;
    std::map<int, IVarnStrip*> strips; // borrowed
    int selectsNew = 1;
};

class FakeServices final : public NullServices
{
public:
    explicit FakeServices(Recorder& log) : mixer(log), log_(log) {}
    int VARN_CALL Init(const char16_t*, const char16_t*, const char16_t*) override { return 1; }
    int VARN_CALL AddListener(IVarnListener* listener) override
    {
        this->listener = listener;
        return 1;
    }
    int VARN_CALL RemoveListener(IVarnListener*) override
    {
        listener = nullptr;
        return 1;
    }
    int VARN_CALL SetViewInterface(IVarnView*) override { return 1; }
    IVarnMixer* VARN_CALL GetMixer() override { return &mixer; }
    int VARN_CALL IsReady() override { return 1; }
    int VARN_CALL IsRunning() override { return 1; }
    int VARN_CALL IsModified() override { return modified; }
    void VARN_CALL SetModified(int flag) override
    {
        modified = flag;
        log_.Add(Text("engine SetModified", flag));
    }
    int VARN_CALL CreateEmptySession(const void*, const char16_t* path, int) override
    {
        log_.Add("engine CreateEmptySession " + Narrow(path));
        return loadResult;
    }
    int VARN_CALL LoadSession(const char16_t* path, int) override
    {
        log_.Add("engine LoadSession " + Narrow(path));
        return loadResult;
    }
    int VARN_CALL SaveSession(const char16_t* path, int a, int b) override
    {
        log_.Add("engine SaveSession " + (path ? Narrow(path) : std::string("(null)")) + " " + std::to_string(a) + " " +
                 std::to_string(b));
        return saveResult;
    }
    int VARN_CALL GetSessionPath(char16_t* buffer, int capacity, int) override
    {
        std::u16string path = sessionPath;
        if (static_cast<int>(path.size()) >= capacity)
            return 0;
        std::copy(path.begin(), path.end(), buffer);
        buffer[path.size()] = 0;
        return 1;
    }
    int VARN_CALL GetFileRate(const char16_t* path, int* rate) override
    {
        log_.Add("engine GetFileRate " + Narrow(path));
        *rate = fileRate;
        return fileRate != 6;
    }

    FakeMixer mixer;
    int loadResult = 1;
    int saveResult = 1;
    int fileRate = 6;
    std::u16string sessionPath = u"C:\\Sessions\\Live Set.session";
    IVarnListener* listener = nullptr;
    int modified = 1;

private:
    Recorder& log_;
};

class RecordingHost final : public ApplicationHost
{
public:
    explicit RecordingHost(Recorder& log) : log_(log) {}
    void RequestView(int kind, intptr_t) override { log_.Add(Text("host RequestView", kind)); }
    void SetTrayIcon(const char* iconName) override { log_.Add(std::string("tray ") + iconName); }
    void RefreshTrayTip() override {}
    int GetInitStatus() override { return 1; }

private:
    Recorder& log_;
};

class RecordingMainSection final : public MainSectionTarget
{
public:
    explicit RecordingMainSection(Recorder& log) : log_(log) {}
    void OnEngineEvent(int id, VarnEventArg a) override { log_.Add(Text("main OnEngineEvent", id, a)); }
    void OnOutputChanged(VarnEventArg) override { log_.Add("main OnOutputChanged"); }
    void OnInputChanged(VarnEventArg a) override { log_.Add(Text("main OnInputChanged", a)); }
    void OnPresetListEvent(int id, VarnEventArg a) override { log_.Add(Text("main OnPresetListEvent", id, a)); }
    void OnEffectEvent(int id, VarnEventArg a) override { log_.Add(Text("main OnEffectEvent", id, a)); }
    void OnInsertEvent(int id, VarnEventArg a) override { log_.Add(Text("main OnInsertEvent", id, a)); }
    void UpdateStatus() override { log_.Add("main UpdateStatus"); }
    void ShowSampleRate(int code) override { log_.Add(Text("main ShowSampleRate", code)); }
    void ShowSyncSource(int external, int locked) override { log_.Add(Text("main ShowSyncSource", external, locked)); }
    bool HasItsHardware() override { return hasHardware; }

    bool hasHardware = true;

private:
    Recorder& log_;
};

// The strip section with one strip view, for the strip with id 5.
class RecordingStrips final : public StripSectionTarget, public StripViewTarget
{
public:
    RecordingStrips(Recorder& log, IVarnStrip* strip) : log_(log), strip_(strip) {}
    StripViewTarget* FindStripView(VarnEventArg id) override { return id == 5 ? this : nullptr; }
    bool HasItsHardware() override { return hasHardware; }
    void OnEngineEvent(int id) override { log_.Add(Text("strip OnEngineEvent", id)); }
    IVarnStrip* GetEngineStrip() override { return strip_; }

    bool hasHardware = true;

private:
    Recorder& log_;
    IVarnStrip* strip_; // borrowed
};

class RecordingInserts final : public InsertStripTarget
{
public:
    explicit RecordingInserts(Recorder& log) : log_(log) {}
    void OnEngineEvent(int id, VarnEventArg a) override { log_.Add(Text("inserts OnEngineEvent", id, a)); }

private:
    Recorder& log_;
};

class RecordingPalette final : public FxPaletteTarget, public SyncPanelTarget
{
public:
    explicit RecordingPalette(Recorder& log) : log_(log) {}
    void OnAppEvent(int id, VarnEventArg a) override { log_.Add(Text("palette OnAppEvent", id, a)); }
    void RefreshFit() override { log_.Add("palette RefreshFit"); }
    void OnSyncStatus(VarnEventArg a) override { log_.Add(Text("sync OnSyncStatus", a)); }
    void ShowSyncTime(const VarnSyncTime& t) override
    {
        log_.Add("sync ShowSyncTime " + std::to_string(t.rateCode) + " " + std::to_string(t.hours) + " " +
                 std::to_string(t.seconds) + " " + std::to_string(t.minutes) + " " + std::to_string(t.frames));
    }

private:
    Recorder& log_;
};

class RecordingFrame final : public MainFrameTarget
{
public:
    RecordingFrame(Recorder& log, IVarnHardware* system, IVarnStrip* strip)
        : main(log), strips(log, strip), inserts(log), palette(log), log_(log), system_(system)
    {
    }
    ~RecordingFrame() override { log_.Add(inHandler ? "frame destroyed inside its own handler" : "frame destroyed"); }

    void BringForward() override { log_.Add("frame BringForward"); }
    void UpdateSessionTitle() override { log_.Add("frame UpdateSessionTitle"); }
    void UpdateHardwareButtons(VarnEventArg a) override { log_.Add(Text("frame UpdateHardwareButtons", a)); }
    void RefreshForEvent(int id, VarnEventArg a) override { log_.Add(Text("frame RefreshForEvent", id, a)); }
    void AddStripView(IVarnStrip* strip) override { log_.Add(Text("frame AddStripView", strip->GetId())); }
    void RemoveStripView(VarnEventArg id) override { log_.Add(Text("frame RemoveStripView", id)); }
    void UpdateStrip(VarnEventArg id) override { log_.Add(Text("frame UpdateStrip", id)); }
    void RefreshExtraSection() override { log_.Add("frame RefreshExtraSection"); }
    IVarnHardware* GetCurrentSystem() override { return system_; }
    bool HasSessionSection() override { return true; }
    // The dispatcher names the event: a chain's (700-748) and an insert's (750-799) are found
    // by different keys.
    InsertStripTarget* FindInsertStrip(int id, VarnEventArg a) override
    {
        log_.Add(Text("frame FindInsertStrip", id, a));
        return &inserts;
    }
    StripSectionTarget* GetStripSection() override { return &strips; }
    MainSectionTarget* GetMainSection() override { return &main; }
    FxPaletteTarget* GetFxPalette() override { return &palette; }
    SyncPanelTarget* GetSyncPanel() override { return &palette; }

    RecordingMainSection main;
    RecordingStrips strips;
    RecordingInserts inserts;
    RecordingPalette palette;
    bool inHandler = false;

private:
    Recorder& log_;
    IVarnHardware* system_; // borrowed
};

// The test program's folder plays the program folder: it gets the shipped skins.
// What the views handled, in order: engine events reaching the main section and the palette,
// and frames made.
std::vector<std::string> Handled(const std::vector<std::string>& calls)
{
    std::vector<std::string> handled;
    for (const std::string& call : calls)
        if (call.rfind("main OnEngineEvent", 0) == 0 || call.rfind("palette OnAppEvent", 0) == 0 ||
            call.rfind("frame made", 0) == 0)
            handled.push_back(call);
    return handled;
}

// Serves this thread's messages for milliseconds.
void Serve(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    PumpUntil([&] { return ::GetTickCount() - start >= milliseconds; }, milliseconds + 1000);
}

// A window of ours whose handler serves messages in a loop of its own, as one that opens a
// dialog or a menu does.
class LoopingWindow : public Window
{
public:
    static constexpr UINT kRun = WM_APP + 1;
    void OnUserMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == kRun && loop)
            loop();
    }
    std::function<void()> loop;
};

class MainWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        char self[MAX_PATH];
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        program = fs::path(self).parent_path();
        std::error_code error;
        fs::remove_all(program / "Skins", error);
        fs::copy(program / ".." / ".." / "program" / "Skins", program / "Skins", fs::copy_options::recursive, error);
        ASSERT_FALSE(error) << error.message();
        ASSERT_TRUE(view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1));
        ASSERT_EQ(SinkList::Public().Advise(publicSink.Public(), 0xFFFFFFFF, 7, &publicCookie), S_OK);
        ASSERT_EQ(SinkList::Private().Advise(privateSink.Private(), 0xFFFFFFFF, 8, &privateCookie), S_OK);
        // An ASIO-fed strip (a host input of sub-kind 1, an ASIO pair) with the id 5.
        asioSource.subKind = 1;
        engine.mixer.strips[5] = &strip;
    }
    void TearDown() override
    {
        window.reset();
        SinkList::Public().Unadvise(publicCookie);
        SinkList::Private().Unadvise(privateCookie);
        EXPECT_TRUE(SinkCourier::WaitDelivered(::GetTickCount() + 20000));
        EXPECT_TRUE(PumpUntil([&] { return publicSink.references == 1 && privateSink.references == 1; }, 20000));
        std::error_code ignored;
        fs::remove_all(program / "Skins", ignored);
        view.DeleteKey(u"DirtySession");
        view.DeleteKey(u"TV View Mode");
        ::CoUninitialize();
    }

    // A main window on the fake engine whose frames are recorders, made on this thread.
    void Open(IVarnServices* services)
    {
        window = std::make_unique<MainWindow>();
        window->SetFrameFactory([this](MainWindowLink& owner, bool fullBuild) -> std::unique_ptr<MainFrameTarget> {
            log.Add(fullBuild ? "frame made, full build" : "frame made");
            if (!makeFrames || (framesFromDefaultOnly && SkinName(owner.GetSkin()) != "Default"))
                return nullptr;
            auto frame = std::make_unique<RecordingFrame>(log, &engine.mixer.hardware, &strip);
            frames.push_back(frame.get());
            return frame;
        });
        ASSERT_EQ(window->Create(services, &host), 0);
    }
    // What the sinks received once every queued notification was delivered.
    void Delivered() { ASSERT_TRUE(SinkCourier::WaitDelivered(::GetTickCount() + 20000)); }
    void ClearRecords()
    {
        Delivered();
        log = Recorder();
        publicSink.Clear();
        privateSink.Clear();
        view.DeleteKey(u"DirtySession");
    }
    bool DirtyWritten()
    {
        String text;
        return view.ReadString(u"DirtySession", text, nullptr) != 0;
    }

    fs::path program;
    RegistryKey view;
    Recorder log;
    StandinInput asioSource{0, 0};
    FakeStrip strip{log, 5, &asioSource};
    FakeServices engine{log};
    RecordingHost host{log};
    FakeSink publicSink, privateSink;
    DWORD publicCookie = 0, privateCookie = 0;
    bool makeFrames = true;
    bool framesFromDefaultOnly = false;  // other skins make no frame, as one without "frameApp"
    std::vector<RecordingFrame*> frames; // borrowed: every frame made, the last one alive
    std::unique_ptr<MainWindow> window;
};

const char kTitle[] = "frame UpdateSessionTitle";
const char kGood[] = "tray #107";

struct Row
{
    const char* label;
    int id;
    VarnEventArg argument;
    std::vector<std::string> calls; // with a frame
    std::vector<DWORD> publicTypes;
    std::vector<Call> privateCalls;
    bool dirtyWritten;
};

TEST_F(MainWindowTest, EveryRowReachesItsViewsNotificationsAndCommonEnd)
{
    Open(&engine);
    window->Show();
    ASSERT_EQ(frames.size(), 1u);
    static const VarnSyncTime kTime = {2, 1, 30, 59, 24};
    const VarnEventArg time = reinterpret_cast<VarnEventArg>(&kTime);
    const std::vector<Row> rows = {
        {"2 the title", 2, 0, {kTitle, kTitle}, {}, {}, true},
        {"3", 3, 0, {kTitle, kTitle}, {}, {}, true},
        {"4", 4, 0, {kTitle, kTitle}, {}, {}, true},
        {"50 common end only", 50, 9, {kTitle}, {}, {}, true},
        {"78 common end only", 78, 0, {kTitle}, {}, {}, true},
        {"51 the session's rate", 51, 0, {"main ShowSampleRate 4", kTitle}, {}, {}, true},
        {"52 internal, locked", 52, 0x10000, {"main ShowSyncSource 0 1", kTitle}, {}, {}, true},
        {"52 source 2, unlocked", 52, 2, {"main ShowSyncSource 2 0", kTitle}, {}, {}, true},
        {"53", 53, 9, {"sync OnSyncStatus 9", kTitle}, {}, {}, true},
        {"54", 54, time, {"sync ShowSyncTime 2 1 30 59 24", kTitle}, {}, {}, true},
        {"55",
         55,
         9,
         {"frame UpdateHardwareButtons 9", "engine PrepareDsp", "main OnEngineEvent 55 9", "frame RefreshExtraSection",
          kGood, kTitle},
         {},
         {},
         true},
        {"76", 76, 9, {"frame RefreshForEvent 76 9", kTitle}, {}, {}, true},
        {"10 an ASIO strip added",
         10,
         5,
         {"frame AddStripView 5", "palette RefreshFit", "strip SetSelected 1 1", kTitle},
         {KivKDSPASIO_Reinit},
         {},
         true},
        {"10 an unknown strip ends", 10, 6, {}, {}, {}, false},
        {"11", 11, 5, {"frame RemoveStripView 5", "palette RefreshFit", kGood, kTitle}, {}, {}, true},
        {"12", 12, 5, {"frame UpdateStrip 5", kTitle}, {KivKDSPASIO_Reinit}, {}, true},
        {"13", 13, 0, {kTitle}, {KivKDSPASIO_Reinit}, {}, true},
        {"100", 100, 5, {"strip OnEngineEvent 100", kTitle}, {}, {}, true},
        {"111 an ASIO source", 111, 5, {"strip OnEngineEvent 111", kTitle}, {KivKDSPASIO_Reinit}, {}, true},
        {"199 no such strip", 199, 6, {kTitle}, {}, {}, true},
        {"201", 201, 5, {"strip OnEngineEvent 201", kTitle}, {}, {}, true},
        {"232", 232, 5, {"strip OnEngineEvent 232", kTitle}, {}, {}, true},
        {"200 none", 200, 5, {kTitle}, {}, {}, true},
        {"300", 300, 9, {"main OnEngineEvent 300 9", kTitle}, {}, {}, true},
        {"399", 399, 9, {"main OnEngineEvent 399 9", kTitle}, {}, {}, true},
        {"400 no port", 400, 0, {"main OnOutputChanged", kTitle}, {}, {}, true},
        {"500", 500, 9, {"main OnInputChanged 9", kTitle}, {}, {}, true},
        {"600", 600, 9, {"palette RefreshFit", kTitle}, {0x100}, {}, true},
        {"601", 601, 9, {"palette RefreshFit", kTitle}, {0x200}, {}, true},
        {"602", 602, 9, {"main OnEffectEvent 602 9", kTitle}, {}, {}, true},
        {"605 none", 605, 9, {kTitle}, {}, {}, true},
        {"610", 610, 9, {"main OnEffectEvent 610 9", kTitle}, {}, {{0x400, 8, 0, 9}}, true},
        {"699", 699, 9, {"main OnEffectEvent 699 9", kTitle}, {}, {{0x400, 8, 89, 9}}, true},
        {"700",
         700,
         9,
         {"frame FindInsertStrip 700 9", "inserts OnEngineEvent 700 9", "main OnInsertEvent 700 9",
          "palette RefreshFit", "engine SetModified 1", kTitle},
         {0x100},
         {},
         true},
        {"703",
         703,
         9,
         {"frame FindInsertStrip 703 9", "inserts OnEngineEvent 703 9", "main OnInsertEvent 703 9",
          "palette RefreshFit", "frame RefreshForEvent 703 9", "engine SetModified 1", kGood, kTitle},
         {},
         {},
         true},
        {"704",
         704,
         9,
         {"frame FindInsertStrip 704 9", "inserts OnEngineEvent 704 9", "main OnInsertEvent 704 9",
          "palette RefreshFit", "engine SetModified 1", kGood, kTitle},
         {},
         {},
         true},
        {"705",
         705,
         9,
         {"frame FindInsertStrip 705 9", "inserts OnEngineEvent 705 9", "main OnInsertEvent 705 9",
          "engine SetModified 1", kTitle},
         {},
         {},
         true},
        {"707", 707, 9, {kTitle}, {KivKDSPASIO_Reinit}, {}, true},
        {"708", 708, 9, {kTitle}, {KivKDSPASIO_Reinit}, {}, true},
        {"709",
         709,
         9,
         {"frame FindInsertStrip 709 9", "inserts OnEngineEvent 709 9", "main OnInsertEvent 709 9",
          "palette RefreshFit", "engine SetModified 1", kTitle},
         {},
         {},
         true},
        {"710", 710, 9, {kTitle}, {KivKDSPASIO_Reinit}, {}, true},
        {"748",
         748,
         9,
         {"frame FindInsertStrip 748 9", "inserts OnEngineEvent 748 9", "main OnInsertEvent 748 9",
          "engine SetModified 1", kTitle},
         {},
         {},
         true},
        {"749 common end only", 749, 9, {kTitle}, {}, {}, true},
        {"750",
         750,
         9,
         {"frame FindInsertStrip 750 9", "inserts OnEngineEvent 750 9", "main OnInsertEvent 750 9", kTitle},
         {},
         {},
         true},
        {"799",
         799,
         9,
         {"frame FindInsertStrip 799 9", "inserts OnEngineEvent 799 9", "main OnInsertEvent 799 9", kTitle},
         {},
         {},
         true},
        {"800", 800, 9, {"main OnPresetListEvent 800 9", kTitle}, {0x10}, {}, true},
        {"804 also the palette",
         804,
         9,
         {"main OnPresetListEvent 804 9", "palette OnAppEvent 804 9", kTitle},
         {0x10},
         {},
         true},
        {"849", 849, 9, {"main OnPresetListEvent 849 9", kTitle}, {0x10}, {}, true},
        {"850", 850, 9, {"palette OnAppEvent 850 9", kTitle}, {0x8}, {}, true},
        {"898", 898, 9, {"palette OnAppEvent 898 9", kTitle}, {0x8}, {}, true},
        {"899 common end only", 899, 9, {kTitle}, {}, {}, true},
        {"1000", 1000, 9, {"main OnEffectEvent 1000 9", kTitle}, {}, {{0x1000, 8, 0, 9}}, true},
        {"1099", 1099, 9, {"main OnEffectEvent 1099 9", kTitle}, {}, {{0x1000, 8, 99, 9}}, true},
        {"1100", 1100, 9, {"main OnEffectEvent 1100 9", kTitle}, {}, {{0x2000, 8, 0, 9}}, true},
        {"1199", 1199, 9, {"main OnEffectEvent 1199 9", kTitle}, {}, {{0x2000, 8, 99, 9}}, true},
        {"1200", 1200, 9, {"main OnEffectEvent 1200 9", kTitle}, {}, {{0x4000, 8, 0, 9}}, true},
        {"1299", 1299, 9, {"main OnEffectEvent 1299 9", kTitle}, {}, {{0x4000, 8, 99, 9}}, true},
        {"1300 none", 1300, 9, {kTitle}, {}, {}, true},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        ClearRecords();
        window->RebuildView(row.id, row.argument);
        Delivered();
        EXPECT_EQ(log.calls, row.calls);
        EXPECT_EQ(Types(publicSink), row.publicTypes);
        EXPECT_EQ(privateSink.Calls(), row.privateCalls);
        EXPECT_EQ(DirtyWritten(), row.dirtyWritten);
    }
}

// An output sends Reinit when the ASIO clients' channels change: an ASIO port; a physical
// port fed by a bus with an ASIO send/return insert, or fed by an effect insert that holds one.
TEST_F(MainWindowTest, OutputChangesSendReinitWhenTheAsioChannelsChange)
{
    Open(&engine);
    window->Show();
    FakeInsert asioSendReturn(6, 0), send(1, 0), effect(0, 1), emptyEffect(0, 0);
    FakeChain withAsio, plain;
    withAsio.inserts = {&asioSendReturn, &send};
    plain.inserts = {&send, &emptyEffect};
    struct Case
    {
        const char* label;
        int kind;
        IVarnInsertChain* source;
        IVarnInsert* insert;
        bool reinit;
    } cases[] = {
        {"an ASIO port", 1, nullptr, nullptr, true},
        {"a Wave port", 0, &withAsio, nullptr, false},
        {"a physical port fed by an ASIO send/return", 2, &withAsio, nullptr, true},
        {"a physical port fed by a plain bus", 2, &plain, nullptr, false},
        {"a physical port fed by an effect that holds one", 2, &plain, &effect, true},
        {"a physical port fed by an empty effect", 2, &plain, &emptyEffect, false},
        {"a physical port fed by a send", 2, nullptr, &send, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        StandinOutput port(c.kind, 0);
        port.source = c.source;
        port.insert = c.insert;
        ClearRecords();
        window->RebuildView(400, reinterpret_cast<VarnEventArg>(static_cast<IVarnOutput*>(&port)));
        Delivered();
        EXPECT_EQ(log.calls, (std::vector<std::string>{"main OnOutputChanged", kTitle}));
        EXPECT_EQ(Types(publicSink), c.reinit ? std::vector<DWORD>{KivKDSPASIO_Reinit} : std::vector<DWORD>{});
    }
}

// Without a frame the rows that need one do nothing at all; the others run what they can and
// reach the common end.
TEST_F(MainWindowTest, WithoutAFrameTheRowsThatNeedOneDoNothing)
{
    makeFrames = false;
    Open(&engine);
    const struct
    {
        int id;
        std::vector<DWORD> publicTypes;
        bool dirtyWritten;
    } rows[] = {
        {2, {}, false},
        {3, {}, false},
        {4, {}, false},
        {11, {}, false},
        {12, {}, false},
        {53, {}, false},
        {54, {}, false},
        {55, {}, false},
        {76, {}, false},
        {100, {}, false},
        {201, {}, false},
        {300, {}, false},
        {400, {}, false},
        {500, {}, false},
        {600, {}, false},
        {601, {}, false},
        {602, {}, false},
        {610, {}, false},
        {700, {}, false},
        {703, {}, false},
        {750, {}, false},
        {800, {}, false},
        {804, {}, false},
        {850, {}, false},
        {1000, {}, false},
        {1299, {}, false},
        // Rows that need no frame.
        {50, {}, true},
        {51, {}, true},
        {52, {}, true},
        {78, {}, true},
        {13, {KivKDSPASIO_Reinit}, true},
        {707, {KivKDSPASIO_Reinit}, true},
        {708, {KivKDSPASIO_Reinit}, true},
        {710, {KivKDSPASIO_Reinit}, true},
        {749, {}, true},
        {899, {}, true},
        {10, {KivKDSPASIO_Reinit}, true},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.id);
        ClearRecords();
        window->RebuildView(row.id, 5);
        Delivered();
        EXPECT_EQ(log.calls, std::vector<std::string>{});
        EXPECT_EQ(Types(publicSink), row.publicTypes);
        EXPECT_TRUE(privateSink.Calls().empty());
        EXPECT_EQ(DirtyWritten(), row.dirtyWritten);
    }
}

// The tray icon shows a problem unless a frame, a current system and every view's hardware are
// there.
TEST_F(MainWindowTest, TheTrayIconRuleAsksEveryView)
{
    Open(&engine);
    window->Show();
    RecordingFrame& frame = *frames.back();
    struct Case
    {
        const char* label;
        bool mainHas, stripsHas;
        int systems;
        const char* icon;
    } cases[] = {
        {"all there", true, true, 1, kGood},
        {"the main section misses some", false, true, 1, "tray #126"},
        {"a strip misses some", true, false, 1, "tray #126"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        frame.main.hasHardware = c.mainHas;
        frame.strips.hasHardware = c.stripsHas;
        ClearRecords();
        window->ShowFrame();
        EXPECT_EQ(log.calls, std::vector<std::string>{c.icon});
    }
    // Without a frame the rule fails even though the model has a system.
    window->Close();
    ASSERT_TRUE(PumpUntil([&] { return !window->GetFrame(); }));
    makeFrames = false;
    ClearRecords();
    window->ShowFrame();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"frame made", "host RequestView 3", "tray #126"}));
    EXPECT_EQ(window->GetCurrentSystem(), &engine.mixer.hardware) << "system 0 of the model";
    engine.mixer.systems = 0;
    EXPECT_EQ(window->GetCurrentSystem(), nullptr);
}

// Event 1 writes the outputs mode, rebuilds the frame with a full build, sends Reinit, marks
// the session unmodified and applies the tray rule, then the common end. It runs from a posted
// message: asked from inside a handler of the frame, the frame outlives the handler.
TEST_F(MainWindowTest, EventOneRebuildsTheFrameFromAPostedMessage)
{
    Open(&engine);
    window->Show();
    ASSERT_EQ(frames.size(), 1u);
    ClearRecords();
    frames[0]->inHandler = true; // as the frame's 2023 handler or a toolbar command would be
    window->RebuildView(1, 0);
    frames[0]->inHandler = false;
    EXPECT_EQ(log.calls, std::vector<std::string>{}) << "nothing happens inside the handler";
    ASSERT_TRUE(PumpUntil([&] { return frames.size() == 2; }));
    Delivered();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"frame destroyed", "frame made, full build", "engine SetModified 0",
                                                   kGood, kTitle}));
    EXPECT_EQ(Types(publicSink), std::vector<DWORD>{KivKDSPASIO_Reinit});
    String mode;
    ASSERT_TRUE(view.ReadString(u"TV View Mode", mode, nullptr));
    EXPECT_EQ(mode.CompareLiteral("outputs"), 0);
    EXPECT_TRUE(DirtyWritten());
    EXPECT_EQ(engine.modified, 0);
}

// The engine's events arrive on its own thread; the window creates the frame and handles every
// event on the user-interface thread, also while event 1 rebuilds the frame in their midst.
TEST_F(MainWindowTest, EngineEventsAreHandledOnTheUserInterfaceThread)
{
    StandinServices standin;
    Open(&standin);
    ASSERT_TRUE(frames.empty());
    const DWORD ui = ::GetCurrentThreadId();
    const int ids[] = {300, 1, 301, 1, 302, 850, 1, 303};
    for (int id : ids)
        standin.RaiseEvent(id, 0);
    standin.WaitForEvents();
    ASSERT_TRUE(
        PumpUntil([&] { return std::count(log.calls.begin(), log.calls.end(), "main OnEngineEvent 303 0") == 1; }));
    EXPECT_EQ(frames.size(), 4u) << "one made for the first event, three rebuilt";
    for (size_t i = 0; i < log.threads.size(); ++i)
        EXPECT_EQ(log.threads[i], ui) << log.calls[i];
    // In the order raised, each on the frame alive at the time.
    EXPECT_EQ(
        Handled(log.calls),
        (std::vector<std::string>{"frame made", "main OnEngineEvent 300 0", "frame made, full build",
                                  "main OnEngineEvent 301 0", "frame made, full build", "main OnEngineEvent 302 0",
                                  "palette OnAppEvent 850 0", "frame made, full build", "main OnEngineEvent 303 0"}));
    window.reset(); // the listener goes before the engine
}

// A handler of ours may serve messages in a loop of its own when event 1 arrives (a dialog, a
// menu or the system's move loop opened by a control of the frame): the frame is rebuilt only
// once that handler has returned, and the events after event 1 wait with it, in their order.
// The frame's close waits the same way.
TEST_F(MainWindowTest, EventOneWaitsForAHandlerServingALoopOfItsOwn)
{
    StandinServices standin;
    Open(&standin);
    window->Show();
    ASSERT_EQ(frames.size(), 1u);
    LoopingWindow handler;
    ASSERT_TRUE(handler.Create(nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, 0, 0));
    size_t framesInside = 0;
    std::vector<std::string> handledInside;
    handler.loop = [&] {
        for (int id : {300, 1, 301, 850})
            standin.RaiseEvent(id, 0);
        standin.WaitForEvents();
        Serve(300); // as the dialog's loop does
        PumpUntil([&] { return Handled(log.calls).size() == 1; }, 20000);
        Serve(300);
        framesInside = frames.size();
        handledInside = Handled(log.calls);
    };
    ClearRecords();
    ::SendMessageA(handler.GetHandle(), LoopingWindow::kRun, 0, 0);
    EXPECT_EQ(framesInside, 1u) << "no rebuild while the handler runs";
    EXPECT_EQ(handledInside, std::vector<std::string>{"main OnEngineEvent 300 0"}) << "only what came before event 1";
    ASSERT_TRUE(PumpUntil([&] { return Handled(log.calls).size() == 4; }));
    EXPECT_EQ(Handled(log.calls), (std::vector<std::string>{"main OnEngineEvent 300 0", "frame made, full build",
                                                            "main OnEngineEvent 301 0", "palette OnAppEvent 850 0"}));
    EXPECT_EQ(frames.size(), 2u);
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "frame destroyed"), 1);

    bool frameInside = false;
    handler.loop = [&] {
        window->Close();
        Serve(300);
        frameInside = window->GetFrame() != nullptr;
    };
    ::SendMessageA(handler.GetHandle(), LoopingWindow::kRun, 0, 0);
    EXPECT_TRUE(frameInside) << "the close waits for the handler";
    EXPECT_TRUE(PumpUntil([&] { return !window->GetFrame(); }));
    handler.Destroy();
    window.reset(); // the listener goes before the engine
}

// Event 54 points to the engine's record, which the engine may overwrite once the listener
// returns: the window shows what the record held when the event was raised.
TEST_F(MainWindowTest, SyncTimeIsCopiedOnTheEngineThread)
{
    Open(&engine);
    window->Show();
    ClearRecords();
    VarnSyncTime record = {1, 10, 20, 30, 12};
    std::thread engineThread([&] {
        engine.listener->OnEngineEvent(54, reinterpret_cast<VarnEventArg>(&record));
        record = {3, 23, 59, 59, 29}; // the engine's next time, before the window ran
    });
    engineThread.join();
    ASSERT_TRUE(PumpUntil([&] { return !log.calls.empty(); }));
    EXPECT_EQ(log.calls[0], "sync ShowSyncTime 1 10 20 30 12");
}

// The listener goes with the window: the engine holds no pointer to it afterwards.
TEST_F(MainWindowTest, TheListenerGoesBeforeTheWindow)
{
    Open(&engine);
    EXPECT_EQ(engine.listener, static_cast<IVarnListener*>(window.get()));
    window.reset();
    EXPECT_EQ(engine.listener, nullptr);
}
// The chosen skin names a folder under Skins; any other choice loads "Default" and is
// written over. A skin that loads but makes no frame gives way to "Default" as well.
TEST_F(MainWindowTest, AChosenSkinThatIsNoFolderNameOrMakesNoFrameGivesWayToDefault)
{
    std::error_code error;
    fs::copy(program / "Skins" / "Default", program / "Skins" / "Edited", fs::copy_options::recursive, error);
    ASSERT_FALSE(error) << error.message();
    for (const char16_t* chosen :
         {u"..\\System\\Launcher Skin", u"Edited\\..\\..", u"C:\\Skins", u"Edited/x", u"..", u"."})
    {
        SCOPED_TRACE(fs::path(std::u16string(chosen)).string());
        String text;
        text.AssignWide(chosen);
        ASSERT_TRUE(view.WriteString(ViewSettings::kSkin, &text));
        Open(&engine);
        EXPECT_EQ(SkinName(window->GetSkin()), "Default");
        ASSERT_TRUE(view.ReadString(ViewSettings::kSkin, text, nullptr));
        EXPECT_EQ(text.CompareLiteral("Default"), 0);
        window.reset();
    }

    framesFromDefaultOnly = true;
    String edited;
    edited.AssignAscii("Edited");
    ASSERT_TRUE(view.WriteString(ViewSettings::kSkin, &edited));
    Open(&engine);
    EXPECT_EQ(SkinName(window->GetSkin()), "Edited");
    ClearRecords();
    window->Show();
    ASSERT_NE(window->GetFrame(), nullptr);
    EXPECT_EQ(SkinName(window->GetSkin()), "Default");
    ASSERT_GE(log.calls.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(log.calls.begin(), log.calls.begin() + 2),
              (std::vector<std::string>{"frame made, full build", "frame made, full build"}));
    String text;
    ASSERT_TRUE(view.ReadString(ViewSettings::kSkin, text, nullptr));
    EXPECT_EQ(text.CompareLiteral("Default"), 0);
}

// Without a frame from the chosen skin nor from "Default", the host hears it once; no later
// show or event tries again.
TEST_F(MainWindowTest, WithoutAFrameFromAnySkinTheHostHearsItOnce)
{
    std::error_code error;
    fs::copy(program / "Skins" / "Default", program / "Skins" / "Edited", fs::copy_options::recursive, error);
    ASSERT_FALSE(error) << error.message();
    String edited;
    edited.AssignAscii("Edited");
    ASSERT_TRUE(view.WriteString(ViewSettings::kSkin, &edited));
    makeFrames = false;
    Open(&engine);
    ClearRecords();
    window->Show();
    EXPECT_EQ(log.calls,
              (std::vector<std::string>{"frame made, full build", "frame made, full build", "host RequestView 3"}));
    EXPECT_EQ(SkinName(window->GetSkin()), "Default");
    ClearRecords();
    window->Show();
    window->ShowFrame();
    EXPECT_EQ(log.calls, std::vector<std::string>{"tray #126"});
}

// The file dialogs answer from here and say what they were asked.
class Chooser : public ChooserSeam
{
public:
    Chooser() { ChooserSeam::Install(this); }
    ~Chooser() override { ChooserSeam::Install(nullptr); }
    int Answer(const Request& request, std::string& path) override
    {
        requests.push_back(request);
        if (answers.empty())
            return 0;
        path = answers.front();
        answers.erase(answers.begin());
        return path.empty() ? 0 : 1;
    }
    std::vector<Request> requests;
    std::vector<std::string> answers; // an empty one cancels
};

// Every box answers by its source name (the message id, or the title id of the save
// question); the names shown are recorded.
class Boxes : public DialogAnswerer
{
public:
    Boxes() { Dialog::SetAnswerer(this); }
    ~Boxes() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        std::string name;
        for (int i = 0; i < dialog.GetSourceName().Length(); ++i)
            name += static_cast<char>(dialog.GetSourceName().CharAt(i));
        shown.push_back(name);
        auto step = steps.find(name);
        if (step != steps.end())
            step->second(dialog);
        auto answer = answers.find(name);
        dialog.End(answer == answers.end() ? 1 : answer->second);
    }
    std::vector<std::string> shown;
    std::map<std::string, int> answers;
    std::map<std::string, std::function<void(Dialog&)>> steps; // run before the answer
};

class SessionCommandsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        view.DeleteKey(u"Last Open Path");
        view.DeleteKey(u"Last Save Path");
        Open(&engine);
        window->Show();
        engine.modified = 0;
        ClearRecords();
    }
    void TearDown() override
    {
        view.DeleteKey(u"Last Open Path");
        view.DeleteKey(u"Last Save Path");
        MainWindowTest::TearDown();
    }
    std::string Setting(const char16_t* name)
    {
        String text;
        if (!view.ReadString(name, text, nullptr))
            return "(none)";
        std::string narrow;
        for (int i = 0; i < text.Length(); ++i)
            narrow += static_cast<char>(text.CharAt(i));
        return narrow;
    }
    // The calls of the engine and the frames, without the other views' records.
    std::vector<std::string> EngineAndFrames()
    {
        std::vector<std::string> calls;
        for (const std::string& call : log.calls)
            if (call.rfind("engine ", 0) == 0 || call.rfind("frame made", 0) == 0)
                calls.push_back(call);
        return calls;
    }

    Chooser chooser;
    Boxes boxes;
};

TEST_F(SessionCommandsTest, OpenLoadsInOrderAndReportsEachResult)
{
    const struct
    {
        const char* label;
        int code;
        int adequate;
        const char* message; // "" none
        int loaded;
    } cases[] = {
        {"done", 1, 1, "", 1},
        {"done, card too small", 1, 0, "IDM_SESSION_LOAD_HARDWARE_INADEQUATE", 1},
        {"more systems", 2, 1, "IDM_PARTIAL_HARDWARE", 1},
        {"older", 3, 1, "IDM_SESSION_LOAD_FILE_VER_OLDER", 1},
        {"newer", 4, 1, "IDM_SESSION_LOAD_FILE_VER_NEWER", 0},
        {"unreadable", 0, 1, "IDM_SESSION_LOAD_FILE_INVALID", 0},
        {"rate", 6, 1, "IDM_SESSION_INVALID_SAMPLERATE", 0},
    };
    for (const auto& c : cases)
    {
        ClearRecords();
        boxes.shown.clear();
        chooser.requests.clear();
        engine.loadResult = c.code;
        engine.mixer.adequate = c.adequate;
        chooser.answers = {"C:\\Mine\\Set.session"};
        // The save question comes first: a session just loaded counts as unchanged, and the
        // working session is saved.
        std::vector<std::string> expected;
        if (window->IsJustLoaded())
            expected.push_back("engine SetModified 0");
        expected.push_back("engine SaveSession (null) 1 0");
        expected.push_back("engine LoadSession C:\\Mine\\Set.session");
        EXPECT_EQ(window->Sessions().OpenSession(0), c.loaded) << c.label;
        Serve(200);
        Delivered();
        if (c.loaded)
        {
            expected.push_back("engine SetModified 0");
            expected.push_back("frame made, full build");
            expected.push_back("engine SetModified 0");
        }
        EXPECT_EQ(EngineAndFrames(), expected) << c.label;
        EXPECT_EQ(boxes.shown, *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.label;
        std::vector<DWORD> types = {Notification::BitOf(902), Notification::BitOf(903)};
        if (c.loaded)
            types.push_back(KivKDSPASIO_Reinit);
        EXPECT_EQ(Types(publicSink), types) << c.label;
        EXPECT_EQ(window->IsJustLoaded(), c.loaded == 1 || window->IsJustLoaded()) << c.label;
        EXPECT_EQ(Setting(u"Last Open Path"), "C:\\Mine\\") << c.label;
        ASSERT_EQ(chooser.requests.size(), 1u) << c.label;
        EXPECT_EQ(chooser.requests[0].title, "Open Session");
        EXPECT_EQ(chooser.requests[0].filter, std::string("CorvanDSP Session\0*.SESSION\0All\0*.*\0", 37));
    }
    // The next open starts in the folder of the last.
    chooser.answers = {""};
    EXPECT_EQ(window->Sessions().OpenSession(0), 0) << "cancelled";
    EXPECT_EQ(chooser.requests.back().initialDirectory, "C:\\Mine\\");
}

TEST_F(SessionCommandsTest, ARateChangeOpensOnlyAFileOfTheCardsFamily)
{
    // The fake card runs at 88.2 kHz (code 4).
    const struct
    {
        int fileRate;
        int loaded;
    } cases[] = {{2, 1}, {4, 1}, {1, 0}, {6, 0}};
    for (const auto& c : cases)
    {
        ClearRecords();
        engine.fileRate = c.fileRate;
        chooser.answers = {"C:\\Mine\\Rate.session"};
        EXPECT_EQ(window->Sessions().OpenSession(1), c.loaded) << c.fileRate;
        const bool loadCalled = std::find(log.calls.begin(), log.calls.end(),
                                          "engine LoadSession C:\\Mine\\Rate.session") != log.calls.end();
        EXPECT_EQ(loadCalled, c.loaded == 1) << c.fileRate;
    }
}

TEST_F(SessionCommandsTest, SaveAnswersTheEnginesResult)
{
    // Named: saved under its own path.
    EXPECT_EQ(window->Sessions().SaveSession(), 1);
    EXPECT_EQ(EngineAndFrames(), (std::vector<std::string>{"engine SaveSession C:\\Sessions\\Live Set.session 0 1"}));
    EXPECT_EQ(Setting(u"DirtySession"), "no");

    // Untitled: asks for a path; ".session" is added unless it is there in any case.
    for (const char* chosen : {"C:\\Mine\\New", "C:\\Mine\\New.SESSION"})
    {
        ClearRecords();
        engine.mixer.sessionName = u"UNTITLED.SESSION";
        chooser.answers = {chosen};
        EXPECT_EQ(window->Sessions().SaveSession(), 1) << chosen;
        const std::string saved =
            std::string(chosen).find('.') == std::string::npos ? std::string(chosen) + ".session" : std::string(chosen);
        EXPECT_EQ(EngineAndFrames(), (std::vector<std::string>{"engine SaveSession " + saved + " 0 1"}));
        EXPECT_EQ(Setting(u"Last Save Path"), "C:\\Mine\\");
        EXPECT_EQ(chooser.requests.back().title, "Save Session As");
        EXPECT_EQ(chooser.requests.back().defaultExtension, ".session");
    }

    // A failed save keeps the session modified and says so.
    ClearRecords();
    engine.mixer.sessionName = u"Live Set";
    engine.saveResult = 0;
    EXPECT_EQ(window->Sessions().SaveSession(), 0);
    EXPECT_EQ(engine.modified, 1);
    EXPECT_EQ(Setting(u"DirtySession"), "yes");
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"IDM_SESSION_SAVE_FAILED"}));

    // Save As cancelled saves nothing and answers 0.
    ClearRecords();
    chooser.answers = {""};
    EXPECT_EQ(window->Sessions().SaveSessionAs(), 0);
    EXPECT_TRUE(EngineAndFrames().empty());
}

TEST_F(SessionCommandsTest, ThePromptSavesOrKeepsTheChanges)
{
    const struct
    {
        const char* label;
        int answer;          // of the question
        const char* chooser; // "" cancels
        int saveResult;
        std::vector<std::string> calls;
        const char* dirty;
    } cases[] = {
        {"save", 3, "", 1, {"engine SaveSession C:\\Sessions\\Live Set.session 0 1"}, "no"},
        {"save as", 2, "C:\\Mine\\As", 1, {"engine SaveSession C:\\Mine\\As.session 0 1"}, "no"},
        {"save as cancelled", 2, "", 1, {"engine SetModified 1", "engine SaveSession (null) 1 0"}, "yes"},
        {"save failed",
         3,
         "",
         0,
         {"engine SaveSession C:\\Sessions\\Live Set.session 0 1", "engine SetModified 1", "engine SetModified 1",
          "engine SaveSession (null) 1 0"},
         "yes"},
        {"no", 0, "", 1, {"engine SetModified 1", "engine SaveSession (null) 1 0"}, "yes"},
    };
    for (const auto& c : cases)
    {
        ClearRecords();
        boxes.shown.clear();
        engine.modified = 1;
        engine.saveResult = c.saveResult;
        boxes.answers["IDS_CORVANDSP_SAVE"] = c.answer;
        chooser.answers = {c.chooser};
        EXPECT_EQ(window->Sessions().PromptToSave(), 1) << c.label;
        EXPECT_EQ(EngineAndFrames(), c.calls) << c.label;
        EXPECT_EQ(Setting(u"DirtySession"), c.dirty) << c.label;
        ASSERT_FALSE(boxes.shown.empty()) << c.label;
        EXPECT_EQ(boxes.shown[0], "IDS_CORVANDSP_SAVE") << c.label;
    }
    // Unmodified: nothing is asked, the working session is saved.
    ClearRecords();
    boxes.shown.clear();
    engine.modified = 0;
    EXPECT_EQ(window->Sessions().PromptToSave(), 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(EngineAndFrames(), (std::vector<std::string>{"engine SaveSession (null) 1 0"}));
}

TEST_F(SessionCommandsTest, NewMakesTheSessionInOrderAndReportsTheResult)
{
    const struct
    {
        int code;
        bool made;
        const char* message;
    } cases[] = {{1, true, ""}, {0, false, "IDM_SESSION_LOAD_FILE_INVALID"}};
    view.WriteBool(ViewSettings::kLaunchSyncDlg, 0);
    for (const auto& c : cases)
    {
        ClearRecords();
        boxes.shown.clear();
        engine.loadResult = c.code;
        std::vector<std::string> expected;
        if (window->IsJustLoaded())
            expected.push_back("engine SetModified 0");
        expected.push_back("engine SaveSession (null) 1 0");
        expected.push_back("engine CreateEmptySession C:\\Sessions\\Untitled.session");
        EXPECT_EQ(window->Sessions().NewSession(0), c.made) << c.code;
        Serve(200);
        Delivered();
        if (c.made)
        {
            expected.push_back("engine SetModified 0");
            expected.push_back("frame made, full build");
            expected.push_back("engine SetModified 0");
        }
        EXPECT_EQ(EngineAndFrames(), expected) << c.code;
        std::vector<std::string> shown = {"newsession"};
        if (*c.message)
            shown.push_back(c.message);
        EXPECT_EQ(boxes.shown, shown) << c.code;
        std::vector<DWORD> types = {Notification::BitOf(902), Notification::BitOf(903)};
        if (c.made)
            types.push_back(KivKDSPASIO_Reinit);
        EXPECT_EQ(Types(publicSink), types) << c.code;
    }
    // Asked for, the session settings follow, and the new session starts unmodified.
    // A change there is part of the new session's set-up.
    view.WriteBool(ViewSettings::kLaunchSyncDlg, 1);
    StandinSettings store;
    engine.mixer.hardware.settings = &store;
    boxes.steps["sessionsettings"] = [](Dialog& dialog) {
        String name;
        name.AppendAscii("SoftLimit");
        auto* item = dynamic_cast<NumericItem*>(dialog.FindDataItem(name));
        ASSERT_NE(item, nullptr);
        item->SetValue(0, 1, 1, nullptr);
    };
    ClearRecords();
    boxes.shown.clear();
    engine.loadResult = 1;
    EXPECT_TRUE(window->Sessions().NewSession(0));
    EXPECT_EQ(store.values.at("SoftLimit"), 0);
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"newsession", "sessionsettings"}));
    EXPECT_EQ(engine.modified, 0);
    EXPECT_EQ(Setting(u"DirtySession"), "no");
    // Not after a rate change.
    boxes.shown.clear();
    EXPECT_TRUE(window->Sessions().NewSession(1));
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"newsession"}));
    view.DeleteKey(ViewSettings::kLaunchSyncDlg);
    boxes.steps.clear();
    engine.mixer.hardware.settings = nullptr;
    // Cancelled: nothing is made, the session counts as just loaded.
    ClearRecords();
    boxes.answers["newsession"] = 0;
    EXPECT_TRUE(window->Sessions().NewSession(0)) << "cancel answers that the flag is 0";
    EXPECT_TRUE(window->IsJustLoaded());
    EXPECT_FALSE(window->Sessions().NewSession(1)) << "cancel after a rate change settles nothing";
}

TEST_F(SessionCommandsTest, SessionSettingsMarkTheSessionForEveryChangeTheDialogWrote)
{
    StandinSettings store;
    engine.mixer.hardware.settings = &store;
    const auto change = [](Dialog& dialog) {
        String name;
        name.AppendAscii("SoftLimit");
        auto* item = dynamic_cast<NumericItem*>(dialog.FindDataItem(name));
        ASSERT_NE(item, nullptr);
        item->SetValue(0, 1, 1, nullptr);
    };
    const struct
    {
        const char* label;
        int answer;
        bool changes;
        int result;
        bool marked;
        bool told;
    } cases[] = {
        {"OK with a change", 1, true, 1, true, true},
        {"OK without", 1, false, 0, false, true},
        // What the dialog wrote stays written: the session is marked and the section told.
        {"cancel after a change", 0, true, 1, true, true},
        {"cancel without", 0, false, 1, false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        ClearRecords();
        boxes.shown.clear();
        view.WriteBool(ViewSettings::kDirtySession, 0);
        engine.modified = 0;
        store.values["SoftLimit"] = 1;
        boxes.answers["sessionsettings"] = c.answer;
        boxes.steps.clear();
        if (c.changes)
            boxes.steps["sessionsettings"] = change;
        EXPECT_EQ(window->Sessions().EditSessionSettings(), c.result);
        EXPECT_EQ(boxes.shown, std::vector<std::string>{"sessionsettings"});
        const std::vector<std::string> calls = EngineAndFrames();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "engine SetModified 1"), c.marked ? 1 : 0);
        EXPECT_EQ(Setting(u"DirtySession"), c.marked ? "yes" : "no");
        const std::vector<std::string> handled = Handled(log.calls);
        EXPECT_EQ(std::count(handled.begin(), handled.end(), "main OnEngineEvent 55 0"), c.told ? 1 : 0);
        EXPECT_EQ(store.values.at("SoftLimit"), c.changes ? 0 : 1);
    }
    engine.mixer.hardware.settings = nullptr;
}
} // namespace
