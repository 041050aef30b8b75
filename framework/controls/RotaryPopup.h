#pragma once

#include "framework/controls/Panel.h"

class RotaryControl;
class Slider;

// The slider a knob shows above itself while it is pressed: a popup panel owned by the
// application's main window, rebuilt on every press and emptied on release. Its slider shares
// the knob's item, so dragging it turns the knob.
class RotaryPopup : public Panel
{
public:
    RotaryPopup(RotaryControl& owner, int horizontal, SkinBitmap* trackImage, SkinBitmap* thumbImage, int travel,
                int startOffset, int sideOffset);

    DWORD GetStyle() override { return WS_POPUP | WS_SYSMENU; }
    // Losing the activation ends the knob's press.
    int OnActivate(WPARAM state, int minimised, LPARAM other) override;

    // Builds the slider and shows the popup centred above the knob, inside the work area; 0
    // (and empty) when it cannot be shown.
    int Show();
    // Destroys the window and empties the popup; the object stays for the next press.
    void Hide();
    // The slider while the popup is shown, else null.
    Slider* GetSlider() const { return slider_; }

private:
    RotaryControl& owner_;
    int horizontal_;
    SkinBitmap* trackImage_; // borrowed from the skin, as the thumb
    SkinBitmap* thumbImage_;
    int travel_;
    int startOffset_;
    int sideOffset_;
    Slider* slider_ = nullptr; // borrowed: one of this panel's controls
};
