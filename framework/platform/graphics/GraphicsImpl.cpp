#include "framework/platform/graphics/GraphicsImpl.h"

GraphicsImpl::~GraphicsImpl()
{
    Detach();
}

void GraphicsImpl::Detach()
{
    if (owned_ && dc_)
        ReleaseDC(windowHandle_, dc_);
    dc_ = nullptr;
    window_ = nullptr;
    windowHandle_ = nullptr;
    owned_ = false;
}

void GraphicsImpl::AttachDC(HDC dc)
{
    Detach();
    dc_ = dc;
}

int GraphicsImpl::AttachWindow(Window* window, HWND handle)
{
    Detach();
    if (!handle)
        return 0;
    HDC dc = GetDC(handle);
    if (!dc)
        return 0;
    dc_ = dc;
    window_ = window;
    windowHandle_ = handle;
    owned_ = true;
    return 1;
}
