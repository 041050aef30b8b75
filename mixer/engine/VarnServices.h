#pragma once
#include <cstddef>
#include <cstdint>

// The services engine's interfaces: the engine library (KivCorvanDSP.dll) hands out these
// objects and the program calls them through their tables of operations, so each class
// declares its operations in table order, fills unused slots with placeholders and has no
// virtual destructor (slot 0 of IVarnServices is init; the engine frees its own objects).
// A placeholder does nothing here, so an implementation overrides only the operations it
// answers; the slots are pinned by mixer/engine/tests/VarnSlotsTest.cpp.
// The engine library is built by another compiler, so the calling convention is stated: the
// table operations use the C++ member convention of 32-bit Windows (thiscall).
#if defined(_WIN32) && defined(__i386__)
#define VARN_CALL __attribute__((thiscall))
#else
#define VARN_CALL
#endif

// Integers are 32-bit, texts UTF-16 in buffers whose capacity the caller passes. An event's
// argument may carry an object, so it is pointer-sized.
typedef std::intptr_t VarnEventArg;

// Event listener: the engine calls it on threads of its own until it is removed; it answers 1.
class IVarnListener
{
public:
    virtual int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) = 0; // 0
};

// What some events carry and what the program reads of them (where the engine leaves the
// meaning to us, our choice):
// - 10 strip added: the argument is the strip's id (IVarnMixer 11). A strip fed by an ASIO
//   input (its source's sub-kind 1, a pair, or 4, a single channel) changes the channels the
//   ASIO clients see.
// - 111 a strip's source changed: the argument is the strip's id. A strip now fed by a host
//   input (kind 0) of sub-kind 1 (an ASIO pair) changes the ASIO clients' channels.
// - 400 an output changed: the argument is the port (IVarnOutput). An ASIO port (kind 1)
//   changes the ASIO clients' channels; so does a physical port (kind 2) whose feeding bus
//   holds an ASIO send/return insert (kind 6), or whose feeding insert is an effect (kind 0)
//   that holds one (IVarnInsert 11 answers 1).
// - 53 sync status: the argument's low byte is the status.
// - 54 sync time: the argument points to a VarnSyncTime that the engine may overwrite as soon
//   as the listener returns, so the listener copies it.
struct VarnSyncTime
{
    std::uint8_t rateCode;
    std::uint8_t hours;
    std::uint8_t seconds;
    std::uint8_t minutes;
    std::uint8_t frames;
};
static_assert(sizeof(VarnSyncTime) == 5, "sync time record");
static_assert(offsetof(VarnSyncTime, minutes) == 3 && offsetof(VarnSyncTime, frames) == 4, "sync time fields");

// A 16-byte effect or preset id; passed by value as four words.
struct VarnEffectId
{
    std::uint32_t data[4];
};
static_assert(sizeof(VarnEffectId) == 16, "effect id");

// A core preset of an effect (IVarnFxLibrary 14), laid out as the COM core-preset record.
struct VarnCorePresetRecord
{
    std::int32_t number;    // what the preset list shows
    char16_t name[128];     // zero-terminated
    std::int32_t isFactory; // 0: a user preset
};
static_assert(sizeof(VarnCorePresetRecord) == 264 && offsetof(VarnCorePresetRecord, name) == 4 &&
                  offsetof(VarnCorePresetRecord, isFactory) == 260,
              "core preset record");

// View interface handed to the engine at start-up; the program's operations do nothing.
class IVarnView
{
public:
    virtual void VARN_CALL Reserved0() {} // 0
};

// A list of codes the engine fills (rate codes, sync source ids); at most 32.
struct VarnCodeList
{
    std::int32_t count;
    std::int32_t codes[32];
};
static_assert(sizeof(VarnCodeList) == 132 && offsetof(VarnCodeList, codes) == 4, "code list record");

// Named integer settings of a hardware system. There is one getter: it answers whether the
// value exists and writes it through the out pointer; callers that want "the value or -1"
// start from -1 and keep it when the value is missing.
class IVarnSettings
{
public:
    virtual int VARN_CALL SetValue(const char* name, int value, int reserved, int flag) = 0; // 0
    virtual int VARN_CALL GetValue(const char* name, int* value) = 0;                        // 1
    // 2 (our choice): writes a value as text; an empty text clears it.
    virtual int VARN_CALL SetText(const char* name, const char16_t* text, int reserved, int flag) = 0;
    // 3 (our choice): runs a named hardware command ("UnMute").
    virtual int VARN_CALL RunCommand(const char* name) = 0;
    virtual void VARN_CALL Reserved4() {}
    virtual void VARN_CALL Reserved5() {}
    virtual void VARN_CALL Reserved6() {}
    // 7: a text value ("pcicard_firmware_version") into a buffer of capacity units,
    // zero-terminated; nonzero when the value exists (and fits).
    virtual int VARN_CALL GetText(const char* name, char16_t* buffer, int capacity) = 0;
    virtual void VARN_CALL Reserved8() {}
    virtual void VARN_CALL Reserved9() {}
    // 10: the external sync sources the hardware offers now, in order (ids: 2 dock ADAT, 5
    // dock S/PDIF); nonzero when written.
    virtual int VARN_CALL GetSyncSources(VarnCodeList* sources) = 0;
};

// An insert slot's occupant. Slot 11 answers whether the insert holds an effect, which is
// also what "has bypass and solo" asks. Slot 17 is the insert chain that holds the insert;
// the chains are the insert containers of strips and buses, so "the bus object" of an insert
// is this chain. The event key (5) is the argument of the insert's events 750-799; the
// setters answer 0 and change nothing for a value they refuse.
class IVarnInsertChain;
class IVarnInput;
class IVarnOutput;
class IVarnEffect;
struct VarnCoreEffectRecord;
struct VarnPresetRecord;
class IVarnInsert
{
public:
    virtual int VARN_CALL GetKind() = 0; // 0: 1 send, 2 send/return, 6 ASIO send/return, 3 metered effect, else effect
    virtual IVarnEffect* VARN_CALL GetEffect() = 0; // 1: null for sends and send/returns
    // 2, 3: the ports of a send or send/return insert: the output it sends to and the input it
    // returns from; null when it has none.
    virtual IVarnOutput* VARN_CALL GetOutputPort() = 0;
    virtual IVarnInput* VARN_CALL GetInputPort() = 0;
    virtual int VARN_CALL GetPosition() = 0; // 4: 0-based slot in its chain
    virtual int VARN_CALL GetEventKey() = 0; // 5
    virtual void VARN_CALL Reserved6() {}
    virtual int VARN_CALL HasWetDry() = 0;   // 7
    virtual float VARN_CALL GetWetDry() = 0; // 8: 0.0 dry .. 1.0 wet
    virtual void VARN_CALL Reserved9() {}
    virtual int VARN_CALL SetWetDry(float value, int flags) = 0; // 10
    virtual int VARN_CALL HasEffect() = 0;                       // 11
    virtual int VARN_CALL IsBypassed() = 0;                      // 12
    virtual int VARN_CALL SetBypass(int bypass, int flags) = 0;  // 13
    virtual int VARN_CALL IsSoloed() = 0;                        // 14
    virtual int VARN_CALL SetSolo(int solo, int flags) = 0;      // 15
    // 16: the DSP flag: nonzero while the insert has its hardware (the DSP and the ports it
    // uses); the tray icon shows a problem when an insert of a view does not.
    virtual int VARN_CALL HasHardware() = 0;
    virtual IVarnInsertChain* VARN_CALL GetChain() = 0; // 17
    // 18: tries again to take the hardware an insert without it lacks; nonzero when it has it
    // now (the engine then raises 709 with its chain's id).
    virtual int VARN_CALL RetryDsp() { return 0; }
};

