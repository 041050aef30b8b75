#include "framework/controls/PopupMenu.h"

#include "framework/controls/ScrollPanel.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/ScrollbarGeometry.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/AppBase.h"

#include <algorithm>

namespace
{
PopupMenu* g_current = nullptr; // borrowed: the menu made or returned to last

int WidthOf(const SkinBitmap* bitmap)
{
    return bitmap ? bitmap->Width() : 0;
}

int HeightOf(const SkinBitmap* bitmap)
{
    return bitmap ? bitmap->Height() : 0;
}

// Tiles image over (x, y, width, height) of target, the last tile of each run cut.
void TileInto(Bitmap& target, SkinBitmap* image, int x, int y, int width, int height)
{
    if (!image || image->Width() < 1 || image->Height() < 1)
        return;
    for (const ScrollbarGeometry::Span& row : ScrollbarGeometry::Tiles(y, height, image->Height()))
        for (const ScrollbarGeometry::Span& column : ScrollbarGeometry::Tiles(x, width, image->Width()))
            image->Draw(target, 0, 0, column.length, row.length, column.start, row.start, 1);
}
} // namespace

PopupMenu::PopupMenu()
{
    style_.normalColour = 0x000000;
    style_.selectedColour = 0xFFFFFF;
    style_.disabledColour = 0x646464;
    style_.selectionColour = 0xC80000;
    style_.itemVertSpacing = 2;
    g_current = this;
}

PopupMenu::~PopupMenu()
{
    destroying_ = true;
    delete child_; // hands the current menu back to this one
    child_ = nullptr;
    if (parent_)
        parent_->child_ = nullptr;
    if (g_current == this)
        MakeCurrent(parent_);
    else if (NativeWindow::GetCurrentPopup() == this)
        NativeWindow::SetCurrentPopup(nullptr);
    items_.clear();
    chosen_ = nullptr;
    scrollPanel_.reset();
    // The window goes before anyone hears of the menu's end.
    if (HasCapture())
        Window::ReleaseCapture();
    Destroy();
    if (ownerHandle_ && ::IsWindow(ownerHandle_))
        if (Window* owner = NativeWindow::FromHandle(ownerHandle_))
            owner->Activate();
    if (skin_)
        skin_->OnPopupMenuReleased(this);
}

PopupMenu* PopupMenu::Current()
{
    return g_current;
}

void PopupMenu::MakeCurrent(PopupMenu* menu)
{
    g_current = menu;
    // Only a menu with a window can take the keys and hear outside clicks.
    NativeWindow::SetCurrentPopup(menu && menu->GetHandle() ? menu : nullptr);
}

void PopupMenu::CloseAll()
{
    while (g_current)
        delete g_current;
}

void PopupMenu::CloseMenusOf(MenuListener* listener)
{
    PopupMenu* root = g_current;
    while (root && root->parent_)
        root = root->parent_;
    if (root && root->listener_ == listener)
        CloseAll();
}

void PopupMenu::CloseAndDelete()
{
    CloseAll();
}

int PopupMenu::SetStyle(const PopupMenuStyle* style, int minimumWidth, const ScrollbarStyle* scrollbarStyle)
{
    if (!style || !style->font)
        return 0;
    for (const SkinBitmap* piece : style->frame)
        if (!piece)
            return 0;
    const int rowHeight = style->font->Height() + style->itemVertSpacing;
    // Rows below a pixel would stack every item on one line and scroll by nothing.
    if (rowHeight < 1)
        return 0;
    style_ = *style;
    minimumWidth_ = minimumWidth;
    scrollbarStyle_ = scrollbarStyle;
    rowHeight_ = rowHeight;
    textLeft_ = WidthOf(style_.frame[TopLeft]) + WidthOf(style_.vertBanner);
    textTop_ = HeightOf(style_.frame[TopLeft]) + HeightOf(style_.topBanner);
    firstTop_ = textTop_;
    width_ = WidthOf(style_.frame[TopRight]) + textLeft_;
    height_ = textTop_ + 2 * HeightOf(style_.frame[BotRight]);
    return 1;
}

