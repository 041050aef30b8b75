#include "framework/controls/PageSelection.h"

#include "framework/controls/DataItem.h"

#include <algorithm>

namespace PageSelection
{
void OnPageAdded(IntItem& selection)
{
    ++selection.maximum;
}

int OnPageRemoved(IntItem& selection, int current, int removed, int pageCount)
{
    selection.maximum = std::max(selection.maximum - 1, selection.minimum);
    const int remaining = pageCount - 1;
    int next = -1;
    if (remaining >= 1)
        next = removed < current ? current - 1 : std::min(current, remaining - 1);
    selection.value = std::max(next, selection.minimum);
    return next;
}
}
