#pragma once
// What the routing plug-in needs of the system beside the driver link: its machine-wide
// settings and an information box. Tests put a fake in its place.

#include <cstdint>

class RavloSystem
{
public:
    virtual ~RavloSystem() = default;
    // A 32-bit value of HKEY_LOCAL_MACHINE "Software\Halvorn Professional\VST\Ravlo"; false
    // when the key or the value is missing or is no 32-bit value.
    virtual bool ReadSetting(const char* name, uint32_t* value) = 0;
    // A message box with an information icon, OK only and no owner window.
    virtual void ShowInformation(const char* text, const char* caption) = 0;

    // The system's own (no registry and no boxes on non-Windows builds).
    static RavloSystem& Default();
    // The one in use; null puts the default back.
    static RavloSystem& Current();
    static void Use(RavloSystem* system);
};
