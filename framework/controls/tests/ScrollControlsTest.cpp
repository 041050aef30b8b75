// Scroll bars, scroll panels, combo boxes and view hosts under Wine: child panels in a hidden
// host, presses routed through the panel, repeat timers on a test clock.
#include "framework/controls/ComboBox.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/ScrollPanel.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/controls/tests/ScrollTestSupport.h"

#include <gtest/gtest.h>

using namespace controlstest;
using namespace scrolltest;

namespace
{
// A panel with the test skin's background, created in a hidden host.
class ScrollFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.Setup(nullptr, 0, 0, kBackground);
        panel.AddBackgroundSection(skin.skin.FindBitmap(Text("panel")), 0, 0, 12, 10, -1);
    }
    void Create() { ASSERT_EQ(panel.Create(&host.window, 0, 0, 1), 1); }
    // Adds a vertical bar of the style; what the client heard while the bar took it is dropped.

    Scrollbar* AddBar(const char* style, int x, int y, int length, ScrollClient* client)
    {
        auto* bar = new Scrollbar();
        EXPECT_EQ(bar->Setup(x, y, Text("bar"), skin.Style(style, 1), length, 1, client), 1);
        panel.AddControl(bar, nullptr);
        if (auto* recording = dynamic_cast<RecordingClient*>(client))
            recording->log.clear();
        return bar;
    }

    ScrollSkin skin;
    TestClock clock;
    Host host;
    TestPanel panel;
};

using ScrollbarTest = ScrollFixture;

// The vertical test bar at (10, 10), 100 long: buttons 12 long at both ends; with range 100,
// total 110, visible 10 and position 50 the press thumb spans 48..72 in the panel.
constexpr int kBarX = 16;
constexpr int kIncY = 104;
constexpr int kPageDownY = 90;
constexpr int kThumbY = 60;

TEST_F(ScrollbarTest, HoldingAButtonStepsAtOnceAfter250MsThenEvery50Ms)
{
    RecordingClient client(100, 110, 10, 50);
    AddBar("Default", 10, 10, 100, &client);
    Create();

    panel.OnMouseDown(0, kBarX, kIncY);
    clock.Advance(250); // the period must have passed, not just been reached
    EXPECT_EQ(client.log, (Log{"linedown 51 id 1"}));
    clock.Advance(1);
    clock.Advance(50);
    EXPECT_EQ(client.log, (Log{"linedown 51 id 1", "linedown 52 id 1"}));
    clock.Advance(1);
    clock.Advance(51);
    panel.OnMouseUp(0, kBarX, kIncY);
    clock.Advance(100);
    clock.Advance(100);
    EXPECT_EQ(client.log,
              (Log{"linedown 51 id 1", "linedown 52 id 1", "linedown 53 id 1", "linedown 54 id 1", "end"}));
    EXPECT_EQ(client.scroller->GetPosition(), 54);
}

TEST_F(ScrollbarTest, PagesOverlapByOnePositionAndRepeatUntilTheRelease)
{
    RecordingClient client(100, 110, 10, 50);
    AddBar("Default", 10, 10, 100, &client);
    Create();

    panel.OnMouseDown(0, kBarX, kPageDownY);
    clock.Advance(251);
    panel.OnMouseUp(0, kBarX, kPageDownY);
    EXPECT_EQ(client.log, (Log{"pagedown 59 id 1", "pagedown 68 id 1", "end"}));
}

TEST_F(ScrollbarTest, ADeletedBarLeavesNoHeldButtonForTheNextBar)
{
    RecordingClient first(100, 110, 10, 50);
    RecordingClient second(100, 110, 10, 50);
    Scrollbar* gone = AddBar("Default", 10, 10, 100, &first);
    AddBar("Default", 40, 10, 100, &second);
    Create();

    panel.OnMouseDown(0, kBarX, kIncY); // held, then the bar goes (its panel is rebuilt)
    panel.DropControl(gone, 0, 0);
    panel.OnMouseDown(0, 46, kPageDownY);
    clock.Advance(251);
    EXPECT_EQ(second.log, (Log{"pagedown 59 id 1", "pagedown 68 id 1"}));
    panel.OnMouseUp(0, 46, kPageDownY);
}