// An effect instance in an insert. Parameters are numbered from 0; "which" 0 asks for the
// current value, 1 for the default. Value types (6): 0 on/off, 1 trigger, 2 integer with a
// display text, 3 selector, 4 continuous. Control kinds (7): 0 toggle, 1 trigger, 2, 3 and 6
// continuous, 4 and 5 selector, 7 peak meter, 8 inverted peak meter, 9 discrete. States (27):
// 0 normal, 1 and 2 (disabled) shown with a mark, 3 not shown. The event key (31) is the
// argument of the effect's events 602, 610-699 and 1000-1299. Texts go into buffers of
// capacity units, cut and zero-terminated; setters answer 0 and change nothing for a value or
// index they refuse. The range getters write through the pointers that are not null.
class IVarnEffect
{
public:
    virtual const char16_t* VARN_CALL GetName() = 0;                         // 0: never null
    virtual const char16_t* VARN_CALL GetSlotName() = 0;                     // 1: the short name an insert slot shows
    virtual int VARN_CALL SelectPreset(int index, int flags) = 0;            // 2
    virtual int VARN_CALL GetPresetName(char16_t* buffer, int capacity) = 0; // 3
    virtual int VARN_CALL GetParameterCount() = 0;                           // 4
    virtual int VARN_CALL GetParameterName(int index, char16_t* buffer, int capacity) = 0; // 5
    virtual int VARN_CALL GetValueType(int index) = 0;                                     // 6
    virtual int VARN_CALL GetControlKind(int index) = 0;                                   // 7
    virtual int VARN_CALL GetFlagValue(int index, int which) = 0;                          // 8
    virtual void VARN_CALL Reserved9() {}
    virtual int VARN_CALL GetIntValue(int index, int which) = 0;      // 10
    virtual int VARN_CALL GetSelectorValue(int index, int which) = 0; // 11
    virtual float VARN_CALL GetRealValue(int index, int which) = 0;   // 12
    virtual void VARN_CALL Reserved13() {}
    virtual int VARN_CALL GetSelectorText(int index, int entry, char16_t* buffer, int capacity) = 0;         // 14
    virtual int VARN_CALL GetIntRange(int index, int* minimum, int* maximum, int* step, int* page) = 0;      // 15
    virtual int VARN_CALL GetSelectorRange(int index, int* minimum, int* maximum, int* step, int* page) = 0; // 16
    virtual int VARN_CALL GetRealRange(int index, float* minimum, float* maximum, float* step,
                                       float* page) = 0;                         // 17
    virtual int VARN_CALL SetFlagValue(int index, int value, int flags) = 0;     // 18
    virtual int VARN_CALL Trigger(int index, int value, int flags) = 0;          // 19
    virtual int VARN_CALL SetIntValue(int index, int value, int flags) = 0;      // 20
    virtual int VARN_CALL SetSelectorValue(int index, int value, int flags) = 0; // 21
    virtual int VARN_CALL SetRealValue(int index, float value, int flags) = 0;   // 22
    virtual void VARN_CALL Reserved23() {}
    virtual void VARN_CALL Reserved24() {}
    virtual int VARN_CALL GetUnit(int index, char16_t* buffer, int capacity) = 0; // 25
    virtual int VARN_CALL GetHelp(int index, char16_t* buffer, int capacity) = 0; // 26
    virtual int VARN_CALL GetParameterState(int index) = 0;                       // 27
    virtual int VARN_CALL GetCoreEffectId(VarnEffectId* id) = 0;                  // 28: 16 bytes
    virtual void VARN_CALL Reserved29() {}
    virtual void VARN_CALL Reserved30() {}
    virtual int VARN_CALL GetEventKey() = 0; // 31
    virtual void VARN_CALL Reserved32() {}
    // 33, 34 (our choice): a parameter the engine keeps to itself (33) or that follows another
    // one (34); neither gets a row of its own.
    virtual int VARN_CALL IsInternalParameter(int index) = 0; // 33
    virtual int VARN_CALL IsLinkedParameter(int index) = 0;   // 34
    virtual void VARN_CALL Reserved35() {}
    virtual void VARN_CALL Reserved36() {}
    virtual int VARN_CALL GetDisplayText(int index, char16_t* buffer, int capacity) = 0; // 37
};

class IVarnStrip;

// An aux bus of the main mix: its insert chain, its number, and its send and return
// levels. A level setter answers 0 and keeps the old value when the value lies outside the
// range; the engine raises event 304 (send) or 305 (return) with the bus's index when a level
// changes.
class IVarnAux
{
public:
    virtual IVarnInsertChain* VARN_CALL GetInsertChain() = 0;                 // 0
    virtual int VARN_CALL GetIndex() = 0;                                     // 1: 0-based aux number
    virtual float VARN_CALL GetSendLevel() = 0;                               // 2
    virtual float VARN_CALL GetSendDefault() = 0;                             // 3
    virtual int VARN_CALL SetSendLevel(float level, int flags) = 0;           // 4
    virtual int VARN_CALL GetSendRange(float* minimum, float* maximum) = 0;   // 5
    virtual float VARN_CALL GetReturnLevel() = 0;                             // 6
    virtual float VARN_CALL GetReturnDefault() = 0;                           // 7
    virtual int VARN_CALL SetReturnLevel(float level, int flags) = 0;         // 8
    virtual int VARN_CALL GetReturnRange(float* minimum, float* maximum) = 0; // 9
};

// What a chain's add and replace operations answer (IVarnInsertChain 2-12). Effects, sends
// and the special inserts:
enum VarnInsertResult
{
    VarnInsertDone = 1,
    VarnInsertNoDsp = 3,     // the DSP has no room for it
    VarnInsertPrepareDsp = 4 // the DSP must be prepared first (IVarnHardware 12); no retry
};
// Presets (2-5 of the chain for presets):
enum VarnPresetResult
{
    VarnPresetDone = 1,
    VarnPresetPrepareDsp = 2,   // prepare the DSP, then try once more
    VarnPresetCorrupt = 3,      // the preset's data cannot be read
    VarnPresetUnregistered = 4, // an effect of the preset is not in the library
    VarnPresetUnlicensed = 5    // an effect of the preset may not run on this card
};

