#include "framework/controls/Slider.h"

#include "framework/controls/FrameMap.h"
#include "framework/controls/Panel.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/skin/SkinBitmap.h"

#include <algorithm>

int Slider::Setup(int x, int y, const String& name, int horizontal, SkinBitmap* trackImage, SkinBitmap* thumbImage,
                  SkinBitmap* pressedThumbImage, SkinBitmap* disabledThumbImage, int travel, int startOffset,
                  int sideOffset, int thumbFrames, DataItem* item)
{
    if (!trackImage || !thumbImage)
        return 0;
    const int frames = std::max(thumbFrames, 1);
    const int thumbWidth = thumbImage->Width() / frames;
    const int length = horizontal ? trackImage->Width() : trackImage->Height();
    const int thumbLength = horizontal ? thumbWidth : thumbImage->Height();
    // The travel is the frame count: a slider with none cannot show a value.
    const int frameCount = FrameMap::SliderTravel(travel, length, thumbLength);
    if (frameCount < 1)
        return 0;
    SetPosition(x, y);
    SetSize(trackImage->Width(), trackImage->Height());
    horizontal_ = horizontal;
    trackImage_ = trackImage;
    thumbImage_ = thumbImage;
    pressedThumbImage_ = pressedThumbImage ? pressedThumbImage : thumbImage;
    disabledThumbImage_ = disabledThumbImage ? disabledThumbImage : thumbImage;
    thumbFrames_ = frames;
    thumbWidth_ = thumbWidth;
    travel_ = frameCount;
    startOffset_ = startOffset;
    sideOffset_ = sideOffset;
    frame_ = 0;
    if (!SetName(name))
        return 0;
    // The panel binds the item when it adds the control; the frame shows its value already.
    SyncFrameFrom(item);
    return 1;
}

void Slider::ThumbRect(Rect& rect) const
{
    const int thumbHeight = thumbImage_ ? thumbImage_->Height() : 0;
    const int start =
        FrameMap::SliderThumbStart(horizontal_, frame_, startOffset_, horizontal_ ? thumbWidth_ : thumbHeight, Height());
    rect.left = horizontal_ ? start : sideOffset_;
    rect.top = horizontal_ ? sideOffset_ : start;
    rect.right = rect.left + thumbWidth_;
    rect.bottom = rect.top + thumbHeight;
}

void Slider::CentreCursorOnThumb() const
{
    Panel* panel = GetParent();
    if (!panel)
        return;
    Rect thumb;
    ThumbRect(thumb);
    int x = X() + (thumb.left + thumb.right) / 2;
    int y = Y() + (thumb.top + thumb.bottom) / 2;
    if (panel->ClientToScreen(x, y))
        Cursor::SetPosition(x, y);
}

void Slider::Draw()
{
    if (!trackImage_)
        return;
    DrawBitmap(*trackImage_, 0, 0);
    SkinBitmap& thumb = IsDisabled() ? *disabledThumbImage_ : IsPressed() ? *pressedThumbImage_ : *thumbImage_;
    // Thumbs with several frames change with the value; frames never reach travel_, so the
    // last value shows the strip's last frame and nothing beyond it.
    const int k = static_cast<int>(static_cast<long long>(thumbFrames_) * frame_ / travel_);
    Rect rect;
    ThumbRect(rect);
    DrawBitmapPart(thumb, k * thumbWidth_, 0, thumbWidth_, rect.bottom - rect.top, rect.left, rect.top);
}

void Slider::OnMouseDown(WPARAM, int x, int y)
{
    if (IsHidden() || IsDisabled())
        return;
    Rect thumb;
    ThumbRect(thumb);
    // Only the thumb is dragged: a click on the track does nothing.
    if (x < thumb.left || x > thumb.right || y < thumb.top || y > thumb.bottom)
    {
        ReleasePress();
        return;
    }
    Invalidate(nullptr);
}

void Slider::OnMouseUp(WPARAM, int, int)
{
    if (IsHidden() || IsDisabled())
        return;
    CentreCursorOnThumb();
    Invalidate(nullptr);
}
