#pragma once
// A click shows a picture over the editor as its modal view; the next click takes it away.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class Splash : public PluginControl
{
public:
    // The bitmap is remembered and shown in the splash rectangle.
    Splash(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* bitmap, const Rect& splashRect);
    ~Splash() override;

    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;

private:
    PluginBitmap* bitmap_;
    Rect splashRect_;
    Rect ownRect_;
};
