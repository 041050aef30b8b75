#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <functional>
#include <vector>

#include "mixer/names/tests/FakeStringTable.h"
#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/comserver/ServicesServer.h"
#include "mixer/comserver/SinkCourier.h"
#include "mixer/comserver/tests/FakeSink.h"
#include "mixer/engine/tests/NullServices.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace
{
// A manual-reset event that a sink's Notify can wait on; set when the test lets it go.
class Gate
{
public:
    Gate() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate()
    {
        Open();
        CloseHandle(event_);
    }
    void Wait() { WaitForSingleObject(event_, 60000); }
    void Open() { SetEvent(event_); }

private:
    HANDLE event_;
};

class FakeApplication : public ServicesApplication
{
public:
    IVarnServices* GetServices() override { return services; }
    IVarnHardware* GetCurrentSystem() override { return currentSystem; }
    StringTable& GetStrings() override { return strings; }
    IVarnServices* services = nullptr;      // borrowed
    IVarnHardware* currentSystem = nullptr; // borrowed: the main window's system
    FakeStringTable strings;
};

// An automation back end that records each operation with its arguments as words and answers
// as told.
class RecordingAutomation : public IVarnAutomation
{
public:
    static std::string Word(int value) { return std::to_string(value); }
    static std::string Word(const VarnEffectId& id)
    {
        return "id" + std::to_string(id.data[0]) + "." + std::to_string(id.data[1]) + "." + std::to_string(id.data[2]) +
               "." + std::to_string(id.data[3]);
    }
    static std::string Word(const VarnEffectId* id) { return id ? "&" + Word(*id) : "null"; }
    static std::string Word(const char16_t* text)
    {
        if (!text)
            return "null";
        std::string ascii;
        for (; *text; ++text)
            ascii += static_cast<char>(*text);
        return "'" + ascii + "'";
    }
    template <class T>
    static std::string Word(T* pointer)
    {
        return pointer ? "ptr" : "null";
    }

    int Record(const char* name, std::vector<std::string> words)
    {
        std::string call = name;
        for (const std::string& word : words)
            call += " " + word;
        calls.push_back(call);
        return answer;
    }
    int RecordFlag(const char* name, int clientId, int* flag)
    {
        calls.push_back(std::string(name) + " " + Word(clientId) + " flag=" + (flag ? Word(*flag) : "null"));
        if (flag)
            *flag = flagAnswer;
        return answer;
    }

    int VARN_CALL RegisterClient(int* clientId) override { return Record("RegisterClient", {Word(clientId)}); }
    int VARN_CALL UnregisterClient(int clientId) override { return Record("UnregisterClient", {Word(clientId)}); }
    int VARN_CALL AcquireSendReturn(int clientId, void* record, int* sendPair, int* returnPair) override
    {
        return Record("AcquireSendReturn", {Word(clientId), Word(record), Word(sendPair), Word(returnPair)});
    }
    int VARN_CALL ReleaseSendReturn(int clientId) override { return Record("ReleaseSendReturn", {Word(clientId)}); }
    int VARN_CALL GetEffectCatalog(int* count, void** records) override
    {
        return Record("GetEffectCatalog", {Word(count), Word(records)});
    }
    int VARN_CALL GetEffectPresets(const void* category, int* count, void** records) override
    {
        return Record("GetEffectPresets", {Word(category), Word(count), Word(records)});
    }
    int VARN_CALL GetEffectCorePresets(VarnEffectId effect, int* count, void** records) override
    {
        return Record("GetEffectCorePresets", {Word(effect), Word(count), Word(records)});
    }
    int VARN_CALL GetInserts(VarnEffectId preset, int* isFactory, int* count, void** effects, int** valueCounts,
                             float** wetDry, int* valueCount, void** values) override
    {
        return Record("GetInserts", {Word(preset), Word(isFactory), Word(count), Word(effects), Word(valueCounts),
                                     Word(wetDry), Word(valueCount), Word(values)});
    }
    int VARN_CALL CreatePreset(int clientId, const char16_t* category, const char16_t* name, int insertCount,
                               const int* positions) override
    {
        return Record("CreatePreset", {Word(clientId), Word(category), Word(name), Word(insertCount), Word(positions)});
    }
    int VARN_CALL DeletePreset(VarnEffectId preset) override { return Record("DeletePreset", {Word(preset)}); }
    int VARN_CALL RenamePreset(VarnEffectId preset, const char16_t* name) override
    {
        return Record("RenamePreset", {Word(preset), Word(name)});
    }
    int VARN_CALL CreatePresetCategory(const char16_t* name) override
    {
        return Record("CreatePresetCategory", {Word(name)});
    }
    int VARN_CALL DeletePresetCategory(const char16_t* name) override
    {
        return Record("DeletePresetCategory", {Word(name)});
    }
    int VARN_CALL RenamePresetCategory(const char16_t* oldName, const char16_t* newName) override
    {
        return Record("RenamePresetCategory", {Word(oldName), Word(newName)});
    }
    int VARN_CALL GetEffectsFit(int count, const VarnEffectId* effects, int* fits) override
    {
        return Record("GetEffectsFit", {Word(count), Word(effects), Word(fits)});
    }
    int VARN_CALL GetPresetsFit(int count, const VarnEffectId* presets, int* fits) override
    {
        return Record("GetPresetsFit", {Word(count), Word(presets), Word(fits)});
    }
    int VARN_CALL SetInsertEffect(VarnEffectId effect, int clientId, int position, void* info, int wait) override
    {
        return Record("SetInsertEffect", {Word(effect), Word(clientId), Word(position), Word(info), Word(wait)});
    }
    int VARN_CALL RemoveInsert(int clientId, int position) override
    {
        return Record("RemoveInsert", {Word(clientId), Word(position)});
    }
    int VARN_CALL SelectPreset(int clientId, int position, int presetIndex) override
    {
        return Record("SelectPreset", {Word(clientId), Word(position), Word(presetIndex)});
    }
    int VARN_CALL SetSpecialInsert(int specialKind, int clientId, int position, void* info, int wait) override
    {
        return Record("SetSpecialInsert", {Word(specialKind), Word(clientId), Word(position), Word(info), Word(wait)});
    }
    int VARN_CALL LoadPresetIntoInsert(VarnEffectId preset, int clientId, int position, void* info) override
    {
        return Record("LoadPresetIntoInsert", {Word(preset), Word(clientId), Word(position), Word(info)});
    }
    int VARN_CALL MoveInsert(int clientId, int from, int to) override
    {
        return Record("MoveInsert", {Word(clientId), Word(from), Word(to)});
    }
    int VARN_CALL RefreshInserts(int clientId, int* flag) override
    {
        return RecordFlag("RefreshInserts", clientId, flag);
    }
    int VARN_CALL Method26(int clientId, int* flag) override { return RecordFlag("Method26", clientId, flag); }
    int VARN_CALL SetInsertChainFlag(int clientId, int flag) override
    {
        return Record("SetInsertChainFlag", {Word(clientId), Word(flag)});
    }
    int VARN_CALL GetParameterDescriptors(int clientId, int position, int* count, void** descriptors) override
    {
        return Record("GetParameterDescriptors", {Word(clientId), Word(position), Word(count), Word(descriptors)});
    }
    int VARN_CALL GetParameterChoiceNames(int clientId, int position, int parameter, int* count, void** names) override
    {
        return Record("GetParameterChoiceNames",
                      {Word(clientId), Word(position), Word(parameter), Word(count), Word(names)});
    }
    int VARN_CALL GetParameterValue(int clientId, int position, int parameter, void* value) override
    {
        return Record("GetParameterValue", {Word(clientId), Word(position), Word(parameter), Word(value)});
    }
    int VARN_CALL SetParameterValue(int clientId, int position, int parameter, int kind, int value) override
    {
        return Record("SetParameterValue", {Word(clientId), Word(position), Word(parameter), Word(kind), Word(value)});
    }
    int VARN_CALL SetInsertBypass(int clientId, int position, int bypass) override
    {
        return Record("SetInsertBypass", {Word(clientId), Word(position), Word(bypass)});
    }
    int VARN_CALL SetInsertSolo(int clientId, int position, int solo) override
    {
        return Record("SetInsertSolo", {Word(clientId), Word(position), Word(solo)});
    }
    int VARN_CALL GetInsertBypass(int clientId, int position, int* bypass) override
    {
        return Record("GetInsertBypass", {Word(clientId), Word(position), Word(bypass)});
    }
    int VARN_CALL GetInsertSolo(int clientId, int position, int* solo) override
    {
        return Record("GetInsertSolo", {Word(clientId), Word(position), Word(solo)});
    }
    int VARN_CALL CreateCorePreset(int clientId, int position, const char16_t* name) override
    {
        return Record("CreateCorePreset", {Word(clientId), Word(position), Word(name)});
    }
    int VARN_CALL ApplyPresetById(int clientId, int position, int value) override
    {
        return Record("ApplyPresetById", {Word(clientId), Word(position), Word(value)});
    }
    int VARN_CALL DeleteCorePreset(const VarnEffectId* effect, int index) override
    {
        return Record("DeleteCorePreset", {Word(effect), Word(index)});
    }
    int VARN_CALL RenameCorePreset(const VarnEffectId* effect, int index, const char16_t* name) override
    {
        return Record("RenameCorePreset", {Word(effect), Word(index), Word(name)});
    }
    int VARN_CALL GetPresetChange(void* change) override { return Record("GetPresetChange", {Word(change)}); }
    int VARN_CALL GetParamModelChange(void* change) override { return Record("GetParamModelChange", {Word(change)}); }
    int VARN_CALL SetAllInsertsBypass(int clientId, int bypass) override
    {
        return Record("SetAllInsertsBypass", {Word(clientId), Word(bypass)});
    }
    int VARN_CALL QueryClientState(int clientId, int* value) override
    {
        return Record("QueryClientState", {Word(clientId), Word(value)});
    }
    int VARN_CALL GetParameterValuesBatch(int clientId, int count, void* entries) override
    {
        return Record("GetParameterValuesBatch", {Word(clientId), Word(count), Word(entries)});
    }
    int VARN_CALL SetSendReturnInsertRouting(int clientId, int position, int send1, int send2, int return1, int return2,
                                             int wait, void* info) override
    {
        return Record("SetSendReturnInsertRouting", {Word(clientId), Word(position), Word(send1), Word(send2),
                                                     Word(return1), Word(return2), Word(wait), Word(info)});
    }
    int VARN_CALL EnableCategory2Items(int clientId, int* flag) override
    {
        return RecordFlag("EnableCategory2Items", clientId, flag);
    }
    int VARN_CALL GetInsertNotifyId(int clientId, int position, int* notifyId) override
    {
        return Record("GetInsertNotifyId", {Word(clientId), Word(position), Word(notifyId)});
    }
    int VARN_CALL GetParameterKinds(int clientId, int position, int* count, int** kinds) override
    {
        return Record("GetParameterKinds", {Word(clientId), Word(position), Word(count), Word(kinds)});
    }
    int VARN_CALL QueryParameter(int clientId, int a1, int a2, int* value) override
    {
        return Record("QueryParameter", {Word(clientId), Word(a1), Word(a2), Word(value)});
    }
    int VARN_CALL GetParameterText(int clientId, int position, int parameter, char16_t** text, int a4) override
    {
        return Record("GetParameterText", {Word(clientId), Word(position), Word(parameter), Word(text), Word(a4)});
    }

    std::vector<std::string> calls;
    int answer = 1;
    int flagAnswer = 1;
};

// An engine that only offers its automation back end.
class AutomationOnlyServices : public NullServices
{
public:
    IVarnAutomation* VARN_CALL GetAutomation() override { return automation; }

    IVarnAutomation* automation = nullptr; // borrowed
};

// The delivery times of the sink lists, moved by the tests.
std::atomic<DWORD> gTestNow{0};

class ServicesServerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        SinkCourier::SetClock([]() -> DWORD { return gTestNow.load(); });
        SinkCourier::SetLinger(0); // a sink is let go as soon as its last subscription goes
        ComModule::SetApplication(&application_);
        ComModule::Init();
        ComModule::Lock(); // as the program holds it while it runs
        server_ = ComModule::GetServer();
        ASSERT_NE(server_, nullptr);
        ASSERT_EQ(server_->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source_)), S_OK);
    }
    void TearDown() override
    {
        source_->Release();
        EXPECT_TRUE(ComModule::Term());
        ComModule::Unlock();
        ComModule::SetApplication(nullptr);
        SinkCourier::SetClock(nullptr);
        SinkCourier::SetLinger(SinkCourier::kLinger);
        CoUninitialize();
    }
    DWORD AdvisePublic(FakeSink& sink, DWORD mask, DWORD user)
    {
        DWORD cookie = 0;
        EXPECT_EQ(server_->Advise(sink.Public(), mask, user, &cookie), S_OK);
        return cookie;
    }
    DWORD AdvisePrivate(FakeSink& sink, DWORD mask, DWORD user)
    {
        DWORD cookie = 0;
        EXPECT_EQ(source_->Advise(sink.Private(), mask, user, &cookie), S_OK);
        return cookie;
    }
    // Waits until every notification queued for a subscribed sink has been delivered.
    static void Delivered() { ASSERT_TRUE(SinkCourier::WaitDelivered(GetTickCount() + 20000)); }
    // Every reference the server took of the sink has been let go.
    static bool LetGo(FakeSink& sink)
    {
        return PumpUntil([&] { return sink.references == 1; }, 20000);
    }

    // Sinks outlive the server object, which releases the ones still subscribed.
    FakeSink& NewSink() { return sinks_.emplace_back(); }

    std::deque<FakeSink> sinks_;
    FakeApplication application_;
    ServicesServer* server_ = nullptr;
    IKivCorvanEventSource* source_ = nullptr;
};

