// KivQuorvel with the mixer program running: the instance finds it, connects over COM,
// registers with the simulated engine, gets a send and return pair, and its audio runs out
// through the card's loop and back. Instances in hosts (tools/vsthost), loaded from the
// plug-in file in this process, or made here with the link this program records.
#include "mixer/app/Application.h"
#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/names/WindowMessages.h"
#include "plugins/base/platform/PlatformBase.h"
#include "plugins/base/vst/VstRecord.h"
#include "plugins/quorvel/KivQuorvelEffect.h"
#include "plugins/quorvel/ServicesLink.h"
#include "plugins/quorvel/StateChunk.h"
#include "plugins/quorvel/tests/QuorvelTrip.h"
#include "plugins/quorvel/tests/SpecialChunk.h"
#include "plugins/quorvel/tests/WithTheMixer.h"
#include "standins/asio/StandinTestConfig.h"
#include "standins/engine/EngineControl.h"
#include "tests/mixer/MixerServer.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

// The mixer program as the link finds it, and the services thread each link is made on.
class RecordingSystem final : public ServicesSystem
{
public:
    bool IsMixerRunning() override { return ServicesSystem::Win32().IsMixerRunning(); }
    HRESULT CreateServices(IKivCorvanServices** services) override
    {
        servicesThread.store(GetCurrentThreadId());
        return ServicesSystem::Win32().CreateServices(services);
    }
    std::atomic<DWORD> servicesThread{0};
};

RecordingSystem gSystem;
std::atomic<ServicesLink*> gLink{nullptr}; // the last link made for an instance made here

} // namespace

ServicesConnection* CreateServicesLink(ServicesLinkOwner* owner)
{
    ServicesLink* link = new (std::nothrow) ServicesLink(owner, gSystem);
    gLink.store(link);
    return link;
}

namespace
{

VstValue KIV_VSTCALL InProcessHost(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : 0;
}

// Whether a client of the test's own can take a pair now (given back at once when it can).
bool APairIsFree(IKivCorvanEffectServices* effects, LONG client)
{
    KivSendReturn record{};
    LONG send = -1, ret = -1;
    if (effects->AcquireSendReturn(client, &record, &send, &ret) != S_OK)
    {
        return false;
    }
    effects->ReleaseSendReturn(client);
    return true;
}

// Waits up to a minute for the card's pairs to be free (or not). Each probe holds a free pair
// for a moment: only for pairs that no instance is asking for meanwhile.
bool WaitForFreePair(IKivCorvanEffectServices* effects, LONG client, bool free)
{
    for (int i = 0; i < 120; ++i)
    {
        Sleep(500);
        if (APairIsFree(effects, client) == free)
        {
            return true;
        }
    }
    return false;
}

// Four clients of the test's own on the mixer program's effect services; the first three take
// a pair each, the fourth probes the one left. Unregistered again at the end.
class OwnClients
{
public:
    OwnClients() = default;
    ~OwnClients()
    {
        if (effects)
        {
            for (LONG client : clients)
            {
                effects->UnregisterClient(client);
            }
            effects->Release();
        }
    }
    OwnClients(const OwnClients&) = delete;
    OwnClients& operator=(const OwnClients&) = delete;

    void TakeThreePairs(IKivCorvanServices* services)
    {
        ASSERT_EQ(services->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effects)), S_OK);
        for (LONG& client : clients)
        {
            ASSERT_EQ(effects->RegisterClient(&client), S_OK);
        }
        for (int i = 0; i < 3; ++i)
        {
            KivSendReturn record{};
            LONG send = -1, ret = -1;
            ASSERT_EQ(effects->AcquireSendReturn(clients[i], &record, &send, &ret), S_OK) << i;
        }
    }
    bool LastPairIsFree() { return APairIsFree(effects, clients[3]); }

    // What the engine's call log tells of the pairs of clients other than these (the
    // instance's): whether one holds a pair now and how many it was given so far. Asking the
    // engine for the last pair instead would hold it for a moment, and an instance asking just
    // then is refused and does not ask again.
    struct OtherPairs
    {
        bool held = false;
        int given = 0;
        int holders = 0; // clients holding one now
    };
    OtherPairs ReadOtherPairs() const
    {
        OtherPairs pairs;
        std::map<LONG, bool> holds;
        std::istringstream log(EngineLog());
        for (std::string line; std::getline(log, line);)
        {
            std::istringstream words(line);
            std::string call, pair;
            LONG client = 0;
            if (!(words >> call >> client) ||
                std::find(std::begin(clients), std::end(clients), client) != std::end(clients))
            {
                continue;
            }
            words >> pair;
            if (call == "AcquireSendReturn" && pair != "refused:")
            {
                holds[client] = true;
                ++pairs.given;
            }
            else if (call == "ReleaseSendReturn" || call == "UnregisterClient")
            {
                holds[client] = false;
            }
        }
        for (const auto& hold : holds)
        {
            pairs.held = pairs.held || hold.second;
            pairs.holders += hold.second ? 1 : 0;
        }
        return pairs;
    }
    // Waits up to a minute (a host program's start under Wine on a loaded machine took longer
    // than 20 s) until the other clients' pairs pass the test.
    template <typename Test>
    bool WaitForOtherPairs(Test test) const
    {
        for (int i = 0; i < 120; ++i)
        {
            if (test(ReadOtherPairs()))
            {
                return true;
            }
            Sleep(500);
        }
        return false;
    }
    bool WaitForOtherPair(bool held) const
    {
        return WaitForOtherPairs([held](const OtherPairs& pairs) { return pairs.held == held; });
    }

    IKivCorvanEffectServices* effects = nullptr;
    LONG clients[4] = {};
};

