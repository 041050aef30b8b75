#include "plugins/base/gui/PluginEditor.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/vst/VstEffect.h"

#include <windows.h>

PluginEditor::PluginEditor(VstEffect* effect) : EditorBase(effect), lastIdle_(GetTickCount())
{
    if (effect)
    {
        effect->SetEditor(this);
    }
}

PluginEditor::~PluginEditor()
{
    delete frame_;
}

void PluginEditor::SetRect(int32_t width, int32_t height)
{
    rect_.top = 0;
    rect_.left = 0;
    rect_.bottom = static_cast<int16_t>(height);
    rect_.right = static_cast<int16_t>(width);
}

bool PluginEditor::GetRect(VstRect** rect)
{
    if (!rect)
    {
        return false;
    }
    *rect = &rect_;
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
    if (frame_)
    {
        frame_->Idle();
    }
}

void PluginEditor::SetParameter(int32_t, float)
{
    PostUpdate();
}

void PluginEditor::Redraw()
{
    if (frame_)
    {
        frame_->Redraw();
    }
}

void PluginEditor::DoIdle()
{
    const uint32_t now = GetTickCount();
    // Unsigned difference: correct across the tick count's wrap.
    if (now - lastIdle_ >= kIdleInterval)
    {
        lastIdle_ = now;
        Idle();
        if (GetEffect())
        {
            GetEffect()->hostIdle();
        }
    }
}
