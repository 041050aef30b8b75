#pragma once
#include <cstdint>

// The services engine's interfaces: the engine library (KivCorvanDSP.dll) hands out these
// objects and the program calls them through their tables of operations, so each class
// declares its operations in table order, fills unused slots with placeholders and has no
// virtual destructor (slot 0 of IVarnServices is init; the engine frees its own objects).
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

// View interface handed to the engine at start-up; the program's operations do nothing.
class IVarnView
{
public:
    virtual void VARN_CALL Reserved0() = 0; // 0
};

// The hardware's level control.
class IVarnLevelControl
{
public:
    virtual void VARN_CALL Reserved0() = 0;
    virtual void VARN_CALL Reserved1() = 0;
    virtual void VARN_CALL Reserved2() = 0;
    virtual void VARN_CALL Reserved3() = 0;
    virtual void VARN_CALL Reserved4() = 0;
    virtual void VARN_CALL Reserved5() = 0;
    virtual void VARN_CALL Reserved6() = 0;
    virtual void VARN_CALL Reserved7() = 0;
    virtual void VARN_CALL Reserved8() = 0;
    virtual void VARN_CALL Reserved9() = 0;
    virtual void VARN_CALL Reserved10() = 0;
    virtual float VARN_CALL GetLevel() = 0;                  // 11
    virtual void VARN_CALL Reserved12() = 0;
    virtual int VARN_CALL SetLevel(float level, int flags) = 0; // 13
};

// Named integer settings of a hardware system. There is one getter: it answers whether the
// value exists and writes it through the out pointer; callers that want "the value or -1"
// start from -1 and keep it when the value is missing.
class IVarnSettings
{
public:
    virtual int VARN_CALL SetValue(const char* name, int value, int reserved, int flag) = 0; // 0
    virtual int VARN_CALL GetValue(const char* name, int* value) = 0;                      // 1
};

// An insert slot's occupant. Slot 11 answers whether the insert holds an effect, which is
// also what "has bypass and solo" asks. Slot 17 is the insert chain that holds the insert;
// the chains are the insert containers of strips and buses, so "the bus object" of an insert
// is this chain.
class IVarnInsertChain;
class IVarnInsert
{
public:
    virtual int VARN_CALL GetKind() = 0; // 0: 1 send, 2 send/return, 6 ASIO send/return, 3 metered effect, else effect
    virtual void VARN_CALL Reserved1() = 0;
    virtual void VARN_CALL Reserved2() = 0;
    virtual void VARN_CALL Reserved3() = 0;
    virtual void VARN_CALL Reserved4() = 0;
    virtual void VARN_CALL Reserved5() = 0;
    virtual void VARN_CALL Reserved6() = 0;
    virtual void VARN_CALL Reserved7() = 0;
    virtual void VARN_CALL Reserved8() = 0;
    virtual void VARN_CALL Reserved9() = 0;
    virtual void VARN_CALL Reserved10() = 0;
    virtual int VARN_CALL HasEffect() = 0;   // 11
    virtual int VARN_CALL IsBypassed() = 0;  // 12
    virtual void VARN_CALL Reserved13() = 0;
    virtual void VARN_CALL Reserved14() = 0;
    virtual void VARN_CALL Reserved15() = 0;
    virtual void VARN_CALL Reserved16() = 0;
    virtual IVarnInsertChain* VARN_CALL GetChain() = 0; // 17
};

class IVarnInsertChain
{
public:
    virtual int VARN_CALL GetCount() = 0; // 0
};

// An output port. Slot 4 answers the source that feeds the port, null while nothing does:
// "in use" and "its feeding source" are the same question.
class IVarnOutput
{
public:
    virtual void VARN_CALL Reserved0() = 0;
    virtual void VARN_CALL Reserved1() = 0;
    virtual void VARN_CALL Reserved2() = 0;
    virtual void VARN_CALL Reserved3() = 0;
    virtual void* VARN_CALL GetSource() = 0; // 4
};

class IVarnInputList;
class IVarnItemList;

// One hardware system, also the mixer model's hardware description. "Has feature" and the
// system's feature tests are the same operation.
class IVarnHardware
{
public:
    virtual void VARN_CALL Reserved0() = 0;
    virtual void VARN_CALL Reserved1() = 0;
    virtual int VARN_CALL HasFeature(int feature) = 0;        // 2
    virtual void VARN_CALL Reserved3() = 0;
    virtual IVarnSettings* VARN_CALL GetSettings() = 0;       // 4
    virtual void VARN_CALL Reserved5() = 0;
    virtual IVarnLevelControl* VARN_CALL GetLevelControl() = 0; // 6
    virtual IVarnInputList* VARN_CALL GetInputList() = 0;       // 7
    virtual IVarnItemList* VARN_CALL GetItemList() = 0;         // 8: the channel items
};

// The mixer and session model. Its slot 1 answers hardware system i; callers that speak of
// "strip i" of the model mean the same system (strips proper are found by id elsewhere).
class IVarnMixer
{
public:
    virtual void VARN_CALL Reserved0() = 0;
    virtual IVarnHardware* VARN_CALL GetSystem(int index) = 0; // 1
    virtual IVarnHardware* VARN_CALL GetHardware() = 0;        // 2
    virtual void VARN_CALL Reserved3() = 0;
    virtual void VARN_CALL Reserved4() = 0;
    virtual void VARN_CALL Reserved5() = 0;
    virtual int VARN_CALL GetRateCode() = 0;                   // 6: 0 44.1 kHz, 1 48, 2 96, 3 192, 4 88.2, 5 176.4
};

