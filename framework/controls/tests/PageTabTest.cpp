#include "framework/controls/Button.h"
#include "framework/controls/PageTab.h"
#include "framework/controls/tests/ControlsTestSupport.h"

#include <gtest/gtest.h>

using namespace controlstest;

namespace
{
// The border image's pieces, each a colour of its own (centre: kNeighbour).
constexpr uint32_t kTopLeft = 0x110000;
constexpr uint32_t kTopRight = 0x220000;
constexpr uint32_t kBottomLeft = 0x330000;
constexpr uint32_t kBottomRight = 0x440000;
constexpr uint32_t kTop = 0x550000;
constexpr uint32_t kBottom = 0x660000;
constexpr uint32_t kLeft = 0x770000;
constexpr uint32_t kRight = 0x880000;
constexpr uint32_t kOtherBorder = 0x00AA00;

uint32_t BorderPixel(int x, int y)
{
    const bool left = x < 8;
    const bool right = x >= 24;
    const bool top = y < 8;
    const bool bottom = y >= 24;
    if (top)
        return left ? kTopLeft : right ? kTopRight : kTop;
    if (bottom)
        return left ? kBottomLeft : right ? kBottomRight : kBottom;
    return left ? kLeft : right ? kRight : kNeighbour;
}

// Passes a page tab's item on to the panel's own handling, as a view that listens itself
// must; writes the page changes.
class PagePanel : public TestPanel
{
public:
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override
    {
        TestPanel::OnDataItemNotify(panel, item, argument);
        return Panel::OnDataItemNotify(panel, item, argument);
    }
    void OnTabPageChanged(const String& tab, int index) override
    {
        pages.push_back(Narrow(tab) + " " + std::to_string(index));
    }
    Log pages;
};

// A 256 x 128 image: the panel's 200 x 128 background at (0, 0), a border image at
// (200, 0), a second one of one colour at (200, 32), a 16 x 16 (too small) border at
// (232, 0), tab buttons (24 x 16: four states of 4 rows, slices 6, 12, 6) at (200, 64).
struct Fixture
{
    Host host;
    Bitmap dib;
    SkinBitmap background;
    SkinBitmap border;
    SkinBitmap otherBorder;
    SkinBitmap smallBorder;
    SkinBitmap tabs;
    PagePanel panel;

    Fixture()
    {
        EXPECT_EQ(dib.Create(256, 128, 24), 1);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 256; ++x)
            {
                uint32_t pixel = kBackground;
                if (x >= 200 && x < 232 && y < 32)
                    pixel = BorderPixel(x - 200, y);
                else if (x >= 200 && x < 232 && y < 64)
                    pixel = kOtherBorder;
                else if (x >= 200 && x < 224 && y >= 64 && y < 80)
                    pixel = kFrames[(y - 64) / 4];
                dib.SetPixel(x, y, pixel);
            }
        EXPECT_EQ(background.SetPiece(&dib, 0, 0, 200, 128), 1);
        EXPECT_EQ(border.SetPiece(&dib, 200, 0, 32, 32), 1);
        EXPECT_EQ(otherBorder.SetPiece(&dib, 200, 32, 32, 32), 1);
        EXPECT_EQ(smallBorder.SetPiece(&dib, 232, 0, 16, 16), 1);
        EXPECT_EQ(tabs.SetPiece(&dib, 200, 64, 24, 16), 1);
        panel.Setup(nullptr, 0, 0, kBackground);
        panel.AddBackgroundSection(&background, 0, 0, 1, 1, -1);
        EXPECT_EQ(panel.Create(&host.window, 0, 0, 7), 1);
    }

    Control* Find(const char* name) { return panel.FindControl(Text(name)); }
    uint32_t Shown(int x, int y) { return PixelAt(*panel.ComposedBackground(), x, y); }

    // A tab "tabs" at (10, 10), 160 x 100, with pages "one", "two"... each holding a probe.
    IntItem* AddTab(int pages, std::vector<ProbeControl*>* probes)
    {
        EXPECT_EQ(
            panel.AddPageTab(Text("tabs"), &tabs, &border, nullptr, 0xFFFFFF, 0xFFFF00, 6, 12, 6, 10, 10, 160, 100), 1);
        const char* names[] = {"one", "two", "three", "four"};
        for (int i = 0; i < pages; ++i)
        {
            EXPECT_EQ(panel.AddTabPage(Text("tabs"), Text(names[i]), Text(names[i])), i);
            auto* probe = new ProbeControl(panel.log, names[i], 20, 40, 10, 10);
            probe->colour = 0x111111 * static_cast<uint32_t>(i + 1); // grey: the same in either byte order
            EXPECT_EQ(panel.AddControlToPage(Text("tabs"), i, probe, nullptr), 1);
            if (probes)
                probes->push_back(probe);
        }
        return static_cast<IntItem*>(panel.FindDataItem(Text("tabs")));
    }

