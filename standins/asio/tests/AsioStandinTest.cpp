// The simulated card driver and the device enumerator, loaded through COM from their
// registration in the test prefix and driven the way a client drives them.
#include "plugins/base/asio/AsioDriver.h"
#include "plugins/base/asio/DeviceEnumerator.h"
#include "standins/asio/AsioStandin.h"
#include "standins/asio/StandinTestConfig.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

template <typename Interface>
Interface* Create(const GUID& id)
{
    void* object = nullptr;
    const HRESULT result = CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, id, &object);
    EXPECT_EQ(result, S_OK);
    return static_cast<Interface*>(object);
}

class AsioStandin : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

// The client side of one buffer switch, recorded for the test.
struct Client
{
    static Client* current;
    std::vector<AsioBufferInfo> buffers;
    int32_t frames = 0;
    std::vector<int> halves;
    int32_t nextValue = 1; // output sample written next
    std::vector<int32_t> captured;

    static void BufferSwitch(int32_t half, AsioBool)
    {
        Client& c = *current;
        c.halves.push_back(half);
        auto* in = static_cast<int16_t*>(c.buffers[1].buffers[half]);
        auto* out = static_cast<int16_t*>(c.buffers[0].buffers[half]);
        for (int32_t i = 0; i < c.frames; ++i)
        {
            c.captured.push_back(in[i]);
            out[i] = static_cast<int16_t>(100 * c.nextValue++);
        }
    }
    static int32_t Message(int32_t selector, int32_t value, void*, double*)
    {
        return selector == kAsioSelectorSupported && value == kAsioResetRequest ? 1 : 0;
    }
};
Client* Client::current = nullptr;

TEST_F(AsioStandin, SteppingByFramesRunsASwitchPerBufferOfTime)
{
    StandinTestConfig config("[Driver]\nSampleType=16\nClock=manual\nMinBuffer=4\nPreferredBuffer=8\n");
    IAsioDriver* driver = Create<IAsioDriver>(kStandinDriverId);
    ASSERT_NE(driver, nullptr);
    auto stepFrames = StandinControl<StandinAsioStepFramesProc>("StandinAsioStepFrames");
    ASSERT_NE(stepFrames, nullptr);
    ASSERT_EQ(driver->init(nullptr), 1);
    Client client;
    Client::current = &client;
    client.frames = 8;
    client.buffers = {{0, 2, {}}, {1, 2, {}}};
    AsioCallbacks callbacks{&Client::BufferSwitch, nullptr, &Client::Message, nullptr};
    ASSERT_EQ(driver->createBuffers(client.buffers.data(), 2, 8, &callbacks), kAsioOk);
    EXPECT_EQ(stepFrames(8), 0) << "not started";
    ASSERT_EQ(driver->start(), kAsioOk);
    // Time passes in host blocks of 3, 5 and 20 frames: a switch for every 8 that passed.
    const struct
    {
        int32_t frames;
        int32_t switches;
    } steps[] = {{3, 0}, {3, 0}, {3, 1}, {5, 0}, {20, 3}, {7, 1}};
    for (const auto& step : steps)
    {
        EXPECT_EQ(stepFrames(step.frames), step.switches) << step.frames;
    }
    EXPECT_EQ(client.halves.size(), 5u);
    EXPECT_EQ(driver->stop(), kAsioOk);
    EXPECT_EQ(driver->disposeBuffers(), kAsioOk);
    driver->Release();
    Client::current = nullptr;
}

