#include "mixer/views/MSTVFXViewList.h"

#include <algorithm>

#include "mixer/engine/VarnServices.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MSTVFXViewItem.h"

MSTVFXViewList::MSTVFXViewList(MSTVFXView& view, MainWindowLink& link) : view_(view), link_(link) {}

MSTVFXViewList::~MSTVFXViewList()
{
    DeleteRows();
}

int MSTVFXViewList::Create(int x, int y, int width, int height)
{
    height_ = height;
    // Not clipping its rows: the list paints nothing of its own, the view paints its background
    // under it, and a redraw of the view has to reach the rows to paint them again over that. A
    // clipping list would stop the view's invalidation at itself and leave the rows covered.
    if (!Window::Create(nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, &view_, 0, 0))
        return 0;
    ::SetWindowLongPtrA(GetHandle(), GWLP_ID, kChildId);
    return 1;
}

MSTVFXViewItem* MSTVFXViewList::RowAt(int position) const
{
    return position >= 0 && position < RowCount() ? rows_[position].get() : nullptr;
}

MSTVFXViewItem* MSTVFXViewList::RowOf(int parameterIndex) const
{
    for (const auto& row : rows_)
        if (!row->IsSendRow() && row->GetParameterIndex() == parameterIndex)
            return row.get();
    return nullptr;
}

void MSTVFXViewList::DeleteRows()
{
    rows_.clear();
}

void MSTVFXViewList::Populate()
{
    IVarnEffect* effect = view_.GetEffect();
    if (effect)
    {
        const int count = effect->GetParameterCount();
        for (int i = 0; i < count; ++i)
        {
            if (effect->GetParameterState(i) == 3 || effect->IsInternalParameter(i) || effect->IsLinkedParameter(i))
                continue;
            auto row = std::make_unique<MSTVFXViewItem>(*this);
            if (row->Create(i, RowCount()))
                rows_.push_back(std::move(row));
        }
    }
    else if (view_.GetInsert())
    {
        auto row = std::make_unique<MSTVFXViewItem>(*this);
        if (row->Create(0, -1))
            rows_.push_back(std::move(row));
    }
}

void MSTVFXViewList::Rebuild()
{
    DeleteRows();
    Layout(0);
    Populate();
    Layout(1);
    view_.RedrawArea(nullptr, 1);
}

int MSTVFXViewList::RowHeight() const
{
    const int height = rows_.empty() ? 0 : rows_.front()->BackgroundHeight();
    return height > 0 ? height : 1;
}

void MSTVFXViewList::Layout(int redraw)
{
    if (!bar_)
        return;
    const int rowHeight = RowHeight();
    const int range = std::max(RowCount() - height_ / rowHeight, 0);
    const int old = bar_->GetPosition();
    const int position = std::max(std::min(old, range - 1), 0);
    bar_->SetVisible(height_, redraw != 0);
    bar_->SetTotal(RowCount() * rowHeight, redraw != 0);
    bar_->SetPosition(position, redraw != 0);
    bar_->SetRange(range, redraw != 0);
    if (position != old || position != position_)
        ScrollTo(position);
}

void MSTVFXViewList::ScrollTo(int position)
{
    // Each row moves to its place: the rows are windows of their own.
    const int rowHeight = RowHeight();
    position_ = position;
    for (int k = 0; k < RowCount(); ++k)
        ::SetWindowPos(rows_[k]->GetHandle(), nullptr, 0, (k - position) * rowHeight, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MSTVFXViewList::OnScrollPosition(int position, Scroller*, int)
{
    ScrollTo(position);
}

void MSTVFXViewList::OnMouseWheel(WPARAM flags, int, int)
{
    const int step = static_cast<short>(HIWORD(flags));
    if (!bar_ || step == 0)
        return;
    const int position = step > 0 ? std::max(position_ - 1, 0) : std::min(position_ + 1, bar_->GetRange());
    bar_->SetPosition(position, true);
    ScrollTo(position);
}
