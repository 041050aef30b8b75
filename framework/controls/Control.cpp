#include "framework/controls/Control.h"

#include "framework/controls/InPlaceEditor.h"
#include "framework/controls/Panel.h"
#include "framework/controls/Tooltip.h"
#include "framework/platform/Timer.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"

Control* Control::pressedControl = nullptr;
Control* Control::hoverControl = nullptr;
Control* Control::rightClickedControl = nullptr;

Control::~Control()
{
    if (pressedControl == this)
        pressedControl = nullptr;
    if (hoverControl == this)
        hoverControl = nullptr;
    if (rightClickedControl == this)
        rightClickedControl = nullptr;
    Tooltip::ForgetKey(this);
    if (item_)
        item_->Unbind(this);
}

int Control::IsDisabled() const
{
    return disabled_ || (item_ && item_->IsDisabled()) ? 1 : 0;
}

int Control::IsHidden() const
{
    return hidden_ || (item_ && item_->IsHidden()) ? 1 : 0;
}

void Control::SetDisabled(int flag, int alsoItem, int redraw)
{
    disabled_ = flag;
    if (alsoItem && item_)
        item_->SetDisabled(flag, 1);
    if (redraw)
        Invalidate(nullptr);
}

void Control::BindItem(DataItem* item)
{
    item_ = item;
    OnDataItemChanged();
}

void Control::OnDataItemDetached()
{
    item_ = nullptr;
    OnDataItemChanged();
}

void Control::SetShape(std::unique_ptr<Region> shape)
{
    shape_ = std::move(shape);
}

void Control::GetRect(Rect& rect) const
{
    rect = Rect{x_, y_, x_ + width_, y_ + height_};
}

void Control::MoveTo(int x, int y)
{
    if (shape_)
        shape_->Offset(x - x_, y - y_);
    x_ = x;
    y_ = y;
}

int Control::HitTest(int px, int py) const
{
    if (shape_)
        return shape_->Contains(px, py);
    return px >= x_ && px <= x_ + width_ && py >= y_ && py <= y_ + height_ ? 1 : 0;
}

void Control::Invalidate(const Rect* rect)
{
    if (!parent_ || !parent_->ComposedBackground())
        return;
    Rect area;
    if (rect)
        area = *rect;
    else
        GetRect(area);
    const RECT dirty = {area.left, area.top, area.right, area.bottom};
    // The controls a tick changes (meters, polled values) are drawn and painted together when
    // the window paints, once the tick is back in the message loop: one paint per window, and
    // nothing for what cannot be seen.
    if (Timer::IsFiring())
    {
        parent_->NoteStaleControl();
        if (!parent_->CanBeSeen())
        {
            if (stale_ == kFresh)
                stale_ = kWaiting;
            if (stale_ == kWaiting)
                parent_->WatchWaitingControls();
            return;
        }
        // A control that asked already has its area waiting for the paint.
        if (stale_ != kAsked || rect)
            parent_->Invalidate(dirty, 1);
        stale_ = kAsked;
        return;
    }
    DrawCurrent();
    // A window nobody sees keeps its background current and is painted whole once shown.
    if (!parent_->IsVisible())
        return;
    parent_->Invalidate(dirty, 1);
    parent_->Update();
}

void Control::AskForPaint()
{
    if (!parent_)
        return;
    const RECT dirty = {x_, y_, x_ + width_, y_ + height_};
    parent_->Invalidate(dirty, 1);
    stale_ = kAsked;
}

int Control::Notify(int argument)
{
    // What the listener does next must see the typed text stored.
    InPlaceEditor::CloseCurrent();
    return parent_ ? parent_->GetListener()->OnControlNotify(parent_, this, argument) : 0;
}

int Control::IsPressed() const
{
    return parent_ && pressedControl == this ? 1 : 0;
}

void Control::ReleasePress()
{
    if (!IsPressed())
        return;
    pressedControl = nullptr;
    Window::ReleaseCapture();
}

void Control::ShowTooltip()
{
    if (!Tooltip::TooltipsEnabled || !parent_ || tooltip_.Length() == 0)
        return;
    // The skin clears its current pointer when it is destroyed.
    Skin* skin = Skin::Current();
    const TooltipStyle* style = skin ? skin->GetTooltipStyle() : nullptr;
    if (!style)
        return;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    if (!parent_->GetScreenArea(left, top, width, height))
        return;
    if (Tooltip* tooltip = Tooltip::Instance())
        tooltip->Show(*style, tooltip_, this, parent_, left + x_, top + y_ - style->images->Height());
}

void Control::OnTimer(UINT_PTR id)
{
    if (Tooltip* tooltip = Tooltip::Current())
        tooltip->OnOwnerTimer(id);
}

Bitmap* Control::Target() const
{
    return parent_ ? parent_->ComposedBackground() : nullptr;
}

void Control::DrawText(const FontInterface& font, const String& text, int dx, int dy, COLORREF colour, const Rect* clip)
{
    Bitmap* target = Target();
    if (!target)
        return;
    Rect area;
    if (clip)
        area = Rect{clip->left + x_, clip->top + y_, clip->right + x_, clip->bottom + y_};
    else
        GetRect(area);
    target->DrawText(text, font, 0, x_ + dx, y_ + dy, colour, &area);
}

void Control::DrawBitmap(SkinBitmap& bitmap, int dx, int dy)
{
    if (Bitmap* target = Target())
        bitmap.DrawWhole(*target, x_ + dx, y_ + dy, 0);
}

void Control::DrawBitmapPart(SkinBitmap& bitmap, int sx, int sy, int width, int height, int dx, int dy)
{
    if (Bitmap* target = Target())
        bitmap.Draw(*target, sx, sy, width, height, x_ + dx, y_ + dy, 0);
}

void Control::DrawRawBitmap(const Bitmap& bitmap, int dx, int dy)
{
    if (Bitmap* target = Target())
        target->CopyPixels(bitmap, 0, 0, bitmap.Width(), bitmap.Height(), x_ + dx, y_ + dy, BitmapPixels::CopyBottomUp,
                           -1, -1, 0);
}

void Control::DrawFocusRect(const Rect& rect)
{
    if (Bitmap* target = Target())
        target->DrawFocusRect(Rect{rect.left + x_, rect.top + y_, rect.right + x_, rect.bottom + y_});
}
