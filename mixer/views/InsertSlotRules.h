#pragma once
#include <cstdint>
#include <vector>

#include "mixer/engine/VarnServices.h"

// What an insert-slot strip decides without a window: the slot geometry, the selection of a
// chain's inserts by click, Ctrl and Shift, the drag rules and the drag's click time. The
// strip (InsertSlotStrip) asks here and does the painting and the engine's work itself.
// User-interface thread only.
namespace InsertSlotRules
{
// The mouse modifiers a press hands over (the window message's key bits).
constexpr int kShift = 4;
constexpr int kControl = 8;
// The modifiers of a mouse message's key flags.
inline int PressModifiers(std::uintptr_t keyFlags)
{
    return static_cast<int>(keyFlags & static_cast<std::uintptr_t>(kShift | kControl));
}
// The index tables of deletions and presets hold at most this many inserts.
constexpr int kMaxIndices = 200;
// A skin's slot count outside 1-kMaxSlots is taken as the default: a strip needs one slot to
// read, and a hostile skin could ask for millions.
constexpr int kMaxSlots = 64;
// A press and release on an insert within this many milliseconds is a click, not a move.
constexpr uint32_t kClickTime = 250;
// The bands just outside the slot area where a drag scrolls the slots.
constexpr int kScrollBand = 20;

struct SlotRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The skin's slot count (found: whether the skin gave one), or fallback outside 1-kMaxSlots.
int SlotCountOr(int found, int value, int fallback);
// The first slot holding the point, edges included; -1 when none does.
int HitTest(const std::vector<SlotRect>& slots, int x, int y);
// The insertion place for a point on no slot: the first slot the point lies before (left of
// or above), else the slot count.
int InsertIndex(const std::vector<SlotRect>& slots, int x, int y);
// Top-left of slot 0; right and bottom the largest of all slots. Zeros without slots.
SlotRect Bounds(const std::vector<SlotRect>& slots);
// The drag scrolling's step for a point: -1 inside the band before the slot area, +1 inside
// the band after it (the band edges themselves do not scroll), else 0. vertical: the slots
// lie one above the other.
int AutoScrollStep(const SlotRect& bounds, int vertical, int x, int y);
// The first visible index that shows index (-1 or past the chain: the last insert), or -1
// when the view already shows it.
int FirstVisibleFor(int index, int count, int first, int slotCount);

// The kinds of insert that hold an effect of the DSP (not the sends).
int IsEffectKind(int kind);
// The effect inserts' indices of the chain, ascending, at most kMaxIndices; the count.
int CollectEffectInserts(IVarnInsertChain* chain, int* table);
// Whether an insert of the chain other than the given one is soloed.
int IsOtherInsertSoloed(IVarnInsertChain* chain, IVarnInsert* insert);
// Whether the insert carries a single channel (a single-channel send port, or a return port
// of one channel): such an insert belongs on a mono strip only.
int IsSingleChannelInsert(IVarnInsert* insert);
// Whether a press on the insert may start its drag: a send's port, a send/return's ports
// may carry it where it goes. A port without a list (only physical outputs have a routing
// table) counts as one that may.
int CanDragInsert(IVarnInsert* insert);
// Whether a strip (mono: its source is mono) takes the dragged insert.
int AcceptsInsert(IVarnInsert* insert, int mono);

// The drag of an insert: when it started on the ticker's clock (Timer::Now), consumed by the
// first drop.
class InsertDragClock
{
public:
    static void Started();
    // Whether a drop now ends a click rather than a move (within kClickTime of the start);
    // either way the start is used up, so the next drop is a move.
    static int DropIsClick();
    static uint32_t StartTime();

private:
    static uint32_t dragStartTime_;
};
} // namespace InsertSlotRules

// The selection flags of a chain's inserts, one per insert by its position, and the anchor
// (the last insert clicked, -1 for none) that the strip shares with its owner. Flags past the
// array (the chain grew since the last refill) are never written.
class InsertSelection
{
public:
    // One clear flag per insert.
    void Refill(int count);
    int Size() const { return static_cast<int>(flags_.size()); }
    int IsSet(int index) const;
    void Set(int index);
    void ClearAll();
    // A press on the insert index (slot + first visible) of a chain of count inserts with the
    // modifiers: Ctrl toggles an insert and clears the anchor, Shift selects from the anchor to
    // index, a plain press selects the one insert and makes index the anchor (also on an empty
    // slot). With noDrag (the right button) Ctrl and Shift change nothing. Answers whether the
    // plain press took an insert (which may then be dragged).
    int Press(int modifiers, int index, int count, int noDrag, int& anchor);
    // The set indices, ascending, at most max; the count.
    int Collect(int* table, int max) const;

private:
    std::vector<std::uint8_t> flags_;
};

// Which of the insert menu's send commands find free ports: the send, the send/return and the
// ASIO send/return, on the free tests of the chain's system (output list 4, input list 12).
// A mono strip may also use single channels.
struct InsertMenuChoices
{
    int send = 0;
    int sendReturnOutputs = 0;
    int sendReturnInputs = 0;
    int sendReturn = 0;
    int asioOutputs = 0;
    int asioInputs = 0;
    int asioSendReturn = 0;

    static InsertMenuChoices Of(IVarnInsertChain* chain, int mono);
};

namespace InsertSlotRules
{
// What a drag over an insert area shows: refused (the not-allowed cursor), over a place an
// insert goes (cursor 104), or past the slots (cursor 121).
enum DragAnswer
{
    kRefuse = 0,
    kOnSlot = 104,
    kPastSlots = 121
};
// DragDrop's value 1 of an insert's drag from its slot; value 2 is the dragged IVarnInsert.
constexpr std::intptr_t kDragInsert = 2;
// kind PresetDrag::kKind a palette item, kDragInsert an insert (accepted: it passes the mono
// rule; ownPosition: the point's position is the insert's own in its own chain); slot -1 when
// the point is on none, else position = slot + first visible.
int DragOverAnswer(std::intptr_t kind, int accepted, int slot, int position, int count, int ownPosition);
} // namespace InsertSlotRules