    // Which probes are visible, as "1" and "0" in page order.
    static std::string Visible(const std::vector<ProbeControl*>& probes)
    {
        std::string shown;
        for (const ProbeControl* probe : probes)
            shown += probe->IsInvisible() ? "0" : "1";
        return shown;
    }
};

TEST(ImageRun, PiecesFollowEachOtherByTheImagesSize)
{
    Fixture f;
    ASSERT_EQ(f.panel.AddImageRun(Text("pip"), &f.smallBorder, 10, 20, 1, 3, nullptr, 0), 1);
    ASSERT_EQ(f.panel.AddImageRun(Text("bar"), &f.smallBorder, 100, 20, 0, 2, nullptr, 0), 1);
    ASSERT_EQ(f.panel.AddImageRun(Text("one"), &f.smallBorder, 150, 20, 1, 0, nullptr, 0), 1);
    const struct
    {
        const char* name;
        int x;
        int y;
    } placed[] = {{"pip0", 10, 20},  {"pip1", 26, 20},  {"pip2", 42, 20},
                  {"bar0", 100, 20}, {"bar1", 100, 36}, {"one0", 150, 20}};
    for (const auto& piece : placed)
    {
        Control* control = f.Find(piece.name);
        ASSERT_NE(control, nullptr) << piece.name;
        EXPECT_EQ(control->GetType(), Control::TypeBitmap) << piece.name;
        EXPECT_EQ(control->X(), piece.x) << piece.name;
        EXPECT_EQ(control->Y(), piece.y) << piece.name;
    }
    EXPECT_EQ(f.panel.ControlCount(), 6) << "a count below 1 still places one piece";

    // Without an image to step by, nothing is added.
    SkinBitmap unloaded;
    EXPECT_EQ(f.panel.AddImageRun(Text("none"), nullptr, 0, 0, 1, 4, nullptr, 0), 0);
    EXPECT_EQ(f.panel.AddImageRun(Text("none"), &unloaded, 0, 0, 1, 4, nullptr, 0), 0);
    EXPECT_EQ(f.panel.ControlCount(), 6);
}

TEST(Border, A100By70BorderIsDrawnAs96By64)
{
    Fixture f;
    f.panel.AddBorder(&f.border, 0, 0, 100, 70, nullptr, 0);
    EXPECT_EQ(f.panel.ControlCount(), 4 + 2 * 5 + 2 * 3);
    const struct
    {
        const char* name;
        int x;
        int y;
        uint32_t colour;
    } pieces[] = {{"tl0", 0, 0, kTopLeft},       {"tr0", 88, 0, kTopRight}, {"bl0", 0, 56, kBottomLeft},
                  {"br0", 88, 56, kBottomRight}, {"t0", 8, 0, kTop},        {"t4", 72, 0, kTop},
                  {"b4", 72, 56, kBottom},       {"l0", 0, 8, kLeft},       {"l2", 0, 40, kLeft},
                  {"r2", 88, 40, kRight}};
    for (const auto& piece : pieces)
    {
        Control* control = f.Find(piece.name);
        ASSERT_NE(control, nullptr) << piece.name;
        EXPECT_EQ(control->X(), piece.x) << piece.name;
        EXPECT_EQ(control->Y(), piece.y) << piece.name;
        f.panel.RedrawArea(nullptr, 0);
        EXPECT_EQ(f.Shown(piece.x + 1, piece.y + 1), piece.colour) << piece.name;
    }
    EXPECT_EQ(f.Find("t5"), nullptr);
    EXPECT_EQ(f.Find("l3"), nullptr);
    EXPECT_EQ(f.Shown(95, 63), kBottomRight) << "the frame ends at 96 x 64";
    EXPECT_EQ(f.Shown(96, 63), kBackground);
    EXPECT_EQ(f.Shown(50, 30), kBackground) << "the inside is the panel's";
}

TEST(Border, EachImageDrawsItsOwnPiecesAndAMissingOrSmallImageAddsNothing)
{
    Fixture f;
    f.panel.AddBorder(&f.border, 0, 0, 32, 32, nullptr, 0);
    f.panel.AddBorder(&f.otherBorder, 100, 0, 32, 32, nullptr, 0);
    f.panel.RedrawArea(nullptr, 0);
    EXPECT_EQ(f.Shown(1, 1), kTopLeft);
    EXPECT_EQ(f.Shown(101, 1), kOtherBorder) << "not the first border's pieces";
    const int count = f.panel.ControlCount();
    SkinBitmap unloaded;
    f.panel.AddBorder(nullptr, 0, 50, 64, 64, nullptr, 0);
    f.panel.AddBorder(&unloaded, 0, 50, 64, 64, nullptr, 0);
    f.panel.AddBorder(&f.smallBorder, 0, 50, 64, 64, nullptr, 0);
    EXPECT_EQ(f.panel.ControlCount(), count);
}

