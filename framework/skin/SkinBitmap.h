#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"

#include <cstdint>

class Bitmap;
class Graphics;
class Region;

// A skin image: a rectangle of another image's DIB (a piece of the composite, not owned) or
// a DIB of its own (a file, or a copy). Transparent through the colour of a key pixel of the
// source DIB, or through a key colour (a Windows colour value, magenta unless set).
class SkinBitmap : public Object
{
public:
    SkinBitmap();
    ~SkinBitmap() override;
    SkinBitmap(const SkinBitmap&) = delete;
    SkinBitmap& operator=(const SkinBitmap&) = delete;

    // Sources; each answers 1 or 0.
    int LoadFile(const String& path);
    int LoadFileAscii(const char* path);
    // Refused when the key point lies outside the file's image.
    int LoadFileKeyed(const String& path, int keyX, int keyY);
    // Refused when the rectangle does not lie inside the DIB.
    int SetPiece(Bitmap* dib, int x, int y, int width, int height);
    // Refused as SetPiece, and when the key point lies outside the piece.
    int CutFromComposite(Bitmap* dib, int x, int y, int width, int height, int keyX, int keyY);
    int AttachDib(Bitmap* dib); // takes ownership
    int CopyPiece(SkinBitmap& image, int x, int y, int width, int height);
    void SetTransparentColour(uint32_t colour);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int IsTransparent() const { return transparent_; }
    void GetKeyPoint(int& x, int& y) const;
    // The transparent colour as a pixel value of the image's DIB; 0 for an opaque image.
    int GetKeyPixel(uint32_t& pixel);
    Bitmap* GetDib();

    // Always opaque copies to a drawing context.
    void Blit(Graphics& graphics, int sx, int sy, int width, int height, int tx, int ty);
    void BlitWhole(Graphics& graphics, int tx, int ty);
    void StretchBlit(Graphics& graphics, int sx, int sy, int sw, int sh, int tx, int ty, int tw, int th);
    // Pixel copies into another DIB; keyed when the image is transparent and opaque is 0.
    int Draw(Bitmap& target, int sx, int sy, int width, int height, int tx, int ty, int opaque);
    int DrawWhole(Bitmap& target, int tx, int ty, int opaque);
    // Adds the image's shape (or the shape of an area of it) to region.
    int MakeRegion(Region& region);
    int MakeRegionAt(Region& region, int x, int y, int width, int height);

private:
    int EnsureLoaded();
    void SetKeyPoint(int keyX, int keyY);
    void Reset();
    // The key colour as the DIB's pixels hold it (blue in the low byte).
    uint32_t PixelKey() const;

    Bitmap* dib_ = nullptr; // owned unless piece_
    int piece_ = 0;
    String path_;
    int x_ = -1;
    int y_ = -1;
    int width_ = -1;
    int height_ = -1;
    int transparent_ = 0;
    int keyX_ = -1;
    int keyY_ = -1;
    uint32_t keyColour_ = 0xFF00FF;
};
