#pragma once
#include "framework/dialogs/Dialog.h"
#include "mixer/dialogs/InsertPortChoices.h"

class IntItem;
class Skin;

// The skin dialog "newasiosendreturninsert": the ASIO pair a new ASIO send/return insert
// sends to and the ASIO return (a pair, or on a mono strip a single channel) it takes back.
// "OK" without both shows "IDM_SELECT_VALID_INOUTS" and keeps the dialog open; the check makes
// no port, so a cancel leaves the engine as it was. User-interface thread only.
class AsioSendReturnInsertDialog : public Dialog
{
public:
    explicit AsioSendReturnInsertDialog(Skin& skin) : skin_(skin) {}

    int Init(IVarnHardware* hardware, int mono);
    int OnInitDialog() override;
    void BringToFront() override;
    int CanAccept() override;
    int OnCommand(Panel* sender, Control* control, int argument) override;

    IVarnOutput* GetSend() const;
    // The chosen return; one the engine has not made yet is made and assigned now, so only
    // the caller that adds the insert asks.
    IVarnInput* GetReturn();
    const InsertPortLists& GetLists() const { return lists_; }

private:
    Skin& skin_;
    IVarnHardware* hardware_ = nullptr; // the engine's
    int mono_ = 0;
    IntItem* send_ = nullptr; // the panel's
    IntItem* return_ = nullptr;
    InsertPortLists lists_;
};
