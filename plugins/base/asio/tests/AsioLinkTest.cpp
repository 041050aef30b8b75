// The driver link's logic on a fake driver, enumerator and system.
#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/asio/tests/FakeAsio.h"
#include "plugins/base/platform/Platform.h"
#include "plugins/base/stream/AudioStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace
{

constexpr GUID kDriverA = {0x11111111, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID kDriverB = {0x22222222, 2, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr uint32_t kCardSubsystem = kKivSubsystemPattern | 0x00030000;

struct Owner : AsioLinkOwner
{
    std::atomic<int> resets{0};
    void OnResetRequest() override { ++resets; }
};

class AsioLinkTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        CreatePlatform(0x10000);
        AsioLink::InitInstanceTable();
        Reset();
        AsioSystem::Use(&system_);
    }
    // One card with driver A, and a driver that answers every call with success.
    void Reset()
    {
        system_.objects.clear();
        system_.messages.clear();
        system_.objects[FakeSystem::Key(kDeviceEnumeratorId)] = &enumerator_;
        system_.objects[FakeSystem::Key(kDriverA)] = &driver_;
        enumerator_.devices = {{kDriverA, kKivVendorId, kKivDeviceIds[0], kCardSubsystem}};
        driver_ = FakeDriver{};
    }
    void TearDown() override
    {
        AsioSystem::Use(nullptr);
        AsioLink::FreeInstanceTable();
        DestroyPlatform();
    }

    size_t Count(const std::string& call) const
    {
        return static_cast<size_t>(std::count(driver_.calls.begin(), driver_.calls.end(), call));
    }

    FakeSystem system_;
    FakeEnumerator enumerator_;
    FakeDriver driver_;
    Owner owner_;
};

TEST_F(AsioLinkTest, FindDriverTakesTheLastDeviceOfTheCardFamily)
{
    const struct
    {
        const char* name;
        std::vector<FakeDevice> devices;
        GUID expected;
    } cases[] = {
        {"none", {}, GUID{}},
        {"one card", {{kDriverA, kKivVendorId, kKivDeviceIds[0], kCardSubsystem}}, kDriverA},
        {"two cards: the later wins",
         {{kDriverA, kKivVendorId, kKivDeviceIds[0], kCardSubsystem},
          {kDriverB, kKivVendorId, kKivDeviceIds[2], kKivSubsystemPattern | 0x0ff00000}},
         kDriverB},
        {"card then other vendor",
         {{kDriverA, kKivVendorId, kKivDeviceIds[1], kCardSubsystem},
          {kDriverB, 0x8086, kKivDeviceIds[1], kCardSubsystem}},
         kDriverA},
        {"foreign device id", {{kDriverA, kKivVendorId, 0x7304, kCardSubsystem}}, GUID{}},
        {"bare subsystem pattern", {{kDriverA, kKivVendorId, kKivDeviceIds[0], kKivSubsystemPattern}}, GUID{}},
        {"other subsystem bits", {{kDriverA, kKivVendorId, kKivDeviceIds[0], kCardSubsystem ^ 0x1}}, GUID{}},
        {"subsystem high bits", {{kDriverA, kKivVendorId, kKivDeviceIds[0], kCardSubsystem ^ 0x40000000}}, GUID{}},
    };
    for (const auto& c : cases)
    {
        enumerator_.devices = c.devices;
        enumerator_.calls.clear();
        EXPECT_TRUE(AsioLink::FindDriver() == c.expected) << c.name;
        EXPECT_EQ(enumerator_.calls.back(), "Release") << c.name;
        EXPECT_EQ(enumerator_.references, 1) << c.name;
    }
    // Each entry is asked twice, then its device information with a zeroed 108-byte record.
    EXPECT_EQ(enumerator_.calls, (std::vector<std::string>{"entry 0", "entry 0", "info 108 0", "entry 1", "Release"}));
    EXPECT_TRUE(enumerator_.zeroed);
#ifdef _WIN32
    EXPECT_EQ(enumerator_.lastRoot, HKEY_LOCAL_MACHINE);
#endif
}

TEST_F(AsioLinkTest, FindDriverWithoutEnumeratorFindsNothing)
{
    system_.objects.erase(FakeSystem::Key(kDeviceEnumeratorId));
    EXPECT_TRUE(AsioLink::FindDriver() == GUID{});
}

TEST_F(AsioLinkTest, OpenReadsTheDriverInOrder)
{
    driver_.inputs = 4;
    driver_.outputs = 6;
    AsioLink link(&owner_);
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.GetErrorState(), 0);
    EXPECT_STREQ(link.GetDriverName(), "Fake card");
    EXPECT_EQ(link.GetDriverVersion(), 7);
    EXPECT_EQ(link.GetInputCount(), 4);
    EXPECT_EQ(link.GetOutputCount(), 6);
    EXPECT_EQ(link.GetInputLatency(), 100);
    EXPECT_EQ(link.GetOutputLatency(), 200);
    EXPECT_EQ(link.GetPreferredBufferSize(), 512);
    const std::vector<std::string> head(driver_.calls.begin(), driver_.calls.begin() + 5);
    EXPECT_EQ(head,
              (std::vector<std::string>{"init", "getDriverName", "getDriverVersion", "getChannels", "getChannels"}));
    EXPECT_EQ(driver_.calls[5], "getChannelInfo out 0");
    EXPECT_EQ(driver_.calls[5 + 6], "getChannelInfo in 0");
    EXPECT_EQ(driver_.calls[5 + 10], "getLatencies");
    EXPECT_EQ(driver_.calls[5 + 11], "getBufferSize");
    link.Close();
    EXPECT_EQ(driver_.calls.back(), "Release");
    EXPECT_EQ(driver_.references, 1) << "the link let go of its reference";
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(AsioLinkTest, OpenFailuresSetTheirErrorState)
{
    const struct
    {
        const char* name;
        std::function<void(AsioLinkTest&)> arrange;
        int32_t error;
        bool released;
    } cases[] = {
        {"no enumerator", [](AsioLinkTest& t) { t.system_.objects.erase(FakeSystem::Key(kDeviceEnumeratorId)); }, 1,
         false},
        {"no card", [](AsioLinkTest& t) { t.enumerator_.devices.clear(); }, 1, false},
        {"driver not creatable", [](AsioLinkTest& t) { t.system_.objects.erase(FakeSystem::Key(kDriverA)); }, 2, false},
        {"init refused", [](AsioLinkTest& t) { t.driver_.initAnswer = 0; }, 2, true},
        // The driver cannot tell its channels: Open fails rather than reporting success.
        {"getChannels refused", [](AsioLinkTest& t) { t.driver_.channelsAnswer = kAsioHardwareMalfunction; }, 2, true},
        {"getChannels refused on the reread",
         [](AsioLinkTest& t) {
             t.driver_.channelsAnswer = kAsioHardwareMalfunction;
             t.driver_.channelsAnsweredFirst = 1;
         },
         2, true},
        {"no outputs", [](AsioLinkTest& t) { t.driver_.outputs = 0; }, 2, true},
    };
    for (const auto& c : cases)
    {
        Reset();
        c.arrange(*this);
        {
            AsioLink link(&owner_);
            EXPECT_FALSE(link.Open()) << c.name;
            EXPECT_EQ(link.GetErrorState(), c.error) << c.name;
            EXPECT_FALSE(link.IsOpen()) << c.name;
            EXPECT_EQ(Count("Release"), c.released ? 1u : 0u) << c.name;
            // The failure does not turn into success on the next step.
            EXPECT_FALSE(link.Start(nullptr, 256, 0, 0)) << c.name;
            EXPECT_EQ(link.GetErrorState(), c.error) << c.name;
        }
    }
}

TEST_F(AsioLinkTest, LatencyOrBufferSizeFailureStillOpens)
{
    driver_.latenciesAnswer = kAsioNotPresent;
    AsioLink link(&owner_);
    EXPECT_TRUE(link.Open());
    EXPECT_EQ(link.GetErrorState(), 2);
}

TEST_F(AsioLinkTest, ChannelCountsClampTo64)
{
    driver_.inputs = 70;
    driver_.outputs = 70;
    AsioLink link(&owner_);
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.GetInputCount(), 64);
    EXPECT_EQ(link.GetOutputCount(), 64);
    EXPECT_EQ(Count("getChannelInfo out 63"), 1u);
    EXPECT_EQ(Count("getChannelInfo out 64"), 0u);
    EXPECT_EQ(Count("getChannelInfo in 64"), 0u);
    EXPECT_NE(link.GetInputPair(31), nullptr);
    EXPECT_EQ(link.GetInputPair(32), nullptr);
}

