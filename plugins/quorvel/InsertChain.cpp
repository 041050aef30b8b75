#include "plugins/quorvel/InsertChain.h"

#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/InsertState.h"
#include "plugins/quorvel/SendInsert.h"
#include "plugins/quorvel/SpecialInsert.h"

#include <cstring>

namespace
{

bool SameName(const char16_t* a, const char16_t* b, size_t units)
{
    for (size_t n = 0; n < units; ++n)
    {
        if (a[n] != b[n])
        {
            return false;
        }
        if (a[n] == 0)
        {
            return true;
        }
    }
    return true;
}

} // namespace

InsertChain::Hold::Hold(InsertChain& chain) : chain_(chain)
{
    chain_.lock_.lock();
    ++chain_.depth_;
}

InsertChain::Hold::~Hold()
{
    if (chain_.depth_ > 1)
    {
        --chain_.depth_;
        chain_.lock_.unlock();
        return;
    }
    // Work the services thread left while this thread held the chain; what it leaves after
    // the last look is taken up once the chain is free again. The host's values go back to
    // the services thread instead: a host that sets them without pause would keep this
    // thread here for good.
    for (;;)
    {
        chain_.DoPending(false);
        --chain_.depth_;
        chain_.lock_.unlock();
        const uint32_t left = chain_.pending_.load();
        if (left == kPendingParamStores && chain_.host_)
        {
            chain_.host_->WakeParamStores();
            return;
        }
        if (left == 0 || !chain_.lock_.try_lock())
        {
            return;
        }
        ++chain_.depth_;
    }
}

InsertChain::InsertChain(ModelLink* link, EffectCatalog* catalog, ChainHost* host)
    : link_(link), catalog_(catalog), host_(host)
{
}

InsertChain::~InsertChain() = default;

InsertEffect* InsertChain::At(int32_t index) const
{
    return index >= 0 && index < Count() ? inserts_[static_cast<size_t>(index)].get() : nullptr;
}

bool InsertChain::GetInsert(int32_t position, InsertParams* params)
{
    const InsertEffect* insert = At(position);
    if (!insert)
    {
        return false;
    }
    insert->GetParamDescriptors(&params->count, &params->descriptors);
    const InsertInfo& info = insert->Info();
    static_assert(sizeof(params->shortName) == sizeof(info.shortName), "short name");
    std::memcpy(params->shortName, info.shortName, sizeof(params->shortName));
    params->hasWetDry = info.hasWetDry == 1;
    params->hasHidden = info.hasHidden == 1;
    params->wetDryIndex = info.wetDryIndex;
    params->hiddenIndex = info.hiddenIndex;
    params->identity = insert->Identity();
    return true;
}

bool InsertChain::GetParamValue(int32_t position, int32_t index, ParamValue* value)
{
    const InsertEffect* insert = At(position);
    return insert && insert->GetParamValue(index, value);
}

bool InsertChain::StoreParam(int32_t position, int32_t index, const ParamValue& value, bool direct)
{
    InsertEffect* insert = At(position);
    return insert && insert->StoreParam(index, value.kind, value.bits, direct);
}

int32_t InsertChain::GetParamKind(int32_t position, int32_t index)
{
    const InsertEffect* insert = At(position);
    return insert ? insert->GetParamKind(index) : InsertEffect::kSelectorValueKind;
}

void InsertChain::StoreRequestedParams()
{
    Leave(kPendingParamStores);
}

void InsertChain::RebuildParamMapSoon()
{
    Leave(kPendingRebuild);
}

int32_t InsertChain::Run(CallBlock& block, int32_t command)
{
    return RunOnLink(*link_, block, command);
}

void InsertChain::Renumber()
{
    for (size_t i = 0; i < inserts_.size(); ++i)
    {
        inserts_[i]->SetPosition(static_cast<int32_t>(i));
    }
}

void InsertChain::Place(std::unique_ptr<InsertEffect> insert, int32_t position)
{
    inserts_.insert(inserts_.begin() + position, std::move(insert));
    Renumber();
}

void InsertChain::Changed(bool post)
{
    if (host_)
    {
        host_->RebuildParamMap();
    }
    if (post && link_)
    {
        link_->PostToEditor(kMessageChainChanged, 0, 0);
    }
}

