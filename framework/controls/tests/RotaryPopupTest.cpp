#include "framework/controls/RotaryControl.h"
#include "framework/controls/RotaryPopup.h"
#include "framework/controls/Slider.h"
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/windows/AppBase.h"

#include <gtest/gtest.h>

using namespace controlstest;

namespace
{
constexpr uint32_t kTrack = 0x102030;
constexpr uint32_t kThumb = 0xE0E0E0;

// A knob of 64 frames (2 x 8 each) on a panel at the top of the screen (a child of a hidden
// host), its popup a 100 x 8 track with a 12 x 8 thumb; the application's main window (never
// shown) owns the popup.
struct Fixture
{
    Host host;
    Bitmap dib;
    SkinBitmap whole;
    SkinBitmap strip;
    SkinBitmap track;
    SkinBitmap thumb;
    Window main;
    AppBase app;
    TestPanel panel;
    RealItem* gain = nullptr;
    RotaryControl* knob = nullptr;

    Fixture()
    {
        EXPECT_EQ(dib.Create(128, 32, 24), 1);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 128; ++x)
                dib.SetPixel(x, y, y >= 8 ? kBackground : x >= 100 && x < 112 ? kThumb : kTrack);
        EXPECT_EQ(whole.SetPiece(&dib, 0, 0, 128, 32), 1);
        EXPECT_EQ(strip.SetPiece(&dib, 0, 0, 128, 8), 1);
        EXPECT_EQ(track.SetPiece(&dib, 0, 0, 100, 8), 1);
        EXPECT_EQ(thumb.SetPiece(&dib, 100, 0, 12, 8), 1);
        EXPECT_EQ(main.Create(nullptr, WS_POPUP, 300, 300, 40, 40, nullptr, 0, 0), 1);
        app.SetMainWindow(&main);
        panel.Setup(nullptr, 0, 0, kBackground);
        panel.AddBackgroundSection(&whole, 0, 0, 1, 1, -1);
        gain = panel.AddRealItem("gain", 0.5f, 0.0f, 1.0f, 0, 0);
        knob = new RotaryControl();
        EXPECT_EQ(knob->Setup(20, 4, Text("gain"), &strip, nullptr, nullptr, 64, -1, gain), 1);
        knob->SetPopup(1, &track, &thumb, -1, 6, 0);
        panel.AddControl(knob, gain);
        EXPECT_EQ(panel.Create(&host.window, 100, 0, 7), 1);
        Pump();
    }
    ~Fixture() { app.SetMainWindow(nullptr); } // the fixture owns the window

    // The pointer's position in the panel.
    void Pointer(int& x, int& y)
    {
        EXPECT_EQ(Cursor::GetPosition(x, y), 1);
        EXPECT_EQ(panel.ScreenToClient(x, y), 1);
    }
};

