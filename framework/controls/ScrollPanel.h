#pragma once

#include "framework/controls/Panel.h"

class Scroller;
class ScrollClient;
class Scrollbar;
class ScrollbarStyle;

// A panel that holds one scroll bar, to be placed beside scrolling content (or inside a popup
// menu). Its thickness is the style image's; its length follows the window, a horizontal
// one in whole multiples of 8 pixels.
class ScrollPanel : public Panel
{
public:
    // 0 (and no bar) when the bar's set-up fails.
    int Setup(const ScrollbarStyle* style, ScrollClient* client, int length);
    // 0 without a style.
    int Create(Window* parent, int x, int y, int id) override;
    SkinBitmap* GetBackgroundBitmap() override;
    int OnSize(WPARAM type, int width, int height) override;

    int Thickness() const;
    int Length() const;
    int Move(int x, int y, int length, int repaint);
    Scroller* GetScroller() const;
    Scrollbar* GetScrollbar() const { return scrollbar_; }

private:
    bool Vertical() const;

    const ScrollbarStyle* style_ = nullptr; // borrowed from the skin
    Scrollbar* scrollbar_ = nullptr;        // owned through the control list
};
