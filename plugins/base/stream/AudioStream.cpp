#include "plugins/base/stream/AudioStream.h"

#include <chrono>
#include <cstring>
#include <new>

void AudioStream::SwitchEvent::Signal()
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        set_ = true;
    }
    signalled_.notify_one();
}

void AudioStream::SwitchEvent::MarkSeen()
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        seen_ = true;
    }
    signalled_.notify_all();
}

void AudioStream::SwitchEvent::Stop()
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopped_ = true;
    }
    signalled_.notify_all();
}

bool AudioStream::SwitchEvent::Wait(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> hold(mutex_);
    if (!signalled_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return set_ || stopped_; }) ||
        stopped_)
        return false;
    set_ = false;
    return true;
}

bool AudioStream::SwitchEvent::WaitSeen(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> hold(mutex_);
    signalled_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return seen_ || stopped_; });
    return seen_;
}

AudioStream::AudioStream(int32_t frames, PlatformLock* listLock)
    : platform_(ThePlatform()), frames_(frames), levels_{{0.0f}, {0.0f}, {0.0f}, {0.0f}},
      free_(listLock), inputQueues_{List(listLock), List(listLock)}, outputQueues_{List(listLock), List(listLock)},
      readPositions_{0, 0}, writePositions_{0, 0}, buffers_{}
{
    platform_->InitLock(&lock_);
}

AudioStream::~AudioStream()
{
    {
        const PlatformLockGuard guard(*platform_, &lock_);
        DeleteAllBlocks();
    }
    platform_->DeleteLock(&lock_);
}

void AudioStream::DeleteAllBlocks()
{
    List* lists[] = {&free_, &inputQueues_[0], &inputQueues_[1], &outputQueues_[0], &outputQueues_[1]};
    for (List* list : lists)
    {
        while (SampleBlock* block = static_cast<SampleBlock*>(list->Head()))
        {
            list->Remove(block);
            delete block;
        }
    }
    for (int32_t c = 0; c < kChannels; ++c)
        readPositions_[c] = writePositions_[c] = 0;
}

bool AudioStream::Allocate(int32_t frames, int32_t blocksPerChannel)
{
    const PlatformLockGuard guard(*platform_, &lock_);
    DeleteAllBlocks();
    frames_ = frames;
    bool ok = frames > 0 && blocksPerChannel > 0;
    for (int32_t i = 0; ok && i < blocksPerChannel * kChannels; ++i)
    {
        auto* block = new (std::nothrow) SampleBlock(frames, false);
        ok = block && block->IsValid();
        if (block)
            free_.PushBack(block);
    }
    if (!ok)
        DeleteAllBlocks();
    return ok;
}

void AudioStream::AttachDriverBuffers(const DriverBuffer* buffers)
{
    for (int32_t i = 0; i < kDriverBuffers; ++i)
        buffers_[i] = buffers[i];
}

float AudioStream::TakeLevel(int32_t buffer)
{
    if (buffer < 0 || buffer >= kDriverBuffers)
        return 0.0f;
    return levels_[buffer].exchange(0.0f, std::memory_order_relaxed);
}

int32_t AudioStream::FreeCount()
{
    const PlatformLockGuard guard(*platform_, &lock_);
    int32_t count = free_.Count();
    return count;
}

int32_t AudioStream::OutputQueueCount(int32_t channel)
{
    const PlatformLockGuard guard(*platform_, &lock_);
    int32_t count = outputQueues_[channel].Count();
    return count;
}

int32_t AudioStream::InputQueueCount(int32_t channel)
{
    const PlatformLockGuard guard(*platform_, &lock_);
    int32_t count = inputQueues_[channel].Count();
    return count;
}

int32_t AudioStream::WritePosition(int32_t channel)
{
    const PlatformLockGuard guard(*platform_, &lock_);
    int32_t position = writePositions_[channel];
    return position;
}

int32_t AudioStream::ReadPosition(int32_t channel)
{
    const PlatformLockGuard guard(*platform_, &lock_);
    int32_t position = readPositions_[channel];
    return position;
}

