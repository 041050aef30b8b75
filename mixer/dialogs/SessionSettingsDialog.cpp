#include "mixer/dialogs/SessionSettingsDialog.h"

#include <algorithm>

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/PageTab.h"
#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/SkinDialogs.h"

namespace
{
const char kTabs[] = "sessiontabs";
const char kKetterm[] = "Tebro192KettermMode";

String Ascii(const char* text)
{
    String result;
    result.AppendAscii(text);
    return result;
}

bool Named(const DataItem* item, const char* name)
{
    return item && item->GetName().CompareLiteral(name) == 0;
}
} // namespace

int SessionSettingsDialog::SetMixer(IVarnMixer* mixer)
{
    if (mixer == mixer_)
        return 1;
    mixer_ = mixer;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    store_ = hardware ? hardware->GetSettings() : nullptr;
    hardware_ = {};
    for (int feature : {1, 2, 3, 4, 9, 10, 11})
        hardware_.f[feature] = hardware && hardware->HasFeature(feature);
    rateType_ = AddIntItem("SampleRateType", 0, 0, 1, 0, 0);
    rate_ = AddIntItem("SampleRate", 0, 0, 20, 0, 0);
    syncSource_ = AddIntItem("ExtSyncSrc", 0, 0, 20, 0, 0);
    AddFlagItem("MasterCard", masterCard_, 0, 0);
    const int rateCode = mixer ? mixer->GetRateCode() : 0;
    for (const SessionSettingsRules::ItemRule& rule : SessionSettingsRules::ItemRules(hardware_, rateCode))
    {
        int stored = 0;
        const bool found = store_ && store_->GetValue(rule.name, &stored);
        const SessionSettingsRules::ItemStart start = SessionSettingsRules::Start(rule, hardware_, {found, stored});
        // The second MIDI input's "none" is -1.
        IntItem* item = AddIntItem(rule.name, start.value, std::min(0, rule.defaultValue), start.maximum, 0, 0);
        if (item && start.writeBack)
            SetChoiceValue(item);
    }
    return 1;
}

void SessionSettingsDialog::SetComment(const char16_t* text)
{
    String value;
    if (text)
        value.AppendWide(text);
    else
        value.AppendAscii("Summarize Session purpose here.");
    if (comment_)
        comment_->text.Assign(value);
    else
        comment_ = AddTextItem("comment", value, 0, 0);
}

void SessionSettingsDialog::GetComment(String& text) const
{
    text.Clear();
    if (comment_)
        text.Assign(comment_->text);
}

int SessionSettingsDialog::Run(Skin& skin, Window* parent)
{
    return SkinDialogs(skin).ShowDialogPanel("sessionsettings", this, parent);
}

void SessionSettingsDialog::SetChoiceValue(IntItem* item)
{
    char name[64] = {}; // item names are ASCII, as the store takes them
    if (!store_ || !item || !item->GetName().CopyToAscii(name, sizeof(name)))
        return;
    store_->SetValue(name, item->value, 0, 1);
    modified_ = 1;
}

void SessionSettingsDialog::SetValue(IntItem* item, int value)
{
    char name[64] = {};
    if (!store_ || !item || !item->GetName().CopyToAscii(name, sizeof(name)))
        return;
    store_->SetValue(name, value, 0, 0);
    modified_ = 1;
}

int SessionSettingsDialog::StoredValue(const char* name, int fallback) const
{
    int value = fallback;
    if (store_ && store_->GetValue(name, &value))
        return value;
    return fallback;
}

int SessionSettingsDialog::SelectedValue(ComboBox* combo) const
{
    return combo ? combo->GetItemValue(combo->GetSelection()) : -1;
}

