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
        auto* block = new (std::nothrow) Block(frames);
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
        static_cast<Block*>(block)->span = Span{};
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
            readPositions_[c] = 0;
            ReturnBlock(queue, block);
        }
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
    // Captures of what was played before now carry no samples of the new count.
    ++epoch_;
    for (int32_t c = 0; c < kChannels; ++c)
    {
        written_[c] = read_[c] = 0;
        inFlight_[c][0] = inFlight_[c][1] = Span{};
    }
}

void AudioStream::RecycleAll()
{
    // A held delay keeps its count: what was queued is lost and read as zeros, nothing moves.
    RecycleOutputQueues(StreamEvent::OverflowOutput);
    RecycleInputQueues(StreamEvent::OverflowInput);
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

int32_t AudioStream::TrimQueues()
{
    const int32_t latency = latency_ > 0 ? latency_ : 0;
    int32_t moved = 0;
    const PlatformLockGuard guard(*platform_, &lock_);
    const int32_t outputRoom = latency == 0 ? 1 : latency - 1 + (writePositions_[0] != 0 ? 1 : 0);
    if (outputQueues_[0].Count() > outputRoom)
    {
        for (int32_t c = 0; c < kChannels; ++c)
            moved += TrimOutputQueue(c, latency);
    }
    if (inputQueues_[0].Count() > latency + (readPositions_[0] != 0 ? 1 : 0))
    {
        for (int32_t c = 0; c < kChannels; ++c)
            moved += TrimInputQueue(c, latency);
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
    int64_t& index = written_[channel];
    if (written != 0)
    {
        auto* tail = static_cast<Block*>(queue.Tail());
        const int32_t count = n < frames_ - written ? n : frames_ - written;
        std::memcpy(tail->Data() + written, source, sizeof(float) * static_cast<size_t>(count));
        tail->span.count += count;
        written = written + count == frames_ ? 0 : written + count;
        source += count;
        n -= count;
        index += count;
    }
    while (n > 0)
    {
        auto* block = static_cast<Block*>(TakeFreeBlock());
        if (!block)
        {
            Dropped(StreamEvent::OverflowOutput, channel, source, n);
            index += n;
            return;
        }
        const int32_t count = n < frames_ ? n : frames_;
        std::memcpy(block->Data(), source, sizeof(float) * static_cast<size_t>(count));
        block->span = Span{index, count};
        queue.PushBack(block);
        written = count == frames_ ? 0 : count;
        source += count;
        n -= count;
        index += count;
    }
}

void AudioStream::DropBeyondHold(int32_t channel)
{
    // A sample queued more than the hold ahead of the driver cannot come back by its time (a
    // host that caught up on a stall of its own, ahead of switches that played zeros meanwhile,
    // or a call a little early): the oldest go before they play, exactly as many as are too
    // many, so the host stays within the hold from then on and no more is lost than must be.
    List& queue = outputQueues_[channel];
    int32_t& written = writePositions_[channel];
    const auto queued = [&] {
        return static_cast<int64_t>(queue.Count()) * frames_ - (written != 0 ? frames_ - written : 0);
    };
    // Whole blocks first, never the one the host is filling.
    while (queue.Count() > (written != 0 ? 1 : 0) && queued() - frames_ >= hold_)
    {
        auto* block = static_cast<SampleBlock*>(queue.Head());
        Dropped(StreamEvent::TrimOutput, channel, block->Data(), frames_);
        ReturnBlock(queue, block);
    }
    const int64_t excess = queued() - hold_;
    if (excess <= 0)
        return;
    // Less than a block: every queued sample moves that many places up, block to block (the
    // queue holds consecutive samples), so the driver plays the later ones that much sooner.
    const auto drop = static_cast<int32_t>(excess);
    auto* block = static_cast<Block*>(queue.Head());
    Dropped(StreamEvent::TrimOutput, channel, block->Data(), drop);
    while (block)
    {
        auto* next = static_cast<Block*>(block->Next());
        const int32_t kept = block->span.count - drop;
        if (kept <= 0)
        {
            // A last block of no more than that: the block before took all of it.
            ReturnBlock(queue, block);
            break;
        }
        float* data = block->Data();
        std::memmove(data, data + drop, sizeof(float) * static_cast<size_t>(kept));
        const int32_t moved = next ? (next->span.count < drop ? next->span.count : drop) : 0;
        if (moved > 0)
            std::memcpy(data + kept, next->Data(), sizeof(float) * static_cast<size_t>(moved));
        block->span.first += drop;
        block->span.count = kept + moved;
        block = next;
    }
    const int32_t last = static_cast<Block*>(queue.Tail())->span.count;
    written = last == frames_ ? 0 : last;
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
        if (inputs[c] && hold_ > 0)
            DropBeyondHold(c);
    }
}

void AudioStream::ReadChannel(int32_t channel, float* target, int32_t n)
{
    int32_t& read = readPositions_[channel];
    List& queue = inputQueues_[channel];
    while (n > 0)
    {
        auto* block = static_cast<SampleBlock*>(queue.Head());
        if (!block)
        {
            Silence(StreamEvent::EmptyRead, channel, n);
            return;
        }
        const float* source = block->Data() + read;
        const int32_t count = frames_ - read < n ? frames_ - read : n;
        for (int32_t i = 0; i < count; ++i)
            target[i] += source[i];
        target += count;
        n -= count;
        read += count;
        if (read == frames_)
        {
            read = 0;
            ReturnBlock(queue, block);
        }
    }
}

void AudioStream::ReadHeld(int32_t channel, float* target, int32_t n)
{
    int32_t& cursor = readPositions_[channel];
    List& queue = inputQueues_[channel];
    const int64_t delay = hold_ + 2 * static_cast<int64_t>(frames_);
    int64_t& position = read_[channel];
    int32_t missing = 0;
    while (n > 0)
    {
        // The host sample due at this output position; before the first one, silence.
        const int64_t due = position - delay;
        auto* block = static_cast<Block*>(queue.Head());
        int32_t count = n;
        if (due < 0)
        {
            count = -due < n ? static_cast<int32_t>(-due) : n;
        }
        else if (!block)
        {
            // Not back yet: zeros now, and the samples are dropped when they come.
            missing += count;
        }
        else
        {
            // Where the due sample lies in the block: zeros played in place of samples and
            // samples back after their time are passed over.
            const int64_t first = block->span.first;
            const int32_t hostStart = frames_ - block->span.count;
            int32_t at = frames_;
            if (block->span.count > 0 && due < first + block->span.count)
                at = due < first ? hostStart : hostStart + static_cast<int32_t>(due - first);
            if (at > cursor)
            {
                Dropped(StreamEvent::Realigned, channel, block->Data() + cursor, at - cursor);
                cursor = at;
            }
            if (cursor == frames_)
            {
                cursor = 0;
                ReturnBlock(queue, block);
                continue;
            }
            if (due < first)
            {
                // Lost on the way (dropped before it played, or an overflow): zeros in place.
                count = first - due < n ? static_cast<int32_t>(first - due) : n;
                missing += count;
            }
            else
            {
                count = frames_ - cursor < n ? frames_ - cursor : n;
                const float* source = block->Data() + cursor;
                for (int32_t i = 0; i < count; ++i)
                    target[i] += source[i];
                cursor += count;
                if (cursor == frames_)
                {
                    cursor = 0;
                    ReturnBlock(queue, block);
                }
            }
        }
        target += count;
        n -= count;
        position += count;
    }
    Silence(StreamEvent::EmptyRead, channel, missing);
}

void AudioStream::ReadHostOutput(float* const* outputs, int32_t n)
{
    if (!outputs || n <= 0 || frames_ <= 0)
        return;
    const PlatformLockGuard guard(*platform_, &lock_);
    for (int32_t c = 0; c < kChannels; ++c)
    {
        if (outputs[c] && hold_ > 0)
            ReadHeld(c, outputs[c], n);
        else if (outputs[c])
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
    Span spans[kChannels];
    uint32_t epoch = 0;
    {
        const PlatformLockGuard guard(*platform_, &lock_);
        for (int32_t c = 0; c < kChannels; ++c)
            played[c] = TakeBlockToPlay(c, &silence[c]);
        // What this switch captures was played two switches ago: its host samples are those.
        const uint32_t slot = switches_++ & 1u;
        for (int32_t c = 0; c < kChannels; ++c)
        {
            spans[c] = inFlight_[c][slot];
            inFlight_[c][slot] = played[c] ? static_cast<Block*>(played[c])->span : Span{};
            captured[c] = played[c] ? played[c] : TakeBlockToCapture();
        }
        epoch = epoch_;
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
            // A Reset meanwhile began the count again: nothing captured now is of it.
            static_cast<Block*>(captured[c])->span = epoch == epoch_ ? spans[c] : Span{};
            inputQueues_[c].PushBack(captured[c]);
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
    if (!block)
    {
        Silence(StreamEvent::Underrun, channel, frames_);
        return nullptr;
    }
    // A partly filled last block plays right-aligned behind silence.
    if (queue.Count() == 1 && writePositions_[channel] != 0)
    {
        *silence = frames_ - writePositions_[channel];
        writePositions_[channel] = 0;
        Silence(StreamEvent::PartialBlock, channel, *silence);
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