void AudioStream::Dropped(StreamEvent event, int32_t channel, const float* samples, int32_t count)
{
    if (observer_ && count > 0)
        observer_->OnDropped(event, channel, samples, count);
}

void AudioStream::Silence(StreamEvent event, int32_t channel, int32_t count)
{
    if (observer_ && count > 0)
        observer_->OnSilence(event, channel, count);
}

SampleBlock* AudioStream::TakeFreeBlock()
{
    auto* block = static_cast<SampleBlock*>(free_.Head());
    if (block)
    {
        free_.Remove(block);
        block->ResetCursors();
    }
    return block;
}

void AudioStream::ReturnBlock(List& queue, SampleBlock* block)
{
    queue.Remove(block);
    block->ResetCursors();
    free_.PushBack(block);
}

void AudioStream::RecycleOutputQueues(StreamEvent event)
{
    for (int32_t c = 0; c < kChannels; ++c)
    {
        List& queue = outputQueues_[c];
        while (auto* block = static_cast<SampleBlock*>(queue.Head()))
        {
            const bool partlyFilled = block == queue.Tail() && writePositions_[c] != 0;
            Dropped(event, c, block->Data(), partlyFilled ? writePositions_[c] : frames_);
            ReturnBlock(queue, block);
        }
        writePositions_[c] = 0;
    }
}

void AudioStream::RecycleInputQueues(StreamEvent event)
{
    for (int32_t c = 0; c < kChannels; ++c)
    {
        List& queue = inputQueues_[c];
        while (auto* block = static_cast<SampleBlock*>(queue.Head()))
        {
            Dropped(event, c, block->Data() + readPositions_[c], frames_ - readPositions_[c]);
            consumed_[c] += frames_ - readPositions_[c];
            readPositions_[c] = 0;
            ReturnBlock(queue, block);
        }
        PassSkips(c);
    }
}

void AudioStream::HoldDelay(int32_t samples)
{
    const PlatformLockGuard guard(*platform_, &lock_);
    hold_ = samples > 0 ? samples : 0;
    RestartHold();
}

void AudioStream::RestartHold()
{
    for (int32_t c = 0; c < kChannels; ++c)
    {
        captured_[c] = consumed_[c] = 0;
        silent_[c] = hold_;
        skipCounts_[c] = 0;
    }
}

void AudioStream::AddSkip(int32_t channel, int64_t at, int32_t count)
{
    Skip* skips = skips_[channel];
    int32_t& used = skipCounts_[channel];
    // Skips that meet make one: zeros played for want of a block, then late samples after them.
    int32_t i = 0;
    while (i < used && skips[i].at + skips[i].count < at)
        ++i;
    if (i < used && skips[i].at <= at)
    {
        skips[i].count += count;
        return;
    }
    if (used == kMaxSkips)
        return;
    for (int32_t j = used; j > i; --j)
        skips[j] = skips[j - 1];
    skips[i] = Skip{at, count};
    ++used;
}

void AudioStream::PassSkips(int32_t channel)
{
    // Skips that samples dropped unread have overtaken.
    Skip* skips = skips_[channel];
    int32_t& used = skipCounts_[channel];
    int32_t passed = 0;
    while (passed < used && skips[passed].at + skips[passed].count <= consumed_[channel])
        ++passed;
    for (int32_t j = passed; j < used; ++j)
        skips[j - passed] = skips[j];
    used -= passed;
    if (used > 0 && skips[0].at < consumed_[channel])
    {
        skips[0].count -= static_cast<int32_t>(consumed_[channel] - skips[0].at);
        skips[0].at = consumed_[channel];
    }
}

void AudioStream::RecycleAll()
{
    RecycleOutputQueues(StreamEvent::OverflowOutput);
    RecycleInputQueues(StreamEvent::OverflowInput);
    // With nothing queued either way, a held delay starts again as after a Reset.
    if (hold_ > 0)
        RestartHold();
}

