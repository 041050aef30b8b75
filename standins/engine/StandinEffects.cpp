#include "standins/engine/StandinEffects.h"

#include "mixer/engine/RateCodes.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <objbase.h>
#endif

namespace
{
constexpr uint32_t kEffectTag = 0x4B495645;  // "KIVE"
constexpr uint32_t kPresetTag = 0x4B495650;  // "KIVP"
constexpr uint32_t kSpecialTag = 0x4B495653; // "KIVS"
constexpr int kSpecialCost = 5;
const char16_t kCoreCategory[] = u"Core Effects";
const char16_t kFactoryCategory[] = u"Factory Chains";
const char16_t* const kChoices[] = {u"Soft", u"Medium", u"Hard"};
const char16_t* const kSpecialNames[] = {u"Trim Pot", u"Test Signal", u"Peak Meter"};

} // namespace

int32_t StandinBits(float value)
{
    int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

float StandinReal(int32_t bits)
{
    float value = 0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

float StandinMeterDb(float level)
{
    const float floor = StandinEffects::kMeterFloor;
    if (!(level > 0.0f))
        return floor;
    return std::clamp(20.0f * std::log10(level), floor, 0.0f);
}

namespace
{
template <size_t Units>
void CopyName(char16_t (&target)[Units], const std::u16string& name)
{
    std::memset(target, 0, sizeof(target));
    std::memcpy(target, name.data(), std::min(name.size(), Units - 1) * sizeof(char16_t));
}

// A stable id from a name: the same effect has the same id in every run.
uint32_t NameHash(const std::u16string& name)
{
    uint32_t hash = 2166136261u;
    for (char16_t unit : name)
        hash = (hash ^ unit) * 16777619u;
    return hash;
}

// Hands a copy of the records out in one allocation; none gives a null array.
template <class Record>
bool HandOut(const std::vector<Record>& records, void** array)
{
    *array = nullptr;
    if (records.empty())
        return true;
    void* block = StandinAllocate(records.size() * sizeof(Record));
    if (!block)
        return false;
    std::memcpy(block, records.data(), records.size() * sizeof(Record));
    *array = block;
    return true;
}

} // namespace

void* StandinAllocate(size_t bytes)
{
#ifdef _WIN32
    return CoTaskMemAlloc(bytes);
#else
    return std::malloc(bytes);
#endif
}

void StandinFree(void* block)
{
#ifdef _WIN32
    CoTaskMemFree(block);
#else
    std::free(block);
#endif
}

std::u16string StandinCutName(const char16_t* name)
{
    std::u16string cut;
    for (size_t i = 0; name && name[i] && i < 127; ++i)
        cut.push_back(name[i]);
    return cut;
}

std::string StandinLogText(const char16_t* text)
{
    if (!text)
        return "(null)";
    std::string out;
    for (size_t i = 0; text[i]; ++i)
    {
        uint32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (unit < 0x80)
            out += static_cast<char>(unit);
        else if (unit < 0x800)
            out += {static_cast<char>(0xC0 | (unit >> 6)), static_cast<char>(0x80 | (unit & 0x3F))};
        else if (unit < 0x10000)
            out += {static_cast<char>(0xE0 | (unit >> 12)), static_cast<char>(0x80 | ((unit >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (unit & 0x3F))};
        else
            out += {static_cast<char>(0xF0 | (unit >> 18)), static_cast<char>(0x80 | ((unit >> 12) & 0x3F)),
                    static_cast<char>(0x80 | ((unit >> 6) & 0x3F)), static_cast<char>(0x80 | (unit & 0x3F))};
    }
    return out;
}

bool StandinIsValidName(const std::u16string& name)
{
    if (name.empty() || name.back() == u'.' || name.back() == u' ')
        return false;
    for (char16_t unit : name)
    {
        if (unit < 0x20 || std::u16string(u"\\/:*?\"<>|").find(unit) != std::u16string::npos)
            return false;
    }
    std::string base;
    for (char16_t unit : name.substr(0, name.find(u'.')))
        base.push_back(static_cast<char>(unit < 0x80 ? std::toupper(unit) : '_'));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices)
        if (base == device)
            return false;
    return !(base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
             base[3] <= '9');
}

VarnEffectId StandinSpecialEffectId(int kind, int rateClass)
{
    return VarnEffectId{{kSpecialTag, static_cast<uint32_t>(kind), static_cast<uint32_t>(rateClass), 0}};
}

StandinEffects::StandinEffects()
{
    const std::pair<const char16_t*, int> builtIn[] = {
        {u"Reverb", 40}, {u"Delay", 20}, {u"Compressor", 15}, {u"Equalizer", 10}};
    for (const auto& [name, cost] : builtIn)
    {
        Effect effect{name, VarnEffectId{{kEffectTag, NameHash(name), 0, 0}}, cost, {}, {}};
        effects_.push_back(std::move(effect));
    }
    for (Effect& effect : effects_)
    {
        std::vector<StandinValue> defaults;
        for (const Param& param : ParamsOf(1))
            defaults.push_back(param.initial);
        std::vector<StandinValue> bright = defaults;
        bright[0] = {2, StandinBits(0.75f)};
        bright[1] = {4, 2};
        const std::pair<const char16_t*, std::vector<StandinValue>> factory[] = {{u"Default", defaults},
                                                                                 {u"Bright", bright}};
        for (const auto& [name, values] : factory)
        {
            StandinCorePresetRecord record{};
            record.number = static_cast<int32_t>(effect.presets.size());
            CopyName(record.name, name);
            record.isFactory = 1;
            effect.presets.push_back(record);
            effect.presetValues.push_back(values);
        }
    }
    // A factory category with a chain preset and a single-effect preset.
    Category factory{kFactoryCategory, {}};
    Preset chain{u"Vocal Chain", VarnEffectId{{kPresetTag, 0, 0, 1}}, true, {}};
    for (const char16_t* name : {u"Compressor", u"Equalizer", u"Reverb"})
    {
        PresetEffect entry{IdOf(name), effects_.front().presetValues[1]};
        entry.values[4] = {2, StandinBits(0.5f)};
        chain.effects.push_back(entry);
    }
    factory.presets.push_back(chain);
    factory.presets.push_back(
        Preset{u"Small Room", VarnEffectId{{kPresetTag, 0, 0, 2}}, true, {{IdOf(u"Reverb"), chain.effects[2].values}}});
    categories_.push_back(std::move(factory));
}

StandinEffects::~StandinEffects() = default;

void StandinEffects::SetStore(std::unique_ptr<Store> store)
{
    std::lock_guard<std::mutex> lock(lock_);
    store_ = std::move(store);
}

void StandinEffects::AddStoredPresets(const std::u16string& categoryName, std::vector<Preset> presets)
{
    std::lock_guard<std::mutex> lock(lock_);
    Category* category = FindCategory(StandinCutName(categoryName.c_str()));
    if (!category)
        return;
    for (Preset& stored : presets)
    {
        stored.factory = false;
        Preset* same = nullptr;
        for (Preset& preset : category->presets)
            if (preset.name == stored.name)
                same = &preset;
        if (same)
        {
            if (!same->factory)
                same->effects = std::move(stored.effects);
            continue;
        }
        const bool ours = stored.id.data[0] == kPresetTag && stored.id.data[1] == 1;
        if (ours && !FindPreset(stored.id))
            nextPreset_ = std::max(nextPreset_, stored.id.data[2] + 1);
        else
        {
            stored.id = NewPresetId();
            if (store_)
                store_->PresetWritten(category->name, stored, {});
        }
        category->presets.push_back(std::move(stored));
    }
}

void StandinEffects::Configure(const std::vector<std::u16string>& coreEffects,
                               const std::vector<std::u16string>& categories, std::function<int()> rateCode,
                               std::function<void(int, VarnEventArg)> raise)
{
    AddFolders(coreEffects, categories);
    std::lock_guard<std::mutex> lock(lock_);
    rateCode_ = std::move(rateCode);
    raise_ = std::move(raise);
}

bool StandinEffects::AddFolders(const std::vector<std::u16string>& coreEffects,
                                const std::vector<std::u16string>& categories)
{
    std::lock_guard<std::mutex> lock(lock_);
    bool added = false;
    for (const std::u16string& folder : coreEffects)
    {
        const std::u16string name = StandinCutName(folder.c_str());
        bool known = false;
        for (const Effect& effect : effects_)
            known = known || effect.name == name;
        if (!known && !name.empty())
        {
            Effect effect = effects_.front();
            effect.name = name;
            effect.id = VarnEffectId{{kEffectTag, NameHash(name), 0, 0}};
            effect.cost = 10;
            effects_.push_back(std::move(effect));
            added = true;
        }
    }
    for (const std::u16string& folder : categories)
    {
        const std::u16string name = StandinCutName(folder.c_str());
        if (StandinIsValidName(name) && !FindCategory(name))
            categories_.push_back(Category{name, {}});
    }
    return added;
}

int StandinEffects::CoreEffectCount()
{
    std::lock_guard<std::mutex> lock(lock_);
    return static_cast<int>(effects_.size());
}

int StandinEffects::CoreEffectInfo(int index, VarnCoreEffectRecord* record)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!record || index < 0 || index >= static_cast<int>(effects_.size()))
        return 0;
    *record = VarnCoreEffectRecord{};
    record->id = effects_[index].id;
    CopyName(record->name, effects_[index].name);
    return 1;
}

int StandinEffects::CategoryCount()
{
    std::lock_guard<std::mutex> lock(lock_);
    return static_cast<int>(categories_.size());
}

int StandinEffects::CategoryInfo(int index, VarnCategoryRecord* record)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!record || index < 0 || index >= static_cast<int>(categories_.size()))
        return 0;
    *record = VarnCategoryRecord{};
    CopyName(record->name, categories_[index].name);
    return 1;
}

