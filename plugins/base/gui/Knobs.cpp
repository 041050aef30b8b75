#include "plugins/base/gui/Knobs.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cmath>

Knob::Knob(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background, PluginBitmap* handle)
    : PluginControl(size, listener, tag), m_inset(handle ? handle->GetWidth() / 2 : 5), m_background(background),
      m_handle(handle)
{
    RememberIfAny(m_background);
    RememberIfAny(m_handle);
}

Knob::~Knob()
{
    ForgetIfAny(m_background);
    ForgetIfAny(m_handle);
}

Point Knob::Centre() const
{
    return Point((m_size.left + m_size.right) / 2, (m_size.top + m_size.bottom) / 2);
}

void Knob::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (m_background)
    {
        m_background->Draw(context, m_size);
    }
    constexpr double kPi = 3.14159265358979323846;
    const double angle = ControlValues::KnobAngle(value, m_min, m_max) * kPi / 180.0;
    const double radius = (m_size.Width() - 2.0 * m_inset) / 2.0;
    const Point centre = Centre();
    const Point tip(centre.x + static_cast<int32_t>(std::lround(radius * std::sin(angle))),
                    centre.y - static_cast<int32_t>(std::lround(radius * std::cos(angle))));
    if (m_handle)
    {
        const int32_t w = m_handle->GetWidth();
        const int32_t h = m_handle->GetHeight();
        m_handle->DrawTransparent(context, Rect(tip.x - w / 2, tip.y - h / 2, tip.x - w / 2 + w, tip.y - h / 2 + h));
    }
    else
    {
        context->MoveTo(centre);
        context->LineTo(tip);
    }
    m_oldValue = value;
}

void Knob::MouseDown(DrawContext* context, const Point& where)
{
    if (!m_mouseEnabled || TakeDefaultOnAltClick(context))
    {
        return;
    }
    Track(context, where, [this](const Point& p, int32_t) {
        const Point centre = Centre();
        SetValue(ControlValues::KnobValue(p.x - centre.x, p.y - centre.y, m_min, m_max));
    });
}

FilmstripKnob::FilmstripKnob(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip,
                             int32_t count)
    : Knob(size, listener, tag, nullptr, nullptr), m_strip(strip), m_count(count)
{
    m_inset = 0;
    RememberIfAny(m_strip);
}

FilmstripKnob::~FilmstripKnob()
{
    ForgetIfAny(m_strip);
}

void FilmstripKnob::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (m_strip && m_count > 0)
    {
        const int32_t height = m_strip->GetHeight() / m_count;
        m_strip->Draw(context, m_size, Point(0, ControlValues::FloorPicture(value, m_count) * height));
    }
    m_oldValue = value;
}