void AudioStream::Reset(bool clearBlocks)
{
    const PlatformLockGuard guard(*platform_, &lock_);
    for (auto& level : levels_)
        level.store(0.0f, std::memory_order_relaxed);
    RecycleInputQueues(StreamEvent::ResetInput);
    RecycleOutputQueues(StreamEvent::ResetOutput);
    RestartHold();
    if (clearBlocks)
    {
        for (auto* block = static_cast<SampleBlock*>(free_.Head()); block;
             block = static_cast<SampleBlock*>(block->Next()))
        {
            block->Clear();
            block->ResetCursors();
        }
    }
}

int32_t AudioStream::TrimOutputQueue(int32_t channel, int32_t latency)
{
    List& queue = outputQueues_[channel];
    // The partly filled tail is the block the host is filling: it always stays, with its
    // write position, beside latency - 1 whole blocks (a host that runs one block ahead of a
    // driver whose buffer is no multiple of its own keeps that block). Latency 0 keeps one.
    const int32_t partial = writePositions_[channel] != 0 ? 1 : 0;
    const int32_t stay = latency == 0 ? 1 : latency - 1 + partial;
    int32_t moved = 0;
    while (queue.Count() > stay)
    {
        auto* block = static_cast<SampleBlock*>(queue.Head());
        Dropped(StreamEvent::TrimOutput, channel, block->Data(), frames_);
        ReturnBlock(queue, block);
        ++moved;
    }
    return moved;
}

int32_t AudioStream::TrimInputQueue(int32_t channel, int32_t keep)
{
    List& queue = inputQueues_[channel];
    int32_t moved = 0;
    // A head the host is in the middle of reading does not count against the latency: with
    // driver blocks that are no multiple of the host's, dropping it would lose audio in
    // steady state. Once it is gone the next head is whole.
    while (queue.Count() > keep + (readPositions_[channel] != 0 ? 1 : 0))
    {
        auto* block = static_cast<SampleBlock*>(queue.Head());
        Dropped(StreamEvent::TrimInput, channel, block->Data() + readPositions_[channel],
                frames_ - readPositions_[channel]);
        // Only a dropped head takes the read position with it.
        readPositions_[channel] = 0;
        ReturnBlock(queue, block);
        ++moved;
    }
    return moved;
}

int32_t AudioStream::TrimQueues(bool extraBuffers)
{
    const int32_t latency = latency_ > 0 ? latency_ : 0;
    // Extra buffers keep one whole output block more and a single input block.
    const int32_t outputLatency = extraBuffers ? latency + 1 : latency;
    const int32_t inputKeep = extraBuffers ? 1 : latency;
    int32_t moved = 0;
    const PlatformLockGuard guard(*platform_, &lock_);
    const int32_t outputRoom = outputLatency == 0 ? 1 : outputLatency - 1 + (writePositions_[0] != 0 ? 1 : 0);
    if (outputQueues_[0].Count() > outputRoom)
    {
        for (int32_t c = 0; c < kChannels; ++c)
            moved += TrimOutputQueue(c, outputLatency);
    }
    if (inputQueues_[0].Count() > inputKeep + (readPositions_[0] != 0 ? 1 : 0))
    {
        for (int32_t c = 0; c < kChannels; ++c)
            moved += TrimInputQueue(c, inputKeep);
    }
    return moved;
}

int32_t AudioStream::BlocksNeeded(int32_t channel, int32_t n) const
{
    const int32_t room = writePositions_[channel] != 0 ? frames_ - writePositions_[channel] : 0;
    if (n <= room)
        return 0;
    return (n - room + frames_ - 1) / frames_;
}

