#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/dialogs/ScrolledContent.h"
#include "framework/platform/graphics/Rect.h"

#include <cstdint>
#include <memory>
#include <vector>

class ListBox;
class ListModel;
class SkinBitmap;

// One cell of a list box: an image, a text, two values for the caller.
class ListBoxItem : public Object
{
public:
    ListBoxItem(SkinBitmap* image, const StringRef& text, int32_t data1, int32_t data2);
    ~ListBoxItem() override;
    ListBoxItem(const ListBoxItem&) = delete;
    ListBoxItem& operator=(const ListBoxItem&) = delete;

    SkinBitmap* Image() const { return image_; }
    const String& GetText() const { return text_; }
    int32_t Data1() const { return data1_; }
    int32_t Data2() const { return data2_; }
    bool IsSelected() const { return selected_; }
    // In content coordinates, from the last layout.
    const Rect& Cell() const { return cell_; }

private:
    friend class ListModel;

    SkinBitmap* image_; // borrowed from the skin
    String text_;
    int32_t data1_;
    int32_t data2_;
    bool selected_ = false;
    Rect cell_;
};

// Where a new item goes: non-zero puts it before the existing one. The default answers 0, so
// items stay in the order they were added.
class ListBoxComparer
{
public:
    virtual int GoesBefore(ListBoxItem*, ListBoxItem*) { return 0; }

protected:
    ~ListBoxComparer() = default;
};

// What a list box tells its owner; the defaults do nothing and consume no key. Pointer events
// carry the point, the item under it (or null) and the key flags of the message.
class ListBoxListener
{
public:
    // On press and on release.
    virtual void OnItemMouseButton(ListBox*, int, int, ListBoxItem*, uint32_t) {}
    virtual void OnItemRightDown(ListBox*, int, int, ListBoxItem*, uint32_t) {}
    virtual void OnItemRightUp(ListBox*, int, int, ListBoxItem*, uint32_t) {}
    virtual void OnItemMouseMove(ListBox*, int, int, ListBoxItem*, uint32_t) {}
    // Non-zero consumes the key before the list sees it.
    virtual int OnItemKeyDown(ListBox*, int) { return 0; }
    virtual void OnItemKeyUp(ListBox*, int) {}
    virtual void OnSelectionChanged(ListBox*, ListBoxItem*) {}
    virtual void OnItemDoubleClick(ListBox*, int, int, ListBoxItem*, uint32_t) {}

protected:
    ~ListBoxListener() = default;
};

// The cells of a list box without its window: the items in the comparer's order, the grid
// they are laid out in for the client width, the cursor and the mark, and the scroll position
// (in steps of 8 pixels) kept in step with an attached vertical scroll bar. The window supplies
// the client size and does the repainting and scrolling through the hooks at the end.
class ListModel : public ListBoxListener, public ListBoxComparer, public ScrolledContent
{
public:
    static constexpr int kScrollStep = 8;

    // The view named to the listener (borrowed; null for a model without a window).
    explicit ListModel(ListBox* view);
    virtual ~ListModel();
    ListModel(const ListModel&) = delete;
    ListModel& operator=(const ListModel&) = delete;

    // Null gives the model its own listener or comparer back. Not owned.
    void SetSelectionListener(ListBoxListener* listener) { listener_ = listener ? listener : this; }
    void SetComparer(ListBoxComparer* comparer) { comparer_ = comparer ? comparer : this; }
    void SetGrid(bool singleSelect, int cellWidth, int cellHeight, int horzSpacing, int vertSpacing);
    // Stands in for an item added without an image (borrowed).
    void SetDefaultIcon(SkinBitmap* icon) { defaultIcon_ = icon; }
    // Lays the grid out for the new width and updates the scroll bar.
    void SetClientSize(int width, int height);

    ListBoxItem* AddItem(SkinBitmap* image, const StringRef& text, int32_t data1, int32_t data2, bool redraw);
    void DeleteAllItems(bool redraw);
    int Count() const { return static_cast<int>(items_.size()); }
    // Null on an empty list; throws std::out_of_range for an index outside the items.
    ListBoxItem* ItemAt(int index) const;
    // -1 when the item is not in the list.
    int IndexOf(const ListBoxItem* item) const;
    ListBoxItem* FindByData1(int32_t value) const;
    ListBoxItem* FindByData2(int32_t value) const;
    ListBoxItem* SelectedItem() const { return cursor_; }
    ListBoxItem* Marked() const { return marked_; }

    void Select(ListBoxItem* item, bool mark, bool redraw, bool scrollIntoView);
    // Nothing on an empty list; throws std::out_of_range for an index outside the items.
    void SelectIndex(int index, bool mark, bool redraw, bool scrollIntoView);
    // Move the cursor without marking and without wrapping around.
    void SelectNext();
    void SelectPrevious();
    // The first item whose cell, as scrolled, holds the client point.
    ListBoxItem* HitTest(int x, int y) const;
    // The item's cell as scrolled, in client coordinates.
    Rect VisibleCell(const ListBoxItem* item) const;

    // Up and Left, Down and Right after the listener; non-zero when the key was used.
    int KeyDown(int key);
    void KeyUp(int key) { listener_->OnItemKeyUp(view_, key); }
    // One step back (up) or on (down), within the bar's range.
    void Wheel(bool up);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    int ContentHeight() const { return contentHeight_; }

    // A vertical bar scrolls the cells; a horizontal one is not taken.
    void AttachScroller(Scroller* scroller, int id) override;

protected:
    ListBoxListener* Listener() const { return listener_; }
    ListBox* View() const { return view_; }
    int ClientHeight() const { return clientHeight_; }
    bool SingleSelect() const { return singleSelect_; }
    const std::vector<std::unique_ptr<ListBoxItem>>& Items() const { return items_; }
    void Layout();
    void UpdateScroller();

    // The window's part; a model without a window does nothing.
    virtual void RepaintAll() {}
    virtual void RepaintItem(ListBoxItem*) {}

private:
    template <typename Match>
    ListBoxItem* Find(Match match) const;

    ListBox* view_;             // borrowed
    ListBoxListener* listener_; // borrowed (this by default)
    ListBoxComparer* comparer_; // borrowed (this by default)
    std::vector<std::unique_ptr<ListBoxItem>> items_;
    bool singleSelect_ = true;
    int cellWidth_ = 32;
    int cellHeight_ = 48;
    int horzSpacing_ = 8;
    int vertSpacing_ = 8;
    SkinBitmap* defaultIcon_ = nullptr; // borrowed
    int columns_ = 0;
    int rows_ = 0;
    int contentHeight_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    ListBoxItem* cursor_ = nullptr; // borrowed from the items
    ListBoxItem* marked_ = nullptr; // borrowed from the items; single-select mode
};