TEST_F(AsioStandin, LoopsOutputsBackWithGainAndDelayWhenStepped)
{
    StandinTestConfig config("[Driver]\nSampleType=16\nClock=manual\nLoopDelay=3\nLoopGain=0.5\n"
                             "MinBuffer=4\nPreferredBuffer=8\n");
    IAsioDriver* driver = Create<IAsioDriver>(kStandinDriverId);
    ASSERT_NE(driver, nullptr);
    auto clear = StandinControl<StandinAsioClearLogProc>("StandinAsioClearLog");
    auto step = StandinControl<StandinAsioStepProc>("StandinAsioStep");
    clear();
    ASSERT_EQ(driver->init(nullptr), 1);

    Client client;
    Client::current = &client;
    client.frames = 8;
    client.buffers = {{0, 2, {}}, {1, 2, {}}};
    AsioCallbacks callbacks{&Client::BufferSwitch, nullptr, &Client::Message, nullptr};
    ASSERT_EQ(driver->createBuffers(client.buffers.data(), 2, 8, &callbacks), kAsioOk);
    ASSERT_NE(client.buffers[0].buffers[0], nullptr);
    ASSERT_NE(client.buffers[1].buffers[1], nullptr);
    ASSERT_EQ(driver->start(), kAsioOk);
    EXPECT_EQ(step(), 1);
    EXPECT_EQ(step(), 1);
    EXPECT_EQ(step(), 1);
    EXPECT_EQ(driver->stop(), kAsioOk);
    EXPECT_EQ(step(), 0) << "a stopped driver is not stepped";
    EXPECT_EQ(driver->disposeBuffers(), kAsioOk);

    EXPECT_EQ(client.halves, (std::vector<int>{0, 1, 0}));
    // Output sample s (value 100 * (s + 1)) returns at position s + 8 + 3, halved.
    ASSERT_EQ(client.captured.size(), 24u);
    for (size_t t = 0; t < client.captured.size(); ++t)
    {
        const int32_t expected = t < 11 ? 0 : 50 * static_cast<int32_t>(t - 11 + 1);
        EXPECT_EQ(client.captured[t], expected) << "sample " << t;
    }
    int32_t switches = 0, ready = 0;
    StandinControl<StandinAsioCountersProc>("StandinAsioCounters")(&switches, &ready);
    EXPECT_EQ(switches, 3);
    EXPECT_EQ(StandinCallLog(), "init\ncreateBuffers 2 8\nasioMessage 1 3 = 1\nstart\nstop\ndisposeBuffers\n");
    driver->Release();
}

TEST_F(AsioStandin, ReportsTheConfiguredCardAndRefusesBadRequests)
{
    StandinTestConfig config("[Driver]\nInputs=4\nOutputs=6\nInputName1=Mic\nSampleType=16\nRate=48000\n"
                             "MinBuffer=32\nMaxBuffer=1024\nPreferredBuffer=128\nGranularity=16\n");
    IAsioDriver* driver = Create<IAsioDriver>(kStandinDriverId);
    ASSERT_NE(driver, nullptr);
    ASSERT_EQ(driver->init(nullptr), 1);
    char name[kAsioNameSize] = {};
    driver->getDriverName(name);
    EXPECT_STREQ(name, kStandinDriverName);
    int32_t inputs = 0, outputs = 0;
    ASSERT_EQ(driver->getChannels(&inputs, &outputs), kAsioOk);
    EXPECT_EQ(inputs, 4);
    EXPECT_EQ(outputs, 6);
    int32_t minimum = 0, maximum = 0, preferred = 0, granularity = 0;
    ASSERT_EQ(driver->getBufferSize(&minimum, &maximum, &preferred, &granularity), kAsioOk);
    EXPECT_EQ((std::vector<int32_t>{minimum, maximum, preferred, granularity}),
              (std::vector<int32_t>{32, 1024, 128, 16}));
    double rate = 0;
    ASSERT_EQ(driver->getSampleRate(&rate), kAsioOk);
    EXPECT_EQ(rate, 48000.0);
    EXPECT_EQ(driver->canSampleRate(96000.0), kAsioOk);
    EXPECT_NE(driver->canSampleRate(12345.0), kAsioOk);

    AsioChannelInfo info{};
    info.channel = 1;
    info.isInput = 1;
    ASSERT_EQ(driver->getChannelInfo(&info), kAsioOk);
    EXPECT_STREQ(info.name, "Mic");
    EXPECT_EQ(info.type, kAsioSampleInt16);
    info.channel = 4;
    EXPECT_NE(driver->getChannelInfo(&info), kAsioOk) << "input 4 does not exist";

    AsioBufferInfo buffers[1] = {{0, 6, {}}};
    AsioCallbacks callbacks{&Client::BufferSwitch, nullptr, &Client::Message, nullptr};
    EXPECT_NE(driver->createBuffers(buffers, 1, 128, &callbacks), kAsioOk) << "output 6 does not exist";
    buffers[0].channelNum = 0;
    EXPECT_NE(driver->createBuffers(buffers, 1, 16, &callbacks), kAsioOk) << "below the minimum size";
    EXPECT_NE(driver->start(), kAsioOk) << "no buffers";
    driver->Release();
}