TEST_F(AsioLinkTest, PairsAndTheirNames)
{
    const struct
    {
        const char* first;
        const char* second;
        const char* name;
    } cases[] = {
        {"Mix L", "Mix R", "Mix "},
        {"Input 1", "Input 2", "Input 1"},
        {"Same", "Same", "Same"},
        {"Left", "Right", "Left"},
        {"ADAT 10", "ADAT 11", "ADAT 10"},
        {"Out A1", "Out A2", "Out A1"},
        {"Main Left", "Main Right", "Main "},
        {"Input 1", "Input 1b", "Input 1"},
        {"0123456789012345678901234567890", "0123456789012345678901234567891", "0123456789012345678901234567890"},
    };
    for (const auto& c : cases)
    {
        driver_.inputNames = {c.first, c.second, "lone"};
        driver_.inputs = 3;
        AsioLink link(&owner_);
        ASSERT_TRUE(link.Open());
        char text[40];
        std::memset(text, 'x', sizeof(text));
        link.PairName(0, text);
        EXPECT_STREQ(text, c.name) << c.first << " / " << c.second;
        // With an odd count the last pair exists, but its name is not written.
        ASSERT_NE(link.GetInputPair(1), nullptr);
        EXPECT_STREQ(link.GetInputPair(1)->name, "lone");
        std::strcpy(text, "kept");
        link.PairName(1, text);
        EXPECT_STREQ(text, "kept");
        EXPECT_EQ(link.GetInputPair(2), nullptr);
        EXPECT_EQ(link.GetInputPair(-1), nullptr);
        EXPECT_NE(link.GetOutputPair(3), nullptr);
        EXPECT_EQ(link.GetOutputPair(4), nullptr);
        EXPECT_EQ(link.GetOutputPair(3)->channel, 6);
        // Pair indices come from the host's chunk: ones whose channel number does not fit in
        // 32 bits are no pairs either.
        for (int32_t pair : {0x40000000, 0x7fffffff})
        {
            EXPECT_EQ(link.GetInputPair(pair), nullptr) << pair;
            EXPECT_EQ(link.GetOutputPair(pair), nullptr) << pair;
            std::strcpy(text, "kept");
            link.PairName(pair, text);
            EXPECT_STREQ(text, "kept") << pair;
        }
    }
}

