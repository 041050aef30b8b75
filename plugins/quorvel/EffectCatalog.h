#pragma once
// The plug-in's copy of the mixer program's effect library: preset categories, the presets of
// each category and, for chain presets, the effects they hold. Lists are fetched through the
// link when first asked for and afterwards changed only by the library's change notification.
//
// Threads: the editor and the host read it, the services thread applies the library's changes.
// The lists are guarded by the catalogue's lock, which is never held while a command runs (a
// command waits for the services thread, which may be waiting for the lock). Categories and
// entries are shared: one that a change removes stays valid for whoever still holds it. The
// editor's messages carry copies and the Identity() of what changed, never an address.

#include "plugins/quorvel/ModelLink.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class EffectCatalog;

// The special effects, each with one id per rate class: 0 "Trim Pot", 1 "Test Signal",
// 2 "Peak Meter". The engine's ids: "KIVS", the kind, the rate class, 0.
enum SpecialEffect : int32_t
{
    kSpecialTrimPot = 0,
    kSpecialTestSignal = 1,
    kSpecialPeakMeter = 2,
};
// The id of a special effect for a sample rate: 44100 and 48000 share the first class, 96000
// and 192000 have one each; any other rate or kind gives the zero id.
EffectId SpecialEffectId(int32_t kind, int32_t sampleRate);
// The special kind an id stands for (at any rate), -1 for none.
int32_t SpecialKindOf(const EffectId& id);
bool IsTrimPotId(const EffectId& id);
bool IsTestSignalId(const EffectId& id);
bool IsPeakMeterId(const EffectId& id);

// Payloads of the catalogue's editor messages (heap blocks the receiver frees).
// kMessageCategoryChanged, wParam 0 added, 1 deleted, 2 renamed (newName set).
struct CategoryMessage
{
    uint32_t identity; // the category's
    char16_t name[128];
    char16_t newName[128];
};
// kMessagePresetChanged, wParam 0 added, 1 deleted, 2 renamed (the record holds the new name).
struct PresetMessage
{
    uint32_t category; // the category's identity
    uint32_t identity; // the entry's
    char16_t categoryName[128];
    PresetRecord preset;
};

// A preset's effects as the server answers GetInserts, asked with every detail pointer (the
// server's proxy refuses the call across processes without them); the arrays are given back
// when it goes.
class PresetInserts
{
public:
    PresetInserts(ModelLink& link, const EffectId& preset);
    ~PresetInserts();
    PresetInserts(const PresetInserts&) = delete;
    PresetInserts& operator=(const PresetInserts&) = delete;

    bool answered = false;
    int32_t factory = 0;
    int32_t count = 0;                   // effects (0 without the array)
    PresetRecord* effects = nullptr;     // count records, built from ids (names not filled)
    float* wetDry = nullptr;             // per effect
    int32_t* valueCounts = nullptr;      // value records per effect
    int32_t total = 0;                   // value records in all
    PresetValueRecord* values = nullptr; // total records, effect after effect

private:
    ModelLink& link_;
};

class PresetEntry
{
public:
    PresetEntry(EffectCatalog* catalog, const PresetRecord& record);
    PresetEntry(const PresetEntry&) = delete;
    PresetEntry& operator=(const PresetEntry&) = delete;

    uint32_t Identity() const { return identity_; }
    // A copy of the record: name, 16-byte id, chain flag.
    PresetRecord Record() const;
    EffectId Id() const { return record_.id; }
    bool IsChain() const { return record_.isChain == 1; }
    // A chain preset whose effects were not fetched yet fetches them first.
    bool IsFactory();
    int32_t ChildCount();
    // The zero id outside the list or for an entry that is not a chain.
    EffectId ChildIdAt(int32_t index);
    void SetName(const char16_t* name);

private:
    friend class EffectCatalog;
    void FetchChildren();

    EffectCatalog* catalog_;         // borrowed: the catalogue outlives its editor and model
    PresetRecord record_;            // catalog_->lock_ (the id and chain flag never change)
    std::vector<EffectId> children_; // the effects of a chain preset; catalog_->lock_
    bool factory_ = true;            // catalog_->lock_
    const uint32_t identity_;
};

class PresetCategory
{
public:
    PresetCategory(EffectCatalog* catalog, const CategoryRecord& record);
    PresetCategory(const PresetCategory&) = delete;
    PresetCategory& operator=(const PresetCategory&) = delete;

    uint32_t Identity() const { return identity_; }
    CategoryRecord Record() const;
    bool IsCore() const { return record_.isCore == 1; }
    // Fetches the presets on first use.
    int32_t PresetCount();
    // Does not fetch; null outside the list.
    std::shared_ptr<PresetEntry> PresetAt(int32_t index);

private:
    friend class EffectCatalog;
    void FetchPresets();

    EffectCatalog* catalog_;                                             // borrowed
    CategoryRecord record_;                                              // catalog_->lock_
    std::unique_ptr<std::vector<std::shared_ptr<PresetEntry>>> presets_; // null until fetched; catalog_->lock_
    const uint32_t identity_;
};

class EffectCatalog
{
public:
    // Answers of the library's edits.
    static constexpr int32_t kEditDone = 0;
    static constexpr int32_t kEditRefused = 4;

    // link: null for a catalogue without a mixer program (everything empty, edits refused).
    explicit EffectCatalog(ModelLink* link) : link_(link) {}
    EffectCatalog(const EffectCatalog&) = delete;
    EffectCatalog& operator=(const EffectCatalog&) = delete;

    // Fetch on first use.
    int32_t CategoryCount();
    std::shared_ptr<PresetCategory> CategoryAt(int32_t index);
    // The first entry with the id, in category order; presets are fetched on the way.
    std::shared_ptr<PresetEntry> FindPreset(const EffectId& id);
    // Whether each effect (effects true) or preset fits on the DSP now; all 0 without a link.
    void GetFit(int32_t count, const EffectId* ids, int32_t* flags, bool effects);

    int32_t CreateCategory(const char16_t* name);
    int32_t DeleteCategory(const char16_t* name);
    int32_t RenameCategory(const char16_t* oldName, const char16_t* newName);
    // positions: insertCount chain positions of this instance's inserts.
    int32_t CreatePreset(const char16_t* category, const char16_t* name, int32_t insertCount, const int32_t* positions);
    int32_t DeletePreset(const EffectId& id);
    int32_t RenamePreset(const EffectId& id, const char16_t* name);
    // The chain's attached flag; false without a link.
    bool IsConnected() const;

    // Services thread: a category or preset was added, deleted or renamed.
    void OnPresetChange(const PresetChangeRecord& change);

private:
    friend class PresetCategory;
    friend class PresetEntry;
    using Categories = std::vector<std::shared_ptr<PresetCategory>>;

    void Fetch();
    int32_t Edit(int32_t command, const char16_t* first, const char16_t* second);
    std::shared_ptr<PresetCategory> FindCategoryLocked(const char16_t* name);
    // A message's block (made under lock_, posted after it); null when it cannot be had, and
    // then nothing is posted.
    static CategoryMessage* MakeCategoryMessage(uint32_t identity, const char16_t* name, const char16_t* newName);
    static PresetMessage* MakePresetMessage(const PresetCategory& category, const PresetEntry& entry);
    void Post(uint32_t id, uintptr_t change, void* message);

    ModelLink* link_; // borrowed: the link owns the catalogue
    mutable std::mutex lock_;
    std::unique_ptr<Categories> categories_; // null until the first fetch; lock_
};
