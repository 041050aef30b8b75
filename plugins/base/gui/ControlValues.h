#pragma once
// The value rules of the controls, apart from their drawing.

#include <cstdint>

namespace ControlValues {

// An on/off button shows its "on" picture for any non-zero value...
constexpr bool ShowsOn(float value) { return value != 0.0f; }
// ...but a click judges by the integer part: 0.3 counts as off and becomes 1.
constexpr float Toggled(float value) { return static_cast<int32_t>(value) != 0 ? 0.0f : 1.0f; }

constexpr int32_t kMaxDigits = 7;
// The decimal digits of a digit display, most significant first: the value's integer part
// clamped to 0 .. 10^count - 1. The count is clamped to 1 .. 7.
void SplitDigits(float value, int32_t count, int32_t* digits);

} // namespace ControlValues
