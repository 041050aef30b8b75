#include "plugins/base/gui/PluginEditor.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/vst/VstEffect.h"

#include <windows.h>

PluginEditor::PluginEditor(VstEffect* effect) : EditorBase(effect), m_lastIdle(GetTickCount())
{
    if (effect)
    {
        effect->SetEditor(this);
    }
}

PluginEditor::~PluginEditor()
{
    delete m_frame;
}

void PluginEditor::SetRect(int32_t width, int32_t height)
{
    m_rect.top = 0;
    m_rect.left = 0;
    m_rect.bottom = static_cast<int16_t>(height);
    m_rect.right = static_cast<int16_t>(width);
}

bool PluginEditor::GetRect(VstRect** rect)
{
    if (!rect)
    {
        return false;
    }
    *rect = &m_rect;
    return true;
}

VstValue PluginEditor::Open(void* parentWindow)
{
    PostUpdate();
    return EditorBase::Open(parentWindow);
}

void PluginEditor::Close() {}

void PluginEditor::Idle()
{
    EditorBase::Idle();
    if (m_frame)
    {
        m_frame->Idle();
    }
}

void PluginEditor::SetParameter(int32_t, float)
{
    PostUpdate();
}

void PluginEditor::Redraw()
{
    if (m_frame)
    {
        m_frame->Redraw();
    }
}

void PluginEditor::DoIdle()
{
    const uint32_t now = GetTickCount();
    // Unsigned difference: correct across the tick count's wrap.
    if (now - m_lastIdle >= kIdleInterval)
    {
        m_lastIdle = now;
        Idle();
        if (GetEffect())
        {
            GetEffect()->hostIdle();
        }
    }
}
