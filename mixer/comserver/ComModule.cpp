#include "mixer/comserver/ComModule.h"

#include <new>

#include "framework/platform/ComClassFactory.h"
#include "mixer/comserver/ServicesServer.h"
#include "mixer/comserver/SinkCourier.h"

namespace
{
// Module state, owned by the main thread (the lock count is also moved by COM's calls into
// the server, which arrive on that thread in the single-threaded apartment).
LONG gLockCount = 0;
DWORD gMainThread = 0;
bool gInitialised = false;
ServicesServer* gServer = nullptr;           // owned
DWORD gClassCookie = 0;                      // 0 while the class object is not registered
ServicesApplication* gApplication = nullptr; // borrowed

// Every client gets the same object; the class object's locks keep the program running.
struct ServerCreator
{
    static HRESULT Create(REFIID iid, void** object)
    {
        if (!gInitialised)
            return CO_E_SERVER_STOPPING;
        ServicesServer* instance = ComModule::GetServer();
        if (!instance)
            return E_OUTOFMEMORY;
        return instance->QueryInterface(iid, object);
    }
    static void LockServer(bool lock)
    {
        if (lock)
            ComModule::Lock();
        else
            ComModule::Unlock();
    }
};

ComClassFactory<ServerCreator> gFactory;
} // namespace

void ComModule::Init()
{
    gMainThread = GetCurrentThreadId();
    gLockCount = 0;
    gInitialised = true;
}

bool ComModule::Term()
{
    // Clients may still hold the object (the effects plug-in keeps some of its faces after
    // Terminate, a crashed client never lets go): COM drops their references now, while the
    // object lives, instead of releasing it at its own end once it is gone.
    if (gServer)
        CoDisconnectObject(static_cast<IKivCorvanServices*>(gServer), 0);
    delete gServer;
    gServer = nullptr;
    gInitialised = false;
    return SinkCourier::NoneLeft();
}

LONG ComModule::Lock()
{
    return InterlockedIncrement(&gLockCount);
}

LONG ComModule::Unlock()
{
    LONG left = InterlockedDecrement(&gLockCount);
    if (left == 0 && gMainThread)
        PostThreadMessageA(gMainThread, WM_QUIT, 0, 0);
    return left;
}

LONG ComModule::GetLockCount()
{
    return gLockCount;
}

HRESULT ComModule::RegisterClassObjects()
{
    if (gClassCookie)
        return S_OK;
    return CoRegisterClassObject(CLSID_KivCorvanServices, &gFactory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                 &gClassCookie);
}

HRESULT ComModule::RevokeClassObjects()
{
    if (!gClassCookie)
        return S_OK;
    HRESULT result = CoRevokeClassObject(gClassCookie);
    if (SUCCEEDED(result))
        gClassCookie = 0;
    return result;
}

ServicesServer* ComModule::GetServer()
{
    if (!gServer && gInitialised)
        gServer = new (std::nothrow) ServicesServer;
    return gServer;
}

void ComModule::SetApplication(ServicesApplication* value)
{
    gApplication = value;
}

ServicesApplication* ComModule::GetApplication()
{
    return gApplication;
}
