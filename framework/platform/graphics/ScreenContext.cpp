#include "framework/platform/graphics/ScreenContext.h"

ScreenContext::ScreenContext() : window_(WindowFromPoint(POINT{0, 0})), dc_(GetDC(window_)) {}

ScreenContext::~ScreenContext()
{
    if (dc_)
        ReleaseDC(window_, dc_);
}