TEST_F(AsioStandin, AcceptsCallbacksWithoutChannelsAndStillSendsMessages)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    IAsioDriver* driver = Create<IAsioDriver>(kStandinDriverId);
    ASSERT_NE(driver, nullptr);
    StandinControl<StandinAsioClearLogProc>("StandinAsioClearLog")();
    ASSERT_EQ(driver->init(nullptr), 1);
    AsioCallbacks callbacks{&Client::BufferSwitch, nullptr, &Client::Message, nullptr};
    ASSERT_EQ(driver->createBuffers(nullptr, 0, 256, &callbacks), kAsioOk);
    EXPECT_EQ(driver->createBuffers(nullptr, 0, 256, &callbacks), kAsioInvalidMode) << "buffers exist";
    EXPECT_EQ(StandinControl<StandinAsioRequestResetProc>("StandinAsioRequestReset")(), 1);
    EXPECT_EQ(driver->disposeBuffers(), kAsioOk);
    EXPECT_EQ(StandinCallLog(),
              "init\ncreateBuffers 0 256\nasioMessage 1 3 = 1\ncreateBuffers 0 256\ndisposeBuffers\n");
    driver->Release();
}

TEST_F(AsioStandin, ClientsInOneProcessSeeEachOthersChannels)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    IAsioDriver* first = Create<IAsioDriver>(kStandinDriverId);
    IAsioDriver* second = Create<IAsioDriver>(kStandinDriverId);
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->init(nullptr), 1);
    ASSERT_EQ(second->init(nullptr), 1);
    AsioBufferInfo buffers[2] = {{0, 3, {}}, {1, 5, {}}};
    AsioCallbacks callbacks{&Client::BufferSwitch, nullptr, &Client::Message, nullptr};
    ASSERT_EQ(first->createBuffers(buffers, 2, 256, &callbacks), kAsioOk);

    const struct
    {
        AsioBool isInput;
        int32_t channel;
        AsioBool active;
    } cases[] = {{0, 3, 1}, {1, 5, 1}, {1, 3, 0}, {0, 5, 0}, {0, 2, 0}};
    for (const auto& c : cases)
    {
        AsioChannelInfo info{};
        info.channel = c.channel;
        info.isInput = c.isInput;
        ASSERT_EQ(second->getChannelInfo(&info), kAsioOk);
        EXPECT_EQ(info.isActive, c.active) << (c.isInput ? "input " : "output ") << c.channel;
    }
    first->Release(); // releasing the holder frees its channels
    AsioChannelInfo info{};
    info.channel = 3;
    ASSERT_EQ(second->getChannelInfo(&info), kAsioOk);
    EXPECT_EQ(info.isActive, 0);
    second->Release();
}

TEST_F(AsioStandin, InjectedFailuresAndTheMakersInterface)
{
    {
        StandinTestConfig config("[Driver]\nFailInit=1\nFailGetChannels=1\nFailGetSampleRate=1\nOutputReady=-1000\n");
        IAsioDriver* driver = Create<IAsioDriver>(kStandinDriverId);
        ASSERT_NE(driver, nullptr);
        EXPECT_EQ(driver->init(nullptr), 0);
        int32_t inputs = 0, outputs = 0;
        EXPECT_NE(driver->getChannels(&inputs, &outputs), kAsioOk);
        double rate = 0;
        EXPECT_NE(driver->getSampleRate(&rate), kAsioOk);
        EXPECT_EQ(driver->outputReady(), kAsioNotPresent);
        char text[kAsioErrorMessageSize] = {};
        driver->getErrorMessage(text);
        EXPECT_NE(std::string(text), "");
        void* kiv = nullptr;
        ASSERT_EQ(driver->QueryInterface(kKivDriverInterfaceId, &kiv), S_OK);
        static_cast<IAsioDriver*>(kiv)->Release();
        driver->Release();
    }
    {
        StandinTestConfig config("[Driver]\nFailCreateBuffers=1\nFailStart=1\nRefuseKivInterface=1\n");
        IAsioDriver* driver = Create<IAsioDriver>(kStandinDriverId);
        ASSERT_NE(driver, nullptr);
        ASSERT_EQ(driver->init(nullptr), 1);
        AsioCallbacks callbacks{&Client::BufferSwitch, nullptr, &Client::Message, nullptr};
        EXPECT_EQ(driver->createBuffers(nullptr, 0, 256, &callbacks), kAsioNoMemory);
        void* kiv = nullptr;
        EXPECT_EQ(driver->QueryInterface(kKivDriverInterfaceId, &kiv), E_NOINTERFACE);
        EXPECT_EQ(kiv, nullptr);
        driver->Release();
    }
}

