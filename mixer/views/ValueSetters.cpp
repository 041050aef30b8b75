#include "mixer/views/ValueSetters.h"

#include "framework/controls/DataItem.h"

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
