#include "plugins/base/gui/LevelMeter.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cmath>

LevelMeter::LevelMeter(const Rect& size, PluginBitmap* on, PluginBitmap* off, int32_t steps, int32_t style)
    : PluginControl(size, nullptr, 0), on_(on), off_(off), steps_(steps), style_(style)
{
    RememberIfAny(on_);
    RememberIfAny(off_);
    mouseEnabled_ = false;
}

LevelMeter::~LevelMeter()
{
    ForgetIfAny(on_);
    ForgetIfAny(off_);
}

void LevelMeter::Draw(DrawContext* context)
{
    // The first draw starts from the bottom of the range.
    const float before = oldValue_ < min_ ? min_ : oldValue_;
    const float shown = ControlValues::MeterFall(before, GetValue(), min_, max_, decreaseStep_);
    double share = max_ > min_ ? (static_cast<double>(shown) - min_) / (static_cast<double>(max_) - min_) : 0.0;
    if (steps_ > 0)
    {
        share = std::round(share * steps_) / steps_;
    }
    const Rect& r = size_;
    if (style_ & kHorizontal)
    {
        const int32_t split = r.left + static_cast<int32_t>(std::lround(share * r.Width()));
        if (on_ && split > r.left)
            on_->Draw(context, Rect(r.left, r.top, split, r.bottom));
        if (off_ && split < r.right)
            off_->Draw(context, Rect(split, r.top, r.right, r.bottom), Point(split - r.left, 0));
    }
    else
    {
        const int32_t split = r.top + static_cast<int32_t>(std::lround((1.0 - share) * r.Height()));
        if (off_ && split > r.top)
            off_->Draw(context, Rect(r.left, r.top, r.right, split));
        if (on_ && split < r.bottom)
            on_->Draw(context, Rect(r.left, split, r.right, r.bottom), Point(0, split - r.top));
    }
    // What is shown, so that the next update keeps falling toward the value.
    oldValue_ = shown;
}
