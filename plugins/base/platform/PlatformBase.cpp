#include "plugins/base/platform/PlatformBase.h"

#include "plugins/base/platform/Platform.h"

#include <new>

namespace
{
// Set while the process-wide instance exists; made and cleared by the first and last
// plug-in instance on the host's thread, read by every thread in between.
PlatformBase* gPlatform = nullptr;
} // namespace

PlatformBase::PlatformBase()
{
    if (!gPlatform)
        gPlatform = this;
}

PlatformBase::~PlatformBase()
{
    if (gPlatform == this)
        gPlatform = nullptr;
}

PlatformBase* ThePlatform()
{
    return gPlatform;
}

PlatformBase* CreatePlatform(size_t reservedSize)
{
    if (!gPlatform)
        new (std::nothrow) Platform(reservedSize);
    return gPlatform;
}

void DestroyPlatform()
{
    delete gPlatform;
}
