#include "framework/controls/NumericDisplay.h"

#include "framework/controls/NumericText.h"
#include "framework/platform/graphics/FontInterface.h"

NumericDisplay::~NumericDisplay()
{
    CloseOwnEditor();
}

int NumericDisplay::Setup(int x, int y, const String& name, FontInterface* font, FontInterface* editFont,
                          uint32_t textColour, uint32_t disabledTextColour, int decimals, int width, int alignment,
                          SkinBitmap* background, int leftWidth, int midWidth, int rightWidth)
{
    decimals_ = decimals;
    return TextControl::Setup(x, y, name, String(), font, editFont, textColour, disabledTextColour, width, alignment,
                              background, leftWidth, midWidth, rightWidth, 0, 0);
}

void NumericDisplay::UpdateText()
{
    NumericText::DisplayText(GetItem(), decimals_, responseFunction_, text_);
}

void NumericDisplay::SetFromText(const String& text, int update)
{
    NumericText::StoreEntry(GetItem(), text, responseFunction_, update);
}

int NumericDisplay::EditorText(String& out) const
{
    return NumericText::EditorText(GetItem(), decimals_, text_, out);
}

int NumericDisplay::EditorTextWidth(const FontInterface& font, const String& text) const
{
    return text.Length() ? font.TextWidth(text) : 0;
}

void NumericDisplay::Commit(const String& typed)
{
    if (GetItem())
        SetFromText(typed, 1);
}
