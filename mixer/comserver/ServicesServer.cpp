#include "mixer/comserver/ServicesServer.h"

#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/comserver/SinkList.h"

namespace
{
// The hardware the public methods speak of: the mixer model's hardware description (the
// mixer's main window, which may show another system, is not there yet); null without one.
IVarnHardware* CurrentHardware()
{
    ServicesApplication* application = ComModule::GetApplication();
    IVarnServices* services = application ? application->GetServices() : nullptr;
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    return mixer ? mixer->GetHardware() : nullptr;
}
} // namespace

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
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Public().Advise(pNotify, dwAdviseMask, hUser, phAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::Unadvise(DWORD hAdviseCookie)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Public().Unadvise(hAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::GetASIOChannelName(LONG, LONG, LONG nNumChars, char* buf)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    if (!buf || nNumChars < 1)
        return E_INVALIDARG;
    buf[0] = 0;
    if (!CurrentHardware())
        return E_FAIL;
    // The channel items that name ASIO channels are not in the engine's model yet: no
    // channel has a name.
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE ServicesServer::SetMonitorInfo(KivASIOMonitorInfo* pInfo)
{
    if (!pInfo || !ComModule::GetApplication() || !CurrentHardware())
        return E_FAIL;
    // The strip of an input pair is found through the channel items, which the engine's
    // model does not have yet: there is no strip to set.
    return E_FAIL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::GetASIODriverProfile(KivASIODrvProfile* pProfile)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    if (!pProfile)
        return E_POINTER;
    IVarnHardware* hardware = CurrentHardware();
    IVarnDriver* driver = hardware ? hardware->GetDriver() : nullptr;
    if (!driver)
        return E_FAIL;
    VarnDriverProfile record = {};
    if (driver->GetProfile(&record) <= 0)
        return E_FAIL;
    pProfile->devnode = record.devnode;
    pProfile->refcount = record.refcount;
    pProfile->pciFuncNum = record.pciFuncNum;
    pProfile->baseAddr = record.baseAddr;
    pProfile->irq = record.irq;
    pProfile->vendorID = record.vendorID;
    pProfile->deviceID = record.deviceID;
    pProfile->subsys = record.subsys;
    pProfile->rev = record.rev;
    pProfile->driverVersion = record.driverVersion;
    // The engine's text need not be terminated within its field.
    lstrcpynA(pProfile->szDeviceKey, record.deviceKey, sizeof pProfile->szDeviceKey);
    return S_OK;
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
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Private().Advise(pSink, dwAdviseMask, hUser, phAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::Unadvise(DWORD hAdviseCookie)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Private().Unadvise(hAdviseCookie);
}
