#pragma once
#include "mixer/dialogs/InsertPortDialog.h"

class IntItem;

// The skin dialog "newsendinsert": the output a new send insert sends to. Taken outputs are
// greyed with the insert that uses them. "OK" without a free output shows
// "IDM_SELECT_VALID_OUTPUT".
class NewSendInsertDialog : public InsertPortDialog
{
public:
    explicit NewSendInsertDialog(Skin& skin) : InsertPortDialog(skin, "IDM_SELECT_VALID_OUTPUT") {}

    // The system (the engine's) and whether the strip is mono; registers "send".
    int Setup(IVarnHardware* hardware, int mono);
    // The chosen output, or none (a greyed entry, a port taken meanwhile, no entry).
    IVarnOutput* GetSelectedOutput() const;
    const InsertPortList& GetList() const { return list_; }

private:
    void FillChoices() override;
    bool HasChoice() const override { return GetSelectedOutput() != nullptr; }

    IntItem* send_ = nullptr; // the panel's
    InsertPortList list_;
};
