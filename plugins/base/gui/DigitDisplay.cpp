#include "plugins/base/gui/DigitDisplay.h"

#include "plugins/base/gui/PluginBitmap.h"

#include <algorithm>

DigitDisplay::DigitDisplay(const Rect& size, PluginBitmap* strip, int32_t digits)
    : PluginControl(size, nullptr, 0), strip_(strip), digits_(std::clamp(digits, 1, ControlValues::kMaxDigits))
{
    if (strip_)
    {
        strip_->Remember();
    }
    float maximum = 1.0f;
    for (int32_t i = 0; i < digits_; ++i)
    {
        maximum *= 10.0f;
        positions_[i] = Point(i * (strip_ ? strip_->GetWidth() : 0), 0);
    }
    max_ = maximum - 1.0f;
    mouseEnabled_ = false;
}

DigitDisplay::~DigitDisplay()
{
    if (strip_)
    {
        strip_->Forget();
    }
}

void DigitDisplay::SetDigitPosition(int32_t index, const Point& where)
{
    if (index >= 0 && index < digits_)
    {
        positions_[index] = where;
    }
}

void DigitDisplay::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (strip_)
    {
        int32_t digits[ControlValues::kMaxDigits];
        ControlValues::SplitDigits(value, digits_, digits);
        const int32_t width = strip_->GetWidth();
        const int32_t height = strip_->GetHeight() / 10;
        for (int32_t i = 0; i < digits_; ++i)
        {
            const Point corner(size_.left + positions_[i].x, size_.top + positions_[i].y);
            strip_->Draw(context, Rect(corner.x, corner.y, corner.x + width, corner.y + height),
                         Point(0, digits[i] * height));
        }
    }
    oldValue_ = value;
}
