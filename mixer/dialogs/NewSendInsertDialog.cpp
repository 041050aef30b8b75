#include "mixer/dialogs/NewSendInsertDialog.h"

#include "framework/controls/DataItem.h"
#include "mixer/dialogs/InsertPortForm.h"
#include "mixer/dialogs/SkinStringTable.h"

int NewSendInsertDialog::Setup(IVarnHardware* hardware, int mono)
{
    hardware_ = hardware;
    mono_ = mono;
    SkinStringTable strings(skin_);
    list_ = BuildSendOutputs(hardware_, mono_ != 0, strings);
    send_ = AddIntItem("send", 0, 0, InsertPortForm::LastIndex(list_), 0, 0);
    return 1;
}

void NewSendInsertDialog::FillChoices()
{
    SkinStringTable strings(skin_);
    list_ = BuildSendOutputs(hardware_, mono_ != 0, strings);
    InsertPortForm::Show(*this, "sendchoices", send_, list_, false);
}

IVarnOutput* NewSendInsertDialog::GetSelectedOutput() const
{
    return ChosenOutput(list_, InsertPortForm::Selected(send_));
}
