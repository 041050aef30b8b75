#pragma once
#include "mixer/dialogs/AppDialog.h"
#include "mixer/dialogs/InsertPortChoices.h"

class Skin;

// What the send and send/return insert dialogs share: the system and mono flag they list the
// ports of, the lists filled when the controls exist and again on event 55 (an open popup
// menu closed first), the front-most window when shown, and the "OK" that shows the refusal
// message and keeps the dialog open unless a port is chosen. User-interface thread only.
class InsertPortDialog : public AppDialog
{
public:
    int OnInitDialog() override;
    void BringToFront() override;
    void OnSettingsChanged() override;
    int CanAccept() override;
    int OnCommand(Panel* sender, Control* control, int argument) override;

protected:
    InsertPortDialog(Skin& skin, const char* refusal) : skin_(skin), refusal_(refusal) {}
    // Builds the lists anew and shows them.
    virtual void FillChoices() = 0;
    // Whether the current choice names the ports the insert needs.
    virtual bool HasChoice() const = 0;

    Skin& skin_;
    IVarnHardware* hardware_ = nullptr; // the engine's
    int mono_ = 0;

private:
    const char* refusal_;
};
