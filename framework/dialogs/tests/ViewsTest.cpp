// The tree and the list as windows: pointer, key and wheel messages reach the views and their
// listeners, with the icons and font of a test skin.
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/dialogs/ListBox.h"
#include "framework/dialogs/TreeView.h"
#include "framework/dialogs/tests/FakeScroller.h"
#include "framework/dialogs/tests/ViewsTestSkin.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using controlstest::Host;
using controlstest::Log;
using viewstest::FakeScroller;
using viewstest::ViewsSkin;

namespace
{
// Sends a pointer message to the view with the display's pointer put at the client point
// first: the window procedure reads the pointer's position, not the message's.
void Pointer(Window& view, UINT message, int x, int y, WPARAM keys = 0)
{
    int sx = x;
    int sy = y;
    view.ClientToScreen(sx, sy);
    ::SetCursorPos(sx, sy);
    ::SendMessageA(view.GetHandle(), message, keys, MAKELPARAM(x, y));
}

void Key(Window& view, WPARAM key)
{
    ::SendMessageA(view.GetHandle(), WM_KEYDOWN, key, 1);
    ::SendMessageA(view.GetHandle(), WM_KEYUP, key, 0xC0000001);
}

void Wheel(Window& view, int delta)
{
    ::SendMessageA(view.GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
}

// The view's erase and paint handlers drawing into a bitmap of its client size.
std::unique_ptr<Bitmap> Painted(Window& view, int width, int height)
{
    auto bitmap = std::make_unique<Bitmap>();
    EXPECT_EQ(bitmap->Create(width, height, 24), 1);
    {
        Graphics graphics;
        graphics.AttachDC(bitmap->Context());
        view.OnEraseBackground(graphics);
        view.OnPaint(graphics);
    }
    ::GdiFlush();
    return bitmap;
}

// A colour value (0x00BBGGRR) as a pixel of a 24-bit bitmap (0xRRGGBB).
uint32_t Pixel(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

struct PixelCase
{
    const char* trace;
    int x;
    int y;
    uint32_t pixel;
};

void ExpectPixels(const Bitmap& shot, const std::vector<PixelCase>& cases)
{
    for (const PixelCase& c : cases)
        EXPECT_EQ(shot.GetPixel(c.x, c.y) & 0xFFFFFF, c.pixel) << c.trace;
}

std::string Name(const String& text)
{
    return skintest::Narrow(text);
}

class TreeLog : public TreeViewListener
{
public:
    Log log;
    TreeView* tree = nullptr; // the tree every event must name

    void OnItemMouseDown(TreeView* t, TreeItem* item, int, int) override { Write(t, "down", item); }
    void OnItemMouseUp(TreeView* t, TreeItem* item, int, int) override { Write(t, "up", item); }
    void OnItemRightDown(TreeView* t, TreeItem* item, int, int) override { Write(t, "rightdown", item); }
    void OnItemRightUp(TreeView* t, TreeItem* item, int, int) override { Write(t, "rightup", item); }
    void OnItemMouseMove(TreeView* t, TreeItem* item, int, int) override { Write(t, "move", item); }
    int OnItemKeyDown(TreeView* t, int key) override
    {
        Write(t, ("key " + std::to_string(key)).c_str(), nullptr);
        return 0;
    }
    void OnItemKeyUp(TreeView* t, int key) override { Write(t, ("keyup " + std::to_string(key)).c_str(), nullptr); }
    void OnSelectionChanged(TreeView* t, TreeItem* item) override { Write(t, "selection", item); }
    void OnExpanding(TreeView* t, TreeItem* item) override { Write(t, "expanding", item); }
    void OnExpanded(TreeView* t, TreeItem* item) override { Write(t, "expanded", item); }

private:
    void Write(TreeView* t, const char* what, TreeItem* item)
    {
        std::string line = what;
        if (item)
            line += " " + Name(item->GetText());
        if (t != tree)
            line += " (another tree)";
        log.push_back(line);
    }
};

class ListLog : public ListBoxListener
{
public:
    Log log;
    ListBox* list = nullptr;

    void OnItemMouseButton(ListBox* l, int, int, ListBoxItem* item, uint32_t) override { Write(l, "button", item); }
    void OnItemRightDown(ListBox* l, int, int, ListBoxItem* item, uint32_t) override { Write(l, "rightdown", item); }
    void OnItemRightUp(ListBox* l, int, int, ListBoxItem* item, uint32_t) override { Write(l, "rightup", item); }
    void OnItemMouseMove(ListBox* l, int, int, ListBoxItem* item, uint32_t) override { Write(l, "move", item); }
    int OnItemKeyDown(ListBox* l, int key) override
    {
        Write(l, ("key " + std::to_string(key)).c_str(), nullptr);
        return 0;
    }
    void OnItemKeyUp(ListBox* l, int key) override { Write(l, ("keyup " + std::to_string(key)).c_str(), nullptr); }
    void OnSelectionChanged(ListBox* l, ListBoxItem* item) override { Write(l, "selection", item); }
    void OnItemDoubleClick(ListBox* l, int, int, ListBoxItem* item, uint32_t) override { Write(l, "double", item); }

private:
    void Write(ListBox* l, const char* what, ListBoxItem* item)
    {
        std::string line = what;
        if (item)
            line += " " + Name(item->GetText());
        if (l != list)
            line += " (another list)";
        log.push_back(line);
    }
};

class ViewsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(skin_.loaded, 1); }

    ViewsSkin skin_;
    Host host_{400, 300};
};

// Top level "Effects" (children "Reverb", "Delay") and "Presets", rows of 16 pixels in a tree
// 200 x 64 at (10, 10) of the host.
struct Tree
{
    TreeView view;
    TreeLog listener;
    TreeItem* effects;
    TreeItem* reverb;
    TreeItem* delay;
    TreeItem* presets;

