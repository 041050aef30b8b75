// KivQuorvel.dll's entry points; the VST entry is exported as "main".
#include "plugins/quorvel/KivQuorvelEffect.h"

#include <new>

#include <windows.h>

// The file's texts are found through its own address (AsioSystem), so loading needs nothing
// here; threads come and go in the host without concern of ours.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" VstEffectRecord* KIV_VSTCALL KivQuorvelMain(VstHostCallback host)
{
    if (!host || host(nullptr, kHostVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    auto* effect = new (std::nothrow) KivQuorvelEffect(host);
    if (!effect || effect->Failed())
    {
        delete effect;
        return nullptr;
    }
    return effect->GetRecord();
}
