#include "plugins/base/stream/List.h"

#include "plugins/base/stream/tests/StreamTestSupport.h"

namespace
{

// Counts its own destruction, so a test can see which nodes a list deleted.
struct CountedNode : ListNode
{
    explicit CountedNode(int* deaths) : deaths_(deaths) {}
    ~CountedNode() override { ++*deaths_; }
    int* deaths_;
};

struct CountedLink : LinkBase
{
    explicit CountedLink(int* deaths) : deaths_(deaths) {}
    ~CountedLink() override { ++*deaths_; }
    int* deaths_;
};

using ListTest = WithPlatform;

TEST_F(ListTest, SinglyLinkedListUnlinksHeadMiddleAndTail)
{
    int deaths = 0;
    ListBase list;
    auto* a = new CountedLink(&deaths);
    auto* b = new CountedLink(&deaths);
    auto* c = new CountedLink(&deaths);
    list.Append(a);
    list.Append(b);
    list.Append(c);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.FindPrevious(a), nullptr);
    EXPECT_EQ(list.FindPrevious(c), b);

    EXPECT_EQ(list.Unlink(b), 2);
    EXPECT_EQ(a->Next(), c);
    EXPECT_EQ(list.Unlink(c), 1);
    EXPECT_EQ(list.Tail(), a);
    EXPECT_EQ(a->Next(), nullptr);
    // A node that is not in the list leaves it alone.
    EXPECT_EQ(list.Unlink(b), 1);
    EXPECT_EQ(list.Head(), a);
    EXPECT_EQ(list.Unlink(a), 0);
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
    delete a;
    delete b;
    delete c;
    EXPECT_EQ(deaths, 3);
}

TEST_F(ListTest, DoubleListKeepsPreviousLinks)
{
    int deaths = 0;
    DoubleList list;
    CountedNode a(&deaths), b(&deaths), c(&deaths);
    list.Append(&a);
    list.Append(&b);
    list.Append(&c);
    EXPECT_EQ(b.Previous(), &a);
    EXPECT_EQ(list.FindPrevious(&c), &b);

    EXPECT_EQ(list.Unlink(&b), 2);
    EXPECT_EQ(c.Previous(), &a);
    EXPECT_EQ(a.Next(), &c);
    EXPECT_EQ(b.Previous(), nullptr);
    EXPECT_EQ(b.Next(), nullptr);
    // b is in no list now.
    EXPECT_EQ(list.Unlink(&b), 2);

    EXPECT_EQ(list.Unlink(&a), 1);
    EXPECT_EQ(list.Head(), &c);
    EXPECT_EQ(c.Previous(), nullptr);
    // The only node: head and tail go null, the count 0.
    EXPECT_EQ(list.Unlink(&c), 0);
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListTest, DestructionDeletesTheNodesStillLinked)
{
    int deaths = 0;
    auto* kept = new CountedNode(&deaths);
    {
        PlatformLock lock;
        ThePlatform()->InitLock(&lock);
        {
            List list(&lock);
            list.PushBack(new CountedNode(&deaths));
            list.PushBack(kept);
            list.PushBack(new CountedNode(&deaths));
            list.Remove(kept);
            EXPECT_EQ(list.Count(), 2);
        }
        ThePlatform()->DeleteLock(&lock);
    }
    EXPECT_EQ(deaths, 2);
    delete kept;
    EXPECT_EQ(deaths, 3);
}

TEST_F(ListTest, ListWithoutLockWorks)
{
    int deaths = 0;
    List list(nullptr);
    CountedNode a(&deaths);
    list.PushBack(&a);
    EXPECT_EQ(list.Head(), &a);
    list.Remove(&a);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(deaths, 0);
}

} // namespace
