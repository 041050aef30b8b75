// The plug-in file's services link: the mixer program's COM server, when it runs.
#include "plugins/quorvel/ServicesLink.h"

#include <new>

ServicesConnection* CreateServicesLink(ServicesLinkOwner* owner)
{
    return new (std::nothrow) ServicesLink(owner, ServicesSystem::Win32());
}