int PopupMenu::Add(std::unique_ptr<PopupMenuItem> item, int index, int capped)
{
    if (!style_.font)
        return 0;
    if (item->icon)
    {
        iconColumnWidth_ = std::max(iconColumnWidth_, item->icon->Width());
        hasIcon_ = 1;
    }
    if (!item->separator)
        textColumnWidth_ = std::max(textColumnWidth_, style_.font->TextWidth(item->text));
    if (item->checked)
        hasCheck_ = 1;
    if (item->hasSubmenu)
        item->rowPosition = height_ - rowHeight_;
    height_ += rowHeight_;
    if (capped)
        height_ = std::min(height_, kMaxRows * rowHeight_ + 8);
    if (index < 0 || index >= ItemCount())
        items_.push_back(std::move(item));
    else
        items_.insert(items_.begin() + index, std::move(item));
    return 1;
}

int PopupMenu::InsertItem(const String& text, int commandId, int disabled, int checked, SkinBitmap* icon, int index)
{
    auto item = std::make_unique<PopupMenuItem>();
    if (!item->text.Assign(text))
        return 0;
    item->commandId = commandId;
    item->disabled = disabled;
    item->checked = checked;
    item->icon = icon;
    return Add(std::move(item), index, 1);
}

int PopupMenu::AddItem(const String& text, int commandId, int disabled, int checked, SkinBitmap* icon)
{
    return InsertItem(text, commandId, disabled, checked, icon, -1);
}

int PopupMenu::AddItem(const char* text, int commandId, int disabled, int checked, SkinBitmap* icon)
{
    String wide;
    if (!wide.AppendAnsi(text ? text : ""))
        return 0;
    return AddItem(wide, commandId, disabled, checked, icon);
}

int PopupMenu::AddSeparator()
{
    auto item = std::make_unique<PopupMenuItem>();
    item->separator = 1;
    return Add(std::move(item), -1, 0);
}

int PopupMenu::AddSubmenu(const String& text, int commandId, int disabled, const String& submenuName)
{
    auto item = std::make_unique<PopupMenuItem>();
    if (!item->text.Assign(text) || !item->submenuName.Assign(submenuName))
        return 0;
    item->hasSubmenu = 1;
    item->commandId = commandId;
    item->disabled = disabled;
    return Add(std::move(item), -1, 0);
}

int PopupMenu::AddSubmenu(const char* text, int commandId, int disabled, const char* submenuName)
{
    String wideText;
    String wideName;
    if (!wideText.AppendAnsi(text ? text : "") || !wideName.AppendAnsi(submenuName ? submenuName : ""))
        return 0;
    return AddSubmenu(wideText, commandId, disabled, wideName);
}

const PopupMenuItem* PopupMenu::ItemAt(int index) const
{
    return index >= 0 && index < ItemCount() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

void PopupMenu::SetItemDisabled(int index, int flag)
{
    if (index >= 0 && index < ItemCount())
        items_[static_cast<size_t>(index)]->disabled = flag;
}

void PopupMenu::SetItemChecked(int index, int flag)
{
    if (index < 0 || index >= ItemCount())
        return;
    items_[static_cast<size_t>(index)]->checked = flag;
    if (flag)
        hasCheck_ = 1;
}

int PopupMenu::IsItemChecked(int index) const
{
    const PopupMenuItem* item = ItemAt(index);
    return item ? item->checked : 0;
}

int PopupMenu::FindItem(int commandId) const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (items_[static_cast<size_t>(i)]->commandId == commandId)
            return i;
    return -1;
}

int PopupMenu::HighlightedIndex() const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (items_[static_cast<size_t>(i)]->highlighted)
            return i;
    return -1;
}

Window* PopupMenu::Owner() const
{
    return ownerHandle_ && ::IsWindow(ownerHandle_) ? NativeWindow::FromHandle(ownerHandle_) : nullptr;
}