int StandinEffects::PresetCount(int category)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (category < 0 || category >= static_cast<int>(categories_.size()))
        return 0;
    return static_cast<int>(categories_[category].presets.size());
}

namespace
{
template <class Preset>
void FillPreset(const Preset& preset, VarnPresetRecord* record)
{
    std::memset(record, 0, sizeof(*record));
    record->id = preset.id;
    CopyName(record->name, preset.name);
    record->effectCount = static_cast<int32_t>(std::min<size_t>(preset.effects.size(), kVarnPresetEffects));
    for (int32_t i = 0; i < record->effectCount; ++i)
        record->effects[i] = preset.effects[i].effect;
    record->factory = preset.factory ? 1 : 0;
}
} // namespace

int StandinEffects::PresetInfo(int category, int preset, VarnPresetRecord* record)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!record || category < 0 || category >= static_cast<int>(categories_.size()) || preset < 0 ||
        preset >= static_cast<int>(categories_[category].presets.size()))
        return 0;
    FillPreset(categories_[category].presets[preset], record);
    return 1;
}

int StandinEffects::CategoryIndex(const char16_t* name)
{
    if (!name)
        return -1;
    std::lock_guard<std::mutex> lock(lock_);
    for (size_t i = 0; i < categories_.size(); ++i)
        if (categories_[i].name == name)
            return static_cast<int>(i);
    return -1;
}

int StandinEffects::FindPresetRecord(const VarnPresetRecord* preset, VarnPresetRecord* found)
{
    if (!preset)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Preset* current = FindPreset(preset->id);
    if (!current)
        return 0;
    if (found)
        FillPreset(*current, found);
    return 1;
}

int StandinEffects::EffectName(const VarnEffectId* effect, char16_t* name, int capacity)
{
    if (!effect || !name || capacity < 1)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Effect* found = FindEffect(*effect);
    if (!found)
        return 0;
    const size_t units = std::min<size_t>(found->name.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(name, found->name.data(), units * sizeof(char16_t));
    name[units] = 0;
    return 1;
}

bool StandinEffects::Acknowledge(int id)
{
    std::lock_guard<std::mutex> lock(lock_);
    for (auto it = payloads_.begin(); it != payloads_.end(); ++it)
    {
        if (it->first == id)
        {
            payloads_.erase(it);
            return true;
        }
    }
    return false;
}

size_t StandinEffects::PendingPayloads()
{
    std::lock_guard<std::mutex> lock(lock_);
    return payloads_.size();
}

int VARN_CALL StandinFitChecker::CoreEffectFits(const VarnCoreEffectRecord* effect)
{
    int fits = 0;
    return effect && effects_.GetEffectsFit(1, &effect->id, &fits) ? fits : 0;
}

int VARN_CALL StandinFitChecker::PresetFits(const VarnPresetRecord* preset)
{
    int fits = 0;
    return preset && effects_.GetPresetsFit(1, &preset->id, &fits) ? fits : 0;
}

void StandinEffects::AddClient(int clientId)
{
    std::lock_guard<std::mutex> lock(lock_);
    chains_[clientId] = Chain{};
}

void StandinEffects::RemoveClient(int clientId)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (Chain* chain = FindChain(clientId))
        ClearRoute(chain->pair);
    chains_.erase(clientId);
}

VarnEffectId StandinEffects::EffectId(const std::u16string& name)
{
    std::lock_guard<std::mutex> lock(lock_);
    return IdOf(name);
}

VarnEffectId StandinEffects::IdOf(const std::u16string& name) const
{
    for (const Effect& effect : effects_)
        if (effect.name == name)
            return effect.id;
    return VarnEffectId{};
}

std::vector<std::u16string> StandinEffects::ChainNames(int clientId)
{
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<std::u16string> names;
    if (Chain* chain = FindChain(clientId))
        for (const Insert& insert : chain->inserts)
            names.push_back(InsertName(insert));
    return names;
}

bool StandinEffects::ChainFlag(int clientId)
{
    std::lock_guard<std::mutex> lock(lock_);
    Chain* chain = FindChain(clientId);
    return chain && chain->flag;
}

