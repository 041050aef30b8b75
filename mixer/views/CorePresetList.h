#pragma once
#include <vector>

#include "framework/base/String.h"

class IVarnEffect;
class IVarnFxLibrary;

// The entries of the effect view's core-preset combo: one per core preset of the effect, in
// the library's order, "<zeros><number> - <name>" with the zeros padding by list position
// (two below position 10, one below 100), and " <userMark>" after a user preset's name.
struct CorePresetList
{
    std::vector<String> texts;
    // The entry whose name equals the effect's current preset name exactly (the last of
    // equal names); 0 when none does.
    int selected = 0;

    // Reads the effect's core-effect id, current preset name and every record; an effect
    // without an id gives an empty list.
    void Read(IVarnFxLibrary& library, IVarnEffect& effect, const String& userMark);
};
