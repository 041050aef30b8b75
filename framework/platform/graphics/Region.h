#pragma once

#include "framework/base/Object.h"
#include "framework/platform/Win32Api.h"

#include <cstdint>

class Bitmap;
class RegionImpl;

// An area made of rectangles: the shape of a skinned window or the hit area of a control.
// Operations take x, y, width, height.
class Region : public Object
{
public:
    Region();
    ~Region() override;
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    // Answers whether a region exists afterwards.
    int AddRect(int x, int y, int width, int height);
    // this = a op b; answers whether the combination succeeded.
    int And(const Region& a, const Region& b);
    int Or(const Region& a, const Region& b);
    int Xor(const Region& a, const Region& b);
    int Diff(const Region& a, const Region& b);
    // A copy of other; without a region in other this becomes a 10 x 10 square at the origin.
    int Copy(const Region& other);
    // The pixels of the area that differ from the key pixel, relative to (x, y). An area all
    // of key colour gives an empty region that still exists. 0 keeps the old region.
    int FromBitmap(const Bitmap& bitmap, int x, int y, int width, int height, int keyX, int keyY);
    // The same with the key as a pixel value of the bitmap's format (a composed bitmap whose
    // transparent colour comes from the image it was composed from).
    int FromBitmapKeyed(const Bitmap& bitmap, int x, int y, int width, int height, uint32_t keyPixel);
    int Contains(int x, int y) const;
    int IntersectsRect(int x, int y, int width, int height) const;
    int GetBox(int& x, int& y, int& width, int& height) const;
    int Equals(const Region& other) const;
    int Offset(int dx, int dy);

    // Null while there is no region.
    HRGN Handle() const;

private:
    RegionImpl* impl_; // owned
};
