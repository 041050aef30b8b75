#include "framework/platform/graphics/Region.h"

#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/BitmapPixels.h"
#include "framework/platform/graphics/RegionImpl.h"

namespace
{
// Adds each run to a region under construction.
class RegionBuilder : public BitmapPixels::RunSink
{
public:
    explicit RegionBuilder(HRGN region) : region_(region) {}
    int AddRun(int left, int top, int right, int bottom) override
    {
        HRGN run = CreateRectRgn(left, top, right, bottom);
        if (!run)
            return 0;
        const int combined = CombineRgn(region_, region_, run, RGN_OR);
        DeleteObject(run);
        return combined == ERROR ? 0 : 1;
    }

private:
    HRGN region_; // borrowed
};

// A new region of the runs a scan reports, or null when the scan was refused or stopped.
template <typename Scan>
HRGN FromRuns(Scan scan)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region)
        return nullptr;
    RegionBuilder builder(region);
    if (!scan(builder))
    {
        DeleteObject(region);
        return nullptr;
    }
    return region;
}
} // namespace

Region::Region() : impl_(new RegionImpl()) {}

Region::~Region()
{
    delete impl_;
}

HRGN Region::Handle() const
{
    return impl_->Handle();
}

int Region::AddRect(int x, int y, int width, int height)
{
    HRGN rect = CreateRectRgn(x, y, x + width, y + height);
    if (!rect)
        return 0;
    if (!impl_->Handle())
    {
        impl_->Replace(rect);
        return 1;
    }
    const int combined = CombineRgn(impl_->Handle(), impl_->Handle(), rect, RGN_OR);
    DeleteObject(rect);
    return combined == ERROR ? 0 : 1;
}

int Region::And(const Region& a, const Region& b)
{
    return impl_->Combine(a.Handle(), b.Handle(), RGN_AND);
}

int Region::Or(const Region& a, const Region& b)
{
    return impl_->Combine(a.Handle(), b.Handle(), RGN_OR);
}

int Region::Xor(const Region& a, const Region& b)
{
    return impl_->Combine(a.Handle(), b.Handle(), RGN_XOR);
}

int Region::Diff(const Region& a, const Region& b)
{
    return impl_->Combine(a.Handle(), b.Handle(), RGN_DIFF);
}

int Region::Copy(const Region& other)
{
    if (&other == this)
        return 1;
    HRGN copy = CreateRectRgn(0, 0, 10, 10);
    if (!copy)
        return 0;
    if (other.Handle() && CombineRgn(copy, other.Handle(), nullptr, RGN_COPY) == ERROR)
    {
        DeleteObject(copy);
        return 0;
    }
    impl_->Replace(copy);
    return 1;
}

int Region::FromBitmap(const Bitmap& bitmap, int x, int y, int width, int height, int keyX, int keyY)
{
    HRGN region = FromRuns([&](BitmapPixels::RunSink& sink) {
        return bitmap.Handle() && BitmapPixels::ScanRuns(bitmap.Pixels(), x, y, width, height, keyX, keyY, sink);
    });
    if (!region)
        return 0;
    impl_->Replace(region);
    return 1;
}

int Region::FromBitmapKeyed(const Bitmap& bitmap, int x, int y, int width, int height, uint32_t keyPixel)
{
    HRGN region = FromRuns([&](BitmapPixels::RunSink& sink) {
        return bitmap.Handle() && BitmapPixels::ScanRunsKeyed(bitmap.Pixels(), x, y, width, height, keyPixel, sink);
    });
    if (!region)
        return 0;
    impl_->Replace(region);
    return 1;
}

int Region::Contains(int x, int y) const
{
    return impl_->Handle() && PtInRegion(impl_->Handle(), x, y) ? 1 : 0;
}

int Region::IntersectsRect(int x, int y, int width, int height) const
{
    const RECT rect = {x, y, x + width, y + height};
    return impl_->Handle() && RectInRegion(impl_->Handle(), &rect) ? 1 : 0;
}

int Region::GetBox(int& x, int& y, int& width, int& height) const
{
    RECT box = {};
    if (!impl_->Handle() || GetRgnBox(impl_->Handle(), &box) == ERROR)
        return 0;
    x = box.left;
    y = box.top;
    width = box.right - box.left;
    height = box.bottom - box.top;
    return 1;
}

int Region::Equals(const Region& other) const
{
    if (!impl_->Handle() || !other.Handle())
        return !impl_->Handle() && !other.Handle() ? 1 : 0;
    return EqualRgn(impl_->Handle(), other.Handle()) ? 1 : 0;
}

int Region::Offset(int dx, int dy)
{
    return impl_->Handle() && OffsetRgn(impl_->Handle(), dx, dy) != ERROR ? 1 : 0;
}