// An insert chain, also the bus object of the strip, aux or main bus that holds it.
// Positions count from 0; a position of -1 or past the end adds at the end. The add and
// replace operations answer a result code (VarnInsertResult); the last argument of the edits
// asks for the events. A change raises, on the engine's own thread with the chain's id (20):
// 700 an insert added, 701 inserts deleted, 702 an insert moved (both chains), 704 an insert
// replaced, 705 every insert deleted, 709 an insert's DSP came back. Removed inserts stay valid
// (position -1, no chain) until the engine is released. Bad input answers 0, changing nothing.
class IVarnHardware;
class IVarnInsertChain
{
public:
    virtual int VARN_CALL GetCount() = 0;                    // 0
    virtual IVarnInsert* VARN_CALL GetInsert(int index) = 0; // 1: null outside the chain
    // 2-5: an effect of the library (the palette's core-effect record) or a preset (its preset
    // record) added at or put in the place of the insert at position.
    virtual int VARN_CALL AddEffect(const VarnCoreEffectRecord*, int, int) { return 0; }     // 2
    virtual int VARN_CALL ReplaceEffect(const VarnCoreEffectRecord*, int, int) { return 0; } // 3
    virtual int VARN_CALL AddPreset(const VarnPresetRecord*, int, int) { return 0; }         // 4
    virtual int VARN_CALL ReplacePreset(const VarnPresetRecord*, int, int) { return 0; }     // 5
    // 6-9: the special inserts of kinds 3 (peak meter), 4 (trim pot), 5 (test signal) and 7
    // (insert balance): position, notify.
    virtual int VARN_CALL AddMeterInsert(int, int) { return 0; }      // 6
    virtual int VARN_CALL AddTrimInsert(int, int) { return 0; }       // 7
    virtual int VARN_CALL AddTestSignalInsert(int, int) { return 0; } // 8
    virtual int VARN_CALL AddBalanceInsert(int, int) { return 0; }    // 9
    // 10-12: a send to an output, a send/return through an output and an input, an ASIO
    // send/return (an ASIO pair or channel out, an ASIO return in): ports, position, notify.
    virtual int VARN_CALL AddSendInsert(IVarnOutput*, int, int) { return 0; }                        // 10
    virtual int VARN_CALL AddSendReturnInsert(IVarnOutput*, IVarnInput*, int, int) { return 0; }     // 11
    virtual int VARN_CALL AddAsioSendReturnInsert(IVarnOutput*, IVarnInput*, int, int) { return 0; } // 12
    virtual void VARN_CALL Reserved13() {}
    // 14: deletes the inserts at the listed positions (indices, count, notify); 15: all.
    virtual int VARN_CALL DeleteInserts(const int*, int, int) { return 0; } // 14
    virtual int VARN_CALL DeleteAllInserts(int) { return 0; }               // 15
    virtual void VARN_CALL Reserved16() {}
    // 17: moves the insert at a position of this chain to a position of the destination chain
    // (-1 appends): from, destination, to, notify; 0 when refused, the insert then unchanged.
    virtual int VARN_CALL MoveInsert(int, IVarnInsertChain*, int, int) { return 0; }
    virtual void VARN_CALL Reserved18() {}
    virtual int VARN_CALL GetBusType() = 0;     // 19: 0 strip, 1 aux, 2 main
    virtual int VARN_CALL GetId() { return 0; } // 20: the argument of the chain's events
    virtual void VARN_CALL Reserved21() {}
    virtual void VARN_CALL Reserved22() {}
    virtual int VARN_CALL GetBypassedCount() { return 0; }   // 23
    virtual int VARN_CALL GetBypassableCount() { return 0; } // 24: inserts with an effect
    virtual int VARN_CALL BypassAll(int) { return 0; }       // 25: 1 bypass, 0 not; raises 750 per insert
    virtual IVarnStrip* VARN_CALL GetStrip() = 0;            // 26: the strip that owns the bus, else null
    virtual IVarnAux* VARN_CALL GetAux() = 0;                // 27: the aux of an aux bus, else null
    virtual void VARN_CALL Reserved28() {}
    virtual IVarnHardware* VARN_CALL GetHardware() { return nullptr; } // 29: the system of the chain
    virtual int VARN_CALL CanAdd(int) { return 0; }                    // 30: an insert of the kind
};

// The main mix of a hardware system: the main and monitor levels, the monitor balance and
// mute, the aux buses, the main insert chain and the main output meters. Setters answer 0 and
// keep the old value when the value lies outside its range (a mute is 0 or 1); the engine
// raises 300 (main level), 301 (monitor level), 302 (balance) or 303 (mute) when a value
// changes, the program's own edits included. The range getters answer nonzero when written.
class IVarnMainMix
{
public:
    virtual int VARN_CALL GetAuxCount() = 0;                                 // 0
    virtual IVarnAux* VARN_CALL GetAux(int index) = 0;                       // 1: null outside
    virtual IVarnInsertChain* VARN_CALL GetInsertChain() = 0;                // 2
    virtual float VARN_CALL GetMainLevel() = 0;                              // 3
    virtual float VARN_CALL GetMainDefault() = 0;                            // 4
    virtual int VARN_CALL SetMainLevel(float level, int flags) = 0;          // 5
    virtual int VARN_CALL GetMainRange(float* minimum, float* maximum) = 0;  // 6
    virtual int VARN_CALL GetMeterRange(float* minimum, float* maximum) = 0; // 7
    virtual void VARN_CALL Reserved8() {}
    virtual float VARN_CALL GetMeterLevel(int channel) = 0;                    // 9: 0 left, 1 right
    virtual float VARN_CALL GetClipThreshold(int channel) = 0;                 // 10
    virtual float VARN_CALL GetMonitorLevel() = 0;                             // 11
    virtual float VARN_CALL GetMonitorDefault() = 0;                           // 12
    virtual int VARN_CALL SetMonitorLevel(float level, int flags) = 0;         // 13
    virtual int VARN_CALL GetMonitorRange(float* minimum, float* maximum) = 0; // 14
    virtual float VARN_CALL GetBalance() = 0;                                  // 15
    virtual float VARN_CALL GetBalanceDefault() = 0;                           // 16
    virtual int VARN_CALL SetBalance(float balance, int flags) = 0;            // 17
    virtual int VARN_CALL GetBalanceRange(float* minimum, float* maximum) = 0; // 18
    virtual int VARN_CALL GetMonitorMute() = 0;                                // 19
    virtual int VARN_CALL SetMonitorMute(int mute, int flags) = 0;             // 20
    virtual void VARN_CALL Reserved21() {}
    virtual int VARN_CALL IsDspPresent() = 0; // 22: 0 when the card's DSP does not answer
    // 23 (our choice): asks the engine to bring the DSP up again; answers slot 22's answer.
    virtual int VARN_CALL RetryDsp() = 0;
};

// A strip's direct-monitor control; its parameters are gain, pan and state per channel:
// 0 and 1 gain and pan of the left channel, 2 and 3 of the right, 4 and 5 the two states.
class IVarnMonitor
{
public:
    virtual int VARN_CALL SetParameter(int index, int value) = 0; // 0
};

class IVarnInput;

class IVarnStripList;
class IVarnInputList;

