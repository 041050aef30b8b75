#include "standins/engine/StandinEffect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "mixer/engine/EngineVocabulary.h"

int StandinCopyText(const std::u16string& text, char16_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    const size_t units = std::min<size_t>(text.size(), static_cast<size_t>(capacity - 1));
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(units), buffer);
    buffer[units] = 0;
    return 1;
}

void StandinEffectLibrary::AddPreset(const VarnEffectId& id, int number, const std::u16string& name, int factory)
{
    VarnCorePresetRecord record{};
    record.number = number;
    StandinCopyText(name, record.name, 128);
    record.isFactory = factory;
    PresetsOf(id).push_back(record);
}

std::vector<VarnCorePresetRecord>* StandinEffectLibrary::ListHolding(const VarnCorePresetRecord& record, int index)
{
    for (auto& entry : presets_)
    {
        auto& list = entry.second;
        if (index >= 0 && index < static_cast<int>(list.size()) && list[index].number == record.number &&
            std::u16string(list[index].name) == std::u16string(record.name))
            return &list;
    }
    return nullptr;
}

StandinEffect::StandinEffect(std::u16string name, VarnEffectId coreId, int key, std::vector<Parameter> parameters)
    : parameters(std::move(parameters)), name_(std::move(name)), id_(coreId), key_(key)
{
}

std::vector<StandinEffect::Parameter> StandinEffect::CoreParameters()
{
    std::vector<Parameter> list(8);
    list[0].name = u"Power";
    list[0].valueType = 0, list[0].controlKind = 0, list[0].value = list[0].defaultValue = 1;
    list[0].help = u"Switches the effect on and off";
    list[1].name = u"Clear";
    list[1].valueType = 1, list[1].controlKind = 1;
    list[2].name = u"Shape";
    list[2].valueType = 3, list[2].controlKind = 4, list[2].maximum = 2;
    list[2].entries = {u"Soft", u"Medium", u"Hard"};
    list[3].name = u"Delay";
    list[3].valueType = 2, list[3].controlKind = 9, list[3].maximum = 500, list[3].value = 120;
    list[3].unit = u"ms";
    list[4].name = u"Drive";
    list[4].valueType = 4, list[4].controlKind = 2, list[4].minimum = -24, list[4].maximum = 24;
    list[4].unit = u"dB", list[4].help = u"Input drive";
    list[5].name = u"Level";
    list[5].valueType = 4, list[5].controlKind = 7, list[5].minimum = -60, list[5].maximum = 0, list[5].value = -60;
    list[5].unit = u"dB", list[5].state = 1;
    list[6].name = u"Reduction";
    list[6].valueType = 4, list[6].controlKind = 8, list[6].minimum = -30, list[6].maximum = 0, list[6].state = 2;
    list[7].name = u"Link";
    list[7].valueType = 0, list[7].controlKind = 0, list[7].internal = 1;
    return list;
}

void StandinEffect::Log(const std::string& line)
{
    if (log)
        log((removed ? "removed effect " : "effect ") + line);
}

void StandinEffect::Raise(int id)
{
    if (raise)
        raise(id, key_);
}

StandinEffect::Parameter* StandinEffect::Find(int index)
{
    return index >= 0 && index < static_cast<int>(parameters.size()) ? &parameters[index] : nullptr;
}

int VARN_CALL StandinEffect::SelectPreset(int index, int flags)
{
    Log("SelectPreset " + std::to_string(index) + " " + std::to_string(flags));
    if (!library_)
        return 0;
    const auto& presets = library_->PresetsOf(id_);
    if (index < 0 || index >= static_cast<int>(presets.size()))
        return 0;
    presetName = presets[index].name;
    Raise(EngineEvent::kEffectEvent);
    return 1;
}

int VARN_CALL StandinEffect::GetPresetName(char16_t* buffer, int capacity)
{
    return StandinCopyText(presetName, buffer, capacity);
}

int VARN_CALL StandinEffect::GetParameterCount()
{
    Log("GetParameterCount");
    return static_cast<int>(parameters.size());
}

int VARN_CALL StandinEffect::GetParameterName(int index, char16_t* buffer, int capacity)
{
    Parameter* p = Find(index);
    return p ? StandinCopyText(p->name, buffer, capacity) : 0;
}

int VARN_CALL StandinEffect::GetValueType(int index)
{
    Parameter* p = Find(index);
    return p ? p->valueType : -1;
}

int VARN_CALL StandinEffect::GetControlKind(int index)
{
    Parameter* p = Find(index);
    return p ? p->controlKind : -1;
}

int VARN_CALL StandinEffect::GetFlagValue(int index, int which)
{
    Parameter* p = Find(index);
    return p ? static_cast<int>(which ? p->defaultValue : p->value) : 0;
}

int VARN_CALL StandinEffect::GetIntValue(int index, int which)
{
    return GetFlagValue(index, which);
}

