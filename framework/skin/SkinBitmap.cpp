#include "framework/skin/SkinBitmap.h"

#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/platform/graphics/Region.h"

#include <algorithm>

namespace
{
bool Inside(int x, int y, int width, int height, int px, int py)
{
    return px >= x && py >= y && px - x < width && py - y < height;
}
} // namespace

SkinBitmap::SkinBitmap() = default;

SkinBitmap::~SkinBitmap()
{
    Reset();
}

void SkinBitmap::Reset()
{
    if (!piece_)
        delete dib_;
    dib_ = nullptr;
    piece_ = 0;
    path_.Clear();
    x_ = y_ = width_ = height_ = -1;
    transparent_ = 0;
    keyX_ = keyY_ = -1;
}

int SkinBitmap::LoadFile(const String& path)
{
    Reset();
    if (!path_.Assign(path))
        return 0;
    return EnsureLoaded();
}

int SkinBitmap::LoadFileAscii(const char* path)
{
    String wide;
    return wide.AssignAscii(path) && LoadFile(wide);
}

int SkinBitmap::LoadFileKeyed(const String& path, int keyX, int keyY)
{
    if (!LoadFile(path))
        return 0;
    // The key pixel is read from the file's image: one outside it would be read out of bounds.
    if (keyX != -1 && keyY != -1 && !Inside(0, 0, width_, height_, keyX, keyY))
    {
        Reset();
        return 0;
    }
    SetKeyPoint(keyX, keyY);
    return 1;
}

int SkinBitmap::SetPiece(Bitmap* dib, int x, int y, int width, int height)
{
    Reset();
    // Skin files are edited by people: a rectangle reaching outside the composite would make
    // every later pixel operation read outside it.
    if (!dib || x < 0 || y < 0 || width <= 0 || height <= 0 || width > dib->Width() - x || height > dib->Height() - y)
        return 0;
    dib_ = dib;
    piece_ = 1;
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    return 1;
}

int SkinBitmap::CutFromComposite(Bitmap* dib, int x, int y, int width, int height, int keyX, int keyY)
{
    if (!SetPiece(dib, x, y, width, height))
        return 0;
    if (keyX != -1 && keyY != -1 && !Inside(x, y, width, height, keyX, keyY))
    {
        Reset();
        return 0;
    }
    SetKeyPoint(keyX, keyY);
    return 1;
}

void SkinBitmap::SetKeyPoint(int keyX, int keyY)
{
    keyX_ = keyX;
    keyY_ = keyY;
    transparent_ = keyX != -1 && keyY != -1;
}

int SkinBitmap::AttachDib(Bitmap* dib)
{
    if (!dib)
        return 0;
    Reset();
    dib_ = dib;
    x_ = y_ = 0;
    width_ = dib->Width();
    height_ = dib->Height();
    return 1;
}

int SkinBitmap::CopyPiece(SkinBitmap& image, int x, int y, int width, int height)
{
    Bitmap* source = image.GetDib();
    if (!source || width <= 0 || height <= 0)
        return 0;
    Bitmap* copy = new Bitmap();
    const int ox = image.piece_ ? image.x_ : 0;
    const int oy = image.piece_ ? image.y_ : 0;
    if (!copy->Create(width, height, *source) ||
        !copy->CopyPixels(*source, x + ox, y + oy, width, height, 0, 0, 0, -1, -1, 0xFF00FF))
    {
        delete copy;
        return 0;
    }
    return AttachDib(copy);
}

void SkinBitmap::SetTransparentColour(uint32_t colour)
{
    transparent_ = 1;
    keyColour_ = colour;
    keyX_ = keyY_ = -1;
}

void SkinBitmap::GetKeyPoint(int& x, int& y) const
{
    x = keyX_;
    y = keyY_;
}

