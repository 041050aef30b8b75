#include "framework/controls/LabelControl.h"

#include "framework/controls/ControlLayout.h"
#include "framework/controls/Panel.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/SkinBitmap.h"

#include <algorithm>

int LabelControl::SetupLabel(int x, int y, const String& name, const String& text, FontInterface* font, uint32_t colour,
                             uint32_t disabledColour, int width, int alignment, SkinBitmap* background, int leftWidth,
                             int midWidth, int rightWidth, int margin)
{
    SetPosition(x, y);
    if (!SetName(name) || !text_.Assign(text))
        return 0;
    font_ = font;
    colour_ = colour;
    disabledColour_ = disabledColour;
    givenWidth_ = width;
    alignment_ = alignment;
    // An image that did not load draws nothing and sizes nothing.
    background_ = background && background->GetDib() ? background : nullptr;
    leftWidth_ = leftWidth;
    midWidth_ = midWidth;
    rightWidth_ = rightWidth;
    margin_ = margin;
    if (background_ && leftWidth_ == -1)
        SetSize(background_->Width(), background_->Height());
    else
        SetSize(SizesToText() ? TextWidth(text_) : width, background_ ? background_->Height()
                                                          : font_     ? font_->Height()
                                                                      : 0);
    return 1;
}

int LabelControl::TextWidth(const String& text) const
{
    return font_ && text.Length() ? font_->TextWidth(text) : 0;
}

int LabelControl::SetText(const String& text, int redraw)
{
    Rect before;
    GetRect(before);
    if (!text_.Assign(text))
        return 0;
    if (SizesToText())
        SetSize(TextWidth(text_), Height());
    if (redraw && GetParent())
    {
        // The old rectangle as well: a shorter text leaves its end behind otherwise.
        Rect after;
        GetRect(after);
        const Rect both = {before.left, before.top, std::max(before.right, after.right),
                           std::max(before.bottom, after.bottom)};
        GetParent()->RedrawArea(&both, 1);
    }
    return 1;
}

void LabelControl::Redraw()
{
    if (!GetParent())
        return;
    Rect rect;
    GetRect(rect);
    GetParent()->RedrawArea(&rect, 1);
}

void LabelControl::DrawLabel()
{
    if (background_)
    {
        if (leftWidth_ == -1)
            DrawBitmap(*background_, 0, 0);
        else
            for (const ControlLayout::SlicePiece& piece :
                 ControlLayout::ThreeSlices(Width(), leftWidth_, midWidth_, rightWidth_))
                DrawBitmapPart(*background_, piece.sourceX, 0, piece.width, background_->Height(), piece.targetX, 0);
    }
    if (!font_ || text_.Length() == 0)
        return;
    const int x = ControlLayout::TextX(Width(), margin_, font_->TextWidth(text_), alignment_);
    const int y = (Height() - font_->Height()) / 2;
    const Rect clip = {margin_, 0, Width() - margin_, Height()};
    DrawText(*font_, text_, x, y, IsDisabled() ? disabledColour_ : colour_, &clip);
}

void LabelControl::SetColour(uint32_t colour, int redraw)
{
    colour_ = colour;
    if (redraw)
        Redraw();
}
