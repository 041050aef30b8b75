#include "plugins/base/registry/InstanceRegistry.h"

#include <mutex>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

std::mutex gLocalLock;

} // namespace

RegistryGuard::RegistryGuard(const char* mutexName) : mutex_(nullptr)
{
#ifdef _WIN32
    HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName);
    if (mutex && WaitForSingleObject(mutex, INFINITE) != WAIT_FAILED)
    {
        mutex_ = mutex;
        return;
    }
    if (mutex)
    {
        CloseHandle(mutex);
    }
#else
    // A named system mutex has no use in the native test build: one process holds the table.
    (void)mutexName;
#endif
    gLocalLock.lock();
}

RegistryGuard::~RegistryGuard()
{
    // Only the Windows build ever holds a named mutex.
    if (mutex_)
    {
#ifdef _WIN32
        ReleaseMutex(static_cast<HANDLE>(mutex_));
        CloseHandle(static_cast<HANDLE>(mutex_));
#endif
        return;
    }
    gLocalLock.unlock();
}
