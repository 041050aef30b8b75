#pragma once
// Client-side callback sinks of the COM server's two lists, recording what arrives.
#include <functional>
#include <vector>

#include "mixer/comcontract/ComInterfaces.h"

struct Arrival
{
    DWORD type, user, a, b;
    bool operator==(const Arrival& o) const { return type == o.type && user == o.user && a == o.a && b == o.b; }
};

template <class Interface>
class RecordingSink : public Interface
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface)))
        {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Owned by the test: the count is only watched.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&references)); }

    void Record(DWORD type, DWORD user, DWORD a, DWORD b)
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        times.push_back(now.QuadPart);
        arrivals.push_back({type, user, a, b});
        if (onNotify)
            onNotify();
    }

    LONG references = 1;
    std::vector<Arrival> arrivals;
    std::vector<LONGLONG> times; // performance-counter time of each arrival
    std::function<void()> onNotify;
};

class PublicSink : public RecordingSink<IKivCorvanNotify>
{
public:
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD user) override
    {
        Record(type, user, 0, 0);
        return S_OK;
    }
};

class PrivateSink : public RecordingSink<IKivCorvanEventSink>
{
public:
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD user, DWORD a, DWORD b) override
    {
        Record(type, user, a, b);
        return S_OK;
    }
};
