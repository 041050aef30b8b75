#include "mixer/dialogs/GlobalPreferencesDialog.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/files/FileFind.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/windows/AppBase.h"
#include "mixer/dialogs/PreferencesStore.h"
#include "mixer/names/ViewSettings.h"

GlobalPreferencesDialog::GlobalPreferencesDialog()
{
    view_.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1);
}

int GlobalPreferencesDialog::Init()
{
    PreferencesStore preferences;
    preferences.GetSkinName(view_);
    tooltips_ = AddFlagItem("tooltipsenabled", preferences.GetTooltipsEnabled(1), 0, 0);
    splash_ = AddFlagItem("splashenabled", preferences.GetShowSplash(1), 0, 0);
    return 1;
}

int GlobalPreferencesDialog::Run(Skin& skin, Window* parent)
{
    return SkinDialogs(skin).ShowDialogPanel("globalpreferences", this, parent);
}

int GlobalPreferencesDialog::OnInitDialog()
{
    String comboName;
    comboName.AppendAscii("skin");
    Control* control = FindControl(comboName);
    skin_ = dynamic_cast<ComboBox*>(control);
    if (!skin_)
        return Dialog::OnInitDialog();
    PreferencesStore preferences;
    preferences.GetSkinName(view_);
    String current;
    preferences.GetSkinPath(current);
    String folder;
    if (!AppBase::ModulePath(folder))
        return Dialog::OnInitDialog();
    folder.AppendAscii("\\Skins\\");
    // Offered in the order the file system gives them; a folder without a layout is none.
    FileFind find;
    String name;
    int entries = 0;
    for (int found = find.FirstSubdirectory(folder, name); found; found = find.NextSubdirectory(name))
    {
        String layout;
        layout.Append(folder);
        layout.Append(name);
        layout.AppendAscii("\\layout.xml");
        if (!FileSystem::FileExists(layout))
            continue;
        skin_->AddItem(name, 1, 0);
        if (current.Length() && name.Compare(current.Text()) == 0)
            skin_->SetSelection(entries);
        ++entries;
    }
    return Dialog::OnInitDialog();
}

int GlobalPreferencesDialog::Apply()
{
    PreferencesStore preferences;
    preferences.GetSkinName(view_);
    if (tooltips_)
        preferences.SetTooltipsEnabled(tooltips_->GetValue() != 0);
    if (splash_)
        preferences.SetShowSplash(splash_->GetValue() != 0);
    if (!skin_)
        return 0;
    String chosen, stored;
    const int selected = skin_->GetSelection();
    if (selected < 0 || selected >= skin_->ItemCount() || !skin_->GetItemText(selected, chosen))
        return 0;
    preferences.GetSkinPath(stored);
    if (stored.Length() && chosen.Compare(stored.Text()) == 0)
        return 0;
    preferences.SetSkinPath(chosen);
    return 1;
}
