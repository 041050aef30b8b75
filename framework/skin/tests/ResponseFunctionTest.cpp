#include "framework/skin/ResponseFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace
{
struct Case
{
    const char* what;
    std::vector<std::pair<float, float>> entries;
    float in;
    float mapped;
};

TEST(ResponseFunction, MapsBetweenTheBoundingEntries)
{
    const Case cases[] = {
        {"no entries: identity", {}, 0.3f, 0.3f},
        {"below the only entry: lower bound (0, 0)", {{0.5f, 0.25f}}, 0.25f, 0.125f},
        {"between the entry and the start entry", {{0.5f, 0.25f}}, 0.75f, 0.625f},
        {"on the start entry", {{0.5f, 0.25f}}, 1.0f, 1.0f},
        {"above every entry: bounds (0, 0) and (1, 1)", {{0.5f, 0.25f}}, 1.5f, 1.5f},
        {"an equal key goes after the start entry", {{1.0f, 20.0f}}, 1.0f, 1.0f},
        {"entries sort by normalised value", {{0.8f, 0.4f}, {0.2f, 0.1f}}, 0.5f, 0.25f},
        {"equal keys keep the file's order: the first is the upper bound", {{0.5f, 0.1f}, {0.5f, 0.3f}}, 0.5f, 0.1f},
        {"equal keys keep the file's order: the last is the lower bound", {{0.5f, 0.1f}, {0.5f, 0.3f}}, 0.75f, 0.65f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const ResponseFunction function(c.entries);
        EXPECT_FLOAT_EQ(function.Map(c.in), c.mapped);
    }
}

TEST(ResponseFunction, UnmapWalksTheDisplayValues)
{
    const ResponseFunction function({{0.5f, 0.25f}});
    EXPECT_FLOAT_EQ(function.Unmap(0.625f), 0.75f);
    EXPECT_FLOAT_EQ(function.Unmap(0.125f), 0.25f);
    EXPECT_FLOAT_EQ(function.Unmap(2.0f), 2.0f);
}

// Two bounds that share a value would divide zero by zero: the upper bound answers.
TEST(ResponseFunction, BoundsSharingAValueAnswerTheUpperBound)
{
    const ResponseFunction atZero({{0.0f, 6.0f}});
    const float mapped = atZero.Map(0.0f);
    EXPECT_FALSE(std::isnan(mapped));
    EXPECT_FLOAT_EQ(mapped, 6.0f);

    const ResponseFunction flat({{0.0f, 0.0f}}); // display 0 shared with the lower bound (0, 0)
    const float unmapped = flat.Unmap(0.0f);
    EXPECT_FALSE(std::isnan(unmapped));
    EXPECT_FLOAT_EQ(unmapped, 0.0f);
}
} // namespace
