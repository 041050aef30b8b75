// The engine writes each effects-plug-in client's chain to the card's DSP memory, where the
// simulated driver runs it between the client's send and return pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standins/dsp/DspSharedTable.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{
class DspRouteFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const fs::path& folder : {program(), data(), sessions()})
            fs::create_directories(folder);
        std::ofstream(program() / "SimulatedCard.txt") << "inputs=8\noutputs=8\n";
        engine_ = std::make_unique<StandinServices>();
        ASSERT_EQ(Init(*engine_), 1);
        automation_ = engine_->GetAutomation();
        std::string problem;
        ASSERT_NE(view_.Open(&problem), nullptr) << problem;
    }

    fs::path program() const { return scratch_.Path() / "program"; }
    fs::path data() const { return scratch_.Path() / "data"; }
    fs::path sessions() const { return scratch_.Path() / "sessions"; }
    int Init(StandinServices& engine)
    {
        return engine.Init(program().u16string().c_str(), data().u16string().c_str(), sessions().u16string().c_str());
    }

    // A registered client with a pair of its own.
    int Client(int* pair)
    {
        int client = 0;
        EXPECT_EQ(automation_->RegisterClient(&client), 1);
        StandinAutomation::SendReturnRecord record{};
        int send = -1;
        EXPECT_EQ(automation_->AcquireSendReturn(client, &record, &send, pair), 1);
        return client;
    }
    DspRouteSnapshot Route(int pair)
    {
        DspRouteSnapshot route;
        EXPECT_TRUE(view_.Table()->Copy(pair, &route));
        return route;
    }
    int Special(int client, int kind, int position)
    {
        StandinInsertInfo info{};
        return automation_->SetSpecialInsert(kind, client, position, &info, 1);
    }
    int Effect(int client, int position)
    {
        StandinEffects& effects = static_cast<StandinAutomation*>(automation_)->Effects();
        StandinInsertInfo info{};
        return automation_->SetInsertEffect(effects.EffectId(u"Compressor"), client, position, &info, 1);
    }
    std::vector<std::string> RouteLog()
    {
        std::vector<std::string> found;
        for (const std::string& entry : engine_->GetCallLog())
            if (entry.rfind("Dsp", 0) == 0)
                found.push_back(entry);
        return found;
    }

    ScratchFolder scratch_{"kiv-dsproute"};
    std::unique_ptr<StandinServices> engine_;
    IVarnAutomation* automation_ = nullptr;
    DspTableView view_;
};

