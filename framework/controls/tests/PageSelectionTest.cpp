#include "framework/controls/PageSelection.h"

#include "framework/controls/DataItem.h"

#include <gtest/gtest.h>

namespace
{
// A tab with pages added one by one, its current page chosen through the item.
struct Tab
{
    explicit Tab(int pages, int current)
    {
        for (int i = 0; i < pages; ++i)
            PageSelection::OnPageAdded(selection);
        this->pages = pages;
        this->current = current;
        selection.value = current;
    }
    int Remove(int index)
    {
        current = PageSelection::OnPageRemoved(selection, current, index, pages);
        --pages;
        return current;
    }
    IntItem selection;
    int pages = 0;
    int current = 0;
};

TEST(PageSelection, TwoPagesGiveTheRangeZeroToTwo)
{
    Tab tab(2, 0);
    EXPECT_EQ(tab.selection.minimum, 0);
    EXPECT_EQ(tab.selection.maximum, 2);
}

TEST(PageSelection, RemovalKeepsTheCurrentPageAndTheItemInStep)
{
    const struct
    {
        const char* what;
        int pages;
        int current;
        int removed;
        int next;
    } cases[] = {
        {"an earlier page: the current page moves down a place", 3, 2, 0, 1},
        {"a later page: nothing moves", 3, 0, 2, 0},
        {"the current page: the next one takes its place", 3, 1, 1, 1},
        {"the current and last page: the one before it", 3, 2, 2, 1},
        {"the only page: none left", 1, 0, 0, -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Tab tab(c.pages, c.current);
        EXPECT_EQ(tab.Remove(c.removed), c.next);
        EXPECT_EQ(tab.selection.maximum, c.pages - 1);
        EXPECT_EQ(tab.selection.value, c.next < 0 ? 0 : c.next);
    }
}

TEST(PageSelection, RemovingEveryPageFromTheFrontAndAddingAgain)
{
    Tab tab(3, 1);
    EXPECT_EQ(tab.Remove(0), 0);
    EXPECT_EQ(tab.Remove(0), 0);
    EXPECT_EQ(tab.Remove(0), -1);
    EXPECT_EQ(tab.selection.maximum, 0);
    PageSelection::OnPageAdded(tab.selection);
    EXPECT_EQ(tab.selection.maximum, 1);
}
}