const std::vector<StandinEffects::Param>& StandinEffects::ParamsOf(int kind)
{
    // name, value kind, access, parameter kind, initial value, minimum, maximum
    // Plain parameters spread over the access words 1-7 (any of them is a plain one); the
    // meters read in dB.
    static const std::vector<Param> kEffect = {
        {u"Gain", 2, 1, 0, {2, StandinBits(0.5f)}, StandinBits(0.0f), StandinBits(1.0f)},
        {u"Mode", 4, 2, 0, {4, 0}, 0, 2},
        {u"Steps", 1, 3, 0, {1, 1}, 0, 1},
        {u"Level", 2, 9, 0, {2, StandinBits(kMeterFloor)}, StandinBits(kMeterFloor), StandinBits(0.0f)},
        {u"Mix", 2, 4, 0, {2, StandinBits(1.0f)}, StandinBits(0.0f), StandinBits(1.0f)},
        {u"Link", 3, 5, 3, {3, 0}, 0, 1},
        {u"Reset", 0, 6, 0, {0, 0}, 0, 0},
        {u"Taps", 3, 7, 0, {3, 4}, 1, 8},
        {u"Tone", 2, 1, 1, {2, StandinBits(0.5f)}, StandinBits(0.0f), StandinBits(1.0f)},
        {u"Drive", 2, 2, 2, {2, StandinBits(0.0f)}, StandinBits(0.0f), StandinBits(1.0f)},
        {u"Output", 2, 8, 0, {2, StandinBits(kMeterFloor)}, StandinBits(kMeterFloor), StandinBits(0.0f)},
    };
    static const std::vector<Param> kTrim = {
        {u"Gain", 2, 1, 0, {2, StandinBits(0.5f)}, StandinBits(0.0f), StandinBits(1.0f)}};
    static const std::vector<Param> kSignal = {
        {u"Frequency", 1, 1, 0, {1, 1000}, 20, 20000},
        {u"Level", 2, 1, 0, {2, StandinBits(0.25f)}, StandinBits(0.0f), StandinBits(1.0f)}};
    static const std::vector<Param> kPeak = {
        {u"Left", 2, 8, 0, {2, StandinBits(kMeterFloor)}, StandinBits(kMeterFloor), StandinBits(0.0f)},
        {u"Right", 2, 8, 0, {2, StandinBits(kMeterFloor)}, StandinBits(kMeterFloor), StandinBits(0.0f)}};
    static const std::vector<Param> kSend = {
        {u"Send Level", 2, 1, 0, {2, StandinBits(1.0f)}, StandinBits(0.0f), StandinBits(1.0f)}};
    switch (kind)
    {
    case 1:
        return kEffect;
    case 2:
        return kTrim;
    case 3:
        return kSignal;
    case 4:
        return kPeak;
    default:
        return kSend;
    }
}

StandinDescriptorRecord StandinEffects::DescriptorOf(const Param& param, int index)
{
    StandinDescriptorRecord record{};
    record.index = index;
    CopyName(record.name, param.name);
    CopyName(record.unit, param.valueKind == 2 ? u"dB" : u"");
    record.access = param.access;
    record.valueKind = param.valueKind;
    record.minimum = param.minimum;
    record.maximum = param.maximum;
    // The default (byte 536) is the initial value; the tooltip (byte 540) the name.
    std::memcpy(record.detail + 4, &param.initial.value, sizeof(param.initial.value));
    const size_t tipUnits = std::min<size_t>(std::char_traits<char16_t>::length(param.name), 127);
    std::memcpy(record.detail + 8, param.name, tipUnits * sizeof(char16_t));
    return record;
}

std::vector<std::u16string> StandinEffects::ChoicesOf(const Param& param)
{
    return param.valueKind == 4 ? std::vector<std::u16string>(std::begin(kChoices), std::end(kChoices))
                                : std::vector<std::u16string>{};
}

bool StandinEffects::SameId(const VarnEffectId& a, const VarnEffectId& b)
{
    return std::memcmp(a.data, b.data, sizeof(a.data)) == 0;
}

StandinEffects::Effect* StandinEffects::FindEffect(const VarnEffectId& id)
{
    for (Effect& effect : effects_)
        if (SameId(effect.id, id))
            return &effect;
    return nullptr;
}

StandinEffects::Category* StandinEffects::FindCategory(const std::u16string& name)
{
    for (Category& category : categories_)
        if (category.name == name)
            return &category;
    return nullptr;
}

StandinEffects::Preset* StandinEffects::FindPreset(const VarnEffectId& id, Category** in)
{
    for (Category& category : categories_)
        for (Preset& preset : category.presets)
            if (SameId(preset.id, id))
            {
                if (in)
                    *in = &category;
                return &preset;
            }
    return nullptr;
}

StandinEffects::Chain* StandinEffects::FindChain(int clientId)
{
    auto found = chains_.find(clientId);
    return found == chains_.end() ? nullptr : &found->second;
}

StandinEffects::Insert* StandinEffects::FindInsert(int clientId, int position)
{
    Chain* chain = FindChain(clientId);
    if (!chain || position < 0 || position >= static_cast<int>(chain->inserts.size()))
        return nullptr;
    return &chain->inserts[static_cast<size_t>(position)];
}

int StandinEffects::SpecialKindOf(const VarnEffectId& id) const
{
    if (id.data[0] != kSpecialTag || id.data[1] > 2 || id.data[2] > 2 || id.data[3] != 0)
        return -1;
    return static_cast<int>(id.data[1]);
}

int StandinEffects::CostOf(const VarnEffectId& id)
{
    if (SpecialKindOf(id) >= 0)
        return kSpecialCost;
    if (const Effect* effect = FindEffect(id))
        return effect->cost;
    if (const Preset* preset = FindPreset(id))
    {
        int cost = 0;
        for (const PresetEffect& entry : preset->effects)
            cost += CostOf(entry.effect);
        return cost;
    }
    return -1;
}

int StandinEffects::InsertCost(const Insert& insert)
{
    return insert.kind == 1 ? CostOf(insert.effect) : insert.kind <= 4 ? kSpecialCost : 0;
}

bool StandinEffects::EffectInsert(const VarnEffectId& id, Insert* insert)
{
    // An effect of the core category, or a preset of one effect (its values come along).
    if (FindEffect(id))
    {
        *insert = NewInsert(1, id);
        return true;
    }
    const Preset* preset = FindPreset(id);
    if (!preset || preset->effects.size() != 1 || !FindEffect(preset->effects[0].effect))
        return false;
    *insert = NewInsert(1, preset->effects[0].effect);
    insert->values = preset->effects[0].values;
    return true;
}

int StandinEffects::UsedDsp()
{
    int used = stripDsp_;
    for (const auto& [client, chain] : chains_)
        for (const Insert& insert : chain.inserts)
            used += InsertCost(insert);
    return used;
}

int StandinEffects::RateCode()
{
    // The rate comes from the engine's model, whose lock is taken around effects calls: it is
    // asked with lock_ free, so the two locks are never taken the other way round.
    std::function<int()> rateCode;
    {
        std::lock_guard<std::mutex> lock(lock_);
        rateCode = rateCode_;
    }
    return rateCode ? rateCode() : 1;
}

bool StandinEffects::RateAllowsDsp()
{
    const int rate = RateCode();
    return rate == 0 || rate == 1;
}

std::u16string StandinEffects::InsertName(const Insert& insert)
{
    if (insert.kind >= 2 && insert.kind <= 4)
        return kSpecialNames[insert.kind - 2];
    if (insert.kind == 6)
        return u"Send/Return";
    const Effect* effect = FindEffect(insert.effect);
    return effect ? effect->name : std::u16string();
}

StandinInsertInfo StandinEffects::InfoOf(const Insert& insert) const
{
    StandinInsertInfo info{};
    info.wetDryIndex = -1;
    info.hiddenIndex = -1;
    if (insert.kind == 1)
    {
        info.canBypass = 1;
        info.hasWetDry = 1;
        info.hasHidden = 1;
        info.wetDryIndex = 4;
        info.hiddenIndex = 5;
    }
    else if (insert.kind <= 4)
        info.canBypass = 1;
    return info;
}

StandinEffects::Insert StandinEffects::NewInsert(int kind, const VarnEffectId& effect)
{
    Insert insert;
    insert.kind = kind;
    insert.effect = effect;
    for (const Param& param : ParamsOf(kind))
        insert.values.push_back(param.initial);
    insert.notifyId = nextNotifyId_++;
    return insert;
}

