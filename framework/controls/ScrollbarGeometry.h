#pragma once

#include <vector>

// The arithmetic of a scroll bar along its axis, apart from drawing and input so that it runs
// anywhere. Lengths are pixels; range, total, visible and position are the client's units.
namespace ScrollbarGeometry
{
// The lengths of the eight parts of the bar's image, end to end in this order. The buttons
// hold two states (normal, pressed), each half as long.
struct Parts
{
    int decBg = 0;
    int barBg = 0;
    int incBg = 0;
    int decBut = 0;
    int incBut = 0;
    int barBegin = 0;
    int barMid = 0;
    int barEnd = 0;

    // Where each part starts in the image: the sum of the lengths before it.
    int DecBgOffset() const { return 0; }
    int BarBgOffset() const { return decBg; }
    int IncBgOffset() const { return decBg + barBg; }
    int DecButOffset() const { return IncBgOffset() + incBg; }
    int IncButOffset() const { return DecButOffset() + decBut; }
    int BarBeginOffset() const { return IncButOffset() + incBut; }
    int BarMidOffset() const { return BarBeginOffset() + barBegin; }
    int BarEndOffset() const { return BarMidOffset() + barMid; }
};

struct State
{
    int range = 100;
    int total = 10;
    int visible = 10;
    int position = 0;
};

// A run of the track, from the bar's start.
struct Span
{
    int start = 0;
    int length = 0;
};

// The part between the two end backgrounds.
int Track(int length, const Parts& parts);

// The thumb a press is tested against: at least as long as both end backgrounds, at most the
// track; the whole track when there is no content.
Span HitThumb(int length, const Parts& parts, const State& state);
// The thumb a drag moves: its length is the visible share of the track (capped at the whole).
Span DragThumb(int length, const Parts& parts, const State& state);
// The thumb that is drawn; false when none is (no content, content smaller than the view, or
// a thumb shorter than a pixel).
bool DrawnThumb(int length, const Parts& parts, const State& state, Span& thumb);

// Pieces of length piece laid from start over span, the last one cut; none for a piece below
// one pixel, and none beyond the longest bitmap (BitmapPixels::kMaxSide).
std::vector<Span> Tiles(int start, int span, int piece);

// How far one page moves; 0 when the content fits the view (or there is no range).
int PageMove(const State& state);
// The new positions; unchanged where the step does not apply.
int PageUp(const State& state);
int PageDown(const State& state);
int LineUp(const State& state);
int LineDown(const State& state);

// The position for a thumb dragged to thumbPixel (relative to the track's start, not
// clamped); -1 when the thumb fills the track and cannot be dragged.
int DragPosition(int thumbPixel, int length, const Parts& parts, const State& state);
} // namespace ScrollbarGeometry
