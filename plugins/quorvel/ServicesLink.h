#pragma once
// An instance's COM link to the mixer program's local server KivCorvanServices: made, used
// and ended on the instance's services thread (a single-threaded apartment). It subscribes
// to both notification lists, registers the instance as a client and holds its send and
// return pair; other threads reach the server through the call block and the services
// thread's commands (Execute). It never starts the mixer program: without it the link stays
// unconnected and the instance passes its audio through.

#include "mixer/comserver/ComInterfaces.h"
#include "plugins/quorvel/EffectCatalog.h"
#include "plugins/quorvel/InsertChain.h"
#include "plugins/quorvel/ModelLink.h"
#include "plugins/quorvel/ServicesConnection.h"

#include <atomic>
#include <cstdint>
#include <mutex>

// How the link finds and reaches the mixer program; tests hand in fakes.
class ServicesSystem
{
public:
    // Whether a process whose file name begins with "kivcorvandsp" (any case) runs.
    virtual bool IsMixerRunning() = 0;
    // The server's object, as CoCreateInstance of the class as a local server gives it.
    virtual HRESULT CreateServices(IKivCorvanServices** services) = 0;

    static ServicesSystem& Win32();

protected:
    ~ServicesSystem() = default;
};

// Whether a process's file name names the mixer program.
bool IsMixerProgramName(const char* fileName);

class NotifySink;
class EventSink;

// The link is also what the effect model (catalogue, inserts, chain) reaches the server
// through: its call block and direct calls.
class ServicesLink final : public ServicesConnection, public ModelLink, public ChainHost
{
public:
    static constexpr DWORD kAdviseMask = 0x77FC;
    static constexpr int32_t kFirstCommand = 4;
    static constexpr int32_t kLastCommand = 51;

    ServicesLink(ServicesLinkOwner* owner, ServicesSystem& system);
    ~ServicesLink() override;

    bool GetSendReturnPair(int32_t* sendPair, int32_t* returnPair) override;
    bool IsLoadingSession() const override { return m_sessionLoading; }
    void Execute(int32_t command) override;
    void FailCall() override;
    void Drop() override;
    bool TakeDisplayUpdate() override { return m_displayUpdate.exchange(false); }

    // Any thread: BeginCall, fill the slots, Call, read the results, EndCall. BeginCall and
    // EndCall throw CallBlockError when used wrongly, never holding the lock after it.
    CallBlock* BeginCall() override;
    int32_t Call(int32_t command) override;
    void EndCall() override;
    // Services thread: the command at once, on the caller's block.
    void CallDirect(CallBlock& block, int32_t command) override;
    void FreeServerArray(void* array) override;
    bool IsChainAttached() override { return m_inserts.IsAttached(); }
    int32_t GetAsioSampleRate() override { return m_owner->GetAsioSampleRate(); }
    void ReportParamToHost(int32_t position, int32_t index, const ParamValue& value) override
    {
        m_owner->ReportParamToHost(position, index, value);
    }
    void ReportAllParamsToHost() override { m_owner->ReportAllParamsToHost(); }
    void ReadBypassSolo() override { m_inserts.ReadBypassSolo(true); }
    void RebuildParamMap() override { m_owner->RebuildParamMap(); }
    void SyncParamMap() override { m_owner->SyncParamMap(); }
    void StoreParamRequests(bool direct) override { m_owner->StoreParamRequests(direct); }
    void WakeParamStores() override { m_owner->WakeParamStores(); }
    bool HoldsSendReturn() override { return m_sendPair >= 0 && m_returnPair >= 0; }

    // The state chunk's side (the host's thread).
    bool CaptureInserts(InsertStateList* states) override;
    bool FindPreset(const EffectId& id, PresetRecord* record) override;
    bool RestoreInserts(const InsertStateList& states) override;
    ParamChain* GetParamChain() override { return &m_inserts; }

    // Any thread, through the call block: commands 4 and 5.
    bool AcquireSendReturn();
    void ReleaseSendReturn();

    // Services thread: a notification from either sink (a and b are 0 for the public one).
    void OnNotify(DWORD type, DWORD a, DWORD b);
    // Services thread: takes the pair again and re-attaches the chain; false when refused.
    bool RefreshInserts();
    // Hands a message to the editor, or frees its payload; answers whether it was posted.
    bool PostToEditor(uint32_t id, uintptr_t wParam, uintptr_t lParam) override;

    // The link a sink's hUser names, null for none (services thread).
    static ServicesLink* FromHandle(DWORD handle);

    bool IsConnected() const { return m_services != nullptr; }
    LONG GetClientId() const { return m_clientId; }
    EffectCatalog& GetCatalog() { return m_catalogue; }
    InsertChain& GetInserts() { return m_inserts; }

private:
    void Connect();
    bool RegisterClient();
    bool AcquireSendReturnDirect();
    void ReleaseSendReturnDirect();
    void UnregisterClient();
    void Disconnect();
    void DropServices();
    void DropEventSource();
    HRESULT Run(int32_t command);
    void ExecuteOn(CallBlock& block, int32_t command);

    ServicesLinkOwner* m_owner; // borrowed: the instance owns this link
    DWORD m_handle = 0;         // hUser of both subscriptions: the link's place in a table
    IKivCorvanEffectServices* m_effectServices = nullptr;
    IKivCorvanEffectServices2* m_effectServices2 = nullptr;
    IKivCorvanParamInfo* m_paramInfo = nullptr;
    IKivCorvanServices* m_services = nullptr; // null: not connected
    IKivCorvanEventSource* m_eventSource = nullptr;
    DWORD m_notifyCookie = 0;
    NotifySink* m_notifySink = nullptr; // one reference of ours
    DWORD m_eventCookie = 0;
    EventSink* m_eventSink = nullptr; // one reference of ours
    KivSendReturn m_sendReturnInfo{};
    // Services thread; read by the effect's reconnection on that thread.
    LONG m_sendPair = -1;
    LONG m_returnPair = -1;
    LONG m_clientId = 0;
    bool m_sessionLoading = false;
    std::atomic<bool> m_displayUpdate{false};
    CallBlock m_block;            // m_lock
    std::atomic<long> m_inUse{0}; // nesting guard of m_block
    std::recursive_mutex m_lock;  // held from BeginCall to EndCall
    EffectCatalog m_catalogue{this};
    InsertChain m_inserts{this, &m_catalogue, this};
};
