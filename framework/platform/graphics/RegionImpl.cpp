#include "framework/platform/graphics/RegionImpl.h"

RegionImpl::~RegionImpl()
{
    if (handle_)
        DeleteObject(handle_);
}

void RegionImpl::Replace(HRGN handle)
{
    if (handle_ && handle_ != handle)
        DeleteObject(handle_);
    handle_ = handle;
}

int RegionImpl::Combine(HRGN a, HRGN b, int mode)
{
    if (!a || !b)
        return 0;
    // A fresh destination keeps the old region intact should the combination fail.
    const bool inPlace = handle_ && (handle_ == a || handle_ == b);
    HRGN target = inPlace ? handle_ : CreateRectRgn(0, 0, 10, 10);
    if (!target)
        return 0;
    if (CombineRgn(target, a, b, mode) == ERROR)
    {
        if (!inPlace)
            DeleteObject(target);
        return 0;
    }
    Replace(target);
    return 1;
}
