#pragma once
#include <cstdint>

#include "framework/dialogs/Dialog.h"
#include "framework/platform/RegistryKey.h"

class FlagItem;
class IntItem;

// The warnings the mixer shows before something happens. Each runs under the skin dialog
// name its caller chooses (1 go on, 0 cancel). A "do not warn again" box or an option is
// written the moment it changes, so the choice holds even when the dialog is cancelled.

// A warning with a "do not warn again" box ("warnAgain"), written as a yes/no setting (whether
// to warn) under its key, through a key object of its own.
class WarnAgainDialog : public Dialog
{
public:
    int Init();
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

protected:
    WarnAgainDialog(const char16_t* keyPath, const char16_t* setting) : keyPath_(keyPath), setting_(setting) {}

private:
    const char16_t* keyPath_;
    const char16_t* setting_;
};

// Before the program quits: "show exit warning" under the Launcher key, so that it works
// without a main window.
class ExitWarningDialog : public WarnAgainDialog
{
public:
    ExitWarningDialog();
};

// The hardware's rate changed across families: the new rate and what to do about it (0 new
// session, 1 open another, 2 ask again), kept as "Sample Rate Changed Option" in the caller's
// key.
class SampleRateChangedDialog : public Dialog
{
public:
    int Init(RegistryKey& key);
    void SetRate(int rateCode);
    int GetOption() const;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    int OnInitDialog() override;
    void BringToFront() override;

    // "New SR:" and the rate ("Unknown" outside the codes 0-5) and " kHz.".
    static void RateText(int rateCode, String& text);

private:
    void ShowRate();

    RegistryKey* key_ = nullptr; // borrowed from the caller
    IntItem* option_ = nullptr;  // owned by the panel
    int rateCode_ = 6;
};

// Deleting what an ASIO channel records or plays: "show no asio warning" in the view key.
class NoAsioWarningDialog : public WarnAgainDialog
{
public:
    NoAsioWarningDialog();
};

// The sync settings' second MIDI port: shown and run only.
class MidiPort2WarningDialog : public Dialog
{
};