TEST_F(ScrollbarTest, WithoutContentButtonsMakeNoLineSteps)
{
    RecordingClient client(100, 0, 10, 5);
    Scrollbar* bar = AddBar("Default", 10, 10, 100, &client);
    Create();

    panel.OnMouseDown(0, kBarX, kIncY);
    clock.Advance(251);
    panel.OnMouseUp(0, kBarX, kIncY);
    panel.OnMouseDown(0, kBarX, 14);
    panel.OnMouseUp(0, kBarX, 14);
    EXPECT_EQ(client.log, (Log{"end", "end"}));
    EXPECT_EQ(bar->GetPosition(), 5);
}

TEST_F(ScrollbarTest, DraggingPastTheEndAndBackKeepsTheEndUntilTheOvershootIsUndone)
{
    RecordingClient client(100, 110, 10, 50);
    Scrollbar* bar = AddBar("Default", 10, 10, 100, &client);
    Create();

    // The drag thumb is 6 of the 76 track pixels; 70 pixels carry the 100 positions.
    panel.OnMouseDown(0, kBarX, kThumbY);
    std::vector<int> positions;
    for (int y : {kThumbY + 200, kThumbY + 50, kThumbY + 30})
    {
        panel.OnMouseMove(0, kBarX, y);
        positions.push_back(bar->GetPosition());
    }
    panel.OnMouseUp(0, kBarX, kThumbY + 30);
    EXPECT_EQ(positions, (std::vector<int>{100, 100, 92}));
    EXPECT_EQ(client.log.back(), "end");
}

TEST_F(ScrollbarTest, StylesWithoutImagesFailAndPiecesOfNoLengthAreNotTiled)
{
    Scrollbar bar;
    EXPECT_EQ(bar.Setup(0, 0, Text("bar"), skin.Style("NoImages", 1), 100, 1, nullptr), 0);
    EXPECT_EQ(bar.Setup(0, 0, Text("bar"), nullptr, 100, 1, nullptr), 0);
    ScrollPanel scrollPanel;
    EXPECT_EQ(scrollPanel.Setup(skin.Style("NoImages", 1), nullptr, 100), 0);
    EXPECT_EQ(scrollPanel.GetScroller(), nullptr);

    // barBg and barMid of 0: the track and the thumb's middle are left as they are.
    RecordingClient client(100, 100, 50, 0);
    Scrollbar* zero = AddBar("ZeroTiles", 10, 10, 100, &client);
    Create();
    zero->Redraw();
    EXPECT_EQ(PixelAt(*panel.ComposedBackground(), 16, 80), PixelAt(*panel.ComposeBackground(16, 80, 1, 1), 0, 0));
}

TEST_F(ScrollbarTest, WithoutAClientTheBarScrollsItsOwnThreeLengths)
{
    Scrollbar* bar = AddBar("Default", 10, 10, 100, nullptr);
    EXPECT_EQ(bar->GetVisible(), 100);
    EXPECT_EQ(bar->GetTotal(), 300);
    EXPECT_EQ(bar->GetRange(), 20);
    bar->SetPosition(30, false);
    EXPECT_EQ(bar->GetPosition(), 20);
    bar->SetRange(10, false);
    EXPECT_EQ(bar->GetPosition(), 10);
    EXPECT_EQ(bar->Width(), 12);
    EXPECT_EQ(bar->Height(), 100);
}

