// The delay plug-in on the simulated card: end to end as Dentrak.dll in tools/vsthost, and in
// this process while the amount changes.
#include "plugins/base/asio/AsioSystem.h"
#include "plugins/dentrak/DentrakEffect.h"
#include "standins/asio/StandinTestConfig.h"
#include "tools/vsthost/tests/HostRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{

struct DelayCase
{
    const char* name;
    int preferred;
    int block;
    int amount;
    int blocks;      // host blocks to run
    int delayBlocks; // amount x (L + 3)
    const char* calls;
};

class DentrakInTheHost : public ::testing::TestWithParam<DelayCase>
{
};

TEST_P(DentrakInTheHost, DelaysByWholeRoundTrips)
{
    const DelayCase& c = GetParam();
    StandinTestConfig config("[Driver]\nPreferredBuffer=" + std::to_string(c.preferred) + "\nMinBuffer=32\n");
    char chunk[9];
    std::snprintf(chunk, sizeof(chunk), "%02x000000", c.amount);
    const HostRun run =
        RunHost(KIV_VSTHOST, KIV_DENTRAK,
                "--offline --accumulate --signal noise --block " + std::to_string(c.block) + " --blocks " +
                    std::to_string(c.blocks) + " --calls " + c.calls + " --set-chunk " + chunk + " --chunk");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("id 0x4B44746B"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("chunk set: 4 bytes taken"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("chunk round trip: ok (4 bytes)"), std::string::npos) << run.output;
    EXPECT_EQ(Reported(run.output, "reported initial delay: "), 0) << run.output;
    EXPECT_EQ(Reported(run.output, "measured delay: "), c.delayBlocks * c.block) << run.output;
    EXPECT_EQ(Reported(run.output, "measured delay at the end: "), c.delayBlocks * c.block) << run.output;
    EXPECT_NE(run.output.find("(gain 1.000000)"), std::string::npos) << run.output;
    EXPECT_EQ(Reported(run.output, "samples off the delay: "), 0) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Amounts, DentrakInTheHost,
                         ::testing::Values(DelayCase{"one", 1024, 256, 1, 60, 6, "whole"},
                                           DelayCase{"preferredBelowBlock", 256, 512, 2, 40, 6, "whole"},
                                           DelayCase{"tenWithLargeL", 1024, 64, 10, 800, 180, "whole"},
                                           DelayCase{"split", 256, 512, 1, 2600, 3, "split"},
                                           DelayCase{"uneven441", 256, 441, 1, 3000, 3, "uneven"},
                                           DelayCase{"changing1000", 256, 1000, 2, 1330, 6, "changing"}),
                         [](const ::testing::TestParamInfo<DelayCase>& info) { return std::string(info.param.name); });

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : 0;
}

TEST(DentrakOnTheCard, HoldsTheDelayWhileTheAmountIsRaisedAndLowered)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        StandinTestConfig config("[Driver]\nPreferredBuffer=512\nMinBuffer=32\n");
        auto effect = std::make_unique<DentrakEffect>(&Host);
        const int32_t block = 128;
        effect->setBlockSize(block);
        effect->resume();
        ASSERT_EQ(effect->GetLatencyBlocks(), 3);
        int64_t sent = 0;
        std::vector<float> left(block), right(block), outLeft(block), outRight(block);
        for (int32_t amount : {2, 5, 1, 10, 3})
        {
            ASSERT_TRUE(effect->SetAmount(amount));
            const int64_t delay = static_cast<int64_t>(amount) * 6 * block;
            const int calls = amount * 6 + 20;
            int64_t exact = 0;
            for (int call = 0; call < calls; ++call)
            {
                for (int32_t i = 0; i < block; ++i)
                {
                    left[i] = static_cast<float>(++sent);
                    right[i] = -left[i];
                    outLeft[i] = outRight[i] = 0.0f;
                }
                float* inputs[] = {left.data(), right.data()};
                float* outputs[] = {outLeft.data(), outRight.data()};
                effect->process(inputs, outputs, block);
                for (int32_t i = 0; i < block; ++i)
                {
                    const int64_t t = sent - block + i + 1;
                    exact += static_cast<int64_t>(outLeft[i]) == t - delay && outRight[i] == -outLeft[i] ? 1 : 0;
                }
            }
            // A raise waits for the longer line; after it every sample is exactly late.
            EXPECT_GE(exact, (calls - amount * 6) * static_cast<int64_t>(block)) << "amount " << amount;
        }
    }
    CoUninitialize();
}

} // namespace
