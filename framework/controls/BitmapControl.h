#pragma once

#include "framework/controls/Control.h"

class SkinBitmap;

// One skin image; clicks pass through it to the control below.
class BitmapControl : public Control
{
public:
    BitmapControl() : Control(TypeBitmap) {}

    // The size is the bitmap's when there is one.
    int Setup(int x, int y, const String& name, SkinBitmap* bitmap);
    void Draw() override;

private:
    SkinBitmap* bitmap_ = nullptr; // borrowed from the skin
};
