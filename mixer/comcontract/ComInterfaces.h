#pragma once
// The COM server's interfaces as the IDL compiler declares them, with the wire layout of the
// records checked: the records cross process and bitness boundaries unchanged.
#include <cstddef>

#include "mixer/comcontract/KivCorvanServices.h"

static_assert(sizeof(KivASIOMonitorInfo) == 20, "monitor record");
static_assert(offsetof(KivASIOMonitorInfo, gain) == 8 && offsetof(KivASIOMonitorInfo, pan) == 16,
              "monitor record fields");
static_assert(sizeof(KivASIODrvProfile) == 100, "driver profile record");
static_assert(offsetof(KivASIODrvProfile, driverVersion) == 36 && offsetof(KivASIODrvProfile, szDeviceKey) == 40,
              "driver profile fields");
static_assert(sizeof(KivEffectId) == 16, "effect id");
static_assert(sizeof(KivSendReturn) == 16, "send/return record");
static_assert(sizeof(KivEffectCategory) == 264 && offsetof(KivEffectCategory, isCore) == 260, "category record");
static_assert(sizeof(KivEffectPreset) == 276 && offsetof(KivEffectPreset, id) == 256 &&
                  offsetof(KivEffectPreset, isChain) == 272,
              "preset record");
static_assert(sizeof(KivCorePreset) == 264 && offsetof(KivCorePreset, isFactory) == 260, "core preset record");
static_assert(sizeof(KivPresetValue) == 264, "preset value record");
static_assert(sizeof(KivInsertInfo) == 40, "insert information");
static_assert(sizeof(KivParameterDescriptor) == 1052 && offsetof(KivParameterDescriptor, name) == 4 &&
                  offsetof(KivParameterDescriptor, access) == 516 && offsetof(KivParameterDescriptor, valueKind) == 520,
              "parameter descriptor");
static_assert(sizeof(KivChoiceName) == 256, "choice name");
static_assert(sizeof(KivParameterValueEntry) == 16, "batch entry");
static_assert(sizeof(KivPresetChange) == 536 && offsetof(KivPresetChange, categoryName) == 4 &&
                  offsetof(KivPresetChange, detail) == 260,
              "library change record");
static_assert(sizeof(KivParamModelChange) == 284 && offsetof(KivParamModelChange, preset) == 20,
              "preset list change record");
static_assert(sizeof(KivHardwareChannel) == 264 && offsetof(KivHardwareChannel, type) == 256 &&
                  offsetof(KivHardwareChannel, index) == 260,
              "hardware channel record");
