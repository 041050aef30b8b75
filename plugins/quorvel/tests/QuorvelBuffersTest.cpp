// The effects plug-in's driver buffer, stream size and reported delay for a host block.
#include "plugins/quorvel/QuorvelBuffers.h"

#include <gtest/gtest.h>

namespace
{

TEST(QuorvelBuffers, SizesAndDelayForEachHostModeAndPreference)
{
    const struct
    {
        const char* name;
        int32_t hostBlock;
        DriverBufferSizes sizes; // minimum, maximum, granularity, preferred
        bool extraPreference;
        int32_t hostMode;
        int32_t frames;
        int32_t streamSize;
        int32_t latencyBlocks;
        bool extraBuffers;
        int32_t latency;
    } cases[] = {
        {"block below the minimum", 256, {512, 2048, 512, 512}, false, kHostModeNormal, 512, 512, 1, true, 1536},
        {"preferred larger", 512, {256, 2048, 256, 1024}, false, kHostModeNormal, 512, 1024, 2, false, 1536},
        {"preferred larger, Cubase VST",
         512,
         {256, 2048, 256, 1024},
         false,
         kHostModeCubase,
         512,
         1024,
         2,
         false,
         2048},
        {"preferred not larger, Cubase VST",
         512,
         {256, 2048, 256, 256},
         false,
         kHostModeCubase,
         512,
         256,
         1,
         false,
         1536},
        {"render mode counts the driver buffer",
         512,
         {256, 2048, 256, 1024},
         false,
         kHostModeRender,
         512,
         512,
         1,
         false,
         1536},
        {"extra buffering doubles the buffer",
         512,
         {256, 2048, 256, 1024},
         true,
         kHostModeNormal,
         1024,
         1024,
         1,
         true,
         3072},
        // The delay counts the doubled driver buffer, not the smaller preferred size (which would
        // report 1536 for a measured 3072).
        {"extra buffering, preferred 512", 512, {256, 2048, 256, 512}, true, kHostModeNormal, 1024, 512, 1, true, 3072},
        {"extra buffering beyond the maximum keeps the buffer",
         2048,
         {64, 2048, 64, 256},
         true,
         kHostModeNormal,
         2048,
         256,
         1,
         true,
         6144},
        {"host 441 runs a driver buffer ahead",
         441,
         {64, 2048, 64, 256},
         false,
         kHostModeNormal,
         448,
         448,
         2,
         true,
         1792},
        {"extra buffering does not double a buffer the host runs ahead of",
         441,
         {64, 2048, 64, 256},
         true,
         kHostModeNormal,
         448,
         448,
         2,
         true,
         1792},
    };
    for (const auto& c : cases)
    {
        const QuorvelBuffers plan = PlanQuorvelBuffers(c.hostBlock, c.sizes, c.extraPreference, c.hostMode);
        EXPECT_EQ(plan.frames, c.frames) << c.name;
        EXPECT_EQ(plan.streamSize, c.streamSize) << c.name;
        EXPECT_EQ(plan.latencyBlocks, c.latencyBlocks) << c.name;
        EXPECT_EQ(plan.extraBuffers, c.extraBuffers) << c.name;
        EXPECT_EQ(plan.latency, c.latency) << c.name;
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