TEST(PageTab, TwoPagesGiveTheRangeZeroToTwoAndButtonsInARow)
{
    Fixture f;
    IntItem* selection = f.AddTab(2, nullptr);
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(selection->minimum, 0);
    EXPECT_EQ(selection->maximum, 2);
    EXPECT_EQ(selection->value, 0);
    EXPECT_EQ(f.panel.GetTabPage(Text("tabs")), 0);
    EXPECT_EQ(f.panel.GetTabPage(Text("nothing")), -1);
    EXPECT_EQ(f.panel.AddTabPage(Text("nothing"), Text("p"), Text("p")), -1);

    // Buttons 4 high (a quarter of the image), as wide as half the image without a font.
    auto* first = static_cast<Button*>(f.Find("tabsTabBut0"));
    auto* second = static_cast<Button*>(f.Find("tabsTabBut1"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->X(), 10);
    EXPECT_EQ(first->Y(), 10);
    EXPECT_EQ(first->Height(), 4);
    EXPECT_EQ(second->X(), 10 + first->Width());
    EXPECT_NE(first->IsChecked(), 0);
    EXPECT_EQ(second->IsChecked(), 0);

    // The page border lies below the buttons: (10, 13), 160 x 96.
    Control* corner = f.Find("br0");
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->X(), 10 + 160 - 8);
    EXPECT_EQ(corner->Y(), 13 + 96 - 8);

    // A missing image or a taken name makes no tab.
    EXPECT_EQ(f.panel.AddPageTab(Text("bare"), nullptr, &f.border, nullptr, 0, 0, 6, 12, 6, 0, 0, 64, 64), 0);
    EXPECT_EQ(f.panel.AddPageTab(Text("tabs"), &f.tabs, &f.border, nullptr, 0, 0, 6, 12, 6, 0, 0, 64, 64), 0);
    EXPECT_EQ(f.panel.FindPageTab(Text("bare")), nullptr);
}

TEST(PageTab, VisibilityFollowsTheSelectionByCodeItemAndClick)
{
    Fixture f;
    std::vector<ProbeControl*> probes;
    IntItem* selection = f.AddTab(3, &probes);
    EXPECT_EQ(Fixture::Visible(probes), "100") << "a control of a later page is added invisible";
    f.panel.RedrawArea(nullptr, 0);
    EXPECT_EQ(f.Shown(25, 45), 0x111111u);

    f.panel.SelectTabPage(Text("tabs"), 1);
    EXPECT_EQ(Fixture::Visible(probes), "010");
    EXPECT_EQ(selection->value, 1);
    EXPECT_NE(static_cast<Button*>(f.Find("tabsTabBut1"))->IsChecked(), 0);
    EXPECT_EQ(static_cast<Button*>(f.Find("tabsTabBut0"))->IsChecked(), 0);
    EXPECT_EQ(f.Shown(25, 45), 0x222222u) << "the page is drawn";
    f.panel.SelectTabPage(Text("tabs"), 1);
    f.panel.SelectTabPage(Text("tabs"), 3);
    f.panel.SelectTabPage(Text("tabs"), -1);
    EXPECT_EQ(f.panel.pages, (Log{"tabs 1"})) << "the current page again, or no page: nothing";

    selection->SetValue(2.0f, 1, 1, nullptr);
    EXPECT_EQ(Fixture::Visible(probes), "001");
    EXPECT_EQ(f.panel.GetTabPage(Text("tabs")), 2);

    Button* first = static_cast<Button*>(f.Find("tabsTabBut0"));
    f.panel.OnMouseDown(MK_LBUTTON, first->X() + 2, first->Y() + 2);
    f.panel.OnMouseUp(0, first->X() + 2, first->Y() + 2);
    EXPECT_EQ(Fixture::Visible(probes), "100");
    EXPECT_EQ(selection->value, 0);
    EXPECT_EQ(f.panel.pages, (Log{"tabs 1", "tabs 2", "tabs 0"}));

    f.panel.SetTabPageDisabled(Text("tabs"), 1, 1);
    EXPECT_NE(f.Find("tabsTabBut1")->IsDisabled(), 0);
    EXPECT_EQ(selection->IsDisabled(), 0) << "the button, not the item";
}

