#include "standins/engine/StandinAutomation.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

int VARN_CALL StandinAutomation::RegisterClient(int* clientId)
{
    if (!clientId)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    *clientId = nextClient_++;
    clients_.insert(*clientId);
    effects_.AddClient(*clientId);
    if (log_)
        log_("RegisterClient " + std::to_string(*clientId));
    return 1;
}

int VARN_CALL StandinAutomation::UnregisterClient(int clientId)
{
    std::lock_guard<std::mutex> lock(lock_);
    // A client that goes gives its pair and its inserts back.
    pairs_.erase(clientId);
    effects_.RemoveClient(clientId);
    if (clients_.erase(clientId) == 0)
        return 0;
    if (log_)
        log_("UnregisterClient " + std::to_string(clientId));
    return 1;
}

int VARN_CALL StandinAutomation::AcquireSendReturn(int clientId, void* record, int* sendPair, int* returnPair)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!record || !sendPair || !returnPair || clients_.count(clientId) == 0)
        return 0;
    int pair = -1;
    const auto held = pairs_.find(clientId);
    if (held != pairs_.end())
    {
        pair = held->second;
    }
    else
    {
        for (int candidate = 0; candidate < pairCount_ && pair < 0; ++candidate)
        {
            bool taken = false;
            for (const auto& entry : pairs_)
                taken = taken || entry.second == candidate;
            if (!taken)
                pair = candidate;
        }
        if (pair < 0)
        {
            if (log_)
                log_("AcquireSendReturn " + std::to_string(clientId) + " refused: every pair taken");
            return 0;
        }
        pairs_[clientId] = pair;
    }
    const SendReturnRecord filled{pair, pair, clientId, 0};
    std::memcpy(record, &filled, sizeof(filled));
    *sendPair = pair;
    *returnPair = pair;
    effects_.SetClientPair(clientId, pair);
    if (log_)
        log_("AcquireSendReturn " + std::to_string(clientId) + " " + std::to_string(pair));
    return 1;
}

int VARN_CALL StandinAutomation::ReleaseSendReturn(int clientId)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (pairs_.erase(clientId) == 0)
        return 0;
    effects_.SetClientPair(clientId, -1);
    if (log_)
        log_("ReleaseSendReturn " + std::to_string(clientId));
    return 1;
}

int VARN_CALL StandinAutomation::RefreshInserts(int clientId, int* flag)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!flag || clients_.count(clientId) == 0)
        return 0;
    *flag = 1;
    return 1;
}

int VARN_CALL StandinAutomation::SetInsertChainFlag(int clientId, int value)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (clients_.count(clientId) == 0)
        return 0;
    if (log_)
        log_("SetInsertChainFlag " + std::to_string(clientId) + " " + std::to_string(value));
    return effects_.SetInsertChainFlag(clientId, value);
}

int VARN_CALL StandinAutomation::SetParameterValue(int clientId, int position, int parameter, int kind, int value)
{
    const int result = effects_.SetParameterValue(clientId, position, parameter, kind, value);
    Log("SetParameterValue " + std::to_string(clientId) + " " + std::to_string(position) + " " +
        std::to_string(parameter) + " " + std::to_string(kind) + " " + std::to_string(value) +
        (result ? "" : " refused"));
    return result;
}

int VARN_CALL StandinAutomation::GetPresetChange(void* change)
{
    const int result = effects_.GetPresetChange(change);
    Log(result ? "GetPresetChange" : "GetPresetChange refused");
    return result;
}

int VARN_CALL StandinAutomation::GetParamModelChange(void* change)
{
    const int result = effects_.GetParamModelChange(change);
    Log(result ? "GetParamModelChange" : "GetParamModelChange refused");
    return result;
}

namespace
{
std::string Answer(int result)
{
    return result ? "" : " refused";
}

// An insert placement answers 1 made, or a number for no DSP or no room.
std::string PlaceAnswer(int result)
{
    return result == 1 ? "" : result == 0 ? " refused" : " answer " + std::to_string(result);
}

std::string Numbers(std::initializer_list<int> values)
{
    std::string text;
    for (int value : values)
        text += " " + std::to_string(value);
    return text;
}

std::string IdText(const VarnEffectId& id)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08x%08x%08x%08x", static_cast<unsigned>(id.data[0]),
                  static_cast<unsigned>(id.data[1]), static_cast<unsigned>(id.data[2]),
                  static_cast<unsigned>(id.data[3]));
    return text;
}
} // namespace

