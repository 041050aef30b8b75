#pragma once

#include "framework/controls/FrameIndexControl.h"

#include <memory>

class RotaryPopup;
class SkinBitmap;

// A knob drawn from a strip of frames side by side, dragged sideways; with a popup, a press
// shows a slider above the knob and the drag moves that slider instead.
class RotaryControl : public FrameIndexControl
{
public:
    RotaryControl();
    ~RotaryControl() override;

    // width = frameWidth when at least 1, else the strip's width shared among its frames;
    // height = the strip's. Without a strip, frames or a width to show them in, the set-up
    // fails (0). The pressed and disabled strips default to the strip.
    int Setup(int x, int y, const String& name, SkinBitmap* image, SkinBitmap* pressedImage,
              SkinBitmap* disabledImage, int frames, int frameWidth, DataItem* item);

    // The slider each press shows above the knob, made here and kept.
    void SetPopup(int horizontal, SkinBitmap* trackImage, SkinBitmap* thumbImage, int travel, int startOffset,
                  int sideOffset);
    RotaryPopup* GetPopup() const { return popup_.get(); }

    int IsHorizontal() const override { return 1; }
    int FrameCount() const override { return frames_; }
    void Draw() override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    void OnMouseUp(WPARAM keys, int x, int y) override;

private:
    SkinBitmap* image_ = nullptr;         // borrowed from the skin, as are the others
    SkinBitmap* pressedImage_ = nullptr;
    SkinBitmap* disabledImage_ = nullptr;
    int frames_ = 0;
    std::unique_ptr<RotaryPopup> popup_;
    // Where the pointer was when the press began (screen coordinates): it goes back there.
    int pressX_ = 0;
    int pressY_ = 0;
};
