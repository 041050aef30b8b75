#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{
class EventLog : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        std::lock_guard<std::mutex> hold(lock_);
        events_.emplace_back(id, argument);
        return 1;
    }
    std::vector<std::pair<int, VarnEventArg>> Take()
    {
        std::lock_guard<std::mutex> hold(lock_);
        return std::exchange(events_, {});
    }

private:
    std::mutex lock_;
    std::vector<std::pair<int, VarnEventArg>> events_;
};

// An engine started on a card of the test's own, with the first system's main mix at hand.
class MainMixFixture : public testing::Test
{
protected:
    void Start(const std::string& card)
    {
        fs::create_directories(root_ / "data");
        std::ofstream(root_ / "SimulatedCard.txt") << card;
        ASSERT_EQ(engine_.Init(root_.u16string().c_str(), (root_ / "data").u16string().c_str(),
                               (root_ / "data").u16string().c_str()),
                  1);
        engine_.AddListener(&heard_);
        mix_ = static_cast<StandinMainMix*>(engine_.GetMixer()->GetHardware()->GetMainMix());
        ASSERT_NE(mix_, nullptr);
    }
    void TearDown() override { engine_.RemoveListener(&heard_); }

    std::vector<std::pair<int, VarnEventArg>> Events()
    {
        engine_.WaitForEvents();
        return heard_.Take();
    }
    bool Logged(const std::string& entry)
    {
        auto log = engine_.GetCallLog();
        return std::find(log.begin(), log.end(), entry) != log.end();
    }

    ScratchFolder scratch_{"kiv-mainmix"};
    const fs::path& root_ = scratch_.Path();
    StandinServices engine_;
    EventLog heard_;
    StandinMainMix* mix_ = nullptr;
};

// One settable value of the main mix or its first aux bus, seen through the interface.
struct Value
{
    const char* name;
    std::function<float(IVarnMainMix&)> get;
    std::function<float(IVarnMainMix&)> getDefault;
    std::function<int(IVarnMainMix&, float)> set;
    std::function<int(IVarnMainMix&, float*, float*)> range;
    int event;
    VarnEventArg argument;
};

const Value kValues[] = {
    {"main", [](IVarnMainMix& m) { return m.GetMainLevel(); }, [](IVarnMainMix& m) { return m.GetMainDefault(); },
     [](IVarnMainMix& m, float v) { return m.SetMainLevel(v, 0); },
     [](IVarnMainMix& m, float* a, float* b) { return m.GetMainRange(a, b); }, 300, 0},
    {"monitor", [](IVarnMainMix& m) { return m.GetMonitorLevel(); },
     [](IVarnMainMix& m) { return m.GetMonitorDefault(); },
     [](IVarnMainMix& m, float v) { return m.SetMonitorLevel(v, 0); },
     [](IVarnMainMix& m, float* a, float* b) { return m.GetMonitorRange(a, b); }, 301, 0},
    {"balance", [](IVarnMainMix& m) { return m.GetBalance(); }, [](IVarnMainMix& m) { return m.GetBalanceDefault(); },
     [](IVarnMainMix& m, float v) { return m.SetBalance(v, 0); },
     [](IVarnMainMix& m, float* a, float* b) { return m.GetBalanceRange(a, b); }, 302, 0},
    {"send of aux 1", [](IVarnMainMix& m) { return m.GetAux(1)->GetSendLevel(); },
     [](IVarnMainMix& m) { return m.GetAux(1)->GetSendDefault(); },
     [](IVarnMainMix& m, float v) { return m.GetAux(1)->SetSendLevel(v, 0); },
     [](IVarnMainMix& m, float* a, float* b) { return m.GetAux(1)->GetSendRange(a, b); }, 304, 1},
    {"return of aux 1", [](IVarnMainMix& m) { return m.GetAux(1)->GetReturnLevel(); },
     [](IVarnMainMix& m) { return m.GetAux(1)->GetReturnDefault(); },
     [](IVarnMainMix& m, float v) { return m.GetAux(1)->SetReturnLevel(v, 0); },
     [](IVarnMainMix& m, float* a, float* b) { return m.GetAux(1)->GetReturnRange(a, b); }, 305, 1},
};

