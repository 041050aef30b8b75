// The routing plug-in on the simulated card: in this process through COM, and end to end as
// Ravlo.dll in tools/vsthost.
#include "plugins/base/asio/AsioSystem.h"
#include "plugins/ravlo/RavloEffect.h"
#include "plugins/ravlo/RavloSystem.h"
#include "standins/asio/StandinTestConfig.h"
#include "tools/vsthost/tests/HostRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

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
    const char* calls; // how vsthost cuts the blocks into calls
    int seconds;
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
    // heard at the next and captured for the one after. The card steps in lock step with the
    // host, as fast as the machine runs.
    StandinTestConfig config(std::string("[Driver]\nClock=manual\nLoopGain=0.5\nLoopDelay=") +
                             std::to_string(c.chosen) + "\n" + c.driver);
    const HostRun run =
        RunHost(KIV_VSTHOST, KIV_RAVLO,
                "--lockstep --accumulate --signal noise --block " + std::to_string(c.block) + " --seconds " +
                    std::to_string(c.seconds) + " --calls " + c.calls + " --set-chunk " + PairChunk(0, 0));
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("chunk set: 72 bytes taken"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("id 0x4B52766C"), std::string::npos) << run.output;
    const int reported = Reported(run.output, "reported initial delay: ");
    EXPECT_EQ(reported, 3 * c.chosen + c.block) << run.output;
    EXPECT_EQ(Reported(run.output, "measured delay: "), reported) << run.output;
    EXPECT_EQ(Reported(run.output, "measured delay at the end: "), reported) << run.output;
    // From the first sample that comes back on, every one is the sent one, scaled by the loop.
    EXPECT_NE(run.output.find("(gain 0.49998"), std::string::npos) << run.output;
    EXPECT_EQ(Reported(run.output, "samples off the delay: "), 0) << run.output;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RavloThroughTheCard,
    ::testing::Values(RouteCase{"same", 256, "whole", 2, "MinBuffer=64\nPreferredBuffer=256\nGranularity=32\n", 256},
                      RouteCase{"enlarged", 64, "uneven", 2, "MinBuffer=256\nPreferredBuffer=256\nGranularity=64\n",
                                256},
                      RouteCase{"offStep", 96, "primes", 2, "MinBuffer=64\nPreferredBuffer=256\nGranularity=64\n", 192},
                      RouteCase{"host441", 441, "whole", 30, "", 448},
                      RouteCase{"host1000", 1000, "whole", 30, "", 1024},
                      RouteCase{"host512OneIn21Shorter", 512, "shorter", 30, "", 512},
                      RouteCase{"host441Uneven", 441, "uneven", 30, "", 448},
                      RouteCase{"host4096Changing", 4096, "changing", 10, "", 2048}),
    [](const ::testing::TestParamInfo<RouteCase>& info) { return std::string(info.param.name); });

TEST(RavloInTheHost, PairsChangeWhileTheCardRunsOnItsOwnClock)
{
    // The card switches on its own thread in real time while vsthost processes and, from its
    // other thread, hands Ravlo other pairs and back every 20 ms: no hang, no crash.
    StandinTestConfig config("[Driver]\nPreferredBuffer=256\n");
    const HostRun run = RunHost(KIV_VSTHOST, KIV_RAVLO,
                                "--accumulate --signal noise --block 256 --seconds 2 --calls uneven --set-chunk " +
                                    PairChunk(0, 0) + " --swap-chunk " + PairChunk(1, 2));
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    // There and back at least once while audio ran; a loaded machine gets fewer swaps in.
    EXPECT_GE(Reported(run.output, "chunks swapped while processing: "), 2) << run.output;
}

