#include "framework/controls/BitmapControl.h"
#include "framework/controls/Button.h"
#include "framework/controls/RadioGroupLogic.h"
#include "framework/controls/RegionControl.h"
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/platform/graphics/Region.h"

#include <gtest/gtest.h>

#include <climits>

using namespace controlstest;

namespace
{
// A panel with a 48 x 16 background of three tiles, a child of a hidden host, drawn.
struct Fixture
{
    Host host;
    Composite images;
    TestPanel panel;

    Fixture()
    {
        panel.Setup(nullptr, 0, 0, kBackground);
        panel.AddBackgroundSection(&images.tile, 0, 0, 3, 1, -1);
        EXPECT_EQ(panel.Create(&host.window, 0, 0, 7), 1);
    }
};

// An item that notes how many listeners it still had when it went.
class WatchedItem : public IntItem
{
public:
    explicit WatchedItem(int* listenersAtDeath) : listenersAtDeath_(listenersAtDeath) {}
    ~WatchedItem() override { *listenersAtDeath_ = ListenerCount(); }

private:
    int* listenersAtDeath_;
};

TEST(Panel, ATakenItemNameIsRefusedAndTheNewItemDeleted)
{
    TestPanel panel;
    IntItem* first = panel.AddIntItem("gain", 1, 0, 10, 0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(panel.AddIntItem("gain", 2, 0, 10, 0, 0), nullptr);
    int listenersAtDeath = -1;
    EXPECT_EQ(panel.RegisterDataItem("gain", new WatchedItem(&listenersAtDeath)), nullptr);
    EXPECT_EQ(listenersAtDeath, 0) << "the refused item was deleted";
    EXPECT_EQ(panel.FindDataItem(Text("gain")), first);
    EXPECT_EQ(first->GetOwner(), &panel);
    EXPECT_EQ(Narrow(first->GetName()), "gain");

    // Removing goes only by the registered item.
    IntItem stranger;
    stranger.SetName(Text("gain"));
    panel.RemoveDataItem(&stranger);
    EXPECT_EQ(panel.FindDataItem(Text("gain")), first);
    panel.RemoveDataItem(first);
    EXPECT_EQ(panel.FindDataItem(Text("gain")), nullptr);
}

TEST(Panel, HitTestsIncludeBothEdgesAndFollowTheAddingOrder)
{
    TestPanel panel;
    Log log;
    auto* first = new ProbeControl(log, "first", 0, 0, 10, 10);
    auto* second = new ProbeControl(log, "second", 5, 5, 10, 10);
    auto* hidden = new ProbeControl(log, "hidden", 20, 0, 10, 10);
    hidden->SetInvisible(1);
    panel.AddControl(first, nullptr);
    panel.AddControl(second, nullptr);
    panel.AddControl(hidden, nullptr);
    struct Row
    {
        int x;
        int y;
        Control* expected;
    };
    const Row rows[] = {
        {0, 0, first},    {10, 10, first},   {11, 0, nullptr}, {10, 11, second}, {4, 11, nullptr},
        {15, 15, second}, {16, 15, nullptr}, {7, 7, first},    {25, 5, nullptr},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
        EXPECT_EQ(panel.ControlAt(row.x, row.y), row.expected);
        EXPECT_EQ(first->HitTest(row.x, row.y), row.expected == first || (row.x == 7 && row.y == 7) ? 1 : 0);
    }
    EXPECT_EQ(panel.FindControl(Text("second")), second);
    EXPECT_EQ(panel.FindControl(Text("none")), nullptr);
    EXPECT_EQ(panel.ControlAtIndex(2), hidden);
    EXPECT_EQ(panel.ControlAtIndex(3), nullptr);
}

TEST(Panel, InvalidateWithoutABackgroundDrawsNothing)
{
    Host host;
    TestPanel panel; // no sections: no background bitmap
    panel.Setup(nullptr, 50, 50, kBackground);
    ASSERT_EQ(panel.Create(&host.window, 0, 0, 1), 1);
    Log log;
    auto* probe = new ProbeControl(log, "probe", 0, 0, 10, 10);
    panel.AddControl(probe, nullptr);
    probe->Invalidate(nullptr);
    EXPECT_EQ(probe->draws, 0);
    EXPECT_EQ(panel.ComposedBackground(), nullptr);
    ProbeControl orphan(log, "orphan", 0, 0, 1, 1);
    orphan.Invalidate(nullptr);
    EXPECT_EQ(orphan.draws, 0);
}

TEST(Panel, DeletingTheControlsHeldByTheGlobalsClearsThem)
{
    Fixture f;
    Log log;
    auto* probe = new ProbeControl(log, "probe", 0, 0, 10, 10);
    f.panel.AddControl(probe, nullptr);
    f.panel.OnMouseDown(MK_LBUTTON, 5, 5);
    f.panel.OnRightButtonDown(0, 5, 5);
    Control::SetHoverControl(probe);
    ASSERT_EQ(Control::PressedControl(), probe);
    ASSERT_EQ(Control::RightClickedControl(), probe);
    f.panel.DropControl(probe, 1, 0);
    EXPECT_EQ(Control::PressedControl(), nullptr);
    EXPECT_EQ(Control::HoverControl(), nullptr);
    EXPECT_EQ(Control::RightClickedControl(), nullptr);
    f.panel.OnMouseMove(MK_LBUTTON, 6, 6); // nothing pressed any more
    f.panel.OnMouseUp(0, 6, 6);
    EXPECT_EQ(log, (Log{"probe down 5,5 last 5,5"}));
}

TEST(Panel, ADisabledItemDisablesEveryBoundControl)
{
    Fixture f;
    FlagItem* item = f.panel.AddFlagItem("mute", 0, 0, 0);
    Button* a = AddButton(f.panel, f.images.button, "a", 0, 0, item);
    Button* b = AddButton(f.panel, f.images.button, "b", 20, 0, item);
    item->SetDisabled(1, 1);
    for (Button* button : {a, b})
    {
        EXPECT_EQ(button->IsDisabled(), 1);
        EXPECT_EQ(button->Width(), 8);
        EXPECT_EQ(PixelAt(*f.panel.ComposedBackground(), button->X() + 1, 1), kFrames[2]) << "drawn disabled";
    }
    a->OnMouseDown(MK_LBUTTON, 1, 1);
    EXPECT_EQ(item->value, 0) << "a disabled toggle ignores the press";
    EXPECT_TRUE(f.panel.log.empty());
    item->SetDisabled(0, 1);
    EXPECT_EQ(a->IsDisabled(), 0) << "the buttons' own flags were never set";
}

TEST(Panel, RadioGroupReportsTheItemFirstThenEveryMember)
{
    Fixture f;
    IntItem* choice = f.panel.AddIntItem("choice", 0, 0, 2, 0, 0);
    auto* logic = new RadioGroupLogic();
    logic->Bind(choice, 1);
    Button* buttons[3];
    for (int i = 0; i < 3; ++i)
        buttons[i] = AddButton(f.panel, f.images.button, ("b" + std::to_string(i)).c_str(), 10 * i, 0, nullptr, logic);
    EXPECT_EQ(buttons[0]->IsChecked(), 1) << "the item's value checks its member when added";
    f.panel.log.clear();

    f.panel.OnMouseDown(MK_LBUTTON, 21, 1);
    f.panel.OnMouseUp(0, 21, 1);
    EXPECT_EQ(choice->value, 2);
    EXPECT_EQ(f.panel.log, (Log{"item choice 2", "control b0 0", "control b1 0", "control b2 1"}));
    EXPECT_EQ(PixelAt(*f.panel.ComposedBackground(), 21, 1), kFrames[1]);
    EXPECT_EQ(PixelAt(*f.panel.ComposedBackground(), 1, 1), kFrames[0]);

    f.panel.log.clear();
    f.panel.OnMouseDown(MK_LBUTTON, 21, 1);
    f.panel.OnMouseUp(0, 21, 1);
    EXPECT_TRUE(f.panel.log.empty()) << "selecting the selected member does nothing";

    // Set from the model: every member redraws and reports.
    choice->SetValue(1.0f, 1, 1, nullptr);
    EXPECT_EQ(f.panel.log, (Log{"item choice 1", "control b0 0", "control b1 1", "control b2 0"}));

    // A hidden item ignores the press.
    f.panel.log.clear();
    choice->SetHidden(1, 0);
    f.panel.OnMouseDown(MK_LBUTTON, 1, 1);
    EXPECT_EQ(choice->value, 1);
    EXPECT_TRUE(f.panel.log.empty());
}

TEST(Panel, RadioGroupWithoutAnItemReportsOnlyTheChangedMembers)
{
    Fixture f;
    RadioGroupLogic logic; // owned by the test: not deleted with its buttons
    Button* buttons[3];
    for (int i = 0; i < 3; ++i)
        buttons[i] = AddButton(f.panel, f.images.button, ("r" + std::to_string(i)).c_str(), 10 * i, 0, nullptr, &logic);
    f.panel.OnMouseDown(MK_LBUTTON, 1, 1);
    f.panel.OnMouseDown(MK_LBUTTON, 11, 1);
    EXPECT_EQ(f.panel.log, (Log{"control r0 1", "control r0 0", "control r1 1"}));
    EXPECT_EQ(buttons[1]->IsChecked(), 1);
    f.panel.DropControl(buttons[2], 0, 0);
    EXPECT_EQ(logic.MemberCount(), 2);
}

TEST(Panel, NoListenerIsLeftOnTheItemWhenTheRadioGroupGoes)
{
    {
        Fixture f;
        IntItem* choice = f.panel.AddIntItem("choice", 0, 0, 1, 0, 0);
        auto* logic = new RadioGroupLogic();
        logic->Bind(choice, 1);
        AddButton(f.panel, f.images.button, "x", 0, 0, nullptr, logic);
        AddButton(f.panel, f.images.button, "y", 10, 0, nullptr, logic);
        ASSERT_EQ(choice->ListenerCount(), 1);
        f.panel.ResetControls(); // the buttons go and with the last one the logic
        EXPECT_EQ(choice->ListenerCount(), 0);
        choice->SetValue(1.0f, 1, 1, nullptr); // reaches no freed logic
        EXPECT_EQ(f.panel.FindDataItem(Text("choice")), choice) << "ResetControls keeps the items";
    }
    {
        int listenersAtDeath = -1;
        {
            Fixture f;
            auto* choice =
                static_cast<IntItem*>(f.panel.RegisterDataItem("choice", new WatchedItem(&listenersAtDeath)));
            ASSERT_NE(choice, nullptr);
            auto* logic = new RadioGroupLogic();
            logic->Bind(choice, 1);
            AddButton(f.panel, f.images.button, "x", 0, 0, choice, logic); // a member bound to the item too
            AddButton(f.panel, f.images.button, "y", 10, 0, nullptr, logic);
        }
        EXPECT_EQ(listenersAtDeath, 0) << "controls and logic left the item before it was deleted";
    }
}

TEST(Panel, ALogicThatGoesFirstLeavesItsMembers)
{
    Fixture f;
    auto* logic = new RadioGroupLogic();
    Button* member = AddButton(f.panel, f.images.button, "m", 0, 0, nullptr, logic);
    ASSERT_EQ(member->GetRadioLogic(), logic);
    delete logic;
    EXPECT_EQ(member->GetRadioLogic(), nullptr);
    f.panel.ResetControls(); // the button's destructor must not reach the freed logic
    EXPECT_EQ(f.panel.ControlCount(), 0);
}

TEST(Panel, CommandButtonFiresOnlyOnAReleaseInside)
{
    Fixture f;
    Button* command = AddButton(f.panel, f.images.button, "cmd", 10, 0);
    f.panel.OnMouseDown(MK_LBUTTON, 12, 2);
    EXPECT_EQ(command->IsChecked(), 1);
    EXPECT_EQ(PixelAt(*f.panel.ComposedBackground(), 12, 2), kFrames[1]) << "drawn down while pressed";
    f.panel.OnMouseUp(0, 30, 2);
    EXPECT_EQ(command->IsChecked(), 0);
    EXPECT_EQ(PixelAt(*f.panel.ComposedBackground(), 12, 2), kFrames[0]);
    EXPECT_TRUE(f.panel.log.empty()) << "released outside: no command";
    f.panel.OnMouseDown(MK_LBUTTON, 12, 2);
    f.panel.OnMouseUp(0, 17, 3); // the last column and row are inside
    EXPECT_EQ(f.panel.log, (Log{"control cmd 0"}));
}

TEST(Panel, ToggleFollowsItsItemAndIgnoresClicksWhileTheItemIsHidden)
{
    Fixture f;
    FlagItem* mute = f.panel.AddFlagItem("mute", 0, 0, 0);
    Button* toggle = AddButton(f.panel, f.images.button, "toggle", 0, 0, mute);
    f.panel.OnMouseDown(MK_LBUTTON, 1, 1);
    f.panel.OnMouseUp(0, 1, 1);
    EXPECT_EQ(mute->value, 1);
    EXPECT_EQ(f.panel.log, (Log{"item mute 1", "control toggle 1"}));
    mute->SetValue(0.0f, 1, 0, nullptr);
    EXPECT_EQ(toggle->IsChecked(), 0) << "the item's value redraws the toggle";
    mute->SetHidden(1, 0);
    f.panel.log.clear();
    f.panel.OnMouseDown(MK_LBUTTON, 1, 1);
    EXPECT_EQ(mute->value, 0);
    EXPECT_TRUE(f.panel.log.empty());
}

TEST(Panel, AnImageControlPassesThePressThroughAndARegionIsNeverPressed)
{
    Fixture f;
    auto* image = new BitmapControl();
    image->Setup(0, 0, Text("image"), &f.images.shaped);
    f.panel.AddControl(image, nullptr);
    auto* region = new RegionControl();
    region->Setup(Text("area"), 30, 0, 10, 10, 42);
    f.panel.AddControl(region, nullptr);
    Button* below = AddButton(f.panel, f.images.button, "below", 2, 2);
    EXPECT_EQ(f.panel.ControlAt(3, 3), image);
    EXPECT_EQ(f.panel.ControlAtForClick(3, 3), below);
    f.panel.OnMouseDown(MK_LBUTTON, 3, 3);
    EXPECT_EQ(Control::PressedControl(), below);
    f.panel.OnMouseUp(0, 3, 3);
    EXPECT_EQ(f.panel.log, (Log{"control below 0"}));

    f.panel.OnMouseDown(MK_LBUTTON, 3, 3);
    f.panel.OnMouseDown(MK_LBUTTON, 35, 5); // the region leaves the press as it was
    EXPECT_EQ(Control::PressedControl(), below);
    f.panel.OnMouseUp(0, 100, 100);

    int x = 0, y = 0, w = 0, h = 0, id = 0;
    EXPECT_EQ(f.panel.GetRegionRect(Text("area"), x, y, w, h, id), 1);
    EXPECT_EQ((std::vector<int>{x, y, w, h, id}), (std::vector<int>{30, 0, 10, 10, 42}));
    String name;
    EXPECT_EQ(f.panel.GetRegionRectById(42, x, y, w, h, name), 1);
    EXPECT_EQ(Narrow(name), "area");
    EXPECT_EQ(f.panel.GetRegionRectById(43, x, y, w, h, name), 0);
    EXPECT_EQ(f.panel.IsPointInRegion(40, 10, Text("area")), 1);
    EXPECT_EQ(f.panel.IsPointInRegion(41, 10, Text("area")), 0);
    EXPECT_EQ(f.panel.IsPointInRegionById(30, 0, 42), 1);
    EXPECT_EQ(f.panel.GetRegionRect(Text("below"), x, y, w, h, id), 0) << "only region controls count";
}

TEST(Panel, ARightClickReachesOnRightClickControl)
{
    Fixture f;
    AddButton(f.panel, f.images.button, "knob", 0, 0);
    f.panel.OnRightButtonDown(0, 4, 4);
    f.panel.OnRightButtonDown(0, 40, 4);
    EXPECT_EQ(f.panel.log, (Log{"right knob"}));
    EXPECT_EQ(Control::RightClickedControl(), nullptr) << "the last right click hit nothing";
}

TEST(Panel, SecondInterfaceOperationsTwoToFiveReachOne)
{
    TestPanel panel;
    panel.Notify2(1, 2, 3);
    panel.Notify3(4, 5, 6);
    panel.Notify4(7, 8, 9);
    panel.Notify5(10, 11, 12);
    panel.Notify0(1, 1);
    panel.Notify6(1, 1);
    panel.Notify7();
    EXPECT_EQ(panel.log, (Log{"notify1 1 2 3", "notify1 4 5 6", "notify1 7 8 9", "notify1 10 11 12"}));
}

TEST(Panel, ButtonsDrawTheirFourStates)
{
    Fixture f;
    FlagItem* item = f.panel.AddFlagItem("flag", 0, 0, 0);
    Button* normal = AddButton(f.panel, f.images.button, "normal", 0, 0);
    Button* down = AddButton(f.panel, f.images.button, "down", 10, 0);
    Button* disabled = AddButton(f.panel, f.images.button, "disabled", 20, 0);
    Button* both = AddButton(f.panel, f.images.button, "both", 30, 0, item);
    EXPECT_EQ(normal->Height(), 4);
    down->SetChecked(1, 1, 0, 0);
    disabled->SetDisabled(1, 0, 1);
    both->SetChecked(1, 1, 0, 1);
    item->SetDisabled(1, 1);
    f.panel.RedrawArea(nullptr, 0); // controls added to a drawn panel show from its next redraw
    const Bitmap& background = *f.panel.ComposedBackground();
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(PixelAt(background, 10 * i + 7, y), kFrames[i]);
        EXPECT_EQ(PixelAt(background, 10 * i + 8, 0), kTile) << "nothing past the button";
        EXPECT_EQ(PixelAt(background, 10 * i, 4), kTile) << "one frame high";
    }
}

TEST(Panel, SegmentedButtonsTileTheirMiddleAndShapeTheirHitArea)
{
    Fixture f;
    auto* button = new Button();
    ASSERT_EQ(button->SetupSegmented(0, 0, Text("seg"), 20, &f.images.segmented, 3, 6, 3, nullptr, String(), nullptr, 0,
                                     0, 0, 0, 0, nullptr),
              1);
    f.panel.AddControl(button, nullptr);
    f.panel.RedrawArea(nullptr, 0);
    EXPECT_EQ(button->Width(), 20);
    EXPECT_EQ(button->Height(), 4);
    // Left 0..2, middles at 3 and 9 with their key column at 8 and 14, a 2-pixel cut middle
    // at 15, right 17..19.
    const Bitmap& background = *f.panel.ComposedBackground();
    const uint32_t expected[20] = {kTile, // the key point's pixel is transparent
                                   kFrames[0] + kSlices[0],
                                   kFrames[0] + kSlices[0],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kTile,
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kTile,
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[1],
                                   kFrames[0] + kSlices[2],
                                   kFrames[0] + kSlices[2],
                                   kFrames[0] + kSlices[2]};
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(PixelAt(background, x, 0), expected[x]) << x;
    EXPECT_EQ(PixelAt(background, 20, 1), kTile);
    ASSERT_NE(button->GetShape(), nullptr);
    EXPECT_EQ(button->HitTest(8, 1), 0) << "key-coloured pixels are not hit";
    EXPECT_EQ(button->HitTest(9, 1), 1);
    EXPECT_EQ(button->HitTest(0, 0), 0);
    EXPECT_EQ(button->HitTest(19, 3), 1);
    EXPECT_EQ(button->HitTest(20, 3), 0);

    // A middle of no width (a page tab's default) is not tiled and does not fail.
    auto* flat = new Button();
    ASSERT_EQ(flat->SetupSegmented(0, 8, Text("flat"), 20, &f.images.segmented, 3, 0, 3, nullptr, String(), nullptr, 0,
                                   0, 0, 0, 0, nullptr),
              1);
    f.panel.AddControl(flat, nullptr);
    f.panel.RedrawArea(nullptr, 0);
    EXPECT_EQ(PixelAt(*f.panel.ComposedBackground(), 10, 9), kTile);
    EXPECT_EQ(PixelAt(*f.panel.ComposedBackground(), 2, 9), kFrames[0] + kSlices[0]);
    EXPECT_EQ(flat->HitTest(10, 9), 0);
    EXPECT_EQ(flat->HitTest(2, 9), 1);
    auto* none = new Button();
    EXPECT_EQ(none->SetupSegmented(0, 0, Text("none"), 20, nullptr, 3, 6, 3, nullptr, String(), nullptr, 0, 0, 0, 0, 0,
                                   nullptr),
              0);
    delete none;
}

TEST(Panel, SectionsTileEveryImageWidthAndDrawOnlyTheirPieceWidth)
{
    Host host;
    Composite images;
    TestPanel panel;
    panel.Setup(nullptr, 0, 0, kBackground);
    // Pieces 20 wide every 16 pixels: each tile's last four columns are drawn over by the
    // next tile, the last tile's by nothing (they must not show the composite's neighbour).
    panel.AddBackgroundSection(&images.tile, 4, 2, 3, 2, 20);
    EXPECT_EQ(panel.Width(), 4 + 3 * 20);
    EXPECT_EQ(panel.Height(), 2 + 2 * 16);
    ASSERT_EQ(panel.Create(&host.window, 0, 0, 1), 1);
    const Bitmap& background = *panel.ComposedBackground();
    EXPECT_EQ(PixelAt(background, 0, 0), kBackground);
    EXPECT_EQ(PixelAt(background, 4, 2), kTile);
    EXPECT_EQ(PixelAt(background, 4 + 15, 2), kTileEdge);
    EXPECT_EQ(PixelAt(background, 4 + 16 + 15, 2), kTileEdge) << "the second tile starts 16 pixels on";
    EXPECT_EQ(PixelAt(background, 4 + 32 + 15, 33), kTileEdge);
    for (int x = 4 + 48; x < 4 + 60; ++x)
        EXPECT_EQ(PixelAt(background, x, 10), kBackground) << x;
}

// Numbers from hand-edited skins, handed to the panel as they are: a section that would outgrow
// any bitmap is refused (its counts once wrapped into a small bitmap over billions of tiles),
// runs and borders hold no more pieces than the widest bitmap shows (a border of 2147483647
// made 134 million controls an edge), and a button that wide draws; all of it ends at once.
TEST(Panel, AbsurdSectionsRunsBordersAndButtonsStayBounded)
{
    Host host;
    Composite images;
    TestPanel panel;
    panel.Setup(nullptr, 0, 0, kBackground);
    ASSERT_EQ(panel.AddBackgroundSection(&images.tile, 0, 0, 3, 1, -1), 1);
    const struct
    {
        int x, y, countX, countY, pieceWidth;
    } refused[] = {
        {0, 0, INT_MAX, INT_MAX, -1}, {0, 0, INT_MAX, 1, -1}, {INT_MAX, 0, 1, 1, -1}, {0, INT_MAX, 1, 1, -1},
        {0, 0, 1, 1, INT_MAX},        {0, 0, 1024, 1024, -1}, {16384, 0, 1, 1, -1},   {0, 0, 1, 150000, -1},
    };
    for (const auto& r : refused)
    {
        SCOPED_TRACE(std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.countX) + "x" +
                     std::to_string(r.countY) + " " + std::to_string(r.pieceWidth));
        EXPECT_EQ(panel.AddBackgroundSection(&images.tile, r.x, r.y, r.countX, r.countY, r.pieceWidth), 0);
        EXPECT_EQ(panel.Width(), 48);
        EXPECT_EQ(panel.Height(), 16);
    }
    ASSERT_EQ(panel.Create(&host.window, 0, 0, 1), 1);
    ASSERT_NE(panel.ComposedBackground(), nullptr);
    EXPECT_EQ(panel.ComposedBackground()->Width(), 48);