TEST_F(ServicesServerTest, PublicSinksReceiveOnlyTheBitsOfTheirMask)
{
    struct Case
    {
        DWORD mask;
        std::vector<DWORD> received;
    } cases[] = {
        {0x77FC, {0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x1000, 0x2000, 0x4000}},
        {0x5, {0x1, 0x4}},
        {0x0, {}},
        {0xFFFFFFFF, {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000}},
    };
    for (const Case& c : cases)
    {
        FakeSink& sink = NewSink();
        DWORD cookie = AdvisePublic(sink, c.mask, 77);
        for (DWORD bit = 1; bit <= 0x4000; bit <<= 1)
            ServicesServer::FireNotify(bit);
        Delivered();
        std::vector<Call> expected;
        for (DWORD type : c.received)
            expected.push_back({type, 77, 0, 0});
        EXPECT_EQ(sink.Calls(), expected) << "mask " << std::hex << c.mask;
        server_->Unadvise(cookie);
        EXPECT_TRUE(LetGo(sink));
    }
}

TEST_F(ServicesServerTest, TypeIsPassedWholeToEverySharingSink)
{
    FakeSink& reinit = NewSink();
    FakeSink& several = NewSink();
    AdvisePublic(reinit, 0x1, 1);
    AdvisePublic(several, 0x28, 2);
    ServicesServer::FireNotify(0x9);
    Delivered();
    EXPECT_EQ(reinit.Calls(), (std::vector<Call>{{0x9, 1, 0, 0}}));
    EXPECT_EQ(several.Calls(), (std::vector<Call>{{0x9, 2, 0, 0}}));
}

TEST_F(ServicesServerTest, PrivateSinksGetTheTwoValuesAndTheListsStayApart)
{
    FakeSink& publicSink = NewSink();
    FakeSink& privateSink = NewSink();
    AdvisePublic(publicSink, 0xFFFFFFFF, 5);
    AdvisePrivate(privateSink, 0x7400, 6);
    ServicesServer::FirePrivateNotify(0x400, 11, 12);
    ServicesServer::FirePrivateNotify(0x1000, 0xFFFFFFFF, 0);
    ServicesServer::FirePrivateNotify(0x800, 1, 2);
    ServicesServer::FireNotify(0x4000);
    Delivered();
    EXPECT_EQ(privateSink.Calls(), (std::vector<Call>{{0x400, 6, 11, 12}, {0x1000, 6, 0xFFFFFFFF, 0}}));
    EXPECT_EQ(publicSink.Calls(), (std::vector<Call>{{0x4000, 5, 0, 0}}));
}

TEST_F(ServicesServerTest, SameSinkTwiceGivesOneCookieAndUnadviseRemovesOneRecord)
{
    FakeSink& sink = NewSink();
    FakeSink& other = NewSink();
    DWORD first = AdvisePublic(sink, 0x8, 1);
    DWORD second = AdvisePublic(sink, 0x8, 2);
    DWORD third = AdvisePublic(other, 0x8, 3);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, third);
    EXPECT_EQ(AdvisePrivate(sink, 0x400, 4), first); // the same sink on the other list

    // One sink's notifications arrive in the order they were raised, record by record.
    ServicesServer::FireNotify(0x8);
    ServicesServer::FireNotify(0x8 | 0x1);
    Delivered();
    EXPECT_EQ(sink.Calls(), (std::vector<Call>{{0x8, 1, 0, 0}, {0x8, 2, 0, 0}, {0x9, 1, 0, 0}, {0x9, 2, 0, 0}}));

    EXPECT_EQ(server_->Unadvise(first), S_OK);
    ServicesServer::FireNotify(0x8);
    Delivered();
    EXPECT_EQ(sink.Calls().size(), 5u);
    EXPECT_EQ(sink.Calls().back(), (Call{0x8, 2, 0, 0})); // the first record went
    EXPECT_EQ(server_->Unadvise(first), S_OK);
    EXPECT_EQ(source_->Unadvise(first), S_OK);
    EXPECT_TRUE(LetGo(sink));
    EXPECT_GT(other.references, 1);
}

