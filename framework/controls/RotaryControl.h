#pragma once

#include "framework/controls/FrameIndexControl.h"

class SkinBitmap;

// A knob drawn from a strip of frames side by side, dragged sideways.
class RotaryControl : public FrameIndexControl
{
public:
    RotaryControl() : FrameIndexControl(TypeRotary) {}

    // width = frameWidth when at least 1, else the strip's width shared among its frames;
    // height = the strip's. Without a strip, frames or a width to show them in, the set-up
    // fails (0). The pressed and disabled strips default to the strip.
    int Setup(int x, int y, const String& name, SkinBitmap* image, SkinBitmap* pressedImage,
              SkinBitmap* disabledImage, int frames, int frameWidth, DataItem* item);

    int IsHorizontal() const override { return 1; }
    int FrameCount() const override { return frames_; }
    void Draw() override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseUp(WPARAM keys, int x, int y) override;

private:
    SkinBitmap* image_ = nullptr;         // borrowed from the skin, as are the others
    SkinBitmap* pressedImage_ = nullptr;
    SkinBitmap* disabledImage_ = nullptr;
    int frames_ = 0;
};
