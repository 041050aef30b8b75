// The delay effect on a fake driver: lengths, the delay line's exactness and its chunk.
#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/asio/tests/FakeAsio.h"
#include "plugins/dentrak/DentrakEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace
{

constexpr GUID kDriver = {0x11111111, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8}};

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : 0;
}

class DentrakEffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        system_.objects[FakeSystem::Key(kDeviceEnumeratorId)] = &enumerator_;
        system_.objects[FakeSystem::Key(kDriver)] = &driver_;
        enumerator_.devices = {{kDriver, kKivVendorId, kKivDeviceIds[0], kKivSubsystemPattern | 0x00030000}};
        AsioSystem::Use(&system_);
    }
    void TearDown() override
    {
        effects_.clear();
        EXPECT_EQ(PluginModule::LiveCount(), 0);
        AsioSystem::Use(nullptr);
    }

    DentrakEffect* Make(int32_t preferred, int32_t block)
    {
        driver_.preferredSize = preferred;
        effects_.push_back(std::make_unique<DentrakEffect>(&Host));
        DentrakEffect* effect = effects_.back().get();
        effect->setBlockSize(block);
        effect->resume();
        return effect;
    }

    // Runs `frames` more samples of the ramp 1, 2, 3, ... through the effect in host calls of
    // `call` frames; answers the output.
    std::vector<float> Run(DentrakEffect* effect, int32_t frames, int32_t call)
    {
        std::vector<float> out(static_cast<size_t>(frames), 0.0f);
        std::vector<float> left(static_cast<size_t>(call)), right(static_cast<size_t>(call));
        for (int32_t done = 0; done < frames; done += call)
        {
            const int32_t n = std::min(call, frames - done);
            for (int32_t i = 0; i < n; ++i)
            {
                left[static_cast<size_t>(i)] = static_cast<float>(++sent_);
                right[static_cast<size_t>(i)] = -left[static_cast<size_t>(i)];
            }
            std::vector<float> outLeft(static_cast<size_t>(n), 0.0f), outRight(static_cast<size_t>(n), 0.0f);
            float* inputs[] = {left.data(), right.data()};
            float* outputs[] = {outLeft.data(), outRight.data()};
            effect->process(inputs, outputs, n);
            for (int32_t i = 0; i < n; ++i)
            {
                EXPECT_EQ(outRight[static_cast<size_t>(i)], -outLeft[static_cast<size_t>(i)]);
            }
            std::copy(outLeft.begin(), outLeft.end(), out.begin() + done);
        }
        received_ += frames;
        return out;
    }

    // How many trailing samples of `out` (the last Run) are the ramp delayed by exactly `delay`.
    int64_t DelayedTail(const std::vector<float>& out, int64_t delay) const
    {
        int64_t count = 0;
        for (size_t i = out.size(); i-- > 0;)
        {
            const int64_t t = received_ - static_cast<int64_t>(out.size()) + static_cast<int64_t>(i) + 1;
            if (static_cast<int64_t>(out[i]) != t - delay)
            {
                break;
            }
            ++count;
        }
        return count;
    }

    FakeSystem system_;
    FakeEnumerator enumerator_;
    FakeDriver driver_;
    std::vector<std::unique_ptr<DentrakEffect>> effects_;
    int64_t sent_ = 0;
    int64_t received_ = 0;
};

TEST_F(DentrakEffectTest, LengthsCountTheRoutingRoundTrip)
{
    const struct
    {
        int32_t preferred, block, amount, latency, delayBlocks;
    } cases[] = {
        {1024, 256, 1, 3, 6},    {1024, 256, 10, 3, 60}, {256, 512, 2, 0, 6},
        {1024, 64, 10, 15, 180}, {1024, 64, 7, 15, 126},
    };
    for (const auto& c : cases)
    {
        DentrakEffect* effect = Make(c.preferred, c.block);
        ASSERT_TRUE(effect->SetAmount(c.amount));
        EXPECT_EQ(effect->GetLatencyBlocks(), c.latency);
        EXPECT_EQ(effect->DelayBlocks(), c.delayBlocks);
        effects_.clear();
    }
    DentrakEffect* effect = Make(1024, 256);
    EXPECT_FALSE(effect->SetAmount(11));
    EXPECT_FALSE(effect->SetAmount(-1));
    EXPECT_EQ(effect->GetAmount(), 1);
    EXPECT_EQ(driver_.calls.end(), std::find(driver_.calls.begin(), driver_.calls.end(), "start")) << "never started";
}

TEST_F(DentrakEffectTest, TheLineHoldsItsLengthThroughRaisesAndLowerings)
{
    DentrakEffect* effect = Make(1024, 64); // L = 15: 18 blocks per step of the amount
    const int32_t block = 64;
    // amount, then how many host blocks to run at it (enough to settle and hold).
    const struct
    {
        int32_t amount;
        int32_t blocks;
    } steps[] = {{1, 40}, {3, 100}, {10, 400}, {1, 60}, {7, 300}, {2, 80}, {0, 10}, {4, 120}};
    for (const auto& step : steps)
    {
        ASSERT_TRUE(effect->SetAmount(step.amount));
        const std::vector<float> out = Run(effect, step.blocks * block, block);
        const int64_t delay = static_cast<int64_t>(effect->DelayBlocks()) * block;
        // A raise waits for the longer line to fill; after that, and at once after a
        // lowering, every sample comes out exactly the line's length late.
        const int64_t settled = static_cast<int64_t>(out.size()) - delay - block;
        EXPECT_GE(DelayedTail(out, delay), settled) << "amount " << step.amount;
    }
}

