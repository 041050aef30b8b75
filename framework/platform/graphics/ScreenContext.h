#pragma once

#include "framework/platform/Win32Api.h"

// The screen context of the window at screen point (0, 0), released on destruction; GDI work
// on bitmaps and font measurement is done against it.
class ScreenContext
{
public:
    ScreenContext();
    ~ScreenContext();
    ScreenContext(const ScreenContext&) = delete;
    ScreenContext& operator=(const ScreenContext&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
