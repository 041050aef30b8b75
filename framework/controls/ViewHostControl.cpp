#include "framework/controls/ViewHostControl.h"

#include "framework/controls/Panel.h"
#include "framework/windows/Window.h"

ViewHostControl::~ViewHostControl() = default;

int ViewHostControl::Setup(const String& name, int x, int y, int width, int height, Window* view, int border)
{
    view_.reset(view);
    border_ = border;
    SetPosition(x, y);
    SetSize(width, height);
    return SetName(name);
}

int ViewHostControl::CreateView(Panel& panel, int childId)
{
    if (!view_)
        return 0;
    const DWORD style = WS_CHILD | (IsInvisible() ? 0 : WS_VISIBLE) | (border_ ? WS_BORDER : 0);
    if (!view_->CreateEx(nullptr, 0, style, X(), Y(), Width(), Height(), 0, &panel))
        return 0;
    ::SetWindowLongPtrA(view_->GetHandle(), GWLP_ID, childId);
    return 1;
}

void ViewHostControl::SetInvisible(int flag)
{
    Control::SetInvisible(flag);
    if (view_)
        view_->Show(flag ? SW_HIDE : SW_SHOW);
}

void ViewHostControl::OnDataItemChanged()
{
    if (view_)
        view_->InvalidateAll(1);
}
