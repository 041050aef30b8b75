#include "framework/dialogs/TreeModel.h"

#include "framework/dialogs/ViewKeys.h"

#include <algorithm>

TreeItem::TreeItem(TreeItem* parent, const StringRef& text, int32_t data1, int32_t data2)
    : data1_(data1), data2_(data2), parent_(parent)
{
    text_.Assign(text);
}

TreeItem::~TreeItem() = default;

bool TreeItem::Contains(const TreeItem* item) const
{
    for (; item; item = item->parent_)
        if (item == this)
            return true;
    return false;
}

TreeModel::TreeModel(TreeView* view) : ScrolledContent(16), view_(view), listener_(this) {}

TreeModel::~TreeModel() = default;

void TreeModel::SetMetrics(int itemHeight, int indent, bool singleSelect)
{
    SetUnit(itemHeight);
    indent_ = indent;
    singleSelect_ = singleSelect;
    UpdateScroller();
}

void TreeModel::SetClientSize(int width, int height)
{
    clientWidth_ = width;
    clientHeight_ = height;
    UpdateScroller();
}

std::vector<std::unique_ptr<TreeItem>>& TreeModel::ListOf(TreeItem* parent)
{
    return parent ? parent->children_ : items_;
}

const std::vector<std::unique_ptr<TreeItem>>& TreeModel::ListOf(const TreeItem* parent) const
{
    return parent ? parent->children_ : items_;
}

TreeItem* TreeModel::AddItem(TreeItem* parent, const StringRef& text, int32_t data1, int32_t data2, bool redraw)
{
    auto item = std::make_unique<TreeItem>(parent, text, data1, data2);
    if (item->GetText().Length() != text.Length())
        return nullptr; // the text could not be copied
    TreeItem* added = item.get();
    auto& list = ListOf(parent);
    auto place = list.end();
    if (comparer_)
        place = std::find_if(list.begin(), list.end(), [&](const std::unique_ptr<TreeItem>& existing) {
            return comparer_->CompareItems(added->GetText(), existing->GetText()) < 0;
        });
    list.insert(place, std::move(item));
    Recount();
    if (!cursor_)
        cursor_ = added;
    UpdateScroller();
    if (redraw)
        RepaintAll();
    return added;
}

void TreeModel::DeleteItem(TreeItem* item, bool redraw)
{
    if (!item)
        return;
    if (item->Contains(marked_))
        marked_ = nullptr;
    if (item->Contains(cursor_))
        cursor_ = nullptr;
    auto& list = ListOf(item->parent_);
    list.erase(std::remove_if(list.begin(), list.end(), [item](const auto& entry) { return entry.get() == item; }),
               list.end());
    Recount();
    UpdateScroller();
    if (redraw)
        RepaintAll();
}

void TreeModel::DeleteAllItems(bool redraw)
{
    marked_ = nullptr;
    cursor_ = nullptr;
    items_.clear();
    Recount();
    UpdateScroller();
    if (redraw)
        RepaintAll();
}

void TreeModel::SelectItem(TreeItem* item, bool redraw, bool scrollIntoView)
{
    if (!item || !IsShown(item))
        return;
    TreeItem* oldCursor = cursor_;
    cursor_ = item;
    if (scrollIntoView)
    {
        const int top = RowTop(RowOf(item));
        const int bottom = top + Unit();
        if (top < 0)
            MoveScrollerTo(ScrollPosition() - (0 - top) / Unit() - 1);
        else if (bottom > clientHeight_)
            MoveScrollerTo(ScrollPosition() + (bottom - clientHeight_) / Unit() + 1);
    }
    if (oldCursor)
        RepaintItem(oldCursor);
    TreeItem* oldMark = singleSelect_ ? marked_ : nullptr;
    if (oldMark)
        oldMark->selected_ = false;
    item->selected_ = true;
    if (singleSelect_)
        marked_ = item;
    if (redraw)
    {
        if (oldMark)
            RepaintItem(oldMark);
        RepaintItem(item);
    }
    listener_->OnSelectionChanged(view_, item);
}

void TreeModel::Expand(TreeItem* item, bool redraw)
{
    if (!item || item->children_.empty() || item->expanded_ || !IsShown(item))
        return;
    item->expanded_ = true;
    listener_->OnExpanding(view_, item);
    Recount();
    UpdateScroller();
    if (redraw)
        RepaintIfRowInView(item);
    listener_->OnExpanded(view_, item);
}

void TreeModel::CollapseBelow(TreeItem* item, TreeItem*& marked)
{
    for (auto& child : item->children_)
    {
        if (child->selected_)
        {
            child->selected_ = false;
            if (marked == child.get())
                marked = nullptr;
        }
        child->expanded_ = false;
        CollapseBelow(child.get(), marked);
    }
}