TEST_F(ServicesServerTest, UnknownCookieChangesNothing)
{
    FakeSink& sink = NewSink();
    DWORD cookie = AdvisePublic(sink, 0x8, 1);
    EXPECT_EQ(server_->Unadvise(cookie + 1), S_OK);
    EXPECT_EQ(server_->Unadvise(0), S_OK);
    EXPECT_EQ(source_->Unadvise(cookie), S_OK); // the other list
    ServicesServer::FireNotify(0x8);
    Delivered();
    EXPECT_EQ(sink.Calls().size(), 1u);
}

// A client that tries the numbers around its own cookie, or around any number it knows, does
// not find another client's subscription.
TEST_F(ServicesServerTest, CookiesCannotBeGuessed)
{
    FakeSink& victim = NewSink();
    FakeSink& guesser = NewSink();
    DWORD victimCookie = AdvisePublic(victim, 0x8, 1);
    DWORD privateCookie = AdvisePrivate(victim, 0x400, 1);
    DWORD guesserCookie = AdvisePublic(guesser, 0x8, 2);
    EXPECT_EQ(privateCookie, victimCookie);
    EXPECT_NE(guesserCookie, victimCookie);
    for (DWORD guess = guesserCookie - 1000; guess != guesserCookie + 1000; ++guess)
    {
        if (guess != guesserCookie)
        {
            server_->Unadvise(guess);
            source_->Unadvise(guess);
        }
    }
    for (DWORD guess = 0; guess < 1000; ++guess)
    {
        server_->Unadvise(guess);
        source_->Unadvise(guess);
    }
    ServicesServer::FireNotify(0x8);
    ServicesServer::FirePrivateNotify(0x400, 3, 4);
    Delivered();
    std::vector<Call> calls = victim.Calls(); // one from each list, in either order
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(std::find(calls.begin(), calls.end(), Call{0x8, 1, 0, 0}), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), Call{0x400, 1, 3, 4}), calls.end());

    // Fresh sinks get cookies that are neither 0, nor shared, nor counted up.
    std::vector<DWORD> cookies;
    for (int i = 0; i < 16; ++i)
        cookies.push_back(AdvisePrivate(NewSink(), 0x400, 0));
    int consecutive = 0;
    for (size_t i = 0; i < cookies.size(); ++i)
    {
        EXPECT_NE(cookies[i], 0u);
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(cookies[i], cookies[j]);
        if (i > 0 && cookies[i] - cookies[i - 1] < 16)
            ++consecutive;
    }
    EXPECT_LT(consecutive, 2);
}

TEST_F(ServicesServerTest, NullSinkOrCookiePointerIsRefused)
{
    DWORD cookie = 1234;
    EXPECT_EQ(server_->Advise(nullptr, 0xFFFF, 1, &cookie), E_POINTER);
    EXPECT_EQ(source_->Advise(nullptr, 0xFFFF, 1, &cookie), E_POINTER);
    EXPECT_EQ(cookie, 1234u);
    FakeSink& sink = NewSink();
    EXPECT_EQ(server_->Advise(sink.Public(), 0xFFFF, 1, nullptr), E_POINTER);
    EXPECT_EQ(sink.references, 1);
    // Nothing was stored: broadcasts, Unadvise(0) and the object's end touch no sink.
    ServicesServer::FireNotify(0xFFFF);
    EXPECT_EQ(server_->Unadvise(0), S_OK);
    Delivered();
    EXPECT_TRUE(sink.Calls().empty());
}

// A sink that cannot be handed to a delivery thread is refused; nothing of it is kept.
TEST_F(ServicesServerTest, ASinkThatCannotBeMarshalledIsRefused)
{
    class Unmarshallable : public IKivCorvanNotify
    {
    public:
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
        {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
        ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&references)); }
        HRESULT STDMETHODCALLTYPE Notify(DWORD, DWORD) override { return S_OK; }
        LONG references = 1;
    } sink;
    DWORD cookie = 1234;
    EXPECT_EQ(server_->Advise(&sink, 0x8, 1, &cookie), E_FAIL);
    EXPECT_EQ(cookie, 1234u);
    EXPECT_EQ(sink.references, 1);
    EXPECT_TRUE(SinkCourier::WaitEnded(GetTickCount() + 20000));
}

// Unadvise only unlinks: the sink's reference is let go later, outside the call, by the thread
// that holds it.
TEST_F(ServicesServerTest, UnadviseReleasesNothingInsideTheCall)
{
    FakeSink& sink = NewSink();
    DWORD cookie = AdvisePublic(sink, 0x8, 1);
    ServicesServer::FireNotify(0x8);
    Delivered();
    LONG before = sink.ownerReleases;
    EXPECT_EQ(server_->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.ownerReleases, before);
    EXPECT_TRUE(LetGo(sink));
    EXPECT_EQ(sink.ownerReleases, before + 1); // by the message that the ended courier posted
}

// A sink subscribed again soon after its last Unadvise gets its courier back: nothing was let go
// in between, and notifications reach it as before.
TEST_F(ServicesServerTest, ASinkSubscribedAgainSoonKeepsItsCourier)
{
    SinkCourier::SetLinger(60000);
    FakeSink& sink = NewSink();
    LONG held = 0;
    for (DWORD round = 1; round <= 3; ++round)
    {
        DWORD cookie = AdvisePrivate(sink, 0x400, round);
        ServicesServer::FirePrivateNotify(0x400, round, 0);
        Delivered();
        EXPECT_EQ(server_->Unadvise(cookie), S_OK); // the other list: nothing
        EXPECT_EQ(source_->Unadvise(cookie), S_OK);
        Delivered();
        if (round == 1)
            held = sink.references;
        EXPECT_EQ(sink.references, held) << "round " << round; // no new courier, nothing let go
    }
    EXPECT_EQ(sink.Calls(), (std::vector<Call>{{0x400, 1, 1, 0}, {0x400, 2, 2, 0}, {0x400, 3, 3, 0}}));
    EXPECT_GT(held, 1);
    // The end of the lists does not wait for the lingering courier.
    source_->Release();
    DWORD start = GetTickCount();
    EXPECT_TRUE(ComModule::Term());
    EXPECT_LT(GetTickCount() - start, static_cast<DWORD>(ServicesServer::kEndWait));
    EXPECT_EQ(sink.references, 1);
    ComModule::Init();
    server_ = ComModule::GetServer();
    server_->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source_));
}

TEST_F(ServicesServerTest, UnadviseInsideNotifyStopsTheSinksNotificationsAtOnce)
{
    FakeSink& first = NewSink();
    FakeSink& second = NewSink();
    FakeSink& third = NewSink();
    DWORD firstCookie = AdvisePublic(first, 0x4, 1);
    DWORD secondCookie = AdvisePublic(second, 0x4, 2);
    AdvisePublic(third, 0x4, 3);
    Gate secondMayGo;
    second.onNotify = [&] { secondMayGo.Wait(); };
    first.onNotify = [&] {
        // The Terminate handler of a client drops itself and another subscription.
        server_->Unadvise(firstCookie);
        server_->Unadvise(secondCookie);
        secondMayGo.Open();
    };
    ServicesServer::FireNotify(0x4);
    ServicesServer::FireNotify(0x4);
    Delivered();
    EXPECT_EQ(first.Calls().size(), 1u);
    EXPECT_LE(second.Calls().size(), 1u); // at most the call that was under way
    EXPECT_EQ(third.Calls().size(), 2u);
    EXPECT_TRUE(LetGo(first));
    EXPECT_TRUE(LetGo(second));
    EXPECT_GT(third.references, 1);
}

TEST_F(ServicesServerTest, AdviseInsideNotifyJoinsFromTheNextBroadcast)
{
    FakeSink& caller = NewSink();
    FakeSink& late = NewSink();
    AdvisePrivate(caller, 0x2000, 1);
    bool advised = false;
    caller.onNotify = [&] {
        if (!advised)
            AdvisePrivate(late, 0x2000, 2);
        advised = true;
    };
    ServicesServer::FirePrivateNotify(0x2000, 3, 4);
    Delivered();
    EXPECT_TRUE(late.Calls().empty());
    ServicesServer::FirePrivateNotify(0x2000, 5, 6);
    Delivered();
    EXPECT_EQ(late.Calls(), (std::vector<Call>{{0x2000, 2, 5, 6}}));
    EXPECT_EQ(caller.Calls().size(), 2u);
}

// One sink that blocks holds up no other sink and not the broadcasting thread; what it missed
// meanwhile reaches it in order once it returns.
TEST_F(ServicesServerTest, ABlockedSinkHoldsUpNobodyElse)
{
    FakeSink& blocked = NewSink();
    FakeSink& steady = NewSink();
    AdvisePublic(blocked, 0xFFFF, 1);
    AdvisePrivate(steady, 0xFFFF, 2);
    AdvisePublic(steady, 0xFFFF, 2);
    Gate gate;
    blocked.onNotify = [&] { gate.Wait(); };
    std::vector<Call> expected;
    for (DWORD bit = 0x8; bit <= 0x200; bit <<= 1)
    {
        ServicesServer::FireNotify(bit);
        ServicesServer::FirePrivateNotify(0x400, bit, 0);
        expected.push_back({bit, 2, 0, 0});
    }
    ASSERT_TRUE(PumpUntil([&] { return steady.Calls().size() == 2 * expected.size(); }));
    ASSERT_TRUE(PumpUntil([&] { return blocked.Calls().size() == 1; })); // and it stays in there
    gate.Open();
    Delivered();
    std::vector<Call> received = blocked.Calls();
    std::vector<Call> expectedBlocked = expected;
    for (Call& call : expectedBlocked)
        call.user = 1;
    EXPECT_EQ(received, expectedBlocked);
}

