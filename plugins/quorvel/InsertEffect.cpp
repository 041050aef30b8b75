#include "plugins/quorvel/InsertEffect.h"

#include "plugins/quorvel/InsertState.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace
{

std::atomic<uint32_t> gNextIdentity{1};

// A new insert's information until the server answers: "  ???   ", no flags, no indices.
InsertInfo UnansweredInfo()
{
    InsertInfo info{};
    const char16_t name[] = u"  ???   ";
    std::memcpy(info.shortName, name, sizeof(name) - sizeof(char16_t));
    info.wetDryIndex = -1;
    info.hiddenIndex = -1;
    return info;
}

} // namespace

InsertEffect::InsertEffect(int32_t kind, ModelLink* link, int32_t position)
    : link_(link), kind_(kind), position_(position), identity_(gNextIdentity.fetch_add(1)), info_(UnansweredInfo())
{
}

int32_t InsertEffect::Run(CallBlock& block, int32_t command, bool direct)
{
    if (direct)
    {
        link_->CallDirect(block, command);
        return block.result;
    }
    return RunOnLink(*link_, block, command);
}

bool InsertEffect::ApplyWith(CallBlock& block, int32_t command, bool wait, int infoSlot)
{
    const int32_t result = Run(block, command);
    if (!wait)
    {
        return true;
    }
    if (result != kCallOk)
    {
        return false;
    }
    TakeInfo(InfoAt(block, infoSlot));
    Reload();
    return true;
}

bool InsertEffect::IsConnected() const
{
    return link_ && link_->IsChainAttached();
}

bool InsertEffect::IsEffectRateAllowed() const
{
    return link_ && link_->GetAsioSampleRate() <= kMaxEffectRate;
}

void InsertEffect::GetParamDescriptors(int32_t* count, const uint8_t** descriptors) const
{
    *count = ParamCount();
    *descriptors = descriptors_.empty() ? nullptr : descriptors_.data();
}

bool InsertEffect::IsHiddenParam(int32_t index) const
{
    return info_.hasHidden != 0 && index == info_.hiddenIndex;
}

void InsertEffect::KeepReadOnlyValue(int32_t index, const ParamValue& value)
{
    if (index >= 0 && index < ParamCount() && !descriptors_.empty() &&
        ParamDescriptor(&descriptors_[static_cast<size_t>(index) * ParamDescriptor::kSize]).IsReadOnly())
    {
        values_[static_cast<size_t>(index)] = value;
    }
}

bool InsertEffect::GetParamValue(int32_t index, ParamValue* pair) const
{
    if (index < 0 || index >= ParamCount() || IsHiddenParam(index))
    {
        return false;
    }
    *pair = values_[static_cast<size_t>(index)];
    return true;
}

bool InsertEffect::HasWetDry() const
{
    return IsConnected() && info_.hasWetDry == 1;
}

bool InsertEffect::CanBypass() const
{
    return IsConnected() && info_.canBypass == 1;
}

float InsertEffect::GetWetDry() const
{
    const int32_t index = info_.wetDryIndex;
    if (!HasWetDry() || index < 0 || index >= ParamCount())
    {
        return 1.0f;
    }
    return values_[static_cast<size_t>(index)].AsReal();
}

void InsertEffect::GetParamKinds(int32_t* count, const int32_t** kinds) const
{
    *count = static_cast<int32_t>(kinds_.size());
    *kinds = kinds_.empty() ? nullptr : kinds_.data();
}

int32_t InsertEffect::GetParamKind(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < kinds_.size() ? kinds_[static_cast<size_t>(index)]
                                                                    : kSelectorValueKind;
}

bool InsertEffect::IsSelector(int32_t index) const
{
    return index >= 0 && index < ParamCount() &&
           ParamDescriptor(&descriptors_[static_cast<size_t>(index) * ParamDescriptor::kSize]).ValueKind() ==
               kSelectorValueKind;
}

bool InsertEffect::HasSelectorParams() const
{
    for (int32_t i = 0; i < ParamCount(); ++i)
    {
        if (IsSelector(i))
        {
            return true;
        }
    }
    return false;
}

void InsertEffect::GetChoiceNames(int32_t index, int32_t* count, const ChoiceName** names) const
{
    for (const ChoiceList& list : choices_)
    {
        if (list.index == index && !list.names.empty())
        {
            *count = static_cast<int32_t>(list.names.size());
            *names = list.names.data();
            return;
        }
    }
    *count = 0;
    *names = nullptr;
}

