#pragma once

#include "framework/base/Object.h"
#include "framework/platform/graphics/BitmapPixels.h"
#include "framework/platform/graphics/Rect.h"

#include <cstdint>

#ifdef _WIN32
#include "framework/platform/Win32Api.h"
#endif

class BitmapImpl;
class FontInterface;
class String;

// A device-independent bitmap whose pixels the framework touches directly: skin images,
// panel backgrounds and off-screen surfaces. Without GDI (the native build) bitmaps live
// in plain memory and only the pixel operations exist.
class Bitmap : public Object
{
public:
    Bitmap();
    ~Bitmap() override;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // A bottom-up bitmap of the template's depth; 0 when the template has no depth.
    int Create(int width, int height, const Bitmap& depthTemplate);
    int Create(int width, int height, int bitsPerPixel);

    // Copies from source into this bitmap; modes as BitmapPixels::CopyMode.
    int CopyPixels(const Bitmap& source, int sx, int sy, int width, int height, int tx, int ty, int mode, int keyX,
                   int keyY, uint32_t keyColour);
    void SetPixel(int x, int y, uint32_t value);
    uint32_t GetPixel(int x, int y) const;
    int ScrollArea(int delta, int x, int y, int width, int height);
    int Blend(double factor, const Bitmap& a, const Bitmap& b, int width, int height, int ax, int ay, int bx, int by,
              int tx, int ty);

    // A .bmp file, checked before it is used (BmpFile); 0 when missing or refused.
    int LoadFile(const String& path);

    int Width() const;
    int Height() const;
    int BitsPerPixel() const;
    uint8_t* Bits() const;
    int Stride() const;

#ifdef _WIN32
    int FillRect(int x, int y, int width, int height, COLORREF colour);
    // clip null: (0, 0, 1000, 1000).
    int DrawText(const String& text, const FontInterface& font, int alignment, int x, int y, COLORREF colour,
                 const Rect* clip);
    int DrawFocusRect(const Rect& rect);
    HBITMAP Handle() const;
    // The bitmap's own memory context, the bitmap selected in it, kept from the first use until
    // the bitmap goes (or is made again); null without a bitmap. Whoever selects something
    // else into it puts the previous object back before returning.
    HDC Context() const;
#endif

    // The pixel description, for pixel work done elsewhere (regions from bitmaps).
    const PixelBuffer& Pixels() const;

private:
    BitmapImpl* impl_; // owned
};
