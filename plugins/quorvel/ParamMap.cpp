#include "plugins/quorvel/ParamMap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

constexpr size_t kShortNameUnits = 8;
constexpr size_t kParamNameUnits = 22;

void Write(char* text, const char* value)
{
    std::strcpy(text, value);
}

// Halves away from zero.
double RoundHalfAway(double x)
{
    return std::round(x);
}

// A double as a 32-bit integer, saturating instead of overflowing.
int32_t ToInt32(double x)
{
    if (!(x > -2147483648.0))
    {
        return x != x ? 0 : INT32_MIN;
    }
    return x < 2147483647.0 ? static_cast<int32_t>(x) : INT32_MAX;
}

double Numeric(const ParamValue& value)
{
    // Kind 0 carries the integer of a value-kind-0 parameter (0 when the pair has no value).
    switch (value.kind)
    {
    case 0:
    case 1:
    case 3:
    case 4:
        return value.AsInteger();
    case 2:
        return value.AsReal();
    default:
        return 0.0;
    }
}

} // namespace

void NarrowText(const char16_t* text, char* out, size_t size)
{
    if (size == 0)
    {
        return;
    }
    size_t units = 0;
    while (text[units] != 0)
    {
        ++units;
    }
#ifdef _WIN32
    int written = 0;
    if (units > 0)
    {
        written = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text), static_cast<int>(units), out,
                                      static_cast<int>(size - 1), "?", nullptr);
        if (written == 0)
        {
            // Too long for the buffer: convert what fits, unit by unit.
            std::string whole;
            char one[8];
            for (size_t i = 0; i < units; ++i)
            {
                const int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text + i), 1, one,
                                                  sizeof(one), "?", nullptr);
                if (whole.size() + static_cast<size_t>(n) > size - 1)
                {
                    break;
                }
                whole.append(one, static_cast<size_t>(n));
            }
            std::memcpy(out, whole.data(), whole.size());
            written = static_cast<int>(whole.size());
        }
    }
    out[written] = '\0';
#else
    // The portable build has no code page: ASCII stays, everything else is "?".
    size_t n = 0;
    for (; n < units && n + 1 < size; ++n)
    {
        out[n] = text[n] < 0x80 ? static_cast<char>(text[n]) : '?';
    }
    out[n] = '\0';
#endif
}

namespace
{

// The host's text of a parameter: the insert's short name and the parameter's name.
void MakeName(ParamChain& chain, const InsertParams& insert, const ParamDescriptor& descriptor, int32_t position,
              int32_t index, char* text)
{
    if (chain.GetParamKind(position, index) == 3)
    {
        Write(text, "hidden parameter");
        return;
    }
    char16_t joined[kShortNameUnits + 1 + kParamNameUnits + 1] = {};
    size_t n = 0;
    for (; n < kShortNameUnits && insert.shortName[n] != 0; ++n)
    {
        joined[n] = insert.shortName[n];
    }
    joined[n++] = u':';
    descriptor.Name(joined + n, kParamNameUnits + 1);
    NarrowText(joined, text, ParamMap::kNameCharacters + 1);
}

void SetRange(const ParamDescriptor& descriptor, ParamMap::Record* record)
{
    switch (record->valueKind)
    {
    case 1:
        record->offset = 0.0f;
        record->range = 1.0;
        break;
    case 2:
        record->offset = descriptor.FloatMinimum();
        record->range = static_cast<double>(descriptor.FloatMaximum()) - descriptor.FloatMinimum();
        break;
    default:
        record->offset = static_cast<float>(descriptor.IntegerMinimum());
        record->range = static_cast<double>(descriptor.IntegerMaximum()) - descriptor.IntegerMinimum();
        break;
    }
    // An empty (or nonsense) range maps every host value to the minimum.
    record->inverse = record->range != 0.0 && std::isfinite(record->range) ? 1.0 / record->range : 0.0;
    if (!std::isfinite(record->range))
    {
        record->range = 0.0;
    }
}

} // namespace