TEST(PageTab, RemovingPagesKeepsTheShownPageRight)
{
    Fixture f;
    std::vector<ProbeControl*> probes;
    IntItem* selection = f.AddTab(4, &probes);
    f.panel.SelectTabPage(Text("tabs"), 2);
    const int secondX = f.Find("tabsTabBut1")->X();
    f.panel.pages.clear();

    // An earlier page: page "three" stays shown under its new index.
    EXPECT_EQ(f.panel.RemoveTabPage(Text("tabs"), 0), 2);
    probes.erase(probes.begin());
    EXPECT_EQ(f.panel.GetTabPage(Text("tabs")), 1);
    EXPECT_EQ(Fixture::Visible(probes), "010");
    EXPECT_EQ(selection->value, 1);
    EXPECT_EQ(selection->maximum, 3);
    EXPECT_NE(static_cast<Button*>(f.Find("tabsTabBut1"))->IsChecked(), 0);
    EXPECT_EQ(f.Find("tabsTabBut3"), nullptr) << "the later buttons moved up a place";
    EXPECT_EQ(f.Find("tabsTabBut0")->X(), 10);
    EXPECT_EQ(f.Find("tabsTabBut1")->X(), secondX);
    EXPECT_EQ(f.panel.pages, Log{}) << "the same page is shown";

    // The current page: the one that takes its place is shown.
    EXPECT_EQ(f.panel.RemoveTabPage(Text("tabs"), 1), 1);
    probes.erase(probes.begin() + 1);
    EXPECT_EQ(f.panel.GetTabPage(Text("tabs")), 1);
    EXPECT_EQ(Fixture::Visible(probes), "01");
    EXPECT_EQ(f.panel.pages, (Log{"tabs 1"}));

    // The current and last page: the one before it.
    EXPECT_EQ(f.panel.RemoveTabPage(Text("tabs"), 1), 0);
    probes.pop_back();
    EXPECT_EQ(f.panel.GetTabPage(Text("tabs")), 0);
    EXPECT_EQ(Fixture::Visible(probes), "1");
    EXPECT_EQ(selection->value, 0);
    EXPECT_EQ(f.panel.RemoveTabPage(Text("tabs"), 1), -1);

    // The last page of all: the tab and its radio logic stay for the next page.
    EXPECT_EQ(f.panel.RemoveTabPage(Text("tabs"), 0), -1);
    PageTab* tab = f.panel.FindPageTab(Text("tabs"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->selectionLogic.MemberCount(), 0);
    EXPECT_EQ(selection->maximum, 0);
    EXPECT_EQ(f.panel.AddTabPage(Text("tabs"), Text("new"), Text("new")), 0);
    EXPECT_EQ(f.panel.AddTabPage(Text("tabs"), Text("next"), Text("next")), 1);
    EXPECT_EQ(tab->selectionLogic.MemberCount(), 2);
    Control* next = f.Find("tabsTabBut1");
    f.panel.OnMouseDown(MK_LBUTTON, next->X() + 2, next->Y() + 2);
    f.panel.OnMouseUp(0, next->X() + 2, next->Y() + 2);
    EXPECT_EQ(f.panel.GetTabPage(Text("tabs")), 1);
}

TEST(PageTab, PageControlsAndRefusedControls)
{
    Fixture f;
    std::vector<ProbeControl*> probes;
    f.AddTab(2, &probes);
    EXPECT_EQ(f.panel.AddControlToPage(Text("tabs"), 2, new ProbeControl(f.panel.log, "x", 0, 0, 1, 1), nullptr), 0);
    EXPECT_EQ(f.panel.AddControlToPage(Text("none"), 0, new ProbeControl(f.panel.log, "y", 0, 0, 1, 1), nullptr), 0);
    EXPECT_EQ(f.Find("x"), nullptr);
    EXPECT_EQ(f.Find("y"), nullptr);
    const String unknown = Text("none");
    EXPECT_EQ(f.panel.AddImageRun(Text("pip"), &f.smallBorder, 0, 0, 1, 2, &unknown, 0), 0);
    EXPECT_EQ(f.Find("pip0"), nullptr);

    // A dropped control leaves its page: showing the page again touches only what is left.
    f.panel.DropControl(probes[1], 1, 0);
    EXPECT_TRUE(f.panel.FindPageTab(Text("tabs"))->Page(1)->controls.empty());
    f.panel.SelectTabPage(Text("tabs"), 1);
    EXPECT_EQ(f.panel.GetTabPage(Text("tabs")), 1);

    // A border on a page shows with the page.
    const int before = f.panel.ControlCount();
    const String tabs = Text("tabs");
    f.panel.AddBorder(&f.border, 40, 40, 32, 32, &tabs, 0);
    ASSERT_EQ(f.panel.ControlCount(), before + 8);
    for (int i = before; i < f.panel.ControlCount(); ++i)
        EXPECT_NE(f.panel.ControlAtIndex(i)->IsInvisible(), 0) << i;
    f.panel.SelectTabPage(tabs, 0);
    for (int i = before; i < f.panel.ControlCount(); ++i)
        EXPECT_EQ(f.panel.ControlAtIndex(i)->IsInvisible(), 0) << i;
}
} // namespace
