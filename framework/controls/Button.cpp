#include "framework/controls/Button.h"

#include "framework/controls/ControlLayout.h"
#include "framework/controls/RadioGroupLogic.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/SkinBitmap.h"

#include <algorithm>

namespace
{
// A flag or integer item takes the state as it is, without its range rule.
int WriteState(DataItem& item, int checked)
{
    switch (item.GetKind())
    {
    case DataItem::KindFlag:
        return static_cast<FlagItem&>(item).value = checked;
    case DataItem::KindInt:
        return static_cast<IntItem&>(item).value = checked;
    case DataItem::KindReal:
        static_cast<RealItem&>(item).value = static_cast<float>(checked);
        return checked;
    default:
        return checked;
    }
}
}

Button::~Button()
{
    if (radioLogic_)
        radioLogic_->Remove(this);
}

void Button::SetColours(uint32_t text, uint32_t checked, uint32_t disabled, uint32_t hover, uint32_t focus)
{
    textColour_ = text;
    checkedTextColour_ = checked;
    disabledTextColour_ = disabled;
    hoverTextColour_ = hover;
    focusTextColour_ = focus;
}

int Button::Setup(int x, int y, const String& name, SkinBitmap* image, SkinBitmap* icon, RadioGroupLogic* radioLogic)
{
    SetPosition(x, y);
    SetName(name);
    image_ = image;
    icon_ = icon;
    // A missing image (a skin fault) leaves a button of no size.
    if (image_ && image_->GetDib())
        SetSize(image_->Width(), image_->Height() / 4);
    if (radioLogic)
        radioLogic->Add(this);
    if (image_ && image_->IsTransparent())
    {
        auto shape = std::make_unique<Region>();
        if (image_->MakeRegionAt(*shape, 0, 0, Width(), Height()) && shape->Offset(x, y))
            SetShape(std::move(shape));
    }
    return 1;
}

int Button::SetupWithText(int x, int y, const String& name, SkinBitmap* image, SkinBitmap* icon,
                          const String& caption, FontInterface* font, uint32_t textColour,
                          uint32_t checkedTextColour, uint32_t disabledTextColour, uint32_t hoverTextColour,
                          uint32_t focusTextColour, RadioGroupLogic* radioLogic)
{
    caption_.Assign(caption);
    font_ = font;
    SetColours(textColour, checkedTextColour, disabledTextColour, hoverTextColour, focusTextColour);
    return Setup(x, y, name, image, icon, radioLogic);
}

int Button::SetupSegmented(int x, int y, const String& name, int width, SkinBitmap* image, int leftWidth,
                           int midWidth, int rightWidth, SkinBitmap* icon, const String& caption,
                           FontInterface* font, uint32_t textColour, uint32_t checkedTextColour,
                           uint32_t disabledTextColour, uint32_t hoverTextColour, uint32_t focusTextColour,
                           RadioGroupLogic* radioLogic)
{
    if (!image || !image->GetDib())
        return 0;
    SetPosition(x, y);
    SetName(name);
    image_ = image;
    icon_ = icon;
    leftWidth_ = leftWidth;
    midWidth_ = midWidth;
    rightWidth_ = rightWidth;
    caption_.Assign(caption);
    font_ = font;
    SetColours(textColour, checkedTextColour, disabledTextColour, hoverTextColour, focusTextColour);
    int content = font_ ? font_->TextWidth(caption_) : 0;
    if (icon_ && icon_->GetDib())
        content += icon_->Width();
    SetSize(std::max(width, content), image_->Height() / 4);
    if (radioLogic)
        radioLogic->Add(this);
    if (image_->IsTransparent())
        ShapeFromSegments();
    return 1;
}