    Tree(ViewsSkin& skin, Window& host)
    {
        EXPECT_EQ(view.SetStyle(skin.Tree()), 1);
        EXPECT_EQ(view.Create(nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 200, 64, &host, 0, 0), 1);
        effects = view.AddItem(nullptr, Text("Effects"), 1, 0, false);
        reverb = view.AddItem(effects, Text("Reverb"), 2, 0, false);
        delay = view.AddItem(effects, Text("Delay"), 3, 0, false);
        presets = view.AddItem(nullptr, Text("Presets"), 4, 0, false);
        listener.tree = &view;
        view.SetListener(&listener);
        view.Expand(effects, true);
        listener.log.clear();
    }

    static String Text(const char* text) { return skintest::Text(text); }
    // A point on the text of the row.
    int TextX() const { return view.IconColumn() + 8; }
    static int RowY(int row) { return row * 16 + 5; }
};
} // namespace

TEST_F(ViewsTest, TreeClicksReachTheListenerWithTheItemUnderThePointer)
{
    Tree tree(skin_, host_.window);
    Pointer(tree.view, WM_LBUTTONDOWN, tree.TextX(), Tree::RowY(2));
    Pointer(tree.view, WM_LBUTTONUP, tree.TextX(), Tree::RowY(2));
    EXPECT_EQ(tree.view.Cursor(), tree.delay);
    EXPECT_TRUE(tree.delay->IsSelected());
    EXPECT_EQ(::GetFocus(), tree.view.GetHandle()) << "a press takes the focus";

    Pointer(tree.view, WM_RBUTTONDOWN, tree.TextX(), Tree::RowY(3));
    Pointer(tree.view, WM_RBUTTONUP, tree.TextX(), Tree::RowY(3));
    Pointer(tree.view, WM_MOUSEMOVE, tree.TextX(), Tree::RowY(0));
    Pointer(tree.view, WM_LBUTTONDOWN, 190, Tree::RowY(0)); // right of the text: no item
    Pointer(tree.view, WM_LBUTTONDBLCLK, tree.TextX(), Tree::RowY(1));
    EXPECT_EQ(tree.listener.log,
              (Log{"selection Delay", "down Delay", "up Delay", "selection Presets", "rightdown Presets",
                   "rightup Presets", "move Effects", "down", "selection Reverb"}));
    EXPECT_EQ(tree.view.Marked(), tree.reverb);
    EXPECT_EQ(tree.view.HitTest(tree.view.IconColumn() + 9 + tree.view.Style().font->TextWidth(Tree::Text("Reverb")) +
                                    tree.view.Indent() + 1,
                                Tree::RowY(1)),
              nullptr)
        << "an item reaches to its text's end plus 9";
}