// A sink that keeps one notification longer than the limit, or lets its queue fill up, is
// dropped as if it had unsubscribed; the others keep receiving.
TEST_F(ServicesServerTest, ASinkThatFallsBehindIsDropped)
{
    struct Case
    {
        const char* how;
        size_t queued; // notifications raised while the sink keeps the first one
        DWORD laterBy; // how much later than the limit the next one comes
    } cases[] = {
        {"kept one notification past the limit", 1, 1},
        {"let its queue fill up", SinkCourier::kQueueLimit, 0},
    };
    for (const Case& c : cases)
    {
        FakeSink& slow = NewSink();
        FakeSink& steady = NewSink();
        DWORD slowCookie = AdvisePublic(slow, 0x8, 1);
        DWORD steadyCookie = AdvisePublic(steady, 0x8, 2);
        Gate gate;
        slow.onNotify = [&] { gate.Wait(); };
        ServicesServer::FireNotify(0x8);
        ASSERT_TRUE(PumpUntil([&] { return slow.Calls().size() == 1; })) << c.how;
        for (size_t i = 1; i < c.queued; ++i)
        {
            ServicesServer::FireNotify(0x8);
            // The steady sink has a queue limit of its own: a loaded machine must not let it
            // fall that far behind, or it is dropped too.
            if (i % 100 == 0)
            {
                ASSERT_TRUE(PumpUntil([&] { return steady.Calls().size() + 100 >= i; })) << c.how;
            }
        }
        gTestNow += SinkCourier::kStuckLimit; // not yet behind
        ServicesServer::FireNotify(0x8);
        gTestNow += c.laterBy;
        ServicesServer::FireNotify(0x8); // finds the sink behind: dropped, not queued for
        ServicesServer::FireNotify(0x8);
        gate.Open();
        Delivered();
        EXPECT_EQ(slow.Calls().size(), 1u) << c.how; // what was queued for it went with it
        ASSERT_TRUE(PumpUntil([&] { return steady.Calls().size() == c.queued + 3; })) << c.how;
        EXPECT_EQ(server_->Unadvise(slowCookie), S_OK);
        EXPECT_TRUE(LetGo(slow)) << c.how;
        server_->Unadvise(steadyCookie);
        EXPECT_TRUE(LetGo(steady)) << c.how;
    }
}

// A sink whose client is gone is dropped at its first failed call.
TEST_F(ServicesServerTest, ASinkWhoseClientIsGoneIsDropped)
{
    FakeSink& gone = NewSink();
    FakeSink& failing = NewSink();
    gone.answer = HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    failing.answer = E_FAIL; // an error of its own: it stays
    AdvisePrivate(gone, 0x400, 1);
    AdvisePrivate(failing, 0x400, 2);
    ServicesServer::FirePrivateNotify(0x400, 0, 0);
    EXPECT_TRUE(LetGo(gone));
    ServicesServer::FirePrivateNotify(0x400, 0, 0);
    Delivered();
    EXPECT_EQ(gone.Calls().size(), 1u);
    EXPECT_EQ(failing.Calls().size(), 2u);
}

TEST_F(ServicesServerTest, EndOfTheServerDeliversWhatIsQueuedAndReleasesEverySink)
{
    FakeSink& a = NewSink();
    FakeSink& b = NewSink();
    AdvisePublic(a, 0x8, 1);
    AdvisePublic(a, 0x10, 1);
    AdvisePrivate(b, 0x400, 2);
    EXPECT_GT(a.references, 1);
    ServicesServer::FireNotify(KivKDSPASIO_Terminate | 0x8);
    source_->Release();
    EXPECT_TRUE(ComModule::Term());
    EXPECT_EQ(a.Calls(), (std::vector<Call>{{0xC, 1, 0, 0}}));
    EXPECT_EQ(a.references, 1);
    EXPECT_EQ(b.references, 1);
    ServicesServer::FireNotify(0x8);
    EXPECT_TRUE(SinkCourier::NoneLeft());
    // A fresh server for TearDown.
    ComModule::Init();
    server_ = ComModule::GetServer();
    server_->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source_));
}

// At the end a sink that does not return is left behind within the time allowed: the program
// must not wait for it.
TEST_F(ServicesServerTest, EndOfTheServerDoesNotWaitForABlockedSink)
{
    FakeSink& blocked = NewSink();
    FakeSink& steady = NewSink();
    AdvisePublic(blocked, KivKDSPASIO_Terminate, 1);
    AdvisePublic(steady, KivKDSPASIO_Terminate, 2);
    Gate gate;
    blocked.onNotify = [&] { gate.Wait(); };
    ServicesServer::FireNotify(KivKDSPASIO_Terminate);
    source_->Release();
    DWORD start = GetTickCount();
    EXPECT_FALSE(ComModule::Term());
    DWORD took = GetTickCount() - start;
    std::printf("end of the server with a blocked sink took %lu ms\n", static_cast<unsigned long>(took));
    EXPECT_GE(took, ServicesServer::kEndWait - 50);
    EXPECT_LT(took, ServicesServer::kEndWait + 5000);
    EXPECT_EQ(steady.Calls().size(), 1u);
    EXPECT_EQ(steady.references, 1);
    EXPECT_FALSE(SinkCourier::NoneLeft());
    // Once it returns, what it held is let go.
    gate.Open();
    EXPECT_TRUE(LetGo(blocked));
    EXPECT_TRUE(SinkCourier::NoneLeft());
    ComModule::Init();
    server_ = ComModule::GetServer();
    server_->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source_));
}

