#include "mixer/views/InsertSlotRules.h"

#include <algorithm>

#include "framework/platform/Timer.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/PresetDrag.h"

namespace InsertSlotRules
{
int SlotCountOr(int found, int value, int fallback)
{
    return found && value >= 1 && value <= kMaxSlots ? value : fallback;
}

int HitTest(const std::vector<SlotRect>& slots, int x, int y)
{
    for (size_t n = 0; n < slots.size(); ++n)
    {
        const SlotRect& r = slots[n];
        if (r.left <= x && x <= r.right && r.top <= y && y <= r.bottom)
            return static_cast<int>(n);
    }
    return -1;
}

int InsertIndex(const std::vector<SlotRect>& slots, int x, int y)
{
    for (size_t n = 0; n < slots.size(); ++n)
        if (x < slots[n].left || y < slots[n].top)
            return static_cast<int>(n);
    return static_cast<int>(slots.size());
}

SlotRect Bounds(const std::vector<SlotRect>& slots)
{
    SlotRect bounds;
    if (slots.empty())
        return bounds;
    bounds = slots[0];
    for (const SlotRect& r : slots)
    {
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

int AutoScrollStep(const SlotRect& bounds, int vertical, int x, int y)
{
    const int point = vertical ? y : x;
    const int low = vertical ? bounds.top : bounds.left;
    const int high = vertical ? bounds.bottom : bounds.right;
    if (low - kScrollBand < point && point < low)
        return -1;
    if (high < point && point < high + kScrollBand)
        return 1;
    return 0;
}

int FirstVisibleFor(int index, int count, int first, int slotCount)
{
    if (index < 0 || index >= count)
        index = count - 1;
    if (index < 0)
        return -1;
    if (index < first)
        return index;
    if (index >= first + slotCount)
        return index - slotCount + 1;
    return -1;
}

int IsEffectKind(int kind)
{
    return kind != InsertKind::kSend && kind != InsertKind::kSendReturn && kind != InsertKind::kAsioSendReturn;
}

int CollectEffectInserts(IVarnInsertChain* chain, int* table)
{
    std::fill(table, table + kMaxIndices, 0);
    const int count = chain ? std::min(chain->GetCount(), kMaxIndices) : 0;
    int n = 0;
    for (int i = 0; i < count; ++i)
    {
        IVarnInsert* insert = chain->GetInsert(i);
        if (insert && IsEffectKind(insert->GetKind()))
            table[n++] = i;
    }
    return n;
}

int IsOtherInsertSoloed(IVarnInsertChain* chain, IVarnInsert* insert)
{
    const int count = chain ? chain->GetCount() : 0;
    for (int i = 0; i < count; ++i)
    {
        IVarnInsert* other = chain->GetInsert(i);
        if (other && other != insert && other->IsSoloed())
            return 1;
    }
    return 0;
}

int IsSingleChannelInsert(IVarnInsert* insert)
{
    const int kind = insert->GetKind();
    if (kind != InsertKind::kSend && kind != InsertKind::kSendReturn && kind != InsertKind::kAsioSendReturn)
        return 0;
    IVarnOutput* send = insert->GetOutputPort();
    if (send && send->IsSingleChannel())
        return 1;
    if (kind == InsertKind::kSend)
        return 0;
    IVarnInput* back = insert->GetInputPort();
    return back && back->GetChannelCount() == 1 ? 1 : 0;
}

int CanDragInsert(IVarnInsert* insert)
{
    auto outputCarries = [](IVarnOutput* port) {
        IVarnRoutingTable* table = port->GetRoutingTable();
        return table ? table->MayCarry(port->GetKind(), port->GetIndex()) : 1;
    };
    auto inputCarries = [](IVarnInput* port) {
        IVarnInputList* list = port->GetList();
        return list ? list->MayCarry(port->GetKind(), port->GetIndex()) : 1;
    };
    const int kind = insert->GetKind();
    IVarnOutput* send = insert->GetOutputPort();
    if (kind == InsertKind::kSend)
        return !send || outputCarries(send) ? 1 : 0;
    if (kind == InsertKind::kSendReturn)
    {
        IVarnInput* back = insert->GetInputPort();
        if (!send || !back)
            return 1;
        return inputCarries(back) && outputCarries(send) ? 1 : 0;
    }
    return 1;
}

int AcceptsInsert(IVarnInsert* insert, int mono)
{
    return insert && (mono || !IsSingleChannelInsert(insert)) ? 1 : 0;
}

uint32_t InsertDragClock::dragStartTime_ = 0xFFFFFFFFu;

void InsertDragClock::Started()
{
    dragStartTime_ = Timer::Now();
}

int InsertDragClock::DropIsClick()
{
    const uint32_t elapsed = Timer::Now() - dragStartTime_;
    if (elapsed > kClickTime)
        return 0;
    dragStartTime_ = 0xFFFFFFFFu;
    return 1;
}

uint32_t InsertDragClock::StartTime()
{
    return dragStartTime_;
}
} // namespace InsertSlotRules

void InsertSelection::Refill(int count)
{
    flags_.assign(count > 0 ? static_cast<size_t>(count) : 0u, 0);
}

int InsertSelection::IsSet(int index) const
{
    return index >= 0 && index < Size() ? flags_[static_cast<size_t>(index)] : 0;
}

void InsertSelection::Set(int index)
{
    if (index >= 0 && index < Size())
        flags_[static_cast<size_t>(index)] = 1;
}

void InsertSelection::ClearAll()
{
    std::fill(flags_.begin(), flags_.end(), 0);
}

int InsertSelection::Press(int modifiers, int index, int count, int noDrag, int& anchor)
{
    if (modifiers & InsertSlotRules::kControl)
    {
        // Only an insert the array has: a chain grown since the last refill is not written past.
        if (!noDrag && index < count && index >= 0 && index < Size())
        {
            flags_[static_cast<size_t>(index)] ^= 1;
            anchor = -1;
        }
        return 0;
    }
    if (modifiers & InsertSlotRules::kShift)
    {
        if (!noDrag)
        {
            ClearAll();
            for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i)
                Set(i);
        }
        return 0;
    }
    ClearAll();
    const int taken = index >= 0 && index < count ? 1 : 0;
    if (taken)
        Set(index);
    anchor = index;
    return taken;
}

int InsertSelection::Collect(int* table, int max) const
{
    int n = 0;
    for (int i = 0; i < Size() && n < max; ++i)
        if (flags_[static_cast<size_t>(i)])
            table[n++] = i;
    return n;
}

InsertMenuChoices InsertMenuChoices::Of(IVarnInsertChain* chain, int mono)
{
    InsertMenuChoices choices;
    IVarnHardware* hardware = chain ? chain->GetHardware() : nullptr;
    IVarnItemList* outputs = hardware ? hardware->GetItemList() : nullptr;
    IVarnInputList* inputs = hardware ? hardware->GetInputList() : nullptr;
    auto o = [outputs](int kind, int stereo) { return outputs && outputs->HasFree(kind, stereo) ? 1 : 0; };
    auto i = [inputs](int kind, int value) { return inputs && inputs->GetFreeCount(kind, value) ? 1 : 0; };
    using namespace InputKind;
    const int wave = OutputKind::kWave, asio = OutputKind::kAsio, physical = OutputKind::kPhysical;
    choices.send = o(wave, 1) || o(asio, 1) || o(physical, 1) || (mono && (o(asio, 0) || o(physical, 0)));
    choices.sendReturnOutputs = o(physical, 1) || (mono && o(physical, 0));
    choices.sendReturnInputs = i(kStereoPhysical, 5) || (mono && i(kMonoPhysical, 5));
    choices.sendReturn = choices.sendReturnOutputs && choices.sendReturnInputs;
    choices.asioOutputs = o(asio, 1) || (mono && o(asio, 0));
    choices.asioInputs = i(kHost, 1) || (mono && i(kAsioChannel, 5));
    choices.asioSendReturn = choices.asioOutputs && choices.asioInputs;
    return choices;
}

namespace InsertSlotRules
{
int DragOverAnswer(std::intptr_t kind, int accepted, int slot, int position, int count, int ownPosition)
{
    if (kind == PresetDrag::kKind)
        return slot < 0 ? kPastSlots : kOnSlot;
    if (kind != kDragInsert || !accepted)
        return kRefuse;
    if (slot < 0)
        return kPastSlots;
    // Another insert's place is refused: an insert goes between inserts or after them.
    return position >= count || ownPosition ? kOnSlot : kRefuse;
}
} // namespace InsertSlotRules
