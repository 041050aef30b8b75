#pragma once

#include "framework/windows/Window.h"

// Blocks the user interface during a long operation: while it exists, a zero-size child of
// the parent holds the mouse capture and the wait cursor shows. Busy windows nest: the
// capture and the wait cursor last until the last of them is gone. GUI thread only.
class BusyWindow : public Window
{
public:
    // Under the application's main window.
    BusyWindow();
    explicit BusyWindow(Window* parent);
    ~BusyWindow() override;

private:
    void Block(Window* parent);

    BusyWindow* outer_; // the busy window that existed before this one, or null
};
