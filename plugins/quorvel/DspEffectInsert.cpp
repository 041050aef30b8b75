#include "plugins/quorvel/DspEffectInsert.h"

#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/InsertState.h"

#include <cstdlib>
#include <cstring>

namespace
{

// Copies a text of at most 128 units, cut and terminated, into a record's name.
void CopyName(char16_t (&to)[128], const char16_t* from)
{
    size_t n = 0;
    for (; n + 1 < 128 && from[n] != 0; ++n)
    {
        to[n] = from[n];
    }
    for (; n < 128; ++n)
    {
        to[n] = 0;
    }
}

// A heap block for the editor's message: the insert's identity first, then the rest.
void* NewPayload(size_t size, uint32_t identity)
{
    void* block = std::calloc(1, size);
    if (block)
    {
        std::memcpy(block, &identity, sizeof(identity));
    }
    return block;
}

// Whether two record names hold the same text up to their terminator.
bool SameName(const char16_t (&a)[128], const char16_t (&b)[128])
{
    for (size_t n = 0; n < 128; ++n)
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

DspEffectInsert::DspEffectInsert(ModelLink* link, int32_t position, const PresetRecord& preset)
    : InsertEffect(kInsertDspEffect, link, position), preset_(preset)
{
}

bool DspEffectInsert::Apply(bool wait)
{
    using S = Slots::SetInsertEffect;
    if (!IsEffectRateAllowed())
    {
        return false;
    }
    CallBlock block;
    PutWord(block, S::kPosition, Position());
    PutId(block, S::kPreset, preset_.id);
    PutWord(block, S::kWait, wait ? 1 : 0);
    if (!ApplyWith(block, kCmdSetInsertEffect, wait, S::kInfo))
    {
        return false;
    }
    if (wait)
    {
        SelectPreset(0);
    }
    return true;
}

void DspEffectInsert::LoadPresetInfo(const InsertInfo& info)
{
    TakeInfo(info);
    Reload();
    SelectPreset(0);
}

void DspEffectInsert::LoadState(const InsertState& state)
{
    InsertEffect::LoadState(state);
    if (state.IsValid() && state.kind == kInsertDspEffect)
    {
        selected_ = static_cast<const DspEffectState&>(state).selectedPreset;
    }
}

void DspEffectInsert::Attach()
{
    InsertEffect::Attach();
    FetchPresetList(true);
}

void DspEffectInsert::Reload()
{
    InsertEffect::Reload();
    FetchPresetList(false);
}

const CorePresetRecord* DspEffectInsert::PresetAt(int32_t index) const
{
    return index >= 0 && index < PresetCount() ? &presets_[static_cast<size_t>(index)] : nullptr;
}

void DspEffectInsert::FetchPresetList(bool direct)
{
    using S = Slots::GetEffectCorePresets;
    presets_.clear();
    CallBlock block;
    PutId(block, S::kEffect, preset_.id);
    const bool ok = Run(block, kCmdGetEffectCorePresets, direct) == kCallOk;
    const int32_t count = WordAt(block, S::kCount);
    CorePresetRecord* records = PointerAt<CorePresetRecord>(block, S::kRecords);
    if (ok && count > 0 && records)
    {
        presets_.assign(records, records + count);
    }
    if (records)
    {
        link_->FreeServerArray(records);
    }
}

bool DspEffectInsert::SelectPreset(int32_t index)
{
    using S = Slots::SelectPreset;
    if (!IsConnected())
    {
        selected_ = index;
        return true;
    }
    if (index < 0 || index >= PresetCount())
    {
        return false;
    }
    CallBlock block;
    PutWord(block, S::kPosition, Position());
    PutWord(block, S::kIndex, index);
    if (!Succeeds(block, kCmdSelectPreset))
    {
        return false;
    }
    selected_ = index;
    if (ReadAllParams())
    {
        link_->PostToEditor(kMessagePresetSelected, Identity(), 0);
        link_->ReportAllParamsToHost();
    }
    return true;
}

bool DspEffectInsert::CreatePreset(const char16_t* name)
{
    using S = Slots::CreateCorePreset;
    CallBlock block;
    PutWord(block, S::kPosition, Position());
    PutPointer(block, S::kName, name);
    return Succeeds(block, kCmdCreateCorePreset);
}

bool DspEffectInsert::ApplyPreset(int32_t value)
{
    using S = Slots::ApplyPresetById;
    CallBlock block;
    PutWord(block, S::kPosition, Position());
    PutWord(block, S::kPreset, value);
    return Succeeds(block, kCmdApplyPresetById);
}

bool DspEffectInsert::DeletePreset(int32_t index)
{
    using S = Slots::DeleteCorePreset;
    CallBlock block;
    PutId(block, S::kEffect, preset_.id);
    PutWord(block, S::kIndex, index);
    return Succeeds(block, kCmdDeleteCorePreset);
}

bool DspEffectInsert::RenamePreset(int32_t index, const char16_t* name)
{
    using S = Slots::RenameCorePreset;
    CallBlock block;
    PutId(block, S::kEffect, preset_.id);
    PutWord(block, S::kIndex, index);
    PutPointer(block, S::kName, name);
    return Succeeds(block, kCmdRenameCorePreset);
}

bool DspEffectInsert::OnParamModelChange(const ParamModelChange& change)
{
    if (change.effect != preset_.id)
    {
        return false;
    }
    const int32_t index = change.preset.number;
    // Every preset-list event makes the mixer tell of the last change again: a preset already
    // at its place is not added twice, and a removal whose preset has gone already (the record
    // names it) removes nothing more.
    const bool atItsPlace =
        index >= 0 && index < PresetCount() && SameName(presets_[static_cast<size_t>(index)].name, change.preset.name);
    switch (change.kind)
    {
    case 0: {
        if (atItsPlace)
        {
            return false;
        }
        presets_.push_back(change.preset);
        presets_.back().number = PresetCount() - 1;
        void* block = NewPayload(4 + sizeof(change.preset.name), Identity());
        if (block)
        {
            std::memcpy(static_cast<uint8_t*>(block) + 4, change.preset.name, sizeof(change.preset.name));
            link_->PostToEditor(kMessageCorePresetsChanged, 0, reinterpret_cast<uintptr_t>(block));
        }
        return true;
    }
    case 1: {
        if (index < 0 || index >= PresetCount() || (change.preset.name[0] != 0 && !atItsPlace))
        {
            return false;
        }
        presets_.erase(presets_.begin() + index);
        for (int32_t i = index; i < PresetCount(); ++i)
        {
            presets_[static_cast<size_t>(i)].number = i;
        }
        void* block = NewPayload(8, Identity());
        if (block)
        {
            std::memcpy(static_cast<uint8_t*>(block) + 4, &index, sizeof(index));
            link_->PostToEditor(kMessageCorePresetsChanged, 1, reinterpret_cast<uintptr_t>(block));
        }
        return true;
    }
    case 2: {
        if (index < 0 || index >= PresetCount())
        {
            return false;
        }
        CorePresetRecord& preset = presets_[static_cast<size_t>(index)];
        CopyName(preset.name, change.preset.name);
        void* block = NewPayload(8 + sizeof(preset.name), Identity());
        if (block)
        {
            std::memcpy(static_cast<uint8_t*>(block) + 4, &index, sizeof(index));
            std::memcpy(static_cast<uint8_t*>(block) + 8, preset.name, sizeof(preset.name));
            link_->PostToEditor(kMessageCorePresetsChanged, 2, reinterpret_cast<uintptr_t>(block));
        }
        return true;
    }
    default:
        return false;
    }
}
