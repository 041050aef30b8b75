#include "framework/dialogs/tests/DialogsTestSupport.h"

#include "framework/dialogs/FrameWindow.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/SkinBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using namespace dialogstest;

class FrameWindowTest : public ::testing::Test
{
protected:
    const FrameStyle2* MainStyle()
    {
        const FrameStyle2* style = skin_.skin.FindFrameStyle2(Text("Main"));
        EXPECT_NE(style, nullptr);
        return style;
    }

    TestSkin skin_;
};

// A frame that says when it is deleted.
class WatchedFrame : public FrameWindow
{
public:
    explicit WatchedFrame(bool& deleted) : deleted_(deleted) {}
    ~WatchedFrame() override { deleted_ = true; }

private:
    bool& deleted_;
};

TEST_F(FrameWindowTest, HitTestCodesAndMinimumTrackSize)
{
    FrameWindow frame;
    ASSERT_EQ(frame.ApplyStyle2(MainStyle()), 1);
    ASSERT_EQ(frame.Create(nullptr, WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, 0), 1);
    // The shipped frame's left column is 88 wide, its top row 80 high and its other edges 16:
    // the content is (88, 80) to (284, 184).
    struct Case
    {
        int x, y;
        LRESULT code;
    };
    const Case cases[] = {{5, 5, HTTOPLEFT},         {295, 5, HTTOPRIGHT}, {5, 195, HTBOTTOMLEFT},
                          {295, 195, HTBOTTOMRIGHT}, {5, 100, HTLEFT},     {295, 100, HTRIGHT},
                          {150, 5, HTTOP},           {150, 195, HTBOTTOM}, {150, 100, HTCAPTION}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        const LPARAM point = MAKELPARAM(100 + c.x, 100 + c.y);
        EXPECT_EQ(::SendMessageA(frame.GetHandle(), WM_NCHITTEST, 0, point), c.code);
    }
    MINMAXINFO info = {};
    ::SendMessageA(frame.GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 88 + 16);
    EXPECT_EQ(info.ptMinTrackSize.y, 80 + 16);
}

TEST_F(FrameWindowTest, TheCaptionButtonsSitInTheTopRightCorner)
{
    FrameWindow frame;
    ASSERT_EQ(frame.ApplyStyle2(MainStyle()), 1);
    ASSERT_EQ(frame.Create(nullptr, WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, 0), 1);
    Panel* panel = frame.GetCaptionPanel();
    ASSERT_NE(panel, nullptr);
    // Four 14-pixel buttons 2 apart, 4 from the right and 1 from the top.
    EXPECT_EQ(panel->Width(), 4 * 14 + 3 * 2);
    int x = 0, y = 0;
    panel->GetPosition(x, y);
    EXPECT_EQ(x, 300 - 4 - panel->Width());
    EXPECT_EQ(y, 1);
    const char* const order[] = {"helpBut", "minimizeBut", "maximizeBut", "closeBut"};
    for (int i = 0; i < 4; ++i)
    {
        Control* button = panel->FindControl(Text(order[i]));
        ASSERT_NE(button, nullptr) << order[i];
        EXPECT_EQ(button->X(), i * 16) << order[i];
    }
    ::MoveWindow(frame.GetHandle(), 100, 100, 400, 250, TRUE);
    panel->GetPosition(x, y);
    EXPECT_EQ(x, 400 - 4 - panel->Width()) << "the buttons follow the corner";
}

