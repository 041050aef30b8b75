#pragma once
// A handle dragged along a background, drawn offscreen and copied in one blit.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class Slider : public PluginControl
{
public:
    // Style bits: value 0 at the top (left) end; without it value 1 is there. Drawing and
    // dragging both follow this one bit, so the handle always stays under the mouse.
    static constexpr int32_t kZeroAtStart = 0x20;
    static constexpr int32_t kTransparentHandle = 0x1000;

    // minimum, maximum: the handle's top (left) edge positions relative to the control. Both
    // bitmaps are remembered.
    Slider(const Rect& size, ControlListener* listener, int32_t tag, int32_t minimum, int32_t maximum,
           PluginBitmap* handle, PluginBitmap* background, int32_t style, bool vertical);
    ~Slider() override;

    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;

private:
    Rect HandleRect() const;
    int32_t Along(const Point& p) const { return vertical_ ? p.y - size_.top : p.x - size_.left; }

    int32_t minimum_;
    int32_t maximum_;
    PluginBitmap* handle_;
    PluginBitmap* backgroundBitmap_;
    int32_t style_;
    bool vertical_;
};

class VerticalSlider : public Slider
{
public:
    VerticalSlider(const Rect& size, ControlListener* listener, int32_t tag, int32_t minimum, int32_t maximum,
                   PluginBitmap* handle, PluginBitmap* background, int32_t style = 0)
        : Slider(size, listener, tag, minimum, maximum, handle, background, style, true)
    {
    }
};

class HorizontalSlider : public Slider
{
public:
    HorizontalSlider(const Rect& size, ControlListener* listener, int32_t tag, int32_t minimum, int32_t maximum,
                     PluginBitmap* handle, PluginBitmap* background, int32_t style = 0)
        : Slider(size, listener, tag, minimum, maximum, handle, background, style, false)
    {
    }
};
