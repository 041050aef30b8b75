// What the application needs of a desktop when a program starts it under a bare X server (the
// screenshot programs, the paint bench): no notification area, messages printed instead of
// shown, the stand-in engine.
#pragma once

#include <cstdio>

#include "framework/windows/TrayIcon.h"
#include "mixer/app/Application.h"
#include "standins/engine/StandinServices.h"

namespace baredesktop
{
// The icon's requests go nowhere.
class NoNotifier : public TrayNotifier
{
public:
    BOOL Notify(DWORD, NOTIFYICONDATAA*) override { return TRUE; }
};

class NoMessages : public AppMessages
{
public:
    int Show(const char* id, const char16_t*, const char16_t*) override
    {
        std::printf("message %s\n", id);
        return 1;
    }
};

inline IVarnServices* CreateStandin()
{
    return new StandinServices;
}
} // namespace baredesktop
