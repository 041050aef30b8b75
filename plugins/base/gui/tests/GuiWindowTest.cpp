// The toolkit's windows and drawing under Wine: window class sharing, click routing, idle
// throttling and pixel checks of what the contexts and controls draw.

#include "plugins/base/gui/AutoAnimation.h"
#include "plugins/base/gui/DigitDisplay.h"
#include "plugins/base/gui/Sliders.h"
#include "plugins/base/gui/Knobs.h"
#include "plugins/base/gui/LevelMeter.h"
#include "plugins/base/gui/Splash.h"
#include "plugins/base/gui/Switches.h"
#include "plugins/base/gui/TextEdit.h"
#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/MouseState.h"
#include "plugins/base/gui/OffscreenContext.h"
#include "plugins/base/gui/OnOffButton.h"
#include "plugins/base/gui/OptionMenu.h"
#include "plugins/base/gui/PluginBitmap.h"
#include "plugins/base/gui/PluginEditor.h"
#include "plugins/base/vst/VstEffectX.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace
{

std::atomic<int> gHostIdles{0};
// The windows the test host made on request, and the last request it saw.
std::vector<HWND> gHostWindows;
HostWindowFields gLastRequest{};

VstValue KIV_VSTCALL TestHost(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void* pointer, float)
{
    switch (opcode)
    {
    case kHostVersion:
        return 2400;
    case kHostIdle:
        ++gHostIdles;
        return 0;
    case kHostOpenWindow: {
        gLastRequest = static_cast<HostWindowRequest*>(pointer)->fields;
        HWND window = CreateWindowExA(0, "STATIC", gLastRequest.title, WS_POPUP, gLastRequest.x, gLastRequest.y,
                                      gLastRequest.width, gLastRequest.height, nullptr, nullptr, nullptr, nullptr);
        gHostWindows.push_back(window);
        return reinterpret_cast<VstValue>(window);
    }
    case kHostCloseWindow:
        for (HWND& window : gHostWindows)
        {
            DestroyWindow(window);
        }
        gHostWindows.clear();
        return 1;
    default:
        return 0;
    }
}

class TestEffect : public VstEffectX
{
public:
    TestEffect() : VstEffectX(TestHost, 1, 0, 0x4B475549) {}
    void process(float**, float**, int32_t) override {}
};

class CountingEditor : public PluginEditor
{
public:
    explicit CountingEditor(VstEffect* effect) : PluginEditor(effect) { SetRect(100, 80); }
    void Idle() override
    {
        ++idles;
        PluginEditor::Idle();
    }
    int idles = 0;
};

// A 32-bit top-down DIB section with a memory context: pixels are 0x00RRGGBB.
class Canvas
{
public:
    Canvas(int width, int height, uint32_t fill) : width_(width)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i)
            bits_[i] = fill;
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kBlack = 0, kWhite = 0xFFFFFF;

// A view that records the clicks it gets.
class ClickView : public View
{
public:
    ClickView(const Rect& size, std::vector<int>* log, int id) : View(size), log_(log), id_(id) {}
    void MouseDown(DrawContext*, const Point&) override { log_->push_back(id_); }
    void LooseFocus() override { log_->push_back(-id_); }

private:
    std::vector<int>* log_;
    int id_;
};

class Listener : public ControlListener
{
public:
    void OnValueChanged(DrawContext*, PluginControl* control) override { changes.push_back(control->GetValue()); }
    std::vector<float> changes;
};

class GuiWindowTest : public ::testing::Test
{
protected:
    // One host window for the suite: showing and hiding a top-level window costs seconds
    // under Wine without a window manager.
    static void SetUpTestSuite()
    {
        parent_ = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                  nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent_); }
    void SetUp() override { ASSERT_NE(parent_, nullptr); }
    static bool ClassRegistered()
    {
        char name[32];
        Frame::ClassName(name, sizeof(name));
        WNDCLASSA info{};
        return GetClassInfoA(GetModuleHandleA(nullptr), name, &info) != 0;
    }
    static HWND parent_;
};

HWND GuiWindowTest::parent_ = nullptr;

