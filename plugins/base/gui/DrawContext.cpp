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

DrawContext::DrawContext(Frame* frame, HDC dc, HWND window) : frame_(frame), window_(window)
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
    dc_ = dc;
    oldBrush_ = GetCurrentObject(dc, OBJ_BRUSH);
    oldPen_ = GetCurrentObject(dc, OBJ_PEN);
    oldFont_ = GetCurrentObject(dc, OBJ_FONT);
    SetBkMode(dc, TRANSPARENT);
    MakePen();
    SetFillColor(fillColor_);
    SetFontColor(fontColor_);
}

void DrawContext::Detach()
{
    if (!dc_)
    {
        return;
    }
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    SelectObject(dc_, oldFont_);
    if (brush_)
    {
        DeleteObject(brush_);
    }
    if (pen_)
    {
        DeleteObject(pen_);
    }
    if (font_)
    {
        DeleteObject(font_);
    }
    brush_ = nullptr;
    pen_ = nullptr;
    font_ = nullptr;
    dc_ = nullptr;
}

void DrawContext::MakePen()
{
    if (!dc_)
    {
        return;
    }
    HPEN pen = CreatePen(lineStyle_ == 1 ? PS_DOT : PS_SOLID, lineWidth_, frameColor_.ToGdi());
    if (!pen)
    {
        return;
    }
    SelectObject(dc_, pen);
    if (pen_)
    {
        DeleteObject(pen_);
    }
    pen_ = pen;
}

void DrawContext::SetLineStyle(int32_t style)
{
    lineStyle_ = style == 1 ? 1 : 0;
    MakePen();
}

void DrawContext::SetLineWidth(int32_t width)
{
    lineWidth_ = width;
    MakePen();
}

void DrawContext::SetFrameColor(Color color)
{
    frameColor_ = color;
    MakePen();
}

void DrawContext::SetFillColor(Color color)
{
    fillColor_ = color;
    if (!dc_)
    {
        return;
    }
    SetBkColor(dc_, color.ToGdi());
    HBRUSH brush = CreateSolidBrush(color.ToGdi());
    if (!brush)
    {
        return;
    }
    SelectObject(dc_, brush);
    if (brush_)
    {
        DeleteObject(brush_);
    }
    brush_ = brush;
}

void DrawContext::SetFontColor(Color color)
{
    fontColor_ = color;
    if (dc_)
    {
        SetTextColor(dc_, color.ToGdi());
    }
}

void DrawContext::SetFont(int32_t index, int32_t size)
{
    const FontSpec& entry = GetFontSpec(index);
    if (size == 0)
    {
        size = entry.height;
    }
    if (!dc_)
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
    SelectObject(dc_, font);
    if (font_)
    {
        DeleteObject(font_);
    }
    font_ = font;
}

void DrawContext::MoveTo(const Point& point)
{
    penPosition_ = point;
    MoveToEx(dc_, point.x, point.y, nullptr);
}

void DrawContext::LineTo(const Point& point)
{
    MoveToEx(dc_, penPosition_.x, penPosition_.y, nullptr);
    ::LineTo(dc_, point.x, point.y);
    penPosition_ = point;
}

void DrawContext::Polyline(const Point* points, int32_t count)
{
    const std::vector<POINT> gdi = ToPoints(points, count);
    if (!gdi.empty())
    {
        ::Polyline(dc_, gdi.data(), static_cast<int>(gdi.size()));
    }
}

void DrawContext::FillPolygon(const Point* points, int32_t count)
{
    const std::vector<POINT> gdi = ToPoints(points, count);
    if (gdi.empty())
    {
        return;
    }
    HGDIOBJ pen = SelectObject(dc_, GetStockObject(NULL_PEN));
    ::Polygon(dc_, gdi.data(), static_cast<int>(gdi.size()));
    SelectObject(dc_, pen);
}

void DrawContext::FillEllipse(const Rect& rect)
{
    HGDIOBJ pen = SelectObject(dc_, GetStockObject(NULL_PEN));
    ::Ellipse(dc_, rect.left + 1, rect.top + 1, rect.right, rect.bottom);
    SelectObject(dc_, pen);
}

void DrawContext::FillPie(const Rect& rect, const Point& from, const Point& to)
{
    HGDIOBJ pen = SelectObject(dc_, GetStockObject(NULL_PEN));
    ::Pie(dc_, rect.left + 1, rect.top + 1, rect.right, rect.bottom, from.x, from.y, to.x, to.y);
    SelectObject(dc_, pen);
}

void DrawContext::DrawRect(const Rect& rect)
{
    MoveToEx(dc_, rect.left, rect.top, nullptr);
    ::LineTo(dc_, rect.right, rect.top);
    ::LineTo(dc_, rect.right, rect.bottom);
    ::LineTo(dc_, rect.left, rect.bottom);
    ::LineTo(dc_, rect.left, rect.top);
    penPosition_ = Point(rect.left, rect.top);
}

void DrawContext::FillRect(const Rect& rect)
{
    const RECT area{rect.left + 1, rect.top + 1, rect.right, rect.bottom};
    ::FillRect(dc_, &area, brush_ ? brush_ : static_cast<HBRUSH>(GetCurrentObject(dc_, OBJ_BRUSH)));
}

void DrawContext::DrawArc(const Rect& rect, const Point& from, const Point& to)
{
    ::Arc(dc_, rect.left, rect.top, rect.right + 1, rect.bottom + 1, from.x, from.y, to.x, to.y);
}

void DrawContext::DrawArc(const Rect& rect)
{
    const Point top((rect.left + rect.right) / 2, rect.top);
    DrawArc(rect, top, top);
}

void DrawContext::DrawPoint(const Point& point, Color color)
{
    SetPixel(dc_, point.x, point.y, color.ToGdi());
}

void DrawContext::DrawString(const char* text, const Rect& rect, bool opaque, int32_t alignment)
{
    if (!text)
    {
        return;
    }
    SetBkMode(dc_, opaque ? OPAQUE : TRANSPARENT);
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
    DrawTextA(dc_, text, -1, &area, format);
    SetBkMode(dc_, TRANSPARENT);
}
