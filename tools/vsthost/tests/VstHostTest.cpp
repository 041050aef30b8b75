// End to end: tools/vsthost loads the loop test plug-in, which sends the host's audio out
// through the simulated card and back; in lock step the returned signal is the sent one,
// scaled by the card's loop gain, after a delay known in advance.
#include "standins/asio/StandinTestConfig.h"
#include "tests/support/ScratchFolder.h"
#include "tools/vsthost/tests/HostRun.h"
#include "tools/vsthost/Wav.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace
{

HostRun RunLoop(const std::string& arguments)
{
    return RunHost(KIV_VSTHOST, KIV_LOOP_PLUGIN, arguments);
}

constexpr int kFrames = 256;
constexpr int kLoopDelay = 37;
constexpr int kBlocks = 40;

class VstHostEndToEnd : public ::testing::TestWithParam<const char*>
{
};

TEST_P(VstHostEndToEnd, ReturnsTheSentSignalAfterTheKnownDelay)
{
    // The card loops with gain 0.5 in 32-bit samples and reports its extra loop delay as input
    // latency, so the plug-in's reported delay covers the whole trip.
    StandinTestConfig config("[Driver]\nClock=manual\nSampleType=18\nMinBuffer=64\nPreferredBuffer=256\n"
                             "LoopDelay=37\nLoopGain=0.5\nInputLatency=37\nOutputLatency=0\n");
    StereoSignal sent;
    sent.left.resize(kFrames * kBlocks);
    sent.right.resize(kFrames * kBlocks);
    uint32_t seed = 99;
    for (size_t i = 0; i < sent.left.size(); ++i)
    {
        seed = seed * 1103515245u + 12345u;
        sent.left[i] = static_cast<float>(seed >> 9) / 8388608.0f - 0.5f;
        sent.right[i] = 0.25f * sent.left[i];
    }
    const ScratchFolder folder("kiv-vsthost-wav");
    const std::string input = (folder / "in.wav").string();
    const std::string output = (folder / "out.wav").string();
    ASSERT_TRUE(WriteWav(input, sent));

    const HostRun run = RunLoop("--lockstep --editor --chunk --block 256 --input \"" + input + "\" --output \"" +
                                output + "\" " + GetParam());
    ASSERT_EQ(run.exitCode, 0u) << run.output;

    // Stream rules: a host block is played at the next switch, and a captured block is read by
    // the process call after that switch: two buffers, plus the card's own loop delay.
    const int expectedDelay = 2 * kFrames + kLoopDelay;
    EXPECT_EQ(Reported(run.output, "reported initial delay: "), expectedDelay) << run.output;
    EXPECT_EQ(Reported(run.output, "measured delay: "), expectedDelay) << run.output;
    EXPECT_EQ(Reported(run.output, "driver switches stepped: "), kBlocks) << run.output;
    EXPECT_NE(run.output.find("chunk round trip: ok (8 bytes)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("editor: opened 240x120 (answer 1)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("times, closed"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("KIV loop test, id 0x4B4C6F70"), std::string::npos) << run.output;

    StereoSignal returned;
    std::string error;
    ASSERT_TRUE(ReadWav(output, &returned, &error)) << error;
    ASSERT_EQ(returned.left.size(), sent.left.size());
    // Float to 32-bit integer scales by 2147418112, back by 2^-31.
    const double gain = 0.5 * 2147418112.0 / 2147483648.0;
    int mismatches = 0;
    for (size_t t = 0; t < returned.left.size(); ++t)
    {
        const bool delayed = t >= static_cast<size_t>(expectedDelay);
        const double left = delayed ? gain * sent.left[t - expectedDelay] : 0.0;
        const double right = delayed ? gain * sent.right[t - expectedDelay] : 0.0;
        if (std::fabs(returned.left[t] - left) > 1e-6 || std::fabs(returned.right[t] - right) > 1e-6)
        {
            if (++mismatches <= 5)
            {
                ADD_FAILURE() << "sample " << t << ": " << returned.left[t] << " " << returned.right[t] << ", expected "
                              << left << " " << right;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(ReplacingAndAccumulating, VstHostEndToEnd, ::testing::Values("", "--accumulate --offline"));

TEST(VstHost, RunsInRealTimeOnTheDriversClock)
{
    StandinTestConfig config("[Driver]\nPreferredBuffer=256\n");
    const HostRun run = RunLoop("--blocks 20 --block 256 --signal sine");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(Reported(run.output, "reported initial delay: "), 2 * 256 + 256 + 256) << run.output;
    EXPECT_NE(run.output.find("measured delay: "), std::string::npos) << run.output;
}

TEST(VstHost, RefusesBadArguments)
{
    EXPECT_EQ(RunLoop("--blocks 0").exitCode, 2u);
    EXPECT_EQ(RunLoop("--signal square").exitCode, 2u);
    EXPECT_EQ(RunLoop("--set-chunk 0g").exitCode, 2u);
    EXPECT_EQ(RunLoop("--set-chunk 012").exitCode, 2u);
    EXPECT_EQ(RunLoop("--calls sometimes").exitCode, 2u);
    EXPECT_EQ(RunLoop("--swap-chunk 00").exitCode, 2u) << "a swap needs a chunk to swap with";
    EXPECT_EQ(RunLoop("--seconds -1").exitCode, 2u);
    for (const char* params : {"\"\"", "0,,1", "x", "-1", "1=", "1=0.5x", "=0.5", "2147483648"})
    {
        EXPECT_EQ(RunLoop(std::string("--params ") + params).exitCode, 2u) << params;
    }
}

TEST(VstHost, MakesTheParameterCallsWhileTheAudioRunsAndReadsThemAgainAfterIt)
{
    StandinTestConfig config("[Driver]\nPreferredBuffer=256\n");
    const HostRun run = RunLoop("--blocks 400 --block 256 --params 0=0.25,1,0");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    for (const char* line : {"parameter 0 while processing, set 0.25: 0.250000, name \"Level\", display \"0.25\", "
                             "label \"\"\n",
                             "parameter 1 while processing: 0.000000, name \"?\", display \"0.00\", label \"\"\n",
                             "parameter 0 while processing: 0.250000, name \"Level\", display \"0.25\", label \"\"\n",
                             "parameter 0 after the run: 0.250000, name \"Level\", display \"0.25\", label \"\"\n"})
    {
        EXPECT_NE(run.output.find(line), std::string::npos) << line << run.output;
    }
    // The calls come between the first and the last block, not after the audio ended.
    EXPECT_EQ(run.output.find("once processed"), std::string::npos) << run.output;
}

} // namespace
