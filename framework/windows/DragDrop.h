#pragma once

#include "framework/platform/Win32Api.h"

#include <cstdint>

class Cursor;
class Window;

// What drag and drop needs of the framework's windows. By default: the window map's window
// under a point (Window::WindowFromPoint), the window's handle and its drag-over and drop
// operations. Tests may install their own.
class DragWindows
{
public:
    // The framework window at a screen point, or null (a foreign window, the desktop).
    virtual Window* FromPoint(int x, int y) = 0;
    virtual HWND Handle(Window* window) = 0;
    // The window's drag-over and drop operations, in its client coordinates.
    virtual int OnDragOver(Window* window, int x, int y, intptr_t value1, intptr_t value2) = 0;
    virtual int OnDrop(Window* window, int x, int y, intptr_t value1, intptr_t value2) = 0;

protected:
    ~DragWindows() = default;
};

// The framework's own drag and drop between its windows: the source holds the mouse capture
// while the drag runs and offers the drag to the window under the pointer. Process-wide,
// GUI thread only.
class DragDrop
{
public:
    // Installs windows (null: the framework's own) and answers the one installed before.
    static DragWindows* InstallWindows(DragWindows* windows);

    // Ignored while a drag runs. Takes ownership of dragCursor (may be null).
    static void Begin(Cursor* dragCursor, Window* source, intptr_t value1, intptr_t value2);
    static bool IsSource(const Window* window);
    // From the source's mouse-move handler.
    static void OnMouseMove();
    // From the source's mouse-up handler: releases the capture and drops on the framework
    // window under the pointer, if any; the drag cursor is deleted.
    static void End();
};
