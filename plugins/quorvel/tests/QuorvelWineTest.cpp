// KivQuorvel end to end in tools/vsthost on the simulated card: instance limit, pass-through
// without a mixer, and (with a pair from the test link) the trip through the card in lock
// step and offline.
#include "plugins/quorvel/tests/QuorvelTrip.h"
#include "plugins/base/vst/VstRecord.h"
#include "standins/asio/StandinTestConfig.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <filesystem>
#include <string>

namespace
{

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : 0;
}

// Two copies of the plug-in file in one host, each with its editor open: each file's framework
// registers its window classes for itself, so neither takes the other's.
TEST(QuorvelInOneHost, TwoCopiesOfTheFileOpenTheirEditorsSideBySide)
{
    ScratchFolder folder("quorvel-copies");
    const std::filesystem::path copy = folder / "KivQuorvelCopy.dll";
    std::filesystem::copy_file(KIV_QUORVEL, copy);
    HMODULE files[2] = {LoadLibraryA(KIV_QUORVEL), LoadLibraryW(copy.wstring().c_str())};
    ASSERT_NE(files[0], nullptr);
    ASSERT_NE(files[1], nullptr);
    ASSERT_NE(files[0], files[1]);
    VstEffectRecord* effects[2] = {};
    HWND parents[2] = {};
    std::string classes[2];
    for (int i = 0; i < 2; ++i)
    {
        using Entry = VstEffectRecord*(KIV_VSTCALL*)(VstHostCallback);
        auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(files[i], "main")));
        ASSERT_NE(entry, nullptr);
        effects[i] = entry(&Host);
        ASSERT_NE(effects[i], nullptr);
        ASSERT_TRUE(effects[i]->flags & kVstFlagHasEditor);
        VstRect* rect = nullptr;
        effects[i]->dispatcher(effects[i], kEffEditGetRect, 0, 0, &rect, 0.0f);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 600);
        EXPECT_EQ(rect->bottom - rect->top, 418);
        parents[i] = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 620 * i, 0, 600, 418, nullptr, nullptr,
                                     nullptr, nullptr);
        EXPECT_EQ(effects[i]->dispatcher(effects[i], kEffEditOpen, 0, 0, parents[i], 0.0f), 1) << i;
        HWND panel = GetWindow(parents[i], GW_CHILD);
        ASSERT_NE(panel, nullptr) << i;
        char name[64] = {};
        GetClassNameA(panel, name, sizeof name);
        classes[i] = name;
        EXPECT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrA(panel, GCLP_HMODULE)), files[i]) << "the file's own class";
    }
    EXPECT_NE(classes[0], classes[1]);
    for (int i = 0; i < 2; ++i)
    {
        effects[i]->dispatcher(effects[i], kEffEditClose, 0, 0, nullptr, 0.0f);
        EXPECT_EQ(GetWindow(parents[i], GW_CHILD), nullptr) << "the panel went with the close";
        effects[i]->dispatcher(effects[i], kEffClose, 0, 0, nullptr, 0.0f);
        DestroyWindow(parents[i]);
    }
    FreeLibrary(files[1]);
    FreeLibrary(files[0]);
}

