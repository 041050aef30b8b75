#include "plugins/base/gui/ControlValues.h"

#include <algorithm>

namespace ControlValues {

void SplitDigits(float value, int32_t count, int32_t* digits)
{
    count = std::clamp(count, 1, kMaxDigits);
    int32_t maximum = 1;
    for (int32_t i = 0; i < count; ++i)
    {
        maximum *= 10;
    }
    --maximum;
    // Compared as a float first so that huge values and NaN cannot overflow the conversion.
    int32_t whole = 0;
    if (value >= static_cast<float>(maximum))
    {
        whole = maximum;
    }
    else if (value > 0.0f)
    {
        whole = static_cast<int32_t>(value);
    }
    for (int32_t i = count - 1; i >= 0; --i)
    {
        digits[i] = whole % 10;
        whole /= 10;
    }
}

} // namespace ControlValues