// The effects library: core effects, user categories and presets on disk.
class IVarnFxLibrary
{
public:
    virtual int VARN_CALL LoadCoreEffects() = 0; // 0
    virtual int VARN_CALL LoadCategories() = 0;  // 1
    virtual void VARN_CALL Reserved2() = 0;
    virtual void VARN_CALL Reserved3() = 0;
    virtual void VARN_CALL Reserved4() = 0;
    virtual void VARN_CALL Reserved5() = 0;
    virtual int VARN_CALL GetCategoryCount() = 0; // 6
    virtual int VARN_CALL GetCategoryInfo(int index, void* record) = 0; // 7
    virtual void VARN_CALL Reserved8() = 0;
    virtual void VARN_CALL Reserved9() = 0;
    virtual void VARN_CALL Reserved10() = 0;
    virtual void VARN_CALL Reserved11() = 0;
    virtual void VARN_CALL Reserved12() = 0;
    virtual void VARN_CALL Reserved13() = 0;
    virtual void VARN_CALL Reserved14() = 0;
    virtual void VARN_CALL Reserved15() = 0;
    virtual void VARN_CALL Reserved16() = 0;
    virtual void VARN_CALL Reserved17() = 0;
    virtual void VARN_CALL Reserved18() = 0;
    virtual void VARN_CALL Reserved19() = 0;
    virtual void VARN_CALL Reserved20() = 0;
    virtual void VARN_CALL Reserved21() = 0;
    virtual void VARN_CALL Reserved22() = 0;
    virtual void VARN_CALL Reserved23() = 0;
    virtual void VARN_CALL Reserved24() = 0;
    virtual void VARN_CALL Reserved25() = 0;
    virtual void VARN_CALL Reserved26() = 0;
    virtual void VARN_CALL Reserved27() = 0;
    // Imports exported presets: the "Core Effects\Presets" and "Effect Presets" folders.
    virtual int VARN_CALL ImportLibrary(const char16_t* corePresetsFolder,
                                        const char16_t* effectPresetsFolder) = 0; // 28
};

// The back end of the private COM interfaces: one operation per COM method. Its operations
// are declared by the code that forwards to them.
class IVarnAutomation
{
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

// The engine's top object.
class IVarnServices
{
public:
    virtual int VARN_CALL Init(const char16_t* programFolder, const char16_t* dataFolder,
                               const char16_t* sessionsFolder) = 0;         // 0: VarnInitStatus
    virtual int VARN_CALL AddListener(IVarnListener* listener) = 0;         // 1
    virtual int VARN_CALL RemoveListener(IVarnListener* listener) = 0;      // 2
    virtual int VARN_CALL SetViewInterface(IVarnView* view) = 0;            // 3
    virtual void VARN_CALL Reserved4() = 0;
    virtual int VARN_CALL CreateEmptySession(const void* choices, const char16_t* path,
                                             int reserved) = 0;             // 5
    virtual int VARN_CALL CreateSessionFromTemplate(const void* templateRecord, const char16_t* path,
                                                    int reserved) = 0;      // 6
    virtual int VARN_CALL LoadSession(const char16_t* path, int reserved) = 0; // 7
    // A null path saves the working session.
    virtual int VARN_CALL SaveSession(const char16_t* path, int flag1, int flag2) = 0; // 8
    virtual void VARN_CALL Reserved9() = 0;
    virtual int VARN_CALL GetSessionPath(char16_t* buffer, int capacity, int reserved) = 0; // 10
    virtual void VARN_CALL Reserved11() = 0;
    virtual void VARN_CALL Reserved12() = 0;
    virtual void VARN_CALL Reserved13() = 0;
    virtual IVarnMixer* VARN_CALL GetMixer() = 0;                           // 14
    virtual int VARN_CALL PrepareTemplates() = 0;                           // 15
    virtual int VARN_CALL GetTemplateCount() = 0;                           // 16
    virtual int VARN_CALL GetTemplate(int index, void* record) = 0;         // 17: 2540-byte record
    virtual IVarnFxLibrary* VARN_CALL GetFxLibrary() = 0;                   // 18
    virtual void VARN_CALL Reserved19() = 0;
    virtual void VARN_CALL Reserved20() = 0;
    virtual void VARN_CALL Reserved21() = 0;
    virtual void VARN_CALL Reserved22() = 0;
    virtual void VARN_CALL Reserved23() = 0;
    virtual void VARN_CALL Reserved24() = 0;
    virtual int VARN_CALL IsReady() = 0;                                    // 25
    virtual void VARN_CALL Reserved26() = 0;
    virtual void VARN_CALL Reserved27() = 0;
    virtual int VARN_CALL IsRunning() = 0;                                  // 28
    virtual void VARN_CALL Release() = 0;                                   // 29
    virtual int VARN_CALL IsModified() = 0;                                 // 30
    virtual void VARN_CALL SetModified(int modified) = 0;                   // 31
    // The rate code of a session file; stays 6 when unknown.
    virtual int VARN_CALL GetFileRate(const char16_t* path, int* rateCode) = 0; // 32
    virtual IVarnAutomation* VARN_CALL GetAutomation() = 0;                 // 33
    // Hands an event's data back to the engine once the program has handled the event.
    virtual void VARN_CALL AcknowledgeEvent(int id, int reserved1, VarnEventArg data,
                                            int reserved2) = 0;             // 34
};

// The engine library's one export.
extern "C" IVarnServices* CreateVarnServices();
