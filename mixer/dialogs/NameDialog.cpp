#include "mixer/dialogs/NameDialog.h"

#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/skin/Skin.h"

namespace
{
const String kNoText;

void ShowIn(Panel& panel, const char* controlName, const String& text)
{
    if (text.Length() == 0)
        return;
    if (TextControl* control = panel.FindTextControl(controlName))
        control->SetText(text, 1);
}
} // namespace

int NameDialog::SetTexts(const String& title, const String& prompt, const String& initialName)
{
    if (!title_.Assign(title) || !prompt_.Assign(prompt))
        return 0;
    if (nameItem_)
        return nameItem_->text.Assign(initialName);
    nameItem_ = AddTextItem("name", initialName, 0, 0);
    return nameItem_ != nullptr;
}

const String& NameDialog::StringOf(const char* id)
{
    const String* found = skin_.FindStringById(id);
    return found ? *found : kNoText;
}

int NameDialog::SetTextsFromIds(const char* titleId, const char* promptId, const char* initialNameId)
{
    return SetTexts(StringOf(titleId), StringOf(promptId), StringOf(initialNameId));
}

int NameDialog::SetTextsFromIds(const char* titleId, const char* promptId, const String& initialName)
{
    return SetTexts(StringOf(titleId), StringOf(promptId), initialName);
}

int NameDialog::Run(Window* parent)
{
    return SkinDialogs(skin_).ShowDialogPanel("newname", this, parent) == 1 ? 1 : 0;
}

const String* NameDialog::GetName() const
{
    return nameItem_ ? &nameItem_->text : nullptr;
}

int NameDialog::OnInitDialog()
{
    ShowIn(*this, "title", title_);
    ShowIn(*this, "prompt", prompt_);
    return 1;
}

void NameDialog::BringToFront()
{
    Activate();
    MakeTopmost();
    if (TextControl* name = FindTextControl("name"))
        name->OpenEditor();
}