// A mixer strip. Its levels are reals with a range and a default; a setter answers 0 and keeps
// the old value outside the range (mute and solo are 0 or 1). The engine raises the strip's
// event with its id when a value changes, the program's own edits included: 100 gain, 101 and
// 102 the sends, 107 and 108 the pan of channel 0 and 1, 109 mute, 110 solo, 111 user text,
// 112 its DSP. The getters that take more arguments than they use get zeros.
class IVarnStrip
{
public:
    virtual int VARN_CALL GetKindCode() { return 0; } // 0: 1 a mono strip
    virtual IVarnInput* VARN_CALL GetSource() = 0;    // 1: the input that feeds the strip, or null
    virtual IVarnInsertChain* VARN_CALL GetInsertChain() { return nullptr; } // 2
    // 3 (our choice): marks the strip as the selected one (1) or not (0); with redraw 1 the
    // engine reports the change.
    virtual void VARN_CALL SetSelected(int selected, int redraw) = 0;
    virtual float VARN_CALL GetSendLevel(int, int, int, int) { return 0.0f; } // 4: send 0 or 1
    virtual float VARN_CALL GetSendDefault(int) { return 0.0f; }              // 5
    virtual int VARN_CALL SetSendLevel(int, float, int) { return 0; }         // 6: send, level, flags
    virtual int VARN_CALL GetSendRange(int, float*, float*) { return 0; }     // 7
    virtual float VARN_CALL GetGain(int, int, int) { return 0.0f; }           // 8
    virtual float VARN_CALL GetGainDefault() { return 0.0f; }                 // 9
    virtual int VARN_CALL SetGain(float, int) { return 0; }                   // 10: level, flags
    virtual int VARN_CALL GetGainRange(float*, float*) { return 0; }          // 11
    virtual float VARN_CALL GetPan(int, int, int, int) { return 0.0f; }       // 12: channel 0 or 1
    virtual float VARN_CALL GetPanDefault(int) { return 0.0f; }               // 13
    virtual int VARN_CALL SetPan(int, float, int) { return 0; }               // 14: channel, value, flags
    virtual int VARN_CALL GetPanRange(float*, float*) { return 0; }           // 15
    virtual int VARN_CALL GetMute(int, int) { return 0; }                     // 16
    virtual int VARN_CALL SetMute(int, int) { return 0; }                     // 17: value, flags
    virtual int VARN_CALL GetSolo(int, int) { return 0; }                     // 18
    virtual int VARN_CALL SetSolo(int, int, int) { return 0; }                // 19: value, flags, 0
    // 20: the name the user gave the strip ("-" or empty when none); null means none.
    virtual const char16_t* VARN_CALL GetName() = 0;
    virtual int VARN_CALL SetName(const char16_t*, int) { return 0; }    // 21: text, flags
    virtual int VARN_CALL IsPreFader() { return 0; }                     // 22: taps before the fader
    virtual IVarnStripList* VARN_CALL GetOwnerList() { return nullptr; } // 23
    virtual int VARN_CALL GetId() = 0;                       // 24: the id the mixer model finds the strip by
    virtual int VARN_CALL GetIndex() = 0;                    // 25: 0-based position among the strips, -1 once removed
    virtual int VARN_CALL HasDsp() { return 0; }             // 26
    virtual int VARN_CALL LoadDsp(int) { return 0; }         // 27: nonzero on success
    virtual IVarnMonitor* VARN_CALL GetMonitor() = 0;        // 28: null without one
    virtual int VARN_CALL SetState(int state, int flag) = 0; // 29
    // 30 (our choice): nonzero while the strip has its hardware (its source and its DSP); the
    // tray icon shows a problem when a strip of the frame does not.
    virtual int VARN_CALL HasHardware() = 0;
};

// The strips of one hardware system, in the order the mixer shows them. The list operations
// raise 10 (created), 11 (removed) or 12 (moved) with the strip's id; a removed strip stays
// valid (index -1) until the engine is released. Creation takes a source (or a source set
// whose selection is made), the pre-fader flag and out pointers for the new strip and the
// status: 2 when the card lacks the DSP for it.
class IVarnStripList
{
public:
    virtual int VARN_CALL GetCount() { return 0; }                                                   // 0
    virtual IVarnStrip* VARN_CALL GetStrip(int) { return nullptr; }                                  // 1: null outside
    virtual int VARN_CALL CreateMonoStrip(IVarnInput*, int, IVarnStrip**, int*, int) { return 0; }   // 2
    virtual int VARN_CALL CreateStereoStrip(IVarnInput*, int, IVarnStrip**, int*, int) { return 0; } // 3
    virtual int VARN_CALL RemoveStrip(int, int) { return 0; }                                        // 4: index, flags
    virtual void VARN_CALL Reserved5() {}
    virtual int VARN_CALL MoveStrip(int, int, int) { return 0; }     // 6: from, to, flags
    virtual IVarnHardware* VARN_CALL GetSystem() { return nullptr; } // 7
};

// A physical output's routing table: its entries are the single channels of the physical
// outputs, each with its own source and insert.
class IVarnRoutingTable
{
public:
    virtual void VARN_CALL Reserved0() {}
    virtual void VARN_CALL Reserved1() {}
    virtual IVarnOutput* VARN_CALL GetEntry(int kind, int index) = 0; // 2: null outside the table
    virtual void VARN_CALL Reserved3() {}
    virtual void VARN_CALL Reserved4() {}
    virtual void VARN_CALL Reserved5() {}
    virtual void VARN_CALL Reserved6() {}
    // 7: nonzero when the output (item kind, index) may carry an insert's send where the
    // insert goes (its sample rate and DSP allow it).
    virtual int VARN_CALL MayCarry(int, int) { return 0; }
    virtual int VARN_CALL GetBase(int kind) = 0; // 8: index of the kind's first entry
};

// An output port, also a channel item of the item list. Slot 4 answers the source that feeds
// the port, null while nothing does: "in use" and "its feeding source" are the same question.
class IVarnOutput
{
public:
    virtual int VARN_CALL GetKind() = 0;  // 0: item list kind (see IVarnItemList)
    virtual int VARN_CALL GetIndex() = 0; // 1
    // 2: what an ASIO pair without a strip records: 0 the main mix, 1 the monitor mix.
    // For a physical output it is its assignment: 0 the main mix, 1 the monitor mix, 2 none.
    virtual int VARN_CALL GetType() = 0;
    // 3 (our choice): the send insert that took the port over, or null; the insert's chain
    // (IVarnInsert 17) is its owner, null once the insert is gone.
    virtual IVarnInsert* VARN_CALL GetOverride() = 0;
    virtual IVarnInsertChain* VARN_CALL GetSource() = 0;        // 4: the bus that feeds the port
    virtual IVarnInsert* VARN_CALL GetInsert() = 0;             // 5: the insert that feeds it, or null
    virtual IVarnRoutingTable* VARN_CALL GetRoutingTable() = 0; // 6
    virtual void VARN_CALL Reserved7() {}
    // 8 (our choice): nonzero when an unassigned port would carry the main mix through an
    // override of the mix (the outputs view then shows it as the overridden mix).
    virtual int VARN_CALL QueryMixOverride() = 0;
    // 9 (our choice): routes the main mix (0), the monitor mix (1) or nothing (2) to the port;
    // with notify the engine raises 400 with the port. Answers 1 on success, 4 when the DSP
    // must be prepared first (IVarnHardware 12), 6 when no further output can take a mix,
    // anything else when the DSP has no room.
    virtual int VARN_CALL Assign(int assignment, int notify) = 0;
    virtual void VARN_CALL Reserved10() {}
    virtual int VARN_CALL IsTakenByPlugin() = 0; // 11: an effects plug-in's send
    virtual void VARN_CALL Reserved12() {}
    virtual void VARN_CALL Reserved13() {}
    virtual int VARN_CALL IsSingleChannel() = 0; // 14: one channel, not a pair
    virtual int VARN_CALL GetChannel() = 0;      // 15: the channel number of a single channel
    virtual int VARN_CALL IsHidden() = 0;        // 16
};

