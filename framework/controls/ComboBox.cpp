#include "framework/controls/ComboBox.h"

#include "framework/controls/Panel.h"
#include "framework/controls/ScrollbarGeometry.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/SkinBitmap.h"

#include <algorithm>

namespace
{
NumericItem* AsNumeric(DataItem* item)
{
    if (!item)
        return nullptr;
    const int kind = item->GetKind();
    return kind == DataItem::KindFlag || kind == DataItem::KindInt || kind == DataItem::KindReal
               ? static_cast<NumericItem*>(item)
               : nullptr;
}
} // namespace

ComboBox::~ComboBox()
{
    PopupMenu::CloseMenusOf(this);
}

int ComboBox::Setup(int x, int y, const String& name, int width, SkinBitmap* image, uint32_t textColour,
                    uint32_t disabledTextColour, FontInterface* font, const PopupMenuStyle* popupStyle,
                    const ScrollbarStyle* popupScrollbarStyle, int leftWidth, int midWidth, int rightWidth)
{
    SetPosition(x, y);
    SetName(name);
    image_ = image;
    SetSize(std::max(width, kMinimumWidth), image ? image->Height() : 0);
    textColour_ = textColour;
    disabledTextColour_ = disabledTextColour;
    font_ = font;
    popupStyle_ = popupStyle;
    popupScrollbarStyle_ = popupScrollbarStyle;
    leftWidth_ = leftWidth;
    midWidth_ = midWidth;
    rightWidth_ = rightWidth;
    return 1;
}

int ComboBox::AddItem(const String& text, int enabled, int value)
{
    String copy;
    if (!copy.Assign(text))
        return 0;
    texts_.push_back(std::move(copy));
    enabled_.push_back(enabled ? 1 : 0);
    values_.push_back(value);
    return 1;
}

void ComboBox::ClearItems()
{
    texts_.clear();
    enabled_.clear();
    values_.clear();
}

int ComboBox::GetItemText(int index, String& text) const
{
    if (index < 0 || index >= ItemCount())
        return 0;
    return text.Assign(texts_[static_cast<size_t>(index)]);
}

void ComboBox::SetItemEnabled(int index, int flag)
{
    if (index >= 0 && index < ItemCount())
        enabled_[static_cast<size_t>(index)] = flag ? 1 : 0;
}

int ComboBox::GetSelection()
{
    if (NumericItem* item = AsNumeric(GetItem()))
        selection_ = static_cast<int>(item->GetValue());
    return selection_;
}

int ComboBox::SelectedEntry()
{
    const int selection = GetSelection();
    return selection >= 0 && selection < ItemCount() ? selection : -1;
}

int ComboBox::WriteItem(int index)
{
    NumericItem* item = AsNumeric(GetItem());
    if (!item)
        return 0;
    const double minimum = item->GetMin();
    const double maximum = item->GetMax();
    if (minimum != maximum && (index < minimum || index > maximum))
        return 0;
    item->SetValue(static_cast<float>(index), 0, 0, nullptr);
    item->NotifyOwner(index);
    item->RefreshControls(nullptr);
    return 1;
}

void ComboBox::SetSelection(int index)
{
    if (index < 0 || index >= ItemCount())
        return;
    if (AsNumeric(GetItem()))
    {
        WriteItem(index);
        return;
    }
    if (index == selection_)
        return;
    selection_ = index;
    Invalidate(nullptr);
    Notify(index);
}

void ComboBox::Draw()
{
    if (texts_.empty() || !image_)
        return;
    const int height = Height();
    DrawBitmapPart(*image_, 0, 0, leftWidth_, height, 0, 0);
    for (const ScrollbarGeometry::Span& tile :
         ScrollbarGeometry::Tiles(leftWidth_, Width() - leftWidth_ - rightWidth_, midWidth_))
        DrawBitmapPart(*image_, leftWidth_, 0, tile.length, height, tile.start, 0);
    const int disabled = IsDisabled();
    const int rightSource = leftWidth_ + midWidth_ + (disabled ? rightWidth_ : 0);
    DrawBitmapPart(*image_, rightSource, 0, rightWidth_, height, Width() - rightWidth_, 0);

    const int entry = SelectedEntry();
    if (entry < 0 || !font_)
        return;
    const uint32_t colour = disabled || !enabled_[static_cast<size_t>(entry)] ? disabledTextColour_ : textColour_;
    const Rect clip = {0, 0, Width() - rightWidth_, height};
    DrawText(*font_, texts_[static_cast<size_t>(entry)], leftWidth_, (height - font_->Height()) / 2, colour, &clip);
}

void ComboBox::OnMouseUp(WPARAM, int, int)
{
    Panel* panel = GetParent();
    const int disabled = GetItem() ? GetItem()->IsDisabled() : disabled_;
    if (disabled || texts_.empty() || !panel)
        return;
    auto* menu = new PopupMenu();
    if (!menu->SetStyle(popupStyle_, Width(), popupScrollbarStyle_))
    {
        delete menu;
        return;
    }
    for (int i = 0; i < ItemCount(); ++i)
        menu->AddItem(texts_[static_cast<size_t>(i)], i, enabled_[static_cast<size_t>(i)] ? 0 : 1, 0, nullptr);
    int left = 0;
    int top = 0;
    panel->ClientToScreen(left, top);
    if (!menu->Track(left + X(), top + Y() + Height() - 1, this, panel, 0))
        delete menu;
}

void ComboBox::OnMenuCommand(int index)
{
    // The entries may have changed while the menu was open.
    if (index < 0 || index >= ItemCount())
        return;
    if (AsNumeric(GetItem()))
    {
        selection_ = index;
        WriteItem(index);
    }
    else
    {
        SetSelection(index);
    }
    if (Panel* panel = GetParent())
        panel->SetFocus();
}

int ComboBox::GetItemValue(int index) const
{
    return index >= 0 && index < ItemCount() ? values_[index] : -1;
}

int ComboBox::IsItemEnabled(int index) const
{
    return index >= 0 && index < ItemCount() ? enabled_[index] : 0;
}
