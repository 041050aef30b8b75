#include "mixer/dialogs/PreferencesStore.h"

#include "framework/controls/Tooltip.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/names/ViewSettings.h"

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
    const int enabled = key_ ? key_->ReadBool(ViewSettings::kTooltipsEnabled, defaultFlag) : defaultFlag;
    Tooltip::TooltipsEnabled = enabled;
    return enabled;
}

int PreferencesStore::SetTooltipsEnabled(int flag)
{
    Tooltip::TooltipsEnabled = flag;
    return key_ ? key_->WriteBool(ViewSettings::kTooltipsEnabled, flag) : 0;
}

int PreferencesStore::GetSkinPath(String& text)
{
    if (!key_)
        return 0;
    String defaultText;
    defaultText.Append(text);
    return key_->ReadString(ViewSettings::kSkin, text, &defaultText);
}

int PreferencesStore::SetSkinPath(const String& text)
{
    return key_ ? key_->WriteString(ViewSettings::kSkin, &text) : 0;
}

// One value, under Launcher, where the start-up reads it.
int PreferencesStore::GetShowSplash(int defaultFlag)
{
    RegistryKey launcher;
    if (!launcher.Open(ViewSettings::kRoot, LauncherSettings::kKeyPath, 1))
        return defaultFlag;
    return launcher.ReadBool(LauncherSettings::kShowServicesSplash, defaultFlag);
}

int PreferencesStore::SetShowSplash(int flag)
{
    RegistryKey launcher;
    return launcher.Open(ViewSettings::kRoot, LauncherSettings::kKeyPath, 1) &&
           launcher.WriteBool(LauncherSettings::kShowServicesSplash, flag);
}
