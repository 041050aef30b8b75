// The effects plug-in on a fake driver: instances, pass-through, host modes and preferences,
// the audio path through a pair, the render warning, and the parameter path to the host.
#include "framework/platform/RegistryImpl.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/tests/MemoryRegistryBackend.h"
#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/asio/tests/FakeAsio.h"
#include "plugins/base/asio/tests/FakeCard.h"
#include "plugins/base/asio/tests/HeldCallClock.h"
#include "plugins/quorvel/KivQuorvelEffect.h"
#include "plugins/quorvel/StateChunk.h"
#include "plugins/quorvel/InsertChain.h"
#include "plugins/quorvel/tests/FakeChain.h"
#include "plugins/quorvel/tests/FakeLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <future>
#include <limits>
#include <mutex>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr GUID kDriver = {0x51515151, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8}};

struct Automation
{
    int32_t index;
    float value;
};

std::string gProduct;
std::atomic<int32_t> gProcessLevel{kVstProcessLevelRealtime};
std::vector<Automation> gAutomations;

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t index, VstValue, void* pointer, float option)
{
    switch (opcode)
    {
    case kHostVersion:
        return 2400;
    case kHostGetProductString:
        std::strcpy(static_cast<char*>(pointer), gProduct.c_str());
        return 1;
    case kHostGetCurrentProcessLevel:
        return gProcessLevel.load();
    case kHostAutomate:
        gAutomations.push_back({index, option});
        return 0;
    default:
        return 0;
    }
}

void SetPair(const char* pair)
{
    if (pair)
    {
        setenv("KIV_QUORVEL_TEST_PAIR", pair, 1);
    }
    else
    {
        unsetenv("KIV_QUORVEL_TEST_PAIR");
    }
}

class KivQuorvelEffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegistryImpl::SetBackend(&registry_);
        system_.objects[FakeSystem::Key(kDeviceEnumeratorId)] = &enumerator_;
        system_.objects[FakeSystem::Key(kDriver)] = &driver_;
        enumerator_.devices = {{kDriver, kKivVendorId, kKivDeviceIds[0], kKivSubsystemPattern | 0x00010000}};
        driver_.minimumSize = 64;
        driver_.preferredSize = 256;
        driver_.granularity = 64;
        AsioSystem::Use(&system_);
        gProduct = "KIV test host";
        gProcessLevel = kVstProcessLevelRealtime;
        gAutomations.clear();
        SetPair(nullptr);
    }
    void TearDown() override
    {
        effects_.clear();
        SetPair(nullptr);
        AsioSystem::Use(nullptr);
        RegistryImpl::SetBackend(nullptr);
    }
    KivQuorvelEffect* Make()
    {
        effects_.push_back(std::make_unique<KivQuorvelEffect>(&Host));
        return effects_.back().get();
    }
    void Prefer(const char* name, bool on)
    {
        RegistryKey key;
        ASSERT_TRUE(key.Open("HKEY_CURRENT_USER", u"Software\\Halvorn Professional\\KIV Quorvel\\", 1));
        const std::u16string wide(name, name + std::strlen(name));
        key.WriteBool(wide.c_str(), on ? 1 : 0);
    }
    // One buffer switch of the driver, as its thread would run it.
    void Switch(int32_t index) { driver_.callbacks.bufferSwitch(index, 1); }

    MemoryRegistryBackend registry_;
    FakeSystem system_;
    FakeEnumerator enumerator_;
    FakeDriver driver_;
    std::vector<std::unique_ptr<KivQuorvelEffect>> effects_;
};

TEST_F(KivQuorvelEffectTest, ThirtyThreeInstancesAndNoMore)
{
    for (int32_t i = 0; i < KivQuorvelEffect::kMaxInstances; ++i)
    {
        ASSERT_FALSE(Make()->Failed()) << i;
        EXPECT_EQ(effects_.back()->GetInstanceIndex(), i);
    }
    EXPECT_TRUE(Make()->Failed());
    effects_.pop_back();
    EXPECT_EQ(PluginModule::LiveCount(), 33) << "the refused instance leaves the count as it was";
    effects_.erase(effects_.begin() + 5);
    EXPECT_FALSE(Make()->Failed()) << "a freed place is taken again";
}

TEST_F(KivQuorvelEffectTest, WithoutAPairTheInputPassesThrough)
{
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(512);
    EXPECT_EQ(effect->GetRecord()->initialDelay, 1536);
    effect->setBlockSize(0);
    EXPECT_EQ(effect->GetRecord()->initialDelay, 1536) << "a block of 0 changes nothing";
    EXPECT_TRUE(driver_.calls.empty()) << "without a pair the driver is not opened";
    effect->resume();
    std::vector<float> left(64, 0.25f), right(64, -0.5f), outLeft(64, 1.0f), outRight(64, 1.0f);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect->process(inputs, outputs, 64);
    EXPECT_EQ(outLeft[10], 1.25f) << "accumulating adds";
    EXPECT_EQ(outRight[63], 0.5f);
    effect->processReplacing(inputs, outputs, 64);
    EXPECT_EQ(outLeft[10], 0.25f) << "replacing copies";
    EXPECT_EQ(outRight[63], -0.5f);
}

