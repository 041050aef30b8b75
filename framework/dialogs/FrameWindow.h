#pragma once

#include "framework/controls/Panel.h"
#include "framework/platform/graphics/Rect.h"
#include "framework/skin/SkinRecords.h"
#include "framework/windows/Window.h"

#include <cstdint>
#include <memory>

class Bitmap;
class SkinBitmap;

// A skinned top-level window without a system caption or border: it paints its frame from
// nine pieces of a frame image (corners once, edges and centre tiled), resizes by its edges,
// drags by its inside, stays at least as large as its corners, and carries the caption
// buttons ("closeBut", "maximizeBut", "minimizeBut", "helpBut") in its top-right corner.
// User-interface thread only.
class FrameWindow : public Window, public ControlListener
{
public:
    FrameWindow();
    // Deletes the caption buttons, then destroys the window.
    ~FrameWindow() override;

    // Takes the frame's look from the style (before Create); the caption-button panel is made
    // when the style has a button image. 0 without a style.
    int ApplyStyle2(const FrameStyle2* style);
    // 0 before a style with a frame image was applied, or when the window cannot be made.
    virtual int Create(const String* title, DWORD style, int x, int y, int width, int height, Window* parent,
                       int unused);
    using Window::Create;
    // Deletes the frame once the handler that asked for it (a caption button's) has returned.
    virtual void Close();
    virtual int Maximize() { return Show(SW_MAXIMIZE); }
    virtual int Minimize() { return Show(SW_MINIMIZE); }
    virtual void Help() {}

    // The client area inside the frame's edges.
    void GetContentRect(Rect& rect) const;

    int OnEraseBackground(Graphics& graphics) override;
    void OnMouseDown(WPARAM, int, int) override {}
    void OnRightButtonDown(WPARAM, int, int) override {}
    int OnSize(WPARAM type, int width, int height) override;
    int OnNcHitTest(int x, int y) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The caption buttons.
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel*, DataItem*, int) override { return 1; }

    Panel* GetCaptionPanel() const { return captionPanel_.get(); }
    // Kept for the windows built on the frame.
    const FrameStyle2& GetStyle2() const { return style_; }

private:
    int PieceWidth(int piece) const { return style_.pieces[piece].right - style_.pieces[piece].left; }
    int PieceHeight(int piece) const { return style_.pieces[piece].bottom - style_.pieces[piece].top; }
    // The frame as composed for the window's size, blitted where the system asks for paint.
    void Paint(Graphics& graphics, int width, int height);
    // The pieces drawn one by one: corners, tiled edges, the tiled centre.
    void Compose(Graphics& graphics, int width, int height);
    // The piece at (x, y), cut to width x height.
    void DrawPiece(Graphics& graphics, int piece, int x, int y, int width, int height);
    // Whole pieces along the span from (x, y), across or down, then the piece cut to the rest.
    void Tile(Graphics& graphics, int piece, int x, int y, int span, int across);
    int BuildCaptionPanel();

    FrameStyle2 style_;                        // images and fonts borrowed from the skin
    std::unique_ptr<SkinBitmap> captionImage_; // the caption panel's background
    std::unique_ptr<Bitmap> painted_;          // the composed frame of the last size painted
    std::unique_ptr<Panel> captionPanel_;      // null without buttons
    int closing_ = 0;
};