// The plug-in loaded in this process, as a host loads it: each instance connects to the mixer
// on its own services thread. Instances still open are closed at the end.
class LoadedPlugin
{
public:
    LoadedPlugin() : library_(LoadLibraryA(WindowsPath(KIV_QUORVEL).c_str())) {}
    ~LoadedPlugin()
    {
        while (!instances_.empty())
        {
            Close(instances_.back());
        }
        if (library_)
        {
            FreeLibrary(library_);
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    VstEffectRecord* Make()
    {
        auto entry = library_ ? reinterpret_cast<VstEffectRecord*(KIV_VSTCALL*)(VstHostCallback)>(
                                    reinterpret_cast<void*>(GetProcAddress(library_, "main")))
                              : nullptr;
        VstEffectRecord* instance = entry ? entry(&InProcessHost) : nullptr;
        if (instance)
        {
            instances_.push_back(instance);
        }
        return instance;
    }
    void Close(VstEffectRecord* instance)
    {
        instance->dispatcher(instance, kEffClose, 0, 0, nullptr, 0.0f);
        instances_.erase(std::find(instances_.begin(), instances_.end(), instance));
    }

private:
    HMODULE library_;
    std::vector<VstEffectRecord*> instances_;
};

TEST_F(QuorvelWithTheMixer, AnInstanceGetsAPairAndItsAudioComesBackThroughTheCard)
{
    const Trip trip = RunTripThroughTheCard(KIV_QUORVEL);
    ASSERT_EQ(trip.run.exitCode, 0u) << trip.run.output;
    EXPECT_EQ(trip.reported, 1791) << trip.run.output;
    EXPECT_EQ(trip.measured, 1791) << "not passed through: the pair runs" << trip.run.output;
    EXPECT_EQ(trip.mismatches, 0) << trip.run.output;
}

TEST_F(QuorvelWithTheMixer, WithEveryPairTakenTheInstancePassesThroughUntilOneIsFree)
{
    // Four clients of the test's own take the card's four pairs (8 x 8 channels).
    IKivCorvanEffectServices* effects = nullptr;
    ASSERT_EQ(services_->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effects)), S_OK);
    LONG clients[4] = {};
    std::set<LONG> pairs;
    for (LONG& client : clients)
    {
        ASSERT_EQ(effects->RegisterClient(&client), S_OK);
        KivSendReturn record{};
        LONG send = -1, ret = -1;
        ASSERT_EQ(effects->AcquireSendReturn(client, &record, &send, &ret), S_OK);
        EXPECT_EQ(send, ret);
        pairs.insert(send);
    }
    EXPECT_EQ(pairs, (std::set<LONG>{0, 1, 2, 3})) << "every client a pair of its own";

    const Trip through = RunTrip(KIV_QUORVEL, "", 512, 40, 1.0, 0);
    ASSERT_EQ(through.run.exitCode, 0u) << through.run.output;
    EXPECT_EQ(through.measured, 0) << "no pair left: passed through" << through.run.output;
    EXPECT_EQ(through.mismatches, 0) << through.run.output;

    EXPECT_EQ(effects->ReleaseSendReturn(clients[0]), S_OK);
    const Trip card = RunTripThroughTheCard(KIV_QUORVEL);
    ASSERT_EQ(card.run.exitCode, 0u) << card.run.output;
    EXPECT_EQ(card.measured, 1791) << "the freed pair runs" << card.run.output;
    EXPECT_EQ(card.mismatches, 0) << card.run.output;
    for (LONG client : clients)
    {
        effects->UnregisterClient(client);
    }
    effects->Release();
}

