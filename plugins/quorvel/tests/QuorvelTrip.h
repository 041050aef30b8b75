#pragma once
// Runs KivQuorvel in tools/vsthost on the simulated card for the end-to-end tests: noise in,
// what came back compared with what was sent, and the settings a run needs meanwhile.
#include "standins/asio/StandinTestConfig.h"
#include "tests/support/ScratchFolder.h"
#include "tools/vsthost/Wav.h"
#include "tools/vsthost/tests/HostRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>

// The pair the test link hands the plug-in, for the runs made meanwhile.
class TestPair
{
public:
    explicit TestPair(const char* pair) { SetEnvironmentVariableA("KIV_QUORVEL_TEST_PAIR", pair); }
    ~TestPair() { SetEnvironmentVariableA("KIV_QUORVEL_TEST_PAIR", nullptr); }
    TestPair(const TestPair&) = delete;
    TestPair& operator=(const TestPair&) = delete;
};

// A preference of the plug-in switched on for the runs made meanwhile.
class Preference
{
public:
    explicit Preference(const char* name) : name_(name)
    {
        const std::string key = std::string(kKey) + name;
        HKEY handle = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) ==
            ERROR_SUCCESS)
        {
            RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("yes"), 4);
            RegCloseKey(handle);
        }
    }
    ~Preference() { RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kKey) + name_).c_str()); }
    Preference(const Preference&) = delete;
    Preference& operator=(const Preference&) = delete;

private:
    static constexpr const char* kKey = "Software\\Halvorn Professional\\KIV Quorvel\\";
    std::string name_;
};

inline StereoSignal Noise(int frames)
{
    StereoSignal sent;
    sent.sampleRate = 44100;
    sent.left.resize(static_cast<size_t>(frames));
    sent.right.resize(sent.left.size());
    uint32_t seed = 11;
    for (size_t i = 0; i < sent.left.size(); ++i)
    {
        seed = seed * 1103515245u + 12345u;
        sent.left[i] = static_cast<float>(seed >> 9) / 8388608.0f - 0.5f;
        sent.right[i] = -0.5f * sent.left[i];
    }
    return sent;
}

struct Trip
{
    HostRun run;
    int reported = -1;
    int measured = -1;
    int mismatches = 0; // samples after the start that did not come back as sent, scaled
};

// Sends `sent` through the plug-in in blocks of `block` frames; what came back in `returned`.
inline HostRun RunSignal(const char* plugin, const std::string& arguments, int block, const StereoSignal& sent,
                         StereoSignal* returned)
{
    const ScratchFolder folder("kiv-quorvel-trip");
    const std::string input = (folder / "in.wav").string();
    const std::string output = (folder / "out.wav").string();
    EXPECT_TRUE(WriteWav(input, sent));
    const HostRun run = RunHost(KIV_VSTHOST, plugin,
                                arguments + " --block " + std::to_string(block) + " --input \"" + input +
                                    "\" --output \"" + output + "\"");
    std::string error;
    if (!ReadWav(output, returned, &error))
    {
        returned->left.clear();
        returned->right.clear();
    }
    return run;
}

// Sends noise through the plug-in and compares what came back, `settle` samples after the
// measured delay, with what was sent, scaled by `gain`.
inline Trip RunTrip(const char* plugin, const std::string& arguments, int block, int blocks, double gain, int settle)
{
    Trip trip;
    const StereoSignal sent = Noise(block * blocks);
    StereoSignal returned;
    trip.run = RunSignal(plugin, arguments, block, sent, &returned);
    trip.reported = Reported(trip.run.output, "reported initial delay: ");
    trip.measured = Reported(trip.run.output, "measured delay: ");
    if (returned.left.size() != sent.left.size() || trip.measured < 0)
    {
        trip.mismatches = -1;
        return trip;
    }
    const size_t delay = static_cast<size_t>(trip.measured);
    for (size_t t = delay + static_cast<size_t>(settle); t < returned.left.size(); ++t)
    {
        if (std::fabs(returned.left[t] - gain * sent.left[t - delay]) > 1e-6 ||
            std::fabs(returned.right[t] - gain * sent.right[t - delay]) > 1e-6)
        {
            ++trip.mismatches;
        }
    }
    return trip;
}

// Noise in lock step through an instance that runs on the simulated card's loop of 512 samples
// at half gain, compared with what was sent once the loop has settled.
inline Trip RunTripThroughTheCard(const char* plugin)
{
    StandinTestConfig config("[Driver]\nClock=manual\nLoopGain=0.5\nLoopDelay=512\nMinBuffer=512\n"
                             "PreferredBuffer=512\nGranularity=512\n");
    const double gain = 0.5 * 2147418112.0 / 2147483648.0;
    return RunTrip(plugin, "--lockstep", 256, 100, gain, 4 * 512);
}
