#include "mixer/dialogs/AboutDialog.h"

#include "framework/controls/Control.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/system/DeviceEnum.h"
#include "framework/platform/system/SystemInfo.h"
#include "framework/skin/Skin.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/dialogs/PreferencesStore.h"
#include "mixer/names/ViewSettings.h"

namespace
{
String Ascii(const char* text)
{
    String result;
    result.AppendAscii(text);
    return result;
}

bool Has(IVarnHardware* hardware, int feature)
{
    return hardware && hardware->HasFeature(feature);
}
} // namespace

AboutDialog::AboutDialog(IVarnHardware* hardware, IVarnHardware* system) : hardware_(hardware), system_(system) {}

AboutDialog::~AboutDialog() = default;

int AboutDialog::Init()
{
    RegistryKey view;
    PreferencesStore preferences;
    if (view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
        preferences.GetSkinName(view);
    AddFlagItem("tooltipsenabled", preferences.GetTooltipsEnabled(1), 0, 0);
    return 1;
}

int AboutDialog::Run(Skin& skin, Window* parent)
{
    skin_ = &skin;
    return SkinDialogs(skin).ShowDialogPanel("aboutinfo", this, parent);
}

void AboutDialog::Show(Skin& skin, IVarnHardware* hardware, IVarnHardware* system, Window* parent)
{
    AboutDialog dialog(hardware, system);
    if (dialog.Init())
        dialog.Run(skin, parent);
}

void AboutDialog::SetText(const char* name, const String& text)
{
    Control* control = FindControl(Ascii(name));
    if (control && control->GetType() == Control::TypeText)
        static_cast<TextControl*>(control)->SetText(text, 1);
}

void AboutDialog::SetTextFromSkin(const char* name, const char* stringId)
{
    if (const String* text = skin_ ? skin_->FindStringById(stringId) : nullptr)
        SetText(name, *text);
}

void AboutDialog::ShowFirmware(const char* control, const char* setting)
{
    IVarnSettings* settings = hardware_ ? hardware_->GetSettings() : nullptr;
    char16_t text[256] = {};
    if (!settings || !settings->GetText(setting, text, 256))
        return;
    String version;
    version.AppendWide(text);
    SetText(control, version);
}

void AboutDialog::Hide(const char* name)
{
    if (Control* control = FindControl(Ascii(name)))
    {
        control->SetInvisible(1);
        control->SetHidden(1);
    }
}

int AboutDialog::OnInitDialog()
{
    ShowFirmware("PCIOstikVersion", "pcicard_firmware_version");
    const bool f9 = Has(system_, 9), f10 = Has(system_, 10);
    if (f10 || (!f9 && Has(system_, 1)))
        ShowFirmware("HolbrinVersion", "dock_firmware_version");
    if (Has(system_, 3))
        ShowFirmware("SyncCardVersion", "synccard_firmware_version");

    version_ = std::make_unique<SystemInfo>();
    SetText("productName", version_->ProductName());
    String product = Ascii("Version : ");
    String seven;
    seven.Left(version_->ProductVersion(), 7);
    product.Append(seven);
    SetText("productVersion", product);
    SetText("BuildDate", Ascii(__DATE__ " " __TIME__));

    String driver;
    if (!DeviceEnum::DriverVersion(driver) || !driver.Length())
    {
        driver.Clear();
        if (!SystemInfo::GetDriverFileVersion(driver) || !driver.Length())
            driver = Ascii("-");
    }
    SetText("DriverVersion", driver);
    SetText("fileVersion", version_->FileVersion());
    if (Control* url = FindControl(Ascii("companyURL")))
        url->SetDisabled(0, 0, 1);

    // The labels follow the model; several rules apply in this order.
    if (Has(hardware_, 4))
    {
        SetTextFromSkin("PCIOstikVersionTag", "IDS_ABOUT_BOX_SevrinFIRMVER");
        Control* dockTag = FindControl(Ascii("HolbrinVersionTag"));
        Control* dock = FindControl(Ascii("HolbrinVersion"));
        Control* syncTag = FindControl(Ascii("SyncCardVersionTag"));
        Control* sync = FindControl(Ascii("SyncCardVersion"));
        Rect place;
        if (dockTag && syncTag)
        {
            dockTag->GetRect(place);
            syncTag->MoveTo(place.left, place.top);
        }
        if (dock && sync)
        {
            dock->GetRect(place);
            sync->MoveTo(place.left, place.top);
        }
        Hide("HolbrinVersionTag");
        Hide("HolbrinVersion");
    }
    if (Has(hardware_, 9))
    {
        SetTextFromSkin("PCIOstikVersionTag", "IDS_ABOUT_BOX_TamloFIRMVER");
        SetTextFromSkin("HolbrinVersionTag", "IDS_ABOUT_BOX_KettermFIRMVER");
        Hide("SyncCardVersionTag");
        Hide("SyncCardVersion");
    }
    if (Has(hardware_, 11))
        SetTextFromSkin("HolbrinVersionTag", "IDS_ABOUT_BOX_KettermFIRMVER");
    return Dialog::OnInitDialog();
}
