#pragma once

// Left, top, right, bottom; right and bottom exclusive.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
