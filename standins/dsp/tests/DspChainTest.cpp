// The chain the simulated driver runs between a send and a return pair, and the table the
// engine publishes it in. This executable counts every operator new, to show that running
// blocks allocates nothing.

#include "standins/dsp/DspChain.h"
#include "standins/dsp/DspSharedTable.h"
#include "tests/support/CountingNew.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr double kRate = 48000.0;

DspInsertValues Insert(uint32_t kind, float gain = 0.5f, float mix = 1.0f)
{
    DspInsertValues insert;
    insert.kind = kind;
    insert.gain = gain;
    insert.mix = mix;
    return insert;
}
DspInsertValues Bypassed(DspInsertValues insert)
{
    insert.bypass = 1;
    return insert;
}
DspInsertValues Soloed(DspInsertValues insert)
{
    insert.solo = 1;
    return insert;
}
DspInsertValues Signal(int32_t frequency, float level)
{
    DspInsertValues insert = Insert(DspChain::kTestSignal);
    insert.frequency = frequency;
    insert.level = level;
    return insert;
}

DspRouteSnapshot Route(const std::vector<DspInsertValues>& inserts, uint32_t serial = 1)
{
    DspRouteSnapshot route;
    route.active = 1;
    route.serial = serial;
    route.insertCount = static_cast<uint32_t>(inserts.size());
    for (size_t i = 0; i < inserts.size(); ++i)
        route.inserts[i] = inserts[i];
    return route;
}

// A block that peaks at `peak` on the right channel, at its middle sample.
void Ramp(std::vector<double>& left, std::vector<double>& right, double peak)
{
    const size_t n = left.size();
    for (size_t i = 0; i < n; ++i)
    {
        left[i] = peak * (static_cast<double>(i) / static_cast<double>(n) - 0.5);
        right[i] = -left[i] * 0.5;
    }
    right[n / 2] = peak;
}

