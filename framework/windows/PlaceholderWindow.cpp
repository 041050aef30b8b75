#include "framework/windows/PlaceholderWindow.h"

#include "framework/platform/graphics/Graphics.h"
#include "framework/windows/AppBase.h"

int PlaceholderWindow::OnEraseBackground(Graphics& graphics)
{
    RECT client;
    if (GetClientRect(client))
        graphics.FillRect(Rect{client.left, client.top, client.right, client.bottom}, RGB(255, 255, 255));
    return 1;
}

void PlaceholderWindow::OnDestroy()
{
    if (owner_)
        owner_->OnMainWindowDestroyed(this);
}

int PlaceholderWindow::OnCommand(int id, int code)
{
    return owner_ ? owner_->OnCommand(id, code) : 0;
}
