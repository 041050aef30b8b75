// The host thread and a free-running switch thread on one stream, the driver looping its
// outputs back to its inputs. Every sample the host writes carries its sequence number, so
// the host can tell from what it reads back that nothing was duplicated or reordered, and
// the test can check that every lost sample and every inserted zero was reported.
#include "plugins/base/stream/AudioStream.h"

#include "plugins/base/stream/tests/StreamTestSupport.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace
{

constexpr int32_t kFrames = 16;
// Sequence numbers travel modulo this period, as values 1 .. 2^22 - 1 over 2^22: exact
// enough through the driver's 32-bit samples, and never zero.
constexpr int64_t kScale = int64_t(1) << 22;
constexpr int64_t kPeriod = kScale - 1;
// Channel 1 carries the sequence shifted, so a sample on the wrong channel shows.
constexpr int64_t kChannelShift = kPeriod / 2;

float Encode(int64_t sequence, int channel)
{
    return static_cast<float>((sequence + channel * kChannelShift) % kPeriod + 1) / static_cast<float>(kScale);
}

// What a 32-bit driver round trip makes of Encode's value, back to the sequence modulo the period.
int64_t Decode(float value, int channel)
{
    const double scaled = static_cast<double>(value) * static_cast<double>(kScale) * (2147483648.0 / 2147418112.0);
    const int64_t code = std::llround(scaled) - 1;
    return ((code - channel * kChannelShift) % kPeriod + kPeriod) % kPeriod;
}

// Follows one channel's read-back samples.
struct SequenceCheck
{
    int channel = 0;
    int64_t next = 0; // sequence number expected next
    int64_t seen = 0;
    int64_t skipped = 0;
    int64_t zeros = 0;
    int64_t faults = 0;    // duplicated, reordered or foreign samples
    int64_t mostAhead = 0; // the most samples written but not yet read back at a read

    // written: how many samples the host had written when it read these. A sample is
    // good only as one of those not read back yet, which names it unambiguously while
    // fewer than a period are outstanding.
    void Take(const float* samples, int32_t n, int64_t written)
    {
        for (int32_t i = 0; i < n; ++i)
        {
            if (samples[i] == 0.0f)
            {
                ++zeros;
                continue;
            }
            const int64_t ahead = written - next;
            mostAhead = ahead > mostAhead ? ahead : mostAhead;
            const int64_t gap = ((Decode(samples[i], channel) - next) % kPeriod + kPeriod) % kPeriod;
            if (gap >= ahead)
            {
                ++faults;
                continue;
            }
            skipped += gap;
            next += gap + 1;
            ++seen;
        }
    }
};

// The host's and the driver's sample clocks. In a real system one clock drives both; here
// each thread runs free but holds back while it is more than the slack ahead of the other.
// Without that, a thread the machine leaves unscheduled for a while lets the other drop
// everything meanwhile (the driver's silent captures overflow the free list, the host's
// writes are trimmed), and on one busy CPU no audio comes through at all. The slack keeps
// the driver's lead well inside the free list.
struct SampleClocks
{
    static constexpr int64_t kSlack = 32 * kFrames;
    std::atomic<int64_t> host{0};
    std::atomic<int64_t> driver{0};

    static void HoldBack(const std::atomic<int64_t>& own, const std::atomic<int64_t>& other,
                         const std::atomic<bool>& stop)
    {
        while (!stop.load() && own.load() - other.load() > kSlack)
            std::this_thread::yield();
    }
};

// xorshift: the same host behaviour in every run.
struct Random
{
    uint32_t state;
    uint32_t operator()(uint32_t below)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state % below;
    }
};

class AudioStreamThreadsTest : public StreamOnDriver
{
protected:
    AudioStreamThreadsTest() : StreamOnDriver(kFrames, true)
    {
        for (int c = 0; c < 2; ++c)
        {
            checks_[c].channel = c;
            in_[c].resize(kMaxCall);
            out_[c].resize(kMaxCall);
        }
    }
    void Write(int32_t n)
    {
        for (int c = 0; c < 2; ++c)
        {
            for (int32_t i = 0; i < n; ++i)
                in_[c][static_cast<size_t>(i)] = Encode(written_ + i, c);
        }
        const float* inputs[] = {in_[0].data(), in_[1].data()};
        stream_->WriteHostInput(inputs, n);
        written_ += n;
    }

    void Read(int32_t n)
    {
        for (int c = 0; c < 2; ++c)
            std::fill(out_[c].begin(), out_[c].begin() + n, 0.0f);
        float* outputs[] = {out_[0].data(), out_[1].data()};
        stream_->ReadHostOutput(outputs, n);
        for (int c = 0; c < 2; ++c)
            checks_[c].Take(out_[c].data(), n, written_);
    }

    // Once both threads are done: what is still queued counts as dropped by the reset,
    // then every sample written was either read once, in order, or reported dropped, and
    // every zero read was reported inserted.
    void ExpectEverySampleAccountedFor()
    {
        stream_->Reset(false);
        for (int c = 0; c < 2; ++c)
        {
            SCOPED_TRACE(c);
            const SequenceCheck& check = checks_[c];
            EXPECT_EQ(check.faults, 0);
            EXPECT_GT(check.seen, 0);
            // Within half a period a duplicate or a reordered sample cannot pass for a drop.
            EXPECT_LT(check.mostAhead, kPeriod / 2);
            const int64_t droppedData = events_.AllDropped(c) - events_.droppedZeros[c];
            EXPECT_EQ(check.skipped + (written_ - check.next), droppedData);
            EXPECT_EQ(check.zeros + events_.droppedZeros[c], events_.AllSilence(c));
        }
    }

