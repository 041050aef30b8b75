#include "plugins/base/gui/PluginControl.h"

#include "plugins/base/gui/PluginEditor.h"

PluginControl::PluginControl(const Rect& size, ControlListener* listener, int32_t tag)
    : View(size), listener_(listener), tag_(tag)
{
}

PluginControl::~PluginControl() = default;

void PluginControl::Update(DrawContext* context)
{
    if (GetValue() != oldValue_)
    {
        Draw(context);
    }
}

void PluginControl::DoIdle()
{
    if (frame_ && frame_->GetEditor())
    {
        frame_->GetEditor()->DoIdle();
    }
}

void PluginControl::Notify(DrawContext* context)
{
    if (listener_)
    {
        listener_->OnValueChanged(context, this);
    }
}

void PluginControl::DrawIfChanged(DrawContext* context)
{
    if (GetValue() != oldValue_)
    {
        Draw(context);
        Notify(context);
    }
}

bool PluginControl::TakeDefaultOnAltClick(DrawContext* context)
{
    if (MouseButtons() != (kMouseLeft | kMouseAlt))
    {
        return false;
    }
    SetValue(default_);
    DrawIfChanged(context);
    return true;
}

int32_t PluginControl::MouseButtons() const
{
    return frame_ ? frame_->GetMouseButtons() : SystemMouseState().GetButtons();
}
