#include "mixer/views/FrameLayout.h"

#include <algorithm>
#include <cstdlib>

namespace FrameLayout
{
namespace
{
// Moves [start, start + length) into [low, high), the length already no larger.
int Into(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}
} // namespace

Rect ClampIntoWorkArea(const Rect& frame, const Rect& workArea)
{
    const int width = std::min(frame.right - frame.left, workArea.right - workArea.left);
    const int height = std::min(frame.bottom - frame.top, workArea.bottom - workArea.top);
    Rect result;
    result.left = Into(frame.left, width, workArea.left, workArea.right);
    result.top = Into(frame.top, height, workArea.top, workArea.bottom);
    result.right = result.left + width;
    result.bottom = result.top + height;
    return result;
}

Rect SyncPanelPlace(int x, int y, int width, int height, const Rect& workArea)
{
    if (x < workArea.left || x >= workArea.right || y < workArea.top || y >= workArea.bottom)
    {
        x = workArea.left + 20;
        y = workArea.top + 20;
    }
    return ClampIntoWorkArea(RectAt(x, y, width, height), workArea);
}

ScrollSettings HorizontalScroll(int areaWidth, int stripsWidth, int storedPosition)
{
    int total = std::max(stripsWidth, kMinStripsWidth);
    // A pixel either way is the same width: no half strip to scroll to.
    if (std::abs(total - areaWidth) <= 1)
        total = areaWidth;
    const int visibleStrips = areaWidth / kStripWidth;
    ScrollSettings settings;
    settings.range = std::max(0, total / kStripWidth - visibleStrips);
    settings.position = std::clamp(storedPosition, 0, settings.range);
    settings.visible = visibleStrips * kStripWidth + (total == areaWidth ? 1 : 0);
    settings.total = (total / kStripWidth) * kStripWidth;
    return settings;
}

ScrollSettings VerticalScroll(int rows, int rowHeight, int visibleRows, int position)
{
    ScrollSettings settings;
    settings.range = std::max(0, rows - visibleRows + 1);
    settings.position = std::clamp(position, 0, std::max(0, settings.range - 1));
    settings.visible = visibleRows * rowHeight;
    settings.total = (rows + 1) * rowHeight;
    return settings;
}

int FitShrink(int areaWidth, int stripsWidth)
{
    if (stripsWidth < kMinStripsWidth)
        return 0;
    if (areaWidth > stripsWidth)
        return areaWidth - stripsWidth;
    return std::max(0, areaWidth % kStripWidth);
}

int SwitchViewMode(int current, int requested, ViewModeViews& views)
{
    if (requested == current && requested != kModeNext && requested != kModeToolbarAgain && requested != kModeNone)
        return current;
    int target = requested;
    for (;;)
    {
        if (current >= kModeStrips && current <= kModeLogo)
            views.LeaveMode(current);
        switch (target)
        {
        case kModeStrips:
            if (!views.HasStripSection())
            {
                views.EnterMode(kModeMainSecond);
                return kModeMainSecond;
            }
            views.EnterMode(kModeStrips);
            return kModeStrips;
        case kModeMainFirst:
        case kModeMainSecond:
        case kModeToolbar:
        case kModeLogo:
            views.EnterMode(target);
            return target;
        case kModeNext:
            // From the logo, and from no mode at all, round to the strips.
            target = current >= kModeStrips && current < kModeLogo ? current + 1 : kModeStrips;
            break;
        case kModeToolbarAgain:
            target = kModeToolbar;
            break;
        default:
            return current;
        }
    }
}
} // namespace FrameLayout
