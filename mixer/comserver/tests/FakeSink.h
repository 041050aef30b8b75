#pragma once
#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

#include "mixer/comcontract/ComInterfaces.h"

struct Call
{
    DWORD type, user, a, b;
    bool operator==(const Call& o) const { return type == o.type && user == o.user && a == o.a && b == o.b; }
};

// A callback sink of either list that records its calls and its references. It is free-threaded
// (it aggregates the free-threaded marshaller): the delivery threads call it directly.
class FakeSink : public IKivCorvanNotify, public IKivCorvanEventSink
{
public:
    FakeSink() { CoCreateFreeThreadedMarshaler(Public(), &marshaller_); }
    ~FakeSink()
    {
        if (marshaller_)
            marshaller_->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IMarshal) && marshaller_)
            return marshaller_->QueryInterface(iid, object);
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKivCorvanNotify))
            *object = Public();
        else if (IsEqualIID(iid, IID_IKivCorvanEventSink))
            *object = Private();
        else
        {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (GetCurrentThreadId() == owner_)
            InterlockedIncrement(&ownerReleases);
        return static_cast<ULONG>(InterlockedDecrement(&references));
    }
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD user) override { return Record({type, user, 0, 0}); }
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD user, DWORD a, DWORD b) override
    {
        return Record({type, user, a, b});
    }
    IKivCorvanNotify* Public() { return this; }
    IKivCorvanEventSink* Private() { return this; }
    std::vector<Call> Calls()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
    }

    LONG references = 1;
    LONG ownerReleases = 0;         // releases made on the thread that made the sink
    std::function<void()> onNotify; // runs on the delivery thread, after the call is recorded
    HRESULT answer = S_OK;

private:
    HRESULT Record(const Call& call)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back(call);
        }
        if (onNotify)
            onNotify();
        return answer;
    }

    IUnknown* marshaller_ = nullptr;
    DWORD owner_ = GetCurrentThreadId();
    std::mutex mutex_;
    std::vector<Call> calls_;
};