TEST(RavloInTheHost, AnOfflineBounceRightAfterSetUpIsNotSilent)
{
    // The card on its own clock; the host renders offline at once. Each call waits for the
    // driver: the bounce carries the signal at the reported delay.
    StandinTestConfig config("[Driver]\nPreferredBuffer=256\nGranularity=32\nLoopDelay=256\nLoopGain=0.5\n");
    // The card's clock does not wait for the host: a host thread starved for longer than the
    // driver's buffering (a loaded machine) loses blocks on the way, which shifts the delay
    // for the rest of the bounce. Such a run is tried again; a fault fails every try.
    constexpr int kTries = 3;
    for (int attempt = 1; attempt <= kTries; ++attempt)
    {
        const HostRun run =
            RunHost(KIV_VSTHOST, KIV_RAVLO,
                    "--offline --accumulate --signal noise --block 256 --seconds 3 --set-chunk " + PairChunk(0, 0));
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        const int reported = Reported(run.output, "reported initial delay: ");
        const int measured = Reported(run.output, "measured delay: ");
        const int off = Reported(run.output, "samples off the delay: ");
        if (measured == reported && off == 0)
            return;
        std::printf("try %d: delay %d of %d reported, %d samples off (the host fell behind the card's clock)\n",
                    attempt, measured, reported, off);
        if (attempt == kTries)
            ADD_FAILURE() << "the bounce did not carry the signal at the reported delay in any try\n" << run.output;
    }
}

// ---------------------------------------------------------------- in this process

std::atomic<int32_t> gProcessLevel{kVstProcessLevelRealtime};

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : opcode == kHostGetCurrentProcessLevel ? gProcessLevel.load() : 0;
}

// The system's own objects and texts; boxes are recorded instead of shown.
class RecordingAsio final : public AsioSystem
{
public:
    std::vector<std::string> messages;
    HRESULT CreateObject(const GUID& id, void** object) override { return Default().CreateObject(id, object); }
    std::string LoadText(int id) override { return Default().LoadText(id); }
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        messages.push_back(text + "|" + caption);
    }
};

class RecordingRavlo final : public RavloSystem
{
public:
    std::vector<std::string> boxes;
    bool ReadSetting(const char* name, uint32_t* value) override { return Default().ReadSetting(name, value); }
    void ShowInformation(const char* text, const char* caption) override
    {
        boxes.push_back(std::string(text) + "|" + caption);
    }
};

class RavloOnTheCard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        AsioSystem::Use(&asio_);
        RavloSystem::Use(&ravlo_);
        gProcessLevel = kVstProcessLevelRealtime;
    }
    void TearDown() override
    {
        effects_.clear();
        RavloSystem::Use(nullptr);
        AsioSystem::Use(nullptr);
        CoUninitialize();
    }
    RavloEffect* Make()
    {
        effects_.push_back(std::make_unique<RavloEffect>(&Host));
        return effects_.back().get();
    }
    static std::string Log()
    {
        std::vector<char> text(1 << 16);
        StandinControl<StandinAsioCallLogProc>("StandinAsioCallLog")(text.data(), static_cast<int32_t>(text.size()));
        return text.data();
    }
    static void ClearLog() { StandinControl<StandinAsioClearLogProc>("StandinAsioClearLog")(); }

    RecordingAsio asio_;
    RecordingRavlo ravlo_;
    std::vector<std::unique_ptr<RavloEffect>> effects_;
};

TEST_F(RavloOnTheCard, TheNinthInstanceIsInert)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    for (int i = 0; i < 8; ++i)
    {
        ASSERT_NE(Make()->GetLink(), nullptr);
        EXPECT_TRUE(effects_.back()->GetLink()->IsOpen()) << i;
    }
    RavloEffect* ninth = Make();
    EXPECT_EQ(ninth->GetLink(), nullptr);
    EXPECT_EQ(ninth->GetRecord()->inputCount, 1);
    EXPECT_EQ(ninth->GetRecord()->outputCount, 2);
    EXPECT_EQ(ninth->GetRecord()->flags, 0);
    EXPECT_TRUE(asio_.messages.empty());
}

TEST_F(RavloOnTheCard, AnOutputPairHeldByAnotherInstanceIsRefused)
{
    StandinTestConfig config("[Driver]\nClock=manual\nPreferredBuffer=256\n");
    RavloEffect* first = Make();
    first->setBlockSize(256);
    first->SetInputPair(0);
    first->SetOutputPair(1);
    ASSERT_TRUE(first->GetLink()->IsRunning());
    RavloEffect* second = Make();
    second->setBlockSize(256);
    second->SetInputPair(0);
    ClearLog();
    second->SetOutputPair(1);
    ASSERT_EQ(asio_.messages.size(), 1u);
    EXPECT_EQ(asio_.messages[0], "An error occurred while opening the ASIO device.|Ravlo");
    EXPECT_EQ(second->GetLink()->GetErrorState(), AsioLink::kOpenFailed);
    // The refused instance falls back to buffers without channels and has no stream.
    EXPECT_NE(Log().find("createBuffers 0 256"), std::string::npos) << Log();
    EXPECT_EQ(second->GetStream().Peek(), nullptr);
    // Another output pair is free.
    asio_.messages.clear();
    second->SetOutputPair(2);
    EXPECT_TRUE(asio_.messages.empty());
    EXPECT_TRUE(second->GetLink()->IsRunning());
}

