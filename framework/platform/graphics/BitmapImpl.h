#pragma once

#include "framework/base/Object.h"
#include "framework/platform/graphics/BitmapPixels.h"

#include <memory>

#ifdef _WIN32
#include "framework/platform/Win32Api.h"
#endif

class BmpFile;

// The bitmap's storage: a GDI DIB section on Windows, plain memory elsewhere, and the
// cached description of its pixels.
class BitmapImpl : public Object
{
public:
    BitmapImpl();
    ~BitmapImpl() override;
    BitmapImpl(const BitmapImpl&) = delete;
    BitmapImpl& operator=(const BitmapImpl&) = delete;

    // Replace any earlier content; 0 (and no bitmap) on failure.
    int Create(int width, int height, int bitsPerPixel);
    int Load(const BmpFile& file);
    const PixelBuffer& Description() const { return description_; }

#ifdef _WIN32
    HBITMAP Handle() const
    {
        return handle_;
    }
    // The bitmap's own memory context (compatible with the screen) with the bitmap selected,
    // made on first use and deleted with the bitmap; null without a bitmap. Blits and GDI
    // drawing into the bitmap use it instead of making and deleting a context each call, and
    // put back whatever else they select into it.
    HDC Context() const;
#endif

private:
    void Release();

#ifdef _WIN32
    int Describe();
    HBITMAP handle_ = nullptr;               // owned
    mutable HDC context_ = nullptr;          // owned, made by Context(); holds handle_ selected
    mutable HGDIOBJ contextFirst_ = nullptr; // what context_ held before handle_, put back on release
    std::unique_ptr<uint8_t[]> info_;        // the bitmap-info block the section was made from
#else
    std::unique_ptr<uint8_t[]> memory_; // the pixels
#endif
    PixelBuffer description_;
};