TEST(DspChainTest, InsertsScaleTheBlockAndMeterTheirOutput)
{
    const auto trim = [](float gain) { return Insert(DspChain::kTrimPot, gain); };
    struct Case
    {
        const char* label;
        std::vector<DspInsertValues> inserts;
        double factor; // output = factor x input
        std::vector<float> meters;
    };
    // Input peaks at 0.4.
    const Case cases[] = {
        {"empty chain", {}, 1.0, {}},
        {"Trim Pot at 0.25 halves", {trim(0.25f)}, 0.5, {0.2f}},
        {"defaults are unity", {Insert(DspChain::kEffect), trim(0.5f)}, 1.0, {0.4f, 0.4f}},
        {"Mix 0.5 with Gain 0.05", {Insert(DspChain::kEffect, 0.05f, 0.5f)}, 0.55, {0.22f}},
        {"bypass passes with meter 0", {Bypassed(trim(0.25f))}, 1.0, {0.0f}},
        {"solo on the second of two gains", {trim(0.25f), Soloed(trim(0.1f))}, 0.2, {0.0f, 0.08f}},
        {"a bypassed solo is skipped", {trim(0.25f), Bypassed(Soloed(trim(0.1f)))}, 1.0, {0.0f, 0.0f}},
        {"gains multiply in order", {trim(0.25f), Insert(DspChain::kPeakMeter), trim(1.0f)}, 1.0, {0.2f, 0.2f, 0.4f}},
        {"sends pass", {Insert(5), Insert(6)}, 1.0, {0.4f, 0.4f}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        std::vector<double> left(256), right(256);
        Ramp(left, right, 0.4);
        const std::vector<double> inLeft = left, inRight = right;
        DspChainState state;
        float meters[DspRouteSnapshot::kMaxInserts] = {};
        DspChain::Run(Route(c.inserts), kRate, state, left.data(), right.data(), 256, meters);
        for (size_t i = 0; i < left.size(); ++i)
        {
            ASSERT_NEAR(left[i], c.factor * inLeft[i], 1e-7) << i;
            ASSERT_NEAR(right[i], c.factor * inRight[i], 1e-7) << i;
        }
        for (size_t n = 0; n < c.meters.size(); ++n)
            EXPECT_NEAR(meters[n], c.meters[n], 1e-6) << "insert " << n;
    }
}

TEST(DspChainTest, DefaultsGiveEverySampleBackBitForBit)
{
    const DspRouteSnapshot route = Route({Insert(DspChain::kEffect), Insert(DspChain::kTrimPot)});
    for (const bool int16 : {true, false})
    {
        SCOPED_TRACE(int16 ? "int16" : "int32");
        std::vector<int32_t> samples;
        if (int16)
            for (int32_t s = -32768; s <= 32767; ++s)
                samples.push_back(s);
        else
        {
            samples = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
            uint32_t x = 12345;
            for (int i = 0; i < 60000; ++i)
                samples.push_back(static_cast<int32_t>(x = x * 1664525u + 1013904223u));
        }
        if (samples.size() % 2)
            samples.push_back(7);
        const size_t frames = samples.size() / 2;
        std::vector<double> left(frames), right(frames);
        for (size_t i = 0; i < frames; ++i)
        {
            left[i] = DspChain::ToDouble(samples[2 * i], int16);
            right[i] = DspChain::ToDouble(samples[2 * i + 1], int16);
        }
        DspChainState state;
        float meters[DspRouteSnapshot::kMaxInserts];
        DspChain::Run(route, kRate, state, left.data(), right.data(), static_cast<int>(frames), meters);
        for (size_t i = 0; i < frames; ++i)
        {
            ASSERT_EQ(DspChain::FromDouble(left[i], int16), samples[2 * i]);
            ASSERT_EQ(DspChain::FromDouble(right[i], int16), samples[2 * i + 1]);
        }
    }
}

TEST(DspChainTest, SamplesBeyondFullScaleAreClamped)
{
    EXPECT_EQ(DspChain::FromDouble(1.5, true), 32767);
    EXPECT_EQ(DspChain::FromDouble(-1.5, true), -32768);
    EXPECT_EQ(DspChain::FromDouble(1.0, false), INT32_MAX);
    EXPECT_EQ(DspChain::FromDouble(-3.0, false), INT32_MIN);
    EXPECT_EQ(DspChain::FromDouble(0.25, true), 8192);
}

TEST(DspChainTest, TestSignalStaysContinuousOverUnevenBlocks)
{
    const DspRouteSnapshot route = Route({Signal(1000, 0.5f), Insert(DspChain::kPeakMeter)});
    const int total = 2000;
    std::vector<double> wholeLeft(total, 0.9), wholeRight(total, 0.9);
    DspChainState wholeState;
    float meters[DspRouteSnapshot::kMaxInserts];
    DspChain::Run(route, kRate, wholeState, wholeLeft.data(), wholeRight.data(), total, meters);
    // The signal replaces the input, starts at phase 0 and has the level and frequency set.
    EXPECT_EQ(wholeLeft[0], 0.0);
    EXPECT_NEAR(wholeLeft[12], 0.5, 1e-12); // a quarter period of 1 kHz at 48 kHz
    EXPECT_NEAR(wholeLeft[1234], 0.5 * std::sin(6.283185307179586 * 1000.0 * 1234 / kRate), 1e-9);
    EXPECT_NEAR(meters[1], 0.5, 1e-6);

    std::vector<double> left(total, 0.9), right(total, 0.9);
    DspChainState state;
    int done = 0;
    for (int length : {1, 63, 256, 7, 500, 173})
    {
        DspChain::Run(route, kRate, state, left.data() + done, right.data() + done, length, meters);
        done += length;
    }
    DspChain::Run(route, kRate, state, left.data() + done, right.data() + done, total - done, meters);
    // The same samples (within the rounding of the x87 registers the 32-bit build may keep
    // the phase in).
    for (int i = 0; i < total; ++i)
    {
        ASSERT_NEAR(left[i], wholeLeft[i], 1e-12) << i;
        ASSERT_NEAR(right[i], wholeRight[i], 1e-12) << i;
    }

    // Other inserts (a new serial) start the signal again.
    std::vector<double> again(4, 0.0), againRight(4, 0.0);
    DspChain::Run(Route({Signal(1000, 0.5f)}, 2), kRate, state, again.data(), againRight.data(), 4, meters);
    EXPECT_EQ(again[0], 0.0);
}

TEST(DspChainTest, EqualRunsGiveEqualBytes)
{
    const DspRouteSnapshot route =
        Route({Signal(440, 0.3f), Insert(DspChain::kEffect, 0.7f, 0.4f), Insert(DspChain::kTrimPot, 0.3f)});
    std::vector<double> runs[2][2];
    for (auto& run : runs)
    {
        run[0].assign(1000, 0.0);
        run[1].assign(1000, 0.0);
        DspChainState state;
        float meters[DspRouteSnapshot::kMaxInserts];
        for (int block = 0; block < 10; ++block)
            DspChain::Run(route, 44100.0, state, run[0].data() + 100 * block, run[1].data() + 100 * block, 100, meters);
    }
    EXPECT_EQ(std::memcmp(runs[0][0].data(), runs[1][0].data(), 1000 * sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(runs[0][1].data(), runs[1][1].data(), 1000 * sizeof(double)), 0);
    EXPECT_NE(runs[0][0][10], 0.0);
}

TEST(DspChainTest, RunningAndCopyingAllocateNothing)
{
    DspTable table;
    table.Format();
    table.Publish(3, Route({Signal(1000, 0.5f), Insert(DspChain::kEffect, 0.2f, 0.5f), Insert(DspChain::kPeakMeter)}));
    std::vector<double> left(512), right(512);
    DspRouteSnapshot route;
    DspChainState state;
    float meters[DspRouteSnapshot::kMaxInserts];
    const long before = gNewCalls.load();
    for (int block = 0; block < 1000; ++block)
    {
        ASSERT_TRUE(table.Copy(3, &route));
        DspChain::Run(route, kRate, state, left.data(), right.data(), 512, meters);
        table.ReportRun(3, route.serial, meters, static_cast<int>(route.insertCount));
    }
    EXPECT_EQ(gNewCalls.load(), before);
    // The counter does count: a vector allocates.
    std::vector<int> grown(8);
    EXPECT_GT(gNewCalls.load(), before);
}

TEST(DspTableTest, CopiesWhatWasPublishedAndMetersForTheSerialRun)
{
    DspTable table;
    table.Format();
    EXPECT_EQ(DspTable::Problem(&table, sizeof(table)), nullptr);
    DspRouteSnapshot copy;
    ASSERT_TRUE(table.Copy(5, &copy));
    EXPECT_EQ(copy.active, 0u);

    DspRouteSnapshot route = Route({Insert(DspChain::kTrimPot, 0.25f), Signal(220, 0.75f)}, 9);
    route.sendPair = 5;
    table.Publish(5, route);
    ASSERT_TRUE(table.Copy(5, &copy));
    EXPECT_EQ(copy.active, 1u);
    EXPECT_EQ(copy.sendPair, 5u);
    EXPECT_EQ(copy.serial, 9u);
    ASSERT_EQ(copy.insertCount, 2u);
    EXPECT_EQ(copy.inserts[0].gain, 0.25f);
    EXPECT_EQ(copy.inserts[1].frequency, 220);
    EXPECT_EQ(copy.inserts[1].level, 0.75f);

    float level = -1.0f;
    EXPECT_FALSE(table.PlayedLevel(5, 9, 0, &level));
    const float meters[] = {0.125f, 0.75f};
    table.ReportRun(5, 9, meters, 2);
    ASSERT_TRUE(table.PlayedLevel(5, 9, 1, &level));
    EXPECT_EQ(level, 0.75f);
    EXPECT_FALSE(table.PlayedLevel(5, 10, 1, &level));
    EXPECT_FALSE(table.PlayedLevel(4, 9, 1, &level));
    EXPECT_FALSE(table.Copy(DspTable::kRoutes, &copy));

    table.ClearRoutes();
    ASSERT_TRUE(table.Copy(5, &copy));
    EXPECT_EQ(copy.active, 0u);
    EXPECT_FALSE(table.PlayedLevel(5, 9, 1, &level));
}

TEST(DspTableTest, ABlockThatIsNotThisTableIsRefused)
{
    DspTable table;
    table.Format();
    EXPECT_STREQ(DspTable::Problem(&table, sizeof(table) - 4), "size");
    EXPECT_STREQ(DspTable::Problem(nullptr, 0), "size");
    table.size.store(sizeof(table) + 4);
    EXPECT_STREQ(DspTable::Problem(&table, sizeof(table) + 4), "size");
    table.size.store(sizeof(table));
    table.version.store(DspTable::kVersion + 1);
    EXPECT_STREQ(DspTable::Problem(&table, sizeof(table)), "version");
    table.magic.store(0);
    EXPECT_STREQ(DspTable::Problem(&table, sizeof(table)), "magic");
}

// The engine rewrites a route while the driver copies it: every copy the reader takes is
// one the writer published, never a mix of two.
TEST(DspTableTest, EveryCopyIsOneThatWasPublished)
{
    DspTable table;
    table.Format();
    const auto published = [](uint32_t k) {
        DspRouteSnapshot route;
        route.active = 1;
        route.sendPair = k % 64;
        route.serial = k;
        route.insertCount = 1 + k % DspRouteSnapshot::kMaxInserts;
        for (uint32_t i = 0; i < route.insertCount; ++i)
        {
            route.inserts[i].kind = k;
            route.inserts[i].bypass = k + i;
            route.inserts[i].gain = static_cast<float>(k % 1000) / 1000.0f;
            route.inserts[i].frequency = static_cast<int32_t>(k);
        }
        return route;
    };
    constexpr uint32_t kWrites = 200000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (uint32_t k = 1; k <= kWrites; ++k)
            table.Publish(7, published(k));
        done = true;
    });
    uint32_t copies = 0, lastSerial = 0, refused = 0;
    bool torn = false, backwards = false;
    while (!done.load() || copies == 0)
    {
        DspRouteSnapshot copy;
        if (!table.Copy(7, &copy))
        {
            ++refused;
            continue;
        }
        if (copy.active == 0)
            continue;
        ++copies;
        const DspRouteSnapshot expected = published(copy.serial);
        torn = torn || copy.sendPair != expected.sendPair || copy.insertCount != expected.insertCount;
        for (uint32_t i = 0; i < copy.insertCount && i < DspRouteSnapshot::kMaxInserts; ++i)
            torn = torn || copy.inserts[i].kind != expected.inserts[i].kind ||
                   copy.inserts[i].bypass != expected.inserts[i].bypass ||
                   copy.inserts[i].gain != expected.inserts[i].gain ||
                   copy.inserts[i].frequency != expected.inserts[i].frequency;
        backwards = backwards || copy.serial < lastSerial;
        lastSerial = copy.serial;
    }
    writer.join();
    EXPECT_FALSE(torn);
    EXPECT_FALSE(backwards);
    EXPECT_GT(copies, 0u);
    DspRouteSnapshot last;
    ASSERT_TRUE(table.Copy(7, &last));
    EXPECT_EQ(last.serial, kWrites);
    std::printf("race: %u copies, %u refused while written\n", copies, refused);
}

