#include "framework/dialogs/DialogGeometry.h"

#include <algorithm>

namespace
{
// The system's hit-test codes (winuser.h), which this portable code cannot include.
enum HitCode
{
    kCaption = 2,
    kLeft = 10,
    kRight = 11,
    kTop = 12,
    kTopLeft = 13,
    kTopRight = 14,
    kBottom = 15,
    kBottomLeft = 16,
    kBottomRight = 17
};
} // namespace

int DialogGeometry::RoundToTiles(int size, int before, int after, int tile, int& rounded)
{
    if (tile < 1)
        return 0;
    const int inner = std::max(size - before - after, 0);
    rounded = before + (inner + tile - 1) / tile * tile + after;
    return 1;
}

void DialogGeometry::Place(const Rect* owner, const Rect& work, int width, int height, int& x, int& y)
{
    if (!owner)
    {
        x = work.left + (work.right - work.left - width) / 2;
        y = work.top + (work.bottom - work.top - height) / 2;
        return;
    }
    x = owner->left + (owner->right - owner->left - width) / 2;
    y = owner->top + (owner->bottom - owner->top - height) / 2;
    if (x + width > work.right)
        x = work.right - width - 1;
    if (y + height > work.bottom)
        y = work.bottom - height - 1;
    if (x < work.left)
        x = work.left + 1;
    if (y < work.top)
        y = work.top + 1;
}

int DialogGeometry::ButtonRowWidth(int type, const ButtonRow& row)
{
    const int s = row.segments;
    const int icons = row.tick + row.cross;
    switch (type)
    {
    case 0:
        return row.ok + 2 * s + row.tick;
    case 1:
        return row.ok + row.cancel + 5 * s + icons;
    case 2:
    case 5:
        return row.yes + row.no + row.cancel + 8 * s + icons;
    case 3:
        return row.yes + row.no + 5 * s + icons;
    case 4:
        return row.cancel + row.no + 6 * s + icons;
    default:
        return 0;
    }
}

int DialogGeometry::MessageBoxWidth(int workWidth, int titleWidth, int minWidth)
{
    const int maxWidth = 2 * (workWidth / 3);
    if (titleWidth > maxWidth)
        return maxWidth;
    int width = 300;
    if (titleWidth < minWidth)
        width = std::max(300, minWidth);
    return std::max(width, titleWidth);
}

int DialogGeometry::Tiles(int span, int piece, int& whole, int& rest)
{
    whole = 0;
    rest = 0;
    if (piece < 1)
        return 0;
    if (span > 0)
    {
        whole = span / piece;
        rest = span % piece;
    }
    return 1;
}

int DialogGeometry::FrameHitTest(const Rect& content, int x, int y)
{
    const bool left = x < content.left;
    const bool right = x > content.right;
    const bool top = y < content.top;
    const bool bottom = y > content.bottom;
    if (left && top)
        return kTopLeft;
    if (right && top)
        return kTopRight;
    if (left && bottom)
        return kBottomLeft;
    if (right && bottom)
        return kBottomRight;
    if (left)
        return kLeft;
    if (right)
        return kRight;
    if (top)
        return kTop;
    if (bottom)
        return kBottom;
    return kCaption;
}
