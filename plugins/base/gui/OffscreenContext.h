#pragma once
// A drawing context over a memory bitmap, copied to the screen in one blit.

#include "plugins/base/gui/DrawContext.h"

class PluginBitmap;

class OffscreenContext : public DrawContext
{
public:
    // Compatible with the frame context's device; the bitmap's size and picture (held until
    // the context ends), or 20 x 20 of black without one.
    OffscreenContext(DrawContext* frameContext, PluginBitmap* bitmap);
    // Compatible with the frame window's device, filled and framed in the background colour.
    OffscreenContext(Frame* frame, int32_t width, int32_t height, Color background = Colors::kBlack);
    ~OffscreenContext() override;

    // Copies the rectangle's size from the source offset to the rectangle's corner.
    void CopyTo(DrawContext* destination, const Rect& rect, const Point& offset = Point());

    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }

private:
    void Make(HDC compatible);

    PluginBitmap* source_ = nullptr; // remembered while the context lives
    HDC memory_ = nullptr;           // owned
    HBITMAP bitmap_ = nullptr;       // owned
    HGDIOBJ oldBitmap_ = nullptr;
    int32_t width_;
    int32_t height_;
};
