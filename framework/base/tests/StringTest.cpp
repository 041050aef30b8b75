#include "framework/base/String.h"

#include <gtest/gtest.h>

TEST(String, AppendsAndCompares)
{
    String s;
    EXPECT_EQ(s.AppendAscii("ab"), 1);
    EXPECT_EQ(s.AppendWide(u"cd"), 1);
    EXPECT_EQ(s.Compare(u"abcd"), 0);
}