int StandinEffects::PlaceInsert(int clientId, int position, Insert insert, void* info, int noDsp, int noRoom)
{
    Chain* chain = FindChain(clientId);
    if (!chain || !info || position < 0 || position > static_cast<int>(chain->inserts.size()))
        return 0;
    if (static_cast<int>(chain->inserts.size()) >= kMaxInserts)
        return noRoom;
    if (UsedDsp() + InsertCost(insert) > kDspBudget)
        return noDsp;
    StandinInsertInfo filled = InfoOf(insert);
    CopyName(filled.shortName, InsertName(insert));
    std::memcpy(info, &filled, sizeof(filled));
    chain->inserts.insert(chain->inserts.begin() + position, std::move(insert));
    PublishRoute(*chain, true);
    return 1;
}

int StandinEffects::GetEffectCatalog(int* count, void** records)
{
    if (!count || !records)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<StandinCategoryRecord> list(1 + categories_.size(), StandinCategoryRecord{});
    CopyName(list[0].name, kCoreCategory);
    list[0].isCore = 1;
    for (size_t i = 0; i < categories_.size(); ++i)
        CopyName(list[i + 1].name, categories_[i].name);
    if (!HandOut(list, records))
        return 0;
    *count = static_cast<int>(list.size());
    return 1;
}

int StandinEffects::GetEffectPresets(const void* category, int* count, void** records)
{
    if (!category || !count || !records)
        return 0;
    StandinCategoryRecord asked{};
    std::memcpy(&asked, category, sizeof(asked));
    asked.name[127] = 0;
    const std::u16string name(asked.name);
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<StandinPresetRecord> list;
    if (name == kCoreCategory)
    {
        for (const Effect& effect : effects_)
        {
            StandinPresetRecord record{};
            CopyName(record.name, effect.name);
            record.id = effect.id;
            list.push_back(record);
        }
    }
    else if (const Category* found = FindCategory(name))
    {
        for (const Preset& preset : found->presets)
        {
            StandinPresetRecord record{};
            CopyName(record.name, preset.name);
            record.id = preset.id;
            record.isChain = preset.effects.size() > 1 ? 1 : 0;
            list.push_back(record);
        }
    }
    else
        return 0;
    if (!HandOut(list, records))
        return 0;
    *count = static_cast<int>(list.size());
    return 1;
}

int StandinEffects::GetEffectCorePresets(VarnEffectId id, int* count, void** records)
{
    if (!count || !records)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Effect* effect = FindEffect(id);
    if (!effect || !HandOut(effect->presets, records))
        return 0;
    *count = static_cast<int>(effect->presets.size());
    return 1;
}

int StandinEffects::GetInserts(VarnEffectId id, int* isFactory, int* count, void** effects, int** valueCounts,
                               float** wetDry, int* valueCount, void** values)
{
    if (!count || !effects)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Preset* preset = FindPreset(id);
    if (!preset)
        return 0;
    std::vector<StandinPresetRecord> records;
    std::vector<int> counts;
    std::vector<float> mixes;
    std::vector<StandinPresetValueRecord> stored;
    const std::vector<Param>& params = ParamsOf(1);
    for (const PresetEffect& entry : preset->effects)
    {
        StandinPresetRecord record{};
        record.id = entry.effect;
        const int special = SpecialKindOf(entry.effect);
        if (const Effect* effect = FindEffect(entry.effect))
            CopyName(record.name, effect->name);
        else if (special >= 0)
            CopyName(record.name, kSpecialNames[special]);
        records.push_back(record);
        int kept = 0;
        float mix = 1.0f;
        for (size_t j = 0; j < entry.values.size(); ++j)
        {
            // Values the plug-in can set by name: not the meters, the hidden one, wet/dry or "Reset".
            const Param& param = params[j];
            if (special >= 0 || param.access == 8 || param.access == 9 || param.paramKind == 3 || param.valueKind == 0)
                continue;
            if (j == 4)
            {
                mix = StandinReal(entry.values[j].value);
                continue;
            }
            StandinPresetValueRecord value{};
            CopyName(value.name, params[j].name);
            value.value = entry.values[j];
            stored.push_back(value);
            ++kept;
        }
        counts.push_back(kept);
        mixes.push_back(mix);
    }
    void* countArray = nullptr;
    void* mixArray = nullptr;
    void* valueArray = nullptr;
    void* effectArray = nullptr;
    const bool ok = HandOut(records, &effectArray) && (!valueCounts || HandOut(counts, &countArray)) &&
                    (!wetDry || HandOut(mixes, &mixArray)) && (!values || HandOut(stored, &valueArray));
    if (!ok)
    {
        for (void* array : {effectArray, countArray, mixArray, valueArray})
            StandinFree(array);
        return 0;
    }
    *effects = effectArray;
    *count = static_cast<int>(records.size());
    if (isFactory)
        *isFactory = preset->factory ? 1 : 0;
    if (valueCounts)
        *valueCounts = static_cast<int*>(countArray);
    if (wetDry)
        *wetDry = static_cast<float*>(mixArray);
    if (valueCount)
        *valueCount = static_cast<int>(stored.size());
    if (values)
        *values = valueArray;
    return 1;
}

VarnEffectId StandinEffects::NewPresetId()
{
    return VarnEffectId{{kPresetTag, 1, nextPreset_++, 0}};
}

void StandinEffects::LibraryChanged(int kind, const std::u16string& category, const void* detail, size_t bytes,
                                    const std::u16string& newName)
{
    lastChange_ = StandinPresetChange{};
    lastChange_.kind = kind;
    CopyName(lastChange_.category, category);
    if (detail)
        std::memcpy(lastChange_.detail, detail, std::min(bytes, sizeof(lastChange_.detail)));
    if (!newName.empty())
        std::memcpy(lastChange_.detail + 16, newName.data(), std::min<size_t>(newName.size(), 127) * 2);
    hasChange_ = true;
    // The payload: the change record, or for a renamed preset the preset's record.
    std::vector<uint8_t> payload;
    const Preset* renamed = kind == 5 && detail ? FindPreset(*static_cast<const VarnEffectId*>(detail)) : nullptr;
    if (renamed)
    {
        payload.resize(sizeof(VarnPresetRecord));
        FillPreset(*renamed, reinterpret_cast<VarnPresetRecord*>(payload.data()));
    }
    else
    {
        payload.resize(sizeof(lastChange_));
        std::memcpy(payload.data(), &lastChange_, sizeof(lastChange_));
    }
    payloads_.emplace_back(kLibraryEvent + kind, std::move(payload));
    if (raise_)
        raise_(kLibraryEvent + kind, reinterpret_cast<VarnEventArg>(payloads_.back().second.data()));
}

void StandinEffects::PresetListChanged(const Effect& effect, int kind, const StandinCorePresetRecord& preset)
{
    lastModelChange_ = StandinParamModelChange{effect.id, kind, preset};
    hasModelChange_ = true;
    if (raise_)
        raise_(kPresetListEvent, kind);
}

int StandinEffects::CreatePreset(int clientId, const char16_t* category, const char16_t* name, int insertCount,
                                 const int* positions)
{
    const std::u16string categoryName = StandinCutName(category);
    const std::u16string presetName = StandinCutName(name);
    if (!StandinIsValidName(presetName) || insertCount < 1 || !positions)
        return 0;
    const int rateClass = std::max(0, RateFamily(RateCode()));
    std::lock_guard<std::mutex> lock(lock_);
    Category* found = FindCategory(categoryName);
    Chain* chain = FindChain(clientId);
    if (!found || !chain)
        return 0;
    std::vector<PresetEffect> effects;
    for (int i = 0; i < insertCount; ++i)
    {
        const Insert* insert = FindInsert(clientId, positions[i]);
        if (!insert || insert->kind == 6)
            return 0;
        const VarnEffectId effect =
            insert->kind == 1 ? insert->effect : StandinSpecialEffectId(insert->kind - 2, rateClass);
        effects.push_back(PresetEffect{effect, insert->values});
    }
    return StorePresetLocked(*found, presetName, std::move(effects));
}

