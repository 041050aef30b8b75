#include "plugins/base/gui/DigitDisplay.h"

#include "plugins/base/gui/PluginBitmap.h"

#include <algorithm>

DigitDisplay::DigitDisplay(const Rect& size, PluginBitmap* strip, int32_t digits)
    : PluginControl(size, nullptr, 0), m_strip(strip), m_digits(std::clamp(digits, 1, ControlValues::kMaxDigits))
{
    if (m_strip)
    {
        m_strip->Remember();
    }
    float maximum = 1.0f;
    for (int32_t i = 0; i < m_digits; ++i)
    {
        maximum *= 10.0f;
        m_positions[i] = Point(i * (m_strip ? m_strip->GetWidth() : 0), 0);
    }
    m_max = maximum - 1.0f;
    m_mouseEnabled = false;
}

DigitDisplay::~DigitDisplay()
{
    if (m_strip)
    {
        m_strip->Forget();
    }
}

void DigitDisplay::SetDigitPosition(int32_t index, const Point& where)
{
    if (index >= 0 && index < m_digits)
    {
        m_positions[index] = where;
    }
}

void DigitDisplay::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (m_strip)
    {
        int32_t digits[ControlValues::kMaxDigits];
        ControlValues::SplitDigits(value, m_digits, digits);
        const int32_t width = m_strip->GetWidth();
        const int32_t height = m_strip->GetHeight() / 10;
        for (int32_t i = 0; i < m_digits; ++i)
        {
            const Point corner(m_size.left + m_positions[i].x, m_size.top + m_positions[i].y);
            m_strip->Draw(context, Rect(corner.x, corner.y, corner.x + width, corner.y + height),
                          Point(0, digits[i] * height));
        }
    }
    m_oldValue = value;
}
