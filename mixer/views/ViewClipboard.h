#pragma once

#include "framework/controls/ControlClipboard.h"

// The mixer's one clipboard of its controls' menus; its texts keep up to 199 units.
inline ControlClipboard& ViewClipboard()
{
    return ControlClipboard::Shared(199);
}