TEST_F(QuorvelWithTheMixer, ASessionLoadGivesThePairBackAndItsEndTakesItAgain)
{
    LoadedPlugin plugin;
    VstEffectRecord* instance = plugin.Make();
    ASSERT_NE(instance, nullptr);
    // The instance holds one pair: three more clients take the rest.
    OwnClients own;
    ASSERT_NO_FATAL_FAILURE(own.TakeThreePairs(services_));
    EXPECT_TRUE(own.ReadOtherPairs().held) << "the instance holds the fourth";
    HWND mixer = FindWindowA("Varn Services", nullptr);
    ASSERT_NE(mixer, nullptr);
    PostMessageA(mixer, WindowMessage::kFireNotify, 0x20, 0);
    EXPECT_TRUE(own.WaitForOtherPair(false)) << "a session load gives the pair back" << EngineLog();
    PostMessageA(mixer, WindowMessage::kFireNotify, 0x40, 0);
    EXPECT_TRUE(own.WaitForOtherPair(true)) << "its end takes it again" << EngineLog();
    EXPECT_FALSE(own.LastPairIsFree());
    plugin.Close(instance);
    EXPECT_TRUE(own.LastPairIsFree()) << "a closed instance gives its pair back";
}

TEST_F(QuorvelWithTheMixer, InstancesInOneHostTakeAPairEachAndOneMoreThanTheCardHasPassesThrough)
{
    IKivCorvanEffectServices* effects = nullptr;
    ASSERT_EQ(services_->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effects)), S_OK);
    LONG probe = 0;
    ASSERT_EQ(effects->RegisterClient(&probe), S_OK);
    // Four instances in this process, the card's four pairs (8 x 8 channels): none left over
    // means no two instances share one.
    LoadedPlugin plugin;
    VstEffectRecord* first = plugin.Make();
    ASSERT_NE(first, nullptr);
    for (int i = 1; i < 4; ++i)
    {
        ASSERT_NE(plugin.Make(), nullptr) << i;
    }
    EXPECT_TRUE(WaitForFreePair(effects, probe, false)) << "every instance holds a pair of its own";

    const Trip through = RunTrip(KIV_QUORVEL, "", 512, 40, 1.0, 0);
    ASSERT_EQ(through.run.exitCode, 0u) << through.run.output;
    EXPECT_EQ(through.measured, 0) << "the fifth instance passes through" << through.run.output;
    EXPECT_EQ(through.mismatches, 0) << through.run.output;

    plugin.Close(first);
    EXPECT_TRUE(APairIsFree(effects, probe)) << "the others keep theirs: one is free";
    effects->UnregisterClient(probe);
    effects->Release();
}