TEST_F(MainMixFixture, ValuesOutsideTheirRangeAreRefusedAndTheOldValueKept)
{
    Start("auxbuses=2\n");
    for (const Value& v : kValues)
    {
        SCOPED_TRACE(v.name);
        float minimum = 0, maximum = 0;
        ASSERT_EQ(v.range(*mix_, &minimum, &maximum), 1);
        ASSERT_LT(minimum, maximum);
        EXPECT_EQ(v.range(*mix_, nullptr, &maximum), 0);
        // A fresh value is its default.
        EXPECT_EQ(v.get(*mix_), v.getDefault(*mix_));
        const float inside = (minimum + maximum) / 3;
        EXPECT_EQ(v.set(*mix_, inside), 1);
        for (float outside : {maximum + 0.5f, minimum - 0.5f, std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity()})
        {
            EXPECT_EQ(v.set(*mix_, outside), 0) << outside;
            EXPECT_EQ(v.get(*mix_), inside) << outside;
        }
        // Both ends are inside.
        EXPECT_EQ(v.set(*mix_, maximum), 1);
        EXPECT_EQ(v.get(*mix_), maximum);
        EXPECT_EQ(v.set(*mix_, minimum), 1);
        EXPECT_EQ(v.get(*mix_), minimum);
    }

    EXPECT_EQ(mix_->GetMonitorMute(), 0);
    EXPECT_EQ(mix_->SetMonitorMute(1, 0), 1);
    for (int bad : {2, -1})
    {
        EXPECT_EQ(mix_->SetMonitorMute(bad, 0), 0);
        EXPECT_EQ(mix_->GetMonitorMute(), 1);
    }
}

TEST_F(MainMixFixture, EveryChangeRaisesItsEventTheProgramsOwnEditsIncluded)
{
    Start("auxbuses=2\n");
    for (const Value& v : kValues)
    {
        SCOPED_TRACE(v.name);
        float minimum = 0, maximum = 0;
        v.range(*mix_, &minimum, &maximum);
        Events();
        const float before = v.get(*mix_);
        const float changed = before == maximum ? minimum : maximum;
        ASSERT_EQ(v.set(*mix_, changed), 1);
        EXPECT_EQ(Events(), (std::vector<std::pair<int, VarnEventArg>>{{v.event, v.argument}}));
        // The same value again, or one refused, changes nothing and raises nothing.
        v.set(*mix_, changed);
        v.set(*mix_, maximum + 1);
        EXPECT_TRUE(Events().empty());
    }
    mix_->SetMonitorMute(1, 0);
    mix_->SetMonitorMute(1, 0);
    mix_->SetMonitorMute(5, 0);
    EXPECT_EQ(Events(), (std::vector<std::pair<int, VarnEventArg>>{{303, 0}}));
    // Aux 0's own events carry its index.
    mix_->GetAux(0)->SetSendLevel(-3, 0);
    mix_->GetAux(0)->SetReturnLevel(-3, 0);
    EXPECT_EQ(Events(), (std::vector<std::pair<int, VarnEventArg>>{{304, 0}, {305, 0}}));
}

TEST_F(MainMixFixture, EveryCallIsLogged)
{
    Start("auxbuses=2\n");
    mix_->SetMainLevel(-10, 0);
    mix_->SetMainLevel(100, 0);
    mix_->GetAux(1)->SetSendLevel(-20.5f, 0);
    mix_->GetAux(0)->GetReturnRange(nullptr, nullptr);
    mix_->SetMonitorMute(1, 0);
    mix_->GetMeterLevel(1);
    mix_->GetAux(7);
    mix_->IsDspPresent();
    for (const char* entry : {"SetMainLevel -10 0", "SetMainLevel 100 0 refused", "GetAux 1", "SetSendLevel 1 -20.5 0",
                              "GetReturnRange 0", "SetMonitorMute 1 0", "GetMeterLevel 1", "GetAux 7", "IsDspPresent"})
        EXPECT_TRUE(Logged(entry)) << entry;
}

