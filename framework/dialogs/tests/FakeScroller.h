// A scroll bar as the views see it, without a window: it keeps what it is told, clamps
// positions to its range as a bar does and reports a changed position back to its client.
#pragma once

#include "framework/controls/Scroller.h"

#include <algorithm>

namespace viewstest
{
class FakeScroller : public Scroller
{
public:
    explicit FakeScroller(bool vertical = true, int id = 1) : vertical_(vertical), id_(id) {}

    int redraws = 0;

    void SetClient(ScrollClient* client) override
    {
        client_ = client;
        if (client_)
            client_->AttachScroller(this, id_);
    }
    void SetRange(int range, bool) override
    {
        range_ = range;
        position_ = std::min(position_, range_);
    }
    void SetTotal(int total, bool) override { total_ = total; }
    void SetVisible(int visible, bool) override { visible_ = visible; }
    void SetPosition(int position, bool) override
    {
        const int clamped = std::max(0, std::min(position, range_));
        if (clamped == position_)
            return;
        position_ = clamped;
        if (client_)
            client_->OnScrollPosition(position_, this, id_);
    }
    int GetRange() override { return range_; }
    int GetTotal() override { return total_; }
    int GetVisible() override { return visible_; }
    int GetPosition() override { return position_; }
    bool IsVertical() override { return vertical_; }
    void NotifyClient() override
    {
        if (client_)
            client_->OnScrollerNotify(this, id_);
    }
    void Redraw() override { ++redraws; }

private:
    bool vertical_;
    int id_;
    ScrollClient* client_ = nullptr;
    int range_ = 100;
    int total_ = 10;
    int visible_ = 10;
    int position_ = 0;
};
} // namespace viewstest
