#include "framework/controls/PeakMeter.h"
#include "framework/controls/RotaryControl.h"
#include "framework/controls/Slider.h"
#include "framework/controls/SliderBar.h"
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/platform/TimerImpl.h"

#include <gtest/gtest.h>

#include <functional>

using namespace controlstest;

namespace
{
constexpr uint32_t kTrack = 0x102030;
constexpr uint32_t kBar = 0x40C040;
constexpr uint32_t kThumb = 0xE0E0E0;

// A 128 x 32 panel background; its image also holds a 100 x 8 track (0, 0), a bar (0, 8)
// and a 12 x 8 thumb (100, 0).
struct Fixture
{
    Host host;
    Bitmap dib;
    SkinBitmap whole;
    SkinBitmap track;
    SkinBitmap bar;
    SkinBitmap thumb;
    TestPanel panel;

    Fixture()
    {
        EXPECT_EQ(dib.Create(128, 32, 24), 1);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 128; ++x)
                dib.SetPixel(x, y,
                             x >= 100 && x < 112 && y < 8 ? kThumb
                             : x >= 100 || y >= 16        ? kBackground
                             : y < 8                      ? kTrack
                                                          : kBar);
        EXPECT_EQ(whole.SetPiece(&dib, 0, 0, 128, 32), 1);
        EXPECT_EQ(track.SetPiece(&dib, 0, 0, 100, 8), 1);
        EXPECT_EQ(bar.SetPiece(&dib, 0, 8, 100, 8), 1);
        EXPECT_EQ(thumb.SetPiece(&dib, 100, 0, 12, 8), 1);
        panel.Setup(nullptr, 0, 0, kBackground);
        panel.AddBackgroundSection(&whole, 0, 0, 1, 1, -1);
        EXPECT_EQ(panel.Create(&host.window, 0, 0, 7), 1);
    }

    SliderBar* AddBar(DataItem* item)
    {
        auto* control = new SliderBar();
        EXPECT_EQ(control->Setup(0, 20, Text("fader"), 1, &track, &bar, nullptr, nullptr, nullptr, item), 1);
        panel.AddControl(control, item);
        return control;
    }
};

TEST(SliderBar, AHundredPixelBarHasAHundredFramesAndFollowsThePointer)
{
    Fixture f;
    RealItem* level = f.panel.AddRealItem("level", 0.5f, 0.0f, 1.0f, 0, 0);
    SliderBar* fader = f.AddBar(level);
    EXPECT_EQ(fader->Width(), 100);
    EXPECT_EQ(fader->FrameCount(), 100);
    EXPECT_EQ(fader->GetFrame(), 49) << "truncate(99 * 0.5)";

    f.panel.OnMouseDown(MK_LBUTTON, 30, 22);
    EXPECT_EQ(fader->GetFrame(), 30) << "the bar jumps to the pointer";
    EXPECT_FLOAT_EQ(level->value, 0.3f);
    const Bitmap* shown = f.panel.ComposedBackground();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(PixelAt(*shown, 29, 22), kBar);
    EXPECT_EQ(PixelAt(*shown, 30, 22), kTrack);

    f.panel.OnMouseMove(MK_LBUTTON, 35, 22);
    EXPECT_EQ(fader->GetFrame(), 35) << "one frame per pixel dragged";
    f.panel.OnMouseMove(MK_LBUTTON, 500, 22);
    EXPECT_EQ(fader->GetFrame(), 99) << "the drag stops at the end";
    EXPECT_EQ(level->value, 1.0f) << "the last frame writes the maximum";
    f.panel.OnMouseUp(0, 500, 22);
    // The item tells its owner before the control reports its frame.
    EXPECT_EQ(f.panel.log, (Log{"item level 0", "control fader 30", "item level 0", "control fader 35", "item level 1",
                                "control fader 99"}));

    f.panel.OnMouseDown(MK_LBUTTON, 100, 22);
    EXPECT_EQ(fader->GetFrame(), 99) << "x = 100 is past the last frame: nothing";
    f.panel.OnMouseUp(0, 100, 22);
}

