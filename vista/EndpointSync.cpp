#include "vista/EndpointSync.h"

#include <cwchar>

namespace kiv::vista
{

namespace
{

HRESULT CreatePolicyConfig(IPolicyConfigVista** policy)
{
    *policy = nullptr;
    const HRESULT result = CoCreateInstance(kPolicyConfigClassId, nullptr, CLSCTX_INPROC_SERVER,
                                            kPolicyConfigInterfaceId, reinterpret_cast<void**>(policy));
    if (FAILED(result))
        *policy = nullptr;
    return result;
}

// The endpoint's current format as the policy object hands it out (freed with CoTaskMemFree),
// or null.
WaveFormat* ReadDeviceFormat(IPolicyConfigVista* policy, LPCWSTR endpointId)
{
    // A failed call owns nothing it may have left in its output.
    WaveFormat* format = nullptr;
    if (FAILED(policy->GetDeviceFormat(endpointId, 0, &format)))
        return nullptr;
    return format;
}

} // namespace

void SyncEndpointFlow(LPCWSTR fragment, uint32_t rate, EDataFlow flow)
{
    IMMDevice* endpoint = FindEndpoint(fragment, flow);
    if (endpoint == nullptr)
        return;
    LPWSTR endpointId = nullptr;
    if (SUCCEEDED(endpoint->GetId(&endpointId)) && endpointId != nullptr)
    {
        uint32_t currentRate = 0;
        uint16_t currentValidBits = 0;
        // An unreadable format is left alone.
        if (GetEndpointFormat(endpointId, &currentRate, &currentValidBits) &&
            (currentRate != rate || currentValidBits != kSyncValidBits))
            SetEndpointFormat(endpointId, rate, kSyncValidBits);
        CoTaskMemFree(endpointId);
    }
    endpoint->Release();
}

IMMDevice* FindEndpoint(LPCWSTR fragment, EDataFlow flow)
{
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator))))
        return nullptr;
    IMMDevice* found = nullptr;
    IMMDeviceCollection* endpoints = nullptr;
    UINT count = 0;
    if (SUCCEEDED(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &endpoints)) &&
        SUCCEEDED(endpoints->GetCount(&count)))
    {
        for (UINT i = 0; i < count && found == nullptr; ++i)
        {
            IMMDevice* endpoint = nullptr;
            if (FAILED(endpoints->Item(i, &endpoint)) || endpoint == nullptr)
                break;
            if (EndpointNameMatches(fragment, endpoint))
                found = endpoint;
            else
                endpoint->Release();
        }
    }
    if (endpoints != nullptr)
        endpoints->Release();
    enumerator->Release();
    return found;
}

bool EndpointNameMatches(LPCWSTR fragment, IMMDevice* endpoint)
{
    if (fragment == nullptr)
        return false;
    LPWSTR endpointId = nullptr;
    if (FAILED(endpoint->GetId(&endpointId)) || endpointId == nullptr)
        return false;
    IEndpointPropertyStore* store = OpenEndpointPropertyStore(endpointId);
    CoTaskMemFree(endpointId);
    if (store == nullptr)
        return false;
    PROPVARIANT name;
    PropVariantInit(&name);
    // Only a wide-text value that was really read is a name; anything else matches nothing.
    const bool matches = SUCCEEDED(store->GetValue(kEndpointNameKey, &name)) && name.vt == VT_LPWSTR &&
                         name.pwszVal != nullptr && std::wcsstr(name.pwszVal, fragment) != nullptr;
    PropVariantClear(&name);
    store->Release();
    return matches;
}

IEndpointPropertyStore* OpenEndpointPropertyStore(LPCWSTR endpointId)
{
    IPolicyConfigVista* policy = nullptr;
    if (FAILED(CreatePolicyConfig(&policy)))
        return nullptr;
    EndpointPropertyStore* store = nullptr;
    IEndpointPropertyStore* opened = nullptr;
    if (SUCCEEDED(EndpointPropertyStore::Create(endpointId, policy, &store)))
    {
        if (FAILED(store->QueryInterface(kEndpointPropertyStoreInterfaceId, reinterpret_cast<void**>(&opened))))
            opened = nullptr;
        store->Release();
    }
    policy->Release();
    return opened;
}

bool GetEndpointFormat(LPCWSTR endpointId, uint32_t* rate, uint16_t* validBits)
{
    IPolicyConfigVista* policy = nullptr;
    if (FAILED(CreatePolicyConfig(&policy)))
        return false;
    WaveFormat* format = ReadDeviceFormat(policy, endpointId);
    const bool read = format != nullptr;
    if (read)
    {
        *rate = format->samplesPerSec;
        *validBits = ValidBitsOf(*format);
    }
    CoTaskMemFree(format);
    policy->Release();
    return read;
}

HRESULT SetEndpointFormat(LPCWSTR endpointId, uint32_t rate, uint16_t validBits)
{
    IPolicyConfigVista* policy = nullptr;
    HRESULT result = CreatePolicyConfig(&policy);
    if (FAILED(result))
        return result;
    WaveFormat* current = ReadDeviceFormat(policy, endpointId);
    WaveFormatExtensible written{};
    if (current == nullptr)
        result = E_FAIL;
    else if (!MakeEndpointFormat(*current, rate, validBits, &written))
        result = E_INVALIDARG;
    else
        result = policy->SetDeviceFormat(endpointId, &written.format, nullptr);
    CoTaskMemFree(current);
    policy->Release();
    return result;
}

} // namespace kiv::vista
