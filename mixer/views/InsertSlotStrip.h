#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/controls/PopupMenu.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/EngineEventTargets.h"
#include "mixer/views/InsertSlotRules.h"
#include "mixer/views/MainSectionParts.h"

class Dialog;
class InsertSlot;
class MainSectionView;
class MainWindowLink;
class Panel;
class Scroller;
class ScrollClient;
class Skin;
class Window;
struct PresetItemRecord;

// What an insert-slot strip asks of the frame it lives in: the effect view that shows the
// anchor insert, and the window that owns its messages and dialogs.
class InsertStripOwner
{
public:
    // Shows the insert in the effect view; null clears it.
    virtual void FocusStripEditor(IVarnInsert* insert, int force) = 0;
    virtual Window* GetDialogParent() = 0;
    // The FX palette's prompt for a new preset category: its name when one was made, else 0.
    virtual int NewPresetCategory(String& name) = 0;

protected:
    ~InsertStripOwner() = default;
};

// Where a strip's first visible insert comes from: its owner's insert scroll bar.
class InsertScrollSource
{
public:
    virtual ~InsertScrollSource() = default;
    virtual int GetFirstVisible() = 0;
    // Scrolls the owner's slots so that index is the first visible insert.
    virtual void SetFirstVisible(int index, int redraw) = 0;
    // 0: slots side by side, else one above the other.
    virtual int GetOrientation() = 0;
    // The chain's length changed: the bar takes its range again.
    virtual void UpdateRange() = 0;
};

// A scroll bar whose client (the main section, the frame) refreshes the slots it scrolls.
class BarScrollSource final : public InsertScrollSource
{
public:
    BarScrollSource(Scroller* bar, ScrollClient* client, int id) : bar_(bar), client_(client), id_(id) {}
    int GetFirstVisible() override;
    void SetFirstVisible(int index, int redraw) override;
    int GetOrientation() override;
    void UpdateRange() override;

private:
    Scroller* bar_;        // borrowed: the owner's control
    ScrollClient* client_; // borrowed
    int id_;
};

// The insert chain of one place of the mixer (a strip, an aux bus or the main bus) as a fixed
// row or column of slots on its owner's panel. It mirrors the engine's chain and stores no
// insert of its own: every refresh asks the chain again. It keeps the selection, scrolls,
// shows the anchor insert in the effect view, deletes inserts (asking first when the last ASIO
// channels would go), answers its chain's engine events, runs the slots' menu, and takes
// drops of inserts, effects and presets. User-interface thread only.
class InsertSlotStrip final : public Object, public InsertStripLink, public InsertStripTarget, public MenuListener
{
public:
    // Menu commands.
    enum Command
    {
        kDeleteSelected = 1,
        kDeleteAll = 2,
        kAddSend = 3,
        kAddSendReturn = 4,
        kAddAsioSendReturn = 5,
        kAddMeter = 6,
        kAddTrim = 7,
        kAddTestSignal = 8,
        kAddBalance = 9,
        kCreatePreset = 10,
        kSolo = 20,
        kBypass = 21,
        kBypassAll = 22,
        kUnbypassAll = 23
    };
    // "Insert Balance" goes before this menu position.
    static constexpr int kBalancePosition = 8;
    static constexpr int kDropCursor = 104;

    InsertSlotStrip(MainWindowLink& link, InsertStripOwner* owner);
    ~InsertSlotStrip() override;
    InsertSlotStrip(const InsertSlotStrip&) = delete;
    InsertSlotStrip& operator=(const InsertSlotStrip&) = delete;

    // The slots over the panel's regions of the chain's place, the chain shown; 1. slotCount
    // below 1 is taken as 1. selectedIndex is the anchor the owner shares.
    int CreateSlots(IVarnInsertChain* chain, Panel* panel, std::unique_ptr<InsertScrollSource> scroller, int slotCount,
                    int* selectedIndex, int mono);

    // A strip of the main section over the chain, scrolled by the section's bar (may be null).
    static InsertSlotStrip* ForSection(MainWindowLink& link, InsertStripOwner* owner, IVarnInsertChain* chain,
                                       MainSectionView& section, Scroller* bar, int slotCount);
    // The program-wide anchor the strip views share.
    static int* SelectedInsertIndex();

