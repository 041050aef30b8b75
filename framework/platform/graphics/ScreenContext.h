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

// A memory context compatible with the screen with a bitmap selected into it; the bitmap is
// deselected and the context deleted on destruction. Get() is null when it could not be made.
class MemoryContext
{
public:
    explicit MemoryContext(HBITMAP bitmap);
    ~MemoryContext();
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;

    HDC Get() const { return dc_; }

private:
    ScreenContext screen_;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};
