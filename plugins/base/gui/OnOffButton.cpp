#include "plugins/base/gui/OnOffButton.h"

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/PluginBitmap.h"

OnOffButton::OnOffButton(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* bitmap)
    : PluginControl(size, listener, tag), m_bitmap(bitmap)
{
    if (m_bitmap)
    {
        m_bitmap->Remember();
    }
}

OnOffButton::~OnOffButton()
{
    if (m_bitmap)
    {
        m_bitmap->Forget();
    }
}

void OnOffButton::Draw(DrawContext* context)
{
    const float value = GetValue();
    if (m_bitmap)
    {
        const int32_t picture = ControlValues::ShowsOn(value) ? m_bitmap->GetHeight() / 2 : 0;
        m_bitmap->Draw(context, m_size, Point(0, picture));
    }
    m_oldValue = value;
}

void OnOffButton::MouseDown(DrawContext* context, const Point&)
{
    if (!m_mouseEnabled)
    {
        return;
    }
    SetValue(ControlValues::Toggled(GetValue()));
    Draw(context);
    Notify(context);
}
