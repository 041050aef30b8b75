// Our declaration of the policy-configuration interface must call the slots the real object
// has: each operation is called on a bare table of functions numbered as in the published
// description (slots 0-2 IUnknown, then GetMixFormat 3 ... SetEndpointVisibility 13), each
// taking the documented arguments, so a slot or an argument list out of place shows here.
#include "vista/PolicyConfig.h"

#include <gtest/gtest.h>

namespace kiv::vista
{
namespace
{

int gCalledSlot = -1;

template <int Slot, typename... Arguments>
HRESULT STDMETHODCALLTYPE Record(void*, Arguments...)
{
    gCalledSlot = Slot;
    return S_OK;
}

struct BareObject
{
    const void* const* table;
};

const void* const kTable[] = {
    reinterpret_cast<const void*>(&Record<0, REFIID, void**>),
    reinterpret_cast<const void*>(&Record<1>),
    reinterpret_cast<const void*>(&Record<2>),
    reinterpret_cast<const void*>(&Record<3, LPCWSTR, void*>),
    reinterpret_cast<const void*>(&Record<4, LPCWSTR, INT, void*>),
    reinterpret_cast<const void*>(&Record<5, LPCWSTR, void*, void*>),
    reinterpret_cast<const void*>(&Record<6, LPCWSTR, INT, void*, void*>),
    reinterpret_cast<const void*>(&Record<7, LPCWSTR, void*>),
    reinterpret_cast<const void*>(&Record<8, LPCWSTR, void*>),
    reinterpret_cast<const void*>(&Record<9, LPCWSTR, void*>),
    reinterpret_cast<const void*>(&Record<10, LPCWSTR, INT, const PROPERTYKEY*, void*>),
    reinterpret_cast<const void*>(&Record<11, LPCWSTR, INT, const PROPERTYKEY*, void*>),
    reinterpret_cast<const void*>(&Record<12, LPCWSTR, INT>),
    reinterpret_cast<const void*>(&Record<13, LPCWSTR, INT>),
};

TEST(PolicyConfigLayout, EveryOperationCallsItsPublishedSlot)
{
    BareObject bare{kTable};
    auto* policy = reinterpret_cast<IPolicyConfigVista*>(&bare);
    WaveFormat* format = nullptr;
    WaveFormat written{};
    INT64 period = 0;
    PROPVARIANT value{};
    struct Case
    {
        int slot;
        void (*call)(IPolicyConfigVista*, WaveFormat**, WaveFormat*, INT64*, PROPVARIANT*);
    };
    const Case cases[] = {
        {3, [](IPolicyConfigVista* p, WaveFormat** f, WaveFormat*, INT64*, PROPVARIANT*) { p->GetMixFormat(L"e", f); }},
        {4, [](IPolicyConfigVista* p, WaveFormat** f, WaveFormat*, INT64*,
               PROPVARIANT*) { p->GetDeviceFormat(L"e", 0, f); }},
        {5, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat* w, INT64*,
               PROPVARIANT*) { p->SetDeviceFormat(L"e", w, nullptr); }},
        {6, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64* t,
               PROPVARIANT*) { p->GetProcessingPeriod(L"e", 0, t, t); }},
        {7, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64* t,
               PROPVARIANT*) { p->SetProcessingPeriod(L"e", t); }},
        {8, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64* t, PROPVARIANT*) { p->GetShareMode(L"e", t); }},
        {9, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64* t, PROPVARIANT*) { p->SetShareMode(L"e", t); }},
        {10, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64*,
                PROPVARIANT* v) { p->GetPropertyValue(L"e", 0, kEndpointNameKey, v); }},
        {11, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64*,
                PROPVARIANT* v) { p->SetPropertyValue(L"e", 0, kEndpointNameKey, v); }},
        {12, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64*,
                PROPVARIANT*) { p->SetDefaultEndpoint(L"e", 0); }},
        {13, [](IPolicyConfigVista* p, WaveFormat**, WaveFormat*, INT64*,
                PROPVARIANT*) { p->SetEndpointVisibility(L"e", 1); }},
    };
    for (const Case& c : cases)
    {
        gCalledSlot = -1;
        c.call(policy, &format, &written, &period, &value);
        EXPECT_EQ(gCalledSlot, c.slot);
    }
}

} // namespace
} // namespace kiv::vista
