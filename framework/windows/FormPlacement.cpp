#include "framework/windows/FormPlacement.h"

#include "framework/platform/graphics/Region.h"
#include "framework/windows/Window.h"

void FormPlacement::Centre(const RECT& workArea, int width, int height, int& x, int& y)
{
    // Relative to the area's own corner: a taskbar on the left or at the top moves the area.
    x = workArea.left + (workArea.right - workArea.left - width) / 2;
    y = workArea.top + (workArea.bottom - workArea.top - height) / 2;
}

int FormPlacement::Create(Window& form, Window* parent, int width, int height, const Region* shape)
{
    RECT work;
    Window::GetWorkArea(work);
    int x = 0;
    int y = 0;
    Centre(work, width, height, x, y);
    if (!form.Create(nullptr, shape ? kShapedStyle : kPlainStyle, x, y, width, height, parent, 0, 0))
        return 0;
    if (shape)
    {
        form.SetRegion(shape, 0);
        form.Show(SW_SHOW);
    }
    return 1;
}
