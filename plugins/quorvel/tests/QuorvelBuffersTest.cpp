// The effects plug-in's driver buffer, stream size and reported delay for a host block.
#include "plugins/quorvel/QuorvelBuffers.h"

#include <gtest/gtest.h>

namespace
{

TEST(QuorvelBuffers, SizesAndDelayForEachHostModeAndPreference)
{
    // The delay is the card's loop of two buffers and what the stream holds beyond it: the
    // figure of the mode and preference where it leaves a buffer and a call of any length less a
    // sample, else that much (three buffers and a block less a sample).
    const DriverBufferSizes card{64, 2048, 32, 256}; // the simulated card's defaults
    const struct
    {
        const char* name;
        int32_t hostBlock;
        DriverBufferSizes sizes; // minimum, maximum, granularity, preferred
        bool extraPreference;
        int32_t hostMode;
        int32_t frames;
        int32_t streamSize;
        int32_t held;
        int32_t latency;
    } cases[] = {
        {"block below the minimum", 256, {512, 2048, 512, 512}, false, kHostModeNormal, 512, 512, 767, 1791},
        {"preferred larger", 512, {256, 2048, 256, 1024}, false, kHostModeNormal, 512, 1024, 1023, 2047},
        {"preferred larger, Cubase VST", 512, {256, 2048, 256, 1024}, false, kHostModeCubase, 512, 1024, 1024, 2048},
        {"preferred not larger, Cubase VST", 512, {256, 2048, 256, 256}, false, kHostModeCubase, 512, 256, 1023, 2047},
        {"render mode counts the driver buffer",
         512,
         {256, 2048, 256, 1024},
         false,
         kHostModeRender,
         512,
         512,
         1023,
         2047},
        {"extra buffering doubles the buffer",
         512,
         {256, 2048, 256, 1024},
         true,
         kHostModeNormal,
         1024,
         1024,
         1535,
         3583},
        // The delay counts the doubled driver buffer, not the smaller preferred size.
        {"extra buffering, preferred 512", 512, {256, 2048, 256, 512}, true, kHostModeNormal, 1024, 512, 1535, 3583},
        {"extra buffering beyond the maximum keeps the buffer",
         2048,
         {64, 2048, 64, 256},
         true,
         kHostModeNormal,
         2048,
         256,
         4095,
         8191},
        {"host 441, a buffer more", 441, {64, 2048, 64, 256}, false, kHostModeNormal, 448, 448, 896, 1792},
        {"extra buffering does not double a buffer that is no multiple of the block",
         441,
         {64, 2048, 64, 256},
         true,
         kHostModeNormal,
         448,
         448,
         896,
         1792},
        {"block 1", 1, card, false, kHostModeNormal, 64, 64, 64, 192},
        {"block 33: 32 blocks a buffer", 33, card, false, kHostModeNormal, 1056, 1056, 1088, 3200},
        {"block 333", 333, card, false, kHostModeNormal, 352, 352, 704, 1408},
        {"block 1000", 1000, card, false, kHostModeNormal, 1024, 1024, 2048, 4096},
        {"block 4096 above the largest buffer", 4096, card, false, kHostModeNormal, 2048, 2048, 6144, 10240},
        {"block 512 on the card", 512, card, false, kHostModeNormal, 512, 256, 1023, 2047},
    };
    for (const auto& c : cases)
    {
        const QuorvelBuffers plan = PlanQuorvelBuffers(c.hostBlock, c.sizes, c.extraPreference, c.hostMode);
        EXPECT_EQ(plan.frames, c.frames) << c.name;
        EXPECT_EQ(plan.streamSize, c.streamSize) << c.name;
        EXPECT_EQ(plan.held, c.held) << c.name;
        EXPECT_EQ(plan.latency, c.latency) << c.name;
        EXPECT_EQ(plan.latency, 2 * plan.frames + plan.held) << c.name;
        EXPECT_GE(plan.held, LeastHeldDelay(c.hostBlock, plan.frames)) << c.name << ": a call of any length";
    }
}

TEST(QuorvelBuffers, DelayWithoutAStream)
{
    EXPECT_EQ(QuorvelLatencyWithoutStream(512, 0, kHostModeNormal), 1536);
    EXPECT_EQ(QuorvelLatencyWithoutStream(512, 1024, kHostModeNormal), 1536);
    EXPECT_EQ(QuorvelLatencyWithoutStream(512, 1024, kHostModeCubase), 2048);
    EXPECT_EQ(QuorvelLatencyWithoutStream(512, 512, kHostModeCubase), 1536);
}

} // namespace