TEST_F(KivQuorvelEffectTest, HostModesAndPreferences)
{
    SetPair("1 2");
    driver_.preferredSize = 1024;
    driver_.minimumSize = 256;
    driver_.granularity = 256;
    gProduct = "Cubase VST";
    KivQuorvelEffect* cubase = Make();
    cubase->setBlockSize(512);
    EXPECT_EQ(cubase->GetHostMode(), kHostModeCubase);
    EXPECT_EQ(cubase->GetRecord()->initialDelay, 2048) << "a host block more";
    effects_.clear();

    gProduct = "Cubase VST 5";
    Prefer("ExtraBufferEnabled", true);
    KivQuorvelEffect* extra = Make();
    extra->setBlockSize(512);
    EXPECT_EQ(extra->GetHostMode(), kHostModeNormal);
    EXPECT_EQ(extra->GetBuffers().frames, 1024);
    EXPECT_EQ(extra->GetRecord()->initialDelay, 3583) << "three buffers and a block less a sample";
    effects_.clear();

    Prefer("ExtraBufferEnabled", false);
    Prefer("RenderModeEnabled", true);
    gProduct = "Cubase VST";
    KivQuorvelEffect* render = Make();
    render->setBlockSize(512);
    EXPECT_EQ(render->GetHostMode(), kHostModeRender) << "render mode wins";
    EXPECT_EQ(render->GetBuffers().streamSize, 512);
}

TEST_F(KivQuorvelEffectTest, APairRunsThroughTheDriversChannels)
{
    SetPair("1 2");
    KivQuorvelEffect* effect = Make();
    // Before the host's block size the driver is open without channels.
    EXPECT_NE(std::find(driver_.calls.begin(), driver_.calls.end(), "createBuffers 0 256"), driver_.calls.end());
    EXPECT_EQ(std::find(driver_.calls.begin(), driver_.calls.end(), "start"), driver_.calls.end());
    EXPECT_EQ(effect->GetStream().Peek(), nullptr);
    effect->setBlockSize(256);
    EXPECT_EQ(effect->GetSendPair(), 1);
    EXPECT_EQ(effect->GetReturnPair(), 2);
    ASSERT_TRUE(effect->GetLink()->IsRunning());
    const std::vector<std::string>& calls = driver_.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "getChannelInfo out 2"), calls.end()) << "send pair 1";
    EXPECT_NE(std::find(calls.begin(), calls.end(), "getChannelInfo in 4"), calls.end()) << "return pair 2";
    EXPECT_NE(std::find(calls.begin(), calls.end(), "createBuffers 4 256"), calls.end());
    effect->resume();

    // Replacing with nothing captured yet: the host's output is all zeros.
    std::vector<float> in(256, 0.5f), out(256, 7.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    effect->processReplacing(inputs, outputs, 256);
    EXPECT_EQ(out[0], 0.0f);
    Switch(0);
    std::fill(out.begin(), out.end(), 7.0f);
    effect->processReplacing(inputs, outputs, 256);
    EXPECT_EQ(out[100], 0.0f);
    std::fill(out.begin(), out.end(), 7.0f);
    effect->process(inputs, outputs, 256);
    EXPECT_EQ(out[100], 7.0f) << "accumulating adds what came back (silence)";

    // The pair is given back: the audio passes through again and offline never waits.
    SetPair("-1 -1");
    effect->RequestReconnect();
    EXPECT_EQ(effect->GetStream().Peek(), nullptr);
    gProcessLevel = kVstProcessLevelOffline;
    for (int i = 0; i < 20; ++i)
    {
        effect->processReplacing(inputs, outputs, 256);
    }
    EXPECT_EQ(out[100], 0.5f);
    EXPECT_TRUE(system_.messages.empty());
}

// On the card a switch that is under way when the driver is told to stop ends before the stop
// returns. However the pair goes (given back, exchanged for another, or with the instance),
// that last switch must still find the stream it was started with alive; the sanitizers of the
// native builds report one that was freed before the driver stopped.
TEST_F(KivQuorvelEffectTest, TheDriversLastSwitchFindsItsStreamHoweverThePairGoes)
{
    struct Case
    {
        const char* trace;
        const char* nextPair; // null: the instance ends
    };
    for (const Case& c :
         {Case{"the pair given back", "-1 -1"}, Case{"another pair", "3 0"}, Case{"the instance ends", nullptr}})
    {
        SCOPED_TRACE(c.trace);
        SetPair("1 2");
        KivQuorvelEffect* effect = Make();
        effect->setBlockSize(256);
        effect->resume();
        ASSERT_NE(effect->GetStream().Peek(), nullptr);
        std::vector<float> in(256, 0.5f), out(256, 0.0f);
        float* inputs[] = {in.data(), in.data()};
        float* outputs[] = {out.data(), out.data()};
        Switch(0);
        effect->processReplacing(inputs, outputs, 256);

        std::atomic<int> lastSwitches{0};
        driver_.duringStop = [&] {
            Switch(1);
            ++lastSwitches;
        };
        if (c.nextPair)
        {
            SetPair(c.nextPair);
            effect->RequestReconnect();
        }
        else
        {
            effects_.clear();
        }
        driver_.duringStop = nullptr;
        EXPECT_EQ(lastSwitches.load(), 1);
        effects_.clear();
    }
}