// The channel items of a hardware system, by kind: 0 Wave, 1 ASIO (the pairs, then the mono
// channels: the pairs are one third of the items), 2 physical.
class IVarnItemList
{
public:
    virtual void VARN_CALL Reserved0() {}
    virtual int VARN_CALL GetCount(int kind) = 0;                    // 1: items of the kind
    virtual IVarnOutput* VARN_CALL GetPort(int kind, int index) = 0; // 2: null outside the list
    // 3 (our choice; no caller names its slot): the number of channels of the kind.
    virtual int VARN_CALL GetChannelCount(int kind) = 0;
    // 4: nonzero when an output of the kind is free for a send: a pair (stereo 1) or a single
    // channel (0).
    virtual int VARN_CALL HasFree(int, int) { return 0; }
    virtual void VARN_CALL Reserved5() {}
    virtual void VARN_CALL Reserved6() {}
    virtual void VARN_CALL Reserved7() {}
    // 8: the index of the kind's first single-channel item: for ASIO (1) the pair count. The
    // physical single channels are routing-table entries (IVarnRoutingTable), not items.
    virtual int VARN_CALL GetFirstSingle(int) { return 0; }
};

// Where an input's signal chain ends (IVarnInput::GetChainEnd).
enum VarnChainEnd
{
    VarnChainEndNone = 0,
    VarnChainEndOutput = 1,
    VarnChainEndStrip = 2,
    VarnChainEndOther = 3
};

// An input port. Kinds (IVarnInputList): 0 host (sub-kinds 0 Wave, 1 ASIO pair, 2 synth,
// 3 MIDI FX send), 1 mono physical, 2 stereo physical, 3 single ASIO channel (sub-kind 4).
// The getters with an out parameter answer nonzero when the value exists.
class IVarnInput
{
public:
    virtual int VARN_CALL GetKind() = 0;                 // 0
    virtual int VARN_CALL GetIndex() = 0;                // 1
    virtual int VARN_CALL IsAssigned() = 0;              // 2: in use
    virtual IVarnStrip* VARN_CALL GetStrip() = 0;        // 3: the strip it feeds directly
    virtual IVarnInsert* VARN_CALL GetDestination() = 0; // 4: the insert it feeds
    virtual int VARN_CALL GetSubKind(int* subKind) = 0;  // 5
    virtual int VARN_CALL GetChannelCount() = 0;         // 6: 1 mono, 2 stereo
    // 7: a source set selects its source (sub-kind, choice within it, flags); nonzero when it
    // exists and is free.
    virtual int VARN_CALL Select(int, int, int) { return 0; }
    virtual int VARN_CALL GetWavePair(int* pair) = 0;    // 8
    virtual int VARN_CALL GetAsioIndex(int* index) = 0;  // 9: pair, or channel of kind 3
    virtual int VARN_CALL GetMidiFxSend(int* index) = 0; // 10
    virtual void VARN_CALL Reserved11() {}
    virtual void VARN_CALL Reserved12() {}
    // 13, 16, 19: a synth source's MIDI channels (synth 0 or 1, channel 0-15): on or off; the
    // engine raises 201-216 (synth 0) or 217-232 (synth 1) for the strip it feeds.
    virtual int VARN_CALL GetSynthChannel(int, int) { return 0; } // 13
    virtual void VARN_CALL Reserved14() {}
    virtual void VARN_CALL Reserved15() {}
    virtual int VARN_CALL SetSynthChannelOn(int, int, int) { return 0; } // 16: synth, channel, flags
    virtual void VARN_CALL Reserved17() {}
    virtual void VARN_CALL Reserved18() {}
    virtual int VARN_CALL SetSynthChannelOff(int, int, int) { return 0; } // 19
    virtual void VARN_CALL Reserved20() {}
    virtual IVarnInputList* VARN_CALL GetList() { return nullptr; } // 21: the list that holds it
    virtual void VARN_CALL Reserved22() {}
    virtual void VARN_CALL Reserved23() {}
    virtual int VARN_CALL IsPresent() { return 1; } // 24: a physical input exists on the hardware
    virtual void VARN_CALL Reserved25() {}
    virtual int VARN_CALL IsTakenByPlugin() = 0; // 26: an effects plug-in's return
    // 27 (our choice): where the signal chain ends (VarnChainEnd); for an output the port is
    // written through output.
    virtual int VARN_CALL GetChainEnd(IVarnOutput** output) = 0;
};

// The inputs of a hardware system, by kind (IVarnInput). Host sources are also reached by
// sub-kind (0 Wave pair, 1 ASIO pair, 2 synth, 3 MIDI FX send, 4 ASIO channel), and a new
// strip on one takes a source set (0 for FX sends and ASIO channels, 1 for the others) whose
// Select names it.
class IVarnInputList
{
public:
    virtual int VARN_CALL GetCount(int kind) = 0;                       // 0
    virtual IVarnInput* VARN_CALL GetInput(int kind, int index) = 0;    // 1: null outside the list
    virtual IVarnInput* VARN_CALL GetSourceSet(int) { return nullptr; } // 2: set flag
    // 3, 4: a new host port of a sub-kind, a pair (3) or a single channel (4), that its Select
    // (sub-kind, index, 0) then names; null when the sub-kind has none.
    virtual IVarnInput* VARN_CALL CreatePairPort(int) { return nullptr; }    // 3
    virtual IVarnInput* VARN_CALL CreateChannelPort(int) { return nullptr; } // 4
    virtual void VARN_CALL Reserved5() {}
    virtual int VARN_CALL GetSetSize(int) { return 0; } // 6: sources of a sub-kind
    virtual void VARN_CALL Reserved7() {}
    virtual void VARN_CALL Reserved8() {}
    virtual IVarnInput* VARN_CALL GetHostSource(int, int) { return nullptr; } // 9: sub-kind, index
    virtual void VARN_CALL Reserved10() {}
    virtual void VARN_CALL Reserved11() {}
    virtual int VARN_CALL GetFreeCount(int, int) { return 0; }       // 12: free sources of a kind (kind, 5)
    virtual IVarnHardware* VARN_CALL GetSystem() { return nullptr; } // 13: the list's system
    // 14: nonzero when the input (kind, index) may carry an insert's return where it goes.
    virtual int VARN_CALL MayCarry(int, int) { return 0; }
};

// The card's PCI and driver profile, as the driver object fills it (100 bytes).
struct VarnDriverProfile
{
    std::uint32_t devnode;
    std::uint32_t refcount;
    std::uint32_t pciFuncNum;
    std::uint32_t baseAddr;
    std::uint32_t irq;
    std::uint32_t vendorID;
    std::uint32_t deviceID;
    std::uint32_t subsys;
    std::uint32_t rev;
    std::uint32_t driverVersion;
    char deviceKey[60]; // zero-terminated 8-bit text
};
static_assert(sizeof(VarnDriverProfile) == 100, "driver profile record");
static_assert(offsetof(VarnDriverProfile, driverVersion) == 36 && offsetof(VarnDriverProfile, deviceKey) == 40,
              "driver profile fields");

// The kernel driver of one hardware system.
class IVarnDriver
{
public:
    virtual int VARN_CALL GetProfile(VarnDriverProfile* profile) = 0; // 0
};

// Whether an effect or preset fits the DSP of a hardware system: 1 fits.
class IVarnFitChecker
{
public:
    virtual int VARN_CALL CoreEffectFits(const VarnCoreEffectRecord* effect) = 0; // 0
    virtual int VARN_CALL PresetFits(const VarnPresetRecord* preset) = 0;         // 1
};
class IVarnMixer;

