// The driver link on the simulated card, found through the registered device enumerator and
// loaded through COM in the test prefix.
#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/asio/AsioSystem.h"
#include "plugins/base/platform/PlatformBase.h"
#include "plugins/base/stream/AudioStream.h"
#include "standins/asio/StandinTestConfig.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{

// The system's own objects and string table; message boxes are recorded instead of shown.
class RecordingSystem final : public AsioSystem
{
public:
    std::vector<std::string> messages; // "text|caption"

    HRESULT CreateObject(const GUID& classId, void** object) override
    {
        return Default().CreateObject(classId, object);
    }
    std::string LoadText(int id) override { return Default().LoadText(id); }
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        messages.push_back(text + "|" + caption);
    }
};

struct Owner : AsioLinkOwner
{
    int resets = 0;
    void OnResetRequest() override { ++resets; }
};

class AsioLinkOnStandin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        CreatePlatform(0x10000);
        AsioLink::InitInstanceTable();
        ThePlatform()->InitLock(&listLock_);
        AsioSystem::Use(&system_);
    }
    void TearDown() override
    {
        AsioSystem::Use(nullptr);
        ThePlatform()->DeleteLock(&listLock_);
        AsioLink::FreeInstanceTable();
        DestroyPlatform();
        CoUninitialize();
    }

    static int32_t Step() { return StandinControl<StandinAsioStepProc>("StandinAsioStep")(); }
    static void Counters(int32_t* switches, int32_t* ready)
    {
        StandinControl<StandinAsioCountersProc>("StandinAsioCounters")(switches, ready);
    }

    RecordingSystem system_;
    Owner owner_;
    PlatformLock listLock_;
};

const char* const kRavloNotFound = "The KIV hardware device used by this plugin could not be found.|Ravlo";
const char* const kRavloChannels = "An error occurred while opening the specified ASIO channels.|Ravlo";
const char* const kRavloDevice = "An error occurred while opening the ASIO device.|Ravlo";

TEST_F(AsioLinkOnStandin, OpenStartStopCloseCycles)
{
    StandinTestConfig config("[Driver]\nClock=manual\nSampleType=16\nPreferredBuffer=128\nMinBuffer=64\n");
    AudioStream stream(128, &listLock_);
    ASSERT_TRUE(stream.Allocate(128));
    AsioLink link(&owner_);
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        ASSERT_TRUE(link.Open()) << "cycle " << cycle;
        EXPECT_STREQ(link.GetDriverName(), "KIV Corvan ASIO");
        EXPECT_EQ(link.GetOutputCount(), 8);
        EXPECT_EQ(link.GetPreferredBufferSize(), 128);
        StandinControl<StandinAsioClearLogProc>("StandinAsioClearLog")();
        ASSERT_TRUE(link.Start(&stream, 128, 2, 2)) << "cycle " << cycle;
        stream.ClearSwitchSeen();
        EXPECT_EQ(Step(), 1);
        EXPECT_EQ(Step(), 1);
        EXPECT_TRUE(stream.SwitchSeen());
        link.Stop();
        EXPECT_FALSE(link.IsRunning());
        EXPECT_EQ(Step(), 0) << "stopped";
        link.Close();
        EXPECT_FALSE(link.IsOpen());
        int32_t switches = 0, ready = 0;
        Counters(&switches, &ready);
        EXPECT_EQ(switches, 2);
        EXPECT_EQ(ready, 2) << "outputReady after every switch of a driver that answers 0";
    }
    EXPECT_TRUE(system_.messages.empty());
}

TEST_F(AsioLinkOnStandin, OutputReadyStopsAfterTheFirstRefusal)
{
    StandinTestConfig config("[Driver]\nClock=manual\nOutputReady=-1000\n");
    AsioLink link(&owner_);
    ASSERT_TRUE(link.Open());
    StandinControl<StandinAsioClearLogProc>("StandinAsioClearLog")();
    ASSERT_TRUE(link.Start(nullptr, 256, 0, 0));
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(Step(), 1);
    }
    int32_t switches = 0, ready = 0;
    Counters(&switches, &ready);
    EXPECT_EQ(switches, 4);
    EXPECT_EQ(ready, 1);
    link.Close();
}

