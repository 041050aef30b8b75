// The driver buffer and the delay chosen for a host block.
#include "plugins/base/asio/BufferChoice.h"

#include <gtest/gtest.h>

namespace
{

struct ChoiceCase
{
    const char* name;
    int32_t hostBlock;
    DriverBufferSizes sizes; // minimum, maximum, granularity, preferred
    int32_t chosen;
    int32_t latencySize;
    bool enlarged;
    int32_t initialDelay; // three driver buffers and a host block, whatever the sizes
};

const ChoiceCase kCases[] = {
    {"block below the minimum", 64, {256, 2048, 64, 256}, 256, 256, true, 832},
    {"block fits, preferred larger", 512, {256, 2048, 64, 1024}, 512, 1024, false, 2048},
    {"block off the step doubles", 96, {64, 2048, 64, 256}, 192, 192, true, 672},
    {"same with a minimum off the step", 96, {32, 2048, 64, 256}, 192, 192, true, 672},
    {"preferred below the block keeps one block", 512, {64, 2048, 64, 256}, 512, 256, false, 2048},
    {"step not a power of two", 50, {64, 4096, 48, 256}, 1200, 1200, true, 3650},
    {"block below half the step", 20, {16, 4096, 64, 256}, 320, 320, true, 980},
    {"powers of two", 96, {64, 2048, -1, 256}, 128, 128, true, 480},
    {"a power of two already", 256, {64, 2048, -1, 512}, 256, 512, false, 1024},
    {"no multiple is a power of two", 24, {64, 2048, -1, 256}, 64, 64, true, 216},
    {"no step", 100, {64, 2048, 0, 256}, 100, 256, false, 400},
    {"the maximum is respected", 1000, {64, 2048, 64, 256}, 1024, 1024, true, 4072},
    {"no multiple fits: smallest fit holding a block", 441, {64, 2048, 64, 256}, 448, 448, true, 1785},
    {"block beyond the maximum", 4096, {64, 2048, 64, 256}, 2048, 2048, true, 10240},
    {"nonsense range", 128, {0, -5, 32, 0}, 128, 128, false, 512},
};

class BufferChoiceTest : public ::testing::TestWithParam<ChoiceCase>
{
};

TEST_P(BufferChoiceTest, ChoosesASizeTheDriverTakesAndTheDelayItHolds)
{
    const ChoiceCase& c = GetParam();
    const BufferChoice choice = ChooseBufferSize(c.hostBlock, c.sizes);
    EXPECT_EQ(choice.chosen, c.chosen);
    EXPECT_EQ(choice.latencySize, c.latencySize);
    EXPECT_EQ(choice.enlarged, c.enlarged);
    EXPECT_EQ(InitialDelayFor(c.hostBlock, choice), c.initialDelay);
    EXPECT_TRUE(FitGranularity(choice.chosen, c.sizes) || c.sizes.minimum <= 0) << "the driver takes it";
}

INSTANTIATE_TEST_SUITE_P(Sizes, BufferChoiceTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ChoiceCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                             {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

TEST(FitGranularity, FollowsTheDriversStepAndRange)
{
    const struct
    {
        int32_t size;
        DriverBufferSizes sizes;
        bool fits;
    } cases[] = {
        {192, {64, 2048, 64, 0}, true}, {96, {64, 2048, 64, 0}, false}, {4096, {64, 2048, 64, 0}, false},
        {32, {64, 2048, 32, 0}, false}, {512, {64, 2048, -1, 0}, true}, {384, {64, 2048, -1, 0}, false},
        {100, {64, 2048, 0, 0}, true},  {96, {64, 2048, 48, 0}, true},  {64, {64, 2048, 48, 0}, false},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(FitGranularity(c.size, c.sizes), c.fits) << c.size << " step " << c.sizes.granularity;
    }
}

} // namespace
