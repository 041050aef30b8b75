#include "framework/dialogs/ViewPainting.h"

#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/Window.h"

#include <algorithm>

void DrawImageOver(Graphics& graphics, SkinBitmap& image, int width, int x, int y, COLORREF background)
{
    width = std::min(width, image.Width());
    const int height = image.Height();
    Bitmap composed;
    if (width <= 0 || height <= 0 || !composed.Create(width, height, 24))
        return;
    composed.FillRect(0, 0, width, height, background);
    image.Draw(composed, 0, 0, width, height, 0, 0, 0);
    graphics.Blit(composed, 0, 0, width, height, x, y);
}

void EraseView(Window& view, Graphics& graphics, COLORREF background)
{
    view.SetFocus();
    Rect clip;
    graphics.GetClipBox(clip);
    graphics.FillRect(clip, background);
}