TEST_F(AsioLinkOnStandin, InjectedFailuresGiveTheirErrorAndMessage)
{
    const struct
    {
        const char* name;
        const char* config;
        bool opens;
        int32_t error;
        const char* message;
    } cases[] = {
        {"no card", "[Enumerator]\nDevices=1\nDevice0=1d1a 7301 10001d1a\n", false, 1, kRavloNotFound},
        {"init", "[Driver]\nFailInit=1\n", false, 2, kRavloDevice},
        {"getChannels", "[Driver]\nFailGetChannels=1\n", false, 2, kRavloDevice},
        {"no outputs", "[Driver]\nOutputs=0\n", false, 2, kRavloDevice},
        {"start", "[Driver]\nFailStart=1\nClock=manual\n", true, 2, kRavloDevice},
        {"createBuffers", "[Driver]\nFailCreateBuffers=1\n", true, 3, kRavloChannels},
    };
    for (const auto& c : cases)
    {
        system_.messages.clear();
        StandinTestConfig config(c.config);
        AsioLink link(&owner_);
        EXPECT_EQ(link.Open(), c.opens) << c.name;
        if (c.opens)
        {
            EXPECT_FALSE(link.Start(nullptr, 256, 0, 0)) << c.name;
        }
        EXPECT_EQ(link.GetErrorState(), c.error) << c.name;
        link.ShowErrorMessage();
        EXPECT_EQ(system_.messages, std::vector<std::string>{c.message}) << c.name;
    }
}

TEST_F(AsioLinkOnStandin, TwoLinksSeeEachOthersChannels)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    AsioLink first(&owner_);
    AsioLink second(&owner_);
    ASSERT_TRUE(first.Open());
    ASSERT_TRUE(second.Open());
    EXPECT_NE(first.GetSlot(), second.GetSlot());
    ASSERT_TRUE(first.Start(nullptr, 256, 0, 2));

    EXPECT_FALSE(second.Start(nullptr, 256, 0, 2)) << "outputs 2 and 3 are the first link's";
    EXPECT_EQ(second.GetErrorState(), 2);
    second.ReadChannelInfo();
    const AsioChannelInfo* held = second.GetOutputPair(1);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held[0].isActive, 1);
    EXPECT_EQ(held[1].isActive, 1);
    EXPECT_EQ(second.GetOutputPair(0)->isActive, 0);

    ASSERT_TRUE(second.Start(nullptr, 256, 4, 4)) << "a pair of its own";
    EXPECT_EQ(Step(), 2);
    first.Close();
    second.ReadChannelInfo();
    EXPECT_EQ(second.GetOutputPair(1)->isActive, 0) << "released by the first link";
    second.Close();
}

TEST_F(AsioLinkOnStandin, ResetRequestsReachTheOwner)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    AsioLink link(&owner_);
    ASSERT_TRUE(link.Open());
    ASSERT_TRUE(link.CreateBuffers(256));
    EXPECT_EQ(StandinControl<StandinAsioRequestResetProc>("StandinAsioRequestReset")(), 1);
    EXPECT_EQ(owner_.resets, 1);
    link.Close();
    EXPECT_EQ(StandinControl<StandinAsioRequestResetProc>("StandinAsioRequestReset")(), 0);
    EXPECT_EQ(owner_.resets, 1);
}

TEST_F(AsioLinkOnStandin, RunsOnTheDriversOwnClock)
{
    StandinTestConfig config("[Driver]\nPreferredBuffer=64\n");
    AudioStream stream(64, &listLock_);
    ASSERT_TRUE(stream.Allocate(64));
    AsioLink link(&owner_);
    ASSERT_TRUE(link.Open());
    ASSERT_TRUE(link.Start(&stream, 64, 0, 0));
    for (int i = 0; i < 500 && !stream.SwitchSeen(); ++i)
    {
        Sleep(5);
    }
    EXPECT_TRUE(stream.SwitchSeen());
    link.Close();
}

} // namespace
