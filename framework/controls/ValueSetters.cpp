#include "framework/controls/ValueSetters.h"

#include "framework/controls/DataItem.h"

#include <algorithm>
#include <cmath>

void SetItemIntValue(IntItem* item, int32_t value, int redraw, int notify, DataItemListener* excluded)
{
    if (item)
        item->Store(value, redraw, notify, excluded);
}

void SetItemRealValue(RealItem* item, float value, int redraw, int notify, DataItemListener* excluded)
{
    if (item)
        item->SetValue(value, redraw, notify, excluded);
}

void ShowItemLevel(RealItem* item, float level, int notify)
{
    if (!item)
        return;
    const float low = std::min(item->minimum, item->maximum);
    const float high = std::max(item->minimum, item->maximum);
    if (std::isnan(level))
        level = item->minimum;
    else if (!std::isnan(low) && !std::isnan(high))
        level = std::clamp(level, low, high);
    item->SetValue(level, 1, notify, nullptr);
}
