#pragma once
#include "mixer/dialogs/AppDialog.h"
#include "mixer/dialogs/InsertPortChoices.h"

class IntItem;
class Skin;

// The skin dialog "newsendreturninsert": the physical output and input of a new send/return
// insert. Taken ports are greyed and named; hardware without send/returns offers "Disabled"
// in both lists. Event 55 refills the lists while the dialog is open. "OK" without a free
// output and input shows "IDM_SELECT_VALID_INOUTS" and keeps the dialog open. User-interface
// thread only.
class NewSendReturnInsertDialog : public AppDialog
{
public:
    explicit NewSendReturnInsertDialog(Skin& skin) : skin_(skin) {}

    // The system (the engine's) and whether the strip is mono; registers "send" and "return".
    int Setup(IVarnHardware* hardware, int mono);
    int OnInitDialog() override;
    void BringToFront() override;
    void OnSettingsChanged() override;
    int CanAccept() override;
    int OnCommand(Panel* sender, Control* control, int argument) override;

    IVarnOutput* GetSelectedOutput() const;
    IVarnInput* GetSelectedInput() const;
    const InsertPortLists& GetLists() const { return lists_; }

private:
    void FillChoices();

    Skin& skin_;
    IVarnHardware* hardware_ = nullptr; // the engine's
    int mono_ = 0;
    IntItem* send_ = nullptr; // the panel's
    IntItem* return_ = nullptr;
    InsertPortLists lists_;
};
