#include "mixer/views/PeakValueWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "framework/platform/tests/TestClock.h"
#include "framework/controls/ValueSetters.h"
#include "standins/engine/EngineModel.h"

namespace
{
// An effect whose meter parameter 5 runs from -60 to 0; reads are logged.
struct MeterRig
{
    MeterRig()
    {
        effect.log = [this](std::string line) { log.push_back(std::move(line)); };
    }
    int Reads() const
    {
        return static_cast<int>(std::count(log.begin(), log.end(), std::string("effect GetRealValue 5 0")));
    }
    std::unique_ptr<PeakValueWatcher> Watch(IVarnEffect* on)
    {
        auto watcher = std::make_unique<PeakValueWatcher>(on, 5);
        watcher->minimum = -60.0f;
        watcher->maximum = 0.0f;
        watcher->value = -60.0f;
        EXPECT_EQ(watcher->StartPolling(0), 1);
        return watcher;
    }
    TestClock clock;
    StandinEffect effect{u"Comp", VarnEffectId{{3, 0, 0, 0}}, 1, StandinEffect::CoreParameters()};
    std::vector<std::string> log;
};

TEST(PeakValueWatcher, TwoWatchersOfOneParameterMakeOneReadPerTick)
{
    MeterRig rig;
    auto first = rig.Watch(&rig.effect);
    auto second = rig.Watch(&rig.effect);
    rig.effect.parameters[5].value = -12.0f;
    rig.log.clear();
    rig.clock.Advance(25);
    EXPECT_EQ(rig.Reads(), 1);
    EXPECT_FLOAT_EQ(first->value, -12.0f);
    EXPECT_FLOAT_EQ(second->value, -12.0f);
    // Ticks keep coming while the watchers live.
    rig.effect.parameters[5].value = -6.0f;
    rig.clock.Advance(25);
    EXPECT_EQ(rig.Reads(), 2);
    EXPECT_FLOAT_EQ(second->value, -6.0f);
}

TEST(PeakValueWatcher, AMeterFallsToItsMinimumAndAnEffectWithoutParametersShowsIt)
{
    MeterRig rig;
    auto watcher = rig.Watch(&rig.effect);
    struct Case
    {
        const char* trace;
        float level;
        float shown;
    } cases[] = {
        {"inside", -20.0f, -20.0f},
        {"below the range", -90.0f, -60.0f},
        {"above the range", 6.0f, 0.0f},
        {"not a number", std::numeric_limits<float>::quiet_NaN(), -60.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        watcher->value = -30.0f;
        rig.effect.parameters[5].value = c.level;
        rig.clock.Advance(25);
        EXPECT_FLOAT_EQ(watcher->value, c.shown);
    }
    watcher->value = -30.0f;
    rig.effect.parameters.clear();
    rig.clock.Advance(25);
    EXPECT_FLOAT_EQ(watcher->value, -60.0f);
}

TEST(PeakValueWatcher, TheLastWatcherDeletesTheListAndTheNextMakesANewOne)
{
    MeterRig rig;
    StandinEffect other{u"Gate", VarnEffectId{{4, 0, 0, 0}}, 2, StandinEffect::CoreParameters()};
    auto a = rig.Watch(&rig.effect);
    auto b = rig.Watch(&other);
    auto c = rig.Watch(&rig.effect);
    PeakValueWatchers* list = PeakValueWatchers::Get();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->PositionOf(c.get()), 2);
    EXPECT_EQ(list->FirstOf(&rig.effect, 5), 0);
    EXPECT_EQ(list->FirstOf(&other, 5), 1);
    EXPECT_EQ(list->FirstOf(&other, 4), -1);
    a.reset();
    EXPECT_EQ(PeakValueWatchers::Get()->FirstOf(&rig.effect, 5), 1); // c reads now
    b.reset();
    c.reset();
    EXPECT_EQ(PeakValueWatchers::Get(), nullptr);
    auto d = rig.Watch(&rig.effect);
    ASSERT_NE(PeakValueWatchers::Get(), nullptr);
    EXPECT_EQ(PeakValueWatchers::Get()->PositionOf(d.get()), 0);
}
} // namespace

// A metered insert watches parameters 0 and 1; an effect of one parameter has no parameter 1
// to read: its right meter shows the minimum and asks the engine nothing.
TEST(PeakValueWatcher, AParameterPastTheCountShowsTheMinimumAndReadsNothing)
{
    MeterRig rig;
    rig.effect.parameters.resize(6);
    rig.effect.parameters[5].value = -12.0f;
    auto inside = rig.Watch(&rig.effect);
    rig.effect.parameters.resize(5);
    inside->value = -30.0f;
    rig.log.clear();
    rig.clock.Advance(25);
    EXPECT_EQ(rig.Reads(), 0);
    EXPECT_FLOAT_EQ(inside->value, -60.0f);
}