bool InsertChain::InsertPreset(const PresetRecord& record, int32_t position, bool wait)
{
    auto insert = std::make_unique<DspEffectInsert>(link_, position, record);
    // An insert the server refused (above 48 kHz, no DSP left) is not kept: it would be
    // mapped and stored without running anywhere.
    if (!insert->Apply(wait))
    {
        return false;
    }
    Place(std::move(insert), position);
    return true;
}

bool InsertChain::InsertSpecial(int32_t kind, int32_t position, bool post, bool wait)
{
    Hold hold(*this);
    if (!link_ || position < 0 || position > Count())
    {
        return false;
    }
    auto insert = std::make_unique<SpecialInsert>(link_, position, kInsertTrimPot + kind);
    if (!insert->Apply(wait))
    {
        return false;
    }
    Place(std::move(insert), position);
    Changed(post);
    return true;
}

bool InsertChain::AddTrimPot(int32_t position, bool post, bool wait)
{
    return InsertSpecial(kSpecialTrimPot, position, post, wait);
}

bool InsertChain::AddTestSignal(int32_t position, bool post, bool wait)
{
    return InsertSpecial(kSpecialTestSignal, position, post, wait);
}

bool InsertChain::AddPeakMeter(int32_t position, bool post, bool wait)
{
    return InsertSpecial(kSpecialPeakMeter, position, post, wait);
}

void InsertChain::StorePresetValues(InsertEffect& insert, const PresetValueRecord* values, int32_t count, float wetDry)
{
    int32_t descriptorCount = 0;
    const uint8_t* descriptors = nullptr;
    insert.GetParamDescriptors(&descriptorCount, &descriptors);
    for (int32_t v = 0; v < count; ++v)
    {
        for (int32_t p = 0; p < descriptorCount; ++p)
        {
            char16_t name[ParamDescriptor::kTextUnits];
            ParamDescriptor(descriptors + static_cast<size_t>(p) * ParamDescriptor::kSize).Name(name, 128);
            if (SameName(name, values[v].name, ParamDescriptor::kTextUnits))
            {
                insert.StoreParam(p, values[v].value.kind, values[v].value.bits);
                break;
            }
        }
    }
    if (insert.HasWetDry())
    {
        insert.StoreParam(insert.Info().wetDryIndex, 2, ParamValue::Real(wetDry).bits);
    }
}

bool InsertChain::InsertChainPreset(const PresetEntry& entry, int32_t position, bool wait, int32_t* inserted)
{
    *inserted = 0;
    const PresetInserts preset(*link_, entry.Id());
    bool whole = preset.answered;
    int32_t used = 0;
    for (int32_t e = 0; preset.answered && e < preset.count; ++e)
    {
        const int32_t mine = preset.valueCounts ? preset.valueCounts[e] : 0;
        if (mine < 0 || used + mine > preset.total || (mine > 0 && !preset.values))
        {
            whole = false;
            break;
        }
        // Each effect goes in after the ones that went in before it: a skipped effect leaves
        // no gap, and its value records are stepped over, not given to the next effect.
        const int32_t at = position + *inserted;
        const EffectId id = preset.effects[e].id;
        bool placed = false;
        if (std::shared_ptr<PresetEntry> known = catalog_ ? catalog_->FindPreset(id) : nullptr)
        {
            placed = InsertPreset(known->Record(), at, wait);
        }
        else if (SpecialKindOf(id) >= 0)
        {
            placed = InsertSpecial(SpecialKindOf(id), at, false, wait);
        }
        if (placed)
        {
            StorePresetValues(*inserts_[static_cast<size_t>(at)], preset.values + used, mine,
                              preset.wetDry ? preset.wetDry[e] : 1.0f);
            ++*inserted;
        }
        else
        {
            whole = false;
        }
        used += mine;
    }
    return whole && used == preset.total;
}

