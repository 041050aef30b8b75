#include "plugins/quorvel/EditorDialogs.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/Tooltip.h"
#include "framework/skin/Skin.h"
#include "framework/windows/AppBase.h"
#include "plugins/quorvel/EditorMainPanel.h"
#include "plugins/quorvel/EffectCatalog.h"
#include "plugins/quorvel/FxPalette.h"
#include "plugins/quorvel/KivQuorvelEditor.h"

namespace
{
// Posted to the name dialog once its window shows: the name's editor opens then.
constexpr UINT kOpenNameEditor = WM_APP + 40;

void FindText(const char* id, String& out)
{
    Skin* skin = Skin::Current();
    const String* text = skin && id ? skin->FindStringById(id) : nullptr;
    if (text)
        out.Assign(*text);
    else
        out.Clear();
}

String Named(const char* name)
{
    String text;
    text.AssignAscii(name);
    return text;
}
} // namespace

EditorDialog::EditorDialog(EditorMainPanel& owner) : owner_(owner)
{
    help_.Assign(owner.HelpPath());
}

int EditorDialog::RunAs(const char* skinDialog)
{
    return owner_.Editor().RunModal(*this, skinDialog);
}

int EditorDialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (control && control->GetName().CompareLiteral("dialoghelp") == 0)
    {
        if (help_.Length() > 0)
            AppBase::OpenWithShell(help_);
        return 1;
    }
    return Dialog::OnCommand(sender, control, argument);
}

void EditorNameDialog::Setup(const char* titleId, const char* promptId, const char* defaultId)
{
    String defaultText;
    FindText(defaultId, defaultText);
    Setup(titleId, promptId, defaultText);
}

void EditorNameDialog::Setup(const char* titleId, const char* promptId, const String& defaultText)
{
    String title, prompt;
    FindText(titleId, title);
    FindText(promptId, prompt);
    SetTexts(title, prompt, defaultText);
}

void EditorNameDialog::SetTexts(const String& title, const String& prompt, const String& defaultText)
{
    title_.Assign(title);
    prompt_.Assign(prompt);
    if (!name_)
        name_ = AddTextItem("name", defaultText, 0, 0);
    else
        name_->text.Assign(defaultText);
}

bool EditorNameDialog::GetName(String& out) const
{
    return name_ && out.Assign(name_->text);
}

void EditorNameDialog::OnCreate()
{
    EditorDialog::OnCreate();
    if (title_.Length() > 0)
        if (auto* title = dynamic_cast<LabelControl*>(FindControl(Named("title"))))
            title->SetText(title_, 1);
    if (prompt_.Length() > 0)
        if (auto* prompt = dynamic_cast<LabelControl*>(FindControl(Named("prompt"))))
            prompt->SetText(prompt_, 1);
    PostMessage(kOpenNameEditor, 0, 0);
}

void EditorNameDialog::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kOpenNameEditor)
    {
        EditorDialog::OnUserMessage(message, wParam, lParam);
        return;
    }
    if (auto* name = dynamic_cast<TextControl*>(FindControl(Named("name"))))
        name->OpenEditor();
}

EditorNewPresetDialog::EditorNewPresetDialog(EditorMainPanel& owner, EffectCatalog* catalog)
    : EditorDialog(owner), catalog_(catalog)
{
    auto entry = std::make_unique<String>();
    FindText("IDS_CREATE_NEW_CATEGORY", *entry);
    entries_.push_back(std::move(entry));
    const int32_t count = catalog_ ? catalog_->CategoryCount() : 0;
    for (int32_t c = 0; c < count; ++c)
        if (std::shared_ptr<PresetCategory> category = catalog_->CategoryAt(c))
        {
            const CategoryRecord record = category->Record();
            auto name = std::make_unique<String>();
            name->AssignWide(record.name);
            // The core effects are no category of presets.
            if (name->Compare(u"Core Effects") != 0)
                entries_.push_back(std::move(name));
        }
    choice_ = AddIntItem("catchoices", 0, 0, count, 0, 0);
    name_ = AddTextItem("presetname", Named("NewPreset"), 0, 0);
}

bool EditorNewPresetDialog::GetPresetName(String& out) const
{
    return name_ && out.Assign(name_->text);
}

int EditorNewPresetDialog::OnInitDialog()
{
    if (auto* combo = dynamic_cast<ComboBox*>(FindControl(Named("catchoices"))))
    {
        combo->ClearItems();
        for (size_t i = 0; i < entries_.size(); ++i)
            combo->AddItem(*entries_[i], 1, static_cast<int>(i));
        combo->SetSelection(1);
    }
    return EditorDialog::OnInitDialog();
}

void EditorNewPresetDialog::Choose(int entry)
{
    if (entry == 0)
    {
        String created;
        FxPalette* palette = Owner().Palette();
        if (palette && palette->NewCategory(&created) == 1)
        {
            entries_.push_back(std::make_unique<String>());
            entries_.back()->Assign(created);
            category_.Assign(created);
            if (choice_)
                choice_->maximum = static_cast<float>(entries_.size());
            if (auto* combo = dynamic_cast<ComboBox*>(FindControl(Named("catchoices"))))
            {
                combo->AddItem(created, 1, static_cast<int>(entries_.size()) - 1);
                combo->SetSelection(static_cast<int>(entries_.size()) - 1);
            }
        }
        return;
    }
    if (entry > 0 && entry < static_cast<int>(entries_.size()))
        category_.Assign(*entries_[static_cast<size_t>(entry)]);
}

int EditorNewPresetDialog::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (item && item == choice_)
    {
        Choose(static_cast<int>(choice_->value));
        return 1;
    }
    return EditorDialog::OnDataItemNotify(panel, item, argument);
}

EditorPreferencesDialog::EditorPreferencesDialog(EditorMainPanel& owner)
    : EditorDialog(owner), flags_(Preferences::Read())
{
}

int EditorPreferencesDialog::Run()
{
    items_[0] = AddFlagItem("tooltipsenabled", flags_.tooltips ? 1 : 0, 0, 0);
    items_[1] = AddFlagItem("extrabuffersenabled", flags_.extraBuffer ? 1 : 0, 0, 0);
    items_[2] = AddFlagItem("rendermodeenabled", flags_.renderMode ? 1 : 0, 0, 0);
    return RunAs("globalpreferences");
}

int EditorPreferencesDialog::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    bool* flags[3] = {&flags_.tooltips, &flags_.extraBuffer, &flags_.renderMode};
    for (int i = 0; i < 3; ++i)
        if (item && item == items_[i])
        {
            *flags[i] = items_[i]->value != 0.0f;
            return 1;
        }
    return EditorDialog::OnDataItemNotify(panel, item, argument);
}

void EditorPreferencesDialog::Apply()
{
    Tooltip::TooltipsEnabled = flags_.tooltips ? 1 : 0;
    const PreferenceFlags written = Preferences::Store(flags_);
    if (written.extraBuffer)
        Owner().Editor().ShowMessage("IDM_EXTRABUFFER_SETTING_ALERT");
    if (written.renderMode)
        Owner().Editor().ShowMessage("IDM_RENDERMODE_SETTING_ALERT");
}