TEST(RotaryPopup, ShowsInsideTheWorkAreaAndTheDragTurnsTheKnob)
{
    Fixture f;
    ASSERT_EQ(Cursor::SetPosition(400, 400), 1);
    f.panel.OnMouseDown(MK_LBUTTON, 21, 6);
    RotaryPopup* popup = f.knob->GetPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->GetHandle(), nullptr);
    EXPECT_NE(::IsWindowVisible(popup->GetHandle()), 0);
    EXPECT_EQ(::GetWindow(popup->GetHandle(), GW_OWNER), f.main.GetHandle());

    RECT shown = {};
    RECT work = {};
    ASSERT_NE(::GetWindowRect(popup->GetHandle(), &shown), 0);
    ASSERT_EQ(f.panel.GetMonitorWorkArea(work), 1);
    EXPECT_EQ(shown.right - shown.left, 100);
    EXPECT_EQ(shown.bottom - shown.top, 8);
    EXPECT_EQ(shown.top, work.top + 1) << "no room above a knob at the top: 1 pixel inside";
    EXPECT_EQ(shown.left, 100 + 21 - 50) << "centred over the knob";
    EXPECT_GE(shown.left, work.left);
    EXPECT_LE(shown.right, work.right);
    EXPECT_LE(shown.bottom, work.bottom);

    // The pointer sits on the thumb, which shows the knob's value.
    Slider* slider = popup->GetSlider();
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetFrame(), 43) << "truncate(87 * 0.5)";
    Rect thumb;
    slider->ThumbRect(thumb);
    int thumbX = (thumb.left + thumb.right) / 2;
    int thumbY = (thumb.top + thumb.bottom) / 2;
    ASSERT_EQ(popup->ClientToScreen(thumbX, thumbY), 1);
    int x = 0;
    int y = 0;
    ASSERT_EQ(Cursor::GetPosition(x, y), 1);
    EXPECT_EQ(x, thumbX);
    EXPECT_EQ(y, thumbY);

    // Sideways moves drag the popup's slider, which turns the knob through their item.
    f.Pointer(x, y);
    f.panel.OnMouseMove(MK_LBUTTON, x + 10, y + 30);
    EXPECT_EQ(slider->GetFrame(), 53);
    EXPECT_FLOAT_EQ(f.gain->value, 53.0f / 88.0f);
    EXPECT_EQ(f.knob->GetFrame(), 37) << "truncate(63 * 53 / 88)";
    EXPECT_EQ(f.panel.log, (Log{"item gain 0"}));

    // The release hides the popup and puts the pointer back where the press began.
    f.panel.OnMouseUp(0, x + 10, y);
    EXPECT_EQ(popup->GetHandle(), nullptr);
    EXPECT_EQ(popup->GetSlider(), nullptr);
    ASSERT_EQ(Cursor::GetPosition(x, y), 1);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 400);
    EXPECT_EQ(f.gain->ListenerCount(), 1) << "the popup's slider left the item";

    // The next press builds it again.
    f.panel.OnMouseDown(MK_LBUTTON, 21, 6);
    ASSERT_NE(popup->GetHandle(), nullptr);
    EXPECT_EQ(popup->GetSlider()->GetFrame(), 52) << "53 / 88 read back: truncate(87 * 53 / 88)";
    f.panel.OnMouseUp(0, 21, 6);
}

TEST(RotaryPopup, LosingTheActivationEndsThePress)
{
    Fixture f;
    f.panel.OnMouseDown(MK_LBUTTON, 21, 6);
    RotaryPopup* popup = f.knob->GetPopup();
    ASSERT_NE(popup->GetHandle(), nullptr);
    EXPECT_EQ(::GetActiveWindow(), popup->GetHandle());
    EXPECT_EQ(Control::PressedControl(), f.knob);
    Window other;
    ASSERT_EQ(other.Create(nullptr, WS_POPUP | WS_VISIBLE, 300, 300, 40, 40, nullptr, 0, 0), 1);
    ::SetActiveWindow(other.GetHandle());
    Pump();
    EXPECT_EQ(popup->GetHandle(), nullptr);
    EXPECT_EQ(Control::PressedControl(), nullptr);
}

TEST(RotaryPopup, APopupWithoutItsTrackShowsNothingAndTheKnobIsDraggedItself)
{
    Fixture f;
    auto* plain = new RotaryControl();
    ASSERT_EQ(plain->Setup(60, 4, Text("plain"), &f.strip, nullptr, nullptr, 64, -1, f.gain), 1);
    plain->SetPopup(1, nullptr, &f.thumb, -1, 6, 0);
    f.panel.AddControl(plain, f.gain);
    f.panel.OnMouseDown(MK_LBUTTON, 61, 6);
    EXPECT_EQ(plain->GetPopup()->GetHandle(), nullptr);
    EXPECT_EQ(plain->GetPopup()->GetSlider(), nullptr);
    f.panel.OnMouseMove(MK_LBUTTON, 64, 6);
    EXPECT_EQ(plain->GetFrame(), 34);
    EXPECT_EQ(f.knob->GetFrame(), 33) << "the shared item turns the other knob: 0.53125";
    f.panel.OnMouseUp(0, 64, 6);
}
} // namespace
