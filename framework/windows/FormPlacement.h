#pragma once
#include <windows.h>

class Region;
class Window;

// How a skinned popup form (a panel built from its skin) takes its place on the screen:
// centred in the work area, a popup with a system menu, shaped by its skin region when it has
// one. The form hands in the size and shape of its built background.
class FormPlacement
{
public:
    static constexpr DWORD kShapedStyle = WS_POPUP | WS_SYSMENU;
    static constexpr DWORD kPlainStyle = WS_POPUP | WS_VISIBLE | WS_SYSMENU;

    // The corner that centres a width x height form in the work area (halves truncated
    // toward zero; a form larger than the area overhangs it evenly).
    static void Centre(const RECT& workArea, int width, int height, int& x, int& y);

    // Creates the form's window over the primary work area: without a shape it is created
    // visible; with one it is created hidden, given the shape without redrawing and then shown,
    // so it never appears square. Class 0, no title. 0 when the window cannot be created.
    static int Create(Window& form, Window* parent, int width, int height, const Region* shape);
};
