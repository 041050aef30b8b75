#include "plugins/base/gui/AutoAnimation.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

AutoAnimation::AutoAnimation(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip)
    : PluginControl(size, listener, tag), m_strip(strip)
{
    RememberIfAny(m_strip);
}

AutoAnimation::~AutoAnimation()
{
    ForgetIfAny(m_strip);
}

int32_t AutoAnimation::LastOffset() const
{
    const int32_t last = m_strip ? m_strip->GetHeight() - m_size.Height() : 0;
    return last > 0 ? last : 0;
}

void AutoAnimation::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (m_running && m_strip)
    {
        m_strip->Draw(context, m_size, Point(0, static_cast<int32_t>(value)));
    }
    m_oldValue = value;
}

void AutoAnimation::MouseDown(DrawContext* context, const Point&)
{
    if (!m_mouseEnabled)
    {
        return;
    }
    SetValue(0.0f);
    if (!m_running)
    {
        m_running = true;
        Draw(context);
        Notify(context);
    }
    else
    {
        m_running = false;
        if (m_frame)
        {
            m_frame->Redraw();
        }
    }
}

void AutoAnimation::NextPicture()
{
    const float next = GetValue() + static_cast<float>(m_size.Height());
    SetValue(next > static_cast<float>(LastOffset()) ? 0.0f : next);
}

void AutoAnimation::PreviousPicture()
{
    const float previous = GetValue() - static_cast<float>(m_size.Height());
    SetValue(previous < 0.0f ? static_cast<float>(LastOffset()) : previous);
}
