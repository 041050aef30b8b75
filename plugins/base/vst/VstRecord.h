#pragma once
// Our declaration of the VST 2 effect record, the entry and callback signatures and the
// opcodes, written from what the plug-ins and our test host need.

#include <cstddef>
#include <cstdint>

// Entry points and the host callback use the platform's C convention.
#if defined(_WIN32) && defined(__i386__)
#define KIV_VSTCALL __cdecl
#else
#define KIV_VSTCALL
#endif

struct VstEffectRecord;

// Values and answers are pointer-sized: 32-bit in the shipped x86 build.
using VstValue = intptr_t;

using VstHostCallback = VstValue(KIV_VSTCALL*)(VstEffectRecord* effect, int32_t opcode, int32_t index, VstValue value,
                                               void* pointer, float option);
using VstDispatcherProc = VstValue(KIV_VSTCALL*)(VstEffectRecord* effect, int32_t opcode, int32_t index, VstValue value,
                                                 void* pointer, float option);
using VstProcessProc = void(KIV_VSTCALL*)(VstEffectRecord* effect, float** inputs, float** outputs, int32_t frames);
using VstSetParameterProc = void(KIV_VSTCALL*)(VstEffectRecord* effect, int32_t index, float value);
using VstGetParameterProc = float(KIV_VSTCALL*)(VstEffectRecord* effect, int32_t index);
// The exported "main" of a plug-in file.
using VstMainProc = VstEffectRecord*(KIV_VSTCALL*)(VstHostCallback host);

constexpr int32_t kVstMagic = 0x56737450; // "VstP"

struct VstEffectRecord
{
    int32_t magic;
    VstDispatcherProc dispatcher;
    VstProcessProc process; // accumulating
    VstSetParameterProc setParameter;
    VstGetParameterProc getParameter;
    int32_t programCount;
    int32_t parameterCount;
    int32_t inputCount;
    int32_t outputCount;
    int32_t flags;
    VstValue reserved1;
    VstValue reserved2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object; // the plug-in's effect object
    void* user;
    int32_t uniqueId;
    int32_t version;
    VstProcessProc processReplacing;
    char future[60];
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(VstEffectRecord) == 144, "effect record");
static_assert(offsetof(VstEffectRecord, flags) == 36, "effect record");
static_assert(offsetof(VstEffectRecord, initialDelay) == 48, "effect record");
static_assert(offsetof(VstEffectRecord, object) == 64, "effect record");
static_assert(offsetof(VstEffectRecord, uniqueId) == 72, "effect record");
static_assert(offsetof(VstEffectRecord, processReplacing) == 80, "effect record");
#else
static_assert(sizeof(VstEffectRecord) == 192, "effect record");
static_assert(offsetof(VstEffectRecord, flags) == 56, "effect record");
static_assert(offsetof(VstEffectRecord, initialDelay) == 80, "effect record");
static_assert(offsetof(VstEffectRecord, object) == 96, "effect record");
static_assert(offsetof(VstEffectRecord, uniqueId) == 112, "effect record");
static_assert(offsetof(VstEffectRecord, processReplacing) == 120, "effect record");
#endif

// The editor rectangle handed to the host.
struct VstRect
{
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
static_assert(sizeof(VstRect) == 8, "editor rectangle");

// A key the host hands to the editor: the character, a virtual key code and the modifiers.
struct VstKeyCode
{
    int32_t character;
    uint8_t virtualKey;
    uint8_t modifiers;
};
static_assert(sizeof(VstKeyCode) == 8, "key record");

// One speaker of an arrangement (112 bytes): position, name, type and reserved values.
struct VstSpeaker
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32_t type;
    int32_t future[7];
};
static_assert(sizeof(VstSpeaker) == 112, "speaker record");
static_assert(offsetof(VstSpeaker, name) == 16 && offsetof(VstSpeaker, type) == 80 &&
                  offsetof(VstSpeaker, future) == 84,
              "speaker record");

// A speaker arrangement: type and count, then count speaker records (the declared eight are
// the least a host allocates; a block of another count is allocated to its size).
struct VstSpeakerArrangement
{
    int32_t type;
    int32_t count;
    VstSpeaker speakers[8];
};
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "speaker arrangement");

// Flags of the record.
constexpr int32_t kVstFlagHasEditor = 1;
constexpr int32_t kVstFlagHasClip = 2;
constexpr int32_t kVstFlagHasVu = 4;
constexpr int32_t kVstFlagCanMono = 8;
constexpr int32_t kVstFlagCanReplace = 16;
constexpr int32_t kVstFlagProgramChunks = 32;
constexpr int32_t kVstFlagIsSynth = 256;
constexpr int32_t kVstFlagNoSoundInStop = 512;
constexpr int32_t kVstFlagAsynchronous = 1024;
constexpr int32_t kVstFlagExternalBuffer = 2048;

