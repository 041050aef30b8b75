#pragma once

#include "framework/platform/Win32Api.h"

class Graphics;
class SkinBitmap;
class Window;

// The views paint straight into their windows, which have no background image to compose
// over.

// Draws the left width pixels of a skin image at (x, y), its transparent colour showing the
// background colour.
void DrawImageOver(Graphics& graphics, SkinBitmap& image, int width, int x, int y, COLORREF background);
// A view's erase: it takes the keyboard focus, then fills the clip box with its background.
void EraseView(Window& view, Graphics& graphics, COLORREF background);
