#pragma once

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
// tiled; slices of no width and pieces of nothing are left out.
std::vector<SlicePiece> ThreeSlices(int width, int left, int middle, int right);

// Width of a tooltip's bitmap: half of each end slice around the text, rounded up to a
// multiple of 8.
int TooltipWidth(int textWidth, int left, int right);
}
