#pragma once

#include "framework/controls/TextControl.h"

class ResponseFunction;

// A text control (type 4) that shows a numeric item with a fixed number of decimals ("-"
// without one) and stores what is typed into it: through the response function's inverse map
// when the application set one, refused by the item when out of its range.
class NumericDisplay : public TextControl
{
public:
    NumericDisplay() : TextControl(TypeNumericDisplay) {}
    ~NumericDisplay() override;

    int Setup(int x, int y, const String& name, FontInterface* font, FontInterface* editFont, uint32_t textColour,
              uint32_t disabledTextColour, int decimals, int width, int alignment, SkinBitmap* background,
              int leftWidth, int midWidth, int rightWidth);
    // Parses the text as a real number into an integer or real item; other items stay.
    void SetFromText(const String& text, int update);
    // Borrowed; null shows and stores the item's own values.
    void SetResponseFunction(const ResponseFunction* response) { responseFunction_ = response; }

protected:
    void UpdateText() override;
    int EditorText(String& out) const override;
    int EditorTextWidth(const FontInterface& font, const String& text) const override;
    void Commit(const String& typed) override;

private:
    int decimals_ = 2;
    const ResponseFunction* responseFunction_ = nullptr; // borrowed
};
