#include "plugins/base/gui/OffscreenContext.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

OffscreenContext::OffscreenContext(DrawContext* frameContext, PluginBitmap* bitmap)
    : DrawContext(frameContext ? frameContext->GetFrame() : nullptr, nullptr, nullptr), source_(bitmap),
      width_(bitmap ? bitmap->GetWidth() : 20), height_(bitmap ? bitmap->GetHeight() : 20)
{
    if (source_)
    {
        source_->Remember();
    }
    Make(frameContext ? frameContext->GetDC() : nullptr);
    if (!GetDC())
    {
        return;
    }
    if (source_)
    {
        source_->Draw(this, Rect(0, 0, width_, height_));
    }
    else
    {
        const RECT all{0, 0, width_, height_};
        ::FillRect(GetDC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}

OffscreenContext::OffscreenContext(Frame* frame, int32_t width, int32_t height, Color background)
    : DrawContext(frame, nullptr, nullptr), width_(width), height_(height)
{
    HWND window = frame ? frame->GetWindow() : nullptr;
    HDC windowDc = ::GetDC(window);
    Make(windowDc);
    ReleaseDC(window, windowDc);
    if (!GetDC())
    {
        return;
    }
    SetFillColor(background);
    SetFrameColor(background);
    const Rect all(0, 0, width - 1, height - 1);
    const RECT area{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(background.ToGdi());
    if (brush)
    {
        ::FillRect(GetDC(), &area, brush);
        DeleteObject(brush);
    }
    DrawRect(all);
}

OffscreenContext::~OffscreenContext()
{
    Detach();
    if (memory_)
    {
        SelectObject(memory_, oldBitmap_);
        DeleteDC(memory_);
    }
    if (bitmap_)
    {
        DeleteObject(bitmap_);
    }
    if (source_)
    {
        source_->Forget();
    }
}

void OffscreenContext::Make(HDC compatible)
{
    if (width_ <= 0 || height_ <= 0)
    {
        return;
    }
    // A bitmap compatible with a fresh memory context would be monochrome: use the screen's.
    HDC screen = compatible ? nullptr : ::GetDC(nullptr);
    HDC device = compatible ? compatible : screen;
    memory_ = CreateCompatibleDC(device);
    bitmap_ = memory_ ? CreateCompatibleBitmap(device, width_, height_) : nullptr;
    if (screen)
    {
        ReleaseDC(nullptr, screen);
    }
    if (!bitmap_)
    {
        return;
    }
    oldBitmap_ = SelectObject(memory_, bitmap_);
    Attach(memory_);
}

void OffscreenContext::CopyTo(DrawContext* destination, const Rect& rect, const Point& offset)
{
    if (!destination || !destination->GetDC() || !GetDC())
    {
        return;
    }
    BitBlt(destination->GetDC(), rect.left, rect.top, rect.Width(), rect.Height(), GetDC(), offset.x, offset.y,
           SRCCOPY);
}
