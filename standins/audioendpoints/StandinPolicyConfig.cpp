#include "standins/audioendpoints/StandinPolicyConfig.h"

#include <cstring>

namespace kiv::standins
{

namespace
{

bool IsNameKey(const PROPERTYKEY& key)
{
    return key.fmtid == kiv::vista::kEndpointNameKey.fmtid && key.pid == kiv::vista::kEndpointNameKey.pid;
}

LPWSTR CopyToTaskMemory(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(WCHAR);
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (copy != nullptr)
        std::memcpy(copy, text.c_str(), bytes);
    return copy;
}

} // namespace

HRESULT StandinPolicyConfig::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == kiv::vista::kPolicyConfigInterfaceId)
    {
        *object = static_cast<kiv::vista::IPolicyConfigVista*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandinPolicyConfig::AddRef()
{
    return AddReference();
}

ULONG StandinPolicyConfig::Release()
{
    return ReleaseReference();
}

HRESULT StandinPolicyConfig::GetDeviceFormat(LPCWSTR endpointId, INT defaultFormat, kiv::vista::WaveFormat** format)
{
    if (format == nullptr)
        return E_POINTER;
    *format = nullptr;
    // Only the current format is kept, not the driver's default.
    if (defaultFormat != 0)
        return E_NOTIMPL;
    EndpointRecord endpoint;
    if (!StandinState::Instance().Find(endpointId, &endpoint))
        return E_NOTFOUND;
    if (endpoint.format.empty())
        return E_FAIL;
    // Exactly the record's own size, so a reader that runs past it reads what is not there.
    void* copy = CoTaskMemAlloc(endpoint.format.size());
    if (copy == nullptr)
        return E_OUTOFMEMORY;
    std::memcpy(copy, endpoint.format.data(), endpoint.format.size());
    *format = static_cast<kiv::vista::WaveFormat*>(copy);
    return S_OK;
}

HRESULT StandinPolicyConfig::SetDeviceFormat(LPCWSTR endpointId, kiv::vista::WaveFormat* endpointFormat,
                                             kiv::vista::WaveFormat* mixFormat)
{
    return StandinState::Instance().WriteFormat(endpointId, endpointFormat, mixFormat != nullptr);
}

HRESULT StandinPolicyConfig::GetPropertyValue(LPCWSTR endpointId, INT effectsStore, const PROPERTYKEY& key,
                                              PROPVARIANT* value)
{
    if (value == nullptr)
        return E_POINTER;
    PropVariantInit(value);
    EndpointRecord endpoint;
    if (!StandinState::Instance().Find(endpointId, &endpoint))
        return E_NOTFOUND;
    // The effects store holds no name; other keys have no value here.
    if (effectsStore != 0 || !IsNameKey(key))
        return S_OK;
    switch (endpoint.nameKind)
    {
    case StandinNameKind::Text:
        value->pwszVal = CopyToTaskMemory(endpoint.name);
        if (value->pwszVal == nullptr)
            return E_OUTOFMEMORY;
        value->vt = VT_LPWSTR;
        return S_OK;
    case StandinNameKind::Empty:
        return S_OK;
    case StandinNameKind::NotText:
        value->vt = VT_UI4;
        value->ulVal = 7;
        return S_OK;
    case StandinNameKind::Unreadable:
        return E_FAIL;
    }
    return E_FAIL;
}

HRESULT StandinPolicyConfig::SetPropertyValue(LPCWSTR endpointId, INT effectsStore, const PROPERTYKEY& key,
                                              PROPVARIANT* value)
{
    if (value == nullptr)
        return E_POINTER;
    if (effectsStore != 0 || !IsNameKey(key) || value->vt != VT_LPWSTR || value->pwszVal == nullptr)
        return E_INVALIDARG;
    return StandinState::Instance().SetName(endpointId, value->pwszVal) ? S_OK : E_NOTFOUND;
}

// The operations the library never calls.

HRESULT StandinPolicyConfig::GetMixFormat(LPCWSTR, kiv::vista::WaveFormat** format)
{
    if (format != nullptr)
        *format = nullptr;
    return E_NOTIMPL;
}

HRESULT StandinPolicyConfig::GetProcessingPeriod(LPCWSTR, INT, INT64*, INT64*)
{
    return E_NOTIMPL;
}

HRESULT StandinPolicyConfig::SetProcessingPeriod(LPCWSTR, INT64*)
{
    return E_NOTIMPL;
}

HRESULT StandinPolicyConfig::GetShareMode(LPCWSTR, void*)
{
    return E_NOTIMPL;
}

HRESULT StandinPolicyConfig::SetShareMode(LPCWSTR, void*)
{
    return E_NOTIMPL;
}

HRESULT StandinPolicyConfig::SetDefaultEndpoint(LPCWSTR, INT)
{
    return E_NOTIMPL;
}

HRESULT StandinPolicyConfig::SetEndpointVisibility(LPCWSTR, INT)
{
    return E_NOTIMPL;
}

} // namespace kiv::standins
