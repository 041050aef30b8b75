#pragma once

// Left, top, right, bottom; right and bottom exclusive.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The rectangle of that size at (left, top).
inline Rect RectAt(int left, int top, int width, int height)
{
    Rect rect;
    rect.left = left;
    rect.top = top;
    rect.right = left + width;
    rect.bottom = top + height;
    return rect;
}
