// Stand-in for the system's audio device enumerator, with its endpoint collection and
// endpoint objects. It also answers IAudioEndpointStandin, the tests' handle on the shared state.
#pragma once

#include "standins/audioendpoints/StandinState.h"

namespace kiv::standins
{

class StandinDeviceEnumerator final : public IMMDeviceEnumerator, public IAudioEndpointStandin, private CountedObject
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD stateMask,
                                                 IMMDeviceCollection** endpoints) override;
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role, IMMDevice** endpoint) override;
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** endpoint) override;
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient* client) override;
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override;

    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE AddEndpoint(const StandinEndpoint& endpoint) override;
    ULONG STDMETHODCALLTYPE WriteCount() override;
    HRESULT STDMETHODCALLTYPE GetWrite(ULONG index, StandinFormatWrite* write) override;
    LONG STDMETHODCALLTYPE LiveObjects() override;
};

} // namespace kiv::standins
