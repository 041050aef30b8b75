#pragma once

#include <cstdint>

class DataItemListener;
class IntItem;
class RealItem;

// The one way the mixer views put a value into an integer or real data item. A range whose
// minimum equals its maximum accepts any value (for reals also a range with a NaN bound). A
// refused value changes nothing, redraws nothing and tells nobody. redraw: every bound control
// but the excluded one redraws; notify: the owner hears the value. A null item does nothing.

// Tells the owner first, then redraws.
void SetItemIntValue(IntItem* item, int32_t value, int redraw, int notify, DataItemListener* excluded);
// NaN is refused by a proper range. Redraws first, then tells the owner the value truncated
// toward zero (NaN as 0, values beyond 32 bits as the nearest 32-bit integer).
void SetItemRealValue(RealItem* item, float value, int redraw, int notify, DataItemListener* excluded);
// A polled level shown by a meter item, redrawn, clamped into the item's range (NaN shows the
// minimum), so a level that falls below the range shows the minimum instead of freezing the
// meter at its last level.
void ShowItemLevel(RealItem* item, float level, int notify);
