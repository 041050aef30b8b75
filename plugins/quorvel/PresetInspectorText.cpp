#include "plugins/quorvel/PresetInspectorText.h"

namespace
{
std::u16string Number(int32_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string EffectName(EffectCatalog& catalog, const EffectId& id)
{
    if (id.IsZero())
        return std::u16string();
    switch (SpecialKindOf(id))
    {
    case kSpecialPeakMeter:
        return u"Peak Meter";
    case kSpecialTestSignal:
        return u"Test Signal";
    case kSpecialTrimPot:
        return u"Trim Pot";
    default:
        break;
    }
    const std::shared_ptr<PresetEntry> effect = catalog.FindPreset(id);
    return effect ? std::u16string(effect->Record().name) : std::u16string();
}
} // namespace

std::vector<std::u16string> CategoryInspectorLines(const std::u16string& name, int32_t presetCount)
{
    return {name + u" (" + Number(presetCount) + u")"};
}

std::vector<std::u16string> PresetInspectorLines(EffectCatalog& catalog, PresetEntry& entry,
                                                 const std::u16string& label)
{
    if (!entry.IsChain())
        return {label};
    std::vector<std::u16string> lines;
    lines.push_back(std::u16string(entry.Record().name) + (entry.IsFactory() ? u"" : u" [user]") + u":");
    const int32_t count = entry.ChildCount();
    for (int32_t i = 0; i < count; ++i)
        lines.push_back(Number(i + 1) + u". " + EffectName(catalog, entry.ChildIdAt(i)));
    return lines;
}
