#include "framework/controls/ScrollPanel.h"

#include "framework/controls/Scrollbar.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/SkinRecords.h"

namespace
{
int DownToEight(int value)
{
    return value / 8 * 8;
}
} // namespace

bool ScrollPanel::Vertical() const
{
    return style_ && style_->vertical;
}

int ScrollPanel::Thickness() const
{
    if (!style_ || !style_->images)
        return 0;
    return Vertical() ? style_->images->Width() : style_->images->Height();
}

int ScrollPanel::Setup(const ScrollbarStyle* style, ScrollClient* client, int length)
{
    style_ = style;
    if (!style_ || !style_->images)
        return 0;
    const int thickness = Thickness();
    Panel::Setup(this, Vertical() ? thickness : length, Vertical() ? length : thickness, 0x646464);
    auto* bar = new Scrollbar();
    if (!bar->Setup(0, 0, String(), style, length, 1, client))
    {
        delete bar;
        return 0;
    }
    scrollbar_ = bar;
    AddControl(bar, nullptr);
    return 1;
}

int ScrollPanel::Create(Window* parent, int x, int y, int id)
{
    if (!style_)
        return 0;
    return Panel::Create(parent, x, y, id);
}

SkinBitmap* ScrollPanel::GetBackgroundBitmap()
{
    return style_ ? style_->images : nullptr;
}

int ScrollPanel::Length() const
{
    int width = 0;
    int height = 0;
    GetSize(width, height);
    return Vertical() ? height : width;
}

int ScrollPanel::Move(int x, int y, int length, int repaint)
{
    const int thickness = Thickness();
    return Window::Move(x, y, Vertical() ? thickness : length, Vertical() ? length : thickness, repaint);
}

Scroller* ScrollPanel::GetScroller() const
{
    return scrollbar_;
}

int ScrollPanel::OnSize(WPARAM, int width, int height)
{
    if (!style_ || width == 0 || height == 0 || (width == BackgroundWidth() && height == BackgroundHeight()))
        return 1;
    if (Vertical())
    {
        if (scrollbar_)
            scrollbar_->SetLength(height);
        SetSize(width, DownToEight(height));
        return 1;
    }
    const int width8 = DownToEight(width);
    if (scrollbar_)
        scrollbar_->SetLength(width8);
    if (width8 == width)
    {
        SetSize(width8, height);
        return 1;
    }
    // The window takes the whole multiple itself, which brings a new size notice.
    int x = 0;
    int y = 0;
    GetPosition(x, y);
    Window::Move(x, y, width8, height, 1);
    return 1;
}