int VARN_CALL StandinEffect::GetSelectorValue(int index, int which)
{
    return GetFlagValue(index, which);
}

float VARN_CALL StandinEffect::GetRealValue(int index, int which)
{
    Log("GetRealValue " + std::to_string(index) + " " + std::to_string(which));
    Parameter* p = Find(index);
    return p ? (which ? p->defaultValue : p->value) : 0.0f;
}

int VARN_CALL StandinEffect::GetSelectorText(int index, int entry, char16_t* buffer, int capacity)
{
    Parameter* p = Find(index);
    if (!p || entry < 0 || entry >= static_cast<int>(p->entries.size()))
        return 0;
    return StandinCopyText(p->entries[entry], buffer, capacity);
}

namespace
{
// Writes a parameter's range through the pointers that are not null.
template <typename Number>
int WriteRange(const StandinEffect::Parameter* p, Number* minimum, Number* maximum, Number* step, Number* page,
               Number unit)
{
    if (!p)
        return 0;
    if (minimum)
        *minimum = static_cast<Number>(p->minimum);
    if (maximum)
        *maximum = static_cast<Number>(p->maximum);
    if (step)
        *step = unit;
    if (page)
        *page = unit;
    return 1;
}
} // namespace

int VARN_CALL StandinEffect::GetIntRange(int index, int* minimum, int* maximum, int* step, int* page)
{
    return WriteRange(Find(index), minimum, maximum, step, page, 1);
}

int VARN_CALL StandinEffect::GetSelectorRange(int index, int* minimum, int* maximum, int* step, int* page)
{
    return GetIntRange(index, minimum, maximum, step, page);
}

int VARN_CALL StandinEffect::GetRealRange(int index, float* minimum, float* maximum, float* step, float* page)
{
    return WriteRange(Find(index), minimum, maximum, step, page, 0.0f);
}

int StandinEffect::Set(const char* what, int index, float value, int type)
{
    Log(std::string(what) + " " + std::to_string(index) + " " + std::to_string(value));
    Parameter* p = Find(index);
    if (!p || p->valueType != type || std::isnan(value) || value < p->minimum || value > p->maximum)
        return 0;
    if (type == 0 && value != 0 && value != 1)
        return 0;
    p->value = value;
    if (EngineEvent::kEffectParameter.Holds(EngineEvent::kEffectParameter.first + index))
        Raise(EngineEvent::kEffectParameter.first + index);
    return 1;
}

int VARN_CALL StandinEffect::SetFlagValue(int index, int value, int)
{
    return Set("SetFlagValue", index, static_cast<float>(value), 0);
}

int VARN_CALL StandinEffect::Trigger(int index, int value, int)
{
    Log("Trigger " + std::to_string(index) + " " + std::to_string(value));
    Parameter* p = Find(index);
    return p && p->valueType == 1 ? 1 : 0;
}

int VARN_CALL StandinEffect::SetIntValue(int index, int value, int)
{
    return Set("SetIntValue", index, static_cast<float>(value), 2);
}

int VARN_CALL StandinEffect::SetSelectorValue(int index, int value, int)
{
    return Set("SetSelectorValue", index, static_cast<float>(value), 3);
}

int VARN_CALL StandinEffect::SetRealValue(int index, float value, int)
{
    return Set("SetRealValue", index, value, 4);
}

int VARN_CALL StandinEffect::GetUnit(int index, char16_t* buffer, int capacity)
{
    Parameter* p = Find(index);
    return p ? StandinCopyText(p->unit, buffer, capacity) : 0;
}

int VARN_CALL StandinEffect::GetHelp(int index, char16_t* buffer, int capacity)
{
    Parameter* p = Find(index);
    return p ? StandinCopyText(p->help, buffer, capacity) : 0;
}

int VARN_CALL StandinEffect::GetParameterState(int index)
{
    Parameter* p = Find(index);
    return p ? p->state : 0;
}

int VARN_CALL StandinEffect::GetCoreEffectId(VarnEffectId* id)
{
    if (!id)
        return 0;
    *id = id_;
    return 1;
}

int VARN_CALL StandinEffect::IsInternalParameter(int index)
{
    Parameter* p = Find(index);
    return p ? p->internal : 0;
}

int VARN_CALL StandinEffect::IsLinkedParameter(int index)
{
    Parameter* p = Find(index);
    return p ? p->linked : 0;
}

int VARN_CALL StandinEffect::GetDisplayText(int index, char16_t* buffer, int capacity)
{
    Parameter* p = Find(index);
    if (!p)
        return 0;
    std::u16string text;
    for (char c : std::to_string(static_cast<int>(p->value)))
        text += static_cast<char16_t>(c);
    if (!p->unit.empty())
        text += u" " + p->unit;
    return StandinCopyText(text, buffer, capacity);
}
