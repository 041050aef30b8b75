// Carries one stereo pair each way between the host's processing thread and the driver's
// buffer-switch thread in preallocated mono blocks, converting to and from the driver's
// integer samples. Nothing is allocated and nothing waits on the audio path except the
// stream lock and the shared list lock.
//
// Hand-over rules between the two threads:
// - every queue, the free list and both positions are guarded by the stream lock;
// - the host copies into and out of queued blocks under the stream lock, so the driver
//   never takes a block the host is in the middle of;
// - the driver converts only blocks it has unlinked from every list: a captured block is
//   converted before it is queued, and a played block is converted before it is used
//   again (for the capture of its channel).
#pragma once

#include "plugins/base/platform/PlatformBase.h"
#include "plugins/base/stream/List.h"
#include "plugins/base/stream/SampleBlock.h"
#include "plugins/base/stream/SampleConversion.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// One driver buffer as the stream sees it: its two halves and its sample type.
struct DriverBuffer
{
    void* halves[2];
    int32_t sampleType;
};

// Where samples leave the stream unheard or zeros take their place.
enum class StreamEvent
{
    TrimOutput,     // host samples beyond the latency or the held delay dropped before playing
    TrimInput,      // captured blocks beyond the latency dropped before the host read them
    OverflowOutput, // the free list ran dry: queued or new host samples dropped
    OverflowInput,  // the free list ran dry: captured samples dropped
    ResetOutput,    // Reset dropped queued host samples
    ResetInput,     // Reset dropped captured samples
    Underrun,       // a switch found no host block: the driver half played silence
    PartialBlock,   // a switch played a partly filled block behind this many zeros
    EmptyRead,      // the host read more than was captured (or, holding a delay, samples not back by
                    // their time): its buffer was left as it was there
    DelayShortened, // a delay line's queued host samples dropped to shorten it
    Realigned,      // captured samples passed over to hold the delay: zeros played in place of host
                    // samples, and samples back after their time (see HoldDelay)
};

// Told of every StreamEvent, on the thread that caused it and under the stream lock; it
// must not call back into the stream.
// How the driver thread runs a stream: silence, real time or offline. The plug-ins keep the
// same values as their process mode.
enum StreamProcessLevel : int32_t
{
    kStreamStopped = 0,
    kStreamRealtime = 1,
    kStreamOffline = 4,
};

class AudioStreamObserver
{
public:
    virtual ~AudioStreamObserver() = default;
    virtual void OnDropped(StreamEvent event, int32_t channel, const float* samples, int32_t count) = 0;
    virtual void OnSilence(StreamEvent event, int32_t channel, int32_t count) = 0;
};

class AudioStream
{
public:
    static constexpr int32_t kChannels = 2;
    // Two outputs, then two inputs, in the order of the link's buffer records.
    static constexpr int32_t kDriverBuffers = 4;
    static constexpr int32_t kBlocksPerChannel = 128;
    static constexpr uint32_t kSwitchWaitMs = 10000;
    // How long an offline host call waits for the driver's first switch before it gives up.
    static constexpr uint32_t kFirstSwitchWaitMs = 2000;
    // Levels below this magnitude (-96 dB) give way to the next sample.
    static constexpr float kLevelFloor = 1.5848931e-5f;

    // The list lock is borrowed and shared by every list of the stream (the plug-ins pass
    // one lock for all their streams). No block exists until Allocate.
    AudioStream(int32_t frames, PlatformLock* listLock);
    ~AudioStream();
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    // Drops every block and makes blocksPerChannel mono blocks of frames per channel (a
    // delay line asks for more than the driver path needs). Only while no driver switch
    // runs. False, with no blocks, when memory is short.
    bool Allocate(int32_t frames, int32_t blocksPerChannel = kBlocksPerChannel);