// The sync card: SMPTE time code striping, word-clock termination and the card's named values
// and texts (the engine's bytes for raw parameters; notify asks for the card's events). Slot
// 0 and what 5 and 6 do are the engine's; texts are UTF-16 in buffers of capacity units,
// zero-terminated. A missing value or text answers 0.
class IVarnSync
{
public:
    virtual void VARN_CALL Reserved0() {}
    virtual int VARN_CALL StartStriping() = 0;                                                                  // 1
    virtual int VARN_CALL StopStriping() = 0;                                                                   // 2
    virtual int VARN_CALL TerminationOn() = 0;                                                                  // 3
    virtual int VARN_CALL TerminationOff() = 0;                                                                 // 4
    virtual int VARN_CALL Attach() = 0;                                                                         // 5
    virtual int VARN_CALL Reset(int flags) = 0;                                                                 // 6
    virtual int VARN_CALL SetOutputLevel(int level) = 0;                                                        // 7
    virtual int VARN_CALL SetRawParameter(int parameter, int count, const std::uint8_t* bytes, int notify) = 0; // 8
    virtual int VARN_CALL SetValue(const char* name, int value, int reserved, int notify) = 0;                  // 9
    virtual int VARN_CALL GetValue(const char* name, int* value) = 0;                                           // 10
    virtual int VARN_CALL SetText(const char* name, const char16_t* text, int reserved, int notify) = 0;        // 11
    virtual int VARN_CALL GetText(const char* name, char16_t* buffer, int capacity) = 0;                        // 12
};

// One hardware system, also the mixer model's hardware description. "Has feature" and the
// system's feature tests are the same operation.
class IVarnHardware
{
public:
    virtual void VARN_CALL Reserved0() {}
    virtual void VARN_CALL Reserved1() {}
    virtual int VARN_CALL HasFeature(int feature) = 0; // 2
    virtual void VARN_CALL Reserved3() {}
    virtual IVarnSettings* VARN_CALL GetSettings() = 0;                  // 4
    virtual IVarnStripList* VARN_CALL GetStripList() { return nullptr; } // 5
    virtual IVarnMainMix* VARN_CALL GetMainMix() = 0;                    // 6
    virtual IVarnInputList* VARN_CALL GetInputList() = 0;                // 7
    virtual IVarnItemList* VARN_CALL GetItemList() = 0;                  // 8: the channel items
    // 9, 10 (our choice): the hardware model's code (the outputs and inputs views pick the
    // connectors they list by it); whether the system is the master one, whose outputs take
    // the main and monitor mixes.
    virtual int VARN_CALL GetModelCode() = 0;
    virtual int VARN_CALL IsMaster() = 0;
    virtual IVarnMixer* VARN_CALL GetMixer() { return nullptr; } // 11: the owning mixer model
    // 12: reclaims DSP resources that strips and inserts left (before a retry, and when the
    // hardware changed); nonzero on success.
    virtual int VARN_CALL PrepareDsp() = 0;
    // 13 (our choice): the system's fit checker, never null.
    virtual IVarnFitChecker* VARN_CALL GetFitChecker() = 0;
    // 14: whether the channel (item kind, index) exists at the rate code.
    virtual int VARN_CALL ChannelExists(int kind, int rateCode, int index) = 0;
    // 15: the rate codes the card can run at (reserved 0); nonzero when written.
    virtual int VARN_CALL GetRates(int reserved, VarnCodeList* rates) = 0;
    virtual IVarnDriver* VARN_CALL GetDriver() = 0; // 16: null without a driver
};

// The mixer and session model. Its slot 1 answers hardware system i; callers that speak of
// "strip i" of the model mean the same system (strips proper are found by id elsewhere).
class IVarnMixer
{
public:
    virtual int VARN_CALL GetSystemCount() = 0;                // 0
    virtual IVarnHardware* VARN_CALL GetSystem(int index) = 0; // 1
    virtual IVarnHardware* VARN_CALL GetHardware() = 0;        // 2
    virtual void VARN_CALL Reserved3() {}
    virtual void VARN_CALL Reserved4() {}
    virtual void VARN_CALL Reserved5() {}
    virtual int VARN_CALL GetRateCode() = 0; // 6: 0 44.1 kHz, 1 48, 2 96, 3 192, 4 88.2, 5 176.4
    // 7-10 (our choice): the rate code the hardware runs at; the hardware rate as text into a
    // buffer of capacity units (nonzero when written); the session's name (null when the
    // model has none); the session's own settings ("samplerate", "comment").
    virtual int VARN_CALL GetHardwareRateCode() = 0;                       // 7
    virtual int VARN_CALL GetRateText(char16_t* buffer, int capacity) = 0; // 8
    virtual const char16_t* VARN_CALL GetSessionName() = 0;                // 9
    virtual IVarnSettings* VARN_CALL GetSessionSettings() = 0;             // 10
    virtual IVarnStrip* VARN_CALL GetStripById(int id) = 0;                // 11: null when none has the id
    // 12 (our choice): nonzero when a strip the engine reports as added (event 10) is to be
    // selected, as it is after the user asked for a new strip.
    virtual int VARN_CALL SelectsNewStrip() = 0;
    // 13 (our choice): the sync card's object; null without a sync card (feature 3).
    virtual IVarnSync* VARN_CALL GetSync() { return nullptr; }
    // 14 (our choice): nonzero when the card has every system the session wants.
    virtual int VARN_CALL IsHardwareAdequate() = 0;
    virtual void VARN_CALL Reserved15() {}
    virtual void VARN_CALL Reserved16() {}
    virtual void VARN_CALL Reserved17() {}
    virtual void VARN_CALL Reserved18() {}
    virtual void VARN_CALL Reserved19() {}
    // 20: the engine's change notification after a user edit (1): it sets the session's
    // modified flag (IVarnServices 30, 31).
    virtual void VARN_CALL SetModified(int modified) = 0;
};

// The effects library's records, as the engine fills them.
struct VarnCoreEffectRecord
{
    VarnEffectId id;
    char16_t name[256]; // zero-terminated
    std::uint8_t reserved[40];
};
struct VarnCategoryRecord
{
    char16_t name[256]; // zero-terminated
};
constexpr int kVarnPresetEffects = 200;
struct VarnPresetRecord
{
    VarnEffectId id;
    char16_t name[256]; // zero-terminated
    std::uint8_t reserved[1024];
    std::int32_t effectCount; // the engine's count; a reader bounds it by kVarnPresetEffects
    VarnEffectId effects[kVarnPresetEffects];
    std::int32_t factory; // nonzero: a factory preset, which cannot be renamed or deleted
};
static_assert(sizeof(VarnCoreEffectRecord) == 568 && offsetof(VarnCoreEffectRecord, name) == 16, "core effect record");
static_assert(sizeof(VarnCategoryRecord) == 512, "category record");
static_assert(sizeof(VarnPresetRecord) == 4760 && offsetof(VarnPresetRecord, name) == 16 &&
                  offsetof(VarnPresetRecord, effectCount) == 1552 && offsetof(VarnPresetRecord, effects) == 1556 &&
                  offsetof(VarnPresetRecord, factory) == 4756,
              "preset record");