// A host started in the background, killed at the end if it still runs.
class BackgroundHost
{
public:
    explicit BackgroundHost(const std::string& arguments)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        const std::string command =
            "\"" + WindowsPath(KIV_VSTHOST) + "\" \"" + WindowsPath(KIV_QUORVEL) + "\" " + arguments;
        started_ = StartProcess(nullptr, command, FALSE, startup, &process_);
    }
    ~BackgroundHost() { Kill(); }
    BackgroundHost(const BackgroundHost&) = delete;
    BackgroundHost& operator=(const BackgroundHost&) = delete;

    bool Started() const { return started_; }
    void Kill()
    {
        if (!started_)
        {
            return;
        }
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 30000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        started_ = false;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// A host killed while its instances hold the card's four pairs takes none with it: the mixer
// finds its sinks gone and gives the pairs back, and the next host's instance gets one.
TEST_F(QuorvelWithTheMixer, AKilledHostsPairsGoToTheNextHost)
{
    OwnClients own; // none of its own: reads the instances' pairs from the engine's log
    BackgroundHost killed("--open 3 --seconds 600");
    ASSERT_TRUE(killed.Started()) << GetLastError();
    ASSERT_TRUE(own.WaitForOtherPairs([](const OwnClients::OtherPairs& pairs) { return pairs.holders == 4; }))
        << "the host's four instances hold the card's four pairs\n"
        << EngineLog();
    killed.Kill();

    const Trip next = RunTripThroughTheCard(KIV_QUORVEL);
    ASSERT_EQ(next.run.exitCode, 0u) << next.run.output;
    EXPECT_EQ(next.measured, 1791) << "the next host's instance runs through the card" << next.run.output
                                   << EngineLog();
    EXPECT_EQ(next.mismatches, 0) << next.run.output;
}

// Whether the samples of `returned` from `from` on are those of `sent`: passed through.
bool PassedThroughFrom(const StereoSignal& sent, const StereoSignal& returned, size_t from)
{
    for (size_t t = from; t < sent.left.size(); ++t)
    {
        if (std::fabs(returned.left[t] - sent.left[t]) > 1e-6 || std::fabs(returned.right[t] - sent.right[t]) > 1e-6)
        {
            return false;
        }
    }
    return true;
}

// A session load (0x20, or 0x80) and its end while the audio runs in real time: the instance
// gives its pair back and takes it again, and at 44.1 kHz its audio runs through the card again; above 48 kHz
// it gives the pair back at once and passes the audio through.
TEST_F(QuorvelWithTheMixer, AfterASessionLoadTheAudioRunsThroughTheCardAgainOrPassesThroughAbove48kHz)
{
    struct Case
    {
        int rate;
        WPARAM load; // the notification that begins the load
        bool throughTheCard;
    };
    for (const Case& c : {Case{44100, 0x20, true}, Case{44100, 0x80, true}, Case{96000, 0x20, false}})
    {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, load " + std::to_string(c.load));
        OwnClients own;
        ASSERT_NO_FATAL_FAILURE(own.TakeThreePairs(services_));
        const int block = 512;
        StereoSignal sent = Noise(block * (20 * c.rate / block));
        sent.sampleRate = c.rate;
        StereoSignal returned;
        HostRun run;
        std::thread host(
            [&] { run = RunSignal(KIV_QUORVEL, "--rate " + std::to_string(c.rate), block, sent, &returned); });
        const bool taken = own.WaitForOtherPair(true);
        HWND mixer = FindWindowA("Varn Services", nullptr);
        EXPECT_NE(mixer, nullptr);
        PostMessageA(mixer, WindowMessage::kFireNotify, c.load, 0);
        const bool given = own.WaitForOtherPair(false);
        const int givenBefore = own.ReadOtherPairs().given;
        PostMessageA(mixer, WindowMessage::kFireNotify, 0x40, 0);
        bool afterTheEnd = false;
        if (c.throughTheCard)
        {
            afterTheEnd = own.WaitForOtherPair(true);
        }
        else
        {
            // The instance takes the pair and gives it back.
            afterTheEnd = own.WaitForOtherPairs(
                [givenBefore](const OwnClients::OtherPairs& now) { return now.given > givenBefore && !now.held; });
        }
        const std::string log = EngineLog();
        host.join();
        EXPECT_TRUE(taken) << "the instance took the last pair" << run.output << log;
        EXPECT_TRUE(given) << "the load gave it back" << run.output << log;
        EXPECT_TRUE(afterTheEnd) << (c.throughTheCard ? "its end took it again" : "its end took it and gave it back")
                                 << run.output << log;
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        ASSERT_EQ(returned.left.size(), sent.left.size()) << run.output;
        // The last two seconds: passed through as sent, or through the card's loop. The card's
        // clock runs in real time here and a loaded machine drops buffers, so what came back
        // through the card is only known not to be the input passed through, and not silence.
        const size_t from = sent.left.size() - 2 * static_cast<size_t>(c.rate);
        EXPECT_EQ(PassedThroughFrom(sent, returned, from), !c.throughTheCard) << run.output;
        double energy = 0.0;
        for (size_t t = from; t < returned.left.size(); ++t)
        {
            energy += returned.left[t] * returned.left[t];
        }
        EXPECT_GT(energy, 0.0) << run.output;
    }
}

// The mixer program quits while an instance in a host holds a pair and its audio runs: the
// instance hears Terminate, drops its link and passes its audio through from then on; the host
// runs on to its end.
TEST_F(QuorvelWithTheMixer, QuittingTheMixerDropsTheLinkAndTheAudioPassesThrough)
{
    OwnClients own;
    ASSERT_NO_FATAL_FAILURE(own.TakeThreePairs(services_));
    const int rate = 44100;
    const int block = 512;
    const StereoSignal sent = Noise(block * (30 * rate / block));
    StereoSignal returned;
    HostRun run;
    std::thread host([&] { run = RunSignal(KIV_QUORVEL, "", block, sent, &returned); });
    const bool taken = own.WaitForOtherPair(true);
    const std::string log = EngineLog();
    ReleaseServices();
    const bool ended = EndMixerProgram();
    host.join();
    EXPECT_TRUE(taken) << "the instance took the last pair" << run.output << log;
    EXPECT_TRUE(ended) << "the mixer program ended on its quit";
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_EQ(returned.left.size(), sent.left.size()) << run.output;
    const size_t from = sent.left.size() - 2 * static_cast<size_t>(rate);
    EXPECT_TRUE(PassedThroughFrom(sent, returned, from)) << run.output;
}

// Without the mixer program an instance neither starts it nor waits for it: its audio passes
// through.
TEST_F(QuorvelWithTheMixer, WithoutTheMixerNothingIsAttempted)
{
    ReleaseServices();
    ASSERT_TRUE(EndMixerProgram());
    ASSERT_FALSE(ServicesSystem::Win32().IsMixerRunning());
    const Trip through = RunTrip(KIV_QUORVEL, "", 512, 40, 1.0, 0);
    ASSERT_EQ(through.run.exitCode, 0u) << through.run.output;
    EXPECT_EQ(through.measured, 0) << "passed through" << through.run.output;
    EXPECT_EQ(through.mismatches, 0) << through.run.output;
    EXPECT_FALSE(ServicesSystem::Win32().IsMixerRunning())
        << "the instance started the mixer program" << through.run.output;
}

// A command through the link's call block, as the model's operations on the host's threads
// run it.
HRESULT RunCommand(ServicesLink* link, int32_t command)
{
    link->BeginCall();
    const HRESULT result = link->Call(command);
    link->EndCall();
    return result;
}

// An instance made here, with its link, after the test's own clients took three pairs: it
// connects, takes the pair left, and the mixer program answers its commands.
void MakeConnectedInstance(OwnClients& own, std::unique_ptr<KivQuorvelEffect>* effect, ServicesLink** link)
{
    ASSERT_NO_FATAL_FAILURE(own.TakeThreePairs(QuorvelWithTheMixer::Services()));
    *effect = std::make_unique<KivQuorvelEffect>(&InProcessHost);
    ASSERT_FALSE((*effect)->Failed());
    *link = gLink.load();
    ASSERT_TRUE(*link && (*link)->IsConnected());
    EXPECT_NE((*link)->GetClientId(), 0);
    EXPECT_EQ(RunCommand(*link, kCmdClientRoutingCallB), S_OK) << "answered by the mixer program";
    EXPECT_TRUE(own.ReadOtherPairs().held) << "the instance holds the fourth";
}

// Notifications that arrive while host threads' commands run on the services thread are
// handled there, in between or inside the commands' calls, and nobody waits for anybody.
TEST_F(QuorvelWithTheMixer, NotificationsDuringAHostThreadsCommandsDoNotDeadlock)
{
    OwnClients own;
    std::unique_ptr<KivQuorvelEffect> effect;
    ServicesLink* link = nullptr;
    ASSERT_NO_FATAL_FAILURE(MakeConnectedInstance(own, &effect, &link));
    HWND mixer = FindWindowA("Varn Services", nullptr);
    ASSERT_NE(mixer, nullptr);
    std::atomic<bool> done{false};
    auto host = std::async(std::launch::async, [&] {
        int answered = 0;
        while (!done.load())
        {
            answered += RunCommand(link, kCmdClientRoutingCallB) == S_OK ? 1 : 0; // the mixer program answers it
        }
        return answered;
    });
    // Session loads and their ends (taking the pair again) and session changes, while the
    // host thread's commands run.
    for (int i = 0; i < 20; ++i)
    {
        PostMessageA(mixer, WindowMessage::kFireNotify, 0x20, 0);
        PostMessageA(mixer, WindowMessage::kFireNotify, 0x100, 0);
        PostMessageA(mixer, WindowMessage::kFireNotify, 0x40, 0);
        Sleep(100);
    }
    const bool taken = own.WaitForOtherPair(true);
    done.store(true);
    ASSERT_EQ(host.wait_for(std::chrono::seconds(120)), std::future_status::ready) << "deadlock";
    EXPECT_GT(host.get(), 0);
    EXPECT_TRUE(taken) << "the last session end gave the instance its pair again" << EngineLog();
    EXPECT_EQ(RunCommand(link, kCmdClientRoutingCallB), S_OK);
    effect.reset();
    EXPECT_TRUE(own.LastPairIsFree()) << "a closed instance gives its pair back";
}

// A services thread that got a quit message gives its pair back and unregisters before it ends
// and runs no more commands: each one from another thread fails as unexpected at once, and the
// instance still closes.
TEST_F(QuorvelWithTheMixer, AfterTheServicesThreadQuitEveryCommandFailsAsUnexpected)
{
    OwnClients own;
    std::unique_ptr<KivQuorvelEffect> effect;
    ServicesLink* link = nullptr;
    ASSERT_NO_FATAL_FAILURE(MakeConnectedInstance(own, &effect, &link));
    ASSERT_TRUE(PostThreadMessageA(gSystem.servicesThread.load(), WM_QUIT, 0, 0));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (effect->RunOnServicesThread(0) && std::chrono::steady_clock::now() < end)
    {
        Sleep(10);
    }
    EXPECT_EQ(RunCommand(link, kCmdClientRoutingCallB), E_UNEXPECTED);
    EXPECT_EQ(RunCommand(link, kCmdAcquireSendReturn), E_UNEXPECTED);
    EXPECT_TRUE(own.LastPairIsFree()) << "the ended thread gave its pair back";
    effect.reset();
}

// The first effect of the mixer's core effects category: its id and name.
bool FirstCoreEffect(IKivCorvanServices* services, EffectId* id, std::u16string* name)
{
    IKivCorvanEffectServices* effects = nullptr;
    LONG categoryCount = 0;
    KivEffectCategory* categories = nullptr;
    if (services->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effects)) != S_OK)
    {
        return false;
    }
    if (effects->GetEffectCatalog(&categoryCount, &categories) != S_OK)
    {
        effects->Release();
        return false;
    }
    bool found = false;
    for (LONG c = 0; c < categoryCount && !found; ++c)
    {
        LONG count = 0;
        KivEffectPreset* presets = nullptr;
        if (categories[c].isCore == 1 && effects->GetEffectPresets(&categories[c], &count, &presets) == S_OK &&
            count > 0)
        {
            for (int i = 0; i < 4; ++i)
            {
                id->data[i] = presets[0].id.data[i];
            }
            *name = reinterpret_cast<const char16_t*>(presets[0].name);
            found = true;
        }
        CoTaskMemFree(presets);
    }
    CoTaskMemFree(categories);
    effects->Release();
    return found;
}

