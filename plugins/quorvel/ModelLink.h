#pragma once
// What the effect model (catalogue, inserts, chain) needs of its services link: the call
// block that carries a command to the services thread and its answer back, the arrays the
// server hands out given back, the chain's attached flag, the editor's messages and the
// instance's parameter path. The services link implements it over COM; the native tests over
// a fake executor. The model reaches the mixer program through nothing else.

#include "plugins/quorvel/ModelRecords.h"

#include <cstdint>
#include <cstring>

// The answers of the server's commands as the model reads them (HRESULT values).
constexpr int32_t kCallOk = 0;

// The commands of the services thread, each named once. 1-3 are the thread's own (the link's
// life and the driver side); 4-51 run in the link's executor against the server.
enum LinkCommand : int32_t
{
    kCmdCreateLink = 1,
    kCmdDestroyLink = 2,
    kCmdReconnect = 3,
    kCmdAcquireSendReturn = 4,
    kCmdReleaseSendReturn = 5,
    kCmdGetEffectCatalog = 6,
    kCmdGetEffectPresets = 7,
    kCmdGetEffectCorePresets = 8,
    kCmdGetInserts = 9,
    kCmdCreatePresetCategory = 10,
    kCmdDeletePresetCategory = 11,
    kCmdRenamePresetCategory = 12,
    kCmdCreatePreset = 13,
    kCmdDeletePreset = 14,
    kCmdRenamePreset = 15,
    kCmdGetEffectsFit = 16,
    kCmdGetPresetsFit = 17,
    kCmdSetInsertEffect = 18,
    kCmdRemoveInsert = 19,
    kCmdLoadPresetIntoInsert = 20,
    kCmdMoveInsert = 21,
    kCmdSelectPreset = 22,
    kCmdSetSpecialInsert = 23,
    kCmdRefreshInserts = 24,
    kCmdClearInsertChainFlag = 25,
    kCmdSetInsertChainFlag = 26,
    kCmdGetParameterDescriptors = 27,
    kCmdGetParameterChoiceNames = 28,
    kCmdGetParameterValue = 29,
    kCmdSetParameterValue = 30,
    kCmdGetInsertSolo = 31,
    kCmdGetInsertBypass = 32,
    kCmdSetInsertSolo = 33,
    kCmdSetInsertBypass = 34,
    kCmdCreateCorePreset = 35,
    kCmdApplyPresetById = 36,
    kCmdDeleteCorePreset = 37,
    kCmdRenameCorePreset = 38,
    kCmdSetAllInsertsBypass = 39,
    kCmdQueryClientState = 40,
    kCmdGetParameterValuesBatch = 41,
    kCmdGetHardwareChannels = 42,
    kCmdSetSendInsertRouting = 43,
    kCmdGetHardwareChannelsEx = 44,
    kCmdSetSendReturnInsertRouting = 45,
    kCmdClientRoutingCallA = 46,
    kCmdClientRoutingCallB = 47,
    kCmdGetInsertNotifyId = 48,
    kCmdGetParameterKinds = 49,
    kCmdQueryParameter = 50,
    kCmdGetParameterText = 51,
};
constexpr int32_t kFirstLinkCommand = kCmdAcquireSendReturn;
constexpr int32_t kLastLinkCommand = kCmdGetParameterText;

// The argument and result area of one command. Slots hold pointers as well as 32-bit values;
// a 16-byte id takes four slots of one 32-bit word each.
struct CallBlock
{
    int32_t result = kCallOk;
    uintptr_t a[17] = {}; // a[1] .. a[16]; a[0] unused
};

class ModelLink
{
public:
    // Any thread: BeginCall, fill the slots, Call, read the results, EndCall. BeginCall and
    // EndCall throw CallBlockError when used wrongly, never holding the lock after it.
    virtual CallBlock* BeginCall() = 0;
    virtual int32_t Call(int32_t command) = 0;
    virtual void EndCall() = 0;
    // Services thread only (notification handlers, the chain's attach): runs a command at once
    // on the caller's own block. The shared block may be held by a host thread that waits for
    // this very thread, so these never touch it.
    virtual void CallDirect(CallBlock& block, int32_t command) = 0;
    // Gives back an array a command's answer handed out (the server allocated it).
    virtual void FreeServerArray(void* array) = 0;

    // The chain's attached flag: while false the inserts keep their values locally.
    virtual bool IsChainAttached() = 0;
    // Hands a message to the editor, or frees its payload; answers whether it was posted.
    virtual bool PostToEditor(uint32_t id, uintptr_t wParam, uintptr_t lParam) = 0;
    // The driver's sample rate as the instance runs it.
    virtual int32_t GetAsioSampleRate() = 0;
    // The instance's parameter path: one value, or every mapped value, told to the host.
    virtual void ReportParamToHost(int32_t position, int32_t index, const ParamValue& value) = 0;
    virtual void ReportAllParamsToHost() = 0;
    // Every insert of the chain reads its bypass and solo again; the editor hears of it.
    virtual void ReadBypassSolo() = 0;

protected:
    ~ModelLink() = default;
};

// Slot helpers of the call block: 32-bit words, pointers, a 16-byte id in four slots and the
// ten words of an insert's information.
inline void PutWord(CallBlock& block, int slot, int32_t value)
{
    block.a[slot] = static_cast<uintptr_t>(static_cast<intptr_t>(value));
}
inline int32_t WordAt(const CallBlock& block, int slot)
{
    return static_cast<int32_t>(static_cast<uint32_t>(block.a[slot]));
}
template <typename T>
void PutPointer(CallBlock& block, int slot, T* pointer)
{
    block.a[slot] = reinterpret_cast<uintptr_t>(pointer);
}
template <typename T>
T* PointerAt(const CallBlock& block, int slot)
{
    return reinterpret_cast<T*>(block.a[slot]);
}
inline void PutId(CallBlock& block, int first, const EffectId& id)
{
    for (int i = 0; i < 4; ++i)
    {
        block.a[first + i] = id.data[i];
    }
}
inline InsertInfo InfoAt(const CallBlock& block, int first)
{
    uint32_t words[10];
    for (int i = 0; i < 10; ++i)
    {
        words[i] = static_cast<uint32_t>(block.a[first + i]);
    }
    InsertInfo info;
    static_assert(sizeof(words) == sizeof(info), "insert information");
    std::memcpy(&info, words, sizeof(info));
    return info;
}

// One command through the shared call block with the arguments of the caller's block; the
// answer and the out slots come back into it.
inline int32_t RunOnLink(ModelLink& link, CallBlock& block, int32_t command)
{
    CallBlock* shared = link.BeginCall();
    std::memcpy(shared->a, block.a, sizeof(block.a));
    block.result = link.Call(command);
    std::memcpy(block.a, shared->a, sizeof(block.a));
    link.EndCall();
    return block.result;
}
