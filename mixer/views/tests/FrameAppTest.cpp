// The main frame and its toolbars under Wine, built from the shipped mixer skin for a main
// window that records what it is asked, with the stand-in engine's hardware systems.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/controls/DataItem.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/FrameSections.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MSTVInputsView.h"
#include "mixer/views/MainSectionView.h"
#include "mixer/views/MainToolbar.h"
#include "mixer/views/MixerGroupToolbar.h"
#include "mixer/views/MixerStripsToolbar.h"
#include "mixer/views/StripSection.h"
#include "mixer/views/StripView.h"
#include "mixer/views/tests/RecordingMainWindow.h"
#include "standins/engine/EngineModel.h"
#include "tests/support/MessagePump.h"

namespace
{
using viewstest::ModelServices;
using viewstest::Narrow;
using viewstest::RecordingLink;
using viewstest::Text;

// A view of another part, as the frame drives it: a plain child or popup window that
// records its view modes.
class RecordingWindow : public Window
{
};

class RecordingStrips : public StripSectionFace
{
public:
    RecordingStrips(Window& parent, int x, int y, int width, int height, int total, std::string& trace)
        : total_(total), trace_(trace)
    {
        window_.Create(nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, &parent, 0, 0);
    }
    Window& GetWindow() override { return window_; }
    int GetTotalWidth() override { return total_; }
    void EnterViewMode() override { trace_ += "+strips"; }
    void LeaveViewMode() override { trace_ += "-strips"; }
    int OnKeyDown(WPARAM key, LPARAM) override
    {
        trace_ += "key" + std::to_string(key);
        return 1;
    }
    int GetMaxInsertCount() override { return 8; }
    int GetInsertRowHeight() override { return 20; }
    int GetVisibleInsertRows() override { return 4; }
    void RelayInsertRows() override { trace_ += "relay"; }
    void CreateStrip() override { trace_ += "create"; }
    void DeleteStrip() override { trace_ += "delete"; }
    void AddStripView(IVarnStrip*) override { trace_ += "add"; }
    void RemoveStripView(VarnEventArg id) override { trace_ += "remove" + std::to_string(id); }
    void UpdateStrip(VarnEventArg id) override { trace_ += "update" + std::to_string(id); }
    void RefreshForEvent(int id, VarnEventArg) override { trace_ += "refresh" + std::to_string(id); }
    IVarnHardware* GetCurrentSystem() override { return nullptr; }
    InsertStripTarget* FindInsertStrip(int, VarnEventArg) override { return nullptr; }
    IVarnInsert* GetSelectedInsert() override { return nullptr; }
    void AutoScrollFirstStripInserts(int, int) override {}
    StripViewTarget* FindStripView(VarnEventArg) override { return nullptr; }
    bool HasItsHardware() override { return true; }
    void FocusEngineStrip(IVarnStrip* strip, int ensureVisible) override
    {
        trace_ += "focus" + std::to_string(strip ? strip->GetId() : -1) + "/" + std::to_string(ensureVisible);
    }

private:
    RecordingWindow window_;
    int total_;
    std::string& trace_;
};

class RecordingMain : public MainSectionFace
{
public:
    RecordingMain(Window& parent, std::string& trace) : trace_(trace)
    {
        // No size: the frame is laid out as for the strips alone.
        window_.Create(nullptr, WS_CHILD, 0, 0, 0, 0, &parent, 0, 0);
    }
    Window& GetWindow() override { return window_; }
    void EnterViewMode(int layout) override { trace_ += "+main" + std::to_string(layout); }
    void LeaveViewMode(int layout) override { trace_ += "-main" + std::to_string(layout); }
    int OnKeyDown(WPARAM, LPARAM) override { return 0; }
    InsertStripTarget* FindInsertStrip(int, VarnEventArg) override { return nullptr; }
    void AutoScrollInserts(int x, int y) override
    {
        trace_ += "inserts@" + std::to_string(x) + "," + std::to_string(y);
    }
    void OnEngineEvent(int, VarnEventArg) override {}
    void OnOutputChanged(VarnEventArg) override {}
    void OnInputChanged(VarnEventArg) override {}
    void OnPresetListEvent(int, VarnEventArg) override {}
    void OnEffectEvent(int, VarnEventArg) override {}
    void OnInsertEvent(int, VarnEventArg) override {}
    void UpdateStatus() override {}
    void ShowSampleRate(int) override {}
    void ShowSyncSource(int, int) override {}
    bool HasItsHardware() override { return true; }
    void OnStripChanged(IVarnStrip* strip) override
    {
        ++stripChanges;
        lastStrip = strip;
    }