int VARN_CALL StandinAutomation::CreatePreset(int clientId, const char16_t* category, const char16_t* name,
                                              int insertCount, const int* positions)
{
    const int result = effects_.CreatePreset(clientId, category, name, insertCount, positions);
    Log("CreatePreset " + std::to_string(clientId) + " " + StandinLogText(category) + " " + StandinLogText(name) + " " +
        std::to_string(insertCount) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::DeletePreset(VarnEffectId preset)
{
    const int result = effects_.DeletePreset(preset);
    Log("DeletePreset " + IdText(preset) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::RenamePreset(VarnEffectId preset, const char16_t* name)
{
    const int result = effects_.RenamePreset(preset, name);
    Log("RenamePreset " + IdText(preset) + " " + StandinLogText(name) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::CreatePresetCategory(const char16_t* name)
{
    const int result = effects_.CreatePresetCategory(name);
    Log("CreatePresetCategory " + StandinLogText(name) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::DeletePresetCategory(const char16_t* name)
{
    const int result = effects_.DeletePresetCategory(name);
    Log("DeletePresetCategory " + StandinLogText(name) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::RenamePresetCategory(const char16_t* oldName, const char16_t* newName)
{
    const int result = effects_.RenamePresetCategory(oldName, newName);
    Log("RenamePresetCategory " + StandinLogText(oldName) + " " + StandinLogText(newName) + Answer(result));
    return result;
}

void StandinAutomation::Log(const std::string& entry)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (log_)
        log_(entry);
}

void StandinAutomation::Configure(bool keepCategory2, int pairs, std::function<void(std::string)> log)
{
    std::lock_guard<std::mutex> lock(lock_);
    keepCategory2_ = keepCategory2;
    pairCount_ = pairs;
    log_ = std::move(log);
}

int VARN_CALL StandinAutomation::EnableCategory2Items(int clientId, int* flag)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (log_)
        log_("EnableCategory2Items " + std::to_string(clientId) + (keepCategory2_ ? " keep" : " clear"));
    if (!flag)
        return 0;
    if (!keepCategory2_)
        *flag = 0;
    return 1;
}

int VARN_CALL StandinAutomation::CreateCorePreset(int clientId, int position, const char16_t* name)
{
    const int result = effects_.CreateCorePreset(clientId, position, name);
    Log("CreateCorePreset " + std::to_string(clientId) + " " + std::to_string(position) + " " + StandinLogText(name) +
        Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::ApplyPresetById(int clientId, int position, int value)
{
    const int result = effects_.ApplyPresetById(clientId, position, value);
    Log("ApplyPresetById " + std::to_string(clientId) + " " + std::to_string(position) + " " + std::to_string(value) +
        Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::DeleteCorePreset(const VarnEffectId* effect, int index)
{
    const int result = effects_.DeleteCorePreset(effect, index);
    Log("DeleteCorePreset " + (effect ? IdText(*effect) : std::string("null")) + " " + std::to_string(index) +
        Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::RenameCorePreset(const VarnEffectId* effect, int index, const char16_t* name)
{
    const int result = effects_.RenameCorePreset(effect, index, name);
    Log("RenameCorePreset " + (effect ? IdText(*effect) : std::string("null")) + " " + std::to_string(index) + " " +
        StandinLogText(name) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::SetInsertEffect(VarnEffectId effect, int clientId, int position, void* info, int wait)
{
    const int result = effects_.SetInsertEffect(effect, clientId, position, info, wait);
    Log("SetInsertEffect" + Numbers({clientId, position}) + " " + IdText(effect) + PlaceAnswer(result));
    return result;
}

int VARN_CALL StandinAutomation::RemoveInsert(int clientId, int position)
{
    const int result = effects_.RemoveInsert(clientId, position);
    Log("RemoveInsert" + Numbers({clientId, position}) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::SelectPreset(int clientId, int position, int presetIndex)
{
    const int result = effects_.SelectPreset(clientId, position, presetIndex);
    Log("SelectPreset" + Numbers({clientId, position, presetIndex}) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::SetSpecialInsert(int specialKind, int clientId, int position, void* info, int wait)
{
    const int result = effects_.SetSpecialInsert(specialKind, clientId, position, info, wait);
    Log("SetSpecialInsert" + Numbers({clientId, position, specialKind}) + PlaceAnswer(result));
    return result;
}

int VARN_CALL StandinAutomation::LoadPresetIntoInsert(VarnEffectId preset, int clientId, int position, void* info)
{
    const int result = effects_.LoadPresetIntoInsert(preset, clientId, position, info);
    Log("LoadPresetIntoInsert" + Numbers({clientId, position}) + " " + IdText(preset) + PlaceAnswer(result));
    return result;
}

int VARN_CALL StandinAutomation::MoveInsert(int clientId, int from, int to)
{
    const int result = effects_.MoveInsert(clientId, from, to);
    Log("MoveInsert" + Numbers({clientId, from, to}) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::SetInsertBypass(int clientId, int position, int bypass)
{
    const int result = effects_.SetInsertBypass(clientId, position, bypass);
    Log("SetInsertBypass" + Numbers({clientId, position, bypass}) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::SetInsertSolo(int clientId, int position, int solo)
{
    const int result = effects_.SetInsertSolo(clientId, position, solo);
    Log("SetInsertSolo" + Numbers({clientId, position, solo}) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::SetAllInsertsBypass(int clientId, int bypass)
{
    const int result = effects_.SetAllInsertsBypass(clientId, bypass);
    Log("SetAllInsertsBypass" + Numbers({clientId, bypass}) + Answer(result));
    return result;
}

int VARN_CALL StandinAutomation::SetSendReturnInsertRouting(int clientId, int position, int send1, int send2,
                                                            int return1, int return2, int wait, void* info)
{
    const int result =
        effects_.SetSendReturnInsertRouting(clientId, position, send1, send2, return1, return2, wait, info);
    Log("SetSendReturnInsertRouting" + Numbers({clientId, position, send1, send2, return1, return2}) +
        PlaceAnswer(result));
    return result;
}
