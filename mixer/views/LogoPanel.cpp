#include "mixer/views/LogoPanel.h"

#include "framework/dialogs/PanelBuilder.h"
#include "framework/skin/Skin.h"

int LogoPanel::Create(Skin& skin, Window* parent, Window* owner, int x, int y)
{
    skin_ = &skin;
    parent_ = parent;
    owner_ = owner;
    Setup(nullptr, 0, 0, 0x646464);
    if (!PanelBuilder(skin).BuildPanel("logoPanel", *this, 1, "bg_logo"))
        return 0;
    return Panel::Create(parent, x, y, 0);
}

void LogoPanel::OnOwnerMoved(int x, int y, int move)
{
    if (!move)
        return;
    ::SetWindowPos(GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const int dx = x - ownerX_;
    const int dy = y - ownerY_;
    ownerX_ = x;
    ownerY_ = y;
    if (dx == 0 && dy == 0)
        return;
    RECT rect = {};
    ::GetWindowRect(GetHandle(), &rect);
    ::SetWindowPos(GetHandle(), nullptr, rect.left + dx, rect.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LogoPanel::SetPosition(int x, int y, int ownerX, int ownerY)
{
    ::SetWindowPos(GetHandle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ownerX_ = ownerX;
    ownerY_ = ownerY;
}

void LogoPanel::EnterViewMode()
{
    Show(SW_SHOWNOACTIVATE);
}

void LogoPanel::LeaveViewMode()
{
    Show(SW_HIDE);
}

void LogoPanel::OnRightButtonDown(WPARAM flags, int x, int y)
{
    if (PopupMenu* menu = skin_ ? skin_->CreatePopupMenu("AboutContextMenu") : nullptr)
    {
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        menu->Track(cursor.x, cursor.y, this, this, 1);
    }
    Panel::OnRightButtonDown(flags, x, y);
}

void LogoPanel::OnMouseUp(WPARAM flags, int x, int y)
{
    ::ReleaseCapture();
    Panel::OnMouseUp(flags, x, y);
}

int LogoPanel::OnKeyDown(WPARAM key, LPARAM flags)
{
    if (owner_ && owner_->GetHandle())
        return static_cast<int>(::SendMessageA(owner_->GetHandle(), WM_KEYDOWN, key, flags));
    return 0;
}

void LogoPanel::OnMenuCommand(int command)
{
    if (command == kAboutCommand && aboutListener_)
        aboutListener_->OnMenuCommand(command);
}
