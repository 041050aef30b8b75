// A small property store for one endpoint, read and written through the policy-configuration
// object (the endpoint's own store, not its effects store).
#pragma once

#include "vista/PolicyConfig.h"

#include <string>

namespace kiv::vista
{

// {6F0E2A51-3C4B-4D8E-9A17-52C1D0B3E8F4}: the library's own interface.
inline constexpr IID kEndpointPropertyStoreInterfaceId{
    0x6F0E2A51, 0x3C4B, 0x4D8E, {0x9A, 0x17, 0x52, 0xC1, 0xD0, 0xB3, 0xE8, 0xF4}};

struct IEndpointPropertyStore : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetValue(const PROPERTYKEY& key, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetValue(const PROPERTYKEY& key, PROPVARIANT* value) = 0;
};

class EndpointPropertyStore final : public IEndpointPropertyStore
{
public:
    // Makes a store for `endpointId` (copied) over `policy` (held) with one reference.
    static HRESULT Create(LPCWSTR endpointId, IPolicyConfigVista* policy, EndpointPropertyStore** store);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetValue(const PROPERTYKEY& key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetValue(const PROPERTYKEY& key, PROPVARIANT* value) override;

private:
    EndpointPropertyStore(std::wstring endpointId, IPolicyConfigVista* policy);
    ~EndpointPropertyStore();

    const std::wstring endpointId_;
    IPolicyConfigVista* const policy_; // one reference, released with the store
    LONG references_ = 1;              // changed only with Interlocked operations
    const INT effectsStore_ = 0;
};

} // namespace kiv::vista