bool InsertEffect::GetParamText(int32_t index, char16_t* text, int32_t units)
{
    using S = Slots::GetParameterText;
    if (!text || units <= 0)
    {
        return false;
    }
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    PutWord(block, S::kIndex, index);
    PutWord(block, S::kUnits, units);
    const bool ok = Run(block, kCmdGetParameterText) == kCallOk;
    char16_t* answer = PointerAt<char16_t>(block, S::kText);
    text[0] = 0;
    if (ok && answer)
    {
        int32_t n = 0;
        for (; n + 1 < units && answer[n] != 0; ++n)
        {
            text[n] = answer[n];
        }
        text[n] = 0;
    }
    if (answer)
    {
        link_->FreeServerArray(answer);
    }
    return ok && answer;
}

bool InsertEffect::StoreAccepts(int32_t index, int32_t kind) const
{
    if (index < 0 || index >= ParamCount() || IsHiddenParam(index) || kind < 0 || kind > 4)
    {
        return false;
    }
    if (index == info_.wetDryIndex && info_.hasWetDry == 0)
    {
        return false;
    }
    return !ParamDescriptor(&descriptors_[static_cast<size_t>(index) * ParamDescriptor::kSize]).IsReadOnly();
}

bool InsertEffect::StoreParam(int32_t index, int32_t kind, uint32_t value, bool direct)
{
    using S = Slots::SetParameterValue;
    if (!StoreAccepts(index, kind))
    {
        return false;
    }
    ParamValue pair;
    pair.kind = kind;
    pair.bits = value;
    if (IsConnected())
    {
        CallBlock block;
        PutWord(block, S::kPosition, position_);
        PutWord(block, S::kIndex, index);
        PutWord(block, S::kKind, kind);
        PutWord(block, S::kBits, static_cast<int32_t>(value));
        if (Run(block, kCmdSetParameterValue, direct) != kCallOk)
        {
            return false;
        }
        values_[static_cast<size_t>(index)] = pair;
        link_->PostToEditor(kMessageParamValue, identity_, static_cast<uintptr_t>(index));
        return true;
    }
    values_[static_cast<size_t>(index)] = pair;
    return true;
}

bool InsertEffect::SetParam(int32_t index, int32_t kind, uint32_t value)
{
    if (!IsConnected() || index < 0 || index >= ParamCount())
    {
        return false;
    }
    ParamValue pair;
    pair.kind = kind;
    pair.bits = value;
    link_->ReportParamToHost(position_, index, pair);
    return true;
}

bool InsertEffect::SetWetDry(float value)
{
    if (!HasWetDry())
    {
        return false;
    }
    const ParamValue pair = ParamValue::Real(value);
    return SetParam(info_.wetDryIndex, pair.kind, pair.bits);
}

bool InsertEffect::SetSwitch(int32_t command, bool on)
{
    using S = Slots::InsertSwitch;
    if (!CanBypass())
    {
        return false;
    }
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    PutWord(block, S::kOn, on ? 1 : 0);
    if (Run(block, command) != kCallOk)
    {
        return false;
    }
    link_->ReadBypassSolo();
    return true;
}

bool InsertEffect::SetBypass(bool on)
{
    return SetSwitch(kCmdSetInsertBypass, on);
}

bool InsertEffect::SetSolo(bool on)
{
    return SetSwitch(kCmdSetInsertSolo, on);
}

bool InsertEffect::ReadSwitch(int32_t command, bool* stored, uint32_t message)
{
    using S = Slots::InsertSwitch;
    if (!CanBypass())
    {
        return false;
    }
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    if (Run(block, command) != kCallOk)
    {
        return false;
    }
    const bool on = WordAt(block, S::kOn) == 1;
    if (on != *stored)
    {
        *stored = on;
        link_->PostToEditor(message, identity_, 0);
    }
    return true;
}

bool InsertEffect::ReadBypass()
{
    return ReadSwitch(kCmdGetInsertBypass, &bypassed_, kMessageInsertBypass);
}

bool InsertEffect::ReadSolo()
{
    return ReadSwitch(kCmdGetInsertSolo, &soloed_, kMessageInsertSolo);
}