bool InsertChain::LoadPreset(const EffectId& presetId, int32_t position, bool post, bool wait)
{
    Hold hold(*this);
    if (!link_ || position < 0 || position > Count())
    {
        return false;
    }
    std::shared_ptr<PresetEntry> entry = catalog_ ? catalog_->FindPreset(presetId) : nullptr;
    if (!entry)
    {
        return false;
    }
    int32_t inserted = 0;
    const bool done = entry->IsChain() ? InsertChainPreset(*entry, position, wait, &inserted)
                                       : InsertPreset(entry->Record(), position, wait);
    Changed(post);
    if (done)
    {
        for (const auto& insert : inserts_)
        {
            insert->PushParamsToHost();
        }
    }
    return done;
}

bool InsertChain::ReplaceWithPreset(int32_t position, const EffectId& presetId)
{
    Hold hold(*this);
    std::shared_ptr<PresetEntry> entry = catalog_ ? catalog_->FindPreset(presetId) : nullptr;
    if (!link_ || !entry || position < 0 || position >= Count())
    {
        return false;
    }
    if (entry->IsChain())
    {
        int32_t inserted = 0;
        if (InsertChainPreset(*entry, position, true, &inserted))
        {
            // The old insert moved back by as many as went in before it.
            RemoveAt(position + inserted, false);
        }
    }
    else
    {
        CallBlock block;
        PutWord(block, Slots::LoadPresetIntoInsert::kPosition, position);
        PutId(block, Slots::LoadPresetIntoInsert::kPreset, presetId);
        if (Run(block, kCmdLoadPresetIntoInsert) != kCallOk)
        {
            return false;
        }
        auto insert = std::make_unique<DspEffectInsert>(link_, position, entry->Record());
        inserts_[static_cast<size_t>(position)] = std::move(insert);
        static_cast<DspEffectInsert&>(*inserts_[static_cast<size_t>(position)])
            .LoadPresetInfo(InfoAt(block, Slots::LoadPresetIntoInsert::kInfo));
    }
    Changed(true);
    return true;
}

bool InsertChain::SpecialFits(int32_t kind)
{
    using S = Slots::GetEffectsFit;
    if (!link_)
    {
        return false;
    }
    const EffectId id = SpecialEffectId(kind, link_->GetAsioSampleRate());
    if (id.IsZero())
    {
        return false;
    }
    int32_t fits = 0;
    CallBlock block;
    PutWord(block, S::kCount, 1);
    PutPointer(block, S::kIds, &id);
    PutPointer(block, S::kFlags, &fits);
    return Run(block, kCmdGetEffectsFit) == kCallOk && fits == 1;
}

bool InsertChain::Move(int32_t from, int32_t to)
{
    using S = Slots::MoveInsert;
    Hold hold(*this);
    if (!link_ || Count() == 0 || from < 0 || from >= Count() || to < 0 || to > Count())
    {
        return false;
    }
    if (to == from || to == from + 1)
    {
        return true;
    }
    CallBlock block;
    PutWord(block, S::kFrom, from);
    PutWord(block, S::kTo, to == Count() ? -1 : to);
    if (Run(block, kCmdMoveInsert) != kCallOk)
    {
        return false;
    }
    std::unique_ptr<InsertEffect> moved = std::move(inserts_[static_cast<size_t>(from)]);
    inserts_.erase(inserts_.begin() + from);
    Place(std::move(moved), to > from ? to - 1 : to);
    Changed(true);
    return true;
}

bool InsertChain::RemoveAt(int32_t position, bool post)
{
    Hold hold(*this);
    if (position < 0 || position >= Count() || !inserts_[static_cast<size_t>(position)]->Remove())
    {
        return false;
    }
    inserts_.erase(inserts_.begin() + position);
    Renumber();
    Changed(post);
    return true;
}

void InsertChain::RemoveAll(bool post)
{
    Hold hold(*this);
    if (!link_ || inserts_.empty())
    {
        return;
    }
    attached_ = true;
    CallBlock* block = link_->BeginCall();
    for (int32_t i = Count() - 1; i >= 0; --i)
    {
        PutWord(*block, Slots::RemoveInsert::kPosition, i);
        link_->Call(kCmdRemoveInsert);
        inserts_.pop_back();
    }
    link_->EndCall();
    Changed(post);
}

