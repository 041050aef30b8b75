#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "framework/platform/Timer.h"
#include "framework/platform/TimerImpl.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

// A clock moved by hand and a system timer that only records whether it runs.
class ManualTicker final : public TickerBackend
{
public:
    uint32_t now = 1000;
    bool running = false;
    bool refuseStop = false;
    bool refuseStart = false;
    int starts = 0;

    uint32_t Now() override { return now; }
    uintptr_t StartTimer(void*, uintptr_t id, uint32_t ms, TickProc) override
    {
        EXPECT_EQ(ms, 25u);
        ++starts;
        if (refuseStart)
            return 0;
        running = true;
        return id;
    }
    int StopTimer(void*, uintptr_t id) override
    {
        EXPECT_EQ(id, 200u);
        if (refuseStop || !running)
            return 0;
        running = false;
        return 1;
    }
};

struct Recorder : TimerListener
{
    std::vector<int32_t> calls;
    std::function<void(int32_t)> action;
    void OnTimerTick(int32_t argument) override
    {
        calls.push_back(argument);
        if (action)
            action(argument);
    }
};

int gWindow;

class TimerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TimerImpl::SetBackend(&ticker_);
        ASSERT_EQ(Timer::StartTicker(&gWindow), 200u);
    }
    void TearDown() override
    {
        Timer::StopTicker();
        TimerImpl::SetBackend(nullptr);
    }
    void Tick(uint32_t at)
    {
        ticker_.now = at;
        TimerImpl::Tick(&gWindow, 200);
    }

    ManualTicker ticker_;
};

TEST_F(TimerTest, PeriodZeroFiresOnEveryTickWhileRunning)
{
    Recorder r;
    Timer t;
    ASSERT_EQ(t.Attach(&r, 0, 7), 1);
    Tick(1001);
    EXPECT_TRUE(r.calls.empty()) << "an attached timer waits for Start";
    t.Start();
    Tick(1001);
    Tick(1001);
    Tick(1002);
    EXPECT_EQ(r.calls, (std::vector<int32_t>{7, 7, 7}));
    t.Stop();
    Tick(1003);
    EXPECT_EQ(r.calls.size(), 3u);
    EXPECT_TRUE(ticker_.running) << "the ticker is restarted after each tick";
}

TEST_F(TimerTest, APeriodIsDueOnlyWhenStrictlyExceeded)
{
    Recorder r;
    Timer t;
    t.Attach(&r, 100, 1);
    EXPECT_EQ(t.Start(), 0u);
    Tick(1100);
    EXPECT_TRUE(r.calls.empty());
    Tick(1101);
    EXPECT_EQ(r.calls.size(), 1u);
    Tick(1201);
    EXPECT_EQ(r.calls.size(), 1u) << "last firing moved to 1101";
    Tick(1202);
    EXPECT_EQ(r.calls.size(), 2u);
}

TEST_F(TimerTest, TheClockWrapIsHarmless)
{
    Recorder r;
    Timer t;
    t.Attach(&r, 100, 1);
    ticker_.now = 0xFFFFFFC0u;
    t.Start();
    Tick(0x10); // 0x50 ms later
    EXPECT_TRUE(r.calls.empty());
    Tick(0x25); // 0x65 = 101 ms later
    EXPECT_EQ(r.calls.size(), 1u);
}

TEST_F(TimerTest, StartResetsTheLastFiringAndKeepsARunningPeriod)
{
    Recorder r;
    Timer t;
    t.Attach(&r, 100, 1);
    EXPECT_EQ(t.Start(50), 50u);
    EXPECT_EQ(t.IsRunning(), 1);
    EXPECT_EQ(t.Start(500), 1u) << "a running timer keeps its period";
    Tick(1051);
    EXPECT_EQ(r.calls.size(), 1u);
    t.Stop();
    EXPECT_EQ(t.IsRunning(), 0);
    Tick(1200); // due while stopped: counts as a firing, no call
    EXPECT_EQ(r.calls.size(), 1u);
    ticker_.now = 1210;
    t.Start();
    Tick(1250);
    EXPECT_EQ(r.calls.size(), 1u) << "Start restarted the period at 1210";
    Tick(1261);
    EXPECT_EQ(r.calls.size(), 2u);
}