TEST_F(DspRouteFixture, AcquireActivatesThePairAndEveryChangeOfTheChainRewritesIt)
{
    int pair = -1;
    const int client = Client(&pair);
    ASSERT_GE(pair, 0);
    DspRouteSnapshot route = Route(pair);
    EXPECT_EQ(route.active, 1u);
    EXPECT_EQ(route.sendPair, static_cast<uint32_t>(pair));
    EXPECT_EQ(route.insertCount, 0u);
    EXPECT_EQ(RouteLog().back(), "DspRoute " + std::to_string(pair) + " " + std::to_string(route.serial) + " 0");

    struct Change
    {
        const char* label;
        std::function<int()> apply;
        bool newSerial;
        std::function<void(const DspRouteSnapshot&)> check;
    };
    const Change changes[] = {
        {"a Trim Pot", [&] { return Special(client, 0, 0); }, true,
         [](const DspRouteSnapshot& r) {
             ASSERT_EQ(r.insertCount, 1u);
             EXPECT_EQ(r.inserts[0].kind, 2u);
             EXPECT_EQ(r.inserts[0].gain, 0.5f);
         }},
        {"its gain", [&] { return automation_->SetParameterValue(client, 0, 0, 2, DspBits(0.25f)); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.inserts[0].gain, 0.25f); }},
        {"a Test Signal before it", [&] { return Special(client, 1, 0); }, true,
         [](const DspRouteSnapshot& r) {
             ASSERT_EQ(r.insertCount, 2u);
             EXPECT_EQ(r.inserts[0].kind, 3u);
             EXPECT_EQ(r.inserts[0].frequency, 1000);
             EXPECT_EQ(r.inserts[0].level, 0.25f);
             EXPECT_EQ(r.inserts[1].gain, 0.25f);
         }},
        {"the signal's frequency", [&] { return automation_->SetParameterValue(client, 0, 0, 1, 440); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.inserts[0].frequency, 440); }},
        {"a move", [&] { return automation_->MoveInsert(client, 0, -1); }, true,
         [](const DspRouteSnapshot& r) {
             EXPECT_EQ(r.inserts[0].kind, 2u);
             EXPECT_EQ(r.inserts[1].kind, 3u);
         }},
        {"bypass", [&] { return automation_->SetInsertBypass(client, 1, 1); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.inserts[1].bypass, 1u); }},
        {"solo", [&] { return automation_->SetInsertSolo(client, 0, 1); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.inserts[0].solo, 1u); }},
        {"every bypass off", [&] { return automation_->SetAllInsertsBypass(client, 0); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.inserts[1].bypass, 0u); }},
        {"a DSP effect in place of the signal",
         [&] { return Effect(client, 2) == 1 ? automation_->RemoveInsert(client, 1) : 0; }, true,
         [](const DspRouteSnapshot& r) {
             ASSERT_EQ(r.insertCount, 2u);
             EXPECT_EQ(r.inserts[1].kind, 1u);
             EXPECT_EQ(r.inserts[1].gain, 0.5f);
             EXPECT_EQ(r.inserts[1].mix, 1.0f);
         }},
        {"its wet/dry", [&] { return automation_->SetParameterValue(client, 1, 4, 2, DspBits(0.5f)); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.inserts[1].mix, 0.5f); }},
        {"detached", [&] { return automation_->SetInsertChainFlag(client, 0); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.active, 0u); }},
        {"attached again", [&] { return automation_->SetInsertChainFlag(client, 1); }, false,
         [](const DspRouteSnapshot& r) {
             EXPECT_EQ(r.active, 1u);
             EXPECT_EQ(r.insertCount, 2u);
         }},
        {"a refused value changes nothing",
         [&] { return 1 - automation_->SetParameterValue(client, 0, 0, 2, DspBits(2.0f)); }, false,
         [](const DspRouteSnapshot& r) { EXPECT_EQ(r.inserts[0].gain, 0.25f); }},
    };
    for (const Change& change : changes)
    {
        SCOPED_TRACE(change.label);
        const uint32_t before = Route(pair).serial;
        ASSERT_EQ(change.apply(), 1);
        route = Route(pair);
        EXPECT_EQ(route.serial != before, change.newSerial);
        change.check(route);
    }
    const std::string last = RouteLog().back();
    EXPECT_EQ(last, "DspRoute " + std::to_string(pair) + " " + std::to_string(route.serial) + " 2");
}

TEST_F(DspRouteFixture, ReleaseUnregisterAndTheEnginesReleaseClearTheRoute)
{
    int first = -1, second = -1;
    const int released = Client(&first);
    const int unregistered = Client(&second);
    ASSERT_NE(first, second);
    ASSERT_EQ(Special(released, 0, 0), 1);
    ASSERT_EQ(Special(unregistered, 0, 0), 1);

    ASSERT_EQ(automation_->ReleaseSendReturn(released), 1);
    EXPECT_EQ(Route(first).active, 0u);
    EXPECT_EQ(Route(second).active, 1u);
    EXPECT_EQ(RouteLog().back(), "DspRoute " + std::to_string(first) + " 0 0");
    ASSERT_EQ(automation_->SetParameterValue(released, 0, 0, 2, DspBits(0.25f)), 1);
    EXPECT_EQ(Route(first).active, 0u) << "a client without a pair publishes nothing";

    ASSERT_EQ(automation_->UnregisterClient(unregistered), 1);
    EXPECT_EQ(Route(second).active, 0u);

    int again = -1;
    StandinAutomation::SendReturnRecord record{};
    int send = -1;
    ASSERT_EQ(automation_->AcquireSendReturn(released, &record, &send, &again), 1);
    DspRouteSnapshot route = Route(again);
    EXPECT_EQ(route.active, 1u);
    ASSERT_EQ(route.insertCount, 1u);
    EXPECT_EQ(route.inserts[0].gain, 0.25f) << "acquiring publishes the chain the client kept";

    engine_->Release();
    engine_.release();
    route = Route(again);
    EXPECT_EQ(route.active, 0u);
}

