#pragma once
// Up to 7 decimal digits, each cut from a strip of the pictures 0 to 9.

#include "plugins/base/gui/ControlValues.h"
#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class DigitDisplay : public PluginControl
{
public:
    // The digits stand side by side from the control's corner until placed otherwise; the
    // maximum is 10^digits - 1. The bitmap is remembered.
    DigitDisplay(const Rect& size, PluginBitmap* strip, int32_t digits);
    ~DigitDisplay() override;

    void Draw(DrawContext* context) override;
    // Places digit i (0 is the most significant) relative to the control's corner.
    void SetDigitPosition(int32_t index, const Point& where);
    int32_t GetDigitCount() const { return digits_; }

private:
    PluginBitmap* strip_; // remembered, may be null
    int32_t digits_;
    Point positions_[ControlValues::kMaxDigits];
};
