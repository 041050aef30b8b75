#pragma once
// A bitmap resource of the module, shared through its reference count, drawn plain or with
// white as its transparent colour.

#include "plugins/base/gui/Geometry.h"
#include "plugins/base/gui/ReferenceCounted.h"

#include <windows.h>

class DrawContext;

class PluginBitmap : public ReferenceCounted
{
public:
    // Size 0 x 0 when the resource cannot be loaded.
    explicit PluginBitmap(int32_t resourceId);
    // An empty record of that size, without a bitmap.
    PluginBitmap(int32_t width, int32_t height);
    ~PluginBitmap() override;

    // Copies the rectangle's size from the source offset to the rectangle.
    void Draw(DrawContext* context, const Rect& rect, const Point& offset = Point());
    // As Draw, but pixels of the transparent colour leave the destination unchanged.
    void DrawTransparent(DrawContext* context, const Rect& rect, const Point& offset = Point());

    int32_t GetResourceId() const { return resourceId_; }
    HBITMAP GetHandle() const { return bitmap_; }
    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }

private:
    bool MakeMask();

    int32_t resourceId_ = 0;
    HBITMAP bitmap_ = nullptr; // owned
    // Made at the first transparent draw: the monochrome mask (set where transparent) and the
    // picture with its transparent pixels turned black. Owned.
    HBITMAP mask_ = nullptr;
    HBITMAP masked_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
};