int StandinEffects::StorePresetLocked(Category& category, const std::u16string& name, std::vector<PresetEffect> effects)
{
    for (const Preset& preset : category.presets)
        if (preset.name == name)
            return 0;
    Preset preset{name, NewPresetId(), false, std::move(effects)};
    StandinPresetRecord record{};
    CopyName(record.name, preset.name);
    record.id = preset.id;
    record.isChain = preset.effects.size() > 1 ? 1 : 0;
    category.presets.push_back(std::move(preset));
    if (store_)
        store_->PresetWritten(category.name, category.presets.back(), {});
    LibraryChanged(3, category.name, &record, sizeof(record), {});
    return 1;
}

int StandinEffects::EffectCost(const VarnEffectId& id)
{
    std::lock_guard<std::mutex> lock(lock_);
    return CostOf(id);
}

std::u16string StandinEffects::EffectNameOf(const VarnEffectId& id)
{
    std::lock_guard<std::mutex> lock(lock_);
    const Effect* effect = FindEffect(id);
    return effect ? effect->name : std::u16string();
}

bool StandinEffects::PresetContents(const VarnEffectId& id, std::vector<VarnEffectId>* effects)
{
    std::lock_guard<std::mutex> lock(lock_);
    const Preset* preset = FindPreset(id);
    if (!preset)
        return false;
    if (effects)
        for (const PresetEffect& entry : preset->effects)
            effects->push_back(entry.effect);
    return true;
}

int StandinEffects::CreatePresetOf(const char16_t* category, const char16_t* name,
                                   const std::vector<VarnEffectId>& effects)
{
    const std::u16string categoryName = StandinCutName(category);
    const std::u16string presetName = StandinCutName(name);
    if (!StandinIsValidName(presetName) || effects.empty())
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    Category* found = FindCategory(categoryName);
    if (!found)
        return 0;
    std::vector<PresetEffect> entries;
    for (const VarnEffectId& effect : effects)
        entries.push_back(PresetEffect{effect, {}});
    return StorePresetLocked(*found, presetName, std::move(entries));
}

int StandinEffects::DeletePreset(VarnEffectId id)
{
    std::lock_guard<std::mutex> lock(lock_);
    Category* category = nullptr;
    Preset* preset = FindPreset(id, &category);
    if (!preset || preset->factory)
        return 0;
    if (store_)
        store_->PresetDeleted(category->name, *preset);
    category->presets.erase(category->presets.begin() + (preset - category->presets.data()));
    LibraryChanged(4, category->name, &id, sizeof(id), {});
    return 1;
}

int StandinEffects::RenamePreset(VarnEffectId id, const char16_t* name)
{
    const std::u16string presetName = StandinCutName(name);
    if (!StandinIsValidName(presetName))
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    Category* category = nullptr;
    Preset* preset = FindPreset(id, &category);
    if (!preset || preset->factory)
        return 0;
    for (const Preset& other : category->presets)
        if (other.name == presetName)
            return 0;
    const std::u16string oldName = preset->name;
    preset->name = presetName;
    if (store_)
        store_->PresetWritten(category->name, *preset, oldName);
    LibraryChanged(5, category->name, &id, sizeof(id), presetName);
    return 1;
}

int StandinEffects::CreatePresetCategory(const char16_t* name)
{
    const std::u16string categoryName = StandinCutName(name);
    if (!StandinIsValidName(categoryName) || categoryName == kCoreCategory)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    if (FindCategory(categoryName))
        return 0;
    categories_.push_back(Category{categoryName, {}});
    if (store_)
        store_->CategoryCreated(categoryName);
    LibraryChanged(0, categoryName, nullptr, 0, {});
    return 1;
}

int StandinEffects::DeletePresetCategory(const char16_t* name)
{
    const std::u16string categoryName = StandinCutName(name);
    std::lock_guard<std::mutex> lock(lock_);
    Category* category = FindCategory(categoryName);
    if (!category)
        return 0;
    categories_.erase(categories_.begin() + (category - categories_.data()));
    if (store_)
        store_->CategoryDeleted(categoryName);
    LibraryChanged(1, categoryName, nullptr, 0, {});
    return 1;
}

int StandinEffects::RenamePresetCategory(const char16_t* oldName, const char16_t* newName)
{
    const std::u16string from = StandinCutName(oldName);
    const std::u16string to = StandinCutName(newName);
    if (!StandinIsValidName(to) || to == kCoreCategory)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    Category* category = FindCategory(from);
    if (!category || FindCategory(to))
        return 0;
    category->name = to;
    if (store_)
        store_->CategoryRenamed(from, to);
    char16_t detail[128] = {};
    CopyName(detail, to);
    LibraryChanged(2, from, detail, sizeof(detail), {});
    return 1;
}

int StandinEffects::GetEffectsFit(int count, const VarnEffectId* ids, int* fits)
{
    if (count < 0 || (count > 0 && (!ids || !fits)))
        return 0;
    const bool rateAllows = RateAllowsDsp();
    std::lock_guard<std::mutex> lock(lock_);
    const int left = kDspBudget - UsedDsp();
    for (int i = 0; i < count; ++i)
    {
        const int cost = FindEffect(ids[i]) || SpecialKindOf(ids[i]) >= 0 ? CostOf(ids[i]) : -1;
        fits[i] = cost >= 0 && cost <= left && rateAllows ? 1 : 0;
    }
    return 1;
}

int StandinEffects::GetPresetsFit(int count, const VarnEffectId* ids, int* fits)
{
    if (count < 0 || (count > 0 && (!ids || !fits)))
        return 0;
    const bool rateAllows = RateAllowsDsp();
    std::lock_guard<std::mutex> lock(lock_);
    const int left = kDspBudget - UsedDsp();
    for (int i = 0; i < count; ++i)
    {
        const int cost = CostOf(ids[i]);
        fits[i] = cost >= 0 && cost <= left && rateAllows ? 1 : 0;
    }
    return 1;
}

int StandinEffects::SetInsertEffect(VarnEffectId id, int clientId, int position, void* info, int)
{
    const bool rateAllows = RateAllowsDsp();
    std::lock_guard<std::mutex> lock(lock_);
    if (!rateAllows)
        return 0;
    Insert insert;
    if (!EffectInsert(id, &insert))
        return 0;
    return PlaceInsert(clientId, position, std::move(insert), info, 2, 6);
}

int StandinEffects::SetSpecialInsert(int specialKind, int clientId, int position, void* info, int)
{
    const bool rateAllows = RateAllowsDsp();
    std::lock_guard<std::mutex> lock(lock_);
    if (!rateAllows || specialKind < 0 || specialKind > 2)
        return 0;
    return PlaceInsert(clientId, position, NewInsert(specialKind + 2, VarnEffectId{}), info, 3, 9);
}

