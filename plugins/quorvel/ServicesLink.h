#pragma once
// An instance's COM link to the mixer program's local server KivCorvanServices: made, used
// and ended on the instance's services thread (a single-threaded apartment). It subscribes
// to both notification lists, registers the instance as a client and holds its send and
// return pair; other threads reach the server through the call block and the services
// thread's commands (Execute). It never starts the mixer program: without it the link stays
// unconnected and the instance passes its audio through.

#include "mixer/comcontract/ComInterfaces.h"
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

    ServicesLink(ServicesLinkOwner* owner, ServicesSystem& system);
    ~ServicesLink() override;

    bool GetSendReturnPair(int32_t* sendPair, int32_t* returnPair) override;
    bool IsLoadingSession() const override { return sessionLoading_; }
    void Execute(int32_t command) override;
    void FailCall() override;
    void Drop() override;
    bool TakeDisplayUpdate() override { return displayUpdate_.exchange(false); }

    // Any thread: BeginCall, fill the slots, Call, read the results, EndCall. BeginCall and
    // EndCall throw CallBlockError when used wrongly, never holding the lock after it.
    CallBlock* BeginCall() override;
    int32_t Call(int32_t command) override;
    void EndCall() override;
    // Services thread: the command at once, on the caller's block.
    void CallDirect(CallBlock& block, int32_t command) override;
    void FreeServerArray(void* array) override;
    bool IsChainAttached() override { return inserts_.IsAttached(); }
    int32_t GetAsioSampleRate() override { return owner_->GetAsioSampleRate(); }
    void ReportParamToHost(int32_t position, int32_t index, const ParamValue& value) override
    {
        owner_->ReportParamToHost(position, index, value);
    }
    void ReportAllParamsToHost() override { owner_->ReportAllParamsToHost(); }
    void ReadBypassSolo() override { inserts_.ReadBypassSolo(true); }
    void RebuildParamMap() override { owner_->RebuildParamMap(); }
    void SyncParamMap() override { owner_->SyncParamMap(); }
    void StoreParamRequests(bool direct) override { owner_->StoreParamRequests(direct); }
    void WakeParamStores() override { owner_->WakeParamStores(); }
    bool HoldsSendReturn() override { return sendPair_ >= 0 && returnPair_ >= 0; }

    // The state chunk's side (the host's thread).
    bool CaptureInserts(InsertStateList* states) override;
    bool FindPreset(const EffectId& id, PresetRecord* record) override;
    bool RestoreInserts(const InsertStateList& states) override;
    ParamChain* GetParamChain() override { return &inserts_; }

    // Any thread, through the call block: kCmdAcquireSendReturn and kCmdReleaseSendReturn.
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

    bool IsConnected() const { return services_ != nullptr; }
    LONG GetClientId() const { return clientId_; }
    EffectCatalog* GetCatalog() override { return &catalogue_; }
    InsertChain* GetInsertChain() override { return &inserts_; }
    InsertChain& GetInserts() { return inserts_; }

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

    ServicesLinkOwner* owner_; // borrowed: the instance owns this link
    DWORD handle_ = 0;         // hUser of both subscriptions: the link's place in a table
    IKivCorvanEffectServices* effectServices_ = nullptr;
    IKivCorvanEffectServices2* effectServices2_ = nullptr;
    IKivCorvanParamInfo* paramInfo_ = nullptr;
    IKivCorvanServices* services_ = nullptr; // null: not connected
    IKivCorvanEventSource* eventSource_ = nullptr;
    DWORD notifyCookie_ = 0;
    NotifySink* notifySink_ = nullptr; // one reference of ours
    DWORD eventCookie_ = 0;
    EventSink* eventSink_ = nullptr; // one reference of ours
    KivSendReturn sendReturnInfo_{};
    // Services thread; read by the effect's reconnection on that thread.
    LONG sendPair_ = -1;
    LONG returnPair_ = -1;
    LONG clientId_ = 0;
    bool sessionLoading_ = false;
    std::atomic<bool> displayUpdate_{false};
    CallBlock block_;            // lock_
    std::atomic<long> inUse_{0}; // nesting guard of block_
    std::recursive_mutex lock_;  // held from BeginCall to EndCall
    EffectCatalog catalogue_{this};
    InsertChain inserts_{this, &catalogue_, this};
};
