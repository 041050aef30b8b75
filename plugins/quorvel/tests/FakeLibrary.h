#pragma once
// The mixer program's effect library and this client's chain commands for the model's tests:
// categories, presets and chain presets held in memory, served to a FakeModelLink as its
// further server. Arrays are handed out with malloc and counted on the link until given back;
// GetInserts refuses a null detail pointer, as the server's proxy does across processes.

#include "plugins/quorvel/tests/FakeModelLink.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

class FakeLibrary
{
public:
    struct Effect
    {
        EffectId id;
        std::vector<PresetValueRecord> values;
        float wetDry = 1.0f;
    };
    struct Preset
    {
        std::u16string name;
        EffectId id;
        bool chain = false;
        std::vector<Effect> effects; // a chain preset's
    };
    struct Category
    {
        std::u16string name;
        int32_t isCore = 0;
        std::vector<Preset> presets;
    };

    std::vector<Category> categories;
    int32_t chainFactory = 1;          // GetInserts' flag
    std::vector<int32_t> fits;         // the answers of kCmdGetEffectsFit and kCmdGetPresetsFit, by index
    std::vector<std::u16string> edits; // every edit's first text argument
    // The chain's own commands (the pair, move, refresh, chain flags, bypass all) succeed unless
    // refused on the link.
    std::vector<std::pair<int32_t, int32_t>> moves; // (from, to) of every move

    explicit FakeLibrary(FakeModelLink& link) : link_(link)
    {
        link.server = [this](CallBlock& block, int32_t command) { return Serve(block, command); };
    }

    static EffectId Id(uint32_t n) { return EffectId{{n, n, n, n}}; }
    static PresetValueRecord Value(const std::u16string& name, const ParamValue& value)
    {
        PresetValueRecord record{};
        std::memcpy(record.name, name.data(), 2 * std::min<size_t>(name.size(), 127));
        record.value = value;
        return record;
    }

private:
    template <typename T>
    T* HandOut(const std::vector<T>& records)
    {
        if (records.empty())
        {
            return nullptr;
        }
        T* array = static_cast<T*>(std::malloc(sizeof(T) * records.size()));
        std::memcpy(static_cast<void*>(array), records.data(), sizeof(T) * records.size());
        ++link_.outstanding;
        return array;
    }
    template <size_t Units>
    static void Name(char16_t (&target)[Units], const std::u16string& name)
    {
        std::memset(target, 0, sizeof(target));
        std::memcpy(target, name.data(), 2 * std::min(name.size(), Units - 1));
    }
    static EffectId IdAt(const CallBlock& block, int first)
    {
        EffectId id;
        for (int i = 0; i < 4; ++i)
        {
            id.data[i] = static_cast<uint32_t>(block.a[first + i]);
        }
        return id;
    }
    const Preset* Find(const EffectId& id) const
    {
        for (const Category& category : categories)
        {
            for (const Preset& preset : category.presets)
            {
                if (preset.id == id)
                {
                    return &preset;
                }
            }
        }
        return nullptr;
    }
    static PresetRecord RecordOf(const Preset& preset)
    {
        PresetRecord record{};
        Name(record.name, preset.name);
        record.id = preset.id;
        record.isChain = preset.chain ? 1 : 0;
        return record;
    }

    bool Serve(CallBlock& b, int32_t command)
    {
        switch (command)
        {
        case kCmdGetEffectCatalog: {
            std::vector<CategoryRecord> records;
            for (const Category& category : categories)
            {
                CategoryRecord record{};
                Name(record.name, category.name);
                record.isCore = category.isCore;
                records.push_back(record);
            }
            PutWord(b, Slots::GetEffectCatalog::kCount, static_cast<int32_t>(records.size()));
            PutPointer(b, Slots::GetEffectCatalog::kRecords, HandOut(records));
            break;
        }
        case kCmdGetEffectPresets: {
            const auto* asked = PointerAt<const CategoryRecord>(b, Slots::GetEffectPresets::kCategory);
            const Category* found = nullptr;
            for (const Category& category : categories)
            {
                found = !found && asked && category.name == asked->name ? &category : found;
            }
            if (!found)
            {
                return true;
            }
            std::vector<PresetRecord> records;
            for (const Preset& preset : found->presets)
            {
                records.push_back(RecordOf(preset));
            }
            PutWord(b, Slots::GetEffectPresets::kCount, static_cast<int32_t>(records.size()));
            PutPointer(b, Slots::GetEffectPresets::kRecords, HandOut(records));
            break;
        }
        case kCmdGetInserts: {
            using S = Slots::GetInserts;
            const Preset* preset = Find(IdAt(b, S::kPreset));
            auto** wetDry = PointerAt<float*>(b, S::kWetDry);
            auto** counts = PointerAt<int32_t*>(b, S::kValueCounts);
            auto* total = PointerAt<int32_t>(b, S::kValueTotal);
            auto** values = PointerAt<PresetValueRecord*>(b, S::kValues);
            if (!preset || !wetDry || !counts || !total || !values)
            {
                return true;
            }
            std::vector<PresetRecord> effects;
            std::vector<int32_t> valueCounts;
            std::vector<float> mixes;
            std::vector<PresetValueRecord> all;
            for (const Effect& effect : preset->effects)
            {
                PresetRecord record{};
                record.id = effect.id;
                effects.push_back(record);
                valueCounts.push_back(static_cast<int32_t>(effect.values.size()));
                mixes.push_back(effect.wetDry);
                all.insert(all.end(), effect.values.begin(), effect.values.end());
            }
            PutWord(b, S::kFactory, chainFactory);
            PutWord(b, S::kCount, static_cast<int32_t>(effects.size()));
            PutPointer(b, S::kEffects, HandOut(effects));
            *wetDry = HandOut(mixes);
            *counts = HandOut(valueCounts);
            *total = static_cast<int32_t>(all.size());
            *values = HandOut(all);
            break;
        }
        case kCmdCreatePresetCategory:
        case kCmdDeletePresetCategory:
        case kCmdRenamePresetCategory:
        case kCmdCreatePreset:
            edits.push_back(PointerAt<const char16_t>(b, command == kCmdCreatePreset ? Slots::CreatePreset::kCategory
                                                                                     : Slots::PresetCategory::kName));
            break;
        case kCmdDeletePreset:
        case kCmdRenamePreset:
            edits.push_back(u"#" +
                            std::u16string(1, static_cast<char16_t>(u'0' + IdAt(b, command == kCmdDeletePreset
                                                                                       ? Slots::DeletePreset::kPreset
                                                                                       : Slots::RenamePreset::kPreset)
                                                                               .data[0])));
            break;
        case kCmdGetEffectsFit:
        case kCmdGetPresetsFit: {
            auto* flags = PointerAt<int32_t>(b, Slots::Fit::kFlags);
            for (int32_t i = 0; i < WordAt(b, Slots::Fit::kCount); ++i)
            {
                flags[i] = static_cast<size_t>(i) < fits.size() ? fits[static_cast<size_t>(i)] : 0;
            }
            break;
        }
        case kCmdMoveInsert:
            moves.emplace_back(WordAt(b, Slots::MoveInsert::kFrom), WordAt(b, Slots::MoveInsert::kTo));
            break;
        case kCmdAcquireSendReturn:
        case kCmdReleaseSendReturn:
        case kCmdRefreshInserts:
        case kCmdClearInsertChainFlag:
        case kCmdSetInsertChainFlag:
        case kCmdSetAllInsertsBypass:
            break;
        default:
            return false;
        }
        b.result = kCallOk;
        return true;
    }

    FakeModelLink& link_;
};
