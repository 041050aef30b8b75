#include "framework/controls/SliderBar.h"

#include "framework/skin/SkinBitmap.h"

int SliderBar::Setup(int x, int y, const String& name, int horizontal, SkinBitmap* trackImage, SkinBitmap* barImage,
                     SkinBitmap* pressedBarImage, SkinBitmap* disabledBarImage, SkinBitmap* disabledTrackImage,
                     DataItem* item)
{
    // The bar is sized by its track and has a frame per pixel of it: nothing to show without.
    if (!trackImage || !barImage || (horizontal ? trackImage->Width() : trackImage->Height()) < 1)
        return 0;
    SetPosition(x, y);
    SetSize(trackImage->Width(), trackImage->Height());
    horizontal_ = horizontal;
    trackImage_ = trackImage;
    barImage_ = barImage;
    pressedBarImage_ = pressedBarImage ? pressedBarImage : barImage;
    disabledBarImage_ = disabledBarImage ? disabledBarImage : barImage;
    disabledTrackImage_ = disabledTrackImage ? disabledTrackImage : trackImage;
    frame_ = 0;
    if (!SetName(name))
        return 0;
    // The panel binds the item when it adds the control; the frame shows its value already.
    SyncFrameFrom(item);
    return 1;
}

void SliderBar::Draw()
{
    const int disabled = IsDisabled();
    SkinBitmap& bar = disabled ? *disabledBarImage_ : IsPressed() ? *pressedBarImage_ : *barImage_;
    SkinBitmap& track = disabled ? *disabledTrackImage_ : *trackImage_;
    if (horizontal_)
    {
        if (frame_ > 0)
            DrawBitmapPart(bar, 0, 0, frame_, Height(), 0, 0);
        DrawBitmapPart(track, frame_, 0, Width() - frame_, Height(), frame_, 0);
        return;
    }
    // A vertical bar fills from the bottom, as its frames count upwards.
    const int top = Height() - frame_;
    DrawBitmapPart(track, 0, 0, Width(), top, 0, 0);
    if (frame_ > 0)
        DrawBitmapPart(bar, 0, top, Width(), frame_, 0, top);
}

void SliderBar::OnMouseDown(WPARAM, int x, int y)
{
    if (IsHidden() || IsDisabled())
        return;
    SetFrame(horizontal_ ? x : Height() - y, 1, 1, 1);
    Invalidate(nullptr);
}

void SliderBar::OnMouseUp(WPARAM, int, int)
{
    if (IsHidden() || IsDisabled())
        return;
    Invalidate(nullptr);
}
