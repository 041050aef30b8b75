#pragma once

#include "framework/dialogs/TreeModel.h"
#include "framework/platform/Win32Api.h"
#include "framework/windows/Window.h"

class FontInterface;
class Graphics;
class SkinBitmap;

// How a tree draws a row; the tree's own operations are its default drawing. y is the row's
// top; x is the row's left for the icons and the text box's left for the text and the frame.
class TreeItemRenderer
{
public:
    virtual void DrawExpander(Graphics& graphics, TreeItem* item, int x, int y) = 0;
    virtual void DrawItemIcon(Graphics& graphics, TreeItem* item, int x, int y) = 0;
    virtual void DrawItemText(Graphics& graphics, TreeItem* item, int x, int y) = 0;
    virtual void DrawHoverFrame(Graphics& graphics, TreeItem* item, int x, int y) = 0;
    virtual COLORREF TextColour(TreeItem* item) = 0;

protected:
    ~TreeItemRenderer() = default;
};

// The look of a tree, from the skin's tree_view element. Images and fonts belong to the skin.
struct TreeViewStyle
{
    bool singleSelect = true;
    int itemHeight = 16;
    int indent = 16;
    COLORREF bgColor = 0;
    SkinBitmap* openIcon = nullptr;
    SkinBitmap* closeIcon = nullptr;
    SkinBitmap* leafIcon = nullptr;
    int iconWidth = 8;
    FontInterface* font = nullptr;
    FontInterface* parentFont = nullptr; // top-level items, when set
    COLORREF fontColor = 0xFFFFFF;
    COLORREF parentFontColor = 0xFFFFFF;
    COLORREF selectedFontColor = 0xFFFFFF;
    COLORREF selectedBgColor = 0x800000;
    COLORREF cursorColor = 0xFFFFFF;
    bool drawExpanders = true;
};

// The skinned tree: a child window showing the rows of its TreeModel with open and close
// icons, the mark and the keyboard cursor, reporting pointer and key events to its listener.
class TreeView : public Window, public TreeModel, public TreeItemRenderer
{
public:
    TreeView();
    ~TreeView() override;

    int SetStyle(const TreeViewStyle& style);
    const TreeViewStyle& Style() const { return style_; }
    // Null gives the tree its own drawing back. Not owned.
    void SetRenderer(TreeItemRenderer* renderer) { renderer_ = renderer ? renderer : this; }
    // Repaints the item's row when it shows inside the client area.
    void RedrawItem(TreeItem* item);
    // The item whose row holds y and whose icon and text reach x; null elsewhere.
    TreeItem* HitTest(int x, int y);
    // The icons' column: the icon width with both expander icons, else the indent.
    int IconColumn() const;

    void OnCreate() override;
    int OnEraseBackground(Graphics& graphics) override;
    void OnPaint(Graphics& graphics) override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseUp(WPARAM keys, int x, int y) override;
    void OnDoubleClick(WPARAM keys, int x, int y) override;
    void OnRightButtonDown(WPARAM keys, int x, int y) override;
    void OnRightButtonUp(WPARAM keys, int x, int y) override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    int OnSize(WPARAM type, int width, int height) override;
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    int OnKeyUp(WPARAM key, LPARAM flags) override;

    void DrawExpander(Graphics& graphics, TreeItem* item, int x, int y) override;
    void DrawItemIcon(Graphics& graphics, TreeItem* item, int x, int y) override;
    void DrawItemText(Graphics& graphics, TreeItem* item, int x, int y) override;
    void DrawHoverFrame(Graphics& graphics, TreeItem* item, int x, int y) override;
    COLORREF TextColour(TreeItem* item) override;

protected:
    void RepaintAll() override { InvalidateAll(1); }
    void RepaintItem(TreeItem* item) override { RedrawItem(item); }
    void ScrollContents(int dy) override { Scroll(0, dy); }

private:
    FontInterface* FontOf(const TreeItem* item) const;
    int TextWidth(const TreeItem* item) const;
    void DrawIcon(Graphics& graphics, SkinBitmap* icon, int x, int y);

    TreeViewStyle style_;
    TreeItemRenderer* renderer_; // borrowed (this by default)
};
