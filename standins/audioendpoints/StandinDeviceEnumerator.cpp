#include "standins/audioendpoints/StandinDeviceEnumerator.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace kiv::standins
{

namespace
{

class StandinDevice final : public IMMDevice, private CountedObject
{
public:
    StandinDevice(std::wstring id, DWORD state) : id_(std::move(id)), state_(state) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(IMMDevice))
        {
            *object = static_cast<IMMDevice*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(); }

    HRESULT STDMETHODCALLTYPE Activate(REFIID, DWORD, PROPVARIANT*, void** object) override
    {
        if (object != nullptr)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore** store) override
    {
        if (store != nullptr)
            *store = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR* id) override
    {
        if (id == nullptr)
            return E_POINTER;
        const size_t bytes = (id_.size() + 1) * sizeof(WCHAR);
        *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        if (*id == nullptr)
            return E_OUTOFMEMORY;
        std::memcpy(*id, id_.c_str(), bytes);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override
    {
        if (state == nullptr)
            return E_POINTER;
        *state = state_;
        return S_OK;
    }

private:
    const std::wstring id_;
    const DWORD state_;
};

class StandinDeviceCollection final : public IMMDeviceCollection, private CountedObject
{
public:
    explicit StandinDeviceCollection(std::vector<std::pair<std::wstring, DWORD>> endpoints)
        : endpoints_(std::move(endpoints))
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(IMMDeviceCollection))
        {
            *object = static_cast<IMMDeviceCollection*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(); }

    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = static_cast<UINT>(endpoints_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Item(UINT index, IMMDevice** endpoint) override
    {
        if (endpoint == nullptr)
            return E_POINTER;
        *endpoint = nullptr;
        if (index >= endpoints_.size())
            return E_INVALIDARG;
        *endpoint = new (std::nothrow) StandinDevice(endpoints_[index].first, endpoints_[index].second);
        return *endpoint != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    // A snapshot taken at enumeration, as the system's collection is.
    const std::vector<std::pair<std::wstring, DWORD>> endpoints_;
};

} // namespace

HRESULT StandinDeviceEnumerator::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(IMMDeviceEnumerator))
        *object = static_cast<IMMDeviceEnumerator*>(this);
    else if (iid == kAudioEndpointStandinInterfaceId)
        *object = static_cast<IAudioEndpointStandin*>(this);
    else
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG StandinDeviceEnumerator::AddRef()
{
    return AddReference();
}

ULONG StandinDeviceEnumerator::Release()
{
    return ReleaseReference();
}

HRESULT StandinDeviceEnumerator::EnumAudioEndpoints(EDataFlow flow, DWORD stateMask, IMMDeviceCollection** endpoints)
{
    if (endpoints == nullptr)
        return E_POINTER;
    *endpoints = nullptr;
    if (flow != eRender && flow != eCapture && flow != eAll)
        return E_INVALIDARG;
    try
    {
        *endpoints = new StandinDeviceCollection(StandinState::Instance().Endpoints(flow, stateMask));
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// Other users of the test prefix (the system's own wave and sound libraries) ask for these;
// the stand-in has no default endpoint and never notifies.
HRESULT StandinDeviceEnumerator::GetDefaultAudioEndpoint(EDataFlow, ERole, IMMDevice** endpoint)
{
    if (endpoint != nullptr)
        *endpoint = nullptr;
    return E_NOTFOUND;
}

HRESULT StandinDeviceEnumerator::GetDevice(LPCWSTR, IMMDevice** endpoint)
{
    if (endpoint != nullptr)
        *endpoint = nullptr;
    return E_NOTFOUND;
}

HRESULT StandinDeviceEnumerator::RegisterEndpointNotificationCallback(IMMNotificationClient*)
{
    return S_OK;
}

HRESULT StandinDeviceEnumerator::UnregisterEndpointNotificationCallback(IMMNotificationClient*)
{
    return S_OK;
}

HRESULT StandinDeviceEnumerator::Reset()
{
    StandinState::Instance().Reset();
    return S_OK;
}

HRESULT StandinDeviceEnumerator::AddEndpoint(const StandinEndpoint& endpoint)
{
    try
    {
        StandinState::Instance().AddEndpoint(endpoint);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

ULONG StandinDeviceEnumerator::WriteCount()
{
    return StandinState::Instance().WriteCount();
}

HRESULT StandinDeviceEnumerator::GetWrite(ULONG index, StandinFormatWrite* write)
{
    if (write == nullptr)
        return E_POINTER;
    return StandinState::Instance().GetWrite(index, write) ? S_OK : E_INVALIDARG;
}

LONG StandinDeviceEnumerator::LiveObjects()
{
    return StandinState::LiveObjects();
}

} // namespace kiv::standins
