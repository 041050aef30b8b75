#include "plugins/base/vst/EditorBase.h"

EditorBase::EditorBase(VstEffect* effect) : effect_(effect) {}

EditorBase::~EditorBase() = default;

bool EditorBase::GetRect(VstRect** rect)
{
    if (rect)
    {
        *rect = nullptr;
    }
    return false;
}

VstValue EditorBase::Open(void* parentWindow)
{
    systemWindow_ = parentWindow;
    return 0;
}

void EditorBase::Close() {}

void EditorBase::Idle()
{
    if (updateRequested_.exchange(false))
    {
        Update();
    }
}

void EditorBase::Update() {}

void EditorBase::PostUpdate()
{
    updateRequested_ = true;
}

VstValue EditorBase::OnKeyDown(const VstKeyCode&)
{
    return 0;
}

VstValue EditorBase::OnKeyUp(const VstKeyCode&)
{
    return 0;
}

VstValue EditorBase::SetKnobMode(int32_t)
{
    return 0;
}

bool EditorBase::OnWheel(float)
{
    return false;
}