int PopupMenu::Track(int x, int y, MenuListener* listener, Window* ownerWindow, int keepInWorkArea)
{
    if (!style_.font)
        return 0;
    listener_ = listener;
    ownerHandle_ = ownerWindow ? ownerWindow->GetHandle() : nullptr;
    gap_ = style_.font->TextWidth(u"x");
    if (iconColumnWidth_ > 0)
        width_ += gap_ + iconColumnWidth_;
    if (hasCheck_)
        width_ += std::max(WidthOf(style_.subMenuIcon), WidthOf(style_.tickIcon)) + gap_ / 2;
    width_ += textColumnWidth_ + gap_;
    if (minimumWidth_ != -1 && width_ < minimumWidth_)
        width_ = minimumWidth_;
    width_ = (width_ + 15) / 16 * 16;
    BuildBackground();
    if (!background_)
        return 0;

    Window* parent = ownerWindow;
    if (!parent && AppBase::Current())
        parent = AppBase::Current()->GetMainWindow();
    if (keepInWorkArea)
    {
        RECT work = {};
        if (!parent || !parent->GetMonitorWorkArea(work))
            Window::GetWorkArea(work);
        if (x + width_ > work.right)
            x = work.right - width_ - 1;
        if (y + height_ > work.bottom)
            y = work.bottom - height_ - 1;
        if (x < work.left)
            x = work.left + 1;
        if (y < work.top)
            y = work.top + 1;
    }
    int shaped = 0;
    for (SkinBitmap* piece : style_.frame)
        shaped |= piece->IsTransparent();
    // The owner is known to the system only, by handle: a framework parent would be called
    // when the menu's window goes, and the owner may be gone by then.
    if (!CreateEx(nullptr, WS_EX_TOPMOST, WS_POPUP | WS_SYSMENU | (shaped ? 0 : WS_VISIBLE), x, y, width_, height_, 0,
                  nullptr))
        return 0;
    if (parent && parent->GetHandle())
        ::SetWindowLongPtrA(GetHandle(), GWLP_HWNDPARENT,
                            reinterpret_cast<LONG_PTR>(::GetAncestor(parent->GetHandle(), GA_ROOT)));
    BringToForeground();
    MakeCurrent(this);
    if (scrollbarStyle_)
    {
        scrollPanel_ = std::make_unique<ScrollPanel>();
        if (!scrollPanel_->Setup(scrollbarStyle_, this, height_ - 2) ||
            !scrollPanel_->Create(this, width_ - 17, 1, 1))
        {
            scrollPanel_.reset();
            scroller_ = nullptr;
            return 0;
        }
        UpdateScrollRange();
    }
    if (shaped)
    {
        uint32_t key = 0;
        Region shape;
        if (style_.frame[TopLeft]->GetKeyPixel(key) &&
            shape.FromBitmapKeyed(*background_, 0, 0, background_->Width(), background_->Height(), key))
            SetRegion(&shape, 1);
        Show(SW_SHOW);
    }
    x_ = x;
    y_ = y;
    return 1;
}

void PopupMenu::BuildBackground()
{
    background_.reset();
    SkinBitmap** frame = style_.frame;
    Bitmap* format = frame[TopLeft]->GetDib();
    if (!format || width_ < 1 || height_ < 1)
        return;
    auto bitmap = std::make_unique<Bitmap>();
    if (!bitmap->Create(width_, height_, *format))
        return;
    const int left = frame[TopLeft]->Width();
    const int right = frame[TopRight]->Width();
    const int top = frame[TopLeft]->Height();
    const int bottom = frame[BotLeft]->Height();
    const int middleWidth = width_ - left - right;
    const int middleHeight = height_ - top - bottom;
    TileInto(*bitmap, frame[CenterMid], left, top, middleWidth, middleHeight);
    TileInto(*bitmap, frame[CenterLeft], 0, top, frame[CenterLeft]->Width(), middleHeight);
    TileInto(*bitmap, frame[CenterRight], width_ - frame[CenterRight]->Width(), top, frame[CenterRight]->Width(),
             middleHeight);
    TileInto(*bitmap, frame[TopMid], left, 0, middleWidth, frame[TopMid]->Height());
    TileInto(*bitmap, frame[BotMid], left, height_ - frame[BotMid]->Height(), middleWidth, frame[BotMid]->Height());
    frame[TopLeft]->DrawWhole(*bitmap, 0, 0, 1);
    frame[TopRight]->DrawWhole(*bitmap, width_ - right, 0, 1);
    frame[BotLeft]->DrawWhole(*bitmap, 0, height_ - bottom, 1);
    frame[BotRight]->DrawWhole(*bitmap, width_ - frame[BotRight]->Width(), height_ - frame[BotRight]->Height(), 1);
    if (style_.topBanner)
        style_.topBanner->DrawWhole(*bitmap, left, top - style_.topBanner->Height(), 1);
    if (style_.vertBanner)
        style_.vertBanner->DrawWhole(*bitmap, left - style_.vertBanner->Width(), top, 1);
    background_ = std::move(bitmap);
}

