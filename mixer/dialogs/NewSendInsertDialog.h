#pragma once
#include "mixer/dialogs/AppDialog.h"
#include "mixer/dialogs/InsertPortChoices.h"

class IntItem;
class Skin;

// The skin dialog "newsendinsert": the output a new send insert sends to. Taken outputs are
// greyed with the insert that uses them; event 55 refills the list while the dialog is open.
// "OK" without a free output shows "IDM_SELECT_VALID_OUTPUT" and keeps the dialog open.
// User-interface thread only.
class NewSendInsertDialog : public AppDialog
{
public:
    explicit NewSendInsertDialog(Skin& skin) : skin_(skin) {}

    // The system (the engine's) and whether the strip is mono; registers "send".
    int Setup(IVarnHardware* hardware, int mono);
    int OnInitDialog() override;
    void BringToFront() override;
    void OnSettingsChanged() override;
    int CanAccept() override;
    int OnCommand(Panel* sender, Control* control, int argument) override;

    // The chosen output, or none (a greyed entry, a port taken meanwhile, no entry).
    IVarnOutput* GetSelectedOutput() const;
    const InsertPortList& GetList() const { return list_; }

private:
    void FillChoices();

    Skin& skin_;
    IVarnHardware* hardware_ = nullptr; // the engine's
    int mono_ = 0;
    IntItem* send_ = nullptr; // the panel's
    InsertPortList list_;
};
