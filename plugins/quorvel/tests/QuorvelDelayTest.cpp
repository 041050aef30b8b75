// KivQuorvel's delay through the card with the mixer program running: tools/vsthost sends noise
// through an instance that takes a pair from the mixer, and the delay measured where the
// signal comes back and where it ends is the delay reported, whatever the driver's buffer
// against the host block (smaller, larger, no multiple of it, above the driver's largest) and
// however the host cuts its calls, with nothing lost on the way. The card has four pairs:
// four hosts run at once.
#include "plugins/quorvel/tests/WithTheMixer.h"
#include "standins/asio/StandinTestConfig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace
{

struct DelayCase
{
    const char* name;
    int block;
    const char* calls;
    int reported; // on the simulated card's default buffer sizes (64 to 2048 in steps of 32)
};

// What vsthost printed of one run.
struct Figures
{
    HostRun run;
    int reported = -1;
    int measured = -1;
    int atTheEnd = -1;
    int off = -1;
    int offNotSilent = -1;
    int silent = -1;
};

Figures RunCase(const DelayCase& c, const std::string& clock, int seconds)
{
    Figures figures;
    figures.run = RunHost(KIV_VSTHOST, KIV_QUORVEL,
                          clock + " --signal noise --block " + std::to_string(c.block) + " --seconds " +
                              std::to_string(seconds) + " --calls " + c.calls);
    figures.reported = Reported(figures.run.output, "reported initial delay: ");
    figures.measured = Reported(figures.run.output, "measured delay: ");
    figures.atTheEnd = Reported(figures.run.output, "measured delay at the end: ");
    figures.off = Reported(figures.run.output, "samples off the delay: ");
    figures.offNotSilent = Reported(figures.run.output, "of them not silent: ");
    figures.silent = Reported(figures.run.output, "silent stretches after the first sample back: ");
    std::printf("%s (%s): reported %d, measured %d, at the end %d, samples off %d (not silent %d), silent stretches "
                "%d\n",
                c.name, clock.empty() ? "real time" : "lock step", figures.reported, figures.measured, figures.atTheEnd,
                figures.off, figures.offNotSilent, figures.silent);
    return figures;
}

// Runs the cases four at a time, one host for each of the card's pairs; a batch ends before
// the next begins, so every instance finds a pair free.
std::vector<Figures> RunCases(const std::vector<DelayCase>& cases, const std::string& clock, int seconds)
{
    std::vector<Figures> figures(cases.size());
    for (size_t first = 0; first < cases.size(); first += 4)
    {
        std::vector<std::thread> hosts;
        for (size_t i = first; i < cases.size() && i < first + 4; ++i)
        {
            hosts.emplace_back([&, i] { figures[i] = RunCase(cases[i], clock, seconds); });
        }
        for (std::thread& host : hosts)
        {
            host.join();
        }
    }
    return figures;
}

using QuorvelDelay = QuorvelWithTheMixer;

// Runs the cases; each ended well with a pair (not passed through) and the delay reported for
// it, measured where the signal came back and where it ended, and nothing back at another
// delay. Lossless: every sample came back, and no stretch of silence.
void ExpectTheDelayHeld(const std::vector<DelayCase>& cases, const std::string& clock, bool lossless)
{
    const std::vector<Figures> figures = RunCases(cases, clock, 30);
    for (size_t i = 0; i < cases.size(); ++i)
    {
        const DelayCase& c = cases[i];
        const Figures& f = figures[i];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(f.run.exitCode, 0u) << f.run.output;
        EXPECT_EQ(f.reported, c.reported) << f.run.output;
        EXPECT_EQ(f.measured, f.reported) << f.run.output;
        // On its own clock a machine loaded past real time can lose the whole last window to
        // silence: then there is nothing to measure there (-1), and offNotSilent still shows
        // that nothing came back at another delay.
        if (lossless || f.atTheEnd != -1 || f.silent == 0)
        {
            EXPECT_EQ(f.atTheEnd, f.reported) << f.run.output;
        }
        EXPECT_EQ(f.offNotSilent, 0) << "samples back at another delay" << f.run.output;
        if (lossless)
        {
            EXPECT_EQ(f.off, 0) << f.run.output;
            EXPECT_EQ(f.silent, 0) << f.run.output;
        }
    }
}

// The card's loop returns a buffer two buffers after it was played, whatever size the
// instance picks.
constexpr const char* kCard = "[Driver]\nLoopDelay=buffer\nLoopGain=0.5\n";

// The driver's buffer against the block: 1 and 33, the smallest multiple on the driver's step
// (64, 1056), three buffers and a block less a sample; 333, 441 and 1000, the next size on the
// step (352, 448, 1024), four buffers; 4096, two of the driver's largest buffer (2048) for every
// call, three buffers and a block; 512, the block itself, three buffers and a block less a
// sample, which calls of any length need.
const std::vector<DelayCase> kSizes = {
    {"block1", 1, "whole", 192},
    {"block33", 33, "whole", 3200},
    {"block333", 333, "whole", 1408},
    {"block441", 441, "whole", 1792},
    {"block1000", 1000, "whole", 4096},
    {"block4096", 4096, "whole", 10240},
    {"block512Uneven", 512, "uneven", 2047},
    {"block512Split", 512, "split", 2047},
    {"block512Shorter", 512, "shorter", 2047},
    {"block512Primes", 512, "primes", 2047},
    {"block4096Changing", 4096, "changing", 10240},
};

// The card steps in lock step with the host, as fast as the machine runs: every sample comes
// back, exactly the reported delay later.
TEST_F(QuorvelDelay, InLockStepEverySampleComesBackAfterTheReportedDelay)
{
    const StandinTestConfig config(std::string(kCard) + "Clock=manual\n");
    ExpectTheDelayHeld(kSizes, "--lockstep", true);
}

// The card on its own clock in real time, the host sleeping between its calls: the delay is
// the reported one at the start and at the end, and every sample that comes back is the one
// sent that much earlier. The two clocks are timers of a loaded machine, a few milliseconds
// apart at times, beyond what the delay has room for: the samples due then are lost (silence,
// counted and printed), but nothing moves in time.
TEST_F(QuorvelDelay, InRealTimeTheDelayIsTheReportedOneAndNothingMoves)
{
    const StandinTestConfig config(kCard);
    ExpectTheDelayHeld({{"block441", 441, "whole", 1792},
                        {"block333Uneven", 333, "uneven", 1408},
                        {"block1000Shorter", 1000, "shorter", 4096},
                        {"block4096Primes", 4096, "primes", 10240}},
                       "", false);
}

} // namespace
