#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <atomic>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "mixer/engine/EngineVocabulary.h"
#include "mixer/engine/VarnServices.h"
#include "standins/dsp/DspTable.h"

// The effects side of the simulated engine: the effect library (the core effects, user
// categories with their presets, chain presets), one insert chain per effects-plug-in client,
// the parameters of every insert and the presets of every effect. It answers the automation
// back end's effect operations (StandinAutomation forwards them) with the COM records' layout;
// arrays it hands out come from StandinAllocate. Bad clients, positions, ids or names answer 0
// and change nothing. Library and preset-list changes are kept for GetPresetChange and
// GetParamModelChange and raised as engine events (kLibraryEvent, kPresetListEvent).
//
// Every DSP effect has the same eleven parameters, one of each value kind, access and
// parameter kind the plug-in must handle: 0 "Gain" (float), 1 "Mode" (selector), 2 "Steps"
// (toggle, 0-1), 3 "Level" (inverted meter, access 9), 4 "Mix" (wet/dry), 5 "Link" (hidden,
// parameter kind 3), 6 "Reset" (no value), 7 "Taps" (discrete, 1-8), 8 "Tone" (parameter
// kind 1), 9 "Drive" (parameter kind 2), 10 "Output" (meter, access 8). Plain parameters use
// the access words 1-7; meters are read-only, read in dB (-120 to 0) and change on every
// read; the Peak Meter has two ("Left", "Right"). Each descriptor carries its initial value as
// the default and its name as the tooltip.

// The engine's records, laid out as the COM interfaces' records.
struct StandinValue
{
    int32_t kind;
    int32_t value;
};
struct StandinCategoryRecord
{
    char16_t name[128];
    int32_t value;
    int32_t isCore;
};
struct StandinPresetRecord
{
    char16_t name[128];
    VarnEffectId id;
    int32_t isChain;
};
struct StandinCorePresetRecord
{
    int32_t number;
    char16_t name[128];
    int32_t isFactory;
};
struct StandinPresetValueRecord
{
    char16_t name[128];
    StandinValue value;
};
struct StandinInsertInfo
{
    char16_t shortName[10];
    int32_t canBypass;
    int32_t hasWetDry;
    int32_t hasHidden;
    int32_t wetDryIndex;
    int32_t hiddenIndex;
};
// Name and unit share the 256 units after the index: the unit starts at byte 260.
struct StandinDescriptorRecord
{
    int32_t index;
    char16_t name[128];
    char16_t unit[128];
    int32_t access;
    int32_t valueKind;
    int32_t minimum;
    int32_t maximum;
    uint8_t detail[520];
};
struct StandinBatchEntry
{
    int32_t position;
    int32_t parameter;
    StandinValue value;
};
struct StandinPresetChange
{
    int32_t kind;
    char16_t category[128];
    uint8_t detail[276]; // a second name, a preset id, or a preset record; a new preset name at 16
};
struct StandinParamModelChange
{
    VarnEffectId effect;
    int32_t kind;
    StandinCorePresetRecord preset;
};
static_assert(sizeof(StandinCategoryRecord) == 264 && offsetof(StandinCategoryRecord, isCore) == 260, "category");
static_assert(sizeof(StandinPresetRecord) == 276 && offsetof(StandinPresetRecord, isChain) == 272, "preset");
static_assert(sizeof(StandinCorePresetRecord) == 264 && offsetof(StandinCorePresetRecord, isFactory) == 260, "core");
static_assert(sizeof(StandinPresetValueRecord) == 264, "preset value");
static_assert(sizeof(StandinInsertInfo) == 40, "insert information");
static_assert(sizeof(StandinDescriptorRecord) == 1052 && offsetof(StandinDescriptorRecord, unit) == 260 &&
                  offsetof(StandinDescriptorRecord, access) == 516 && offsetof(StandinDescriptorRecord, minimum) == 524,
              "descriptor");
static_assert(sizeof(StandinBatchEntry) == 16, "batch entry");
static_assert(sizeof(StandinPresetChange) == 536 && offsetof(StandinPresetChange, detail) == 260, "library change");
static_assert(sizeof(StandinParamModelChange) == 284 && offsetof(StandinParamModelChange, preset) == 20,
              "preset-list change");