void PopupMenu::OnCreate()
{
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    SetCapture();
    SetFocus();
}

void PopupMenu::OnDestroy()
{
    if (HasCapture())
        Window::ReleaseCapture();
    if (destroying_)
        return;
    // The window went with its owner: that owner, and the listener that lived with it, are
    // not to be called any more. The menu is deleted at the next click or key.
    listener_ = nullptr;
    ownerHandle_ = nullptr;
}

int PopupMenu::OnEraseBackground(Graphics&)
{
    // OnPaint draws the whole area at once.
    return 1;
}

void PopupMenu::OnPaint(Graphics& graphics)
{
    if (!background_)
        return;
    Bitmap frame;
    if (!frame.Create(width_, height_, *background_))
        return;
    frame.CopyPixels(*background_, 0, 0, width_, height_, 0, 0, BitmapPixels::CopyBottomUp, -1, -1, 0);
    const int right = RowRight();
    const int bottom = height_ - HeightOf(style_.frame[BotRight]);
    const int fontHeight = style_.font->Height();
    const int markWidth = std::max(WidthOf(style_.subMenuIcon), WidthOf(style_.tickIcon));
    for (int i = scrollPosition_; i < ItemCount(); ++i)
    {
        const PopupMenuItem& item = *items_[static_cast<size_t>(i)];
        const int top = textTop_ + i * rowHeight_;
        // Rows scrolled past the frame's bottom are not drawn over it.
        if (top + rowHeight_ > bottom)
            break;
        int x = textLeft_ + gap_;
        if (item.separator)
        {
            if (style_.separator)
                TileInto(frame, style_.separator, x, top + (rowHeight_ - style_.separator->Height()) / 2, right - x,
                         style_.separator->Height());
            continue;
        }
        if (hasIcon_)
        {
            if (item.icon)
                item.icon->DrawWhole(frame, x, top + (rowHeight_ - item.icon->Height()) / 2, 0);
            x += iconColumnWidth_ + gap_;
        }
        const int boxRight = std::max(right, x + textColumnWidth_);
        if (item.highlighted)
        {
            const int fillLeft = std::max(x - gap_ / 2, 0);
            const int fillRight = std::min(boxRight + gap_ / 2, width_);
            frame.FillRect(fillLeft, top, fillRight - fillLeft, rowHeight_ - 1, style_.selectionColour);
        }
        const uint32_t colour = item.highlighted ? style_.selectedColour
                                : item.disabled  ? style_.disabledColour
                                                 : style_.normalColour;
        const Rect clip = {x, top, boxRight, top + rowHeight_ - 1};
        frame.DrawText(item.text, *style_.font, 0, x, top + (rowHeight_ - fontHeight) / 2, colour, &clip);
        SkinBitmap* mark = item.hasSubmenu ? style_.subMenuIcon : item.checked ? style_.tickIcon : nullptr;
        if (mark)
            mark->DrawWhole(frame, right - markWidth, top + (rowHeight_ - mark->Height()) / 2, 0);
    }
    Rect clip;
    graphics.GetClipBox(clip);
    graphics.Blit(frame, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, clip.left, clip.top);
}

int PopupMenu::IsInside(int x, int y) const
{
    return x >= 0 && y >= 0 && x < width_ && y < height_;
}