TEST(QuorvelInVstHost, ThirtyThreeInstancesLoadAndTheThirtyFourthGetsNothing)
{
    const HostRun run = RunHost(KIV_VSTHOST, KIV_QUORVEL, "--instances 34 --blocks 4");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("instances: 33 of 34 made"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("id 0x4B51766C"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("VST version 2300"), std::string::npos) << run.output;
}

TEST(QuorvelInVstHost, WithoutAMixerTheAudioPassesThrough)
{
    for (const char* mode : {"--accumulate", ""})
    {
        const Trip trip = RunTrip(KIV_QUORVEL, mode, 512, 40, 1.0, 0);
        ASSERT_EQ(trip.run.exitCode, 0u) << trip.run.output;
        EXPECT_EQ(trip.reported, 1536) << trip.run.output;
        EXPECT_EQ(trip.measured, 0) << trip.run.output;
        EXPECT_EQ(trip.mismatches, 0) << mode << trip.run.output;
    }
}

TEST(QuorvelInVstHost, WithoutAPairOfflineRenderingNeverStalls)
{
    // The pair is given back at once: the driver stays open without channels.
    const TestPair pair("-1 -1");
    StandinTestConfig config("[Driver]\nPreferredBuffer=512\nGranularity=64\n");
    const DWORD start = GetTickCount();
    const Trip trip = RunTrip(KIV_QUORVEL_SEAM, "--offline", 512, 400, 1.0, 0);
    const DWORD elapsed = GetTickCount() - start;
    ASSERT_EQ(trip.run.exitCode, 0u) << trip.run.output;
    EXPECT_EQ(trip.measured, 0) << trip.run.output;
    EXPECT_EQ(trip.mismatches, 0) << trip.run.output;
    // One 10 s wait would show; 400 blocks of waiting would take more than an hour.
    EXPECT_LT(elapsed, 60000u) << trip.run.output;
}

struct TripCase
{
    const char* name;
    int block;
    const char* driver;     // [Driver] keys beside the manual clock
    int chosen;             // the driver buffer the plug-in picks
    const char* preference; // switched on for the run, or null
    const char* arguments;
    int delay; // reported and measured
};

class QuorvelThroughTheCard : public ::testing::TestWithParam<TripCase>
{
};

TEST_P(QuorvelThroughTheCard, InLockStep)
{
    const TripCase& c = GetParam();
    const TestPair pair("0 0");
    // A loop of two driver buffers, as on the card.
    StandinTestConfig config(std::string("[Driver]\nClock=manual\nLoopGain=0.5\nLoopDelay=") +
                             std::to_string(c.chosen) + "\n" + c.driver);
    std::unique_ptr<Preference> preference(c.preference ? new Preference(c.preference) : nullptr);
    const double gain = 0.5 * 2147418112.0 / 2147483648.0;
    const Trip trip = RunTrip(KIV_QUORVEL_SEAM, std::string("--lockstep ") + c.arguments, c.block, 100, gain,
                              4 * std::max(c.block, c.chosen));
    ASSERT_EQ(trip.run.exitCode, 0u) << trip.run.output;
    EXPECT_EQ(trip.reported, c.delay) << trip.run.output;
    EXPECT_EQ(trip.measured, c.delay) << trip.run.output;
    EXPECT_EQ(trip.mismatches, 0) << trip.run.output;
    EXPECT_EQ(trip.run.output.find("plug-in message"), std::string::npos) << trip.run.output;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, QuorvelThroughTheCard,
    ::testing::Values(TripCase{"blockBelowTheMinimum", 256, "MinBuffer=512\nPreferredBuffer=512\nGranularity=512\n",
                               512, nullptr, "", 1791},
                      TripCase{"preferredLarger", 512, "MinBuffer=256\nPreferredBuffer=1024\nGranularity=256\n", 512,
                               nullptr, "--accumulate", 2047},
                      TripCase{"preferredLargerInCubase", 512, "MinBuffer=256\nPreferredBuffer=1024\nGranularity=256\n",
                               512, nullptr, "--product \"Cubase VST\"", 2048},
                      TripCase{"extraBuffer", 512, "MinBuffer=256\nPreferredBuffer=1024\nGranularity=256\n", 1024,
                               "ExtraBufferEnabled", "", 3583},
                      TripCase{"extraBufferPreferred512", 512, "MinBuffer=256\nPreferredBuffer=512\nGranularity=256\n",
                               1024, "ExtraBufferEnabled", "", 3583},
                      TripCase{"host441", 441, "MinBuffer=64\nPreferredBuffer=256\nGranularity=64\n", 448, nullptr, "",
                               1792}),
    [](const ::testing::TestParamInfo<TripCase>& info) { return std::string(info.param.name); });

TEST(QuorvelInVstHost, OfflineRenderingPacesOnTheDriverAndLosesNothing)
{
    // The driver's own clock at the real period; extra buffering makes the driver buffer two
    // host blocks, so the host must wait every other call, not every call.
    const TestPair pair("0 0");
    StandinTestConfig config("[Driver]\nLoopGain=0.5\nMinBuffer=256\nPreferredBuffer=512\nGranularity=256\n");
    const Preference extra("ExtraBufferEnabled");
    const double gain = 0.5 * 2147418112.0 / 2147483648.0;
    const DWORD start = GetTickCount();
    const Trip trip = RunTrip(KIV_QUORVEL_SEAM, "--offline", 512, 200, gain, 8 * 1024);
    const DWORD elapsed = GetTickCount() - start;
    ASSERT_EQ(trip.run.exitCode, 0u) << trip.run.output;
    // The card's clock does not wait for the host: a host thread starved for longer than the
    // driver's buffering (a loaded machine) loses blocks, and the plug-in must say so. What
    // must never happen is a loss nobody is told of.
    if (trip.run.output.find("plug-in message") == std::string::npos)
    {
        EXPECT_GT(trip.measured, 0) << trip.run.output;
        EXPECT_EQ(trip.mismatches, 0) << "lost without a warning\n" << trip.run.output;
    }
    else
    {
        std::printf("the host fell behind the card's clock; the loss was reported (%d samples off)\n", trip.mismatches);
    }
    // 200 blocks of 512 are 2.3 s of audio: the host was held to the card's pace.
    EXPECT_GE(elapsed, 2000u) << trip.run.output;
}

} // namespace
