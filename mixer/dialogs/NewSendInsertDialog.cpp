#include "mixer/dialogs/NewSendInsertDialog.h"

#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/PopupMenu.h"
#include "mixer/dialogs/InsertPortForm.h"
#include "mixer/dialogs/SkinStringTable.h"

int NewSendInsertDialog::Setup(IVarnHardware* hardware, int mono)
{
    hardware_ = hardware;
    mono_ = mono;
    SkinStringTable strings(skin_);
    list_ = BuildSendOutputs(hardware_, mono_ != 0, strings);
    const int count = static_cast<int>(list_.entries.size());
    send_ = AddIntItem("send", 0, 0, count > 0 ? count - 1 : 0, 0, 0);
    return 1;
}

void NewSendInsertDialog::FillChoices()
{
    SkinStringTable strings(skin_);
    list_ = BuildSendOutputs(hardware_, mono_ != 0, strings);
    InsertPortForm::Show(*this, "sendchoices", send_, list_, false);
}

int NewSendInsertDialog::OnInitDialog()
{
    FillChoices();
    return AppDialog::OnInitDialog();
}

void NewSendInsertDialog::BringToFront()
{
    Activate();
    MakeTopmost();
}

void NewSendInsertDialog::OnSettingsChanged()
{
    PopupMenu::CloseAll();
    FillChoices();
}

int NewSendInsertDialog::CanAccept()
{
    return GetSelectedOutput() ? 1 : InsertPortForm::Refuse(skin_, *this, "IDM_SELECT_VALID_OUTPUT");
}

int NewSendInsertDialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (control && control->GetName().CompareLiteral("OK") == 0 && !CanAccept())
        return 1;
    return AppDialog::OnCommand(sender, control, argument);
}

IVarnOutput* NewSendInsertDialog::GetSelectedOutput() const
{
    return ChosenOutput(list_, InsertPortForm::Selected(send_));
}
