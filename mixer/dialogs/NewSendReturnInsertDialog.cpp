#include "mixer/dialogs/NewSendReturnInsertDialog.h"

#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/PopupMenu.h"
#include "mixer/dialogs/InsertPortForm.h"
#include "mixer/dialogs/SkinStringTable.h"

namespace
{
int LastIndex(const InsertPortList& list)
{
    return list.entries.empty() ? 0 : static_cast<int>(list.entries.size()) - 1;
}
} // namespace

int NewSendReturnInsertDialog::Setup(IVarnHardware* hardware, int mono)
{
    hardware_ = hardware;
    mono_ = mono;
    SkinStringTable strings(skin_);
    lists_ = BuildSendReturnLists(hardware_, mono_ != 0, strings);
    send_ = AddIntItem("send", 0, 0, LastIndex(lists_.sends), 0, 0);
    return_ = AddIntItem("return", 0, 0, LastIndex(lists_.returns), 0, 0);
    return 1;
}

void NewSendReturnInsertDialog::FillChoices()
{
    SkinStringTable strings(skin_);
    lists_ = BuildSendReturnLists(hardware_, mono_ != 0, strings);
    InsertPortForm::Show(*this, "sendchoices", send_, lists_.sends, lists_.disabled);
    InsertPortForm::Show(*this, "returnchoices", return_, lists_.returns, lists_.disabled);
}

int NewSendReturnInsertDialog::OnInitDialog()
{
    FillChoices();
    return AppDialog::OnInitDialog();
}

void NewSendReturnInsertDialog::BringToFront()
{
    Activate();
    MakeTopmost();
}

void NewSendReturnInsertDialog::OnSettingsChanged()
{
    PopupMenu::CloseAll();
    FillChoices();
}

int NewSendReturnInsertDialog::CanAccept()
{
    return GetSelectedOutput() && GetSelectedInput() ? 1
                                                     : InsertPortForm::Refuse(skin_, *this, "IDM_SELECT_VALID_INOUTS");
}

int NewSendReturnInsertDialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (control && control->GetName().CompareLiteral("OK") == 0 && !CanAccept())
        return 1;
    return AppDialog::OnCommand(sender, control, argument);
}

IVarnOutput* NewSendReturnInsertDialog::GetSelectedOutput() const
{
    return ChosenOutput(lists_.sends, InsertPortForm::Selected(send_));
}

IVarnInput* NewSendReturnInsertDialog::GetSelectedInput() const
{
    return ChosenInput(lists_.returns, InsertPortForm::Selected(return_));
}