int PopupMenu::RowAt(int x, int y) const
{
    const int right = RowRight();
    const int bottom = height_ - HeightOf(style_.frame[BotRight]);
    if (x < textLeft_ || x >= right || y < firstTop_ || y >= bottom || rowHeight_ < 1)
        return -1;
    const int row = (y - textTop_) / rowHeight_;
    return row >= scrollPosition_ && row < ItemCount() ? row : -1;
}

int PopupMenu::RowRight() const
{
    // The scroll bar covers the rows' end.
    return width_ - WidthOf(style_.frame[CenterRight]) - (scrollPanel_ ? 11 : 0);
}

int PopupMenu::RowsThatFit() const
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    if (!GetClientArea(x, y, width, height))
        height = height_;
    return rowHeight_ > 0 ? height / rowHeight_ : 0;
}

int PopupMenu::ScrollMaximum() const
{
    return std::max(ItemCount() - RowsThatFit(), 0);
}

void PopupMenu::AttachScroller(Scroller* scroller, int)
{
    scroller_ = scroller;
}

void PopupMenu::UpdateScrollRange()
{
    if (!scroller_)
        return;
    const int maximum = ScrollMaximum();
    int position = std::max(std::min(scrollPosition_, maximum - 1), 0);
    scroller_->SetRange(maximum, false);
    scroller_->SetVisible(RowsThatFit() * rowHeight_, false);
    scroller_->SetTotal(ItemCount() * rowHeight_, false);
    scroller_->SetPosition(position, false);
    scroller_->Redraw();
    if (position != scrollPosition_)
        ScrollTo(position);
}

void PopupMenu::ScrollTo(int position)
{
    position = std::clamp(position, 0, ScrollMaximum());
    if (position == scrollPosition_)
        return;
    textTop_ += (scrollPosition_ - position) * rowHeight_;
    scrollPosition_ = position;
    if (scroller_ && scroller_->GetPosition() != position)
        scroller_->SetPosition(position, true);
    InvalidateAll(0);
    Update();
}

void PopupMenu::EnsureVisible(int index)
{
    const int rows = RowsThatFit();
    if (index < scrollPosition_)
        ScrollTo(index);
    else if (rows > 0 && index >= scrollPosition_ + rows)
        ScrollTo(index - rows + 1);
}

void PopupMenu::Highlight(int index)
{
    for (int i = 0; i < ItemCount(); ++i)
        items_[static_cast<size_t>(i)]->highlighted = i == index ? 1 : 0;
    InvalidateAll(0);
    Update();
}

int PopupMenu::OnKey(WPARAM key)
{
    // A menu whose window went with its owner only goes away.
    if (!GetHandle())
    {
        CloseAll();
        return 0;
    }
    const int highlighted = HighlightedIndex();
    switch (key)
    {
    case VK_RETURN:
        chosen_ = highlighted >= 0 ? items_[static_cast<size_t>(highlighted)].get() : nullptr;
        if (chosen_)
            ActivateChosen(); // may delete this menu
        return 1;
    case VK_ESCAPE:
        Dismiss();
        return 1;
    case VK_UP:
    case VK_DOWN: {
        const int step = key == VK_UP ? -1 : 1;
        int from = highlighted;
        if (from < 0)
            from = key == VK_UP ? ItemCount() : -1;
        for (int i = from + step; i >= 0 && i < ItemCount(); i += step)
            if (items_[static_cast<size_t>(i)]->IsSelectable())
            {
                Highlight(i);
                EnsureVisible(i);
                break;
            }
        return 1;
    }
    case VK_RIGHT:
        if (highlighted >= 0 && items_[static_cast<size_t>(highlighted)]->hasSubmenu)
        {
            chosen_ = items_[static_cast<size_t>(highlighted)].get();
            OpenSubmenu(*chosen_);
        }
        return 1;
    default:
        return 0;
    }
}

void PopupMenu::ForwardToScrollbar(UINT message, WPARAM flags, int x, int y)
{
    if (!scrollPanel_)
        return;
    const int px = x - (width_ - 17);
    const int py = y - 1;
    if (message == WM_MOUSEMOVE)
        scrollPanel_->OnMouseMove(flags, px, py);
    else if (message == WM_LBUTTONDOWN)
        scrollPanel_->OnMouseDown(flags, px, py);
    else
        scrollPanel_->OnMouseUp(flags, px, py);
}

