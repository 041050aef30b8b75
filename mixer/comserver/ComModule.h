#pragma once
#include <windows.h>

class ServicesApplication;
class ServicesServer;

// The program's COM local-server module: its object map holds the one class KivCorvanServices,
// served by a singleton class factory; a lock count that posts WM_QUIT to the main thread when
// it falls to zero. Used on the main thread only.
class ComModule
{
public:
    // Takes the calling thread as the main thread; the lock count starts at 0.
    static void Init();
    // Destroys the server object (ending the sink lists); call before COM is uninitialised.
    // False when a sink that does not answer still holds a reference of this apartment: COM
    // must then be left to the end of the process, since uninitialising would wait for it.
    static bool Term();

    static LONG Lock();
    static LONG Unlock();
    static LONG GetLockCount();

    // CoRegisterClassObject of every class of the object map (CLSCTX_LOCAL_SERVER,
    // REGCLS_MULTIPLEUSE); RevokeClassObjects revokes what is registered, stopping at the
    // first failure, and does nothing the second time.
    static HRESULT RegisterClassObjects();
    static HRESULT RevokeClassObjects();

    // The one server object, created on first use; null before Init and after Term.
    static ServicesServer* GetServer();

    // The process-wide application pointer (borrowed): set while the application object
    // exists, null before and after.
    static void SetApplication(ServicesApplication* application);
    static ServicesApplication* GetApplication();
};
