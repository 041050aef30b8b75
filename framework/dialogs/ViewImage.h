#pragma once

#include "framework/platform/Win32Api.h"

class Graphics;
class SkinBitmap;

// Draws the left width pixels of a skin image at (x, y), its transparent colour showing the
// background colour: the views paint straight into their windows, which have no background
// image to compose over.
void DrawImageOver(Graphics& graphics, SkinBitmap& image, int width, int x, int y, COLORREF background);
