#pragma once

#include "framework/controls/Control.h"

#include <cstdint>

class FontInterface;
class RadioGroupLogic;
class SkinBitmap;

// The one button of the framework: a command button (fires on release inside), a toggle
// bound to a flag or integer item, a member of a radio group, a page-tab or a dialog button.
// Its image stacks four frames of equal height: normal, down, disabled, disabled and down;
// a segmented image is a left, middle and right slice stretched around the caption.
class Button : public Control
{
public:
    Button() : Control(TypeButton) {}
    // Leaves its radio group.
    ~Button() override;

    // The image's width and a quarter of its height; a shaped image shapes the hit area.
    int Setup(int x, int y, const String& name, SkinBitmap* image, SkinBitmap* icon, RadioGroupLogic* radioLogic);
    int SetupWithText(int x, int y, const String& name, SkinBitmap* image, SkinBitmap* icon, const String& caption,
                      FontInterface* font, uint32_t textColour, uint32_t checkedTextColour, uint32_t disabledTextColour,
                      uint32_t hoverTextColour, uint32_t focusTextColour, RadioGroupLogic* radioLogic);
    // At least as wide as the caption and icon; 0 without an image.
    int SetupSegmented(int x, int y, const String& name, int width, SkinBitmap* image, int leftWidth, int midWidth,
                       int rightWidth, SkinBitmap* icon, const String& caption, FontInterface* font,
                       uint32_t textColour, uint32_t checkedTextColour, uint32_t disabledTextColour,
                       uint32_t hoverTextColour, uint32_t focusTextColour, RadioGroupLogic* radioLogic);

    int IsDisabled() const override;
    void Draw() override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnMousePointer(WPARAM flags, int x, int y) override { OnMouseDown(flags, x, y); }
    void OnDataItemChanged() override;

    int SetText(const String& text) { return caption_.Assign(text); }
    const String& GetText() const { return caption_; }
    int IsChecked() const { return checked_; }
    // writeItem: the bound item takes the flag directly, redraws its controls and tells the
    // owner; otherwise redraw redraws this button. notify reports Notify(checked) last.
    void SetChecked(int checked, int redraw, int notify, int writeItem);
    RadioGroupLogic* GetRadioLogic() const { return radioLogic_; }
    int GetRadioIndex() const { return radioIndex_; }

private:
    friend class RadioGroupLogic;
    void SetRadio(RadioGroupLogic* logic, int index)
    {
        radioLogic_ = logic;
        radioIndex_ = index;
    }
    void SetColours(uint32_t text, uint32_t checked, uint32_t disabled, uint32_t hover, uint32_t focus);
    // The first frame as drawn, for the hit area of a segmented image.
    void ShapeFromSegments();
    int IsSegmented() const { return leftWidth_ != -1; }

    SkinBitmap* image_ = nullptr; // borrowed from the skin
    int leftWidth_ = -1;
    int midWidth_ = -1;
    int rightWidth_ = -1;
    SkinBitmap* icon_ = nullptr; // borrowed: two frames, normal and disabled
    int checked_ = 0;
    String caption_;
    FontInterface* font_ = nullptr; // borrowed
    uint32_t textColour_ = 0;
    uint32_t checkedTextColour_ = 0;
    uint32_t disabledTextColour_ = 0x646464;
    uint32_t hoverTextColour_ = 0; // kept for the skin, not drawn
    uint32_t focusTextColour_ = 0;
    RadioGroupLogic* radioLogic_ = nullptr; // borrowed
    int radioIndex_ = -1;
};
