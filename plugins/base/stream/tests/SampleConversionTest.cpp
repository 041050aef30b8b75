#include "plugins/base/stream/SampleConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{

TEST(SampleConversion, FloatToInt16Edges)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        float in;
        int16_t out;
    } cases[] = {
        {1.0f, 32767},        {-1.0f, -32768}, {-1.5f, -32767}, {1.5f, 32767},        {0.0f, 0},
        {0.5f, 16384},        {-0.5f, -16384}, {nan, 0},        {1.0f / 65536.0f, 0}, // 0.5 rounds to even
        {3.0f / 65536.0f, 2},
    };
    for (const auto& c : cases)
    {
        int16_t out = 99;
        FloatToInt16(&c.in, &out, 1);
        EXPECT_EQ(out, c.out) << "for " << c.in;
    }
}

TEST(SampleConversion, FloatToInt32Edges)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        float in;
        int32_t out;
    } cases[] = {
        {1.0f, 2147418112},
        {2.0f, 2147418112},
        {-1.0f, -2147418112},
        {-2.0f, -2147418112},
        {0.0f, 0},
        {0.5f, 1073709056},
        {nan, 0},
        // The product is rounded to single precision before the integer: 644225459.2 would be
        // the product's own nearest integer.
        {0.3f, 644225472},
    };
    for (const auto& c : cases)
    {
        int32_t out = 99;
        FloatToInt32(&c.in, &out, 1);
        EXPECT_EQ(out, c.out) << "for " << c.in;
    }
}

TEST(SampleConversion, IntegersToFloat)
{
    const int16_t in16[] = {32767, -32768, 0, 16384};
    float out[4];
    Int16ToFloat(in16, out, 4);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_NEAR(out[1], -1.00003f, 1e-5f);
    EXPECT_LT(out[1], -1.0f);
    EXPECT_EQ(out[2], 0.0f);
    EXPECT_NEAR(out[3], 0.50002f, 1e-5f);

    const int32_t in32[] = {2147418112, INT32_MIN, 0, 1 << 30};
    Int32ToFloat(in32, out, 4);
    EXPECT_NEAR(out[0], 0.99997f, 1e-5f);
    EXPECT_EQ(out[1], -1.0f);
    EXPECT_EQ(out[2], 0.0f);
    EXPECT_EQ(out[3], 0.5f);
}

} // namespace