TEST_F(ServicesServerTest, EveryInterfaceIsOneObjectAndReferencesLockTheModule)
{
    LONG locks = ComModule::GetLockCount();
    IUnknown* viaServices = nullptr;
    IUnknown* viaSource = nullptr;
    ASSERT_EQ(server_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaServices)), S_OK);
    ASSERT_EQ(source_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaSource)), S_OK);
    EXPECT_EQ(viaServices, viaSource);
    EXPECT_EQ(ComModule::GetLockCount(), locks + 2);
    viaServices->Release();
    viaSource->Release();
    EXPECT_EQ(ComModule::GetLockCount(), locks);

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(server_->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}
TEST_F(ServicesServerTest, EveryMethodFailsWithoutTheApplication)
{
    FakeSink& sink = NewSink();
    DWORD cookie = AdvisePublic(sink, 0x8, 1);
    LONG references = sink.references;
    ComModule::SetApplication(nullptr);
    DWORD untouched = 99;
    char name[8] = "x";
    KivASIOMonitorInfo monitor = {};
    KivASIODrvProfile profile = {};
    struct Case
    {
        const char* method;
        HRESULT result;
    } cases[] = {
        {"Advise", server_->Advise(sink.Public(), 0x8, 2, &untouched)},
        {"Unadvise", server_->Unadvise(cookie)},
        {"EventSource::Advise", source_->Advise(sink.Private(), 0x8, 2, &untouched)},
        {"EventSource::Unadvise", source_->Unadvise(cookie)},
        {"GetASIOChannelName", server_->GetASIOChannelName(0, 1, sizeof name, name)},
        {"SetMonitorInfo", server_->SetMonitorInfo(&monitor)},
        {"GetASIODriverProfile", server_->GetASIODriverProfile(&profile)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, E_FAIL) << c.method;
    EXPECT_EQ(untouched, 99u);
    EXPECT_EQ(sink.references, references); // nothing added, nothing removed
    ComModule::SetApplication(&application_);
    ServicesServer::FireNotify(0x8);
    Delivered();
    EXPECT_EQ(sink.Calls().size(), 1u);
}

// The public methods against the simulated engine of a program folder of the test's own.
class PublicMethodsTest : public ServicesServerTest
{
protected:
    void StartEngine(const std::string& card)
    {
        std::filesystem::create_directories(folder_ / "data");
        if (!card.empty())
            std::ofstream(folder_ / "SimulatedCard.txt") << card;
        engine_ = std::make_unique<StandinServices>();
        std::u16string program = folder_.Path().u16string();
        std::u16string data = (folder_ / "data").u16string();
        ASSERT_GT(engine_->Init(program.c_str(), data.c_str(), data.c_str()), 0);
        application_.services = engine_.get();
    }
    void TearDown() override
    {
        application_.services = nullptr;
        ServicesServerTest::TearDown();
    }

    StandinHardware* Hardware() { return static_cast<StandinHardware*>(engine_->GetMixer()->GetHardware()); }
    // The name of an ASIO channel and the result.
    std::string Name(LONG channel, LONG input, HRESULT expected, LONG size = 64)
    {
        char name[300];
        std::memset(name, 'x', sizeof name);
        name[sizeof name - 1] = 0;
        EXPECT_EQ(server_->GetASIOChannelName(channel, input, size, name), expected)
            << "channel " << channel << (input ? " in" : " out");
        return name;
    }

    ScratchFolder folder_{"kiv-services-server"};
    std::unique_ptr<StandinServices> engine_;
};

TEST_F(PublicMethodsTest, DriverProfileIsTheCardsDriverProfile)
{
    StartEngine("systems=1\ndevnode=7\nrefcount=1\npcifunction=1\nbaseaddress=0xE8000000\nirq=11\n"
                "vendor=0x1A4B\ndevice=0x0310\nsubsystem=0x03101A4B\nrevision=2\n"
                "driverversion=0x050C0400\ndevicekey=" +
                std::string(80, 'K') + "\n");
    KivASIODrvProfile profile;
    std::memset(&profile, 0xCC, sizeof profile);
    ASSERT_EQ(server_->GetASIODriverProfile(&profile), S_OK);
    EXPECT_EQ(profile.devnode, 7u);
    EXPECT_EQ(profile.pciFuncNum, 1u);
    EXPECT_EQ(profile.baseAddr, 0xE8000000u);
    EXPECT_EQ(profile.irq, 11u);
    EXPECT_EQ(profile.vendorID, 0x1A4Bu);
    EXPECT_EQ(profile.deviceID, 0x0310u);
    EXPECT_EQ(profile.subsys, 0x03101A4Bu);
    EXPECT_EQ(profile.rev, 2u);
    EXPECT_EQ(profile.driverVersion, 0x050C0400u);
    EXPECT_EQ(std::string(profile.szDeviceKey), std::string(59, 'K')); // cut and terminated
    EXPECT_EQ(server_->GetASIODriverProfile(nullptr), E_POINTER);
}

TEST_F(PublicMethodsTest, WithoutEngineOrHardwareThePublicMethodsFail)
{
    KivASIODrvProfile profile = {};
    KivASIOMonitorInfo monitor = {};
    char name[8] = "x";
    // No engine yet, then an engine on a machine without the card.
    for (bool withEngine : {false, true})
    {
        if (withEngine)
            StartEngine("");
        EXPECT_EQ(server_->GetASIODriverProfile(&profile), E_FAIL) << withEngine;
        EXPECT_EQ(server_->SetMonitorInfo(&monitor), E_FAIL) << withEngine;
        EXPECT_EQ(server_->GetASIOChannelName(1, 0, sizeof name, name), E_FAIL) << withEngine;
        EXPECT_STREQ(name, "");
    }
}

TEST_F(PublicMethodsTest, InputChannelNamesByRule)
{
    // Pair 0 recorded by a named strip, pair 1 by an unnamed one, then an aux, the main bus,
    // the main and the monitor mix without strips; pair 6 free with its left channel recorded
    // alone; pair 7 free.
    StartEngine("inputs=16\nstrip=0 Vocals\nrecord=2 aux 2\nrecord=3 main\nrecord=4 mix\n"
                "record=5 monitor\nrecord=6 free\nrecord=7 free\nmono=12 6\n");
    const struct
    {
        LONG channel;
        HRESULT result;
        const char* name;
    } cases[] = {
        {0, S_OK, "Vocals"},
        {1, S_OK, "Vocals"},
        {2, S_OK, "HOST ASIO_TO IN 3"}, // a strip named "-": its generated name
        {3, S_OK, "HOST ASIO_TO IN 4"},
        {4, S_OK, "AUX 3 L"},
        {5, S_OK, "AUX 3 R"},
        {6, S_OK, "MAIN L"},
        {9, S_OK, "MIX R"},
        {10, S_OK, "MONITOR L"},
        {12, S_OK, "HOST ASIO_TO IN 13"},
        {13, S_FALSE, ""},
        {14, S_FALSE, ""},
        {16, S_FALSE, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Name(c.channel, 1, c.result), c.name) << c.channel;

    // A strip on the main bus: its own name with the side, else the main mix's name.
    StandinHardware& card = *Hardware();
    StandinBus* main = static_cast<StandinBus*>(card.items.ports[1][3]->source);
    main->strip = card.strips[3].get();
    card.strips[3]->name = u"Master";
    EXPECT_EQ(Name(7, 1, S_OK), "Master R");
    card.strips[3]->name = u"-";
    EXPECT_EQ(Name(6, 1, S_OK), "MAIN_MIX  L");
    card.strips[3]->name = u"";
    EXPECT_EQ(Name(7, 1, S_OK), "MAIN_MIX  R");
    // A missing id contributes nothing.
    application_.strings.missing.insert("IDS_AUX");
    EXPECT_EQ(Name(4, 1, S_OK), " 3 L");
}

TEST_F(PublicMethodsTest, OutputChannelNamesFollowTheHostInputs)
{
    // Host inputs: Wave pair, then ASIO pairs 0-3; then one input per ASIO channel.
    StartEngine("outputs=8\nwave=1\nstrip=2 Drums\ninput=0 1 strip 2\ninput=0 2 strip 1\n"
                "input=0 3 output 1\ninput=0 4 plugin\ninput=3 6 strip 0\ninput=3 7 aux 1\n");
    const struct
    {
        LONG channel;
        HRESULT result;
        const char* name;
    } cases[] = {
        {0, S_OK, "Drums"},           {1, S_OK, "Drums"},   {2, S_OK, "STRIP 2"}, {4, S_OK, "PCICARD SPDIF L"},
        {5, S_OK, "PCICARD SPDIF R"}, {6, S_OK, "STRIP 1"}, // the pair is the plug-in's: the channel's own input
        {7, S_OK, "AUX 2"},           {8, S_FALSE, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Name(c.channel, 0, c.result), c.name) << c.channel;
    // A chain that ends elsewhere: the input's own name.
    Hardware()->inputList.inputs[0][2]->chainEnd = VarnChainEndOther;
    EXPECT_EQ(Name(3, 0, S_OK), "ASIO_FROM OUT 4");
}

TEST_F(PublicMethodsTest, SpecialChannelIsRecomputedAtChannelZero)
{
    // Seven ASIO inputs: channel 6 is recorded alone and has no partner. Five ASIO outputs:
    // channel 4 plays alone.
    StartEngine("inputs=7\noutputs=5\nrecord=3 free\nmono=6 3\ninput=3 4 strip 0\n");
    application_.currentSystem = Hardware();
    EXPECT_EQ(Name(7, 1, S_FALSE), ""); // nothing cached yet
    EXPECT_EQ(Name(0, 1, S_OK), "HOST ASIO_TO IN 1");
    EXPECT_EQ(Name(7, 1, S_OK), " - ");
    EXPECT_EQ(Name(6, 1, S_OK), "HOST ASIO_TO IN 7");
    // The outputs keep their own value until their channel 0 is asked.
    EXPECT_EQ(Name(5, 0, S_FALSE), "");
    Name(0, 0, S_FALSE);
    EXPECT_EQ(Name(5, 0, S_OK), " - ");
    EXPECT_EQ(Name(7, 1, S_OK), " - ");

    // No pair decides: the old value stays.
    Hardware()->items.ports[1][4 + 6]->source = nullptr;
    Name(0, 1, S_OK);
    EXPECT_EQ(Name(7, 1, S_OK), " - ");
    // Without a main window's system the value is cleared.
    application_.currentSystem = nullptr;
    Name(0, 1, S_OK);
    EXPECT_EQ(Name(7, 1, S_FALSE), "");
    EXPECT_EQ(Name(5, 0, S_OK), " - ");
}

TEST_F(PublicMethodsTest, EvenChannelCountsHaveNoSpecialChannel)
{
    StartEngine("inputs=8\nrecord=3 free\nmono=6 3\n");
    application_.currentSystem = Hardware();
    Name(0, 1, S_OK);
    EXPECT_EQ(Name(7, 1, S_FALSE), "");
}

TEST_F(PublicMethodsTest, ChannelNameBufferAndArguments)
{
    StartEngine("inputs=4\nstrip=0 Vocals\nrecord=1 free\n");
    // Cut to the buffer, which always ends with a zero.
    EXPECT_EQ(Name(0, 1, S_OK, 4), "Voc");
    EXPECT_EQ(Name(0, 1, S_OK, 1), "");
    EXPECT_EQ(Name(2, 1, S_FALSE, 1), "");
    char name[8] = "x";
    EXPECT_EQ(server_->GetASIOChannelName(0, 1, 0, name), E_INVALIDARG);
    EXPECT_EQ(server_->GetASIOChannelName(0, 1, 8, nullptr), E_INVALIDARG);
    // A negative channel is refused rather than read as "no special channel" or as pair 0.
    for (LONG channel : {-1L, -2L, -3L})
    {
        EXPECT_EQ(server_->GetASIOChannelName(channel, 1, sizeof name, name), E_INVALIDARG);
        EXPECT_STREQ(name, "x");
    }
}

TEST_F(PublicMethodsTest, MonitorSettingsReachTheStripOfTheInputPair)
{
    StartEngine("systems=1\ninputs=8\n");
    StandinHardware& card = *Hardware();
    auto& strips = card.strips;
    ASSERT_EQ(strips.size(), 4u);
    KivASIOMonitorInfo info = {3, 7, 100, 1, -20};
    ASSERT_EQ(server_->SetMonitorInfo(&info), S_OK);
    // Input 3 is the right channel of pair 1: gain 2, pan 3, state 5.
    EXPECT_EQ(std::vector<int>(strips[1]->monitor.parameters, strips[1]->monitor.parameters + 6),
              (std::vector<int>{0, 0, 100, -20, 0, 1}));
    info = {0, 0, 50, 1, 10};
    ASSERT_EQ(server_->SetMonitorInfo(&info), S_OK);
    EXPECT_EQ(std::vector<int>(strips[0]->monitor.parameters, strips[0]->monitor.parameters + 6),
              (std::vector<int>{50, 10, 0, 0, 1, 0}));

    // A strip without a monitor takes the state itself.
    strips[2]->hasMonitor = false;
    info = {5, 0, 60, 1, 0};
    ASSERT_EQ(server_->SetMonitorInfo(&info), S_OK);
    EXPECT_EQ(strips[2]->state, 1);
    EXPECT_EQ(strips[2]->stateFlag, 1);

    // No port, a hidden port, a port that nothing feeds, a negative input: no strip.
    card.items.ports[1][1]->hidden = true;
    card.items.ports[1][3]->source = nullptr;
    for (LONG input : {8, 2, 3, 6, 7, -1, -2})
    {
        info = {input, 0, 1, 1, 1};
        EXPECT_EQ(server_->SetMonitorInfo(&info), E_FAIL) << input;
    }
    EXPECT_EQ(strips[1]->monitor.parameters[0], 0);
    EXPECT_EQ(strips[3]->monitor.parameters[4], 0);
    EXPECT_EQ(server_->SetMonitorInfo(nullptr), E_FAIL);
}
// The private interfaces over a recording automation back end.
class PrivateInterfacesTest : public ServicesServerTest
{
protected:
    void SetUp() override
    {
        ServicesServerTest::SetUp();
        services_.automation = &automation_;
        application_.services = &services_;
        ASSERT_EQ(server_->QueryInterface(IID_IKivCorvanEffectServices2, reinterpret_cast<void**>(&effects_)), S_OK);
        ASSERT_EQ(server_->QueryInterface(IID_IKivCorvanParamInfo, reinterpret_cast<void**>(&params_)), S_OK);
    }
    void TearDown() override
    {
        effects_->Release();
        params_->Release();
        application_.services = nullptr;
        ServicesServerTest::TearDown();
    }

    RecordingAutomation automation_;
    AutomationOnlyServices services_;
    IKivCorvanEffectServices2* effects_ = nullptr;
    IKivCorvanParamInfo* params_ = nullptr;
};

const KivEffectId kAnId = {{1, 2, 3, 4}};

TEST_F(PrivateInterfacesTest, OneObjectAnswersEveryIdentity)
{
    IKivCorvanEffectServices* base = nullptr;
    IUnknown* viaEffects = nullptr;
    IUnknown* viaParams = nullptr;
    IUnknown* viaServer = nullptr;
    ASSERT_EQ(server_->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&base)), S_OK);
    EXPECT_EQ(static_cast<void*>(base), static_cast<void*>(effects_));
    ASSERT_EQ(effects_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaEffects)), S_OK);
    ASSERT_EQ(params_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaParams)), S_OK);
    ASSERT_EQ(server_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaServer)), S_OK);
    EXPECT_EQ(viaEffects, viaServer);
    EXPECT_EQ(viaParams, viaServer);
    IKivCorvanParamInfo* back = nullptr;
    EXPECT_EQ(effects_->QueryInterface(IID_IKivCorvanParamInfo, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, params_);
    for (IUnknown* unknown :
         {static_cast<IUnknown*>(base), viaEffects, viaParams, viaServer, static_cast<IUnknown*>(back)})
        unknown->Release();
}