std::unique_ptr<ParamMap> ParamMap::Build(ParamChain* chain)
{
    auto map = std::make_unique<ParamMap>();
    if (chain && chain->IsAttached())
    {
        const int32_t positions = chain->InsertCount();
        for (int32_t p = 0; p < positions && map->Count() < kMaxParams; ++p)
        {
            InsertParams insert;
            if (!chain->GetInsert(p, &insert) || !insert.descriptors)
            {
                continue;
            }
            for (int32_t j = 0; j < insert.count && map->Count() < kMaxParams; ++j)
            {
                const ParamDescriptor descriptor(insert.descriptors + static_cast<size_t>(j) * ParamDescriptor::kSize);
                if ((insert.hasHidden && j == insert.hiddenIndex) || descriptor.IsReadOnly() ||
                    (!insert.hasWetDry && j == insert.wetDryIndex))
                {
                    continue;
                }
                Record record{};
                record.valueKind = descriptor.ValueKind();
                record.position = p;
                record.index = j;
                record.vstIndex = map->Count();
                record.insert = insert.identity;
                SetRange(descriptor, &record);
                MakeName(*chain, insert, descriptor, p, j, record.name);
                char16_t unit[ParamDescriptor::kTextUnits + 1] = {};
                descriptor.Unit(unit, sizeof(unit) / sizeof(unit[0]));
                NarrowText(unit, record.label, kLabelCharacters + 1);
                map->records_.push_back(record);
            }
        }
    }
    const size_t count = map->records_.size();
    map->stored_ = std::make_unique<std::atomic<uint64_t>[]>(count);
    map->requested_ = std::make_unique<std::atomic<uint64_t>[]>(count);
    for (size_t i = 0; i < count; ++i)
    {
        map->stored_[i].store(0);
        map->requested_[i].store(0);
    }
    if (chain)
    {
        map->Sync(*chain);
    }
    return map;
}

const ParamMap::Record* ParamMap::Find(int32_t vstIndex) const
{
    return vstIndex >= 0 && vstIndex < Count() ? &records_[static_cast<size_t>(vstIndex)] : nullptr;
}

const ParamMap::Record* ParamMap::FindByInsert(int32_t position, int32_t index) const
{
    for (const Record& record : records_)
    {
        if (record.position == position && record.index == index)
        {
            return &record;
        }
    }
    return nullptr;
}

void ParamMap::Lookup(int32_t vstIndex, int32_t* position, int32_t* index) const
{
    const Record* record = Find(vstIndex);
    *position = record ? record->position : -1;
    *index = record ? record->index : -1;
}

ParamValue ParamMap::ToValue(const Record& record, float normalized)
{
    // The host's value is taken inside 0..1 whatever it sends (NaN counts as 0 here; Request
    // leaves the value alone instead).
    const double n = normalized > 0.0f ? (normalized < 1.0f ? static_cast<double>(normalized) : 1.0) : 0.0;
    const double x = n * record.range;
    switch (record.valueKind)
    {
    case 0:
    case 3:
        return ParamValue::Integer(record.valueKind, ToInt32(RoundHalfAway(x) + record.offset));
    case 1:
        return ParamValue::Integer(1, ToInt32(x));
    case 2: {
        double y = x + record.offset;
        // Beyond +-100 the value is taken in whole steps, which stay inside the range.
        if (y < -100.0 || y > 100.0)
        {
            y = std::clamp(RoundHalfAway(y), static_cast<double>(record.offset),
                           static_cast<double>(record.offset) + record.range);
        }
        return ParamValue::Real(static_cast<float>(y));
    }
    case 4:
        // A selector counts from its minimum like the other integer kinds; one of range 1 is
        // on for any value above 0.
        if (record.range == 1.0)
        {
            return ParamValue::Integer(4, ToInt32((n > 0.0 ? 1.0 : 0.0) + record.offset));
        }
        return ParamValue::Integer(4, ToInt32(RoundHalfAway(x) + record.offset));
    default:
        return ParamValue::Integer(record.valueKind, 0);
    }
}

float ParamMap::ToNormalized(const Record& record, const ParamValue& value)
{
    const double v = Numeric(value);
    double normalized = 0.0;
    switch (record.valueKind)
    {
    case 1:
        // A switch is on for any value but 0, as its display says.
        normalized = v != 0.0 ? 1.0 : 0.0;
        break;
    case 0:
    case 2:
    case 3:
    case 4:
        normalized = (v - record.offset) * record.inverse;
        break;
    default:
        break;
    }
    // The host gets 0..1 also for a value the engine keeps outside the parameter's range.
    return normalized > 0.0 ? (normalized < 1.0 ? static_cast<float>(normalized) : 1.0f) : 0.0f;
}

uint64_t ParamMap::Pack(const ParamValue& value)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(value.kind) + 1u) << 32) | value.bits;
}

ParamValue ParamMap::Unpack(uint64_t word)
{
    ParamValue value;
    value.kind = static_cast<int32_t>(static_cast<uint32_t>(word >> 32) - 1u);
    value.bits = static_cast<uint32_t>(word);
    return value;
}

ParamValue ParamMap::Current(int32_t vstIndex) const
{
    const auto i = static_cast<size_t>(vstIndex);
    const uint64_t requested = requested_[i].load();
    return Unpack(requested != 0 ? requested : stored_[i].load());
}

bool ParamMap::Request(int32_t vstIndex, float value) const
{
    const Record* record = Find(vstIndex);
    // NaN asks for nothing: the parameter keeps its value.
    if (!record || value != value)
    {
        return false;
    }
    requested_[static_cast<size_t>(vstIndex)].store(Pack(ToValue(*record, value)));
    return true;
}

