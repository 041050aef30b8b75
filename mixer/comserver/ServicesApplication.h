#pragma once
#include "mixer/names/PortNames.h"
#include "mixer/engine/VarnServices.h"

// What the COM server asks of the running application object. The program entry keeps the
// object in the process-wide application pointer (ComModule::SetApplication) while it
// exists; every COM method of the server fails with E_FAIL while that pointer is null.
class ServicesApplication
{
public:
    // The services engine the application holds; null before it is created and after it
    // is released.
    virtual IVarnServices* GetServices() = 0;
    // The hardware system the main window shows; null while the application has no main
    // window or the window no system.
    virtual IVarnHardware* GetCurrentSystem() = 0;
    // The texts of string ids the channel names are made of: the process-wide skin's.
    virtual StringTable& GetStrings() = 0;

protected:
    ~ServicesApplication() = default;
};
