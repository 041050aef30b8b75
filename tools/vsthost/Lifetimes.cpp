#include "tools/vsthost/Lifetimes.h"

#include "standins/asio/AsioStandin.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

int Milliseconds(Clock::time_point since)
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// Ends the process when a step does not return in time: a hung plug-in is reported, not waited
// for.
class StepWatch
{
public:
    StepWatch() : thread_([this] { Watch(); }) {}
    ~StepWatch()
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    StepWatch(const StepWatch&) = delete;
    StepWatch& operator=(const StepWatch&) = delete;

    void Begin(int lifetime, const char* step)
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            lifetime_ = lifetime;
            step_ = step;
            deadline_ = Clock::now() + std::chrono::milliseconds(kStepLimitMs);
            ++serial_;
        }
        changed_.notify_all();
    }
    void End()
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            step_ = nullptr;
        }
        changed_.notify_all();
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> hold(lock_);
        while (!stop_)
        {
            if (!step_)
            {
                changed_.wait(hold);
                continue;
            }
            const unsigned serial = serial_;
            if (changed_.wait_until(hold, deadline_, [&] { return stop_ || !step_ || serial_ != serial; }))
            {
                continue;
            }
            std::printf("lifetime %d: %s did not return in %u ms\n", lifetime_, step_, kStepLimitMs);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }

    std::mutex lock_;
    std::condition_variable changed_;
    // lock_
    bool stop_ = false;
    int lifetime_ = 0;
    const char* step_ = nullptr;
    Clock::time_point deadline_;
    unsigned serial_ = 0;
    std::thread thread_; // last: starts once the fields above are set
};

enum class Returned
{
    ThroughTheCard,
    PassedThrough,
    Silent
};

const char* Describe(Returned returned)
{
    switch (returned)
    {
    case Returned::ThroughTheCard:
        return "through the card";
    case Returned::PassedThrough:
        return "passed through";
    default:
        return "silent";
    }
}

struct Lifetime
{
    bool made = false;
    Returned returned = Returned::Silent;
    int delay = 0;
    int mainMs = 0;
    int closeMs = 0;
    int totalMs = 0;
};

// Processes the blocks of one lifetime and tells what came back.
Returned Process(VstEffectRecord* effect, const LifetimeOptions& options, uint32_t* seed)
{
    const size_t block = static_cast<size_t>(options.block);
    std::vector<float> in[2] = {std::vector<float>(block), std::vector<float>(block)};
    std::vector<float> out[2] = {std::vector<float>(block), std::vector<float>(block)};
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    HMODULE standin = options.lockstep ? GetModuleHandleA(kStandinModuleName) : nullptr;
    const auto step = standin ? reinterpret_cast<StandinAsioStepFramesProc>(
                                    reinterpret_cast<void*>(GetProcAddress(standin, "StandinAsioStepFrames")))
                              : nullptr;
    bool allInput = true;
    bool allZero = true;
    auto next = Clock::now();
    for (int b = 0; b < options.blocks; ++b)
    {
        for (size_t i = 0; i < block; ++i)
        {
            *seed = *seed * 1103515245u + 12345u;
            in[0][i] = static_cast<float>(*seed >> 9) / 8388608.0f - 0.5f;
            in[1][i] = -in[0][i];
            out[0][i] = 0.0f;
            out[1][i] = 0.0f;
        }
        const int32_t frames = options.block;
        if (options.accumulate)
        {
            effect->process(effect, inputs, outputs, frames);
        }
        else
        {
            effect->processReplacing(effect, inputs, outputs, frames);
        }
        for (int c = 0; c < 2; ++c)
        {
            allInput = allInput && std::equal(out[c].begin(), out[c].end(), in[c].begin());
            allZero = allZero && std::all_of(out[c].begin(), out[c].end(), [](float v) { return v == 0.0f; });
        }
        if (step)
        {
            step(frames);
        }
        else
        {
            next += std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>(static_cast<double>(frames) / options.rate));
            std::this_thread::sleep_until(next);
        }
    }
    return allInput ? Returned::PassedThrough : allZero ? Returned::Silent : Returned::ThroughTheCard;
}

Lifetime Live(int number, VstMainProc entry, VstHostCallback host, const LifetimeOptions& options, StepWatch& watch,
              uint32_t* seed)
{
    Lifetime lifetime;
    const auto start = Clock::now();
    watch.Begin(number, "main");
    VstEffectRecord* effect = entry(host);
    lifetime.mainMs = Milliseconds(start);
    if (!effect || effect->magic != kVstMagic)
    {
        watch.End();
        return lifetime;
    }
    lifetime.made = true;
    auto dispatch = [&](const char* step, int32_t opcode, VstValue value, float option) {
        watch.Begin(number, step);
        effect->dispatcher(effect, opcode, 0, value, nullptr, option);
    };
    dispatch("open", kEffOpen, 0, 0.0f);
    dispatch("set the rate", kEffSetSampleRate, 0, static_cast<float>(options.rate));
    dispatch("set the block", kEffSetBlockSize, options.block, 0.0f);
    dispatch("resume", kEffMainsChanged, 1, 0.0f);
    lifetime.delay = effect->initialDelay;
    watch.Begin(number, "process");
    lifetime.returned = Process(effect, options, seed);
    dispatch("suspend", kEffMainsChanged, 0, 0.0f);
    const auto close = Clock::now();
    dispatch("close", kEffClose, 0, 0.0f);
    watch.End();
    lifetime.closeMs = Milliseconds(close);
    lifetime.totalMs = Milliseconds(start);
    return lifetime;
}

} // namespace

int RunLifetimes(VstMainProc entry, VstHostCallback host, const LifetimeOptions& options)
{
    StepWatch watch;
    uint32_t seed = 11;
    int made = 0;
    int through = 0;
    int passed = 0;
    int slowest = 0;
    int slowestAt = 0;
    for (int n = 1; n <= options.lifetimes; ++n)
    {
        const Lifetime lifetime = Live(n, entry, host, options, watch, &seed);
        if (!lifetime.made)
        {
            std::printf("lifetime %d: no effect (main %d ms)\n", n, lifetime.mainMs);
            std::fflush(stdout);
            continue;
        }
        ++made;
        through += lifetime.returned == Returned::ThroughTheCard ? 1 : 0;
        passed += lifetime.returned == Returned::PassedThrough ? 1 : 0;
        if (lifetime.totalMs > slowest)
        {
            slowest = lifetime.totalMs;
            slowestAt = n;
        }
        std::printf("lifetime %d: %s, reported delay %d, main %d ms, close %d ms, %d ms in all\n", n,
                    Describe(lifetime.returned), lifetime.delay, lifetime.mainMs, lifetime.closeMs, lifetime.totalMs);
        std::fflush(stdout);
    }
    std::printf("lifetimes: %d of %d made, %d through the card, %d passed through, slowest %d ms (lifetime %d)\n", made,
                options.lifetimes, through, passed, slowest, slowestAt);
    std::fflush(stdout);
    return made == options.lifetimes ? 0 : 1;
}