bool InsertChain::SetAllBypass(bool on)
{
    Hold hold(*this);
    if (!link_ || inserts_.empty())
    {
        return false;
    }
    CallBlock block;
    PutWord(block, Slots::SetAllInsertsBypass::kOn, on ? 1 : 0);
    if (Run(block, kCmdSetAllInsertsBypass) != kCallOk)
    {
        return false;
    }
    ReadBypassSolo(true);
    return true;
}

void InsertChain::ReadBypassSolo(bool post)
{
    Hold hold(*this);
    if (!link_)
    {
        return;
    }
    for (const auto& insert : inserts_)
    {
        if (insert->IsConnected())
        {
            insert->ReadBypass();
            insert->ReadSolo();
        }
    }
    if (post)
    {
        link_->PostToEditor(kMessageBypassSoloRead, 0, 0);
    }
}

void InsertChain::PollReadOnlyParams()
{
    using S = Slots::GetParameterValuesBatch;
    Hold hold(*this);
    if (!link_ || !IsAttached())
    {
        return;
    }
    std::vector<ParamValueEntry> entries;
    for (const auto& insert : inserts_)
    {
        int32_t count = 0;
        const uint8_t* descriptors = nullptr;
        insert->GetParamDescriptors(&count, &descriptors);
        for (int32_t p = 0; p < count; ++p)
        {
            if (!insert->IsHiddenParam(p) &&
                ParamDescriptor(descriptors + static_cast<size_t>(p) * ParamDescriptor::kSize).IsReadOnly())
            {
                entries.push_back(ParamValueEntry{insert->Position(), p, ParamValue::Real(0.0f)});
            }
        }
    }
    if (entries.empty())
    {
        return;
    }
    CallBlock block;
    PutWord(block, S::kCount, static_cast<int32_t>(entries.size()));
    PutPointer(block, S::kEntries, entries.data());
    if (Run(block, kCmdGetParameterValuesBatch) != kCallOk)
    {
        return;
    }
    for (const ParamValueEntry& entry : entries)
    {
        if (InsertEffect* insert = At(entry.position))
        {
            insert->KeepReadOnlyValue(entry.parameter, entry.value);
        }
    }
}

bool InsertChain::Matches(const InsertStateList& states) const
{
    if (states.Count() != inserts_.size())
    {
        return false;
    }
    for (uint32_t i = 0; i < states.Count(); ++i)
    {
        const InsertState* state = states.At(i);
        if (!state || !state->Matches(*inserts_[i]))
        {
            return false;
        }
    }
    return true;
}

void InsertChain::Restore(const InsertStateList& states)
{
    Hold hold(*this);
    if (!Matches(states))
    {
        RemoveAll(true);
        if (link_)
        {
            DetachCmd();
        }
        inserts_.clear();
        for (uint32_t i = 0; i < states.Count(); ++i)
        {
            const InsertState* state = states.At(i);
            const auto position = static_cast<int32_t>(i);
            std::unique_ptr<InsertEffect> insert;
            switch (state ? state->kind : kInsertEmpty)
            {
            case kInsertDspEffect:
                insert = std::make_unique<DspEffectInsert>(link_, position,
                                                           static_cast<const DspEffectState*>(state)->preset);
                break;
            case kInsertTrimPot:
            case kInsertTestSignal:
            case kInsertPeakMeter:
                insert = std::make_unique<SpecialInsert>(link_, position, state->kind);
                break;
            case kInsertSend:
                insert = std::make_unique<SendInsert>(link_, position, static_cast<const SendState*>(state)->send);
                break;
            case kInsertSendReturn: {
                const auto* sendReturn = static_cast<const SendReturnState*>(state);
                insert = std::make_unique<SendReturnInsert>(link_, position, sendReturn->send, sendReturn->ret);
                break;
            }
            default:
                continue;
            }
            // The chunk's inserts stay whatever the server answers: they hold the user's
            // values until a mixer program takes them.
            if (link_)
            {
                insert->Apply(false);
            }
            inserts_.push_back(std::move(insert));
        }
        Renumber();
    }
    for (size_t i = 0; i < inserts_.size() && i < states.Count(); ++i)
    {
        if (const InsertState* state = states.At(static_cast<uint32_t>(i)))
        {
            inserts_[i]->LoadState(*state);
        }
    }
    if (!link_)
    {
        Changed(true);
        return;
    }
    if (!host_ || !host_->HoldsSendReturn())
    {
        CallBlock acquire;
        if (Run(acquire, kCmdAcquireSendReturn) != kCallOk)
        {
            return;
        }
    }
    if (RefreshInsertsCmd())
    {
        AttachCmd();
        for (const auto& insert : inserts_)
        {
            insert->ResendAll();
        }
    }
    else
    {
        CallBlock release;
        Run(release, kCmdReleaseSendReturn);
    }
    Changed(true);
}

