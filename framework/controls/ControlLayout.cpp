#include "framework/controls/ControlLayout.h"

#include <algorithm>

namespace ControlLayout
{
std::vector<SlicePiece> ThreeSlices(int width, int left, int middle, int right)
{
    std::vector<SlicePiece> pieces;
    if (left > 0)
        pieces.push_back({0, left, 0});
    const int span = width - (left > 0 ? left : 0) - (right > 0 ? right : 0);
    if (middle > 0 && span > 0)
    {
        const int start = left > 0 ? left : 0;
        const int whole = span / middle;
        for (int i = 0; i < whole; ++i)
            pieces.push_back({start, middle, start + i * middle});
        if (span % middle)
            pieces.push_back({start, span % middle, start + whole * middle});
    }
    if (right > 0)
        pieces.push_back({(left > 0 ? left : 0) + (middle > 0 ? middle : 0), right, width - right});
    return pieces;
}

int TooltipWidth(int textWidth, int left, int right)
{
    const int width = left / 2 + right / 2 + textWidth;
    return (width + 7) / 8 * 8;
}

int TextX(int width, int margin, int textWidth, int alignment)
{
    const int available = width - 2 * margin;
    const int counted = std::min(textWidth, available);
    switch (alignment)
    {
    case 1:
        return margin + (available - counted) / 2;
    case 2:
        return width - margin - counted;
    default:
        return margin;
    }
}

Rect EditorBox(const Rect& control, int margin, int fontHeight, int textWidth)
{
    Rect box = {control.left + margin, control.top + margin, control.right - margin, control.bottom - margin};
    const int lower = fontHeight - (box.bottom - box.top);
    if (lower > 0)
    {
        box.top -= lower / 2;
        box.bottom += lower - lower / 2;
    }
    const int missing = textWidth - (box.right - box.left);
    if (textWidth != -1 && missing > 0)
    {
        box.left -= missing / 2 + 2;
        box.right += missing - missing / 2 + 2;
    }
    return box;
}

std::vector<BorderRun> BorderRuns(int x, int y, int width, int height)
{
    const int w = width / kBorderEdge * kBorderEdge;
    const int h = height / kBorderEdge * kBorderEdge;
    const int across = std::max((w - kBorderEdge) / kBorderEdge, 1);
    const int down = std::max((h - kBorderEdge) / kBorderEdge, 1);
    const int right = x + w - kBorderCorner;
    const int bottom = y + h - kBorderCorner;
    return {
        {"tl", x, y, true, 1},
        {"tr", right, y, true, 1},
        {"bl", x, bottom, true, 1},
        {"br", right, bottom, true, 1},
        {"t", x + kBorderCorner, y, true, across},
        {"b", x + kBorderCorner, bottom, true, across},
        {"l", x, y + kBorderCorner, false, down},
        {"r", right, y + kBorderCorner, false, down},
    };
}
}