TEST_F(PrivateInterfacesTest, MethodsForwardTheirArgumentsInTheEnginesOrder)
{
    LONG number = 0, other = 0;
    LONG* numbers = nullptr;
    KivSendReturn sendReturn = {};
    KivEffectCategory* categories = nullptr;
    KivEffectPreset* presets = nullptr;
    KivCorePreset* corePresets = nullptr;
    KivPresetValue* presetValues = nullptr;
    float* wetDry = nullptr;
    KivInsertInfo info = {};
    KivParameterDescriptor* descriptors = nullptr;
    KivChoiceName* choices = nullptr;
    KivParameterValue value = {};
    KivPresetChange change = {};
    KivParamModelChange modelChange = {};
    KivParameterValueEntry entries[2] = {};
    KivEffectId ids[2] = {kAnId, kAnId};
    LONG fits[2] = {};
    LONG positions[2] = {3, 4};
    WCHAR* text = nullptr;
    struct Case
    {
        std::function<HRESULT()> call;
        std::string engine;
    } cases[] = {
        {[&] { return effects_->RegisterClient(&number); }, "RegisterClient ptr"},
        {[&] { return effects_->UnregisterClient(7); }, "UnregisterClient 7"},
        {[&] { return effects_->AcquireSendReturn(7, &sendReturn, &number, &other); },
         "AcquireSendReturn 7 ptr ptr ptr"},
        {[&] { return effects_->ReleaseSendReturn(7); }, "ReleaseSendReturn 7"},
        {[&] { return effects_->GetEffectCatalog(&number, &categories); }, "GetEffectCatalog ptr ptr"},
        {[&] { return effects_->GetEffectCorePresets(kAnId, &number, &corePresets); },
         "GetEffectCorePresets id1.2.3.4 ptr ptr"},
        {[&] {
             return effects_->GetInserts(kAnId, &other, &number, &presets, &numbers, &wetDry, &other, &presetValues);
         },
         "GetInserts id1.2.3.4 ptr ptr ptr ptr ptr ptr ptr"},
        {[&] { return effects_->CreatePreset(7, L"Vocals", L"Warm", 2, positions); },
         "CreatePreset 7 'Vocals' 'Warm' 2 ptr"},
        {[&] { return effects_->DeletePreset(kAnId); }, "DeletePreset id1.2.3.4"},
        {[&] { return effects_->RenamePreset(kAnId, L"Cold"); }, "RenamePreset id1.2.3.4 'Cold'"},
        {[&] { return effects_->CreatePresetCategory(L"Drums"); }, "CreatePresetCategory 'Drums'"},
        {[&] { return effects_->DeletePresetCategory(L"Drums"); }, "DeletePresetCategory 'Drums'"},
        {[&] { return effects_->RenamePresetCategory(L"Drums", L"Kit"); }, "RenamePresetCategory 'Drums' 'Kit'"},
        {[&] { return effects_->GetEffectsFit(2, ids, fits); }, "GetEffectsFit 2 &id1.2.3.4 ptr"},
        {[&] { return effects_->GetPresetsFit(2, ids, fits); }, "GetPresetsFit 2 &id1.2.3.4 ptr"},
        {[&] { return effects_->SetInsertEffect(7, 2, kAnId, &info, 1); }, "SetInsertEffect id1.2.3.4 7 2 ptr 1"},
        {[&] { return effects_->RemoveInsert(7, 2); }, "RemoveInsert 7 2"},
        {[&] { return effects_->SelectPreset(7, 2, 5); }, "SelectPreset 7 2 5"},
        {[&] { return effects_->SetSpecialInsert(7, 2, 3, &info, 1); }, "SetSpecialInsert 3 7 2 ptr 1"},
        {[&] { return effects_->LoadPresetIntoInsert(7, 2, kAnId, &info); }, "LoadPresetIntoInsert id1.2.3.4 7 2 ptr"},
        {[&] { return effects_->MoveInsert(7, 1, 4); }, "MoveInsert 7 1 4"},
        {[&] { return effects_->ClearInsertChainFlag(7); }, "SetInsertChainFlag 7 0"},
        {[&] { return effects_->SetInsertChainFlag(7); }, "SetInsertChainFlag 7 1"},
        {[&] { return effects_->GetParameterDescriptors(7, 2, &number, &descriptors); },
         "GetParameterDescriptors 7 2 ptr ptr"},
        {[&] { return effects_->GetParameterChoiceNames(7, 2, 9, &number, &choices); },
         "GetParameterChoiceNames 7 2 9 ptr ptr"},
        {[&] { return effects_->GetParameterValue(7, 2, 9, &value); }, "GetParameterValue 7 2 9 ptr"},
        {[&] { return effects_->SetParameterValue(7, 2, 9, 4, -3); }, "SetParameterValue 7 2 9 4 -3"},
        {[&] { return effects_->SetInsertBypass(7, 2, 1); }, "SetInsertBypass 7 2 1"},
        {[&] { return effects_->SetInsertSolo(7, 2, 0); }, "SetInsertSolo 7 2 0"},
        {[&] { return effects_->GetInsertBypass(7, 2, &number); }, "GetInsertBypass 7 2 ptr"},
        {[&] { return effects_->GetInsertSolo(7, 2, &number); }, "GetInsertSolo 7 2 ptr"},
        {[&] { return effects_->CreateCorePreset(7, 2, L"Mine"); }, "CreateCorePreset 7 2 'Mine'"},
        {[&] { return effects_->ApplyPresetById(7, 2, 12); }, "ApplyPresetById 7 2 12"},
        {[&] { return effects_->DeleteCorePreset(kAnId, 3); }, "DeleteCorePreset &id1.2.3.4 3"},
        {[&] { return effects_->RenameCorePreset(kAnId, 3, L"New"); }, "RenameCorePreset &id1.2.3.4 3 'New'"},
        {[&] { return effects_->GetPresetChange(&change); }, "GetPresetChange ptr"},
        {[&] { return effects_->GetParamModelChange(&modelChange); }, "GetParamModelChange ptr"},
        {[&] { return effects_->SetAllInsertsBypass(7, 1); }, "SetAllInsertsBypass 7 1"},
        {[&] { return effects_->QueryClientState(7, &number); }, "QueryClientState 7 ptr"},
        {[&] { return effects_->GetParameterValuesBatch(7, 2, entries); }, "GetParameterValuesBatch 7 2 ptr"},
        {[&] { return effects_->SetSendReturnInsertRouting(7, 2, 10, 11, 12, 13, 1, &info); },
         "SetSendReturnInsertRouting 7 2 10 11 12 13 1 ptr"},
        {[&] { return params_->GetInsertNotifyId(7, 2, &number); }, "GetInsertNotifyId 7 2 ptr"},
        {[&] { return params_->GetParameterKinds(7, 2, &number, &numbers); }, "GetParameterKinds 7 2 ptr ptr"},
        {[&] { return params_->QueryParameter(7, 5, 6, &number); }, "QueryParameter 7 5 6 ptr"},
        {[&] { return params_->GetParameterText(7, 2, 9, &text, 8); }, "GetParameterText 7 2 9 ptr 8"},
    };
    for (const Case& c : cases)
    {
        automation_.calls.clear();
        EXPECT_EQ(c.call(), S_OK) << c.engine;
        EXPECT_EQ(automation_.calls, std::vector<std::string>{c.engine});
    }
}

