#pragma once

#include "framework/platform/graphics/Rect.h"

// The main frame's arithmetic, kept apart from its window so that it runs anywhere: where
// the frame opens, how its two scroll bars are set, by how much it shrinks to whole strips,
// and how its view modes follow one another.
namespace FrameLayout
{
// One mixer strip; two strips are the smallest strip width counted.
constexpr int kStripWidth = 76;
constexpr int kMinStripsWidth = 2 * kStripWidth;
// A stored width below this opens the frame this wide.
constexpr int kMinOpeningWidth = 470;
// A resize to a width above this is stored.
constexpr int kStoredWidthAbove = 420;
// The strip area's height when the skin has no "bg_stripNormal".
constexpr int kDefaultStripAreaHeight = 522;

// The width the frame opens at for the stored one: its strip part at least kMinOpeningWidth
// wide, beside the main section (sectionWidth 0 without one).
inline int OpeningWidth(int stored, int sectionWidth = 0)
{
    return stored < kMinOpeningWidth + sectionWidth ? kMinOpeningWidth + sectionWidth : stored;
}
inline bool StoresWidth(int width)
{
    return width > kStoredWidthAbove;
}

// The frame's height: its top and bottom pieces around the strip area, or, when that is
// higher, the top piece, the main section below it and under the section the room the frame
// keeps at its bottom right for the session name and the main toolbar.
inline int FrameHeight(int stripAreaHeight, int topPiece, int bottomPiece, int sectionHeight, int roomBelowSection)
{
    const int strips = topPiece + stripAreaHeight + bottomPiece;
    const int section = topPiece + sectionHeight + roomBelowSection;
    return strips > section ? strips : section;
}

// The frame moved into the work area: no wider or higher than it, and wholly inside it, so
// that a position stored on a monitor that has gone still opens where it can be reached.
Rect ClampIntoWorkArea(const Rect& frame, const Rect& workArea);
// The sync settings panel of that size at its stored point: a point outside the work area
// gives the work area's corner + 20; the panel is then moved wholly inside.
Rect SyncPanelPlace(int x, int y, int width, int height, const Rect& workArea);

// What a scroll bar is given, in the order it is given: visible size, total, position, range.
struct ScrollSettings
{
    int visible = 0;
    int total = 0;
    int position = 0;
    int range = 0;
};
// The strips scroll bar: the strip area's width, the strips' total width and the position
// the frame last stored (in strips).
ScrollSettings HorizontalScroll(int areaWidth, int stripsWidth, int storedPosition);
// The insert rows' scroll bar: the largest insert count of the strips, the row height, the
// rows the area shows and the bar's present position.
ScrollSettings VerticalScroll(int rows, int rowHeight, int visibleRows, int position);

// By how much the frame shrinks after creation so that it shows whole strips: the strip
// area's surplus over the strips, else the part of a strip that sticks out; 0 for strips
// narrower than two strips.
int FitShrink(int areaWidth, int stripsWidth);

// The frame's view modes: 0 strips, 1 and 2 the main section's two layouts, 3 the main
// toolbar, 4 the logo, 5 the next mode, 6 the same as 3, 7 none.
enum ViewMode
{
    kModeStrips = 0,
    kModeMainFirst = 1,
    kModeMainSecond = 2,
    kModeToolbar = 3,
    kModeLogo = 4,
    kModeNext = 5,
    kModeToolbarAgain = 6,
    kModeNone = 7
};

// The views a mode switch leaves and enters.
class ViewModeViews
{
public:
    virtual bool HasStripSection() = 0;
    virtual void LeaveMode(int mode) = 0;
    virtual void EnterMode(int mode) = 0;

protected:
    ~ViewModeViews() = default;
};

// Leaves the current mode and enters the requested one; answers the mode now current.
// Without a strip section mode 0 becomes mode 2; "next" goes round 0 to 4 (from none, to 0);
// "none" leaves the current view and keeps the recorded mode.
int SwitchViewMode(int current, int requested, ViewModeViews& views);
} // namespace FrameLayout
