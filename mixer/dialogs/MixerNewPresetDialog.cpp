#include "mixer/dialogs/MixerNewPresetDialog.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/skin/Skin.h"

namespace
{
// The library keeps names of at most 127 units (its records hold 128 with the end mark).
constexpr int kMaxName = 127;

String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

bool SameFolded(const String& a, const String& b)
{
    if (a.Length() != b.Length())
        return false;
    for (int i = 0; i < a.Length(); ++i)
    {
        char16_t x = a.Text()[i], y = b.Text()[i];
        x = x >= u'A' && x <= u'Z' ? static_cast<char16_t>(x + 32) : x;
        y = y >= u'A' && y <= u'Z' ? static_cast<char16_t>(y + 32) : y;
        if (x != y)
            return false;
    }
    return true;
}
} // namespace

const char* MixerNewPresetDialog::CheckName(const String& name)
{
    if (name.Length() > kMaxName)
        return "IDM_MAX_CHAR_EXCEEDED";
    if (!FileSystem::IsValidName(name))
        return "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET";
    return nullptr;
}

void MixerNewPresetDialog::BuildChoices()
{
    choices_.clear();
    String create;
    if (const String* text = skin_.FindStringById("IDS_CREATE_NEW_CATEGORY"))
        create.Assign(*text);
    choices_.push_back(std::move(create));
    for (int i = 0; library_ && i < library_->GetCategoryCount(); ++i)
    {
        VarnCategoryRecord record{};
        if (!library_->GetCategoryInfo(i, &record))
            continue;
        record.name[255] = 0;
        String name;
        name.Assign(record.name);
        choices_.push_back(std::move(name));
    }
    if (catChoice_)
        catChoice_->maximum = static_cast<int>(choices_.size()) - 1;
}

int MixerNewPresetDialog::Init(IVarnFxLibrary* library, NewCategoryPrompt newCategory)
{
    library_ = library;
    newCategory_ = std::move(newCategory);
    if (library_ && library_->GetCategoryCount() == 0)
    {
        Cursor::SetShape(2);
        library_->LoadCoreEffects();
        library_->LoadCategories();
        Cursor::SetShape(1);
    }
    catChoice_ = AddIntItem("catchoices", 0, 0, 0, 0, 0);
    presetName_ = AddTextItem("presetname", Ascii("NewPreset"), 0, 0);
    BuildChoices();
    return 1;
}

void MixerNewPresetDialog::FillCombo(int select)
{
    filling_ = true;
    if (auto* box = dynamic_cast<ComboBox*>(FindControl(Ascii("catchoices"))))
    {
        box->ClearItems();
        for (size_t i = 0; i < choices_.size(); ++i)
            box->AddItem(choices_[i], 1, static_cast<int>(i));
    }
    filling_ = false;
    // Reported like a user's choice, so the category follows the selection.
    if (catChoice_ && select < static_cast<int>(choices_.size()))
        catChoice_->Store(select, 1, 1, nullptr);
}

int MixerNewPresetDialog::OnInitDialog()
{
    FillCombo(1);
    return Dialog::OnInitDialog();
}

void MixerNewPresetDialog::BringToFront()
{
    Activate();
    MakeTopmost();
}

int MixerNewPresetDialog::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (item != catChoice_ || filling_)
        return Dialog::OnDataItemNotify(panel, item, argument);
    const int choice = catChoice_->value;
    if (choice > 0 && choice < static_cast<int>(choices_.size()))
    {
        category_.Assign(choices_[choice]);
        return 1;
    }
    if (choice != 0)
        return 1;
    String name;
    name.Assign(category_);
    if (newCategory_ && newCategory_(name))
    {
        category_.Assign(name);
        BuildChoices();
        int select = 1;
        for (size_t i = 1; i < choices_.size(); ++i)
            if (SameFolded(choices_[i], category_))
                select = static_cast<int>(i);
        FillCombo(select);
    }
    else
        FillCombo(1);
    return 1;
}

int MixerNewPresetDialog::CanAccept()
{
    String name;
    GetPresetName(name);
    const String* texts[] = {&category_, &name};
    for (const String* text : texts)
        if (const char* message = CheckName(*text))
        {
            SkinDialogs(skin_).ShowDefinedMessageBox(message, this, nullptr);
            Activate();
            return 0;
        }
    return 1;
}

int MixerNewPresetDialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (control && control->GetName().CompareLiteral("OK") == 0 && !CanAccept())
        return 1;
    return Dialog::OnCommand(sender, control, argument);
}

void MixerNewPresetDialog::GetPresetName(String& name) const
{
    if (presetName_)
        name.Assign(presetName_->text);
    else
        name.Clear();
}
