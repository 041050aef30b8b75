#pragma once

#include "framework/controls/Control.h"
#include "framework/controls/ScrollbarGeometry.h"
#include "framework/controls/Scroller.h"
#include "framework/platform/Timer.h"

#include <memory>

class Region;
class ScrollbarStyle;
class SkinBitmap;

// A skinned scroll bar: two buttons, a track and a thumb drawn from one image that holds the
// eight parts end to end along the bar's axis. It drives one ScrollClient; holding a button
// or the track repeats the step on the framework ticker, first after 250 ms, then every
// 50 ms. One user-interface thread: the press and drag state is shared by all bars.
class Scrollbar : public Control, public Scroller, public TimerListener
{
public:
    static constexpr uint32_t kFirstRepeatMs = 250;
    static constexpr uint32_t kRepeatMs = 50;
    static constexpr int32_t kRepeatArgument = 10;

    Scrollbar();
    // Clears the shared press state when it is this bar's.
    ~Scrollbar() override;

    // 0 without a style, without its image, or with a part length below 0.
    int Setup(int x, int y, const String& name, const ScrollbarStyle* style, int length, int id, ScrollClient* client);
    void SetLength(int length);
    int Length() const { return length_; }
    int Thickness() const;

    // Scroller.
    void SetClient(ScrollClient* client) override;
    void SetRange(int range, bool redraw) override;
    void SetTotal(int total, bool redraw) override;
    void SetVisible(int visible, bool redraw) override;
    void SetPosition(int position, bool redraw) override;
    int GetRange() override { return state_.range; }
    int GetTotal() override { return state_.total; }
    int GetVisible() override { return state_.visible; }
    int GetPosition() override { return state_.position; }
    bool IsVertical() override { return vertical_; }
    void NotifyClient() override;
    void Redraw() override { Invalidate(nullptr); }

    void Draw() override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseMove(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnTimerTick(int32_t argument) override;

private:
    enum class Step
    {
        LineUp,
        LineDown,
        PageUp,
        PageDown
    };

    void Resize();
    // 0 to BitmapPixels::kMaxSide.
    static int BoundedLength(int length);
    void BuildRegions();
    // Draws the part at image offset over length pixels at axis position at.
    void DrawPart(int offset, int length, int at);
    void DoStep(Step step);
    // Sets the held flag and does the step at once; the repeat timer does it again until the
    // release.
    void Hold(bool& held, Step step);

    bool vertical_ = true;
    SkinBitmap* images_ = nullptr; // borrowed from the skin
    ScrollbarGeometry::Parts parts_;
    int length_ = 100;
    ScrollClient* client_ = nullptr; // borrowed
    int id_ = -1;
    ScrollbarGeometry::State state_;
    int decPressed_ = 0;
    int incPressed_ = 0;
    std::unique_ptr<Region> decButtonRegion_; // control coordinates
    std::unique_ptr<Region> incButtonRegion_;
    Timer repeatTimer_;
};