std::vector<uint8_t> GetChunk(VstEffectRecord* instance)
{
    void* data = nullptr;
    const auto size = static_cast<size_t>(instance->dispatcher(instance, kEffGetChunk, 0, 0, &data, 0.0f));
    return data ? std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size)
                : std::vector<uint8_t>();
}

// A state chunk of a chain of the mixer's first core effect (its id in `effect`) and a trim
// pot, with their information as the simulated engine gives it (as a chunk the plug-in saved
// holds it), made with the plug-in's own code, which takes memory from the platform.
std::unique_ptr<AlignedBuffer> CoreEffectAndTrimPotChunk(IKivCorvanServices* services, EffectId* effect)
{
    std::u16string effectName;
    InsertStateList chain;
    if (!FirstCoreEffect(services, effect, &effectName) || !CreatePlatform(0x10000) || !chain.Reset(2))
    {
        return nullptr;
    }
    auto* dsp = static_cast<DspEffectState*>(chain.CreateAt(0, kInsertDspEffect));
    dsp->preset.id = *effect;
    dsp->info = InsertInfo{{}, 1, 1, 1, 4, 5};
    effectName.copy(dsp->info.shortName, 10);
    InsertState* trim = chain.CreateAt(1, kInsertTrimPot);
    trim->info = InsertInfo{{u'T', u'r', u'i', u'm', u' ', u'P', u'o', u't'}, 1, 0, 0, -1, -1};
    return MakeStateChunk(chain);
}

