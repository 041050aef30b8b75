#pragma once
#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/engine/VarnServices.h"

// The object of the class KivCorvanServices: one per process, handed to every client by the
// singleton class factory. Clients subscribe callback sinks with a bit mask on two
// process-wide lists (SinkList): public sinks through IKivCorvanServices, private sinks of the
// effects plug-in through IKivCorvanEventSource; the application broadcasts notification
// bits to them. The effects plug-in drives the engine's automation back end through the
// private interfaces IKivCorvanEffectServices2 and IKivCorvanParamInfo.
//
// A client's registration and its send and return pair are tied to the sinks it subscribed
// (ClientTies): when one of them is found gone while still subscribed (its process ended, or
// its apartment with it), the server gives the pair back and unregisters the client, as the
// client would have. A pair asked for when none is free first asks the holders' sinks
// (SinkCourier::Probe) whether their clients are still there, kProbeWait at most.
class ServicesServer : public IKivCorvanServices
{
public:
    // How long the end of the object waits for the notifications still queued (the clients'
    // Terminate) and for the sinks to be let go, in milliseconds.
    static constexpr DWORD kEndWait = 2000;
    // How long a refused pair waits for the holders' sinks to answer, in milliseconds: a gone
    // client's answer comes at once, a live one's within milliseconds; one that hangs keeps
    // its pair.
    static constexpr DWORD kProbeWait = 1000;

    ServicesServer();
    // Ends both sink lists (SinkList::Shutdown): the object goes at program end, before COM does.
    virtual ~ServicesServer();
    ServicesServer(const ServicesServer&) = delete;
    ServicesServer& operator=(const ServicesServer&) = delete;