TEST_F(GuiWindowTest, FramesShareOneWindowClassRegisteredOnce)
{
    char name[32];
    Frame::ClassName(name, sizeof(name));
    char expected[32];
    wsprintfA(expected, "Plugin%08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))));
    EXPECT_STREQ(name, expected);

    ASSERT_FALSE(ClassRegistered());
    auto first = std::make_unique<Frame>(Rect(0, 0, 100, 80), parent_, nullptr);
    auto second = std::make_unique<Frame>(Rect(0, 0, 50, 40), parent_, nullptr);
    ASSERT_NE(first->GetWindow(), nullptr);
    ASSERT_NE(second->GetWindow(), nullptr);
    char firstClass[64] = {}, secondClass[64] = {};
    GetClassNameA(first->GetWindow(), firstClass, sizeof(firstClass));
    GetClassNameA(second->GetWindow(), secondClass, sizeof(secondClass));
    EXPECT_STREQ(firstClass, name);
    EXPECT_STREQ(secondClass, name);
    RECT client{};
    GetClientRect(second->GetWindow(), &client);
    EXPECT_EQ(client.right, 50);
    EXPECT_EQ(client.bottom, 40);

    first.reset();
    EXPECT_TRUE(ClassRegistered()); // the second frame still uses it
    second.reset();
    EXPECT_FALSE(ClassRegistered());

    // A later frame registers it again.
    Frame again(Rect(0, 0, 10, 10), parent_, nullptr);
    EXPECT_NE(again.GetWindow(), nullptr);
}

TEST_F(GuiWindowTest, AClickReachesTheViewAddedLast)
{
    Frame frame(Rect(0, 0, 100, 80), parent_, nullptr);
    std::vector<int> log;
    ASSERT_TRUE(frame.AddView(new ClickView(Rect(0, 0, 60, 60), &log, 1)));
    ASSERT_TRUE(frame.AddView(new ClickView(Rect(40, 40, 90, 70), &log, 2)));
    const auto click = [&](int x, int y) {
        SendMessageA(frame.GetWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    };
    click(50, 50); // both contain it
    click(10, 10); // only the first
    click(95, 75); // neither
    click(90, 70); // the far corner is inside
    EXPECT_EQ(log, (std::vector<int>{2, 1, 2}));
}

TEST_F(GuiWindowTest, FocusAndModalViewsTakeTheClicks)
{
    Frame frame(Rect(0, 0, 100, 80), parent_, nullptr);
    std::vector<int> log;
    auto* first = new ClickView(Rect(0, 0, 40, 40), &log, 1);
    auto* second = new ClickView(Rect(50, 0, 90, 40), &log, 2);
    ASSERT_TRUE(frame.AddView(first));
    ASSERT_TRUE(frame.AddView(second));

    frame.SetFocusView(first);
    DrawContext context(&frame, nullptr, nullptr);
    frame.MouseDown(&context, Point(60, 10)); // outside the focus view: it loses the focus
    EXPECT_EQ(frame.GetFocusView(), nullptr);

    ASSERT_TRUE(frame.SetModalView(first));
    EXPECT_FALSE(frame.SetModalView(second)); // refused while one exists
    EXPECT_EQ(frame.GetModalView(), first);
    frame.MouseDown(&context, Point(60, 10)); // only the modal view can be clicked
    frame.MouseDown(&context, Point(10, 10));
    EXPECT_TRUE(frame.SetModalView(nullptr));
    frame.MouseDown(&context, Point(60, 10));
    EXPECT_EQ(log, (std::vector<int>{-1, 2, 1, 2}));

    frame.RemoveView(second);
    frame.MouseDown(&context, Point(60, 10));
    EXPECT_EQ(log.size(), 4u);
    delete second;
}

TEST_F(GuiWindowTest, DoIdleRunsIdleAtMostEveryFiftyMilliseconds)
{
    TestEffect effect;
    auto* editor = new CountingEditor(&effect); // the effect owns it
    EXPECT_EQ(effect.GetEditor(), editor);
    EXPECT_TRUE(effect.GetRecord()->flags & kVstFlagHasEditor);
    VstRect* rect = nullptr;
    ASSERT_TRUE(editor->GetRect(&rect));
    EXPECT_EQ(rect->right, 100);
    EXPECT_EQ(rect->bottom, 80);

    gHostIdles = 0;
    const DWORD start = GetTickCount();
    int calls = 0;
    // Bursts of calls in a row: a loaded machine can stretch every sleep past the idle
    // interval, but the calls of one burst still fall within it.
    while (GetTickCount() - start < 500)
    {
        for (int burst = 0; burst < 4; ++burst, ++calls)
            editor->DoIdle();
        Sleep(10);
    }
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GT(calls, editor->idles * 2);
    EXPECT_LE(editor->idles, static_cast<int>(elapsed / PluginEditor::kIdleInterval) + 1);
    EXPECT_GE(editor->idles, 3);
    EXPECT_EQ(gHostIdles.load(), editor->idles);

    // The host's own idle is not throttled.
    const int before = editor->idles;
    for (int i = 0; i < 5; ++i)
        effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);
    EXPECT_EQ(editor->idles, before + 5);
}

TEST(DrawContextTest, RectanglesPointsAndLinesLandOnTheirPixels)
{
    Canvas canvas(32, 32, kBlack);
    {
        DrawContext context(nullptr, canvas.Dc(), nullptr);
        context.SetFillColor(Colors::kRed);
        context.FillRect(Rect(2, 2, 10, 10));
        context.SetFrameColor(Colors::kGreen);
        context.DrawRect(Rect(12, 2, 20, 10));
        context.DrawPoint(Point(25, 25), Colors::kBlue);
        context.SetFrameColor(Colors::kWhite);
        context.MoveTo(Point(0, 30));
        context.LineTo(Point(10, 30));
    }
    // FillRect leaves the left and top edges and stops before right and bottom.
    EXPECT_EQ(canvas.At(2, 5), kBlack);
    EXPECT_EQ(canvas.At(5, 2), kBlack);
    EXPECT_EQ(canvas.At(3, 3), kRed);
    EXPECT_EQ(canvas.At(9, 9), kRed);
    EXPECT_EQ(canvas.At(10, 9), kBlack);
    // DrawRect draws all four edges, corners included.
    for (auto [x, y] : {std::pair{12, 2}, {20, 2}, {20, 10}, {12, 10}, {16, 2}, {12, 6}})
        EXPECT_EQ(canvas.At(x, y), kGreen) << x << "," << y;
    EXPECT_EQ(canvas.At(16, 6), kBlack);
    EXPECT_EQ(canvas.At(25, 25), kBlue);
    EXPECT_EQ(canvas.At(5, 30), kWhite);
}

TEST(DrawContextTest, FontsComeFromTheTable)
{
    Canvas canvas(8, 8, kBlack);
    DrawContext context(nullptr, canvas.Dc(), nullptr);
    struct Case
    {
        int32_t index;
        int32_t size;
        int height;
        int weight;
    };
    for (const Case& c : {Case{9, 0, 12, 700}, Case{4, 0, 11, 400}, Case{2, 20, 20, 400}})
    {
        context.SetFont(c.index, c.size);
        TEXTMETRICA metrics{};
        ASSERT_TRUE(GetTextMetricsA(canvas.Dc(), &metrics));
        // The font mapper may round the character height by a pixel.
        EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, c.height, 1) << c.index;
        EXPECT_EQ(metrics.tmWeight, c.weight) << c.index;
    }
}