TEST_F(AsioLinkTest, MessagesFromTheDriver)
{
    AsioLink link(&owner_);
    const struct
    {
        int32_t selector, value, answer, resets;
    } cases[] = {{1, 3, 1, 0}, {1, 2, 0, 0}, {1, 1, 0, 0}, {3, 0, 0, 1}, {3, 9, 0, 2}, {2, 0, 0, 2}, {7, 3, 0, 2}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(link.OnAsioMessage(c.selector, c.value), c.answer) << c.selector << "," << c.value;
        EXPECT_EQ(owner_.resets, c.resets) << c.selector << "," << c.value;
    }
}

TEST_F(AsioLinkTest, ErrorMessagesFromTheStringTable)
{
    const struct
    {
        const char* name;
        std::function<void(AsioLinkTest&)> arrange;
        const char* message;
    } cases[] = {
        {"not found", [](AsioLinkTest& t) { t.enumerator_.devices.clear(); }, "text 1|text 4"},
        {"open failed", [](AsioLinkTest& t) { t.driver_.initAnswer = 0; }, "text 3|text 4"},
        {"buffers", [](AsioLinkTest& t) { t.driver_.createAnswer = kAsioNoMemory; }, "text 2|text 4"},
        {"none", [](AsioLinkTest&) {}, ""},
    };
    for (const auto& c : cases)
    {
        Reset();
        c.arrange(*this);
        AsioLink link(&owner_);
        if (link.Open())
        {
            link.Start(nullptr, 256, 0, 0);
        }
        link.ShowErrorMessage();
        const std::vector<std::string> expected =
            std::string(c.message).empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message};
        EXPECT_EQ(system_.messages, expected) << c.name;
    }
}

