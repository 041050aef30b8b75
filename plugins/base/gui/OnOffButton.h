#pragma once
// A button of two pictures stacked in one bitmap (off above, on below); a click toggles it.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class OnOffButton : public PluginControl
{
public:
    // The bitmap is remembered; the control is as high as one picture.
    OnOffButton(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* bitmap);
    ~OnOffButton() override;

    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;

private:
    PluginBitmap* bitmap_; // remembered, may be null
};
