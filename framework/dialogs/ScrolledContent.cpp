#include "framework/dialogs/ScrolledContent.h"

#include <algorithm>

void ScrolledContent::SetUnit(int pixels)
{
    unit_ = std::max(pixels, 1);
}

void ScrolledContent::UpdateScroller(int units, int fit, int totalPixels, int visiblePixels)
{
    if (!vertical_)
        return;
    const int maximum = std::max(units - fit, 0);
    ScrollTo(std::max(std::min(position_, maximum - 1), 0));
    vertical_->SetRange(maximum, false);
    vertical_->SetTotal(totalPixels, false);
    vertical_->SetVisible(visiblePixels, false);
    vertical_->SetPosition(position_, false);
    vertical_->Redraw();
}

void ScrolledContent::MoveScrollerTo(int position)
{
    if (vertical_)
        vertical_->SetPosition(std::max(position, 0), true);
}

void ScrolledContent::ScrollTo(int position)
{
    const int old = position_;
    position_ = position;
    if (position != old)
        ScrollContents((old - position) * unit_);
}

void ScrolledContent::OnScrollPosition(int position, Scroller* scroller, int)
{
    if (scroller && scroller == vertical_)
        ScrollTo(position);
}

void ScrolledContent::OnLineUp(int position, Scroller* scroller, int id)
{
    OnScrollPosition(position, scroller, id);
}

void ScrolledContent::OnLineDown(int position, Scroller* scroller, int id)
{
    OnScrollPosition(position, scroller, id);
}

void ScrolledContent::OnPageUp(int position, Scroller* scroller, int id)
{
    OnScrollPosition(position, scroller, id);
}

void ScrolledContent::OnPageDown(int position, Scroller* scroller, int id)
{
    OnScrollPosition(position, scroller, id);
}
