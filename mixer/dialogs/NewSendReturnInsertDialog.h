#pragma once
#include "mixer/dialogs/InsertPortDialog.h"

class IntItem;

// The skin dialog "newsendreturninsert": the physical output and input of a new send/return
// insert. Taken ports are greyed and named; hardware without send/returns offers "Disabled"
// in both lists. "OK" without a free output and input shows "IDM_SELECT_VALID_INOUTS".
class NewSendReturnInsertDialog : public InsertPortDialog
{
public:
    explicit NewSendReturnInsertDialog(Skin& skin) : InsertPortDialog(skin, "IDM_SELECT_VALID_INOUTS") {}

    // The system (the engine's) and whether the strip is mono; registers "send" and "return".
    int Setup(IVarnHardware* hardware, int mono);
    IVarnOutput* GetSelectedOutput() const;
    IVarnInput* GetSelectedInput() const;
    const InsertPortLists& GetLists() const { return lists_; }

private:
    void FillChoices() override;
    bool HasChoice() const override { return GetSelectedOutput() && GetSelectedInput(); }

    IntItem* send_ = nullptr; // the panel's
    IntItem* return_ = nullptr;
    InsertPortLists lists_;
};
