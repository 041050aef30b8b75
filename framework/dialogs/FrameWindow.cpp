#include "framework/dialogs/FrameWindow.h"

#include "framework/controls/Button.h"
#include "framework/dialogs/DialogGeometry.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/SkinBitmap.h"

#include <algorithm>

namespace
{
// Posted by Close: the frame goes when its queue reaches it, after the caller has returned.
const UINT kDeleteMessage = WM_APP + 23;
} // namespace

FrameWindow::FrameWindow()
{
    style_.titleColour = 0xFFFFFF;
}

FrameWindow::~FrameWindow()
{
    captionPanel_.reset();
    captionImage_.reset();
    Destroy();
}

int FrameWindow::ApplyStyle2(const FrameStyle2* style)
{
    if (!style)
        return 0;
    style_.frameComposite = style->frameComposite;
    painted_.reset();
    std::copy(std::begin(style->pieces), std::end(style->pieces), std::begin(style_.pieces));
    // The pieces are cut from the frame's own image: a hand-edited rectangle reaching past it
    // would show whatever lies beside it in the skin's composite (its key colour and all).
    const int imageWidth =
        style_.frameComposite && style_.frameComposite->GetDib() ? style_.frameComposite->Width() : 0;
    const int imageHeight = imageWidth ? style_.frameComposite->Height() : 0;
    for (Rect& piece : style_.pieces)
    {
        piece.left = std::clamp(piece.left, 0, imageWidth);
        piece.right = std::clamp(piece.right, piece.left, imageWidth);
        piece.top = std::clamp(piece.top, 0, imageHeight);
        piece.bottom = std::clamp(piece.bottom, piece.top, imageHeight);
    }
    style_.closeButton = style->closeButton;
    style_.minimizeButton = style->minimizeButton;
    style_.maximizeButton = style->maximizeButton;
    style_.helpButton = style->helpButton;
    style_.butTopSpacing = style->butTopSpacing;
    style_.butRightSpacing = style->butRightSpacing;
    style_.interButSpacing = style->interButSpacing;
    style_.titleFont = style->titleFont;
    style_.titleColour = style->titleColour;
    style_.titleTopSpacing = style->titleTopSpacing;
    style_.titleLeftSpacing = style->titleLeftSpacing;
    style_.titleRightSpacing = style->titleRightSpacing;
    style_.leftLogoOffset = style->leftLogoOffset;
    style_.topLogoOffset = style->topLogoOffset;
    style_.sessionNameXOffset = style->sessionNameXOffset;
    style_.sessionNameYOffset = style->sessionNameYOffset;
    captionPanel_.reset();
    captionImage_.reset();
    if (!style_.closeButton && !style_.maximizeButton && !style_.minimizeButton && !style_.helpButton)
        return 1;
    return BuildCaptionPanel();
}

int FrameWindow::BuildCaptionPanel()
{
    SkinBitmap* const buttons[] = {style_.closeButton, style_.maximizeButton, style_.minimizeButton, style_.helpButton};
    const char* const names[] = {"closeBut", "maximizeBut", "minimizeBut", "helpBut"};
    int total = 0;
    int height = 0;
    int count = 0;
    for (SkinBitmap* image : buttons)
        if (image && image->GetDib())
        {
            total += image->Width();
            height = std::max(height, image->Height() / 4);
            ++count;
        }
    if (count == 0)
        return 1;
    total += std::max(style_.interButSpacing, 0) * (count - 1);
    SkinBitmap* composite = style_.frameComposite;
    if (!composite || !composite->GetDib() || total < 1 || height < 1)
        return 0;
    // The frame's own top-right corner behind the buttons.
    auto dib = std::make_unique<Bitmap>();
    if (!dib->Create(total, height, *composite->GetDib()))
        return 0;
    composite->Draw(*dib, composite->Width() - std::max(style_.butRightSpacing, 0) - total,
                    std::max(style_.butTopSpacing, 0), total, height, 0, 0, 1);
    auto image = std::make_unique<SkinBitmap>();
    if (!image->AttachDib(dib.release()))
        return 0;
    auto panel = std::make_unique<Panel>();
    panel->Setup(this, -1, -1, 0x646464);
    panel->AddBackgroundSection(image.get(), 0, 0, 1, 1, -1);
    int x = total;
    for (int i = 0; i < 4; ++i)
    {
        SkinBitmap* button = buttons[i];
        if (!button || !button->GetDib())
            continue;
        x -= button->Width();
        String name;
        name.AssignAscii(names[i]);
        auto* control = new Button();
        control->Setup(x, 0, name, button, nullptr, nullptr);
        panel->AddControl(control, nullptr);
        x -= std::max(style_.interButSpacing, 0);
    }
    captionImage_ = std::move(image);
    captionPanel_ = std::move(panel);
    return 1;
}

