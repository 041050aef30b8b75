#include "plugins/base/gui/LevelMeter.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cmath>

LevelMeter::LevelMeter(const Rect& size, PluginBitmap* on, PluginBitmap* off, int32_t steps, int32_t style)
    : PluginControl(size, nullptr, 0), m_on(on), m_off(off), m_steps(steps), m_style(style)
{
    RememberIfAny(m_on);
    RememberIfAny(m_off);
    m_mouseEnabled = false;
}

LevelMeter::~LevelMeter()
{
    ForgetIfAny(m_on);
    ForgetIfAny(m_off);
}

void LevelMeter::Draw(DrawContext* context)
{
    // The first draw starts from the bottom of the range.
    const float before = m_oldValue < m_min ? m_min : m_oldValue;
    const float shown = ControlValues::MeterFall(before, GetValue(), m_min, m_max, m_decreaseStep);
    double share = m_max > m_min ? (static_cast<double>(shown) - m_min) / (static_cast<double>(m_max) - m_min) : 0.0;
    if (m_steps > 0)
    {
        share = std::round(share * m_steps) / m_steps;
    }
    const Rect& r = m_size;
    if (m_style & kHorizontal)
    {
        const int32_t split = r.left + static_cast<int32_t>(std::lround(share * r.Width()));
        if (m_on && split > r.left)
            m_on->Draw(context, Rect(r.left, r.top, split, r.bottom));
        if (m_off && split < r.right)
            m_off->Draw(context, Rect(split, r.top, r.right, r.bottom), Point(split - r.left, 0));
    }
    else
    {
        const int32_t split = r.top + static_cast<int32_t>(std::lround((1.0 - share) * r.Height()));
        if (m_off && split > r.top)
            m_off->Draw(context, Rect(r.left, r.top, r.right, split));
        if (m_on && split < r.bottom)
            m_on->Draw(context, Rect(r.left, split, r.right, r.bottom), Point(0, split - r.top));
    }
    // What is shown, so that the next update keeps falling toward the value.
    m_oldValue = shown;
}