    // IUnknown. The object is not deleted when the count drops: it lives until the COM module
    // ends, and each reference holds a lock on the module.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IKivCorvanServices
    HRESULT STDMETHODCALLTYPE Advise(IKivCorvanNotify* pNotify, DWORD dwAdviseMask, DWORD hUser,
                                     DWORD* phAdviseCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD hAdviseCookie) override;
    HRESULT STDMETHODCALLTYPE GetASIOChannelName(LONG lChannel, LONG bInput, LONG nNumChars, char* buf) override;
    HRESULT STDMETHODCALLTYPE SetMonitorInfo(KivASIOMonitorInfo* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetASIODriverProfile(KivASIODrvProfile* pProfile) override;

    // Broadcasts: every sink whose mask shares a bit with type is called with the whole type
    // value; the sinks' results are ignored. Private sinks also get the two values. The calls
    // are queued: they are made on the sinks' delivery threads (SinkList).
    static void FireNotify(DWORD type);
    static void FirePrivateNotify(DWORD type, DWORD a, DWORD b);

private:
    // Lets go of the registrations and pairs of the owners whose sinks were found gone. Main
    // thread.
    static void ReleaseGoneClients();
    // Probes the sinks of the clients that hold pairs and lets go of those gone; true when there
    // were holders to ask (a call served meanwhile may have let go of what the probe found).
    static bool ReleaseGoneHolders();

    // The cached special channel of a direction (inputs or outputs): the one ASIO channel
    // whose pair has no partner, named " - "; -1 while there is none.
    void RecomputeSpecialChannel(bool input);

    // IKivCorvanEventSource: its own face, since its Unadvise works on the private list.
    class EventSource : public IKivCorvanEventSource
    {
    public:
        explicit EventSource(ServicesServer& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE Advise(IKivCorvanEventSink* pSink, DWORD dwAdviseMask, DWORD hUser,
                                         DWORD* phAdviseCookie) override;
        HRESULT STDMETHODCALLTYPE Unadvise(DWORD hAdviseCookie) override;

    private:
        ServicesServer& owner_;
    };

    // IKivCorvanEffectServices2 (also answering IKivCorvanEffectServices): adapters onto the
    // engine's automation back end.
    class EffectServices : public IKivCorvanEffectServices2
    {
    public:
        explicit EffectServices(ServicesServer& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE RegisterClient(LONG* clientId) override;
        HRESULT STDMETHODCALLTYPE UnregisterClient(LONG clientId) override;
        HRESULT STDMETHODCALLTYPE AcquireSendReturn(LONG clientId, KivSendReturn* record, LONG* sendPair,
                                                    LONG* returnPair) override;
        HRESULT STDMETHODCALLTYPE ReleaseSendReturn(LONG clientId) override;
        HRESULT STDMETHODCALLTYPE GetEffectCatalog(LONG* count, KivEffectCategory** records) override;
        HRESULT STDMETHODCALLTYPE GetEffectPresets(const KivEffectCategory* category, LONG* count,
                                                   KivEffectPreset** records) override;
        HRESULT STDMETHODCALLTYPE GetEffectCorePresets(KivEffectId effect, LONG* count,
                                                       KivCorePreset** records) override;
        HRESULT STDMETHODCALLTYPE GetInserts(KivEffectId preset, LONG* isFactory, LONG* count,
                                             KivEffectPreset** effects, LONG** valueCounts, float** wetDry,
                                             LONG* valueCount, KivPresetValue** values) override;
        HRESULT STDMETHODCALLTYPE CreatePreset(LONG clientId, const WCHAR* category, const WCHAR* name,
                                               LONG insertCount, const LONG* positions) override;
        HRESULT STDMETHODCALLTYPE DeletePreset(KivEffectId preset) override;
        HRESULT STDMETHODCALLTYPE RenamePreset(KivEffectId preset, const WCHAR* name) override;
        HRESULT STDMETHODCALLTYPE CreatePresetCategory(const WCHAR* name) override;
        HRESULT STDMETHODCALLTYPE DeletePresetCategory(const WCHAR* name) override;
        HRESULT STDMETHODCALLTYPE RenamePresetCategory(const WCHAR* oldName, const WCHAR* newName) override;
        HRESULT STDMETHODCALLTYPE GetEffectsFit(LONG count, const KivEffectId* effects, LONG* fits) override;
        HRESULT STDMETHODCALLTYPE GetPresetsFit(LONG count, const KivEffectId* presets, LONG* fits) override;
        HRESULT STDMETHODCALLTYPE SetInsertEffect(LONG clientId, LONG position, KivEffectId effect, KivInsertInfo* info,
                                                  LONG wait) override;
        HRESULT STDMETHODCALLTYPE RemoveInsert(LONG clientId, LONG position) override;
        HRESULT STDMETHODCALLTYPE SelectPreset(LONG clientId, LONG position, LONG presetIndex) override;
        HRESULT STDMETHODCALLTYPE SetSpecialInsert(LONG clientId, LONG position, LONG specialKind, KivInsertInfo* info,
                                                   LONG wait) override;
        HRESULT STDMETHODCALLTYPE LoadPresetIntoInsert(LONG clientId, LONG position, KivEffectId preset,
                                                       KivInsertInfo* info) override;
        HRESULT STDMETHODCALLTYPE MoveInsert(LONG clientId, LONG from, LONG to) override;
        HRESULT STDMETHODCALLTYPE RefreshInserts(LONG clientId) override;
        HRESULT STDMETHODCALLTYPE Method26(LONG clientId) override;
        HRESULT STDMETHODCALLTYPE ClearInsertChainFlag(LONG clientId) override;
        HRESULT STDMETHODCALLTYPE SetInsertChainFlag(LONG clientId) override;
        HRESULT STDMETHODCALLTYPE GetParameterDescriptors(LONG clientId, LONG position, LONG* count,
                                                          KivParameterDescriptor** descriptors) override;
        HRESULT STDMETHODCALLTYPE GetParameterChoiceNames(LONG clientId, LONG position, LONG parameter, LONG* count,
                                                          KivChoiceName** names) override;
        HRESULT STDMETHODCALLTYPE GetParameterValue(LONG clientId, LONG position, LONG parameter,
                                                    KivParameterValue* value) override;
        HRESULT STDMETHODCALLTYPE SetParameterValue(LONG clientId, LONG position, LONG parameter, LONG kind,
                                                    LONG value) override;
        HRESULT STDMETHODCALLTYPE SetInsertBypass(LONG clientId, LONG position, LONG bypass) override;
        HRESULT STDMETHODCALLTYPE SetInsertSolo(LONG clientId, LONG position, LONG solo) override;
        HRESULT STDMETHODCALLTYPE GetInsertBypass(LONG clientId, LONG position, LONG* bypass) override;
        HRESULT STDMETHODCALLTYPE GetInsertSolo(LONG clientId, LONG position, LONG* solo) override;
        HRESULT STDMETHODCALLTYPE CreateCorePreset(LONG clientId, LONG position, const WCHAR* name) override;
        HRESULT STDMETHODCALLTYPE ApplyPresetById(LONG clientId, LONG position, LONG value) override;
        HRESULT STDMETHODCALLTYPE DeleteCorePreset(KivEffectId effect, LONG index) override;
        HRESULT STDMETHODCALLTYPE RenameCorePreset(KivEffectId effect, LONG index, const WCHAR* name) override;
        HRESULT STDMETHODCALLTYPE GetPresetChange(KivPresetChange* change) override;
        HRESULT STDMETHODCALLTYPE GetParamModelChange(KivParamModelChange* change) override;
        HRESULT STDMETHODCALLTYPE SetAllInsertsBypass(LONG clientId, LONG bypass) override;
        HRESULT STDMETHODCALLTYPE QueryClientState(LONG clientId, LONG* value) override;
        HRESULT STDMETHODCALLTYPE GetParameterValuesBatch(LONG clientId, LONG count,
                                                          KivParameterValueEntry* entries) override;
        HRESULT STDMETHODCALLTYPE Reserved46(LONG a, LONG b) override;
        HRESULT STDMETHODCALLTYPE Reserved47(LONG a, LONG b, LONG c) override;
        HRESULT STDMETHODCALLTYPE Reserved48(LONG a, LONG b, LONG c, LONG d) override;
        HRESULT STDMETHODCALLTYPE Reserved49(LONG a, LONG b, LONG c, LONG d) override;
        // IKivCorvanEffectServices2
        HRESULT STDMETHODCALLTYPE GetHardwareChannels(LONG* count, KivHardwareChannel** records) override;
        HRESULT STDMETHODCALLTYPE GetHardwareChannelsEx(LONG* outCount, KivHardwareChannel** outputs, LONG* inCount,
                                                        KivHardwareChannel** inputs) override;
        HRESULT STDMETHODCALLTYPE SetSendInsertRouting(LONG clientId, LONG position, LONG channel1, LONG channel2,
                                                       LONG wait, KivInsertInfo* info) override;
        HRESULT STDMETHODCALLTYPE SetSendReturnInsertRouting(LONG clientId, LONG position, LONG send1, LONG send2,
                                                             LONG return1, LONG return2, LONG wait,
                                                             KivInsertInfo* info) override;
        HRESULT STDMETHODCALLTYPE Reserved54(LONG clientId) override;
        HRESULT STDMETHODCALLTYPE EnableCategory2Items(LONG clientId) override;

    private:
        ServicesServer& owner_;
    };

    class ParamInfo : public IKivCorvanParamInfo
    {
    public:
        explicit ParamInfo(ServicesServer& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE GetInsertNotifyId(LONG clientId, LONG position, LONG* notifyId) override;
        HRESULT STDMETHODCALLTYPE GetParameterKinds(LONG clientId, LONG position, LONG* count, LONG** kinds) override;
        HRESULT STDMETHODCALLTYPE QueryParameter(LONG clientId, LONG a1, LONG a2, LONG* value) override;
        HRESULT STDMETHODCALLTYPE GetParameterText(LONG clientId, LONG position, LONG parameter, WCHAR** text,
                                                   LONG a4) override;

    private:
        ServicesServer& owner_;
    };

    EffectServices effectServices_;
    ParamInfo paramInfo_;
    EventSource eventSource_;
    LONG references_ = 0;
    LONG specialChannels_[2] = {-1, -1}; // outputs, inputs; owned by the apartment's thread
};
