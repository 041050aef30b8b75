#include "mixer/dialogs/OldDriverRule.h"

#include <gtest/gtest.h>

namespace
{
TEST(OldDriverRule, OldBefore5_12_1022WithTheThirdNumberIgnored)
{
    struct Case
    {
        const char* version;
        int read;
        uint32_t a, b, c, d;
        bool old;
    } cases[] = {
        {"5.12.0.1021", 1, 5, 12, 0, 1021, true},
        {"5.12.7.1021", 1, 5, 12, 7, 1021, true},
        {"5.12.1.130 (the test prefix's driver)", 1, 5, 12, 1, 130, true},
        {"5.12.0.1022", 1, 5, 12, 0, 1022, false},
        {"5.12.99999.1022", 1, 5, 12, 99999, 1022, false},
        {"5.12.0.4000", 1, 5, 12, 0, 4000, false},
        {"5.13.0.0", 1, 5, 13, 0, 0, false},
        {"6.0.0.0", 1, 6, 0, 0, 0, false},
        {"5.11.0.2000", 1, 5, 11, 0, 2000, true},
        {"4.20.0.0", 1, 4, 20, 0, 0, true},
        {"0.0.0.0", 1, 0, 0, 0, 0, true},
        {"failed read", 0, 0, 0, 0, 0, false},
        {"failed read, numbers left over", 0, 4, 0, 0, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsOldDriver(c.read, c.a, c.b, c.c, c.d), c.old) << c.version;
}
} // namespace