    int count = panel.ControlCount();
    EXPECT_EQ(panel.AddImageRun(Text("run"), &images.tile, 0, 0, 1, INT_MAX, nullptr, 0), 1);
    EXPECT_EQ(panel.ControlCount() - count, 16384 / 16 + 1);
    count = panel.ControlCount();
    SkinBitmap border;
    ASSERT_EQ(border.SetPiece(&images.dib, 0, 0, 32, 32), 1);
    panel.AddBorder(&border, 0, 0, INT_MAX, INT_MAX, nullptr, 0);
    EXPECT_EQ(panel.ControlCount() - count, 4 + 4 * ((16384 - 16) / 16));

    auto* wide = new Button();
    ASSERT_EQ(wide->SetupSegmented(0, 0, Text("wide"), INT_MAX, &images.segmented, 4, 1, 4, nullptr, String(), nullptr,
                                   0, 0, 0, 0, 0, nullptr),
              1);
    panel.AddControl(wide, nullptr);
    // Before, drawing it asked for a piece per pixel of its width: 2 billion of them.
    panel.RedrawArea(nullptr, 1);
    EXPECT_NE(panel.ComposedBackground(), nullptr);
}

TEST(Panel, PartialRedrawsMatchAFullComposePixelForPixel)
{
    Fixture f;
    Log log;
    // Overlapping controls: the earlier one is drawn whole by a redraw that meets only it.
    auto* under = new ProbeControl(log, "under", 2, 2, 10, 10);
    auto* over = new ProbeControl(log, "over", 8, 8, 10, 10);
    over->colour = 0x00FF00;
    f.panel.AddControl(under, nullptr);
    f.panel.AddControl(over, nullptr);
    Button* button = AddButton(f.panel, f.images.button, "b", 30, 6);
    button->SetChecked(1, 0, 0, 0);
    struct Row
    {
        const char* trace;
        Rect area;
    };
    const Row rows[] = {
        {"only the lower control", {0, 0, 4, 4}},
        {"a tile edge and the button", {14, 4, 34, 8}},
        {"everything", {0, 0, 48, 16}},
        {"a single pixel between tiles", {15, 14, 17, 15}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.trace);
        f.panel.RedrawArea(nullptr, 0);
        Bitmap full;
        ASSERT_EQ(full.Create(48, 16, *f.panel.ComposedBackground()), 1);
        full.CopyPixels(*f.panel.ComposedBackground(), 0, 0, 48, 16, 0, 0, BitmapPixels::CopyBottomUp, -1, -1, 0);
        // Spoil the area, then redraw it alone.
        f.panel.ComposedBackground()->FillRect(row.area.left, row.area.top, row.area.right - row.area.left,
                                               row.area.bottom - row.area.top, RGB(0xAB, 0xCD, 0xEF));
        f.panel.RedrawArea(&row.area, 1);
        int differing = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 48; ++x)
                differing += PixelAt(*f.panel.ComposedBackground(), x, y) != PixelAt(full, x, y);
        EXPECT_EQ(differing, 0);
    }
}