// Opcodes from the host to the effect.
enum VstEffectOpcode : int32_t
{
    kEffOpen = 0,
    kEffClose = 1,
    kEffSetProgram = 2,
    kEffGetProgram = 3,
    kEffSetProgramName = 4,
    kEffGetProgramName = 5,
    kEffGetParamLabel = 6,
    kEffGetParamDisplay = 7,
    kEffGetParamName = 8,
    kEffGetVu = 9,
    kEffSetSampleRate = 10,
    kEffSetBlockSize = 11,
    kEffMainsChanged = 12,
    kEffEditGetRect = 13,
    kEffEditOpen = 14,
    kEffEditClose = 15,
    kEffEditIdle = 19,
    kEffIdentify = 22,
    kEffGetChunk = 23,
    kEffSetChunk = 24,
    kEffProcessEvents = 25,
    kEffCanBeAutomated = 26,
    kEffStringToParameter = 27,
    kEffGetProgramCategories = 28,
    kEffGetProgramNameIndexed = 29,
    kEffCopyProgram = 30,
    kEffConnectInput = 31,
    kEffConnectOutput = 32,
    kEffGetInputProperties = 33,
    kEffGetOutputProperties = 34,
    kEffGetPlugCategory = 35,
    kEffGetCurrentPosition = 36,
    kEffGetDestinationBuffer = 37,
    kEffOfflineNotify = 38,
    kEffOfflinePrepare = 39,
    kEffOfflineRun = 40,
    kEffProcessVarIo = 41,
    kEffSetSpeakerArrangement = 42,
    kEffSetBlockSizeAndSampleRate = 43,
    kEffSetBypass = 44,
    kEffGetEffectName = 45,
    kEffGetErrorText = 46,
    kEffGetVendorString = 47,
    kEffGetProductString = 48,
    kEffGetVendorVersion = 49,
    kEffVendorSpecific = 50,
    kEffCanDo = 51,
    kEffGetTailSize = 52,
    kEffIdle = 53,
    kEffGetIcon = 54,
    kEffSetViewPosition = 55,
    kEffGetParameterProperties = 56,
    kEffKeysRequired = 57,
    kEffGetVstVersion = 58,
    // The later revision's range.
    kEffEditKeyDown = 59,
    kEffEditKeyUp = 60,
    kEffSetEditKnobMode = 61,
    kEffGetMidiProgramName = 62,
    kEffGetCurrentMidiProgram = 63,
    kEffGetMidiProgramCategory = 64,
    kEffHasMidiProgramsChanged = 65,
    kEffGetMidiKeyName = 66,
    kEffBeginSetProgram = 67,
    kEffEndSetProgram = 68,
    kEffGetSpeakerArrangement = 69,
    kEffShellGetNextPlugin = 70,
    kEffStartProcess = 71,
    kEffStopProcess = 72,
    kEffSetTotalSampleToProcess = 73,
    kEffSetPanLaw = 74,
    kEffBeginLoadBank = 75,
    kEffBeginLoadProgram = 76,
};

// Opcodes from the effect to the host.
enum VstHostOpcode : int32_t
{
    kHostAutomate = 0,
    kHostVersion = 1,
    kHostCurrentId = 2,
    kHostIdle = 3,
    kHostPinConnected = 4,
    kHostWantEvents = 6,
    kHostGetTime = 7,
    kHostTempoAt = 10,
    kHostGetNumAutomatableParameters = 11,
    kHostGetParameterQuantization = 12,
    kHostIoChanged = 13,
    kHostNeedIdle = 14,
    kHostSizeWindow = 15,
    kHostGetSampleRate = 16,
    kHostGetBlockSize = 17,
    kHostGetInputLatency = 18,
    kHostGetOutputLatency = 19,
    kHostGetPreviousPlugin = 20,
    kHostGetNextPlugin = 21,
    kHostWillReplaceOrAccumulate = 22,
    kHostGetCurrentProcessLevel = 23,
    kHostGetAutomationState = 24,
    kHostOfflineStart = 25,
    kHostOfflineRead = 26,
    kHostOfflineWrite = 27,
    kHostOfflineGetCurrentPass = 28,
    kHostOfflineGetCurrentMetaPass = 29,
    kHostSetOutputSampleRate = 30,
    kHostGetOutputSpeakerArrangement = 31,
    kHostGetVendorString = 32,
    kHostGetProductString = 33,
    kHostGetVendorVersion = 34,
    kHostVendorSpecific = 35,
    kHostCanDo = 37,
    kHostGetLanguage = 38,
    kHostOpenWindow = 39,
    kHostCloseWindow = 40,
    kHostGetDirectory = 41,
    kHostUpdateDisplay = 42,
    kHostBeginEdit = 43,
    kHostEndEdit = 44,
    kHostOpenFileSelector = 45,
    kHostGetInputSpeakerArrangement = 49,
};

// Process levels the host reports.
constexpr int32_t kVstProcessLevelRealtime = 2;
constexpr int32_t kVstProcessLevelOffline = 4;
