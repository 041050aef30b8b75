// The simulated card's DSP path with the engine and the driver in one process: a client's
// chain, set through the engine's automation, is what its return pair hears of its send pair.
#include "plugins/base/asio/AsioDriver.h"
#include "standins/asio/AsioStandin.h"
#include "standins/asio/StandinTestConfig.h"
#include "standins/dsp/DspSharedTable.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr int32_t kFrames = 64;
constexpr int32_t kPlayed = 1 << 28; // an eighth of full scale

// A host that plays a constant on its send pair (outputs 0, 1) and keeps the last block its
// return pair (inputs 0, 1) heard.
struct Host
{
    static Host* current;
    AsioBufferInfo buffers[4] = {{0, 0, {}}, {0, 1, {}}, {1, 0, {}}, {1, 1, {}}};
    int32_t played = kPlayed;
    int32_t heard[2] = {};
    bool even = true; // every sample of the block the same

    static void BufferSwitch(int32_t half, AsioBool)
    {
        Host& h = *current;
        for (int side = 0; side < 2; ++side)
        {
            const auto* in = static_cast<const int32_t*>(h.buffers[2 + side].buffers[half]);
            auto* out = static_cast<int32_t*>(h.buffers[side].buffers[half]);
            h.heard[side] = in[0];
            for (int32_t i = 0; i < kFrames; ++i)
            {
                h.even = h.even && in[i] == in[0];
                out[i] = h.played;
            }
        }
    }
    static int32_t Message(int32_t, int32_t, void*, double*) { return 0; }
};
Host* Host::current = nullptr;

class DspStandin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        for (const fs::path& folder : {program(), data(), sessions()})
            fs::create_directories(folder);
        std::ofstream(program() / "SimulatedCard.txt") << "inputs=8\noutputs=8\n";
        Host::current = &host_;
    }
    void TearDown() override
    {
        if (driver_)
        {
            driver_->stop();
            driver_->disposeBuffers();
            driver_->Release();
        }
        engine_.reset();
        Host::current = nullptr;
        CoUninitialize();
    }

    fs::path program() const { return scratch_.Path() / "program"; }
    fs::path data() const { return scratch_.Path() / "data"; }
    fs::path sessions() const { return scratch_.Path() / "sessions"; }

    // The mixer's engine with one client holding pair 0.
    void StartEngine()
    {
        engine_ = std::make_unique<StandinServices>();
        ASSERT_EQ(
            engine_->Init(program().u16string().c_str(), data().u16string().c_str(), sessions().u16string().c_str()),
            1);
        automation_ = engine_->GetAutomation();
        ASSERT_EQ(automation_->RegisterClient(&client_), 1);
        StandinAutomation::SendReturnRecord record{};
        int send = -1, ret = -1;
        ASSERT_EQ(automation_->AcquireSendReturn(client_, &record, &send, &ret), 1);
        ASSERT_EQ(ret, 0);
    }
    void StartDriver()
    {
        void* object = nullptr;
        ASSERT_EQ(CoCreateInstance(kStandinDriverId, nullptr, CLSCTX_INPROC_SERVER, kStandinDriverId, &object), S_OK);
        driver_ = static_cast<IAsioDriver*>(object);
        StandinControl<StandinAsioClearLogProc>("StandinAsioClearLog")();
        ASSERT_EQ(driver_->init(nullptr), 1);
        callbacks_ = AsioCallbacks{&Host::BufferSwitch, nullptr, &Host::Message, nullptr};
        ASSERT_EQ(driver_->createBuffers(host_.buffers, 4, kFrames, &callbacks_), kAsioOk);
        ASSERT_EQ(driver_->start(), kAsioOk);
    }
    int Special(int kind, int position)
    {
        StandinInsertInfo info{};
        return automation_->SetSpecialInsert(kind, client_, position, &info, 1);
    }
    // The gain the return pair heard in the next block.
    double Step()
    {
        EXPECT_EQ(StandinControl<StandinAsioStepProc>("StandinAsioStep")(), 1);
        EXPECT_EQ(host_.heard[0], host_.heard[1]);
        return static_cast<double>(host_.heard[0]) / host_.played;
    }

    StandinTestConfig config_{"[Driver]\nClock=manual\nLoopGain=1\nSampleType=18\nMinBuffer=64\n"};
    ScratchFolder scratch_{"kiv-dspstandin"};
    std::unique_ptr<StandinServices> engine_;
    IVarnAutomation* automation_ = nullptr;
    int client_ = 0;
    Host host_;
    AsioCallbacks callbacks_{};
    IAsioDriver* driver_ = nullptr;
};