TEST(Panel, AShapedPanelFromACompositeImageGetsItsRegion)
{
    Host host;
    Composite images;
    TestPanel panel;
    panel.Setup(nullptr, 0, 0, kBackground);
    // The key point (24, 0) is the composite's; in the panel's background it lies outside.
    panel.AddBackgroundSection(&images.shaped, 0, 0, 1, 1, -1);
    ASSERT_EQ(panel.HasShapedBackground(), 1);
    ASSERT_EQ(panel.Create(&host.window, 10, 10, 3), 1);
    Region region;
    ASSERT_EQ(panel.BuildShapeRegion(region), 1);
    Region expected;
    ASSERT_EQ(images.shaped.MakeRegion(expected), 1);
    EXPECT_EQ(region.Equals(expected), 1);
    EXPECT_EQ(region.Contains(0, 0), 0);
    EXPECT_EQ(region.Contains(1, 1), 0);
    EXPECT_EQ(region.Contains(2, 0), 1);
    EXPECT_EQ(region.Contains(8, 8), 1);
    EXPECT_EQ(region.Contains(15, 15), 0);
    // The window took it.
    HRGN windowShape = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(panel.GetHandle(), windowShape), ERROR);
    EXPECT_TRUE(::EqualRgn(windowShape, region.Handle()));
    ::DeleteObject(windowShape);
    EXPECT_NE(::GetWindowLongA(panel.GetHandle(), GWL_STYLE) & WS_VISIBLE, 0) << "shown once shaped";
}

