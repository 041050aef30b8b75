#include "plugins/base/gui/MouseState.h"

#include <windows.h>

namespace
{

class SystemMouse final : public MouseStateSource
{
public:
    int32_t GetButtons() const override
    {
        const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
        int32_t buttons = 0;
        if (GetAsyncKeyState(swapped ? VK_RBUTTON : VK_LBUTTON) < 0)
            buttons |= kMouseLeft;
        if (GetAsyncKeyState(VK_MBUTTON) < 0)
            buttons |= kMouseMiddle;
        if (GetAsyncKeyState(swapped ? VK_LBUTTON : VK_RBUTTON) < 0)
            buttons |= kMouseRight;
        if (GetAsyncKeyState(VK_SHIFT) < 0)
            buttons |= kMouseShift;
        if (GetAsyncKeyState(VK_CONTROL) < 0)
            buttons |= kMouseControl;
        if (GetAsyncKeyState(VK_MENU) < 0)
            buttons |= kMouseAlt;
        return buttons;
    }

    Point GetScreenPosition() const override
    {
        POINT where{};
        GetCursorPos(&where);
        return Point(where.x, where.y);
    }
};

} // namespace

const MouseStateSource& SystemMouseState()
{
    static const SystemMouse mouse;
    return mouse;
}
