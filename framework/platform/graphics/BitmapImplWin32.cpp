#include "framework/platform/graphics/BitmapImpl.h"

#include "framework/platform/graphics/BmpFile.h"
#include "framework/platform/graphics/ScreenContext.h"

#include <cstring>
#include <new>

BitmapImpl::BitmapImpl() = default;

BitmapImpl::~BitmapImpl()
{
    Release();
}

void BitmapImpl::Release()
{
    if (context_)
    {
        // The section can only be deleted once no context holds it.
        if (contextFirst_)
            SelectObject(context_, contextFirst_);
        DeleteDC(context_);
        context_ = nullptr;
        contextFirst_ = nullptr;
    }
    if (handle_)
        DeleteObject(handle_);
    handle_ = nullptr;
    info_.reset();
    description_ = PixelBuffer();
}

HDC BitmapImpl::Context() const
{
    if (context_ || !handle_)
        return context_;
    ScreenContext screen;
    HDC context = CreateCompatibleDC(screen.Get());
    if (!context)
        return nullptr;
    HGDIOBJ first = SelectObject(context, handle_);
    if (!first)
    {
        DeleteDC(context);
        return nullptr;
    }
    context_ = context;
    contextFirst_ = first;
    return context_;
}

int BitmapImpl::Describe()
{
    BITMAP record = {};
    if (!handle_ || GetObjectA(handle_, sizeof(record), &record) != sizeof(record))
    {
        description_ = PixelBuffer();
        return 0;
    }
    description_.width = record.bmWidth;
    description_.height = record.bmHeight;
    description_.stride = record.bmWidthBytes;
    description_.bitsPerPixel = record.bmBitsPixel;
    description_.bits = static_cast<uint8_t*>(record.bmBits);
    return 1;
}

int BitmapImpl::Create(int width, int height, int bitsPerPixel)
{
    Release();
    if (!BitmapPixels::SizeAllowed(width, height, bitsPerPixel))
        return 0;
    int colours = 0;
    switch (bitsPerPixel)
    {
    case 1:
        colours = 2;
        break;
    case 4:
        colours = 16;
        break;
    case 8:
        colours = 256;
        break;
    case 16:
    case 24:
    case 32:
        break;
    default:
        return 0;
    }
    const size_t size = sizeof(BITMAPINFOHEADER) + static_cast<size_t>(colours) * sizeof(RGBQUAD);
    info_.reset(new (std::nothrow) uint8_t[size]());
    if (!info_)
        return 0;
    auto* info = reinterpret_cast<BITMAPINFO*>(info_.get());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height; // bottom-up
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;
    // Palettes are a grey ramp from black to white.
    auto* palette = reinterpret_cast<RGBQUAD*>(info_.get() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < colours; ++i)
    {
        const BYTE level = static_cast<BYTE>(i * 255 / (colours - 1));
        palette[i] = RGBQUAD{level, level, level, 0};
    }

    ScreenContext screen;
    void* bits = nullptr;
    handle_ = CreateDIBSection(screen.Get(), info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle_ || !Describe())
    {
        Release();
        return 0;
    }
    return 1;
}

int BitmapImpl::Load(const BmpFile& file)
{
    Release();
    if (!BitmapPixels::SizeAllowed(file.Width(), file.Height(), file.BitsPerPixel()))
        return 0;
    // The section is made from the checked header and filled from the checked rows: the
    // system's own loader reads whatever the file's header claims.
    info_.reset(new (std::nothrow) uint8_t[file.InfoSize()]);
    if (!info_)
        return 0;
    std::memcpy(info_.get(), file.Info(), file.InfoSize());
    ScreenContext screen;
    void* bits = nullptr;
    handle_ =
        CreateDIBSection(screen.Get(), reinterpret_cast<BITMAPINFO*>(info_.get()), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle_ || !Describe() || description_.bits != bits || description_.width != file.Width() ||
        description_.height != file.Height())
    {
        Release();
        return 0;
    }
    file.CopyRows(description_.bits, description_.stride);
    return 1;
}
