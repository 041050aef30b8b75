#include "plugins/quorvel/Preferences.h"

#include "framework/platform/RegistryKey.h"

namespace
{

constexpr char16_t kKey[] = u"Software\\Halvorn Professional\\KIV Quorvel\\";
constexpr char16_t kTooltips[] = u"TooltipEnabled";
constexpr char16_t kExtraBuffer[] = u"ExtraBufferEnabled";
constexpr char16_t kRenderMode[] = u"RenderModeEnabled";

bool ReadFlag(RegistryKey& key, const char16_t* name, bool defaultFlag)
{
    return key.ReadBool(name, defaultFlag ? 1 : 0) != 0;
}

bool ReadFlag(const char16_t* name, bool defaultFlag)
{
    RegistryKey key;
    if (!key.Open("HKEY_CURRENT_USER", kKey, 1))
    {
        return defaultFlag;
    }
    return ReadFlag(key, name, defaultFlag);
}

// Writes the flag when it differs from the stored one; answers whether it wrote.
bool StoreFlag(RegistryKey& key, const char16_t* name, bool flag, bool defaultFlag)
{
    if (ReadFlag(key, name, defaultFlag) == flag)
    {
        return false;
    }
    return key.WriteBool(name, flag ? 1 : 0) != 0;
}

} // namespace

bool Preferences::ReadTooltipEnabled()
{
    return ReadFlag(kTooltips, true);
}

bool Preferences::ReadExtraBufferEnabled()
{
    return ReadFlag(kExtraBuffer, false);
}

bool Preferences::ReadRenderModeEnabled()
{
    return ReadFlag(kRenderMode, false);
}

PreferenceFlags Preferences::Read()
{
    PreferenceFlags flags;
    flags.tooltips = ReadTooltipEnabled();
    flags.extraBuffer = ReadExtraBufferEnabled();
    flags.renderMode = ReadRenderModeEnabled();
    return flags;
}

PreferenceFlags Preferences::Store(const PreferenceFlags& flags)
{
    PreferenceFlags done{false, false, false};
    RegistryKey key;
    if (key.Open("HKEY_CURRENT_USER", kKey, 1))
    {
        const PreferenceFlags defaults;
        done.extraBuffer = StoreFlag(key, kExtraBuffer, flags.extraBuffer, defaults.extraBuffer);
        done.tooltips = StoreFlag(key, kTooltips, flags.tooltips, defaults.tooltips);
        done.renderMode = StoreFlag(key, kRenderMode, flags.renderMode, defaults.renderMode);
    }
    return done;
}
