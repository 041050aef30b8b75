#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "mixer/engine/VarnServices.h"

// The automation back end of the simulated engine. It registers the effects plug-in's
// clients, gives each registered client one of the card's ASIO channel pairs as its send and
// return (the same pair: the card loops output k to input k, through the client's inserts),
// and answers the enabling of the physical channels as the card description says;
// the effects, presets, inserts and parameters the other operations work on are not
// simulated yet, so they fail (0), as the real engine does for what it does not have.
class StandinAutomation final : public IVarnAutomation
{
public:
    // Whether EnableCategory2Items keeps the caller's flag (else it clears it), how many
    // channel pairs the card has to give out, and where the calls are written.
    void Configure(bool keepCategory2, int pairs, std::function<void(std::string)> log);

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
    int VARN_CALL GetEffectCatalog(int*, void**) override { return 0; }
    int VARN_CALL GetEffectPresets(const void*, int*, void**) override { return 0; }
    int VARN_CALL GetEffectCorePresets(VarnEffectId, int*, void**) override { return 0; }
    int VARN_CALL GetInserts(VarnEffectId, int*, int*, void**, int**, float**, int*, void**) override { return 0; }
    int VARN_CALL CreatePreset(int, const char16_t*, const char16_t*, int, const int*) override { return 0; }
    int VARN_CALL DeletePreset(VarnEffectId) override { return 0; }
    int VARN_CALL RenamePreset(VarnEffectId, const char16_t*) override { return 0; }
    int VARN_CALL CreatePresetCategory(const char16_t*) override { return 0; }
    int VARN_CALL DeletePresetCategory(const char16_t*) override { return 0; }
    int VARN_CALL RenamePresetCategory(const char16_t*, const char16_t*) override { return 0; }
    int VARN_CALL GetEffectsFit(int, const VarnEffectId*, int*) override { return 0; }
    int VARN_CALL GetPresetsFit(int, const VarnEffectId*, int*) override { return 0; }
    int VARN_CALL SetInsertEffect(VarnEffectId, int, int, void*, int) override { return 0; }
    int VARN_CALL RemoveInsert(int, int) override { return 0; }
    int VARN_CALL SelectPreset(int, int, int) override { return 0; }
    int VARN_CALL SetSpecialInsert(int, int, int, void*, int) override { return 0; }
    int VARN_CALL LoadPresetIntoInsert(VarnEffectId, int, int, void*) override { return 0; }
    int VARN_CALL MoveInsert(int, int, int) override { return 0; }
    // A registered client's inserts (none are simulated) are refreshed at once: the flag is
    // set; an unknown client is refused.
    int VARN_CALL RefreshInserts(int clientId, int* flag) override;
    int VARN_CALL Method26(int, int*) override { return 0; }
    int VARN_CALL SetInsertChainFlag(int clientId, int value) override;
    int VARN_CALL GetParameterDescriptors(int, int, int*, void**) override { return 0; }
    int VARN_CALL GetParameterChoiceNames(int, int, int, int*, void**) override { return 0; }
    int VARN_CALL GetParameterValue(int, int, int, void*) override { return 0; }
    int VARN_CALL SetParameterValue(int, int, int, int, int) override { return 0; }
    int VARN_CALL SetInsertBypass(int, int, int) override { return 0; }
    int VARN_CALL SetInsertSolo(int, int, int) override { return 0; }
    int VARN_CALL GetInsertBypass(int, int, int*) override { return 0; }
    int VARN_CALL GetInsertSolo(int, int, int*) override { return 0; }
    int VARN_CALL CreateCorePreset(int, int, const char16_t*) override { return 0; }
    int VARN_CALL ApplyPresetById(int, int, int) override { return 0; }
    int VARN_CALL DeleteCorePreset(const VarnEffectId*, int) override { return 0; }
    int VARN_CALL RenameCorePreset(const VarnEffectId*, int, const char16_t*) override { return 0; }
    int VARN_CALL GetPresetChange(void*) override { return 0; }
    int VARN_CALL GetParamModelChange(void*) override { return 0; }
    int VARN_CALL SetAllInsertsBypass(int, int) override { return 0; }
    int VARN_CALL QueryClientState(int, int*) override { return 0; }
    int VARN_CALL GetParameterValuesBatch(int, int, void*) override { return 0; }
    int VARN_CALL SetSendReturnInsertRouting(int, int, int, int, int, int, int, void*) override { return 0; }
    int VARN_CALL EnableCategory2Items(int clientId, int* flag) override;
    int VARN_CALL GetInsertNotifyId(int, int, int*) override { return 0; }
    int VARN_CALL GetParameterKinds(int, int, int*, int**) override { return 0; }
    int VARN_CALL QueryParameter(int, int, int, int*) override { return 0; }
    int VARN_CALL GetParameterText(int, int, int, char16_t**, int) override { return 0; }

private:
    std::mutex lock_;
    std::set<int> clients_;                // guarded by lock_
    std::map<int, int> pairs_;             // client -> its pair; guarded by lock_
    int pairCount_ = 0;                    // guarded by lock_
    int nextClient_ = 1;                   // guarded by lock_
    bool keepCategory2_ = true;            // guarded by lock_
    std::function<void(std::string)> log_; // guarded by lock_
};
