#include "plugins/base/asio/PluginModule.h"

#include "plugins/base/asio/AsioLink.h"

#include <mutex>

namespace
{

// Hosts may make and end instances on different threads at once.
std::mutex gModuleLock;
int32_t gLiveInstances = 0; // guarded by gModuleLock
PlatformLock gListLock;     // made with the first instance, deleted with the last

} // namespace

int32_t PluginModule::Enter()
{
    std::lock_guard<std::mutex> hold(gModuleLock);
    if (gLiveInstances == 0)
    {
        CreatePlatform(0x10000);
        ThePlatform()->InitLock(&gListLock);
        AsioLink::InitInstanceTable();
    }
    return gLiveInstances++;
}

void PluginModule::Leave()
{
    std::lock_guard<std::mutex> hold(gModuleLock);
    if (--gLiveInstances == 0)
    {
        AsioLink::FreeInstanceTable();
        ThePlatform()->DeleteLock(&gListLock);
        DestroyPlatform();
    }
}

int32_t PluginModule::LiveCount()
{
    std::lock_guard<std::mutex> hold(gModuleLock);
    return gLiveInstances;
}

PlatformLock* PluginModule::ListLock()
{
    return &gListLock;
}