void InsertChain::Invalidate(bool post)
{
    attached_ = false;
    if (!inserts_.empty())
    {
        if (host_)
        {
            host_->RebuildParamMap();
        }
        if (post && link_)
        {
            link_->PostToEditor(kMessageChainDetached, 0, 0);
        }
    }
}

void InsertChain::MarkAttached()
{
    attached_ = true;
    if (host_)
    {
        host_->RebuildParamMap();
    }
    if (link_)
    {
        link_->PostToEditor(kMessageChainAttached, 0, 0);
    }
}

void InsertChain::Detach()
{
    if (!link_)
    {
        return;
    }
    CallBlock block;
    link_->CallDirect(block, kCmdClearInsertChainFlag);
    if (block.result == kCallOk)
    {
        // From now on the inserts keep their values locally; the rebuild waits for the chain.
        attached_ = false;
        Leave(kPendingInvalidate);
    }
}

void InsertChain::DetachCmd()
{
    Hold hold(*this);
    CallBlock block;
    if (link_ && Run(block, kCmdClearInsertChainFlag) == kCallOk)
    {
        Invalidate(true);
    }
}

bool InsertChain::Attach()
{
    if (!link_)
    {
        return false;
    }
    CallBlock block;
    link_->CallDirect(block, kCmdSetInsertChainFlag);
    if (block.result != kCallOk)
    {
        return false;
    }
    Leave(kPendingAttach);
    return true;
}

bool InsertChain::AttachCmd()
{
    Hold hold(*this);
    CallBlock block;
    if (!link_ || Run(block, kCmdSetInsertChainFlag) != kCallOk)
    {
        return false;
    }
    attached_ = true;
    for (const auto& insert : inserts_)
    {
        insert->Reload();
    }
    MarkAttached();
    return true;
}

bool InsertChain::RefreshInsertsCmd()
{
    CallBlock block;
    return link_ && Run(block, kCmdRefreshInserts) == kCallOk;
}

void InsertChain::OnParamModelChange(const ParamModelChange& change)
{
    {
        std::lock_guard<std::mutex> hold(changesLock_);
        changes_.push_back(change);
    }
    Leave(kPendingModelChange);
}

void InsertChain::Leave(uint32_t work)
{
    pending_.fetch_or(work);
    while (pending_.load() != 0 && lock_.try_lock())
    {
        ++depth_;
        DoPending(true);
        --depth_;
        lock_.unlock();
    }
}

void InsertChain::DoPending(bool direct)
{
    const uint32_t work = pending_.exchange(0);
    if (work & kPendingInvalidate)
    {
        Invalidate(true);
    }
    if (work & kPendingAttach)
    {
        attached_ = true;
        for (const auto& insert : inserts_)
        {
            if (direct)
            {
                insert->Attach();
            }
            else
            {
                insert->Reload();
            }
        }
        MarkAttached();
    }
    if ((work & kPendingRebuild) && host_)
    {
        host_->RebuildParamMap();
    }
    if ((work & kPendingParamStores) && host_)
    {
        host_->StoreParamRequests(direct);
    }
    if (work & kPendingModelChange)
    {
        std::vector<ParamModelChange> changes;
        {
            std::lock_guard<std::mutex> hold(changesLock_);
            changes.swap(changes_);
        }
        for (const ParamModelChange& change : changes)
        {
            for (const auto& insert : inserts_)
            {
                if (insert->Kind() == kInsertDspEffect)
                {
                    static_cast<DspEffectInsert&>(*insert).OnParamModelChange(change);
                }
            }
        }
    }
    if (host_)
    {
        host_->SyncParamMap();
    }
}
