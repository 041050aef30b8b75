#pragma once
#include "mixer/dialogs/AppDialog.h"
#include "mixer/dialogs/NewStripChoices.h"

class IntItem;
class Skin;

// The skin dialog "newstrip": the input of a new strip, a physical input of the card or a
// host source (an ASIO output pair or channel, a Wave pair, a synth or an FX send), and
// whether the strip taps it before the fader. Entries in use carry their strip's name and
// cannot be taken. User-interface thread only.
class NewStripDialog : public AppDialog
{
public:
    explicit NewStripDialog(Skin& skin) : skin_(skin) {}

    // The system's lists and the items; 0 when nothing is free to offer.
    int Init(IVarnHardware* group);
    // Fills the lists and sets the first state.
    int OnInitDialog() override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    // A release over a disabled list that has a choice switches the dialog to that list.
    void OnMouseUp(WPARAM flags, int x, int y) override;

    // After the dialog ended with 1.
    NewStripChoice GetChoice() const;
    const NewStripLists& GetLists() const { return lists_; }

private:
    void Enable(const char* control, int enabled);
    void UpdateHostControls(int enabled);
    void SetValue(IntItem* item, int value, int notify);
    int Value(const IntItem* item) const;

    Skin& skin_;
    IVarnHardware* group_ = nullptr; // the engine's
    NewStripLists lists_;
    int freeMono_ = 0;
    int freeStereo_ = 0;
    int hostAvailable_ = 0;
    IntItem* physicalOrHost_ = nullptr; // items are the panel's
    IntItem* hostSrc_ = nullptr;
    IntItem* physicalChoice_ = nullptr;
    IntItem* asioChoice_ = nullptr;
    IntItem* fxSendChoice_ = nullptr;
    IntItem* osChoice_ = nullptr;
    int prefaderValue_ = 0;
};
