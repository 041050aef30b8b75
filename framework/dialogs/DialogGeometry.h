#pragma once

#include "framework/platform/graphics/Rect.h"

// The arithmetic of skinned dialogs, message boxes and frames: sizes rounded to whole tiles,
// where a dialog goes, how wide a message box is, how a frame edge is tiled and hit.
class DialogGeometry
{
public:
    // Rounds size up so that the part between the two edge pieces holds whole tiles (a size
    // smaller than its edges takes just the edges). 0 for a tile narrower than a pixel, which
    // no size can hold whole.
    static int RoundToTiles(int size, int before, int after, int tile, int& rounded);

    // Where a dialog of that size goes: centred on the owner's rectangle (owner non-null: the
    // owner is shown) and pulled one pixel inside the work area, or centred in the work area.
    static void Place(const Rect* owner, const Rect& work, int width, int height, int& x, int& y);

    // What a message box's button row is made of: caption widths in the button font, the
    // segments of one button (left + right) and the icons' widths (0 without).
    struct ButtonRow
    {
        int ok = 0;
        int cancel = 0;
        int yes = 0;
        int no = 0;
        int segments = 0;
        int tick = 0;
        int cross = 0;
    };
    // The width of the buttons of a box type (0..5); 0 for any other type.
    static int ButtonRowWidth(int type, const ButtonRow& row);
    // A message box is 300 wide, wider for its title or its buttons (minWidth), at most two
    // thirds of the work area for its title.
    static int MessageBoxWidth(int workWidth, int titleWidth, int minWidth);

    // A span tiled by a piece: whole tiles and the width of the cut tile after them; 0 (none)
    // for a piece narrower than a pixel.
    static int Tiles(int span, int piece, int& whole, int& rest);

    // The hit-test code of a frame point (client coordinates) against its content rectangle:
    // the corners and edges outside it resize, the inside is the caption.
    static int FrameHitTest(const Rect& content, int x, int y);
};