void AudioStream::WriteChannel(int32_t channel, const float* source, int32_t n)
{
    int32_t& written = writePositions_[channel];
    List& queue = outputQueues_[channel];
    if (written != 0)
    {
        auto* tail = static_cast<SampleBlock*>(queue.Tail());
        const int32_t count = n < frames_ - written ? n : frames_ - written;
        std::memcpy(tail->Data() + written, source, sizeof(float) * static_cast<size_t>(count));
        written = written + count == frames_ ? 0 : written + count;
        source += count;
        n -= count;
    }
    while (n > 0)
    {
        SampleBlock* block = TakeFreeBlock();
        if (!block)
        {
            Dropped(StreamEvent::OverflowOutput, channel, source, n);
            return;
        }
        const int32_t count = n < frames_ ? n : frames_;
        std::memcpy(block->Data(), source, sizeof(float) * static_cast<size_t>(count));
        queue.PushBack(block);
        written = count == frames_ ? 0 : count;
        source += count;
        n -= count;
    }
}

void AudioStream::WriteHostInput(const float* const* inputs, int32_t n)
{
    if (!inputs || n <= 0 || frames_ <= 0)
        return;
    const PlatformLockGuard guard(*platform_, &lock_);
    // Room for the whole call is made before any channel is written, so an overflow drops
    // the same samples on both channels.
    int32_t needed = 0;
    for (int32_t c = 0; c < kChannels; ++c)
    {
        if (inputs[c])
            needed += BlocksNeeded(c, n);
    }
    if (needed > free_.Count())
        RecycleAll();
    for (int32_t c = 0; c < kChannels; ++c)
    {
        if (inputs[c])
            WriteChannel(c, inputs[c], n);
    }
}

void AudioStream::ReadChannel(int32_t channel, float* target, int32_t n)
{
    int32_t& read = readPositions_[channel];
    List& queue = inputQueues_[channel];
    // The held delay's silence comes first: nothing is added.
    const int32_t quiet = n < silent_[channel] ? n : silent_[channel];
    silent_[channel] -= quiet;
    target += quiet;
    n -= quiet;
    while (n > 0)
    {
        auto* block = static_cast<SampleBlock*>(queue.Head());
        if (!block)
        {
            Silence(StreamEvent::EmptyRead, channel, n);
            // The samples due now come later: skipped then, so what follows stays in time.
            if (hold_ > 0)
                AddSkip(channel, consumed_[channel], n);
            return;
        }
        Skip* due = skipCounts_[channel] > 0 ? &skips_[channel][0] : nullptr;
        const float* source = block->Data() + read;
        int32_t count = frames_ - read;
        if (due && due->at <= consumed_[channel])
        {
            count = count < due->count ? count : due->count;
            Dropped(StreamEvent::Realigned, channel, source, count);
            due->at += count;
            due->count -= count;
        }
        else
        {
            count = count < n ? count : n;
            if (due && due->at - consumed_[channel] < count)
                count = static_cast<int32_t>(due->at - consumed_[channel]);
            for (int32_t i = 0; i < count; ++i)
                target[i] += source[i];
            target += count;
            n -= count;
        }
        read += count;
        consumed_[channel] += count;
        if (due && due->count == 0)
            PassSkips(channel);
        if (read == frames_)
        {
            read = 0;
            ReturnBlock(queue, block);
        }
    }
}

void AudioStream::ReadHostOutput(float* const* outputs, int32_t n)
{
    if (!outputs || n <= 0 || frames_ <= 0)
        return;
    const PlatformLockGuard guard(*platform_, &lock_);
    for (int32_t c = 0; c < kChannels; ++c)
    {
        if (outputs[c])
            ReadChannel(c, outputs[c], n);
    }
}

int32_t AudioStream::QueuedSamples(int32_t channel)
{
    if (channel < 0 || channel >= kChannels)
        return 0;
    const PlatformLockGuard guard(*platform_, &lock_);
    const int32_t written = writePositions_[channel];
    const int32_t output = outputQueues_[channel].Count() * frames_ - (written != 0 ? frames_ - written : 0);
    const int32_t input = inputQueues_[channel].Count() * frames_ - readPositions_[channel];
    return output + input;
}

