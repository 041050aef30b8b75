// The library as a caller uses it: loaded from its file, the export looked up by name, run
// against the stand-in endpoints.
#include "vista/EndpointFormat.h"
#include "vista/SyncVistaSampleRate.h"
#include "vista/tests/EndpointStandinFixture.h"

#include <gtest/gtest.h>

#include <thread>

namespace kiv::vista::test
{
namespace
{

struct ExpectedWrite
{
    const wchar_t* id;
    uint32_t rate;
    uint16_t channels;
    uint32_t channelMask;
    HRESULT result = S_OK;
};

struct SyncCase
{
    const char* what;
    std::vector<EndpointSetup> endpoints;
    const wchar_t* fragment;
    int32_t rate;
    std::vector<ExpectedWrite> writes;
};

const WaveFormatExtensible kCdStereo = AsRecord(Plain(kWaveFormatPcm, 2, 44100, 16));

std::vector<SyncCase> Cases()
{
    return {
        {"a stereo 44.1 kHz 16-bit pair becomes 48 kHz, 24 valid bits in 32",
         {{eRender, L"r1", L"Speakers (KIV Corvan)", kCdStereo}, {eCapture, L"c1", L"Line In (KIV Corvan)", kCdStereo}},
         L"KIV Corvan",
         48000,
         {{L"r1", 48000, 2, 0x3}, {L"c1", 48000, 2, 0x3}}},
        {"only the first active match of each flow, in enumeration order",
         {{eRender, L"r0", L"Speakers (Other)", kCdStereo},
          {eRender, L"r1", L"KIV Corvan 1/2", kCdStereo, StandinNameKind::Text, DEVICE_STATE_DISABLED},
          {eRender, L"r2", L"KIV Corvan 3/4", kCdStereo},
          {eRender, L"r3", L"KIV Corvan 5/6", kCdStereo},
          {eCapture, L"c1", L"KIV Corvan In 1/2", kCdStereo},
          {eCapture, L"c2", L"KIV Corvan In 3/4", kCdStereo}},
         L"KIV Corvan",
         96000,
         {{L"r2", 96000, 2, 0x3}, {L"c1", 96000, 2, 0x3}}},
        {"an endpoint at the rate with 24 valid bits is not written, plain or extensible",
         {{eRender, L"r1", L"KIV Corvan", Extensible(2, 48000, 32, 24, 0x3, kSubFormatPcm)},
          {eCapture, L"c1", L"KIV Corvan", AsRecord(Plain(kWaveFormatPcm, 2, 48000, 24))}},
         L"KIV Corvan",
         48000,
         {}},
        {"the rate alone or the valid bits alone differing is enough",
         {{eRender, L"r1", L"KIV Corvan", Extensible(6, 44100, 32, 24, 0x3F, kSubFormatPcm)},
          {eCapture, L"c1", L"KIV Corvan", Extensible(2, 88200, 32, 32, 0x3, kSubFormatIeeeFloat)}},
         L"KIV Corvan",
         88200,
         {{L"r1", 88200, 6, 0x3F}, {L"c1", 88200, 2, 0x3}}},
        {"a name without the fragment changes nothing",
         {{eRender, L"r1", L"Speakers", kCdStereo}, {eCapture, L"c1", L"Microphone", kCdStereo}},
         L"KIV Corvan",
         48000,
         {}},
        {"the name match is case-sensitive",
         {{eRender, L"r1", L"KIV Corvan", kCdStereo}, {eCapture, L"c1", L"KIV Corvan", kCdStereo}},
         L"kiv corvan",
         48000,
         {}},
        {"endpoints without a wide-text name are passed over",
         {{eRender, L"r1", nullptr, kCdStereo, StandinNameKind::Empty},
          {eRender, L"r2", nullptr, kCdStereo, StandinNameKind::NotText},
          {eRender, L"r3", nullptr, kCdStereo, StandinNameKind::Unreadable},
          {eRender, L"r4", L"KIV Corvan", kCdStereo}},
         L"Corvan",
         48000,
         {{L"r4", 48000, 2, 0x3}}},
        {"plain records, float or with a bare extensible tag, get a fresh integer extensible record",
         {{eRender, L"r1", L"KIV Corvan", AsRecord(Plain(kWaveFormatIeeeFloat, 1, 44100, 32))},
          {eCapture, L"c1", L"KIV Corvan", AsRecord(Plain(kWaveFormatExtensible, 2, 48000, 32))}},
         L"KIV Corvan",
         48000,
         {{L"r1", 48000, 1, 0x4}, {L"c1", 48000, 2, 0x3}}},
        {"an unreadable format is left alone and the other flow still runs",
         {{eRender, L"r1", L"KIV Corvan", kCdStereo, StandinNameKind::Text, DEVICE_STATE_ACTIVE, false},
          {eCapture, L"c1", L"KIV Corvan", kCdStereo}},
         L"KIV Corvan",
         48000,
         {{L"c1", 48000, 2, 0x3}}},
        {"a refused write is tried once and the other flow still runs",
         {{eRender, L"r1", L"KIV Corvan", kCdStereo, StandinNameKind::Text, DEVICE_STATE_ACTIVE, true, true},
          {eCapture, L"c1", L"KIV Corvan", kCdStereo}},
         L"KIV Corvan",
         48000,
         {{L"r1", 48000, 2, 0x3, E_ACCESSDENIED}, {L"c1", 48000, 2, 0x3}}},
        {"no fragment, no change", {{eRender, L"r1", L"KIV Corvan", kCdStereo}}, nullptr, 48000, {}},
        {"no rate, no change", {{eRender, L"r1", L"KIV Corvan", kCdStereo}}, L"KIV", 0, {}},
        {"a negative rate, no change", {{eRender, L"r1", L"KIV Corvan", kCdStereo}}, L"KIV", -48000, {}},
    };
}

class SyncVistaSampleRateTest : public EndpointStandinTest
{
protected:
    static void SetUpTestSuite()
    {
        library_ = LoadLibraryW(L"KivCorvanDSPV.dll");
        if (library_ != nullptr)
            sync_ = reinterpret_cast<SyncVistaSampleRateFunction>(
                reinterpret_cast<void*>(GetProcAddress(library_, "SyncVistaSampleRate")));
    }