TEST_F(ViewsTest, TreeKeysReachTheListenerAndMoveTheCursor)
{
    Tree tree(skin_, host_.window);
    Key(tree.view, VK_DOWN);
    Key(tree.view, VK_LEFT);
    Key(tree.view, VK_RETURN);
    EXPECT_EQ(tree.listener.log, (Log{"key 40", "selection Reverb", "keyup 40", "key 37", "selection Effects",
                                      "keyup 37", "key 13", "keyup 13"}));
    EXPECT_FALSE(tree.effects->IsExpanded()) << "Enter closed the open item";
    EXPECT_EQ(tree.view.VisibleRowCount(), 2);
}

TEST_F(ViewsTest, TreeWithABarScrollsItsRowsIntoView)
{
    Tree tree(skin_, host_.window);
    FakeScroller bar;
    bar.SetClient(&tree.view);
    for (int i = 0; i < 6; ++i)
        tree.view.AddItem(tree.presets, Tree::Text("Preset"), 10 + i, 0, false);
    tree.view.Expand(tree.presets, true);
    EXPECT_EQ(bar.GetRange(), 10 - 4);
    for (int i = 0; i < 9; ++i)
        Key(tree.view, VK_DOWN);
    EXPECT_EQ(tree.view.RowOf(tree.view.Cursor()), 9);
    EXPECT_EQ(tree.view.ScrollPosition(), 6) << "the last row came into view";
    Pointer(tree.view, WM_LBUTTONDOWN, tree.TextX() + tree.view.Indent(), Tree::RowY(0));
    EXPECT_EQ(tree.view.Cursor()->Data1(), 12) << "row 0 of the client is row 6 of the tree";
}

TEST_F(ViewsTest, TreePaintsIconsOverItsBackgroundAndTheMarkAndCursor)
{
    Tree tree(skin_, host_.window);
    tree.view.SelectItem(tree.delay, false, false);
    const TreeViewStyle& style = tree.view.Style();
    std::unique_ptr<Bitmap> shot = Painted(tree.view, 200, 64);
    // Icons at the row's left + 4, centred in the 16-pixel row one pixel low: y 5 in row 0.
    ExpectPixels(*shot,
                 {
                     {"the open item's icon shows the background through its key colour", 4, 5, Pixel(style.bgColor)},
                     {"the open item's icon frame", 5, 5, viewstest::kFrame},
                     {"the open item shows the minus", 7, 8, viewstest::kMarkColour},
                     {"the open item has no plus", 7, 7, viewstest::kInside},
                     {"a leaf without children shows the leaf icon", 7, 48 + 8, viewstest::kLeaf},
                     {"around the leaf the background", 4, 48 + 5, Pixel(style.bgColor)},
                     {"the marked row's text box is filled", 31, 33, Pixel(style.selectedBgColor)},
                     {"the cursor's frame", 30, 40, Pixel(style.cursorColor)},
                     {"an unmarked row is not filled", 31, 17, Pixel(style.bgColor)},
                 });
}

// Five items in a list 150 x 120 at (10, 10): cells of 56 x 48, two columns.
struct List
{
    ListBox view;
    ListLog listener;

    List(ViewsSkin& skin, Window& host)
    {
        EXPECT_EQ(view.SetStyle(skin.List()), 1);
        EXPECT_EQ(view.Create(nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 150, 120, &host, 0, 0), 1);
        const char* names[] = {"Studio", "Live", "Podcast", "Mastering", "Empty"};
        for (int i = 0; i < 5; ++i)
            view.AddItem(i % 2 ? skin.Image("listIcon1") : nullptr, skintest::Text(names[i]), i, 0, false);
        listener.list = &view;
        view.SetSelectionListener(&listener);
    }

    // The middle of the item's cell as it shows.
    void Centre(int index, int& x, int& y)
    {
        const Rect cell = view.VisibleCell(view.ItemAt(index));
        x = (cell.left + cell.right) / 2;
        y = (cell.top + cell.bottom) / 2;
    }
};

