#include "mixer/dialogs/AsioSendReturnInsertDialog.h"

#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "mixer/dialogs/InsertPortForm.h"
#include "mixer/dialogs/SkinStringTable.h"

int AsioSendReturnInsertDialog::Init(IVarnHardware* hardware, int mono)
{
    hardware_ = hardware;
    mono_ = mono;
    SkinStringTable strings(skin_);
    lists_ = BuildAsioSendReturnLists(hardware_, mono_ != 0, strings);
    send_ = AddIntItem("send", 0, 0, InsertPortForm::LastIndex(lists_.sends), 0, 0);
    return_ = AddIntItem("return", 0, 0, InsertPortForm::LastIndex(lists_.returns), 0, 0);
    return 1;
}

int AsioSendReturnInsertDialog::OnInitDialog()
{
    InsertPortForm::Show(*this, "sendchoices", send_, lists_.sends, false);
    InsertPortForm::Show(*this, "returnchoices", return_, lists_.returns, false);
    return Dialog::OnInitDialog();
}

void AsioSendReturnInsertDialog::BringToFront()
{
    Activate();
    MakeTopmost();
}

int AsioSendReturnInsertDialog::CanAccept()
{
    const bool returnOk = AsioReturnChoosable(hardware_, lists_.returns, InsertPortForm::Selected(return_));
    return GetSend() && returnOk ? 1 : InsertPortForm::Refuse(skin_, *this, "IDM_SELECT_VALID_INOUTS");
}

int AsioSendReturnInsertDialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (control && control->GetName().CompareLiteral("OK") == 0 && !CanAccept())
        return 1;
    return Dialog::OnCommand(sender, control, argument);
}

IVarnOutput* AsioSendReturnInsertDialog::GetSend() const
{
    return ChosenOutput(lists_.sends, InsertPortForm::Selected(send_));
}

IVarnInput* AsioSendReturnInsertDialog::GetReturn()
{
    return ChosenAsioReturn(hardware_, lists_.returns, InsertPortForm::Selected(return_), true);
}
