// Dentrak.dll's entry point, exported as "main".
#include "plugins/dentrak/DentrakEffect.h"

#include <new>

extern "C" VstEffectRecord* KIV_VSTCALL DentrakMain(VstHostCallback host)
{
    if (!host || host(nullptr, kHostVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    auto* effect = new (std::nothrow) DentrakEffect(host);
    return effect ? effect->GetRecord() : nullptr;
}
