#pragma once
#include <memory>
#include <vector>

#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/Scroller.h"
#include "framework/platform/Timer.h"
#include "framework/platform/cursor/Cursor.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/EngineEventTargets.h"
#include "mixer/views/FrameSections.h"
#include "mixer/views/MainMeterItem.h"
#include "mixer/views/MainSectionParts.h"

class MainWindowLink;
class Scrollbar;

// The panel at the right of the mixer window: main and monitor mix, aux sends and returns,
// the main meters with their clip lights, the sample rate and sync source, the insert strips
// of the main bus and of the first two aux buses, and the TV area, which shows the effect,
// inputs or outputs view. Every value lives in the engine: the view mirrors engine values into
// its items without telling itself (so nothing goes back to the engine), and sends the user's
// edits to the engine, marks the session modified and raises event 78 with the main window.
// User-interface thread only.
class MainSectionView : public Panel,
                        public MainSectionFace,
                        public MainMixSource,
                        public ScrollClient,
                        public TimerListener,
                        public MenuListener
{
public:
    // Timer argument of the drag scrolling.
    static constexpr int kDragTimer = 12;
    // The frame's view modes the section takes part in: its first layout and the insert mode.
    static constexpr int kFirstMode = 1;
    static constexpr int kInsertMode = 2;

    MainSectionView() = default;
    ~MainSectionView() override;

    // Builds the items, the skin panel "mainSection" (compact: "mainSectionCompact") as a
    // child of the frame at (x, y) with the id, and the status; 0 when the skin has no such
    // panel or the window cannot be made. host may be null: no strips, no TV views, no frame
    // requests.
    int Create(Window* frame, MainSectionHost* host, MainWindowLink& link, int compact, int x, int y, int id = 0);
    // Copies every engine value into the items, rebuilds the insert strips and the TV area,
    // and shows or removes the no-DSP warning. After each session load.
    void UpdateStatus() override;
    // Engine events 55 and 300-399 (others pass by).
    void OnEngineEvent(int id, VarnEventArg argument) override;
    // The dispatcher's forwarders to the TV views: each reaches only the view of its kind.
    void OnOutputChanged(VarnEventArg argument) override;
    void OnInputChanged(VarnEventArg argument) override;
    void OnPresetListEvent(int id, VarnEventArg argument) override;
    void OnEffectEvent(int id, VarnEventArg argument) override;
    void OnInsertEvent(int id, VarnEventArg argument) override;
    // To the inputs or outputs view, when shown and not compact.
    void OnStripChanged(IVarnStrip* strip) override;

    // 0 effect view, 1 inputs, 2 outputs; nothing in the compact form. While one of the shown
    // view's handlers runs, the change waits until the view says it is idle.
    void ShowTVArea(int mode);
    void ClearTVArea();
    // The shown TV view and its mode (-1 when none).
    TVAreaView* GetTVView() const { return tvView_.get(); }
    int GetTVViewMode() const { return tvView_ ? tvViewMode_ : -1; }
    // Modes 0-2 set "tvMode" with redraw and notification (the TV area follows); others are
    // ignored.
    void SetTVMode(int mode);

    // Whether every insert of the aux and main chains has its hardware.
    bool HasItsHardware() override;

    // Rate codes 0-5 show their text and light "srlocked"; others only clear "srlocked".
    void ShowSampleRate(int code) override;
    // "EXTERNAL" or "INTERNAL", then the session's rate when locked, else none.
    void ShowSyncSource(int external, int locked) override;

    // The frame's view mode changes: entering 2 selects the focused insert strip (the first
    // aux strip, else the main strip, when none is), leaving 2 deselects it.
    void OnEnterInsertMode(int mode);
    void OnLeaveInsertMode(int mode);

    // MainSectionFace: the frame's layout 0 is its mode 2, layout 1 its mode 1.
    Window& GetWindow() override { return *this; }
    void EnterViewMode(int layout) override { OnEnterInsertMode(layout ? kFirstMode : kInsertMode); }
    void LeaveViewMode(int layout) override { OnLeaveInsertMode(layout ? kFirstMode : kInsertMode); }
    // The aux or main insert strip that shows the event's chain or insert, or null.
    InsertStripTarget* FindInsertStrip(int id, VarnEventArg argument) override;
    void AutoScrollInserts(int screenX, int screenY) override;
    // The anchor insert the section's insert strips share.
    int* GetSelectedInsertIndex() { return &selectedInsertIndex_; }
    void FocusInsertStrip(InsertStripLink* strip);
    InsertStripLink* GetFocusedInsertStrip() const { return focusedStrip_; }
    int GetLastDropSlot() const { return lastDropSlot_; }

    void UpdateAuxInsertsScroll(int notify);
    void UpdateMainInsertsScroll(int notify);
    void RefreshInserts();
    void RefreshDspInserts();

    int IsCompact() const { return compact_; }
    // The main window the section was made for (the TV views read the skin and settings).
    MainWindowLink& GetLink() const { return *link_; }
    // The frame's side of the section; null when it was made without one.
    MainSectionHost* GetHost() const { return host_; }
    int GetAuxCount() const { return static_cast<int>(auxSends_.size()); }
    int GetAuxStripCount() const { return static_cast<int>(auxStrips_.size()); }
    InsertStripLink* GetAuxStrip(int index) const;
    InsertStripLink* GetMainStrip() const { return mainStrip_.get(); }

    // MainMixSource: the main-mix object of the engine's hardware description.
    IVarnMainMix* GetMainMix() override;

    // Window and panel hooks.
    void OnCreate() override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnMouseMove(WPARAM flags, int x, int y) override;
    void OnRightButtonDown(WPARAM flags, int x, int y) override;
    void OnRightButtonUp(WPARAM flags, int x, int y) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    int OnDragOver(int x, int y, intptr_t kind, intptr_t payload) override;
    int OnDrop(int x, int y, intptr_t kind, intptr_t payload) override;
    // A value control's right click opens the control context menu for its item.
    void OnRightClickControl(Control* control) override;

    // ControlListener: the buttons and the user's edits.
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

    // ScrollClient: the two insert scroll bars.
    void AttachScroller(Scroller* scroller, int id) override;
    void OnScrollPosition(int position, Scroller* scroller, int id) override;
    void OnLineUp(int position, Scroller* scroller, int id) override;
    void OnLineDown(int position, Scroller* scroller, int id) override;
    void OnPageUp(int position, Scroller* scroller, int id) override;
    void OnPageDown(int position, Scroller* scroller, int id) override;
    void OnScrollerNotify(Scroller* scroller, int id) override;
    void OnScrollEnd() override {}

    void OnTimerTick(int32_t argument) override;
    // The shown TV view became idle (WindowMessage::kTVViewIdle): a view change that waited
    // for it goes ahead.
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The control context menu's command, for the item it was opened on.
    void OnMenuCommand(int command) override;

private:
    // The items of the engine's values; without a main mix they are empty and unbounded.
    void BuildItems(IVarnMainMix* mix);
    // Mirrors the engine's values into the items without notifying this view.
    void MirrorLevels(IVarnMainMix* mix);
    // index: one of the section's aux items.
    void MirrorAux(IVarnMainMix* mix, int index, int send);
    void UpdateDspWarning(IVarnMainMix* mix);
    void RebuildInsertStrips(int redraw);
    void DeleteInsertStrips();
    void UpdateInsertsScroll(Scrollbar* bar, int& lastPosition, int maxCount, InsertStripLink* geometry, int notify);
    // The strips a bar scrolls, refreshed after its position changed.
    void OnBarPositionChanged(Scroller* scroller);
    // The strip of the insert area under the point (aux 1, aux 2, main, in that order), and
    // whether the point lies in an area at all.
    InsertStripLink* StripAt(int x, int y, int& inArea);
    int IsAuxStrip(const InsertStripLink* strip) const;
    // Sends one user edit to the engine; 0 when the item is none of the section's.
    int SendEdit(IVarnMainMix* mix, DataItem* item);
    void PostToFrame(WPARAM first, LPARAM second);
    void SwitchFrameToInsertMode();
    void ShowNotAllowed();
    void ApplyCursor(const Cursor& cursor);

    Window* frame_ = nullptr;         // borrowed: the parent
    MainSectionHost* host_ = nullptr; // borrowed; may be null
    MainWindowLink* link_ = nullptr;  // borrowed
    IVarnMainMix* mainMix_ = nullptr; // the engine's; re-read on every refresh
    int compact_ = 0;

    RealItem* mixLevel_ = nullptr; // items are the panel's
    RealItem* monitorLevel_ = nullptr;
    RealItem* monitorBalance_ = nullptr;
    FlagItem* monitorMute_ = nullptr;
    FlagItem* clipLeft_ = nullptr;
    FlagItem* clipRight_ = nullptr;
    MainMeterItem* meters_[2] = {};
    std::vector<RealItem*> auxSends_;
    std::vector<RealItem*> auxReturns_;
    TextItem* sampleRate_ = nullptr;
    FlagItem* srLocked_ = nullptr;
    TextItem* syncSource_ = nullptr;
    IntItem* tvMode_ = nullptr;

    std::unique_ptr<TVAreaView> tvView_;
    int tvViewMode_ = -1;
    int heldTVMode_ = -1; // the mode to show once the busy view is idle; -1 for none

    Scrollbar* auxScrollBar_ = nullptr; // the panel's controls
    Scrollbar* mainScrollBar_ = nullptr;
    int auxScrollPos_ = 0;
    int mainScrollPos_ = 0;
    int wheelOnAux_ = 0;

    std::vector<std::unique_ptr<InsertStripLink>> auxStrips_;
    std::unique_ptr<InsertStripLink> mainStrip_;
    InsertStripLink* focusedStrip_ = nullptr; // one of the strips above, or null
    int lastDropSlot_ = -1;
    int selectedInsertIndex_ = 0;

    DataItem* menuItem_ = nullptr; // the item of the open control context menu (the panel's)
    Timer dragTimer_;
    Cursor dropCursor_;   // resource 104: over a slot
    Cursor appendCursor_; // resource 121: no slot under the pointer
};