TEST_F(FrameWindowTest, TheCaptionCloseDeletesTheFrameAfterItsHandlerReturned)
{
    bool deleted = false;
    auto* frame = new WatchedFrame(deleted);
    ASSERT_EQ(frame->ApplyStyle2(MainStyle()), 1);
    ASSERT_EQ(frame->Create(nullptr, WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, 0), 1);
    Pump();
    Panel* panel = frame->GetCaptionPanel();
    ASSERT_NE(panel, nullptr);
    Control* close = panel->FindControl(Text("closeBut"));
    ASSERT_NE(close, nullptr);
    int x = close->X() + 4;
    int y = close->Y() + 4;
    const LPARAM point = MAKELPARAM(x, y);
    panel->ClientToScreen(x, y);
    ::SetCursorPos(x, y);
    HWND panelWindow = panel->GetHandle();
    ::SendMessageA(panelWindow, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::SendMessageA(panelWindow, WM_LBUTTONUP, 0, point);
    EXPECT_FALSE(deleted) << "the frame, its panel and the button must outlive the button's own handler";
    EXPECT_TRUE(PumpUntil([&] { return deleted; }, 10000));
    EXPECT_FALSE(::IsWindow(panelWindow));
}

TEST_F(FrameWindowTest, PiecesOfNoSizeAreLeftUnpainted)
{
    FrameStyle2 style = *MainStyle();
    style.pieces[TopMid].right = style.pieces[TopMid].left;
    style.pieces[CenterMid].bottom = style.pieces[CenterMid].top;
    style.pieces[CenterLeft].bottom = style.pieces[CenterLeft].top;
    FrameWindow frame;
    ASSERT_EQ(frame.ApplyStyle2(&style), 1);
    ASSERT_EQ(frame.Create(nullptr, WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, 0), 1);
    // Painting must not divide by the empty pieces' sizes.
    EXPECT_TRUE(::RedrawWindow(frame.GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW));
    Pump();
}

// Grey levels, so that the order of the colour channels does not matter.
uint32_t Grey(int level)
{
    return static_cast<uint32_t>(level) * 0x010101;
}

// The frame image: 4 x 4 corners and edges, a 7-pixel top middle piece whose columns are grey
// 10, 20, ... 70, and a top right corner of grey 200.
struct SevenPixelTopStyle
{
    SkinBitmap image;
    FrameStyle2 style;
    SevenPixelTopStyle()
    {
        auto dib = new Bitmap();
        EXPECT_EQ(dib->Create(15, 12, 24), 1);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 15; ++x)
                dib->SetPixel(x, y,
                              y < 4 && x >= 4 && x < 11 ? Grey(10 * (x - 3))
                              : y < 4 && x >= 11        ? Grey(200)
                                                        : Grey(128));
        EXPECT_EQ(image.AttachDib(dib), 1);
        style.frameComposite = &image;
        const Rect pieces[FramePieceCount] = {{0, 0, 4, 4},  {4, 0, 11, 4}, {11, 0, 15, 4},
                                              {0, 4, 4, 8},  {4, 4, 8, 8},  {11, 4, 15, 8},
                                              {0, 8, 4, 12}, {4, 8, 8, 12}, {11, 8, 15, 12}};
        std::copy(std::begin(pieces), std::end(pieces), std::begin(style.pieces));
    }
};

// The frame's erase handler drawing into a bitmap of the given width; its top row read back.
std::vector<uint32_t> ErasedTopRow(FrameWindow& frame, int width)
{
    Bitmap target;
    EXPECT_EQ(target.Create(width, 20, 24), 1);
    {
        Graphics graphics;
        graphics.AttachDC(target.Context());
        EXPECT_EQ(frame.OnEraseBackground(graphics), 1);
    }
    ::GdiFlush();
    std::vector<uint32_t> row;
    for (int x = 0; x < width; ++x)
        row.push_back(target.GetPixel(x, 1) & 0xFFFFFF);
    return row;
}

TEST_F(FrameWindowTest, ASevenPixelTopPieceOverAHundredPixelsDrawsFourteenTilesAndTwoPixels)
{
    SevenPixelTopStyle look;
    FrameWindow frame;
    ASSERT_EQ(frame.ApplyStyle2(&look.style), 1);
    const int width = 4 + 100 + 4;
    ASSERT_EQ(frame.Create(nullptr, WS_POPUP, 0, 0, width, 20, nullptr, 0), 1);
    const std::vector<uint32_t> row = ErasedTopRow(frame, width);
    for (int x = 4; x < 4 + 100; ++x)
    {
        SCOPED_TRACE(x);
        const int column = (x - 4) % 7;
        EXPECT_EQ(row[x], Grey(10 * (column + 1)));
    }
    EXPECT_EQ(row[4 + 14 * 7 + 1], Grey(20)) << "the cut tile's second column";
    EXPECT_EQ(row[4 + 100], Grey(200)) << "the corner follows the 2-pixel cut tile";
}

