#include "framework/controls/RotaryControl.h"

#include "framework/controls/FrameMap.h"
#include "framework/skin/SkinBitmap.h"

int RotaryControl::Setup(int x, int y, const String& name, SkinBitmap* image, SkinBitmap* pressedImage,
                         SkinBitmap* disabledImage, int frames, int frameWidth, DataItem* item)
{
    const int width = image ? FrameMap::RotaryFrameWidth(image->Width(), frames, frameWidth) : 0;
    if (width < 1 || frames < 1)
        return 0;
    SetPosition(x, y);
    SetSize(width, image->Height());
    image_ = image;
    pressedImage_ = pressedImage ? pressedImage : image;
    disabledImage_ = disabledImage ? disabledImage : image;
    frames_ = frames;
    frame_ = 0;
    if (!SetName(name))
        return 0;
    // The panel binds the item when it adds the control; the frame shows its value already.
    SyncFrameFrom(item);
    return 1;
}

void RotaryControl::Draw()
{
    SkinBitmap& strip = IsDisabled() ? *disabledImage_ : IsPressed() ? *pressedImage_ : *image_;
    DrawBitmapPart(strip, frame_ * Width(), 0, Width(), Height(), 0, 0);
}

void RotaryControl::OnMouseDown(WPARAM, int, int)
{
    if (IsHidden() || IsDisabled())
        return;
    Invalidate(nullptr);
}

void RotaryControl::OnMouseUp(WPARAM, int, int)
{
    if (IsHidden() || IsDisabled())
        return;
    Invalidate(nullptr);
}
