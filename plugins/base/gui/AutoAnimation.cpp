#include "plugins/base/gui/AutoAnimation.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

AutoAnimation::AutoAnimation(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip)
    : PluginControl(size, listener, tag), strip_(strip)
{
    RememberIfAny(strip_);
}

AutoAnimation::~AutoAnimation()
{
    ForgetIfAny(strip_);
}

int32_t AutoAnimation::LastOffset() const
{
    const int32_t last = strip_ ? strip_->GetHeight() - size_.Height() : 0;
    return last > 0 ? last : 0;
}

void AutoAnimation::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (running_ && strip_)
    {
        strip_->Draw(context, size_, Point(0, static_cast<int32_t>(value)));
    }
    oldValue_ = value;
}

void AutoAnimation::MouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled_)
    {
        return;
    }
    SetValue(0.0f);
    if (!running_)
    {
        running_ = true;
        Draw(context);
        Notify(context);
    }
    else
    {
        running_ = false;
        if (frame_)
        {
            frame_->Redraw();
        }
    }
}

void AutoAnimation::NextPicture()
{
    const float next = GetValue() + static_cast<float>(size_.Height());
    SetValue(next > static_cast<float>(LastOffset()) ? 0.0f : next);
}

void AutoAnimation::PreviousPicture()
{
    const float previous = GetValue() - static_cast<float>(size_.Height());
    SetValue(previous < 0.0f ? static_cast<float>(LastOffset()) : previous);
}
