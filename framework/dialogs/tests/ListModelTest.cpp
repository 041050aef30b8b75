// The list's grid without a window: layout for a client width, the comparer's order, cursor
// and mark, keys, the wheel and the scroll position kept in step with a bar.
#include "framework/dialogs/ListModel.h"
#include "framework/dialogs/ViewKeys.h"
#include "framework/dialogs/tests/FakeScroller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using viewstest::FakeScroller;

namespace
{

class RecordingListener : public ListBoxListener
{
public:
    std::vector<std::string> log;

    int OnItemKeyDown(ListBox*, int key) override
    {
        log.push_back("key " + std::to_string(key));
        return 0;
    }
    void OnSelectionChanged(ListBox*, ListBoxItem* item) override
    {
        log.push_back("selection " + std::to_string(item->Data1()));
    }
};

class Model : public ListModel
{
public:
    Model() : ListModel(nullptr) { SetSelectionListener(&listener); }

    RecordingListener listener;
    std::vector<int> scrolled;
    std::vector<int> repainted; // first data values

    ListBoxItem* Add(int data1) { return AddItem(nullptr, u"item", data1, 0, false); }
    std::vector<int> Order() const
    {
        std::vector<int> order;
        for (int i = 0; i < Count(); ++i)
            order.push_back(ItemAt(i)->Data1());
        return order;
    }

protected:
    void ScrollContents(int dy) override { scrolled.push_back(dy); }
    void RepaintItem(ListBoxItem* item) override { repainted.push_back(item->Data1()); }
};

// Ascending by the first data value.
class ByData1 : public ListBoxComparer
{
public:
    int GoesBefore(ListBoxItem* added, ListBoxItem* existing) override { return added->Data1() < existing->Data1(); }
};
} // namespace

TEST(ListModelTest, GridForTheClientWidth)
{
    struct Case
    {
        const char* trace;
        int width;
        int cellWidth;
        int horzSpacing;
        int items;
        int columns;
        int rows;
        int contentHeight;
    };
    const Case cases[] = {
        {"85 pixels hold two cells of 32 with spacing 8", 85, 32, 8, 5, 2, 3, 3 * 56 + 8},
        {"exactly two cells", 80, 32, 8, 4, 2, 2, 2 * 56 + 8},
        {"a client narrower than one cell shows one column", 20, 32, 8, 3, 1, 3, 3 * 56 + 8},
        {"a skin without cell width or spacing shows one column", 85, 0, 0, 2, 1, 2, 2 * 56 + 8},
        {"no width, no grid", 0, 32, 8, 5, 0, 0, 0},
        {"an empty list is the spacing high", 85, 32, 8, 0, 2, 0, 8},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        Model model;
        model.SetGrid(true, c.cellWidth, 48, c.horzSpacing, 8);
        for (int i = 0; i < c.items; ++i)
            model.Add(i);
        model.SetClientSize(c.width, 100);
        EXPECT_EQ(model.Columns(), c.columns);
        EXPECT_EQ(model.Rows(), c.rows);
        EXPECT_EQ(model.ContentHeight(), c.contentHeight);
    }
}

TEST(ListModelTest, CellsGoAcrossThenDown)
{
    Model model;
    model.SetClientSize(85, 100);
    for (int i = 0; i < 5; ++i)
        model.Add(i);
    const Rect& fourth = model.ItemAt(3)->Cell();
    EXPECT_EQ(fourth.left, 48);
    EXPECT_EQ(fourth.top, 64);
    EXPECT_EQ(fourth.right, 80);
    EXPECT_EQ(fourth.bottom, 112);
    const Rect& fifth = model.ItemAt(4)->Cell();
    EXPECT_EQ(fifth.left, 8);
    EXPECT_EQ(fifth.top, 120);
    EXPECT_EQ(model.HitTest(50, 70), model.ItemAt(3));
    EXPECT_EQ(model.HitTest(44, 70), nullptr) << "the spacing belongs to no cell";
}

