#include "framework/windows/DragDrop.h"

#include "framework/platform/cursor/Cursor.h"
#include "framework/windows/Window.h"

namespace
{
// The running drag; GUI thread only.
struct DragState
{
    Window* source = nullptr; // borrowed; null: no drag
    Cursor* cursor = nullptr; // owned while the drag runs
    intptr_t value1 = 0;
    intptr_t value2 = 0;
};

DragState drag;

class FrameworkWindows final : public DragWindows
{
public:
    Window* FromPoint(int x, int y) override { return Window::WindowFromPoint(x, y); }
    HWND Handle(Window* window) override { return window->GetHandle(); }
    int OnDragOver(Window* window, int x, int y, intptr_t value1, intptr_t value2) override
    {
        return window->OnDragOver(x, y, value1, value2);
    }
    int OnDrop(Window* window, int x, int y, intptr_t value1, intptr_t value2) override
    {
        return window->OnDrop(x, y, value1, value2);
    }
};

FrameworkWindows frameworkWindows;
DragWindows* windows = &frameworkWindows; // borrowed

// The framework window under the pointer and the pointer in its client coordinates.
Window* UnderPointer(POINT& client)
{
    if (!GetCursorPos(&client))
        return nullptr;
    Window* window = windows->FromPoint(client.x, client.y);
    if (!window || !ScreenToClient(windows->Handle(window), &client))
        return nullptr;
    return window;
}
} // namespace

DragWindows* DragDrop::InstallWindows(DragWindows* installed)
{
    DragWindows* previous = windows;
    windows = installed ? installed : &frameworkWindows;
    return previous;
}

void DragDrop::Begin(Cursor* dragCursor, Window* source, intptr_t value1, intptr_t value2)
{
    if (drag.source || !source)
    {
        // The cursor was handed over: a refused drag still owns it.
        if (dragCursor != drag.cursor)
            delete dragCursor;
        return;
    }
    drag.source = source;
    drag.cursor = dragCursor;
    drag.value1 = value1;
    drag.value2 = value2;
    SetCapture(windows->Handle(source));
    if (dragCursor)
        dragCursor->Apply();
}

bool DragDrop::IsSource(const Window* window)
{
    return drag.source && drag.source == window;
}

void DragDrop::OnMouseMove()
{
    if (!drag.source)
        return;
    POINT client = {};
    Window* window = UnderPointer(client);
    if (!window)
        return;
    if (windows->OnDragOver(window, client.x, client.y, drag.value1, drag.value2) || window == drag.source)
        return;
    if (drag.cursor)
        drag.cursor->Apply();
    else
        Cursor::SetShape(Cursor::NotAllowed);
}

void DragDrop::End()
{
    if (!drag.source)
        return;
    ReleaseCapture();
    Cursor::SetShape(Cursor::Arrow);
    POINT client = {};
    if (Window* window = UnderPointer(client))
        windows->OnDrop(window, client.x, client.y, drag.value1, drag.value2);
    delete drag.cursor;
    drag = DragState();
}
