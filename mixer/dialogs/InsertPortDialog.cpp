#include "mixer/dialogs/InsertPortDialog.h"

#include "framework/controls/Control.h"
#include "framework/controls/PopupMenu.h"
#include "mixer/dialogs/InsertPortForm.h"

int InsertPortDialog::OnInitDialog()
{
    FillChoices();
    return AppDialog::OnInitDialog();
}

void InsertPortDialog::BringToFront()
{
    Activate();
    MakeTopmost();
}

void InsertPortDialog::OnSettingsChanged()
{
    PopupMenu::CloseAll();
    FillChoices();
}

int InsertPortDialog::CanAccept()
{
    return HasChoice() ? 1 : InsertPortForm::Refuse(skin_, *this, refusal_);
}

int InsertPortDialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (control && control->GetName().CompareLiteral("OK") == 0 && !CanAccept())
        return 1;
    return AppDialog::OnCommand(sender, control, argument);
}