TEST(ListModelTest, ItemsGoInTheComparersOrder)
{
    Model added;
    for (int value : {3, 1, 2})
        added.Add(value);
    EXPECT_EQ(added.Order(), (std::vector<int>{3, 1, 2})) << "the default comparer keeps the order added";

    Model sorted;
    ByData1 comparer;
    sorted.SetComparer(&comparer);
    for (int value : {3, 1, 2, 5, 4})
        sorted.Add(value);
    EXPECT_EQ(sorted.Order(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(sorted.IndexOf(sorted.FindByData1(4)), 3);
    EXPECT_EQ(sorted.FindByData2(9), nullptr);
}

TEST(ListModelTest, ItemAtAnswersNothingOnAnEmptyListAndThrowsOutside)
{
    Model model;
    EXPECT_EQ(model.ItemAt(0), nullptr);
    model.SelectIndex(0, true, true, true);
    EXPECT_EQ(model.SelectedItem(), nullptr);
    model.Add(1);
    EXPECT_THROW(model.ItemAt(1), std::out_of_range);
    EXPECT_THROW(model.SelectIndex(-1, true, true, true), std::out_of_range);
}

TEST(ListModelTest, NextAndPreviousMoveTheCursorWithoutMarkingOrWrapping)
{
    Model model;
    for (int i = 0; i < 3; ++i)
        model.Add(i);
    model.SelectNext();
    EXPECT_EQ(model.SelectedItem(), model.ItemAt(0)) << "without a cursor the first item takes it";
    EXPECT_FALSE(model.ItemAt(0)->IsSelected());
    model.SelectPrevious();
    EXPECT_EQ(model.SelectedItem(), model.ItemAt(0));
    model.SelectIndex(2, false, false, false);
    model.listener.log.clear();
    model.SelectNext();
    EXPECT_EQ(model.SelectedItem(), model.ItemAt(2));
    EXPECT_TRUE(model.listener.log.empty()) << "nothing happens past the last item";
    EXPECT_EQ(model.Marked(), nullptr);
}

TEST(ListModelTest, KeysGoToTheListenerFirstThenMoveTheCursor)
{
    Model model;
    for (int i = 0; i < 3; ++i)
        model.Add(i);
    for (int key : {kKeyDown, kKeyRight, kKeyUp, kKeyLeft})
        EXPECT_EQ(model.KeyDown(key), 1);
    EXPECT_EQ(model.KeyDown('A'), 0);
    EXPECT_EQ(model.listener.log, (std::vector<std::string>{"key 40", "selection 0", "key 39", "selection 1", "key 38",
                                                            "selection 0", "key 37", "key 65"}));
}

TEST(ListModelTest, SingleSelectKeepsOneMarkAndMultiSelectKeepsEach)
{
    for (bool single : {true, false})
    {
        SCOPED_TRACE(single ? "single" : "multi");
        Model model;
        model.SetGrid(single, 32, 48, 8, 8);
        model.Add(0);
        model.Add(1);
        model.Select(model.ItemAt(0), true, true, false);
        model.Select(model.ItemAt(1), true, true, false);
        EXPECT_EQ(model.ItemAt(0)->IsSelected(), !single);
        EXPECT_TRUE(model.ItemAt(1)->IsSelected());
        EXPECT_EQ(model.Marked(), single ? model.ItemAt(1) : nullptr);
    }
}

TEST(ListModelTest, MarkingRepaintsTheNewMarkAndTheOneItReplaces)
{
    Model model;
    for (int i = 0; i < 3; ++i)
        model.Add(i);
    model.Select(model.ItemAt(0), true, false, false);
    model.Select(model.ItemAt(1), false, false, false); // the cursor moves on, the mark stays
    model.repainted.clear();
    model.Select(model.ItemAt(2), true, false, false);
    std::sort(model.repainted.begin(), model.repainted.end());
    EXPECT_EQ(model.repainted, (std::vector<int>{0, 1, 2})) << "old mark, old cursor and the new mark";
}

TEST(ListModelTest, DeletingAllItemsClearsCursorAndMark)
{
    Model model;
    model.SetClientSize(85, 100);
    for (int i = 0; i < 5; ++i)
        model.Add(i);
    model.Select(model.ItemAt(2), true, false, false);
    ASSERT_EQ(model.Marked(), model.ItemAt(2));
    model.DeleteAllItems(true);
    EXPECT_EQ(model.Count(), 0);
    EXPECT_EQ(model.SelectedItem(), nullptr);
    EXPECT_EQ(model.Marked(), nullptr);
    EXPECT_EQ(model.Rows(), 0);
}

namespace
{
// Ten rows of cells in a client 85 x 100: 568 pixels of content, 71 steps, 12 of them fit.
struct ScrolledFixture
{
    Model model;
    FakeScroller bar;

    ScrolledFixture()
    {
        model.SetClientSize(85, 100);
        for (int i = 0; i < 20; ++i)
            model.Add(i);
        bar.SetClient(&model);
    }
};
} // namespace

TEST(ListModelTest, TheBarScrollsInStepsOfEightPixels)
{
    ScrolledFixture f;
    EXPECT_EQ(f.model.ContentHeight(), 568);
    EXPECT_EQ(f.bar.GetTotal(), 568);
    EXPECT_EQ(f.bar.GetVisible(), 100);
    EXPECT_EQ(f.bar.GetRange(), 71 - 12);
    f.bar.SetPosition(3, true);
    EXPECT_EQ(f.model.scrolled, (std::vector<int>{-24}));
    EXPECT_EQ(f.model.VisibleCell(f.model.ItemAt(0)).top, 8 - 24);
    EXPECT_EQ(f.model.HitTest(10, 0), f.model.ItemAt(0));
}

TEST(ListModelTest, TheWheelStepsWithinTheBarsRange)
{
    ScrolledFixture f;
    f.model.Wheel(true);
    EXPECT_EQ(f.model.ScrollPosition(), 0);
    f.model.Wheel(false);
    f.model.Wheel(false);
    EXPECT_EQ(f.model.ScrollPosition(), 2);
    f.bar.SetPosition(f.bar.GetRange(), true);
    f.model.Wheel(false);
    EXPECT_EQ(f.model.ScrollPosition(), f.bar.GetRange());
    f.model.Wheel(true);
    EXPECT_EQ(f.model.ScrollPosition(), f.bar.GetRange() - 1);

    Model unscrolled;
    unscrolled.Wheel(false);
    EXPECT_EQ(unscrolled.ScrollPosition(), 0) << "no bar, no scrolling";
}

TEST(ListModelTest, SelectingScrollsTheCellIntoView)
{
    ScrolledFixture f;
    f.model.Select(f.model.ItemAt(19), false, true, true);
    // Cell 19 spans 512..560: forward by (560 - 100) / 8 + 1.
    EXPECT_EQ(f.model.ScrollPosition(), 58);
    f.model.Select(f.model.ItemAt(0), false, true, true);
    EXPECT_EQ(f.model.ScrollPosition(), 0) << "back by (0 - (8 - 464)) / 8 + 1, held at 0";
}