TEST_F(AsioLinkTest, StartRegistersTwoOutputsAndTwoInputs)
{
    PlatformLock listLock;
    ThePlatform()->InitLock(&listLock);
    auto stream = std::make_unique<AudioStream>(256, &listLock);
    AudioStream& realStream = *stream;
    ASSERT_TRUE(realStream.Allocate(256));
    AsioLink link(&owner_);
    ASSERT_TRUE(link.Open());
    driver_.calls.clear();
    ASSERT_TRUE(link.Start(&realStream, 256, 4, 2));
    EXPECT_TRUE(link.IsRunning());
    EXPECT_EQ(link.GetErrorState(), 0);
    EXPECT_EQ(driver_.calls, (std::vector<std::string>{"getBufferSize", "getBufferSize", "getChannelInfo out 2",
                                                       "getChannelInfo out 3", "getChannelInfo in 4",
                                                       "getChannelInfo in 5", "createBuffers 4 256", "start"}));
    const AsioBufferInfo* buffers = link.GetBufferInfos();
    EXPECT_EQ(buffers[0].isInput, 0);
    EXPECT_EQ(buffers[1].channelNum, 3);
    EXPECT_EQ(buffers[2].isInput, 1);
    EXPECT_EQ(buffers[3].channelNum, 5);
    EXPECT_EQ(link.GetChannelInfos()[3].channel, 5);
    ASSERT_NE(driver_.callbacks.bufferSwitch, nullptr);
    ASSERT_NE(driver_.callbacks.asioMessage, nullptr);
    EXPECT_EQ(driver_.callbacks.bufferSwitchTimeInfo, nullptr);

    // A switch reaches the stream: a host sample comes out on the driver's first output.
    realStream.SetProcessLevel(1);
    std::vector<float> left(256, 0.5f), right(256, -0.5f);
    const float* inputs[2] = {left.data(), right.data()};
    realStream.WriteHostInput(inputs, 256);
    driver_.callbacks.bufferSwitch(1, 1);
    EXPECT_TRUE(realStream.SwitchSeen());
    const int32_t* played = static_cast<const int32_t*>(buffers[0].buffers[1]);
    EXPECT_EQ(played[0], 1073709056);
    EXPECT_EQ(driver_.callbacks.asioMessage(1, 3, nullptr, nullptr), 1);

    link.Stop();
    EXPECT_FALSE(link.IsRunning());
    EXPECT_EQ(driver_.calls.back(), "disposeBuffers");
    // After Stop the callbacks reach nothing.
    EXPECT_EQ(driver_.callbacks.asioMessage(1, 3, nullptr, nullptr), 0);
    const int ready = driver_.outputReadyCalls;
    driver_.callbacks.bufferSwitch(0, 1);
    EXPECT_EQ(driver_.outputReadyCalls, ready);
    link.Close();
    stream.reset();
    ThePlatform()->DeleteLock(&listLock);
}

