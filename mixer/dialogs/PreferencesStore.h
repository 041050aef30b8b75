#pragma once
#include "framework/base/Object.h"
#include "framework/base/String.h"

class RegistryKey;

// The user's interface preferences as text values of the view key ("skin", "tooltipsenabled").
// The splash preference is the Launcher key's "show services splash", the one value the
// start-up and the tray menu read as well.
class PreferencesStore : public Object
{
public:
    PreferencesStore() = default;

    // Binds the store to the key (not owned), reads "tooltipsenabled" into the global
    // tooltip switch and "skin" (default "Default"); 1.
    int GetSkinName(RegistryKey& key);
    int GetTooltipsEnabled(int defaultFlag);
    int SetTooltipsEnabled(int flag);
    // Reads "skin" into text, whose contents are the default.
    int GetSkinPath(String& text);
    int SetSkinPath(const String& text);
    int GetShowSplash(int defaultFlag);
    int SetShowSplash(int flag);

private:
    RegistryKey* key_ = nullptr; // borrowed; null until bound
};
