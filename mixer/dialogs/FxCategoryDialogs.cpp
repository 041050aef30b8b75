#include "mixer/dialogs/FxCategoryDialogs.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/skin/Skin.h"
#include "mixer/dialogs/SubdirectoryFind.h"
#include "mixer/engine/VarnServices.h"

namespace
{
std::u16string Units(const String& text)
{
    return std::u16string(text.Text(), static_cast<size_t>(text.Length()));
}
} // namespace

int FxCategoryDialog::RunPanel(const char* name)
{
    choice_ = AddIntItem("catchoices", 0, 0, static_cast<int>(choices_.size()), 0, 0);
    Window* owner = parent_ ? parent_->GetParent() : nullptr;
    return SkinDialogs(skin_).ShowDialogPanel(name, this, owner ? owner : parent_) == 1 ? 1 : 0;
}

int FxCategoryDialog::OnInitDialog()
{
    String name;
    name.AssignAscii("catchoices");
    if (auto* combo = dynamic_cast<ComboBox*>(FindControl(name)))
    {
        combo->ClearItems();
        for (const std::u16string& choice : choices_)
        {
            String text;
            text.AppendWide(choice.c_str());
            combo->AddItem(text, 1, 0);
        }
        if (!choices_.empty())
            combo->SetSelection(0);
    }
    return 1;
}

void FxCategoryDialog::BringToFront()
{
    Activate();
    MakeTopmost();
}

bool FxCategoryDialog::GetSelectedName(String& name)
{
    name.Clear();
    const int index = choice_ ? choice_->value : -1;
    if (index < 0 || index >= static_cast<int>(choices_.size()))
        return false;
    String chosen;
    chosen.AppendWide(choices_[static_cast<size_t>(index)].c_str());
    if (!FileSystem::IsValidName(chosen))
        return false;
    return name.Assign(chosen) != 0;
}

ImportFxCategoryDialog::ImportFxCategoryDialog(Skin& skin, const String& folder, Window* parent)
    : FxCategoryDialog(skin, parent)
{
    folder_.Assign(folder);
}

void ImportFxCategoryDialog::ReadFolder()
{
    choices_.clear();
    SubdirectoryFind find;
    String name;
    for (int found = find.First(folder_, name); found; found = find.Next(name))
        choices_.push_back(Units(name));
}

int ImportFxCategoryDialog::Run()
{
    ReadFolder();
    if (choices_.empty())
        return 0;
    return RunPanel("ImportFXCategory");
}

ExportFxCategoryDialog::ExportFxCategoryDialog(Skin& skin, IVarnFxLibrary& library, Window* parent)
    : FxCategoryDialog(skin, parent), library_(library)
{
}

int ExportFxCategoryDialog::Run()
{
    choices_.clear();
    const int count = library_.GetCategoryCount();
    for (int i = 0; i < count; ++i)
    {
        VarnCategoryRecord record{};
        if (!library_.GetCategoryInfo(i, &record))
            continue;
        record.name[255] = 0;
        choices_.push_back(record.name);
    }
    return RunPanel("ExportFXCategory");
}