TEST_F(MainMixFixture, AuxBusesComeFromTheCardAndCarryTheirChains)
{
    Start("auxbuses=3\nrecord=0 aux 2\nrecord=1 aux 3\n");
    ASSERT_EQ(mix_->GetAuxCount(), 3);
    EXPECT_EQ(mix_->GetAux(3), nullptr);
    EXPECT_EQ(mix_->GetAux(-1), nullptr);
    for (int i = 0; i < 3; ++i)
    {
        IVarnAux* aux = mix_->GetAux(i);
        ASSERT_NE(aux, nullptr);
        EXPECT_EQ(aux->GetIndex(), i);
        IVarnInsertChain* chain = aux->GetInsertChain();
        ASSERT_NE(chain, nullptr);
        EXPECT_EQ(chain->GetBusType(), 1);
        EXPECT_EQ(chain->GetAux(), aux);
    }
    EXPECT_EQ(mix_->GetInsertChain()->GetBusType(), 2);
    // A card's link to its third aux bus reaches the main mix's; one past the last is none.
    IVarnItemList* items = engine_.GetMixer()->GetHardware()->GetItemList();
    EXPECT_EQ(items->GetPort(1, 0)->GetSource(), mix_->GetAux(2)->GetInsertChain());
    EXPECT_EQ(items->GetPort(1, 1)->GetSource(), nullptr);

    // Insert counts a test sets.
    EXPECT_TRUE(mix_->SetInsertCount(-1, 3));
    EXPECT_TRUE(mix_->SetInsertCount(2, 5));
    EXPECT_FALSE(mix_->SetInsertCount(3, 1));
    EXPECT_FALSE(mix_->SetInsertCount(0, -1));
    EXPECT_EQ(mix_->GetInsertChain()->GetCount(), 3);
    EXPECT_EQ(mix_->GetAux(2)->GetInsertChain()->GetCount(), 5);
    EXPECT_EQ(mix_->GetAux(0)->GetInsertChain()->GetCount(), 0);
}

TEST_F(MainMixFixture, EverySystemHasAMainMixOfItsOwn)
{
    Start("systems=2\nauxbuses=0\n");
    IVarnMainMix* second = engine_.GetMixer()->GetSystem(1)->GetMainMix();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, mix_);
    EXPECT_EQ(mix_->GetAuxCount(), 0);
    EXPECT_EQ(mix_->GetAux(0), nullptr);
    mix_->SetMainLevel(-12, 0);
    EXPECT_EQ(second->GetMainLevel(), 0.0f);
}

TEST_F(MainMixFixture, MetersMoveOnTheEngineClockAndClipAboveTheThreshold)
{
    Start("");
    std::int64_t now = 0;
    mix_->SetClock([&now] { return now; });
    float minimum = 0, maximum = 0;
    ASSERT_EQ(mix_->GetMeterRange(&minimum, &maximum), 1);
    ASSERT_LT(minimum, maximum);
    for (int channel : {0, 1})
    {
        SCOPED_TRACE(channel);
        const int period = StandinMainMix::kMeterPeriods[channel];
        const float threshold = mix_->GetClipThreshold(channel);
        EXPECT_GT(threshold, minimum);
        EXPECT_LE(threshold, maximum);
        // Polls at the same time read the same level; the clock moves the meter.
        now = 0;
        EXPECT_EQ(mix_->GetMeterLevel(channel), minimum);
        EXPECT_EQ(mix_->GetMeterLevel(channel), minimum);
        now = period / 4;
        const float quarter = mix_->GetMeterLevel(channel);
        EXPECT_GT(quarter, minimum);
        now = period / 2;
        const float top = mix_->GetMeterLevel(channel);
        EXPECT_GT(top, quarter);
        EXPECT_LT(top, threshold); // by default nothing clips
        now = period + period / 4;
        EXPECT_EQ(mix_->GetMeterLevel(channel), quarter);

        mix_->SetMeterPeak(channel, maximum);
        now = period / 2;
        EXPECT_EQ(mix_->GetMeterLevel(channel), maximum);
        EXPECT_GT(mix_->GetMeterLevel(channel), threshold);
        now = 0;
        EXPECT_LT(mix_->GetMeterLevel(channel), threshold);
    }
    // The channels sweep at their own pace.
    now = StandinMainMix::kMeterPeriods[0] / 2;
    EXPECT_NE(mix_->GetMeterLevel(0), mix_->GetMeterLevel(1));
    EXPECT_EQ(mix_->GetMeterLevel(2), minimum);
    EXPECT_EQ(mix_->GetMeterLevel(-1), minimum);

    // Without a test clock the engine's own clock moves the meter.
    mix_->SetClock({});
    const float first = mix_->GetMeterLevel(0);
    bool moved = false;
    for (int i = 0; i < 200 && !moved; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        moved = mix_->GetMeterLevel(0) != first;
    }
    EXPECT_TRUE(moved);
}

TEST_F(MainMixFixture, DspPresentFlagATestCanClear)
{
    Start("");
    EXPECT_EQ(mix_->IsDspPresent(), 1);
    mix_->SetDspPresent(false);
    EXPECT_EQ(mix_->IsDspPresent(), 0);
    EXPECT_EQ(mix_->RetryDsp(), 0);
    EXPECT_TRUE(Logged("RetryDsp"));
    mix_->SetDspPresent(true);
    EXPECT_EQ(mix_->RetryDsp(), 1);
}

