#include "plugins/base/gui/Sliders.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/OffscreenContext.h"
#include "plugins/base/gui/PluginBitmap.h"

Slider::Slider(const Rect& size, ControlListener* listener, int32_t tag, int32_t minimum, int32_t maximum,
               PluginBitmap* handle, PluginBitmap* background, int32_t style, bool vertical)
    : PluginControl(size, listener, tag), m_minimum(minimum), m_maximum(maximum), m_handle(handle),
      m_backgroundBitmap(background), m_style(style), m_vertical(vertical)
{
    RememberIfAny(m_handle);
    RememberIfAny(m_backgroundBitmap);
}

Slider::~Slider()
{
    ForgetIfAny(m_handle);
    ForgetIfAny(m_backgroundBitmap);
}

// Relative to the control's corner.
Rect Slider::HandleRect() const
{
    const int32_t w = m_handle ? m_handle->GetWidth() : 0;
    const int32_t h = m_handle ? m_handle->GetHeight() : 0;
    const int32_t at = ControlValues::SliderPosition(GetValue(), m_minimum, m_maximum, (m_style & kZeroAtStart) != 0);
    return m_vertical ? Rect(0, at, w, at + h) : Rect(at, 0, at + w, h);
}

void Slider::Draw(DrawContext* context)
{
    const float value = GetValue();
    OffscreenContext offscreen(m_frame, m_size.Width(), m_size.Height(), Colors::kBlack);
    if (m_backgroundBitmap)
    {
        m_backgroundBitmap->Draw(&offscreen, Rect(0, 0, m_size.Width(), m_size.Height()));
    }
    if (m_handle)
    {
        if (m_style & kTransparentHandle)
            m_handle->DrawTransparent(&offscreen, HandleRect());
        else
            m_handle->Draw(&offscreen, HandleRect());
    }
    offscreen.CopyTo(context, m_size);
    m_oldValue = value;
}

void Slider::MouseDown(DrawContext* context, const Point& where)
{
    if (!m_mouseEnabled || TakeDefaultOnAltClick(context))
    {
        return;
    }
    const Rect handle = HandleRect();
    const Point relative(where.x - m_size.left, where.y - m_size.top);
    if (!relative.IsInside(handle))
    {
        return;
    }
    const bool zeroAtStart = (m_style & kZeroAtStart) != 0;
    // The grab point keeps its offset within the handle.
    const int32_t grab = Along(where) - (m_vertical ? handle.top : handle.left);
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
            fineStart = ControlValues::SliderPosition(GetValue(), m_minimum, m_maximum, zeroAtStart);
        }
        else if (!shift)
        {
            fine = false;
        }
        const double position = fine ? fineStart + (along - fineFrom) / 10.0 : static_cast<double>(along - grab);
        SetValue(ControlValues::SliderValue(position, m_minimum, m_maximum, zeroAtStart));
    });
}
