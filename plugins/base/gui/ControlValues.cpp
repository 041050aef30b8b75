#include "plugins/base/gui/ControlValues.h"

#include <algorithm>
#include <cmath>

namespace ControlValues
{

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

int32_t FloorPicture(float value, int32_t count)
{
    if (count <= 1 || !(value > 0.0f))
    {
        return 0;
    }
    const double picture = std::floor(static_cast<double>(value) * (count - 1));
    return picture >= count - 1 ? count - 1 : static_cast<int32_t>(picture);
}

int32_t RoundPicture(float value, int32_t count)
{
    if (count <= 1 || !(value > 0.0f))
    {
        return 0;
    }
    const double clamped = std::min(1.0, static_cast<double>(value));
    return static_cast<int32_t>(std::lround(clamped * (count - 1)));
}

float VerticalSwitchValue(int32_t y, int32_t pictureHeight, int32_t count)
{
    if (count <= 1 || pictureHeight <= 0)
    {
        return 0.0f;
    }
    const int32_t band = std::clamp(y < 0 ? 0 : y / pictureHeight, 0, count - 1);
    return static_cast<float>(band) / static_cast<float>(count - 1);
}

float HorizontalSwitchValue(int32_t x, int32_t width, int32_t count)
{
    if (count <= 1 || width < count)
    {
        return 0.0f;
    }
    const int32_t bandWidth = width / count;
    const int32_t band = std::clamp(x <= 0 ? 0 : (x - 1) / bandWidth, 0, count - 1);
    return static_cast<float>(band) / static_cast<float>(count - 1);
}

float KnobValue(int32_t dx, int32_t dy, float minimum, float maximum)
{
    constexpr double kPi = 3.14159265358979323846;
    // Clockwise from the top, 0 <= angle < 360.
    double angle = std::atan2(static_cast<double>(dx), static_cast<double>(-dy)) * 180.0 / kPi;
    if (angle < 0.0)
    {
        angle += 360.0;
    }
    const double turned = std::fmod(angle - 225.0 + 360.0, 360.0);
    if (turned <= 270.0)
    {
        return minimum + static_cast<float>(turned / 270.0) * (maximum - minimum);
    }
    // The gap at the bottom: its left half (180..225) is nearer the minimum.
    return angle > 180.0 ? minimum : maximum;
}

double KnobAngle(float value, float minimum, float maximum)
{
    const double span = static_cast<double>(maximum) - minimum;
    const double share = span != 0.0 ? std::clamp((static_cast<double>(value) - minimum) / span, 0.0, 1.0) : 0.0;
    return 225.0 + 270.0 * share;
}

float MeterFall(float shown, float value, float minimum, float maximum, float step)
{
    const float clamped = value == value ? std::clamp(value, minimum, maximum) : minimum; // NaN: silence
    return std::max(clamped, shown - step);
}

int32_t SliderPosition(float value, int32_t minimum, int32_t maximum, bool zeroAtStart)
{
    double share = value == value ? std::clamp(static_cast<double>(value), 0.0, 1.0) : 0.0;
    if (!zeroAtStart)
    {
        share = 1.0 - share;
    }
    return minimum + static_cast<int32_t>(std::lround(share * (maximum - minimum)));
}

float SliderValue(double position, int32_t minimum, int32_t maximum, bool zeroAtStart)
{
    if (maximum == minimum)
    {
        return 0.0f;
    }
    const double share = std::clamp((position - minimum) / (maximum - minimum), 0.0, 1.0);
    return static_cast<float>(zeroAtStart ? share : 1.0 - share);
}

} // namespace ControlValues
