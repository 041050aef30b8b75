#include "plugins/quorvel/EffectCatalog.h"

#include "plugins/quorvel/EditorMessages.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace
{

constexpr uint32_t kSpecialTag = 0x4B495653; // "KIVS"

// Categories and entries share one sequence: an identity names one item in the process.
std::atomic<uint32_t> gNextItem{1};

template <size_t Units>
void CopyText(char16_t (&target)[Units], const char16_t* text)
{
    size_t n = 0;
    for (; text && n + 1 < Units && text[n]; ++n)
    {
        target[n] = text[n];
    }
    std::memset(target + n, 0, (Units - n) * sizeof(char16_t));
}

// A name of a server record, terminated even when the server filled every unit.
template <size_t Units>
void TerminatedName(char16_t (&name)[Units])
{
    name[Units - 1] = 0;
}

bool SameName(const char16_t* a, const char16_t* b)
{
    size_t n = 0;
    for (; n < 128 && a[n] && a[n] == b[n]; ++n)
    {
    }
    return n == 128 || a[n] == b[n];
}

EffectId IdInDetail(const PresetChangeRecord& change)
{
    EffectId id;
    std::memcpy(&id, change.detail, sizeof(id));
    return id;
}

} // namespace

EffectId SpecialEffectId(int32_t kind, int32_t sampleRate)
{
    int32_t rateClass = -1;
    if (sampleRate == 44100 || sampleRate == 48000)
    {
        rateClass = 0;
    }
    else if (sampleRate == 96000)
    {
        rateClass = 1;
    }
    else if (sampleRate == 192000)
    {
        rateClass = 2;
    }
    EffectId id;
    if (rateClass >= 0 && kind >= kSpecialTrimPot && kind <= kSpecialPeakMeter)
    {
        id.data[0] = kSpecialTag;
        id.data[1] = static_cast<uint32_t>(kind);
        id.data[2] = static_cast<uint32_t>(rateClass);
    }
    return id;
}

int32_t SpecialKindOf(const EffectId& id)
{
    for (int32_t kind = kSpecialTrimPot; kind <= kSpecialPeakMeter; ++kind)
    {
        for (int32_t rate : {48000, 96000, 192000})
        {
            if (id == SpecialEffectId(kind, rate))
            {
                return kind;
            }
        }
    }
    return -1;
}

bool IsTrimPotId(const EffectId& id)
{
    return SpecialKindOf(id) == kSpecialTrimPot;
}

bool IsTestSignalId(const EffectId& id)
{
    return SpecialKindOf(id) == kSpecialTestSignal;
}

bool IsPeakMeterId(const EffectId& id)
{
    return SpecialKindOf(id) == kSpecialPeakMeter;
}

PresetEntry::PresetEntry(EffectCatalog* catalog, const PresetRecord& record)
    : catalog_(catalog), record_(record), identity_(gNextItem.fetch_add(1))
{
    TerminatedName(record_.name);
}

PresetRecord PresetEntry::Record() const
{
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    return record_;
}

void PresetEntry::SetName(const char16_t* name)
{
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    CopyText(record_.name, name);
}

bool PresetEntry::IsFactory()
{
    if (!IsChain())
    {
        return true;
    }
    FetchChildren();
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    return factory_;
}

int32_t PresetEntry::ChildCount()
{
    FetchChildren();
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    return static_cast<int32_t>(children_.size());
}

EffectId PresetEntry::ChildIdAt(int32_t index)
{
    FetchChildren();
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    if (!IsChain() || index < 0 || index >= static_cast<int32_t>(children_.size()))
    {
        return EffectId{};
    }
    return children_[static_cast<size_t>(index)];
}

void PresetEntry::FetchChildren()
{
    ModelLink* link = catalog_->link_;
    if (!link || !IsChain())
    {
        return;
    }
    {
        std::lock_guard<std::mutex> hold(catalog_->lock_);
        if (!children_.empty())
        {
            return;
        }
    }
    const PresetInserts inserts(*link, record_.id);
    if (!inserts.answered)
    {
        return;
    }
    std::vector<EffectId> children;
    for (int32_t i = 0; i < inserts.count; ++i)
    {
        children.push_back(inserts.effects[i].id);
    }
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    if (children_.empty())
    {
        factory_ = inserts.factory == 1;
        children_ = std::move(children);
    }
}

