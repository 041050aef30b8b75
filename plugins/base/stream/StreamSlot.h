#pragma once
// Holds a plug-in's current stream while the host's audio thread may be using it: the owner
// takes the stream out, waits until no user holds it and only then deletes or replaces it.
// Users never wait; a user that finds the slot empty passes silence.

#include "plugins/base/stream/AudioStream.h"

#include <atomic>
#include <chrono>
#include <thread>

class StreamSlot
{
public:
    StreamSlot() = default;
    ~StreamSlot() { delete Take(); }
    StreamSlot(const StreamSlot&) = delete;
    StreamSlot& operator=(const StreamSlot&) = delete;

    // Any thread: the stream stays alive while this object exists (null when there is none).
    class Use
    {
    public:
        explicit Use(StreamSlot& slot) : slot_(slot)
        {
            slot_.users_.fetch_add(1);
            stream_ = slot_.stream_.load();
        }
        ~Use() { slot_.users_.fetch_sub(1); }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        AudioStream* Get() const { return stream_; }

    private:
        StreamSlot& slot_;
        AudioStream* stream_;
    };

    // Owner: empties the slot and answers its stream once no user holds it (the caller owns it).
    // Never called while the same thread holds a Use.
    AudioStream* Take()
    {
        AudioStream* stream = stream_.exchange(nullptr);
        while (users_.load() != 0)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return stream;
    }
    // Owner: fills an empty slot.
    void Put(AudioStream* stream) { stream_.store(stream); }
    // Owner thread only: the stream without holding it (for reading settings it made).
    AudioStream* Peek() const { return stream_.load(); }

    // Any thread: the host suspended the plug-in; the stream stops and drops what it queued.
    void Suspend()
    {
        Use use(*this);
        if (AudioStream* stream = use.Get())
        {
            stream->SetProcessLevel(kStreamStopped);
            stream->Reset(true);
        }
    }
    // Any thread: the stream drops what it queued (the host resumes from empty queues).
    void DropQueued()
    {
        Use use(*this);
        if (AudioStream* stream = use.Get())
        {
            stream->Reset(true);
        }
    }

private:
    std::atomic<AudioStream*> stream_{nullptr}; // owned
    std::atomic<int> users_{0};
};
