#pragma once

#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

class DeviceBackend;

// Finds the card among the present topology devices and keeps the device notifications that
// make a window hear the card arrive and leave. The registered notices are process-wide;
// searches never touch them, so a search may run while a handle notice is being delivered.
// GUI thread only.
class DeviceEnum
{
public:
    static int IsHardwarePresent();
    // With the card present: a notice about its handle (replacing the one held before);
    // without: one notice about arriving topology interfaces, registered once. Answers 1.
    static int RegisterNotifications(HWND window);
    // Every notice unregistered and released. Answers 1.
    static int UnregisterNotifications();
    // One handle notice whose device is going away: unregistered and forgotten, so it is
    // never unregistered twice. Answers 1.
    static int UnregisterNotice(HDEVNOTIFY notice);
    // The card's "DriverVersion" from its driver's class key (through the settings store's
    // registry); 0 without card or value.
    static int DriverVersion(String& out);

    // Installs backend (null: the system's) and answers the one before. For tests.
    static DeviceBackend* InstallBackend(DeviceBackend* backend);
};
