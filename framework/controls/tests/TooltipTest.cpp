// The hint of the control under the mouse, with the shipped mixer skin's tooltip style. The
// timers are posted by the tests; one run waits for the real one.
#include "framework/controls/ControlLayout.h"
#include "framework/controls/Tooltip.h"
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinRecords.h"

#include <gtest/gtest.h>

using namespace controlstest;

namespace
{
// The build's program folder as Wine sees it (the Unix root is drive Z:).
String ShippedSkin()
{
    std::string path = std::string("Z:") + KIV_PROGRAM_DIR + "/Skins/Default";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return Text(path.c_str());
}

// A panel at screen (50, 60) with a button at (0, 0) that has a tooltip, in a hidden host.
struct HintPanel
{
    Composite images;
    std::unique_ptr<TestPanel> panel = std::make_unique<TestPanel>();
    Button* button = nullptr;

    explicit HintPanel(Window& host, int x = 50, int y = 60)
    {
        panel->Setup(nullptr, 0, 0, kBackground);
        panel->AddBackgroundSection(&images.tile, 0, 0, 2, 1, -1);
        EXPECT_EQ(panel->Create(&host, x, y, 1), 1);
        button = AddButton(*panel, images.button, "mute", 0, 0);
        button->SetTooltip(Text("Mute the channel"));
    }

    // The pointer comes to rest on the button.
    void Hover() { panel->OnMouseMove(0, 2, 2); }
    void Timer(UINT_PTR id)
    {
        panel->PostMessage(WM_TIMER, id, 0);
        Pump();
    }
};

class TooltipTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(skin.Load(ShippedSkin(), nullptr), 1); }
    void TearDown() override
    {
        Tooltip::Destroy();
        Tooltip::TooltipsEnabled = 1;
    }

    HWND Hint() const { return Tooltip::Current() ? Tooltip::Current()->GetHandle() : nullptr; }

    Skin skin;
    Host host;
};

TEST_F(TooltipTest, ShowsOnTimerTenAboveTheControlAndHidesOnTimerEleven)
{
    HintPanel hint(host.window);
    hint.Hover();
    Tooltip* tooltip = Tooltip::Current();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(tooltip->Owner(), hint.panel.get());
    EXPECT_EQ(Hint(), nullptr) << "nothing shows before the delay";
    const TooltipStyle* style = skin.GetTooltipStyle();
    ASSERT_NE(style, nullptr);
    ASSERT_NE(tooltip->HintBitmap(), nullptr);
    EXPECT_EQ(tooltip->HintBitmap()->Width(),
              ControlLayout::TooltipWidth(style->font->TextWidth(hint.button->GetTooltip()), style->leftSeg,
                                          style->rightSeg));
    EXPECT_EQ(tooltip->HintBitmap()->Height(), style->images->Height());

    hint.Timer(Tooltip::kShowTimer);
    ASSERT_NE(Hint(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(Hint()));
    RECT area;
    ::GetWindowRect(Hint(), &area);
    EXPECT_EQ(area.left, 50);
    EXPECT_EQ(area.top, 60 - style->images->Height()) << "just above the control";
    EXPECT_EQ(area.right - area.left, tooltip->HintBitmap()->Width());

    hint.Timer(Tooltip::kHideTimer);
    EXPECT_EQ(Hint(), nullptr);
    EXPECT_EQ(Tooltip::Current(), tooltip) << "the singleton stays for the next hint";
}

TEST_F(TooltipTest, AClickAnywhereRemovesTheHintAndOneOnTheHintGoesNoFurther)
{
    HintPanel hint(host.window);
    hint.Hover();
    hint.Timer(Tooltip::kShowTimer);
    ASSERT_NE(Hint(), nullptr);
    EXPECT_EQ(::SendMessageA(Hint(), WM_LBUTTONDOWN, MK_LBUTTON, 0), 0);
    EXPECT_EQ(Tooltip::Current(), nullptr);

    hint.panel->OnMouseMove(0, 30, 30); // off the button: a new hover shows again
    hint.Hover();
    hint.Timer(Tooltip::kShowTimer);
    ASSERT_NE(Hint(), nullptr);
    ::SendMessageA(hint.panel->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    hint.panel->OnMouseUp(0, 0, 0);
    EXPECT_EQ(Tooltip::Current(), nullptr);
}

TEST_F(TooltipTest, ForgetsADeletedOwnerAndADeletedControl)
{
    HintPanel first(host.window);
    first.Hover();
    ASSERT_EQ(Tooltip::Current()->Owner(), first.panel.get());
    first.panel.reset(); // a dialog closed while its hint is armed
    EXPECT_EQ(Tooltip::Current()->Owner(), nullptr);

    HintPanel second(host.window, 150, 60);
    second.Hover();
    EXPECT_EQ(Tooltip::Current()->Owner(), second.panel.get()) << "the next hint kills no timer of the freed one";
    second.Timer(Tooltip::kShowTimer);
    ASSERT_NE(Hint(), nullptr);
    second.panel->DropControl(second.button, 1, 0);
    EXPECT_EQ(Hint(), nullptr) << "the hint of a deleted control goes with it";
    EXPECT_EQ(Tooltip::Current()->Owner(), nullptr);
}

TEST_F(TooltipTest, AskingTwiceKeepsTheArmedHintAndSwitchedOffShowsNothing)
{
    HintPanel hint(host.window);
    hint.Hover();
    const Bitmap* armed = Tooltip::Current()->HintBitmap();
    ASSERT_NE(armed, nullptr);
    hint.Hover();
    EXPECT_EQ(Tooltip::Current()->HintBitmap(), armed) << "not rendered or armed again";

    Tooltip::Destroy();
    Tooltip::TooltipsEnabled = 0;
    Button* other = AddButton(*hint.panel, hint.images.button, "solo", 10, 0);
    other->SetTooltip(Text("Solo"));
    hint.panel->OnMouseMove(0, 12, 2);
    EXPECT_EQ(Tooltip::Current(), nullptr) << "switched off, no tooltip is even made";
    Tooltip* tooltip = Tooltip::Instance();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(tooltip->Show(*skin.GetTooltipStyle(), other->GetTooltip(), other, hint.panel.get(), 0, 0), 0);
    EXPECT_EQ(tooltip->HintBitmap(), nullptr);
    Tooltip::TooltipsEnabled = 1;
    EXPECT_EQ(tooltip->Show(*skin.GetTooltipStyle(), other->GetTooltip(), other, hint.panel.get(), 0, 0), 1)
        << "switched on again, the same control renders";
}

TEST_F(TooltipTest, TheRealTimerShowsTheHintAfterItsDelay)
{
    HintPanel hint(host.window);
    const DWORD start = ::GetTickCount();
    hint.Hover();
    while (!Hint() && ::GetTickCount() - start < 20000)
    {
        Pump();
        ::Sleep(10);
    }
    const DWORD elapsed = ::GetTickCount() - start;
    ASSERT_NE(Hint(), nullptr);
    EXPECT_GE(elapsed, 700u) << "not before the delay";
}

TEST(TooltipWithoutSkin, NothingIsShownWithoutACurrentSkin)
{
    {
        Skin gone;
    }
    ASSERT_EQ(Skin::Current(), nullptr);
    Host host;
    HintPanel hint(host.window);
    hint.Hover();
    EXPECT_EQ(Tooltip::Current(), nullptr);
}
}
