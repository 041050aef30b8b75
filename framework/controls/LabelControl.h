#pragma once

#include "framework/controls/Control.h"

#include <cstdint>

class FontInterface;
class SkinBitmap;

// What the text and link controls share: one line of text in a skin font over an optional
// background (drawn whole, or as a left, middle and right slice stretched to the width), kept
// margin pixels from both sides.
class LabelControl : public Control
{
public:
    const String& GetText() const { return text_; }
    // Replaces the text; a control set up without a width takes the text's width. redraw:
    // the panel redraws the control's rectangle at once.
    int SetText(const String& text, int redraw);
    uint32_t GetColour() const { return colour_; }
    // The text's colour from now on; redraw shows it at once.
    void SetColour(uint32_t colour, int redraw);
    int GetMargin() const { return margin_; }
    // The text's width in the control's font; 0 without a font.
    int TextWidth(const String& text) const;

protected:
    explicit LabelControl(int type) : Control(type) {}

    // Sizes the control: a whole background gives its size; a sliced one its height and the
    // given width; without one the font's height and the given width, or (width -1) the text's.
    int SetupLabel(int x, int y, const String& name, const String& text, FontInterface* font, uint32_t colour,
                   uint32_t disabledColour, int width, int alignment, SkinBitmap* background, int leftWidth,
                   int midWidth, int rightWidth, int margin);
    // Background, then the text in the colour or, disabled, the disabled colour.
    void DrawLabel();
    // Recomposes the control's area in its panel, so that a shorter text leaves nothing behind.
    void Redraw();
    FontInterface* GetFont() const { return font_; }

    String text_;
    uint32_t colour_ = 0;

private:
    int SizesToText() const { return givenWidth_ == -1 && !(background_ && leftWidth_ == -1); }

    FontInterface* font_ = nullptr; // borrowed from the skin
    uint32_t disabledColour_ = 0x808080;
    int givenWidth_ = -1;
    int alignment_ = 0;
    SkinBitmap* background_ = nullptr; // borrowed from the skin
    int leftWidth_ = -1;
    int midWidth_ = 0;
    int rightWidth_ = 0;
    int margin_ = 0;
};
