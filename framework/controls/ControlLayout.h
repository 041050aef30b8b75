#pragma once

#include "framework/platform/graphics/Rect.h"

#include <vector>

// The arithmetic of skinned controls, apart from drawing.
namespace ControlLayout
{
// One piece of a three-slice image: sourceX and width within the image, targetX within the
// control.
struct SlicePiece
{
    int sourceX;
    int width;
    int targetX;
};

// A left, middle and right slice stretched to width: the left slice at 0, whole middle
// slices from the left slice's end with the remainder as a cut piece, the right slice ending
// at width. A middle slice narrower than a pixel (skins leave sizes at 0 or -1) is not
// tiled; slices of no width and pieces of nothing are left out, and so are middle pieces that
// would start beyond the widest bitmap (BitmapPixels::kMaxSide): nothing could show them.
std::vector<SlicePiece> ThreeSlices(int width, int left, int middle, int right);

// Width of a tooltip's bitmap: half of each end slice around the text, rounded up to a
// multiple of 8.
int TooltipWidth(int textWidth, int left, int right);

// Where a one-line text starts in a control width wide with margin pixels kept free on each
// side: alignment 0 left, 1 centred, 2 right. A text wider than the free span counts as that
// wide, so right-aligned and centred texts keep their start inside the control.
int TextX(int width, int margin, int textWidth, int alignment);

// The in-place editor's box over a text control's rectangle: inset by margin, then grown up
// and down when lower than the font, and (textWidth not -1: a numeric display) grown left and
// right to the text's width plus 2 pixels each side when the text does not fit.
Rect EditorBox(const Rect& control, int margin, int fontHeight, int textWidth);

// One run of border pieces: count pieces of the border image's part named baseName ("tl",
// "tr", "bl", "br", "t", "b", "l", "r"), the first at (x, y), each next one a piece further
// right (horizontal) or down.
struct BorderRun
{
    const char* baseName;
    int x;
    int y;
    bool horizontal;
    int count;
};

// Pieces of a 32 x 32 border image: 8-pixel corners, 16-pixel edges.
const int kBorderCorner = 8;
const int kBorderEdge = 16;

// Where each part of the border image lies in it (x, y, width, height).
struct BorderPiece
{
    const char* baseName;
    int x;
    int y;
    int width;
    int height;
};
const int kBorderPieceCount = 8;
extern const BorderPiece kBorderPieces[kBorderPieceCount];

// The eight runs of a border around (x, y, width, height), the size rounded down to
// multiples of 16 (and cut to the widest bitmap, BitmapPixels::kMaxSide); a run never has
// fewer than one piece.
std::vector<BorderRun> BorderRuns(int x, int y, int width, int height);

// A page tab's page area: the border below the row of tab buttons, overlapping their last
// row, as high as whole 16-pixel pieces of the rest allow.
struct Area
{
    int x;
    int y;
    int width;
    int height;
};
Area PageBorder(int x, int y, int width, int height, int tabHeight);

// Where a popup of the given size goes, centred 2 pixels above the control's top edge (screen
// coordinates): an edge outside the work area is moved to lie 1 pixel inside; a popup larger
// than the work area is kept on the screen, its top edge at least at 0.
void PlacePopup(int centreX, int top, int width, int height, const Area& workArea, int screenWidth, int& x, int& y);
} // namespace ControlLayout
