#include "framework/base/LinkedList.h"

#include <gtest/gtest.h>

TEST(LinkedList, PushesAndFinds)
{
    Object a;
    LinkedList list;
    EXPECT_EQ(list.PushBack(&a), 1);
    EXPECT_EQ(list.Find(list.Begin(), &a), list.Begin());
}
