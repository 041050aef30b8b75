// The tree's rows without a window: cursor, mark, expansion, keys and the scroll position
// kept in step with a bar.
#include "framework/dialogs/TreeModel.h"
#include "framework/dialogs/ViewKeys.h"
#include "framework/dialogs/tests/FakeScroller.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using viewstest::FakeScroller;

namespace
{

// Writes every event with the first data value of its item.
class RecordingListener : public TreeViewListener
{
public:
    std::vector<std::string> log;
    int consume = -1; // the key the listener takes for itself

    int OnItemKeyDown(TreeView*, int key) override
    {
        log.push_back("key " + std::to_string(key));
        return key == consume;
    }
    void OnItemKeyUp(TreeView*, int key) override { log.push_back("keyup " + std::to_string(key)); }
    void OnSelectionChanged(TreeView*, TreeItem* item) override { Write("selection", item); }
    void OnExpanding(TreeView*, TreeItem* item) override { Write("expanding", item); }
    void OnExpanded(TreeView*, TreeItem* item) override { Write("expanded", item); }
    void OnCollapsing(TreeView*, TreeItem* item) override { Write("collapsing", item); }
    void OnCollapsed(TreeView*, TreeItem* item) override { Write("collapsed", item); }

private:
    void Write(const char* what, TreeItem* item)
    {
        log.push_back(std::string(what) + " " + std::to_string(item->Data1()));
    }
};

// A model that counts what it would repaint and scroll.
class Model : public TreeModel
{
public:
    Model() : TreeModel(nullptr) { SetListener(&listener); }

    RecordingListener listener;
    int repaintsAll = 0;
    std::vector<int> scrolled;

    TreeItem* Add(TreeItem* parent, int data1) { return AddItem(parent, u"item", data1, 0, false); }

protected:
    void RepaintAll() override { ++repaintsAll; }
    void ScrollContents(int dy) override { scrolled.push_back(dy); }
};

// Top level 1 (children 11, 12 with child 121), 2, 3 (child 31).
struct Fixture
{
    Model model;
    TreeItem* one = model.Add(nullptr, 1);
    TreeItem* eleven = model.Add(one, 11);
    TreeItem* twelve = model.Add(one, 12);
    TreeItem* oneTwoOne = model.Add(twelve, 121);
    TreeItem* two = model.Add(nullptr, 2);
    TreeItem* three = model.Add(nullptr, 3);
    TreeItem* thirtyOne = model.Add(three, 31);
};
} // namespace

TEST(TreeModelTest, TheFirstItemBecomesTheCursorWithoutASelectionCall)
{
    Fixture f;
    EXPECT_EQ(f.model.Cursor(), f.one);
    EXPECT_EQ(f.model.Marked(), nullptr);
    EXPECT_FALSE(f.one->IsSelected());
    EXPECT_TRUE(f.model.listener.log.empty());
}

TEST(TreeModelTest, RowsAreTheShownItemsDepthFirst)
{
    Fixture f;
    EXPECT_EQ(f.model.VisibleRowCount(), 3);
    f.model.Expand(f.one, false);
    f.model.Expand(f.twelve, false);
    std::vector<std::pair<int, int>> rows;
    for (const TreeModel::Row& row : f.model.Rows())
        rows.emplace_back(row.item->Data1(), row.depth);
    EXPECT_EQ(rows, (std::vector<std::pair<int, int>>{{1, 0}, {11, 1}, {12, 1}, {121, 2}, {2, 0}, {3, 0}}));
    EXPECT_EQ(f.model.VisibleRowCount(), 6);
    EXPECT_EQ(f.model.RowOf(f.oneTwoOne), 3);
    EXPECT_EQ(f.model.RowOf(f.thirtyOne), -1);
    EXPECT_EQ(f.model.FindByData1(31), f.thirtyOne) << "the search goes through collapsed items";
    EXPECT_EQ(f.model.FindByData2(7), nullptr);
    EXPECT_EQ(f.model.ChildCount(nullptr), 3);
    EXPECT_EQ(f.model.ChildAt(f.one, 1), f.twelve);
    EXPECT_THROW(f.model.ChildAt(f.one, 2), std::out_of_range);
}

TEST(TreeModelTest, ExpandingWhatCannotOpenCallsNoListener)
{
    Fixture f;
    f.model.Expand(f.two, true);     // no children
    f.model.Expand(f.twelve, true);  // its parent is collapsed
    f.model.Collapse(f.three, true); // not expanded
    EXPECT_TRUE(f.model.listener.log.empty());
    EXPECT_FALSE(f.twelve->IsExpanded());
    EXPECT_EQ(f.model.VisibleRowCount(), 3);
}

