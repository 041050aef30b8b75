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

// Where each command finds its arguments and leaves its answers in the call block: one struct
// per command that uses slots (the others use none), named after the command. "In" slots the
// caller fills, "out" slots the command answers into; "wanted" slots carry the caller's out
// pointer, or 0 when it does not want that answer. An id takes kIdSlots slots from its first,
// an insert's information kInfoSlots.
constexpr int kIdSlots = 4;
constexpr int kInfoSlots = 10;
constexpr int kLastSlot = 16;
// Every command on one insert names it by its position in the first slot.
constexpr int kInsertPositionSlot = 1;
namespace Slots
{
// The catalogue's commands.
struct GetEffectCatalog
{
    static constexpr int kCount = 1;   // out: categories
    static constexpr int kRecords = 2; // out: CategoryRecord array, the server's
};
struct GetEffectPresets
{
    static constexpr int kCategory = 1; // in: the CategoryRecord asked for
    static constexpr int kCount = 2;    // out: presets
    static constexpr int kRecords = 3;  // out: PresetRecord array, the server's
};
struct GetEffectCorePresets
{
    static constexpr int kEffect = 1;  // in: the effect's id, four slots
    static constexpr int kCount = 5;   // out: core presets
    static constexpr int kRecords = 6; // out: CorePresetRecord array, the server's
};
struct GetInserts
{
    static constexpr int kPreset = 1;      // in: the chain preset's id, four slots
    static constexpr int kFactory = 5;     // out: whether the chain is a factory one
    static constexpr int kCount = 6;       // out: effects of the chain
    static constexpr int kEffects = 7;     // out: PresetRecord array, the server's
    static constexpr int kWetDry = 8;      // wanted: float array, one per effect
    static constexpr int kValueCounts = 9; // wanted: int32_t array, values per effect
    static constexpr int kValueTotal = 10; // wanted: int32_t, values in all
    static constexpr int kValues = 11;     // wanted: PresetValueRecord array
};
struct PresetCategory // CreatePresetCategory, DeletePresetCategory, RenamePresetCategory
{
    static constexpr int kName = 1;    // in: the category's name
    static constexpr int kNewName = 2; // in: RenamePresetCategory only
};
using CreatePresetCategory = PresetCategory;
using DeletePresetCategory = PresetCategory;
using RenamePresetCategory = PresetCategory;
struct CreatePreset
{
    static constexpr int kCategory = 1;    // in: the category's name
    static constexpr int kName = 2;        // in
    static constexpr int kInsertCount = 3; // in: positions taken into the preset
    static constexpr int kPositions = 4;   // in: int32_t array of kInsertCount positions
};
struct DeletePreset
{
    static constexpr int kPreset = 1; // in: the preset's id, four slots
};
struct RenamePreset
{
    static constexpr int kPreset = 1; // in: the preset's id, four slots
    static constexpr int kName = 5;   // in
};
struct Fit // GetEffectsFit, GetPresetsFit
{
    static constexpr int kCount = 1; // in: ids asked about
    static constexpr int kIds = 2;   // in: EffectId array of kCount
    static constexpr int kFlags = 3; // in: int32_t array of kCount, answered into
};
using GetEffectsFit = Fit;
using GetPresetsFit = Fit;

// The chain's and the inserts' commands; an insert is named by its position.
struct SetInsertEffect
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kPreset = 2; // in: the effect preset's id, four slots
    static constexpr int kInfo = 6;   // out: the insert's information, ten slots
    static constexpr int kWait = 16;  // in: 1 when the call waits for the card
};
struct RemoveInsert
{
    static constexpr int kPosition = kInsertPositionSlot;
};
struct LoadPresetIntoInsert
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kPreset = 2; // in: the preset's id, four slots
    static constexpr int kInfo = 6;   // out: the insert's information, ten slots
};
struct MoveInsert
{
    static constexpr int kFrom = 1;
    static constexpr int kTo = 2; // in: a position, or -1 for the end
};
struct SelectPreset
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kIndex = 2; // in: the core preset's index
};
struct SetSpecialInsert
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kKind = 2; // in: the special insert's kind
    static constexpr int kInfo = 3; // out: the insert's information, ten slots
    // in: 1 when the call waits for the card; read before the information overwrites the
    // slots before it.
    static constexpr int kWait = 13;
};
struct ParameterList // GetParameterDescriptors, GetParameterKinds: one record per parameter
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kCount = 2;   // out: parameters
    static constexpr int kRecords = 3; // out: descriptor or int32_t kind array, the server's
};
using GetParameterDescriptors = ParameterList;
using GetParameterKinds = ParameterList;
struct GetParameterChoiceNames
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kIndex = 2;   // in: the parameter
    static constexpr int kCount = 3;   // out: names
    static constexpr int kRecords = 4; // out: ChoiceName array, the server's
};
struct ParameterValue // GetParameterValue (out), SetParameterValue (in)
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kIndex = 2; // in: the parameter
    static constexpr int kKind = 3;  // the value's kind
    static constexpr int kBits = 4;  // the value's 32 bits
};
using GetParameterValue = ParameterValue;
using SetParameterValue = ParameterValue;
struct InsertSwitch // Get/SetInsertSolo, Get/SetInsertBypass: out for Get, in for Set
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kOn = 2; // 1 on, 0 off
};
using GetInsertSolo = InsertSwitch;
using GetInsertBypass = InsertSwitch;
using SetInsertSolo = InsertSwitch;
using SetInsertBypass = InsertSwitch;
struct CreateCorePreset
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kName = 2; // in
};
struct ApplyPresetById
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kPreset = 2; // in: the preset's number
};
struct DeleteCorePreset
{
    static constexpr int kEffect = 1; // in: the effect's id, four slots
    static constexpr int kIndex = 5;  // in: the core preset's index
};
struct RenameCorePreset
{
    static constexpr int kEffect = 1; // in: the effect's id, four slots
    static constexpr int kIndex = 5;  // in: the core preset's index
    static constexpr int kName = 6;   // in
};
struct SetAllInsertsBypass
{
    static constexpr int kOn = 1; // in: 1 on, 0 off
};
struct QueryClientState
{
    static constexpr int kState = 1; // out
};
struct GetParameterValuesBatch
{
    static constexpr int kCount = 1;   // in: entries
    static constexpr int kEntries = 2; // in: ParamValueEntry array of kCount, answered into
};
struct GetHardwareChannels
{
    static constexpr int kCount = 1;   // out: channels
    static constexpr int kRecords = 2; // out: channel array, the server's
};
struct SetSendInsertRouting
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kSendFirst = 2;  // in: the send pair's channels
    static constexpr int kSendSecond = 3; // in
    static constexpr int kWait = 4;       // in: 1 when the call waits for the card
    static constexpr int kInfo = 5;       // out: the insert's information, ten slots
};
struct GetHardwareChannelsEx
{
    static constexpr int kOutputCount = 1; // out
    static constexpr int kOutputs = 2;     // out: channel array, the server's
    static constexpr int kInputCount = 3;  // out
    static constexpr int kInputs = 4;      // out: channel array, the server's
};
struct SetSendReturnInsertRouting
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kSendFirst = 2;    // in: the send pair's channels
    static constexpr int kSendSecond = 3;   // in
    static constexpr int kReturnFirst = 4;  // in: the return pair's channels
    static constexpr int kReturnSecond = 5; // in
    static constexpr int kWait = 6;         // in: 1 when the call waits for the card
    static constexpr int kInfo = 7;         // out: the insert's information, ten slots
};
struct GetInsertNotifyId
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kNotifyId = 2; // out
};
struct QueryParameter
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kIndex = 2;  // in: the parameter
    static constexpr int kAnswer = 3; // out
};
struct GetParameterText
{
    static constexpr int kPosition = kInsertPositionSlot;
    static constexpr int kIndex = 2; // in: the parameter
    static constexpr int kText = 3;  // out: the text, the server's
    static constexpr int kUnits = 4; // in: which units the text is in
};