int StandinEffects::SetSendReturnInsertRouting(int clientId, int position, int send1, int send2, int return1,
                                               int return2, int, void* info)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (send1 != 2 || return1 != 2 || send2 < 0 || return2 < 0)
        return 0;
    Insert insert = NewInsert(6, VarnEffectId{});
    const int routing[4] = {send1, send2, return1, return2};
    std::copy(routing, routing + 4, insert.routing);
    return PlaceInsert(clientId, position, std::move(insert), info, 0, 0) == 1 ? 1 : 0;
}

int StandinEffects::LoadPresetIntoInsert(VarnEffectId id, int clientId, int position, void* info)
{
    const bool rateAllows = RateAllowsDsp();
    std::lock_guard<std::mutex> lock(lock_);
    Insert* old = FindInsert(clientId, position);
    if (!old || !info || !rateAllows)
        return 0;
    Insert insert;
    if (!EffectInsert(id, &insert))
        return 0;
    if (UsedDsp() - InsertCost(*old) + InsertCost(insert) > kDspBudget)
        return 2;
    StandinInsertInfo filled = InfoOf(insert);
    CopyName(filled.shortName, InsertName(insert));
    std::memcpy(info, &filled, sizeof(filled));
    *old = std::move(insert);
    PublishRoute(clientId, true);
    return 1;
}

int StandinEffects::RemoveInsert(int clientId, int position)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!FindInsert(clientId, position))
        return 0;
    Chain* chain = FindChain(clientId);
    chain->inserts.erase(chain->inserts.begin() + position);
    PublishRoute(*chain, true);
    return 1;
}

int StandinEffects::MoveInsert(int clientId, int from, int to)
{
    std::lock_guard<std::mutex> lock(lock_);
    Chain* chain = FindChain(clientId);
    if (!chain || !FindInsert(clientId, from))
        return 0;
    const int count = static_cast<int>(chain->inserts.size());
    if (to == -1)
        to = count;
    if (to < 0 || to > count)
        return 0;
    Insert moved = std::move(chain->inserts[static_cast<size_t>(from)]);
    chain->inserts.erase(chain->inserts.begin() + from);
    chain->inserts.insert(chain->inserts.begin() + (to > from ? to - 1 : to), std::move(moved));
    PublishRoute(*chain, true);
    return 1;
}

int StandinEffects::SelectPreset(int clientId, int position, int presetIndex)
{
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindInsert(clientId, position);
    const Effect* effect = insert && insert->kind == 1 ? FindEffect(insert->effect) : nullptr;
    if (!effect || presetIndex < 0 || presetIndex >= static_cast<int>(effect->presets.size()))
        return 0;
    insert->values = effect->presetValues[static_cast<size_t>(presetIndex)];
    insert->selected = presetIndex;
    PublishRoute(clientId, false);
    return 1;
}

int StandinEffects::ApplyPresetById(int clientId, int position, int value)
{
    // Stores the insert's values into one of its effect's user presets: the insert keeps
    // them (the user's edits are what is stored) and that preset becomes its selection.
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindInsert(clientId, position);
    Effect* effect = insert && insert->kind == 1 ? FindEffect(insert->effect) : nullptr;
    if (!effect || value < 0 || value >= static_cast<int>(effect->presets.size()) ||
        effect->presets[static_cast<size_t>(value)].isFactory)
        return 0;
    effect->presetValues[static_cast<size_t>(value)] = insert->values;
    insert->selected = value;
    PresetListChanged(*effect, 2, effect->presets[static_cast<size_t>(value)]);
    return 1;
}

int StandinEffects::SetInsertChainFlag(int clientId, int flag)
{
    std::lock_guard<std::mutex> lock(lock_);
    Chain* chain = FindChain(clientId);
    if (!chain)
        return 0;
    chain->flag = flag != 0;
    PublishRoute(*chain, false);
    return 1;
}

int StandinEffects::GetParameterDescriptors(int clientId, int position, int* count, void** descriptors)
{
    if (!count || !descriptors)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Insert* insert = FindInsert(clientId, position);
    if (!insert)
        return 0;
    std::vector<StandinDescriptorRecord> list;
    for (const Param& param : ParamsOf(insert->kind))
    {
        const int index = static_cast<int>(list.size());
        StandinDescriptorRecord record = DescriptorOf(param, index);
        record.maximum = MaximumOf(*insert, index);
        const ParamChange* change = ChangeOf(*insert, index);
        if (change && change->name)
        {
            // The tooltip is the name.
            CopyName(record.name, *change->name);
            std::memset(record.detail + 8, 0, 128 * sizeof(char16_t));
            std::memcpy(record.detail + 8, change->name->data(), change->name->size() * sizeof(char16_t));
        }
        list.push_back(record);
    }
    if (!HandOut(list, descriptors))
        return 0;
    *count = static_cast<int>(list.size());
    return 1;
}

int StandinEffects::GetParameterChoiceNames(int clientId, int position, int parameter, int* count, void** names)
{
    if (!count || !names)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Insert* insert = FindInsert(clientId, position);
    const std::vector<Param>& params = insert ? ParamsOf(insert->kind) : ParamsOf(0);
    if (!insert || parameter < 0 || parameter >= static_cast<int>(params.size()) ||
        params[static_cast<size_t>(parameter)].valueKind != 4)
        return 0;
    struct ChoiceRecord
    {
        char16_t name[128];
    };
    const std::vector<std::u16string> choices = ChoicesOf(*insert, parameter);
    std::vector<ChoiceRecord> list(choices.size());
    for (size_t i = 0; i < list.size(); ++i)
        CopyName(list[i].name, choices[i]);
    if (!HandOut(list, names))
        return 0;
    *count = static_cast<int>(list.size());
    return 1;
}

StandinValue StandinEffects::ReadValue(Insert& insert, int parameter)
{
    const Param& param = ParamsOf(insert.kind)[static_cast<size_t>(parameter)];
    if (param.access == 8 || param.access == 9)
    {
        // A meter moves between reads.
        float level = static_cast<float>(++meterReads_ % 64) / 64.0f;
        PlayedLevel(insert, &level);
        const ParamChange* change = ChangeOf(insert, parameter);
        insert.values[static_cast<size_t>(parameter)] = {
            2, StandinBits(change && change->level ? *change->level : StandinMeterDb(level))};
    }
    return insert.values[static_cast<size_t>(parameter)];
}

int StandinEffects::GetParameterValue(int clientId, int position, int parameter, void* value)
{
    if (!value)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindParameter(clientId, position, parameter);
    if (!insert)
        return 0;
    const StandinValue read = ReadValue(*insert, parameter);
    std::memcpy(value, &read, sizeof(read));
    return 1;
}

int StandinEffects::SetParameterValue(int clientId, int position, int parameter, int kind, int value)
{
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindParameter(clientId, position, parameter);
    return insert ? SetValueLocked(clientId, *insert, parameter, kind, value) : 0;
}

int StandinEffects::SetValueLocked(int clientId, Insert& insert, int parameter, int kind, int value)
{
    const Param& param = ParamsOf(insert.kind)[static_cast<size_t>(parameter)];
    if (param.access == 8 || param.access == 9 || kind != param.valueKind)
        return 0;
    const int32_t maximum = MaximumOf(insert, parameter);
    if (kind == 2)
    {
        const float real = StandinReal(value);
        if (!(real >= StandinReal(param.minimum) && real <= StandinReal(maximum)))
            return 0;
    }
    else if (kind != 0 && (value < param.minimum || value > maximum))
        return 0;
    insert.values[static_cast<size_t>(parameter)] = {kind, kind == 0 ? 0 : value};
    PublishRoute(clientId, false);
    return 1;
}

