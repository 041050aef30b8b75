#include "mixer/views/StripRules.h"

#include <algorithm>

namespace StripRules
{
int ScrollPosition(int position, int maximum, int direction)
{
    if (direction < 0 && position >= 1)
        return position - 1;
    if (direction > 0 && position < maximum)
        return position + 1;
    return position;
}

int VisiblePosition(int x, int width, int position, int sectionWidth)
{
    const int left = position * kStripStep;
    const int right = left + sectionWidth;
    if (left <= x && x + width <= right)
        return position;
    if (x < left)
        return position - (left - x + kStripStep - 1) / kStripStep;
    return position + (x + width - right + kStripStep - 1) / kStripStep;
}

int StripX(const std::vector<std::vector<int>>& widths, int spacing, int group, int view)
{
    if (group < 0 || group >= static_cast<int>(widths.size()) || view < 0 ||
        view >= static_cast<int>(widths[group].size()))
        return -1;
    int x = 0;
    for (int g = 0; g < group; ++g)
    {
        for (int w : widths[g])
            x += w;
        x += spacing;
    }
    for (int v = 0; v < view; ++v)
        x += widths[group][v];
    return x;
}

bool Navigate(const std::vector<int>& groupSizes, Place focused, int key, Place& target)
{
    const int groups = static_cast<int>(groupSizes.size());
    const int g = focused.group, p = focused.view;
    if (g < 0 || g >= groups)
        return false;
    if (key == kKeyLeft)
    {
        if (p > 0)
            target = {g, p - 1};
        else if (g >= 2 && groupSizes[g - 1] > 0)
            target = {g - 1, groupSizes[g - 1] - 1};
        else
            return false;
        return true;
    }
    if (key == kKeyRight)
    {
        if (p < groupSizes[g] - 1)
            target = {g, p + 1};
        else if (g + 1 <= groups - 2 && groupSizes[g + 1] > 0)
            target = {g + 1, 0};
        else
            return false;
        return true;
    }
    return false;
}

std::vector<int> MoveOrder(int count, int from, int to)
{
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
        if (i != from)
            order.push_back(i);
    const int at = std::clamp(to, 0, static_cast<int>(order.size()));
    order.insert(order.begin() + at, from);
    return order;
}

std::vector<int> MoveViews(const std::vector<int>& xs, int from, int to, int width)
{
    const int count = static_cast<int>(xs.size());
    if (from < 0 || from >= count)
        return xs;
    const int target = xs[std::clamp(to, 0, count - 1)];
    std::vector<int> rest;
    for (int i = 0; i < count; ++i)
        if (i != from)
            rest.push_back(xs[i]);
    const int remaining = static_cast<int>(rest.size());
    if (to < from)
    {
        for (int i = std::max(to, 0); i < std::min(from, remaining); ++i)
            rest[i] += width;
    }
    else
    {
        for (int i = from; i < std::min(to, remaining); ++i)
            rest[i] -= width;
    }
    rest.insert(rest.begin() + std::clamp(to, 0, remaining), target);
    return rest;
}
} // namespace StripRules
