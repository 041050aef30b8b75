#pragma once
// An insert that runs one of the card's DSP effects, with the effect's preset list.

#include "plugins/quorvel/InsertEffect.h"

#include <vector>

class DspEffectInsert final : public InsertEffect
{
public:
    // preset: the catalogue's record of the effect (name, 16-byte effect id, chain flag).
    DspEffectInsert(ModelLink* link, int32_t position, const PresetRecord& preset);

    // Refused above 48 kHz; with wait the server's answer becomes the insert's information,
    // everything is read and the first preset selected.
    bool Apply(bool wait) override;
    void LoadState(const InsertState& state) override;
    void Attach() override;
    void Reload() override;
    // After the server loaded a preset into this slot: its answer, then as Apply.
    void LoadPresetInfo(const InsertInfo& info);

    const PresetRecord& Preset() const { return preset_; }
    const EffectId& GetEffectId() const { return preset_.id; }
    int32_t PresetCount() const { return static_cast<int32_t>(presets_.size()); }
    // Null outside the list.
    const CorePresetRecord* PresetAt(int32_t index) const;
    int32_t SelectedPreset() const { return selected_; }

    void FetchPresets() { FetchPresetList(false); }
    bool SelectPreset(int32_t index);
    bool CreatePreset(const char16_t* name);
    bool ApplyPreset(int32_t value);
    bool DeletePreset(int32_t index);
    bool RenamePreset(int32_t index, const char16_t* name);
    // Services thread: the server changed this effect's preset list; false when the change
    // is not this effect's or names no preset of the list.
    bool OnParamModelChange(const ParamModelChange& change);

private:
    void FetchPresetList(bool direct);
    bool Succeeds(CallBlock& block, int32_t command) { return Run(block, command) == kCallOk; }

    PresetRecord preset_;
    std::vector<CorePresetRecord> presets_;
    int32_t selected_ = 0;
};