int StandinEffects::SetInsertBypass(int clientId, int position, int bypass)
{
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindInsert(clientId, position);
    if (!insert || !InfoOf(*insert).canBypass)
        return 0;
    insert->bypassed = bypass != 0;
    PublishRoute(clientId, false);
    return 1;
}

int StandinEffects::SetInsertSolo(int clientId, int position, int solo)
{
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindInsert(clientId, position);
    if (!insert || !InfoOf(*insert).canBypass)
        return 0;
    insert->soloed = solo != 0;
    PublishRoute(clientId, false);
    return 1;
}

int StandinEffects::GetInsertBypass(int clientId, int position, int* bypass)
{
    std::lock_guard<std::mutex> lock(lock_);
    const Insert* insert = FindInsert(clientId, position);
    if (!insert || !bypass)
        return 0;
    *bypass = insert->bypassed ? 1 : 0;
    return 1;
}

int StandinEffects::GetInsertSolo(int clientId, int position, int* solo)
{
    std::lock_guard<std::mutex> lock(lock_);
    const Insert* insert = FindInsert(clientId, position);
    if (!insert || !solo)
        return 0;
    *solo = insert->soloed ? 1 : 0;
    return 1;
}

int StandinEffects::SetAllInsertsBypass(int clientId, int bypass)
{
    std::lock_guard<std::mutex> lock(lock_);
    Chain* chain = FindChain(clientId);
    if (!chain)
        return 0;
    for (Insert& insert : chain->inserts)
        if (InfoOf(insert).canBypass)
            insert.bypassed = bypass != 0;
    PublishRoute(*chain, false);
    return 1;
}

int StandinEffects::CreateCorePreset(int clientId, int position, const char16_t* name)
{
    const std::u16string presetName = StandinCutName(name);
    if (!StandinIsValidName(presetName))
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Insert* insert = FindInsert(clientId, position);
    Effect* effect = insert && insert->kind == 1 ? FindEffect(insert->effect) : nullptr;
    if (!effect)
        return 0;
    for (const StandinCorePresetRecord& preset : effect->presets)
        if (presetName == preset.name)
            return 0;
    StandinCorePresetRecord record{};
    record.number = static_cast<int32_t>(effect->presets.size());
    CopyName(record.name, presetName);
    effect->presets.push_back(record);
    effect->presetValues.push_back(insert->values);
    PresetListChanged(*effect, 0, record);
    return 1;
}

int StandinEffects::DeleteCorePreset(const VarnEffectId* id, int index)
{
    if (!id)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    Effect* effect = FindEffect(*id);
    if (!effect || index < 0 || index >= static_cast<int>(effect->presets.size()) ||
        effect->presets[static_cast<size_t>(index)].isFactory)
        return 0;
    const StandinCorePresetRecord removed = effect->presets[static_cast<size_t>(index)];
    effect->presets.erase(effect->presets.begin() + index);
    effect->presetValues.erase(effect->presetValues.begin() + index);
    for (size_t i = 0; i < effect->presets.size(); ++i)
        effect->presets[i].number = static_cast<int32_t>(i);
    PresetListChanged(*effect, 1, removed);
    return 1;
}

int StandinEffects::RenameCorePreset(const VarnEffectId* id, int index, const char16_t* name)
{
    const std::u16string presetName = StandinCutName(name);
    if (!id || !StandinIsValidName(presetName))
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    Effect* effect = FindEffect(*id);
    if (!effect || index < 0 || index >= static_cast<int>(effect->presets.size()) ||
        effect->presets[static_cast<size_t>(index)].isFactory)
        return 0;
    CopyName(effect->presets[static_cast<size_t>(index)].name, presetName);
    PresetListChanged(*effect, 2, effect->presets[static_cast<size_t>(index)]);
    return 1;
}

int StandinEffects::GetPresetChange(void* change)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!change || !hasChange_)
        return 0;
    std::memcpy(change, &lastChange_, sizeof(lastChange_));
    return 1;
}

int StandinEffects::GetParamModelChange(void* change)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!change || !hasModelChange_)
        return 0;
    std::memcpy(change, &lastModelChange_, sizeof(lastModelChange_));
    return 1;
}

int StandinEffects::GetParameterValuesBatch(int clientId, int count, void* entries)
{
    if (count < 0 || (count > 0 && !entries))
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<StandinBatchEntry> list(static_cast<size_t>(count));
    if (count > 0)
        std::memcpy(list.data(), entries, list.size() * sizeof(StandinBatchEntry));
    for (StandinBatchEntry& entry : list)
    {
        Insert* insert = FindParameter(clientId, entry.position, entry.parameter);
        if (!insert)
            return 0;
    }
    for (StandinBatchEntry& entry : list)
        entry.value = ReadValue(*FindInsert(clientId, entry.position), entry.parameter);
    if (count > 0)
        std::memcpy(entries, list.data(), list.size() * sizeof(StandinBatchEntry));
    return 1;
}

int StandinEffects::GetInsertNotifyId(int clientId, int position, int* notifyId)
{
    std::lock_guard<std::mutex> lock(lock_);
    const Insert* insert = FindInsert(clientId, position);
    if (!insert || !notifyId)
        return 0;
    *notifyId = insert->notifyId;
    return 1;
}

int StandinEffects::GetParameterKinds(int clientId, int position, int* count, int** kinds)
{
    if (!count || !kinds)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    const Insert* insert = FindInsert(clientId, position);
    if (!insert)
        return 0;
    std::vector<int> list;
    for (const Param& param : ParamsOf(insert->kind))
    {
        const ParamChange* change = ChangeOf(*insert, static_cast<int>(list.size()));
        list.push_back(change && change->paramKind ? *change->paramKind : param.paramKind);
    }
    void* block = nullptr;
    if (!HandOut(list, &block))
        return 0;
    *kinds = static_cast<int*>(block);
    *count = static_cast<int>(list.size());
    return 1;
}

int StandinEffects::GetParameterText(int clientId, int position, int parameter, char16_t** text, int maximum)
{
    if (!text || maximum < 1)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindParameter(clientId, position, parameter);
    if (!insert)
        return 0;
    const StandinValue value = ReadValue(*insert, parameter);
    const std::vector<std::u16string> choices = ChoicesOf(*insert, parameter);
    std::u16string shown;
    if (value.kind == 4 && value.value >= 0 && value.value < static_cast<int>(choices.size()))
        shown = choices[static_cast<size_t>(value.value)];
    else
    {
        char ascii[32] = "-";
        if (value.kind == 2)
            std::snprintf(ascii, sizeof(ascii), "%.2f", static_cast<double>(StandinReal(value.value)));
        else if (value.kind != 0)
            std::snprintf(ascii, sizeof(ascii), "%d", value.value);
        for (const char* c = ascii; *c; ++c)
            shown.push_back(static_cast<char16_t>(*c));
    }
    shown.resize(std::min(shown.size(), static_cast<size_t>(maximum - 1)));
    auto* block = static_cast<char16_t*>(StandinAllocate((shown.size() + 1) * sizeof(char16_t)));
    if (!block)
        return 0;
    std::memcpy(block, shown.c_str(), (shown.size() + 1) * sizeof(char16_t));
    *text = block;
    return 1;
}

const StandinEffects::ParamChange* StandinEffects::ChangeOf(const Insert& insert, int parameter)
{
    const auto found = insert.changes.find(parameter);
    return found == insert.changes.end() ? nullptr : &found->second;
}

