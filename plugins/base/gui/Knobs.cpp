#include "plugins/base/gui/Knobs.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cmath>

Knob::Knob(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background, PluginBitmap* handle)
    : PluginControl(size, listener, tag), inset_(handle ? handle->GetWidth() / 2 : 5), background_(background),
      handle_(handle)
{
    RememberIfAny(background_);
    RememberIfAny(handle_);
}

Knob::~Knob()
{
    ForgetIfAny(background_);
    ForgetIfAny(handle_);
}

Point Knob::Centre() const
{
    return Point((size_.left + size_.right) / 2, (size_.top + size_.bottom) / 2);
}

void Knob::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (background_)
    {
        background_->Draw(context, size_);
    }
    constexpr double kPi = 3.14159265358979323846;
    const double angle = ControlValues::KnobAngle(value, min_, max_) * kPi / 180.0;
    const double radius = (size_.Width() - 2.0 * inset_) / 2.0;
    const Point centre = Centre();
    const Point tip(centre.x + static_cast<int32_t>(std::lround(radius * std::sin(angle))),
                    centre.y - static_cast<int32_t>(std::lround(radius * std::cos(angle))));
    if (handle_)
    {
        const int32_t w = handle_->GetWidth();
        const int32_t h = handle_->GetHeight();
        handle_->DrawTransparent(context, Rect(tip.x - w / 2, tip.y - h / 2, tip.x - w / 2 + w, tip.y - h / 2 + h));
    }
    else
    {
        context->MoveTo(centre);
        context->LineTo(tip);
    }
    oldValue_ = value;
}

void Knob::MouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled_ || TakeDefaultOnAltClick(context))
    {
        return;
    }
    Track(context, where, [this](const Point& p, int32_t) {
        const Point centre = Centre();
        SetValue(ControlValues::KnobValue(p.x - centre.x, p.y - centre.y, min_, max_));
    });
}

FilmstripKnob::FilmstripKnob(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip,
                             int32_t count)
    : Knob(size, listener, tag, nullptr, nullptr), strip_(strip), count_(count)
{
    inset_ = 0;
    RememberIfAny(strip_);
}

FilmstripKnob::~FilmstripKnob()
{
    ForgetIfAny(strip_);
}

void FilmstripKnob::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (strip_ && count_ > 0)
    {
        const int32_t height = strip_->GetHeight() / count_;
        strip_->Draw(context, size_, Point(0, ControlValues::FloorPicture(value, count_) * height));
    }
    oldValue_ = value;
}
