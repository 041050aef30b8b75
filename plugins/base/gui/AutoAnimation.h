#pragma once
// A strip of pictures that plays while running; the value holds the pixel offset shown.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class AutoAnimation : public PluginControl
{
public:
    // The strip is remembered; its pictures are as high as the control.
    AutoAnimation(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip);
    ~AutoAnimation() override;

    void Draw(DrawContext* context) override;
    // A click starts or stops the animation.
    void MouseDown(DrawContext* context, const Point& where) override;
    // One picture on or back, wrapping round the strip so that every picture is shown.
    void NextPicture();
    void PreviousPicture();
    bool IsRunning() const { return running_; }

private:
    int32_t LastOffset() const;

    PluginBitmap* strip_;
    bool running_ = false;
};
