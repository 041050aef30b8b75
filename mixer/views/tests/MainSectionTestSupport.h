// What the main section's tests share: the simulated engine with a card of the test's own,
// the shipped mixer skin, a recording main window and a recording frame whose insert strips
// and TV views only record what reaches them.
#pragma once

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/windows/Window.h"
#include "mixer/views/MainSectionView.h"
#include "mixer/views/MainWindowLink.h"
#include "standins/engine/StandinMainMix.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace mainsection
{
namespace fs = std::filesystem;

inline std::string ProgramFolder()
{
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    return folder.substr(0, folder.rfind('\\')) + "\\..\\..\\program";
}

inline String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

// The main window as the views see it: its events are recorded.
class RecordingLink : public MainWindowLink
{
public:
    Skin& GetSkin() override { return *skin; }
    RegistryKey& GetSettings() override { return settings; }
    IVarnServices* GetServices() override { return services; }
    void RebuildView(int id, VarnEventArg argument) override { events.emplace_back(id, argument); }
    IVarnHardware* GetCurrentSystem() override { return nullptr; }
    bool GetSessionName(String&) override { return false; }
    void NewSession() override {}
    void OpenSession() override {}
    void EditSessionSettings() override {}
    void SaveSession() override {}
    void SaveSessionAs() override {}
    void EditGlobalPreferences() override {}
    void ShowSaveMenu(int, int) override {}
    void Close() override {}

    int Count(int id) const
    {
        return static_cast<int>(std::count_if(events.begin(), events.end(), [id](auto& e) { return e.first == id; }));
    }

    Skin* skin = nullptr;
    IVarnServices* services = nullptr;
    RegistryKey settings;
    std::vector<std::pair<int, VarnEventArg>> events;
};

// Everything an insert strip or a TV view is asked, in order.
using CallLog = std::vector<std::string>;

class RecordingStrip : public InsertStripLink
{
public:
    RecordingStrip(std::string name, IVarnInsertChain* chain, int slots, CallLog& log)
        : name_(std::move(name)), chain_(chain), slots_(slots), log_(log)
    {
    }
    IVarnInsertChain* GetChain() override { return chain_; }
    int GetSlotCount() override { return slots_; }
    int GetSlotExtent(int) override { return 18; }
    int GetScrollOffset() override { return offset; }
    int HitTest(int, int y) override { return slotUnder >= 0 ? slotUnder : (y >= 0 ? -1 : -1); }
    InsertStripTarget* TargetFor(int, VarnEventArg) override { return nullptr; }
    void OnMouse(int, int, int, int focused, int right) override
    {
        Log("mouse focused=" + std::to_string(focused) + " right=" + std::to_string(right));
    }
    void ShowContextMenu(int, int) override { Log("menu"); }
    int QueryDrop(int, int, std::intptr_t kind, std::intptr_t) override
    {
        Log("drop kind=" + std::to_string(kind));
        return dropAnswer;
    }
    int IsSelected() override { return selected; }
    void Select() override
    {
        selected = 1;
        Log("select");
    }
    void Deselect() override
    {
        selected = 0;
        Log("deselect");
    }
    IVarnInsert* GetSelectedInsert() override { return nullptr; }
    void DeleteSelected() override { Log("delete"); }
    void Refresh() override { Log("refresh"); }
    void RetryDspInserts() override { Log("retry"); }
    void AutoScroll(int screenX, int screenY) override
    {
        Log("autoscroll " + std::to_string(screenX) + "," + std::to_string(screenY));
    }

    int offset = 0;
    int slotUnder = -1;
    int dropAnswer = 2;
    int selected = 0;

private:
    void Log(const std::string& what) { log_.push_back(name_ + " " + what); }
    std::string name_;
    IVarnInsertChain* chain_;
    int slots_;
    CallLog& log_;
};

class RecordingTVView : public TVAreaView
{
public:
    RecordingTVView(int mode, CallLog& log) : mode_(mode), log_(log) {}
    ~RecordingTVView() override { Log("gone"); }
    void OnOutputChanged(VarnEventArg) override { Log("output"); }
    void OnInputChanged(VarnEventArg) override { Log("input"); }
    void OnPresetListEvent(int id, VarnEventArg) override { Log("preset " + std::to_string(id)); }
    void OnEffectEvent(int id, VarnEventArg) override { Log("effect " + std::to_string(id)); }
    void OnInsertEvent(int id, VarnEventArg) override { Log("insert " + std::to_string(id)); }
    void OnStripChanged(IVarnStrip*) override { Log("strip"); }

private:
    void Log(const std::string& what) { log_.push_back("tv" + std::to_string(mode_) + " " + what); }
    int mode_;
    CallLog& log_;
};

// The frame: a plain window that holds the section, with a view mode and recording parts.
class RecordingHost : public MainSectionHost
{
public:
    int GetViewMode() override { return viewMode; }
    void SetViewMode(int mode) override
    {
        viewMode = mode;
        log.push_back("viewmode " + std::to_string(mode));
    }
    IVarnInsert* GetSelectedStripInsert() override { return nullptr; }
    InsertStripLink* CreateInsertStrip(IVarnInsertChain* chain, MainSectionView& owner, Scrollbar* bar,
                                       int slots) override
    {
        if (makeStrip)
            return makeStrip(chain, owner, bar, slots);
        const std::string name = "strip" + std::to_string(stripsMade++);
        auto* strip = new RecordingStrip(name, chain, slots, log);
        strips.push_back(strip);
        return strip;
    }
    TVAreaView* CreateTVView(int mode, MainSectionView& owner, IVarnInsert* insert) override
    {
        ++tvViewsMade;
        if (makeTVView)
            return makeTVView(mode, owner, insert);
        return new RecordingTVView(mode, log);
    }
    // The strip section, when the test gives one, has the pointer at (stripX, stripY) of its
    // client area, whatever the screen point.
    int ToStripSection(int screenX, int screenY, int& x, int& y, int& width) override
    {
        log.push_back("strips at " + std::to_string(screenX) + "," + std::to_string(screenY));
        if (!hasStripSection)
            return 0;
        x = stripX;
        y = stripY;
        width = stripWidth;
        return 1;
    }
    void ScrollStrips(int direction) override { log.push_back("scroll " + std::to_string(direction)); }
    void ShowEngineStrip(IVarnStrip* strip) override
    {
        log.push_back("show strip " + (strip ? std::to_string(strip->GetId()) : std::string("none")));
    }
    void AutoScrollStripInserts(int x, int y) override
    {
        log.push_back("strip inserts " + std::to_string(x) + "," + std::to_string(y));
    }
    void AutoScrollSectionInserts(int x, int y) override
    {
        log.push_back("section inserts " + std::to_string(x) + "," + std::to_string(y));
    }

    // When set, the insert strips come from here instead of being recorded.
    std::function<InsertStripLink*(IVarnInsertChain*, MainSectionView&, Scrollbar*, int)> makeStrip;
    // When set, the TV views come from here instead of being recorded.
    std::function<TVAreaView*(int, MainSectionView&, IVarnInsert*)> makeTVView;
    int hasStripSection = 0;
    int stripX = 0;
    int stripY = 0;
    int stripWidth = 0;
    int viewMode = 0;
    int stripsMade = 0;
    int tvViewsMade = 0;
    std::vector<RecordingStrip*> strips; // the section's; valid until it rebuilds them
    CallLog log;
};

// Hears the engine's events on its thread; the test hands them to the section on its own.
class EventQueue : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.emplace_back(id, argument);
        return 1;
    }
    std::vector<std::pair<int, VarnEventArg>> Take()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(events_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<int, VarnEventArg>> events_;
};

