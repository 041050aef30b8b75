#include "plugins/base/gui/OffscreenContext.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

OffscreenContext::OffscreenContext(DrawContext* frameContext, PluginBitmap* bitmap)
    : DrawContext(frameContext ? frameContext->GetFrame() : nullptr, nullptr, nullptr), m_source(bitmap),
      m_width(bitmap ? bitmap->GetWidth() : 20), m_height(bitmap ? bitmap->GetHeight() : 20)
{
    if (m_source)
    {
        m_source->Remember();
    }
    Make(frameContext ? frameContext->GetDC() : nullptr);
    if (!GetDC())
    {
        return;
    }
    if (m_source)
    {
        m_source->Draw(this, Rect(0, 0, m_width, m_height));
    }
    else
    {
        const RECT all{0, 0, m_width, m_height};
        ::FillRect(GetDC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}

OffscreenContext::OffscreenContext(Frame* frame, int32_t width, int32_t height, Color background)
    : DrawContext(frame, nullptr, nullptr), m_width(width), m_height(height)
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
    if (m_memory)
    {
        SelectObject(m_memory, m_oldBitmap);
        DeleteDC(m_memory);
    }
    if (m_bitmap)
    {
        DeleteObject(m_bitmap);
    }
    if (m_source)
    {
        m_source->Forget();
    }
}

void OffscreenContext::Make(HDC compatible)
{
    if (m_width <= 0 || m_height <= 0)
    {
        return;
    }
    // A bitmap compatible with a fresh memory context would be monochrome: use the screen's.
    HDC screen = compatible ? nullptr : ::GetDC(nullptr);
    HDC device = compatible ? compatible : screen;
    m_memory = CreateCompatibleDC(device);
    m_bitmap = m_memory ? CreateCompatibleBitmap(device, m_width, m_height) : nullptr;
    if (screen)
    {
        ReleaseDC(nullptr, screen);
    }
    if (!m_bitmap)
    {
        return;
    }
    m_oldBitmap = SelectObject(m_memory, m_bitmap);
    Attach(m_memory);
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
