// Real pointer input for Windows tests: it goes through the system's queue to whichever window
// is under the pointer, in this process or another, as a person's would.
#pragma once

#include <windows.h>

// Moves the pointer to a screen point and sends the button flags there (0: a move only).
inline void SendMouse(DWORD flags, int screenX, int screenY)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screenX * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screenY * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof input);
}
