#include "framework/windows/Window.h"

Window::Window()
{
    native_.SetOwner(this);
}

Window::~Window()
{
    native_.Destroy();
}

int Window::Create(const String* title, DWORD style, int x, int y, int width, int height, Window* parent, int unused,
                   int classIndex)
{
    return native_.Create(title, style, x, y, width, height, parent, unused, classIndex);
}

int Window::CreateWithClass(const char* className, const String* title, DWORD style, int x, int y, int width,
                            int height, Window* parent, int unused1, int unused2)
{
    return native_.CreateWithClass(className, title, style, x, y, width, height, parent, unused1, unused2);
}

int Window::CreateEx(const String* title, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                     int classIndex, Window* parent)
{
    return native_.CreateEx(title, exStyle, style, x, y, width, height, classIndex, parent);
}

namespace
{

// A rectangle as origin and size; answers 1 so the getters can return it.
int Unpack(const RECT& rect, int& x, int& y, int& width, int& height)
{
    x = rect.left;
    y = rect.top;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    return 1;
}

} // namespace

int Window::GetSize(int& width, int& height) const
{
    RECT rect;
    int x = 0;
    int y = 0;
    return native_.GetWindowRect(rect) ? Unpack(rect, x, y, width, height) : 0;
}

int Window::GetClientArea(int& x, int& y, int& width, int& height) const
{
    RECT rect;
    return native_.GetClientRect(rect) ? Unpack(rect, x, y, width, height) : 0;
}

int Window::GetScreenArea(int& x, int& y, int& width, int& height) const
{
    RECT rect;
    return native_.GetWindowRect(rect) ? Unpack(rect, x, y, width, height) : 0;
}

int Window::GetPosition(int& x, int& y) const
{
    RECT rect;
    if (!native_.GetWindowRect(rect))
        return 0;
    x = rect.left;
    y = rect.top;
    if (parent_)
        parent_->ScreenToClient(x, y);
    return 1;
}

int Window::SetPosition(int x, int y, int repaint)
{
    int width = 0;
    int height = 0;
    if (!GetSize(width, height))
        return 0;
    return native_.Move(x, y, width, height, repaint);
}

int Window::SetSize(int width, int height, int repaint)
{
    int x = 0;
    int y = 0;
    if (!GetPosition(x, y))
        return 0;
    return native_.Move(x, y, width, height, repaint);
}

int Window::MoveBy(int dx, int dy, int repaint)
{
    RECT own;
    if (!native_.GetWindowRect(own))
        return 0;
    int x = own.left;
    int y = own.top;
    RECT parentRect;
    if (parent_ && parent_->GetWindowRect(parentRect))
    {
        x -= parentRect.left;
        y -= parentRect.top;
    }
    return SetPosition(x + dx, y + dy, repaint);
}

int Window::InvalidateArea(int x, int y, int width, int height, int erase)
{
    const RECT rect = {x, y, x + width, y + height};
    return native_.Invalidate(&rect, erase);
}

int Window::ScreenToClientRect(RECT& rect) const
{
    int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    if (!native_.ScreenToClient(left, top) || !native_.ScreenToClient(right, bottom))
        return 0;
    rect = {left, top, right, bottom};
    return 1;
}

int Window::ClientToScreenRect(RECT& rect) const
{
    int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    if (!native_.ClientToScreen(left, top) || !native_.ClientToScreen(right, bottom))
        return 0;
    rect = {left, top, right, bottom};
    return 1;
}

void Window::GetWorkArea(RECT& rect)
{
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0))
        rect = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}
