#include "plugins/base/asio/AsioSystem.h"

#include <atomic>

namespace
{

std::atomic<AsioSystem*> gCurrent{nullptr};

} // namespace

AsioSystem& AsioSystem::Current()
{
    AsioSystem* system = gCurrent.load();
    return system ? *system : Default();
}

void AsioSystem::Use(AsioSystem* system)
{
    gCurrent = system;
}
