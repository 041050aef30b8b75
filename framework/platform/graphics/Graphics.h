#pragma once

#include "framework/base/Object.h"
#include "framework/base/StringRef.h"
#include "framework/platform/graphics/Rect.h"

#include "framework/platform/Win32Api.h"

class Bitmap;
class FontInterface;
class GraphicsImpl;

// The drawing context paint handlers receive. Colours are COLORREF values.
class Graphics : public Object
{
public:
    Graphics();
    ~Graphics() override;
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // A context obtained elsewhere (a paint handler's); not released here.
    void AttachDC(HDC dc);
    // GetDC of the window (a framework window's handle), released with this object; 0 without
    // a handle or context.
    int AttachWindow(HWND window);
    HDC GetDC() const;

    void FillRect(const Rect& rect, COLORREF colour);
    void FrameRect(const Rect& rect, COLORREF colour);
    void Ellipse(const Rect& rect, COLORREF pen, COLORREF fill);
    void Polyline(const POINT* points, int count, COLORREF colour);
    void DrawFocusRect(const Rect& rect);
    void TextOut(const StringRef& text, int x, int y, const Rect& clip, const FontInterface& font, COLORREF colour);
    // format: DrawText flags; a bitmap font takes the horizontal alignment from them.
    void DrawText(const StringRef& text, const Rect& rect, const FontInterface& font, COLORREF colour, UINT format);
    void Blit(const Bitmap& bitmap, int sx, int sy, int width, int height, int tx, int ty);
    void StretchBlit(const Bitmap& bitmap, int sx, int sy, int width, int height, int tx, int ty, int targetWidth,
                     int targetHeight);
    int GetClipBox(Rect& rect) const;

private:
    GraphicsImpl* impl_; // owned
};
