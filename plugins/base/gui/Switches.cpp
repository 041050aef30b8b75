#include "plugins/base/gui/Switches.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/PluginBitmap.h"

StripControl::StripControl(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip, int32_t count)
    : PluginControl(size, listener, tag), strip_(strip), count_(count > 0 ? count : 1)
{
    RememberIfAny(strip_);
}

StripControl::~StripControl()
{
    ForgetIfAny(strip_);
}

int32_t StripControl::PictureHeight() const
{
    return strip_ ? strip_->GetHeight() / count_ : 0;
}

void StripControl::DrawPicture(DrawContext* context, int32_t picture)
{
    if (strip_)
    {
        strip_->Draw(context, size_, Point(0, picture * PictureHeight()));
    }
}

void VerticalSwitch::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, ControlValues::FloorPicture(value, count_));
    oldValue_ = value;
}

void VerticalSwitch::MouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled_ || TakeDefaultOnAltClick(context))
    {
        return;
    }
    Track(context, where, [this](const Point& p, int32_t) {
        SetValue(ControlValues::VerticalSwitchValue(p.y - size_.top, PictureHeight(), count_));
    });
}

void HorizontalSwitch::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, ControlValues::FloorPicture(value, count_));
    oldValue_ = value;
}

void HorizontalSwitch::MouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled_ || TakeDefaultOnAltClick(context))
    {
        return;
    }
    Track(context, where, [this](const Point& p, int32_t) {
        SetValue(ControlValues::HorizontalSwitchValue(p.x - size_.left, strip_ ? strip_->GetWidth() : 0, count_));
    });
}

RockerSwitch::RockerSwitch(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip)
    : StripControl(size, listener, tag, strip, 3)
{
    min_ = -1.0f;
    max_ = 1.0f;
}

void RockerSwitch::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, value < 0.0f ? 0 : value > 0.0f ? 2 : 1);
    oldValue_ = value;
}

void RockerSwitch::MouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled_ || TakeDefaultOnAltClick(context))
    {
        return;
    }
    const float atPress = GetValue();
    Track(context, where, [this, atPress](const Point& p, int32_t) {
        const int32_t middle = (size_.left + size_.right) / 2;
        if (!p.IsInside(size_))
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
    DrawPicture(context, ControlValues::RoundPicture(value, count_));
    oldValue_ = value;
}

FilmstripButton::FilmstripButton(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* strip)
    : StripControl(size, listener, tag, strip, 2)
{
}

void FilmstripButton::Draw(DrawContext* context)
{
    const float value = GetValue();
    DrawPicture(context, value != 0.0f ? 1 : 0);
    oldValue_ = value;
}

void FilmstripButton::MouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled_)
    {
        return;
    }
    const float atPress = GetValue();
    const float opposite = atPress != 0.0f ? 0.0f : 1.0f;
    Track(context, where,
          [this, atPress, opposite](const Point& p, int32_t) { SetValue(p.IsInside(size_) ? opposite : atPress); });
}

void KickButton::MouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled_)
    {
        return;
    }
    FilmstripButton::MouseDown(context, where);
    SetValue(0.0f);
    DrawIfChanged(context);
}
