#pragma once
#include <cstdint>
#include <memory>

#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "framework/platform/Timer.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/EngineEventTargets.h"

class FlagItem;
class InsertSlotStrip;
class MainWindowLink;
class RealItem;
class StripGroup;
class TextItem;

// One engine strip on screen: a skinned panel from the template of its kind with the strip's
// sends, gain, pan, mute, solo, user text and, on a stereo synth, its 32 MIDI channel
// toggles. A user edit goes to the engine at once (then "set modified" and event 78); the
// strip's engine events update the items without telling the view, so nothing is echoed. The
// view also runs the strip's focus, its drag-move to another place in its group, its menu and
// its deletion. Its group owns it. User-interface thread only.
class StripView : public Panel, public MenuListener, public TimerListener, public StripViewTarget
{
public:
    // Kinds and their templates.
    enum Kind
    {
        kMonoAudio = 0,
        kStereoAudio = 1,
        kStereoSynth = 2,
        kFxSend = 3,
        kNoKind = 4
    };
    // Visual states and their skin states.
    enum VisualState
    {
        kNormal = 0,
        kFocused = 1,
        kDragSource = 2,
        kDragTarget = 3,
        kNotCreated = 4
    };
    // The strip's menu.
    enum Command
    {
        kDelete = 1,
        kNewStrip = 3,
        kMute = 7,
        kSolo = 8,
        kLoadDsp = 9
    };
    static constexpr int kDragTimer = 10;
    static constexpr int kDragCursor = 127;
    static constexpr int kKeyDelete = 46;

    StripView() = default;
    // Clears the drop target and then the focus when they are this view.
    ~StripView() override;

    // Items, template and header, then the window as a child of the group with the position as
    // its id; 0 when the panel or its template cannot be made.
    int Create(StripGroup* group, MainWindowLink& link, int position, IVarnStrip* engineStrip);

    void UpdateHeader();
    void RefreshInputTag();
    void RefreshNoDspIcon();
    void UpdateIndex();

    // StripViewTarget: events 100-112 and 201-232 of the strip.
    void OnEngineEvent(int id) override;
    IVarnStrip* GetEngineStrip() override { return engineStrip_; }

    // Whether the mixer still finds this view's engine strip by its id.
    int IsCurrent();
    int IsMonoSource();
    int IsStereoSynthSource();
    int IsFxSendSource();
    // Applies the skin state of the visual state (only while current and when it changes).
    int ApplyVisualState(int state, int redraw);
    int PositionInGroup();
    // Strip operation 27 while current.
    int LoadDsp(int flag);
    // The view of the same group under a screen point (edges included), or null.
    StripView* StripAtScreen(int screenX, int screenY);

    int GetStripId() const { return stripId_; }
    int GetKind() const { return kind_; }
    int GetVisualState() const { return visualState_; }
    int GetInsertSlotCount() const { return insertSlotCount_; }
    // The strip's insert slots; null when the strip has no insert chain.
    InsertSlotStrip* GetInsertSlots() const { return insertSlots_.get(); }
    int GetTitlePressed() const { return titlePressed_; }
    StripGroup* GetGroup() const { return group_; }

    // Asks to delete the strip of the id: the confirmation, the no-ASIO warning, then the
    // engine. The strip is found again after each question (the questions' loops hear the
    // engine, which may move or remove strips and this view with them): nothing happens once
    // it is gone. 1 when it was removed.
    static int ConfirmDelete(MainWindowLink& link, Window* owner, int stripId);
    // The strip's DSP, asking to reclaim and retry when it fails.
    static void LoadDspWithRetry(MainWindowLink& link, Window* owner, int stripId);

    // Window and panel hooks.
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnMouseMove(WPARAM flags, int x, int y) override;
    void OnRightButtonDown(WPARAM flags, int x, int y) override;
    void OnRightButtonUp(WPARAM flags, int x, int y) override;
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;
    void OnRightClickControl(Control* control) override;
    // Effects, presets and inserts dragged over and dropped on the insert area.
    int OnDragOver(int x, int y, intptr_t kind, intptr_t payload) override;
    int OnDrop(int x, int y, intptr_t kind, intptr_t payload) override;

    // ControlListener (the panel's own).
    int OnControlNotify(Panel*, Control*, int) override { return 1; }
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    // MenuListener: the strip's menu and the control menu.
    void OnMenuCommand(int command) override;
    // TimerListener: the drag-move's scrolling.
    void OnTimerTick(int32_t argument) override;

    // The strip's context menu at the pointer.
    void ShowContextMenu();
    // Ends a drag-move without moving anything (the view goes, or lost the mouse).
    void CancelDrag();

private:
    void StartDragMove();
    void EndDragMove(int screenX, int screenY);
    void SetTagColour(uint32_t colour);
    void Edited();
    Window* Frame();
    IVarnMixer* Mixer();

    StripGroup* group_ = nullptr;       // borrowed: the parent
    MainWindowLink* link_ = nullptr;    // borrowed
    IVarnStrip* engineStrip_ = nullptr; // the engine's
    int insertSlotCount_ = 6;
    int kind_ = kNoKind;
    int visualState_ = kNotCreated;
    RealItem* sends_[2] = {}; // items are the panel's
    RealItem* gain_ = nullptr;
    RealItem* panLeft_ = nullptr;
    RealItem* panRight_ = nullptr;
    FlagItem* mute_ = nullptr;
    FlagItem* solo_ = nullptr;
    FlagItem* limit_ = nullptr;
    FlagItem* limitStatus_ = nullptr;
    TextItem* userText_ = nullptr;
    FlagItem* synthChannels_[32] = {};
    int stripId_ = -1;
    Timer dragTimer_;
    int titlePressed_ = 0;
    int dragging_ = 0;             // this view runs the drag-move
    DataItem* menuItem_ = nullptr; // the item of the open control menu (the panel's)
    // Last, so that its slots leave the panel before the panel's controls go.
    std::unique_ptr<InsertSlotStrip> insertSlots_;
};

// The program-wide strip focus and drag state.
StripView* FocusedStrip();
StripView* DropTargetStrip();
int StripDragActive();
void SetFocusedStrip(StripView* view, int state, int force, int redraw);
void SetStripDropTarget(StripView* view);
