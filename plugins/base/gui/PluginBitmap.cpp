#include "plugins/base/gui/PluginBitmap.h"

#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/GuiModule.h"

#include <initializer_list>

namespace
{

// A memory context with a bitmap selected for the length of one blit.
class MemoryContext
{
public:
    MemoryContext(HDC compatible, HBITMAP bitmap) : dc_(CreateCompatibleDC(compatible))
    {
        if (dc_)
        {
            old_ = SelectObject(dc_, bitmap);
        }
    }
    ~MemoryContext()
    {
        if (dc_)
        {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

} // namespace

PluginBitmap::PluginBitmap(int32_t resourceId) : resourceId_(resourceId)
{
    bitmap_ = static_cast<HBITMAP>(
        LoadImageA(GetGuiModule(), MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (bitmap_ && GetObjectA(bitmap_, sizeof(info), &info) == sizeof(info))
    {
        width_ = info.bmWidth;
        height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

PluginBitmap::PluginBitmap(int32_t width, int32_t height) : width_(width), height_(height) {}

PluginBitmap::~PluginBitmap()
{
    for (HBITMAP bitmap : {bitmap_, mask_, masked_})
    {
        if (bitmap)
        {
            DeleteObject(bitmap);
        }
    }
}

void PluginBitmap::Draw(DrawContext* context, const Rect& rect, const Point& offset)
{
    if (!bitmap_ || !context || !context->GetDC())
    {
        return;
    }
    MemoryContext source(context->GetDC(), bitmap_);
    BitBlt(context->GetDC(), rect.left, rect.top, rect.Width(), rect.Height(), source.Get(), offset.x, offset.y,
           SRCCOPY);
}

bool PluginBitmap::MakeMask()
{
    if (mask_)
    {
        return true;
    }
    HDC screen = GetDC(nullptr);
    HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
    HBITMAP masked = CreateCompatibleBitmap(screen, width_, height_);
    bool made = false;
    if (mask && masked)
    {
        MemoryContext picture(screen, bitmap_);
        MemoryContext maskContext(screen, mask);
        MemoryContext maskedContext(screen, masked);
        // A colour-to-monochrome blit sets the bits of pixels in the background colour.
        SetBkColor(picture.Get(), Colors::kTransparent.ToGdi());
        BitBlt(maskContext.Get(), 0, 0, width_, height_, picture.Get(), 0, 0, SRCCOPY);
        // The picture with its transparent pixels black, so that OR leaves the destination.
        BitBlt(maskedContext.Get(), 0, 0, width_, height_, picture.Get(), 0, 0, SRCCOPY);
        SetBkColor(maskedContext.Get(), RGB(0, 0, 0));
        SetTextColor(maskedContext.Get(), RGB(255, 255, 255));
        BitBlt(maskedContext.Get(), 0, 0, width_, height_, maskContext.Get(), 0, 0, SRCAND);
        made = true;
    }
    ReleaseDC(nullptr, screen);
    if (!made)
    {
        if (mask)
        {
            DeleteObject(mask);
        }
        if (masked)
        {
            DeleteObject(masked);
        }
        return false;
    }
    mask_ = mask;
    masked_ = masked;
    return true;
}

void PluginBitmap::DrawTransparent(DrawContext* context, const Rect& rect, const Point& offset)
{
    if (!bitmap_ || !context || !context->GetDC() || !MakeMask())
    {
        return;
    }
    HDC dc = context->GetDC();
    MemoryContext mask(dc, mask_);
    MemoryContext masked(dc, masked_);
    // Monochrome into colour: set bits become the background colour (white, AND keeps the
    // destination), clear bits the text colour (black, AND clears it for the picture).
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, rect.left, rect.top, rect.Width(), rect.Height(), mask.Get(), offset.x, offset.y, SRCAND);
    BitBlt(dc, rect.left, rect.top, rect.Width(), rect.Height(), masked.Get(), offset.x, offset.y, SRCPAINT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}
