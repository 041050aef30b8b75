#include "plugins/quorvel/ServicesLink.h"

bool ServicesLink::GetSendReturnPair(int32_t*, int32_t*)
{
    return false;
}

bool ServicesLink::IsLoadingSession() const
{
    return false;
}