PresetInserts::PresetInserts(ModelLink& link, const EffectId& preset) : link_(link)
{
    using S = Slots::GetInserts;
    CallBlock block;
    PutId(block, S::kPreset, preset);
    PutPointer(block, S::kWetDry, &wetDry);
    PutPointer(block, S::kValueCounts, &valueCounts);
    PutPointer(block, S::kValueTotal, &total);
    PutPointer(block, S::kValues, &values);
    answered = RunOnLink(link, block, kCmdGetInserts) == kCallOk;
    effects = PointerAt<PresetRecord>(block, S::kEffects);
    factory = WordAt(block, S::kFactory);
    count = effects ? WordAt(block, S::kCount) : 0;
}

PresetInserts::~PresetInserts()
{
    for (void* array : {static_cast<void*>(effects), static_cast<void*>(wetDry), static_cast<void*>(valueCounts),
                        static_cast<void*>(values)})
    {
        if (array)
        {
            link_.FreeServerArray(array);
        }
    }
}

PresetCategory::PresetCategory(EffectCatalog* catalog, const CategoryRecord& record)
    : catalog_(catalog), record_(record), identity_(gNextItem.fetch_add(1))
{
    TerminatedName(record_.name);
}

CategoryRecord PresetCategory::Record() const
{
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    return record_;
}

int32_t PresetCategory::PresetCount()
{
    FetchPresets();
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    return presets_ ? static_cast<int32_t>(presets_->size()) : 0;
}

std::shared_ptr<PresetEntry> PresetCategory::PresetAt(int32_t index)
{
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    if (!presets_ || index < 0 || index >= static_cast<int32_t>(presets_->size()))
    {
        return nullptr;
    }
    return (*presets_)[static_cast<size_t>(index)];
}

void PresetCategory::FetchPresets()
{
    using S = Slots::GetEffectPresets;
    CategoryRecord record;
    {
        std::lock_guard<std::mutex> hold(catalog_->lock_);
        if (presets_)
        {
            return;
        }
        record = record_;
    }
    auto presets = std::make_unique<std::vector<std::shared_ptr<PresetEntry>>>();
    if (ModelLink* link = catalog_->link_)
    {
        CallBlock block;
        PutPointer(block, S::kCategory, &record);
        if (RunOnLink(*link, block, kCmdGetEffectPresets) == kCallOk)
        {
            auto* records = PointerAt<PresetRecord>(block, S::kRecords);
            for (int32_t i = 0; records && i < WordAt(block, S::kCount); ++i)
            {
                presets->push_back(std::make_shared<PresetEntry>(catalog_, records[i]));
            }
            if (records)
            {
                link->FreeServerArray(records);
            }
        }
    }
    std::lock_guard<std::mutex> hold(catalog_->lock_);
    if (!presets_)
    {
        presets_ = std::move(presets);
    }
}

void EffectCatalog::Fetch()
{
    using S = Slots::GetEffectCatalog;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (categories_)
        {
            return;
        }
    }
    auto categories = std::make_unique<Categories>();
    if (link_)
    {
        CallBlock block;
        if (RunOnLink(*link_, block, kCmdGetEffectCatalog) == kCallOk)
        {
            auto* records = PointerAt<CategoryRecord>(block, S::kRecords);
            const int32_t count = records ? WordAt(block, S::kCount) : 0;
            categories->reserve(static_cast<size_t>(count > 0 ? count : 0));
            for (int32_t i = 0; i < count; ++i)
            {
                categories->push_back(std::make_shared<PresetCategory>(this, records[i]));
            }
            if (records)
            {
                link_->FreeServerArray(records);
            }
        }
    }
    std::lock_guard<std::mutex> hold(lock_);
    if (!categories_)
    {
        categories_ = std::move(categories);
    }
}

int32_t EffectCatalog::CategoryCount()
{
    Fetch();
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int32_t>(categories_->size());
}

std::shared_ptr<PresetCategory> EffectCatalog::CategoryAt(int32_t index)
{
    Fetch();
    std::lock_guard<std::mutex> hold(lock_);
    if (index < 0 || index >= static_cast<int32_t>(categories_->size()))
    {
        return nullptr;
    }
    return (*categories_)[static_cast<size_t>(index)];
}

