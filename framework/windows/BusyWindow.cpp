#include "framework/windows/BusyWindow.h"

#include "framework/platform/cursor/Cursor.h"
#include "framework/windows/AppBase.h"

namespace
{
BusyWindow* gInnermost = nullptr; // GUI thread only

Window* MainWindow()
{
    AppBase* app = AppBase::Current();
    return app ? app->GetMainWindow() : nullptr;
}
} // namespace

BusyWindow::BusyWindow() : outer_(gInnermost)
{
    Block(MainWindow());
}

BusyWindow::BusyWindow(Window* parent) : outer_(gInnermost)
{
    Block(parent);
}

void BusyWindow::Block(Window* parent)
{
    gInnermost = this;
    // Without a parent window there is nothing to hold the capture; the wait cursor still shows.
    if (parent && Create(nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, 678, 0))
        SetCapture();
    Cursor::SetShape(Cursor::Wait);
}

BusyWindow::~BusyWindow()
{
    // Busy windows end in reverse order of creation; one ending out of order is unlinked.
    BusyWindow** link = &gInnermost;
    while (*link && *link != this)
        link = &(*link)->outer_;
    if (*link)
        *link = outer_;

    // Another busy window still blocks: it takes the capture back, and the wait cursor stays.
    BusyWindow* remaining = gInnermost;
    while (remaining && !remaining->GetHandle())
        remaining = remaining->outer_;
    if (remaining)
    {
        remaining->SetCapture();
        Cursor::SetShape(Cursor::Wait);
    }
    else
    {
        Cursor::SetShape(Cursor::Arrow);
        ReleaseCapture();
    }
    Destroy();
}
