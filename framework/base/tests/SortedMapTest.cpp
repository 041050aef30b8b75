#include "framework/base/IntDictionary.h"
#include "framework/base/StringDictionary.h"

#include <gtest/gtest.h>

TEST(IntDictionary, FindsInsertedKeys)
{
    IntDictionary map;
    EXPECT_EQ(map.Insert(5, nullptr).inserted, 1);
    EXPECT_NE(map.Find(5), map.End());
    EXPECT_EQ(map.Find(6), map.End());
}
