// The plug-in file's services link: no connection to the mixer program yet.
#include "plugins/quorvel/ServicesLink.h"

#include <new>

ServicesLink* CreateServicesLink(KivQuorvelEffect* effect)
{
    return new (std::nothrow) ServicesLink(effect);
}
