#include "plugins/base/gui/DrawContext.h"

#include "plugins/base/gui/FontTable.h"

#include <vector>

namespace
{

std::vector<POINT> ToPoints(const Point* points, int32_t count)
{
    std::vector<POINT> result(static_cast<size_t>(count > 0 ? count : 0));
    for (size_t i = 0; i < result.size(); ++i)
    {
        result[i] = POINT{points[i].x, points[i].y};
    }
    return result;
}

} // namespace

DrawContext::DrawContext(Frame* frame, HDC dc, HWND window) : m_frame(frame), m_window(window)
{
    if (dc)
    {
        Attach(dc);
    }
}

DrawContext::~DrawContext()
{
    Detach();
}

void DrawContext::Attach(HDC dc)
{
    m_dc = dc;
    m_oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
    m_oldPen = GetCurrentObject(dc, OBJ_PEN);
    m_oldFont = GetCurrentObject(dc, OBJ_FONT);
    SetBkMode(dc, TRANSPARENT);
    MakePen();
    SetFillColor(m_fillColor);
    SetFontColor(m_fontColor);
}

void DrawContext::Detach()
{
    if (!m_dc)
    {
        return;
    }
    SelectObject(m_dc, m_oldPen);
    SelectObject(m_dc, m_oldBrush);
    SelectObject(m_dc, m_oldFont);
    if (m_brush)
    {
        DeleteObject(m_brush);
    }
    if (m_pen)
    {
        DeleteObject(m_pen);
    }
    if (m_font)
    {
        DeleteObject(m_font);
    }
    m_brush = nullptr;
    m_pen = nullptr;
    m_font = nullptr;
    m_dc = nullptr;
}

void DrawContext::MakePen()
{
    if (!m_dc)
    {
        return;
    }
    HPEN pen = CreatePen(m_lineStyle == 1 ? PS_DOT : PS_SOLID, m_lineWidth, m_frameColor.ToGdi());
    if (!pen)
    {
        return;
    }
    SelectObject(m_dc, pen);
    if (m_pen)
    {
        DeleteObject(m_pen);
    }
    m_pen = pen;
}

void DrawContext::SetLineStyle(int32_t style)
{
    m_lineStyle = style == 1 ? 1 : 0;
    MakePen();
}

void DrawContext::SetLineWidth(int32_t width)
{
    m_lineWidth = width;
    MakePen();
}

void DrawContext::SetFrameColor(Color color)
{
    m_frameColor = color;
    MakePen();
}

void DrawContext::SetFillColor(Color color)
{
    m_fillColor = color;
    if (!m_dc)
    {
        return;
    }
    SetBkColor(m_dc, color.ToGdi());
    HBRUSH brush = CreateSolidBrush(color.ToGdi());
    if (!brush)
    {
        return;
    }
    SelectObject(m_dc, brush);
    if (m_brush)
    {
        DeleteObject(m_brush);
    }
    m_brush = brush;
}

void DrawContext::SetFontColor(Color color)
{
    m_fontColor = color;
    if (m_dc)
    {
        SetTextColor(m_dc, color.ToGdi());
    }
}

void DrawContext::SetFont(int32_t index, int32_t size)
{
    const FontSpec& entry = GetFontSpec(index);
    if (size == 0)
    {
        size = entry.height;
    }
    if (!m_dc)
    {
        return;
    }
    HFONT font =
        CreateFontA(-size, 0, 0, 0, entry.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                    OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, DEFAULT_QUALITY,
                    static_cast<BYTE>(VARIABLE_PITCH | (entry.decorative ? FF_DECORATIVE : FF_SWISS)), entry.family);
    if (!font)
    {
        return;
    }
    SelectObject(m_dc, font);
    if (m_font)
    {
        DeleteObject(m_font);
    }
    m_font = font;
}

void DrawContext::MoveTo(const Point& point)
{
    m_penPosition = point;
    MoveToEx(m_dc, point.x, point.y, nullptr);
}

void DrawContext::LineTo(const Point& point)
{
    MoveToEx(m_dc, m_penPosition.x, m_penPosition.y, nullptr);
    ::LineTo(m_dc, point.x, point.y);
    m_penPosition = point;
}

void DrawContext::Polyline(const Point* points, int32_t count)
{
    const std::vector<POINT> gdi = ToPoints(points, count);
    if (!gdi.empty())
    {
        ::Polyline(m_dc, gdi.data(), static_cast<int>(gdi.size()));
    }
}

void DrawContext::FillPolygon(const Point* points, int32_t count)
{
    const std::vector<POINT> gdi = ToPoints(points, count);
    if (gdi.empty())
    {
        return;
    }
    HGDIOBJ pen = SelectObject(m_dc, GetStockObject(NULL_PEN));
    ::Polygon(m_dc, gdi.data(), static_cast<int>(gdi.size()));
    SelectObject(m_dc, pen);
}

void DrawContext::FillEllipse(const Rect& rect)
{
    HGDIOBJ pen = SelectObject(m_dc, GetStockObject(NULL_PEN));
    ::Ellipse(m_dc, rect.left + 1, rect.top + 1, rect.right, rect.bottom);
    SelectObject(m_dc, pen);
}

void DrawContext::FillPie(const Rect& rect, const Point& from, const Point& to)
{
    HGDIOBJ pen = SelectObject(m_dc, GetStockObject(NULL_PEN));
    ::Pie(m_dc, rect.left + 1, rect.top + 1, rect.right, rect.bottom, from.x, from.y, to.x, to.y);
    SelectObject(m_dc, pen);
}

void DrawContext::DrawRect(const Rect& rect)
{
    MoveToEx(m_dc, rect.left, rect.top, nullptr);
    ::LineTo(m_dc, rect.right, rect.top);
    ::LineTo(m_dc, rect.right, rect.bottom);
    ::LineTo(m_dc, rect.left, rect.bottom);
    ::LineTo(m_dc, rect.left, rect.top);
    m_penPosition = Point(rect.left, rect.top);
}

void DrawContext::FillRect(const Rect& rect)
{
    const RECT area{rect.left + 1, rect.top + 1, rect.right, rect.bottom};
    ::FillRect(m_dc, &area, m_brush ? m_brush : static_cast<HBRUSH>(GetCurrentObject(m_dc, OBJ_BRUSH)));
}

void DrawContext::DrawArc(const Rect& rect, const Point& from, const Point& to)
{
    ::Arc(m_dc, rect.left, rect.top, rect.right + 1, rect.bottom + 1, from.x, from.y, to.x, to.y);
}

void DrawContext::DrawArc(const Rect& rect)
{
    const Point top((rect.left + rect.right) / 2, rect.top);
    DrawArc(rect, top, top);
}

void DrawContext::DrawPoint(const Point& point, Color color)
{
    SetPixel(m_dc, point.x, point.y, color.ToGdi());
}

void DrawContext::DrawString(const char* text, const Rect& rect, bool opaque, int32_t alignment)
{
    if (!text)
    {
        return;
    }
    SetBkMode(m_dc, opaque ? OPAQUE : TRANSPARENT);
    RECT area{rect.left, rect.top, rect.right, rect.bottom};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (alignment == 1)
    {
        format |= DT_CENTER;
    }
    else if (alignment == 2)
    {
        format |= DT_RIGHT;
    }
    else
    {
        format |= DT_LEFT;
        area.left += 1;
    }
    DrawTextA(m_dc, text, -1, &area, format);
    SetBkMode(m_dc, TRANSPARENT);
}
