#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "mixer/engine/VarnServices.h"
#include "standins/engine/StandinEffects.h"

// The automation back end of the simulated engine. It registers the effects plug-in's
// clients, gives each registered client one of the card's ASIO channel pairs as its send and
// return (the same pair: the card loops output k to input k, through the client's inserts),
// and answers the enabling of the physical channels as the card description says. The
// effects, presets, inserts and parameters the other operations work on are the model of
// StandinEffects, which keeps each registered client's chain.
class StandinAutomation final : public IVarnAutomation
{
public:
    // Whether EnableCategory2Items keeps the caller's flag (else it clears it), how many
    // channel pairs the card has to give out, and where the calls are written.
    void Configure(bool keepCategory2, int pairs, std::function<void(std::string)> log);
    StandinEffects& Effects() { return effects_; }

    // The record handed out with a pair (16 bytes, the engine's own): the pairs and the client.
    struct SendReturnRecord
    {
        int sendPair;
        int returnPair;
        int clientId;
        int reserved;
    };
    static_assert(sizeof(SendReturnRecord) == 16, "send/return record");

    int VARN_CALL RegisterClient(int* clientId) override;
    int VARN_CALL UnregisterClient(int clientId) override;
    // A registered client's pair (the one it holds, or the lowest free one); 0 with nothing
    // changed for an unknown client or when every pair is taken.
    int VARN_CALL AcquireSendReturn(int clientId, void* record, int* sendPair, int* returnPair) override;
    int VARN_CALL ReleaseSendReturn(int clientId) override;
    int VARN_CALL GetEffectCatalog(int* count, void** records) override
    {
        return effects_.GetEffectCatalog(count, records);
    }
    int VARN_CALL GetEffectPresets(const void* category, int* count, void** records) override
    {
        return effects_.GetEffectPresets(category, count, records);
    }
    int VARN_CALL GetEffectCorePresets(VarnEffectId effect, int* count, void** records) override
    {
        return effects_.GetEffectCorePresets(effect, count, records);
    }
    int VARN_CALL GetInserts(VarnEffectId preset, int* isFactory, int* count, void** effects, int** valueCounts,
                             float** wetDry, int* valueCount, void** values) override
    {
        return effects_.GetInserts(preset, isFactory, count, effects, valueCounts, wetDry, valueCount, values);
    }
    // The library's edits, each with its answer in the call log.
    int VARN_CALL CreatePreset(int clientId, const char16_t* category, const char16_t* name, int insertCount,
                               const int* positions) override;
    int VARN_CALL DeletePreset(VarnEffectId preset) override;
    int VARN_CALL RenamePreset(VarnEffectId preset, const char16_t* name) override;
    int VARN_CALL CreatePresetCategory(const char16_t* name) override;
    int VARN_CALL DeletePresetCategory(const char16_t* name) override;
    int VARN_CALL RenamePresetCategory(const char16_t* oldName, const char16_t* newName) override;
    int VARN_CALL GetEffectsFit(int count, const VarnEffectId* effects, int* fits) override
    {
        return effects_.GetEffectsFit(count, effects, fits);
    }
    int VARN_CALL GetPresetsFit(int count, const VarnEffectId* presets, int* fits) override
    {
        return effects_.GetPresetsFit(count, presets, fits);
    }
    // The chain's edits (inserts, bypass, solo, preset selection), each with its answer in the
    // call log.
    int VARN_CALL SetInsertEffect(VarnEffectId effect, int clientId, int position, void* info, int wait) override;
    int VARN_CALL RemoveInsert(int clientId, int position) override;
    int VARN_CALL SelectPreset(int clientId, int position, int presetIndex) override;
    int VARN_CALL SetSpecialInsert(int specialKind, int clientId, int position, void* info, int wait) override;
    int VARN_CALL LoadPresetIntoInsert(VarnEffectId preset, int clientId, int position, void* info) override;
    int VARN_CALL MoveInsert(int clientId, int from, int to) override;
    // A registered client's inserts (none are simulated) are refreshed at once: the flag is
    // set; an unknown client is refused.
    int VARN_CALL RefreshInserts(int clientId, int* flag) override;
    int VARN_CALL Method26(int, int*) override { return 0; }
    int VARN_CALL SetInsertChainFlag(int clientId, int value) override;
    int VARN_CALL GetParameterDescriptors(int clientId, int position, int* count, void** descriptors) override
    {
        return effects_.GetParameterDescriptors(clientId, position, count, descriptors);
    }
    int VARN_CALL GetParameterChoiceNames(int clientId, int position, int parameter, int* count, void** names) override
    {
        return effects_.GetParameterChoiceNames(clientId, position, parameter, count, names);
    }
    int VARN_CALL GetParameterValue(int clientId, int position, int parameter, void* value) override
    {
        return effects_.GetParameterValue(clientId, position, parameter, value);
    }
    int VARN_CALL SetParameterValue(int clientId, int position, int parameter, int kind, int value) override;
    int VARN_CALL SetInsertBypass(int clientId, int position, int bypass) override;
    int VARN_CALL SetInsertSolo(int clientId, int position, int solo) override;
    int VARN_CALL GetInsertBypass(int clientId, int position, int* bypass) override
    {
        return effects_.GetInsertBypass(clientId, position, bypass);
    }
    int VARN_CALL GetInsertSolo(int clientId, int position, int* solo) override
    {
        return effects_.GetInsertSolo(clientId, position, solo);
    }
    // A client insert's core preset edits, logged.
    int VARN_CALL CreateCorePreset(int clientId, int position, const char16_t* name) override;
    int VARN_CALL ApplyPresetById(int clientId, int position, int value) override;
    int VARN_CALL DeleteCorePreset(const VarnEffectId* effect, int index) override;
    int VARN_CALL RenameCorePreset(const VarnEffectId* effect, int index, const char16_t* name) override;
    // The last library or preset-list change; 0 before the first one.
    int VARN_CALL GetPresetChange(void* change) override;
    int VARN_CALL GetParamModelChange(void* change) override;
    int VARN_CALL SetAllInsertsBypass(int clientId, int bypass) override;
    int VARN_CALL QueryClientState(int, int*) override { return 0; }
    int VARN_CALL GetParameterValuesBatch(int clientId, int count, void* entries) override
    {
        return effects_.GetParameterValuesBatch(clientId, count, entries);
    }
    int VARN_CALL SetSendReturnInsertRouting(int clientId, int position, int send1, int send2, int return1, int return2,
                                             int wait, void* info) override;
    int VARN_CALL EnableCategory2Items(int clientId, int* flag) override;
    int VARN_CALL GetInsertNotifyId(int clientId, int position, int* notifyId) override
    {
        return effects_.GetInsertNotifyId(clientId, position, notifyId);
    }
    int VARN_CALL GetParameterKinds(int clientId, int position, int* count, int** kinds) override
    {
        return effects_.GetParameterKinds(clientId, position, count, kinds);
    }
    int VARN_CALL QueryParameter(int, int, int, int*) override { return 0; }
    int VARN_CALL GetParameterText(int clientId, int position, int parameter, char16_t** text, int maximum) override
    {
        return effects_.GetParameterText(clientId, position, parameter, text, maximum);
    }

private:
    void Log(const std::string& entry);

    std::mutex lock_;
    std::set<int> clients_;                // guarded by lock_
    std::map<int, int> pairs_;             // client -> its pair; guarded by lock_
    int pairCount_ = 0;                    // guarded by lock_
    int nextClient_ = 1;                   // guarded by lock_
    bool keepCategory2_ = true;            // guarded by lock_
    std::function<void(std::string)> log_; // guarded by lock_
    StandinEffects effects_;               // its own lock
};
