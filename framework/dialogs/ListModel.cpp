#include "framework/dialogs/ListModel.h"

#include "framework/dialogs/ViewKeys.h"

#include <algorithm>

ListBoxItem::ListBoxItem(SkinBitmap* image, const StringRef& text, int32_t data1, int32_t data2)
    : image_(image), data1_(data1), data2_(data2)
{
    text_.Assign(text);
}

ListBoxItem::~ListBoxItem() = default;

ListModel::ListModel(ListBox* view) : ScrolledContent(kScrollStep), view_(view), listener_(this), comparer_(this) {}

ListModel::~ListModel() = default;

void ListModel::SetGrid(bool singleSelect, int cellWidth, int cellHeight, int horzSpacing, int vertSpacing)
{
    singleSelect_ = singleSelect;
    cellWidth_ = cellWidth;
    cellHeight_ = cellHeight;
    horzSpacing_ = horzSpacing;
    vertSpacing_ = vertSpacing;
    Layout();
    UpdateScroller();
}

void ListModel::SetClientSize(int width, int height)
{
    clientWidth_ = width;
    clientHeight_ = height;
    Layout();
    UpdateScroller();
}

ListBoxItem* ListModel::AddItem(SkinBitmap* image, const StringRef& text, int32_t data1, int32_t data2, bool redraw)
{
    auto item = std::make_unique<ListBoxItem>(image ? image : defaultIcon_, text, data1, data2);
    if (item->GetText().Length() != text.Length())
        return nullptr; // the text could not be copied
    ListBoxItem* added = item.get();
    auto at = std::find_if(items_.begin(), items_.end(),
                           [&](const auto& existing) { return comparer_->GoesBefore(added, existing.get()) != 0; });
    items_.insert(at, std::move(item));
    Layout();
    UpdateScroller();
    if (redraw)
        RepaintAll();
    return added;
}

void ListModel::DeleteAllItems(bool redraw)
{
    cursor_ = nullptr;
    marked_ = nullptr;
    items_.clear();
    Layout();
    UpdateScroller();
    if (redraw)
        RepaintAll();
}

ListBoxItem* ListModel::ItemAt(int index) const
{
    if (items_.empty())
        return nullptr;
    return items_.at(static_cast<size_t>(index)).get();
}

int ListModel::IndexOf(const ListBoxItem* item) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

template <typename Match>
ListBoxItem* ListModel::Find(Match match) const
{
    for (const auto& item : items_)
        if (match(*item))
            return item.get();
    return nullptr;
}

ListBoxItem* ListModel::FindByData1(int32_t value) const
{
    return Find([value](const ListBoxItem& item) { return item.data1_ == value; });
}

ListBoxItem* ListModel::FindByData2(int32_t value) const
{
    return Find([value](const ListBoxItem& item) { return item.data2_ == value; });
}

void ListModel::Layout()
{
    if (clientWidth_ <= 0)
    {
        columns_ = rows_ = contentHeight_ = 0;
        return;
    }
    // A client narrower than one cell, or a skin with no cell width, still shows one column.
    const int pitch = horzSpacing_ + cellWidth_;
    columns_ = std::max(pitch > 0 ? clientWidth_ / pitch : 0, 1);
    const int count = Count();
    rows_ = (count + columns_ - 1) / columns_;
    contentHeight_ = (cellHeight_ + vertSpacing_) * rows_ + vertSpacing_;
    for (int i = 0; i < count; ++i)
    {
        Rect& cell = items_[static_cast<size_t>(i)]->cell_;
        cell.left = (cellWidth_ + horzSpacing_) * (i % columns_) + horzSpacing_;
        cell.top = (cellHeight_ + vertSpacing_) * (i / columns_) + vertSpacing_;
        cell.right = cell.left + cellWidth_;
        cell.bottom = cell.top + cellHeight_;
    }
}

Rect ListModel::VisibleCell(const ListBoxItem* item) const
{
    Rect cell = item->cell_;
    cell.top -= kScrollStep * ScrollPosition();
    cell.bottom -= kScrollStep * ScrollPosition();
    return cell;
}

ListBoxItem* ListModel::HitTest(int x, int y) const
{
    return Find([&](const ListBoxItem& item) {
        const Rect cell = VisibleCell(&item);
        return x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom;
    });
}

void ListModel::Select(ListBoxItem* item, bool mark, bool redraw, bool scrollIntoView)
{
    if (!item)
        return;
    ListBoxItem* oldCursor = cursor_;
    cursor_ = item;
    if (scrollIntoView)
    {
        const Rect cell = VisibleCell(item);
        if (cell.top < 0)
            MoveScrollerTo(ScrollPosition() - (0 - cell.top) / kScrollStep - 1);
        else if (cell.bottom > clientHeight_)
            MoveScrollerTo(ScrollPosition() + (cell.bottom - clientHeight_) / kScrollStep + 1);
    }
    if (mark)
    {
        ListBoxItem* oldMark = singleSelect_ ? marked_ : nullptr;
        if (oldMark)
            oldMark->selected_ = false;
        item->selected_ = true;
        if (singleSelect_)
            marked_ = item;
        // The new mark and the one it replaced must show too, not only the cursor's move.
        for (ListBoxItem* changed : {oldCursor, oldMark, item})
            if (changed)
                RepaintItem(changed);
    }
    else if (redraw)
    {
        if (oldCursor)
            RepaintItem(oldCursor);
        RepaintItem(item);
    }
    listener_->OnSelectionChanged(view_, item);
}

void ListModel::SelectIndex(int index, bool mark, bool redraw, bool scrollIntoView)
{
    if (items_.empty())
        return;
    Select(items_.at(static_cast<size_t>(index)).get(), mark, redraw, scrollIntoView);
}

void ListModel::SelectNext()
{
    if (items_.empty())
        return;
    const int next = cursor_ ? IndexOf(cursor_) + 1 : 0;
    if (next < Count())
        Select(items_[static_cast<size_t>(next)].get(), false, true, true);
}

void ListModel::SelectPrevious()
{
    if (items_.empty())
        return;
    const int previous = cursor_ ? IndexOf(cursor_) - 1 : 0;
    if (previous >= 0)
        Select(items_[static_cast<size_t>(previous)].get(), false, true, true);
}

int ListModel::KeyDown(int key)
{
    if (listener_->OnItemKeyDown(view_, key))
        return 1;
    switch (key)
    {
    case kKeyUp:
    case kKeyLeft:
        SelectPrevious();
        return 1;
    case kKeyDown:
    case kKeyRight:
        SelectNext();
        return 1;
    default:
        return 0;
    }
}

void ListModel::Wheel(bool up)
{
    if (Scroller* bar = VerticalScroller())
        MoveScrollerTo(up ? ScrollPosition() - 1 : std::min(ScrollPosition() + 1, bar->GetRange()));
}

void ListModel::UpdateScroller()
{
    ScrolledContent::UpdateScroller(contentHeight_ / kScrollStep, clientHeight_ / kScrollStep, contentHeight_,
                                    clientHeight_);
}

void ListModel::AttachScroller(Scroller* scroller, int)
{
    if (scroller && !scroller->IsVertical())
        return;
    SetVerticalScroller(scroller);
    UpdateScroller();
}
