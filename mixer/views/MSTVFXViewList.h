#pragma once
#include <memory>
#include <vector>

#include "framework/controls/Scroller.h"
#include "framework/windows/Window.h"

class MSTVFXView;
class MSTVFXViewItem;
class MainWindowLink;

// The effect view's scrolling list of parameter rows: one row per shown parameter of the
// view's effect (none for the parameters in state 3 or the engine's own ones), or the one
// send row of an insert without effect. The view's scroll bar "vertscrollbar" scrolls it by
// whole rows. User-interface thread only.
class MSTVFXViewList : public Window, public ScrollClient
{
public:
    static constexpr int kChildId = 999;

    MSTVFXViewList(MSTVFXView& view, MainWindowLink& link);
    ~MSTVFXViewList() override;

    // A visible child of the view in the rectangle, with id 999; 0 when it cannot be made.
    int Create(int x, int y, int width, int height);
    // The bar is the view's control; null detaches it.
    void AttachScrollbar(Scroller* bar) { bar_ = bar; }

    // Deletes the rows, lays out, makes the rows again, lays out with redraw.
    void Rebuild();
    void Populate();
    void DeleteRows();
    // Page, total, range and position of the bar from the rows; scrolls to a position that
    // had to change.
    void Layout(int redraw);

    MSTVFXView& GetView() const { return view_; }
    MainWindowLink& GetLink() const { return link_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    MSTVFXViewItem* RowAt(int position) const;
    // The row that shows the parameter, or null.
    MSTVFXViewItem* RowOf(int parameterIndex) const;
    int GetScrollPosition() const { return position_; }

    // A positive step one row up (not above the first), a negative one down (not past the
    // bar's range).
    void OnMouseWheel(WPARAM flags, int x, int y) override;

    void AttachScroller(Scroller*, int) override {}
    void OnScrollPosition(int position, Scroller* scroller, int id) override;
    void OnLineUp(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnLineDown(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnPageUp(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnPageDown(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnScrollerNotify(Scroller*, int) override {}
    void OnScrollEnd() override {}

private:
    int RowHeight() const;
    void ScrollTo(int position);

    MSTVFXView& view_;     // the parent
    MainWindowLink& link_; // borrowed
    std::vector<std::unique_ptr<MSTVFXViewItem>> rows_;
    Scroller* bar_ = nullptr; // the view's control
    int position_ = 0;        // in rows
    int height_ = 0;
};
