#pragma once
#include <cstdint>

// What the software timers need of the system: a millisecond clock and one periodic
// system timer bound to a window. The Win32 version uses GetTickCount and SetTimer;
// tests put in a clock they move by hand and call the tick themselves.
class TickerBackend
{
public:
    using TickProc = void (*)(void* window, uintptr_t id);

    virtual uint32_t Now() = 0;
    // Starts the periodic timer; answers the id the system gives it (0 on failure).
    virtual uintptr_t StartTimer(void* window, uintptr_t id, uint32_t milliseconds, TickProc proc) = 0;
    // Answers 1 when the timer was stopped, 0 when the system refused (e.g. it was not running).
    virtual int StopTimer(void* window, uintptr_t id) = 0;

protected:
    ~TickerBackend() = default;
};
