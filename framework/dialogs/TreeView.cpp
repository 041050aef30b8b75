#include "framework/dialogs/TreeView.h"

#include "framework/dialogs/ViewPainting.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/SkinBitmap.h"

TreeView::TreeView() : TreeModel(this), renderer_(this) {}

TreeView::~TreeView() = default;

int TreeView::SetStyle(const TreeViewStyle& style)
{
    style_ = style;
    SetMetrics(style.itemHeight, style.indent, style.singleSelect);
    return 1;
}

int TreeView::IconColumn() const
{
    return style_.openIcon && style_.closeIcon ? style_.iconWidth : Indent();
}

FontInterface* TreeView::FontOf(const TreeItem* item) const
{
    return !item->Parent() && style_.parentFont ? style_.parentFont : style_.font;
}

int TreeView::TextWidth(const TreeItem* item) const
{
    const FontInterface* font = FontOf(item);
    return font ? font->TextWidth(item->GetText()) : 0;
}

void TreeView::RedrawItem(TreeItem* item)
{
    const int row = RowOf(item);
    if (row < 0)
        return;
    const int top = RowTop(row);
    if (top + ItemHeight() <= 0 || top >= ClientHeight())
        return;
    InvalidateArea(0, top, ClientWidth(), ItemHeight(), 1);
}

TreeItem* TreeView::HitTest(int x, int y)
{
    int depth = 0;
    TreeItem* item = ItemAtY(y, depth);
    if (!item)
        return nullptr;
    const int left = Indent() * depth;
    return x >= left && x <= left + IconColumn() + TextWidth(item) + 9 ? item : nullptr;
}

void TreeView::OnCreate()
{
    int x, y, width, height;
    if (GetClientArea(x, y, width, height))
        SetClientSize(width, height);
}

int TreeView::OnSize(WPARAM, int width, int height)
{
    SetClientSize(width, height);
    return 1;
}

int TreeView::OnEraseBackground(Graphics& graphics)
{
    EraseView(*this, graphics, style_.bgColor);
    return 1;
}

void TreeView::OnPaint(Graphics& graphics)
{
    const std::vector<Row> rows = Rows();
    for (int r = ScrollPosition(); r < static_cast<int>(rows.size()); ++r)
    {
        const int top = RowTop(r);
        if (top >= ClientHeight())
            break;
        TreeItem* item = rows[static_cast<size_t>(r)].item;
        const int left = Indent() * rows[static_cast<size_t>(r)].depth;
        if (style_.drawExpanders && item->ChildCount() > 0)
            renderer_->DrawExpander(graphics, item, left, top);
        else
            renderer_->DrawItemIcon(graphics, item, left, top);
        const int textLeft = left + 4 + IconColumn();
        renderer_->DrawItemText(graphics, item, textLeft, top);
        if (item == Cursor())
            renderer_->DrawHoverFrame(graphics, item, textLeft, top);
    }
}

void TreeView::DrawIcon(Graphics& graphics, SkinBitmap* icon, int x, int y)
{
    if (icon)
        DrawImageOver(graphics, *icon, style_.iconWidth, x + 4, y + (ItemHeight() - icon->Height()) / 2 + 1,
                      style_.bgColor);
}

void TreeView::DrawExpander(Graphics& graphics, TreeItem* item, int x, int y)
{
    DrawIcon(graphics, item->IsExpanded() ? style_.closeIcon : style_.openIcon, x, y);
}

void TreeView::DrawItemIcon(Graphics& graphics, TreeItem*, int x, int y)
{
    DrawIcon(graphics, style_.leafIcon, x, y);
}

void TreeView::DrawItemText(Graphics& graphics, TreeItem* item, int x, int y)
{
    const FontInterface* font = FontOf(item);
    if (!font)
        return;
    const int width = font->TextWidth(item->GetText());
    if (item->IsSelected())
        graphics.FillRect(Rect{x + 2, y, x + 2 + width + 3, y + ItemHeight()}, style_.selectedBgColor);
    graphics.TextOut(item->GetText(), x + 4, y + 1, Rect{x, y, ClientWidth(), y + ItemHeight()}, *font,
                     renderer_->TextColour(item));
}

void TreeView::DrawHoverFrame(Graphics& graphics, TreeItem* item, int x, int y)
{
    const int right = x + TextWidth(item) + 5;
    const int bottom = y + ItemHeight() - 1;
    const POINT frame[5] = {{x + 2, y}, {right, y}, {right, bottom}, {x + 2, bottom}, {x + 2, y}};
    graphics.Polyline(frame, 5, style_.cursorColor);
}

COLORREF TreeView::TextColour(TreeItem* item)
{
    if (item->IsSelected())
        return style_.selectedFontColor;
    return item->ChildCount() > 0 ? style_.parentFontColor : style_.fontColor;
}

void TreeView::OnMouseDown(WPARAM, int x, int y)
{
    SetFocus();
    TreeItem* item = HitTest(x, y);
    SelectItem(item, true, true);
    Listener()->OnItemMouseDown(this, item, x, y);
}

void TreeView::OnMouseUp(WPARAM, int x, int y)
{
    Listener()->OnItemMouseUp(this, HitTest(x, y), x, y);
}

void TreeView::OnDoubleClick(WPARAM, int x, int y)
{
    SetFocus();
    SelectItem(HitTest(x, y), true, true);
}

void TreeView::OnRightButtonDown(WPARAM, int x, int y)
{
    TreeItem* item = HitTest(x, y);
    SelectItem(item, true, false);
    Listener()->OnItemRightDown(this, item, x, y);
}

void TreeView::OnRightButtonUp(WPARAM, int x, int y)
{
    Listener()->OnItemRightUp(this, HitTest(x, y), x, y);
}

void TreeView::OnMouseMove(WPARAM, int x, int y)
{
    Listener()->OnItemMouseMove(this, HitTest(x, y), x, y);
}

int TreeView::OnKeyDown(WPARAM key, LPARAM)
{
    return KeyDown(static_cast<int>(key));
}

int TreeView::OnKeyUp(WPARAM key, LPARAM)
{
    KeyUp(static_cast<int>(key));
    return 1;
}
