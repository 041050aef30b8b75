#pragma once

#include "framework/base/Object.h"
#include "framework/platform/Win32Api.h"

// The GDI side of Region: the owned region handle.
class RegionImpl : public Object
{
public:
    RegionImpl() = default;
    ~RegionImpl() override;
    RegionImpl(const RegionImpl&) = delete;
    RegionImpl& operator=(const RegionImpl&) = delete;

    HRGN Handle() const { return handle_; }
    // Takes ownership of handle, deleting the one held before (unless it is the same).
    void Replace(HRGN handle);
    // Makes this = a mode b; a placeholder receives the result when this has no region.
    int Combine(HRGN a, HRGN b, int mode);

private:
    HRGN handle_ = nullptr; // owned
};
