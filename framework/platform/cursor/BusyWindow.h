#pragma once

#include "framework/platform/Win32Api.h"

// Blocks the user interface during a long operation: while it exists, a zero-size child of
// the parent holds the mouse capture and the wait cursor shows. Busy windows nest: the
// capture and the wait cursor last until the last of them is gone. GUI thread only.
class BusyWindow
{
public:
    explicit BusyWindow(HWND parent);
    ~BusyWindow();
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

    HWND Handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
    BusyWindow* outer_; // the busy window that existed before this one, or null
};