int32_t AudioStream::MoveOutputHeadsToInput(int32_t channel, int32_t samples)
{
    if (channel < 0 || channel >= kChannels)
        return 0;
    const PlatformLockGuard guard(*platform_, &lock_);
    List& queue = outputQueues_[channel];
    const int32_t partial = writePositions_[channel] != 0 ? 1 : 0;
    int32_t unread = inputQueues_[channel].Count() * frames_ - readPositions_[channel];
    int32_t moved = 0;
    while (unread < samples && queue.Count() - partial > 0)
    {
        auto* block = static_cast<SampleBlock*>(queue.Head());
        queue.Remove(block);
        block->ResetCursors();
        inputQueues_[channel].PushBack(block);
        unread += frames_;
        ++moved;
    }
    return moved;
}

int32_t AudioStream::DropOldest(int32_t channel, int32_t count)
{
    if (channel < 0 || channel >= kChannels || count <= 0)
        return 0;
    MoveOutputHeadsToInput(channel, count);
    const PlatformLockGuard guard(*platform_, &lock_);
    int32_t& read = readPositions_[channel];
    List& queue = inputQueues_[channel];
    int32_t dropped = 0;
    while (dropped < count)
    {
        auto* block = static_cast<SampleBlock*>(queue.Head());
        if (!block)
            break;
        const int32_t take = count - dropped < frames_ - read ? count - dropped : frames_ - read;
        Dropped(StreamEvent::DelayShortened, channel, block->Data() + read, take);
        read += take;
        dropped += take;
        if (read == frames_)
        {
            read = 0;
            ReturnBlock(queue, block);
        }
    }
    return dropped;
}

bool AudioStream::WaitForSwitch(uint32_t timeoutMs)
{
    return switchEvent_.Wait(timeoutMs);
}

bool AudioStream::WaitForFirstSwitch(uint32_t timeoutMs)
{
    return SwitchSeen() || switchEvent_.WaitSeen(timeoutMs);
}

void AudioStream::StopWaits()
{
    switchEvent_.Stop();
}

void AudioStream::OnSwitch(int32_t bufferIndex)
{
    if (bufferIndex != 0 && bufferIndex != 1)
        return;
    if (!switchSeen_.exchange(true, std::memory_order_acq_rel))
        switchEvent_.MarkSeen();
    const int32_t level = ProcessLevel();
    if (level == kStreamStopped)
    {
        for (int32_t c = 0; c < kChannels; ++c)
            WriteSilence(c, bufferIndex, 0, frames_);
        return;
    }
    Transfer(bufferIndex);
    if (level == kStreamOffline)
        switchEvent_.Signal();
}

void AudioStream::Transfer(int32_t bufferIndex)
{
    // Two short lock sections per switch: the blocks to play and to capture into are
    // unlinked first, converted outside the lock (no other thread can reach them), and the
    // captured blocks are queued once they are whole. A played block takes the capture of
    // its channel, so it never passes through the free list half converted.
    SampleBlock* played[kChannels];
    int32_t silence[kChannels];
    SampleBlock* captured[kChannels];
    {
        const PlatformLockGuard guard(*platform_, &lock_);
        for (int32_t c = 0; c < kChannels; ++c)
            played[c] = TakeBlockToPlay(c, &silence[c]);
        for (int32_t c = 0; c < kChannels; ++c)
            captured[c] = played[c] ? played[c] : TakeBlockToCapture();
    }

    for (int32_t c = 0; c < kChannels; ++c)
        Play(c, bufferIndex, played[c], silence[c]);
    for (int32_t c = 0; c < kChannels; ++c)
    {
        if (captured[c])
            Capture(c, bufferIndex, captured[c]);
    }

    const PlatformLockGuard guard(*platform_, &lock_);
    for (int32_t c = 0; c < kChannels; ++c)
    {
        if (captured[c])
        {
            inputQueues_[c].PushBack(captured[c]);
            captured_[c] += frames_;
        }
    }
}

