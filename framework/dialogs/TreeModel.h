#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/dialogs/ScrolledContent.h"

#include <cstdint>
#include <memory>
#include <vector>

class TreeModel;
class TreeView;

// One entry of a tree: a text, two values for the caller, and the children it owns.
class TreeItem : public Object
{
public:
    TreeItem(TreeItem* parent, const StringRef& text, int32_t data1, int32_t data2);
    ~TreeItem() override;
    TreeItem(const TreeItem&) = delete;
    TreeItem& operator=(const TreeItem&) = delete;

    const String& GetText() const { return text_; }
    int32_t Data1() const { return data1_; }
    int32_t Data2() const { return data2_; }
    TreeItem* Parent() const { return parent_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    // Throws std::out_of_range for an index outside the children.
    TreeItem* ChildAt(int index) const { return children_.at(static_cast<size_t>(index)).get(); }
    bool IsExpanded() const { return expanded_; }
    bool IsSelected() const { return selected_; }
    // True for the item itself and everything below it.
    bool Contains(const TreeItem* item) const;

private:
    friend class TreeModel;

    String text_;
    int32_t data1_;
    int32_t data2_;
    TreeItem* parent_; // borrowed: the item that owns this one, null at the top level
    std::vector<std::unique_ptr<TreeItem>> children_;
    bool expanded_ = false;
    bool selected_ = false;
};

// What a tree tells its owner. The tree is the view the events happened in; a model without a
// window names none. The defaults do nothing and consume no key.
class TreeViewListener
{
public:
    // Pointer events carry the item under the pointer, or null.
    virtual void OnItemMouseDown(TreeView*, TreeItem*, int, int) {}
    virtual void OnItemMouseUp(TreeView*, TreeItem*, int, int) {}
    virtual void OnItemRightDown(TreeView*, TreeItem*, int, int) {}
    virtual void OnItemRightUp(TreeView*, TreeItem*, int, int) {}
    virtual void OnItemMouseMove(TreeView*, TreeItem*, int, int) {}
    // Non-zero consumes the key before the tree sees it.
    virtual int OnItemKeyDown(TreeView*, int) { return 0; }
    virtual void OnItemKeyUp(TreeView*, int) {}
    virtual void OnSelectionChanged(TreeView*, TreeItem*) {}
    virtual void OnExpanding(TreeView*, TreeItem*) {}
    virtual void OnExpanded(TreeView*, TreeItem*) {}
    virtual void OnCollapsing(TreeView*, TreeItem*) {}
    virtual void OnCollapsed(TreeView*, TreeItem*) {}

protected:
    ~TreeViewListener() = default;
};

// Keeps a tree's lists sorted: a new item goes before the first item of its list whose text
// compares after it (answer below 0), else last, so equal texts keep the order of adding.
class TreeItemComparer
{
public:
    virtual int CompareItems(const String& newText, const String& existingText) = 0;

protected:
    ~TreeItemComparer() = default;
};

// The rows of a tree view without its window: items, the keyboard cursor, the mark, the rows
// that show (items whose ancestors are all expanded, numbered depth-first) and the first row in
// view, kept in step with an attached vertical scroll bar. The window supplies the client size
// and does the repainting and scrolling through the hooks at the end.
class TreeModel : public TreeViewListener, public ScrolledContent
{
public:
    struct Row
    {
        TreeItem* item;
        int depth;
    };

    // The view named to the listener (borrowed; null for a model without a window).
    explicit TreeModel(TreeView* view);
    virtual ~TreeModel();
    TreeModel(const TreeModel&) = delete;
    TreeModel& operator=(const TreeModel&) = delete;

    // Null gives the model its own listener back. Not owned.
    void SetListener(TreeViewListener* listener) { listener_ = listener ? listener : this; }
    // An item height below 1 is taken as 1: rows are counted by dividing by it.
    void SetMetrics(int itemHeight, int indent, bool singleSelect);
    void SetClientSize(int width, int height);

    // Null gives unsorted lists (items go last) back. Not owned.
    void SetComparer(TreeItemComparer* comparer) { comparer_ = comparer; }
    // Null parent: a top-level item. The first item added becomes the cursor, unannounced.
    TreeItem* AddItem(TreeItem* parent, const StringRef& text, int32_t data1, int32_t data2, bool redraw);
    void DeleteItem(TreeItem* item, bool redraw);
    void DeleteAllItems(bool redraw);
    void SelectItem(TreeItem* item, bool redraw, bool scrollIntoView);
    // 0 when the text cannot be stored (the old one stays).
    int SetItemText(TreeItem* item, const StringRef& text, bool redraw);
    void Expand(TreeItem* item, bool redraw);
    void Collapse(TreeItem* item, bool redraw);
    // Depth-first through collapsed items too; null when none matches.
    TreeItem* FindByData1(int32_t value) const;
    TreeItem* FindByData2(int32_t value) const;
    // Null list: the top level. ChildAt throws std::out_of_range outside the list.
    int ChildCount(const TreeItem* list) const;
    TreeItem* ChildAt(const TreeItem* list, int index) const;

    bool IsShown(const TreeItem* item) const;
    // The row an item shows in, -1 when it does not show.
    int RowOf(const TreeItem* item) const;
    std::vector<Row> Rows() const;
    // The item whose row lies at client y, and its depth; null below the last row.
    TreeItem* ItemAtY(int y, int& depth) const;
    // The row's top in client coordinates.
    int RowTop(int row) const { return Unit() * (row - ScrollPosition()); }

    // Up, Down, Enter, Escape and Left after the listener; non-zero when the key was used.
    int KeyDown(int key);
    void KeyUp(int key) { listener_->OnItemKeyUp(view_, key); }

    TreeItem* Cursor() const { return cursor_; }
    TreeItem* Marked() const { return marked_; }
    int VisibleRowCount() const { return rowCount_; }
    int ItemHeight() const { return Unit(); }
    int Indent() const { return indent_; }
    Scroller* HorizontalScroller() const { return horizontal_; }

    // The vertical bar scrolls the rows; a horizontal one is only kept.
    void AttachScroller(Scroller* scroller, int id) override;

protected:
    TreeViewListener* Listener() const { return listener_; }
    TreeView* View() const { return view_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    void UpdateScroller();

    // The window's part; a model without a window does nothing.
    virtual void RepaintAll() {}
    virtual void RepaintItem(TreeItem*) {}

private:
    std::vector<std::unique_ptr<TreeItem>>& ListOf(TreeItem* parent);
    const std::vector<std::unique_ptr<TreeItem>>& ListOf(const TreeItem* parent) const;
    void Recount();
    void RepaintIfRowInView(const TreeItem* item);
    static void CollapseBelow(TreeItem* item, TreeItem*& marked);
    template <typename Match>
    TreeItem* Find(Match match) const;

    TreeView* view_;             // borrowed
    TreeViewListener* listener_; // borrowed (this by default)
    std::vector<std::unique_ptr<TreeItem>> items_;
    TreeItem* cursor_ = nullptr;           // borrowed from the items
    TreeItem* marked_ = nullptr;           // borrowed from the items; single-select mode
    TreeItemComparer* comparer_ = nullptr; // borrowed
    Scroller* horizontal_ = nullptr;       // borrowed
    int indent_ = 16;
    bool singleSelect_ = true;
    int rowCount_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};