// A host loads a project: the chunk's chain is set up in the mixer and saved again as it was.
TEST_F(QuorvelWithTheMixer, AChunksChainIsRestoredInTheMixerAndSavedAgain)
{
    EffectId effect{};
    std::unique_ptr<AlignedBuffer> chunk = CoreEffectAndTrimPotChunk(services_, &effect);
    ASSERT_TRUE(chunk);

    LoadedPlugin plugin;
    VstEffectRecord* instance = plugin.Make();
    ASSERT_NE(instance, nullptr);
    const auto size = static_cast<int32_t>(chunk->Size());
    ASSERT_EQ(instance->dispatcher(instance, kEffSetChunk, 0, size, chunk->Data(), 0.0f), size);

    const std::vector<uint8_t> saved = GetChunk(instance);
    InsertStateList read;
    ASSERT_TRUE(ParseStateChunk(saved.data(), saved.size(), nullptr, &read));
    ASSERT_EQ(read.Count(), 2u);
    EXPECT_EQ(read.At(0)->kind, kInsertDspEffect);
    EXPECT_EQ(static_cast<DspEffectState*>(read.At(0))->preset.id, effect);
    EXPECT_EQ(read.At(1)->kind, kInsertTrimPot);
    EXPECT_GT(read.At(0)->valueCount, 0u) << "the mixer described the effect's parameters";

    // The same chunk again: the chain matches, only its values are taken.
    ASSERT_EQ(instance->dispatcher(instance, kEffSetChunk, 0, static_cast<int32_t>(saved.size()),
                                   const_cast<uint8_t*>(saved.data()), 0.0f),
              static_cast<int32_t>(saved.size()));
    EXPECT_EQ(GetChunk(instance), saved);
}

