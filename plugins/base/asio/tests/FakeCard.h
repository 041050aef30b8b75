#pragma once
// The card's loop on the fake driver, for tests that run audio through a plug-in: what a switch
// plays on output buffer k comes back on input buffer 2 + k a loop delay later (one buffer
// beyond the buffer itself by default: heard at the next switch, captured for the one after).
// Switches run either when the test lets time pass (lock step) or on a clock thread of the
// card's own; either way only between the driver's start and stop, and never once stop has
// returned, as on the card.

#include "plugins/base/asio/tests/FakeAsio.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

class FakeCard
{
public:
    // loopDelay < 0: one buffer of the size the driver is given.
    explicit FakeCard(FakeDriver& driver, int32_t loopDelay = -1) : driver_(driver), loopDelay_(loopDelay)
    {
        driver.duringStart = [this] { Run(true); };
        driver.duringStop = [this] { Run(false); };
    }
    ~FakeCard()
    {
        StopClock();
        driver_.duringStart = nullptr;
        driver_.duringStop = nullptr;
    }
    FakeCard(const FakeCard&) = delete;
    FakeCard& operator=(const FakeCard&) = delete;

    // Lock step: lets `frames` samples of time pass and runs a switch whenever another whole
    // buffer of time has passed. Answers the switches run.
    int Advance(int32_t frames)
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!started_ || driver_.bufferSize <= 0)
        {
            return 0;
        }
        int switches = 0;
        pending_ += frames;
        while (pending_ >= driver_.bufferSize)
        {
            pending_ -= driver_.bufferSize;
            Switch();
            ++switches;
        }
        return switches;
    }

    // The card's own clock: a switch every `period` while the driver runs.
    void StartClock(std::chrono::microseconds period)
    {
        clockRuns_ = true;
        clock_ = std::thread([this, period] {
            while (clockRuns_)
            {
                std::this_thread::sleep_for(period);
                {
                    std::lock_guard<std::mutex> hold(lock_);
                    if (started_ && driver_.bufferSize > 0)
                    {
                        Switch();
                        ++switches_;
                    }
                }
            }
        });
    }
    void StopClock()
    {
        clockRuns_ = false;
        if (clock_.joinable())
        {
            clock_.join();
        }
    }
    int ClockSwitches()
    {
        std::lock_guard<std::mutex> hold(lock_);
        return switches_;
    }

private:
    void Run(bool started)
    {
        std::lock_guard<std::mutex> hold(lock_);
        started_ = started;
        pending_ = 0;
        half_ = 0;
        const int32_t size = driver_.bufferSize;
        const size_t line = static_cast<size_t>(size) + static_cast<size_t>(loopDelay_ < 0 ? size : loopDelay_);
        lines_.assign(2, std::vector<int32_t>(started ? line : 0, 0));
        oldest_ = 0;
    }

    int32_t* Half(int32_t buffer, int half) const
    {
        const size_t size = static_cast<size_t>(driver_.bufferSize);
        return &driver_.memory[(2 * static_cast<size_t>(buffer) + static_cast<size_t>(half)) * size];
    }

    // Under lock_. Buffers 0 and 1 are the outputs, 2 and 3 the inputs (the link's order).
    void Switch()
    {
        const int32_t size = driver_.bufferSize;
        const bool looped = driver_.bufferCount == 4;
        if (looped)
        {
            for (int32_t k = 0; k < 2; ++k)
            {
                int32_t* input = Half(2 + k, half_);
                for (int32_t i = 0; i < size; ++i)
                {
                    input[i] = lines_[static_cast<size_t>(k)][(oldest_ + static_cast<size_t>(i)) % lines_[0].size()];
                }
            }
        }
        driver_.callbacks.bufferSwitch(half_, 1);
        if (looped)
        {
            for (int32_t k = 0; k < 2; ++k)
            {
                const int32_t* output = Half(k, half_);
                for (int32_t i = 0; i < size; ++i)
                {
                    lines_[static_cast<size_t>(k)][(oldest_ + static_cast<size_t>(i)) % lines_[0].size()] = output[i];
                }
            }
            oldest_ = (oldest_ + static_cast<size_t>(size)) % lines_[0].size();
        }
        half_ ^= 1;
    }

    FakeDriver& driver_;
    const int32_t loopDelay_;
    std::mutex lock_;
    bool started_ = false;                    // lock_
    int64_t pending_ = 0;                     // lock_
    int half_ = 0;                            // lock_
    int switches_ = 0;                        // lock_
    std::vector<std::vector<int32_t>> lines_; // lock_: the last samples each output played
    size_t oldest_ = 0;                       // lock_
    std::atomic<bool> clockRuns_{false};
    std::thread clock_;
};
