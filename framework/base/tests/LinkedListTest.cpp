#include "framework/base/LinkedList.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
class Numbered : public Object
{
public:
    explicit Numbered(int n) : n(n) {}
    int n;
};

std::vector<const Object*> Forward(const LinkedList& list)
{
    std::vector<const Object*> values;
    for (LinkedList::Node* node = list.Begin(); node != list.End(); node = node->next)
        values.push_back(node->value);
    return values;
}

std::vector<const Object*> Backward(const LinkedList& list)
{
    std::vector<const Object*> values;
    for (LinkedList::Node* node = list.End()->prev; node->prev != nullptr; node = node->prev)
        values.push_back(node->value);
    return values;
}

class LinkedListTest : public ::testing::Test
{
protected:
    void ExpectOrder(const std::vector<const Object*>& expected)
    {
        EXPECT_EQ(Forward(list), expected);
        EXPECT_EQ(Backward(list), std::vector<const Object*>(expected.rbegin(), expected.rend()));
        EXPECT_EQ(list.Count(), static_cast<int>(expected.size()));
    }

    Object a, b, c, d;
    LinkedList list;
};
} // namespace

TEST_F(LinkedListTest, EmptyListLinksTheSentinels)
{
    EXPECT_EQ(list.Begin(), list.End());
    EXPECT_EQ(list.End()->next, nullptr);
    EXPECT_EQ(list.End()->prev->prev, nullptr);
    EXPECT_EQ(list.Find(list.Begin(), &a), list.End());
    // Popping or erasing what is not there does nothing.
    list.PopBack();
    list.PopFront();
    EXPECT_EQ(list.Erase(list.End()), list.End());
    EXPECT_EQ(list.Erase(list.End()->prev), list.End());
    ExpectOrder({});
}

TEST_F(LinkedListTest, PushInsertAndPop)
{
    EXPECT_EQ(list.PushBack(&b), 1);
    EXPECT_EQ(list.PushFront(&a), 1);
    EXPECT_EQ(list.PushBack(&d), 1);
    LinkedList::Node* at = list.InsertBefore(list.Find(list.Begin(), &d), &c);
    ASSERT_NE(at, list.End());
    EXPECT_EQ(at->value, &c);
    ExpectOrder({&a, &b, &c, &d});

    list.PopFront();
    ExpectOrder({&b, &c, &d});
    list.PopBack();
    ExpectOrder({&b, &c});
    EXPECT_EQ(list.InsertBefore(list.End(), &d)->value, &d);
    ExpectOrder({&b, &c, &d});
    EXPECT_EQ(list.InsertBefore(nullptr, &a), list.End());
    ExpectOrder({&b, &c, &d});
}

TEST_F(LinkedListTest, EraseAnswersTheFollowingNode)
{
    for (Object* o : {&a, &b, &c, &d})
        list.PushBack(o);
    LinkedList::Node* nb = list.Find(list.Begin(), &b);
    LinkedList::Node* nc = nb->next;
    EXPECT_EQ(list.Erase(nb), nc);
    ExpectOrder({&a, &c, &d});
    EXPECT_EQ(list.Erase(list.End()->prev), list.End());
    ExpectOrder({&a, &c});

    list.PushBack(&d);
    list.PushBack(&b);
    LinkedList::Node* nd = list.Find(list.Begin(), &d);
    EXPECT_EQ(list.EraseRange(list.Begin()->next, nd), nd);
    ExpectOrder({&a, &d, &b});
    EXPECT_EQ(list.EraseRange(list.Begin(), list.End()), list.End());
    ExpectOrder({});
}

TEST_F(LinkedListTest, FindWalksFromTheGivenNode)
{
    Object absent;
    for (Object* o : {&a, &b, &a, &c})
        list.PushBack(o);
    LinkedList::Node* first = list.Find(list.Begin(), &a);
    EXPECT_EQ(first, list.Begin());
    LinkedList::Node* second = list.Find(first->next, &a);
    EXPECT_EQ(second, list.Begin()->next->next);
    EXPECT_EQ(list.Find(second->next, &a), list.End());
    EXPECT_EQ(list.Find(list.Begin(), &absent), list.End());
    EXPECT_EQ(list.Find(list.End(), &a), list.End());
}

TEST(LinkedList, SubclassesDecideMatchingAndStorage)
{
    // Matches by number rather than identity, and keeps count of the nodes it frees.
    class NumberList : public LinkedList
    {
    public:
        ~NumberList() override { EraseRange(Begin(), End()); }
        int freed = 0;

    protected:
        int Match(const Object* stored, const Object* argument) const override
        {
            return static_cast<const Numbered*>(stored)->n - static_cast<const Numbered*>(argument)->n;
        }
        void FreeNode(Node* node) override
        {
            ++freed;
            LinkedList::FreeNode(node);
        }
    };
    Numbered one(1), two(2), otherTwo(2), three(3);
    NumberList list;
    list.PushBack(&one);
    list.PushBack(&two);
    LinkedList::Node* found = list.Find(list.Begin(), &otherTwo);
    ASSERT_NE(found, list.End());
    EXPECT_EQ(found->value, &two);
    EXPECT_EQ(list.Find(list.Begin(), &three), list.End());
    list.PopFront();
    EXPECT_EQ(list.freed, 1);
}
