#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/controls/Scroller.h"
#include "framework/skin/SkinRecords.h"
#include "framework/windows/NativeWindow.h"
#include "framework/windows/Window.h"

#include <memory>
#include <vector>

class Bitmap;
class PopupMenu;
class ScrollPanel;
class Skin;
class SkinBitmap;

// Hears what the user chose in a popup menu. The menu never owns its listener.
class MenuListener
{
public:
    // Called after every menu window is gone.
    virtual void OnMenuCommand(int commandId) = 0;
    // A submenu was built and is about to show: the listener may fill or adjust it.
    virtual void OnSubmenuOpen(int, PopupMenu*) {}

protected:
    ~MenuListener() = default;
};

class PopupMenuItem : public Object
{
public:
    String text;
    int separator = 0;
    int hasSubmenu = 0;
    int disabled = 0;
    int checked = 0;
    int commandId = -1;
    SkinBitmap* icon = nullptr; // borrowed from the skin
    int highlighted = 0;
    String submenuName;
    int rowPosition = 0; // pixels from the menu's top, for submenu items

    int IsSelectable() const { return !separator && !disabled; }
};

// The skinned context menu: a top-most popup window inside a nine-piece frame with text
// items, separators, marks, icons, submenus built by name from the skin, keys, mouse and an
// optional scroll bar. Track returns at once; the menu lives on by itself, deletes itself
// when it closes and reports a chosen command to its listener afterwards. One chain of menus
// at a time (the current menu sees the keys first); user-interface thread only.
class PopupMenu : public Window, public ScrollClient, public OpenPopup
{
public:
    static constexpr int kMaxRows = 25;

    // Becomes the current menu.
    PopupMenu();
    // Deletes the submenu, hands the current menu back to the parent, activates the owner
    // window (when it still exists) and tells the building skin.
    ~PopupMenu() override;

    // The menu opened last that is not yet deleted; null when none is open.
    static PopupMenu* Current();
    // Deletes the current menu until there is none.
    static void CloseAll();
    // Closes the open menus when they report to this listener (which is going away).
    static void CloseMenusOf(MenuListener* listener);

    // The skin that built the menu: its submenus come from it. Null: the current skin's.
    void SetSkin(Skin* skin) { skin_ = skin; }
    Skin* GetSkin() const { return skin_; }
    // 0 when the style has no font or frame, or gives rows below one pixel.
    int SetStyle(const PopupMenuStyle* style, int minimumWidth, const ScrollbarStyle* scrollbarStyle);
    int AddItem(const String& text, int commandId, int disabled, int checked, SkinBitmap* icon);
    int AddItem(const char* text, int commandId, int disabled, int checked, SkinBitmap* icon);
    // Before index; appended when index is past the end.
    int InsertItem(const String& text, int commandId, int disabled, int checked, SkinBitmap* icon, int index);
    int AddSeparator();
    int AddSubmenu(const String& text, int commandId, int disabled, const String& submenuName);
    int AddSubmenu(const char* text, int commandId, int disabled, const char* submenuName);
    // Indexes outside the items change nothing (and answer 0).
    void SetItemDisabled(int index, int flag);
    void SetItemChecked(int index, int flag);
    int IsItemChecked(int index) const;
    int FindItem(int commandId) const;
    int ItemCount() const { return static_cast<int>(items_.size()); }
    const PopupMenuItem* ItemAt(int index) const;

    // Lays out and shows the menu at (x, y) (screen); 0 when the window or its scroll bar
    // cannot be made, and the caller deletes the menu.
    int Track(int x, int y, MenuListener* listener, Window* ownerWindow, int keepInWorkArea);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int RowHeight() const { return rowHeight_; }
    int ScrollPosition() const { return scrollPosition_; }
    int HighlightedIndex() const;
    PopupMenu* Submenu() const { return child_; }
    ScrollPanel* GetScrollPanel() const { return scrollPanel_.get(); }
    // Scrolls so that the item's row shows.
    void EnsureVisible(int index);

    // OpenPopup.
    HWND GetPopupHandle() const override { return GetHandle(); }
    int OnKey(WPARAM key) override;
    void CloseAndDelete() override;

    // Window.
    void OnCreate() override;
    void OnDestroy() override;
    int OnEraseBackground(Graphics& graphics) override;
    void OnPaint(Graphics& graphics) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnRightButtonDown(WPARAM flags, int x, int y) override { OnMouseDown(flags, x, y); }
    void OnRightButtonUp(WPARAM flags, int x, int y) override { OnMouseUp(flags, x, y); }
    void OnMouseMove(WPARAM flags, int x, int y) override;
    int OnActivate(WPARAM, int, LPARAM) override { return 1; }
    void OnMouseWheel(WPARAM flags, int x, int y) override;

    // ScrollClient of the menu's own bar: every step scrolls the rows.
    void AttachScroller(Scroller* scroller, int id) override;
    void OnScrollPosition(int position, Scroller*, int) override { ScrollTo(position); }
    void OnLineUp(int position, Scroller*, int) override { ScrollTo(position); }
    void OnLineDown(int position, Scroller*, int) override { ScrollTo(position); }
    void OnPageUp(int position, Scroller*, int) override { ScrollTo(position); }
    void OnPageDown(int position, Scroller*, int) override { ScrollTo(position); }
    void OnScrollerNotify(Scroller*, int) override {}
    void OnScrollEnd() override;

private:
    int Add(std::unique_ptr<PopupMenuItem> item, int index, int capped);
    void BuildBackground();
    int IsInside(int x, int y) const;
    // The item whose row holds the point; -1 over none.
    int RowAt(int x, int y) const;
    int RowRight() const;
    int RowsThatFit() const;
    int ScrollMaximum() const;
    void UpdateScrollRange();
    void ScrollTo(int position);
    void Highlight(int index);
    void ActivateChosen();
    void OpenSubmenu(PopupMenuItem& item);
    void Dismiss();
    // Passes a pointer event in menu coordinates to the scroll bar's panel.
    void ForwardToScrollbar(UINT message, WPARAM flags, int x, int y);
    Window* Owner() const;
    static void MakeCurrent(PopupMenu* menu);

    Skin* skin_ = nullptr; // borrowed: the building skin
    PopupMenuStyle style_;
    const ScrollbarStyle* scrollbarStyle_ = nullptr; // borrowed from the skin; null: no bar
    MenuListener* listener_ = nullptr;               // borrowed
    // The owner by handle: a window that went away is not found any more.
    HWND ownerHandle_ = nullptr;
    std::vector<std::unique_ptr<PopupMenuItem>> items_;
    int minimumWidth_ = -1;
    int rowHeight_ = 0;
    int textLeft_ = 0;
    int textTop_ = 0;  // of the first item: moves up as the rows scroll
    int firstTop_ = 0; // of the first row shown
    int width_ = 0;
    int height_ = 0;
    int iconColumnWidth_ = 0;
    int textColumnWidth_ = 0;
    int gap_ = 0;
    int hasCheck_ = 0;
    int hasIcon_ = 0;
    std::unique_ptr<Bitmap> background_;
    int x_ = 0;
    int y_ = 0;
    int isSubmenu_ = 0;
    PopupMenu* parent_ = nullptr; // borrowed
    PopupMenu* child_ = nullptr;  // owned
    PopupMenuItem* chosen_ = nullptr; // borrowed from items_
    std::unique_ptr<ScrollPanel> scrollPanel_;
    Scroller* scroller_ = nullptr; // borrowed: the bar in scrollPanel_
    int scrollPosition_ = 0;
    bool destroying_ = false;
};
