// A test with the audio endpoint stand-ins: COM on the test thread, the stand-ins' shared
// state emptied before and after, and helpers to describe endpoints and read the writes.
#pragma once

#include "standins/audioendpoints/AudioEndpointStandin.h"
#include "vista/tests/FormatBuilders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv::vista::test
{

struct EndpointSetup
{
    EDataFlow flow;
    const wchar_t* id;
    const wchar_t* name;
    WaveFormatExtensible format; // a plain record when format.extraSize is 0
    StandinNameKind nameKind = StandinNameKind::Text;
    DWORD state = DEVICE_STATE_ACTIVE;
    bool formatReadable = true;
    bool refuseWrites = false;
};

class EndpointStandinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        const HRESULT created = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                                 kAudioEndpointStandinInterfaceId, reinterpret_cast<void**>(&standin_));
        ASSERT_EQ(created, S_OK) << "the audio endpoint stand-ins are not registered in the test prefix";
        standin_->Reset();
    }

    void TearDown() override
    {
        if (standin_ != nullptr)
        {
            standin_->Reset();
            standin_->Release();
        }
        CoUninitialize();
    }

    void Add(const std::vector<EndpointSetup>& endpoints)
    {
        for (const EndpointSetup& e : endpoints)
        {
            const StandinEndpoint endpoint{e.flow,        e.state, e.id,
                                           e.nameKind,    e.name,  e.formatReadable ? &e.format.format : nullptr,
                                           e.refuseWrites};
            ASSERT_EQ(standin_->AddEndpoint(endpoint), S_OK);
        }
    }

    std::vector<StandinFormatWrite> Writes()
    {
        std::vector<StandinFormatWrite> writes(standin_->WriteCount());
        for (ULONG i = 0; i < writes.size(); ++i)
            EXPECT_EQ(standin_->GetWrite(i, &writes[i]), S_OK);
        return writes;
    }

    // Stand-in objects alive besides the test's own handle.
    LONG ObjectsLeft() { return standin_->LiveObjects() - 1; }

    IAudioEndpointStandin* standin_ = nullptr;
};

} // namespace kiv::vista::test
