#pragma once
#include <cstdint>

#include "framework/platform/Timer.h"

// A value that reads itself again from the engine on every tick of its own timer: the main
// meters, the effect view's meter rows and the insert slots. The timer stops while the poll
// runs, so a slow poll never piles ticks up. User-interface thread only.
class PolledItem : public TimerListener
{
public:
    PolledItem() = default;
    virtual ~PolledItem() = default;
    PolledItem(const PolledItem&) = delete;
    PolledItem& operator=(const PolledItem&) = delete;

    // Attaches the timer with the interval (0: every tick of the shared ticker) and starts it;
    // 0 when the timer cannot be registered.
    int StartPolling(uint32_t interval);
    void StopPolling() { timer_.Stop(); }
    int IsPolling() const { return timer_.IsRunning(); }

    void OnTimerTick(int32_t argument) override;

protected:
    virtual void Poll() = 0;

private:
    Timer timer_;
    int attached_ = 0;
};
