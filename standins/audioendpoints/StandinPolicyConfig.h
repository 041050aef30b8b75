// Stand-in for the system's audio policy-configuration object, with the slot layout of our
// declaration of it: reads formats and names from the shared endpoints and logs every format
// write.
#pragma once

#include "standins/audioendpoints/StandinState.h"
#include "vista/PolicyConfig.h"

namespace kiv::standins
{

class StandinPolicyConfig final : public kiv::vista::IPolicyConfigVista, private CountedObject
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetMixFormat(LPCWSTR endpointId, kiv::vista::WaveFormat** format) override;
    HRESULT STDMETHODCALLTYPE GetDeviceFormat(LPCWSTR endpointId, INT defaultFormat,
                                              kiv::vista::WaveFormat** format) override;
    HRESULT STDMETHODCALLTYPE SetDeviceFormat(LPCWSTR endpointId, kiv::vista::WaveFormat* endpointFormat,
                                              kiv::vista::WaveFormat* mixFormat) override;
    HRESULT STDMETHODCALLTYPE GetProcessingPeriod(LPCWSTR endpointId, INT defaultPeriod, INT64* defaultPeriodOut,
                                                  INT64* minimumPeriod) override;
    HRESULT STDMETHODCALLTYPE SetProcessingPeriod(LPCWSTR endpointId, INT64* period) override;
    HRESULT STDMETHODCALLTYPE GetShareMode(LPCWSTR endpointId, void* mode) override;
    HRESULT STDMETHODCALLTYPE SetShareMode(LPCWSTR endpointId, void* mode) override;
    HRESULT STDMETHODCALLTYPE GetPropertyValue(LPCWSTR endpointId, INT effectsStore, const PROPERTYKEY& key,
                                               PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetPropertyValue(LPCWSTR endpointId, INT effectsStore, const PROPERTYKEY& key,
                                               PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(LPCWSTR endpointId, INT role) override;
    HRESULT STDMETHODCALLTYPE SetEndpointVisibility(LPCWSTR endpointId, INT visible) override;
};

} // namespace kiv::standins
