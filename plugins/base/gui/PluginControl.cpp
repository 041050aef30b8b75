#include "plugins/base/gui/PluginControl.h"

#include "plugins/base/gui/PluginEditor.h"

PluginControl::PluginControl(const Rect& size, ControlListener* listener, int32_t tag)
    : View(size), m_listener(listener), m_tag(tag)
{
}

PluginControl::~PluginControl() = default;

void PluginControl::Update(DrawContext* context)
{
    if (GetValue() != m_oldValue)
    {
        Draw(context);
    }
}

void PluginControl::DoIdle()
{
    if (m_frame && m_frame->GetEditor())
    {
        m_frame->GetEditor()->DoIdle();
    }
}

void PluginControl::Notify(DrawContext* context)
{
    if (m_listener)
    {
        m_listener->OnValueChanged(context, this);
    }
}

void PluginControl::DrawIfChanged(DrawContext* context)
{
    if (GetValue() != m_oldValue)
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
    SetValue(m_default);
    DrawIfChanged(context);
    return true;
}

int32_t PluginControl::MouseButtons() const
{
    return m_frame ? m_frame->GetMouseButtons() : SystemMouseState().GetButtons();
}