void PopupMenu::OnMouseMove(WPARAM flags, int x, int y)
{
    SetFocus();
    if (!IsInside(x, y))
    {
        if (HighlightedIndex() >= 0)
            Highlight(-1);
        return;
    }
    if (child_)
        delete child_; // makes this menu the current one again
    const int row = RowAt(x, y);
    if (row < 0)
    {
        ForwardToScrollbar(WM_MOUSEMOVE, flags, x, y);
        return;
    }
    const PopupMenuItem& item = *items_[static_cast<size_t>(row)];
    if (item.IsSelectable() && !item.highlighted)
        Highlight(row);
}

void PopupMenu::OnMouseDown(WPARAM flags, int x, int y)
{
    if (!IsInside(x, y))
    {
        Dismiss(); // may delete this menu
        return;
    }
    const int row = RowAt(x, y);
    if (row < 0)
    {
        chosen_ = nullptr;
        ForwardToScrollbar(WM_LBUTTONDOWN, flags, x, y);
        return;
    }
    PopupMenuItem* item = items_[static_cast<size_t>(row)].get();
    if (item->IsSelectable())
        chosen_ = item;
}

void PopupMenu::OnMouseUp(WPARAM, int x, int y)
{
    if (!IsInside(x, y))
        return;
    const int row = RowAt(x, y);
    if (row >= 0)
    {
        PopupMenuItem* item = items_[static_cast<size_t>(row)].get();
        chosen_ = item->IsSelectable() ? item : nullptr;
    }
    if (chosen_ && chosen_->IsSelectable())
        ActivateChosen(); // may delete this menu
}

void PopupMenu::OnMouseWheel(WPARAM flags, int, int)
{
    const short delta = static_cast<short>(HIWORD(flags));
    if (delta > 0)
        ScrollTo(scrollPosition_ - 1);
    else if (delta < 0)
        ScrollTo(scrollPosition_ + 1);
}

void PopupMenu::OnScrollEnd()
{
    SetCapture();
}

void PopupMenu::ActivateChosen()
{
    if (!chosen_)
        return;
    if (chosen_->hasSubmenu)
    {
        OpenSubmenu(*chosen_);
        return;
    }
    const int commandId = chosen_->commandId;
    MenuListener* listener = listener_;
    chosen_ = nullptr;
    CloseAll(); // deletes this menu
    if (listener)
        listener->OnMenuCommand(commandId);
}

void PopupMenu::OpenSubmenu(PopupMenuItem& item)
{
    // Submenus come from the skin that built this menu; the current skin only serves menus
    // made without one.
    Skin* skin = skin_ ? skin_ : Skin::Current();
    String name;
    if (item.submenuName.Length() > 0)
        name.Assign(item.submenuName);
    else
        name.AssignAscii("SubMenuEmpty");
    PopupMenu* submenu = skin ? skin->CreatePopupMenu(name) : nullptr;
    if (!submenu)
    {
        // The new menu made itself current on construction; nothing was built.
        MakeCurrent(this);
        return;
    }
    PopupMenu* previous = child_;
    child_ = nullptr;
    if (previous)
    {
        previous->parent_ = nullptr; // its end must not take this menu's submenu link
        delete previous;
    }
    child_ = submenu;
    if (listener_)
        listener_->OnSubmenuOpen(item.commandId, submenu);
    submenu->isSubmenu_ = 1;
    submenu->parent_ = this;
    int y = y_ + item.rowPosition;
    if (y + submenu->height_ > y_ + height_)
        y = y_ + height_ - submenu->height_;
    MakeCurrent(submenu);
    if (!submenu->Track(x_ + width_, y, listener_, Owner(), 1))
        delete submenu; // hands the current menu back to this one
}

void PopupMenu::Dismiss()
{
    chosen_ = nullptr;
    if (!isSubmenu_)
    {
        delete this;
        return;
    }
    PopupMenu* root = this;
    while (root->parent_)
        root = root->parent_;
    delete root->child_; // this menu among them
    MakeCurrent(root);
    root->SetFocus();
    root->SetCapture();
}
