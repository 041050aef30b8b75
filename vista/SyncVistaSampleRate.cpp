#include "vista/SyncVistaSampleRate.h"

#include "vista/EndpointSync.h"

extern "C" void __cdecl SyncVistaSampleRate(const wchar_t* nameFragment, int32_t rate)
{
    // A rate below 1 Hz names no format.
    if (rate <= 0)
        return;
    // The caller's thread may already be in either apartment: S_FALSE still needs the
    // matching uninitialise, RPC_E_CHANGED_MODE must not get one.
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const uint32_t hertz = static_cast<uint32_t>(rate);
    kiv::vista::SyncEndpointFlow(nameFragment, hertz, eRender);
    kiv::vista::SyncEndpointFlow(nameFragment, hertz, eCapture);
    if (SUCCEEDED(initialised))
        CoUninitialize();
}