TEST(SliderBar, AnItemChangeMovesTheBarAndAnEmptyRangeShowsFrameZero)
{
    Fixture f;
    IntItem* steps = f.panel.AddIntItem("steps", 0, 0, 0, 0, 0);
    SliderBar* fader = f.AddBar(steps);
    steps->SetValue(7.0f, 1, 0, nullptr);
    EXPECT_EQ(steps->value, 7) << "an item with min == max takes any value";
    EXPECT_EQ(fader->GetFrame(), 0);

    steps->maximum = 9;
    steps->SetValue(3.0f, 1, 0, nullptr);
    EXPECT_EQ(fader->GetFrame(), 33) << "truncate(99 * 3 / 9)";
}

TEST(SliderBar, MissingImagesFailTheSetUp)
{
    Fixture f;
    SliderBar fader;
    EXPECT_EQ(fader.Setup(0, 0, Text("fader"), 1, nullptr, &f.bar, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(fader.Setup(0, 0, Text("fader"), 1, &f.track, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    SkinBitmap empty;
    EXPECT_EQ(fader.Setup(0, 0, Text("fader"), 1, &empty, &f.bar, nullptr, nullptr, nullptr, nullptr), 0)
        << "a track of no length has no frames";
}

TEST(Slider, ATwelvePixelThumbOnAHundredPixelTrackHas88Frames)
{
    Fixture f;
    RealItem* pan = f.panel.AddRealItem("pan", 0.0f, 0.0f, 1.0f, 0, 0);
    auto* slider = new Slider();
    ASSERT_EQ(slider->Setup(0, 20, Text("pan"), 1, &f.track, &f.thumb, nullptr, nullptr, -1, 6, 0, 1, pan), 1);
    f.panel.AddControl(slider, pan);
    EXPECT_EQ(slider->FrameCount(), 88);
    Rect thumb;
    slider->ThumbRect(thumb);
    EXPECT_EQ(thumb.left, 0);
    EXPECT_EQ(thumb.right, 12);
    const Bitmap* shown = f.panel.ComposedBackground();
    ASSERT_NE(shown, nullptr);
    slider->Invalidate(nullptr);
    EXPECT_EQ(PixelAt(*shown, 5, 22), kThumb);
    EXPECT_EQ(PixelAt(*shown, 12, 22), kTrack);

    f.panel.OnMouseDown(MK_LBUTTON, 50, 22);
    f.panel.OnMouseMove(MK_LBUTTON, 60, 22);
    EXPECT_EQ(slider->GetFrame(), 0) << "a press on the track drags nothing";
    f.panel.OnMouseUp(0, 60, 22);

    f.panel.OnMouseDown(MK_LBUTTON, 12, 22);
    f.panel.OnMouseMove(MK_LBUTTON, 56, 22);
    EXPECT_EQ(slider->GetFrame(), 44) << "the thumb's edge counts as the thumb";
    EXPECT_FLOAT_EQ(pan->value, 0.5f) << "44 / 88";
    EXPECT_EQ(PixelAt(*shown, 44, 22), kThumb);
    EXPECT_EQ(PixelAt(*shown, 43, 22), kTrack);
    f.panel.OnMouseUp(0, 56, 22);
}

TEST(Slider, AThumbOfSeveralFramesShowsTheFrameOfItsValueAndNoneBeyond)
{
    Fixture f;
    // Three 4 x 8 thumb frames; what lies right of the strip would show as kBackground.
    const uint32_t frames[] = {0x800000, 0x008000, 0x000080};
    Bitmap strip;
    ASSERT_EQ(strip.Create(16, 8, 24), 1);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            strip.SetPixel(x, y, x < 12 ? frames[x / 4] : kBackground);
    SkinBitmap thumbs;
    ASSERT_EQ(thumbs.SetPiece(&strip, 0, 0, 12, 8), 1);
    RealItem* pan = f.panel.AddRealItem("pan", 0.0f, 0.0f, 1.0f, 0, 0);
    auto* slider = new Slider();
    ASSERT_EQ(slider->Setup(0, 20, Text("pan"), 1, &f.track, &thumbs, nullptr, nullptr, -1, 2, 0, 3, pan), 1);
    f.panel.AddControl(slider, pan);
    ASSERT_EQ(slider->FrameCount(), 96) << "100 less one 4-pixel frame";
    const Bitmap* shown = f.panel.ComposedBackground();
    ASSERT_NE(shown, nullptr);
    const struct
    {
        float value;
        int frame;
        int thumbFrame;
    } cases[] = {{0.0f, 0, 0}, {0.34f, 32, 1}, {0.5f, 47, 1}, {0.99f, 94, 2}, {1.0f, 95, 2}, {7.0f, 95, 2}};
    for (const auto& c : cases)
    {
        pan->value = c.value;
        slider->SyncFrameFromItem();
        slider->Invalidate(nullptr);
        EXPECT_EQ(slider->GetFrame(), c.frame) << c.value;
        // The thumb spans [frame, frame + 4).
        for (int x = c.frame; x < c.frame + 4; ++x)
            EXPECT_EQ(PixelAt(*shown, x, 22), frames[c.thumbFrame]) << c.value << " at " << x;
    }
}

TEST(Slider, NoTravelOrNoThumbFailsTheSetUp)
{
    Fixture f;
    Slider slider;
    EXPECT_EQ(slider.Setup(0, 0, Text("s"), 1, &f.track, nullptr, nullptr, nullptr, -1, 6, 0, 1, nullptr), 0);
    EXPECT_EQ(slider.Setup(0, 0, Text("s"), 1, nullptr, &f.thumb, nullptr, nullptr, -1, 6, 0, 1, nullptr), 0);
    EXPECT_EQ(slider.Setup(0, 0, Text("s"), 1, &f.track, &f.thumb, nullptr, nullptr, 0, 6, 0, 1, nullptr), 0);
    EXPECT_EQ(slider.Setup(0, 0, Text("s"), 1, &f.thumb, &f.thumb, nullptr, nullptr, -1, 6, 0, 1, nullptr), 0)
        << "a thumb as long as the track leaves no travel";
}

// The ticker's clock, set by the test; the ticker itself never runs.
class ManualClock final : public TickerBackend
{
public:
    uint32_t now = 1000;
    uint32_t Now() override { return now; }
    uintptr_t StartTimer(void*, uintptr_t id, uint32_t, TickProc) override { return id; }
    int StopTimer(void*, uintptr_t) override { return 1; }
};

// Puts the system's clock back when the test ends.
struct ClockScope
{
    ManualClock clock;
    ClockScope() { TimerImpl::SetBackend(&clock); }
    ~ClockScope() { TimerImpl::SetBackend(nullptr); }
};

// A 101 x 8 meter's images: LEDs of 4 + 1 pixels give frames 0-20; the track is the off
// image, the bar the on image.
struct MeterFixture : Fixture
{
    SkinBitmap off;
    SkinBitmap on;
    MeterFixture()
    {
        EXPECT_EQ(off.SetPiece(&dib, 0, 0, 101, 8), 1);
        EXPECT_EQ(on.SetPiece(&dib, 0, 8, 101, 8), 1);
    }
    // A horizontal meter of these images at (0, y) on the item: the peak held for a second, a
    // tick of its own every 50 ms.
    template <typename Meter = PeakMeter>
    Meter* AddMeter(IntItem* item, int y)
    {
        auto* meter = new Meter();
        EXPECT_EQ(meter->Setup(0, y, Text("meter"), 1, 0, &off, &on, nullptr, 4, 1, 1000, 50, item), 1);
        panel.AddControl(meter, item);
        return meter;
    }
};

TEST(PeakMeter, FallsOneLedPerUpdateAndHoldsItsPeakOnTheTickerClock)
{
    ClockScope time;
    MeterFixture f;
    IntItem* level = f.panel.AddIntItem("level", 0, 0, 20, 0, 0);
    PeakMeter* meter = f.AddMeter(level, 20);
    EXPECT_EQ(meter->FrameCount(), 21);
    EXPECT_NE(meter->IsHidden(), 0) << "the meter takes no input";

    const int levels[] = {10, 2, 2, 2};
    const int shown[] = {10, 9, 8, 7};
    for (int i = 0; i < 4; ++i)
    {
        level->SetValue(static_cast<float>(levels[i]), 1, 0, nullptr);
        EXPECT_EQ(meter->GetFrame(), shown[i]) << i;
    }
    const Bitmap* drawn = f.panel.ComposedBackground();
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(PixelAt(*drawn, 34, 22), kBar) << "seven LEDs lit: 35 pixels";
    EXPECT_EQ(PixelAt(*drawn, 35, 22), kTrack);
    EXPECT_EQ(PixelAt(*drawn, 49, 22), kBar) << "the peak LED ends at frame 10's position";
    EXPECT_EQ(PixelAt(*drawn, 45, 22), kBar);
    EXPECT_EQ(PixelAt(*drawn, 50, 22), kTrack) << "not one LED beyond";

    time.clock.now = 1999;
    meter->OnTimerTick(0);
    EXPECT_EQ(meter->PeakFrame(), 10) << "held for a second";
    time.clock.now = 2000;
    meter->OnTimerTick(0);
    EXPECT_EQ(meter->PeakFrame(), 9);
    time.clock.now = 2050;
    meter->OnTimerTick(0);
    EXPECT_EQ(meter->PeakFrame(), 8) << "then one LED per tick";
}

// Counts the meter's draws: every invalidation draws it into the panel's background once.
class CountingMeter final : public PeakMeter
{
public:
    int draws = 0;
    void Draw() override
    {
        ++draws;
        PeakMeter::Draw();
    }
};

// Sets the levels it is given when the ticker's pass calls it, as the polled items do.
struct LevelFeed final : TimerListener
{
    std::vector<std::pair<IntItem*, int>> next;
    void OnTimerTick(int32_t) override
    {
        for (const auto& [item, level] : next)
            item->SetValue(static_cast<float>(level), 1, 0, nullptr);
        next.clear();
    }
};

TEST(PeakMeter, OnlyAChangedPictureIsPaintedAndOnlyItsOwnMeterOncePerPass)
{
    ClockScope time;
    MeterFixture f;
    IntItem* left = f.panel.AddIntItem("left", 0, 0, 20, 0, 0);
    IntItem* right = f.panel.AddIntItem("right", 0, 0, 20, 0, 0);
    CountingMeter* meters[2] = {new CountingMeter(), new CountingMeter()};
    IntItem* items[2] = {left, right};
    for (int i = 0; i < 2; ++i)
    {
        // LEDs of 4 + 1 pixels, a peak held for a second, a tick every 50 ms; rows 16-23, 24-31.
        ASSERT_EQ(meters[i]->Setup(0, 16 + 8 * i, Text(i ? "right" : "left"), 1, 0, &f.off, &f.on, nullptr, 4, 1, 1000,
                                   50, items[i]),
                  1);
        f.panel.AddControl(meters[i], items[i]);
    }
    LevelFeed feed;
    Timer feeding;
    ASSERT_EQ(feeding.Attach(&feed, 0, 0), 1);
    feeding.Start();
    HWND panel = f.panel.GetHandle();
    ::ShowWindow(f.host.window.GetHandle(), SW_SHOWNOACTIVATE);
    ::ShowWindow(panel, SW_SHOWNOACTIVATE);
    left->SetValue(10, 1, 0, nullptr); // frame 10 under its held peak
    right->SetValue(5, 1, 0, nullptr);
    Pump();

    const RECT leftMeter = {0, 16, 101, 24};
    const struct Step
    {
        const char* what;
        uint32_t now;
        std::vector<std::pair<IntItem*, int>> levels;
        int leftDraws, rightDraws;
    } steps[] = {
        {"the same levels within the hold", 1060, {{left, 10}, {right, 5}}, 0, 0},
        {"the left level rises", 1120, {{left, 15}}, 1, 0},
        {"the left bar falls one LED below its peak", 1180, {{left, 2}}, 1, 0},
        {"the right peak falls after its hold, under its bar", 2100, {}, 0, 0},
        {"the left peak falls onto its bar", 2200, {}, 1, 0},
        {"ticks with nothing falling", 2300, {}, 0, 0},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.what);
        ::ValidateRect(panel, nullptr);
        const int before[2] = {meters[0]->draws, meters[1]->draws};
        time.clock.now = step.now;
        feed.next = step.levels;
        TimerImpl::FireDue();
        EXPECT_EQ(meters[0]->draws, before[0]) << "the pass leaves the drawing to the paint";
        EXPECT_EQ(meters[1]->draws, before[1]);
        RECT dirty = {};
        const BOOL painting = ::GetUpdateRect(panel, &dirty, FALSE);
        EXPECT_EQ(painting != FALSE, step.leftDraws > 0) << "the pass leaves the paint to the message loop";
        if (painting)
        {
            EXPECT_TRUE(::EqualRect(&dirty, &leftMeter))
                << dirty.left << "," << dirty.top << "," << dirty.right << "," << dirty.bottom;
        }
        Pump();
        EXPECT_FALSE(::GetUpdateRect(panel, nullptr, FALSE)) << "painted once the loop ran";
        EXPECT_EQ(meters[0]->draws - before[0], step.leftDraws);
        EXPECT_EQ(meters[1]->draws - before[1], step.rightDraws);
    }
    EXPECT_EQ(meters[0]->GetFrame(), 14);
    EXPECT_EQ(meters[0]->PeakFrame(), 13) << "fell under the bar on the last tick, unpainted";
    EXPECT_EQ(meters[1]->PeakFrame(), 2) << "fell three LEDs under the bar, unpainted";
}

// A window that cannot be seen costs its meters nothing per tick: hidden, minimised or covered
// by another window, the level changes but the meter is drawn only once the window shows again,
// and then with the level it has by then. The system paints what shows again; the uncovered
// window is noticed by the panel itself.
TEST(PeakMeter, WhatCannotBeSeenIsDrawnOnlyOnceItShowsAgain)
{
    ClockScope time;
    MeterFixture f;
    IntItem* level = f.panel.AddIntItem("level", 0, 0, 20, 0, 0);
    auto* meter = f.AddMeter<CountingMeter>(level, 16);
    LevelFeed feed;
    Timer feeding;
    ASSERT_EQ(feeding.Attach(&feed, 0, 0), 1);
    feeding.Start();
    HWND host = f.host.window.GetHandle();
    HWND panel = f.panel.GetHandle();
    ::ShowWindow(host, SW_SHOWNOACTIVATE);
    ::ShowWindow(panel, SW_SHOWNOACTIVATE);
    Pump();

    // A window of another class over the whole host.
    WNDCLASSA coverClass = {};
    coverClass.lpfnWndProc = ::DefWindowProcA;
    coverClass.hInstance = ::GetModuleHandleA(nullptr);
    coverClass.lpszClassName = "KivMeterCover";
    coverClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::RegisterClassA(&coverClass);
    HWND cover = nullptr;
    const struct Case
    {
        const char* what;
        std::function<void()> hide, show;
    } cases[] = {
        {"hidden", [&] { ::ShowWindow(host, SW_HIDE); }, [&] { ::ShowWindow(host, SW_SHOWNOACTIVATE); }},
        {"minimised", [&] { ::ShowWindow(host, SW_SHOWMINNOACTIVE); }, [&] { ::ShowWindow(host, SW_SHOWNOACTIVATE); }},
        {"covered",
         [&] {
             RECT place = {};
             ::GetWindowRect(host, &place);
             cover = ::CreateWindowExA(WS_EX_TOPMOST, coverClass.lpszClassName, "cover", WS_POPUP | WS_VISIBLE,
                                       place.left, place.top, place.right - place.left, place.bottom - place.top,
                                       nullptr, nullptr, coverClass.hInstance, nullptr);
             ASSERT_NE(cover, nullptr);
         },
         [&] { ::DestroyWindow(cover); }},
    };
    uint32_t now = 1000;
    const auto tick = [&](int value) {
        time.clock.now = now += 60;
        feed.next = {{level, value}};
        TimerImpl::FireDue();
        Pump();
    };
    const auto pixel = [&](int x) { return PixelAt(*f.panel.ComposedBackground(), x, 18); };
    tick(20); // all 20 LEDs lit: pixels 0-99
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(meter->GetFrame(), 20);
        c.hide();
        Pump();
        now += 250; // a cover is looked for every quarter second
        const int before = meter->draws;
        // The bar falls one LED per tick: 19, 18, 17 (85 pixels), the peak held at 20.
        for (int i = 0; i < 3; ++i)
            tick(0);
        EXPECT_EQ(meter->GetFrame(), 17);
        EXPECT_EQ(meter->draws, before) << "nothing drawn while it cannot be seen";
        EXPECT_EQ(pixel(90), kBar) << "the background still shows 20 LEDs";
        c.show();
        Pump();
        // Within a quarter second of showing again the meter asks for its paint itself.
        time.clock.now = now += 250;
        TimerImpl::FireDue();
        Pump();
        EXPECT_EQ(meter->draws, before + 1) << "drawn once, when it shows";
        EXPECT_EQ(pixel(84), kBar) << "its frame of the moment";
        EXPECT_EQ(pixel(85), kTrack);
        EXPECT_FALSE(::GetUpdateRect(panel, nullptr, FALSE));
        // Seen again, a change is drawn by the next paint as before.
        tick(20);
        EXPECT_EQ(meter->draws, before + 2);
        EXPECT_EQ(pixel(90), kBar);
    }
    ::UnregisterClassA(coverClass.lpszClassName, coverClass.hInstance);
}

TEST(PeakMeter, MissingImagesOrNoPitchFailTheSetUp)
{
    Fixture f;
    PeakMeter meter;
    EXPECT_EQ(meter.Setup(0, 0, Text("m"), 1, 0, nullptr, &f.bar, nullptr, 4, 1, 1000, 50, nullptr), 0);
    EXPECT_EQ(meter.Setup(0, 0, Text("m"), 1, 0, &f.track, nullptr, nullptr, 4, 1, 1000, 50, nullptr), 0);
    EXPECT_EQ(meter.Setup(0, 0, Text("m"), 1, 0, &f.track, &f.bar, nullptr, 0, 0, 1000, 50, nullptr), 0);
}

TEST(RotaryControl, AKnobOf64FramesDraggedSideways)
{
    Fixture f;
    SkinBitmap strip; // 64 frames of 2 x 8
    ASSERT_EQ(strip.SetPiece(&f.dib, 0, 0, 128, 8), 1);
    RealItem* gain = f.panel.AddRealItem("gain", 0.5f, 0.0f, 1.0f, 0, 0);
    auto* knob = new RotaryControl();
    ASSERT_EQ(knob->Setup(0, 20, Text("gain"), &strip, nullptr, nullptr, 64, -1, gain), 1);
    f.panel.AddControl(knob, gain);
    EXPECT_EQ(knob->Width(), 2);
    EXPECT_EQ(knob->GetFrame(), 31);

    f.panel.OnMouseDown(MK_LBUTTON, 1, 22);
    f.panel.OnMouseMove(MK_LBUTTON, 3, 22);
    EXPECT_EQ(knob->GetFrame(), 33);
    EXPECT_EQ(gain->value, 0.515625f) << "33 / 64";
    f.panel.OnMouseUp(0, 3, 22);
    knob->SyncFrameFromItem();
    EXPECT_EQ(knob->GetFrame(), 32) << "the re-sync from the item";
}

TEST(RotaryControl, NoFramesAndNoFrameWidthFailTheSetUp)
{
    Fixture f;
    RotaryControl knob;
    EXPECT_EQ(knob.Setup(0, 0, Text("k"), &f.track, nullptr, nullptr, 0, -1, nullptr), 0) << "frameCount=\"0\"";
    EXPECT_EQ(knob.Setup(0, 0, Text("k"), nullptr, nullptr, nullptr, 4, -1, nullptr), 0);
    EXPECT_EQ(knob.Setup(0, 0, Text("k"), &f.thumb, nullptr, nullptr, 64, -1, nullptr), 0)
        << "12 pixels for 64 frames: no width";
    EXPECT_EQ(knob.Setup(0, 0, Text("k"), &f.track, nullptr, nullptr, 4, -1, nullptr), 1);
    EXPECT_EQ(knob.Width(), 25);
}
} // namespace