TEST_F(AsioLinkTest, StartFailuresSetTheirErrorState)
{
    const struct
    {
        const char* name;
        std::function<void(FakeDriver&)> arrange;
        int32_t error;
        const char* last;
    } cases[] = {
        {"output held by another client", [](FakeDriver& d) { d.activeOutputs = {1}; }, 2, "getChannelInfo in 1"},
        // Neither buffers nor a running driver are left behind.
        {"buffer sizes unreadable", [](FakeDriver& d) { d.bufferSizeAnswer = kAsioNotPresent; }, 2,
         "getChannelInfo in 1"},
        {"createBuffers refused", [](FakeDriver& d) { d.createAnswer = kAsioNoMemory; }, 3, "createBuffers 4 256"},
        {"start refused", [](FakeDriver& d) { d.startAnswer = kAsioHardwareMalfunction; }, 2, "disposeBuffers"},
    };
    for (const auto& c : cases)
    {
        driver_ = FakeDriver{};
        c.arrange(driver_);
        AsioLink link(&owner_);
        ASSERT_TRUE(link.Open());
        EXPECT_FALSE(link.Start(nullptr, 256, 0, 0)) << c.name;
        EXPECT_FALSE(link.IsRunning()) << c.name;
        EXPECT_EQ(link.GetErrorState(), c.error) << c.name;
        EXPECT_EQ(driver_.calls.back(), c.last) << c.name;
    }
    AsioLink closed(&owner_);
    EXPECT_FALSE(closed.Start(nullptr, 256, 0, 0));
    EXPECT_FALSE(closed.CreateBuffers(256));
    closed.Stop();
    closed.Close();
}

TEST_F(AsioLinkTest, CreateBuffersRegistersCallbacksOnly)
{
    AsioLink link(&owner_);
    ASSERT_TRUE(link.Open());
    driver_.calls.clear();
    EXPECT_TRUE(link.CreateBuffers(128));
    EXPECT_EQ(driver_.calls, (std::vector<std::string>{"createBuffers 0 128"}));
    EXPECT_EQ(driver_.callbacks.asioMessage(3, 0, nullptr, nullptr), 0);
    EXPECT_EQ(owner_.resets, 1);
    link.Stop();

    driver_.createAnswer = kAsioInvalidMode;
    AsioLink refused(&owner_);
    ASSERT_TRUE(refused.Open());
    EXPECT_FALSE(refused.CreateBuffers(128));
    EXPECT_EQ(refused.GetErrorState(), 3);
}

TEST_F(AsioLinkTest, OutputReadyIsCalledUntilTheDriverSaysNo)
{
    for (AsioError answer : {kAsioOk, kAsioNotPresent})
    {
        driver_ = FakeDriver{};
        driver_.outputReadyAnswer = answer;
        AsioLink link(&owner_);
        ASSERT_TRUE(link.Open());
        ASSERT_TRUE(link.Start(nullptr, 256, 0, 0));
        for (int i = 0; i < 5; ++i)
        {
            driver_.callbacks.bufferSwitch(i % 2, 1);
        }
        EXPECT_EQ(driver_.outputReadyCalls, answer == kAsioOk ? 5 : 1);
    }
}

TEST_F(AsioLinkTest, SampleRateAndBufferSizes)
{
    AsioLink link(&owner_);
    EXPECT_FALSE(link.SetSampleRate(48000)) << "no driver";
    EXPECT_EQ(link.GetSampleRate(), 48000);
    EXPECT_EQ(link.GetPreferredBufferSize(), 440);
    int32_t minimum = -1, maximum = -1, granularity = -1, preferred = -1;
    link.GetBufferSizes(&minimum, &maximum, &granularity, &preferred);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(preferred, 440);
    EXPECT_EQ(maximum, -1) << "left alone without a driver";

    ASSERT_TRUE(link.Open());
    driver_.calls.clear();
    EXPECT_TRUE(link.SetSampleRate(96000));
    EXPECT_EQ(driver_.calls, (std::vector<std::string>{"canSampleRate 96000", "setSampleRate 96000"}));
    driver_.canRateAnswer = kAsioNoClock;
    EXPECT_FALSE(link.SetSampleRate(12345));
    driver_.canRateAnswer = kAsioOk;
    driver_.setRateAnswer = kAsioNoClock;
    EXPECT_FALSE(link.SetSampleRate(88200)) << "a refused change is no success";
    link.GetBufferSizes(&minimum, &maximum, &granularity, &preferred);
    EXPECT_EQ((std::vector<int32_t>{minimum, maximum, granularity, preferred}),
              (std::vector<int32_t>{64, 4096, 64, 512}));
}

