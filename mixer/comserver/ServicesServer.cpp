#include "mixer/comserver/ServicesServer.h"

#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/SinkList.h"

ServicesServer::ServicesServer() : eventSource_(*this)
{
}

ServicesServer::~ServicesServer()
{
    SinkList::Public().Clear();
    SinkList::Private().Clear();
}

HRESULT STDMETHODCALLTYPE ServicesServer::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKivCorvanServices))
        *object = static_cast<IKivCorvanServices*>(this);
    else if (IsEqualIID(iid, IID_IKivCorvanEventSource))
        *object = static_cast<IKivCorvanEventSource*>(&eventSource_);
    else
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ServicesServer::AddRef()
{
    ComModule::Lock();
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE ServicesServer::Release()
{
    ULONG left = static_cast<ULONG>(InterlockedDecrement(&references_));
    ComModule::Unlock();
    return left;
}

HRESULT STDMETHODCALLTYPE ServicesServer::Advise(IKivCorvanNotify* pNotify, DWORD dwAdviseMask,
                                                 DWORD hUser, DWORD* phAdviseCookie)
{
    return SinkList::Public().Advise(pNotify, dwAdviseMask, hUser, phAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::Unadvise(DWORD hAdviseCookie)
{
    return SinkList::Public().Unadvise(hAdviseCookie);
}

// The channel names, monitor settings and driver profile come from the mixer model, which
// the server does not reach yet.
HRESULT STDMETHODCALLTYPE ServicesServer::GetASIOChannelName(LONG, LONG, LONG, char*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::SetMonitorInfo(KivASIOMonitorInfo*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::GetASIODriverProfile(KivASIODrvProfile*)
{
    return E_NOTIMPL;
}

void ServicesServer::FireNotify(DWORD type)
{
    SinkList::Public().Broadcast(type, [type](IUnknown* sink, DWORD user) {
        static_cast<IKivCorvanNotify*>(sink)->Notify(type, user);
    });
}

void ServicesServer::FirePrivateNotify(DWORD type, DWORD a, DWORD b)
{
    SinkList::Private().Broadcast(type, [type, a, b](IUnknown* sink, DWORD user) {
        static_cast<IKivCorvanEventSink*>(sink)->Notify(type, user, a, b);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::QueryInterface(REFIID iid, void** object)
{
    return owner_.QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE ServicesServer::EventSource::AddRef()
{
    return owner_.AddRef();
}

ULONG STDMETHODCALLTYPE ServicesServer::EventSource::Release()
{
    return owner_.Release();
}

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::Advise(IKivCorvanEventSink* pSink,
                                                              DWORD dwAdviseMask, DWORD hUser,
                                                              DWORD* phAdviseCookie)
{
    return SinkList::Private().Advise(pSink, dwAdviseMask, hUser, phAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::Unadvise(DWORD hAdviseCookie)
{
    return SinkList::Private().Unadvise(hAdviseCookie);
}