TEST_F(DspStandin, AClientsTrimPotReturnsTheSendScaledAndAValueSetIsInTheVeryNextBlock)
{
    StartEngine();
    ASSERT_EQ(Special(0, 0), 1);
    ASSERT_EQ(automation_->SetParameterValue(client_, 0, 0, 2, DspBits(0.25f)), 1);
    StartDriver();
    Step(); // the first block carries what was played before the start: silence
    EXPECT_DOUBLE_EQ(Step(), 0.5);
    EXPECT_DOUBLE_EQ(Step(), 0.5);
    ASSERT_EQ(automation_->SetParameterValue(client_, 0, 0, 2, DspBits(0.125f)), 1);
    EXPECT_DOUBLE_EQ(Step(), 0.25) << "no block of latency";
    ASSERT_EQ(automation_->SetInsertBypass(client_, 0, 1), 1);
    EXPECT_DOUBLE_EQ(Step(), 1.0);
    ASSERT_EQ(automation_->SetInsertBypass(client_, 0, 0), 1);
    ASSERT_EQ(automation_->SetInsertChainFlag(client_, 0), 1);
    EXPECT_DOUBLE_EQ(Step(), 1.0) << "a detached chain is not run";
    ASSERT_EQ(automation_->SetInsertChainFlag(client_, 1), 1);
    EXPECT_DOUBLE_EQ(Step(), 0.25);
    EXPECT_TRUE(host_.even);
}

TEST_F(DspStandin, APeakMeterReadsThePlayedLevel)
{
    StartEngine();
    ASSERT_EQ(Special(0, 0), 1); // Trim Pot: 2 x 0.5 = unity
    ASSERT_EQ(Special(2, 1), 1); // Peak Meter after it
    ASSERT_EQ(automation_->SetParameterValue(client_, 0, 0, 2, DspBits(1.0f)), 1);
    host_.played = 1 << 29; // a quarter of full scale, doubled by the trim
    StartDriver();
    Step();
    EXPECT_DOUBLE_EQ(Step(), 2.0);
    StandinValue value{};
    ASSERT_EQ(automation_->GetParameterValue(client_, 1, 0, &value), 1);
    // Half of full scale reads about -6 dB.
    EXPECT_FLOAT_EQ(DspReal(static_cast<uint32_t>(value.value)), StandinMeterDb(0.5f));
    ASSERT_EQ(automation_->GetParameterValue(client_, 1, 0, &value), 1);
    EXPECT_FLOAT_EQ(DspReal(static_cast<uint32_t>(value.value)), StandinMeterDb(0.5f))
        << "the played level, not a sweep";
}

TEST_F(DspStandin, WithoutAnEngineTheCardLoopsPlainly)
{
    StartDriver();
    Step();
    EXPECT_DOUBLE_EQ(Step(), 1.0);
    EXPECT_EQ(StandinCallLog().find("dsp table"), std::string::npos);
}

TEST_F(DspStandin, ATableOfAnotherMagicIsRefusedAndTheCardLoopsPlainly)
{
    StartEngine();
    ASSERT_EQ(Special(0, 0), 1);
    ASSERT_EQ(automation_->SetParameterValue(client_, 0, 0, 2, DspBits(0.25f)), 1);
    DspTableView view;
    std::string problem;
    ASSERT_NE(view.Open(&problem), nullptr) << problem;
    view.Table()->magic.store(0);
    StartDriver();
    Step();
    EXPECT_DOUBLE_EQ(Step(), 1.0);
    EXPECT_NE(StandinCallLog().find("dsp table refused: magic\n"), std::string::npos) << StandinCallLog();
}

TEST_F(DspStandin, AfterTheEnginesReleaseTheLoopIsPlainAndANewEngineTakesOverTheTable)
{
    StartEngine();
    ASSERT_EQ(Special(0, 0), 1);
    ASSERT_EQ(automation_->SetParameterValue(client_, 0, 0, 2, DspBits(0.25f)), 1);
    StartDriver();
    Step();
    EXPECT_DOUBLE_EQ(Step(), 0.5);
    engine_.reset(); // the mixer quits; the host keeps playing
    EXPECT_DOUBLE_EQ(Step(), 1.0);

    StartEngine(); // the mixer starts again: the table the driver holds is taken over
    EXPECT_DOUBLE_EQ(Step(), 1.0) << "a new client's empty chain";
    ASSERT_EQ(Special(0, 0), 1);
    ASSERT_EQ(automation_->SetParameterValue(client_, 0, 0, 2, DspBits(0.375f)), 1);
    EXPECT_DOUBLE_EQ(Step(), 0.75);
    const std::vector<std::string> log = engine_->GetCallLog();
    for (const std::string& entry : log)
        EXPECT_EQ(entry.find("DspTable refused"), std::string::npos) << entry;
}

} // namespace