TEST_F(PrivateInterfacesTest, EngineResultsBecomeHresults)
{
    const HRESULT notEnoughDsp = MAKE_HRESULT(1, FACILITY_ITF, 0x200);
    const HRESULT noRoom = MAKE_HRESULT(1, FACILITY_ITF, 0x400);
    KivInsertInfo info = {};
    std::function<HRESULT()> ruleA[] = {
        [&] { return effects_->SetInsertEffect(1, 0, kAnId, &info, 0); },
        [&] { return effects_->LoadPresetIntoInsert(1, 0, kAnId, &info); },
    };
    std::function<HRESULT()> ruleB[] = {
        [&] { return effects_->SetSpecialInsert(1, 0, 2, &info, 0); },
        [&] { return effects_->SetSendReturnInsertRouting(1, 0, 1, 2, 3, 4, 0, &info); },
    };
    struct Answer
    {
        int engine;
        HRESULT a, b, plain;
    } answers[] = {
        {1, S_OK, S_OK, S_OK},        {2, notEnoughDsp, E_FAIL, S_OK}, {3, E_FAIL, notEnoughDsp, S_OK},
        {6, noRoom, E_FAIL, S_OK},    {9, E_FAIL, noRoom, S_OK},       {0, E_FAIL, E_FAIL, E_FAIL},
        {-1, E_FAIL, E_FAIL, E_FAIL},
    };
    for (const Answer& answer : answers)
    {
        automation_.answer = answer.engine;
        for (auto& call : ruleA)
            EXPECT_EQ(call(), answer.a) << answer.engine;
        for (auto& call : ruleB)
            EXPECT_EQ(call(), answer.b) << answer.engine;
        EXPECT_EQ(effects_->RemoveInsert(1, 0), answer.plain) << answer.engine;
        EXPECT_EQ(params_->QueryParameter(1, 0, 0, reinterpret_cast<LONG*>(&info)), answer.plain) << answer.engine;
    }
}

TEST_F(PrivateInterfacesTest, FlagOperationsAnswerThroughTheFlag)
{
    std::function<HRESULT()> calls[] = {[&] { return effects_->RefreshInserts(4); },
                                        [&] { return effects_->Method26(4); }};
    struct Case
    {
        int engine, flag;
        HRESULT result;
    } cases[] = {{1, 1, S_OK}, {1, 0, S_FALSE}, {5, 7, S_OK}, {0, 1, E_FAIL}, {-1, 0, S_FALSE}};
    for (const Case& c : cases)
    {
        automation_.answer = c.engine;
        automation_.flagAnswer = c.flag;
        for (auto& call : calls)
            EXPECT_EQ(call(), c.result) << c.engine << " " << c.flag;
    }
    EXPECT_EQ(automation_.calls.back(), "Method26 4 flag=0"); // the server clears it first
}

