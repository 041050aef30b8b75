#pragma once
// What the preset inspector shows for an item of the FX palette, one text a line.

#include "plugins/quorvel/EffectCatalog.h"

#include <string>
#include <vector>

// A category: its name and how many presets it holds.
std::vector<std::u16string> CategoryInspectorLines(const std::u16string& name, int32_t presetCount);
// A preset: its palette label; a chain preset its name (" [user]" unless a factory preset)
// and ":", then each effect numbered from 1, named when the catalogue or the special effects
// know its id, bare after ". " otherwise.
std::vector<std::u16string> PresetInspectorLines(EffectCatalog& catalog, PresetEntry& entry,
                                                 const std::u16string& label);