std::shared_ptr<PresetEntry> EffectCatalog::FindPreset(const EffectId& id)
{
    for (int32_t c = 0;; ++c)
    {
        std::shared_ptr<PresetCategory> category = CategoryAt(c);
        if (!category)
        {
            return nullptr;
        }
        const int32_t count = category->PresetCount();
        for (int32_t p = 0; p < count; ++p)
        {
            std::shared_ptr<PresetEntry> entry = category->PresetAt(p);
            if (entry && entry->Id() == id)
            {
                return entry;
            }
        }
    }
}

void EffectCatalog::GetFit(int32_t count, const EffectId* ids, int32_t* flags, bool effects)
{
    using S = Slots::Fit;
    if (count <= 0 || !flags)
    {
        return;
    }
    std::memset(flags, 0, sizeof(int32_t) * static_cast<size_t>(count));
    if (!link_ || !ids)
    {
        return;
    }
    CallBlock block;
    PutWord(block, S::kCount, count);
    PutPointer(block, S::kIds, ids);
    PutPointer(block, S::kFlags, flags);
    if (RunOnLink(*link_, block, effects ? kCmdGetEffectsFit : kCmdGetPresetsFit) != kCallOk)
    {
        std::memset(flags, 0, sizeof(int32_t) * static_cast<size_t>(count));
    }
}

int32_t EffectCatalog::Edit(int32_t command, const char16_t* first, const char16_t* second)
{
    using S = Slots::PresetCategory;
    if (!link_)
    {
        return kEditRefused;
    }
    CallBlock block;
    PutPointer(block, S::kName, first);
    PutPointer(block, S::kNewName, second);
    return RunOnLink(*link_, block, command) == kCallOk ? kEditDone : kEditRefused;
}

int32_t EffectCatalog::CreateCategory(const char16_t* name)
{
    return Edit(kCmdCreatePresetCategory, name, nullptr);
}

int32_t EffectCatalog::DeleteCategory(const char16_t* name)
{
    return Edit(kCmdDeletePresetCategory, name, nullptr);
}

int32_t EffectCatalog::RenameCategory(const char16_t* oldName, const char16_t* newName)
{
    return Edit(kCmdRenamePresetCategory, oldName, newName);
}

int32_t EffectCatalog::CreatePreset(const char16_t* category, const char16_t* name, int32_t insertCount,
                                    const int32_t* positions)
{
    using S = Slots::CreatePreset;
    if (!link_)
    {
        return kEditRefused;
    }
    CallBlock block;
    PutPointer(block, S::kCategory, category);
    PutPointer(block, S::kName, name);
    PutWord(block, S::kInsertCount, insertCount);
    PutPointer(block, S::kPositions, positions);
    return RunOnLink(*link_, block, kCmdCreatePreset) == kCallOk ? kEditDone : kEditRefused;
}

int32_t EffectCatalog::DeletePreset(const EffectId& id)
{
    if (!link_)
    {
        return kEditRefused;
    }
    CallBlock block;
    PutId(block, Slots::DeletePreset::kPreset, id);
    return RunOnLink(*link_, block, kCmdDeletePreset) == kCallOk ? kEditDone : kEditRefused;
}

int32_t EffectCatalog::RenamePreset(const EffectId& id, const char16_t* name)
{
    using S = Slots::RenamePreset;
    if (!link_)
    {
        return kEditRefused;
    }
    CallBlock block;
    PutId(block, S::kPreset, id);
    PutPointer(block, S::kName, name);
    return RunOnLink(*link_, block, kCmdRenamePreset) == kCallOk ? kEditDone : kEditRefused;
}

bool EffectCatalog::IsConnected() const
{
    return link_ && link_->IsChainAttached();
}

std::shared_ptr<PresetCategory> EffectCatalog::FindCategoryLocked(const char16_t* name)
{
    for (const std::shared_ptr<PresetCategory>& category : *categories_)
    {
        if (SameName(category->record_.name, name))
        {
            return category;
        }
    }
    return nullptr;
}

