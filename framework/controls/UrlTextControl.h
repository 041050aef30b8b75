#pragma once

#include "framework/controls/LabelControl.h"

#include <cstdint>

// A link (type 2): a text the shell opens when clicked. The first click that opens it shows
// it in the visited colour for good.
class UrlTextControl : public LabelControl
{
public:
    static constexpr uint32_t kVisitedColour = 0xDD00DD;

    UrlTextControl() : LabelControl(TypeUrlText) {}

    int Setup(int x, int y, const String& name, const String& text, FontInterface* font, uint32_t linkColour,
              uint32_t disabledTextColour, int width, int alignment, SkinBitmap* background, int leftWidth,
              int midWidth, int rightWidth, int margin);
    // Nothing, not even the background, for an empty text.
    void Draw() override;
    // A text too long for the shell is refused whole, not opened cut.
    void OnMouseDown(WPARAM flags, int x, int y) override;
};
