#include "plugins/quorvel/tests/FakeServicesServer.h"

#include <objbase.h>

#define KIV_FAKE_UNKNOWN_OF(Fake)                                                                                      \
    HRESULT STDMETHODCALLTYPE Fake::QueryInterface(REFIID riid, void** object)                                         \
    {                                                                                                                  \
        return server.Query(riid, object);                                                                             \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE Fake::AddRef()                                                                             \
    {                                                                                                                  \
        return static_cast<ULONG>(++server.references);                                                                \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE Fake::Release()                                                                            \
    {                                                                                                                  \
        return static_cast<ULONG>(--server.references);                                                                \
    }

KIV_FAKE_UNKNOWN_OF(FakeServicesObject)
KIV_FAKE_UNKNOWN_OF(FakeEffectServices)
KIV_FAKE_UNKNOWN_OF(FakeParamInfo)
KIV_FAKE_UNKNOWN_OF(FakeEventSource)

FakeServicesServer::~FakeServicesServer()
{
    // The server lets go of its sinks when it ends.
    if (notifySink)
    {
        notifySink->Release();
    }
    if (eventSink)
    {
        eventSink->Release();
    }
}

HRESULT FakeServicesServer::Query(REFIID riid, void** object)
{
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IKivCorvanServices))
    {
        *object = static_cast<IKivCorvanServices*>(&services);
    }
    else if (IsEqualIID(riid, IID_IKivCorvanEffectServices))
    {
        calls.push_back("QueryInterface EffectServices");
        *object = offerEffectServices ? static_cast<IKivCorvanEffectServices*>(&effects) : nullptr;
    }
    else if (IsEqualIID(riid, IID_IKivCorvanEffectServices2))
    {
        calls.push_back("QueryInterface EffectServices2");
        *object = offerSecond ? static_cast<IKivCorvanEffectServices2*>(&effects) : nullptr;
    }
    else if (IsEqualIID(riid, IID_IKivCorvanParamInfo))
    {
        calls.push_back("QueryInterface ParamInfo");
        *object = offerParamInfo ? static_cast<IKivCorvanParamInfo*>(&paramInfo) : nullptr;
    }
    else if (IsEqualIID(riid, IID_IKivCorvanEventSource))
    {
        calls.push_back("QueryInterface EventSource");
        *object = offerEventSource ? static_cast<IKivCorvanEventSource*>(&eventSource) : nullptr;
    }
    if (!*object)
    {
        return E_NOINTERFACE;
    }
    ++references;
    return S_OK;
}

HRESULT FakeServicesServer::Answer(const std::string& call, const char* name)
{
    calls.push_back(call);
    if (onCall)
    {
        onCall(call);
    }
    const auto answer = answers.find(name);
    return answer == answers.end() ? S_OK : answer->second;
}

HRESULT STDMETHODCALLTYPE FakeServicesObject::Advise(IKivCorvanNotify* sink, DWORD mask, DWORD hUser, DWORD* cookie)
{
    const HRESULT result = server.Answer("Advise", "Advise");
    if (result == S_OK)
    {
        sink->AddRef();
        server.notifySink = sink;
        server.notifyMask = mask;
        server.notifyUser = hUser;
        *cookie = 11;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE FakeServicesObject::Unadvise(DWORD cookie)
{
    return server.Answer("Unadvise " + std::to_string(cookie), "Unadvise");
}

HRESULT STDMETHODCALLTYPE FakeEventSource::Advise(IKivCorvanEventSink* sink, DWORD mask, DWORD hUser, DWORD* cookie)
{
    const HRESULT result = server.Answer("EventAdvise", "EventAdvise");
    if (result == S_OK)
    {
        sink->AddRef();
        server.eventSink = sink;
        server.eventMask = mask;
        server.eventUser = hUser;
        *cookie = 12;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE FakeEventSource::Unadvise(DWORD cookie)
{
    return server.Answer("EventUnadvise " + std::to_string(cookie), "EventUnadvise");
}

HRESULT FakeEffectServices::Answer(const char* name, LONG clientId)
{
    return server.Answer(clientId >= 0 ? std::string(name) + " " + std::to_string(clientId) : std::string(name), name);
}

HRESULT FakeParamInfo::Answer(const char* name, LONG clientId)
{
    return server.Answer(std::string(name) + " " + std::to_string(clientId), name);
}

HRESULT STDMETHODCALLTYPE FakeEffectServices::RegisterClient(LONG* clientId)
{
    const HRESULT result = Answer("RegisterClient", -1);
    if (result == S_OK)
    {
        *clientId = server.clientId;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE FakeEffectServices::AcquireSendReturn(LONG clientId, KivSendReturn* record, LONG* sendPair,
                                                                LONG* returnPair)
{
    const HRESULT result = Answer("AcquireSendReturn", clientId);
    if (result == S_OK)
    {
        record->data[0] = server.pair;
        *sendPair = server.pair;
        *returnPair = server.pair;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE FakeEffectServices::GetInserts(KivEffectId, LONG* isFactory, LONG* count,
                                                         KivEffectPreset** effects, LONG** valueCounts, float** wetDry,
                                                         LONG* valueCount, KivPresetValue** values)
{
    if (!isFactory || !count || !effects || !valueCounts || !wetDry || !valueCount || !values)
    {
        server.calls.push_back("GetInserts null");
        return E_POINTER;
    }
    const HRESULT result = Answer("GetInserts", -1);
    *isFactory = 1;
    *count = 1;
    *effects = static_cast<KivEffectPreset*>(CoTaskMemAlloc(sizeof(KivEffectPreset)));
    *valueCounts = static_cast<LONG*>(CoTaskMemAlloc(sizeof(LONG)));
    **valueCounts = 1;
    *wetDry = static_cast<float*>(CoTaskMemAlloc(sizeof(float)));
    *valueCount = 1;
    *values = static_cast<KivPresetValue*>(CoTaskMemAlloc(sizeof(KivPresetValue)));
    return result;
}
