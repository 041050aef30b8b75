#pragma once
#include "framework/dialogs/Dialog.h"
#include "framework/platform/RegistryKey.h"

class ComboBox;
class FlagItem;
class Skin;
class Window;

// The global preferences ("globalpreferences"): tooltips, the start-up splash and the skin,
// one of the program's "Skins" subfolders that hold a "layout.xml".
class GlobalPreferencesDialog : public Dialog
{
public:
    GlobalPreferencesDialog();
    int Init();
    int Run(Skin& skin, Window* parent);
    int OnInitDialog() override;
    // After OK: stores the three preferences; 1 when the skin changed, and the caller then
    // has the main window rebuilt with it.
    int Apply();

private:
    RegistryKey view_;
    FlagItem* tooltips_ = nullptr; // owned by the panel
    FlagItem* splash_ = nullptr;   // owned by the panel
    ComboBox* skin_ = nullptr;     // owned by the panel; null when the skin has none
};
