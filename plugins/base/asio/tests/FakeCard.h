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
    explicit FakeCard(FakeDriver& driver, int32_t loopDelay = -1) : m_driver(driver), m_loopDelay(loopDelay)
    {
        driver.duringStart = [this] { Run(true); };
        driver.duringStop = [this] { Run(false); };
    }
    ~FakeCard()
    {
        StopClock();
        m_driver.duringStart = nullptr;
        m_driver.duringStop = nullptr;
    }
    FakeCard(const FakeCard&) = delete;
    FakeCard& operator=(const FakeCard&) = delete;

    // Lock step: lets `frames` samples of time pass and runs a switch whenever another whole
    // buffer of time has passed. Answers the switches run.
    int Advance(int32_t frames)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (!m_started || m_driver.bufferSize <= 0)
        {
            return 0;
        }
        int switches = 0;
        m_pending += frames;
        while (m_pending >= m_driver.bufferSize)
        {
            m_pending -= m_driver.bufferSize;
            Switch();
            ++switches;
        }
        return switches;
    }

    // The card's own clock: a switch every `period` while the driver runs.
    void StartClock(std::chrono::microseconds period)
    {
        m_clockRuns = true;
        m_clock = std::thread([this, period] {
            while (m_clockRuns)
            {
                std::this_thread::sleep_for(period);
                {
                    std::lock_guard<std::mutex> hold(m_lock);
                    if (m_started && m_driver.bufferSize > 0)
                    {
                        Switch();
                        ++m_switches;
                    }
                }
            }
        });
    }
    void StopClock()
    {
        m_clockRuns = false;
        if (m_clock.joinable())
        {
            m_clock.join();
        }
    }
    int ClockSwitches()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_switches;
    }

private:
    void Run(bool started)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_started = started;
        m_pending = 0;
        m_half = 0;
        const int32_t size = m_driver.bufferSize;
        const size_t line = static_cast<size_t>(size) + static_cast<size_t>(m_loopDelay < 0 ? size : m_loopDelay);
        m_lines.assign(2, std::vector<int32_t>(started ? line : 0, 0));
        m_oldest = 0;
    }

    int32_t* Half(int32_t buffer, int half) const
    {
        const size_t size = static_cast<size_t>(m_driver.bufferSize);
        return &m_driver.memory[(2 * static_cast<size_t>(buffer) + static_cast<size_t>(half)) * size];
    }

    // Under m_lock. Buffers 0 and 1 are the outputs, 2 and 3 the inputs (the link's order).
    void Switch()
    {
        const int32_t size = m_driver.bufferSize;
        const bool looped = m_driver.bufferCount == 4;
        if (looped)
        {
            for (int32_t k = 0; k < 2; ++k)
            {
                int32_t* input = Half(2 + k, m_half);
                for (int32_t i = 0; i < size; ++i)
                {
                    input[i] = m_lines[static_cast<size_t>(k)][(m_oldest + static_cast<size_t>(i)) % m_lines[0].size()];
                }
            }
        }
        m_driver.callbacks.bufferSwitch(m_half, 1);
        if (looped)
        {
            for (int32_t k = 0; k < 2; ++k)
            {
                const int32_t* output = Half(k, m_half);
                for (int32_t i = 0; i < size; ++i)
                {
                    m_lines[static_cast<size_t>(k)][(m_oldest + static_cast<size_t>(i)) % m_lines[0].size()] =
                        output[i];
                }
            }
            m_oldest = (m_oldest + static_cast<size_t>(size)) % m_lines[0].size();
        }
        m_half ^= 1;
    }

    FakeDriver& m_driver;
    const int32_t m_loopDelay;
    std::mutex m_lock;
    bool m_started = false;                    // m_lock
    int64_t m_pending = 0;                     // m_lock
    int m_half = 0;                            // m_lock
    int m_switches = 0;                        // m_lock
    std::vector<std::vector<int32_t>> m_lines; // m_lock: the last samples each output played
    size_t m_oldest = 0;                       // m_lock
    std::atomic<bool> m_clockRuns{false};
    std::thread m_clock;
};
