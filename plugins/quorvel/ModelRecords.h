#pragma once
// The records the effect model exchanges with the mixer program, as portable twins of the COM
// server's (mixer/comcontract/ComInterfaces.h): the same sizes and offsets, fixed-width fields,
// UTF-16 texts, so the model builds and is tested natively. The Windows build checks that
// each twin lies exactly as the server's record, which the services link hands over as is.

#include "plugins/quorvel/ParamChain.h"

#include <cstddef>
#include <cstdint>

// A 16-byte id of an effect or a preset, compared as four 32-bit words.
struct EffectId
{
    uint32_t data[4] = {};

    bool IsZero() const { return (data[0] | data[1] | data[2] | data[3]) == 0; }
    friend bool operator==(const EffectId& a, const EffectId& b)
    {
        return a.data[0] == b.data[0] && a.data[1] == b.data[1] && a.data[2] == b.data[2] && a.data[3] == b.data[3];
    }
    friend bool operator!=(const EffectId& a, const EffectId& b) { return !(a == b); }
};
static_assert(sizeof(EffectId) == 16, "effect id");

// What an insert became, as the server answers when it is set (ten 32-bit values).
struct InsertInfo
{
    char16_t shortName[10];
    int32_t canBypass;
    int32_t hasWetDry;
    int32_t hasHidden;
    int32_t wetDryIndex;
    int32_t hiddenIndex;
};
static_assert(sizeof(InsertInfo) == 40 && offsetof(InsertInfo, canBypass) == 20 &&
                  offsetof(InsertInfo, hiddenIndex) == 36,
              "insert information");

// A preset category (264 bytes); isCore is 1 for the core effects category.
struct CategoryRecord
{
    char16_t name[128];
    int32_t value;
    int32_t isCore;
};
static_assert(sizeof(CategoryRecord) == 264 && offsetof(CategoryRecord, isCore) == 260, "category record");

// A preset of a category, or the effect an insert runs (276 bytes); isChain 1: several effects.
struct PresetRecord
{
    char16_t name[128];
    EffectId id;
    int32_t isChain;
};
static_assert(sizeof(PresetRecord) == 276 && offsetof(PresetRecord, id) == 256 &&
                  offsetof(PresetRecord, isChain) == 272,
              "preset record");

// A preset of one effect (264 bytes): number equals its index, isFactory 0 = user-defined.
struct CorePresetRecord
{
    int32_t number;
    char16_t name[128];
    int32_t isFactory;
};
static_assert(sizeof(CorePresetRecord) == 264 && offsetof(CorePresetRecord, name) == 4 &&
                  offsetof(CorePresetRecord, isFactory) == 260,
              "core preset record");

// One stored parameter value of a chain preset (264 bytes).
struct PresetValueRecord
{
    char16_t name[128];
    ParamValue value;
};
static_assert(sizeof(PresetValueRecord) == 264 && offsetof(PresetValueRecord, value) == 256, "preset value record");

// One choice of a selector parameter (256 bytes).
struct ChoiceName
{
    char16_t name[128];
};
static_assert(sizeof(ChoiceName) == 256, "choice name");

// One entry of a batch read (16 bytes): the server fills in the value.
struct ParamValueEntry
{
    int32_t position;
    int32_t parameter;
    ParamValue value;
};
static_assert(sizeof(ParamValueEntry) == 16 && offsetof(ParamValueEntry, value) == 8, "batch entry");

// The last change of the effects library (536 bytes), kinds 0-5.
struct PresetChangeRecord
{
    int32_t kind;
    char16_t categoryName[128];
    uint8_t detail[276];
};
static_assert(sizeof(PresetChangeRecord) == 536 && offsetof(PresetChangeRecord, detail) == 260,
              "library change record");

// The last change of an effect's preset list (284 bytes): kind 0 added, 1 removed, 2 renamed.
struct ParamModelChange
{
    EffectId effect;
    int32_t kind;
    CorePresetRecord preset;
};
static_assert(sizeof(ParamModelChange) == 284 && offsetof(ParamModelChange, preset) == 20, "preset list change record");

// The plug-in's own hardware channel record of a send or send/return insert (264 bytes). The
// server's channel lists carry 8-bit names (KivHardwareChannel); the plug-in never asks for
// those: it keeps its name as UTF-16, 128 units, as the state chunk stores it ("PISI",
// "PIRI"), and only the two values reach the server.
struct ChannelRecord
{
    char16_t name[128];
    int32_t first;
    int32_t second;
};
static_assert(sizeof(ChannelRecord) == 264 && offsetof(ChannelRecord, first) == 256 &&
                  offsetof(ChannelRecord, second) == 260,
              "channel record");

// Two value pairs are equal when their kinds are, and kind 0 always, kinds 1, 3 and 4 by
// integer and kind 2 by float comparison (-0.0 equals +0.0).
inline bool SameValue(const ParamValue& a, const ParamValue& b)
{
    if (a.kind != b.kind)
    {
        return false;
    }
    switch (a.kind)
    {
    case 0:
        return true;
    case 2:
        return a.AsReal() == b.AsReal();
    default:
        return a.bits == b.bits;
    }
}

#ifdef _WIN32
#include "mixer/comcontract/ComInterfaces.h"

// The services link hands these records across as they lie: each twin must be the server's.
static_assert(sizeof(EffectId) == sizeof(KivEffectId), "effect id twin");
static_assert(sizeof(InsertInfo) == sizeof(KivInsertInfo) &&
                  offsetof(InsertInfo, hiddenIndex) == offsetof(KivInsertInfo, hiddenIndex),
              "insert information twin");
static_assert(sizeof(CategoryRecord) == sizeof(KivEffectCategory) &&
                  offsetof(CategoryRecord, isCore) == offsetof(KivEffectCategory, isCore),
              "category twin");
static_assert(sizeof(PresetRecord) == sizeof(KivEffectPreset) &&
                  offsetof(PresetRecord, isChain) == offsetof(KivEffectPreset, isChain),
              "preset twin");
static_assert(sizeof(CorePresetRecord) == sizeof(KivCorePreset) &&
                  offsetof(CorePresetRecord, isFactory) == offsetof(KivCorePreset, isFactory),
              "core preset twin");
static_assert(sizeof(PresetValueRecord) == sizeof(KivPresetValue), "preset value twin");
static_assert(sizeof(ChoiceName) == sizeof(KivChoiceName), "choice name twin");
static_assert(sizeof(ParamValueEntry) == sizeof(KivParameterValueEntry) &&
                  offsetof(ParamValueEntry, value) == offsetof(KivParameterValueEntry, value),
              "batch entry twin");
static_assert(sizeof(PresetChangeRecord) == sizeof(KivPresetChange) &&
                  offsetof(PresetChangeRecord, detail) == offsetof(KivPresetChange, detail),
              "library change twin");
static_assert(sizeof(ParamModelChange) == sizeof(KivParamModelChange) &&
                  offsetof(ParamModelChange, preset) == offsetof(KivParamModelChange, preset),
              "preset list change twin");
static_assert(ParamDescriptor::kSize == sizeof(KivParameterDescriptor), "parameter descriptor twin");
#endif