TEST_F(DentrakEffectTest, HostCallsOfAnyLengthKeepTheDelayExact)
{
    // Amount 2 with L = 3: 12 blocks of 64, whatever lengths the host's calls have.
    const struct
    {
        const char* name;
        std::function<int32_t(int call, std::mt19937& random)> length;
    } cases[] = {
        {"whole", [](int, std::mt19937&) { return 64; }},
        {"half", [](int, std::mt19937&) { return 32; }},
        {"split 44 + 20", [](int c, std::mt19937&) { return c % 2 == 0 ? 44 : 20; }},
        {"one in 21 shorter", [](int c, std::mt19937&) { return c % 21 == 20 ? 44 : 64; }},
        {"random", [](int, std::mt19937& r) { return 1 + static_cast<int32_t>(r() % 64); }},
        {"primes",
         [](int c, std::mt19937&) {
             return std::array<int32_t, 5>{61, 2, 37, 13, 59}[static_cast<size_t>(c % 5)];
         }},
        {"longer than the block", [](int c, std::mt19937&) { return c % 3 == 0 ? 150 : 17; }},
        {"half, then random", [](int c, std::mt19937& r) { return c < 100 ? 32 : 1 + static_cast<int32_t>(r() % 64); }},
    };
    for (const auto& c : cases)
    {
        DentrakEffect* effect = Make(256, 64);
        ASSERT_TRUE(effect->SetAmount(2));
        const int64_t delay = 12 * 64;
        std::mt19937 random(5);
        int64_t t = 0;
        int64_t wrong = 0;
        for (int call = 0; t < 200 * 64; ++call)
        {
            const int32_t n = c.length(call, random);
            const std::vector<float> out = Run(effect, n, n);
            for (int32_t i = 0; i < n; ++i, ++t)
            {
                const float expected = t >= delay ? static_cast<float>(t - delay + 1) : 0.0f;
                wrong += out[static_cast<size_t>(i)] != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
        effects_.clear();
        sent_ = received_ = 0;
    }
}

TEST_F(DentrakEffectTest, ChunkHoldsTheAmountAndShortChunksAreRefused)
{
    DentrakEffect* effect = Make(1024, 256);
    ASSERT_TRUE(effect->SetAmount(4));
    void* first = nullptr;
    ASSERT_EQ(effect->getChunk(&first, false), 4);
    int32_t stored = 0;
    std::memcpy(&stored, first, 4);
    EXPECT_EQ(stored, 4);
    ASSERT_TRUE(effect->SetAmount(9));
    void* second = nullptr;
    ASSERT_EQ(effect->getChunk(&second, false), 4);
    std::memcpy(&stored, second, 4);
    EXPECT_EQ(stored, 9);
    EXPECT_EQ(effect->getChunk(nullptr, false), 0);

    int32_t value = 3;
    EXPECT_EQ(effect->setChunk(nullptr, 4, false), 0);
    EXPECT_EQ(effect->setChunk(&value, 3, false), 0);
    EXPECT_EQ(effect->GetAmount(), 9);
    Run(effect, 20 * 256, 256);
    for (int32_t bad : {11, -1})
    {
        EXPECT_EQ(effect->setChunk(&bad, 4, false), 4);
        EXPECT_EQ(effect->GetAmount(), 9);
        StreamSlot::Use use(effect->GetStream());
        ASSERT_NE(use.Get(), nullptr);
        EXPECT_EQ(use.Get()->OutputQueueCount(0), 0) << "rebuilt: queues empty";
    }
    EXPECT_EQ(effect->setChunk(&value, 4, false), 4);
    EXPECT_EQ(effect->GetAmount(), 3);
}

TEST_F(DentrakEffectTest, AmountZeroPassesAudioStraightThrough)
{
    DentrakEffect* effect = Make(1024, 128);
    int32_t zero = 0;
    ASSERT_EQ(effect->setChunk(&zero, 4, false), 4);
    const std::vector<float> out = Run(effect, 50 * 128, 128);
    EXPECT_EQ(DelayedTail(out, 0), 50 * 128);
}

TEST_F(DentrakEffectTest, AnInstanceBeyondTheEighthPassesItsTrackUndelayed)
{
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_NE(Make(1024, 128)->GetLink(), nullptr);
    }
    DentrakEffect* ninth = Make(1024, 128);
    EXPECT_EQ(ninth->GetLink(), nullptr);
    EXPECT_EQ(ninth->GetRecord()->inputCount, 2);
    EXPECT_EQ(ninth->GetRecord()->flags, 0);
    const std::vector<float> out = Run(ninth, 10 * 128, 128);
    EXPECT_EQ(DelayedTail(out, 0), 10 * 128);
}

} // namespace