TEST(DrawContextTest, StringsAreAlignedInTheirRectangle)
{
    const auto inkColumns = [](int32_t alignment) {
        Canvas canvas(60, 20, kBlack);
        {
            DrawContext context(nullptr, canvas.Dc(), nullptr);
            context.SetFont(0);
            context.SetFontColor(Colors::kWhite);
            context.DrawString("I", Rect(10, 0, 50, 20), false, alignment);
        }
        int first = -1, last = -1, top = -1;
        for (int x = 0; x < 60; ++x)
            for (int y = 0; y < 20; ++y)
                if (canvas.At(x, y) != kBlack)
                {
                    if (first < 0)
                        first = x;
                    last = x;
                    if (top < 0 || y < top)
                        top = y;
                }
        return std::vector<int>{first, last, top};
    };
    const std::vector<int> left = inkColumns(0);
    const std::vector<int> centred = inkColumns(1);
    const std::vector<int> right = inkColumns(2);
    ASSERT_GE(left[0], 0);
    EXPECT_GE(left[0], 11); // one pixel in from the left edge
    EXPECT_LT(left[0], 15);
    EXPECT_NEAR((centred[0] + centred[1]) / 2.0, 30.0, 2.0);
    EXPECT_GT(right[1], 45);
    EXPECT_LT(right[1], 50);
    EXPECT_GT(centred[2], 2); // centred vertically, not at the top
}

TEST_F(GuiWindowTest, BitmapsDrawPlainAndTransparent)
{
    PluginBitmap* square = new PluginBitmap(2);
    ASSERT_EQ(square->GetWidth(), 8);
    ASSERT_EQ(square->GetHeight(), 8);
    PluginBitmap missing(999);
    EXPECT_EQ(missing.GetWidth(), 0);
    EXPECT_EQ(missing.GetHeight(), 0);

    Canvas canvas(40, 20, kGreen);
    {
        DrawContext context(nullptr, canvas.Dc(), nullptr);
        square->Draw(&context, Rect(0, 0, 8, 8));
        square->DrawTransparent(&context, Rect(20, 0, 28, 8));
        square->Draw(&context, Rect(30, 0, 34, 4), Point(2, 2)); // a cut from the offset
    }
    EXPECT_EQ(canvas.At(0, 0), kWhite);
    EXPECT_EQ(canvas.At(3, 3), kBlue);
    EXPECT_EQ(canvas.At(20, 0), kGreen); // white is transparent
    EXPECT_EQ(canvas.At(27, 7), kGreen);
    EXPECT_EQ(canvas.At(23, 3), kBlue);
    EXPECT_EQ(canvas.At(30, 0), kBlue);
    EXPECT_EQ(canvas.At(33, 3), kBlue);
    EXPECT_EQ(canvas.At(34, 3), kGreen);

    square->Remember();
    square->Forget();
    EXPECT_EQ(square->GetCount(), 1);
    square->Forget(); // the last holder deletes it
}