TEST_F(MainMixFixture, SessionsKeepTheMainMix)
{
    Start("systems=2\nauxbuses=2\n");
    const fs::path file = root_ / "Mix.session";
    auto* second = engine_.GetMixer()->GetSystem(1)->GetMainMix();
    mix_->SetMainLevel(-7.25f, 0);
    mix_->SetMonitorLevel(-3.1f, 0);
    mix_->SetBalance(-0.4f, 0);
    mix_->SetMonitorMute(1, 0);
    mix_->GetAux(1)->SetSendLevel(-12.5f, 0);
    mix_->GetAux(0)->SetReturnLevel(2.0f, 0);
    second->SetMainLevel(-60, 0);
    ASSERT_EQ(engine_.SaveSession(file.u16string().c_str(), 0, 0), 1);
    ASSERT_EQ(engine_.CreateEmptySession(nullptr, (root_ / "Other.session").u16string().c_str(), 0), 1);
    auto* fresh = engine_.GetMixer()->GetHardware()->GetMainMix();
    EXPECT_EQ(fresh->GetMainLevel(), 0.0f);

    ASSERT_EQ(engine_.LoadSession(file.u16string().c_str(), 0), 1);
    IVarnMainMix* loaded = engine_.GetMixer()->GetHardware()->GetMainMix();
    EXPECT_EQ(loaded->GetMainLevel(), -7.25f);
    EXPECT_EQ(loaded->GetMonitorLevel(), -3.1f);
    EXPECT_EQ(loaded->GetBalance(), -0.4f);
    EXPECT_EQ(loaded->GetMonitorMute(), 1);
    EXPECT_EQ(loaded->GetAux(1)->GetSendLevel(), -12.5f);
    EXPECT_EQ(loaded->GetAux(0)->GetReturnLevel(), 2.0f);
    EXPECT_EQ(loaded->GetAux(0)->GetSendLevel(), loaded->GetAux(0)->GetSendDefault());
    EXPECT_EQ(engine_.GetMixer()->GetSystem(1)->GetMainMix()->GetMainLevel(), -60.0f);
}

TEST_F(MainMixFixture, SessionLinesOfTheMainMixReadAsWritten)
{
    Start("auxbuses=2\n");
    const fs::path file = root_ / "Hand.session";
    struct Case
    {
        const char* line;
        bool readable;
    } cases[] = {
        {"mix 0 main=-3", true},       {"level 0 -4.5", true},      // the monitor level of older sessions
        {"mix 0 send 1=-9", true},     {"mix 0 return 5=-9", true}, // a bus this card lacks is left out
        {"mix 3 main=-3", true},                                    // so is a system
        {"mix 0 mute=1", true},        {"mix 0 main=7", false},     // above the range
        {"mix 0 balance=-1.5", false}, {"mix 0 mute=2", false},     {"mix 0 main=nan", false},
        {"mix 0 main=-3dB", false},    {"mix 0 send=-3", false},    {"mix 0 gain=-3", false},
        {"mix 0 main", false},         {"level 0", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        mix_->SetMainLevel(-1, 0);
        std::ofstream(file) << "KivCorvanSession 2\nsystems=1\n" << c.line << "\n";
        EXPECT_EQ(engine_.LoadSession(file.u16string().c_str(), 0), c.readable ? 1 : 0);
        auto* now = static_cast<StandinMainMix*>(engine_.GetMixer()->GetHardware()->GetMainMix());
        if (!c.readable)
        {
            EXPECT_EQ(now->GetMainLevel(), -1.0f); // the model stays as it was
        }
        mix_ = now;
    }
    std::ofstream(file) << "KivCorvanSession 2\nlevel 0 -4.5\nmix 0 send 1=-9\nmix 0 mute=1\n";
    ASSERT_EQ(engine_.LoadSession(file.u16string().c_str(), 0), 1);
    mix_ = static_cast<StandinMainMix*>(engine_.GetMixer()->GetHardware()->GetMainMix());
    EXPECT_EQ(mix_->GetMonitorLevel(), -4.5f);
    EXPECT_EQ(mix_->GetAux(1)->GetSendLevel(), -9.0f);
    EXPECT_EQ(mix_->GetMonitorMute(), 1);
}
} // namespace
