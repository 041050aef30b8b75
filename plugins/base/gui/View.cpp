#include "plugins/base/gui/View.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/OffscreenContext.h"

View::View(const Rect& size) : m_size(size) {}

View::~View() = default;

void View::Draw(DrawContext*) {}

void View::MouseDown(DrawContext*, const Point&) {}

void View::Update(DrawContext*) {}

void View::LooseFocus() {}

void View::TakeFocus() {}

void View::SetBackground(OffscreenContext* background)
{
    if (background && background->GetWidth() >= m_size.Width() && background->GetHeight() >= m_size.Height())
    {
        m_background = background;
    }
}

void View::Redraw()
{
    if (m_frame)
    {
        m_frame->Redraw(this);
    }
}