TEST_F(DspRouteFixture, AMeterAnswersThePlayedPeakForTheCurrentSerialAndSweepsOtherwise)
{
    int pair = -1;
    const int client = Client(&pair);
    ASSERT_EQ(Special(client, 2, 0), 1); // a Peak Meter
    ASSERT_EQ(Effect(client, 1), 1);     // a DSP effect, whose "Level" is its meter
    const DspRouteSnapshot route = Route(pair);
    const auto read = [&](int position, int parameter) {
        StandinValue value{};
        EXPECT_EQ(automation_->GetParameterValue(client, position, parameter, &value), 1);
        return DspReal(static_cast<uint32_t>(value.value));
    };
    const float played[] = {0.375f, 0.625f};
    view_.Table()->ReportRun(pair, route.serial, played, 2);
    // Meters read the played level in dB.
    EXPECT_EQ(read(0, 0), StandinMeterDb(0.375f));
    EXPECT_EQ(read(0, 1), StandinMeterDb(0.375f)) << "both channels of the Peak Meter";
    EXPECT_EQ(read(0, 0), StandinMeterDb(0.375f)) << "the played level holds still";
    EXPECT_EQ(read(1, 3), StandinMeterDb(0.625f));
    EXPECT_EQ(read(1, 10), StandinMeterDb(0.625f));

    // The driver ran an older chain: the meters sweep as without a driver.
    view_.Table()->ReportRun(pair, route.serial - 1, played, 2);
    const float first = read(0, 0);
    EXPECT_NE(read(0, 0), first);
    view_.Table()->ReportRun(pair, route.serial, played, 2);
    ASSERT_EQ(Special(client, 0, 0), 1); // a new serial
    EXPECT_NE(read(1, 0), StandinMeterDb(0.375f));
}

TEST_F(DspRouteFixture, ATableThatIsNotTheEnginesIsLeftAloneAndANewEngineTakesOverItsOwn)
{
    int pair = -1;
    Client(&pair);
    ASSERT_EQ(Route(pair).active, 1u);
    engine_->Release();
    engine_.release();

    // The driver still holds the table; its magic is another one now.
    view_.Table()->magic.store(0);
    auto engine = std::make_unique<StandinServices>();
    ASSERT_EQ(Init(*engine), 1);
    const std::vector<std::string> log = engine->GetCallLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "DspTable refused: magic"), log.end());
    int client = 0, send = -1, ret = -1;
    StandinAutomation::SendReturnRecord record{};
    ASSERT_EQ(engine->GetAutomation()->RegisterClient(&client), 1);
    ASSERT_EQ(engine->GetAutomation()->AcquireSendReturn(client, &record, &send, &ret), 1);
    for (const std::string& entry : engine->GetCallLog())
        EXPECT_EQ(entry.rfind("DspRoute", 0), std::string::npos) << entry;
    EXPECT_EQ(view_.Table()->magic.load(), 0u) << "nothing written";
    engine.reset();

    view_.Table()->magic.store(DspTable::kMagic);
    view_.Table()->Publish(3, DspRouteSnapshot{1, 3, 77, 0, {}}); // what an ended owner left
    engine = std::make_unique<StandinServices>();
    ASSERT_EQ(Init(*engine), 1);
    EXPECT_EQ(Route(3).active, 0u) << "taken over with its routes cleared";
    ASSERT_EQ(engine->GetAutomation()->RegisterClient(&client), 1);
    ASSERT_EQ(engine->GetAutomation()->AcquireSendReturn(client, &record, &send, &ret), 1);
    EXPECT_EQ(Route(ret).active, 1u);
}

} // namespace