bool InsertEffect::RefreshParamValue(int32_t index)
{
    using S = Slots::GetParameterValue;
    if (!IsConnected() || index < 0 || index >= ParamCount())
    {
        return false;
    }
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    PutWord(block, S::kIndex, index);
    if (Run(block, kCmdGetParameterValue) != kCallOk)
    {
        return false;
    }
    ParamValue pair;
    pair.kind = WordAt(block, S::kKind);
    pair.bits = static_cast<uint32_t>(WordAt(block, S::kBits));
    ParamValue& stored = values_[static_cast<size_t>(index)];
    if (SameValue(stored, pair))
    {
        return false;
    }
    stored = pair;
    link_->PostToEditor(kMessageParamValue, identity_, static_cast<uintptr_t>(index));
    return true;
}

void InsertEffect::ResendAll()
{
    using S = Slots::InsertSwitch;
    for (size_t i = 0; i < values_.size(); ++i)
    {
        const ParamValue pair = values_[i];
        StoreParam(static_cast<int32_t>(i), pair.kind, pair.bits);
    }
    if (HasWetDry())
    {
        SetWetDry(GetWetDry());
    }
    if (CanBypass())
    {
        CallBlock* block = link_->BeginCall();
        PutWord(*block, S::kPosition, position_);
        PutWord(*block, S::kOn, soloed_ ? 1 : 0);
        link_->Call(kCmdSetInsertSolo);
        PutWord(*block, S::kPosition, position_);
        PutWord(*block, S::kOn, bypassed_ ? 1 : 0);
        link_->Call(kCmdSetInsertBypass);
        link_->EndCall();
    }
}

void InsertEffect::PushParamsToHost()
{
    if (!IsConnected())
    {
        return;
    }
    for (int32_t i = 0; i < ParamCount(); ++i)
    {
        const ParamValue pair = values_[static_cast<size_t>(i)];
        if (StoreAccepts(i, pair.kind))
        {
            link_->ReportParamToHost(position_, i, pair);
        }
    }
}

bool InsertEffect::FetchDescriptors(bool direct)
{
    using S = Slots::GetParameterDescriptors;
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    const bool ok = Run(block, kCmdGetParameterDescriptors, direct) == kCallOk;
    const int32_t count = WordAt(block, S::kCount);
    uint8_t* array = PointerAt<uint8_t>(block, S::kRecords);
    bool fresh = false;
    // A count without its array, or below 0, is an answer we cannot use.
    if (ok && count >= 0 && (count == 0 || array))
    {
        if (count != ParamCount())
        {
            descriptors_.clear();
            values_.clear();
        }
        if (count > 0)
        {
            descriptors_.assign(array, array + static_cast<size_t>(count) * ParamDescriptor::kSize);
            if (values_.empty())
            {
                values_.resize(static_cast<size_t>(count));
                fresh = true;
            }
        }
        described_ = true;
        // Values kept from a state record are the user's: they are not read over.
        if (fresh && !kept_.empty())
        {
            std::copy(kept_.begin(), kept_.begin() + static_cast<ptrdiff_t>(std::min(kept_.size(), values_.size())),
                      values_.begin());
            fresh = false;
        }
        kept_.clear();
    }
    if (array)
    {
        link_->FreeServerArray(array);
    }
    return fresh;
}

bool InsertEffect::ReadParamKinds()
{
    using S = Slots::GetParameterKinds;
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    const bool ok = Run(block, kCmdGetParameterKinds) == kCallOk;
    const int32_t count = WordAt(block, S::kCount);
    int32_t* array = PointerAt<int32_t>(block, S::kRecords);
    bool changed = false;
    if (ok && count >= 0 && (count == 0 || array))
    {
        // The kinds take the answer's size: a server that answers more kinds than the insert
        // has parameters gets them all kept, none written past the array.
        std::vector<int32_t> kinds(array, array + count);
        const size_t n = std::max(kinds.size(), kinds_.size());
        for (size_t i = 0; i < n; ++i)
        {
            const bool wasHidden = i < kinds_.size() && kinds_[i] == kHiddenParamKind;
            const bool isHidden = i < kinds.size() && kinds[i] == kHiddenParamKind;
            changed = changed || wasHidden != isHidden;
        }
        kinds_.swap(kinds);
    }
    if (array)
    {
        link_->FreeServerArray(array);
    }
    return changed;
}