TEST_F(RavloOnTheCard, RenamedChannelsAreToldOnceAndPairsBeyondTheCardAreRefused)
{
    StandinTestConfig config("[Driver]\nClock=manual\nOutputName0=Main L\nInputName2=Mix L\n");
    RavloEffect* effect = Make();
    effect->setBlockSize(256);
    std::vector<unsigned char> chunk(72, 0);
    const int32_t pairs[] = {1, 0};
    std::memcpy(chunk.data(), pairs, 8);
    std::memcpy(chunk.data() + 8, "Mix L", 5);
    std::memcpy(chunk.data() + 40, "Main L", 6);
    EXPECT_EQ(effect->setChunk(chunk.data(), 72, false), 72);
    EXPECT_TRUE(ravlo_.boxes.empty());
    EXPECT_TRUE(effect->GetLink()->IsRunning());
    std::memcpy(chunk.data() + 8, "Old L", 5);
    std::memcpy(chunk.data() + 40, "Old M", 5);
    EXPECT_EQ(effect->setChunk(chunk.data(), 72, false), 72);
    ASSERT_EQ(ravlo_.boxes.size(), 1u);
    EXPECT_EQ(ravlo_.boxes[0], "The channel names have changed.|Ravlo");
    // A pair past the card's channels: the driver refuses it and the index stays stored.
    const int32_t beyond[] = {0x40000000, 0x40000000};
    std::memcpy(chunk.data(), beyond, 8);
    EXPECT_EQ(effect->setChunk(chunk.data(), 72, false), 72);
    EXPECT_EQ(asio_.messages.size(), 1u);
    EXPECT_EQ(effect->GetInputPair(), 0x40000000);
    EXPECT_FALSE(effect->GetLink()->IsRunning() && effect->GetStream().Peek());
}

TEST_F(RavloOnTheCard, AResetRequestFromTheDriverIsActedOnAtTheNextResume)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    RavloEffect* effect = Make();
    effect->setBlockSize(256);
    effect->SetInputPair(0);
    effect->SetOutputPair(0);
    ClearLog();
    EXPECT_EQ(StandinControl<StandinAsioRequestResetProc>("StandinAsioRequestReset")(), 1);
    EXPECT_TRUE(effect->IsResetRequested());
    EXPECT_EQ(Log().find("init"), std::string::npos) << "nothing happens on the driver's thread";
    effect->resume();
    EXPECT_FALSE(effect->IsResetRequested());
    const std::string log = Log();
    EXPECT_NE(log.find("init"), std::string::npos) << log;
    EXPECT_NE(log.find("createBuffers 4 256"), std::string::npos) << log;
    EXPECT_NE(log.find("start"), std::string::npos) << log;
}

TEST_F(RavloOnTheCard, OfflineRenderingPacesOnTheDriversSwitches)
{
    // The driver's own clock at the real period: 256 frames at 44.1 kHz is about 5.8 ms.
    StandinTestConfig config("[Driver]\nMinBuffer=256\nPreferredBuffer=256\nGranularity=64\nLoopGain=1\n");
    RavloEffect* effect = Make();
    effect->SetInputPair(0);
    effect->SetOutputPair(0);
    effect->setBlockSize(64);
    effect->resume();
    std::vector<float> left(64), right(64);
    float* io[] = {left.data(), right.data()};
    // Wait for the driver to be seen, in real time.
    for (int i = 0; i < 200 && !(effect->GetStream().Peek() && effect->GetStream().Peek()->SwitchSeen()); ++i)
    {
        Sleep(5);
    }
    gProcessLevel = kVstProcessLevelOffline;
    int32_t switches = 0, ready = 0;
    StandinControl<StandinAsioCountersProc>("StandinAsioCounters")(&switches, &ready);
    const int32_t before = switches;
    const DWORD start = GetTickCount();
    for (int call = 0; call < 400; ++call)
    {
        effect->process(io, io, 64);
    }
    const DWORD elapsed = GetTickCount() - start;
    StandinControl<StandinAsioCountersProc>("StandinAsioCounters")(&switches, &ready);
    // 400 calls of 64 frames are 100 driver buffers: the host waits for about that many
    // switches, not for one per call (400). The switch count tells; the time only shows the
    // calls were held to the card's pace (no upper bound: a loaded machine runs slower).
    EXPECT_GE(switches - before, 95);
    EXPECT_LT(switches - before, 200);
    EXPECT_GE(elapsed, 400u) << "held to the card's pace";
    effect->suspend();
}

