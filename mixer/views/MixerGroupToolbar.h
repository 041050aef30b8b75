#pragma once

#include "framework/controls/Panel.h"

class FrameApp;
class IVarnHardware;
class MainWindowLink;

// The row of hardware indicators on the main frame: the card, the sync card, the interface
// box and the I/O card, as the current system reports them. The skin element follows the
// hardware model. User-interface thread only.
class MixerGroupToolbar : public Panel
{
public:
    // With a skin element, at the skin's "mixerGroupToolbarXpos"/"mixerGroupToolbarYpos"
    // (45, 17 when the skin lacks them); without one (no card features), at (x, y) and
    // empty. 0 when the window cannot be made.
    int Create(FrameApp* frame, MainWindowLink* mainWindow, int x, int y);
    // Reads the features again into the indicators that exist.
    void UpdateHardwareButtons();
    // The skin element the features chose; null for none.
    static const char* ElementFor(IVarnHardware* system);

    int OnControlNotify(Panel*, Control*, int) override { return 1; }
    int OnDataItemNotify(Panel*, DataItem*, int) override { return 1; }
    void OnMouseWheel(WPARAM wParam, int x, int y) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;

private:
    FrameApp* frame_ = nullptr;            // borrowed: the owner
    MainWindowLink* mainWindow_ = nullptr; // borrowed
};