void Button::ShapeFromSegments()
{
    uint32_t key = 0;
    Bitmap frame;
    if (Width() <= 0 || Height() <= 0 || !image_->GetKeyPixel(key) || !frame.Create(Width(), Height(), *image_->GetDib()))
        return;
    // What no slice covers (a middle of no width) is not the button's.
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
            frame.SetPixel(x, y, key);
    for (const ControlLayout::SlicePiece& piece : ControlLayout::ThreeSlices(Width(), leftWidth_, midWidth_, rightWidth_))
        image_->Draw(frame, piece.sourceX, 0, piece.width, Height(), piece.targetX, 0, 1);
    auto shape = std::make_unique<Region>();
    if (shape->FromBitmapKeyed(frame, 0, 0, Width(), Height(), key) && shape->Offset(X(), Y()))
        SetShape(std::move(shape));
}

int Button::IsDisabled() const
{
    if (Control::IsDisabled())
        return 1;
    return radioLogic_ && radioLogic_->GetItem() && radioLogic_->GetItem()->IsDisabled() ? 1 : 0;
}

void Button::Draw()
{
    if (!image_)
        return;
    const int frameTop = ((IsDisabled() ? 2 : 0) + (checked_ ? 1 : 0)) * Height();
    if (IsSegmented())
    {
        for (const ControlLayout::SlicePiece& piece :
             ControlLayout::ThreeSlices(Width(), leftWidth_, midWidth_, rightWidth_))
            DrawBitmapPart(*image_, piece.sourceX, frameTop, piece.width, Height(), piece.targetX, 0);
    }
    else
    {
        DrawBitmapPart(*image_, 0, frameTop, Width(), Height(), 0, 0);
    }
    const int shift = checked_ ? 1 : 0;
    int iconWidth = 0;
    if (icon_ && icon_->GetDib())
    {
        iconWidth = icon_->Width();
        const int iconHeight = icon_->Height() / 2;
        // Only the button's own flag picks the disabled icon, not its item's.
        const int iconTop = disabled_ ? iconHeight : 0;
        const int iconX = IsSegmented() ? leftWidth_ : (Width() - iconWidth) / 2;
        const int iconY = (Height() - iconHeight) / 2;
        DrawBitmapPart(*icon_, 0, iconTop, iconWidth, iconHeight, iconX + shift, iconY + shift);
    }
    if (caption_.Length() && font_)
    {
        const int textWidth = font_->TextWidth(caption_);
        int textX = (Width() - textWidth) / 2;
        if (iconWidth)
            textX = IsSegmented() ? iconWidth + 2 * leftWidth_ : textX + iconWidth;
        const int textY = (Height() - font_->Height()) / 2;
        const uint32_t colour = disabled_      ? disabledTextColour_
                                : IsFocused() ? focusTextColour_
                                : checked_    ? checkedTextColour_
                                              : textColour_;
        DrawText(*font_, caption_, textX + shift, textY + shift, colour, nullptr);
    }
    if (IsFocused())
        DrawFocusRect(Rect{0, 0, Width(), Height()});
}

void Button::OnMouseDown(WPARAM, int, int)
{
    if (IsDisabled() || (GetItem() && GetItem()->IsHidden()))
        return;
    if (radioLogic_)
        radioLogic_->Select(this);
    else if (GetItem())
        SetChecked(!checked_, 1, 1, 1);
    else
    {
        checked_ = 1;
        Invalidate(nullptr);
    }
}

void Button::OnMouseUp(WPARAM, int x, int y)
{
    if (IsDisabled() || GetItem() || radioLogic_)
        return;
    checked_ = 0;
    Invalidate(nullptr);
    // The command fires on a release inside only.
    if (x >= 0 && x < Width() && y >= 0 && y < Height())
        Notify(0);
}

void Button::OnDataItemChanged()
{
    if (DataItem* item = GetItem())
        if (item->GetKind() <= DataItem::KindReal)
            checked_ = static_cast<NumericItem*>(item)->GetValue() != 0.0 ? 1 : 0;
    Invalidate(nullptr);
}

void Button::SetChecked(int checked, int redraw, int notify, int writeItem)
{
    checked_ = checked;
    DataItem* item = GetItem();
    if (item && writeItem)
    {
        const int value = WriteState(*item, checked);
        item->RefreshControls(nullptr);
        item->NotifyOwner(value);
    }
    else if (redraw)
    {
        Invalidate(nullptr);
    }
    if (notify)
        Notify(checked);
}
