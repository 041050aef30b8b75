#include "plugins/base/gui/Sliders.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/OffscreenContext.h"
#include "plugins/base/gui/PluginBitmap.h"

Slider::Slider(const Rect& size, ControlListener* listener, int32_t tag, int32_t minimum, int32_t maximum,
               PluginBitmap* handle, PluginBitmap* background, int32_t style, bool vertical)
    : PluginControl(size, listener, tag), minimum_(minimum), maximum_(maximum), handle_(handle),
      backgroundBitmap_(background), style_(style), vertical_(vertical)
{
    RememberIfAny(handle_);
    RememberIfAny(backgroundBitmap_);
}

Slider::~Slider()
{
    ForgetIfAny(handle_);
    ForgetIfAny(backgroundBitmap_);
}

// Relative to the control's corner.
Rect Slider::HandleRect() const
{
    const int32_t w = handle_ ? handle_->GetWidth() : 0;
    const int32_t h = handle_ ? handle_->GetHeight() : 0;
    const int32_t at = ControlValues::SliderPosition(GetValue(), minimum_, maximum_, (style_ & kZeroAtStart) != 0);
    return vertical_ ? Rect(0, at, w, at + h) : Rect(at, 0, at + w, h);
}

void Slider::Draw(DrawContext* context)
{
    const float value = GetValue();
    OffscreenContext offscreen(frame_, size_.Width(), size_.Height(), Colors::kBlack);
    if (backgroundBitmap_)
    {
        backgroundBitmap_->Draw(&offscreen, Rect(0, 0, size_.Width(), size_.Height()));
    }
    if (handle_)
    {
        if (style_ & kTransparentHandle)
            handle_->DrawTransparent(&offscreen, HandleRect());
        else
            handle_->Draw(&offscreen, HandleRect());
    }
    offscreen.CopyTo(context, size_);
    oldValue_ = value;
}

void Slider::MouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled_ || TakeDefaultOnAltClick(context))
    {
        return;
    }
    const Rect handle = HandleRect();
    const Point relative(where.x - size_.left, where.y - size_.top);
    if (!relative.IsInside(handle))
    {
        return;
    }
    const bool zeroAtStart = (style_ & kZeroAtStart) != 0;
    // The grab point keeps its offset within the handle.
    const int32_t grab = Along(where) - (vertical_ ? handle.top : handle.left);
    bool fine = false;
    int32_t fineFrom = 0;
    double fineStart = 0.0;
    Track(context, where, [&](const Point& p, int32_t buttons) {
        const int32_t along = Along(p);
        const bool shift = (buttons & kMouseShift) != 0;
        if (shift && !fine)
        {
            fine = true;
            fineFrom = along;
            fineStart = ControlValues::SliderPosition(GetValue(), minimum_, maximum_, zeroAtStart);
        }
        else if (!shift)
        {
            fine = false;
        }
        const double position = fine ? fineStart + (along - fineFrom) / 10.0 : static_cast<double>(along - grab);
        SetValue(ControlValues::SliderValue(position, minimum_, maximum_, zeroAtStart));
    });
}