int FrameWindow::Create(const String* title, DWORD style, int x, int y, int width, int height, Window* parent, int)
{
    if (!style_.frameComposite || !style_.frameComposite->GetDib())
        return 0;
    if (!Window::Create(title, style, x, y, width, height, parent, 0, 0))
        return 0;
    if (captionPanel_)
    {
        RECT client = {};
        GetClientRect(client);
        captionPanel_->Create(this, client.right - style_.butRightSpacing - captionPanel_->Width(),
                              style_.butTopSpacing, 10);
    }
    return 1;
}

void FrameWindow::Close()
{
    if (closing_)
        return;
    closing_ = 1;
    // Without a window no handler of ours can be running.
    if (!GetHandle() || !PostMessage(kDeleteMessage, 0, 0))
        delete this;
}

void FrameWindow::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kDeleteMessage)
    {
        delete this;
        return;
    }
    Window::OnUserMessage(message, wParam, lParam);
}

int FrameWindow::OnControlNotify(Panel*, Control* control, int)
{
    const String& name = control->GetName();
    if (name.CompareLiteral("closeBut") == 0)
        Close();
    else if (name.CompareLiteral("maximizeBut") == 0)
        Maximize();
    else if (name.CompareLiteral("minimizeBut") == 0)
        Minimize();
    else if (name.CompareLiteral("helpBut") == 0)
        Help();
    return 1;
}

void FrameWindow::GetContentRect(Rect& rect) const
{
    RECT client = {};
    GetClientRect(client);
    rect.left = style_.pieces[CenterLeft].right;
    rect.top = style_.pieces[TopMid].bottom;
    rect.right = client.right - PieceWidth(CenterRight);
    rect.bottom = client.bottom - PieceHeight(BotMid);
}

void FrameWindow::DrawPiece(Graphics& graphics, int piece, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    const Rect& source = style_.pieces[piece];
    style_.frameComposite->Blit(graphics, source.left, source.top, width, height, x, y);
}

void FrameWindow::Tile(Graphics& graphics, int piece, int x, int y, int span, int across)
{
    const int step = across ? PieceWidth(piece) : PieceHeight(piece);
    int whole = 0;
    int rest = 0;
    // A piece of no size cannot be tiled: that edge stays unpainted.
    if (!DialogGeometry::Tiles(span, step, whole, rest))
        return;
    for (int i = 0; i <= whole; ++i)
    {
        const int length = i < whole ? step : rest;
        const int at = i * step;
        if (across)
            DrawPiece(graphics, piece, x + at, y, length, PieceHeight(piece));
        else
            DrawPiece(graphics, piece, x, y + at, PieceWidth(piece), length);
    }
}

void FrameWindow::Paint(Graphics& graphics, int w, int h)
{
    if (!style_.frameComposite || !style_.frameComposite->GetDib() || w <= 0 || h <= 0)
        return;
    // The tiled frame is composed once for each size: a paint is then one blit of what the
    // system asks for, not one blit per tile.
    if (!painted_ || painted_->Width() != w || painted_->Height() != h)
    {
        auto painted = std::make_unique<Bitmap>();
        if (!painted->Create(w, h, *style_.frameComposite->GetDib()) || !painted->Context())
        {
            Compose(graphics, w, h);
            return;
        }
        Graphics into;
        into.AttachDC(painted->Context());
        Compose(into, w, h);
        GdiFlush();
        painted_ = std::move(painted);
    }
    Rect clip = {0, 0, w, h};
    if (graphics.GetClipBox(clip))
        clip = Rect{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, w), std::min(clip.bottom, h)};
    if (clip.right > clip.left && clip.bottom > clip.top)
        graphics.Blit(*painted_, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, clip.left,
                      clip.top);
}

