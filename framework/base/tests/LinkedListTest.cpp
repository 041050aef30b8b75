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
        EXPECT_EQ(Forward(list_), expected);
        EXPECT_EQ(Backward(list_), std::vector<const Object*>(expected.rbegin(), expected.rend()));
        EXPECT_EQ(list_.Count(), static_cast<int>(expected.size()));
    }

    Object a_, b_, c_, d_;
    LinkedList list_;
};
} // namespace

TEST_F(LinkedListTest, EmptyListLinksTheSentinels)
{
    EXPECT_EQ(list_.Begin(), list_.End());
    EXPECT_EQ(list_.End()->next, nullptr);
    EXPECT_EQ(list_.End()->prev->prev, nullptr);
    EXPECT_EQ(list_.Find(list_.Begin(), &a_), list_.End());
    // Popping or erasing what is not there does nothing.
    list_.PopBack();
    list_.PopFront();
    EXPECT_EQ(list_.Erase(list_.End()), list_.End());
    EXPECT_EQ(list_.Erase(list_.End()->prev), list_.End());
    ExpectOrder({});
}

TEST_F(LinkedListTest, PushInsertAndPop)
{
    EXPECT_EQ(list_.PushBack(&b_), 1);
    EXPECT_EQ(list_.PushFront(&a_), 1);
    EXPECT_EQ(list_.PushBack(&d_), 1);
    LinkedList::Node* at = list_.InsertBefore(list_.Find(list_.Begin(), &d_), &c_);
    ASSERT_NE(at, list_.End());
    EXPECT_EQ(at->value, &c_);
    ExpectOrder({&a_, &b_, &c_, &d_});

    list_.PopFront();
    ExpectOrder({&b_, &c_, &d_});
    list_.PopBack();
    ExpectOrder({&b_, &c_});
    EXPECT_EQ(list_.InsertBefore(list_.End(), &d_)->value, &d_);
    ExpectOrder({&b_, &c_, &d_});
    EXPECT_EQ(list_.InsertBefore(nullptr, &a_), list_.End());
    ExpectOrder({&b_, &c_, &d_});
}

TEST_F(LinkedListTest, EraseAnswersTheFollowingNode)
{
    for (Object* o : {&a_, &b_, &c_, &d_})
        list_.PushBack(o);
    LinkedList::Node* nb = list_.Find(list_.Begin(), &b_);
    LinkedList::Node* nc = nb->next;
    EXPECT_EQ(list_.Erase(nb), nc);
    ExpectOrder({&a_, &c_, &d_});
    EXPECT_EQ(list_.Erase(list_.End()->prev), list_.End());
    ExpectOrder({&a_, &c_});

    list_.PushBack(&d_);
    list_.PushBack(&b_);
    LinkedList::Node* nd = list_.Find(list_.Begin(), &d_);
    EXPECT_EQ(list_.EraseRange(list_.Begin()->next, nd), nd);
    ExpectOrder({&a_, &d_, &b_});
    EXPECT_EQ(list_.EraseRange(list_.Begin(), list_.End()), list_.End());
    ExpectOrder({});
}

TEST_F(LinkedListTest, FindWalksFromTheGivenNode)
{
    Object absent;
    for (Object* o : {&a_, &b_, &a_, &c_})
        list_.PushBack(o);
    LinkedList::Node* first = list_.Find(list_.Begin(), &a_);
    EXPECT_EQ(first, list_.Begin());
    LinkedList::Node* second = list_.Find(first->next, &a_);
    EXPECT_EQ(second, list_.Begin()->next->next);
    EXPECT_EQ(list_.Find(second->next, &a_), list_.End());
    EXPECT_EQ(list_.Find(list_.Begin(), &absent), list_.End());
    EXPECT_EQ(list_.Find(list_.End(), &a_), list_.End());
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
