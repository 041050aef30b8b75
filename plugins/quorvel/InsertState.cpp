#include "plugins/quorvel/InsertState.h"

#include "plugins/base/platform/PlatformBase.h"
#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/SendInsert.h"

#include <new>
#include <stdexcept>

namespace
{

bool IsFlag(int32_t value)
{
    return value == 0 || value == 1;
}

bool IsFlag(uint8_t value)
{
    return value == 0 || value == 1;
}

bool SameValues(const ChannelRecord& a, const ChannelRecord& b)
{
    return a.first == b.first && a.second == b.second;
}

} // namespace

InsertState::InsertState(int32_t kind) : kind(kind) {}

InsertState::~InsertState()
{
    SetValueCount(0);
}

bool InsertState::SetValueCount(uint32_t n)
{
    if (values)
    {
        ThePlatform()->Free(values);
    }
    values = nullptr;
    valueCount = 0;
    if (n == 0)
    {
        return true;
    }
    // A count whose bytes do not fit in a size (32-bit builds) cannot be had.
    const size_t bytes = static_cast<size_t>(n) * sizeof(ParamValue);
    if (bytes / sizeof(ParamValue) != n)
    {
        return false;
    }
    void* memory = ThePlatform()->AllocZeroed(bytes);
    if (!memory)
    {
        return false;
    }
    values = new (memory) ParamValue[n];
    valueCount = n;
    return true;
}

bool InsertState::Matches(const InsertEffect& insert) const
{
    return insert.Kind() == kind;
}

bool InsertState::IsValid() const
{
    return kind >= kInsertDspEffect && kind <= kInsertSendReturn && IsFlag(info.canBypass) && IsFlag(info.hasWetDry) &&
           IsFlag(info.hasHidden) && (valueCount == 0) == (values == nullptr) && IsFlag(bypassed) && IsFlag(soloed);
}

void InsertState::TakeDetails(const InsertEffect&) {}

bool DspEffectState::Matches(const InsertEffect& insert) const
{
    return InsertState::Matches(insert) && static_cast<const DspEffectInsert&>(insert).GetEffectId() == preset.id;
}

bool DspEffectState::IsValid() const
{
    return InsertState::IsValid() && kind == kInsertDspEffect;
}

void DspEffectState::TakeDetails(const InsertEffect& insert)
{
    const auto& effect = static_cast<const DspEffectInsert&>(insert);
    preset = effect.Preset();
    selectedPreset = effect.SelectedPreset();
}

bool SendState::Matches(const InsertEffect& insert) const
{
    return InsertState::Matches(insert) && SameValues(static_cast<const SendInsert&>(insert).Send(), send);
}

bool SendState::IsValid() const
{
    return InsertState::IsValid() && kind == kInsertSend;
}

void SendState::TakeDetails(const InsertEffect& insert)
{
    send = static_cast<const SendInsert&>(insert).Send();
}

bool SendReturnState::Matches(const InsertEffect& insert) const
{
    if (!InsertState::Matches(insert))
    {
        return false;
    }
    const auto& routing = static_cast<const SendReturnInsert&>(insert);
    return SameValues(routing.Send(), send) && SameValues(routing.Return(), ret);
}

bool SendReturnState::IsValid() const
{
    return InsertState::IsValid() && kind == kInsertSendReturn && send.first == kSendReturnChannel &&
           ret.first == kSendReturnChannel;
}

void SendReturnState::TakeDetails(const InsertEffect& insert)
{
    const auto& routing = static_cast<const SendReturnInsert&>(insert);
    send = routing.Send();
    ret = routing.Return();
}

std::unique_ptr<InsertState> MakeInsertState(int32_t kind)
{
    switch (kind)
    {
    case kInsertDspEffect:
        return std::unique_ptr<InsertState>(new (std::nothrow) DspEffectState);
    case kInsertTrimPot:
    case kInsertTestSignal:
    case kInsertPeakMeter:
        return std::unique_ptr<InsertState>(new (std::nothrow) InsertState(kind));
    case kInsertSend:
        return std::unique_ptr<InsertState>(new (std::nothrow) SendState);
    case kInsertSendReturn:
        return std::unique_ptr<InsertState>(new (std::nothrow) SendReturnState);
    default:
        return nullptr;
    }
}

bool InsertStateList::Append(const InsertEffect& insert)
{
    if (insert.Kind() < kInsertDspEffect || insert.Kind() > kInsertSendReturn)
    {
        return true;
    }
    std::unique_ptr<InsertState> state = MakeInsertState(insert.Kind());
    // An insert the server has not described holds the values it was restored with.
    const std::vector<ParamValue>& kept = insert.KeptValues();
    const auto count = static_cast<uint32_t>(kept.empty() ? insert.ParamCount() : kept.size());
    if (!state || !state->SetValueCount(count))
    {
        return false;
    }
    state->info = insert.Info();
    for (uint32_t i = 0; i < count; ++i)
    {
        // The hidden parameter is stored as the zero pair.
        const auto index = static_cast<int32_t>(i);
        ParamValue pair;
        if (!kept.empty() && !insert.IsHiddenParam(index))
        {
            state->values[i] = kept[i];
        }
        else if (kept.empty() && insert.GetParamValue(index, &pair))
        {
            state->values[i] = pair;
        }
    }
    // The stored switches, also while the chain is detached (the insert then cannot say
    // CanBypass, yet its switches are the user's).
    if (insert.Info().canBypass == 1)
    {
        state->bypassed = insert.IsBypassed() ? 1 : 0;
        state->soloed = insert.IsSoloed() ? 1 : 0;
    }
    state->TakeDetails(insert);
    states_.push_back(std::move(state));
    return true;
}

void InsertStateList::Clear()
{
    states_.clear();
}

bool InsertStateList::Reset(uint32_t n)
{
    Clear();
    try
    {
        states_.resize(n);
    }
    catch (const std::exception&)
    {
        Clear();
        return false;
    }
    return true;
}

InsertState* InsertStateList::CreateAt(uint32_t index, int32_t type)
{
    if (index >= states_.size())
    {
        return nullptr;
    }
    std::unique_ptr<InsertState> state = MakeInsertState(type);
    if (!state)
    {
        return nullptr;
    }
    states_[index] = std::move(state);
    return states_[index].get();
}

bool InsertStateList::AllValid() const
{
    for (const std::unique_ptr<InsertState>& state : states_)
    {
        if (!state || !state->IsValid())
        {
            return false;
        }
    }
    return true;
}
