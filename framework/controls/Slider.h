#pragma once

#include "framework/controls/FrameIndexControl.h"

class SkinBitmap;

// A thumb moving along a track: one frame per pixel of travel.
class Slider : public FrameIndexControl
{
public:
    Slider() : FrameIndexControl(TypeSlider) {}

    // The size is the track image's; thumbWidth is the thumb image's width shared among
    // thumbFrames (at least 1). travel -1: the track's length less the thumb's. Without a
    // track or thumb image, or with no travel left, the set-up fails (0).
    int Setup(int x, int y, const String& name, int horizontal, SkinBitmap* trackImage, SkinBitmap* thumbImage,
              SkinBitmap* pressedThumbImage, SkinBitmap* disabledThumbImage, int travel, int startOffset,
              int sideOffset, int thumbFrames, DataItem* item);

    int IsHorizontal() const override { return horizontal_; }
    int FrameCount() const override { return travel_; }
    // Control coordinates.
    void ThumbRect(Rect& rect) const;
    // Moves the pointer to the thumb's centre on the screen.
    void CentreCursorOnThumb() const;
    void Draw() override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseUp(WPARAM keys, int x, int y) override;

private:
    SkinBitmap* trackImage_ = nullptr; // borrowed from the skin, as are the others
    SkinBitmap* thumbImage_ = nullptr;
    SkinBitmap* pressedThumbImage_ = nullptr;
    SkinBitmap* disabledThumbImage_ = nullptr;
    int travel_ = 0;
    int startOffset_ = -1;
    int sideOffset_ = 0;
    int thumbFrames_ = 1;
    int thumbWidth_ = 0;
    int horizontal_ = 1;
};
