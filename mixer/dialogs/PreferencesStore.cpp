#include "mixer/dialogs/PreferencesStore.h"

#include "framework/controls/Tooltip.h"
#include "framework/platform/RegistryKey.h"

namespace
{
const char16_t kLauncherKey[] = u"Software\\Halvorn Professional\\KivCorvanDSP\\Launcher";
} // namespace

int PreferencesStore::GetSkinName(RegistryKey& key)
{
    key_ = &key;
    GetTooltipsEnabled(1);
    String skin;
    skin.AppendAscii("Default");
    GetSkinPath(skin);
    return 1;
}

int PreferencesStore::GetTooltipsEnabled(int defaultFlag)
{
    const int enabled = key_ ? key_->ReadBool(u"tooltipsenabled", defaultFlag) : defaultFlag;
    Tooltip::TooltipsEnabled = enabled;
    return enabled;
}

int PreferencesStore::SetTooltipsEnabled(int flag)
{
    Tooltip::TooltipsEnabled = flag;
    return key_ ? key_->WriteBool(u"tooltipsenabled", flag) : 0;
}

int PreferencesStore::GetSkinPath(String& text)
{
    if (!key_)
        return 0;
    String defaultText;
    defaultText.Append(text);
    return key_->ReadString(u"skin", text, &defaultText);
}

int PreferencesStore::SetSkinPath(const String& text)
{
    return key_ ? key_->WriteString(u"skin", &text) : 0;
}

// One value, under Launcher, where the start-up reads it.
int PreferencesStore::GetShowSplash(int defaultFlag)
{
    RegistryKey launcher;
    if (!launcher.Open("HKEY_CURRENT_USER", kLauncherKey, 1))
        return defaultFlag;
    return launcher.ReadBool(u"show services splash", defaultFlag);
}

int PreferencesStore::SetShowSplash(int flag)
{
    RegistryKey launcher;
    return launcher.Open("HKEY_CURRENT_USER", kLauncherKey, 1) && launcher.WriteBool(u"show services splash", flag);
}
