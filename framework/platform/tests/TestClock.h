// The shared ticker on a clock the test moves, for tests of the software timers' clients.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "framework/platform/TickerBackend.h"
#include "framework/platform/Timer.h"
#include "framework/platform/TimerImpl.h"

// The ticker on a clock the test moves; nothing fires unless the test ticks.
class TestClock final : public TickerBackend
{
public:
    TestClock()
    {
        TimerImpl::SetBackend(this);
        EXPECT_NE(Timer::StartTicker(&window_), 0u);
    }
    ~TestClock()
    {
        Timer::StopTicker();
        TimerImpl::SetBackend(nullptr);
    }
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;

    uint32_t Now() override { return now; }
    uintptr_t StartTimer(void*, uintptr_t id, uint32_t, TickProc) override { return id; }
    int StopTimer(void*, uintptr_t) override { return 1; }

    // Moves the clock by ms and lets the ticker run once.
    void Advance(uint32_t ms)
    {
        now += ms;
        TimerImpl::Tick(&window_, TimerImpl::kTickerId);
    }

    uint32_t now = 10000;

private:
    int window_ = 0;
};