TEST_F(AsioLinkTest, TheEffectsVariantOpensThroughTheMakersSecondInterface)
{
    driver_.sampleRate = 48000.7;
    AsioLink link(&owner_, AsioLinkVariant::Effects);
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.GetErrorState(), 0);
    ASSERT_GE(driver_.calls.size(), 3u);
    // The created reference is given back for the second one, which the link keeps.
    EXPECT_EQ(driver_.calls[0], "QueryInterface");
    EXPECT_EQ(driver_.calls[1], "Release");
    EXPECT_EQ(driver_.calls[2], "init");
    EXPECT_EQ(driver_.calls.back(), "getSampleRate") << "the rate is read last";
    EXPECT_EQ(link.GetSampleRate(), 48000);
    EXPECT_EQ(driver_.references, 2);

    // Start asks the buffer sizes once, without refreshing the preferred size first.
    PlatformLock listLock;
    ThePlatform()->InitLock(&listLock);
    {
        AudioStream stream(256, &listLock);
        ASSERT_TRUE(stream.Allocate(256));
        driver_.calls.clear();
        driver_.minimumSize = 128;
        ASSERT_TRUE(link.Start(&stream, 256, 2, 4));
        EXPECT_EQ(Count("getBufferSize"), 1u);
        int32_t minimum = 0, maximum = 0, granularity = 0, preferred = 0;
        driver_.bufferSizeAnswer = kAsioNotPresent;
        link.GetBufferSizes(&minimum, &maximum, &granularity, &preferred);
        EXPECT_EQ(minimum, 128) << "Start stored the minimum";
        link.Close();
    }
    ThePlatform()->DeleteLock(&listLock);
    EXPECT_EQ(driver_.references, 1);
}

TEST_F(AsioLinkTest, TheEffectsVariantsOpenFailures)
{
    const struct
    {
        const char* name;
        std::function<void(FakeDriver&)> arrange;
        bool opens;
        std::vector<std::string> messages; // ShowErrorMessage's box comes last
    } cases[] = {
        {"second interface refused", [](FakeDriver& d) { d.refuseKivInterface = true; }, false, {"text 3|text 4"}},
        {"getChannels refused",
         [](FakeDriver& d) { d.channelsAnswer = kAsioHardwareMalfunction; },
         false,
         {"getChannels|getChannels", "text 3|text 4"}},
        {"no sample rate", [](FakeDriver& d) { d.sampleRateAnswer = kAsioNoClock; }, true, {"text 3|text 4"}},
    };
    for (const auto& c : cases)
    {
        Reset();
        c.arrange(driver_);
        AsioLink link(&owner_, AsioLinkVariant::Effects);
        link.SetSampleRate(44100);
        EXPECT_EQ(link.Open(), c.opens) << c.name;
        EXPECT_EQ(link.GetErrorState(), AsioLink::kOpenFailed) << c.name;
        EXPECT_EQ(link.IsOpen(), c.opens) << c.name;
        EXPECT_EQ(link.GetSampleRate(), 44100) << c.name << ": the rate is kept";
        link.ShowErrorMessage();
        EXPECT_EQ(system_.messages, c.messages) << c.name;
        link.Close();
        EXPECT_EQ(driver_.references, 1) << c.name << ": every reference given back";
    }
}

TEST_F(AsioLinkTest, TableHasABuildConstantNumberOfSlots)
{
    std::vector<std::unique_ptr<AsioLink>> links;
    for (int i = 0; i < kAsioLinkSlots; ++i)
    {
        links.push_back(std::make_unique<AsioLink>(&owner_));
        EXPECT_EQ(links.back()->GetSlot(), i);
    }
    AsioLink extra(&owner_);
    EXPECT_EQ(extra.GetSlot(), -1);
    ASSERT_TRUE(extra.Open());
    EXPECT_FALSE(extra.Start(nullptr, 256, 0, 0));
    EXPECT_EQ(extra.GetErrorState(), 3);
    links[3].reset();
    AsioLink reuse(&owner_);
    EXPECT_EQ(reuse.GetSlot(), 3);
}