// Whether the calling thread has COM, answered without changing that.
bool ThreadHasCom()
{
    const HRESULT probe = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(probe))
    {
        CoUninitialize();
    }
    return probe != S_OK;
}

TEST(RavloWithoutCom, FindsTheCardOnAThreadWithoutComAndLeavesApartmentsAsTheyWere)
{
    // Made on a thread of a host that never set up COM, the driver opens, audio passes and
    // the thread is left without COM. A thread of the multithreaded apartment stays in it
    // (there the driver, an apartment object, cannot be reached directly, as for any client).
    StandinTestConfig config("[Driver]\nClock=manual\nMinBuffer=64\nPreferredBuffer=256\nLoopDelay=256\n");
    RecordingAsio asio;
    AsioSystem::Use(&asio);
    for (const bool multithreaded : {false, true})
    {
        bool opened = false, returned = false, comBefore = true, comAfter = true;
        HRESULT apartment = S_OK;
        std::thread host([&] {
            if (multithreaded)
            {
                CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            }
            comBefore = ThreadHasCom();
            {
                RavloEffect effect(&Host);
                effect.setBlockSize(256);
                effect.SetInputPair(0);
                effect.SetOutputPair(0);
                effect.resume();
                opened = effect.GetLink()->IsRunning() && effect.GetLink()->GetErrorState() == AsioLink::kNoError;
                std::vector<float> left(256, 0.25f), right(256, 0.25f), outLeft(256), outRight(256);
                float* inputs[] = {left.data(), right.data()};
                float* outputs[] = {outLeft.data(), outRight.data()};
                const auto step = StandinControl<StandinAsioStepFramesProc>("StandinAsioStepFrames");
                for (int call = 0; call < 20 && step; ++call)
                {
                    std::fill(outLeft.begin(), outLeft.end(), 0.0f);
                    effect.process(inputs, outputs, 256);
                    step(256);
                    returned = returned || outLeft[255] != 0.0f;
                }
            }
            comAfter = ThreadHasCom();
            // Still in the apartment the host chose.
            apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            if (SUCCEEDED(apartment))
            {
                CoUninitialize();
            }
            if (multithreaded)
            {
                CoUninitialize();
            }
        });
        host.join();
        EXPECT_EQ(opened, !multithreaded);
        EXPECT_EQ(returned, !multithreaded);
        EXPECT_EQ(comBefore, multithreaded);
        EXPECT_EQ(comAfter, multithreaded);
        EXPECT_EQ(apartment, multithreaded ? RPC_E_CHANGED_MODE : S_OK);
    }
    AsioSystem::Use(nullptr);
}

TEST(RavloSettings, ReadOnly32BitValuesOfTheMachineKey)
{
    const char* key = "Software\\Halvorn Professional\\VST\\Ravlo";
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const DWORD amount = 1000;
    RegSetValueExA(handle, "Delay Amount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&amount), sizeof(amount));
    RegSetValueExA(handle, "Set Initial Delay", 0, REG_SZ, reinterpret_cast<const BYTE*>("0"), 2);
    RegCloseKey(handle);
    uint32_t value = 0;
    EXPECT_TRUE(RavloSystem::Default().ReadSetting("Delay Amount", &value));
    EXPECT_EQ(value, 1000u);
    EXPECT_FALSE(RavloSystem::Default().ReadSetting("Set Initial Delay", &value)) << "text is no 32-bit value";
    EXPECT_FALSE(RavloSystem::Default().ReadSetting("Missing", &value));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    EXPECT_FALSE(RavloSystem::Default().ReadSetting("Delay Amount", &value));
}

} // namespace