TEST_F(TimerTest, DestroyingATimerInsideAnotherCallbackBlanksItsPendingCall)
{
    struct Case
    {
        const char* name;
        bool sharedListener;
    };
    for (const Case& c : {Case{"own listeners", false}, Case{"shared listener", true}})
    {
        SCOPED_TRACE(c.name);
        Recorder first, second;
        Timer killer;
        auto victim = std::make_unique<Timer>();
        auto other = std::make_unique<Timer>();
        killer.Attach(&first, 0, 1);
        victim->Attach(&second, 0, 2);
        other->Attach(c.sharedListener ? &second : &first, 0, 3);
        first.action = [&](int32_t arg) {
            if (arg == 1)
                victim.reset();
        };
        killer.Start();
        victim->Start();
        other->Start();
        Tick(1001);
        EXPECT_TRUE(second.calls.empty());
        // A shared listener loses the other timer's call as well.
        const std::vector<int32_t> expected = c.sharedListener ? std::vector<int32_t>{1} : std::vector<int32_t>{1, 3};
        EXPECT_EQ(first.calls, expected);
    }
}

TEST_F(TimerTest, NoReentrantTickFromInsideACallback)
{
    Recorder r;
    Timer t;
    t.Attach(&r, 0, 5);
    t.Start();
    int nested = 0;
    r.action = [&](int32_t) {
        if (nested++ == 0)
            TimerImpl::Tick(&gWindow, 200); // as a modal loop inside a listener would
    };
    Tick(1001);
    EXPECT_EQ(r.calls.size(), 1u);
    EXPECT_TRUE(ticker_.running);
    Tick(1026);
    EXPECT_EQ(r.calls.size(), 2u) << "the next tick fires again";
}

TEST_F(TimerTest, TicksOfOtherWindowsDoNothingAndTicksLeaveTheSystemTimerRunning)
{
    Recorder r;
    Timer t;
    t.Attach(&r, 0, 5);
    t.Start();
    int elsewhere;
    TimerImpl::Tick(&elsewhere, 200);
    EXPECT_TRUE(r.calls.empty());
    const int starts = ticker_.starts;
    for (uint32_t at = 1001; at < 1100; at += 25)
        Tick(at);
    EXPECT_EQ(r.calls.size(), 4u);
    EXPECT_EQ(ticker_.starts, starts) << "not started again per tick";
    EXPECT_TRUE(ticker_.running) << "nor stopped";
}

TEST_F(TimerTest, AThrowingListenerDoesNotStopTheOthers)
{
    Recorder thrower, after;
    thrower.action = [](int32_t) { throw std::runtime_error("listener failed"); };
    Timer a, b;
    a.Attach(&thrower, 0, 1);
    b.Attach(&after, 0, 2);
    a.Start();
    b.Start();
    Tick(1001);
    EXPECT_EQ(after.calls.size(), 1u);
    EXPECT_TRUE(ticker_.running);
}

TEST_F(TimerTest, APassFiresTheDueRunningTimersWithTheirArguments)
{
    Recorder every, repeat, stopped;
    Timer a, b, c;
    a.Attach(&every, 0, 3);
    b.Attach(&repeat, 50, 10);
    c.Attach(&stopped, 0, 4);
    ticker_.now = 2000;
    a.Start();
    b.Start();
    // A pass runs whether or not the ticker does (a plug-in's windows have none).
    Timer::StopTicker();
    struct Step
    {
        const char* trace;
        uint32_t at;
        std::vector<int32_t> every, repeat;
    } steps[] = {
        {"period 0 fires on each pass, the period is not over yet", 2020, {3}, {}},
        {"a second driver in the same period fires nothing more", 2020, {3, 3}, {}},
        {"the period is over: its own argument", 2051, {3, 3, 3}, {10}},
        {"two drivers at once: the period timer once", 2051, {3, 3, 3, 3}, {10}},
        {"and again a period later", 2102, {3, 3, 3, 3, 3}, {10, 10}},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.trace);
        ticker_.now = step.at;
        TimerImpl::FireDue();
        EXPECT_EQ(every.calls, step.every);
        EXPECT_EQ(repeat.calls, step.repeat);
    }
    EXPECT_TRUE(stopped.calls.empty()) << "a stopped timer never fires";
    EXPECT_FALSE(ticker_.running) << "a pass leaves the ticker as it was";
}

