// The services threads' pool, on a pool of the test's own: lifetimes one after another are
// served by one worker, instances alive at once by one each; no caller waits past the bound
// for a worker stuck in a command, and an instance whose last command is late is ended by the
// worker once it is done, never before.
#include "plugins/quorvel/ServicesThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;
using Outcome = ServicesThread::Outcome;
constexpr uint32_t kBoundMs = 200;
constexpr auto kLongest = std::chrono::seconds(20); // every wait of the test's own

// A gate a handler waits at until the test opens it (at most kLongest).
class Gate
{
public:
    void Open()
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            open_ = true;
        }
        changed_.notify_all();
    }
    void Pass()
    {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait_for(hold, kLongest, [this] { return open_; });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool open_ = false;
};

// Waits up to kLongest for `test`.
template <typename Test>
bool Eventually(Test test)
{
    const auto end = Clock::now() + kLongest;
    while (!test())
    {
        if (Clock::now() > end)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// What the handlers saw, for every instance of a case.
struct Seen
{
    std::mutex lock;
    std::vector<int32_t> commands;     // lock
    std::set<std::thread::id> threads; // lock
    void Add(int32_t command)
    {
        std::lock_guard<std::mutex> hold(lock);
        commands.push_back(command);
        threads.insert(std::this_thread::get_id());
    }
    size_t Count(int32_t command)
    {
        std::lock_guard<std::mutex> hold(lock);
        size_t n = 0;
        for (int32_t c : commands)
        {
            n += c == command ? 1 : 0;
        }
        return n;
    }
};

constexpr int32_t kLast = 2;

ServicesThread::Handler Recording(Seen& seen)
{
    return [&seen](int32_t command) {
        seen.Add(command);
        return command == kLast;
    };
}

class ServicesPoolTest : public ::testing::Test
{
protected:
    ServicesPool pool_; // first: outlives every thread of a case
    Seen seen_;
};

TEST_F(ServicesPoolTest, LifetimesOneAfterAnotherAreServedByOneWorker)
{
    for (int i = 0; i < 500; ++i)
    {
        ServicesThread thread(pool_);
        ASSERT_TRUE(thread.Start(Recording(seen_), kBoundMs)) << i;
        ASSERT_EQ(thread.Run(1, false), Outcome::Ran) << i;
        ASSERT_TRUE(thread.End(kLast, nullptr)) << i;
        EXPECT_FALSE(thread.IsRunning()) << i;
    }
    EXPECT_EQ(pool_.Made(), 1u);
    EXPECT_EQ(seen_.threads.size(), 1u);
    EXPECT_EQ(seen_.Count(1), 500u);
    EXPECT_EQ(seen_.Count(kLast), 500u);
}

TEST_F(ServicesPoolTest, InstancesAliveAtOnceGetAWorkerEachAndTheNextOnesTheSameWorkers)
{
    for (int round = 0; round < 3; ++round)
    {
        std::vector<std::unique_ptr<ServicesThread>> threads;
        for (int i = 0; i < 6; ++i)
        {
            threads.push_back(std::make_unique<ServicesThread>(pool_));
            ASSERT_TRUE(threads.back()->Start(Recording(seen_), kBoundMs));
            ASSERT_EQ(threads.back()->Run(1, false), Outcome::Ran);
        }
        for (auto& thread : threads)
        {
            EXPECT_TRUE(thread->End(kLast, nullptr));
        }
    }
    EXPECT_EQ(pool_.Made(), 6u);
    EXPECT_EQ(pool_.Idle(), 6u);
    EXPECT_EQ(seen_.threads.size(), 6u);
}

// A worker busy past the bound: callers come back at the bound (or at once once it is known to
// be late), a command it never took never runs, and one it took runs once.
TEST_F(ServicesPoolTest, NoCallerWaitsPastTheBoundForABusyWorker)
{
    struct Case
    {
        const char* label;
        int32_t busyIn; // the handler's call that waits at the gate
        Outcome first;  // what Run(7) answers while it waits
        size_t sevens;  // how often 7 ran in the end
    };
    for (const Case& c : {Case{"stuck in a command", 7, Outcome::Late, 1},
                          Case{"stuck outside a command (a nudge)", ServicesThread::kNudgeCommand, Outcome::NotRun, 0}})
    {
        SCOPED_TRACE(c.label);
        Seen seen;
        Gate gate;
        ServicesThread thread(pool_);
        ASSERT_TRUE(thread.Start(
            [&](int32_t command) {
                seen.Add(command);
                if (command == c.busyIn)
                {
                    gate.Pass();
                }
                return command == kLast;
            },
            kBoundMs));
        if (c.busyIn == ServicesThread::kNudgeCommand)
        {
            thread.Nudge();
            ASSERT_TRUE(Eventually([&] { return seen.Count(ServicesThread::kNudgeCommand) == 1; }));
        }
        const auto start = Clock::now();
        EXPECT_EQ(thread.Run(7, false), c.first);
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(kBoundMs));
        EXPECT_LT(Clock::now() - start, kLongest);
        if (c.first == Outcome::Late)
        {
            const auto again = Clock::now();
            EXPECT_EQ(thread.Run(8, true), Outcome::NotRun) << "a late worker is not waited for";
            EXPECT_LT(Clock::now() - again, std::chrono::milliseconds(kBoundMs));
        }
        gate.Open();
        // Once the worker is done with what held it, it is waited for again.
        EXPECT_TRUE(Eventually([&] { return thread.Run(9, false) == Outcome::Ran; }));
        EXPECT_TRUE(thread.End(kLast, nullptr));
        EXPECT_EQ(seen.Count(7), c.sevens);
        EXPECT_EQ(seen.Count(8), 0u);
        EXPECT_EQ(seen.Count(9), 1u);
    }
}

TEST_F(ServicesPoolTest, ACallerWaitingUntilDoneGetsItsTakenCommandFinished)
{
    std::atomic<bool> finished{false};
    ServicesThread thread(pool_);
    ASSERT_TRUE(thread.Start(
        [&](int32_t command) {
            if (command == 7)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(3 * kBoundMs));
                finished = true;
            }
            return command == kLast;
        },
        kBoundMs));
    EXPECT_EQ(thread.Run(7, true), Outcome::Ran);
    EXPECT_TRUE(finished.load()) << "its arguments are the caller's: it returns only once the command is done";
    EXPECT_TRUE(thread.End(kLast, nullptr));
}