void SessionSettingsDialog::FillSync()
{
    if (!syncCombo_)
        return;
    syncCombo_->ClearItems();
    const int rateCode = mixer_ ? mixer_->GetRateCode() : 0;
    std::vector<int> sources;
    VarnCodeList list = {};
    if (hardware_.Has(10) && store_ && store_->GetSyncSources(&list))
        sources.assign(list.codes, list.codes + std::clamp(list.count, 0, 32));
    const SessionSettingsRules::SyncList offered =
        SessionSettingsRules::SyncEntries(hardware_, sources, rateCode, StoredValue(kKetterm, 0));
    for (const SessionSettingsRules::Entry& entry : offered.entries)
        syncCombo_->AddItem(Ascii(entry.text.c_str()), entry.enabled, entry.value);
    syncListDisabled_ = offered.disabled || offered.entries.empty();
    if (offered.entries.empty())
    {
        // Nothing to sync to: the clock is internal and the store says so.
        if (rateType_)
            rateType_->SetValue(0, 1, 0, nullptr);
        SetValue(syncSource_, 0);
        syncCombo_->AddItem(Ascii(" "), 0, 0);
        syncCombo_->SetSelection(0);
        syncCombo_->SetDisabled(1, 0, 1);
        if (hardware_.Has(4))
            Apply(SessionSettingsRules::Feature4SyncControls(hardware_, rateCode));
        return;
    }
    const int stored = StoredValue("ExtSyncSrc", 0);
    for (int i = 0; i < syncCombo_->ItemCount(); ++i)
        if (syncCombo_->GetItemValue(i) == stored)
            syncCombo_->SetSelection(i);
    if (offered.disabled)
    {
        syncCombo_->SetSelection(0);
        syncCombo_->SetDisabled(1, 0, 1);
    }
    if (rateType_)
        rateType_->SetValue(stored != 0 ? 1 : 0, 1, 0, nullptr);
}

void SessionSettingsDialog::FillRates()
{
    if (!rateCombo_ || !mixer_)
        return;
    rateCombo_->ClearItems();
    const int rateCode = mixer_->GetRateCode();
    std::vector<int> supported;
    VarnCodeList list = {};
    IVarnHardware* hardware = mixer_->GetHardware();
    if (hardware && hardware->GetRates(0, &list))
        supported.assign(list.codes, list.codes + std::clamp(list.count, 0, 32));
    const std::vector<SessionSettingsRules::Entry> entries = SessionSettingsRules::RateEntries(rateCode, supported);
    for (const SessionSettingsRules::Entry& entry : entries)
        rateCombo_->AddItem(Ascii(entry.text.c_str()), entry.enabled, entry.value);
    for (int i = 0; i < rateCombo_->ItemCount(); ++i)
        if (rateCombo_->GetItemValue(i) == rateCode)
            rateCombo_->SetSelection(i);
}

void SessionSettingsDialog::UpdateClockEnabling()
{
    const int type = rateType_ ? rateType_->value : 0;
    if (rateCombo_)
        rateCombo_->SetDisabled(!SessionSettingsRules::RateEnabled(type), 0, 1);
    if (syncCombo_)
        syncCombo_->SetDisabled(syncListDisabled_ || !SessionSettingsRules::SyncEnabled(hardware_, type), 0, 1);
}

void SessionSettingsDialog::Apply(const std::vector<SessionSettingsRules::Enabling>& enablings)
{
    for (const SessionSettingsRules::Enabling& enabling : enablings)
        if (Control* control = FindControl(Ascii(enabling.name.c_str())))
            control->SetDisabled(enabling.enabled ? 0 : 1, 0, 1);
}

void SessionSettingsDialog::RefreshPage(int page)
{
    if (page < 0 || page >= static_cast<int>(refreshes_.size()))
        return;
    const int rateCode = mixer_ ? mixer_->GetRateCode() : 0;
    const int saved = initialising_;
    initialising_ = 1; // what a refresh selects is no user's choice
    switch (refreshes_[static_cast<size_t>(page)])
    {
    case SessionSettingsRules::Refresh::kClock:
        FillSync();
        UpdateClockEnabling();
        break;
    case SessionSettingsRules::Refresh::kMidi:
        Apply(SessionSettingsRules::MidiControls(hardware_));
        break;
    case SessionSettingsRules::Refresh::kLevels:
        Apply(SessionSettingsRules::LevelControls(hardware_, rateCode, StoredValue(kKetterm, 0)));
        break;
    case SessionSettingsRules::Refresh::kFeature4Sync:
        Apply(SessionSettingsRules::Feature4SyncControls(hardware_, rateCode));
        break;
    case SessionSettingsRules::Refresh::kSecondSpdif: {
        IVarnHardware* hardware = mixer_ ? mixer_->GetHardware() : nullptr;
        IVarnMixer* owner = hardware && hardware->GetMixer() ? hardware->GetMixer() : mixer_;
        Apply(SessionSettingsRules::SecondSpdifControls(owner ? owner->GetRateCode() : 0));
        break;
    }
    }
    initialising_ = saved;
}

