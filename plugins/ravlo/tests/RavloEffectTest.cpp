// The routing effect on a fake driver, enumerator and system.
#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/asio/tests/FakeCard.h"
#include "plugins/base/asio/tests/HeldCallClock.h"
#include "plugins/ravlo/RavloEffect.h"
#include "plugins/ravlo/RavloSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr GUID kDriver = {0x11111111, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8}};

std::atomic<int32_t> gProcessLevel{kVstProcessLevelRealtime};

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    switch (opcode)
    {
    case kHostVersion:
        return 2400;
    case kHostGetCurrentProcessLevel:
        return gProcessLevel.load();
    default:
        return 0;
    }
}

class FakeRavloSystem final : public RavloSystem
{
public:
    std::map<std::string, uint32_t> settings;
    std::vector<std::string> boxes; // "text|caption"

    bool ReadSetting(const char* name, uint32_t* value) override
    {
        auto found = settings.find(name);
        if (found == settings.end())
        {
            return false;
        }
        *value = found->second;
        return true;
    }
    void ShowInformation(const char* text, const char* caption) override
    {
        boxes.push_back(std::string(text) + "|" + caption);
    }
};

class RavloEffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gProcessLevel = kVstProcessLevelRealtime;
        system_.objects[FakeSystem::Key(kDeviceEnumeratorId)] = &enumerator_;
        system_.objects[FakeSystem::Key(kDriver)] = &driver_;
        enumerator_.devices = {{kDriver, kKivVendorId, kKivDeviceIds[0], kKivSubsystemPattern | 0x00030000}};
        driver_.inputNames = {"In 1", "In 2", "Mix L", "Mix R", "In 5", "In 6"};
        driver_.inputs = 6;
        driver_.outputs = 6;
        AsioSystem::Use(&system_);
        RavloSystem::Use(&ravloSystem_);
    }
    void TearDown() override
    {
        effects_.clear();
        EXPECT_EQ(PluginModule::LiveCount(), 0);
        RavloSystem::Use(nullptr);
        AsioSystem::Use(nullptr);
    }

    RavloEffect* Make()
    {
        effects_.push_back(std::make_unique<RavloEffect>(&Host));
        return effects_.back().get();
    }
    size_t Count(const std::string& call) const
    {
        return static_cast<size_t>(std::count(driver_.calls.begin(), driver_.calls.end(), call));
    }
    std::vector<uint8_t> Chunk(RavloEffect* effect)
    {
        void* data = nullptr;
        const int32_t size = effect->getChunk(&data, false);
        if (size <= 0 || !data)
        {
            return {};
        }
        return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    }
    static std::vector<uint8_t> MakeChunk(int32_t input, int32_t output, const char* inputName, const char* outputName)
    {
        std::vector<uint8_t> chunk(RavloEffect::kChunkSize, 0);
        std::memcpy(chunk.data(), &input, 4);
        std::memcpy(chunk.data() + 4, &output, 4);
        // The name fields are zero-padded and need no terminator.
        std::memcpy(chunk.data() + 8, inputName, std::min<size_t>(std::strlen(inputName), 32));
        std::memcpy(chunk.data() + 40, outputName, std::min<size_t>(std::strlen(outputName), 32));
        return chunk;
    }

    FakeSystem system_;
    FakeEnumerator enumerator_;
    FakeDriver driver_;
    FakeRavloSystem ravloSystem_;
    std::vector<std::unique_ptr<RavloEffect>> effects_;
};

TEST_F(RavloEffectTest, SizesTheDriverBufferAndReportsTheDelay)
{
    const struct
    {
        int32_t hostBlock, minimum, granularity, preferred;
        const char* buffers; // the driver call that started the pairs
        int32_t delay;       // three driver buffers and a host block
    } cases[] = {
        {64, 256, 64, 256, "createBuffers 4 256", 832},
        {512, 256, 64, 1024, "createBuffers 4 512", 2048},
        {96, 64, 64, 256, "createBuffers 4 192", 672},
        {512, 64, 64, 256, "createBuffers 4 512", 2048},
    };
    for (const auto& c : cases)
    {
        driver_.minimumSize = c.minimum;
        driver_.granularity = c.granularity;
        driver_.preferredSize = c.preferred;
        RavloEffect* effect = Make();
        effect->SetInputPair(1);
        effect->SetOutputPair(2);
        EXPECT_EQ(Count("createBuffers 4 " + std::to_string(c.hostBlock)), 0u) << "no size before the host block";
        driver_.calls.clear();
        effect->setBlockSize(c.hostBlock);
        EXPECT_EQ(Count(c.buffers), 1u) << c.hostBlock;
        EXPECT_EQ(Count("start"), 1u);
        EXPECT_EQ(effect->GetRecord()->initialDelay, c.delay) << c.hostBlock;
        EXPECT_NE(effect->GetStream().Peek(), nullptr);
        effects_.clear();
    }
}