    // For a stream whose driver brings every played buffer back two buffers later (the
    // plug-ins' loop through the card): from now and from every Reset on, each sample the host
    // writes is read back exactly `samples` and two buffers later, whatever the host's call
    // lengths and wherever the switches fall; the host first reads that much silence. Every
    // block carries the count of the host samples in it from the write through the card and
    // back, so zeros a switch plays for want of a block are passed over when they return, and
    // nothing moves in time. No sample is lost as long as `samples` is at least one block and
    // one host call less one sample (the most the two sides can drift apart) and the host
    // keeps pace with the driver. A sample that cannot come back by its time (a stall longer
    // than the hold) is read as zeros (EmptyRead) and dropped when it comes (Realigned); the
    // oldest samples queued beyond the hold, as many as are too many, are dropped before they
    // play (TrimOutput), since they could not come back in time either. 0 (the default) holds
    // nothing. Before the driver starts.
    void HoldDelay(int32_t samples);

    // Host thread.
    void Reset(bool clearBlocks);
    // Keeps the output queues at latency - 1 whole blocks (one for latency 0) beside a block
    // the host is still filling, and the input queues at latency blocks beside a head the
    // host is in the middle of reading, deciding by channel 0. Answers the blocks dropped.
    // For streams that hold no delay.
    int32_t TrimQueues();
    void WriteHostInput(const float* const* inputs, int32_t n);
    // Adds the captured audio to the host's arrays.
    void ReadHostOutput(float* const* outputs, int32_t n);
    // Answers false when no switch came within the time, or once StopWaits was called.
    bool WaitForSwitch(uint32_t timeoutMs = kSwitchWaitMs);
    // Waits until the driver's first switch has reached the stream; answers SwitchSeen.
    bool WaitForFirstSwitch(uint32_t timeoutMs = kFirstSwitchWaitMs);
    // Owner, before it stops the driver: every wait, now or later, answers at once, so a host
    // call waiting for a switch is not held by switches that will not come.
    void StopWaits();
    // For a stream used as a delay line on the host's thread alone, whose output queues feed
    // its input queues. The samples of the channel written and not yet read, in both queues.
    int32_t QueuedSamples(int32_t channel);
    // Moves whole head blocks of the channel's output queue to its input queue until the
    // input queue holds at least `samples` unread ones (a partly filled tail never moves);
    // answers how many moved.
    int32_t MoveOutputHeadsToInput(int32_t channel, int32_t samples);
    // Drops the channel's `count` oldest queued samples, as far as whole blocks hold them;
    // answers how many went.
    int32_t DropOldest(int32_t channel, int32_t count);

    // Driver thread: buffer index 0 or 1 is the half to play and capture.
    void OnSwitch(int32_t bufferIndex);

    // Before the driver starts: the four driver buffers, outputs first.
    void AttachDriverBuffers(const DriverBuffer* buffers);
    // Before streaming starts; borrowed.
    void SetObserver(AudioStreamObserver* observer) { observer_ = observer; }

    // The level of a driver buffer (its first sample of at least -96 dB since the last
    // take), set back to 0. Any thread.
    float TakeLevel(int32_t buffer);

    int32_t Frames() const { return frames_; }
    int32_t Latency() const { return latency_; }
    void SetLatency(int32_t blocks) { latency_ = blocks; }
    // One of StreamProcessLevel (offline: the switch event is signalled after every switch).
    int32_t ProcessLevel() const { return processLevel_.load(std::memory_order_relaxed); }
    void SetProcessLevel(int32_t level) { processLevel_.store(level, std::memory_order_relaxed); }
    bool SwitchSeen() const { return switchSeen_.load(std::memory_order_acquire); }
    void ClearSwitchSeen() { switchSeen_.store(false, std::memory_order_release); }

    // Counts and positions, read under the stream lock.
    int32_t FreeCount();
    int32_t OutputQueueCount(int32_t channel);
    int32_t InputQueueCount(int32_t channel);
    int32_t WritePosition(int32_t channel);
    int32_t ReadPosition(int32_t channel);

private:
    // An auto-reset event for the switches (a wait consumes the signal), a lasting mark of the
    // first switch, and a stop that releases every wait.
    class SwitchEvent
    {
    public:
        void Signal();
        void MarkSeen();
        void Stop();
        bool Wait(uint32_t timeoutMs);
        bool WaitSeen(uint32_t timeoutMs);