    int stripChanges = 0;
    IVarnStrip* lastStrip = nullptr;

private:
    RecordingWindow window_;
    std::string& trace_;
};

// The floating windows: a popup each.
class RecordingPalette : public FxPaletteFace
{
public:
    Window& GetWindow() override { return window; }
    void OnAppEvent(int, VarnEventArg) override {}
    void RefreshFit() override {}
    RecordingWindow window;
};

class RecordingSyncPanel : public SyncPanelFace
{
public:
    Window& GetWindow() override { return window; }
    void OnSyncStatus(VarnEventArg) override {}
    void ShowSyncTime(const VarnSyncTime&) override {}
    RecordingWindow window;
};

// The views of other parts, made on request; stripsWidth 0: no strip section.
class RecordingSections : public FrameSections
{
public:
    std::unique_ptr<StripSectionFace> CreateStripSection(FrameApp& frame, MainWindowLink&, int x, int y, int width,
                                                         int height, int) override
    {
        if (!stripsWidth)
            return nullptr;
        return std::make_unique<RecordingStrips>(frame, x, y, width, height, stripsWidth, trace);
    }
    std::unique_ptr<MainSectionFace> CreateMainSection(FrameApp& frame, MainSectionHost&, MainWindowLink&, int, int,
                                                       int, int) override
    {
        return std::make_unique<RecordingMain>(frame, trace);
    }
    std::unique_ptr<FxPaletteFace> CreateFxPalette(FrameApp& frame, MainWindowLink&) override
    {
        return Floating<RecordingPalette>(frame, "palette");
    }
    std::unique_ptr<SyncPanelFace> CreateSyncPanel(FrameApp& frame, MainWindowLink&) override
    {
        return Floating<RecordingSyncPanel>(frame, "sync");
    }

    int stripsWidth = 0;
    std::string trace;

private:
    template <class Face>
    std::unique_ptr<Face> Floating(FrameApp& frame, const char* name)
    {
        trace += std::string("+") + name;
        auto face = std::make_unique<Face>();
        if (!face->window.Create(nullptr, WS_POPUP | WS_VISIBLE, 600, 40, 80, 60, &frame, 0, 0))
            return nullptr;
        return face;
    }
};

// Answers every dialog with result and records its source name.
class Answer : public DialogAnswerer
{
public:
    Answer() { Dialog::SetAnswerer(this); }
    ~Answer() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        dialog.End(result);
    }
    std::vector<std::string> shown;
    int result = 0;
};

RECT WindowRect(const Window& window)
{
    RECT rect = {};
    ::GetWindowRect(window.GetHandle(), &rect);
    return rect;
}

