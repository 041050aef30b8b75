#include "mixer/views/FxPaletteRules.h"

#include <algorithm>
#include <climits>

#include "mixer/views/FrameLayout.h"

namespace FxPaletteRules
{
namespace
{
// Distance (squared) of a point from a rectangle, 0 inside it.
long long DistanceSquared(const Rect& rect, int x, int y)
{
    const long long dx = x < rect.left ? rect.left - x : (x >= rect.right ? x - (rect.right - 1) : 0);
    const long long dy = y < rect.top ? rect.top - y : (y >= rect.bottom ? y - (rect.bottom - 1) : 0);
    return dx * dx + dy * dy;
}
} // namespace

Rect PalettePlace(int storedX, int storedY, int width, int height, const std::vector<Monitor>& monitors,
                  const Rect& parentWorkArea)
{
    if (!monitors.empty())
    {
        Rect screen = monitors.front().bounds;
        for (const Monitor& monitor : monitors)
        {
            screen.left = std::min(screen.left, monitor.bounds.left);
            screen.top = std::min(screen.top, monitor.bounds.top);
            screen.right = std::max(screen.right, monitor.bounds.right);
            screen.bottom = std::max(screen.bottom, monitor.bounds.bottom);
        }
        if (storedX >= screen.left && storedX <= screen.right && storedY >= screen.top && storedY <= screen.bottom)
        {
            const Monitor* nearest = &monitors.front();
            long long best = LLONG_MAX;
            for (const Monitor& monitor : monitors)
            {
                const long long distance = DistanceSquared(monitor.workArea, storedX, storedY);
                if (distance < best)
                {
                    best = distance;
                    nearest = &monitor;
                }
            }
            return FrameLayout::ClampIntoWorkArea(RectAt(storedX, storedY, width, height), nearest->workArea);
        }
    }
    return RectAt(parentWorkArea.left + kDefaultOffset, parentWorkArea.top + kDefaultOffset, width, height);
}

int PresetEffectCount(int stored)
{
    return std::clamp(stored, 0, kMaxPresetEffects);
}

int ContentHeight(Shown shown, int effectCount, int lineHeight)
{
    switch (shown)
    {
    case Shown::Nothing:
    case Shown::CoreNode:
        return 0;
    case Shown::Line:
        return lineHeight + 2;
    case Shown::Preset:
        return (PresetEffectCount(effectCount) + 1) * (lineHeight + 1) + 2;
    }
    return 0;
}

InspectorScroll LayoutScroll(int contentHeight, int windowHeight, int position)
{
    InspectorScroll scroll;
    scroll.maximum = std::max(0, contentHeight / kScrollStep - windowHeight / kScrollStep);
    scroll.position = std::max(0, std::min(position, scroll.maximum - 1));
    return scroll;
}

namespace
{
bool Append(std::vector<char>& list, const std::string& path)
{
    // A zero byte inside a path would end the list early: another folder would be copied.
    if (path.find('\0') != std::string::npos)
        return false;
    list.insert(list.end(), path.begin(), path.end());
    list.push_back('\0');
    return true;
}
} // namespace

bool SourceList(const std::string& first, const std::string& second, std::vector<char>& list)
{
    list.clear();
    if (first.empty() || !Append(list, first) || (!second.empty() && !Append(list, second)))
    {
        list.clear();
        return false;
    }
    list.push_back('\0');
    if (list.size() > kSourceListRoom)
    {
        list.clear();
        return false;
    }
    return true;
}

} // namespace FxPaletteRules
