#pragma once
#include <cstdint>

#include "framework/base/Object.h"

class TimerImpl;

// Receives the ticks of a Timer; the argument is the one given to Timer::Attach.
class TimerListener
{
public:
    virtual void OnTimerTick(int32_t argument) = 0;

protected:
    ~TimerListener() = default;
};

// A software timer: many of them share the one 25 ms ticker of the program.
class Timer : public Object
{
public:
    Timer();
    ~Timer() override;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Registers the timer (stopped); 0 when nothing could be registered.
    int Attach(TimerListener* listener, uint32_t period, int32_t argument);
    // Starts a stopped timer; a non-zero period replaces the stored one. Answers the period
    // given, or 1 when the timer already ran (then nothing changes).
    uint32_t Start(uint32_t period = 0);
    void Stop();
    int IsRunning() const;

    // The ticker: one system timer on the given window that drives every Timer. Without a
    // window (none given yet, or null) nothing starts and 0 is answered.
    static uintptr_t StartTicker(void* window);
    static uintptr_t StartTicker();
    static int StopTicker();
    // Whether the ticker was started and has not been stopped since; who stops it for a
    // while restarts it only when this said so.
    static int IsTickerRunning();
    // Whether the listeners of a tick are being called now (on the thread the ticker runs on).
    static int IsFiring();
    // The ticker's clock in milliseconds (the system's tick count unless a test replaced it).
    static uint32_t Now();

private:
    TimerImpl* impl_; // owned
};
