#pragma once
// What the controls ask of the mouse while they track it: which buttons and modifier keys are
// down and where the cursor is. Frames read the system unless given another source (tests
// script one).

#include "plugins/base/gui/Geometry.h"

#include <cstdint>

// The bits of a button state.
enum MouseButton : int32_t
{
    kMouseLeft = 1,
    kMouseMiddle = 2,
    kMouseRight = 4,
    kMouseShift = 8,
    kMouseControl = 16,
    kMouseAlt = 32,
    kMouseAnyButton = kMouseLeft | kMouseMiddle | kMouseRight,
};

class MouseStateSource
{
public:
    // MouseButton bits of what is down now.
    virtual int32_t GetButtons() const = 0;
    // The cursor in screen coordinates.
    virtual Point GetScreenPosition() const = 0;

protected:
    ~MouseStateSource() = default;
};

// The asynchronous key state (left and right as the user sees them, after any swap) and the
// cursor position.
const MouseStateSource& SystemMouseState();