// Memory for the arrays handed out: the COM task allocator on Windows (the server's stub frees
// it), malloc elsewhere.
void* StandinAllocate(size_t bytes);
void StandinFree(void* block);

// Names as the library keeps them: at most 127 units (the records hold 128 with the
// terminator); folder names the file system would refuse (empty, reserved characters, a
// trailing dot or blank, device names) are not names.
std::u16string StandinCutName(const char16_t* name);
// A name as the call log writes it (UTF-8; "(null)" for none).
std::string StandinLogText(const char16_t* text);
bool StandinIsValidName(const std::u16string& name);

// A meter's reading in dB of a linear level: -120 (the meters' floor) for silence.
float StandinMeterDb(float level);
// A float parameter's value as the records carry it (its bits in a 32-bit field), and back.
int32_t StandinBits(float value);
float StandinReal(int32_t bits);

// The engine's ids of the special effects: one per special kind (0 "Trim Pot", 1 "Test
// Signal", 2 "Peak Meter") and rate class (0: 44.1/48 kHz, 1: 88.2/96 kHz, 2: 176.4/192 kHz).
VarnEffectId StandinSpecialEffectId(int kind, int rateClass);

class StandinEffects
{
public:
    static constexpr int kLibraryEvent = EngineEvent::kEffectLibrary.first;
    static constexpr int kPresetListEvent = EngineEvent::kPresetList.first;
    static constexpr int kDspBudget = 400; // DSP units of the card, shared by every chain
    static constexpr int kMaxInserts = 16; // per chain
    static constexpr int kParamCount = 11;
    static constexpr float kMeterFloor = -120.0f; // dB
    static_assert(kMaxInserts <= DspTable::kMaxInserts, "a DSP route holds a whole chain");

    // A preset of a category: its effects with their values.
    struct PresetEffect
    {
        VarnEffectId effect;
        std::vector<StandinValue> values;
    };
    struct Preset
    {
        std::u16string name;
        VarnEffectId id;
        bool factory;
        std::vector<PresetEffect> effects;
    };
    // Where the library keeps its user categories and presets (the library's folders). Told
    // of every edit that took, under the effects' lock: it must not call back.
    class Store
    {
    public:
        virtual ~Store() = default;
        virtual void CategoryCreated(const std::u16string& name) = 0;
        virtual void CategoryDeleted(const std::u16string& name) = 0;
        virtual void CategoryRenamed(const std::u16string& from, const std::u16string& to) = 0;
        // A new or changed preset; oldName is its name before a rename, else empty.
        virtual void PresetWritten(const std::u16string& category, const Preset& preset,
                                   const std::u16string& oldName) = 0;
        virtual void PresetDeleted(const std::u16string& category, const Preset& preset) = 0;
    };

    StandinEffects();
    ~StandinEffects();

    // The store of the library's edits (owned; null keeps them in memory only).
    void SetStore(std::unique_ptr<Store> store);
    // Presets read back from a category's store join it: one of a name the category has
    // replaces that user preset's effects (an import brought a newer copy); a new one keeps
    // its id unless another preset has it, then it gets a fresh one (and is written again).
    // Factory presets and unknown categories are left alone; nothing is raised.
    void AddStoredPresets(const std::u16string& category, std::vector<Preset> presets);

    // The core effects and user categories of the library's folders (core effects beyond the
    // card's built-in ones join them); the rate code the mixer runs at; how events are raised.
    void Configure(const std::vector<std::u16string>& coreEffects, const std::vector<std::u16string>& categories,
                   std::function<int()> rateCode, std::function<void(int, VarnEventArg)> raise);
    // Folders found again on disk join the library; answers whether a core effect was new
    // (the engine then raises 804).
    bool AddFolders(const std::vector<std::u16string>& coreEffects, const std::vector<std::u16string>& categories);

