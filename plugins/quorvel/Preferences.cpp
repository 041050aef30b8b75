#include "plugins/quorvel/Preferences.h"

#include "framework/platform/RegistryKey.h"

namespace
{

bool ReadFlag(const char16_t* name)
{
    RegistryKey key;
    if (!key.Open("HKEY_CURRENT_USER", u"Software\\Halvorn Professional\\KIV Quorvel\\", 1))
    {
        return false;
    }
    return key.ReadBool(name, 0) != 0;
}

} // namespace

bool Preferences::ReadExtraBufferEnabled()
{
    return ReadFlag(u"ExtraBufferEnabled");
}

bool Preferences::ReadRenderModeEnabled()
{
    return ReadFlag(u"RenderModeEnabled");
}