// The host's parameter calls on an instance whose chain (a DSP effect and a trim pot) the
// mixer runs, made while the audio runs in calls of uneven lengths: values set are read back at
// once and after the run and reach the engine, the texts come from the mixer's descriptors, and
// indices past the chain's parameters are unmapped.
TEST_F(QuorvelWithTheMixer, TheHostsParameterCallsReachTheChainWhileTheAudioRuns)
{
    EffectId effect{};
    const std::unique_ptr<AlignedBuffer> chunk = CoreEffectAndTrimPotChunk(services_, &effect);
    ASSERT_TRUE(chunk);
    std::string hex;
    for (size_t i = 0; i < chunk->Size(); ++i)
    {
        char pair[3];
        std::snprintf(pair, sizeof(pair), "%02x", static_cast<const uint8_t*>(chunk->Data())[i]);
        hex += pair;
    }
    const HostRun run = RunHost(KIV_VSTHOST, KIV_QUORVEL,
                                "--block 333 --calls uneven --seconds 6 --set-chunk " + hex +
                                    " --params 0=0.25,1=0.6,2=3,3=0.5,4=1,5=0.5,6=0.25,7=1,8=0.75,9,255");
    const std::string log = EngineLog();
    ASSERT_EQ(run.exitCode, 0u) << run.output;

    // The map skips the meters (3, 10) and the hidden parameter (5) of the effect: the host's
    // indices are Gain, Mode, Steps, Mix, Reset, Taps, Tone, Drive, then the trim pot's Gain. A
    // value past 1 is taken as 1.
    struct Call
    {
        const char* set; // what the host set, or "" for a read
        const char* read;
    };
    const std::pair<int, Call> calls[] = {
        {0, {", set 0.25", ": 0.250000, name \"Reverb:Gain\", display \"0.25\", label \"dB\""}},
        {1, {", set 0.6", ": 0.500000, name \"Reverb:Mode\", display \"1\", label \"\""}},
        {2, {", set 3", ": 1.000000, name \"Reverb:Steps\", display \"On\", label \"\""}},
        {3, {", set 0.5", ": 0.500000, name \"Reverb:Mix\", display \"0.50\", label \"dB\""}},
        {4, {", set 1", ": 0.000000, name \"Reverb:Reset\", display \" - \", label \"\""}},
        {5, {", set 0.5", ": 0.571429, name \"Reverb:Taps\", display \"5\", label \"\""}}, // 1-8: the nearest step
        {6, {", set 0.25", ": 0.250000, name \"Reverb:Tone\", display \"0.25\", label \"dB\""}},
        {7, {", set 1", ": 1.000000, name \"Reverb:Drive\", display \"1.00\", label \"dB\""}},
        {8, {", set 0.75", ": 0.750000, name \"Trim Pot:Gain\", display \"0.75\", label \"dB\""}},
        {9, {"", ": 0.000000, name \"unmapped\", display \" NA \", label \" NA \""}},
        {255, {"", ": 0.000000, name \"unmapped\", display \" NA \", label \" NA \""}},
    };
    for (const auto& call : calls)
    {
        const std::string index = "parameter " + std::to_string(call.first);
        const std::string during = index + " while processing" + call.second.set + call.second.read + "\n";
        const std::string after = index + " after the run" + call.second.read + "\n";
        EXPECT_NE(run.output.find(during), std::string::npos) << during << run.output;
        EXPECT_NE(run.output.find(after), std::string::npos) << after << run.output;
    }
    // Position, parameter, kind and value as the engine was asked (0.25f, 1, 1, 0.5f, 0, 5, 0.25f,
    // 1.0f, 0.75f).
    for (const char* stored : {" 0 0 2 1048576000", " 0 1 4 1", " 0 2 1 1", " 0 4 2 1056964608", " 0 6 0 0", " 0 7 3 5",
                               " 0 8 2 1048576000", " 0 9 2 1065353216", " 1 0 2 1061158912"})
    {
        const std::string entry = std::string(stored) + "\n";
        bool found = false;
        for (size_t at = log.find("SetParameterValue "); at != std::string::npos && !found;
             at = log.find("SetParameterValue ", at + 1))
        {
            const size_t end = log.find('\n', at);
            const std::string line = log.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
            found = line.size() >= entry.size() && line.compare(line.size() - entry.size(), entry.size(), entry) == 0;
        }
        EXPECT_TRUE(found) << "SetParameterValue <client>" << stored << "\n" << log;
    }
}

// A host that rescans or reloads a project makes and closes instances one after another in
// one process: each of 200 connects, gets a pair and its audio comes back through the card, the
// last as the first (each lifetime's services thread is the one the previous lifetime used, so
// the process makes no new apartment for it; one per lifetime hung the 65th or so in main()).
TEST_F(QuorvelWithTheMixer, TwoHundredLifetimesInOneHostEachGetAPairAndRunThroughTheCard)
{
    StandinTestConfig config("[Driver]\nClock=manual\nLoopGain=0.5\nLoopDelay=512\nMinBuffer=512\n"
                             "PreferredBuffer=512\nGranularity=512\n");
    const HostRun run = RunHost(KIV_VSTHOST, KIV_QUORVEL, "--lifetimes 200 --lockstep --block 256", 540000);
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("lifetimes: 200 of 200 made, 200 through the card, 0 passed through"), std::string::npos)
        << run.output << EngineLog();
    // The figures of the first, the 65th and the last lifetime, for the log.
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.rfind("lifetime 1:", 0) == 0 || line.rfind("lifetime 65:", 0) == 0 ||
            line.rfind("lifetime 200:", 0) == 0 || line.rfind("lifetimes:", 0) == 0)
        {
            std::printf("%s\n", line.c_str());
        }
    }
}