void FrameWindow::Compose(Graphics& graphics, int w, int h)
{
    DrawPiece(graphics, TopLeft, 0, 0, PieceWidth(TopLeft), PieceHeight(TopLeft));
    Tile(graphics, TopMid, PieceWidth(TopLeft), 0, w - PieceWidth(TopRight) - PieceWidth(TopLeft), 1);
    DrawPiece(graphics, TopRight, w - PieceWidth(TopRight), 0, PieceWidth(TopRight), PieceHeight(TopRight));
    Tile(graphics, CenterLeft, 0, PieceHeight(TopLeft), h - PieceHeight(BotLeft) - PieceHeight(TopLeft), 0);
    DrawPiece(graphics, BotLeft, 0, h - PieceHeight(BotLeft), PieceWidth(BotLeft), PieceHeight(BotLeft));
    Tile(graphics, BotMid, PieceWidth(BotLeft), h - PieceHeight(BotMid), w - PieceWidth(BotRight) - PieceWidth(BotLeft),
         1);
    Tile(graphics, CenterRight, w - PieceWidth(CenterRight), PieceHeight(TopRight),
         h - PieceHeight(BotRight) - PieceHeight(TopRight), 0);
    DrawPiece(graphics, BotRight, w - PieceWidth(BotRight), h - PieceHeight(BotRight), PieceWidth(BotRight),
              PieceHeight(BotRight));
    // The centre row by row: whole tiles and the cut column, then the cut bottom row.
    const int left = PieceWidth(CenterLeft);
    const int top = PieceHeight(TopMid);
    const int spanDown = h - top - PieceHeight(BotMid);
    int whole = 0;
    int rest = 0;
    if (!DialogGeometry::Tiles(spanDown, PieceHeight(CenterMid), whole, rest))
        return;
    const int spanAcross = w - left - PieceWidth(CenterRight);
    int y = top;
    for (int row = 0; row < whole; ++row, y += PieceHeight(CenterMid))
        Tile(graphics, CenterMid, left, y, spanAcross, 1);
    if (rest > 0)
    {
        int across = 0;
        int cut = 0;
        if (!DialogGeometry::Tiles(spanAcross, PieceWidth(CenterMid), across, cut))
            return;
        int x = left;
        for (int i = 0; i < across; ++i, x += PieceWidth(CenterMid))
            DrawPiece(graphics, CenterMid, x, y, PieceWidth(CenterMid), rest);
        DrawPiece(graphics, CenterMid, x, y, cut, rest);
    }
}

int FrameWindow::OnEraseBackground(Graphics& graphics)
{
    RECT client = {};
    GetClientRect(client);
    Paint(graphics, client.right, client.bottom);
    return 1;
}

int FrameWindow::OnSize(WPARAM, int width, int height)
{
    // A keyed frame image is taken as the sign of a shaped frame: the window is given its
    // whole rectangle again, so the system's own shape does not linger.
    if (style_.frameComposite && style_.frameComposite->IsTransparent())
    {
        RECT client = {};
        GetClientRect(client);
        Region region;
        if (region.AddRect(0, 0, client.right, client.bottom))
            SetRegion(&region, 1);
    }
    if (captionPanel_ && captionPanel_->GetHandle())
    {
        captionPanel_->SetPosition(width - style_.butRightSpacing - captionPanel_->Width(), style_.butTopSpacing, 1);
        captionPanel_->InvalidateAll(1);
    }
    Graphics graphics;
    if (GetHandle() && graphics.AttachWindow(GetHandle()))
        Paint(graphics, width, height);
    return 1;
}

int FrameWindow::OnNcHitTest(int x, int y)
{
    Rect content;
    GetContentRect(content);
    return DialogGeometry::FrameHitTest(content, x, y);
}

void FrameWindow::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!info)
        return;
    const int left = std::max({PieceWidth(TopLeft), PieceWidth(CenterLeft), PieceWidth(BotLeft)});
    const int right = std::max({PieceWidth(TopRight), PieceWidth(CenterRight), PieceWidth(BotRight)});
    const int top = std::max({PieceHeight(TopLeft), PieceHeight(TopMid), PieceHeight(TopRight)});
    const int bottom = std::max({PieceHeight(BotLeft), PieceHeight(BotMid), PieceHeight(BotRight)});
    info->ptMinTrackSize.x = left + right;
    info->ptMinTrackSize.y = top + bottom;
}
