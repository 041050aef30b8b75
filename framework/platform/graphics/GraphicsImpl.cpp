#include "framework/platform/graphics/GraphicsImpl.h"

GraphicsImpl::~GraphicsImpl()
{
    Detach();
}

void GraphicsImpl::Detach()
{
    if (owned_ && dc_)
        ReleaseDC(window_, dc_);
    dc_ = nullptr;
    window_ = nullptr;
    owned_ = false;
}

void GraphicsImpl::AttachDC(HDC dc)
{
    Detach();
    dc_ = dc;
}

int GraphicsImpl::AttachWindow(HWND window)
{
    Detach();
    if (!window)
        return 0;
    HDC dc = GetDC(window);
    if (!dc)
        return 0;
    dc_ = dc;
    window_ = window;
    owned_ = true;
    return 1;
}
