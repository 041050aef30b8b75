#pragma once

#include <windows.h>

class Window;

// What the main frame's toolbars (the main toolbar and the strips toolbar) ask of the frame
// that holds them. User-interface thread only.
class ToolbarHost
{
public:
    // The toolbars' parent.
    virtual Window& GetToolbarParent() = 0;
    // The main toolbar's toggles of the floating windows.
    virtual void ShowFxPalette(int on) = 0;
    virtual void ShowSyncPanel(int on) = 0;
    // The strips toolbar's commands; "collapse" reaches the frame as its toolbar message
    // (kCollapse), which it leaves alone.
    virtual void CreateStrip() = 0;
    virtual void DeleteStrip() = 0;
    virtual void CollapseStrips() = 0;
    // The wheel over a toolbar scrolls as over the frame.
    virtual void OnToolbarWheel(WPARAM wParam, int x, int y) = 0;

protected:
    ~ToolbarHost() = default;
};
