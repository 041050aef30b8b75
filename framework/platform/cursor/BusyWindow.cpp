#include "framework/platform/cursor/BusyWindow.h"

#include "framework/platform/cursor/Cursor.h"

namespace
{
const char kClassName[] = "KivBusyWindow";

BusyWindow* innermost = nullptr; // GUI thread only

bool RegisterBusyClass()
{
    WNDCLASSA windowClass = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kClassName, &windowClass))
        return true;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_WAIT);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}
}

BusyWindow::BusyWindow(HWND parent) : outer_(innermost)
{
    innermost = this;
    if (RegisterBusyClass())
        handle_ = CreateWindowExA(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (handle_)
        SetCapture(handle_);
    Cursor::SetShape(Cursor::Wait);
}

BusyWindow::~BusyWindow()
{
    // Busy windows end in reverse order of creation; one ending out of order is unlinked.
    BusyWindow** link = &innermost;
    while (*link && *link != this)
        link = &(*link)->outer_;
    if (*link)
        *link = outer_;

    // Another busy window still blocks: it takes the capture back, and the wait cursor stays.
    BusyWindow* remaining = innermost;
    while (remaining && !remaining->handle_)
        remaining = remaining->outer_;
    if (remaining)
    {
        SetCapture(remaining->handle_);
        Cursor::SetShape(Cursor::Wait);
    }
    else
    {
        Cursor::SetShape(Cursor::Arrow);
        ReleaseCapture();
    }
    if (handle_)
        DestroyWindow(handle_);
}
