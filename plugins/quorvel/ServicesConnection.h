#pragma once
// What an effects plug-in instance sees of its link to the mixer program, and what the link
// asks of the instance. The link is made and ended on the instance's services thread: the
// COM link to the mixer program (ServicesLink, Windows) in the plug-in file, a link that holds
// a fixed pair in test builds. CreateServicesLink, which each build defines, makes it.

#include "plugins/quorvel/InsertState.h"
#include "plugins/quorvel/ParamChain.h"

#include <cstdint>

// A model operation used the link's call block wrongly: nested on one thread (true), or ended
// without beginning (false). Caught at the plug-in's entry points: that operation fails.
struct CallBlockError
{
    bool nested;
};

// The instance as its link uses it (services thread unless said).
class ServicesLinkOwner
{
public:
    // The pair was given back: the driver closes and stays open without channels, so the
    // audio passes through.
    virtual void StopAsio(bool reopen) = 0;
    // Rereads the granted pairs and reconnects the driver to them.
    virtual void OnAssignmentChanged() = 0;
    // The parameter map follows the chain (its holder calls these, see ChainHost).
    virtual void RebuildParamMap() = 0;
    virtual void SyncParamMap() = 0;
    virtual void StoreParamRequests(bool direct) = 0;
    virtual void WakeParamStores() = 0;
    // The parameter path: one value of an insert, or every mapped value, told to the host.
    virtual void ReportParamToHost(int32_t position, int32_t index, const ParamValue& value) = 0;
    virtual void ReportAllParamsToHost() = 0;
    // The driver's sample rate as the instance runs it.
    virtual int32_t GetAsioSampleRate() = 0;
    // Hands a message to the editor's panel; false when there is no editor to take it (the
    // caller then frees its payload).
    virtual bool PostToPanel(uint32_t id, uintptr_t wParam, uintptr_t lParam) = 0;
    // Any thread: runs a command on the services thread and waits for it.
    virtual bool RunOnServicesThread(int32_t command) = 0;

protected:
    ~ServicesLinkOwner() = default;
};

class EffectCatalog;
class InsertChain;

class ServicesConnection
{
public:
    ServicesConnection() = default;
    virtual ~ServicesConnection() = default;
    ServicesConnection(const ServicesConnection&) = delete;
    ServicesConnection& operator=(const ServicesConnection&) = delete;

    // The send and return pairs granted to the instance; false when it holds none.
    virtual bool GetSendReturnPair(int32_t* sendPair, int32_t* returnPair);
    // While the mixer program loads a session, driver errors are not shown.
    virtual bool IsLoadingSession() const;
    // Services thread: runs a command of 4 and above against the mixer program.
    virtual void Execute(int32_t command);
    // Any thread, once the services thread has ended: the command could not run.
    virtual void FailCall();
    // Services thread, when it ends on a quit message: lets go of everything the thread's
    // apartment holds of the mixer program (pair, registration, subscriptions); the
    // connection stays, unconnected, for the calls still to come.
    virtual void Drop();
    // The last command asked for the host's display to be updated (asked once); the thread
    // that asked for the command makes the host call, after its wait.
    virtual bool TakeDisplayUpdate();

    // The state chunk's side of the model (the host's thread); a link without an insert chain
    // answers false, and the chunk is then neither written nor read.
    // The chain's inserts as records; false when there is no chain or a record cannot be made.
    virtual bool CaptureInserts(InsertStateList* states);
    // The catalogue's record of a preset id; false when the catalogue knows none.
    virtual bool FindPreset(const EffectId& id, PresetRecord* record);
    // The chain rebuilt from the records; false when there is no chain.
    virtual bool RestoreInserts(const InsertStateList& states);
    // The chain the instance's parameter map follows; null without one. It lives as long as
    // the connection.
    virtual ParamChain* GetParamChain();
    // The editor's side: the mixer's library and this instance's inserts; null for a link
    // without them. They live as long as the connection.
    virtual EffectCatalog* GetCatalog();
    virtual InsertChain* GetInsertChain();
};

// Services thread. Null when the link cannot be made.
ServicesConnection* CreateServicesLink(ServicesLinkOwner* owner);