TEST_F(PrivateInterfacesTest, NullOutPointersAndReservedMethodsCallNothing)
{
    LONG number = 0;
    KivSendReturn sendReturn = {};
    KivEffectCategory category = {};
    KivEffectPreset* presets = nullptr;
    KivChoiceName* choices = nullptr;
    KivHardwareChannel* channels = nullptr;
    KivInsertInfo info = {};
    struct Case
    {
        const char* name;
        std::function<HRESULT()> call;
        HRESULT result;
    } cases[] = {
        {"RegisterClient", [&] { return effects_->RegisterClient(nullptr); }, E_POINTER},
        {"AcquireSendReturn record", [&] { return effects_->AcquireSendReturn(1, nullptr, &number, &number); },
         E_POINTER},
        {"AcquireSendReturn return", [&] { return effects_->AcquireSendReturn(1, &sendReturn, &number, nullptr); },
         E_POINTER},
        {"GetEffectCatalog", [&] { return effects_->GetEffectCatalog(&number, nullptr); }, E_POINTER},
        {"GetEffectPresets", [&] { return effects_->GetEffectPresets(nullptr, &number, &presets); }, E_POINTER},
        {"GetEffectPresets count", [&] { return effects_->GetEffectPresets(&category, nullptr, &presets); }, E_POINTER},
        {"GetEffectCorePresets", [&] { return effects_->GetEffectCorePresets(kAnId, &number, nullptr); }, E_POINTER},
        {"GetInserts",
         [&] { return effects_->GetInserts(kAnId, &number, nullptr, &presets, nullptr, nullptr, &number, nullptr); },
         E_POINTER},
        {"GetParameterChoiceNames", [&] { return effects_->GetParameterChoiceNames(1, 0, 0, nullptr, &choices); },
         E_POINTER},
        {"GetHardwareChannels", [&] { return effects_->GetHardwareChannels(nullptr, &channels); }, E_POINTER},
        {"GetHardwareChannelsEx", [&] { return effects_->GetHardwareChannelsEx(&number, &channels, &number, nullptr); },
         E_POINTER},
        {"Reserved46", [&] { return effects_->Reserved46(1, 2); }, E_NOTIMPL},
        {"Reserved47", [&] { return effects_->Reserved47(1, 2, 3); }, E_NOTIMPL},
        {"Reserved48", [&] { return effects_->Reserved48(1, 2, 3, 4); }, E_NOTIMPL},
        {"Reserved49", [&] { return effects_->Reserved49(1, 2, 3, 4); }, E_NOTIMPL},
        {"SetSendInsertRouting", [&] { return effects_->SetSendInsertRouting(1, 0, 1, 2, 0, &info); }, E_NOTIMPL},
        {"Reserved54", [&] { return effects_->Reserved54(1); }, E_NOTIMPL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.call(), c.result) << c.name;
    EXPECT_TRUE(automation_.calls.empty());
}

TEST_F(PrivateInterfacesTest, WithoutApplicationEngineOrAutomationNothingIsCalled)
{
    LONG number = 0;
    for (int missing = 0; missing < 3; ++missing)
    {
        if (missing == 0)
            services_.automation = nullptr;
        else if (missing == 1)
            application_.services = nullptr;
        else
            ComModule::SetApplication(nullptr);
        EXPECT_EQ(effects_->RegisterClient(&number), E_FAIL) << missing;
        EXPECT_EQ(effects_->RefreshInserts(1), E_FAIL) << missing;
        EXPECT_EQ(effects_->SetInsertEffect(1, 0, kAnId, nullptr, 0), E_FAIL) << missing;
        EXPECT_EQ(effects_->EnableCategory2Items(1), E_FAIL) << missing;
        EXPECT_EQ(params_->GetInsertNotifyId(1, 0, &number), E_FAIL) << missing;
    }
    ComModule::SetApplication(&application_);
    EXPECT_TRUE(automation_.calls.empty());
}

// The private channel-list methods against the simulated card.
class ChannelListTest : public PublicMethodsTest
{
protected:
    void StartCard(const std::string& card)
    {
        StartEngine(card);
        ASSERT_EQ(server_->QueryInterface(IID_IKivCorvanEffectServices2, reinterpret_cast<void**>(&effects_)), S_OK);
    }
    void TearDown() override
    {
        if (effects_)
            effects_->Release();
        PublicMethodsTest::TearDown();
    }
    // "type index name" per record; the record's bytes after the name are zero.
    static std::vector<std::string> Records(LONG count, KivHardwareChannel* records)
    {
        std::vector<std::string> list;
        for (LONG i = 0; i < count; ++i)
        {
            const KivHardwareChannel& r = records[i];
            size_t length = strnlen(r.name, sizeof r.name);
            EXPECT_LT(length, sizeof r.name);
            for (size_t at = length; at < sizeof r.name; ++at)
                EXPECT_EQ(r.name[at], 0) << i;
            list.push_back(std::to_string(r.type) + " " + std::to_string(r.index) + " " + r.name);
        }
        CoTaskMemFree(records);
        return list;
    }
    size_t EngineCalls(const std::string& name)
    {
        size_t found = 0;
        for (const std::string& entry : engine_->GetCallLog())
            found += entry.rfind(name, 0) == 0 ? 1 : 0;
        return found;
    }

    IKivCorvanEffectServices2* effects_ = nullptr;
};

TEST_F(ChannelListTest, FreeChannelsInKindOrderOneZeroTwo)
{
    // ASIO pairs in use (their strips), the four mono channels free; one Wave pair; physical
    // output 1 in use, output 2 absent at 48 kHz.
    StartCard("inputs=4\nwave=1\nphysicaloutputs=3\noutput=1 strip 0\nfit=2 1 2\n");
    LONG count = -1;
    KivHardwareChannel* records = nullptr;
    ASSERT_EQ(effects_->GetHardwareChannels(&count, &records), S_OK);
    // The count is the number of records written, not the card's channel count.
    ASSERT_EQ(count, 6);
    EXPECT_EQ(Records(count, records), (std::vector<std::string>{
                                           "0 2 HOST ASIO_TO IN 1",
                                           "0 3 HOST ASIO_TO IN 2",
                                           "0 4 HOST ASIO_TO IN 3",
                                           "0 5 HOST ASIO_TO IN 4",
                                           "1 0 HOST WAVE L / R",
                                           "2 0 IOCARD OUT 1 / 2",
                                       }));
    // The engine was asked whether each item exists at the session's rate.
    EXPECT_EQ(EngineCalls("ChannelExists 2 1 2"), 1u);
    EXPECT_EQ(EngineCalls("ChannelExists 1 1 5"), 1u);
}

TEST_F(ChannelListTest, NoFreeChannelGivesNoArray)
{
    StartCard("inputs=0\nwave=0\nphysicaloutputs=1\noutput=0 main\n");
    LONG count = -1;
    KivHardwareChannel* records = reinterpret_cast<KivHardwareChannel*>(1);
    EXPECT_EQ(effects_->GetHardwareChannels(&count, &records), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(records, nullptr);
}

TEST_F(ChannelListTest, LongNamesAreCutTo255)
{
    StartCard("inputs=0\nwave=1\nphysicaloutputs=0\n");
    application_.strings.Set("IDS_HOST", std::string(300, 'H'));
    LONG count = 0;
    KivHardwareChannel* records = nullptr;
    ASSERT_EQ(effects_->GetHardwareChannels(&count, &records), S_OK);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::string(records[0].name), std::string(255, 'H'));
    CoTaskMemFree(records);
}

TEST_F(ChannelListTest, ExListsFreeOutputsAndInputsWithPartners)
{
    // At 96 kHz: input 1 is the plug-in's and feeds nothing itself, so it stands for input 3;
    // input 4 ends at an output and stands for input 2, which a strip takes.
    StartCard("rate=2\nphysicaloutputs=3\noutput=1 strip 0\nstereoinputs=5\ninput=2 1 plugin\n"
              "input=2 2 strip 0\ninput=2 4 output 0\n");
    LONG outCount = -1, inCount = -1;
    KivHardwareChannel* outputs = nullptr;
    KivHardwareChannel* inputs = nullptr;
    ASSERT_EQ(effects_->GetHardwareChannelsEx(&outCount, &outputs, &inCount, &inputs), S_OK);
    EXPECT_EQ(Records(outCount, outputs), (std::vector<std::string>{
                                              "2 0 IOCARD OUT 1 / 2",
                                              "2 2 PCICARD ADAT OUT 1 / 2",
                                          }));
    EXPECT_EQ(Records(inCount, inputs), (std::vector<std::string>{
                                            "2 0 PCICARD SPDIF IN L/R",
                                            "2 1 PCICARD ADAT IN 1 / 2 [-]",
                                            "2 3 HOLBRIN IN 2L / 2R",
                                        }));
}

TEST_F(ChannelListTest, ExSkipsAPartnerPastTheList)
{
    // Two inputs at 96 kHz: input 1's partner would be input 3.
    StartCard("rate=2\nphysicaloutputs=0\nstereoinputs=2\ninput=2 1 plugin\n");
    LONG outCount = -1, inCount = -1;
    KivHardwareChannel* outputs = nullptr;
    KivHardwareChannel* inputs = nullptr;
    ASSERT_EQ(effects_->GetHardwareChannelsEx(&outCount, &outputs, &inCount, &inputs), S_OK);
    EXPECT_EQ(outCount, 0);
    EXPECT_EQ(outputs, nullptr);
    EXPECT_EQ(Records(inCount, inputs), (std::vector<std::string>{"2 0 PCICARD SPDIF IN L/R"}));
}

TEST_F(ChannelListTest, EnablingNeedsAFreeOutputAndAnInput)
{
    const struct
    {
        const char* card;
        HRESULT result;
        size_t calls;
    } cases[] = {
        {"physicaloutputs=0\n", S_FALSE, 0},
        {"physicaloutputs=1\noutput=0 strip 0\n", S_FALSE, 0},
        {"physicaloutputs=1\nfit=2 1 0\n", S_FALSE, 0},
        {"stereoinputs=0\n", S_FALSE, 0},
        {"physicaloutputs=1\nstereoinputs=1\n", S_OK, 1},
        {"physicaloutputs=1\nstereoinputs=1\ncategory2=clear\n", S_FALSE, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.card);
        if (effects_)
            effects_->Release();
        effects_ = nullptr;
        engine_.reset();
        StartCard(c.card);
        EXPECT_EQ(effects_->EnableCategory2Items(3), c.result);
        EXPECT_EQ(EngineCalls("EnableCategory2Items 3"), c.calls);
    }
}

TEST_F(ChannelListTest, ListsNeedTheEngineAndRegisterClients)
{
    StartCard("systems=1\n");
    LONG count = 5, inCount = 5;
    KivHardwareChannel* outputs = nullptr;
    KivHardwareChannel* inputs = nullptr;
    EXPECT_EQ(effects_->GetHardwareChannels(nullptr, &outputs), E_POINTER);
    EXPECT_EQ(effects_->GetHardwareChannelsEx(&count, &outputs, &inCount, nullptr), E_POINTER);
    application_.services = nullptr;
    EXPECT_EQ(effects_->GetHardwareChannels(&count, &outputs), E_FAIL);
    EXPECT_EQ(effects_->GetHardwareChannelsEx(&count, &outputs, &inCount, &inputs), E_FAIL);
    EXPECT_EQ(effects_->EnableCategory2Items(1), E_FAIL);
    EXPECT_EQ(outputs, nullptr);
    application_.services = engine_.get();
    // The simulated engine registers clients.
    LONG first = 0, second = 0;
    EXPECT_EQ(effects_->RegisterClient(&first), S_OK);
    EXPECT_EQ(effects_->RegisterClient(&second), S_OK);
    EXPECT_NE(first, second);
    EXPECT_EQ(effects_->UnregisterClient(first), S_OK);
    EXPECT_EQ(effects_->UnregisterClient(first), E_FAIL);
}
} // namespace

namespace
{
TEST(ComModuleTest, EveryClientGetsTheOneServerUntilTheModuleEnds)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ComModule::Init();
    ComModule::Lock();
    ASSERT_EQ(ComModule::RegisterClassObjects(), S_OK);
    IKivCorvanServices* first = nullptr;
    IKivCorvanServices* second = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                               reinterpret_cast<void**>(&first)),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                               reinterpret_cast<void**>(&second)),
              S_OK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, static_cast<IKivCorvanServices*>(ComModule::GetServer()));
    EXPECT_EQ(ComModule::GetLockCount(), 3);
    first->Release();
    second->Release();
    EXPECT_EQ(ComModule::GetLockCount(), 1);

    ComModule::Term();
    IKivCorvanServices* late = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                               reinterpret_cast<void**>(&late)),
              CO_E_SERVER_STOPPING);
    EXPECT_EQ(ComModule::RevokeClassObjects(), S_OK);
    EXPECT_EQ(ComModule::RevokeClassObjects(), S_OK); // the second time does nothing
    ComModule::Unlock();
    CoUninitialize();
}
} // namespace
