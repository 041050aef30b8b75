#include "framework/platform/graphics/BitmapImpl.h"

#include "framework/platform/graphics/BmpFile.h"

#include <new>

BitmapImpl::BitmapImpl() = default;

BitmapImpl::~BitmapImpl() = default;

void BitmapImpl::Release()
{
    memory_.reset();
    description_ = PixelBuffer();
}

int BitmapImpl::Create(int width, int height, int bitsPerPixel)
{
    Release();
    if (!BitmapPixels::SizeAllowed(width, height, bitsPerPixel) || BitmapPixels::BytesPerPixel(bitsPerPixel) == 0)
        return 0;
    const int stride = BitmapPixels::DibStride(width, bitsPerPixel);
    memory_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(stride) * static_cast<size_t>(height)]());
    if (!memory_)
        return 0;
    description_.width = width;
    description_.height = height;
    description_.stride = stride;
    description_.bitsPerPixel = bitsPerPixel;
    description_.bits = memory_.get();
    return 1;
}

int BitmapImpl::Load(const BmpFile& file)
{
    // Memory bitmaps have no palette: paletted images keep their indexes.
    if (!Create(file.Width(), file.Height(), file.BitsPerPixel()))
        return 0;
    file.CopyRows(description_.bits, description_.stride);
    return 1;
}