void AudioStream::WriteSilence(int32_t buffer, int32_t bufferIndex, int32_t offset, int32_t count)
{
    const DriverBuffer& target = buffers_[buffer];
    void* half = target.halves[bufferIndex];
    if (!half || count <= 0)
        return;
    if (target.sampleType == kSampleTypeInt16LSB)
        std::memset(static_cast<int16_t*>(half) + offset, 0, sizeof(int16_t) * static_cast<size_t>(count));
    else if (target.sampleType == kSampleTypeInt32LSB)
        std::memset(static_cast<int32_t*>(half) + offset, 0, sizeof(int32_t) * static_cast<size_t>(count));
}

void AudioStream::UpdateLevel(int32_t buffer, const float* samples, int32_t count)
{
    // The level keeps the first sample of at least -96 dB since it was last taken, or
    // the latest sample while all stay below.
    std::atomic<float>& level = levels_[buffer];
    float seen = level.load(std::memory_order_relaxed);
    if (count <= 0 || !(seen > -kLevelFloor && seen < kLevelFloor))
        return;
    float value = samples[count - 1];
    for (int32_t i = 0; i < count; ++i)
    {
        if (!(samples[i] > -kLevelFloor && samples[i] < kLevelFloor))
        {
            value = samples[i];
            break;
        }
    }
    // A reader may have taken the level meanwhile, which leaves it below the floor again.
    while (!level.compare_exchange_weak(seen, value, std::memory_order_relaxed))
    {
        if (!(seen > -kLevelFloor && seen < kLevelFloor))
            return;
    }
}

SampleBlock* AudioStream::TakeBlockToPlay(int32_t channel, int32_t* silence)
{
    *silence = 0;
    List& queue = outputQueues_[channel];
    auto* block = static_cast<SampleBlock*>(queue.Head());
    // The zeros played now come back two buffers on, at the start of that capture.
    const int64_t back = captured_[channel] + 2 * static_cast<int64_t>(frames_);
    if (!block)
    {
        Silence(StreamEvent::Underrun, channel, frames_);
        if (hold_ > 0)
            AddSkip(channel, back, frames_);
        return nullptr;
    }
    // A partly filled last block plays right-aligned behind silence.
    if (queue.Count() == 1 && writePositions_[channel] != 0)
    {
        *silence = frames_ - writePositions_[channel];
        writePositions_[channel] = 0;
        Silence(StreamEvent::PartialBlock, channel, *silence);
        if (hold_ > 0)
            AddSkip(channel, back, *silence);
    }
    queue.Remove(block);
    return block;
}

SampleBlock* AudioStream::TakeBlockToCapture()
{
    if (free_.Count() == 0)
        RecycleAll();
    return TakeFreeBlock();
}

void AudioStream::Play(int32_t channel, int32_t bufferIndex, SampleBlock* block, int32_t silence)
{
    if (!block)
    {
        // Silence rather than the samples this half played two switches ago.
        WriteSilence(channel, bufferIndex, 0, frames_);
        return;
    }
    WriteSilence(channel, bufferIndex, 0, silence);
    const DriverBuffer& target = buffers_[channel];
    const int32_t count = frames_ - silence;
    UpdateLevel(channel, block->Data(), count);
    if (void* half = target.halves[bufferIndex])
    {
        if (target.sampleType == kSampleTypeInt16LSB)
            FloatToInt16(block->Data(), static_cast<int16_t*>(half) + silence, count);
        else if (target.sampleType == kSampleTypeInt32LSB)
            FloatToInt32(block->Data(), static_cast<int32_t*>(half) + silence, count);
    }
}

void AudioStream::Capture(int32_t channel, int32_t bufferIndex, SampleBlock* block)
{
    block->ResetCursors();
    const int32_t buffer = kChannels + channel;
    const DriverBuffer& source = buffers_[buffer];
    const void* half = source.halves[bufferIndex];
    if (half && source.sampleType == kSampleTypeInt16LSB)
        Int16ToFloat(static_cast<const int16_t*>(half), block->Data(), frames_);
    else if (half && source.sampleType == kSampleTypeInt32LSB)
        Int32ToFloat(static_cast<const int32_t*>(half), block->Data(), frames_);
    else
        block->Clear();
    UpdateLevel(buffer, block->Data(), frames_);
}