TEST_F(TimerTest, APassInsideAListenerFiresNothingTwice)
{
    Recorder r;
    Timer t;
    t.Attach(&r, 0, 5);
    t.Start();
    r.action = [](int32_t) { TimerImpl::FireDue(); };
    TimerImpl::FireDue();
    EXPECT_EQ(r.calls, (std::vector<int32_t>{5}));
    Tick(1001);
    EXPECT_EQ(r.calls, (std::vector<int32_t>{5, 5})) << "a pass inside a tick's listener adds nothing";
}

TEST_F(TimerTest, AttachFailsOnlyWithoutTickerAndWithoutTimers)
{
    Recorder r;
    ticker_.refuseStart = true;
    EXPECT_EQ(Timer::StartTicker(), 0u);
    Timer t;
    EXPECT_EQ(t.Attach(&r, 0, 1), 0);
    ticker_.refuseStart = false;
    EXPECT_EQ(Timer::StartTicker(), 200u);
    EXPECT_EQ(t.Attach(&r, 0, 1), 1);
}

TEST_F(TimerTest, WithoutATickerWindowNothingStartsAndTicksAddNoTimer)
{
    EXPECT_EQ(Timer::IsTickerRunning(), 1);
    ASSERT_EQ(Timer::StopTicker(), 1);
    EXPECT_EQ(Timer::IsTickerRunning(), 0);
    const int startsBefore = ticker_.starts;
    EXPECT_EQ(Timer::StartTicker(nullptr), 0u);
    EXPECT_EQ(Timer::StartTicker(), 0u);
    Recorder r;
    Timer t;
    t.Attach(&r, 0, 1);
    t.Start();
    // A stray system tick without a window: no call and no new system timer.
    ticker_.now = 1001;
    TimerImpl::Tick(nullptr, 200);
    EXPECT_TRUE(r.calls.empty());
    EXPECT_EQ(ticker_.starts, startsBefore) << "a windowless start would make a timer no stop can kill";
    EXPECT_EQ(Timer::IsTickerRunning(), 0);
    EXPECT_EQ(Timer::StartTicker(&gWindow), 200u);
    EXPECT_EQ(Timer::IsTickerRunning(), 1);
}

TEST_F(TimerTest, TheRunningStateFollowsStartsStopsAndRefusals)
{
    ticker_.refuseStop = true;
    EXPECT_EQ(Timer::StopTicker(), 0);
    EXPECT_EQ(Timer::IsTickerRunning(), 1) << "a refused stop leaves it running";
    ticker_.refuseStop = false;
    EXPECT_EQ(Timer::StopTicker(), 1);
    ticker_.refuseStart = true;
    EXPECT_EQ(Timer::StartTicker(), 0u);
    EXPECT_EQ(Timer::IsTickerRunning(), 0);
    ticker_.refuseStart = false;
    EXPECT_EQ(Timer::StartTicker(), 200u);
    EXPECT_EQ(Timer::IsTickerRunning(), 1);
}

#ifdef _WIN32
TEST(TimerWin32, TheRealTickerFiresAHundredMillisecondTimer)
{
    HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(Timer::StartTicker(window), 200u);
    Recorder r;
    Timer t;
    ASSERT_EQ(t.Attach(&r, 100, 9), 1);
    const DWORD started = GetTickCount();
    t.Start();
    MSG msg;
    while (r.calls.empty() && GetTickCount() - started < 5000)
    {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
    EXPECT_EQ(r.calls, (std::vector<int32_t>{9}));
    EXPECT_GT(GetTickCount() - started, 100u);
    EXPECT_EQ(Timer::StopTicker(), 1);
    DestroyWindow(window);
}
#endif

} // namespace
