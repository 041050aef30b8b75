#include "plugins/base/gui/Splash.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

Splash::Splash(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* bitmap, const Rect& splashRect)
    : PluginControl(size, listener, tag), bitmap_(bitmap), splashRect_(splashRect), ownRect_(size)
{
    RememberIfAny(bitmap_);
}

Splash::~Splash()
{
    ForgetIfAny(bitmap_);
}

void Splash::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (value != 0.0f && bitmap_)
    {
        bitmap_->Draw(context, splashRect_);
    }
    oldValue_ = value;
}

void Splash::MouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled_ || !frame_)
    {
        return;
    }
    if (GetValue() == 0.0f)
    {
        if (!frame_->SetModalView(this))
        {
            return;
        }
        size_ = splashRect_;
        SetValue(1.0f);
        Draw(context);
    }
    else
    {
        size_ = ownRect_;
        frame_->SetModalView(nullptr);
        SetValue(0.0f);
        oldValue_ = 0.0f;
        frame_->Redraw();
    }
    Notify(context);
}