std::vector<std::u16string> StandinEffects::ChoicesOf(const Insert& insert, int parameter)
{
    const ParamChange* change = ChangeOf(insert, parameter);
    if (change && change->choices)
        return *change->choices;
    return ChoicesOf(ParamsOf(insert.kind)[static_cast<size_t>(parameter)]);
}

int32_t StandinEffects::MaximumOf(const Insert& insert, int parameter)
{
    const ParamChange* change = ChangeOf(insert, parameter);
    if (change && change->choices)
        return static_cast<int32_t>(change->choices->size()) - 1;
    return ParamsOf(insert.kind)[static_cast<size_t>(parameter)].maximum;
}

StandinEffects::Insert* StandinEffects::FindParameter(int clientId, int position, int parameter)
{
    Insert* insert = FindInsert(clientId, position);
    return insert && parameter >= 0 && parameter < static_cast<int>(insert->values.size()) ? insert : nullptr;
}

namespace
{
bool IsParamName(const std::u16string& name)
{
    return !name.empty() && name.size() <= 127;
}
} // namespace

int StandinEffects::ChangeParam(int clientId, int position, int parameter, int* notifyId,
                                const std::function<bool(Insert&, const Param&)>& change)
{
    std::lock_guard<std::mutex> lock(lock_);
    Insert* insert = FindParameter(clientId, position, parameter);
    if (!insert || !notifyId || !change(*insert, ParamsOf(insert->kind)[static_cast<size_t>(parameter)]))
        return 0;
    *notifyId = insert->notifyId;
    return 1;
}

int StandinEffects::HoldMeterLevel(int clientId, int position, int parameter, float level, int* notifyId)
{
    return ChangeParam(clientId, position, parameter, notifyId, [&](Insert& insert, const Param& param) {
        if ((param.access != 8 && param.access != 9) ||
            !(level >= StandinReal(param.minimum) && level <= StandinReal(param.maximum)))
            return false;
        insert.changes[parameter].level = level;
        return true;
    });
}

int StandinEffects::ChangeValue(int clientId, int position, int parameter, double value, int* notifyId)
{
    return ChangeParam(clientId, position, parameter, notifyId, [&](Insert& insert, const Param& param) {
        const int kind = param.valueKind;
        if (kind == 2)
            return SetValueLocked(clientId, insert, parameter, kind, StandinBits(static_cast<float>(value))) == 1;
        return value == std::floor(value) && value >= INT32_MIN && value <= INT32_MAX &&
               SetValueLocked(clientId, insert, parameter, kind, static_cast<int32_t>(value)) == 1;
    });
}

int StandinEffects::ChangeChoices(int clientId, int position, int parameter, const std::vector<std::u16string>& choices,
                                  int* notifyId)
{
    if (choices.empty() || choices.size() > kMaxChoices || !std::all_of(choices.begin(), choices.end(), IsParamName))
        return 0;
    return ChangeParam(clientId, position, parameter, notifyId, [&](Insert& insert, const Param& param) {
        if (param.valueKind != 4)
            return false;
        insert.changes[parameter].choices = choices;
        return true;
    });
}

int StandinEffects::ChangeParamKind(int clientId, int position, int parameter, int paramKind, int* notifyId)
{
    if (paramKind < 0 || paramKind > 4)
        return 0;
    return ChangeParam(clientId, position, parameter, notifyId, [&](Insert& insert, const Param&) {
        insert.changes[parameter].paramKind = paramKind;
        return true;
    });
}

int StandinEffects::ChangeParamName(int clientId, int position, int parameter, const std::u16string& name,
                                    int* notifyId)
{
    if (!IsParamName(name))
        return 0;
    return ChangeParam(clientId, position, parameter, notifyId, [&](Insert& insert, const Param&) {
        insert.changes[parameter].name = name;
        return true;
    });
}

bool StandinEffects::ReserveStripDsp(int units)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (UsedDsp() + units > kDspBudget)
        return false;
    stripDsp_ += units;
    return true;
}

// The card's DSP memory.

void StandinEffects::AttachDspTable(DspTable* table, std::function<void(std::string)> log)
{
    std::lock_guard<std::mutex> lock(lock_);
    dsp_ = table;
    dspLog_ = std::move(log);
    for (auto& entry : chains_)
        PublishRoute(entry.second, false);
}

void StandinEffects::SetClientPair(int clientId, int pair)
{
    std::lock_guard<std::mutex> lock(lock_);
    Chain* chain = FindChain(clientId);
    if (!chain)
        return;
    if (chain->pair != pair)
        ClearRoute(chain->pair);
    chain->pair = pair;
    PublishRoute(*chain, true);
}

void StandinEffects::PublishRoute(int clientId, bool newInserts)
{
    if (Chain* chain = FindChain(clientId))
        PublishRoute(*chain, newInserts);
}

void StandinEffects::PublishRoute(Chain& chain, bool newInserts)
{
    if (newInserts)
        chain.serial = ++nextSerial_;
    if (!dsp_ || chain.pair < 0)
        return;
    // The DSP reads the values it uses by name, whatever else an effect's parameters hold.
    const auto valueOf = [](const Insert& insert, const char16_t* name, StandinValue* value) {
        const std::vector<Param>& params = ParamsOf(insert.kind);
        for (size_t i = 0; i < params.size() && i < insert.values.size(); ++i)
            if (std::u16string(params[i].name) == name)
            {
                *value = insert.values[i];
                return true;
            }
        return false;
    };
    DspRouteSnapshot route;
    route.active = chain.flag ? 1 : 0;
    route.sendPair = static_cast<uint32_t>(chain.pair);
    route.serial = chain.serial;
    route.insertCount = static_cast<uint32_t>(chain.inserts.size());
    for (size_t i = 0; i < chain.inserts.size(); ++i)
    {
        const Insert& insert = chain.inserts[i];
        DspInsertValues& values = route.inserts[i];
        values.kind = static_cast<uint32_t>(insert.kind);
        values.bypass = insert.bypassed ? 1 : 0;
        values.solo = insert.soloed ? 1 : 0;
        StandinValue value{};
        if (valueOf(insert, u"Gain", &value))
            values.gain = StandinReal(value.value);
        if (insert.kind == 1 && valueOf(insert, u"Mix", &value))
            values.mix = StandinReal(value.value);
        if (valueOf(insert, u"Frequency", &value))
            values.frequency = value.value;
        if (insert.kind == 3 && valueOf(insert, u"Level", &value))
            values.level = StandinReal(value.value);
    }
    dsp_->Publish(chain.pair, route);
    if (dspLog_)
        dspLog_("DspRoute " + std::to_string(chain.pair) + " " + std::to_string(route.active ? chain.serial : 0) + " " +
                std::to_string(route.active ? route.insertCount : 0));
}

void StandinEffects::ClearRoute(int pair)
{
    if (!dsp_ || pair < 0)
        return;
    dsp_->Publish(pair, DspRouteSnapshot{});
    if (dspLog_)
        dspLog_("DspRoute " + std::to_string(pair) + " 0 0");
}

bool StandinEffects::PlayedLevel(const Insert& insert, float* level) const
{
    if (!dsp_)
        return false;
    for (const auto& entry : chains_)
    {
        const Chain& chain = entry.second;
        if (chain.pair < 0 || !chain.flag || chain.inserts.empty() || &insert < chain.inserts.data() ||
            &insert >= chain.inserts.data() + chain.inserts.size())
            continue;
        return dsp_->PlayedLevel(chain.pair, chain.serial, static_cast<int>(&insert - chain.inserts.data()), level);
    }
    return false;
}