TEST_F(AsioStandin, EnumeratorListsTheConfiguredDevices)
{
    StandinTestConfig config("[Enumerator]\nDevices=2\nDevice0=1d1a 7302 10011d1a\nDevice1=8086 1234 5\n");
    IDeviceEnumerator* enumerator = Create<IDeviceEnumerator>(kDeviceEnumeratorId);
    ASSERT_NE(enumerator, nullptr);
    GUID classId{};
    char name[kDeviceEntryNameSize] = {};
    ASSERT_EQ(enumerator->DeviceEntry(1, &classId, name), 0);
    EXPECT_TRUE(classId == kStandinDriverId);
    EXPECT_STREQ(name, kStandinDriverName);
    EXPECT_NE(enumerator->DeviceEntry(2, &classId, name), 0) << "past the end";

    const struct
    {
        uint32_t index;
        uint32_t vendor, device, subsystem;
    } cases[] = {{0, 0x1d1a, 0x7302, 0x10011d1a}, {1, 0x8086, 0x1234, 5}};
    for (const auto& c : cases)
    {
        DeviceInfoRecord record{};
        record.size = sizeof(record);
        record.index = c.index;
        ASSERT_EQ(enumerator->DeviceInformation(HKEY_LOCAL_MACHINE, &record), 0);
        EXPECT_EQ(record.vendorId, c.vendor);
        EXPECT_EQ(record.deviceId, c.device);
        EXPECT_EQ(record.subsystemId, c.subsystem);
    }
    DeviceInfoRecord bad{};
    bad.size = 100;
    EXPECT_NE(enumerator->DeviceInformation(HKEY_LOCAL_MACHINE, &bad), 0) << "wrong record size";
    enumerator->Release();
}

TEST_F(AsioStandin, RegisteredAsAnAsioDriver)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\KIV Corvan ASIO", 0, KEY_READ, &key), ERROR_SUCCESS);
    char text[64] = {};
    DWORD size = sizeof(text);
    ASSERT_EQ(RegQueryValueExA(key, "CLSID", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(text, "{6DA30E89-6CC7-45EE-8ACC-FAA75E5C448F}");
}

TEST_F(AsioStandin, ThreadClockRunsSwitchesUntilStopped)
{
    StandinTestConfig config("[Driver]\nMinBuffer=32\nPreferredBuffer=32\n");
    IAsioDriver* driver = Create<IAsioDriver>(kStandinDriverId);
    ASSERT_NE(driver, nullptr);
    ASSERT_EQ(driver->init(nullptr), 1);
    // Callbacks only: the switches are counted by the stand-in.
    AsioCallbacks callbacks{[](int32_t, AsioBool) {}, nullptr, &Client::Message, nullptr};
    StandinControl<StandinAsioClearLogProc>("StandinAsioClearLog")();
    ASSERT_EQ(driver->createBuffers(nullptr, 0, 32, &callbacks), kAsioOk);
    ASSERT_EQ(driver->start(), kAsioOk);
    int32_t switches = 0, ready = 0;
    for (int i = 0; i < 500 && switches < 3; ++i)
    {
        Sleep(10);
        StandinControl<StandinAsioCountersProc>("StandinAsioCounters")(&switches, &ready);
    }
    EXPECT_GE(switches, 3);
    ASSERT_EQ(driver->stop(), kAsioOk);
    int32_t stopped = 0;
    StandinControl<StandinAsioCountersProc>("StandinAsioCounters")(&stopped, &ready);
    Sleep(50);
    StandinControl<StandinAsioCountersProc>("StandinAsioCounters")(&switches, &ready);
    EXPECT_EQ(switches, stopped) << "no switch after stop";
    driver->Release();
}

} // namespace