TEST(ScrollPanel, ResizesToWholeMultiplesOfEight)
{
    ScrollSkin skin;
    Host host;
    struct Case
    {
        const char* label;
        int vertical;
        int width;
        int height;
        int barLength;
    } cases[] = {
        {"a horizontal panel takes the multiple itself", 0, 200, 12, 200},
        {"a vertical one keeps its window, its background is cut", 1, 12, 203, 203},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ScrollPanel scrollPanel;
        ASSERT_EQ(scrollPanel.Setup(skin.Style("Default", c.vertical), nullptr, 100), 1);
        ASSERT_EQ(scrollPanel.Create(&host.window, 0, 0, 1), 1);
        EXPECT_EQ(scrollPanel.Thickness(), 12);
        scrollPanel.Move(0, 0, 203, 1);
        int width = 0;
        int height = 0;
        scrollPanel.GetSize(width, height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(scrollPanel.GetScrollbar()->Length(), c.barLength);
        EXPECT_EQ(c.vertical ? scrollPanel.BackgroundHeight() : scrollPanel.BackgroundWidth(), 200);
    }
}

class ComboBoxTest : public ScrollFixture
{
protected:
    ComboBox* AddCombo(int width, int midWidth, DataItem* item)
    {
        auto* combo = new ComboBox();
        EXPECT_EQ(combo->Setup(10, 10, Text("combo"), width, skin.skin.FindBitmap(Text("combo")), RGB(230, 230, 230),
                               RGB(138, 138, 138), skin.skin.FindFont(Text("Normal")),
                               skin.skin.FindPopupMenuStyle(Text("Default")), skin.Style("Default", 1), 8, midWidth,
                               32),
                  1);
        for (const char* text : {"Alpha", "Beta", "Gamma"})
            combo->AddItem(Text(text), 1, 0);
        panel.AddControl(combo, item);
        return combo;
    }

    // Pixels of the text area (after the left segment, before the right one, inside the
    // middle segment's edges) that are not the middle segment's colour.
    int TextPixels(const ComboBox& combo)
    {
        int count = 0;
        for (int y = combo.Y() + 1; y < combo.Y() + combo.Height() - 1; ++y)
            for (int x = combo.X() + 8; x < combo.X() + combo.Width() - 32; ++x)
                count += PixelAt(*panel.ComposedBackground(), x, y) != 0x2C2C2C ? 1 : 0;
        return count;
    }
};

TEST_F(ComboBoxTest, IsAtLeast56WideAndRefusesSelectionsOutsideItsEntries)
{
    ComboBox* combo = AddCombo(40, 16, nullptr);
    Create();
    EXPECT_EQ(combo->Width(), 56);
    EXPECT_EQ(combo->Height(), 20);
    EXPECT_EQ(TextPixels(*combo), 0); // nothing chosen: no text
    combo->SetSelection(1);
    combo->SetSelection(-1);
    combo->SetSelection(3);
    EXPECT_EQ(combo->GetSelection(), 1);
    EXPECT_EQ(panel.log, (Log{"control combo 1"}));
    EXPECT_GT(TextPixels(*combo), 0);
}

TEST_F(ComboBoxTest, AnItemValueThatNamesNoEntryShowsNoText)
{
    IntItem* item = panel.AddIntItem("choice", 7, 0, 0, 0, 0);
    ComboBox* combo = AddCombo(100, 16, item);
    Create();
    EXPECT_EQ(combo->GetSelection(), 7);
    EXPECT_EQ(TextPixels(*combo), 0);
    item->value = 2;
    combo->Invalidate(nullptr);
    EXPECT_GT(TextPixels(*combo), 0);
}

TEST_F(ComboBoxTest, AMiddleSegmentOfNoWidthIsNotTiled)
{
    ComboBox* combo = AddCombo(100, 0, nullptr);
    Create();
    combo->SetSelection(0);
    // The ends are drawn, the middle shows the panel.
    EXPECT_EQ(PixelAt(*panel.ComposedBackground(), 10, 15), 0x1E1E1Eu);
    EXPECT_EQ(PixelAt(*panel.ComposedBackground(), 100, 12), 0x555555u);
    EXPECT_EQ(PixelAt(*panel.ComposedBackground(), 60, 28), kBackground);
}

TEST_F(ComboBoxTest, TheChoiceInItsMenuUpdatesItsItem)
{
    IntItem* item = panel.AddIntItem("choice", 0, 0, 2, 0, 0);
    ComboBox* combo = AddCombo(60, 16, item);
    Create();
    combo->OnMouseUp(0, 5, 5);
    PopupMenu* menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Width(), 64); // the combo's width, rounded up to 16
    EXPECT_EQ(menu->ItemCount(), 3);
    EXPECT_EQ(menu->OnKey(VK_DOWN), 1);
    EXPECT_EQ(menu->OnKey(VK_DOWN), 1);
    EXPECT_EQ(menu->OnKey(VK_RETURN), 1);
    EXPECT_EQ(PopupMenu::Current(), nullptr);
    EXPECT_EQ(item->value, 1);
    EXPECT_EQ(combo->GetSelection(), 1);
    EXPECT_EQ(panel.log, (Log{"item choice 1"}));
}