TEST(DspSharedTableTest, OneOwnerAtATimeAndANewOwnerTakesOverClearedRoutes)
{
    // Owner and reader see the same table (in other mappings of it on Windows).
    DspTableOwner first;
    std::string problem;
    DspTable* table = first.Claim(&problem);
    ASSERT_NE(table, nullptr) << problem;
    table->Publish(2, Route({Insert(DspChain::kTrimPot, 0.25f)}, 5));

    DspTableView view;
    ASSERT_NE(view.Open(&problem), nullptr) << problem;
    DspRouteSnapshot copy;
    ASSERT_TRUE(view.Table()->Copy(2, &copy));
    EXPECT_EQ(copy.active, 1u);
    EXPECT_EQ(copy.serial, 5u);
    DspTableOwner second;
    EXPECT_EQ(second.Claim(&problem), nullptr);
    EXPECT_EQ(problem, "living owner");

    first.Release();
    ASSERT_TRUE(view.Table()->Copy(2, &copy));
    EXPECT_EQ(copy.active, 0u) << "the owner clears its routes when it goes";
    view.Table()->Publish(2, Route({Insert(DspChain::kTrimPot, 0.25f)})); // as if an owner had ended
    problem.clear();
    ASSERT_NE(second.Claim(&problem), nullptr) << problem;
    ASSERT_TRUE(view.Table()->Copy(2, &copy));
    EXPECT_EQ(copy.active, 0u) << "taken over with its routes cleared";

    // A block of another version is neither claimed nor opened.
    second.Release();
    view.Table()->version.store(DspTable::kVersion + 1);
    EXPECT_EQ(second.Claim(&problem), nullptr);
    EXPECT_EQ(problem, "version");
    DspTableView other;
    EXPECT_EQ(other.Open(&problem), nullptr);
    EXPECT_EQ(problem, "version");
    view.Table()->version.store(DspTable::kVersion);
    EXPECT_NE(other.Open(&problem), nullptr);
}

} // namespace
