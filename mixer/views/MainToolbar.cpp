#include "mixer/views/MainToolbar.h"

#include "framework/controls/Control.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/dialogs/WarningDialogs.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/ToolbarHost.h"

int MainToolbar::Create(ToolbarHost* host, MainWindowLink* mainWindow, int right, int bottom)
{
    host_ = host;
    mainWindow_ = mainWindow;
    AddFlagItem("fxVisible", mainWindow->GetSettings().ReadBool(ViewSettings::kFxPaletteVisible, 0), 0, 0);
    AddFlagItem("syncsettings", 0, 0, 0);
    if (!Setup(nullptr, -1, -1, 0x646464) ||
        !PanelBuilder(mainWindow->GetSkin()).BuildPanel("mainToolbar", *this, 0, nullptr))
        return 0;
    if (!hasSync_)
    {
        String name;
        name.AssignAscii("sync_settings");
        if (Control* control = FindControl(name))
            control->SetHidden(1);
    }
    return Panel::Create(&host->GetToolbarParent(), right - BackgroundWidth() - 36, bottom - BackgroundHeight(), 1);
}

int MainToolbar::OnControlNotify(Panel*, Control* control, int)
{
    const String& name = control->GetName();
    if (name.CompareLiteral("newsession") == 0)
        mainWindow_->NewSession();
    else if (name.CompareLiteral("opensession") == 0)
        mainWindow_->OpenSession();
    else if (name.CompareLiteral("savesession") == 0)
    {
        // Just below the button.
        int x = control->X();
        int y = control->Y() + control->Height();
        ClientToScreen(x, y);
        mainWindow_->ShowSaveMenu(x, y);
    }
    else if (name.CompareLiteral("sessionsettings") == 0)
        mainWindow_->EditSessionSettings();
    else if (name.CompareLiteral("globalpreferences") == 0)
        mainWindow_->EditGlobalPreferences();
    return 1;
}

int MainToolbar::OnDataItemNotify(Panel*, DataItem* item, int)
{
    const int on = item->GetKind() == DataItem::KindFlag && static_cast<FlagItem*>(item)->value ? 1 : 0;
    if (item->GetName().CompareLiteral("fxVisible") == 0)
        host_->ShowFxPalette(on);
    else if (item->GetName().CompareLiteral("syncsettings") == 0)
        OnSyncSettings(on);
    return 1;
}

void MainToolbar::OnSyncSettings(int on)
{
    mainWindow_->GetSettings().WriteBool(ViewSettings::kSyncPanelVisible, on);
    IVarnServices* services = mainWindow_->GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    // Sync over the second MIDI port needs that port set to carry it; the small box has its
    // own sync input.
    if (on && hardware && !hardware->HasFeature(HardwareFeature::kSmallBox))
        if (IVarnSettings* settings = hardware->GetSettings())
        {
            int source = 0;
            settings->GetValue("MidiInput2Src", &source);
            if (source != 1)
            {
                MidiPort2WarningDialog warning;
                if (SkinDialogs(mainWindow_->GetSkin()).ShowDialogPanel("midiport2warning", &warning, this) == 1)
                    settings->SetValue("MidiInput2Src", 1, 0, 1);
            }
        }
    host_->ShowSyncPanel(on);
}
