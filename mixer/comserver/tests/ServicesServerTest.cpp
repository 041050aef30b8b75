#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/ServicesServer.h"

namespace
{
struct Call
{
    DWORD type, user, a, b;
    bool operator==(const Call& o) const
    {
        return type == o.type && user == o.user && a == o.a && b == o.b;
    }
};

// A callback sink of either list that records its calls and its references.
class FakeSink : public IKivCorvanNotify, public IKivCorvanEventSink
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD user) override
    {
        calls.push_back({type, user, 0, 0});
        if (onNotify)
            onNotify();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD user, DWORD a, DWORD b) override
    {
        calls.push_back({type, user, a, b});
        if (onNotify)
            onNotify();
        return E_FAIL; // a failing sink must not stop the broadcast
    }
    IKivCorvanNotify* Public() { return this; }
    IKivCorvanEventSink* Private() { return this; }

    ULONG references = 1;
    std::vector<Call> calls;
    std::function<void()> onNotify;
};

class ServicesServerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ComModule::Init();
        ComModule::Lock(); // as the program holds it while it runs
        server = ComModule::GetServer();
        ASSERT_NE(server, nullptr);
        ASSERT_EQ(server->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source)), S_OK);
    }
    void TearDown() override
    {
        source->Release();
        ComModule::Term();
        ComModule::Unlock();
    }
    DWORD AdvisePublic(FakeSink& sink, DWORD mask, DWORD user)
    {
        DWORD cookie = 0;
        EXPECT_EQ(server->Advise(sink.Public(), mask, user, &cookie), S_OK);
        return cookie;
    }
    DWORD AdvisePrivate(FakeSink& sink, DWORD mask, DWORD user)
    {
        DWORD cookie = 0;
        EXPECT_EQ(source->Advise(sink.Private(), mask, user, &cookie), S_OK);
        return cookie;
    }

    // Sinks outlive the server object, which releases the ones still subscribed.
    FakeSink& NewSink() { return sinks.emplace_back(); }

    std::deque<FakeSink> sinks;
    ServicesServer* server = nullptr;
    IKivCorvanEventSource* source = nullptr;
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
        {0xFFFFFFFF, {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800,
                      0x1000, 0x2000, 0x4000}},
    };
    for (const Case& c : cases)
    {
        FakeSink& sink = NewSink();
        DWORD cookie = AdvisePublic(sink, c.mask, 77);
        for (DWORD bit = 1; bit <= 0x4000; bit <<= 1)
            ServicesServer::FireNotify(bit);
        std::vector<Call> expected;
        for (DWORD type : c.received)
            expected.push_back({type, 77, 0, 0});
        EXPECT_EQ(sink.calls, expected) << "mask " << std::hex << c.mask;
        server->Unadvise(cookie);
        EXPECT_EQ(sink.references, 1u);
    }
}

TEST_F(ServicesServerTest, TypeIsPassedWholeToEverySharingSink)
{
    FakeSink& reinit = NewSink();
    FakeSink& several = NewSink();
    AdvisePublic(reinit, 0x1, 1);
    AdvisePublic(several, 0x28, 2);
    ServicesServer::FireNotify(0x9);
    EXPECT_EQ(reinit.calls, (std::vector<Call>{{0x9, 1, 0, 0}}));
    EXPECT_EQ(several.calls, (std::vector<Call>{{0x9, 2, 0, 0}}));
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
    EXPECT_EQ(privateSink.calls, (std::vector<Call>{{0x400, 6, 11, 12}, {0x1000, 6, 0xFFFFFFFF, 0}}));
    EXPECT_EQ(publicSink.calls, (std::vector<Call>{{0x4000, 5, 0, 0}}));
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
    EXPECT_EQ(sink.references, 3u);

    EXPECT_EQ(server->Unadvise(first), S_OK);
    EXPECT_EQ(sink.references, 2u);
    ServicesServer::FireNotify(0x8);
    EXPECT_EQ(sink.calls, (std::vector<Call>{{0x8, 2, 0, 0}})); // the first record went
    EXPECT_EQ(server->Unadvise(first), S_OK);
    EXPECT_EQ(sink.references, 1u);
    EXPECT_EQ(other.references, 2u);
}

TEST_F(ServicesServerTest, UnknownCookieChangesNothing)
{
    FakeSink& sink = NewSink();
    DWORD cookie = AdvisePublic(sink, 0x8, 1);
    EXPECT_EQ(server->Unadvise(cookie + 1), S_OK);
    EXPECT_EQ(server->Unadvise(0), S_OK);
    EXPECT_EQ(source->Unadvise(cookie), S_OK); // the other list
    ServicesServer::FireNotify(0x8);
    EXPECT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.references, 2u);
}