TEST_F(ComboBoxTest, DeletingTheComboClosesTheMenuItOpened)
{
    ComboBox* combo = AddCombo(60, 16, nullptr);
    Create();
    combo->OnMouseUp(0, 5, 5);
    PopupMenu* menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    const HWND window = menu->GetHandle();
    ASSERT_TRUE(::IsWindow(window));
    panel.DropControl(combo, 0, 0); // the panel is rebuilt while the menu is open
    EXPECT_EQ(PopupMenu::Current(), nullptr);
    EXPECT_EQ(NativeWindow::GetCurrentPopup(), nullptr);
    EXPECT_FALSE(::IsWindow(window));
}

// A view that counts its deletions.
class ProbeView : public Window
{
public:
    explicit ProbeView(int& deleted) : deleted_(deleted) {}
    ~ProbeView() override { ++deleted_; }

private:
    int& deleted_;
};

TEST(ViewHostControl, ThePanelCreatesItsViewWindowAndTheHostDeletesIt)
{
    Host host;
    int deleted = 0;
    {
        TestPanel panel;
        panel.Setup(nullptr, 200, 100, kBackground);
        Log log;
        panel.AddControl(new ProbeControl(log, "probe", 0, 0, 4, 4), nullptr);
        auto* shown = new ViewHostControl();
        ASSERT_EQ(shown->Setup(Text("tree"), 5, 6, 50, 40, new ProbeView(deleted), 1), 1);
        panel.AddControl(shown, nullptr);
        auto* hidden = new ViewHostControl();
        ASSERT_EQ(hidden->Setup(Text("list"), 60, 6, 50, 40, new ProbeView(deleted), 0), 1);
        hidden->SetInvisible(1);
        panel.AddControl(hidden, nullptr);
        ASSERT_EQ(panel.Create(&host.window, 0, 0, 1), 1);

        const HWND view = shown->GetView()->GetHandle();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(::GetParent(view), panel.GetHandle());
        EXPECT_EQ(::GetWindowLongPtrA(view, GWLP_ID), 1);
        const LONG_PTR style = ::GetWindowLongPtrA(view, GWL_STYLE);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_TRUE(style & WS_BORDER);
        RECT rect = {};
        ::GetClientRect(view, &rect);
        EXPECT_LE(rect.right, 50);
        const HWND other = hidden->GetView()->GetHandle();
        ASSERT_NE(other, nullptr);
        EXPECT_FALSE(::GetWindowLongPtrA(other, GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(::GetWindowLongPtrA(other, GWL_STYLE) & WS_BORDER);
        EXPECT_EQ(::GetWindowLongPtrA(other, GWLP_ID), 2);

        shown->SetInvisible(1);
        EXPECT_FALSE(::GetWindowLongPtrA(view, GWL_STYLE) & WS_VISIBLE);
        hidden->SetInvisible(0);
        EXPECT_TRUE(::GetWindowLongPtrA(other, GWL_STYLE) & WS_VISIBLE);
    }
    EXPECT_EQ(deleted, 2);
}
} // namespace
