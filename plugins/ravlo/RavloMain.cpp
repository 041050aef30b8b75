// Ravlo.dll's entry point, exported as "main".
#include "plugins/ravlo/RavloEffect.h"

#include <new>

extern "C" VstEffectRecord* KIV_VSTCALL RavloMain(VstHostCallback host)
{
    if (!host || host(nullptr, kHostVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    auto* effect = new (std::nothrow) RavloEffect(host);
    return effect ? effect->GetRecord() : nullptr;
}
