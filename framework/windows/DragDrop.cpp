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

DragState gDrag;

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

FrameworkWindows gFrameworkWindows;
DragWindows* gWindows = &gFrameworkWindows; // borrowed

// The framework window under the pointer and the pointer in its client coordinates.
Window* UnderPointer(POINT& client)
{
    if (!GetCursorPos(&client))
        return nullptr;
    Window* window = gWindows->FromPoint(client.x, client.y);
    if (!window || !ScreenToClient(gWindows->Handle(window), &client))
        return nullptr;
    return window;
}
} // namespace

DragWindows* DragDrop::InstallWindows(DragWindows* installed)
{
    DragWindows* previous = gWindows;
    gWindows = installed ? installed : &gFrameworkWindows;
    return previous;
}

void DragDrop::Begin(Cursor* dragCursor, Window* source, intptr_t value1, intptr_t value2)
{
    if (gDrag.source || !source)
    {
        // The cursor was handed over: a refused drag still owns it.
        if (dragCursor != gDrag.cursor)
            delete dragCursor;
        return;
    }
    gDrag.source = source;
    gDrag.cursor = dragCursor;
    gDrag.value1 = value1;
    gDrag.value2 = value2;
    SetCapture(gWindows->Handle(source));
    if (dragCursor)
        dragCursor->Apply();
}

bool DragDrop::IsSource(const Window* window)
{
    return gDrag.source && gDrag.source == window;
}

void DragDrop::OnMouseMove()
{
    if (!gDrag.source)
        return;
    POINT client = {};
    Window* window = UnderPointer(client);
    if (!window)
        return;
    if (gWindows->OnDragOver(window, client.x, client.y, gDrag.value1, gDrag.value2) || window == gDrag.source)
        return;
    if (gDrag.cursor)
        gDrag.cursor->Apply();
    else
        Cursor::SetShape(Cursor::NotAllowed);
}

void DragDrop::End()
{
    if (!gDrag.source)
        return;
    ReleaseCapture();
    Cursor::SetShape(Cursor::Arrow);
    POINT client = {};
    if (Window* window = UnderPointer(client))
        gWindows->OnDrop(window, client.x, client.y, gDrag.value1, gDrag.value2);
    delete gDrag.cursor;
    gDrag = DragState();
}
