#include "framework/windows/PlaceholderWindow.h"

#include "framework/windows/AppBase.h"

int PlaceholderWindow::OnEraseBackground(HDC dc)
{
    RECT client;
    if (dc && GetClientRect(client)) {
        HBRUSH white = ::CreateSolidBrush(RGB(255, 255, 255));
        ::FillRect(dc, &client, white);
        ::DeleteObject(white);
    }
    return 1;
}

void PlaceholderWindow::OnDestroy()
{
    if (owner_)
        owner_->OnMainWindowDestroyed(this);
}

int PlaceholderWindow::OnCommand(int id, int code) { return owner_ ? owner_->OnCommand(id, code) : 0; }
