#include "framework/controls/RotaryControl.h"

#include "framework/controls/FrameMap.h"
#include "framework/controls/Panel.h"
#include "framework/controls/RotaryPopup.h"
#include "framework/controls/Slider.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/skin/SkinBitmap.h"

RotaryControl::RotaryControl() : FrameIndexControl(TypeRotary) {}

RotaryControl::~RotaryControl() = default;

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

void RotaryControl::SetPopup(int horizontal, SkinBitmap* trackImage, SkinBitmap* thumbImage, int travel,
                             int startOffset, int sideOffset)
{
    popup_ = std::make_unique<RotaryPopup>(*this, horizontal, trackImage, thumbImage, travel, startOffset, sideOffset);
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
    Cursor::GetPosition(pressX_, pressY_);
    Panel* panel = GetParent();
    if (popup_ && panel && popup_->Show())
    {
        // The pointer starts on the popup's thumb; the drag counts from there.
        popup_->GetSlider()->CentreCursorOnThumb();
        int x = 0;
        int y = 0;
        if (Cursor::GetPosition(x, y) && panel->ScreenToClient(x, y))
            SetLastPosition(x - X(), y - Y());
    }
    Invalidate(nullptr);
}

void RotaryControl::OnMouseMove(WPARAM, int x, int)
{
    if (!IsPressed() || IsHidden() || IsDisabled())
        return;
    const int delta = x - LastX();
    if (!delta)
        return;
    Slider* slider = popup_ ? popup_->GetSlider() : nullptr;
    FrameIndexControl& target = slider ? static_cast<FrameIndexControl&>(*slider) : *this;
    const int next = FrameMap::DraggedFrame(target.GetFrame(), delta, target.FrameCount());
    if (next != target.GetFrame())
        target.SetFrame(next, 1, 1, 1);
}

void RotaryControl::OnMouseUp(WPARAM, int, int)
{
    if (IsHidden() || IsDisabled())
        return;
    if (popup_)
        popup_->Hide();
    Cursor::SetPosition(pressX_, pressY_);
    Invalidate(nullptr);
}
