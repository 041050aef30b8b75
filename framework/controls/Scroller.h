#pragma once

class ScrollClient;

// A scroll bar as the views it drives see it. Range is the largest position; total and visible
// are the content's and the view's extents in the client's own units.
class Scroller
{
public:
    virtual void SetClient(ScrollClient* client) = 0;
    virtual void SetRange(int range, bool redraw) = 0;
    virtual void SetTotal(int total, bool redraw) = 0;
    virtual void SetVisible(int visible, bool redraw) = 0;
    virtual void SetPosition(int position, bool redraw) = 0;
    virtual int GetRange() = 0;
    virtual int GetTotal() = 0;
    virtual int GetVisible() = 0;
    virtual int GetPosition() = 0;
    virtual bool IsVertical() = 0;
    // Calls the client's OnScrollerNotify.
    virtual void NotifyClient() = 0;
    virtual void Redraw() = 0;

protected:
    ~Scroller() = default;
};

// A view that a scroll bar drives. The id is the one the bar was given, so one client can tell
// two bars apart.
class ScrollClient
{
public:
    // Called as soon as a bar takes this client: set range, total, visible and position.
    virtual void AttachScroller(Scroller* scroller, int id) = 0;
    virtual void OnScrollPosition(int position, Scroller* scroller, int id) = 0;
    virtual void OnLineUp(int position, Scroller* scroller, int id) = 0;
    virtual void OnLineDown(int position, Scroller* scroller, int id) = 0;
    virtual void OnPageUp(int position, Scroller* scroller, int id) = 0;
    virtual void OnPageDown(int position, Scroller* scroller, int id) = 0;
    virtual void OnScrollerNotify(Scroller* scroller, int id) = 0;
    virtual void OnScrollEnd() = 0;

protected:
    ~ScrollClient() = default;
};