TEST_F(GuiWindowTest, OffscreenContextsCopyInOneBlit)
{
    PluginBitmap* square = new PluginBitmap(2);
    Canvas canvas(20, 20, kRed);
    {
        DrawContext context(nullptr, canvas.Dc(), nullptr);
        {
            OffscreenContext fromBitmap(&context, square);
            EXPECT_EQ(fromBitmap.GetWidth(), 8);
            fromBitmap.CopyTo(&context, Rect(0, 0, 8, 8));
        }
        {
            OffscreenContext empty(&context, nullptr);
            EXPECT_EQ(empty.GetWidth(), 20);
            empty.CopyTo(&context, Rect(10, 10, 14, 14));
        }
    }
    square->Forget();
    EXPECT_EQ(canvas.At(0, 0), kWhite);
    EXPECT_EQ(canvas.At(4, 4), kBlue);
    EXPECT_EQ(canvas.At(11, 11), kBlack);
    EXPECT_EQ(canvas.At(15, 15), kRed);

    Frame frame(Rect(0, 0, 30, 30), parent_, nullptr);
    OffscreenContext filled(&frame, 12, 6, Colors::kBlue);
    Canvas target(12, 6, kRed);
    DrawContext targetContext(nullptr, target.Dc(), nullptr);
    filled.CopyTo(&targetContext, Rect(0, 0, 12, 6));
    EXPECT_EQ(target.At(0, 0), kBlue);
    EXPECT_EQ(target.At(6, 3), kBlue);
}

TEST_F(GuiWindowTest, OnOffButtonDrawsAnyNonZeroOnButAClickTurnsPointThreeToOne)
{
    PluginBitmap* states = new PluginBitmap(1);
    Listener listener;
    OnOffButton button(Rect(0, 0, 6, 6), &listener, 7, states);
    states->Forget(); // the button holds it now
    Canvas canvas(6, 6, kBlack);
    DrawContext context(nullptr, canvas.Dc(), nullptr);

    button.Update(&context); // the first update always draws
    EXPECT_EQ(canvas.At(2, 2), kRed);
    button.SetValue(0.3f);
    button.Update(&context);
    EXPECT_EQ(canvas.At(2, 2), kGreen);
    button.MouseDown(&context, Point(1, 1));
    EXPECT_EQ(button.GetValue(), 1.0f);
    button.MouseDown(&context, Point(1, 1));
    EXPECT_EQ(button.GetValue(), 0.0f);
    EXPECT_EQ(canvas.At(2, 2), kRed);
    EXPECT_EQ(listener.changes, (std::vector<float>{1.0f, 0.0f}));

    button.SetMouseEnabled(false);
    button.MouseDown(&context, Point(1, 1));
    EXPECT_EQ(button.GetValue(), 0.0f);
    EXPECT_EQ(listener.changes.size(), 2u);
}

TEST_F(GuiWindowTest, OptionMenuDrawsItsCurrentEntry)
{
    OptionMenu menu(Rect(0, 0, 60, 16), nullptr, 1);
    for (const char* text : {"first", "-", "WWWWWW"})
        ASSERT_TRUE(menu.AddEntry(text));
    EXPECT_FALSE(menu.SetCurrent(1));
    char text[256];
    EXPECT_EQ(menu.GetCurrent(text), 0);
    EXPECT_STREQ(text, "first");

    const auto ink = [&menu]() {
        Canvas canvas(60, 16, kBlack);
        DrawContext context(nullptr, canvas.Dc(), nullptr);
        menu.Update(&context);
        int count = 0;
        for (int x = 0; x < 60; ++x)
            for (int y = 1; y < 15; ++y)
                count += canvas.At(x, y) == kWhite;
        return count;
    };
    const int first = ink();
    EXPECT_GT(first, 0);
    EXPECT_EQ(ink(), 0); // nothing changed: nothing drawn
    ASSERT_TRUE(menu.SetCurrent(2));
    EXPECT_GT(ink(), first); // the wider text, drawn at the next update
    menu.RemoveAllEntries();
    EXPECT_EQ(menu.GetCurrent(), -1);
    EXPECT_EQ(ink(), 0);
}

TEST_F(GuiWindowTest, DigitDisplayShowsTheClampedDigits)
{
    PluginBitmap* strip = new PluginBitmap(3);
    DigitDisplay display(Rect(0, 0, 6, 2), strip, 3);
    strip->Forget();
    EXPECT_EQ(display.GetMax(), 999.0f);
    Canvas canvas(6, 2, kRed);
    DrawContext context(nullptr, canvas.Dc(), nullptr);
    const auto shown = [&]() {
        display.Update(&context);
        int digits = 0;
        for (int i = 0; i < 3; ++i)
            digits = digits * 10 + static_cast<int>((canvas.At(i * 2, 0) & 0xFF) / 20);
        return digits;
    };
    display.SetValue(1234.5f);
    EXPECT_EQ(shown(), 999);
    display.SetValue(42.7f);
    EXPECT_EQ(shown(), 42);
}

