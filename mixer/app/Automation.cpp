#include "mixer/app/Automation.h"

#include "mixer/engine/EngineVocabulary.h"
#include "mixer/comserver/ServicesServer.h"

int Automation::NotifyEvent(int id, int a, int b)
{
    if (Notification::kPublic.Holds(id))
    {
        ServicesServer::FireNotify(Notification::BitOf(id));
        return 1;
    }
    if (Notification::kPrivate.Holds(id))
    {
        ServicesServer::FirePrivateNotify(Notification::BitOf(id), static_cast<DWORD>(a), static_cast<DWORD>(b));
        return 1;
    }
    return 0;
}