bool InsertEffect::FetchChoiceList(int32_t index, bool direct)
{
    using S = Slots::GetParameterChoiceNames;
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    PutWord(block, S::kIndex, index);
    const bool ok = Run(block, kCmdGetParameterChoiceNames, direct) == kCallOk;
    const int32_t count = WordAt(block, S::kCount);
    ChoiceName* names = PointerAt<ChoiceName>(block, S::kRecords);
    const bool taken = ok && count >= 0 && (count == 0 || names);
    if (taken)
    {
        choices_.push_back(ChoiceList{index, std::vector<ChoiceName>(names, names + count)});
    }
    if (names)
    {
        link_->FreeServerArray(names);
    }
    return taken;
}

void InsertEffect::FetchChoiceNames(bool direct)
{
    if (!choices_.empty() || !HasSelectorParams())
    {
        return;
    }
    for (int32_t i = 0; i < ParamCount(); ++i)
    {
        if (IsSelector(i) && GetParamKind(i) != kHiddenParamKind)
        {
            FetchChoiceList(i, direct);
        }
    }
}

bool InsertEffect::RefreshChoiceList(int32_t index)
{
    if (GetParamKind(index) == kHiddenParamKind || !IsSelector(index))
    {
        return false;
    }
    choices_.erase(std::remove_if(choices_.begin(), choices_.end(),
                                  [index](const ChoiceList& list) { return list.index == index; }),
                   choices_.end());
    return FetchChoiceList(index, false);
}

bool InsertEffect::ReadValues(bool direct)
{
    const int32_t count = ParamCount();
    if (count == 0)
    {
        return false;
    }
    std::vector<ParamValueEntry> entries(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
    {
        entries[static_cast<size_t>(i)] = ParamValueEntry{position_, i, ParamValue{}};
    }
    CallBlock block;
    PutWord(block, Slots::GetParameterValuesBatch::kCount, count);
    PutPointer(block, Slots::GetParameterValuesBatch::kEntries, entries.data());
    if (Run(block, kCmdGetParameterValuesBatch, direct) != kCallOk)
    {
        return false;
    }
    bool changed = false;
    for (int32_t i = 0; i < count; ++i)
    {
        ParamValue& stored = values_[static_cast<size_t>(i)];
        const ParamValue& answer = entries[static_cast<size_t>(i)].value;
        if (!SameValue(stored, answer))
        {
            stored = answer;
            changed = true;
        }
    }
    return changed;
}

bool InsertEffect::ReadAllParams()
{
    return IsConnected() && ReadValues(false);
}

bool InsertEffect::RefreshParams()
{
    FetchDescriptors(false);
    return ReadAllParams();
}

bool InsertEffect::Remove()
{
    CallBlock block;
    PutWord(block, Slots::RemoveInsert::kPosition, position_);
    return Run(block, kCmdRemoveInsert) == kCallOk;
}

void InsertEffect::Reload()
{
    using S = Slots::GetInsertNotifyId;
    const bool fresh = FetchDescriptors(false);
    CallBlock block;
    PutWord(block, S::kPosition, position_);
    if (Run(block, kCmdGetInsertNotifyId) == kCallOk)
    {
        notifyId_ = WordAt(block, S::kNotifyId);
    }
    ReadParamKinds();
    FetchChoiceNames(false);
    if (fresh)
    {
        ReadAllParams();
    }
}

void InsertEffect::ReloadWithValues()
{
    const bool kept = !kept_.empty();
    InsertEffect::Reload();
    if (!kept)
    {
        ReadAllParams();
    }
}

void InsertEffect::Attach()
{
    if (FetchDescriptors(true))
    {
        ReadValues(true);
    }
    FetchChoiceNames(true);
}

void InsertEffect::LoadState(const InsertState& state)
{
    if (!state.IsValid())
    {
        return;
    }
    bypassed_ = state.bypassed != 0;
    soloed_ = state.soloed != 0;
    // An insert the server has not answered yet is what the record says it was.
    if (!answered_)
    {
        info_ = state.info;
    }
    if (!described_)
    {
        kept_.assign(state.values, state.values + state.valueCount);
        return;
    }
    const size_t n = std::min(values_.size(), static_cast<size_t>(state.valueCount));
    std::copy(state.values, state.values + n, values_.begin());
}
