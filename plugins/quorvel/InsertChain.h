#pragma once
// This instance's inserts on the card's DSP, in chain order: what the editor loads, moves and
// removes, what the state chunk captures and restores, what the services link detaches while
// the mixer program loads a session and attaches again after. Every change goes to the server
// first and is made here only when the server agreed; each structural change ends with the
// parameter map rebuilt and a message to the editor.
//
// Threads: the chain is changed by one thread at a time, the one that holds it (Hold): the
// editor's operations, PollReadOnlyParams and Restore hold it for their whole run, also while
// they wait for the services thread. The services thread never waits for it: its handlers
// (Detach, Attach, OnParamModelChange) make their server calls directly, then leave what
// changes the list or the inserts as pending work that whoever holds the chain does before
// letting go (or the handler itself, when the chain is free). Readers of inserts hold it too.
// The host's parameter calls never hold it: they read the instance's parameter map, which
// the holder rebuilds after each structural change and whose values it brings up to date
// (both ways) whenever it lets go.

#include "plugins/quorvel/EffectCatalog.h"
#include "plugins/quorvel/InsertEffect.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class InsertStateList;

// What the chain needs of the instance besides the link.
class ChainHost
{
public:
    // The instance's VST parameter map follows the chain: rebuilt after a structural change,
    // its values brought up to date, the values the host asked for stored (direct: on the
    // services thread). Called by the chain's holder.
    virtual void RebuildParamMap() = 0;
    virtual void SyncParamMap() = 0;
    virtual void StoreParamRequests(bool direct) = 0;
    // Any thread: the services thread is to store the values the host set (never waits).
    virtual void WakeParamStores() = 0;
    // Whether the link holds its send/return pair.
    virtual bool HoldsSendReturn() = 0;

protected:
    ~ChainHost() = default;
};

// The chain's messages to the editor (no payload).
enum ChainMessage : uint32_t
{
    kMessageChainChanged = 4609,
    kMessageBypassSoloRead = 4610,
};

class InsertChain final : public ParamChain
{
public:
    // link and catalog null: a chain without a mixer program (every server operation false).
    InsertChain(ModelLink* link, EffectCatalog* catalog, ChainHost* host);
    ~InsertChain();
    InsertChain(const InsertChain&) = delete;
    InsertChain& operator=(const InsertChain&) = delete;

    // Holds the chain for the current thread (re-entrant); the pending work of the services
    // thread is done before it is let go.
    class Hold
    {
    public:
        explicit Hold(InsertChain& chain);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        InsertChain& chain_;
    };

    bool IsAttached() const override { return attached_.load(); }
    // Read while holding the chain.
    int32_t Count() const { return static_cast<int32_t>(inserts_.size()); }
    InsertEffect* At(int32_t index) const;

    // The parameter map's view (while holding the chain; StoreRequestedParams any time on
    // the services thread).
    int32_t InsertCount() override { return Count(); }
    bool GetInsert(int32_t position, InsertParams* params) override;
    bool GetParamValue(int32_t position, int32_t index, ParamValue* value) override;
    bool StoreParam(int32_t position, int32_t index, const ParamValue& value, bool direct) override;
    int32_t GetParamKind(int32_t position, int32_t index) override;
    void StoreRequestedParams() override;

    // Editor operations (they hold the chain themselves).
    bool LoadPreset(const EffectId& presetId, int32_t position, bool post, bool wait);
    bool ReplaceWithPreset(int32_t position, const EffectId& presetId);
    bool AddTrimPot(int32_t position, bool post, bool wait);
    bool AddTestSignal(int32_t position, bool post, bool wait);
    bool AddPeakMeter(int32_t position, bool post, bool wait);
    bool SpecialFits(int32_t kind);
    bool Move(int32_t from, int32_t to);
    bool RemoveAt(int32_t position, bool post);
    void RemoveAll(bool post);
    bool SetAllBypass(bool on);
    void ReadBypassSolo(bool post);
    // The editor's meter timer: one batch read of every read-only value (meters).
    void PollReadOnlyParams();

    // The state chunk: whether the records describe this chain, and the chain rebuilt from
    // them (only the values are taken when they do).
    bool Matches(const InsertStateList& states) const;
    void Restore(const InsertStateList& states);

    // Services thread, a session load begins: the server forgets the chain's flag; the inserts
    // keep their values locally.
    void Detach();
    // The same through the call block (kCmdClearInsertChainFlag), any other thread.
    void DetachCmd();
    // Services thread, the load ended: the chain's flag again and every insert re-read;
    // false when the server refused.
    bool Attach();
    bool AttachCmd();
    bool RefreshInsertsCmd();
    // Services thread: an effect's preset list changed; the inserts running it follow.
    void OnParamModelChange(const ParamModelChange& change);
    // Any thread: the parameter map is rebuilt now, or by the holder (never waits).
    void RebuildParamMapSoon();

private:
    enum Pending : uint32_t
    {
        kPendingInvalidate = 1,
        kPendingAttach = 2,
        kPendingModelChange = 4,
        kPendingParamStores = 8,
        kPendingRebuild = 16,
    };

    bool InsertPreset(const PresetRecord& record, int32_t position, bool wait);
    bool InsertSpecial(int32_t kind, int32_t position, bool post, bool wait);
    // inserted: how many effects went in at position and after.
    bool InsertChainPreset(const PresetEntry& entry, int32_t position, bool wait, int32_t* inserted);
    void StorePresetValues(InsertEffect& insert, const PresetValueRecord* values, int32_t count, float wetDry);
    void Place(std::unique_ptr<InsertEffect> insert, int32_t position);
    void Renumber();
    void Changed(bool post);
    void Invalidate(bool post);
    void MarkAttached();
    int32_t Run(CallBlock& block, int32_t command);
    // Services thread: leaves work for the holder, or does it when the chain is free.
    void Leave(uint32_t work);
    // The holder's part of letting go: pending work, then the parameter map's values.
    void DoPending(bool direct);

    ModelLink* link_;                                    // borrowed: the link owns the chain
    EffectCatalog* catalog_;                             // borrowed: the link's
    ChainHost* host_;                                    // borrowed: the instance
    std::vector<std::unique_ptr<InsertEffect>> inserts_; // lock_
    std::atomic<bool> attached_{true};
    std::recursive_mutex lock_;
    int depth_ = 0; // holds of the holding thread; lock_
    std::atomic<uint32_t> pending_{0};
    std::mutex changesLock_;
    std::vector<ParamModelChange> changes_; // pending preset-list changes; changesLock_
};
