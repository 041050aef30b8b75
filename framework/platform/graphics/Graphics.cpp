#include "framework/platform/graphics/Graphics.h"

#include "framework/base/AnsiText.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/BitmapFont.h"
#include "framework/platform/graphics/Font.h"
#include "framework/platform/graphics/GraphicsImpl.h"

#include <string>

namespace
{
RECT ToRECT(const Rect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

// Selects a GDI object for the scope of one drawing call.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// DrawText's horizontal flags as a bitmap font's alignment (the two number them differently).
int BitmapAlignment(UINT format)
{
    if (format & DT_RIGHT)
        return BitmapFont::AlignRight;
    if (format & DT_CENTER)
        return BitmapFont::AlignCenter;
    return BitmapFont::AlignLeft;
}
} // namespace

Graphics::Graphics() : impl_(new GraphicsImpl()) {}

Graphics::~Graphics()
{
    delete impl_;
}

void Graphics::AttachDC(HDC dc)
{
    impl_->AttachDC(dc);
}

int Graphics::AttachWindow(HWND window)
{
    return impl_->AttachWindow(window);
}

HDC Graphics::GetDC() const
{
    return impl_->DC();
}

void Graphics::FillRect(const Rect& rect, COLORREF colour)
{
    HDC dc = impl_->DC();
    HBRUSH brush = CreateSolidBrush(colour);
    if (!dc || !brush)
    {
        if (brush)
            DeleteObject(brush);
        return;
    }
    const RECT area = ToRECT(rect);
    ::FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void Graphics::FrameRect(const Rect& rect, COLORREF colour)
{
    const POINT outline[5] = {{rect.left, rect.top},
                              {rect.right - 1, rect.top},
                              {rect.right - 1, rect.bottom - 1},
                              {rect.left, rect.bottom - 1},
                              {rect.left, rect.top}};
    Polyline(outline, 5, colour);
}

void Graphics::Ellipse(const Rect& rect, COLORREF pen, COLORREF fill)
{
    HDC dc = impl_->DC();
    HPEN penHandle = CreatePen(PS_SOLID, 1, pen);
    HBRUSH brush = CreateSolidBrush(fill);
    if (dc && penHandle && brush)
    {
        Selection selectPen(dc, penHandle);
        Selection selectBrush(dc, brush);
        ::Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    if (penHandle)
        DeleteObject(penHandle);
    if (brush)
        DeleteObject(brush);
}

void Graphics::Polyline(const POINT* points, int count, COLORREF colour)
{
    HDC dc = impl_->DC();
    if (!dc || !points || count < 2)
        return;
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    if (!pen)
        return;
    {
        Selection selectPen(dc, pen);
        ::Polyline(dc, points, count);
    }
    DeleteObject(pen);
}

void Graphics::DrawFocusRect(const Rect& rect)
{
    HDC dc = impl_->DC();
    const RECT area = ToRECT(rect);
    if (dc)
        ::DrawFocusRect(dc, &area);
}

void Graphics::TextOut(const StringRef& text, int x, int y, const Rect& clip, const FontInterface& font,
                       COLORREF colour)
{
    if (font.GetKind() == FontInterface::KindBitmap)
    {
        static_cast<const BitmapFont&>(font).DrawText(*this, text, Rect{x, y, clip.right, clip.bottom},
                                                      BitmapFont::AlignLeft);
        return;
    }
    HDC dc = impl_->DC();
    if (!dc || font.GetKind() != FontInterface::KindGdi)
        return;
    const std::string bytes = AnsiText(text);
    const RECT area = ToRECT(clip);
    Selection selectFont(dc, static_cast<const Font&>(font).Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &area, bytes.c_str(), static_cast<UINT>(bytes.size()), nullptr);
}

void Graphics::DrawText(const StringRef& text, const Rect& rect, const FontInterface& font, COLORREF colour,
                        UINT format)
{
    if (font.GetKind() == FontInterface::KindBitmap)
    {
        static_cast<const BitmapFont&>(font).DrawText(*this, text, rect, BitmapAlignment(format));
        return;
    }
    HDC dc = impl_->DC();
    if (!dc || font.GetKind() != FontInterface::KindGdi)
        return;
    const std::string bytes = AnsiText(text);
    RECT area = ToRECT(rect);
    Selection selectFont(dc, static_cast<const Font&>(font).Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    ::DrawTextA(dc, bytes.c_str(), -1, &area, format | DT_NOPREFIX);
}

void Graphics::Blit(const Bitmap& bitmap, int sx, int sy, int width, int height, int tx, int ty)
{
    HDC dc = impl_->DC();
    if (!dc)
        return;
    // The bitmap's own context: none is made and deleted per blit.
    HDC source = bitmap.Context();
    if (source)
        BitBlt(dc, tx, ty, width, height, source, sx, sy, SRCCOPY);
}

void Graphics::StretchBlit(const Bitmap& bitmap, int sx, int sy, int width, int height, int tx, int ty, int targetWidth,
                           int targetHeight)
{
    HDC dc = impl_->DC();
    if (!dc)
        return;
    HDC source = bitmap.Context();
    if (source)
        StretchBlt(dc, tx, ty, targetWidth, targetHeight, source, sx, sy, width, height, SRCCOPY);
}

int Graphics::GetClipBox(Rect& rect) const
{
    HDC dc = impl_->DC();
    RECT box = {};
    if (!dc || ::GetClipBox(dc, &box) == ERROR)
        return 0;
    rect = Rect{box.left, box.top, box.right, box.bottom};
    return 1;
}