TEST_F(RavloEffectTest, ZeroOrNegativeBlockSizesChangeNothing)
{
    RavloEffect* effect = Make();
    effect->SetOutputPair(0);
    effect->SetInputPair(0);
    driver_.calls.clear();
    for (int32_t block : {0, -64})
    {
        effect->setBlockSize(block);
    }
    EXPECT_TRUE(driver_.calls.empty());
    EXPECT_EQ(effect->GetRecord()->initialDelay, 0);
    StreamSlot::Use use(effect->GetStream());
    EXPECT_EQ(use.Get(), nullptr);
}

TEST_F(RavloEffectTest, RegistrySettingsOverrideTheDelay)
{
    const struct
    {
        std::map<std::string, uint32_t> settings;
        int32_t told;
    } cases[] = {
        {{}, 2048},
        {{{"Set Initial Delay", 0}}, 0},
        {{{"Set Initial Delay", 0}, {"Delay Amount", 1000}}, 0},
        {{{"Delay Amount", 1000}}, 1000},
        {{{"Set Initial Delay", 1}, {"Delay Amount", 1000}}, 1000},
        {{{"Set Initial Delay", 7}}, 2048},
    };
    RavloEffect* effect = Make();
    for (const auto& c : cases)
    {
        ravloSystem_.settings = c.settings;
        effect->setBlockSize(512);
        EXPECT_EQ(effect->GetRecord()->initialDelay, c.told);
        // resume tells the host again, from the stored delay.
        effect->GetRecord()->initialDelay = -1;
        effect->resume();
        EXPECT_EQ(effect->GetRecord()->initialDelay, c.told);
    }
}

