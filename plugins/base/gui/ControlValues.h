#pragma once
// The value rules of the controls, apart from their drawing.

#include <cstdint>

namespace ControlValues
{

// An on/off button shows its "on" picture for any non-zero value...
constexpr bool ShowsOn(float value)
{
    return value != 0.0f;
}
// ...but a click judges by the integer part: 0.3 counts as off and becomes 1.
constexpr float Toggled(float value)
{
    return static_cast<int32_t>(value) != 0 ? 0.0f : 1.0f;
}

constexpr int32_t kMaxDigits = 7;
// The decimal digits of a digit display, most significant first: the value's integer part
// clamped to 0 .. 10^count - 1. The count is clamped to 1 .. 7.
void SplitDigits(float value, int32_t count, int32_t* digits);

// Picture k of a strip of n for a value in 0..1: floor(value * (n - 1)), within the strip.
int32_t FloorPicture(float value, int32_t count);
// The same rounded to the nearest picture; values above 1 count as 1.
int32_t RoundPicture(float value, int32_t count);

// A vertical switch: n bands of one picture height; a position on a band boundary belongs to
// the next band. The value is k / (n - 1).
float VerticalSwitchValue(int32_t y, int32_t pictureHeight, int32_t count);
// A horizontal switch: n bands across the width; a boundary belongs to the lower band.
float HorizontalSwitchValue(int32_t x, int32_t width, int32_t count);

// A knob turns through 270 degrees clockwise from 225 degrees (measured clockwise from the
// top); the 90-degree gap at the bottom snaps to the nearer end. dx, dy: the mouse relative
// to the knob's centre, y downwards.
float KnobValue(int32_t dx, int32_t dy, float minimum, float maximum);
// The angle (degrees clockwise from the top) at which a knob shows the value.
double KnobAngle(float value, float minimum, float maximum);

// A level meter's next shown value: clamped to minimum..maximum and falling by at most the
// step from the one shown before.
float MeterFall(float shown, float value, float minimum, float maximum, float step);

// A slider's handle position for a value in 0..1 between its minimum and maximum position;
// zeroAtStart puts value 0 at the minimum position (top or left).
int32_t SliderPosition(float value, int32_t minimum, int32_t maximum, bool zeroAtStart);
// The value of a handle position, clamped to 0..1.
float SliderValue(double position, int32_t minimum, int32_t maximum, bool zeroAtStart);

} // namespace ControlValues
