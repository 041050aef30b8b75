#include "framework/platform/graphics/Bitmap.h"

#include "framework/base/String.h"
#include "framework/base/AnsiText.h"
#include "framework/platform/graphics/BitmapFont.h"
#include "framework/platform/graphics/BitmapImpl.h"
#include "framework/platform/graphics/Font.h"

#include <string>

int Bitmap::FillRect(int x, int y, int width, int height, COLORREF colour)
{
    HDC context = impl_->Context();
    if (!context)
        return 0;
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush)
        return 0;
    const RECT area = {x, y, x + width, y + height};
    const int filled = ::FillRect(context, &area, brush) ? 1 : 0;
    DeleteObject(brush);
    GdiFlush(); // the pixels are read directly afterwards
    return filled;
}

int Bitmap::DrawText(const String& text, const FontInterface& font, int alignment, int x, int y, COLORREF colour,
                     const Rect* clip)
{
    const Rect area = clip ? *clip : Rect{0, 0, 1000, 1000};
    if (font.GetKind() == FontInterface::KindBitmap)
    {
        // Bitmap fonts draw into bitmaps aligned left, whatever was asked.
        (void)alignment;
        static_cast<const BitmapFont&>(font).DrawText(*this, text, Rect{x, y, area.right, area.bottom});
        return 1;
    }
    if (font.GetKind() != FontInterface::KindGdi)
        return 0;
    HDC context = impl_->Context();
    if (!context)
        return 0;
    const std::string bytes = AnsiText(text);
    const RECT clipArea = {area.left, area.top, area.right, area.bottom};
    HGDIOBJ previous = SelectObject(context, static_cast<const Font&>(font).Handle());
    SetBkMode(context, TRANSPARENT);
    SetTextColor(context, colour);
    const BOOL drawn =
        ExtTextOutA(context, x, y, ETO_CLIPPED, &clipArea, bytes.c_str(), static_cast<UINT>(bytes.size()), nullptr);
    if (previous)
        SelectObject(context, previous);
    GdiFlush();
    return drawn ? 1 : 0;
}

int Bitmap::DrawFocusRect(const Rect& rect)
{
    HDC context = impl_->Context();
    if (!context)
        return 0;
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    const int drawn = ::DrawFocusRect(context, &area) ? 1 : 0;
    GdiFlush();
    return drawn;
}

HBITMAP Bitmap::Handle() const
{
    return impl_->Handle();
}

HDC Bitmap::Context() const
{
    return impl_->Context();
}
