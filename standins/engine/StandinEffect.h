#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "mixer/engine/VarnServices.h"

// An effect instance of the simulated engine, behind IVarnEffect: its parameters (value types,
// control kinds, states, ranges, texts, units and help as a test or the card lays them out),
// its current preset and its event key. The core presets come from the library that holds the
// effect's list. Every call is logged; a refused call (bad index, a value outside the range)
// answers 0 and changes nothing. Events go out through raise: 602 after a preset select,
// 610 + i after a set of parameter i, each with the effect's key. Tests change the parameter
// set directly and raise 1000-1299 through RaiseParameterEvent. Guarded by the caller's
// thread: the program calls it on its user-interface thread only; the chains hand it the
// engine's raise, which delivers on the engine's thread.
class StandinEffectLibrary;

class StandinEffect final : public IVarnEffect
{
public:
    struct Parameter
    {
        std::u16string name;
        int valueType = 4; // 0 on/off, 1 trigger, 2 integer with text, 3 selector, 4 continuous
        int controlKind = 2;
        int state = 0;
        int internal = 0; // IVarnEffect 33
        int linked = 0;   // IVarnEffect 34
        float minimum = 0, maximum = 1;
        float value = 0, defaultValue = 0;
        std::vector<std::u16string> entries; // a selector's texts
        std::u16string unit, help;
    };

    StandinEffect(std::u16string name, VarnEffectId coreId, int key, std::vector<Parameter> parameters);

    const char16_t* VARN_CALL GetName() override { return name_.c_str(); }
    const char16_t* VARN_CALL GetSlotName() override { return name_.c_str(); }
    int VARN_CALL SelectPreset(int index, int flags) override;
    int VARN_CALL GetPresetName(char16_t* buffer, int capacity) override;
    int VARN_CALL GetParameterCount() override;
    int VARN_CALL GetParameterName(int index, char16_t* buffer, int capacity) override;
    int VARN_CALL GetValueType(int index) override;
    int VARN_CALL GetControlKind(int index) override;
    int VARN_CALL GetFlagValue(int index, int which) override;
    int VARN_CALL GetIntValue(int index, int which) override;
    int VARN_CALL GetSelectorValue(int index, int which) override;
    float VARN_CALL GetRealValue(int index, int which) override;
    int VARN_CALL GetSelectorText(int index, int entry, char16_t* buffer, int capacity) override;
    int VARN_CALL GetIntRange(int index, int* minimum, int* maximum, int* step, int* page) override;
    int VARN_CALL GetSelectorRange(int index, int* minimum, int* maximum, int* step, int* page) override;
    int VARN_CALL GetRealRange(int index, float* minimum, float* maximum, float* step, float* page) override;
    int VARN_CALL SetFlagValue(int index, int value, int flags) override;
    int VARN_CALL Trigger(int index, int value, int flags) override;
    int VARN_CALL SetIntValue(int index, int value, int flags) override;
    int VARN_CALL SetSelectorValue(int index, int value, int flags) override;
    int VARN_CALL SetRealValue(int index, float value, int flags) override;
    int VARN_CALL GetUnit(int index, char16_t* buffer, int capacity) override;
    int VARN_CALL GetHelp(int index, char16_t* buffer, int capacity) override;
    int VARN_CALL GetParameterState(int index) override;
    int VARN_CALL GetCoreEffectId(VarnEffectId* id) override;
    int VARN_CALL GetEventKey() override { return key_; }
    int VARN_CALL IsInternalParameter(int index) override;
    int VARN_CALL IsLinkedParameter(int index) override;
    int VARN_CALL GetDisplayText(int index, char16_t* buffer, int capacity) override;

    // A fixed parameter set for tests that need every value type and control kind at once, a
    // disabled and a marked one, and one the engine keeps to itself. The chains' effects take
    // theirs from the library (StandinChains.cpp).
    static std::vector<Parameter> CoreParameters();
    // Events 1000-1299 as the engine raises them when its parameter set changes.
    void RaiseParameterEvent(int id) { Raise(id); }
    // Where the effect finds its core presets; borrowed, may be null.
    void SetLibrary(StandinEffectLibrary* library) { library_ = library; }

    std::vector<Parameter> parameters;
    std::u16string presetName;
    std::function<void(std::string)> log;
    std::function<void(int, VarnEventArg)> raise;
    int removed = 0; // set when its insert let it go: calls are logged as made on a removed effect

private:
    Parameter* Find(int index);
    int Set(const char* what, int index, float value, int type);
    void Log(const std::string& line);
    void Raise(int id);

    std::u16string name_;
    VarnEffectId id_;
    int key_;
    StandinEffectLibrary* library_ = nullptr;
};

// Copies text into a caller's buffer of capacity units, cut and zero-terminated; 0 when there
// is no room at all.
int StandinCopyText(const std::u16string& text, char16_t* buffer, int capacity);

// The core presets of the card's effects, keyed by the core-effect id's first word; shared
// by the library's operations 13, 14 and 21-24 and by the effects' preset selection.
class StandinEffectLibrary
{
public:
    std::vector<VarnCorePresetRecord>& PresetsOf(const VarnEffectId& id) { return presets_[id.data[0]]; }
    void AddPreset(const VarnEffectId& id, int number, const std::u16string& name, int factory);
    // The list whose entry at index is still the record (same number and name), or null.
    std::vector<VarnCorePresetRecord>* ListHolding(const VarnCorePresetRecord& record, int index);

private:
    std::map<std::uint32_t, std::vector<VarnCorePresetRecord>> presets_;
};