    static constexpr int32_t kMaxCall = 16 * kFrames;
    std::vector<float> in_[2], out_[2];
    SequenceCheck checks_[2];
    int64_t written_ = 0;
};

TEST_F(AudioStreamThreadsTest, FreeRunningSwitchesAgainstUnevenHostCalls)
{
    constexpr int64_t kSwitches = 1000000;
    std::atomic<bool> done{false};
    SampleClocks clocks;
    std::thread driverThread([&] {
        for (int64_t s = 0; s < kSwitches; ++s)
        {
            clocks.HoldBack(clocks.driver, clocks.host, done);
            stream_->OnSwitch(static_cast<int32_t>(s & 1));
            clocks.driver += kFrames;
        }
        done.store(true);
    });

    // However the modes fall, the host never has more than this many samples out that it
    // has not read back, so every sequence number it reads is unambiguous.
    constexpr int64_t kMaxUnread = kPeriod / 8;
    Random random{0x2545F491u};
    int32_t modeLeft = 0;
    bool trim = true, reading = true, writing = true, burst = false;
    int64_t calls = 0;
    while (!done.load())
    {
        if (--modeLeft <= 0)
        {
            // Each mode lasts a while: trimmed steady state, no reading (captures pile
            // up), no writing (underruns), and bursts of long calls (the host outruns the
            // driver).
            trim = random(3) != 0;
            stream_->SetLatency(static_cast<int32_t>(random(5)));
            reading = random(5) != 0;
            writing = random(6) != 0;
            burst = random(6) == 0;
            modeLeft = 200 + static_cast<int32_t>(random(2000));
            if (random(8) == 0)
                stream_->Reset(random(2) != 0);
        }
        // Modes that drop what the host writes (no reading, trims to latency 0) can follow
        // one another: past the bound the host writes and reads untrimmed until its audio
        // comes back.
        const bool catchUp = written_ - std::min(checks_[0].next, checks_[1].next) > kMaxUnread;
        const int32_t n = burst ? 4 * kFrames + static_cast<int32_t>(random(12 * kFrames))
                                : 1 + static_cast<int32_t>(random(3 * kFrames));
        clocks.HoldBack(clocks.host, clocks.driver, done);
        if (trim && !catchUp)
            stream_->TrimQueues();
        if (writing || catchUp)
            Write(n);
        if (reading || catchUp)
            Read(n);
        if (random(64) == 0)
            stream_->TakeLevel(static_cast<int32_t>(random(4)));
        clocks.host += n;
        ++calls;
    }
    driverThread.join();

    ExpectEverySampleAccountedFor();
    // Every kind of event the stream reports came up.
    for (StreamEvent event :
         {StreamEvent::TrimOutput, StreamEvent::TrimInput, StreamEvent::OverflowOutput, StreamEvent::OverflowInput})
        EXPECT_GT(events_.Dropped(event, 0), 0) << EventRecord::Index(event);
    for (StreamEvent event : {StreamEvent::Underrun, StreamEvent::PartialBlock, StreamEvent::EmptyRead})
        EXPECT_GT(events_.Silence(event, 0), 0) << EventRecord::Index(event);
    EXPECT_GT(calls, 0);
}

TEST_F(AudioStreamThreadsTest, LockStepWholeBlocksComeBackOnceAfterOneBlock)
{
    constexpr int kCycles = 20000;
    std::mutex mutex;
    std::condition_variable turnChanged;
    bool driverTurn = false;
    std::thread driverThread([&] {
        for (int k = 0; k < kCycles; ++k)
        {
            std::unique_lock<std::mutex> hold(mutex);
            turnChanged.wait(hold, [&] { return driverTurn; });
            stream_->OnSwitch(k & 1);
            driverTurn = false;
            turnChanged.notify_all();
        }
    });

    stream_->SetLatency(1);
    int64_t readBack = 0;
    int64_t delay = -1; // samples between a write and its read-back, once seen
    bool constantDelay = true;
    for (int k = 0; k < kCycles; ++k)
    {
        stream_->TrimQueues();
        Write(kFrames);
        const int64_t before = checks_[0].seen;
        Read(kFrames);
        // Every sample read back is the one written exactly delay samples earlier.
        for (int32_t i = 0; i < kFrames && checks_[0].seen > before; ++i)
        {
            if (out_[0][static_cast<size_t>(i)] == 0.0f)
                continue;
            const int64_t lag = readBack + i - Decode(out_[0][static_cast<size_t>(i)], 0);
            if (delay < 0)
                delay = lag;
            constantDelay = constantDelay && lag == delay;
        }
        readBack += kFrames;
        std::unique_lock<std::mutex> hold(mutex);
        driverTurn = true;
        turnChanged.notify_all();
        turnChanged.wait(hold, [&] { return !driverTurn; });
    }
    driverThread.join();

    EXPECT_TRUE(constantDelay);
    EXPECT_EQ(delay, kFrames);
    for (int c = 0; c < 2; ++c)
    {
        EXPECT_EQ(checks_[c].seen, (kCycles - 1) * int64_t(kFrames));
        EXPECT_EQ(checks_[c].skipped, 0);
        EXPECT_EQ(checks_[c].faults, 0);
        // Only the first read, before any switch, found nothing.
        EXPECT_EQ(checks_[c].zeros, kFrames);
        EXPECT_EQ(events_.AllSilence(c), kFrames);
        EXPECT_EQ(events_.AllDropped(c), 0);
    }
    ExpectEverySampleAccountedFor();
}

} // namespace
