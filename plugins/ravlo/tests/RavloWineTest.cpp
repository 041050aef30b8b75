// The routing plug-in on the simulated card: in this process through COM, and end to end as
// Ravlo.dll in tools/vsthost.
#include "plugins/base/asio/AsioSystem.h"
#include "plugins/ravlo/RavloEffect.h"
#include "plugins/ravlo/RavloSystem.h"
#include "standins/asio/StandinTestConfig.h"
#include "tools/vsthost/Wav.h"
#include "tools/vsthost/tests/HostRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- end to end in vsthost

// Pairs 0 and 0 with the simulated card's first channel names.
std::string PairChunk(int input, int output)
{
    std::vector<unsigned char> chunk(72, 0);
    std::memcpy(chunk.data(), &input, 4);
    std::memcpy(chunk.data() + 4, &output, 4);
    const std::string in = "In " + std::to_string(2 * input + 1);
    const std::string out = "Out " + std::to_string(2 * output + 1);
    std::memcpy(chunk.data() + 8, in.data(), in.size());
    std::memcpy(chunk.data() + 40, out.data(), out.size());
    std::string hex;
    char digits[3];
    for (unsigned char byte : chunk)
    {
        std::snprintf(digits, sizeof(digits), "%02x", byte);
        hex += digits;
    }
    return hex;
}

struct RouteCase
{
    const char* name;
    int block;
    const char* driver; // [Driver] keys beside the manual clock
    int chosen;         // the driver buffer Ravlo picks
};

class RavloThroughTheCard : public ::testing::TestWithParam<RouteCase>
{
};

TEST_P(RavloThroughTheCard, ReturnsEverySampleAfterTheReportedDelay)
{
    const RouteCase& c = GetParam();
    // A loop of two driver buffers, as on the card, where a buffer played at one switch is
    // heard at the next and captured for the one after.
    StandinTestConfig config(std::string("[Driver]\nClock=manual\nLoopGain=0.5\nLoopDelay=") +
                             std::to_string(c.chosen) + "\n" + c.driver);
    const int blocks = 60;
    StereoSignal sent;
    sent.sampleRate = 44100;
    sent.left.resize(static_cast<size_t>(c.block * blocks));
    sent.right.resize(sent.left.size());
    uint32_t seed = 7;
    for (size_t i = 0; i < sent.left.size(); ++i)
    {
        seed = seed * 1103515245u + 12345u;
        sent.left[i] = static_cast<float>(seed >> 9) / 8388608.0f - 0.5f;
        sent.right[i] = -0.5f * sent.left[i];
    }
    const std::string input = TempPath(std::string("ravlo-in-") + c.name + ".wav");
    const std::string output = TempPath(std::string("ravlo-out-") + c.name + ".wav");
    ASSERT_TRUE(WriteWav(input, sent));
    const HostRun run = RunHost(KIV_VSTHOST, KIV_RAVLO,
                                "--lockstep --accumulate --block " + std::to_string(c.block) + " --set-chunk " +
                                    PairChunk(0, 0) + " --input \"" + input + "\" --output \"" + output + "\"");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("chunk set: 72 bytes taken"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("id 0x4B52766C"), std::string::npos) << run.output;
    const int reported = Reported(run.output, "reported initial delay: ");
    const int measured = Reported(run.output, "measured delay: ");
    EXPECT_EQ(measured, reported) << run.output;

    StereoSignal returned;
    std::string error;
    ASSERT_TRUE(ReadWav(output, &returned, &error)) << error;
    ASSERT_EQ(returned.left.size(), sent.left.size());
    // Once the trip is under way every sample comes back, scaled by the loop, none lost.
    const double gain = 0.5 * 2147418112.0 / 2147483648.0;
    const size_t settled = static_cast<size_t>(measured) + 4 * static_cast<size_t>(std::max(c.block, c.chosen));
    int mismatches = 0;
    for (size_t t = settled; t < returned.left.size(); ++t)
    {
        const double left = gain * sent.left[t - static_cast<size_t>(measured)];
        const double right = gain * sent.right[t - static_cast<size_t>(measured)];
        if (std::fabs(returned.left[t] - left) > 1e-6 || std::fabs(returned.right[t] - right) > 1e-6)
        {
            if (++mismatches <= 3)
            {
                ADD_FAILURE() << "sample " << t << ": " << returned.left[t] << ", expected " << left;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << run.output;
    DeleteFileA(input.c_str());
    DeleteFileA(output.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RavloThroughTheCard,
    ::testing::Values(RouteCase{"same", 256, "MinBuffer=64\nPreferredBuffer=256\nGranularity=32\n", 256},
                      RouteCase{"enlarged", 64, "MinBuffer=256\nPreferredBuffer=256\nGranularity=64\n", 256},
                      RouteCase{"preferredLarger", 512, "MinBuffer=256\nPreferredBuffer=1024\nGranularity=64\n", 512},
                      RouteCase{"offStep", 96, "MinBuffer=64\nPreferredBuffer=256\nGranularity=64\n", 192},
                      RouteCase{"host441", 441, "MinBuffer=64\nPreferredBuffer=256\nGranularity=64\n", 448}),
    [](const ::testing::TestParamInfo<RouteCase>& info) { return std::string(info.param.name); });

} // namespace
