// The services link against a fake server in process: how far it connects when the server
// refuses a step, the command executor's checks, the call block's guard, the notification
// dispatcher's rows and the tear-down.
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/ServicesLink.h"
#include "plugins/quorvel/tests/FakeServicesServer.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace
{

class FakeSystem final : public ServicesSystem
{
public:
    explicit FakeSystem(FakeServicesServer& server) : server_(server) {}
    bool IsMixerRunning() override { return running; }
    HRESULT CreateServices(IKivCorvanServices** services) override
    {
        ++creations;
        if (!created)
        {
            *services = nullptr;
            return REGDB_E_CLASSNOTREG;
        }
        server_.services.AddRef();
        *services = &server_.services;
        return S_OK;
    }
    bool running = true;
    bool created = true;
    int creations = 0;

private:
    FakeServicesServer& server_;
};

struct Post
{
    uint32_t id;
    uintptr_t wParam;
    uintptr_t lParam;
    bool operator==(const Post& other) const
    {
        return id == other.id && wParam == other.wParam && lParam == other.lParam;
    }
};

// The instance as the link sees it; commands run at once, as on the services thread.
class FakeOwner final : public ServicesLinkOwner
{
public:
    void StopAsio(bool reopen) override { calls.push_back(reopen ? "StopAsio reopen" : "StopAsio"); }
    void OnAssignmentChanged() override { calls.push_back("OnAssignmentChanged"); }
    void RebuildParamMap() override { calls.push_back("RebuildParamMap"); }
    // Every let-go of the chain brings the map's values up to date: not recorded.
    void SyncParamMap() override {}
    void StoreParamRequests(bool) override { calls.push_back("StoreParamRequests"); }
    void WakeParamStores() override { calls.push_back("WakeParamStores"); }
    void ReportParamToHost(int32_t, int32_t, const ParamValue&) override { calls.push_back("ReportParamToHost"); }
    void ReportAllParamsToHost() override { calls.push_back("ReportAllParamsToHost"); }
    int32_t GetAsioSampleRate() override { return rate; }
    bool PostToPanel(uint32_t id, uintptr_t wParam, uintptr_t lParam) override
    {
        posts.push_back({id, wParam, lParam});
        return false;
    }
    bool RunOnServicesThread(int32_t command) override
    {
        link->Execute(command);
        return true;
    }
    ServicesLink* link = nullptr;
    int32_t rate = 44100;
    std::vector<std::string> calls;
    std::vector<Post> posts;
};

class ServicesLinkTest : public ::testing::Test
{
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override
    {
        link_.reset();
        CoUninitialize();
    }
    ServicesLink* Connect()
    {
        link_ = std::make_unique<ServicesLink>(&owner_, system_);
        owner_.link = link_.get();
        server_.calls.clear();
        owner_.calls.clear();
        return link_.get();
    }
    HRESULT Run(int32_t command)
    {
        CallBlock* block = link_->BeginCall();
        const HRESULT result = link_->Call(command);
        (void)block;
        link_->EndCall();
        return result;
    }
    bool Has(const std::vector<std::string>& calls, const std::string& call)
    {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    FakeServicesServer server_;
    FakeSystem system_{server_};
    FakeOwner owner_;
    std::unique_ptr<ServicesLink> link_;
};

TEST(MixerProgramName, BeginsWithTheProgramsNameInAnyCase)
{
    const struct
    {
        const char* name;
        bool mixer;
    } cases[] = {{"KivCorvanDSP.exe", true},
                 {"KIVCORVANDSP.EXE", true},
                 {"kivcorvandsp", true},
                 {"kivcorvandsp64.exe", true},
                 {"kivcorvan.exe", false},
                 {"xkivcorvandsp.exe", false},
                 {"", false},
                 {nullptr, false}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(IsMixerProgramName(c.name), c.mixer) << (c.name ? c.name : "null");
    }
}

TEST_F(ServicesLinkTest, WithoutTheMixerNothingIsAttempted)
{
    system_.running = false;
    Connect();
    EXPECT_EQ(system_.creations, 0);
    EXPECT_FALSE(link_->IsConnected());
    int32_t send = 5, ret = 5;
    EXPECT_FALSE(link_->GetSendReturnPair(&send, &ret));
    EXPECT_EQ(send, -1);
    EXPECT_EQ(ret, -1);
    EXPECT_EQ(Run(kCmdRemoveInsert), E_NOINTERFACE);
}

TEST_F(ServicesLinkTest, ARefusedActivationOrAdviseLeavesTheLinkUnconnected)
{
    system_.created = false;
    Connect();
    EXPECT_EQ(system_.creations, 1);
    EXPECT_FALSE(link_->IsConnected());
    link_.reset();

    system_.created = true;
    server_.answers["Advise"] = E_FAIL;
    link_ = std::make_unique<ServicesLink>(&owner_, system_);
    owner_.link = link_.get();
    EXPECT_EQ(server_.calls, std::vector<std::string>({"Advise"})) << "nothing is queried after a refused Advise";
    EXPECT_FALSE(link_->IsConnected());
    EXPECT_EQ(server_.references, 0) << "the server's object is released";
    EXPECT_EQ(Run(kCmdReleaseSendReturn), E_NOINTERFACE);
}

TEST_F(ServicesLinkTest, AServerWithEverythingIsSubscribedRegisteredAndGivesAPair)
{
    link_ = std::make_unique<ServicesLink>(&owner_, system_);
    owner_.link = link_.get();
    EXPECT_EQ(server_.calls,
              std::vector<std::string>({"Advise", "QueryInterface EffectServices", "RegisterClient",
                                        "AcquireSendReturn 7", "QueryInterface EffectServices2",
                                        "QueryInterface ParamInfo", "QueryInterface EventSource", "EventAdvise"}));
    EXPECT_EQ(server_.notifyMask, 0x77FCu);
    EXPECT_EQ(server_.eventMask, 0x77FCu);
    EXPECT_NE(server_.notifyUser, 0u);
    EXPECT_EQ(server_.eventUser, server_.notifyUser);
    EXPECT_TRUE(link_->IsConnected());
    int32_t send = -1, ret = -1;
    ASSERT_TRUE(link_->GetSendReturnPair(&send, &ret));
    EXPECT_EQ(send, 2);
    EXPECT_EQ(ret, 2);

    server_.calls.clear();
    link_.reset();
    EXPECT_EQ(server_.calls, std::vector<std::string>(
                                 {"Unadvise 11", "ReleaseSendReturn 7", "UnregisterClient 7", "EventUnadvise 12"}));
    EXPECT_TRUE(Has(owner_.calls, "StopAsio reopen")) << "the driver lets go of the pair first";
    EXPECT_EQ(server_.references, 0) << "every interface released";
    // The server still holds both sinks; they go with its last reference.
    EXPECT_EQ(server_.notifySink->Release(), 0u);
    server_.notifySink = nullptr;
    EXPECT_EQ(server_.eventSink->Release(), 0u);
    server_.eventSink = nullptr;
}

TEST_F(ServicesLinkTest, WithoutParamInfoThereIsNoEventSourceAndItsCommandsAreNotImplemented)
{
    server_.offerParamInfo = false;
    link_ = std::make_unique<ServicesLink>(&owner_, system_);
    owner_.link = link_.get();
    EXPECT_FALSE(Has(server_.calls, "QueryInterface EventSource"));
    EXPECT_FALSE(Has(server_.calls, "EventAdvise"));
    EXPECT_EQ(server_.eventSink, nullptr);
    for (int32_t command = kCmdGetInsertNotifyId; command <= kCmdGetParameterText; ++command)
    {
        EXPECT_EQ(Run(command), E_NOTIMPL) << command;
    }
}

TEST_F(ServicesLinkTest, TearDownWithoutAClientNeitherReleasesNorUnregisters)
{
    server_.answers["RegisterClient"] = E_FAIL;
    Connect();
    EXPECT_EQ(link_->GetClientId(), 0);
    link_.reset();
    EXPECT_FALSE(Has(server_.calls, "ReleaseSendReturn 0"));
    EXPECT_FALSE(Has(server_.calls, "UnregisterClient 0"));
    EXPECT_EQ(std::count_if(server_.calls.begin(), server_.calls.end(),
                            [](const std::string& call) {
                                return call.find("Client") != std::string::npos ||
                                       call.find("SendReturn") != std::string::npos;
                            }),
              0);
}

enum class Server
{
    NoEffectServices,
    NoClient,
    NoSecond,
    Full
};

struct CommandCase
{
    const char* label;
    Server server;
    int32_t command;
    HRESULT result;
    const char* call; // what reached the server, or null for nothing
    bool display;
};

class ExecuteTest : public ServicesLinkTest, public ::testing::WithParamInterface<CommandCase>
{
};

TEST_P(ExecuteTest, ChecksInOrder)
{
    const CommandCase& c = GetParam();
    server_.offerEffectServices = c.server != Server::NoEffectServices;
    server_.offerSecond = c.server != Server::NoSecond;
    if (c.server == Server::NoClient)
    {
        server_.answers["RegisterClient"] = E_FAIL;
    }
    server_.answers["RefreshInserts"] = S_FALSE;
    server_.answers["SetParameterValue"] = E_INVALIDARG;
    Connect();
    EXPECT_EQ(Run(c.command), c.result);
    if (c.call)
    {
        EXPECT_EQ(server_.calls, std::vector<std::string>({c.call}));
    }
    else
    {
        EXPECT_TRUE(server_.calls.empty()) << server_.calls.front();
    }
    EXPECT_EQ(link_->TakeDisplayUpdate(), c.display);
    EXPECT_FALSE(link_->TakeDisplayUpdate()) << "asked once";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExecuteTest,
    ::testing::Values(
        CommandCase{"noEffectServices", Server::NoEffectServices, kCmdRemoveInsert, E_NOINTERFACE, nullptr, false},
        CommandCase{"belowTheTable", Server::Full, kFirstLinkCommand - 1, E_NOTIMPL, nullptr, false},
        CommandCase{"aboveTheTable", Server::Full, kLastLinkCommand + 1, E_NOTIMPL, nullptr, false},
        CommandCase{"removeWithoutClient", Server::NoClient, kCmdRemoveInsert, E_HANDLE, nullptr, true},
        CommandCase{"setEffectWithoutClient", Server::NoClient, kCmdSetInsertEffect, E_HANDLE, nullptr, true},
        CommandCase{"loadWithoutClient", Server::NoClient, kCmdLoadPresetIntoInsert, E_HANDLE, nullptr, true},
        CommandCase{"moveWithoutClient", Server::NoClient, kCmdMoveInsert, E_HANDLE, nullptr, true},
        CommandCase{"specialWithoutClient", Server::NoClient, kCmdSetSpecialInsert, E_HANDLE, nullptr, true},
        CommandCase{"selectWithoutClient", Server::NoClient, kCmdSelectPreset, E_HANDLE, nullptr, false},
        CommandCase{"corePresetNeedsAClient", Server::NoClient, kCmdDeleteCorePreset, E_HANDLE, nullptr, false},
        CommandCase{"channelsNeedNoClient", Server::NoClient, kCmdGetHardwareChannels, S_OK, "GetHardwareChannels",
                    false},
        CommandCase{"routingWithoutClient", Server::NoClient, kCmdSetSendInsertRouting, E_HANDLE, nullptr, false},
        CommandCase{"routingWithoutSecond", Server::NoSecond, kCmdSetSendInsertRouting, E_NOTIMPL, nullptr, false},
        CommandCase{"channelsWithoutSecond", Server::NoSecond, kCmdGetHardwareChannels, E_NOTIMPL, nullptr, false},
        CommandCase{"presetPassesClientZero", Server::NoClient, kCmdCreatePreset, S_OK, "CreatePreset 0", false},
        CommandCase{"removeWithClient", Server::Full, kCmdRemoveInsert, S_OK, "RemoveInsert 7", true},
        CommandCase{"refreshAnswersAsTheServer", Server::Full, kCmdRefreshInserts, S_FALSE, "RefreshInserts 7", false},
        CommandCase{"refusalPassesOn", Server::Full, kCmdSetParameterValue, E_INVALIDARG, "SetParameterValue 7", false},
        CommandCase{"reserved", Server::Full, kCmdClientRoutingCallA, S_OK, "Reserved54 7", false},
        CommandCase{"category2", Server::Full, kCmdClientRoutingCallB, S_OK, "EnableCategory2Items 7", false},
        CommandCase{"parameterText", Server::Full, kCmdGetParameterText, S_OK, "GetParameterText 7", false}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.label); });

TEST_F(ServicesLinkTest, GetInsertsAlwaysPassesRealOutPointersAndFreesWhatNobodyWanted)
{
    Connect();
    using S = Slots::GetInserts;
    CallBlock* block = link_->BeginCall();
    LONG* valueCounts = nullptr;
    block->a[S::kValueCounts] = reinterpret_cast<uintptr_t>(&valueCounts); // wanted; wet/dry and values not
    ASSERT_EQ(link_->Call(kCmdGetInserts), S_OK);
    EXPECT_EQ(block->a[S::kFactory], 1u);
    EXPECT_EQ(block->a[S::kCount], 1u);
    ASSERT_NE(valueCounts, nullptr);
    EXPECT_EQ(valueCounts[0], 1);
    CoTaskMemFree(valueCounts);
    CoTaskMemFree(reinterpret_cast<void*>(block->a[S::kEffects]));
    link_->EndCall();
    EXPECT_EQ(server_.calls, std::vector<std::string>({"GetInserts"}));
}

TEST_F(ServicesLinkTest, ANestedCallFailsItsOperationAndLeavesTheBlockFree)
{
    Connect();
    link_->BeginCall();
    try
    {
        link_->BeginCall();
        ADD_FAILURE() << "a nested call must fail";
    }
    catch (const CallBlockError& error)
    {
        EXPECT_TRUE(error.nested);
    }
    link_->EndCall();
    // Another thread gets the block: the failed call left nothing entered.
    auto other = std::async(std::launch::async, [this] { return Run(kCmdQueryClientState); });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "the lock stayed entered";
    EXPECT_EQ(other.get(), S_OK);
    try
    {
        link_->EndCall();
        ADD_FAILURE() << "an end without a beginning must fail";
    }
    catch (const CallBlockError& error)
    {
        EXPECT_FALSE(error.nested);
    }
    auto again = std::async(std::launch::async, [this] { return Run(kCmdQueryClientState); });
    ASSERT_EQ(again.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(again.get(), S_OK);
}

TEST_F(ServicesLinkTest, TheCommandFormsTakeAndGiveBackThePair)
{
    server_.answers["AcquireSendReturn"] = E_FAIL;
    Connect();
    server_.answers.clear();
    EXPECT_TRUE(link_->AcquireSendReturn());
    int32_t send = -1, ret = -1;
    EXPECT_TRUE(link_->GetSendReturnPair(&send, &ret));
    server_.answers["ReleaseSendReturn"] = E_FAIL;
    link_->ReleaseSendReturn();
    EXPECT_FALSE(link_->GetSendReturnPair(&send, &ret)) << "given back whatever the server answered";
    EXPECT_TRUE(Has(owner_.calls, "StopAsio reopen"));
}

struct NotifyCase
{
    const char* label;
    DWORD type;
    DWORD a;
    DWORD b;
    std::vector<Post> posts;
    std::vector<std::string> calls;
};

class NotifyTest : public ServicesLinkTest, public ::testing::WithParamInterface<NotifyCase>
{
};

TEST_P(NotifyTest, ActsOnOneBitAtATime)
{
    const NotifyCase& c = GetParam();
    Connect();
    ASSERT_NE(server_.eventSink, nullptr);
    server_.eventSink->Notify(c.type, server_.eventUser, c.a, c.b);
    EXPECT_EQ(owner_.posts, c.posts);
    EXPECT_EQ(server_.calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(Rows, NotifyTest,
                         ::testing::Values(NotifyCase{"twoBits", 0x20 | 0x40, 0, 0, {}, {}},
                                           NotifyCase{"reinit", 1, 0, 0, {}, {}},
                                           NotifyCase{"unknownBit", 0x800, 0, 0, {}, {}},
                                           NotifyCase{"attachedRefresh", 0x200, 0, 0, {{4355, 0, 0}}, {}},
                                           NotifyCase{"settings", 0x100, 0, 0, {{4355, 0, 0}}, {}},
                                           NotifyCase{"event1", 0x400, 3, 7, {{5633, 3, 7}}, {}},
                                           NotifyCase{"event2", 0x1000, 1, 2, {{5634, 1, 2}}, {}},
                                           NotifyCase{"event3", 0x2000, 1, 2, {{5635, 1, 2}}, {}},
                                           NotifyCase{"event4", 0x4000, 1, 2, {{5636, 1, 2}}, {}},
                                           NotifyCase{"presetChange", 0x8, 0, 0, {}, {"GetPresetChange"}},
                                           NotifyCase{"modelChange", 0x10, 0, 0, {}, {"GetParamModelChange"}}),
                         [](const ::testing::TestParamInfo<NotifyCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(ServicesLinkTest, ASessionLoadGivesThePairBackAndTakesItAgain)
{
    Connect();
    server_.notifySink->Notify(0x20, server_.notifyUser);
    EXPECT_EQ(server_.calls, std::vector<std::string>({"ReleaseSendReturn 7", "ClearInsertChainFlag 7"}));
    EXPECT_EQ(owner_.calls, std::vector<std::string>({"StopAsio reopen"}));
    EXPECT_TRUE(link_->IsLoadingSession());
    EXPECT_FALSE(link_->GetInserts().IsAttached());
    EXPECT_TRUE(owner_.posts.empty()) << "an empty chain posts no detach";
    server_.calls.clear();
    owner_.calls.clear();

    server_.notifySink->Notify(0x40, server_.notifyUser);
    EXPECT_EQ(server_.calls,
              std::vector<std::string>({"AcquireSendReturn 7", "RefreshInserts 7", "SetInsertChainFlag 7"}));
    EXPECT_EQ(owner_.calls, std::vector<std::string>({"OnAssignmentChanged", "RebuildParamMap"}));
    EXPECT_EQ(owner_.posts, std::vector<Post>({{4612, 0, 0}, {4355, 0, 0}}));
    EXPECT_FALSE(link_->IsLoadingSession());
    EXPECT_TRUE(link_->GetInserts().IsAttached());
    int32_t send = -1, ret = -1;
    EXPECT_TRUE(link_->GetSendReturnPair(&send, &ret));
}

TEST_F(ServicesLinkTest, Above48kHzTheLoadsEndGivesThePairBack)
{
    Connect();
    owner_.rate = 96000;
    server_.notifySink->Notify(0x80, server_.notifyUser);
    server_.calls.clear();
    owner_.calls.clear();
    server_.notifySink->Notify(0x40, server_.notifyUser);
    EXPECT_EQ(server_.calls, std::vector<std::string>({"AcquireSendReturn 7", "ReleaseSendReturn 7"}));
    EXPECT_EQ(owner_.calls, std::vector<std::string>({"OnAssignmentChanged", "StopAsio reopen"}));
    EXPECT_EQ(owner_.posts, std::vector<Post>({{4355, 0, 0}}));
    int32_t send = -1, ret = -1;
    EXPECT_FALSE(link_->GetSendReturnPair(&send, &ret));
    EXPECT_FALSE(link_->IsLoadingSession());
}

TEST_F(ServicesLinkTest, TheLoadsEndWithoutAClientChangesNothing)
{
    server_.answers["RegisterClient"] = E_FAIL;
    Connect();
    server_.notifySink->Notify(0x20, server_.notifyUser);
    EXPECT_TRUE(link_->IsLoadingSession());
    server_.notifySink->Notify(0x40, server_.notifyUser);
    EXPECT_TRUE(link_->IsLoadingSession()) << "still loading";
    EXPECT_TRUE(owner_.posts.empty());
    EXPECT_TRUE(server_.calls.empty());
}

TEST_F(ServicesLinkTest, ADetachedChainIsRefreshedOnItsNotification)
{
    Connect();
    server_.notifySink->Notify(0x20, server_.notifyUser);
    server_.calls.clear();
    owner_.calls.clear();
    server_.notifySink->Notify(0x200, server_.notifyUser);
    EXPECT_EQ(server_.calls,
              std::vector<std::string>({"AcquireSendReturn 7", "RefreshInserts 7", "SetInsertChainFlag 7"}));
    EXPECT_EQ(owner_.calls, std::vector<std::string>({"RebuildParamMap", "OnAssignmentChanged"}));
    EXPECT_EQ(owner_.posts, std::vector<Post>({{4612, 0, 0}, {4355, 0, 0}}));

    // A refresh the engine refuses (S_FALSE: its flag stayed 0) gives the pair back.
    server_.notifySink->Notify(0x20, server_.notifyUser);
    server_.calls.clear();
    server_.answers["RefreshInserts"] = S_FALSE;
    server_.notifySink->Notify(0x200, server_.notifyUser);
    EXPECT_EQ(server_.calls,
              std::vector<std::string>({"AcquireSendReturn 7", "RefreshInserts 7", "ReleaseSendReturn 7"}));
}

TEST_F(ServicesLinkTest, TerminateDropsTheLinkInsideItsOwnNotification)
{
    Connect();
    IKivCorvanNotify* sink = server_.notifySink;
    EXPECT_EQ(sink->Notify(KivKDSPASIO_Terminate, server_.notifyUser), S_OK);
    EXPECT_EQ(server_.calls, std::vector<std::string>({"ReleaseSendReturn 7", "UnregisterClient 7", "Unadvise 11"}));
    EXPECT_EQ(owner_.posts, std::vector<Post>({{5121, 0, 0}}));
    EXPECT_FALSE(link_->IsConnected());
    EXPECT_EQ(Run(kCmdRemoveInsert), E_NOINTERFACE) << "every command after the end";
    // The server still holds the sink it called: it stays until released.
    EXPECT_EQ(sink->Notify(0x400, server_.notifyUser), S_OK);
    EXPECT_EQ(owner_.posts.size(), 2u);
    server_.calls.clear();
    link_.reset();
    EXPECT_EQ(server_.calls, std::vector<std::string>({"EventUnadvise 12"}));
    EXPECT_EQ(sink->Notify(0x400, server_.notifyUser), S_OK) << "a gone link's handle names nobody";
    EXPECT_EQ(owner_.posts.size(), 2u);
}

TEST_F(ServicesLinkTest, UnknownAndNullHandlesAreIgnored)
{
    Connect();
    server_.eventSink->Notify(0x400, server_.eventUser + 50, 1, 2);
    server_.eventSink->Notify(0x400, 0, 1, 2);
    server_.notifySink->Notify(0x100, 0xFFFFFFFFu);
    EXPECT_TRUE(owner_.posts.empty());
}

TEST_F(ServicesLinkTest, UndeliveredPayloadsAreFreed)
{
    Connect();
    // The owner takes nothing (no editor): the link frees the payload. A leak or a double
    // free shows under the native sanitizers through FreeUndeliveredMessage's own test.
    void* payload = std::malloc(260);
    EXPECT_FALSE(link_->PostToEditor(kMessagePresetChanged, 0, reinterpret_cast<uintptr_t>(payload)));
    EXPECT_EQ(owner_.posts.size(), 1u);
}

} // namespace
