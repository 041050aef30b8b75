#pragma once
#include <cstdint>
#include <vector>

#include "framework/base/Object.h"
#include "framework/platform/Timer.h"
#include "framework/platform/TickerBackend.h"

// The state of one Timer and the process-wide ticker. Everything runs on the
// user-interface thread.
class TimerImpl : public Object
{
public:
    static constexpr uint32_t kTickMilliseconds = 25;
    static constexpr uintptr_t kTickerId = 200;

    TimerImpl() = default;
    ~TimerImpl() override;

    int Attach(TimerListener* listener, uint32_t period, int32_t argument);
    uint32_t Start(uint32_t period);
    void Stop() { running_ = 0; }
    int IsRunning() const { return running_; }

    static uintptr_t StartTicker(void* window);
    static uintptr_t StartTicker();
    static int StopTicker();
    static int IsTickerRunning() { return tickerRunning_; }
    static int IsFiring() { return firing_; }

    // One pass of the timers on the ticker's clock: every running timer that is due is
    // called with its own argument, as a tick would. For a program whose windows live in a
    // host's process and are driven from a tick of their own instead of the ticker; passes
    // from several such drivers together fire a timer no more often than its period.
    static void FireDue();

    // The ticker's timer procedure: a pass, unless one runs already.
    static void Tick(void* window, uintptr_t id);

    static uint32_t Now();

    // Replaces the system clock and timer (tests); null puts the system's back.
    static void SetBackend(TickerBackend* backend);

private:
    struct PendingCall
    {
        TimerListener* listener; // borrowed; null once blanked
        int32_t argument;
    };

    int IsRegistered() const;

    TimerListener* listener_ = nullptr; // borrowed
    uint32_t period_ = 0;               // ms; 0 = every tick
    int32_t argument_ = 0;
    uint32_t last_ = 0; // clock value of the last firing
    int running_ = 0;

    static std::vector<TimerImpl*> registered_; // in registration order
    static std::vector<PendingCall> pending_;   // calls of the tick in progress
    static void* tickerWindow_;
    static uintptr_t tickerId_;
    static int tickerRunning_; // started and not stopped since
    static int firing_;        // a pass runs
    static TickerBackend* backend_;
};