    // The library as the program's palette reads it (IVarnFxLibrary's records, which hold
    // names of up to 255 units; the library's own names have at most 127). Indexes outside
    // the lists and null records answer 0.
    int CoreEffectCount();
    int CoreEffectInfo(int index, VarnCoreEffectRecord* record);
    int CategoryCount();
    int CategoryInfo(int index, VarnCategoryRecord* record);
    int PresetCount(int category);
    int PresetInfo(int category, int preset, VarnPresetRecord* record);
    // The index of the category, or -1.
    int CategoryIndex(const char16_t* name);
    // 1 with the current record when the preset with the record's id exists.
    int FindPresetRecord(const VarnPresetRecord* preset, VarnPresetRecord* found);
    int EffectName(const VarnEffectId* effect, char16_t* name, int capacity);
    // A library event's payload (the argument of 850 + kind) stays until the event with that
    // id is acknowledged; answers false when no payload of the id waits.
    bool Acknowledge(int id);
    size_t PendingPayloads();
    void AddClient(int clientId);
    void RemoveClient(int clientId);
    // For tests: the effect id of a core effect by name (zero when none).
    VarnEffectId EffectId(const std::u16string& name);
    // For tests: the client's chain as effect names ("Trim Pot" and so on for special inserts).
    std::vector<std::u16string> ChainNames(int clientId);
    bool ChainFlag(int clientId);

    int GetEffectCatalog(int* count, void** records);
    int GetEffectPresets(const void* category, int* count, void** records);
    int GetEffectCorePresets(VarnEffectId effect, int* count, void** records);
    int GetInserts(VarnEffectId preset, int* isFactory, int* count, void** effects, int** valueCounts, float** wetDry,
                   int* valueCount, void** values);
    int CreatePreset(int clientId, const char16_t* category, const char16_t* name, int insertCount,
                     const int* positions);
    int DeletePreset(VarnEffectId preset);
    int RenamePreset(VarnEffectId preset, const char16_t* name);
    int CreatePresetCategory(const char16_t* name);
    int DeletePresetCategory(const char16_t* name);
    int RenamePresetCategory(const char16_t* oldName, const char16_t* newName);
    int GetEffectsFit(int count, const VarnEffectId* effects, int* fits);
    int GetPresetsFit(int count, const VarnEffectId* presets, int* fits);
    // 1 made, 2 not enough DSP, 6 no room; 0 refused.
    int SetInsertEffect(VarnEffectId effect, int clientId, int position, void* info, int wait);
    int RemoveInsert(int clientId, int position);
    int SelectPreset(int clientId, int position, int presetIndex);
    // 1 made, 3 not enough DSP, 9 no room; 0 refused.
    int SetSpecialInsert(int specialKind, int clientId, int position, void* info, int wait);
    int LoadPresetIntoInsert(VarnEffectId preset, int clientId, int position, void* info);
    int MoveInsert(int clientId, int from, int to);
    int SetInsertChainFlag(int clientId, int flag);
    int GetParameterDescriptors(int clientId, int position, int* count, void** descriptors);
    int GetParameterChoiceNames(int clientId, int position, int parameter, int* count, void** names);
    int GetParameterValue(int clientId, int position, int parameter, void* value);
    int SetParameterValue(int clientId, int position, int parameter, int kind, int value);
    int SetInsertBypass(int clientId, int position, int bypass);
    int SetInsertSolo(int clientId, int position, int solo);
    int GetInsertBypass(int clientId, int position, int* bypass);
    int GetInsertSolo(int clientId, int position, int* solo);
    int CreateCorePreset(int clientId, int position, const char16_t* name);
    // Stores the insert's current values into its effect's user preset `value` (a factory
    // preset is refused), selects it and raises the preset list's change (kind 2).
    int ApplyPresetById(int clientId, int position, int value);
    int DeleteCorePreset(const VarnEffectId* effect, int index);
    int RenameCorePreset(const VarnEffectId* effect, int index, const char16_t* name);
    int GetPresetChange(void* change);
    int GetParamModelChange(void* change);
    int SetAllInsertsBypass(int clientId, int bypass);
    int GetParameterValuesBatch(int clientId, int count, void* entries);
    int SetSendReturnInsertRouting(int clientId, int position, int send1, int send2, int return1, int return2, int wait,
                                   void* info);
    int GetInsertNotifyId(int clientId, int position, int* notifyId);
    int GetParameterKinds(int clientId, int position, int* count, int** kinds);
    int GetParameterText(int clientId, int position, int parameter, char16_t** text, int maximum);

