#pragma once

#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Rect.h"

#ifdef _WIN32
#include "framework/platform/Win32Api.h"
#endif

class Bitmap;
class Graphics;

// A font cut from a skin image: a strip of equally wide glyph cells, one per character code
// from the first character on. Glyphs are drawn one pixel apart; bitmap fonts never wrap.
class BitmapFont : public FontInterface
{
public:
    enum Alignment
    {
        AlignLeft = 0,
        AlignRight = 1,
        AlignCenter = 2
    };

    BitmapFont();

    BitmapFont* Clone() const override;

    // Cell width = strip width / count (6 without a strip). Answers 0 and keeps the font as
    // it was when count < 1 or the cells would be narrower than a pixel.
    int Setup(const Bitmap* strip, int firstCharacter, int count);

    int Height() const override;
    int TextWidth(const StringRef& text) const override;
    void GetExtent(const StringRef& text, int& width, int& height) const override;
    int FitCount(const StringRef& text, int width) const override;
    int MeasureWrapped(const StringRef& text, int width) const override;

    int CellWidth() const { return cellWidth_; }
    // The left edge of the character's cell in the strip, or -1 without a glyph.
    int GlyphOffset(char16_t character) const;
    // Where a text of this font starts inside rect for the alignment (never left of it).
    int StartX(const StringRef& text, const Rect& rect, int alignment) const;

    // Into a bitmap always aligned left; the cells are copied whole, key colour included.
    void DrawText(Bitmap& target, const StringRef& text, const Rect& rect) const;
#ifdef _WIN32
    void DrawText(Graphics& target, const StringRef& text, const Rect& rect, int alignment) const;
#endif

private:
    template <typename DrawCell>
    void ForEachGlyph(const StringRef& text, const Rect& rect, int alignment, DrawCell drawCell) const;

    const Bitmap* strip_ = nullptr; // borrowed: the skin's image
    int first_ = 0;
    int count_ = 0;
    int cellWidth_ = 6;
};