int SkinBitmap::GetKeyPixel(uint32_t& pixel)
{
    if (!transparent_ || !EnsureLoaded())
        return 0;
    pixel = keyX_ >= 0 ? dib_->GetPixel(keyX_, keyY_) : PixelKey();
    return 1;
}

int SkinBitmap::EnsureLoaded()
{
    if (dib_)
        return 1;
    if (piece_ || path_.Length() == 0)
        return 0;
    Bitmap* dib = new Bitmap();
    if (!dib->LoadFile(path_))
    {
        delete dib;
        return 0;
    }
    dib_ = dib;
    width_ = dib->Width();
    height_ = dib->Height();
    return 1;
}

Bitmap* SkinBitmap::GetDib()
{
    return EnsureLoaded() ? dib_ : nullptr;
}

uint32_t SkinBitmap::PixelKey() const
{
    // Colour values keep red in the low byte; 24- and 32-bit pixels keep blue there.
    return ((keyColour_ & 0xFF) << 16) | (keyColour_ & 0xFF00) | ((keyColour_ >> 16) & 0xFF);
}

void SkinBitmap::Blit(Graphics& graphics, int sx, int sy, int width, int height, int tx, int ty)
{
    if (!EnsureLoaded())
        return;
    const int ox = piece_ ? x_ : 0;
    const int oy = piece_ ? y_ : 0;
    graphics.Blit(*dib_, sx + ox, sy + oy, width, height, tx, ty);
}

void SkinBitmap::BlitWhole(Graphics& graphics, int tx, int ty)
{
    Blit(graphics, 0, 0, width_, height_, tx, ty);
}

void SkinBitmap::StretchBlit(Graphics& graphics, int sx, int sy, int sw, int sh, int tx, int ty, int tw, int th)
{
    if (!EnsureLoaded())
        return;
    const int ox = piece_ ? x_ : 0;
    const int oy = piece_ ? y_ : 0;
    graphics.StretchBlit(*dib_, sx + ox, sy + oy, sw, sh, tx, ty, tw, th);
}

int SkinBitmap::Draw(Bitmap& target, int sx, int sy, int width, int height, int tx, int ty, int opaque)
{
    if (!EnsureLoaded())
        return 0;
    // Only this image's pixels: an area reaching past the piece would draw its neighbours in
    // the composite.
    if (sx < 0)
    {
        width += sx;
        tx -= sx;
        sx = 0;
    }
    if (sy < 0)
    {
        height += sy;
        ty -= sy;
        sy = 0;
    }
    width = std::min(width, width_ - sx);
    height = std::min(height, height_ - sy);
    if (width <= 0 || height <= 0)
        return 1;
    const int ox = piece_ ? x_ : 0;
    const int oy = piece_ ? y_ : 0;
    const int mode = transparent_ && !opaque ? BitmapPixels::CopyUnlessKey : BitmapPixels::CopyBottomUp;
    return target.CopyPixels(*dib_, sx + ox, sy + oy, width, height, tx, ty, mode, keyX_, keyY_, PixelKey());
}

int SkinBitmap::DrawWhole(Bitmap& target, int tx, int ty, int opaque)
{
    return Draw(target, 0, 0, width_, height_, tx, ty, opaque);
}

int SkinBitmap::MakeRegion(Region& region)
{
    return MakeRegionAt(region, 0, 0, width_, height_);
}

int SkinBitmap::MakeRegionAt(Region& region, int x, int y, int width, int height)
{
    if (!transparent_)
        return region.AddRect(0, 0, width, height);
    // Regions are cut by a key pixel; an image keyed by colour alone has none.
    if (keyX_ < 0 || !EnsureLoaded())
        return 0;
    const int ox = piece_ ? x_ : 0;
    const int oy = piece_ ? y_ : 0;
    Region shape;
    if (!shape.FromBitmap(*dib_, x + ox, y + oy, width, height, keyX_, keyY_))
        return 0;
    return region.Handle() ? region.Or(region, shape) : region.Copy(shape);
}