// Presses with no button held: a tracking loop takes the press alone and ends.
TEST_F(GuiWindowTest, StripControlsTakeTheirValueFromThePress)
{
    PluginBitmap* strip = new PluginBitmap(4);
    Listener listener;
    Canvas canvas(4, 12, kBlack);
    DrawContext context(nullptr, canvas.Dc(), nullptr);
    {
        VerticalSwitch vertical(Rect(0, 0, 4, 12), &listener, 1, strip, 3);
        vertical.MouseDown(&context, Point(1, 4)); // a band boundary: the next band
        EXPECT_EQ(vertical.GetValue(), 0.5f);
        EXPECT_EQ(canvas.At(1, 1), kGreen);
        vertical.MouseDown(&context, Point(1, 11));
        EXPECT_EQ(vertical.GetValue(), 1.0f);
        EXPECT_EQ(canvas.At(1, 1), kBlue);
    }
    {
        HorizontalSwitch horizontal(Rect(0, 0, 4, 4), &listener, 2, strip, 3);
        horizontal.MouseDown(&context, Point(3, 1)); // bands 1 wide: the fourth pixel is beyond the last
        EXPECT_EQ(horizontal.GetValue(), 1.0f);
    }
    listener.changes.clear();
    {
        RockerSwitch rocker(Rect(0, 0, 4, 4), &listener, 3, strip);
        rocker.Update(&context);                 // as the frame's first paint does
        rocker.MouseDown(&context, Point(0, 1)); // left half, then back to 0 on release
        EXPECT_EQ(listener.changes, (std::vector<float>{-1.0f, 0.0f}));
        EXPECT_EQ(canvas.At(1, 1), kGreen);
    }
    listener.changes.clear();
    {
        KickButton kick(Rect(0, 0, 4, 4), &listener, 4, strip);
        kick.MouseDown(&context, Point(1, 1));
        EXPECT_EQ(listener.changes, (std::vector<float>{1.0f, 0.0f}));
        FilmstripButton button(Rect(0, 0, 4, 4), &listener, 5, strip);
        button.MouseDown(&context, Point(1, 1));
        EXPECT_EQ(button.GetValue(), 1.0f);
        button.MouseDown(&context, Point(1, 1));
        EXPECT_EQ(button.GetValue(), 0.0f);
    }
    {
        FilmstripDisplay display(Rect(0, 0, 4, 4), nullptr, 6, strip, 3);
        display.SetValue(0.8f); // rounds to the last picture
        display.Update(&context);
        EXPECT_EQ(canvas.At(1, 1), kBlue);
        display.MouseDown(&context, Point(1, 1)); // no mouse: the value stays
        EXPECT_EQ(display.GetValue(), 0.8f);
    }
    strip->Forget();
}

TEST_F(GuiWindowTest, KnobFollowsThePressAroundItsCentre)
{
    Listener listener;
    Canvas canvas(21, 21, kBlack);
    DrawContext context(nullptr, canvas.Dc(), nullptr);
    Knob knob(Rect(0, 0, 20, 20), &listener, 1, nullptr, nullptr);
    knob.MouseDown(&context, Point(10, 0)); // straight up: half way
    EXPECT_NEAR(knob.GetValue(), 0.5f, 1e-5);
    EXPECT_EQ(canvas.At(10, 6), kWhite);    // the handle line points up
    knob.MouseDown(&context, Point(9, 20)); // the gap, left half
    EXPECT_EQ(knob.GetValue(), 0.0f);
    EXPECT_EQ(listener.changes.size(), 2u);
}

TEST_F(GuiWindowTest, LevelMeterFallsByOneStepPerDraw)
{
    PluginBitmap* on = new PluginBitmap(5);
    PluginBitmap* off = new PluginBitmap(6);
    LevelMeter meter(Rect(0, 0, 4, 10), on, off, 10);
    on->Forget();
    off->Forget();
    meter.SetDecreaseStep(0.5f);
    Canvas canvas(4, 10, kBlack);
    DrawContext context(nullptr, canvas.Dc(), nullptr);
    meter.SetValue(1.0f);
    meter.Update(&context);
    EXPECT_EQ(canvas.At(1, 0), kGreen);
    meter.SetValue(0.0f);
    meter.Update(&context); // half way down
    EXPECT_EQ(canvas.At(1, 2), kRed);
    EXPECT_EQ(canvas.At(1, 7), kGreen);
    meter.Update(&context); // and the rest
    EXPECT_EQ(canvas.At(1, 9), kRed);
    meter.Update(&context); // nothing left to fall
    EXPECT_EQ(meter.GetOldValue(), 0.0f);
}

