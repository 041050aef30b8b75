#pragma once
// The mixer program's effect categories and their presets, fetched when first asked for.
// Until the effect model asks, nothing is fetched and the library's changes are ignored.

#include "mixer/comserver/ComInterfaces.h"

class EffectCatalog
{
public:
    EffectCatalog() = default;
    EffectCatalog(const EffectCatalog&) = delete;
    EffectCatalog& operator=(const EffectCatalog&) = delete;

    // Services thread: a category or preset was added, deleted or renamed.
    void OnPresetChange(const KivPresetChange&) {}
};
