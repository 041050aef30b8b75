#include "plugins/base/stream/AudioStream.h"

#include "plugins/base/stream/tests/StreamTestSupport.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace
{

// A stream of 256-frame blocks on a simulated driver with separate input buffers.
class AudioStreamTest : public StreamOnDriver
{
protected:
    static constexpr int32_t kFrames = 256;

    AudioStreamTest() : StreamOnDriver(kFrames, false) {}

    // Writes n samples per channel: channel c, sample i of this call = base + c * 0.25 + i * step.
    void Write(int32_t n, float base, float step = 0.0f)
    {
        std::vector<float> left(static_cast<size_t>(n)), right(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
        {
            left[static_cast<size_t>(i)] = base + step * static_cast<float>(i);
            right[static_cast<size_t>(i)] = base + 0.25f + step * static_cast<float>(i);
        }
        const float* inputs[] = {left.data(), right.data()};
        stream_->WriteHostInput(inputs, n);
    }

    // Reads n samples per channel into arrays that start at the given value.
    std::vector<std::vector<float>> Read(int32_t n, float start = 0.0f)
    {
        std::vector<std::vector<float>> out(2, std::vector<float>(static_cast<size_t>(n), start));
        float* outputs[] = {out[0].data(), out[1].data()};
        stream_->ReadHostOutput(outputs, n);
        return out;
    }

    int32_t TotalBlocks()
    {
        return stream_->FreeCount() + stream_->OutputQueueCount(0) + stream_->OutputQueueCount(1) +
               stream_->InputQueueCount(0) + stream_->InputQueueCount(1);
    }
};

TEST_F(AudioStreamTest, AllocateMakesTheFreeList)
{
    EXPECT_EQ(stream_->FreeCount(), 256);
    EXPECT_EQ(stream_->Frames(), kFrames);
    EXPECT_TRUE(stream_->Allocate(64));
    EXPECT_EQ(stream_->FreeCount(), 256);
    EXPECT_EQ(stream_->Frames(), 64);
    EXPECT_FALSE(stream_->Allocate(0));
    EXPECT_EQ(stream_->FreeCount(), 0);
    // Without blocks the host calls and the switch do nothing harmful.
    Write(10, 0.5f);
    Read(10);
    stream_->OnSwitch(0);
    EXPECT_EQ(stream_->FreeCount(), 0);
}

TEST(AudioStreamMemory, AllocateReportsBlocksItCannotHave)
{
    DestroyPlatform();
    {
        FailingPlatform platform;
        PlatformLock listLock;
        platform.InitLock(&listLock);
        {
            AudioStream stream(64, &listLock);
            platform.failing = true;
            EXPECT_FALSE(stream.Allocate(64));
            EXPECT_EQ(stream.FreeCount(), 0);
            platform.failing = false;
            EXPECT_TRUE(stream.Allocate(64));
            EXPECT_EQ(stream.FreeCount(), 256);
        }
        platform.DeleteLock(&listLock);
    }
    CreatePlatform(0x10000);
}

TEST_F(AudioStreamTest, PartialBlockPlaysRightAlignedBehindZeros)
{
    // Two host blocks of 128 fill one 256-frame block.
    Write(128, 0.5f);
    EXPECT_EQ(stream_->WritePosition(0), 128);
    Write(128, 0.75f);
    EXPECT_EQ(stream_->WritePosition(0), 0);
    EXPECT_EQ(stream_->OutputQueueCount(0), 1);
    stream_->OnSwitch(0);
    EXPECT_EQ(driver_.Half32(0, 0)[0], 1073709056);   // 0.5
    EXPECT_EQ(driver_.Half32(0, 0)[255], 1610563584); // 0.75

    // A switch between the two writes plays the first half behind 128 zeros.
    driver_.FillAll(7);
    Write(128, 0.5f);
    stream_->OnSwitch(1);
    const int32_t* half = driver_.Half32(0, 1);
    for (int32_t i = 0; i < 128; ++i)
        ASSERT_EQ(half[i], 0) << i;
    for (int32_t i = 128; i < 256; ++i)
        ASSERT_EQ(half[i], 1073709056) << i;
    EXPECT_EQ(stream_->WritePosition(0), 0);
    EXPECT_EQ(events_.Silence(StreamEvent::PartialBlock, 0), 128);
    EXPECT_EQ(events_.Silence(StreamEvent::PartialBlock, 1), 128);
    // The second write starts a new block.
    Write(128, 0.75f);
    EXPECT_EQ(stream_->WritePosition(0), 128);
    EXPECT_EQ(stream_->OutputQueueCount(0), 1);
}

TEST_F(AudioStreamTest, UnderrunPlaysSilence)
{
    driver_.FillAll(12345);
    stream_->OnSwitch(0);
    for (int32_t b = 0; b < 2; ++b)
    {
        for (int32_t i = 0; i < kFrames; ++i)
            ASSERT_EQ(driver_.Half32(b, 0)[i], 0) << b << " " << i;
    }
    // The other half is not this switch's.
    EXPECT_EQ(driver_.Half32(0, 1)[0], 12345);
    EXPECT_EQ(events_.Silence(StreamEvent::Underrun, 0), kFrames);
    EXPECT_EQ(events_.Silence(StreamEvent::Underrun, 1), kFrames);
}

TEST_F(AudioStreamTest, ProcessLevelZeroWritesSilenceAndMovesNothing)
{
    stream_->SetProcessLevel(0);
    Write(kFrames, 0.5f);
    driver_.FillAll(3);
    EXPECT_FALSE(stream_->SwitchSeen());
    stream_->OnSwitch(1);
    EXPECT_TRUE(stream_->SwitchSeen());
    EXPECT_EQ(driver_.Half32(0, 1)[5], 0);
    EXPECT_EQ(driver_.Half32(1, 1)[5], 0);
    EXPECT_EQ(stream_->OutputQueueCount(0), 1);
    EXPECT_EQ(stream_->InputQueueCount(0), 0);
    stream_->ClearSwitchSeen();
    EXPECT_FALSE(stream_->SwitchSeen());
}

TEST_F(AudioStreamTest, CapturedAudioIsAddedToTheHostBuffers)
{
    for (int32_t i = 0; i < kFrames; ++i)
    {
        driver_.Half32(2, 0)[i] = 1 << 29;    // 0.25
        driver_.Half32(3, 0)[i] = -(1 << 28); // -0.125
    }
    stream_->OnSwitch(0);
    EXPECT_EQ(stream_->InputQueueCount(0), 1);
    auto out = Read(100, 0.5f);
    EXPECT_EQ(out[0][0], 0.75f);
    EXPECT_EQ(out[1][99], 0.375f);
    EXPECT_EQ(stream_->ReadPosition(0), 100);
    // The rest of the block, then nothing: what was not captured stays as it was.
    out = Read(200, 1.0f);
    EXPECT_EQ(out[0][155], 1.25f);
    EXPECT_EQ(out[0][156], 1.0f);
    EXPECT_EQ(events_.Silence(StreamEvent::EmptyRead, 0), 44);
    EXPECT_EQ(stream_->InputQueueCount(0), 0);
    EXPECT_EQ(stream_->FreeCount(), 256);
}

TEST_F(AudioStreamTest, OversizedHostCallsSpanSeveralBlocks)
{
    const int32_t n = 2 * kFrames + kFrames / 2;
    Write(n, 0.0f, 1.0f / 1024.0f);
    EXPECT_EQ(stream_->OutputQueueCount(0), 3);
    EXPECT_EQ(stream_->WritePosition(0), kFrames / 2);
    // Loop the outputs back to the inputs and read the whole call back in one go.
    FakeDriver loop(kFrames, kSampleTypeInt32LSB, true);
    stream_->AttachDriverBuffers(loop.Buffers());
    for (int32_t s = 0; s < 3; ++s)
        stream_->OnSwitch(s % 2);
    auto out = Read(3 * kFrames);
    // The last block was partly filled and played behind 128 zeros.
    for (int32_t i = 0; i < 2 * kFrames; ++i)
        ASSERT_NEAR(out[0][static_cast<size_t>(i)], static_cast<float>(i) / 1024.0f * 0.99997f, 1e-6f) << i;
    for (int32_t i = 2 * kFrames; i < 2 * kFrames + kFrames / 2; ++i)
        ASSERT_EQ(out[0][static_cast<size_t>(i)], 0.0f) << i;
    for (int32_t i = 2 * kFrames + kFrames / 2; i < 3 * kFrames; ++i)
        ASSERT_NEAR(out[1][static_cast<size_t>(i)], (0.25f + static_cast<float>(i - kFrames / 2) / 1024.0f) * 0.99997f,
                    1e-6f)
            << i;
    EXPECT_EQ(TotalBlocks(), 256);
}

struct TrimCase
{
    int32_t latency;
    int32_t outputBlocks; // whole blocks queued for output
    int32_t partialTail;  // samples in a partly filled last block, 0 for none
    int32_t inputBlocks;
    int32_t outputsLeft;
    int32_t inputsLeft;
};

class AudioStreamTrimTest : public AudioStreamTest, public ::testing::WithParamInterface<TrimCase>
{
};

TEST_P(AudioStreamTrimTest, KeepsTheLatencyAndTheBlockBeingFilled)
{
    const TrimCase& c = GetParam();
    // Captured blocks first (their switches find no output), then the host's blocks.
    for (int32_t s = 0; s < c.inputBlocks; ++s)
        stream_->OnSwitch(s % 2);
    Read(kFrames / 4); // part of the head block is read already
    Write(c.outputBlocks * kFrames + c.partialTail, 0.5f);
    stream_->SetLatency(c.latency);
    stream_->TrimQueues();
    for (int32_t ch = 0; ch < 2; ++ch)
    {
        EXPECT_EQ(stream_->OutputQueueCount(ch), c.outputsLeft) << ch;
        EXPECT_EQ(stream_->InputQueueCount(ch), c.inputsLeft) << ch;
        EXPECT_EQ(stream_->WritePosition(ch), c.partialTail) << ch;
        const bool headDropped = c.inputsLeft < c.inputBlocks;
        EXPECT_EQ(stream_->ReadPosition(ch), headDropped || c.inputBlocks == 0 ? 0 : kFrames / 4) << ch;
    }
    EXPECT_EQ(TotalBlocks(), 256);
    // A surviving partly filled tail still plays its samples, right-aligned.
    if (c.partialTail != 0 && c.outputsLeft == 1)
    {
        stream_->OnSwitch(0);
        EXPECT_EQ(driver_.Half32(0, 0)[kFrames - c.partialTail - 1], 0);
        EXPECT_EQ(driver_.Half32(0, 0)[kFrames - 1], 1073709056);
    }
}

INSTANTIATE_TEST_SUITE_P(Latencies, AudioStreamTrimTest,
                         ::testing::Values(
                             // L = 1 empties the output queues, L = 0 keeps one block.
                             TrimCase{0, 2, 0, 3, 1, 0}, TrimCase{1, 2, 0, 3, 0, 1},
                             // L >= 2 keeps L - 1 blocks, not none.
                             TrimCase{2, 3, 0, 4, 1, 2}, TrimCase{3, 3, 0, 3, 2, 3}, TrimCase{3, 5, 0, 5, 2, 3},
                             // Nothing beyond the latency: nothing moves.
                             TrimCase{3, 1, 0, 2, 1, 2},
                             // A head the host is reading keeps its place beside L whole blocks;
                             // once more than that waits, it goes first.
                             TrimCase{1, 0, 0, 2, 0, 2}, TrimCase{2, 0, 0, 3, 0, 3}, TrimCase{1, 0, 0, 4, 0, 1},
                             TrimCase{2, 0, 0, 5, 0, 2},
                             // The partly filled tail stays with its write position, beside
                             // L - 1 whole blocks.
                             TrimCase{1, 2, 100, 0, 1, 0}, TrimCase{2, 3, 100, 0, 2, 0}, TrimCase{3, 3, 100, 0, 3, 0},
                             TrimCase{3, 1, 100, 0, 2, 0}, TrimCase{0, 3, 100, 0, 1, 0}));

TEST_F(AudioStreamTest, LevelKeepsTheFirstSampleAboveMinus96Decibels)
{
    // Int32 values: 2^15 is about 1.5e-5 (below the floor), 2^17 about 6.1e-5 (above).
    const int32_t quiet = 1 << 15, loud = 1 << 17;
    int32_t* capture = driver_.Half32(2, 0);
    for (int32_t i = 0; i < kFrames; ++i)
        capture[i] = quiet;
    capture[10] = -loud;
    capture[11] = 2 * loud;
    stream_->OnSwitch(0);
    EXPECT_EQ(stream_->TakeLevel(2), -static_cast<float>(loud) / 2147483648.0f);
    EXPECT_EQ(stream_->TakeLevel(2), 0.0f);

    // While everything stays below, the level follows the latest sample.
    capture[10] = capture[11] = quiet;
    capture[kFrames - 1] = -quiet;
    stream_->OnSwitch(0);
    EXPECT_EQ(stream_->TakeLevel(2), -static_cast<float>(quiet) / 2147483648.0f);

    // A level above the floor stays until it is taken.
    capture[0] = loud;
    stream_->OnSwitch(0);
    capture[0] = 2 * loud;
    stream_->OnSwitch(0);
    EXPECT_EQ(stream_->TakeLevel(2), static_cast<float>(loud) / 2147483648.0f);

    // Outputs: the level of the played floats, before conversion.
    Write(kFrames, 0.5f);
    stream_->OnSwitch(0);
    EXPECT_EQ(stream_->TakeLevel(0), 0.5f);
    EXPECT_EQ(stream_->TakeLevel(1), 0.75f);
    EXPECT_EQ(stream_->TakeLevel(7), 0.0f);
}

TEST_F(AudioStreamTest, SwitchEventOnlyWhenRenderingOffline)
{
    stream_->OnSwitch(0);
    EXPECT_FALSE(stream_->WaitForSwitch(0));
    stream_->SetProcessLevel(4);
    stream_->OnSwitch(1);
    EXPECT_TRUE(stream_->WaitForSwitch(0));
    EXPECT_FALSE(stream_->WaitForSwitch(0));
    stream_->SetProcessLevel(0);
    stream_->OnSwitch(0);
    EXPECT_FALSE(stream_->WaitForSwitch(0));
}

TEST_F(AudioStreamTest, AWaitEndsAtTheFirstSwitchOrWhenTheOwnerStopsWaits)
{
    EXPECT_FALSE(stream_->WaitForFirstSwitch(0));
    std::thread driverThread([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stream_->OnSwitch(0);
    });
    EXPECT_TRUE(stream_->WaitForFirstSwitch(AudioStream::kSwitchWaitMs));
    driverThread.join();
    EXPECT_TRUE(stream_->WaitForFirstSwitch(0));

    // A host call waiting offline is let go by StopWaits, and waits no more after it, even
    // with a switch signalled.
    stream_->SetProcessLevel(4);
    std::atomic<int> answer{-1};
    std::thread host([this, &answer] { answer = stream_->WaitForSwitch() ? 1 : 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stream_->StopWaits();
    host.join();
    EXPECT_EQ(answer.load(), 0);
    stream_->OnSwitch(1);
    EXPECT_FALSE(stream_->WaitForSwitch());
}

// How a host cuts its calls: the length of call number `call`.
using CallLength = int32_t (*)(int call, uint32_t* seed);

struct HoldCase
{
    const char* name;
    int32_t hold;      // beyond the loop of two blocks
    CallLength length; // at most kLongest
    int32_t pending;   // driver time already passed towards its next switch when the host starts
    int stallAt;       // the call before which the host stalls (-1: never)
    int32_t stall;     // samples of driver time that pass meanwhile; the host catches up after
    int32_t mostLost;  // 0: every sample comes back; -1: some are lost all along; else at most
                       // that many, none once the host has caught up
};

constexpr int32_t kLongest = 100;
constexpr int32_t kHoldFrames = 256; // AudioStreamTest's blocks

int32_t Random(int, uint32_t* seed)
{
    *seed = *seed * 1103515245u + 12345u;
    return 1 + static_cast<int32_t>((*seed >> 8) % kLongest);
}
int32_t Longest(int, uint32_t*)
{
    return kLongest;
}
int32_t OneShorter(int call, uint32_t*)
{
    return call % 21 == 20 ? 68 : kLongest;
}
int32_t Primes(int call, uint32_t*)
{
    static const int32_t kPrimes[] = {97, 2, 61, 89, 7, 31, 83, 13};
    return kPrimes[call % 8];
}

class AudioStreamHoldTest : public AudioStreamTest, public ::testing::WithParamInterface<HoldCase>
{
};

// The driver loops each played buffer back two switches later; time passes in lock step with
// the host's calls. Every sample the host reads is the one it wrote the hold and two blocks
// earlier, or zero where one was lost: never another one (nothing moves in time).
TEST_P(AudioStreamHoldTest, EverySampleComesBackAfterTheHeldDelayOrNotAtAll)
{
    const HoldCase& c = GetParam();
    stream_->HoldDelay(c.hold);
    stream_->Reset(false);
    const int64_t delay = 2 * kFrames + c.hold;
    // What each half of each output played last, by half and channel.
    std::vector<std::vector<int32_t>> played(4, std::vector<int32_t>(kFrames, 0));
    int half = 0;
    int32_t pending = c.pending;
    const auto passTime = [&](int32_t frames) {
        for (pending += frames; pending >= kFrames; pending -= kFrames)
        {
            for (int32_t ch = 0; ch < 2; ++ch)
                std::copy(played[2 * half + ch].begin(), played[2 * half + ch].end(), driver_.Half32(2 + ch, half));
            stream_->OnSwitch(half);
            for (int32_t ch = 0; ch < 2; ++ch)
                std::copy(driver_.Half32(ch, half), driver_.Half32(ch, half) + kFrames, played[2 * half + ch].begin());
            half ^= 1;
        }
    };
    constexpr int kCalls = 4000;
    int64_t sent = 0, wrong = 0, lost = 0, lostLate = 0;
    int32_t owed = 0; // driver time the host has yet to catch up on after its stall
    uint32_t seed = 3;
    for (int call = 0; call < kCalls; ++call)
    {
        if (call == c.stallAt)
        {
            passTime(c.stall);
            owed = c.stall;
        }
        const int32_t n = c.length(call, &seed);
        // Sample t of the host's signal is t + 1, scaled to stay exact through 32-bit samples.
        std::vector<float> left(static_cast<size_t>(n)), right(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
        {
            left[static_cast<size_t>(i)] = static_cast<float>(sent + i + 1) / 1048576.0f;
            right[static_cast<size_t>(i)] = -left[static_cast<size_t>(i)];
        }
        const float* inputs[] = {left.data(), right.data()};
        stream_->WriteHostInput(inputs, n);
        std::vector<float> out(static_cast<size_t>(n), 0.0f), outRight(static_cast<size_t>(n), 0.0f);
        float* outputs[] = {out.data(), outRight.data()};
        stream_->ReadHostOutput(outputs, n);
        for (int32_t i = 0; i < n; ++i)
        {
            const int64_t due = sent + i - delay + 1;
            // Float to 32-bit integer scales by 2147418112, back by 2^-31.
            const double expected =
                due > 0 ? static_cast<double>(due) / 1048576.0 * (2147418112.0 / 2147483648.0) : 0.0;
            const float x = out[static_cast<size_t>(i)];
            const bool missing = due > 0 && x == 0.0f;
            lost += missing ? 1 : 0;
            lostLate += missing && call > kCalls / 2 ? 1 : 0;
            wrong += !missing && std::fabs(x - expected) > 2e-7 ? 1 : 0;
            wrong += outRight[static_cast<size_t>(i)] != -x ? 1 : 0;
        }
        sent += n;
        // Catching up: the host's calls come at once until it is back on time.
        const int32_t caughtUp = owed < n ? owed : n;
        owed -= caughtUp;
        passTime(n - caughtUp);
    }
    EXPECT_EQ(wrong, 0) << "samples back at another delay";
    EXPECT_EQ(events_.Silence(StreamEvent::EmptyRead, 0), lost) << "every sample lost is told";
    if (c.mostLost == 0)
    {
        EXPECT_EQ(lost, 0);
        return;
    }
    EXPECT_GT(lost, 0);
    if (c.mostLost > 0)
    {
        EXPECT_LE(lost, c.mostLost) << "what the host sent too late, and no more";
        EXPECT_EQ(lostLate, 0) << "the host is back within the hold once it has caught up";
        EXPECT_GT(events_.Dropped(StreamEvent::TrimOutput, 0), 0) << "what it sent too late never played";
    }
}

// A block and a longest call less a sample hold whatever the calls. A stall of the host's own
// longer than the hold has room for loses what the host sent too late, once, and no more.
INSTANTIATE_TEST_SUITE_P(
    Calls, AudioStreamHoldTest,
    ::testing::Values(HoldCase{"Random", kHoldFrames + kLongest - 1, &Random, kHoldFrames - 1, -1, 0, 0},
                      HoldCase{"RandomFromASwitch", kHoldFrames + kLongest - 1, &Random, 0, -1, 0, 0},
                      HoldCase{"OneIn21Shorter", kHoldFrames + kLongest - 1, &OneShorter, 17, -1, 0, 0},
                      HoldCase{"Primes", kHoldFrames + kLongest - 1, &Primes, 200, -1, 0, 0},
                      HoldCase{"LongestMoreHeld", 3 * kHoldFrames, &Longest, 100, -1, 0, 0},
                      HoldCase{"RandomShortOfTheLeast", kHoldFrames + kLongest - 30, &Random, kHoldFrames - 1, -1, 0,
                               -1},
                      HoldCase{"HostStallsLongerThanTheHold", kHoldFrames + kLongest - 1, &Random, 0, 1000,
                               8 * kHoldFrames, 8 * kHoldFrames},
                      // Less than a block goes: not the whole block the first sample too many is in.
                      HoldCase{"HostStallsBriefly", kHoldFrames + kLongest - 1, &Random, 0, 1000, 300, kHoldFrames - 1},
                      HoldCase{"HostStallsWithinTheHold", 4 * kHoldFrames, &Longest, 0, 1000, 2 * kHoldFrames, 0}),
    [](const ::testing::TestParamInfo<HoldCase>& info) { return std::string(info.param.name); });

TEST_F(AudioStreamTest, OtherSampleTypesQueueSilence)
{
    // Every block has held captured audio once.
    int32_t* capture = driver_.Half32(2, 0);
    for (int32_t i = 0; i < kFrames; ++i)
        capture[i] = 1 << 30;
    for (int32_t s = 0; s < 128; ++s)
    {
        stream_->OnSwitch(0);
        Read(kFrames);
    }
    driver_.SetSampleType(2, 17);
    stream_->AttachDriverBuffers(driver_.Buffers());
    stream_->OnSwitch(0);
    auto out = Read(kFrames, 0.0f);
    for (int32_t i = 0; i < kFrames; ++i)
        ASSERT_EQ(out[0][static_cast<size_t>(i)], 0.0f) << i;
    // Neither is anything written to an output of another type.
    driver_.SetSampleType(0, 17);
    stream_->AttachDriverBuffers(driver_.Buffers());
    driver_.FillAll(9);
    Write(kFrames, 0.5f);
    stream_->OnSwitch(0);
    EXPECT_EQ(driver_.Half32(0, 0)[0], 9);
    EXPECT_EQ(driver_.Half32(1, 0)[0], 1610563584); // 0.75 on the 32-bit channel
}

TEST_F(AudioStreamTest, HostOverflowDropsEverythingQueuedAndGoesOn)
{
    // 128 blocks per channel fill the free list; one more block overflows.
    Write(128 * kFrames, 0.5f);
    EXPECT_EQ(stream_->FreeCount(), 0);
    Write(100, 0.25f);
    EXPECT_EQ(events_.Dropped(StreamEvent::OverflowOutput, 0), 128 * kFrames);
    EXPECT_EQ(events_.Dropped(StreamEvent::OverflowOutput, 1), 128 * kFrames);
    EXPECT_EQ(stream_->OutputQueueCount(0), 1);
    EXPECT_EQ(stream_->OutputQueueCount(1), 1);
    EXPECT_EQ(stream_->WritePosition(1), 100);
    EXPECT_EQ(TotalBlocks(), 256);
}

TEST_F(AudioStreamTest, HostOverflowKeepsTheChannelsAligned)
{
    // Channel 0 has one block more queued, so one free block is left where a call needs two.
    Write(127 * kFrames, 0.5f);
    std::vector<float> extra(kFrames, 0.5f);
    const float* leftOnly[] = {extra.data(), nullptr};
    stream_->WriteHostInput(leftOnly, kFrames);
    ASSERT_EQ(stream_->FreeCount(), 1);
    Write(kFrames / 2, 0.25f);
    for (int32_t c = 0; c < 2; ++c)
    {
        EXPECT_EQ(stream_->OutputQueueCount(c), 1) << c;
        EXPECT_EQ(stream_->WritePosition(c), kFrames / 2) << c;
    }
    EXPECT_EQ(events_.Dropped(StreamEvent::OverflowOutput, 0), 128 * kFrames);
    EXPECT_EQ(events_.Dropped(StreamEvent::OverflowOutput, 1), 127 * kFrames);
}

TEST_F(AudioStreamTest, InputTrimKeepsTheReadPositionOfAHeadItKeeps)
{
    for (int32_t i = 0; i < kFrames; ++i)
        driver_.Half32(3, 0)[i] = (i + 1) << 16;
    for (int32_t s = 0; s < 3; ++s)
        stream_->OnSwitch(0);
    // Channel 1 alone reads two blocks and ten samples.
    std::vector<float> right(2 * kFrames + 10);
    float* rightOnly[] = {nullptr, right.data()};
    stream_->ReadHostOutput(rightOnly, 2 * kFrames + 10);
    ASSERT_EQ(stream_->InputQueueCount(0), 3);
    ASSERT_EQ(stream_->InputQueueCount(1), 1);
    stream_->SetLatency(2);
    EXPECT_EQ(stream_->TrimQueues(), 1);
    EXPECT_EQ(stream_->InputQueueCount(0), 2);
    // Channel 1's head was not dropped: its next read goes on after the ten samples.
    EXPECT_EQ(stream_->ReadPosition(1), 10);
    auto out = Read(1);
    EXPECT_EQ(out[1][0], static_cast<float>(11 << 16) / 2147483648.0f);
}

TEST_F(AudioStreamTest, DelayLineMovesWholeBlocksUntilTheInputHoldsWhatIsAskedFor)
{
    Write(2 * kFrames + 5, 0.5f);
    // Two whole blocks and a partly filled one: the partial block never moves.
    EXPECT_EQ(stream_->QueuedSamples(0), 2 * kFrames + 5);
    EXPECT_EQ(stream_->MoveOutputHeadsToInput(0, 0), 0);
    EXPECT_EQ(stream_->MoveOutputHeadsToInput(0, 1), 1);
    EXPECT_EQ(stream_->MoveOutputHeadsToInput(0, kFrames), 0) << "the input holds a block already";
    EXPECT_EQ(stream_->MoveOutputHeadsToInput(0, 3 * kFrames), 1) << "the partial tail stays";
    EXPECT_EQ(stream_->MoveOutputHeadsToInput(5, 0), 0);
    EXPECT_EQ(stream_->OutputQueueCount(0), 1);
    EXPECT_EQ(stream_->InputQueueCount(0), 2);
    auto out = Read(kFrames / 2);
    EXPECT_EQ(out[0][kFrames / 2 - 1], 0.5f);
    EXPECT_EQ(stream_->QueuedSamples(0), 2 * kFrames + 5 - kFrames / 2);
    EXPECT_EQ(events_.Silence(StreamEvent::EmptyRead, 1), kFrames / 2);
}

TEST_F(AudioStreamTest, DelayLineDropsItsOldestSamplesAcrossBothQueues)
{
    Write(3 * kFrames, 0.5f, 1.0f / 1024.0f);
    Write(10, 0.25f);
    stream_->MoveOutputHeadsToInput(0, 1);
    Read(7);
    // The oldest unread samples go first, from the input queue on into whole output blocks;
    // the partly filled tail never goes.
    EXPECT_EQ(stream_->DropOldest(0, kFrames + 3), kFrames + 3);
    auto out = Read(1);
    EXPECT_EQ(out[0][0], 0.5f + static_cast<float>(7 + kFrames + 3) / 1024.0f);
    EXPECT_EQ(stream_->DropOldest(0, 5 * kFrames), 2 * kFrames - 7 - 3 - 1);
    EXPECT_EQ(stream_->QueuedSamples(0), 10);
    EXPECT_EQ(stream_->DropOldest(7, 1), 0);
    EXPECT_EQ(stream_->QueuedSamples(1), 3 * kFrames + 10) << "channel 1 had nothing to read";
    EXPECT_EQ(events_.Dropped(StreamEvent::DelayShortened, 0), 3 * kFrames - 8);
    EXPECT_EQ(TotalBlocks(), 256);
}

TEST_F(AudioStreamTest, AllocateTakesTheBlockCountADelayLineNeeds)
{
    EXPECT_TRUE(stream_->Allocate(32, 300));
    EXPECT_EQ(stream_->FreeCount(), 600);
    EXPECT_FALSE(stream_->Allocate(32, 0));
    EXPECT_EQ(stream_->FreeCount(), 0);
}

TEST_F(AudioStreamTest, DriverOverflowDropsCapturedAudioWithoutTouchingTheHostsBlocks)
{
    // The host has part of a block written and part of the head block read.
    stream_->OnSwitch(0);
    Read(50);
    Write(30, 0.5f);
    // Captures without reads use up the free list (the output block plays at the first).
    for (int32_t s = 0; s < 127; ++s)
        stream_->OnSwitch(s % 2);
    EXPECT_EQ(stream_->FreeCount(), 0);
    EXPECT_EQ(stream_->InputQueueCount(0), 128);
    stream_->OnSwitch(0);
    EXPECT_EQ(events_.Dropped(StreamEvent::OverflowInput, 0), 128 * kFrames - 50);
    EXPECT_EQ(stream_->InputQueueCount(0), 1);
    EXPECT_EQ(stream_->ReadPosition(0), 0);
    EXPECT_EQ(TotalBlocks(), 256);
    // Host writes and reads go on from clean positions.
    Write(kFrames + 10, 0.5f);
    EXPECT_EQ(stream_->OutputQueueCount(0), 2);
    EXPECT_EQ(stream_->WritePosition(0), 10);
    Read(kFrames);
    EXPECT_EQ(stream_->InputQueueCount(0), 0);
    EXPECT_EQ(TotalBlocks(), 256);
}

TEST_F(AudioStreamTest, ResetRecyclesTheQueuesAndClearsTheFreeBlocks)
{
    Write(kFrames * 3 + 5, 0.5f);
    stream_->OnSwitch(0);
    stream_->OnSwitch(1);
    Read(7);
    stream_->Reset(true);
    EXPECT_EQ(stream_->FreeCount(), 256);
    EXPECT_EQ(stream_->WritePosition(0), 0);
    EXPECT_EQ(stream_->ReadPosition(0), 0);
    EXPECT_EQ(stream_->TakeLevel(0), 0.0f);
    EXPECT_EQ(events_.Dropped(StreamEvent::ResetOutput, 0), kFrames + 5);
    EXPECT_EQ(events_.Dropped(StreamEvent::ResetInput, 0), 2 * kFrames - 7);
}

} // namespace
