#include "plugins/base/gui/View.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/OffscreenContext.h"

View::View(const Rect& size) : size_(size) {}

View::~View() = default;

void View::Draw(DrawContext*) {}

void View::MouseDown(DrawContext*, const Point&) {}

void View::Update(DrawContext*) {}

void View::LooseFocus() {}

void View::TakeFocus() {}

void View::SetBackground(OffscreenContext* background)
{
    if (background && background->GetWidth() >= size_.Width() && background->GetHeight() >= size_.Height())
    {
        background_ = background;
    }
}

void View::Redraw()
{
    if (frame_)
    {
        frame_->Redraw(this);
    }
}
