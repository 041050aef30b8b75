#include "plugins/base/gui/Switches.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/PluginBitmap.h"

StripControl::StripControl(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip, int32_t count)
    : PluginControl(size, listener, tag), m_strip(strip), m_count(count > 0 ? count : 1)
{
    RememberIfAny(m_strip);
}

StripControl::~StripControl()
{
    ForgetIfAny(m_strip);
}

int32_t StripControl::PictureHeight() const
{
    return m_strip ? m_strip->GetHeight() / m_count : 0;
}

void StripControl::DrawPicture(DrawContext* context, int32_t picture)
{
    if (m_strip)
    {
        m_strip->Draw(context, m_size, Point(0, picture * PictureHeight()));
    }
}

void VerticalSwitch::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, ControlValues::FloorPicture(value, m_count));
    m_oldValue = value;
}

void VerticalSwitch::MouseDown(DrawContext* context, const Point& where)
{
    if (!m_mouseEnabled || TakeDefaultOnAltClick(context))
    {
        return;
    }
    Track(context, where, [this](const Point& p, int32_t) {
        SetValue(ControlValues::VerticalSwitchValue(p.y - m_size.top, PictureHeight(), m_count));
    });
}

void HorizontalSwitch::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, ControlValues::FloorPicture(value, m_count));
    m_oldValue = value;
}

void HorizontalSwitch::MouseDown(DrawContext* context, const Point& where)
{
    if (!m_mouseEnabled || TakeDefaultOnAltClick(context))
    {
        return;
    }
    Track(context, where, [this](const Point& p, int32_t) {
        SetValue(ControlValues::HorizontalSwitchValue(p.x - m_size.left, m_strip ? m_strip->GetWidth() : 0, m_count));
    });
}

RockerSwitch::RockerSwitch(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip)
    : StripControl(size, listener, tag, strip, 3)
{
    m_min = -1.0f;
    m_max = 1.0f;
}

void RockerSwitch::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, value < 0.0f ? 0 : value > 0.0f ? 2 : 1);
    m_oldValue = value;
}

void RockerSwitch::MouseDown(DrawContext* context, const Point& where)
{
    if (!m_mouseEnabled || TakeDefaultOnAltClick(context))
    {
        return;
    }
    const float atPress = GetValue();
    Track(context, where, [this, atPress](const Point& p, int32_t) {
        const int32_t middle = (m_size.left + m_size.right) / 2;
        if (!p.IsInside(m_size))
            SetValue(atPress);
        else
            SetValue(p.x < middle ? -1.0f : 1.0f);
    });
    SetValue(0.0f);
    DrawIfChanged(context);
}

void FilmstripDisplay::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, ControlValues::RoundPicture(value, m_count));
    m_oldValue = value;
}

FilmstripButton::FilmstripButton(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip)
    : StripControl(size, listener, tag, strip, 2)
{
}

void FilmstripButton::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, value != 0.0f ? 1 : 0);
    m_oldValue = value;
}

void FilmstripButton::MouseDown(DrawContext* context, const Point& where)
{
    if (!m_mouseEnabled)
    {
        return;
    }
    const float atPress = GetValue();
    const float opposite = atPress != 0.0f ? 0.0f : 1.0f;
    Track(context, where,
          [this, atPress, opposite](const Point& p, int32_t) { SetValue(p.IsInside(m_size) ? opposite : atPress); });
}

void KickButton::MouseDown(DrawContext* context, const Point& where)
{
    if (!m_mouseEnabled)
    {
        return;
    }
    FilmstripButton::MouseDown(context, where);
    SetValue(0.0f);
    DrawIfChanged(context);
}
