#include "mixer/comserver/ComModule.h"

#include <new>

#include "mixer/comserver/ServicesServer.h"
#include "mixer/comserver/SinkCourier.h"

namespace
{
// Module state, owned by the main thread (the lock count is also moved by COM's calls into
// the server, which arrive on that thread in the single-threaded apartment).
LONG lockCount = 0;
DWORD mainThread = 0;
bool initialised = false;
ServicesServer* server = nullptr; // owned
DWORD classCookie = 0;             // 0 while the class object is not registered
ServicesApplication* application = nullptr; // borrowed

// Every client gets the same object.
class SingletonFactory : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory))
        {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: COM's references do not keep the program running.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (!initialised)
            return CO_E_SERVER_STOPPING;
        ServicesServer* instance = ComModule::GetServer();
        if (!instance)
            return E_OUTOFMEMORY;
        return instance->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            ComModule::Lock();
        else
            ComModule::Unlock();
        return S_OK;
    }
};

SingletonFactory factory;
} // namespace

void ComModule::Init()
{
    mainThread = GetCurrentThreadId();
    lockCount = 0;
    initialised = true;
}

bool ComModule::Term()
{
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
    return CoRegisterClassObject(CLSID_KivCorvanServices, &factory, CLSCTX_LOCAL_SERVER,
                                 REGCLS_MULTIPLEUSE, &classCookie);
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
