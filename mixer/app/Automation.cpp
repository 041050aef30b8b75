#include "mixer/app/Automation.h"

#include "mixer/comserver/ServicesServer.h"

int Automation::NotifyEvent(int id, int a, int b)
{
    static const DWORD publicBits[] = {0x8, 0x10, 0x20, 0x40, 0x80, 0x200, 0x100};
    static const DWORD privateBits[] = {0x400, 0x1000, 0x2000, 0x4000};
    if (id >= 900 && id <= 906)
    {
        ServicesServer::FireNotify(publicBits[id - 900]);
        return 1;
    }
    if (id >= 907 && id <= 910)
    {
        ServicesServer::FirePrivateNotify(privateBits[id - 907], static_cast<DWORD>(a), static_cast<DWORD>(b));
        return 1;
    }
    return 0;
}
