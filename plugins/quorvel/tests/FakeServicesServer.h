#pragma once
// The mixer program's COM server as a services link meets it, in process: four objects that
// answer each other's QueryInterface as the server's one object would, record every call
// (name, and the client id where one is passed), answer S_OK unless told otherwise, and keep
// the sinks they were given as the server does.

#include "mixer/comcontract/ComInterfaces.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeServicesServer;

// IUnknown of every fake object: queries go to the server, references are counted together.
#define KIV_FAKE_UNKNOWN                                                                                               \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;                                     \
    ULONG STDMETHODCALLTYPE AddRef() override;                                                                         \
    ULONG STDMETHODCALLTYPE Release() override;

struct FakeServicesObject : IKivCorvanServices
{
    explicit FakeServicesObject(FakeServicesServer& owner) : server(owner) {}
    KIV_FAKE_UNKNOWN
    HRESULT STDMETHODCALLTYPE Advise(IKivCorvanNotify* sink, DWORD mask, DWORD hUser, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE GetASIOChannelName(LONG, LONG, LONG, char*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMonitorInfo(KivASIOMonitorInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetASIODriverProfile(KivASIODrvProfile*) override { return E_NOTIMPL; }
    FakeServicesServer& server;
};

struct FakeEffectServices : IKivCorvanEffectServices2
{
    explicit FakeEffectServices(FakeServicesServer& owner) : server(owner) {}
    KIV_FAKE_UNKNOWN
    HRESULT Answer(const char* name, LONG clientId);
    HRESULT STDMETHODCALLTYPE RegisterClient(LONG* clientId) override;
    HRESULT STDMETHODCALLTYPE AcquireSendReturn(LONG clientId, KivSendReturn* record, LONG* sendPair,
                                                LONG* returnPair) override;
    // Refuses a null out pointer, as the proxy does across processes; hands back one of each.
    HRESULT STDMETHODCALLTYPE GetInserts(KivEffectId, LONG* isFactory, LONG* count, KivEffectPreset** effects,
                                         LONG** valueCounts, float** wetDry, LONG* valueCount,
                                         KivPresetValue** values) override;
    HRESULT STDMETHODCALLTYPE UnregisterClient(LONG clientId) override { return Answer("UnregisterClient", clientId); }
    HRESULT STDMETHODCALLTYPE ReleaseSendReturn(LONG clientId) override
    {
        return Answer("ReleaseSendReturn", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetEffectCatalog(LONG*, KivEffectCategory**) override
    {
        return Answer("GetEffectCatalog", -1);
    }
    HRESULT STDMETHODCALLTYPE GetEffectPresets(const KivEffectCategory*, LONG*, KivEffectPreset**) override
    {
        return Answer("GetEffectPresets", -1);
    }
    HRESULT STDMETHODCALLTYPE GetEffectCorePresets(KivEffectId, LONG*, KivCorePreset**) override
    {
        return Answer("GetEffectCorePresets", -1);
    }
    HRESULT STDMETHODCALLTYPE CreatePreset(LONG clientId, const WCHAR*, const WCHAR*, LONG, const LONG*) override
    {
        return Answer("CreatePreset", clientId);
    }
    HRESULT STDMETHODCALLTYPE DeletePreset(KivEffectId) override { return Answer("DeletePreset", -1); }
    HRESULT STDMETHODCALLTYPE RenamePreset(KivEffectId, const WCHAR*) override { return Answer("RenamePreset", -1); }
    HRESULT STDMETHODCALLTYPE CreatePresetCategory(const WCHAR*) override { return Answer("CreatePresetCategory", -1); }
    HRESULT STDMETHODCALLTYPE DeletePresetCategory(const WCHAR*) override { return Answer("DeletePresetCategory", -1); }
    HRESULT STDMETHODCALLTYPE RenamePresetCategory(const WCHAR*, const WCHAR*) override
    {
        return Answer("RenamePresetCategory", -1);
    }
    HRESULT STDMETHODCALLTYPE GetEffectsFit(LONG, const KivEffectId*, LONG*) override
    {
        return Answer("GetEffectsFit", -1);
    }
    HRESULT STDMETHODCALLTYPE GetPresetsFit(LONG, const KivEffectId*, LONG*) override
    {
        return Answer("GetPresetsFit", -1);
    }
    HRESULT STDMETHODCALLTYPE SetInsertEffect(LONG clientId, LONG, KivEffectId, KivInsertInfo*, LONG) override
    {
        return Answer("SetInsertEffect", clientId);
    }
    HRESULT STDMETHODCALLTYPE RemoveInsert(LONG clientId, LONG) override { return Answer("RemoveInsert", clientId); }
    HRESULT STDMETHODCALLTYPE SelectPreset(LONG clientId, LONG, LONG) override
    {
        return Answer("SelectPreset", clientId);
    }
    HRESULT STDMETHODCALLTYPE SetSpecialInsert(LONG clientId, LONG, LONG, KivInsertInfo*, LONG) override
    {
        return Answer("SetSpecialInsert", clientId);
    }
    HRESULT STDMETHODCALLTYPE LoadPresetIntoInsert(LONG clientId, LONG, KivEffectId, KivInsertInfo*) override
    {
        return Answer("LoadPresetIntoInsert", clientId);
    }
    HRESULT STDMETHODCALLTYPE MoveInsert(LONG clientId, LONG, LONG) override { return Answer("MoveInsert", clientId); }
    HRESULT STDMETHODCALLTYPE RefreshInserts(LONG clientId) override { return Answer("RefreshInserts", clientId); }
    HRESULT STDMETHODCALLTYPE Method26(LONG clientId) override { return Answer("Method26", clientId); }
    HRESULT STDMETHODCALLTYPE ClearInsertChainFlag(LONG clientId) override
    {
        return Answer("ClearInsertChainFlag", clientId);
    }
    HRESULT STDMETHODCALLTYPE SetInsertChainFlag(LONG clientId) override
    {
        return Answer("SetInsertChainFlag", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetParameterDescriptors(LONG clientId, LONG, LONG*, KivParameterDescriptor**) override
    {
        return Answer("GetParameterDescriptors", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetParameterChoiceNames(LONG clientId, LONG, LONG, LONG*, KivChoiceName**) override
    {
        return Answer("GetParameterChoiceNames", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetParameterValue(LONG clientId, LONG, LONG, KivParameterValue*) override
    {
        return Answer("GetParameterValue", clientId);
    }
    HRESULT STDMETHODCALLTYPE SetParameterValue(LONG clientId, LONG, LONG, LONG, LONG) override
    {
        return Answer("SetParameterValue", clientId);
    }
    HRESULT STDMETHODCALLTYPE SetInsertBypass(LONG clientId, LONG, LONG) override
    {
        return Answer("SetInsertBypass", clientId);
    }
    HRESULT STDMETHODCALLTYPE SetInsertSolo(LONG clientId, LONG, LONG) override
    {
        return Answer("SetInsertSolo", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetInsertBypass(LONG clientId, LONG, LONG*) override
    {
        return Answer("GetInsertBypass", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetInsertSolo(LONG clientId, LONG, LONG*) override
    {
        return Answer("GetInsertSolo", clientId);
    }
    HRESULT STDMETHODCALLTYPE CreateCorePreset(LONG clientId, LONG, const WCHAR*) override
    {
        return Answer("CreateCorePreset", clientId);
    }
    HRESULT STDMETHODCALLTYPE ApplyPresetById(LONG clientId, LONG, LONG) override
    {
        return Answer("ApplyPresetById", clientId);
    }
    HRESULT STDMETHODCALLTYPE DeleteCorePreset(KivEffectId, LONG) override { return Answer("DeleteCorePreset", -1); }
    HRESULT STDMETHODCALLTYPE RenameCorePreset(KivEffectId, LONG, const WCHAR*) override
    {
        return Answer("RenameCorePreset", -1);
    }
    HRESULT STDMETHODCALLTYPE GetPresetChange(KivPresetChange*) override { return Answer("GetPresetChange", -1); }
    HRESULT STDMETHODCALLTYPE GetParamModelChange(KivParamModelChange*) override
    {
        return Answer("GetParamModelChange", -1);
    }
    HRESULT STDMETHODCALLTYPE SetAllInsertsBypass(LONG clientId, LONG) override
    {
        return Answer("SetAllInsertsBypass", clientId);
    }
    HRESULT STDMETHODCALLTYPE QueryClientState(LONG clientId, LONG*) override
    {
        return Answer("QueryClientState", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetParameterValuesBatch(LONG clientId, LONG, KivParameterValueEntry*) override
    {
        return Answer("GetParameterValuesBatch", clientId);
    }
    HRESULT STDMETHODCALLTYPE Reserved46(LONG, LONG) override { return Answer("Reserved46", -1); }
    HRESULT STDMETHODCALLTYPE Reserved47(LONG, LONG, LONG) override { return Answer("Reserved47", -1); }
    HRESULT STDMETHODCALLTYPE Reserved48(LONG, LONG, LONG, LONG) override { return Answer("Reserved48", -1); }
    HRESULT STDMETHODCALLTYPE Reserved49(LONG, LONG, LONG, LONG) override { return Answer("Reserved49", -1); }
    HRESULT STDMETHODCALLTYPE GetHardwareChannels(LONG*, KivHardwareChannel**) override
    {
        return Answer("GetHardwareChannels", -1);
    }
    HRESULT STDMETHODCALLTYPE GetHardwareChannelsEx(LONG*, KivHardwareChannel**, LONG*, KivHardwareChannel**) override
    {
        return Answer("GetHardwareChannelsEx", -1);
    }
    HRESULT STDMETHODCALLTYPE SetSendInsertRouting(LONG clientId, LONG, LONG, LONG, LONG, KivInsertInfo*) override
    {
        return Answer("SetSendInsertRouting", clientId);
    }
    HRESULT STDMETHODCALLTYPE SetSendReturnInsertRouting(LONG clientId, LONG, LONG, LONG, LONG, LONG, LONG,
                                                         KivInsertInfo*) override
    {
        return Answer("SetSendReturnInsertRouting", clientId);
    }
    HRESULT STDMETHODCALLTYPE Reserved54(LONG clientId) override { return Answer("Reserved54", clientId); }
    HRESULT STDMETHODCALLTYPE EnableCategory2Items(LONG clientId) override
    {
        return Answer("EnableCategory2Items", clientId);
    }
    FakeServicesServer& server;
};

struct FakeParamInfo : IKivCorvanParamInfo
{
    explicit FakeParamInfo(FakeServicesServer& owner) : server(owner) {}
    KIV_FAKE_UNKNOWN
    HRESULT Answer(const char* name, LONG clientId);
    HRESULT STDMETHODCALLTYPE GetInsertNotifyId(LONG clientId, LONG, LONG*) override
    {
        return Answer("GetInsertNotifyId", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetParameterKinds(LONG clientId, LONG, LONG*, LONG**) override
    {
        return Answer("GetParameterKinds", clientId);
    }
    HRESULT STDMETHODCALLTYPE QueryParameter(LONG clientId, LONG, LONG, LONG*) override
    {
        return Answer("QueryParameter", clientId);
    }
    HRESULT STDMETHODCALLTYPE GetParameterText(LONG clientId, LONG, LONG, WCHAR**, LONG) override
    {
        return Answer("GetParameterText", clientId);
    }
    FakeServicesServer& server;
};

struct FakeEventSource : IKivCorvanEventSource
{
    explicit FakeEventSource(FakeServicesServer& owner) : server(owner) {}
    KIV_FAKE_UNKNOWN
    HRESULT STDMETHODCALLTYPE Advise(IKivCorvanEventSink* sink, DWORD mask, DWORD hUser, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    FakeServicesServer& server;
};

#undef KIV_FAKE_UNKNOWN

class FakeServicesServer
{
public:
    FakeServicesServer() = default;
    FakeServicesServer(const FakeServicesServer&) = delete;
    FakeServicesServer& operator=(const FakeServicesServer&) = delete;
    ~FakeServicesServer();

    HRESULT Query(REFIID riid, void** object);
    HRESULT Answer(const std::string& call, const char* name);

    // What the server offers and answers.
    bool offerEffectServices = true;
    bool offerSecond = true;
    bool offerParamInfo = true;
    bool offerEventSource = true;
    std::map<std::string, HRESULT> answers; // by method name; S_OK otherwise
    LONG clientId = 7;
    LONG pair = 2;
    std::function<void(const std::string&)> onCall; // after each recorded call, on its thread

    // What it saw.
    std::vector<std::string> calls;
    long references = 0;                      // held on the four objects
    IKivCorvanNotify* notifySink = nullptr;   // one reference, held as the server holds it
    IKivCorvanEventSink* eventSink = nullptr; // one reference
    DWORD notifyMask = 0;
    DWORD notifyUser = 0;
    DWORD eventMask = 0;
    DWORD eventUser = 0;

    FakeServicesObject services{*this};
    FakeEffectServices effects{*this};
    FakeParamInfo paramInfo{*this};
    FakeEventSource eventSource{*this};
};