TEST_F(ViewsTest, ListClicksReachTheListenerWithTheItemUnderThePointer)
{
    List list(skin_, host_.window);
    EXPECT_EQ(list.view.Columns(), 2);
    EXPECT_EQ(list.view.ItemAt(0)->Image(), skin_.Image("listIcon0")) << "the default icon stands in";
    int x = 0;
    int y = 0;
    list.Centre(3, x, y);
    Pointer(list.view, WM_LBUTTONDOWN, x, y);
    Pointer(list.view, WM_LBUTTONUP, x, y);
    EXPECT_EQ(list.view.SelectedItem(), list.view.ItemAt(3));
    EXPECT_EQ(list.view.Marked(), list.view.ItemAt(3));
    list.Centre(1, x, y);
    Pointer(list.view, WM_LBUTTONDBLCLK, x, y);
    Pointer(list.view, WM_RBUTTONDOWN, x, y);
    Pointer(list.view, WM_RBUTTONUP, x, y);
    Pointer(list.view, WM_MOUSEMOVE, 2, 2);
    EXPECT_EQ(list.listener.log, (Log{"selection Mastering", "button Mastering", "button Mastering", "selection Live",
                                      "double Live", "selection Live", "rightdown Live", "rightup Live", "move"}));
}

TEST_F(ViewsTest, ListKeysReachTheListenerAndTheWheelScrolls)
{
    List list(skin_, host_.window);
    FakeScroller bar;
    bar.SetClient(&list.view);
    // Three rows: 3 x 56 + 8 = 176 pixels, 22 steps, 15 of them fit in 120.
    EXPECT_EQ(bar.GetRange(), 7);
    Key(list.view, VK_RIGHT);
    Key(list.view, VK_DOWN);
    Key(list.view, VK_UP);
    EXPECT_EQ(list.listener.log, (Log{"key 39", "selection Studio", "keyup 39", "key 40", "selection Live", "keyup 40",
                                      "key 38", "selection Studio", "keyup 38"}));
    EXPECT_EQ(list.view.Marked(), nullptr) << "keys move the cursor without marking";

    Wheel(list.view, -WHEEL_DELTA);
    Wheel(list.view, -WHEEL_DELTA);
    EXPECT_EQ(list.view.ScrollPosition(), 2);
    EXPECT_EQ(bar.GetPosition(), 2);
    Wheel(list.view, WHEEL_DELTA);
    EXPECT_EQ(list.view.ScrollPosition(), 1);
    int x = 0;
    int y = 0;
    list.Centre(2, x, y);
    EXPECT_EQ(y, 64 + 24 - 8) << "the cells moved up by a step";
    Pointer(list.view, WM_LBUTTONDOWN, x, y);
    EXPECT_EQ(list.view.SelectedItem(), list.view.ItemAt(2));
}

TEST_F(ViewsTest, ListPaintsImagesOverItsBackgroundAndTheMarkAndCursor)
{
    List list(skin_, host_.window);
    list.view.Select(list.view.ItemAt(1), true, false, false);
    const ListBoxStyle& style = list.view.Style();
    std::unique_ptr<Bitmap> shot = Painted(list.view, 150, 120);
    // Images of 20 x 24 centred across the 56-pixel cells at the cell's top (text under them):
    // cell 0 at (8, 8), its image at x 26; cell 1 at (72, 8), its image at x 90.
    ExpectPixels(*shot, {
                            {"the image shows the background through its key colour", 26, 8, Pixel(style.bgColor)},
                            {"the default icon", 26 + 8, 8 + 10, viewstest::kPaper[0]},
                            {"the item's own image", 90 + 8, 8 + 10, viewstest::kPaper[1]},
                            {"the cursor's frame around the image", 89, 20, Pixel(style.cursorColour)},
                            {"the marked item's text box is filled", 74, 52, Pixel(style.selectedTextBackground)},
                            {"the cursor's frame around the text box", 72, 45, Pixel(style.cursorColour)},
                            {"an unmarked item's text box is not filled", 10, 52, Pixel(style.bgColor)},
                        });
}

TEST_F(ViewsTest, ResizingTheListLaysItOutAgain)
{
    List list(skin_, host_.window);
    list.view.Move(10, 10, 200, 120, 1);
    EXPECT_EQ(list.view.Columns(), 3);
    EXPECT_EQ(list.view.Rows(), 2);
    list.view.Move(10, 10, 40, 120, 1);
    EXPECT_EQ(list.view.Columns(), 1) << "narrower than a cell";
}