TEST(TreeModelTest, CollapsingMovesTheCursorToTheCollapsedItemAndUnmarksBelowIt)
{
    Fixture f;
    f.model.Expand(f.one, false);
    f.model.Expand(f.twelve, false);
    f.model.SelectItem(f.oneTwoOne, false, true);
    f.model.listener.log.clear();

    f.model.Collapse(f.one, false);
    EXPECT_EQ(f.model.Cursor(), f.one);
    EXPECT_EQ(f.model.Marked(), f.one);
    EXPECT_FALSE(f.oneTwoOne->IsSelected());
    EXPECT_FALSE(f.twelve->IsExpanded()) << "descendants collapse with it";
    EXPECT_EQ(f.model.listener.log, (std::vector<std::string>{"collapsing 1", "selection 1", "collapsed 1"}));
    EXPECT_EQ(f.model.VisibleRowCount(), 3);
}

TEST(TreeModelTest, KeysMoveTheCursorOverTheShownRowsWithoutWrapping)
{
    struct Case
    {
        const char* trace;
        int start; // data1 of the cursor before the key
        int key;
        int cursor; // data1 of the cursor after it
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"up on the first row does nothing", 1, kKeyUp, 1, {"key 38"}},
        {"down on the last row does nothing", 3, kKeyDown, 3, {"key 40"}},
        {"down into the children", 1, kKeyDown, 11, {"key 40", "selection 11"}},
        {"up out of the children", 2, kKeyUp, 12, {"key 38", "selection 12"}},
        {"left goes to the parent", 12, kKeyLeft, 1, {"key 37", "selection 1"}},
        {"escape goes to the parent", 11, kKeyEscape, 1, {"key 27", "selection 1"}},
        {"enter collapses an open item", 1, kKeyEnter, 1, {"key 13", "collapsing 1", "collapsed 1"}},
        {"enter opens a closed item", 3, kKeyEnter, 3, {"key 13", "expanding 3", "expanded 3"}},
        {"enter on a leaf does nothing", 2, kKeyEnter, 2, {"key 13"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        Fixture f;
        f.model.Expand(f.one, false);
        f.model.SelectItem(f.model.FindByData1(c.start), false, false);
        f.model.listener.log.clear();
        EXPECT_EQ(f.model.KeyDown(c.key), 1);
        EXPECT_EQ(f.model.Cursor()->Data1(), c.cursor);
        EXPECT_EQ(f.model.listener.log, c.log);
    }
}

TEST(TreeModelTest, TheListenerCanTakeAKeyAndHearsKeyUp)
{
    Fixture f;
    f.model.listener.consume = kKeyDown;
    EXPECT_EQ(f.model.KeyDown(kKeyDown), 1);
    EXPECT_EQ(f.model.Cursor(), f.one);
    EXPECT_EQ(f.model.KeyDown('A'), 0) << "a key the tree does not use goes on";
    f.model.KeyUp(kKeyDown);
    EXPECT_EQ(f.model.listener.log, (std::vector<std::string>{"key 40", "key 65", "keyup 40"}));
}

TEST(TreeModelTest, WithoutACursorUpOrDownTakesTheFirstItem)
{
    Fixture f;
    f.model.DeleteItem(f.one, false);
    EXPECT_EQ(f.model.Cursor(), nullptr) << "the cursor went with its item";
    f.model.KeyDown(kKeyDown);
    EXPECT_EQ(f.model.Cursor(), f.model.FindByData1(2));
}

TEST(TreeModelTest, DeletingASubtreeForgetsTheCursorAndMarkInsideIt)
{
    Fixture f;
    f.model.Expand(f.one, false);
    f.model.Expand(f.twelve, false);
    f.model.SelectItem(f.oneTwoOne, false, false);
    f.model.DeleteItem(f.twelve, true);
    EXPECT_EQ(f.model.Cursor(), nullptr);
    EXPECT_EQ(f.model.Marked(), nullptr);
    EXPECT_EQ(f.model.FindByData1(121), nullptr);
    EXPECT_EQ(f.model.VisibleRowCount(), 4);
    EXPECT_EQ(f.model.repaintsAll, 1);

    f.model.SelectItem(f.two, false, false);
    f.model.DeleteAllItems(false);
    EXPECT_EQ(f.model.Cursor(), nullptr);
    EXPECT_EQ(f.model.Marked(), nullptr);
    EXPECT_EQ(f.model.VisibleRowCount(), 0);
}

TEST(TreeModelTest, SingleSelectKeepsOneMarkAndMultiSelectKeepsEach)
{
    for (bool single : {true, false})
    {
        SCOPED_TRACE(single ? "single" : "multi");
        Fixture f;
        f.model.SetMetrics(16, 16, single);
        f.model.SelectItem(f.one, false, false);
        f.model.SelectItem(f.two, false, false);
        EXPECT_EQ(f.one->IsSelected(), !single);
        EXPECT_TRUE(f.two->IsSelected());
        EXPECT_EQ(f.model.Cursor(), f.two);
    }
}

namespace
{
// 20 top-level rows of 16 pixels in a client 160 high: 10 fit.
struct ScrolledFixture
{
    Model model;
    FakeScroller bar;

    ScrolledFixture()
    {
        model.SetClientSize(100, 160);
        for (int i = 0; i < 20; ++i)
            model.Add(nullptr, i);
        bar.SetClient(&model);
    }
};
} // namespace

TEST(TreeModelTest, TheBarGetsThePageTheRowsAndTheRange)
{
    ScrolledFixture f;
    EXPECT_EQ(f.model.VerticalScroller(), &f.bar);
    EXPECT_EQ(f.bar.GetVisible(), 160);
    EXPECT_EQ(f.bar.GetTotal(), 320);
    EXPECT_EQ(f.bar.GetRange(), 10);
    EXPECT_EQ(f.bar.GetPosition(), 0);
    EXPECT_GT(f.bar.redraws, 0);

    f.bar.SetPosition(4, true);
    EXPECT_EQ(f.model.ScrollPosition(), 4);
    EXPECT_EQ(f.model.scrolled, (std::vector<int>{-64}));
    EXPECT_EQ(f.model.RowTop(4), 0);
    int depth = -1;
    EXPECT_EQ(f.model.ItemAtY(20, depth)->Data1(), 5);
}

TEST(TreeModelTest, TwentyRowsWithTenThatFitKeepThePositionAtMostNine)
{
    ScrolledFixture f;
    f.bar.SetPosition(10, true); // the bar itself may go to its range
    EXPECT_EQ(f.model.ScrollPosition(), 10);
    f.model.SetClientSize(100, 160); // any recount pulls it back
    EXPECT_EQ(f.model.ScrollPosition(), 9);
    EXPECT_EQ(f.bar.GetPosition(), 9);
    for (int i = 0; i < 20; ++i)
    {
        f.model.KeyDown(kKeyDown);
        f.model.Add(f.model.Cursor(), 100 + i); // recounts under a collapsed item
        EXPECT_LE(f.model.ScrollPosition(), 9);
    }
}

TEST(TreeModelTest, SelectingScrollsTheRowIntoView)
{
    ScrolledFixture f;
    TreeItem* last = f.model.FindByData1(19);
    f.model.SelectItem(last, false, true);
    EXPECT_EQ(f.model.ScrollPosition(), 10) << "forward by (320 - 160) / 16 + 1, held to the range";
    f.model.SelectItem(f.model.FindByData1(7), false, true);
    EXPECT_EQ(f.model.ScrollPosition(), 6) << "back by (0 - (-48)) / 16 + 1";
    f.model.SelectItem(f.model.FindByData1(8), false, true);
    EXPECT_EQ(f.model.ScrollPosition(), 6) << "a row in view does not scroll";
}

TEST(TreeModelTest, AZeroItemHeightDoesNotDivide)
{
    ScrolledFixture f;
    f.model.SetMetrics(0, 16, true);
    EXPECT_EQ(f.model.ItemHeight(), 1);
    EXPECT_EQ(f.bar.GetRange(), 0) << "20 rows of one pixel fit in 160";
    int depth = -1;
    EXPECT_EQ(f.model.ItemAtY(5, depth)->Data1(), 5);
}

TEST(TreeModelTest, AHorizontalBarIsKeptApartAndScrollsNothing)
{
    ScrolledFixture f;
    FakeScroller across(false, 2);
    across.SetClient(&f.model);
    EXPECT_EQ(f.model.HorizontalScroller(), &across);
    EXPECT_EQ(f.model.VerticalScroller(), &f.bar);
    f.model.OnScrollPosition(3, &across, 2);
    EXPECT_EQ(f.model.ScrollPosition(), 0);
    EXPECT_EQ(across.GetRange(), 100) << "the horizontal bar is not set up by the tree";
}