    Skin& GetSkin();
    Panel& GetPanel() { return *panel_; }
    const String& GetNamePrefix() const { return namePrefix_; }
    InsertSlot* GetSlot(int n) const;
    InsertSlotRules::SlotRect GetSlotRect(int n) const;
    int IsSlotSelected(int n) const;
    const InsertSelection& GetSelection() const { return selection_; }
    // Whether this strip shows the chain (700-748) or the insert (750-799) an event names.
    int ShowsEvent(int id, VarnEventArg argument);

    void RedrawAll();
    void FocusAnchorInsert(int force);
    void ShowContextMenu(int x, int y) override;
    int Drop(int x, int y, std::intptr_t kind, std::intptr_t data);
    // What a drag over the point shows (InsertSlotRules::DragAnswer).
    int DragOver(int x, int y, std::intptr_t kind, std::intptr_t data);
    void ScrollIntoView(int index);
    int DeleteAll();
    // The warning before inserts with the host's last ASIO channels go; 1 to go on.
    int WarnNoAsio(const int* indices, int n);

    // What the menu and the drops put into the chain; position is the chain's.
    void AddEffect(int position, PresetItemRecord* item);
    void ReplaceEffect(int position, PresetItemRecord* item);
    void LoadPreset(int position, PresetItemRecord* item);
    void ReplacePreset(int position, PresetItemRecord* item);
    void AddSpecialInsert(int command);
    void AddSendInsert();
    void AddSendReturnInsert();
    void AddAsioSendReturnInsert();
    void CreatePreset();
    // Common handling of an add's result code.
    void CheckDsp(int result, int position);

    // InsertStripLink.
    IVarnInsertChain* GetChain() override { return chain_; }
    int GetSlotCount() override { return static_cast<int>(slots_.size()); }
    int GetSlotExtent(int vertical) override;
    int GetScrollOffset() override;
    int HitTest(int x, int y) override;
    void OnMouse(int modifiers, int x, int y, int redraw, int noDrag) override;
    int QueryDrop(int x, int y, std::intptr_t kind, std::intptr_t payload) override
    {
        return Drop(x, y, kind, payload);
    }
    int IsSelected() override { return isSelected_; }
    void Select() override;
    void Deselect() override;
    IVarnInsert* GetSelectedInsert() override;
    void DeleteSelected() override;
    void Refresh() override { Refresh(1); }
    void RetryDspInserts() override;
    void AutoScroll(int screenX, int screenY) override;
    InsertStripTarget* TargetFor(int id, VarnEventArg argument) override
    {
        return ShowsEvent(id, argument) ? this : nullptr;
    }

    void Refresh(int redraw);
    int DeleteSelectedInserts();
    int GetInsertIndex(int x, int y);

    // InsertStripTarget: events 700-799 of its chain or its inserts.
    void OnEngineEvent(int id, VarnEventArg argument) override;
    // MenuListener: the slots' menu.
    void OnMenuCommand(int command) override;

private:
    int MenuPosition();
    int IsDspAvailable();
    void RefillSelection();
    void PrepareDsp();
    int ShowMessage(const char* id);
    int RunDialog(const char* name, Dialog& dialog);
    int DropFromPalette(int x, int y, PresetItemRecord* item);
    int DropInsert(int x, int y, IVarnInsert* insert);
    // Adds (replace 0) or replaces the preset at position, preparing the DSP and trying once
    // more when the engine asks.
    void PutPreset(int position, PresetItemRecord* item, int replace);
    void StartInsertDrag(IVarnInsert* insert);
    void ToggleInsertState(int command);

    MainWindowLink& link_;
    InsertStripOwner* owner_ = nullptr; // borrowed; may be null (no effect view, no dialogs' parent)
    IVarnInsertChain* chain_ = nullptr; // the engine's
    int chainId_ = 0;
    Panel* panel_ = nullptr; // borrowed: the owner's panel
    std::unique_ptr<InsertScrollSource> scroller_;
    int* selectedIndex_ = nullptr; // borrowed: shared with the owner
    std::vector<std::unique_ptr<InsertSlot>> slots_;
    InsertSelection selection_;
    String namePrefix_;
    int isSelected_ = 0;
    int menuSlot_ = -1;
    IVarnInsert* menuInsert_ = nullptr; // the insert under the last menu's click, or null
    InsertSlotRules::SlotRect bounds_;
    int mono_ = 0;
};
