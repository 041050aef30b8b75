// Shared pieces of the stream tests: a simulated driver's four buffers and a record of the
// stream's events (the platform fixtures are the platform tests' own).
#pragma once

#include "plugins/base/platform/tests/PlatformTestSupport.h"
#include "plugins/base/stream/AudioStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

// The driver's two output and two input buffers, each with two halves of frames samples.
// In loopback the input buffers are the output buffers, so a switch captures exactly what
// it has just played.
class FakeDriver
{
public:
    FakeDriver(int32_t frames, int32_t sampleType, bool loopback)
        : frames_(frames), storage_(static_cast<size_t>(4 * 2 * frames))
    {
        for (int32_t b = 0; b < AudioStream::kDriverBuffers; ++b)
        {
            const int32_t owner = loopback ? b % 2 : b;
            for (int32_t half = 0; half < 2; ++half)
                buffers_[b].halves[half] = &storage_[static_cast<size_t>((owner * 2 + half) * frames)];
            buffers_[b].sampleType = sampleType;
        }
    }

    void SetSampleType(int32_t buffer, int32_t sampleType) { buffers_[buffer].sampleType = sampleType; }
    const DriverBuffer* Buffers() const { return buffers_; }
    int16_t* Half16(int32_t buffer, int32_t half) { return static_cast<int16_t*>(buffers_[buffer].halves[half]); }
    int32_t* Half32(int32_t buffer, int32_t half) { return static_cast<int32_t*>(buffers_[buffer].halves[half]); }
    // Every 32-bit slot of every half set to one value.
    void FillAll(int32_t value) { std::fill(storage_.begin(), storage_.end(), value); }

private:
    int32_t frames_;
    std::vector<int32_t> storage_; // 32-bit slots hold either sample type
    DriverBuffer buffers_[AudioStream::kDriverBuffers];
};

// Sums of what the stream reported, by event and channel. The stream calls it under its
// lock, so plain fields are safe to read once the threads are done.
class EventRecord : public AudioStreamObserver
{
public:
    static constexpr int kEvents = static_cast<int>(StreamEvent::Realigned) + 1;

    void OnDropped(StreamEvent event, int32_t channel, const float* samples, int32_t count) override
    {
        dropped[Index(event)][channel] += count;
        for (int32_t i = 0; i < count; ++i)
        {
            if (samples[i] == 0.0f)
                ++droppedZeros[channel];
        }
    }
    void OnSilence(StreamEvent event, int32_t channel, int32_t count) override
    {
        silence[Index(event)][channel] += count;
    }

    static int Index(StreamEvent event) { return static_cast<int>(event); }
    int64_t Dropped(StreamEvent event, int channel) const { return dropped[Index(event)][channel]; }
    int64_t Silence(StreamEvent event, int channel) const { return silence[Index(event)][channel]; }
    int64_t AllDropped(int channel) const
    {
        int64_t sum = 0;
        for (const auto& byEvent : dropped)
            sum += byEvent[channel];
        return sum;
    }
    int64_t AllSilence(int channel) const
    {
        int64_t sum = 0;
        for (const auto& byEvent : silence)
            sum += byEvent[channel];
        return sum;
    }

    int64_t dropped[kEvents][2] = {};
    int64_t silence[kEvents][2] = {};
    int64_t droppedZeros[2] = {};
};

// A stream of the given frames on the simulated driver, observed by an event record, at
// process level 1.
class StreamOnDriver : public WithPlatform
{
protected:
    StreamOnDriver(int32_t frames, bool loopback) : driver_(frames, kSampleTypeInt32LSB, loopback)
    {
        ThePlatform()->InitLock(&listLock_);
        stream_ = std::make_unique<AudioStream>(frames, &listLock_);
        EXPECT_TRUE(stream_->Allocate(frames));
        stream_->AttachDriverBuffers(driver_.Buffers());
        stream_->SetObserver(&events_);
        stream_->SetProcessLevel(1);
    }
    ~StreamOnDriver() override
    {
        stream_.reset();
        ThePlatform()->DeleteLock(&listLock_);
    }

    PlatformLock listLock_;
    FakeDriver driver_;
    EventRecord events_;
    std::unique_ptr<AudioStream> stream_;
};
