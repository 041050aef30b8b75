#include "plugins/quorvel/ServicesConnection.h"

bool ServicesConnection::GetSendReturnPair(int32_t*, int32_t*)
{
    return false;
}

bool ServicesConnection::IsLoadingSession() const
{
    return false;
}

void ServicesConnection::Execute(int32_t) {}

void ServicesConnection::FailCall() {}

void ServicesConnection::Drop() {}

bool ServicesConnection::TakeDisplayUpdate()
{
    return false;
}
