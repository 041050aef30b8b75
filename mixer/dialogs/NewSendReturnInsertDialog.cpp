#include "mixer/dialogs/NewSendReturnInsertDialog.h"

#include "framework/controls/DataItem.h"
#include "mixer/dialogs/InsertPortForm.h"
#include "mixer/dialogs/SkinStringTable.h"

int NewSendReturnInsertDialog::Setup(IVarnHardware* hardware, int mono)
{
    hardware_ = hardware;
    mono_ = mono;
    SkinStringTable strings(skin_);
    lists_ = BuildSendReturnLists(hardware_, mono_ != 0, strings);
    send_ = AddIntItem("send", 0, 0, InsertPortForm::LastIndex(lists_.sends), 0, 0);
    return_ = AddIntItem("return", 0, 0, InsertPortForm::LastIndex(lists_.returns), 0, 0);
    return 1;
}

void NewSendReturnInsertDialog::FillChoices()
{
    SkinStringTable strings(skin_);
    lists_ = BuildSendReturnLists(hardware_, mono_ != 0, strings);
    InsertPortForm::Show(*this, "sendchoices", send_, lists_.sends, lists_.disabled);
    InsertPortForm::Show(*this, "returnchoices", return_, lists_.returns, lists_.disabled);
}

IVarnOutput* NewSendReturnInsertDialog::GetSelectedOutput() const
{
    return ChosenOutput(lists_.sends, InsertPortForm::Selected(send_));
}

IVarnInput* NewSendReturnInsertDialog::GetSelectedInput() const
{
    return ChosenInput(lists_.returns, InsertPortForm::Selected(return_));
}
