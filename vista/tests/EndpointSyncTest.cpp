// The library's steps on their own, against the stand-in endpoints.
#include "vista/EndpointSync.h"
#include "vista/tests/EndpointStandinFixture.h"

#include <gtest/gtest.h>

#include <propkey.h>

namespace kiv::vista::test
{
namespace
{

const WaveFormatExtensible kCdStereo = AsRecord(Plain(kWaveFormatPcm, 2, 44100, 16));

using EndpointSyncTest = EndpointStandinTest;

TEST_F(EndpointSyncTest, PropertyStoreAnswersItsOwnInterfaceOnly)
{
    Add({{eRender, L"r1", L"KIV Corvan", kCdStereo}});
    IEndpointPropertyStore* store = OpenEndpointPropertyStore(L"r1");
    ASSERT_NE(store, nullptr);

    IUnknown* unknown = nullptr;
    EXPECT_EQ(store->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(store));
    IUnknown* own = nullptr;
    EXPECT_EQ(store->QueryInterface(kEndpointPropertyStoreInterfaceId, reinterpret_cast<void**>(&own)), S_OK);
    void* other = &own;
    EXPECT_EQ(store->QueryInterface(__uuidof(IPropertyStore), &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(store->QueryInterface(kEndpointPropertyStoreInterfaceId, nullptr), E_POINTER);

    // Three references now; the policy object goes with the last.
    EXPECT_EQ(ObjectsLeft(), 1);
    unknown->Release();
    own->Release();
    EXPECT_EQ(ObjectsLeft(), 1);
    EXPECT_EQ(store->Release(), 0u);
    EXPECT_EQ(ObjectsLeft(), 0);
}

TEST_F(EndpointSyncTest, PropertyStoreReadsAndWritesItsOwnEndpoint)
{
    Add({{eRender, L"r1", L"Speakers", kCdStereo}, {eRender, L"r2", L"Other", kCdStereo}});
    IEndpointPropertyStore* store = OpenEndpointPropertyStore(L"r2");
    ASSERT_NE(store, nullptr);

    PROPVARIANT name;
    PropVariantInit(&name);
    name.vt = VT_LPWSTR;
    name.pwszVal = const_cast<LPWSTR>(L"KIV Corvan Out");
    EXPECT_EQ(store->SetValue(kEndpointNameKey, &name), S_OK);

    PROPVARIANT read;
    PropVariantInit(&read);
    ASSERT_EQ(store->GetValue(kEndpointNameKey, &read), S_OK);
    ASSERT_EQ(read.vt, VT_LPWSTR);
    EXPECT_STREQ(read.pwszVal, L"KIV Corvan Out");
    PropVariantClear(&read);
    store->Release();

    IMMDevice* found = FindEndpoint(L"Corvan", eRender);
    ASSERT_NE(found, nullptr);
    LPWSTR id = nullptr;
    ASSERT_EQ(found->GetId(&id), S_OK);
    EXPECT_STREQ(id, L"r2");
    CoTaskMemFree(id);
    found->Release();
    EXPECT_EQ(ObjectsLeft(), 0);
}

TEST_F(EndpointSyncTest, NameMatchNeedsAFragmentAndAWideTextName)
{
    struct Case
    {
        const wchar_t* fragment;
        StandinNameKind kind;
        bool matches;
    };
    const Case cases[] = {
        {L"Corvan", StandinNameKind::Text, true},     {L"KIV Corvan Out", StandinNameKind::Text, true},
        {L"corvan", StandinNameKind::Text, false},    {L"KIV Corvan Outs", StandinNameKind::Text, false},
        {nullptr, StandinNameKind::Text, false},      {L"Corvan", StandinNameKind::Empty, false},
        {L"Corvan", StandinNameKind::NotText, false}, {L"Corvan", StandinNameKind::Unreadable, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.kind));
        standin_->Reset();
        Add({{eRender, L"r1", L"KIV Corvan Out", kCdStereo, c.kind}});
        IMMDeviceEnumerator* enumerator = nullptr;
        ASSERT_EQ(standin_->QueryInterface(__uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator)), S_OK);
        IMMDeviceCollection* endpoints = nullptr;
        ASSERT_EQ(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &endpoints), S_OK);
        IMMDevice* endpoint = nullptr;
        ASSERT_EQ(endpoints->Item(0, &endpoint), S_OK);
        EXPECT_EQ(EndpointNameMatches(c.fragment, endpoint), c.matches);
        endpoint->Release();
        endpoints->Release();
        enumerator->Release();
        EXPECT_EQ(ObjectsLeft(), 0);
    }
}

TEST_F(EndpointSyncTest, FormatReadLeavesItsOutputsAloneWhenItFails)
{
    EndpointSetup unreadable{eRender, L"r1", L"KIV Corvan", kCdStereo};
    unreadable.formatReadable = false;
    Add({unreadable, {eRender, L"r2", L"KIV Corvan", Extensible(2, 96000, 32, 24, 0x3, kSubFormatPcm)}});

    uint32_t rate = 7;
    uint16_t validBits = 9;
    EXPECT_FALSE(GetEndpointFormat(L"r1", &rate, &validBits));
    EXPECT_FALSE(GetEndpointFormat(L"nowhere", &rate, &validBits));
    EXPECT_EQ(rate, 7u);
    EXPECT_EQ(validBits, 9);
    EXPECT_TRUE(GetEndpointFormat(L"r2", &rate, &validBits));
    EXPECT_EQ(rate, 96000u);
    EXPECT_EQ(validBits, 24);

    EXPECT_TRUE(FAILED(SetEndpointFormat(L"r1", 48000, 24)));
    EXPECT_EQ(standin_->WriteCount(), 0u);
    EXPECT_EQ(ObjectsLeft(), 0);
}

} // namespace
} // namespace kiv::vista::test
