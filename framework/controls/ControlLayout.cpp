#include "framework/controls/ControlLayout.h"

#include "framework/platform/graphics/BitmapPixels.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace ControlLayout
{
namespace
{
// Sums of skin numbers, kept in an int: beyond its range nothing can be drawn anyway.
int ToInt(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}
} // namespace

std::vector<SlicePiece> ThreeSlices(int width, int left, int middle, int right)
{
    std::vector<SlicePiece> pieces;
    if (left > 0)
        pieces.push_back({0, left, 0});
    const int start = left > 0 ? left : 0;
    const int64_t span = int64_t{width} - start - (right > 0 ? right : 0);
    if (middle > 0 && span > 0)
    {
        // No bitmap is wider than kMaxSide: pieces starting beyond it could never be seen.
        const int64_t shown = std::min<int64_t>(span, BitmapPixels::kMaxSide);
        const int whole = static_cast<int>(shown / middle);
        for (int i = 0; i < whole; ++i)
            pieces.push_back({start, middle, start + i * middle});
        if (shown % middle)
            pieces.push_back({start, static_cast<int>(shown % middle), start + whole * middle});
    }
    if (right > 0)
        pieces.push_back({ToInt(int64_t{start} + (middle > 0 ? middle : 0)), right, ToInt(int64_t{width} - right)});
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

const BorderPiece kBorderPieces[kBorderPieceCount] = {
    {"tl", 0, 0, kBorderCorner, kBorderCorner},
    {"tr", kBorderCorner + kBorderEdge, 0, kBorderCorner, kBorderCorner},
    {"bl", 0, kBorderCorner + kBorderEdge, kBorderCorner, kBorderCorner},
    {"br", kBorderCorner + kBorderEdge, kBorderCorner + kBorderEdge, kBorderCorner, kBorderCorner},
    {"t", kBorderCorner, 0, kBorderEdge, kBorderCorner},
    {"b", kBorderCorner, kBorderCorner + kBorderEdge, kBorderEdge, kBorderCorner},
    {"l", 0, kBorderCorner, kBorderCorner, kBorderEdge},
    {"r", kBorderCorner + kBorderEdge, kBorderCorner, kBorderCorner, kBorderEdge},
};

std::vector<BorderRun> BorderRuns(int x, int y, int width, int height)
{
    // Sizes beyond the largest bitmap count as that: the pieces past it could never be seen.
    const int w = std::min(width, BitmapPixels::kMaxSide) / kBorderEdge * kBorderEdge;
    const int h = std::min(height, BitmapPixels::kMaxSide) / kBorderEdge * kBorderEdge;
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

Area PageBorder(int x, int y, int width, int height, int tabHeight)
{
    return {x, y + tabHeight - 1, width / kBorderEdge * kBorderEdge,
            (height - tabHeight + 1) / kBorderEdge * kBorderEdge};
}

void PlacePopup(int centreX, int top, int width, int height, const Area& workArea, int screenWidth, int& x, int& y)
{
    x = centreX - width / 2;
    y = top - height - 2;
    if (x < workArea.x)
        x = workArea.x + 1;
    else if (x + width > workArea.x + workArea.width)
        x = workArea.x + workArea.width - width - 1;
    if (y < workArea.y)
        y = workArea.y + 1;
    else if (y + height > workArea.y + workArea.height)
        y = workArea.y + workArea.height - height - 1;
    // Larger than the work area: at least on the screen.
    if (x < workArea.x || x + width > workArea.x + workArea.width)
        x = std::max(0, std::min(x, screenWidth - width));
    if (y < workArea.y || y + height > workArea.y + workArea.height)
        y = std::max(y, 0);
}
} // namespace ControlLayout
