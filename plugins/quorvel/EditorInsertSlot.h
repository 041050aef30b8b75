#pragma once
// The editor's fourteen insert slots: this instance's chain in the main panel's regions
// "insert_slot_0".."13", scrolled by "insertsScrollbar" (its position is the first visible
// row). It keeps the selection and the focused insert, paints each slot from the skin,
// lights small meters in the slots of peak meters, offers "VSTPPInsertContextMenu" and adds,
// replaces, moves and deletes inserts through the chain. GUI thread.
//
// Inserts are read while holding the chain and never across a modal dialog; meters and the
// effect view name inserts by identity, so one that setChunk or the services thread removes
// is simply gone.

#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/ScrolledContent.h"
#include "plugins/quorvel/EditorMainPanel.h"
#include "plugins/quorvel/EditorRules.h"

#include <cstdint>
#include <memory>
#include <vector>

class Control;
class InsertChain;
class InsertEffect;
class PeakMeter;
class PresetEntry;
class RealItem;

class EditorInsertSlot final : public EditorMessageListener, public MenuListener, public ScrolledContent
{
public:
    static constexpr int32_t kSlots = SlotSelection::kVisibleSlots;
    static constexpr int32_t kRowHeight = 23;
    static constexpr int32_t kPageHeight = 322;

    // scrollBar: the panel's "insertsScrollbar" (borrowed); chain: the link's (borrowed).
    EditorInsertSlot(EditorMainPanel& panel, Scroller* scrollBar, InsertChain& chain);
    ~EditorInsertSlot();
    EditorInsertSlot(const EditorInsertSlot&) = delete;
    EditorInsertSlot& operator=(const EditorInsertSlot&) = delete;

    // The main panel's region of a visible slot: "insert_slot_" and its number.
    static String SlotRegion(int32_t slot);

    int32_t FirstVisible() const { return ScrollPosition(); }
    // The chain's length, read while holding it.
    int32_t Length();
    const SlotSelection& Selection() const { return selection_; }
    int32_t Current() const { return selection_.Current(); }
    int32_t MeterCount() const { return static_cast<int32_t>(meters_.size()); }
    // The meter item of the slot meter of that insert (0 left, 1 right), null without one.
    RealItem* MeterItem(uint32_t identity, int side) const;

    void ClickSlot(int32_t slot, int32_t keys);
    // Repaints the fourteen slots.
    void Rebuild();
    bool HasInsertAt(int32_t slot);
    // The scroll bar follows the chain's length, then the slots are repainted.
    void Refresh();
    // A palette item dropped on a slot: added at it, or loaded onto its insert.
    bool AddAt(const PresetEntry& entry, int32_t slot);
    bool ReplaceAt(const PresetEntry& entry, int32_t slot);
    // Chain rows: to is the row the insert goes before (the length: the end).
    bool Move(int32_t from, int32_t to);
    void DeleteSelected();
    void RemoveAll();
    // At the cursor; false when no menu is shown.
    bool ShowContextMenu(int32_t slot);
    // A menu command as if chosen (tests drive the menu through it too).
    void RunCommand(int32_t command);
    void RefreshMeters(bool processing);
    // Moves the first visible row by delta, within the bar's range.
    void ScrollBy(int32_t delta);
    void OnScrollEnd() override;

    void OnEditorMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam, intptr_t cookie) override;
    void OnMenuCommand(int commandId) override;
    void AttachScroller(Scroller* scroller, int id) override;

private:
    struct SlotMeter
    {
        uint32_t identity = 0;
        int32_t row = 0;
        int32_t params[2] = {-1, -1}; // the insert's left and right meter parameters
        PeakMeter* meters[2] = {};    // owned by the panel's controls
        std::unique_ptr<RealItem> items[2];
    };

    void ScrollContents(int) override { Rebuild(); }
    // The identity of the insert at a chain row, 0 for none.
    uint32_t IdentityAt(int32_t row);
    void ShowCurrent(bool force);
    void DropSlotControls();
    void AddSlotImage(const char* image, int x, int y);
    void AddSlotText(const String& text, const char* font, int x, int y);
    void PaintSlot(int32_t slot, int32_t row, InsertEffect* insert, uint32_t* shown);
    void AddMeter(InsertEffect& insert, int32_t row, int x, int y);
    void RemoveMeter(uint32_t identity);
    void RemoveMeters();
    void AddSpecial(int32_t kind);
    void PresetFromInserts();
    InsertMenuFacts MenuFacts(int32_t slot);

    EditorMainPanel& panel_;
    Scroller* scrollBar_; // borrowed: the panel's control
    InsertChain& chain_;  // borrowed: the link's
    bool registered_ = false;
    bool disconnected_ = false;
    SlotSelection selection_;
    std::vector<Control*> slotControls_; // owned by the panel's controls
    std::vector<std::unique_ptr<SlotMeter>> meters_;
    int32_t menuSlot_ = -1;
};