CategoryMessage* EffectCatalog::MakeCategoryMessage(uint32_t identity, const char16_t* name, const char16_t* newName)
{
    auto* message = static_cast<CategoryMessage*>(std::calloc(1, sizeof(CategoryMessage)));
    if (message)
    {
        message->identity = identity;
        CopyText(message->name, name);
        CopyText(message->newName, newName);
    }
    return message;
}

PresetMessage* EffectCatalog::MakePresetMessage(const PresetCategory& category, const PresetEntry& entry)
{
    auto* message = static_cast<PresetMessage*>(std::calloc(1, sizeof(PresetMessage)));
    if (message)
    {
        message->category = category.identity_;
        message->identity = entry.identity_;
        std::memcpy(message->categoryName, category.record_.name, sizeof(message->categoryName));
        message->preset = entry.record_;
    }
    return message;
}

void EffectCatalog::Post(uint32_t id, uintptr_t change, void* message)
{
    if (message)
    {
        link_->PostToEditor(id, change, reinterpret_cast<uintptr_t>(message));
    }
}

void EffectCatalog::OnPresetChange(const PresetChangeRecord& record)
{
    if (!link_)
    {
        return;
    }
    PresetChangeRecord change = record;
    TerminatedName(change.categoryName);
    std::unique_lock<std::mutex> hold(lock_);
    if (!categories_ || change.kind < 0 || change.kind > 5)
    {
        return;
    }
    const auto category = FindCategoryLocked(change.categoryName);
    if (change.kind == 0)
    {
        if (category)
        {
            return;
        }
        CategoryRecord added{};
        std::memcpy(added.name, change.categoryName, sizeof(added.name));
        auto created = std::make_shared<PresetCategory>(this, added);
        categories_->push_back(created);
        void* message = MakeCategoryMessage(created->identity_, added.name, nullptr);
        hold.unlock();
        Post(kMessageCategoryChanged, 0, message);
        return;
    }
    if (!category)
    {
        return;
    }
    if (change.kind == 1)
    {
        for (auto it = categories_->begin(); it != categories_->end(); ++it)
        {
            if (*it == category)
            {
                categories_->erase(it);
                break;
            }
        }
        void* message = MakeCategoryMessage(category->identity_, change.categoryName, nullptr);
        hold.unlock();
        Post(kMessageCategoryChanged, 1, message);
        return;
    }
    if (change.kind == 2)
    {
        char16_t newName[128];
        std::memcpy(newName, change.detail, sizeof(newName));
        TerminatedName(newName);
        std::memcpy(category->record_.name, newName, sizeof(newName));
        void* message = MakeCategoryMessage(category->identity_, change.categoryName, newName);
        hold.unlock();
        Post(kMessageCategoryChanged, 2, message);
        return;
    }
    // Preset changes: only a list that was fetched follows them.
    if (!category->presets_)
    {
        return;
    }
    std::vector<std::shared_ptr<PresetEntry>>& presets = *category->presets_;
    if (change.kind == 3)
    {
        PresetRecord added;
        std::memcpy(&added, change.detail, sizeof(added));
        // Every library event makes the mixer tell of the last change again: one already
        // heard adds nothing.
        for (const std::shared_ptr<PresetEntry>& present : presets)
        {
            if (present->record_.id == added.id)
            {
                return;
            }
        }
        auto entry = std::make_shared<PresetEntry>(this, added);
        presets.push_back(entry);
        void* message = MakePresetMessage(*category, *entry);
        hold.unlock();
        Post(kMessagePresetChanged, 0, message);
        return;
    }
    const EffectId id = IdInDetail(change);
    for (auto it = presets.begin(); it != presets.end(); ++it)
    {
        std::shared_ptr<PresetEntry> entry = *it;
        if (entry->record_.id != id)
        {
            continue;
        }
        if (change.kind == 4)
        {
            presets.erase(it);
        }
        else
        {
            char16_t newName[128];
            std::memcpy(newName, change.detail + sizeof(EffectId), sizeof(newName));
            TerminatedName(newName);
            std::memcpy(entry->record_.name, newName, sizeof(newName));
        }
        void* message = MakePresetMessage(*category, *entry);
        hold.unlock();
        Post(kMessagePresetChanged, change.kind == 4 ? 1 : 2, message);
        return;
    }
}
