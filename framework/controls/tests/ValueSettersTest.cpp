#include "framework/controls/ValueSetters.h"
#include "framework/controls/tests/BoundItem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace itemtest;

namespace
{
const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(SetItemIntValue, StoresWhatTheRangeTakesTellsTheOwnerThenRedraws)
{
    struct Case
    {
        const char* trace;
        int32_t minimum, maximum, value;
        bool stored;
    } cases[] = {
        {"inside", 0, 10, 7, true},
        {"at the minimum", 0, 10, 0, true},
        {"at the maximum", 0, 10, 10, true},
        {"above", 0, 10, 11, false},
        {"below", -5, 5, -6, false},
        {"equal bounds take anything", 3, 3, 50, true},
        {"equal bounds take negatives", 0, 0, -2147483647 - 1, true},
        {"whole 32-bit value", 0, 2147483647, 2147483647, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        Bound<IntItem> bound;
        bound.item->minimum = c.minimum;
        bound.item->maximum = c.maximum;
        bound.item->value = 1;
        SetItemIntValue(bound.item.get(), c.value, 1, 1, nullptr);
        if (c.stored)
        {
            EXPECT_EQ(bound.item->value, c.value);
            EXPECT_EQ(bound.log, (Log{"notify " + std::to_string(c.value), "redraw a", "redraw b"}));
        }
        else
        {
            EXPECT_EQ(bound.item->value, 1);
            EXPECT_TRUE(bound.log.empty());
        }
    }
}

TEST(SetItemIntValue, RedrawAndNotifyAreChosenAndOneControlExcluded)
{
    Bound<IntItem> bound;
    SetItemIntValue(bound.item.get(), 4, 1, 0, &bound.a);
    EXPECT_EQ(bound.log, (Log{"redraw b"}));
    bound.log.clear();
    SetItemIntValue(bound.item.get(), 5, 0, 1, nullptr);
    EXPECT_EQ(bound.log, (Log{"notify 5"}));
    bound.log.clear();
    SetItemIntValue(bound.item.get(), 6, 0, 0, nullptr);
    EXPECT_TRUE(bound.log.empty());
    EXPECT_EQ(bound.item->value, 6);
    SetItemIntValue(nullptr, 1, 1, 1, nullptr); // nothing to set
}

TEST(SetItemRealValue, StoresWhatTheRangeTakesRedrawsThenTellsTheTruncatedValue)
{
    struct Case
    {
        const char* trace;
        float minimum, maximum, value;
        bool stored;
        const char* notified;
    } cases[] = {
        {"inside", -10, 10, 2.75f, true, "notify 2"},
        {"negative truncates toward zero", -10, 10, -2.75f, true, "notify -2"},
        {"at the maximum", 0, 1, 1.0f, true, "notify 1"},
        {"at the minimum", -90, 6, -90.0f, true, "notify -90"},
        {"above", 0, 1, 1.5f, false, nullptr},
        {"below", 0, 1, -0.01f, false, nullptr},
        {"NaN refused by a range", 0, 1, kNaN, false, nullptr},
        {"equal bounds take anything", 2, 2, 1e6f, true, "notify 1000000"},
        {"equal bounds take NaN", 0, 0, kNaN, true, "notify 0"},
        {"a NaN bound opens the range", kNaN, 1, 5.5f, true, "notify 5"},
        {"NaN bounds take NaN", 0, kNaN, kNaN, true, "notify 0"},
        {"beyond 32 bits tells the nearest", 0, 0, 1e20f, true, "notify 2147483647"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        Bound<RealItem> bound;
        bound.item->minimum = c.minimum;
        bound.item->maximum = c.maximum;
        bound.item->value = 0.5f;
        SetItemRealValue(bound.item.get(), c.value, 1, 1, nullptr);
        if (c.stored)
        {
            EXPECT_TRUE(bound.item->value == c.value || (std::isnan(c.value) && std::isnan(bound.item->value)));
            EXPECT_EQ(bound.log, (Log{"redraw a", "redraw b", c.notified}));
        }
        else
        {
            EXPECT_EQ(bound.item->value, 0.5f);
            EXPECT_TRUE(bound.log.empty());
        }
    }
    Bound<RealItem> bound;
    SetItemRealValue(bound.item.get(), 3.5f, 1, 0, &bound.b);
    EXPECT_EQ(bound.log, (Log{"redraw a"}));
    SetItemRealValue(nullptr, 1, 1, 1, nullptr);
}
} // namespace
