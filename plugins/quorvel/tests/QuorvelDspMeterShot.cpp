// KivQuorvel's editor in tools/vsthost with the mixer program running and a Peak Meter in the
// instance's chain: the meter reads the level the card played through it (not a sweep), and
// the editor is kept as a screenshot (shots/quorvel-dsp-meter.png).
#include "plugins/quorvel/tests/SpecialChunk.h"
#include "plugins/quorvel/tests/WithTheMixer.h"
#include "standins/asio/StandinTestConfig.h"
#include "tests/support/ScreenPixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <future>
#include <sstream>
#include <string>

namespace
{

// The client that holds a pair now, from the engine's call log; 0 when none.
LONG ClientHoldingAPair()
{
    LONG holder = 0;
    std::istringstream log(EngineLog());
    for (std::string line; std::getline(log, line);)
    {
        std::istringstream words(line);
        std::string call, pair;
        LONG client = 0;
        if (!(words >> call >> client))
            continue;
        words >> pair;
        if (call == "AcquireSendReturn" && pair != "refused:")
            holder = client;
        else if ((call == "ReleaseSendReturn" || call == "UnregisterClient") && client == holder)
            holder = 0;
    }
    return holder;
}

TEST_F(QuorvelWithTheMixer, APeakMeterInTheChainShowsThePlayedLevel)
{
    const std::string hex = SpecialChunkHex(kInsertPeakMeter, u"Left", ParamValue::Real(-120.0f));
    ASSERT_FALSE(hex.empty());
    StandinTestConfig config("[Driver]\nLoopGain=1\n");
    // vsthost's sine has an amplitude of 0.5; the loop gives it back unscaled; the meter reads
    // its peak in dB.
    const float expected = 20.0f * std::log10(0.5f);
    std::future<HostRun> host = std::async(std::launch::async, [&hex] {
        return RunHost(KIV_VSTHOST, KIV_QUORVEL, "--editor --signal sine --seconds 15 --set-chunk " + hex);
    });
    IKivCorvanEffectServices* effects = nullptr;
    ASSERT_EQ(services_->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effects)), S_OK);
    float first = -1.0f, second = -2.0f;
    for (int i = 0; i < 60 && !(std::fabs(first - expected) < 0.2f && first == second); ++i)
    {
        Sleep(250);
        const LONG client = ClientHoldingAPair();
        KivParameterValue value{};
        if (client && effects->GetParameterValue(client, 0, 0, &value) == S_OK)
        {
            float read = 0.0f;
            std::memcpy(&read, &value.value, sizeof(read));
            first = second;
            second = read;
        }
    }
    effects->Release();
    EXPECT_NEAR(second, expected, 0.2f) << EngineLog();
    EXPECT_EQ(first, second) << "the played level holds still; a sweep moves";
    // The editor's meter polls the value: give it a moment to show it.
    Sleep(2000);
    const std::filesystem::path shots = std::filesystem::path(KIV_BUILD_DIR) / "shots";
    std::error_code error;
    std::filesystem::create_directories(shots, error);
    EXPECT_TRUE(SaveScreenPicture((shots / "quorvel-dsp-meter.png").wstring()));
    const HostRun run = host.get();
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    std::printf("peak meter read %.6f\n", second);
}

} // namespace
