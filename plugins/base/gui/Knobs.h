#pragma once
// Round controls turned by dragging around their centre: a handle over a background, or one
// picture of a strip.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class Knob : public PluginControl
{
public:
    // Both bitmaps are optional and remembered; the handle is drawn with transparency.
    Knob(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background, PluginBitmap* handle);
    ~Knob() override;

    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;

protected:
    Point Centre() const;
    // How far the handle's path stays inside the control.
    int32_t inset_;

private:
    PluginBitmap* background_;
    PluginBitmap* handle_;
};

class FilmstripKnob : public Knob
{
public:
    // A strip of count pictures stacked vertically; remembered.
    FilmstripKnob(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip, int32_t count);
    ~FilmstripKnob() override;

    void Draw(DrawContext* context) override;

private:
    PluginBitmap* strip_;
    int32_t count_;
};