class Fixture : public testing::Test
{
protected:
    static constexpr const char16_t* kSettingsKey = u"Software\\Halvorn Professional\\KivCorvanDSP\\MainSectionTest";

    void SetUp() override
    {
        fs::create_directories(root_ / "program");
        fs::create_directories(root_ / "data");
        fs::create_directories(root_ / "sessions");
        String path;
        path.AppendAnsi((ProgramFolder() + "\\Skins\\Default").c_str());
        ASSERT_TRUE(skin_.Load(path, nullptr));
        link_.skin = &skin_;
        link_.services = &engine_;
        ASSERT_TRUE(link_.settings.Open("HKEY_CURRENT_USER", StringRef(kSettingsKey), 1));
        link_.settings.DeleteKey(StringRef(u"TV View Mode"));
        ASSERT_TRUE(frame_.Create(nullptr, WS_POPUP, 0, 0, 800, 600, nullptr, 0, 0));
    }

    void TearDown() override
    {
        engine_.RemoveListener(&queue_);
        section_.reset();
        engine_.Release();
    }

    // The card: the profile's lines after the defaults; status is what the engine's start
    // answers.
    void StartEngine(const std::string& profile, int status = 1)
    {
        std::ofstream(root_ / "program" / "SimulatedCard.txt") << "present=1\nsystems=1\nrate=1\n" << profile;
        ASSERT_EQ(engine_.Init((root_ / "program").u16string().c_str(), (root_ / "data").u16string().c_str(),
                               (root_ / "sessions").u16string().c_str()),
                  status);
        engine_.AddListener(&queue_);
    }

    int CreateSection(int compact)
    {
        section_ = std::make_unique<MainSectionView>();
        return section_->Create(&frame_, &host_, link_, compact, 0, 0);
    }

    IVarnMainMix* Mix() { return engine_.GetMixer()->GetHardware()->GetMainMix(); }

    // The engine's events so far, handed to the section as the dispatcher does.
    void DeliverEngineEvents()
    {
        engine_.WaitForEvents();
        for (auto& event : queue_.Take())
            section_->OnEngineEvent(event.first, event.second);
    }

    int CountLogged(const std::string& prefix)
    {
        int count = 0;
        for (const std::string& entry : engine_.GetCallLog())
            count += entry.rfind(prefix, 0) == 0;
        return count;
    }

    template <typename Item>
    Item* ItemNamed(const char* name)
    {
        return dynamic_cast<Item*>(section_->FindDataItem(Ascii(name)));
    }

    Control* ControlNamed(const char* name) { return section_->FindControl(Ascii(name)); }

    ScratchFolder scratch_{"kiv-mainsection"};
    const fs::path& root_ = scratch_.Path();
    // The engine frees itself on Release, as the program's does.
    StandinServices& engine_ = *new StandinServices;
    EventQueue queue_;
    Skin skin_;
    RecordingLink link_;
    RecordingHost host_;
    Window frame_;
    std::unique_ptr<MainSectionView> section_;
};
} // namespace mainsection
