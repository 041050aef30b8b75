#include "framework/dialogs/ListBox.h"

#include "framework/dialogs/ViewPainting.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/SkinBitmap.h"

ListBox::ListBox() : ListModel(this) {}

ListBox::~ListBox() = default;

int ListBox::SetStyle(const ListBoxStyle& style)
{
    style_ = style;
    SetDefaultIcon(style.defaultIcon);
    SetGrid(style.singleSelect, style.cellWidth, style.cellHeight, style.horzSpacing, style.vertSpacing);
    return 1;
}

void ListBox::RepaintItem(ListBoxItem* item)
{
    const Rect cell = VisibleCell(item);
    InvalidateArea(cell.left - 1, cell.top - 1, cell.right - cell.left + 2, cell.bottom - cell.top + 2, 1);
}

void ListBox::OnCreate()
{
    int x, y, width, height;
    if (GetClientArea(x, y, width, height))
        SetClientSize(width, height);
}

int ListBox::OnSize(WPARAM, int width, int height)
{
    SetClientSize(width, height);
    InvalidateAll(1);
    return 1;
}

int ListBox::OnEraseBackground(Graphics& graphics)
{
    EraseView(*this, graphics, style_.bgColor);
    return 1;
}

void ListBox::OnPaint(Graphics& graphics)
{
    Rect clip;
    graphics.GetClipBox(clip);
    for (const auto& item : Items())
    {
        const Rect cell = VisibleCell(item.get());
        // One pixel around: the cursor's frame lies outside the image.
        if (cell.right + 1 > clip.left && cell.left - 1 < clip.right && cell.bottom + 1 > clip.top &&
            cell.top - 1 < clip.bottom)
            PaintItem(graphics, item.get());
    }
}

void ListBox::PaintItem(Graphics& graphics, ListBoxItem* item)
{
    const Rect cell = VisibleCell(item);
    const bool cursor = item == SelectedItem();
    int textTop = cell.top;
    if (SkinBitmap* image = item->Image())
    {
        const int x = cell.left + (cell.right - cell.left - image->Width()) / 2;
        const int y = style_.showIconText ? cell.top : cell.top + (cell.bottom - cell.top - image->Height()) / 2;
        DrawImageOver(graphics, *image, image->Width(), x, y, style_.bgColor);
        if (cursor)
            graphics.FrameRect(Rect{x - 1, y - 1, x + image->Width() + 1, y + image->Height() + 1},
                               style_.cursorColour);
        textTop = cell.top + image->Height() + style_.iconToTextSpacing;
    }
    if (!style_.showIconText)
        return;
    const Rect box{cell.left, textTop, cell.right, cell.bottom - 1};
    if (item->IsSelected())
        graphics.FillRect(box, style_.selectedTextBackground);
    if (style_.font)
        graphics.DrawText(item->GetText(), box, *style_.font,
                          item->IsSelected() ? style_.selectedTextColour : style_.textColour,
                          DT_CENTER | DT_WORDBREAK | DT_WORD_ELLIPSIS);
    if (cursor)
        graphics.FrameRect(box, style_.cursorColour);
}

ListBoxItem* ListBox::SelectAt(int x, int y)
{
    ListBoxItem* item = HitTest(x, y);
    Select(item, true, true, false);
    return item;
}

void ListBox::OnMouseDown(WPARAM keys, int x, int y)
{
    SetFocus();
    Listener()->OnItemMouseButton(this, x, y, SelectAt(x, y), static_cast<uint32_t>(keys));
}

void ListBox::OnMouseUp(WPARAM keys, int x, int y)
{
    Listener()->OnItemMouseButton(this, x, y, HitTest(x, y), static_cast<uint32_t>(keys));
}

void ListBox::OnDoubleClick(WPARAM keys, int x, int y)
{
    SetFocus();
    Listener()->OnItemDoubleClick(this, x, y, SelectAt(x, y), static_cast<uint32_t>(keys));
}

void ListBox::OnRightButtonDown(WPARAM keys, int x, int y)
{
    Listener()->OnItemRightDown(this, x, y, SelectAt(x, y), static_cast<uint32_t>(keys));
}

void ListBox::OnRightButtonUp(WPARAM keys, int x, int y)
{
    Listener()->OnItemRightUp(this, x, y, HitTest(x, y), static_cast<uint32_t>(keys));
}

void ListBox::OnMouseMove(WPARAM keys, int x, int y)
{
    Listener()->OnItemMouseMove(this, x, y, HitTest(x, y), static_cast<uint32_t>(keys));
}

void ListBox::OnMouseWheel(WPARAM keys, int, int)
{
    Wheel(GET_WHEEL_DELTA_WPARAM(keys) > 0);
}

int ListBox::OnKeyDown(WPARAM key, LPARAM)
{
    return KeyDown(static_cast<int>(key));
}

int ListBox::OnKeyUp(WPARAM key, LPARAM)
{
    KeyUp(static_cast<int>(key));
    return 1;
}
