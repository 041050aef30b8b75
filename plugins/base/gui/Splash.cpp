#include "plugins/base/gui/Splash.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

Splash::Splash(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* bitmap, const Rect& splashRect)
    : PluginControl(size, listener, tag), m_bitmap(bitmap), m_splashRect(splashRect), m_ownRect(size)
{
    RememberIfAny(m_bitmap);
}

Splash::~Splash()
{
    ForgetIfAny(m_bitmap);
}

void Splash::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (value != 0.0f && m_bitmap)
    {
        m_bitmap->Draw(context, m_splashRect);
    }
    m_oldValue = value;
}

void Splash::MouseDown(DrawContext* context, const Point&)
{
    if (!m_mouseEnabled || !m_frame)
    {
        return;
    }
    if (GetValue() == 0.0f)
    {
        if (!m_frame->SetModalView(this))
        {
            return;
        }
        m_size = m_splashRect;
        SetValue(1.0f);
        Draw(context);
    }
    else
    {
        m_size = m_ownRect;
        m_frame->SetModalView(nullptr);
        SetValue(0.0f);
        m_oldValue = 0.0f;
        m_frame->Redraw();
    }
    Notify(context);
}