float ParamMap::Get(int32_t vstIndex) const
{
    const Record* record = Find(vstIndex);
    return record ? ToNormalized(*record, Current(vstIndex)) : 0.0f;
}

void ParamMap::Name(int32_t vstIndex, char* text) const
{
    const Record* record = Find(vstIndex);
    Write(text, record ? record->name : "unmapped");
}

void ParamMap::Display(int32_t vstIndex, char* text) const
{
    if (!Find(vstIndex))
    {
        Write(text, " NA ");
        return;
    }
    const ParamValue value = Current(vstIndex);
    switch (value.kind)
    {
    case 1:
        Write(text, value.AsInteger() != 0 ? "On" : "Off");
        break;
    case 2:
        // The host's buffer holds 8 characters; a longer number is cut, not overrun.
        std::snprintf(text, kLabelCharacters + 1, "%.2f", static_cast<double>(value.AsReal()));
        break;
    case 3:
    case 4:
        std::snprintf(text, kLabelCharacters + 1, "%d", static_cast<int>(value.AsInteger()));
        break;
    default:
        Write(text, " - ");
        break;
    }
}

void ParamMap::Label(int32_t vstIndex, char* text) const
{
    const Record* record = Find(vstIndex);
    Write(text, record ? record->label : " NA ");
}

bool ParamMap::InsertIs(ParamChain& chain, const Record& record) const
{
    InsertParams insert;
    return chain.GetInsert(record.position, &insert) && insert.identity == record.insert;
}

void ParamMap::Sync(ParamChain& chain) const
{
    for (size_t i = 0; i < records_.size(); ++i)
    {
        ParamValue value;
        if (InsertIs(chain, records_[i]) && chain.GetParamValue(records_[i].position, records_[i].index, &value))
        {
            stored_[i].store(Pack(value));
        }
    }
}

void ParamMap::StoreRequests(ParamChain& chain, bool direct) const
{
    for (size_t i = 0; i < records_.size(); ++i)
    {
        uint64_t requested = requested_[i].load();
        if (requested == 0)
        {
            continue;
        }
        const Record& record = records_[i];
        ParamValue value;
        if (InsertIs(chain, record))
        {
            chain.StoreParam(record.position, record.index, Unpack(requested), direct);
            // Refused, the insert keeps its value and the host reads that again.
            if (chain.GetParamValue(record.position, record.index, &value))
            {
                stored_[i].store(Pack(value));
            }
        }
        // A newer request that came meanwhile stays for the next round.
        requested_[i].compare_exchange_strong(requested, 0);
    }
}

bool ParamMap::TakeRequests(const ParamMap& previous) const
{
    bool moved = false;
    for (size_t i = 0; i < previous.records_.size(); ++i)
    {
        const uint64_t requested = previous.requested_[i].load();
        const Record& old = previous.records_[i];
        if (requested == 0)
        {
            continue;
        }
        for (size_t j = 0; j < records_.size(); ++j)
        {
            if (records_[j].insert == old.insert && records_[j].index == old.index)
            {
                uint64_t none = 0;
                moved = requested_[j].compare_exchange_strong(none, requested) || moved;
                break;
            }
        }
    }
    return moved;
}

ParamMapSlot::ParamMapSlot() : map_(new ParamMap) {}

ParamMapSlot::~ParamMapSlot()
{
    delete map_.load();
}

ParamMapSlot::Use::Use(ParamMapSlot& slot) : slot_(slot)
{
    for (;;)
    {
        epoch_ = slot_.epoch_.load();
        slot_.readers_[epoch_ & 1].fetch_add(1);
        // Counted under the epoch that is still current: a publisher that moves it on waits
        // for this reader; otherwise count again under the new one.
        if (slot_.epoch_.load() == epoch_)
        {
            break;
        }
        slot_.readers_[epoch_ & 1].fetch_sub(1);
    }
    map_ = slot_.map_.load();
}

ParamMapSlot::Use::~Use()
{
    slot_.readers_[epoch_ & 1].fetch_sub(1);
}

bool ParamMapSlot::Publish(std::unique_ptr<ParamMap> map)
{
    std::lock_guard<std::mutex> one(publish_);
    ParamMap* fresh = map.release();
    std::unique_ptr<ParamMap> old(map_.exchange(fresh));
    const uint32_t epoch = epoch_.load();
    epoch_.store(epoch + 1);
    while (readers_[epoch & 1].load() != 0)
    {
        std::this_thread::yield();
    }
    // No call holds the old map now: what the host asked of it meanwhile is not lost.
    return fresh->TakeRequests(*old);
}