    static void TearDownTestSuite()
    {
        if (library_ != nullptr)
            FreeLibrary(library_);
        library_ = nullptr;
        sync_ = nullptr;
    }

    void SetUp() override
    {
        EndpointStandinTest::SetUp();
        ASSERT_NE(library_, nullptr) << "KivCorvanDSPV.dll does not load";
        ASSERT_NE(sync_, nullptr) << "SyncVistaSampleRate is not exported by that name";
    }

    static HMODULE library_;
    static SyncVistaSampleRateFunction sync_;
};

HMODULE SyncVistaSampleRateTest::library_ = nullptr;
SyncVistaSampleRateFunction SyncVistaSampleRateTest::sync_ = nullptr;

TEST_F(SyncVistaSampleRateTest, ExportsOneUndecoratedName)
{
    EXPECT_EQ(GetProcAddress(library_, "_SyncVistaSampleRate@8"), nullptr);
    EXPECT_EQ(GetProcAddress(library_, "SyncVistaSampleRate@8"), nullptr);
}

TEST_F(SyncVistaSampleRateTest, WritesTheFirstMatchOfEachFlowWhereItsFormatDiffers)
{
    for (const SyncCase& c : Cases())
    {
        SCOPED_TRACE(c.what);
        standin_->Reset();
        Add(c.endpoints);
        sync_(c.fragment, c.rate);

        const std::vector<StandinFormatWrite> writes = Writes();
        ASSERT_EQ(writes.size(), c.writes.size());
        for (size_t i = 0; i < writes.size(); ++i)
        {
            const StandinFormatWrite& got = writes[i];
            const ExpectedWrite& want = c.writes[i];
            EXPECT_STREQ(got.endpointId, want.id);
            EXPECT_EQ(got.result, want.result);
            EXPECT_FALSE(got.mixFormatGiven);
            ASSERT_EQ(got.size, sizeof(WaveFormatExtensible));
            EXPECT_EQ(got.format.format.formatTag, kWaveFormatExtensible);
            EXPECT_EQ(got.format.subFormat, kSubFormatPcm);
            EXPECT_EQ(got.format.format.samplesPerSec, want.rate);
            EXPECT_EQ(got.format.validBitsPerSample, 24);
            EXPECT_EQ(got.format.format.bitsPerSample, 32);
            EXPECT_EQ(got.format.format.channels, want.channels);
            EXPECT_EQ(got.format.format.blockAlign, want.channels * 4);
            EXPECT_EQ(got.format.format.avgBytesPerSec, want.channels * 4u * want.rate);
            EXPECT_EQ(got.format.channelMask, want.channelMask);
        }
        EXPECT_EQ(ObjectsLeft(), 0) << "every enumerator, endpoint and policy object released";
    }
}

TEST_F(SyncVistaSampleRateTest, ASecondCallFindsNothingToChange)
{
    Add({{eRender, L"r1", L"KIV Corvan", kCdStereo}, {eCapture, L"c1", L"KIV Corvan", kCdStereo}});
    sync_(L"KIV Corvan", 48000);
    ASSERT_EQ(standin_->WriteCount(), 2u);
    sync_(L"KIV Corvan", 48000);
    EXPECT_EQ(standin_->WriteCount(), 2u);
    sync_(L"KIV Corvan", 44100);
    EXPECT_EQ(standin_->WriteCount(), 4u);
}

// The library joins the caller's apartment, or makes one for the call and leaves none behind.
TEST_F(SyncVistaSampleRateTest, WorksFromAnyThreadAndLeavesItsApartmentAsItWas)
{
    const DWORD models[] = {COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED};
    for (const DWORD model : models)
    {
        SCOPED_TRACE(model);
        standin_->Reset();
        Add({{eRender, L"r1", L"KIV Corvan", kCdStereo}});
        HRESULT before = E_FAIL;
        HRESULT during = E_FAIL;
        std::thread([&] {
            before = CoInitializeEx(nullptr, model);
            sync_(L"KIV Corvan", 48000);
            // Still in the same apartment, entered once by this thread.
            during = CoInitializeEx(nullptr, model);
            CoUninitialize();
            CoUninitialize();
        }).join();
        EXPECT_EQ(before, S_OK);
        EXPECT_EQ(during, S_FALSE);
        EXPECT_EQ(standin_->WriteCount(), 1u);
    }

    standin_->Reset();
    Add({{eCapture, L"c1", L"KIV Corvan", kCdStereo}});
    HRESULT after = E_FAIL;
    std::thread([&] {
        sync_(L"KIV Corvan", 48000);
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(after))
            CoUninitialize();
    }).join();
    EXPECT_EQ(after, S_OK) << "the library's own apartment was not left behind";
    EXPECT_EQ(standin_->WriteCount(), 1u);
}

} // namespace
} // namespace kiv::vista::test