TEST_F(RavloEffectTest, ChunkHoldsThePairsAndTheirFirstChannelNames)
{
    RavloEffect* effect = Make();
    effect->setBlockSize(256);
    effect->SetInputPair(1);
    const std::vector<uint8_t> chunk = Chunk(effect);
    ASSERT_EQ(chunk.size(), 72u);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 8),
              (std::vector<uint8_t>{0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_STREQ(reinterpret_cast<const char*>(chunk.data() + 8), "Mix L");
    EXPECT_TRUE(std::all_of(chunk.begin() + 40, chunk.end(), [](uint8_t b) { return b == 0; }));
    // A second call gives a second block with the same content.
    void* first = nullptr;
    void* second = nullptr;
    effect->getChunk(&first, false);
    const std::vector<uint8_t> copy(static_cast<uint8_t*>(first), static_cast<uint8_t*>(first) + 72);
    effect->getChunk(&second, true);
    EXPECT_NE(first, second);
    EXPECT_EQ(std::memcmp(second, copy.data(), 72), 0);
    EXPECT_EQ(effect->getChunk(nullptr, false), 0);
}

TEST_F(RavloEffectTest, SetChunkReopensOnlyForNewPairsAndTellsOfRenamedChannelsOnce)
{
    RavloEffect* effect = Make();
    effect->setBlockSize(256);
    const struct
    {
        std::vector<uint8_t> chunk;
        size_t reopened; // driver inits during the call
        size_t boxes;
    } cases[] = {
        {MakeChunk(1, 2, "Mix L", "Ch 4"), 1, 0},
        {MakeChunk(1, 2, "Mix L", "Ch 4"), 0, 0},       // same pairs: only a refresh
        {MakeChunk(1, 2, "Old name", "Ch 4"), 0, 1},    // the input was renamed
        {MakeChunk(1, 2, "Old name", "Old out"), 0, 1}, // both renamed: still one box
        {MakeChunk(-1, 2, "", "Ch 4"), 1, 0},
        {MakeChunk(-7, -300, "x", "y"), 1, 0}, // any negative pair is off
    };
    for (const auto& c : cases)
    {
        driver_.calls.clear();
        ravloSystem_.boxes.clear();
        std::vector<uint8_t> chunk = c.chunk;
        EXPECT_EQ(effect->setChunk(chunk.data(), static_cast<int32_t>(chunk.size()), false), 72);
        EXPECT_EQ(Count("init"), c.reopened);
        EXPECT_EQ(ravloSystem_.boxes.size(), c.boxes);
        if (c.boxes)
        {
            EXPECT_EQ(ravloSystem_.boxes[0], "The channel names have changed.|Ravlo");
        }
    }
    EXPECT_EQ(effect->GetInputPair(), -1);
    EXPECT_EQ(effect->GetOutputPair(), -1);
    const std::vector<uint8_t> chunk = Chunk(effect);
    ASSERT_EQ(chunk.size(), 72u);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 8),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(RavloEffectTest, ShortAndHostileChunksAreSafe)
{
    RavloEffect* effect = Make();
    effect->setBlockSize(256);
    std::vector<uint8_t> chunk = MakeChunk(1, 1, "Mix L", "Ch 2");
    EXPECT_EQ(effect->setChunk(nullptr, 72, false), 0);
    for (int32_t size : {0, 8, 71})
    {
        EXPECT_EQ(effect->setChunk(chunk.data(), size, false), 0) << size;
    }
    EXPECT_EQ(effect->GetInputPair(), -1) << "a short chunk changes nothing";
    // Pairs beyond the driver's channels, up to where 2n wraps: the driver is asked for the
    // channel past its last (and refuses it, see the Wine tests); the index is kept for the
    // project and never read out of the channel tables.
    for (int32_t pair : {3, 32, 0x40000000, 0x7fffffff})
    {
        ravloSystem_.boxes.clear();
        driver_.calls.clear();
        std::vector<uint8_t> hostile = MakeChunk(pair, pair, "Mix L", "Ch 2");
        EXPECT_EQ(effect->setChunk(hostile.data(), 72, false), 72) << pair;
        EXPECT_EQ(ravloSystem_.boxes.size(), 1u) << "a missing pair counts as renamed";
        EXPECT_EQ(Count("getChannelInfo out 6"), 1u) << pair;
        EXPECT_EQ(effect->GetInputPair(), pair);
        const std::vector<uint8_t> back = Chunk(effect);
        ASSERT_EQ(back.size(), 72u);
        EXPECT_TRUE(std::all_of(back.begin() + 8, back.end(), [](uint8_t b) { return b == 0; })) << pair;
    }
}

TEST_F(RavloEffectTest, TheNinthInstanceIsInert)
{
    for (int i = 0; i < 8; ++i)
    {
        RavloEffect* effect = Make();
        EXPECT_EQ(effect->GetInstanceIndex(), i);
        EXPECT_EQ(effect->GetRecord()->inputCount, 2);
        EXPECT_NE(effect->GetLink(), nullptr);
    }
    RavloEffect* ninth = Make();
    EXPECT_EQ(ninth->GetLink(), nullptr);
    EXPECT_EQ(ninth->GetRecord()->inputCount, 1);
    EXPECT_EQ(ninth->GetRecord()->outputCount, 2);
    EXPECT_EQ(ninth->GetRecord()->flags, 0);
    void* data = nullptr;
    EXPECT_EQ(ninth->getChunk(&data, false), 0);
    std::vector<uint8_t> chunk = MakeChunk(0, 0, "", "");
    EXPECT_EQ(ninth->setChunk(chunk.data(), 72, false), 0);
    ninth->setBlockSize(256);
    float left[256] = {}, right[256] = {};
    float* io[] = {left, right};
    ninth->process(io, io, 256);
}

TEST_F(RavloEffectTest, AResetRequestIsActedOnAtTheNextResume)
{
    RavloEffect* effect = Make();
    effect->setBlockSize(256);
    effect->SetOutputPair(0);
    effect->SetInputPair(0);
    driver_.calls.clear();
    effect->OnResetRequest();
    EXPECT_EQ(Count("init"), 0u) << "not on the driver's thread";
    effect->resume();
    EXPECT_EQ(Count("init"), 1u);
    EXPECT_EQ(Count("createBuffers 4 256"), 1u);
    EXPECT_FALSE(effect->IsResetRequested());
    driver_.calls.clear();
    effect->resume();
    EXPECT_EQ(Count("init"), 0u);
}

// Drives the fake driver's switches from the test.
void Switch(FakeDriver& driver, int index)
{
    driver.callbacks.bufferSwitch(index, 1);
}

TEST_F(RavloEffectTest, OfflineWaitsForOneSwitchPerDriverBuffer)
{
    driver_.minimumSize = 256;
    RavloEffect* effect = Make();
    effect->SetOutputPair(0);
    effect->SetInputPair(0);
    effect->setBlockSize(64);
    ASSERT_EQ(Count("createBuffers 4 256"), 1u);
    Switch(driver_, 0); // the stream has seen the driver
    gProcessLevel = kVstProcessLevelOffline;
    int used = 0;
    {
        HeldCallClock clock([&] { Switch(driver_, clock.Ticks() % 2); }, std::chrono::milliseconds(50),
                            effect->GetStream().Peek());
        std::vector<float> left(64, 0.25f), right(64, -0.25f);
        float* io[] = {left.data(), right.data()};
        for (int call = 0; call < 40; ++call)
        {
            clock.HostCall([&] { effect->process(io, io, 64); });
        }
        used = clock.Ticks();
    }
    // 40 calls of 64 frames fill 10 driver buffers: one switch each, not one per call.
    EXPECT_GE(used, 9);
    EXPECT_LT(used, 25);
}

TEST_F(RavloEffectTest, OfflineRenderingRightAfterSetUpWaitsForTheFirstSwitch)
{
    // The host bounces at once: its first call comes before the driver's first switch.
    FakeCard card(driver_);
    RavloEffect* effect = Make();
    effect->setBlockSize(256);
    effect->SetOutputPair(0);
    effect->SetInputPair(0);
    effect->resume();
    gProcessLevel = kVstProcessLevelOffline;
    HeldCallClock clock([&] { card.Advance(driver_.bufferSize); }, std::chrono::milliseconds(20),
                        effect->GetStream().Peek());
    const int32_t delay = effect->GetInitialDelay();
    const int calls = 40;
    std::vector<float> sent(256 * calls), returned(256 * calls, 0.0f);
    for (size_t i = 0; i < sent.size(); ++i)
    {
        sent[i] = 0.25f + 0.5f * static_cast<float>(i % 97) / 97.0f;
    }
    for (int call = 0; call < calls; ++call)
    {
        std::vector<float> right(256, 0.0f), outRight(256, 0.0f);
        float* inputs[] = {&sent[static_cast<size_t>(call) * 256], right.data()};
        float* outputs[] = {&returned[static_cast<size_t>(call) * 256], outRight.data()};
        clock.HostCall([&] { effect->process(inputs, outputs, 256); });
    }
    // Every sample from the reported delay on is the one sent that long before.
    const double gain = 2147418112.0 / 2147483648.0;
    int wrong = 0;
    for (size_t t = static_cast<size_t>(delay); t < returned.size(); ++t)
    {
        wrong += std::fabs(returned[t] - gain * sent[t - static_cast<size_t>(delay)]) > 1e-6 ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0) << "of " << returned.size() - static_cast<size_t>(delay);
}

// How a host cuts its calls: the length of call number `call` for host block `block`.
using CallLengths = std::function<int32_t(int call, int32_t block, std::mt19937& random)>;

const struct HoldCase
{
    const char* name;
    int32_t block;
    int seconds;
    CallLengths lengths;
} kHoldCases[] = {
    {"441Whole", 441, 30, [](int, int32_t b, std::mt19937&) { return b; }},
    {"1000Whole", 1000, 30, [](int, int32_t b, std::mt19937&) { return b; }},
    {"512Whole", 512, 30, [](int, int32_t b, std::mt19937&) { return b; }},
    {"512OneIn21Shorter", 512, 10, [](int c, int32_t b, std::mt19937&) { return c % 21 == 20 ? 352 : b; }},
    {"512Split352And160", 512, 5, [](int c, int32_t, std::mt19937&) { return c % 2 == 0 ? 352 : 160; }},
    {"512Random", 512, 10, [](int, int32_t b, std::mt19937& r) { return 1 + static_cast<int32_t>(r() % b); }},
    {"441Primes", 441, 10,
     [](int c, int32_t, std::mt19937&) {
         static const int32_t kPrimes[] = {439, 17, 331, 2, 241, 97, 433, 101, 7, 389};
         return kPrimes[c % 10];
     }},
    {"64Random", 64, 5, [](int, int32_t b, std::mt19937& r) { return 1 + static_cast<int32_t>(r() % b); }},
    {"1000ChangingHalfThenRandom", 1000, 10,
     [](int c, int32_t b, std::mt19937& r) { return c < 400 ? b / 2 : 1 + static_cast<int32_t>(r() % b); }},
};

class RavloHoldsItsDelay : public RavloEffectTest, public ::testing::WithParamInterface<HoldCase>
{
};

TEST_P(RavloHoldsItsDelay, EverySampleComesBackAfterTheReportedDelay)
{
    // The card steps in lock step with the host (time passes as the host processes), its
    // loop returning a buffer two buffers after it was played, as the delay counts it.
    const HoldCase& c = GetParam();
    driver_.minimumSize = 64;
    driver_.granularity = 64;
    driver_.preferredSize = 256;
    driver_.maximumSize = 2048;
    FakeCard card(driver_);
    RavloEffect* effect = Make();
    effect->setSampleRate(44100.0f);
    effect->setBlockSize(c.block);
    effect->SetInputPair(0);
    effect->SetOutputPair(0);
    effect->resume();
    const int32_t reported = effect->GetRecord()->initialDelay;
    const size_t total = static_cast<size_t>(44100 * c.seconds);
    std::vector<float> left(total), right(total), returned(total, 0.0f), returnedRight(total, 0.0f);
    uint32_t seed = 7;
    for (size_t i = 0; i < total; ++i)
    {
        seed = seed * 1103515245u + 12345u;
        left[i] = static_cast<float>(seed >> 9) / 8388608.0f - 0.5f;
        right[i] = -0.5f * left[i];
    }
    std::mt19937 random(11);
    for (size_t at = 0, call = 0; at < total; ++call)
    {
        const int32_t n =
            std::min<int32_t>(c.lengths(static_cast<int>(call), c.block, random), static_cast<int32_t>(total - at));
        float* inputs[] = {&left[at], &right[at]};
        float* outputs[] = {&returned[at], &returnedRight[at]};
        effect->process(inputs, outputs, n);
        card.Advance(n);
        at += static_cast<size_t>(n);
    }
    // What the host sent before the driver's first switch is not carried (the stream starts
    // then); from the first sample that comes back on, every one is the sample sent the
    // reported delay before.
    size_t first = 0;
    while (first < total && returned[first] == 0.0f)
    {
        ++first;
    }
    ASSERT_LT(first, total) << "nothing came back";
    EXPECT_GE(first, static_cast<size_t>(reported));
    EXPECT_LE(first, static_cast<size_t>(reported + 2 * 2048 + c.block)) << "the stream started late";
    const double gain = 2147418112.0 / 2147483648.0;
    size_t wrong = 0, firstWrong = 0;
    for (size_t t = first; t < total; ++t)
    {
        const size_t sent = t - static_cast<size_t>(reported);
        if ((std::fabs(returned[t] - gain * left[sent]) > 1e-6 ||
             std::fabs(returnedRight[t] - gain * right[sent]) > 1e-6) &&
            wrong++ == 0)
        {
            firstWrong = t;
        }
    }
    EXPECT_EQ(wrong, 0u) << "first at sample " << firstWrong << " of " << total << ", delay " << reported;
}

INSTANTIATE_TEST_SUITE_P(CallLengths, RavloHoldsItsDelay, ::testing::ValuesIn(kHoldCases),
                         [](const ::testing::TestParamInfo<HoldCase>& info) { return std::string(info.param.name); });

TEST_F(RavloEffectTest, PairsChangeWhileTheCardRunsOnItsOwnClock)
{
    // The driver's switches keep coming on their own thread while the host processes, in
    // real time and then offline, and another thread changes the pairs as a project load or
    // the editor's menus do. No thread may reach a stream that is gone, and none may wait for
    // switches of a driver that was stopped.
    FakeCard card(driver_);
    card.StartClock(std::chrono::microseconds(300));
    RavloEffect* effect = Make();
    effect->setBlockSize(128);
    effect->SetOutputPair(0);
    effect->SetInputPair(0);
    effect->resume();
    std::atomic<bool> done{false};
    std::atomic<int> calls{0};
    std::thread audio([&] {
        std::vector<float> left(128, 0.25f), right(128, -0.25f);
        float* io[] = {left.data(), right.data()};
        while (!done)
        {
            effect->process(io, io, 128);
            ++calls;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    for (int round = 0; round < 120; ++round)
    {
        gProcessLevel = round < 60 ? kVstProcessLevelRealtime : kVstProcessLevelOffline;
        std::vector<uint8_t> chunk = MakeChunk(round % 2, (round / 2) % 3, "In 1", "Ch 0");
        effect->setChunk(chunk.data(), RavloEffect::kChunkSize, false);
        effect->SetInputPair(round % 5 == 4 ? -1 : round % 3);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    done = true;
    audio.join();
    card.StopClock();
    EXPECT_GT(card.ClockSwitches(), 100);
    EXPECT_GT(calls.load(), 100);
}

TEST_F(RavloEffectTest, ReconfiguringNeverPullsTheStreamFromUnderProcess)
{
    RavloEffect* effect = Make();
    effect->SetOutputPair(0);
    effect->SetInputPair(0);
    effect->setBlockSize(128);
    Switch(driver_, 0);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> left(128), right(128);
        float* io[] = {left.data(), right.data()};
        while (!done)
        {
            effect->process(io, io, 128);
        }
    });
    for (int round = 0; round < 200; ++round)
    {
        effect->SetOutputPair(round % 3);
    }
    done = true;
    audio.join();
}

} // namespace