TEST_F(AsioLinkTest, TrampolineOfAnEmptySlotDoesNothing)
{
    AsioCallbacks callbacks{};
    {
        AsioLink link(&owner_);
        ASSERT_TRUE(link.Open());
        ASSERT_TRUE(link.Start(nullptr, 256, 0, 0));
        callbacks = driver_.callbacks;
    }
    const int ready = driver_.outputReadyCalls;
    callbacks.bufferSwitch(0, 1);
    EXPECT_EQ(callbacks.asioMessage(3, 0, nullptr, nullptr), 0);
    EXPECT_EQ(driver_.outputReadyCalls, ready);
    EXPECT_EQ(owner_.resets, 0);
}

// The host makes a link on one thread while it destroys another on a second: the new link
// must not take the table entry whose trampolines the stopping driver still calls.
TEST_F(AsioLinkTest, ALinkMadeDuringAnothersDestructionGetsNoneOfItsSwitches)
{
    FakeDriver other;
    system_.objects[FakeSystem::Key(kDriverB)] = &other;
    auto first = std::make_unique<AsioLink>(&owner_);
    ASSERT_TRUE(first->Open());
    ASSERT_TRUE(first->Start(nullptr, 256, 0, 0));
    const AsioCallbacks firstCallbacks = driver_.callbacks;

    Owner secondOwner;
    std::unique_ptr<AsioLink> second;
    driver_.duringStop = [&] {
        enumerator_.devices = {{kDriverB, kKivVendorId, kKivDeviceIds[0], kCardSubsystem}};
        second = std::make_unique<AsioLink>(&secondOwner);
        ASSERT_TRUE(second->Open());
        ASSERT_TRUE(second->Start(nullptr, 256, 0, 0));
        // The first driver's last switch, before its stop returns.
        firstCallbacks.bufferSwitch(0, 1);
        firstCallbacks.asioMessage(3, 0, nullptr, nullptr);
    };
    first.reset();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(other.outputReadyCalls, 0) << "the second link ran the first driver's switch";
    EXPECT_EQ(secondOwner.resets, 0) << "the second link heard the first driver";
}

// A switch of one link waits on the shared callback lock behind another link's switch:
// destroying the waiting link must wait for that switch rather than free the link under it.
TEST_F(AsioLinkTest, DestructionWaitsForASwitchQueuedBehindAnotherLink)
{
    // Tells when the second switch has reached the callback lock, however slowly its
    // thread is scheduled.
    struct LockCountingPlatform : Platform
    {
        LockCountingPlatform() : Platform(0x10000) {}
        void Lock(PlatformLock* lock) override
        {
            ++locks;
            Platform::Lock(lock);
        }
        std::atomic<int> locks{0};
    };
    AsioLink::FreeInstanceTable();
    DestroyPlatform();
    auto* platform = new LockCountingPlatform; // the process-wide instance; TearDown deletes it
    ASSERT_EQ(ThePlatform(), platform);
    AsioLink::InitInstanceTable();

    FakeDriver other;
    system_.objects[FakeSystem::Key(kDriverB)] = &other;
    AsioLink first(&owner_);
    ASSERT_TRUE(first.Open());
    ASSERT_TRUE(first.Start(nullptr, 256, 0, 0));

    enumerator_.devices = {{kDriverB, kKivVendorId, kKivDeviceIds[0], kCardSubsystem}};
    auto second = std::make_unique<AsioLink>(&owner_);
    ASSERT_TRUE(second->Open());
    ASSERT_TRUE(second->Start(nullptr, 256, 0, 0));

    std::atomic<bool> inFirst{false}, releaseFirst{false};
    driver_.duringOutputReady = [&] {
        inFirst = true;
        while (!releaseFirst)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    std::thread firstSwitch([&] { driver_.callbacks.bufferSwitch(0, 1); });
    while (!inFirst)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int locksBefore = platform->locks;
    std::thread secondSwitch([&] { other.callbacks.bufferSwitch(0, 1); });
    while (platform->locks == locksBefore)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    std::atomic<bool> destroyed{false};
    std::thread destroyer([&] {
        second.reset();
        destroyed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(destroyed) << "the queued switch of the second link still runs";
    releaseFirst = true;
    firstSwitch.join();
    secondSwitch.join();
    destroyer.join();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(other.outputReadyCalls, 1) << "the queued switch ran to its end before the link went";
}

} // namespace
