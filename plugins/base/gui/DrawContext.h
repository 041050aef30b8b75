#pragma once
// One GDI device context for the length of one paint, mouse event or idle pass, with the pen,
// brush, font and colours in use. What the context selects is put back when it ends.

#include "plugins/base/gui/Geometry.h"

#include <windows.h>

class Frame;

class DrawContext
{
public:
    // A null device context makes an empty context (an offscreen context attaches its own).
    DrawContext(Frame* frame, HDC dc, HWND window);
    virtual ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    // Style 1 dotted, anything else solid.
    void SetLineStyle(int32_t style);
    void SetLineWidth(int32_t width);
    void SetFrameColor(Color color);
    void SetFillColor(Color color);
    void SetFontColor(Color color);
    // Size 0 takes the table's size; an index outside the table means font 0.
    void SetFont(int32_t index, int32_t size = 0);

    void MoveTo(const Point& point);
    void LineTo(const Point& point);
    void Polyline(const Point* points, int32_t count);
    void FillPolygon(const Point* points, int32_t count);
    void FillEllipse(const Rect& rect);
    void FillPie(const Rect& rect, const Point& from, const Point& to);
    void DrawRect(const Rect& rect);
    // Fills (left + 1, top + 1)-(right, bottom): the edges DrawRect draws stay.
    void FillRect(const Rect& rect);
    void DrawArc(const Rect& rect, const Point& from, const Point& to);
    void DrawArc(const Rect& rect);
    void DrawPoint(const Point& point, Color color);
    // Alignment 1 centred, 2 right, anything else left (1 pixel in); one line, centred
    // vertically.
    void DrawString(const char* text, const Rect& rect, bool opaque = false, int32_t alignment = 1);

    HDC GetDC() const { return dc_; }
    HWND GetWindow() const { return window_; }
    Frame* GetFrame() const { return frame_; }
    Color GetFrameColor() const { return frameColor_; }
    Color GetFillColor() const { return fillColor_; }
    Color GetFontColor() const { return fontColor_; }

protected:
    // Remembers what the device context has selected and applies the context's state to it.
    void Attach(HDC dc);
    // Selects back what Attach found and deletes what the context made; idempotent.
    void Detach();

private:
    void MakePen();

    Frame* frame_;     // borrowed
    HDC dc_ = nullptr; // borrowed from the paint, the window or the offscreen context
    HWND window_;
    Color fontColor_ = Colors::kWhite;
    Point penPosition_;
    int32_t lineWidth_ = 1;
    Color frameColor_ = Colors::kWhite;
    Color fillColor_ = Colors::kBlack;
    int32_t lineStyle_ = 0;
    HBRUSH brush_ = nullptr; // owned
    HPEN pen_ = nullptr;     // owned
    HFONT font_ = nullptr;   // owned
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};