RECT WorkArea(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    ::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

class FrameAppTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(viewstest::LoadMixerSkin(link_.skin));
        // A key of each test's own: nothing one test stores reaches another.
        const std::string key =
            std::string("Software\\KivViewsTest\\") + testing::UnitTest::GetInstance()->current_test_info()->name();
        String wide;
        wide.AppendAscii(key.c_str());
        ASSERT_TRUE(link_.settings.Open("HKEY_CURRENT_USER", wide, 1));
    }

    void Store(const char16_t* name, const char* value)
    {
        const String text = Text(value);
        link_.settings.WriteString(name, &text);
    }
    std::string Stored(const char16_t* name)
    {
        String text;
        return link_.settings.ReadString(name, text, nullptr) ? Narrow(text) : std::string("(missing)");
    }
    // A frame as the main window makes it, shown.
    std::unique_ptr<FrameApp> Open(int show = 1)
    {
        auto frame = std::make_unique<FrameApp>();
        frame->SetSections(sections_);
        EXPECT_EQ(frame->Create(&link_, show), 1);
        return frame;
    }
    static void Resize(FrameApp& frame, int width)
    {
        RECT rect = WindowRect(frame);
        ::SetWindowPos(frame.GetHandle(), nullptr, 0, 0, width, rect.bottom - rect.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    RecordingLink link_;
    RecordingSections sections_;
};

TEST_F(FrameAppTest, AStoredWidthBelow470OpensAt470AndOnlyWidthsAbove420AreStored)
{
    Store(u"width", "300");
    auto frame = Open();
    RECT rect = WindowRect(*frame);
    EXPECT_EQ(rect.right - rect.left, 470);
    EXPECT_EQ(rect.bottom - rect.top, 360 + 80 + 16) << "the strip area is as high as bg_stripNormal";

    Resize(*frame, 430);
    EXPECT_EQ(Stored(u"width"), "430");
    Resize(*frame, 400);
    EXPECT_EQ(WindowRect(*frame).right - WindowRect(*frame).left, 400);
    EXPECT_EQ(Stored(u"width"), "430") << "a width of 420 or less is not stored";
}

TEST_F(FrameAppTest, APlaceOffEveryScreenOpensInsideTheWorkArea)
{
    struct Row
    {
        const char* label;
        const char* x;
        const char* y;
    };
    const Row rows[] = {
        {"y below every monitor", "20", "5000"},
        {"y above every monitor", "20", "-3000"},
        {"x and y far off", "-9000", "9000"},
        {"running off the right edge", "1200", "20"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        Store(u"XPos", row.x);
        Store(u"YPos", row.y);
        auto frame = Open();
        const RECT rect = WindowRect(*frame);
        const RECT work = WorkArea(frame->GetHandle());
        EXPECT_GE(rect.left, work.left);
        EXPECT_GE(rect.top, work.top);
        EXPECT_LE(rect.right, work.right);
        EXPECT_LE(rect.bottom, work.bottom);
        EXPECT_EQ(rect.right - rect.left, 470) << "the width is kept where it fits";
    }
}

TEST_F(FrameAppTest, FittingTheWidthAndMovingOffScreenKeepTheFrameOnScreen)
{
    // Three strips in an area of 366 pixels: the frame shrinks to the strips, and moves to
    // the stored place, which lies off every monitor.
    sections_.stripsWidth = 3 * 76;
    Store(u"XPos", "40");
    Store(u"YPos", "7000");
    auto frame = Open();
    RECT rect = WindowRect(*frame);
    const RECT work = WorkArea(frame->GetHandle());
    EXPECT_EQ(rect.right - rect.left, 3 * 76 + 88 + 16);
    EXPECT_EQ(rect.left, 40);
    EXPECT_LE(rect.bottom, work.bottom);
    EXPECT_GE(rect.top, work.top);

    // Dragged off every monitor: the frame comes back, and what is stored is on screen.
    ::SetWindowPos(frame->GetHandle(), nullptr, 30, 8000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    rect = WindowRect(*frame);
    EXPECT_LE(rect.bottom, work.bottom);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(Stored(u"YPos"), std::to_string(rect.top));
    EXPECT_EQ(Stored(u"XPos"), "30");
}

TEST_F(FrameAppTest, TabCyclesTheViewModes)
{
    sections_.stripsWidth = 10 * 76;
    auto frame = Open();
    frame->SetViewMode(FrameLayout::kModeStrips);
    EXPECT_EQ(frame->GetViewMode(), 0);
    std::string modes;
    for (int i = 0; i < 5; ++i)
    {
        ::SendMessageA(frame->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
        modes += std::to_string(frame->GetViewMode());
    }
    EXPECT_EQ(modes, "12340");
    EXPECT_EQ(sections_.trace, "+strips-strips-strips+main1-main1-main1+main0-main0-main0+strips");

    // Other keys go to the current mode's view.
    sections_.trace.clear();
    ::SendMessageA(frame->GetHandle(), WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(sections_.trace, "key81");
}

TEST_F(FrameAppTest, WithoutAStripSectionTheStripModeIsTheMainSection)
{
    auto frame = Open();
    frame->SetViewMode(FrameLayout::kModeStrips);
    EXPECT_EQ(frame->GetViewMode(), 2);
    ::SendMessageA(frame->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    ::SendMessageA(frame->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(frame->GetViewMode(), 4);
}

TEST_F(FrameAppTest, MessagesReachTheDispatcherAndTheToolbarsToggles)
{
    auto frame = Open();
    ::SendMessageA(frame->GetHandle(), WindowMessage::kEngineEvent, 55, 1234);
    ::SendMessageA(frame->GetHandle(), WindowMessage::kEngineEvent, 804, -1);
    ASSERT_EQ(link_.calls.size(), 2u);
    EXPECT_EQ(link_.calls[0], "RebuildView 55 1234");
    EXPECT_EQ(link_.calls[1], "RebuildView 804 -1");

    MainToolbar* toolbar = frame->GetMainToolbar();
    ASSERT_NE(toolbar, nullptr);
    auto flag = [toolbar](const char* name) {
        auto* item = static_cast<FlagItem*>(toolbar->FindDataItem(Text(name)));
        return item ? item->value : -1;
    };
    ::SendMessageA(frame->GetHandle(), WindowMessage::kToolbarRequest, FrameApp::kCollapse, 1);
    EXPECT_EQ(flag("fxVisible"), 0) << "collapse changes nothing";
    EXPECT_EQ(flag("syncsettings"), 0);

    ::SendMessageA(frame->GetHandle(), WindowMessage::kToolbarRequest, FrameApp::kFxVisible, 1);
    EXPECT_EQ(flag("fxVisible"), 1);
    EXPECT_NE(frame->GetFxPalette(), nullptr) << "the item's change shows the palette";
    EXPECT_EQ(Stored(u"FX palette visible"), "yes");

    ::SendMessageA(frame->GetHandle(), WindowMessage::kToolbarRequest, FrameApp::kSyncSettings, 1);
    EXPECT_EQ(flag("syncsettings"), 1);
    EXPECT_NE(frame->GetSyncPanel(), nullptr);
    EXPECT_EQ(Stored(u"Sync Panel Visible"), "yes");
    EXPECT_EQ(Stored(u"Sync UI Panel"), "yes");

    ::SendMessageA(frame->GetHandle(), WindowMessage::kToolbarRequest, FrameApp::kFxVisible, 0);
    EXPECT_EQ(frame->GetFxPalette(), nullptr);
    EXPECT_EQ(Stored(u"FX palette visible"), "no");
}

TEST_F(FrameAppTest, TheGroupToolbarFollowsTheHardwareFeatures)
{
    struct Row
    {
        const char* label;
        std::set<int> features;
        const char* element;
        int sync;
        bool dock;
    };
    const Row rows[] = {
        {"card alone", {0}, "mixerGroupToolbar", 0, true},
        {"second model: sync is feature 10", {0, 9, 10}, "mixerGroupToolbar3", 1, true},
        {"second model without 10 ignores 3", {0, 3, 9}, "mixerGroupToolbar3", 0, true},
        {"small box: no dock, no I/O card", {0, 2, 4}, "mixerGroupToolbar2", 0, false},
        {"third model", {0, 9, 11}, "mixerGroupToolbar4", 0, true},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        ModelServices services(row.features);
        link_.services = &services;
        auto frame = Open();
        MixerGroupToolbar* toolbar = frame->GetGroupToolbar();
        ASSERT_NE(toolbar, nullptr);
        EXPECT_EQ(Narrow(toolbar->GetName()), row.element);
        auto* sync = static_cast<FlagItem*>(toolbar->FindDataItem(Text("sync")));
        ASSERT_NE(sync, nullptr);
        EXPECT_EQ(sync->value, row.sync);
        EXPECT_EQ(toolbar->FindDataItem(Text("dock")) != nullptr, row.dock);
        EXPECT_EQ(toolbar->FindDataItem(Text("iocard")) != nullptr, row.dock);
        frame.reset();
    }
    link_.services = nullptr;
}

TEST_F(FrameAppTest, SyncSettingsOnWarnsAboutTheSecondMidiPort)
{
    struct Row
    {
        const char* label;
        std::set<int> features;
        int midiSource;
        int answer;
        bool warned;
        int sourceAfter;
    };
    const Row rows[] = {
        {"port not set: warned, OK sets it", {0, 3}, 0, 1, true, 1},
        {"port not set: warned, cancel leaves it", {0, 3}, 0, 0, true, 0},
        {"port already set: no warning", {0, 3}, 1, 1, false, 1},
        {"the small box needs no port", {0, 3, 4}, 0, 1, false, 0},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        ModelServices services(row.features);
        services.Hardware()->settings.values["MidiInput2Src"] = row.midiSource;
        link_.services = &services;
        auto frame = Open();
        Answer answer;
        answer.result = row.answer;
        auto* item = static_cast<FlagItem*>(frame->GetMainToolbar()->FindDataItem(Text("syncsettings")));
        ASSERT_NE(item, nullptr);
        item->SetValue(1.0f, 1, 1, nullptr);
        EXPECT_EQ(!answer.shown.empty(), row.warned);
        if (row.warned)
        {
            ASSERT_EQ(answer.shown.size(), 1u);
            EXPECT_EQ(answer.shown[0], "midiport2warning");
        }
        EXPECT_EQ(services.Hardware()->settings.values["MidiInput2Src"], row.sourceAfter);
        EXPECT_NE(frame->GetSyncPanel(), nullptr) << "the panel opens whatever the answer";
        frame.reset();
    }
    link_.services = nullptr;
}

TEST_F(FrameAppTest, TheMainToolbarHidesSyncWithoutTheSyncCardAndRunsTheSessionCommands)
{
    ModelServices services({0});
    link_.services = &services;
    auto frame = Open();
    MainToolbar* toolbar = frame->GetMainToolbar();
    ASSERT_NE(toolbar, nullptr);
    Control* sync = toolbar->FindControl(Text("sync_settings"));
    ASSERT_NE(sync, nullptr);
    EXPECT_TRUE(sync->IsHidden());
    for (const char* name : {"newsession", "opensession", "savesession", "sessionsettings", "globalpreferences"})
    {
        Control* control = toolbar->FindControl(Text(name));
        ASSERT_NE(control, nullptr) << name;
        toolbar->OnControlNotify(toolbar, control, 0);
    }
    const std::vector<std::string> expected = {"NewSession", "OpenSession", "ShowSaveMenu", "EditSessionSettings",
                                               "EditGlobalPreferences"};
    EXPECT_EQ(link_.calls, expected);
    frame->OnMenuCommand(FrameApp::kSaveCommand);
    frame->OnMenuCommand(FrameApp::kSaveAsCommand);
    EXPECT_EQ(link_.calls.back(), "SaveSessionAs");
    EXPECT_EQ(link_.calls[link_.calls.size() - 2], "SaveSession");
    // 23 of the frame's about menu opens the about box (answered here).
    {
        Answer answer;
        answer.result = 1;
        frame->OnMenuCommand(23);
        EXPECT_EQ(answer.shown, std::vector<std::string>{"aboutinfo"});
    }

    // "S" opens the sync panel only with the sync card.
    ::SendMessageA(frame->GetHandle(), WM_KEYDOWN, 'S', 0);
    EXPECT_EQ(frame->GetSyncPanel(), nullptr);
    frame.reset();
    ModelServices withSync({0, 3});
    link_.services = &withSync;
    frame = Open();
    ::SendMessageA(frame->GetHandle(), WM_KEYDOWN, 'S', 0);
    EXPECT_NE(frame->GetSyncPanel(), nullptr);
    ::SendMessageA(frame->GetHandle(), WM_KEYDOWN, 'S', 0);
    EXPECT_EQ(frame->GetSyncPanel(), nullptr);
    frame.reset();
    link_.services = nullptr;
}

TEST_F(FrameAppTest, TheSessionNameShowsTheModifiedMark)
{
    struct Row
    {
        const char* label;
        const char* dirty; // null: missing
        const char* engineName;
        const char* stored;
        const char* shown;
    };
    const Row rows[] = {
        {"modified", "yes", "Mix.session", "Old.session", "Mix.session*"},
        {"saved", "no", "Mix.session", "Old.session", "Mix.session"},
        {"no name from the model: the stored one", "yes", nullptr, "Old.session", "Old.session*"},
        {"no dirty flag yet: unmodified", nullptr, "Mix.session", "Old.session", "Mix.session"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        link_.settings.DeleteKey(u"DirtySession");
        if (row.dirty)
            Store(u"DirtySession", row.dirty);
        Store(u"LastSavedSession", row.stored);
        link_.sessionName = row.engineName;
        auto frame = Open();
        Panel* panel = frame->GetSessionNamePanel();
        ASSERT_NE(panel, nullptr);
        auto* text = static_cast<TextControl*>(panel->FindControl(Text("sessionname")));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(Narrow(text->GetText()), row.shown);
        EXPECT_EQ(Stored(u"DirtySession"), row.dirty ? row.dirty : "yes");
        EXPECT_EQ(Stored(u"LastSavedSession"), row.engineName ? row.engineName : row.stored);
    }
}

TEST_F(FrameAppTest, TheFloatingWindowsComeBackAfterTheFrameGoes)
{
    Store(u"FX palette visible", "yes");
    auto frame = Open();
    ASSERT_NE(frame->GetFxPalette(), nullptr) << "shown because it was visible";
    frame->ShowSyncPanel(1);
    ASSERT_NE(frame->GetSyncPanel(), nullptr);
    const HWND palette = static_cast<RecordingPalette*>(frame->GetFxPalette())->window.GetHandle();
    frame.reset();
    EXPECT_FALSE(::IsWindow(palette));
    EXPECT_EQ(Stored(u"FX palette visible"), "yes");
    EXPECT_EQ(Stored(u"Sync UI Panel"), "yes");

    // The next frame (a restart, a rebuild) shows the palette again.
    sections_.trace.clear();
    frame = Open();
    EXPECT_NE(frame->GetFxPalette(), nullptr);
    EXPECT_EQ(sections_.trace, "+palette");
}

TEST_F(FrameAppTest, AHiddenFrameHidesItsFloatingWindows)
{
    Store(u"FX palette visible", "yes");
    auto frame = Open(0);
    EXPECT_FALSE(::IsWindowVisible(frame->GetHandle()));
    EXPECT_EQ(frame->GetFxPalette(), nullptr) << "a hidden frame does not show the palette";
    frame->RestoreWindows();
    EXPECT_TRUE(::IsWindowVisible(frame->GetHandle()));
    EXPECT_NE(frame->GetFxPalette(), nullptr) << "the palette left open comes back with the frame";
}

TEST_F(FrameAppTest, TheStripCommandsAndTheWheelReachTheStripSection)
{
    sections_.stripsWidth = 10 * 76;
    auto frame = Open();
    sections_.trace.clear();
    frame->CreateStrip();
    frame->DeleteStrip();
    EXPECT_EQ(sections_.trace, "createdelete");
    // What the dispatcher reaches through the frame.
    sections_.trace.clear();
    MainFrameTarget& target = *frame;
    target.AddStripView(nullptr);
    target.RemoveStripView(3);
    target.UpdateStrip(4);
    target.RefreshForEvent(76, 0);
    EXPECT_EQ(sections_.trace, "addremove3update4refresh76");
    // The two refreshes reach the main section too, with the strip when there is one.
    auto* main = dynamic_cast<RecordingMain*>(target.GetMainSection());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->stripChanges, 2);
    EXPECT_EQ(main->lastStrip, nullptr);
    EXPECT_NE(target.GetStripSection(), nullptr);
    EXPECT_NE(target.GetMainSection(), nullptr);
    EXPECT_TRUE(target.HasSessionSection());
    // Eight insert rows with four visible: the wheel scrolls the rows first.
    sections_.trace.clear();
    ::SendMessageA(frame->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(sections_.trace, "relay");
    // A palette drag hands the pointer to the main section's insert strips through the frame.
    sections_.trace.clear();
    frame->GetSectionHost().AutoScrollSectionInserts(30, 40);
    EXPECT_EQ(sections_.trace, "inserts@30,40");
}
} // namespace

namespace
{
// The frame as the program makes it, with the program's own main section over the stand-in's
// main mix.
class FrameWithMainSectionTest : public FrameAppTest
{
protected:
    void SetUp() override
    {
        FrameAppTest::SetUp();
        link_.services = &services_;
        frame_ = std::make_unique<FrameApp>();
        ASSERT_EQ(frame_->Create(&link_, 1), 1);
    }
    void TearDown() override
    {
        frame_.reset();
        link_.services = nullptr;
    }

    MainSectionView* Section() { return dynamic_cast<MainSectionView*>(frame_->GetMainSection()); }
    IVarnMainMix* Mix() { return services_.Hardware()->GetMainMix(); }
    float RealValue(const char* name)
    {
        auto* item = dynamic_cast<RealItem*>(Section()->FindDataItem(Text(name)));
        return item ? item->value : -1000.0f;
    }
    // Switches the view mode and waits until the section has the form of that mode.
    void SwitchTo(int mode, int compact)
    {
        frame_->SetViewMode(mode);
        EXPECT_TRUE(PumpUntil([&] { return frame_->IsMainSectionCompact() == compact; }, 20000)) << mode;
    }
    RECT ClientRectOf(HWND window)
    {
        RECT rect = {};
        ::GetWindowRect(window, &rect);
        ::MapWindowPoints(nullptr, frame_->GetHandle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    ModelServices services_{{0, 3}};
    std::unique_ptr<FrameApp> frame_;
};

TEST_F(FrameWithMainSectionTest, TheFrameHoldsTheProgramsMainSectionAtItsRight)
{
    MainSectionView* section = Section();
    ASSERT_NE(section, nullptr) << "the dispatcher's main-section target is the real section";
    EXPECT_EQ(section->IsCompact(), 0) << "the frame opens with the full section";
    EXPECT_EQ(::GetParent(section->GetHandle()), frame_->GetHandle());
    EXPECT_EQ(::GetDlgCtrlID(section->GetHandle()), 10);

    // The section sits inside the right piece, below the top piece; the strips beside it are
    // the card's four (narrower than the 470 the frame offers them, so the frame fits them)
    // and the frame is high enough for it and the session name and main toolbar below it.
    const RECT frameRect = WindowRect(*frame_);
    const RECT placed = ClientRectOf(section->GetHandle());
    const int width = frameRect.right - frameRect.left;
    const int height = frameRect.bottom - frameRect.top;
    const int sectionWidth = placed.right - placed.left;
    Rect content;
    frame_->GetContentRect(content);
    EXPECT_EQ(content.left, 88) << "the skin's left column holds the strips toolbar";
    EXPECT_EQ(content.top, 80) << "the skin's top row holds the title and the group toolbar";
    EXPECT_EQ(placed.right, width - 16);
    EXPECT_EQ(placed.top, content.top);
    EXPECT_EQ(width, content.left + 16 + 4 * 76 + sectionWidth);
    EXPECT_EQ(height, placed.bottom + 90);
    const RECT sessionName = ClientRectOf(frame_->GetSessionNamePanel()->GetHandle());
    const RECT toolbar = ClientRectOf(frame_->GetMainToolbar()->GetHandle());
    EXPECT_GE(sessionName.top, placed.bottom) << "the session name is below the section";
    EXPECT_GE(toolbar.top, placed.bottom) << "the main toolbar is below the section";

    // The strips begin at the content origin; the strips and group toolbars lie in the frame's
    // top row and left column, below the title row, side by side, clear of the strips and the
    // section.
    auto* strips = dynamic_cast<StripSection*>(static_cast<MainFrameTarget&>(*frame_).GetStripSection());
    ASSERT_NE(strips, nullptr) << "the program's strip section";
    const RECT stripArea = ClientRectOf(strips->GetHandle());
    EXPECT_EQ(stripArea.left, content.left);
    EXPECT_EQ(stripArea.top, content.top);
    ASSERT_NE(frame_->GetStripsToolbar(), nullptr);
    ASSERT_NE(frame_->GetGroupToolbar(), nullptr);
    const RECT stripsBar = ClientRectOf(frame_->GetStripsToolbar()->GetHandle());
    const RECT group = ClientRectOf(frame_->GetGroupToolbar()->GetHandle());
    EXPECT_GE(stripsBar.top, 16);
    EXPECT_GE(group.top, 16);
    EXPECT_LE(stripsBar.right, group.left) << "the group toolbar covers the strips toolbar's buttons";
    EXPECT_LE(group.right, placed.left);
    RECT overlap = {};
    EXPECT_FALSE(::IntersectRect(&overlap, &stripsBar, &stripArea)) << "the strips cover the strips toolbar";
    EXPECT_FALSE(::IntersectRect(&overlap, &group, &stripArea)) << "the strips cover the group toolbar";
    EXPECT_EQ(
        ::ChildWindowFromPointEx(frame_->GetHandle(), POINT{stripsBar.left + 1, stripsBar.top + 1}, CWP_SKIPINVISIBLE),
        frame_->GetStripsToolbar()->GetHandle())
        << "the strips toolbar is the window a press on it reaches";
}

TEST_F(FrameWithMainSectionTest, ModeOneMakesTheCompactSectionAndModeTwoTheFullOne)
{
    const int fullHeight = WindowRect(*frame_).bottom - WindowRect(*frame_).top;
    SwitchTo(FrameLayout::kModeMainFirst, 1);
    ASSERT_NE(Section(), nullptr);
    EXPECT_EQ(Section()->IsCompact(), 1);
    EXPECT_EQ(frame_->GetViewMode(), FrameLayout::kModeMainFirst);
    EXPECT_EQ(WindowRect(*frame_).bottom - WindowRect(*frame_).top, 360 + 80 + 16)
        << "the compact section fits beside the strip area";
    EXPECT_EQ(::GetDlgCtrlID(Section()->GetHandle()), 10);

    SwitchTo(FrameLayout::kModeMainSecond, 0);
    ASSERT_NE(Section(), nullptr);
    EXPECT_EQ(Section()->IsCompact(), 0);
    EXPECT_EQ(WindowRect(*frame_).bottom - WindowRect(*frame_).top, fullHeight);

    // Tab goes on to the main toolbar's mode: the full section stays.
    MainSectionView* full = Section();
    ::SendMessageA(frame_->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(frame_->GetViewMode(), FrameLayout::kModeToolbar);
    EXPECT_EQ(Section(), full);

    // The section's own collapse and expand buttons post their form to the frame.
    frame_->PostMessage(WindowMessage::kToolbarRequest, FrameApp::kMainSectionForm, 0);
    EXPECT_TRUE(PumpUntil([&] { return frame_->IsMainSectionCompact() == 1; }, 20000));
    EXPECT_EQ(frame_->GetViewMode(), FrameLayout::kModeMainFirst);
    frame_->PostMessage(WindowMessage::kToolbarRequest, FrameApp::kMainSectionForm, 1);
    EXPECT_TRUE(PumpUntil([&] { return frame_->IsMainSectionCompact() == 0; }, 20000));
    EXPECT_EQ(frame_->GetViewMode(), FrameLayout::kModeMainSecond);
}

TEST_F(FrameWithMainSectionTest, AMenuOfTheFrameClosesWhenTheFrameGoes)
{
    frame_->ShowAboutMenu();
    ASSERT_NE(PopupMenu::Current(), nullptr);
    frame_.reset();
    EXPECT_EQ(PopupMenu::Current(), nullptr);
}

TEST_F(FrameWithMainSectionTest, TheEditorFocusShowsTheInsertInTheEffectView)
{
    MainSectionView* section = Section();
    ASSERT_NE(section, nullptr);
    section->SetTVMode(2);
    ASSERT_NE(section->GetTVView(), nullptr) << "the outputs view";
    EXPECT_EQ(dynamic_cast<MSTVFXView*>(section->GetTVView()), nullptr);
    StandinBus bus(2);
    StandinInsert insert(&bus, 0);
    insert.kind = 1;
    bus.count = 1;
    bus.inserts = {&insert};
    frame_->FocusStripEditor(&insert, 0);
    auto* view = dynamic_cast<MSTVFXView*>(section->GetTVView());
    ASSERT_NE(view, nullptr) << "the TV area switched to the effect view";
    EXPECT_EQ(section->GetTVViewMode(), 0);
    EXPECT_EQ(view->GetInsert(), &insert);
    // Inside the section's TV border, at the skin's place.
    RECT placed = {};
    ::GetWindowRect(view->GetHandle(), &placed);
    ::MapWindowPoints(nullptr, section->GetHandle(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 16);
    EXPECT_EQ(placed.top, 360);
    EXPECT_LE(placed.right, 8 + 304);
    EXPECT_LE(placed.bottom, 352 + 192);
    frame_->FocusStripEditor(nullptr, 0);
    EXPECT_EQ(view->GetInsert(), nullptr);
    EXPECT_EQ(MSTVFXView::GetCurrentInsert(), nullptr);
    // Without the view, a cleared focus forgets the remembered insert.
    section->SetTVMode(1);
    MSTVFXView::SetCurrentInsert(&insert);
    frame_->FocusStripEditor(nullptr, 0);
    EXPECT_EQ(MSTVFXView::GetCurrentInsert(), nullptr);
}

TEST_F(FrameWithMainSectionTest, APressOnAnInputRowFocusesTheStripItFeeds)
{
    MainSectionView* section = Section();
    ASSERT_NE(section, nullptr);
    auto* strips = dynamic_cast<StripSection*>(static_cast<MainFrameTarget&>(*frame_).GetStripSection());
    ASSERT_NE(strips, nullptr);
    strips->ClearFocus();
    // The card's last strip plays its first stereo input.
    StandinHardware* card = services_.Hardware();
    ASSERT_GE(card->strips.size(), 2u);
    auto* input = static_cast<StandinInput*>(card->GetInputList()->GetInput(2, 0));
    ASSERT_NE(input, nullptr);
    input->assigned = true;
    input->strip = card->strips.back().get();
    section->SetTVMode(1);
    auto* inputs = dynamic_cast<MSTVInputsView*>(section->GetTVView());
    ASSERT_NE(inputs, nullptr);
    MSTVInputsList* list = inputs->GetInputsList();
    ASSERT_NE(list, nullptr);
    MSTVInputsViewItem* feeding = nullptr;
    for (int i = 0; i < list->GetRowCount() && !feeding; ++i)
        if (list->GetItem(i)->FindStrip())
            feeding = list->GetItem(i);
    ASSERT_NE(feeding, nullptr) << "the stereo input's row";
    IVarnStrip* strip = feeding->FindStrip();
    EXPECT_EQ(strip, card->strips.back().get());
    feeding->OnMouseDown(MK_LBUTTON, 2, 2);
    feeding->OnMouseUp(0, 2, 2);
    StripView* focused = strips->FindFocusedStripView();
    ASSERT_NE(focused, nullptr) << "the press selects the strip";
    EXPECT_EQ(focused->GetEngineStrip(), strip);
    EXPECT_EQ(focused->GetVisualState(), StripView::kFocused);
}

TEST_F(FrameWithMainSectionTest, TheEnginesEventsReachTheSectionThroughTheFrame)
{
    // The dispatcher asks the frame for its main section and hands it the event; the engine
    // changed the value before (and the section mirrors it without sending it back).
    MainFrameTarget& target = *frame_;
    float minimum = 0.0f, maximum = 0.0f;
    ASSERT_TRUE(Mix()->GetMainRange(&minimum, &maximum));
    const float level = minimum + (maximum - minimum) / 4;
    ASSERT_TRUE(Mix()->SetMainLevel(level, 0));
    float sendMinimum = 0.0f, sendMaximum = 0.0f;
    ASSERT_TRUE(Mix()->GetAux(2)->GetSendRange(&sendMinimum, &sendMaximum));
    ASSERT_TRUE(Mix()->GetAux(2)->SetSendLevel((sendMinimum + sendMaximum) / 3, 0));
    ASSERT_NE(target.GetMainSection(), nullptr);
    target.GetMainSection()->OnEngineEvent(300, 0);
    target.GetMainSection()->OnEngineEvent(304, 2);
    EXPECT_FLOAT_EQ(RealValue("mixlevel"), level);
    EXPECT_FLOAT_EQ(RealValue("auxsend3"), Mix()->GetAux(2)->GetSendLevel());
    target.GetMainSection()->ShowSyncSource(1, 0);
    target.GetMainSection()->ShowSampleRate(2);
    auto* rate = dynamic_cast<TextItem*>(Section()->FindDataItem(Text("SampleRate")));
    auto* source = dynamic_cast<TextItem*>(Section()->FindDataItem(Text("SampleRateType")));
    ASSERT_NE(rate, nullptr);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(Narrow(rate->text), "96.0kHz");
    EXPECT_EQ(Narrow(source->text), "EXTERNAL");
    EXPECT_TRUE(link_.calls.empty()) << "mirrored values raise no event 78";

    // After the switch to the compact form the dispatcher reaches the new section.
    SwitchTo(FrameLayout::kModeMainFirst, 1);
    ASSERT_TRUE(Mix()->SetMainLevel(minimum, 0));
    target.GetMainSection()->OnEngineEvent(300, 0);
    EXPECT_FLOAT_EQ(RealValue("mixlevel"), minimum);

    // A user edit goes to the engine once and raises 78 with the main window.
    auto* item = dynamic_cast<RealItem*>(Section()->FindDataItem(Text("mixlevel")));
    ASSERT_NE(item, nullptr);
    item->SetValue(maximum, 1, 1, nullptr);
    EXPECT_FLOAT_EQ(Mix()->GetMainLevel(), maximum);
    EXPECT_EQ(link_.calls, std::vector<std::string>{"RebuildView 78 0"});
}
} // namespace