void TreeModel::Collapse(TreeItem* item, bool redraw)
{
    if (!item || item->children_.empty() || !item->expanded_)
        return;
    item->expanded_ = false;
    listener_->OnCollapsing(view_, item);
    CollapseBelow(item, marked_);
    Recount();
    UpdateScroller();
    if (cursor_ != item && item->Contains(cursor_))
        SelectItem(item, redraw, true);
    if (redraw)
        RepaintIfRowInView(item);
    listener_->OnCollapsed(view_, item);
}

void TreeModel::RepaintIfRowInView(const TreeItem* item)
{
    const int top = RowTop(RowOf(item));
    if (top >= 0 && top < clientHeight_)
        RepaintAll();
}

template <typename Match>
TreeItem* TreeModel::Find(Match match) const
{
    std::vector<TreeItem*> pending;
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        pending.push_back(it->get());
    while (!pending.empty())
    {
        TreeItem* item = pending.back();
        pending.pop_back();
        if (match(*item))
            return item;
        for (auto it = item->children_.rbegin(); it != item->children_.rend(); ++it)
            pending.push_back(it->get());
    }
    return nullptr;
}

TreeItem* TreeModel::FindByData1(int32_t value) const
{
    return Find([value](const TreeItem& item) { return item.data1_ == value; });
}

TreeItem* TreeModel::FindByData2(int32_t value) const
{
    return Find([value](const TreeItem& item) { return item.data2_ == value; });
}

int TreeModel::ChildCount(const TreeItem* list) const
{
    return static_cast<int>(ListOf(list).size());
}

TreeItem* TreeModel::ChildAt(const TreeItem* list, int index) const
{
    return ListOf(list).at(static_cast<size_t>(index)).get();
}

bool TreeModel::IsShown(const TreeItem* item) const
{
    if (!item)
        return false;
    for (const TreeItem* parent = item->parent_; parent; parent = parent->parent_)
        if (!parent->expanded_)
            return false;
    return true;
}

std::vector<TreeModel::Row> TreeModel::Rows() const
{
    std::vector<Row> rows;
    std::vector<Row> pending;
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        pending.push_back({it->get(), 0});
    while (!pending.empty())
    {
        const Row row = pending.back();
        pending.pop_back();
        rows.push_back(row);
        if (row.item->expanded_)
            for (auto it = row.item->children_.rbegin(); it != row.item->children_.rend(); ++it)
                pending.push_back({it->get(), row.depth + 1});
    }
    return rows;
}

int TreeModel::RowOf(const TreeItem* item) const
{
    if (!IsShown(item))
        return -1;
    const std::vector<Row> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].item == item)
            return static_cast<int>(i);
    return -1;
}

TreeItem* TreeModel::ItemAtY(int y, int& depth) const
{
    if (y < 0)
        return nullptr;
    const int row = y / Unit() + ScrollPosition();
    const std::vector<Row> rows = Rows();
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return nullptr;
    depth = rows[static_cast<size_t>(row)].depth;
    return rows[static_cast<size_t>(row)].item;
}

void TreeModel::Recount()
{
    rowCount_ = static_cast<int>(Rows().size());
}

int TreeModel::KeyDown(int key)
{
    if (listener_->OnItemKeyDown(view_, key))
        return 1;
    switch (key)
    {
    case kKeyUp:
    case kKeyDown: {
        if (!cursor_)
        {
            SelectItem(items_.empty() ? nullptr : items_.front().get(), true, true);
            return 1;
        }
        const int row = RowOf(cursor_) + (key == kKeyUp ? -1 : 1);
        const std::vector<Row> rows = Rows();
        if (row >= 0 && row < static_cast<int>(rows.size()))
            SelectItem(rows[static_cast<size_t>(row)].item, true, true);
        return 1;
    }
    case kKeyEnter:
        if (cursor_ && !cursor_->children_.empty())
        {
            if (cursor_->expanded_)
                Collapse(cursor_, true);
            else
                Expand(cursor_, true);
        }
        return 1;
    case kKeyEscape:
    case kKeyLeft:
        if (cursor_)
            SelectItem(cursor_->parent_, true, true);
        return 1;
    default:
        return 0;
    }
}

void TreeModel::UpdateScroller()
{
    ScrolledContent::UpdateScroller(rowCount_, clientHeight_ / Unit(), rowCount_ * Unit(), clientHeight_);
}

void TreeModel::AttachScroller(Scroller* scroller, int)
{
    if (scroller && !scroller->IsVertical())
    {
        horizontal_ = scroller;
        return;
    }
    SetVerticalScroller(scroller);
    UpdateScroller();
}

int TreeModel::SetItemText(TreeItem* item, const StringRef& text, bool redraw)
{
    String copy;
    if (!item || !copy.Assign(text))
        return 0;
    item->text_ = std::move(copy);
    if (redraw)
        RepaintIfRowInView(item);
    return 1;
}
