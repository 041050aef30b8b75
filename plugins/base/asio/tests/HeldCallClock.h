#pragma once
// A driver clock for offline renders that never runs ahead of the host: it ticks (runs a
// switch) only while a host call has been held up for a while, which is a call waiting for
// the driver. A free-running clock also ticked while a loaded machine held the host's thread
// back between calls: its switches were counted as waits, or ran the driver ahead of the host
// so that blocks were dropped, neither of which the plug-in did. A call can also be held up
// by the machine in the middle of writing its block, so the clock ticks only once a switch
// would also find the host's whole block (SwitchFindsHostAudio).

#include "plugins/base/stream/AudioStream.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

// A switch now plays a whole block of the host's, or the driver has not begun (a host's first
// offline call waits for the first switch before it writes anything).
inline bool SwitchFindsHostAudio(AudioStream* stream)
{
    if (!stream || !stream->SwitchSeen())
    {
        return true;
    }
    const int32_t queued = stream->OutputQueueCount(0);
    return queued > 1 || (queued == 1 && stream->WritePosition(0) == 0);
}

class HeldCallClock
{
public:
    HeldCallClock(std::function<void()> tick, std::chrono::milliseconds held, AudioStream* stream)
        : tick_(std::move(tick)), stream_(stream), held_(held), thread_([this] { Run(); })
    {
    }
    ~HeldCallClock()
    {
        done_ = true;
        thread_.join();
    }
    HeldCallClock(const HeldCallClock&) = delete;
    HeldCallClock& operator=(const HeldCallClock&) = delete;

    // Makes one host call.
    template <class Call>
    void HostCall(Call call)
    {
        ++started_;
        call();
        ++ended_;
    }

    int Ticks() const { return ticks_; }

private:
    void Run()
    {
        using Clock = std::chrono::steady_clock;
        int watched = -1;
        Clock::time_point since = Clock::now();
        while (!done_)
        {
            const int call = started_;
            if (call == ended_)
            {
                watched = -1;
            }
            else if (call != watched)
            {
                watched = call;
                since = Clock::now();
            }
            else if (Clock::now() - since > held_ && SwitchFindsHostAudio(stream_))
            {
                tick_();
                ++ticks_;
                since = Clock::now();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    const std::function<void()> tick_;
    AudioStream* const stream_;
    const std::chrono::milliseconds held_;
    std::atomic<bool> done_{false};
    std::atomic<int> started_{0}, ended_{0}, ticks_{0};
    std::thread thread_; // last: starts once the rest is set up
};