// The frame is composed once for a size and painted from that; a new size composes it again.
TEST_F(FrameWindowTest, AResizedFrameIsComposedForItsNewSize)
{
    SevenPixelTopStyle look;
    FrameWindow frame;
    ASSERT_EQ(frame.ApplyStyle2(&look.style), 1);
    ASSERT_EQ(frame.Create(nullptr, WS_POPUP, 0, 0, 108, 20, nullptr, 0), 1);
    EXPECT_EQ(ErasedTopRow(frame, 108), ErasedTopRow(frame, 108)) << "painted again the same";
    ASSERT_TRUE(::MoveWindow(frame.GetHandle(), 0, 0, 4 + 50 + 4, 20, FALSE));
    const std::vector<uint32_t> row = ErasedTopRow(frame, 58);
    EXPECT_EQ(row[4 + 49], Grey(10)) << "a one-pixel cut tile ends the 50 pixels";
    EXPECT_EQ(row[4 + 50], Grey(200)) << "the corner at the new right edge";
    EXPECT_EQ(row[57], Grey(200));
}

// A hand-edited piece reaching past the frame's own image (topMid_h="100000") is cut to it: it
// showed a slice of the whole composite, its magenta key and all.
TEST_F(FrameWindowTest, PiecesAreCutToTheFrameImage)
{
    // The frame image is the top-left 15 x 12 of a composite whose rest is magenta.
    Bitmap composite;
    ASSERT_EQ(composite.Create(60, 40, 24), 1);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            composite.SetPixel(x, y, x < 15 && y < 12 ? Grey(128) : 0xFF00FF);
    SkinBitmap image;
    ASSERT_EQ(image.SetPiece(&composite, 0, 0, 15, 12), 1);
    FrameStyle2 style;
    style.frameComposite = &image;
    const Rect pieces[FramePieceCount] = {{0, 0, 4, 4},  {4, 0, 11, 100000}, {11, 0, 100000, 4},
                                          {0, 4, 4, 8},  {4, 4, 8, 8},       {11, 4, 15, 8},
                                          {0, 8, 4, 12}, {4, 8, 8, 40},      {11, 8, 15, 12}};
    std::copy(std::begin(pieces), std::end(pieces), std::begin(style.pieces));
    FrameWindow frame;
    ASSERT_EQ(frame.ApplyStyle2(&style), 1);
    const Rect* kept = frame.GetStyle2().pieces;
    EXPECT_EQ(kept[TopMid].bottom, 12);
    EXPECT_EQ(kept[TopRight].right, 15);
    EXPECT_EQ(kept[BotMid].bottom, 12);
    ASSERT_EQ(frame.Create(nullptr, WS_POPUP, 0, 0, 100, 60, nullptr, 0), 1);

    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP target = ::CreateCompatibleBitmap(screen, 100, 60);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(memory, target);
    {
        Graphics graphics;
        graphics.AttachDC(memory);
        EXPECT_EQ(frame.OnEraseBackground(graphics), 1);
    }
    int magenta = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            magenta += (::GetPixel(memory, x, y) & 0xFFFFFF) == 0xFF00FF;
    EXPECT_EQ(magenta, 0);
    ::SelectObject(memory, old);
    ::DeleteObject(target);
    ::DeleteDC(memory);
}

TEST_F(FrameWindowTest, WithoutAFrameImageNoWindowIsMade)
{
    FrameWindow frame;
    EXPECT_EQ(frame.Create(nullptr, WS_POPUP, 0, 0, 100, 100, nullptr, 0), 0);
    FrameStyle2 bare;
    EXPECT_EQ(frame.ApplyStyle2(&bare), 1) << "no buttons, no panel";
    EXPECT_EQ(frame.GetCaptionPanel(), nullptr);
    EXPECT_EQ(frame.Create(nullptr, WS_POPUP, 0, 0, 100, 100, nullptr, 0), 0);
}
} // namespace