// The effects library: core effects, user categories and presets on disk. A change raises
// event 850 + kind (0 category added, 1 deleted, 2 renamed, 3 preset added, 4 deleted, 5
// renamed) whose argument the engine keeps until the program acknowledges the event
// (IVarnServices 34); for a preset renamed the argument is the preset's VarnPresetRecord. A
// change of the core effects raises 804. The edits' last argument asks for those events; a
// refused edit answers 0 and changes nothing. Slots 2-5, 8-12, 15-17 and 19 are our choice.
class IVarnFxLibrary
{
public:
    virtual int VARN_CALL LoadCoreEffects() = 0;                                                 // 0
    virtual int VARN_CALL LoadCategories() = 0;                                                  // 1
    virtual int VARN_CALL GetCoreEffectCount() = 0;                                              // 2
    virtual int VARN_CALL GetCoreEffectInfo(int index, VarnCoreEffectRecord* record) = 0;        // 3
    virtual int VARN_CALL GetPresetCount(int category) = 0;                                      // 4
    virtual int VARN_CALL GetPresetInfo(int category, int preset, VarnPresetRecord* record) = 0; // 5
    virtual int VARN_CALL GetCategoryCount() = 0;                                                // 6
    virtual int VARN_CALL GetCategoryInfo(int index, VarnCategoryRecord* record) = 0;            // 7
    // 8: the index of the category of that name, or -1; flags 0.
    virtual int VARN_CALL FindCategory(const char16_t* name, int flags) = 0;
    // 9: 1 and the library's current record when the preset with the record's id exists.
    virtual int VARN_CALL FindPreset(const VarnPresetRecord* preset, VarnPresetRecord* found) = 0;
    // 10: the core effect's name into capacity units; 0 for an unknown id.
    virtual int VARN_CALL GetEffectName(const VarnEffectId* effect, char16_t* name, int capacity) = 0;
    virtual int VARN_CALL DeleteCategory(const char16_t* name, int notify) = 0;                          // 11
    virtual int VARN_CALL RenameCategory(const char16_t* name, const char16_t* newName, int notify) = 0; // 12
    // 13, 14: the core presets of an effect (by its core-effect id, IVarnEffect 28); a record
    // outside the list answers 0 and leaves the record as it was.
    virtual int VARN_CALL GetCorePresetCount(const VarnEffectId* effect) = 0;                                     // 13
    virtual int VARN_CALL GetCorePreset(const VarnEffectId* effect, int index, VarnCorePresetRecord* record) = 0; // 14
    virtual int VARN_CALL CreateCategory(const char16_t* name, int notify) = 0;                                   // 15
    virtual int VARN_CALL DeletePreset(const VarnPresetRecord* preset, int notify) = 0;                           // 16
    virtual int VARN_CALL RenamePreset(const VarnPresetRecord* preset, const char16_t* name, int notify) = 0;     // 17
    // 18: a user preset of the category from the effect inserts of a chain at the listed
    // positions (category, name, chain, indices, count, notify); 0 when refused.
    virtual int VARN_CALL CreatePresetFromInserts(const char16_t*, const char16_t*, IVarnInsertChain*, const int*, int,
                                                  int)
    {
        return 0;
    }
    // 19: imports one category folder of an exported "Effect Presets" folder.
    virtual int VARN_CALL ImportCategory(const char16_t* effectPresetsFolder, const char16_t* category) = 0;
    virtual void VARN_CALL Reserved20() {}
    // 21-24: a new user preset from the effect's settings, delete, rename and store into a
    // user preset; factory presets and names the library refuses answer 0, changing nothing.
    // The engine raises the preset-list events (800-849) for the effect.
    virtual int VARN_CALL NewCorePreset(const char16_t* name, IVarnEffect* effect, int flags, int reserved) = 0; // 21
    virtual int VARN_CALL DeleteCorePreset(const VarnCorePresetRecord* record, int index, int flags) = 0;        // 22
    virtual int VARN_CALL RenameCorePreset(const VarnCorePresetRecord* record, int index, const char16_t* name,
                                           int flags) = 0;                                // 23
    virtual int VARN_CALL StoreCorePreset(IVarnEffect* effect, int index, int flags) = 0; // 24
    virtual void VARN_CALL Reserved25() {}
    virtual void VARN_CALL Reserved26() {}
    virtual void VARN_CALL Reserved27() {}
    // Imports exported presets: the "Core Effects\Presets" and "Effect Presets" folders.
    virtual int VARN_CALL ImportLibrary(const char16_t* corePresetsFolder,
                                        const char16_t* effectPresetsFolder) = 0; // 28
};

// The back end of the private COM interfaces: one operation per COM method of the effects
// plug-in's interfaces, taking its arguments as the server passes them on; a result above 0
// is success unless the method says otherwise. Records are the COM interfaces' records;
// arrays handed back are allocated with CoTaskMemAlloc. The operations that take a flag
// pointer clear or keep the flag the server preset.
class IVarnAutomation
{
public:
    virtual int VARN_CALL RegisterClient(int* clientId) = 0;                                                 // 0
    virtual int VARN_CALL UnregisterClient(int clientId) = 0;                                                // 1
    virtual int VARN_CALL AcquireSendReturn(int clientId, void* record, int* sendPair, int* returnPair) = 0; // 2
    virtual int VARN_CALL ReleaseSendReturn(int clientId) = 0;                                               // 3
    virtual int VARN_CALL GetEffectCatalog(int* count, void** records) = 0;                                  // 4
    virtual int VARN_CALL GetEffectPresets(const void* category, int* count, void** records) = 0;            // 5
    virtual int VARN_CALL GetEffectCorePresets(VarnEffectId effect, int* count, void** records) = 0;         // 6
    virtual int VARN_CALL GetInserts(VarnEffectId preset, int* isFactory, int* count, void** effects, int** valueCounts,
                                     float** wetDry, int* valueCount, void** values) = 0; // 7
    virtual int VARN_CALL CreatePreset(int clientId, const char16_t* category, const char16_t* name, int insertCount,
                                       const int* positions) = 0;                                     // 8
    virtual int VARN_CALL DeletePreset(VarnEffectId preset) = 0;                                      // 9
    virtual int VARN_CALL RenamePreset(VarnEffectId preset, const char16_t* name) = 0;                // 10
    virtual int VARN_CALL CreatePresetCategory(const char16_t* name) = 0;                             // 11
    virtual int VARN_CALL DeletePresetCategory(const char16_t* name) = 0;                             // 12
    virtual int VARN_CALL RenamePresetCategory(const char16_t* oldName, const char16_t* newName) = 0; // 13
    virtual int VARN_CALL GetEffectsFit(int count, const VarnEffectId* effects, int* fits) = 0;       // 14
    virtual int VARN_CALL GetPresetsFit(int count, const VarnEffectId* presets, int* fits) = 0;       // 15
    virtual int VARN_CALL SetInsertEffect(VarnEffectId effect, int clientId, int position, void* info,
                                          int wait) = 0;                                                           // 16
    virtual int VARN_CALL RemoveInsert(int clientId, int position) = 0;                                            // 17
    virtual int VARN_CALL SelectPreset(int clientId, int position, int presetIndex) = 0;                           // 18
    virtual int VARN_CALL SetSpecialInsert(int specialKind, int clientId, int position, void* info, int wait) = 0; // 19
    virtual int VARN_CALL LoadPresetIntoInsert(VarnEffectId preset, int clientId, int position, void* info) = 0;   // 20
    virtual int VARN_CALL MoveInsert(int clientId, int from, int to) = 0;                                          // 21
    virtual int VARN_CALL RefreshInserts(int clientId, int* flag) = 0;                                             // 22
    virtual int VARN_CALL Method26(int clientId, int* flag) = 0;                                                   // 23
    virtual int VARN_CALL SetInsertChainFlag(int clientId, int flag) = 0;                                          // 24
    virtual int VARN_CALL GetParameterDescriptors(int clientId, int position, int* count, void** descriptors) = 0; // 25
    virtual int VARN_CALL GetParameterChoiceNames(int clientId, int position, int parameter, int* count,
                                                  void** names) = 0;                                             // 26
    virtual int VARN_CALL GetParameterValue(int clientId, int position, int parameter, void* value) = 0;         // 27
    virtual int VARN_CALL SetParameterValue(int clientId, int position, int parameter, int kind, int value) = 0; // 28
    virtual int VARN_CALL SetInsertBypass(int clientId, int position, int bypass) = 0;                           // 29
    virtual int VARN_CALL SetInsertSolo(int clientId, int position, int solo) = 0;                               // 30
    virtual int VARN_CALL GetInsertBypass(int clientId, int position, int* bypass) = 0;                          // 31
    virtual int VARN_CALL GetInsertSolo(int clientId, int position, int* solo) = 0;                              // 32
    virtual int VARN_CALL CreateCorePreset(int clientId, int position, const char16_t* name) = 0;                // 33
    virtual int VARN_CALL ApplyPresetById(int clientId, int position, int value) = 0;                            // 34
    virtual int VARN_CALL DeleteCorePreset(const VarnEffectId* effect, int index) = 0;                           // 35
    virtual int VARN_CALL RenameCorePreset(const VarnEffectId* effect, int index, const char16_t* name) = 0;     // 36
    virtual int VARN_CALL GetPresetChange(void* change) = 0;                                                     // 37
    virtual int VARN_CALL GetParamModelChange(void* change) = 0;                                                 // 38
    virtual int VARN_CALL SetAllInsertsBypass(int clientId, int bypass) = 0;                                     // 39
    virtual int VARN_CALL QueryClientState(int clientId, int* value) = 0;                                        // 40
    virtual int VARN_CALL GetParameterValuesBatch(int clientId, int count, void* entries) = 0;                   // 41
    virtual int VARN_CALL SetSendReturnInsertRouting(int clientId, int position, int send1, int send2, int return1,
                                                     int return2, int wait, void* info) = 0;          // 42
    virtual int VARN_CALL EnableCategory2Items(int clientId, int* flag) = 0;                          // 43
    virtual int VARN_CALL GetInsertNotifyId(int clientId, int position, int* notifyId) = 0;           // 44
    virtual int VARN_CALL GetParameterKinds(int clientId, int position, int* count, int** kinds) = 0; // 45
    virtual int VARN_CALL QueryParameter(int clientId, int a1, int a2, int* value) = 0;               // 46
    virtual int VARN_CALL GetParameterText(int clientId, int position, int parameter, char16_t** text,
                                           int a4) = 0; // 47
};

