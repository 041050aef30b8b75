// The services thread with the COM link to a fake server: commands from the host's threads,
// commands issued by a notification handler on the thread itself while a host thread waits,
// the display update made by the waiting thread, a thread that ended on a quit message, and a
// server that does not answer while the host makes, runs and closes an instance.
#include "plugins/quorvel/KivQuorvelEffect.h"
#include "plugins/quorvel/ServicesLink.h"
#include "plugins/quorvel/tests/FakeServicesServer.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>
#include <string>

namespace
{

std::atomic<int> gDisplayUpdates{0};
std::atomic<DWORD> gHostThread{0};
std::atomic<DWORD> gUpdateThread{0};

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    if (opcode == kHostVersion)
    {
        return 2400;
    }
    if (opcode == kHostUpdateDisplay)
    {
        gUpdateThread.store(GetCurrentThreadId());
        ++gDisplayUpdates;
    }
    return 0;
}

// A gate a hung server's call waits at until the test opens it (a minute at most), as a call
// into a hung process waits until that process dies.
class Gate
{
public:
    Gate() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { CloseHandle(event_); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;
    void Open() { SetEvent(event_); }
    void Pass() { WaitForSingleObject(event_, 60000); }

private:
    HANDLE event_;
};

// The server each link of this program meets; its services are made on the services thread.
class ThreadSystem final : public ServicesSystem
{
public:
    bool IsMixerRunning() override { return true; }
    HRESULT CreateServices(IKivCorvanServices** services) override
    {
        servicesThread.store(GetCurrentThreadId());
        if (hungActivation)
        {
            // What an activation answered after a crashed server: only after a long while.
            hungActivation->Pass();
            *services = nullptr;
            return static_cast<HRESULT>(0x800706BB);
        }
        server.services.AddRef();
        *services = &server.services;
        return S_OK;
    }
    FakeServicesServer server;
    std::atomic<DWORD> servicesThread{0};
    Gate* hungActivation = nullptr; // borrowed; when set, the activation waits there
};

ThreadSystem* gSystem = nullptr;
ServicesLink* gLink = nullptr;

} // namespace

ServicesConnection* CreateServicesLink(ServicesLinkOwner* owner)
{
    gLink = new ServicesLink(owner, *gSystem);
    return gLink;
}

namespace
{

class ServicesThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gSystem = &system_;
        gDisplayUpdates = 0;
        effect_ = std::make_unique<KivQuorvelEffect>(&Host);
        ASSERT_FALSE(effect_->Failed());
        ASSERT_NE(gLink, nullptr);
    }
    void TearDown() override
    {
        effect_.reset();
        gLink = nullptr;
        gSystem = nullptr;
    }
    HRESULT Run(int32_t command)
    {
        gLink->BeginCall();
        const HRESULT result = gLink->Call(command);
        gLink->EndCall();
        return result;
    }

    ThreadSystem system_;
    std::unique_ptr<KivQuorvelEffect> effect_;
};

TEST_F(ServicesThreadTest, CommandsRunOnTheServicesThreadAndTheCallerUpdatesTheDisplay)
{
    EXPECT_NE(system_.servicesThread.load(), GetCurrentThreadId()) << "the link is made on its own thread";
    EXPECT_TRUE(gLink->IsConnected());
    EXPECT_EQ(Run(kCmdRemoveInsert), S_OK);
    EXPECT_EQ(gDisplayUpdates.load(), 1);
    EXPECT_EQ(gUpdateThread.load(), GetCurrentThreadId()) << "made by the waiting thread, after its wait";
    EXPECT_EQ(Run(kCmdSelectPreset), S_OK);
    EXPECT_EQ(gDisplayUpdates.load(), 1) << "only after the commands that change the chain";
}

TEST_F(ServicesThreadTest, AHandlerIssuingACommandWhileAHostThreadWaitsDoesNotDeadlock)
{
    // A notification arrives on the services thread; its handler issues a command there,
    // while another thread holds the command lock and waits for its own command.
    int handled = 0;
    system_.server.onCall = [&](const std::string& call) {
        if (call == "QueryClientState 7")
        {
            // Meanwhile the mixer notifies; its handler has the driver reconnected.
            system_.server.notifySink->Notify(0x100, system_.server.notifyUser);
            handled += effect_->RunOnServicesThread(kCmdReconnect) ? 1 : 0;
        }
    };
    auto waiting = std::async(std::launch::async, [&] { return Run(kCmdQueryClientState); });
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "deadlock";
    EXPECT_EQ(waiting.get(), S_OK);
    EXPECT_EQ(handled, 1) << "the handler's command ran at once";
}