TEST_F(ServicesServerTest, NullSinkOrCookiePointerIsRefused)
{
    DWORD cookie = 1234;
    EXPECT_EQ(server->Advise(nullptr, 0xFFFF, 1, &cookie), E_POINTER);
    EXPECT_EQ(source->Advise(nullptr, 0xFFFF, 1, &cookie), E_POINTER);
    EXPECT_EQ(cookie, 1234u);
    FakeSink& sink = NewSink();
    EXPECT_EQ(server->Advise(sink.Public(), 0xFFFF, 1, nullptr), E_POINTER);
    EXPECT_EQ(sink.references, 1u);
    // Nothing was stored: broadcasts, Unadvise(0) and the object's end touch no sink.
    ServicesServer::FireNotify(0xFFFF);
    EXPECT_EQ(server->Unadvise(0), S_OK);
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(ServicesServerTest, UnadviseInsideNotifyKeepsTheSinksAliveUntilTheBroadcastEnds)
{
    FakeSink& first = NewSink();
    FakeSink& second = NewSink();
    FakeSink& third = NewSink();
    DWORD firstCookie = AdvisePublic(first, 0x4, 1);
    DWORD secondCookie = AdvisePublic(second, 0x4, 2);
    AdvisePublic(third, 0x4, 3);
    ULONG heldDuringBroadcast = 0;
    first.onNotify = [&] {
        // The Terminate handler of a client drops itself and another subscription.
        server->Unadvise(firstCookie);
        server->Unadvise(secondCookie);
        heldDuringBroadcast = first.references;
    };
    ServicesServer::FireNotify(0x4);
    EXPECT_EQ(heldDuringBroadcast, 2u); // the broadcast's reference, not yet released
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_TRUE(second.calls.empty()); // unadvised before its turn: not called
    EXPECT_EQ(third.calls.size(), 1u);
    EXPECT_EQ(first.references, 1u);
    EXPECT_EQ(second.references, 1u);
    EXPECT_EQ(third.references, 2u);
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
    EXPECT_TRUE(late.calls.empty());
    ServicesServer::FirePrivateNotify(0x2000, 5, 6);
    EXPECT_EQ(late.calls, (std::vector<Call>{{0x2000, 2, 5, 6}}));
    EXPECT_EQ(caller.calls.size(), 2u);
}

TEST_F(ServicesServerTest, EndOfTheServerReleasesEverySink)
{
    FakeSink& a = NewSink();
    FakeSink& b = NewSink();
    AdvisePublic(a, 0x8, 1);
    AdvisePublic(a, 0x10, 1);
    AdvisePrivate(b, 0x400, 2);
    EXPECT_EQ(a.references, 3u);
    source->Release();
    ComModule::Term();
    EXPECT_EQ(a.references, 1u);
    EXPECT_EQ(b.references, 1u);
    ServicesServer::FireNotify(0x8);
    EXPECT_TRUE(a.calls.empty());
    // A fresh server for TearDown.
    ComModule::Init();
    server = ComModule::GetServer();
    server->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source));
}

TEST_F(ServicesServerTest, EveryInterfaceIsOneObjectAndReferencesLockTheModule)
{
    LONG locks = ComModule::GetLockCount();
    IUnknown* viaServices = nullptr;
    IUnknown* viaSource = nullptr;
    ASSERT_EQ(server->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaServices)), S_OK);
    ASSERT_EQ(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaSource)), S_OK);
    EXPECT_EQ(viaServices, viaSource);
    EXPECT_EQ(ComModule::GetLockCount(), locks + 2);
    viaServices->Release();
    viaSource->Release();
    EXPECT_EQ(ComModule::GetLockCount(), locks);

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(server->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
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
    ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IKivCorvanServices, reinterpret_cast<void**>(&first)),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IKivCorvanServices, reinterpret_cast<void**>(&second)),
              S_OK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, static_cast<IKivCorvanServices*>(ComModule::GetServer()));
    EXPECT_EQ(ComModule::GetLockCount(), 3);
    first->Release();
    second->Release();
    EXPECT_EQ(ComModule::GetLockCount(), 1);

    ComModule::Term();
    IKivCorvanServices* late = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IKivCorvanServices, reinterpret_cast<void**>(&late)),
              CO_E_SERVER_STOPPING);
    EXPECT_EQ(ComModule::RevokeClassObjects(), S_OK);
    EXPECT_EQ(ComModule::RevokeClassObjects(), S_OK); // the second time does nothing
    ComModule::Unlock();
    CoUninitialize();
}
} // namespace