// An offline run in which samples do not come back by their time (here the card stops
// switching while the host renders on, its waits given up) has a gap: the render warning,
// once per run. A host and card that keep pace lose nothing and get none, in real time nothing
// is told.
TEST_F(KivQuorvelEffectTest, TheRenderWarningShowsOncePerOfflineRunThatLostSamples)
{
    SetPair("0 0");
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(256);
    effect->resume();
    ASSERT_EQ(effect->GetBuffers().frames, 256);
    AudioStream* stream = effect->GetStream().Peek();
    ASSERT_NE(stream, nullptr);
    // Every wait for a switch answers at once: the test brings the switches itself.
    stream->StopWaits();
    std::vector<float> in(256, 0.5f), out(256, 0.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    Switch(0);
    int32_t index = 1;
    // A switch for every block the host writes.
    const auto keepPace = [&](int calls) {
        for (int call = 0; call < calls; ++call)
        {
            effect->process(inputs, outputs, 256);
            Switch(index++ % 2);
        }
    };
    const auto cardStops = [&] {
        for (int call = 0; call < 12; ++call)
        {
            effect->process(inputs, outputs, 256);
        }
    };
    keepPace(10);
    cardStops();
    keepPace(10);
    EXPECT_TRUE(system_.messages.empty()) << "in real time nothing is told";
    for (size_t run = 1; run <= 2; ++run)
    {
        SCOPED_TRACE("run " + std::to_string(run));
        gProcessLevel = kVstProcessLevelOffline;
        keepPace(40);
        EXPECT_EQ(system_.messages.size(), run - 1) << "nothing lost";
        for (int gap = 0; gap < 2; ++gap)
        {
            cardStops();
            keepPace(20);
            EXPECT_EQ(system_.messages.size(), run) << "gap " << gap << ": once per run";
        }
        gProcessLevel = kVstProcessLevelRealtime;
        keepPace(1);
    }
    ASSERT_FALSE(system_.messages.empty());
    EXPECT_EQ(system_.messages.back(), "text 5|text 4");
}

// The simulated card's loop on the fake driver: input channel k hears output channel k, scaled
// by the gain, bufferSize + delay samples after it was played; a switch runs for every whole
// buffer of time that passes (the host steps it after each block).
class LoopCard
{
public:
    LoopCard(FakeDriver& driver, int32_t delay) : driver_(driver), delay_(delay) {}

    void Step(int32_t frames)
    {
        pending_ += frames;
        while (pending_ >= Size())
        {
            pending_ -= Size();
            Switch();
        }
    }

private:
    // Four buffers (two outputs, two inputs) of two halves each.
    int32_t Size() const { return static_cast<int32_t>(driver_.memory.size() / 8); }
    int32_t* Half(int32_t buffer, int32_t half)
    {
        return &driver_.memory[static_cast<size_t>((2 * buffer + half) * Size())];
    }
    void Switch()
    {
        const int32_t size = Size();
        if (loops_[0].empty())
        {
            for (auto& loop : loops_)
            {
                loop.assign(static_cast<size_t>(size + delay_), 0);
            }
        }
        for (int32_t c = 0; c < 2; ++c)
        {
            std::vector<int32_t>& loop = loops_[c];
            for (int32_t i = 0; i < size; ++i)
            {
                Half(2 + c, half_)[i] =
                    static_cast<int32_t>(std::lround(0.5 * loop[(oldest_ + static_cast<size_t>(i)) % loop.size()]));
            }
        }
        driver_.callbacks.bufferSwitch(half_, 1);
        for (int32_t c = 0; c < 2; ++c)
        {
            std::vector<int32_t>& loop = loops_[c];
            for (int32_t i = 0; i < size; ++i)
            {
                loop[(oldest_ + static_cast<size_t>(i)) % loop.size()] = Half(c, half_)[i];
            }
        }
        oldest_ = (oldest_ + static_cast<size_t>(size)) % loops_[0].size();
        half_ ^= 1;
    }

    FakeDriver& driver_;
    int32_t delay_;
    int32_t pending_ = 0;
    int32_t half_ = 0;
    size_t oldest_ = 0;
    std::vector<int32_t> loops_[2];
};

// How a host cuts its calls: the length of call number `call` for host block `block`.
using TripCalls = int32_t (*)(int call, int32_t block, uint32_t* seed);

int32_t WholeCalls(int, int32_t block, uint32_t*)
{
    return block;
}
int32_t UnevenCalls(int, int32_t block, uint32_t* seed)
{
    *seed = *seed * 1103515245u + 12345u;
    return 1 + static_cast<int32_t>((*seed >> 8) % static_cast<uint32_t>(block));
}
int32_t OneIn21ShorterCalls(int call, int32_t block, uint32_t*)
{
    return call % 21 == 20 ? block * 11 / 16 : block;
}
int32_t SplitCalls(int call, int32_t block, uint32_t*)
{
    return call % 2 == 0 ? block * 11 / 16 : block - block * 11 / 16;
}

struct TripCase
{
    const char* name;
    int32_t block;
    int32_t minimum, maximum, granularity, preferred;
    const char* preference; // switched on, or null
    const char* product;
    TripCalls calls;
    int32_t reported;
};

class QuorvelTrip : public KivQuorvelEffectTest, public ::testing::WithParamInterface<TripCase>
{
};

// Lock step at the sizes that matter: the delay the host is told is the delay measured, and
// from the first sample back on every one is the sample sent that much earlier.
TEST_P(QuorvelTrip, ReportedAndMeasuredDelay)
{
    const TripCase& c = GetParam();
    SetPair("0 0");
    driver_.minimumSize = c.minimum;
    driver_.maximumSize = c.maximum;
    driver_.granularity = c.granularity;
    driver_.preferredSize = c.preferred;
    gProduct = c.product;
    if (c.preference)
    {
        Prefer(c.preference, true);
    }
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(c.block);
    effect->resume();
    ASSERT_NE(effect->GetStream().Peek(), nullptr);
    LoopCard card(driver_, effect->GetBuffers().frames);
    const size_t total = static_cast<size_t>(std::max(200 * c.block, 40 * effect->GetBuffers().frames));
    std::vector<float> sent(total), back(total), right(total), rightBack(total);
    uint32_t seed = 3;
    for (size_t i = 0; i < total; ++i)
    {
        seed = seed * 1103515245u + 12345u;
        sent[i] = static_cast<float>(seed >> 9) / 8388608.0f - 0.5f;
        right[i] = -0.5f * sent[i];
    }
    uint32_t callSeed = 11;
    for (size_t at = 0, call = 0; at < total; ++call)
    {
        const int32_t n =
            std::min<int32_t>(c.calls(static_cast<int>(call), c.block, &callSeed), static_cast<int32_t>(total - at));
        float* inputs[] = {&sent[at], &right[at]};
        float* outputs[] = {&back[at], &rightBack[at]};
        effect->processReplacing(inputs, outputs, n);
        card.Step(n);
        at += static_cast<size_t>(n);
    }
    const int32_t reported = effect->GetRecord()->initialDelay;
    EXPECT_EQ(reported, c.reported);
    // What the host sent before the driver's first switch is not carried (the stream starts
    // then).
    size_t first = 0;
    while (first < total && back[first] == 0.0f)
    {
        ++first;
    }
    ASSERT_LT(first, total) << "nothing came back";
    EXPECT_GE(first, static_cast<size_t>(reported));
    const double gain = 0.5 * 2147418112.0 / 2147483648.0;
    size_t wrong = 0, firstWrong = 0;
    for (size_t t = first; t < total; ++t)
    {
        const size_t from = t - static_cast<size_t>(reported);
        if ((std::fabs(back[t] - gain * sent[from]) > 1e-6 || std::fabs(rightBack[t] - gain * right[from]) > 1e-6) &&
            wrong++ == 0)
        {
            firstWrong = t;
        }
    }
    EXPECT_EQ(wrong, 0u) << "first at sample " << firstWrong << " of " << total;
    EXPECT_TRUE(system_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, QuorvelTrip,
    ::testing::Values(
        TripCase{"blockBelowTheMinimum", 256, 512, 4096, 512, 512, nullptr, "", &WholeCalls, 1791},
        TripCase{"preferredLarger", 512, 256, 4096, 256, 1024, nullptr, "", &WholeCalls, 2047},
        TripCase{"preferredLargerInCubase", 512, 256, 4096, 256, 1024, nullptr, "Cubase VST", &WholeCalls, 2048},
        TripCase{"extraBuffer", 512, 256, 4096, 256, 1024, "ExtraBufferEnabled", "", &WholeCalls, 3583},
        TripCase{"extraBufferPreferred512", 512, 256, 4096, 256, 512, "ExtraBufferEnabled", "", &WholeCalls, 3583},
        // A host block the driver's step cannot hold a whole number of: a buffer more than the
        // round trip needs, which holds calls of any length.
        TripCase{"host441", 441, 64, 4096, 64, 256, nullptr, "", &WholeCalls, 1792},
        TripCase{"host441Uneven", 441, 64, 4096, 64, 256, nullptr, "", &UnevenCalls, 1792},
        TripCase{"host300", 300, 64, 4096, 64, 256, nullptr, "", &WholeCalls, 1280},
        TripCase{"host441ExtraBuffer", 441, 64, 4096, 64, 256, "ExtraBufferEnabled", "", &WholeCalls, 1792},
        TripCase{"host512Uneven", 512, 64, 2048, 32, 256, nullptr, "", &UnevenCalls, 2047},
        TripCase{"host512OneIn21Shorter", 512, 64, 2048, 32, 256, nullptr, "", &OneIn21ShorterCalls, 2047},
        TripCase{"host512Split", 512, 64, 2048, 32, 256, nullptr, "", &SplitCalls, 2047},
        TripCase{"host33", 33, 64, 2048, 32, 256, nullptr, "", &UnevenCalls, 3200},
        // Each call writes two stream blocks of the driver's largest buffer.
        TripCase{"host4096AboveTheLargest", 4096, 64, 2048, 32, 256, nullptr, "", &WholeCalls, 10240},
        TripCase{"host4096Uneven", 4096, 64, 2048, 32, 256, nullptr, "", &UnevenCalls, 10240}),
    [](const ::testing::TestParamInfo<TripCase>& info) { return std::string(info.param.name); });

TEST_F(KivQuorvelEffectTest, OfflineThePluginWaitsOncePerDriverBufferNotPerCall)
{
    // Extra buffering with a preferred size of 512: the driver buffer is 1024, two host blocks.
    SetPair("0 0");
    driver_.minimumSize = 256;
    driver_.granularity = 256;
    driver_.preferredSize = 512;
    Prefer("ExtraBufferEnabled", true);
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(512);
    effect->resume();
    ASSERT_EQ(effect->GetBuffers().frames, 1024);
    std::vector<float> in(512, 0.25f), out(512, 0.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    Switch(0);
    effect->process(inputs, outputs, 512);
    gProcessLevel = kVstProcessLevelOffline;
    // One switch for every two calls: a plug-in that waited on every call would wait 10 s for
    // a switch that never comes.
    const auto start = std::chrono::steady_clock::now();
    for (int call = 0; call < 20; ++call)
    {
        if (call % 2 == 1)
        {
            Switch(call / 2 % 2);
        }
        effect->process(inputs, outputs, 512);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(9));
}

TEST_F(KivQuorvelEffectTest, OfflineRenderingRightAfterSetUpWaitsForTheFirstSwitch)
{
    // The host bounces at once: its first call comes before the driver's first switch, which
    // the card's own clock brings a little later.
    SetPair("0 0");
    FakeCard card(driver_);
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(256);
    effect->resume();
    ASSERT_NE(effect->GetStream().Peek(), nullptr);
    gProcessLevel = kVstProcessLevelOffline;
    // The card's switch comes once the host has waited a while for it: a driver running ahead
    // of an offline host drops blocks (the render warning's case), which a free-running clock
    // did whenever a loaded machine held the host's thread back.
    HeldCallClock clock([&] { card.Advance(driver_.bufferSize); }, std::chrono::milliseconds(50),
                        effect->GetStream().Peek());
    const int calls = 40;
    std::vector<float> sent(256 * calls), back(sent.size(), 0.0f);
    uint32_t seed = 5;
    for (float& x : sent)
    {
        seed = seed * 1103515245u + 12345u;
        x = static_cast<float>(seed >> 9) / 8388608.0f - 0.5f;
    }
    std::vector<float> right(256), rightBack(256);
    for (int call = 0; call < calls; ++call)
    {
        float* inputs[] = {&sent[static_cast<size_t>(call) * 256], right.data()};
        float* outputs[] = {&back[static_cast<size_t>(call) * 256], rightBack.data()};
        clock.HostCall([&] { effect->processReplacing(inputs, outputs, 256); });
    }
    // What came back is what was sent, the reported delay later, and nothing of it is lost
    // once the first few driver buffers have passed (a plug-in that let the calls pass before
    // the first switch returns only silence).
    const double gain = 2147418112.0 / 2147483648.0;
    const size_t delay = static_cast<size_t>(effect->GetRecord()->initialDelay);
    const size_t settled = delay + 4 * static_cast<size_t>(std::max(256, effect->GetBuffers().frames));
    ASSERT_LT(settled, sent.size());
    int wrong = 0;
    for (size_t t = settled; t < sent.size(); ++t)
    {
        wrong += std::fabs(back[t] - gain * sent[t - delay]) < 1e-6 ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0) << "of " << sent.size() - settled;
}

TEST_F(KivQuorvelEffectTest, OfflineRenderingRightAfterSetUpReturnsOnlyOnceTheDriverRan)
{
    // A host bouncing right after set-up runs its whole render before the driver's first
    // switch: without a wait every block would come back silent and none reach the card.
    SetPair("0 0");
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(256);
    effect->resume();
    gProcessLevel = kVstProcessLevelOffline;
    std::vector<float> in(256, 0.25f), out(256, 0.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    std::thread card([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Switch(0);
    });
    effect->process(inputs, outputs, 256);
    bool switched = false;
    {
        StreamSlot::Use use(effect->GetStream());
        ASSERT_NE(use.Get(), nullptr);
        switched = use.Get()->SwitchSeen();
    }
    card.join();
    EXPECT_TRUE(switched) << "the call returned only once the driver ran";
}

// What the chain's holder does when the services thread tells it the host set values: the
// nudge must have come (from another thread), then the values are stored.
void StoreWhenNudged(KivQuorvelEffect* effect, FakeChain& chain, int before)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (chain.storeRequests.load() == before && std::chrono::steady_clock::now() < end)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_GT(chain.storeRequests.load(), before) << "the services thread was told";
    effect->StoreParamRequests(false);
}

TEST_F(KivQuorvelEffectTest, ParametersRoundTripThroughSetGetAndReport)
{
    KivQuorvelEffect* effect = Make();
    FakeChain chain;
    chain.Add(u"Fx", {FloatParam(u"Mix", -100.0f, 100.0f), IntParam(u"Mode", 4, 0, 1)});
    effect->SetParamChain(&chain);
    effect->RebuildParamMap();
    VstEffectRecord* record = effect->GetRecord();
    EXPECT_EQ(record->parameterCount, 256);
    record->setParameter(record, 0, 0.9f);
    EXPECT_NEAR(record->getParameter(record, 0), 0.9f, 1e-6) << "read back before it is stored";
    char text[64] = {};
    record->dispatcher(record, kEffGetParamDisplay, 0, 0, text, 0.0f);
    EXPECT_STREQ(text, "80.00");
    StoreWhenNudged(effect, chain, 0);
    EXPECT_NEAR(chain.inserts[0].values[0].AsReal(), 80.0f, 1e-4);
    EXPECT_NEAR(record->getParameter(record, 0), 0.9f, 1e-6);
    const int nudges = chain.storeRequests.load();
    record->setParameter(record, 1, 0.3f);
    StoreWhenNudged(effect, chain, nudges);
    EXPECT_EQ(chain.inserts[0].values[1].AsInteger(), 1);
    EXPECT_EQ(chain.directStores, 0);

    // A value the insert takes from elsewhere reaches the host once the holder lets go.
    chain.inserts[0].values[1] = ParamValue::Integer(4, 0);
    EXPECT_EQ(record->getParameter(record, 1), 1.0f);
    effect->SyncParamMap();
    EXPECT_EQ(record->getParameter(record, 1), 0.0f);

    const int beforeReport = chain.storeRequests.load();
    effect->ReportParamToHost(0, 0, ParamValue::Real(-50.0f));
    ASSERT_EQ(gAutomations.size(), 1u);
    EXPECT_EQ(gAutomations[0].index, 0);
    EXPECT_NEAR(gAutomations[0].value, 0.25f, 1e-6);
    StoreWhenNudged(effect, chain, beforeReport);
    EXPECT_NEAR(chain.inserts[0].values[0].AsReal(), -50.0f, 1e-4) << "the report applies the value too";
    gAutomations.clear();
    effect->ReportAllParamsToHost();
    ASSERT_EQ(gAutomations.size(), 2u) << "every mapped parameter";
    EXPECT_NEAR(gAutomations[0].value, 0.25f, 1e-6);
    EXPECT_EQ(gAutomations[1].index, 1);
    EXPECT_EQ(gAutomations[1].value, 0.0f);
    EXPECT_EQ(record->getParameter(record, 300), 0.0f);
    int32_t position = 0, index = 0;
    effect->LookupParamMapping(2, &position, &index);
    EXPECT_EQ(position, -1);
    record->dispatcher(record, kEffGetParamName, 0, 0, text, 0.0f);
    EXPECT_STREQ(text, "Fx:Mix");
    EXPECT_EQ(record->dispatcher(record, kEffGetVstVersion, 0, 0, nullptr, 0.0f), 2300);
    EXPECT_EQ(record->dispatcher(record, kEffEditKeyDown, 0, 0, nullptr, 0.0f), 0) << "no editor";
    EXPECT_EQ(record->dispatcher(record, kEffGetVendorString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "KIV Systems");
    effects_.clear(); // before the chain it borrows
}

TEST_F(KivQuorvelEffectTest, TheStateChunkGoesRoundThroughTheHost)
{
    KivQuorvelEffect* effect = Make();
    VstEffectRecord* record = effect->GetRecord();
    void* empty = nullptr;
    ASSERT_EQ(record->dispatcher(record, kEffGetChunk, 0, 0, &empty, 0.0f), 24);
    EXPECT_EQ(std::memcmp(empty, "PPI1", 4), 0);

    InsertStateList chain;
    ASSERT_TRUE(chain.Reset(1));
    InsertState* trim = chain.CreateAt(0, kInsertTrimPot);
    ASSERT_TRUE(trim->SetValueCount(2));
    trim->values[1] = ParamValue::Real(0.5f);
    std::unique_ptr<AlignedBuffer> chunk = MakeStateChunk(chain);
    ASSERT_TRUE(chunk);
    ASSERT_EQ(chunk->Size(), 156u);
    EXPECT_EQ(record->dispatcher(record, kEffSetChunk, 0, 156, chunk->Data(), 0.0f), 156);
    EXPECT_EQ(std::memcmp(empty, "PPI1\x10\0\0\0", 8), 0) << "the block handed out stays until the next get";

    void* saved = nullptr;
    ASSERT_EQ(record->dispatcher(record, kEffGetChunk, 0, 0, &saved, 0.0f), 156);
    EXPECT_EQ(std::memcmp(saved, chunk->Data(), 156), 0);

    std::vector<uint8_t> damaged(static_cast<const uint8_t*>(chunk->Data()),
                                 static_cast<const uint8_t*>(chunk->Data()) + 156);
    damaged[24] = 9; // a record kind outside 1-6
    EXPECT_EQ(record->dispatcher(record, kEffSetChunk, 0, 156, damaged.data(), 0.0f), 0);
    EXPECT_EQ(record->dispatcher(record, kEffSetChunk, 0, 100, chunk->Data(), 0.0f), 0) << "cut short";
    EXPECT_EQ(record->dispatcher(record, kEffSetChunk, 0, 0, chunk->Data(), 0.0f), 0);
    ASSERT_EQ(record->dispatcher(record, kEffGetChunk, 0, 0, &saved, 0.0f), 156) << "the chain as it was";
    EXPECT_EQ(std::memcmp(saved, chunk->Data(), 156), 0);
}

} // namespace

namespace
{

// The fake server behind one lock, as the services thread serialises the real one (host
// threads through the call block, the services thread directly); the reports go to the
// instance, as the services link sends them.
class SerialLink final : public ModelLink
{
public:
    explicit SerialLink(FakeModelLink& fake) : fake_(fake) {}

    CallBlock* BeginCall() override
    {
        return With([](FakeModelLink& fake) { return fake.BeginCall(); });
    }
    int32_t Call(int32_t command) override
    {
        return With([command](FakeModelLink& fake) { return fake.Call(command); });
    }
    void EndCall() override
    {
        With([](FakeModelLink& fake) { fake.EndCall(); });
    }
    void CallDirect(CallBlock& block, int32_t command) override
    {
        With([&](FakeModelLink& fake) { fake.CallDirect(block, command); });
    }
    void FreeServerArray(void* array) override
    {
        With([array](FakeModelLink& fake) { fake.FreeServerArray(array); });
    }
    bool IsChainAttached() override
    {
        return With([](FakeModelLink& fake) { return fake.IsChainAttached(); });
    }
    bool PostToEditor(uint32_t id, uintptr_t wParam, uintptr_t lParam) override
    {
        return With([&](FakeModelLink& fake) { return fake.PostToEditor(id, wParam, lParam); });
    }
    int32_t GetAsioSampleRate() override
    {
        return With([](FakeModelLink& fake) { return fake.GetAsioSampleRate(); });
    }
    void ReportParamToHost(int32_t position, int32_t index, const ParamValue& value) override
    {
        effect->ReportParamToHost(position, index, value);
    }
    void ReportAllParamsToHost() override { effect->ReportAllParamsToHost(); }
    void ReadBypassSolo() override
    {
        With([](FakeModelLink& fake) { fake.ReadBypassSolo(); });
    }

    // The fake to the caller alone.
    template <typename F>
    auto With(F f) -> decltype(f(std::declval<FakeModelLink&>()))
    {
        std::lock_guard<std::mutex> hold(lock_);
        return f(fake_);
    }

    KivQuorvelEffect* effect = nullptr;

private:
    FakeModelLink& fake_;
    std::mutex lock_;
};

// The instance as the chain's host, as the services link passes it on.
class EffectHost final : public ChainHost
{
public:
    void RebuildParamMap() override { effect->RebuildParamMap(); }
    void SyncParamMap() override { effect->SyncParamMap(); }
    void StoreParamRequests(bool direct) override { effect->StoreParamRequests(direct); }
    void WakeParamStores() override { effect->WakeParamStores(); }
    bool HoldsSendReturn() override { return true; }

    KivQuorvelEffect* effect = nullptr;
};

// The host's parameter calls against the instance's own insert chain over a fake server.
class KivQuorvelParamPathTest : public KivQuorvelEffectTest
{
protected:
    void SetUp() override
    {
        KivQuorvelEffectTest::SetUp();
        effect_ = Make();
        serial_.effect = effect_;
        host_.effect = effect_;
        library_.categories = {{u"Core Effects", 1, {{u"Reverb", kReverb, false, {}}, {u"Delay", kDelay, false, {}}}}};
        effect_->SetParamChain(&chain_);
    }
    void TearDown() override
    {
        // The instance and its services thread go before the chain they borrow.
        effects_.clear();
        EXPECT_EQ(link_.outstanding, 0) << "arrays the server handed out";
        KivQuorvelEffectTest::TearDown();
    }
    // What the next insert the server sets becomes.
    void Next(const char16_t* shortName, const std::vector<FakeParam>& params, int32_t hidden = -1)
    {
        serial_.With([&](FakeModelLink& fake) {
            fake.next = FakeModelLink::MakeInsert(params);
            std::memset(fake.next.info.shortName, 0, sizeof(fake.next.info.shortName));
            std::memcpy(fake.next.info.shortName, shortName, 2 * std::char_traits<char16_t>::length(shortName));
            fake.next.info.hasHidden = hidden >= 0 ? 1 : 0;
            fake.next.info.hiddenIndex = hidden;
        });
    }
    // The server's value of a parameter, once it has one equal to want (or the wait ends).
    ParamValue ServerValue(int32_t position, int32_t index, const ParamValue* want = nullptr)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;)
        {
            const ParamValue value = serial_.With([&](FakeModelLink& fake) {
                return fake.inserts.count(position) ? fake.inserts[position].values[static_cast<size_t>(index)]
                                                    : ParamValue{-1, 0};
            });
            if (!want || (value.kind == want->kind && value.bits == want->bits) ||
                std::chrono::steady_clock::now() > end)
            {
                return value;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::string Text(int32_t opcode, int32_t index)
    {
        char text[64] = "old";
        VstEffectRecord* record = effect_->GetRecord();
        record->dispatcher(record, opcode, index, 0, text, 0.0f);
        return text;
    }

    const EffectId kReverb = FakeLibrary::Id(1);
    const EffectId kDelay = FakeLibrary::Id(2);
    KivQuorvelEffect* effect_ = nullptr;
    FakeModelLink link_;
    FakeLibrary library_{link_};
    SerialLink serial_{link_};
    EffectHost host_;
    EffectCatalog catalog_{&serial_};
    InsertChain chain_{&serial_, &catalog_, &host_};
};

TEST_F(KivQuorvelParamPathTest, TheHostsCallsReachTheInsertsOfEveryKind)
{
    FakeParam mix = FloatParam(u"Mix", -100.0f, 100.0f);
    mix.unit = u"%";
    FakeParam meter = FloatParam(u"Level", 0.0f, 1.0f);
    meter.access = 9;
    Next(u"Reverb", {mix, IntParam(u"Size", 3, 0, 10), meter});
    ASSERT_TRUE(chain_.LoadPreset(kReverb, 0, true, true));
    FakeParam gain = FloatParam(u"Gain", -24.0f, 24.0f);
    gain.unit = u"dB";
    Next(u"Trim", {gain, IntParam(u"Mute", 1, 0, 1)});
    ASSERT_TRUE(chain_.AddTrimPot(1, true, true));
    Next(u"Delay", {IntParam(u"Mode", 4, 0, 3), IntParam(u"Taps", 0, 5, 15), IntParam(u"Secret", 0, 0, 1)}, 2);
    ASSERT_TRUE(chain_.LoadPreset(kDelay, 2, true, true));

    struct Row
    {
        const char* label;
        int32_t vstIndex;
        float set;
        int32_t position, index; // where it lands; -1: nowhere
        ParamValue stored;
        float get;
        const char* name;
        const char* display;
        const char* unit;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        // A host's value outside 0..1 is taken at the nearest end; NaN leaves the value.
        {"effect, float below 0", 0, -1.0f, 0, 0, ParamValue::Real(-100.0f), 0.0f, "Reverb:Mix", "-100.00", "%"},
        {"effect, float far above 1", 0, 1e30f, 0, 0, ParamValue::Real(100.0f), 1.0f, "Reverb:Mix", "100.00", "%"},
        {"effect, float NaN", 0, nan, 0, 0, ParamValue::Real(100.0f), 1.0f, "Reverb:Mix", "100.00", "%"},
        {"effect, float", 0, 0.75f, 0, 0, ParamValue::Real(50.0f), 0.75f, "Reverb:Mix", "50.00", "%"},
        {"effect, whole steps", 1, 0.25f, 0, 1, ParamValue::Integer(3, 3), 0.3f, "Reverb:Size", "3", ""},
        {"special, float", 2, 0.5f, 1, 0, ParamValue::Real(0.0f), 0.5f, "Trim:Gain", "0.00", "dB"},
        {"special, switch", 3, 1.0f, 1, 1, ParamValue::Integer(1, 1), 1.0f, "Trim:Mute", "On", ""},
        {"selector", 4, 0.7f, 2, 0, ParamValue::Integer(4, 2), 2.0f / 3.0f, "Delay:Mode", "2", ""},
        {"integer with offset", 5, 0.5f, 2, 1, ParamValue::Integer(0, 10), 0.5f, "Delay:Taps", " - ", ""},
        {"beyond the map (meter and hidden skipped)", 6, 0.5f, -1, -1, ParamValue{}, 0.0f, "unmapped", " NA ", " NA "},
    };
    VstEffectRecord* record = effect_->GetRecord();
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        record->setParameter(record, row.vstIndex, row.set);
        EXPECT_NEAR(record->getParameter(record, row.vstIndex), row.get, 1e-5);
        EXPECT_EQ(Text(kEffGetParamName, row.vstIndex), row.name);
        EXPECT_EQ(Text(kEffGetParamDisplay, row.vstIndex), row.display);
        EXPECT_EQ(Text(kEffGetParamLabel, row.vstIndex), row.unit);
        if (row.position < 0)
        {
            continue;
        }
        // The services thread stores it (nobody holds the chain).
        const ParamValue server = ServerValue(row.position, row.index, &row.stored);
        EXPECT_EQ(server.kind, row.stored.kind);
        EXPECT_EQ(server.bits, row.stored.bits);
        InsertChain::Hold hold(chain_);
        ParamValue mine;
        ASSERT_TRUE(chain_.At(row.position)->GetParamValue(row.index, &mine));
        EXPECT_EQ(mine.bits, row.stored.bits) << "the insert keeps what the server took";
    }

    // The map follows the chain: the effect moved last, then the special insert removed.
    ASSERT_TRUE(chain_.Move(0, 3));
    EXPECT_EQ(Text(kEffGetParamName, 4), "Reverb:Mix");
    EXPECT_NEAR(record->getParameter(record, 4), 0.75f, 1e-5);
    ASSERT_TRUE(chain_.RemoveAt(0, true));
    EXPECT_EQ(Text(kEffGetParamName, 0), "Delay:Mode");
    EXPECT_EQ(Text(kEffGetParamName, 4), "unmapped");
    int32_t position = 0, index = 0;
    effect_->LookupParamMapping(2, &position, &index);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(index, 0);
}

TEST_F(KivQuorvelParamPathTest, AHeldChainNeitherBlocksTheHostNorLosesItsValue)
{
    Next(u"Reverb", {FloatParam(u"Mix", -100.0f, 100.0f)});
    ASSERT_TRUE(chain_.LoadPreset(kReverb, 0, true, true));
    VstEffectRecord* record = effect_->GetRecord();
    {
        InsertChain::Hold hold(chain_); // an editor operation waiting for the server, say
        auto call = std::async(std::launch::async, [record] {
            record->setParameter(record, 0, 1.0f);
            return record->getParameter(record, 0);
        });
        ASSERT_EQ(call.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "the host's call waited";
        EXPECT_EQ(call.get(), 1.0f) << "the value asked for reads back at once";
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the services thread's turn
        EXPECT_EQ(ServerValue(0, 0).AsReal(), 0.0f) << "nothing reaches the inserts while the chain is held";
    }
    const ParamValue want = ParamValue::Real(100.0f);
    EXPECT_EQ(ServerValue(0, 0, &want).AsReal(), 100.0f) << "stored once the chain is let go";
    EXPECT_EQ(record->getParameter(record, 0), 1.0f);
}

TEST_F(KivQuorvelParamPathTest, TheChainChangesWhileTheHostCallsAndPlays)
{
    // One thread changes the chain (effects loaded, moved, removed) while the host's audio
    // thread sets and gets parameters, reads their texts and processes at odd block sizes.
    SetPair("0 0");
    FakeCard card(driver_);
    effects_.clear();
    effect_ = Make();
    serial_.effect = effect_;
    host_.effect = effect_;
    effect_->SetParamChain(&chain_);
    effect_->setBlockSize(256);
    effect_->resume();
    card.StartClock(std::chrono::milliseconds(2));
    Next(u"Fx", {FloatParam(u"Mix", -100.0f, 100.0f), IntParam(u"Size", 3, 0, 10), IntParam(u"Mode", 4, 0, 3),
                 IntParam(u"On", 1, 0, 1), IntParam(u"Taps", 0, 5, 15)});

    std::atomic<bool> done{false};
    std::atomic<long> calls{0};
    std::thread audio([&] {
        VstEffectRecord* record = effect_->GetRecord();
        const int32_t sizes[] = {1, 37, 129, 256, 333, 1000, 64, 511};
        std::vector<float> in(1000, 0.1f), out(1000, 0.0f);
        float* inputs[] = {in.data(), in.data()};
        float* outputs[] = {out.data(), out.data()};
        char text[64];
        bool sane = true;
        for (uint32_t n = 0; !done.load(); ++n)
        {
            record->processReplacing(record, inputs, outputs, sizes[n % 8]);
            const auto index = static_cast<int32_t>(n % 23);
            record->setParameter(record, index, static_cast<float>(n % 101) / 100.0f);
            const float value = record->getParameter(record, static_cast<int32_t>((n * 7) % 23));
            sane = sane && std::isfinite(value);
            record->dispatcher(record, kEffGetParamName, index, 0, text, 0.0f);
            sane = sane && std::strlen(text) <= 31;
            record->dispatcher(record, kEffGetParamDisplay, index, 0, text, 0.0f);
            sane = sane && std::strlen(text) <= 8;
            ++calls;
        }
        EXPECT_TRUE(sane) << "every value a number, every text within the host's buffer";
    });
    uint32_t seed = 29;
    auto random = [&seed](int32_t below) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(below));
    };
    for (int round = 0; round < 3000; ++round)
    {
        const int32_t count = chain_.Count();
        switch (count < 2 ? 0 : count > 5 ? 2 : random(3))
        {
        case 0:
            chain_.LoadPreset(random(2) ? kReverb : kDelay, random(count + 1), true, true);
            break;
        case 1:
            chain_.Move(random(count), random(count + 1));
            break;
        default:
            chain_.RemoveAt(random(count), true);
            break;
        }
        if (round % 100 == 0)
        {
            serial_.With([](FakeModelLink& fake) {
                fake.commands.clear();
                fake.blocks.clear();
                fake.posted.clear();
            });
        }
    }
    // The audio thread ran alongside the whole time, not only after.
    const long during = calls.load();
    done = true;
    audio.join();
    card.StopClock();
    EXPECT_GT(during, 0);

    // After the storm the path still works: a fresh chain takes the host's values.
    chain_.RemoveAll(true);
    ASSERT_TRUE(chain_.LoadPreset(kReverb, 0, true, true));
    VstEffectRecord* record = effect_->GetRecord();
    record->setParameter(record, 0, 0.25f);
    const ParamValue want = ParamValue::Real(-50.0f);
    EXPECT_EQ(ServerValue(0, 0, &want).AsReal(), -50.0f);
    EXPECT_EQ(Text(kEffGetParamName, 4), "Fx:Taps");
    EXPECT_EQ(Text(kEffGetParamName, 5), "unmapped");
}

} // namespace
