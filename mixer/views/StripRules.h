#pragma once
#include <vector>

// The arithmetic of the strip section, apart from its windows: the horizontal scroll steps,
// where a strip lies in the whole strip area, which strip the arrow keys move to and where
// the views go when the engine moves a strip. Positions of the scroll bar count steps of
// kStripStep pixels.
namespace StripRules
{
constexpr int kStripStep = 76;
constexpr int kDefaultGroupSpacing = 10;
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;

// ScrollBy: direction 0 stays; below 0 steps back one from 1 on; above 0 steps on one below
// the maximum.
int ScrollPosition(int position, int maximum, int direction);

// EnsureStripVisible: the scroll position that shows the strip at x (width wide) in a section
// of sectionWidth pixels. A strip partly hidden is brought in by whole steps, the step count
// rounded away from zero so that the whole strip shows (group spacing puts strips off the
// 76-pixel grid).
int VisiblePosition(int x, int width, int position, int sectionWidth);

// StripX: widths[g][v] is the width of view v of group g; the x of view (group, view) in the
// whole strip area, each earlier group with its views and the spacing; -1 outside the groups.
int StripX(const std::vector<std::vector<int>>& widths, int spacing, int group, int view);

// Keyboard navigation from the focused view (group, view) over groups of the given sizes:
// Left and Right within a group; across groups only as far as the rule allows (Left from a
// group's first view from the third group on, Right from a group's last view up to the
// second-to-last group). True with the target when the focus moves.
struct Place
{
    int group;
    int view;
};
bool Navigate(const std::vector<int>& groupSizes, Place focused, int key, Place& target);

// MoveStripView: xs holds the views' x in their present order; the view at from goes to
// engine index to. Answers the new order's x, the moved view at its new place where the view
// at index to stood (the last view's place when to lies past the last view), the views it
// passes shifted by width.
std::vector<int> MoveViews(const std::vector<int>& xs, int from, int to, int width);
// The new order of the views: the view at from taken out and inserted at to (at the end past
// the last).
std::vector<int> MoveOrder(int count, int from, int to);
} // namespace StripRules
