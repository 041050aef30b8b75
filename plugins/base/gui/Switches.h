#pragma once
// Switches that show one picture of a strip and take their value from where they are pressed.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

// The strip's pictures are stacked vertically; the bitmap is remembered.
class StripControl : public PluginControl
{
public:
    StripControl(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip, int32_t count);
    ~StripControl() override;

protected:
    void DrawPicture(DrawContext* context, int32_t picture);
    int32_t PictureHeight() const;

    PluginBitmap* strip_;
    int32_t count_;
};

class VerticalSwitch : public StripControl
{
public:
    using StripControl::StripControl;
    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;
};

class HorizontalSwitch : public StripControl
{
public:
    using StripControl::StripControl;
    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;
};

// Three pictures for -1, 0 and +1; springs back to 0 on release.
class RockerSwitch : public StripControl
{
public:
    RockerSwitch(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip);
    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;
};

// A read-only strip: picture round(value * (n - 1)).
class FilmstripDisplay : public StripControl
{
public:
    using StripControl::StripControl;
    void Draw(DrawContext* context) override;
};

// Two pictures: 0 and non-zero. While pressed, inside the control it shows the opposite of the
// value at the press, outside that value.
class FilmstripButton : public StripControl
{
public:
    FilmstripButton(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip);
    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;
};

// A FilmstripButton that returns to 0 on release and tells its listener again.
class KickButton : public FilmstripButton
{
public:
    using FilmstripButton::FilmstripButton;
    void MouseDown(DrawContext* context, const Point& where) override;
};
