#include "framework/platform/graphics/BitmapFont.h"

#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/BitmapPixels.h"

#ifdef _WIN32
#include "framework/platform/graphics/Graphics.h"
#endif

#include <new>

BitmapFont::BitmapFont() : FontInterface(KindBitmap) {}

BitmapFont* BitmapFont::Clone() const
{
    return new (std::nothrow) BitmapFont(*this);
}

int BitmapFont::Setup(const Bitmap* strip, int firstCharacter, int count)
{
    if (count < 1)
        return 0;
    const int cellWidth = strip ? strip->Width() / count : 6;
    if (cellWidth < 1)
        return 0;
    strip_ = strip;
    first_ = firstCharacter;
    count_ = count;
    cellWidth_ = cellWidth;
    return 1;
}

int BitmapFont::Height() const
{
    return strip_ ? strip_->Height() : 0;
}

int BitmapFont::TextWidth(const StringRef& text) const
{
    return (cellWidth_ + 1) * text.Length();
}

void BitmapFont::GetExtent(const StringRef& text, int& width, int& height) const
{
    width = TextWidth(text);
    height = Height();
}

int BitmapFont::FitCount(const StringRef&, int width) const
{
    return width > 0 ? width / cellWidth_ : 0;
}

int BitmapFont::MeasureWrapped(const StringRef&, int) const
{
    return Height();
}

int BitmapFont::GlyphOffset(char16_t character) const
{
    // Glyph strips hold 7-bit codes only; anything above has no cell.
    if (character > 0x7F)
        return -1;
    const int code = character;
    if (code < first_ || code > first_ + count_ - 1)
        return -1;
    return (code - first_) * cellWidth_;
}

int BitmapFont::StartX(const StringRef& text, const Rect& rect, int alignment) const
{
    const int width = TextWidth(text);
    int x = rect.left;
    if (alignment == AlignRight)
        x = rect.right - width;
    else if (alignment == AlignCenter)
        x = (rect.right - rect.left - width) / 2 + rect.left;
    return x < rect.left ? rect.left : x;
}

template <typename DrawCell>
void BitmapFont::ForEachGlyph(const StringRef& text, const Rect& rect, int alignment, DrawCell drawCell) const
{
    int x = StartX(text, rect, alignment);
    for (int i = 0; i < text.Length(); ++i)
    {
        if (x > rect.right)
            break;
        const int offset = GlyphOffset(text.Buffer()[i]);
        if (offset != -1)
        {
            const int width = x + cellWidth_ > rect.right ? rect.right - x : cellWidth_;
            drawCell(offset, width, x, rect.top);
        }
        x += cellWidth_ + 1;
    }
}

void BitmapFont::DrawText(Bitmap& target, const StringRef& text, const Rect& rect) const
{
    if (!strip_)
        return;
    ForEachGlyph(text, rect, AlignLeft, [&](int offset, int width, int x, int top) {
        target.CopyPixels(*strip_, offset, 0, width, strip_->Height(), x, top, BitmapPixels::CopyBottomUp, 0, 0, 0);
    });
}

#ifdef _WIN32
void BitmapFont::DrawText(Graphics& target, const StringRef& text, const Rect& rect, int alignment) const
{
    if (!strip_)
        return;
    ForEachGlyph(text, rect, alignment, [&](int offset, int width, int x, int top) {
        target.Blit(*strip_, offset, 0, width, strip_->Height(), x, top);
    });
}
#endif