TEST_F(GuiWindowTest, SplashTakesTheFrameAsItsModalView)
{
    PluginBitmap* picture = new PluginBitmap(2);
    Frame frame(Rect(0, 0, 100, 80), parent_, nullptr);
    Listener listener;
    auto* splash = new Splash(Rect(0, 0, 10, 10), &listener, 1, picture, Rect(20, 20, 28, 28));
    picture->Forget();
    ASSERT_TRUE(frame.AddView(splash));
    DrawContext context(&frame, nullptr, nullptr);
    frame.MouseDown(&context, Point(5, 5));
    EXPECT_EQ(frame.GetModalView(), splash);
    EXPECT_EQ(splash->GetSize().left, 20);
    frame.MouseDown(&context, Point(5, 5)); // outside the splash now: nothing
    EXPECT_EQ(frame.GetModalView(), splash);
    frame.MouseDown(&context, Point(24, 24));
    EXPECT_EQ(frame.GetModalView(), nullptr);
    EXPECT_EQ(splash->GetSize().left, 0);
    EXPECT_EQ(listener.changes, (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(GuiWindowTest, SliderHandleFollowsItsValueAndOnlyItsHandleIsGrabbed)
{
    PluginBitmap* handle = new PluginBitmap(2); // 8 x 8, blue in the middle
    Frame frame(Rect(0, 0, 100, 80), parent_, nullptr);
    Listener listener;
    auto* slider = new VerticalSlider(Rect(10, 0, 18, 40), &listener, 1, 0, 32, handle, nullptr);
    handle->Forget();
    ASSERT_TRUE(frame.AddView(slider));
    Canvas canvas(20, 40, kRed);
    DrawContext context(&frame, canvas.Dc(), nullptr);
    slider->Update(&context); // value 0 sits at the bottom
    EXPECT_EQ(canvas.At(13, 35), kBlue);
    EXPECT_EQ(canvas.At(13, 3), kBlack);
    slider->MouseDown(&context, Point(13, 5)); // not on the handle: nothing
    EXPECT_TRUE(listener.changes.empty());
    slider->MouseDown(&context, Point(13, 34)); // on it, without moving: the value stays
    EXPECT_TRUE(listener.changes.empty());
    slider->SetValue(1.0f);
    slider->Update(&context);
    EXPECT_EQ(canvas.At(13, 3), kBlue);
    EXPECT_EQ(canvas.At(13, 35), kBlack);
    EXPECT_EQ(canvas.At(5, 3), kRed); // only the control's rectangle is copied
}

TEST_F(GuiWindowTest, AnimationStepsRoundTheWholeStrip)
{
    PluginBitmap* strip = new PluginBitmap(4); // three pictures 4 high
    Listener listener;
    AutoAnimation animation(Rect(0, 0, 4, 4), &listener, 1, strip);
    strip->Forget();
    Canvas canvas(4, 4, kBlack);
    DrawContext context(nullptr, canvas.Dc(), nullptr);
    animation.MouseDown(&context, Point(1, 1));
    EXPECT_TRUE(animation.IsRunning());
    EXPECT_EQ(canvas.At(1, 1), kRed);
    std::vector<float> offsets;
    for (int i = 0; i < 3; ++i)
    {
        animation.NextPicture();
        offsets.push_back(animation.GetValue());
    }
    animation.PreviousPicture();
    offsets.push_back(animation.GetValue());
    EXPECT_EQ(offsets, (std::vector<float>{4.0f, 8.0f, 0.0f, 8.0f}));
    animation.Update(&context);
    EXPECT_EQ(canvas.At(1, 1), kBlue);
    animation.MouseDown(&context, Point(1, 1));
    EXPECT_FALSE(animation.IsRunning());
    EXPECT_EQ(listener.changes.size(), 1u);
}

TEST_F(GuiWindowTest, TextEditTakesTheEditedTextOnEnter)
{
    Frame frame(Rect(0, 0, 100, 80), parent_, nullptr);
    Listener listener;
    auto* edit = new TextEdit(Rect(10, 10, 90, 30), &listener, 1, "before");
    ASSERT_TRUE(frame.AddView(edit));
    edit->TakeFocus();
    HWND window = edit->GetEditWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(frame.GetFocusView(), edit);
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "before");
    RECT area{};
    GetWindowRect(window, &area);
    EXPECT_EQ(area.right - area.left, 82); // one pixel beyond the control on each side

    SetWindowTextA(window, "after");
    SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(edit->GetEditWindow(), nullptr);
    EXPECT_EQ(frame.GetFocusView(), nullptr);
    EXPECT_STREQ(edit->GetText(), "after");
    EXPECT_EQ(listener.changes.size(), 1u);

    // Unchanged text: no notice. A click elsewhere ends editing too.
    edit->TakeFocus();
    ASSERT_NE(edit->GetEditWindow(), nullptr);
    DrawContext context(&frame, nullptr, nullptr);
    frame.MouseDown(&context, Point(5, 70));
    EXPECT_EQ(edit->GetEditWindow(), nullptr);
    EXPECT_EQ(listener.changes.size(), 1u);
}

TEST_F(GuiWindowTest, HostWindowModeAsksTheHostForItsWindow)
{
    TestEffect effect;
    auto* editor = new CountingEditor(&effect);
    {
        Frame frame(Rect(5, 6, 105, 86), "Editor title", editor, 7);
        EXPECT_FALSE(frame.IsOpen());
        EXPECT_EQ(frame.GetWindow(), nullptr);
        EXPECT_FALSE(ClassRegistered());
        const Point where(40, 50);
        ASSERT_TRUE(frame.OpenWindow(&where));
        EXPECT_STREQ(gLastRequest.title, "Editor title");
        EXPECT_EQ(gLastRequest.x, 40);
        EXPECT_EQ(gLastRequest.y, 50);
        EXPECT_EQ(gLastRequest.width, 100);
        EXPECT_EQ(gLastRequest.height, 80);
        EXPECT_EQ(gLastRequest.style, 7);
        ASSERT_EQ(gHostWindows.size(), 1u);
        EXPECT_EQ(GetParent(frame.GetWindow()), gHostWindows[0]);
        EXPECT_FALSE(frame.OpenWindow()); // already open
        EXPECT_EQ(gHostWindows.size(), 1u);

        frame.CloseWindow(); // the host destroys its window and our child with it
        EXPECT_FALSE(frame.IsOpen());
        EXPECT_EQ(frame.GetWindow(), nullptr);
        ASSERT_TRUE(frame.OpenWindow()); // and a window can be asked for again
        EXPECT_TRUE(ClassRegistered());
    }
    EXPECT_TRUE(gHostWindows.empty()); // the frame's end closed the host's window
    EXPECT_FALSE(ClassRegistered());
}

TEST_F(GuiWindowTest, SizeChangesReachTheHostWindowsAroundTheFrame)
{
    // The suite's host window (300 x 200) holds a container with a 10-pixel margin round the
    // frame's child window.
    HWND container =
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 30, 110, 90, parent_, nullptr, nullptr, nullptr);
    ASSERT_NE(container, nullptr);
    {
        Frame frame(Rect(0, 0, 100, 80), container, nullptr);
        Rect size;
        ASSERT_TRUE(frame.GetSize(&size));
        EXPECT_EQ(size.left, 20);
        EXPECT_EQ(size.top, 30);
        EXPECT_EQ(size.Width(), 110);
        int32_t x = -1, y = -1;
        ASSERT_TRUE(frame.GetPosition(&x, &y)); // the host window, on the screen
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);

        EXPECT_FALSE(frame.SetSize(100, 80)); // unchanged
        ASSERT_TRUE(frame.SetSize(150, 100));
        RECT area{};
        GetClientRect(frame.GetWindow(), &area);
        EXPECT_EQ(area.right, 150);
        EXPECT_EQ(area.bottom, 100);
        GetWindowRect(container, &area);
        EXPECT_EQ(area.right - area.left, 160); // the margin is kept
        EXPECT_EQ(area.bottom - area.top, 110);
        // The host window's margin is above 80 pixels: it is the last resized.
        GetWindowRect(parent_, &area);
        EXPECT_EQ(area.right - area.left, 350);
        EXPECT_EQ(area.bottom - area.top, 220);
        SetWindowPos(parent_, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    }
    DestroyWindow(container);
}

// A scripted mouse for a frame: each step holds its buttons while the control looks, then
// moves the pointer to its point (in the frame's client coordinates). The last step's buttons
// stay.
class ScriptedMouse : public MouseStateSource
{
public:
    struct Step
    {
        int32_t buttons;
        Point then;
    };
    ScriptedMouse(const Frame& frame, std::vector<Step> steps) : frame_(frame), steps_(std::move(steps)) {}
    int32_t GetButtons() const override { return steps_[at_].buttons; }
    Point GetScreenPosition() const override
    {
        POINT where{steps_[at_].then.x, steps_[at_].then.y};
        ClientToScreen(frame_.GetWindow(), &where);
        at_ = std::min(at_ + 1, steps_.size() - 1);
        return Point(where.x, where.y);
    }
    // The steps whose move the control has taken.
    size_t Moves() const { return at_; }

private:
    const Frame& frame_;
    std::vector<Step> steps_;
    mutable size_t at_ = 0;
};

constexpr int32_t kLeftShift = kMouseLeft | kMouseShift;

// A control in a frame of its own, pressed at a point and then driven by a script.
struct TrackCase
{
    const char* label;
    std::function<PluginControl*(ControlListener*)> make;
    float start;
    Point press;
    std::vector<ScriptedMouse::Step> steps;
    std::vector<float> changes; // what the listener hears, in order
    size_t moves;               // the script's moves the control takes before it lets go
    float end;
};

void PrintTo(const TrackCase& row, std::ostream* out)
{
    *out << row.label;
}

class TrackingTest : public GuiWindowTest, public ::testing::WithParamInterface<TrackCase>
{
};

TEST_P(TrackingTest, PressDragAndRelease)
{
    const TrackCase& row = GetParam();
    SCOPED_TRACE(row.label);
    Frame frame(Rect(0, 0, 100, 80), parent_, nullptr);
    Listener listener;
    PluginControl* control = row.make(&listener);
    ASSERT_TRUE(frame.AddView(control));
    ScriptedMouse mouse(frame, row.steps);
    frame.SetMouseSource(&mouse);
    Canvas canvas(100, 80, kBlack);
    DrawContext context(&frame, canvas.Dc(), nullptr);
    control->SetValue(row.start);
    control->Update(&context);
    control->MouseDown(&context, row.press);
    ASSERT_EQ(listener.changes.size(), row.changes.size());
    for (size_t i = 0; i < row.changes.size(); ++i)
    {
        EXPECT_NEAR(listener.changes[i], row.changes[i], 1e-6) << "change " << i;
    }
    EXPECT_EQ(mouse.Moves(), row.moves);
    EXPECT_NEAR(control->GetValue(), row.end, 1e-6);
    frame.SetMouseSource(nullptr);
}

PluginControl* MakeSlider(ControlListener* listener)
{
    // 8 pixels of handle on a 40 pixel track: positions 0 (value 1) to 32 (value 0).
    PluginBitmap* handle = new PluginBitmap(2);
    auto* slider = new VerticalSlider(Rect(10, 0, 18, 40), listener, 1, 0, 32, handle, nullptr);
    handle->Forget();
    return slider;
}

PluginControl* MakeKnob(ControlListener* listener)
{
    auto* knob = new Knob(Rect(0, 0, 20, 20), listener, 1, nullptr, nullptr);
    knob->SetDefaultValue(0.25f);
    return knob;
}

PluginControl* MakeButton(ControlListener* listener)
{
    PluginBitmap* strip = new PluginBitmap(4);
    auto* button = new FilmstripButton(Rect(0, 0, 4, 4), listener, 1, strip);
    strip->Forget();
    return button;
}

const TrackCase kTrackCases[] = {
    // The handle is grabbed 2 pixels below its top and keeps that offset.
    {"slider drag",
     MakeSlider,
     0.0f,
     Point(13, 34),
     {{kMouseLeft, Point(13, 18)}, {kMouseLeft, Point(13, -30)}, {0, Point(13, 40)}},
     {0.5f, 1.0f},
     2,
     1.0f},
    // Shift: from where it is pressed, ten pixels of mouse are one of the handle; letting go of
    // shift makes the handle follow the mouse again.
    {"slider drag with shift",
     MakeSlider,
     0.0f,
     Point(13, 34),
     {{kMouseLeft, Point(13, 18)},
      {kLeftShift, Point(13, 8)},
      {kLeftShift, Point(13, -12)},
      {kMouseLeft, Point(13, 26)},
      {0, Point(0, 0)}},
     {0.5f, 0.5625f, 0.25f},
     4,
     0.25f},
    {"slider pressed with shift from the start",
     MakeSlider,
     0.0f,
     Point(13, 34),
     {{kLeftShift, Point(13, 24)}, {0, Point(0, 0)}},
     {0.03125f},
     1,
     0.03125f},
    {"slider pressed beside its handle",
     MakeSlider,
     0.0f,
     Point(13, 5),
     {{kMouseLeft, Point(13, 18)}, {0, Point(0, 0)}},
     {},
     0,
     0.0f},
    // The knob follows the angle around its centre, shift or not.
    {"knob drag",
     MakeKnob,
     0.0f,
     Point(10, 0),
     {{kMouseLeft, Point(20, 10)}, {kLeftShift, Point(0, 10)}, {0, Point(10, 0)}},
     {0.5f, 225.0f / 270.0f, 45.0f / 270.0f},
     2,
     45.0f / 270.0f},
    {"knob alt-click takes the default",
     MakeKnob,
     0.9f,
     Point(0, 20),
     {{kMouseLeft | kMouseAlt, Point(10, 0)}, {0, Point(0, 0)}},
     {0.25f},
     0,
     0.25f},
    {"knob alt-click at the default changes nothing",
     MakeKnob,
     0.25f,
     Point(0, 20),
     {{kMouseLeft | kMouseAlt, Point(10, 0)}, {0, Point(0, 0)}},
     {},
     0,
     0.25f},
    // Only left with alt alone is the default click; with shift as well it is a drag.
    {"knob alt-shift-click tracks",
     MakeKnob,
     0.9f,
     Point(10, 0),
     {{kLeftShift | kMouseAlt, Point(20, 10)}, {0, Point(0, 0)}},
     {0.5f, 225.0f / 270.0f},
     1,
     225.0f / 270.0f},
    // The button shows the other state while the mouse is on it and takes it on release there.
    {"button released on it",
     MakeButton,
     0.0f,
     Point(1, 1),
     {{kMouseLeft, Point(10, 10)}, {kMouseLeft, Point(2, 2)}, {0, Point(0, 0)}},
     {1.0f, 0.0f, 1.0f},
     2,
     1.0f},
    {"button released beside it",
     MakeButton,
     1.0f,
     Point(1, 1),
     {{kMouseLeft, Point(10, 10)}, {0, Point(2, 2)}},
     {0.0f, 1.0f},
     1,
     1.0f},
};

INSTANTIATE_TEST_SUITE_P(Controls, TrackingTest, ::testing::ValuesIn(kTrackCases));

} // namespace