// The instance's last command does not finish in time: End returns at the bound (at once when
// the worker is known to be late) and the worker ends the instance, on its own thread, after the
// command it was stuck in and the last one ran; then it serves the next instance.
TEST_F(ServicesPoolTest, AnInstanceWhoseLastCommandIsLateIsEndedByTheWorkerOnceDone)
{
    struct Case
    {
        const char* label;
        int32_t stuckIn;
    };
    for (const Case& c : {Case{"stuck in an earlier command", 7}, Case{"stuck in the last command", kLast}})
    {
        SCOPED_TRACE(c.label);
        Seen seen;
        Gate gate;
        std::atomic<bool> ended{false};
        std::atomic<bool> lastRan{false};
        std::atomic<bool> lastRanFirst{false};
        std::thread::id endedOn;
        auto* thread = new ServicesThread(pool_);
        ASSERT_TRUE(thread->Start(
            [&](int32_t command) {
                seen.Add(command);
                if (command == c.stuckIn)
                {
                    gate.Pass();
                }
                lastRan = lastRan || command == kLast;
                return command == kLast;
            },
            kBoundMs));
        if (c.stuckIn != kLast)
        {
            EXPECT_EQ(thread->Run(c.stuckIn, false), Outcome::Late);
        }
        const auto start = Clock::now();
        EXPECT_FALSE(thread->End(kLast, [&, thread] {
            lastRanFirst = lastRan.load();
            endedOn = std::this_thread::get_id();
            delete thread;
            ended = true;
        }));
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2 * kBoundMs + 1000));
        EXPECT_FALSE(ended.load()) << "nothing the worker uses goes while it is stuck";
        gate.Open();
        ASSERT_TRUE(Eventually([&] { return ended.load(); }));
        EXPECT_TRUE(lastRanFirst.load()) << "the last command ran before the instance went";
        EXPECT_TRUE(seen.threads.count(endedOn)) << "ended on the worker";
        ASSERT_TRUE(Eventually([&] { return pool_.Idle() == 1; })) << "the worker waits for the next instance";
        ServicesThread next(pool_);
        ASSERT_TRUE(next.Start(Recording(seen), kBoundMs));
        EXPECT_EQ(next.Run(1, false), Outcome::Ran);
        EXPECT_TRUE(next.End(kLast, nullptr));
        EXPECT_EQ(pool_.Made(), 1u);
        EXPECT_EQ(seen.threads.size(), 1u);
    }
}

TEST_F(ServicesPoolTest, ACommandIssuedOnTheWorkerRunsAtOnce)
{
    ServicesThread thread(pool_);
    Outcome inner = Outcome::NotRun;
    ASSERT_TRUE(thread.Start(
        [&](int32_t command) {
            seen_.Add(command);
            if (command == 7)
            {
                inner = thread.Run(9, false);
            }
            return command == kLast;
        },
        kBoundMs));
    EXPECT_EQ(thread.Run(7, false), Outcome::Ran);
    EXPECT_EQ(inner, Outcome::Ran);
    EXPECT_EQ(seen_.commands, (std::vector<int32_t>{7, 9}));
    EXPECT_TRUE(thread.End(kLast, nullptr));
}

TEST_F(ServicesPoolTest, AfterItsLastCommandTheInstanceRunsNothingMore)
{
    ServicesThread thread(pool_);
    ASSERT_TRUE(thread.Start(Recording(seen_), kBoundMs));
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_EQ(thread.Run(kLast, false), Outcome::Ran) << "the handler ends the thread";
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.Run(1, false), Outcome::NotRun);
    EXPECT_TRUE(thread.End(kLast, nullptr)) << "nothing left to end";
    EXPECT_EQ(seen_.commands, (std::vector<int32_t>{kLast}));
}

} // namespace