// The ranges stay inside the block and clear of the slots after them.
static_assert(SetInsertEffect::kPreset + kIdSlots <= SetInsertEffect::kInfo, "id before information");
static_assert(SetInsertEffect::kInfo + kInfoSlots <= SetInsertEffect::kWait, "information before the wait flag");
static_assert(LoadPresetIntoInsert::kPreset + kIdSlots <= LoadPresetIntoInsert::kInfo, "id before information");
static_assert(SetSpecialInsert::kInfo + kInfoSlots <= SetSpecialInsert::kWait, "information before the wait flag");
static_assert(SetSendInsertRouting::kInfo + kInfoSlots <= kLastSlot + 1, "information inside the block");
static_assert(SetSendReturnInsertRouting::kInfo + kInfoSlots <= kLastSlot + 1, "information inside the block");
static_assert(GetInserts::kPreset + kIdSlots <= GetInserts::kFactory, "id before the answers");
static_assert(GetEffectCorePresets::kEffect + kIdSlots <= GetEffectCorePresets::kCount, "id before the answers");
static_assert(RenamePreset::kPreset + kIdSlots <= RenamePreset::kName, "id before the name");
static_assert(DeleteCorePreset::kEffect + kIdSlots <= DeleteCorePreset::kIndex, "id before the index");
static_assert(RenameCorePreset::kEffect + kIdSlots <= RenameCorePreset::kIndex, "id before the index");
} // namespace Slots

// The argument and result area of one command. Slots hold pointers as well as 32-bit values;
// a 16-byte id takes four slots of one 32-bit word each.
struct CallBlock
{
    int32_t result = kCallOk;
    uintptr_t a[kLastSlot + 1] = {}; // a[1] .. a[kLastSlot]; a[0] unused
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
    for (int i = 0; i < kIdSlots; ++i)
    {
        block.a[first + i] = id.data[i];
    }
}
inline InsertInfo InfoAt(const CallBlock& block, int first)
{
    uint32_t words[kInfoSlots];
    for (int i = 0; i < kInfoSlots; ++i)
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
