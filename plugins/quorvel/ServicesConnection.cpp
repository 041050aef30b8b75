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

bool ServicesConnection::CaptureInserts(InsertStateList*)
{
    return false;
}

bool ServicesConnection::FindPreset(const EffectId&, PresetRecord*)
{
    return false;
}

bool ServicesConnection::RestoreInserts(const InsertStateList&)
{
    return false;
}

ParamChain* ServicesConnection::GetParamChain()
{
    return nullptr;
}

EffectCatalog* ServicesConnection::GetCatalog()
{
    return nullptr;
}

InsertChain* ServicesConnection::GetInsertChain()
{
    return nullptr;
}
