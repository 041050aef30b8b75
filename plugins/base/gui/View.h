#pragma once
// Everything drawn inside a frame: a rectangle that draws itself and takes clicks.

#include "plugins/base/gui/Geometry.h"

class DrawContext;
class Frame;
class OffscreenContext;

class View
{
public:
    explicit View(const Rect& size);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    virtual void Draw(DrawContext* context);
    virtual void MouseDown(DrawContext* context, const Point& where);
    virtual void Update(DrawContext* context);
    virtual void LooseFocus();
    virtual void TakeFocus();
    // Kept only when it covers the whole view.
    virtual void SetBackground(OffscreenContext* background);

    // Draws this view alone now, when it is in a frame.
    void Redraw();

    const Rect& GetSize() const { return size_; }
    void SetSize(const Rect& size) { size_ = size; }
    Frame* GetFrame() const { return frame_; }
    void SetFrame(Frame* frame) { frame_ = frame; }
    OffscreenContext* GetBackground() const { return background_; }

protected:
    Rect size_;
    Frame* frame_ = nullptr;                 // borrowed: the frame owns its views
    OffscreenContext* background_ = nullptr; // borrowed
};