    // What the mixer's insert chains read of the library: the DSP units of an effect or preset
    // (-1 for an unknown id), an effect's name (empty when unknown), a preset's effects (false
    // for an unknown preset), and a new user preset of a category made of effects (1 made).
    int EffectCost(const VarnEffectId& id);
    std::u16string EffectNameOf(const VarnEffectId& id);
    bool PresetContents(const VarnEffectId& preset, std::vector<VarnEffectId>* effects);
    int CreatePresetOf(const char16_t* category, const char16_t* name, const std::vector<VarnEffectId>& effects);

    // The parameters of an insert kind (1 DSP effect, 2-4 special (kind - 2), others send and
    // return), the one table behind the clients' descriptors and the mixer's effect objects:
    // a parameter's descriptor as GetParameterDescriptors hands it out, and its choice names.
    struct Param
    {
        const char16_t* name;
        int valueKind;
        int access;
        int paramKind;
        StandinValue initial;
        int32_t minimum; // integers, or the bits of a float for value kind 2
        int32_t maximum;
    };

    static const std::vector<Param>& ParamsOf(int kind);
    static StandinDescriptorRecord DescriptorOf(const Param& param, int index);
    static std::vector<std::u16string> ChoicesOf(const Param& param);

    // The card's own changes of a client insert's parameter (the control channel's requests).
    // Each answers 1 with the insert's notify id, or 0 with nothing changed for an unknown
    // client, position or parameter or a change the parameter cannot take: a meter (access 8
    // or 9) held at a level in dB within its range, which it then reads until the insert
    // goes; a value the parameter takes (a real for value kind 2, else a whole number); a
    // selector's choice names (1-64 names of 1-127 units; its maximum follows their count);
    // a parameter kind 0-4; a name of 1-127 units.
    static constexpr int kMaxChoices = 64;
    int HoldMeterLevel(int clientId, int position, int parameter, float level, int* notifyId);
    int ChangeValue(int clientId, int position, int parameter, double value, int* notifyId);
    int ChangeChoices(int clientId, int position, int parameter, const std::vector<std::u16string>& choices,
                      int* notifyId);
    int ChangeParamKind(int clientId, int position, int parameter, int paramKind, int* notifyId);
    int ChangeParamName(int clientId, int position, int parameter, const std::u16string& name, int* notifyId);

    // The mixer's strips take their DSP from the same budget: reserve answers whether the
    // units were free and takes them; give and hold return and take units without asking.
    bool ReserveStripDsp(int units);
    void GiveStripDsp(int units) { stripDsp_ -= units; }
    void HoldStripDsp(int units) { stripDsp_ += units; }

