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
    MemoryContext(HDC compatible, HBITMAP bitmap) : m_dc(CreateCompatibleDC(compatible))
    {
        if (m_dc)
        {
            m_old = SelectObject(m_dc, bitmap);
        }
    }
    ~MemoryContext()
    {
        if (m_dc)
        {
            SelectObject(m_dc, m_old);
            DeleteDC(m_dc);
        }
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

} // namespace

PluginBitmap::PluginBitmap(int32_t resourceId) : m_resourceId(resourceId)
{
    m_bitmap = static_cast<HBITMAP>(
        LoadImageA(GetGuiModule(), MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (m_bitmap && GetObjectA(m_bitmap, sizeof(info), &info) == sizeof(info))
    {
        m_width = info.bmWidth;
        m_height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

PluginBitmap::PluginBitmap(int32_t width, int32_t height) : m_width(width), m_height(height) {}

PluginBitmap::~PluginBitmap()
{
    for (HBITMAP bitmap : {m_bitmap, m_mask, m_masked})
    {
        if (bitmap)
        {
            DeleteObject(bitmap);
        }
    }
}

void PluginBitmap::Draw(DrawContext* context, const Rect& rect, const Point& offset)
{
    if (!m_bitmap || !context || !context->GetDC())
    {
        return;
    }
    MemoryContext source(context->GetDC(), m_bitmap);
    BitBlt(context->GetDC(), rect.left, rect.top, rect.Width(), rect.Height(), source.Get(), offset.x, offset.y,
           SRCCOPY);
}

bool PluginBitmap::MakeMask()
{
    if (m_mask)
    {
        return true;
    }
    HDC screen = GetDC(nullptr);
    HBITMAP mask = CreateBitmap(m_width, m_height, 1, 1, nullptr);
    HBITMAP masked = CreateCompatibleBitmap(screen, m_width, m_height);
    bool made = false;
    if (mask && masked)
    {
        MemoryContext picture(screen, m_bitmap);
        MemoryContext maskContext(screen, mask);
        MemoryContext maskedContext(screen, masked);
        // A colour-to-monochrome blit sets the bits of pixels in the background colour.
        SetBkColor(picture.Get(), Colors::kTransparent.ToGdi());
        BitBlt(maskContext.Get(), 0, 0, m_width, m_height, picture.Get(), 0, 0, SRCCOPY);
        // The picture with its transparent pixels black, so that OR leaves the destination.
        BitBlt(maskedContext.Get(), 0, 0, m_width, m_height, picture.Get(), 0, 0, SRCCOPY);
        SetBkColor(maskedContext.Get(), RGB(0, 0, 0));
        SetTextColor(maskedContext.Get(), RGB(255, 255, 255));
        BitBlt(maskedContext.Get(), 0, 0, m_width, m_height, maskContext.Get(), 0, 0, SRCAND);
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
    m_mask = mask;
    m_masked = masked;
    return true;
}

void PluginBitmap::DrawTransparent(DrawContext* context, const Rect& rect, const Point& offset)
{
    if (!m_bitmap || !context || !context->GetDC() || !MakeMask())
    {
        return;
    }
    HDC dc = context->GetDC();
    MemoryContext mask(dc, m_mask);
    MemoryContext masked(dc, m_masked);
    // Monochrome into colour: set bits become the background colour (white, AND keeps the
    // destination), clear bits the text colour (black, AND clears it for the picture).
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, rect.left, rect.top, rect.Width(), rect.Height(), mask.Get(), offset.x, offset.y, SRCAND);
    BitBlt(dc, rect.left, rect.top, rect.Width(), rect.Height(), masked.Get(), offset.x, offset.y, SRCPAINT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}
