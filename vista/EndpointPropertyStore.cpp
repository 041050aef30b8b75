#include "vista/EndpointPropertyStore.h"

#include <new>
#include <utility>

namespace kiv::vista
{

HRESULT EndpointPropertyStore::Create(LPCWSTR endpointId, IPolicyConfigVista* policy, EndpointPropertyStore** store)
{
    *store = nullptr;
    if (endpointId == nullptr || policy == nullptr)
        return E_POINTER;
    try
    {
        *store = new EndpointPropertyStore(endpointId, policy);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

EndpointPropertyStore::EndpointPropertyStore(std::wstring endpointId, IPolicyConfigVista* policy)
    : endpointId_(std::move(endpointId)), policy_(policy)
{
    policy_->AddRef();
}

EndpointPropertyStore::~EndpointPropertyStore()
{
    policy_->Release();
}

HRESULT EndpointPropertyStore::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == kEndpointPropertyStoreInterfaceId)
    {
        *object = static_cast<IEndpointPropertyStore*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG EndpointPropertyStore::AddRef()
{
    return InterlockedIncrement(&references_);
}

ULONG EndpointPropertyStore::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return left;
}

HRESULT EndpointPropertyStore::GetValue(const PROPERTYKEY& key, PROPVARIANT* value)
{
    return policy_->GetPropertyValue(endpointId_.c_str(), effectsStore_, key, value);
}

HRESULT EndpointPropertyStore::SetValue(const PROPERTYKEY& key, PROPVARIANT* value)
{
    return policy_->SetPropertyValue(endpointId_.c_str(), effectsStore_, key, value);
}

} // namespace kiv::vista
