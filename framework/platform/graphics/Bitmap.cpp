#include "framework/platform/graphics/Bitmap.h"

#include "framework/platform/graphics/BitmapImpl.h"
#include "framework/platform/graphics/BmpFile.h"

Bitmap::Bitmap() : impl_(new BitmapImpl()) {}

Bitmap::~Bitmap()
{
    delete impl_;
}

int Bitmap::Create(int width, int height, const Bitmap& depthTemplate)
{
    return impl_->Create(width, height, depthTemplate.BitsPerPixel());
}

int Bitmap::Create(int width, int height, int bitsPerPixel)
{
    return impl_->Create(width, height, bitsPerPixel);
}

int Bitmap::CopyPixels(const Bitmap& source, int sx, int sy, int width, int height, int tx, int ty, int mode, int keyX,
                       int keyY, uint32_t keyColour)
{
    return BitmapPixels::Copy(impl_->Description(), source.impl_->Description(), sx, sy, width, height, tx, ty, mode,
                              keyX, keyY, keyColour);
}

int Bitmap::LoadFile(const String& path)
{
    BmpFile file;
    return file.Read(path) && impl_->Load(file);
}

void Bitmap::SetPixel(int x, int y, uint32_t value)
{
    BitmapPixels::Set(impl_->Description(), x, y, value);
}

uint32_t Bitmap::GetPixel(int x, int y) const
{
    return BitmapPixels::Get(impl_->Description(), x, y);
}

int Bitmap::ScrollArea(int delta, int x, int y, int width, int height)
{
    return BitmapPixels::Scroll(impl_->Description(), delta, x, y, width, height);
}

int Bitmap::Blend(double factor, const Bitmap& a, const Bitmap& b, int width, int height, int ax, int ay, int bx,
                  int by, int tx, int ty)
{
    return BitmapPixels::Blend(impl_->Description(), factor, a.impl_->Description(), b.impl_->Description(), width,
                               height, ax, ay, bx, by, tx, ty);
}

const PixelBuffer& Bitmap::Pixels() const
{
    return impl_->Description();
}

int Bitmap::Width() const
{
    return impl_->Description().width;
}

int Bitmap::Height() const
{
    return impl_->Description().height;
}

int Bitmap::BitsPerPixel() const
{
    return impl_->Description().bitsPerPixel;
}

uint8_t* Bitmap::Bits() const
{
    return impl_->Description().bits;
}

int Bitmap::Stride() const
{
    return impl_->Description().stride;
}
