#pragma once

#include "framework/controls/Scroller.h"

// The vertical scrolling the tree view and the list box share: the first unit in view (a row,
// or a step of pixels), kept in step with an attached vertical bar, which is the authority on
// where scrolling may go.
class ScrolledContent : public ScrollClient
{
public:
    int ScrollPosition() const { return position_; }
    Scroller* VerticalScroller() const { return vertical_; }

    // Every move of the vertical bar scrolls the contents; other bars are ignored.
    void OnScrollPosition(int position, Scroller* scroller, int id) override;
    void OnLineUp(int position, Scroller* scroller, int id) override;
    void OnLineDown(int position, Scroller* scroller, int id) override;
    void OnPageUp(int position, Scroller* scroller, int id) override;
    void OnPageDown(int position, Scroller* scroller, int id) override;
    void OnScrollerNotify(Scroller*, int) override {}
    void OnScrollEnd() override {}

protected:
    explicit ScrolledContent(int unit) : unit_(unit) {}
    ~ScrolledContent() = default;

    // Pixels per unit; at least 1.
    void SetUnit(int pixels);
    int Unit() const { return unit_; }
    // Null detaches.
    void SetVerticalScroller(Scroller* scroller) { vertical_ = scroller; }
    // The content is units long and fit units show: the position stays below the largest
    // position by one (and not below 0), and the bar gets the pixel sizes and the range.
    void UpdateScroller(int units, int fit, int totalPixels, int visiblePixels);
    // Through the bar, which clamps to its range and reports back; nothing without a bar.
    void MoveScrollerTo(int position);
    // Moves the drawn contents by dy pixels (positive: down); nothing without a window.
    virtual void ScrollContents(int) {}

private:
    void ScrollTo(int position);

    Scroller* vertical_ = nullptr; // borrowed: the bar lives in its panel
    int position_ = 0;
    int unit_;
};