    // The card's DSP memory: each client's chain is written to the route of its pair (the
    // driver runs it between the send and the return pair) after every change of the chain,
    // each write logged as "DspRoute <pair> <serial> <inserts>". A client without a pair, or a
    // null table, publishes nothing. Meters answer what the driver played while it ran the
    // chain's current serial, and sweep otherwise.
    void AttachDspTable(DspTable* table, std::function<void(std::string)> log);
    // The pair the automation gave the client (-1: none; its route is cleared).
    void SetClientPair(int clientId, int pair);

private:
    struct Effect
    {
        std::u16string name;
        VarnEffectId id;
        int cost;
        std::vector<StandinCorePresetRecord> presets; // numbered by index
        std::vector<std::vector<StandinValue>> presetValues;
    };
    struct Category
    {
        std::u16string name;
        std::vector<Preset> presets;
    };
    // What the card changed of one of an insert's parameters; what is unset follows the table.
    struct ParamChange
    {
        std::optional<std::u16string> name;
        std::optional<int> paramKind;
        std::optional<std::vector<std::u16string>> choices;
        std::optional<float> level; // a held meter level, dB
    };
    // kind: 1 DSP effect, 2-4 special (kind - 2), 6 send/return.
    struct Insert
    {
        int kind = 1;
        VarnEffectId effect{};
        std::vector<StandinValue> values;
        int routing[4] = {};
        bool bypassed = false;
        bool soloed = false;
        int selected = 0;
        int notifyId = 0;
        std::map<int, ParamChange> changes; // by parameter
    };
    struct Chain
    {
        std::vector<Insert> inserts;
        bool flag = true;
        int pair = -1;       // the client's send and return pair; -1 none
        uint32_t serial = 0; // the DSP route's serial of these inserts
    };
    VarnEffectId IdOf(const std::u16string& name) const;
    static bool SameId(const VarnEffectId& a, const VarnEffectId& b);
    Effect* FindEffect(const VarnEffectId& id);
    Category* FindCategory(const std::u16string& name);
    Preset* FindPreset(const VarnEffectId& id, Category** in = nullptr);
    Insert* FindInsert(int clientId, int position);
    Chain* FindChain(int clientId);
    int SpecialKindOf(const VarnEffectId& id) const;
    int CostOf(const VarnEffectId& id);
    int InsertCost(const Insert& insert);
    bool EffectInsert(const VarnEffectId& id, Insert* insert);
    int UsedDsp();
    // Both ask the engine's rate with lock_ free: never call them while holding it.
    int RateCode();
    bool RateAllowsDsp();
    StandinInsertInfo InfoOf(const Insert& insert) const;
    Insert NewInsert(int kind, const VarnEffectId& effect);
    int PlaceInsert(int clientId, int position, Insert insert, void* info, int noDsp, int noRoom);
    StandinValue ReadValue(Insert& insert, int parameter);
    // The insert's parameter as the card has it now: the table's with the card's changes.
    static const ParamChange* ChangeOf(const Insert& insert, int parameter);
    static std::vector<std::u16string> ChoicesOf(const Insert& insert, int parameter);
    static int32_t MaximumOf(const Insert& insert, int parameter);
    int SetValueLocked(int clientId, Insert& insert, int parameter, int kind, int value);
    // The client's insert with a parameter of that index, or null.
    Insert* FindParameter(int clientId, int position, int parameter);
    // The card's change of a parameter (under lock_), 1 with the insert's notify id when the
    // insert and parameter exist and change takes it.
    int ChangeParam(int clientId, int position, int parameter, int* notifyId,
                    const std::function<bool(Insert&, const Param&)>& change);
    std::u16string InsertName(const Insert& insert);
    void LibraryChanged(int kind, const std::u16string& category, const void* detail, size_t bytes,
                        const std::u16string& newName);
    void PresetListChanged(const Effect& effect, int kind, const StandinCorePresetRecord& preset);
    VarnEffectId NewPresetId();
    // Rewrites the client's route; newInserts takes a new serial (inserts added, removed,
    // moved or replaced).
    void PublishRoute(int clientId, bool newInserts);
    void PublishRoute(Chain& chain, bool newInserts);
    void ClearRoute(int pair);
    // The level the driver played through the insert, while it ran the chain's serial.
    bool PlayedLevel(const Insert& insert, float* level) const;
    // Stores a new preset in the category and raises its library event; 0 for a name taken.
    int StorePresetLocked(Category& category, const std::u16string& name, std::vector<PresetEffect> effects);

    std::mutex lock_;
    std::vector<Effect> effects_;                  // lock_
    std::vector<Category> categories_;             // lock_
    std::map<int, Chain> chains_;                  // registered clients; lock_
    StandinPresetChange lastChange_{};             // lock_
    bool hasChange_ = false;                       // lock_
    StandinParamModelChange lastModelChange_{};    // lock_
    bool hasModelChange_ = false;                  // lock_
    uint32_t nextPreset_ = 1;                      // lock_
    int nextNotifyId_ = 0x100;                     // lock_
    uint32_t meterReads_ = 0;                      // lock_
    std::function<int()> rateCode_;                // lock_
    std::function<void(int, VarnEventArg)> raise_; // lock_
    std::unique_ptr<Store> store_;                 // lock_
    std::atomic<int> stripDsp_{0};                 // the strips' units; read under lock_ too
    // Payloads of raised library events by event id, oldest first, until acknowledged.
    std::vector<std::pair<int, std::vector<uint8_t>>> payloads_; // lock_
    DspTable* dsp_ = nullptr;                                    // the engine's table, borrowed; lock_
    std::function<void(std::string)> dspLog_;                    // lock_
    uint32_t nextSerial_ = 0;                                    // lock_
};

// A hardware system's fit checker over the effects' DSP budget.
class StandinFitChecker final : public IVarnFitChecker
{
public:
    explicit StandinFitChecker(StandinEffects& effects) : effects_(effects) {}
    int VARN_CALL CoreEffectFits(const VarnCoreEffectRecord* effect) override;
    int VARN_CALL PresetFits(const VarnPresetRecord* preset) override;

private:
    StandinEffects& effects_;
};