    private:
        std::mutex mutex_;
        std::condition_variable signalled_;
        bool set_ = false;     // guarded by mutex_
        bool seen_ = false;    // guarded by mutex_
        bool stopped_ = false; // guarded by mutex_
    };

    // The host samples a block carries: an output block from `first` on, as many as were
    // written; a captured block in its last `count` frames (a partly filled block plays behind
    // zeros), none when it captured zeros played for want of a block.
    struct Span
    {
        int64_t first = 0;
        int32_t count = 0;
    };
    class Block final : public SampleBlock
    {
    public:
        explicit Block(int32_t frames) : SampleBlock(frames, false) {}
        Span span; // stream lock, or the side that unlinked the block
    };

    // The caller holds the stream lock.
    void RestartHold();
    void DropBeyondHold(int32_t channel);
    void RecycleOutputQueues(StreamEvent event);
    void RecycleInputQueues(StreamEvent event);
    // The free list ran dry: everything queued is dropped.
    void RecycleAll();
    void DeleteAllBlocks();
    SampleBlock* TakeFreeBlock();
    void ReturnBlock(List& queue, SampleBlock* block);
    int32_t BlocksNeeded(int32_t channel, int32_t n) const;
    void WriteChannel(int32_t channel, const float* source, int32_t n);
    void ReadChannel(int32_t channel, float* target, int32_t n);
    void ReadHeld(int32_t channel, float* target, int32_t n);
    int32_t TrimOutputQueue(int32_t channel, int32_t latency);
    int32_t TrimInputQueue(int32_t channel, int32_t keep);
    void Dropped(StreamEvent event, int32_t channel, const float* samples, int32_t count);
    void Silence(StreamEvent event, int32_t channel, int32_t count);

    // Driver thread. The Take operations run under the stream lock, Play and Capture
    // outside it on blocks in no list.
    void Transfer(int32_t bufferIndex);
    SampleBlock* TakeBlockToPlay(int32_t channel, int32_t* silence);
    SampleBlock* TakeBlockToCapture();
    void Play(int32_t channel, int32_t bufferIndex, SampleBlock* block, int32_t silence);
    void Capture(int32_t channel, int32_t bufferIndex, SampleBlock* block);
    void WriteSilence(int32_t buffer, int32_t bufferIndex, int32_t offset, int32_t count);
    void UpdateLevel(int32_t buffer, const float* samples, int32_t count);

    PlatformBase* platform_; // borrowed: the process-wide instance
    int32_t frames_;         // set by Allocate while no switch runs
    std::atomic<float> levels_[kDriverBuffers];
    List free_;                            // stream lock
    List inputQueues_[kChannels];          // stream lock
    List outputQueues_[kChannels];         // stream lock
    int32_t readPositions_[kChannels];     // stream lock
    int32_t writePositions_[kChannels];    // stream lock
    DriverBuffer buffers_[kDriverBuffers]; // set before the driver starts
    PlatformLock lock_;
    SwitchEvent switchEvent_;
    int32_t hold_ = 0;                 // set before the driver starts
    int64_t written_[kChannels] = {};  // stream lock: host samples written since the last Reset
    int64_t read_[kChannels] = {};     // stream lock: host samples read since the last Reset
    Span inFlight_[kChannels][2] = {}; // stream lock: played by the last two switches
    uint32_t switches_ = 0;            // stream lock
    uint32_t epoch_ = 0;               // stream lock: Resets so far
    int32_t latency_ = 0;              // host thread
    std::atomic<int32_t> processLevel_{0};
    std::atomic<bool> switchSeen_{false};
    AudioStreamObserver* observer_ = nullptr; // borrowed; set before streaming
};