// The gain of what came back in samples [from, to), `delay` after what was sent: the median
// ratio of the samples loud enough to tell, so a block lost on a loaded machine does not move it.
double GainOver(const StereoSignal& sent, const StereoSignal& returned, int delay, size_t from, size_t to)
{
    std::vector<double> ratios;
    const size_t n = std::min({sent.left.size(), returned.left.size(), to});
    for (size_t t = from; t < n; ++t)
    {
        if (t >= static_cast<size_t>(delay) && std::fabs(sent.left[t - static_cast<size_t>(delay)]) > 0.1f &&
            returned.left[t] != 0.0f)
        {
            ratios.push_back(returned.left[t] / sent.left[t - static_cast<size_t>(delay)]);
        }
    }
    if (ratios.empty())
    {
        return 0.0;
    }
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<long>(ratios.size() / 2), ratios.end());
    return ratios[ratios.size() / 2];
}

// The plug-in's float samples as the card's 32-bit ones and back lose this much of full scale.
constexpr double kCardScale = 2147418112.0 / 2147483648.0;

// A run of noise through an instance whose chunk holds one Trim Pot at 0.25, on a card of the
// given configuration: the delay measured and the gain at the end.
struct TrimPotRun
{
    HostRun run;
    int reported = -1;
    int measured = -1;
    double gain = 0.0;       // over the last 8192 samples
    double gainBefore = 0.0; // over the 8192 before the middle
};
TrimPotRun RunTrimPot(const std::string& card, const std::string& arguments, int block, int blocks)
{
    StandinTestConfig config(card);
    TrimPotRun result;
    const std::string hex = SpecialChunkHex(kInsertTrimPot, u"Trim Pot", ParamValue::Real(0.25f));
    EXPECT_FALSE(hex.empty());
    const StereoSignal sent = Noise(block * blocks);
    StereoSignal returned;
    result.run = RunSignal(KIV_QUORVEL, arguments + " --set-chunk " + hex, block, sent, &returned);
    result.reported = Reported(result.run.output, "reported initial delay: ");
    result.measured = Reported(result.run.output, "measured delay: ");
    if (result.measured >= 0)
    {
        const size_t n = sent.left.size();
        result.gain = GainOver(sent, returned, result.measured, n - 8192, n);
        result.gainBefore = GainOver(sent, returned, result.measured, n / 2 - 8192, n / 2);
    }
    return result;
}

TEST_F(QuorvelWithTheMixer, AChunksTrimPotAtAQuarterHalvesWhatComesBack)
{
    const TrimPotRun trim = RunTrimPot("[Driver]\nClock=manual\nLoopGain=1\nLoopDelay=512\nMinBuffer=512\n"
                                       "PreferredBuffer=512\nGranularity=512\n",
                                       "--lockstep", 256, 100);
    ASSERT_EQ(trim.run.exitCode, 0u) << trim.run.output;
    EXPECT_EQ(trim.reported, 1791) << trim.run.output;
    EXPECT_EQ(trim.measured, 1791) << "the pair runs" << trim.run.output;
    EXPECT_NEAR(trim.gain, 0.5 * kCardScale, 1e-4) << trim.run.output << EngineLog();
    std::printf("trim pot at 0.25: gain %.6f, delay %d\n", trim.gain, trim.measured);
}

// Four seconds in real time; the host sets the gain to 0.125 once half is processed.
TEST_F(QuorvelWithTheMixer, MovingTheTrimPotMidRunChangesTheGainAtTheEnd)
{
    const TrimPotRun trim = RunTrimPot("[Driver]\nLoopGain=1\nLoopDelay=512\nMinBuffer=512\nPreferredBuffer=512\n"
                                       "Granularity=512\n",
                                       "--params 0=0.125", 512, 344);
    ASSERT_EQ(trim.run.exitCode, 0u) << trim.run.output;
    EXPECT_NE(trim.run.output.find("parameter 0 while processing, set 0.125"), std::string::npos) << trim.run.output;
    ASSERT_GT(trim.measured, 0) << trim.run.output;
    EXPECT_NEAR(trim.gainBefore, 0.5 * kCardScale, 1e-3) << trim.run.output;
    EXPECT_NEAR(trim.gain, 0.25 * kCardScale, 1e-3) << trim.run.output;
    std::printf("trim pot moved to 0.125 mid-run: gain %.6f before, %.6f at the end\n", trim.gainBefore, trim.gain);
}

} // namespace
