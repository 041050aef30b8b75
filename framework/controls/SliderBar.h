#pragma once

#include "framework/controls/FrameIndexControl.h"

class SkinBitmap;

// A bar that fills up to the pointer: one frame per pixel along its length.
class SliderBar : public FrameIndexControl
{
public:
    SliderBar() : FrameIndexControl(TypeSliderBar) {}

    // The size is the track image's; without a track image, or one of no length, the set-up
    // fails (0). Pressed and disabled bars default to the bar image, the disabled track to
    // the track.
    int Setup(int x, int y, const String& name, int horizontal, SkinBitmap* trackImage, SkinBitmap* barImage,
              SkinBitmap* pressedBarImage, SkinBitmap* disabledBarImage, SkinBitmap* disabledTrackImage,
              DataItem* item);

    int IsHorizontal() const override { return horizontal_; }
    int FrameCount() const override { return horizontal_ ? Width() : Height(); }
    void Draw() override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseUp(WPARAM keys, int x, int y) override;

private:
    SkinBitmap* trackImage_ = nullptr;         // borrowed from the skin, as are the others
    SkinBitmap* barImage_ = nullptr;
    SkinBitmap* pressedBarImage_ = nullptr;
    SkinBitmap* disabledBarImage_ = nullptr;
    SkinBitmap* disabledTrackImage_ = nullptr;
    int horizontal_ = 1;
};
