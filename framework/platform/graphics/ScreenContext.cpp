#include "framework/platform/graphics/ScreenContext.h"

ScreenContext::ScreenContext() : window_(WindowFromPoint(POINT{0, 0})), dc_(GetDC(window_)) {}

ScreenContext::~ScreenContext()
{
    if (dc_)
        ReleaseDC(window_, dc_);
}

MemoryContext::MemoryContext(HBITMAP bitmap)
{
    if (!bitmap || !screen_.Get())
        return;
    dc_ = CreateCompatibleDC(screen_.Get());
    if (!dc_)
        return;
    previous_ = SelectObject(dc_, bitmap);
    if (!previous_)
    {
        DeleteDC(dc_);
        dc_ = nullptr;
    }
}

MemoryContext::~MemoryContext()
{
    if (!dc_)
        return;
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
}