int SessionSettingsDialog::OnInitDialog()
{
    initialising_ = 1;
    rateCombo_ = dynamic_cast<ComboBox*>(FindControl(Ascii("SampleRate")));
    syncCombo_ = dynamic_cast<ComboBox*>(FindControl(Ascii("ExtSyncSrc")));
    FillSync();
    FillRates();
    UpdateClockEnabling();
    const SessionSettingsRules::Pages pages = SessionSettingsRules::PagesFor(hardware_);
    keptPages_ = pages.kept;
    refreshes_ = pages.refreshes;
    const String tabs = Ascii(kTabs);
    if (PageTab* tab = FindPageTab(tabs))
        for (int page = tab->PageCount() - 1; page >= 0; --page)
            if (std::find(keptPages_.begin(), keptPages_.end(), page) == keptPages_.end())
                RemoveTabPage(tabs, page);
    RefreshPage(std::max(GetTabPage(tabs), 0));
    modified_ = 0;
    initialising_ = 0;
    return AppDialog::OnInitDialog();
}

void SessionSettingsDialog::OnTabPageChanged(const String& tabName, int page)
{
    if (tabName.CompareLiteral(kTabs) == 0)
        RefreshPage(page);
}

void SessionSettingsDialog::OnSettingsChanged()
{
    PopupMenu::CloseAll();
    RefreshPage(std::max(GetTabPage(Ascii(kTabs)), 0));
}

int SessionSettingsDialog::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (AppDialog::OnDataItemNotify(panel, item, argument))
        return 1;
    if (initialising_ || !item)
        return 0;
    const int rateCode = mixer_ ? mixer_->GetRateCode() : 0;
    if (item == rateType_)
    {
        UpdateClockEnabling();
        if (rateType_->value == 1)
            SetValue(syncSource_, SelectedValue(syncCombo_));
        else
        {
            SetValue(syncSource_, 0);
            if (const int hertz = SessionSettingsRules::HertzOfRate(SelectedValue(rateCombo_), rateCode))
                SetValue(rate_, hertz);
        }
        return 1;
    }
    if (item == rate_)
    {
        const int code = SelectedValue(rateCombo_);
        if (code == rateCode)
            return 1;
        if (const int hertz = SessionSettingsRules::HertzOfRate(code, rateCode))
            SetValue(rate_, hertz);
        return 1;
    }
    if (item == syncSource_)
    {
        if (rateType_ && rateType_->value == 1)
            SetValue(syncSource_, SelectedValue(syncCombo_));
        return 1;
    }
    if (Named(item, "MasterCard"))
    {
        masterCard_ = static_cast<NumericItem*>(item)->GetValue() != 0;
        return 1;
    }
    if (item == comment_)
    {
        modified_ = 1;
        return 1;
    }
    if (Named(item, kKetterm))
        return 0;
    for (const SessionSettingsRules::ItemRule& rule : SessionSettingsRules::ItemRules(hardware_, rateCode))
        if (Named(item, rule.name))
        {
            SetChoiceValue(static_cast<IntItem*>(item));
            return 1;
        }
    return 0;
}

void SessionSettingsDialog::SwitchClock(int external)
{
    if (!rateType_)
        return;
    rateType_->SetValue(static_cast<float>(external), 1, 1, nullptr);
    if (rateCombo_)
        rateCombo_->SetDisabled(external, 0, 1);
    if (syncCombo_)
        syncCombo_->SetDisabled(!external, 0, 1);
}

// A click on the clock control that is off switches the clock to it. A sync list with nothing
// to choose stays off.
void SessionSettingsDialog::OnMouseDown(WPARAM flags, int x, int y)
{
    Control* hit = ControlAtForClick(x, y);
    if (hit && hit->IsDisabled())
    {
        if (hit == syncCombo_ && syncSource_ && syncSource_->value >= 0 && !syncListDisabled_)
        {
            SwitchClock(1);
            return;
        }
        if (hit == rateCombo_ && rate_ && rate_->value >= 0)
        {
            SwitchClock(0);
            return;
        }
    }
    AppDialog::OnMouseDown(flags, x, y);
}
