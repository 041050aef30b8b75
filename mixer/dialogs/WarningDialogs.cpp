#include "mixer/dialogs/WarningDialogs.h"

#include "framework/controls/Button.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "mixer/names/ViewSettings.h"

namespace
{
bool Named(const DataItem* item, const char* name)
{
    return item && item->GetName().CompareLiteral(name) == 0;
}
} // namespace

int WarnAgainDialog::Init()
{
    AddFlagItem("warnAgain", 0, 0, 0);
    return 1;
}

// Checked means "do not warn again": the setting says whether to warn.
int WarnAgainDialog::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (!Named(item, "warnAgain"))
        return Dialog::OnDataItemNotify(panel, item, argument);
    RegistryKey key;
    if (key.Open("HKEY_CURRENT_USER", keyPath_, 1))
        key.WriteBool(setting_, static_cast<const NumericItem*>(item)->GetValue() == 0 ? 1 : 0);
    return 1;
}

ExitWarningDialog::ExitWarningDialog() : WarnAgainDialog(LauncherSettings::kKeyPath, LauncherSettings::kShowExitWarning)
{
}

NoAsioWarningDialog::NoAsioWarningDialog() : WarnAgainDialog(ViewSettings::kKeyPath, ViewSettings::kShowNoAsioWarning)
{
}

int SampleRateChangedDialog::Init(RegistryKey& key)
{
    key_ = &key;
    const uint32_t stored = key.ReadUnsigned(ViewSettings::kSampleRateChangedOption, 0);
    option_ = AddIntItem("ratechangedoption", stored <= 2 ? static_cast<int>(stored) : 0, 0, 2, 0, 0);
    return 1;
}

void SampleRateChangedDialog::RateText(int rateCode, String& text)
{
    static const char* const rates[] = {"44.1", "48", "96", "192", "88.2", "176.4"};
    text.Clear();
    text.AppendAscii("New SR:");
    text.AppendAscii(rateCode >= 0 && rateCode <= 5 ? rates[rateCode] : "Unknown");
    text.AppendAscii(" kHz.");
}

void SampleRateChangedDialog::ShowRate()
{
    String name;
    name.AppendAscii("SampleRate");
    Control* control = FindControl(name);
    if (!control || control->GetType() != Control::TypeText)
        return;
    String text;
    RateText(rateCode_, text);
    static_cast<TextControl*>(control)->SetText(text, 1);
}

void SampleRateChangedDialog::SetRate(int rateCode)
{
    rateCode_ = rateCode;
    ShowRate();
}

int SampleRateChangedDialog::GetOption() const
{
    return option_ ? static_cast<int>(option_->GetValue()) : 0;
}

int SampleRateChangedDialog::OnInitDialog()
{
    ShowRate();
    return 1;
}

void SampleRateChangedDialog::BringToFront()
{
    Activate();
    Dialog::BringToFront();
    String name;
    name.AppendAscii("CANCEL");
    if (Control* cancel = FindControl(name))
    {
        if (cancel->GetType() == Control::TypeButton)
        {
            String retry;
            retry.AppendAscii("Retry");
            static_cast<Button*>(cancel)->SetText(retry);
        }
        cancel->Invalidate(nullptr);
    }
    name.AssignAscii("dialogclose");
    if (Control* close = FindControl(name))
    {
        close->SetHidden(1);
        RedrawArea(nullptr, 1);
    }
}

int SampleRateChangedDialog::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (!Named(item, "ratechangedoption"))
        return Dialog::OnDataItemNotify(panel, item, argument);
    if (key_)
        key_->WriteUnsigned(ViewSettings::kSampleRateChangedOption,
                            static_cast<uint32_t>(static_cast<const NumericItem*>(item)->GetValue()));
    return 1;
}