TEST(Panel, ClearDropsControlsAndSectionsAndOnRequestItems)
{
    Fixture f;
    AddButton(f.panel, f.images.button, "b", 0, 0);
    f.panel.AddTextItem("name", Text("x"), 0, 0);
    EXPECT_EQ(f.panel.BackgroundWidth(), 48);
    EXPECT_EQ(f.panel.BackgroundHeight(), 16);
    f.panel.Clear(0);
    EXPECT_EQ(f.panel.ControlCount(), 0);
    EXPECT_EQ(f.panel.ComposedBackground(), nullptr);
    EXPECT_EQ(f.panel.BackgroundWidth(), 0) << "no sections: no background";
    EXPECT_NE(f.panel.FindDataItem(Text("name")), nullptr);
    f.panel.Clear(1);
    EXPECT_EQ(f.panel.FindDataItem(Text("name")), nullptr);
}

TEST(Panel, TheObserverHearsThePanelGo)
{
    struct Observer : PanelObserver
    {
        Panel* gone = nullptr;
        void OnPanelDestroyed(Panel* panel) override { gone = panel; }
    } observer;
    auto panel = std::make_unique<TestPanel>();
    Panel* address = panel.get();
    panel->SetObserver(&observer);
    panel.reset();
    EXPECT_EQ(observer.gone, address);
}
} // namespace
