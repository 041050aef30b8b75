#include "plugins/base/gui/OnOffButton.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/PluginBitmap.h"

OnOffButton::OnOffButton(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* bitmap)
    : PluginControl(size, listener, tag), bitmap_(bitmap)
{
    if (bitmap_)
    {
        bitmap_->Remember();
    }
}

OnOffButton::~OnOffButton()
{
    if (bitmap_)
    {
        bitmap_->Forget();
    }
}

void OnOffButton::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (bitmap_)
    {
        const int32_t picture = ControlValues::ShowsOn(value) ? bitmap_->GetHeight() / 2 : 0;
        bitmap_->Draw(context, size_, Point(0, picture));
    }
    oldValue_ = value;
}

void OnOffButton::MouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled_)
    {
        return;
    }
    SetValue(ControlValues::Toggled(GetValue()));
    Draw(context);
    Notify(context);
}
