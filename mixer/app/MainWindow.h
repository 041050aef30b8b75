#pragma once
#include <atomic>
#include <deque>
#include <memory>

#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/windows/Window.h"
#include "mixer/app/SessionCommands.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/EngineEventTargets.h"
#include "mixer/views/FXPaletteWindow.h"
#include "mixer/views/MainWindowLink.h"

class ApplicationHost;

// The mixer's main window: loads the mixer skin, owns the main frame and turns every engine
// event into view updates, tray-icon changes and notifications for the COM clients.
//
// Threads: the engine calls the listener on threads of its own. The listener only posts the
// event (with a copy of what event 54 points to) to a hidden window that Create makes on the
// user-interface thread and that lives as long as this object; everything else, the frame
// included, is made, used and destroyed on the user-interface thread. The frame is never
// destroyed inside one of its own handlers: event 1 and Close reach the hidden window as
// posted messages and run from there. A handler may still be on the stack then, serving
// messages in a loop of its own (a dialog, a menu, the system's move loop): event 1 and
// Close, and every event after them so that all keep their order, are held until no handler
// of ours runs any more.
class MainWindow : public Object, public IVarnListener, public MainWindowLink
{
public:
    // The hidden window's timer that looks whether held events can run.
    static constexpr UINT_PTR kHeldTimer = 1;
    static constexpr UINT kHeldCheckMs = 50;

    MainWindow();
    ~MainWindow() override;

    // Makes the frame; tests hand in their own. Set before Create.
    void SetFrameFactory(MainFrameFactory factory) { frameFactory_ = std::move(factory); }

    // Loads the mixer skin (falling back to "Default"), makes the hidden window and listens
    // to the engine; 0, or -1 on failure.
    int Create(IVarnServices* services, ApplicationHost* host);
    // Creates the frame with a full build when missing and brings it forward.
    void Show();
    // Creates the frame without a full build when missing, then the tray icon rule.
    void ShowFrame();
    void BringForward();
    // To the main section, when frame and section exist.
    void ShowRate(int rateCode);
    void ShowSync(int external, int locked);
    // A session load succeeded; the first event that changes the session clears the mark.
    void OnSessionLoaded() { justLoaded_ = true; }
    bool IsJustLoaded() const { return justLoaded_; }
    MainFrameTarget* GetFrame() const { return frame_.get(); }

    // MainWindowLink
    Skin& GetSkin() override { return skin_; }
    RegistryKey& GetSettings() override { return settings_; }
    IVarnServices* GetServices() override { return services_; }
    void RebuildView(int id, VarnEventArg argument) override;
    IVarnHardware* GetCurrentSystem() override;
    bool GetSessionName(String& name) override;
    void NewSession() override { sessions_.NewSession(0); }
    void OpenSession() override { sessions_.OpenSession(0); }
    void EditSessionSettings() override { sessions_.EditSessionSettings(); }
    void SaveSession() override { sessions_.SaveSession(); }
    void SaveSessionAs() override { sessions_.SaveSessionAs(); }
    void EditGlobalPreferences() override { sessions_.EditGlobalPreferences(); }
    void ShowSaveMenu(int x, int y) override { sessions_.ShowSaveMenu(x, y); }
    void Close() override;
    // The session commands with their results (the rate change and the application use them).
    SessionCommands& Sessions() { return sessions_; }
    void RefreshTrayTip();
    ApplicationHost* GetHost() const { return host_; }

    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override;

private:
    class EventWindow;

    // Loads the chosen skin (reload: into an emptied skin); 0 when it does not load or the
    // choice is not a folder name under Skins.
    int LoadSkin(int reload);
    // Makes "Default" the chosen skin and loads it into an emptied skin.
    int FallBackToDefaultSkin();
    void MakeFrame(bool fullBuild);
    // What reaches the hidden window.
    void OnPosted(UINT message, WPARAM wParam, LPARAM lParam);
    // An event, or the frame's close (kCloseId), as it reaches the hidden window: run now, or
    // held behind the ones held already.
    static constexpr int kCloseId = -1;
    void Receive(int id, VarnEventArg argument, std::unique_ptr<VarnSyncTime> time);
    void Run(int id, VarnEventArg argument, const VarnSyncTime* time);
    void OnHeldTimer();
    // The dispatcher proper; time is event 54's data (null without).
    void Dispatch(int id, VarnEventArg argument, const VarnSyncTime* time);
    // False when the row ended early (no common end).
    bool Handle(int id, VarnEventArg argument, const VarnSyncTime* time);
    // The dispatcher's rows (in the source file) and what they call.
    struct Route;
    static const Route kRoutes[];
    MainSectionTarget* GetMainSection() const;
    bool OnRebuildView(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnSessionTitle(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnRateChange(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnSyncSourceChange(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnSyncStatus(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnSyncTime(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnHardwareChange(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnFrameRefresh(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnStripAdded(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnStripRemoved(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnStripChanged(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnReinit(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool ToStripView(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool ToMainSection(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnOutputChanged(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnInputChanged(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnRefreshFit(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool ToMainSectionEffects(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnInsertEvent(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnInsertSlotEvent(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool OnPresetListEvent(int id, VarnEventArg argument, const VarnSyncTime* time);
    bool ToEffectPalette(int id, VarnEventArg argument, const VarnSyncTime* time);
    void CommonEnd(int id);
    void ApplyTrayIconRule();
    void SendReinit();
    void RefreshFit();
    bool ReinitForOutput(VarnEventArg port);

    IVarnServices* services_ = nullptr; // borrowed from the application
    ApplicationHost* host_ = nullptr;   // borrowed
    int listening_ = 0;
    Skin skin_;
    PresetViewFactory viewFactory_; // the skin's views: the FX palette's tree
    RegistryKey settings_;
    MainFrameFactory frameFactory_;
    std::unique_ptr<MainFrameTarget> frame_;
    std::unique_ptr<EventWindow> eventWindow_;
    std::atomic<HWND> eventHandle_{nullptr}; // what the engine's threads post to
    bool justLoaded_ = false;
    bool defaultSkin_ = false; // the skin loaded last is "Default"
    bool viewMissing_ = false; // no frame could be made, from the chosen skin nor from "Default"
    struct HeldEvent
    {
        int id;
        VarnEventArg argument;
        std::unique_ptr<VarnSyncTime> time;
    };
    std::deque<HeldEvent> held_;
    SessionCommands sessions_{*this};
};
