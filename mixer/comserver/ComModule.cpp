#include "mixer/comserver/ComModule.h"

#include <new>

#include "framework/platform/ComClassFactory.h"
#include "mixer/comserver/ServicesServer.h"
#include "mixer/comserver/SinkCourier.h"

namespace
{
// Module state, owned by the main thread (the lock count is also moved by COM's calls into
// the server, which arrive on that thread in the single-threaded apartment).
LONG lockCount = 0;
DWORD mainThread = 0;
bool initialised = false;
ServicesServer* server = nullptr;           // owned
DWORD classCookie = 0;                      // 0 while the class object is not registered
ServicesApplication* application = nullptr; // borrowed

// Every client gets the same object; the class object's locks keep the program running.
struct ServerCreator
{
    static HRESULT Create(REFIID iid, void** object)
    {
        if (!initialised)
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

ComClassFactory<ServerCreator> factory;
} // namespace

void ComModule::Init()
{
    mainThread = GetCurrentThreadId();
    lockCount = 0;
    initialised = true;
}

bool ComModule::Term()
{
    // Clients may still hold the object (the effects plug-in keeps some of its faces after
    // Terminate, a crashed client never lets go): COM drops their references now, while the
    // object lives, instead of releasing it at its own end once it is gone.
    if (server)
        CoDisconnectObject(static_cast<IKivCorvanServices*>(server), 0);
    delete server;
    server = nullptr;
    initialised = false;
    return SinkCourier::NoneLeft();
}

LONG ComModule::Lock()
{
    return InterlockedIncrement(&lockCount);
}

LONG ComModule::Unlock()
{
    LONG left = InterlockedDecrement(&lockCount);
    if (left == 0 && mainThread)
        PostThreadMessageA(mainThread, WM_QUIT, 0, 0);
    return left;
}

LONG ComModule::GetLockCount()
{
    return lockCount;
}

HRESULT ComModule::RegisterClassObjects()
{
    if (classCookie)
        return S_OK;
    return CoRegisterClassObject(CLSID_KivCorvanServices, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                 &classCookie);
}

HRESULT ComModule::RevokeClassObjects()
{
    if (!classCookie)
        return S_OK;
    HRESULT result = CoRevokeClassObject(classCookie);
    if (SUCCEEDED(result))
        classCookie = 0;
    return result;
}

ServicesServer* ComModule::GetServer()
{
    if (!server && initialised)
        server = new (std::nothrow) ServicesServer;
    return server;
}

void ComModule::SetApplication(ServicesApplication* value)
{
    application = value;
}

ServicesApplication* ComModule::GetApplication()
{
    return application;
}