// Init statuses of IVarnServices::Init.
enum VarnInitStatus
{
    VarnInitFailed = 0,
    VarnInitNoHardware = 2,
    VarnInitPartialHardware = 3,
    VarnInitSessionNewer = 4,
    VarnInitAlreadyRunning = 5
};

// What a session load or a new session answers (IVarnServices 5, 6, 7).
enum VarnLoadResult
{
    VarnLoadUnreadable = 0,  // not a session: nothing changed
    VarnLoadDone = 1,        // loaded; IVarnMixer 14 says whether the card is enough
    VarnLoadMoreSystems = 2, // loaded, but the session wants more systems than the card has
    VarnLoadOlder = 3,       // loaded from an older format
    VarnLoadNewer = 4,       // of a newer engine: nothing changed
    VarnLoadRateMissing = 6  // at a rate the card cannot run: nothing changed
};

// A session template as the engine lists it (IVarnServices 17) and takes it back to make a
// session (6). The program reads the rate, the name and the summary; where the template's
// file lies is our choice (the program checks that it exists before it asks for a session).
struct VarnTemplateRecord
{
    std::int32_t rateCode; // 0 44.1, 1 48, 2 96, 3 192, 4 88.2, 5 176.4 kHz
    char16_t name[768];    // zero-terminated
    char16_t summary[250]; // zero-terminated
    char16_t file[250];    // zero-terminated: the template's session file
};
static_assert(sizeof(VarnTemplateRecord) == 2540, "template record");
static_assert(offsetof(VarnTemplateRecord, name) == 4 && offsetof(VarnTemplateRecord, summary) == 1540 &&
                  offsetof(VarnTemplateRecord, file) == 2040,
              "template record fields");

// The engine's top object.
class IVarnServices
{
public:
    virtual int VARN_CALL Init(const char16_t* programFolder, const char16_t* dataFolder,
                               const char16_t* sessionsFolder) = 0;    // 0: VarnInitStatus
    virtual int VARN_CALL AddListener(IVarnListener* listener) = 0;    // 1
    virtual int VARN_CALL RemoveListener(IVarnListener* listener) = 0; // 2
    virtual int VARN_CALL SetViewInterface(IVarnView* view) = 0;       // 3
    virtual void VARN_CALL Reserved4() {}
    virtual int VARN_CALL CreateEmptySession(const void* choices, const char16_t* path,
                                             int reserved) = 0; // 5
    virtual int VARN_CALL CreateSessionFromTemplate(const void* templateRecord, const char16_t* path,
                                                    int reserved) = 0;         // 6
    virtual int VARN_CALL LoadSession(const char16_t* path, int reserved) = 0; // 7
    // A null path saves the working session.
    virtual int VARN_CALL SaveSession(const char16_t* path, int flag1, int flag2) = 0; // 8
    virtual void VARN_CALL Reserved9() {}
    virtual int VARN_CALL GetSessionPath(char16_t* buffer, int capacity, int reserved) = 0; // 10
    virtual void VARN_CALL Reserved11() {}
    virtual void VARN_CALL Reserved12() {}
    virtual void VARN_CALL Reserved13() {}
    virtual IVarnMixer* VARN_CALL GetMixer() = 0;                   // 14
    virtual int VARN_CALL PrepareTemplates() = 0;                   // 15
    virtual int VARN_CALL GetTemplateCount() = 0;                   // 16
    virtual int VARN_CALL GetTemplate(int index, void* record) = 0; // 17: 2540-byte record
    virtual IVarnFxLibrary* VARN_CALL GetFxLibrary() = 0;           // 18
    virtual void VARN_CALL Reserved19() {}
    virtual void VARN_CALL Reserved20() {}
    virtual void VARN_CALL Reserved21() {}
    virtual void VARN_CALL Reserved22() {}
    virtual void VARN_CALL Reserved23() {}
    virtual void VARN_CALL Reserved24() {}
    virtual int VARN_CALL IsReady() = 0; // 25
    virtual void VARN_CALL Reserved26() {}
    virtual void VARN_CALL Reserved27() {}
    virtual int VARN_CALL IsRunning() = 0;                // 28
    virtual void VARN_CALL Release() = 0;                 // 29
    virtual int VARN_CALL IsModified() = 0;               // 30
    virtual void VARN_CALL SetModified(int modified) = 0; // 31
    // The rate code of a session file; stays 6 when unknown.
    virtual int VARN_CALL GetFileRate(const char16_t* path, int* rateCode) = 0; // 32
    virtual IVarnAutomation* VARN_CALL GetAutomation() = 0;                     // 33
    // Hands an event's data back to the engine once the program has handled the event; the
    // library's events pass texts, records and ids (IVarnFxLibrary).
    virtual void VARN_CALL AcknowledgeEvent(int id, VarnEventArg a, VarnEventArg b, VarnEventArg c) = 0; // 34
};

// The engine library's one export.
extern "C" IVarnServices* CreateVarnServices();