TEST_F(ServicesThreadTest, AfterAQuitMessageEveryCommandFailsAsUnexpected)
{
    ASSERT_TRUE(PostThreadMessageA(system_.servicesThread.load(), WM_QUIT, 0, 0));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (effect_->RunOnServicesThread(0) && std::chrono::steady_clock::now() < end)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(Run(kCmdQueryClientState), E_UNEXPECTED);
    EXPECT_EQ(Run(kCmdRemoveInsert), E_UNEXPECTED);
    // The thread let go of the mixer program before its apartment ended.
    const std::vector<std::string>& calls = system_.server.calls;
    for (const char* call : {"ReleaseSendReturn 7", "UnregisterClient 7", "Unadvise 11", "EventUnadvise 12"})
    {
        EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
    }
    EXPECT_FALSE(gLink->IsConnected());
}

// A server that does not answer (the activation, or the sink's Advise, waits until the test
// opens its gate): the entry point's work, the host's set-up calls and its close all return
// while the server still hangs, the audio passes through meanwhile, and the instance goes
// once its services thread is back, on that thread; the thread then serves the next instance.
TEST(AHungServer, HoldsUpNoHostCallAndTheClosedInstanceGoesOnceItsThreadIsBack)
{
    struct Case
    {
        const char* label;
        bool activation; // else the sink's Advise
    };
    for (const Case& c : {Case{"activation", true}, Case{"Advise", false}})
    {
        SCOPED_TRACE(c.label);
        Gate gate;
        ThreadSystem system;
        if (c.activation)
        {
            system.hungActivation = &gate;
        }
        else
        {
            system.server.onCall = [&gate](const std::string& call) {
                if (call == "Advise")
                {
                    gate.Pass();
                }
            };
        }
        gSystem = &system;
        ServicesPool& pool = ServicesPool::Process();
        // What main() does; no case of this program leaves an instance open.
        auto* effect = new KivQuorvelEffect(&Host);
        ASSERT_FALSE(effect->Failed());
        VstEffectRecord* record = effect->GetRecord();
        auto dispatch = [record](int32_t opcode, VstValue value, float option) {
            return record->dispatcher(record, opcode, 0, value, nullptr, option);
        };
        dispatch(kEffOpen, 0, 0.0f);
        dispatch(kEffSetSampleRate, 0, 44100.0f);
        dispatch(kEffSetBlockSize, 512, 0.0f);
        dispatch(kEffMainsChanged, 1, 0.0f);
        std::vector<float> in[2] = {std::vector<float>(512), std::vector<float>(512)};
        std::vector<float> out[2] = {std::vector<float>(512), std::vector<float>(512)};
        for (size_t i = 0; i < 512; ++i)
        {
            in[0][i] = static_cast<float>(i) / 512.0f;
            in[1][i] = -in[0][i];
        }
        float* inputs[2] = {in[0].data(), in[1].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        record->processReplacing(record, inputs, outputs, 512);
        EXPECT_EQ(out[0], in[0]) << "passed through";
        EXPECT_EQ(out[1], in[1]) << "passed through";
        dispatch(kEffMainsChanged, 0, 0.0f);
        dispatch(kEffClose, 0, 0.0f);
        // Every call above came back while the server hung: only the test opens the gate.
        const DWORD hungThread = system.servicesThread.load();
        EXPECT_NE(hungThread, 0u);
        EXPECT_LT(pool.Idle(), pool.Made()) << "the closed instance waits for its thread";
        gate.Open();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (pool.Idle() < pool.Made() && std::chrono::steady_clock::now() < end)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(pool.Idle(), pool.Made()) << "its thread ended it and waits for the next instance";

        ThreadSystem answering;
        gSystem = &answering;
        auto next = std::make_unique<KivQuorvelEffect>(&Host);
        ASSERT_NE(gLink, nullptr);
        EXPECT_TRUE(gLink->IsConnected());
        EXPECT_EQ(answering.servicesThread.load(), hungThread) << "served by the same thread, in the same apartment";
        next.reset();
        gLink = nullptr;
        gSystem = nullptr;
    }
}

} // namespace
