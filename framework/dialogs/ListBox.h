#pragma once

#include "framework/dialogs/ListModel.h"
#include "framework/platform/Win32Api.h"
#include "framework/windows/Window.h"

class FontInterface;
class Graphics;
class SkinBitmap;

// The look of a list box, from the skin's icon_view element. Images and fonts belong to the
// skin.
struct ListBoxStyle
{
    bool singleSelect = true;
    int cellWidth = 32;
    int cellHeight = 48;
    int horzSpacing = 8;
    int vertSpacing = 8;
    COLORREF bgColor = 0xFFFFFF;
    SkinBitmap* defaultIcon = nullptr;
    COLORREF cursorColour = 0x00FFFF;
    bool showIconText = false;
    int iconToTextSpacing = 0;
    FontInterface* font = nullptr;
    COLORREF textColour = 0;
    COLORREF selectedTextColour = 0xFFFFFF;
    COLORREF selectedTextBackground = 0xFF0000;
};

// The skin's icon view: a child window showing the cells of its ListModel, each an image with
// its text under it when asked, reporting pointer, wheel and key events to its listener.
class ListBox : public Window, public ListModel
{
public:
    ListBox();
    ~ListBox() override;

    int SetStyle(const ListBoxStyle& style);
    const ListBoxStyle& Style() const { return style_; }

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
    void OnMouseWheel(WPARAM keys, int x, int y) override;
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    int OnKeyUp(WPARAM key, LPARAM flags) override;

protected:
    void RepaintAll() override { InvalidateAll(1); }
    void RepaintItem(ListBoxItem* item) override;
    void ScrollContents(int dy) override { Scroll(0, dy); }

private:
    void PaintItem(Graphics& graphics, ListBoxItem* item);
    // Selects the item under the point as a press does (marked, not scrolled); null elsewhere.
    ListBoxItem* SelectAt(int x, int y);

    ListBoxStyle style_;
};
