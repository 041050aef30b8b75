#include "plugins/quorvel/ParamMap.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

constexpr size_t kNameCharacters = 31;
constexpr size_t kShortNameUnits = 8;
constexpr size_t kParamNameUnits = 22;
constexpr size_t kLabelCharacters = 8;

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

ParamMap::ParamMap()
{
    m_records.reserve(kMaxParams);
}

void ParamMap::Rebuild(ParamChain* chain)
{
    m_records.clear();
    if (!chain || !chain->IsAttached())
    {
        return;
    }
    const int32_t positions = chain->InsertCount();
    for (int32_t p = 0; p < positions; ++p)
    {
        InsertParams insert;
        if (!chain->GetInsert(p, &insert) || !insert.descriptors)
        {
            continue;
        }
        for (int32_t j = 0; j < insert.count; ++j)
        {
            const ParamDescriptor descriptor(insert.descriptors + static_cast<size_t>(j) * ParamDescriptor::kSize);
            if ((insert.hasHidden && j == insert.hiddenIndex) || descriptor.IsReadOnly() ||
                (!insert.hasWetDry && j == insert.wetDryIndex))
            {
                continue;
            }
            if (Count() == kMaxParams)
            {
                return;
            }
            Record record{};
            record.valueKind = descriptor.ValueKind();
            record.position = p;
            record.index = j;
            record.vstIndex = Count();
            switch (record.valueKind)
            {
            case 1:
                record.offset = 0.0f;
                record.range = 1.0;
                break;
            case 2:
                record.offset = descriptor.FloatMinimum();
                record.range = static_cast<double>(descriptor.FloatMaximum()) - descriptor.FloatMinimum();
                break;
            default:
                record.offset = static_cast<float>(descriptor.IntegerMinimum());
                record.range = static_cast<double>(descriptor.IntegerMaximum()) - descriptor.IntegerMinimum();
                break;
            }
            // An empty (or nonsense) range maps every host value to the minimum.
            record.inverse = record.range != 0.0 && std::isfinite(record.range) ? 1.0 / record.range : 0.0;
            if (!std::isfinite(record.range))
            {
                record.range = 0.0;
            }
            m_records.push_back(record);
        }
    }
}

const ParamMap::Record* ParamMap::Find(int32_t vstIndex) const
{
    return vstIndex >= 0 && vstIndex < Count() ? &m_records[static_cast<size_t>(vstIndex)] : nullptr;
}

const ParamMap::Record* ParamMap::FindByInsert(int32_t position, int32_t index) const
{
    for (const Record& record : m_records)
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
    const double x = static_cast<double>(normalized) * record.range;
    switch (record.valueKind)
    {
    case 0:
    case 3:
        return ParamValue::Integer(record.valueKind, ToInt32(RoundHalfAway(x) + record.offset));
    case 1:
        return ParamValue::Integer(1, ToInt32(x));
    case 2: {
        double y = x + record.offset;
        // Beyond +-100 the value is taken in whole steps.
        if (y < -100.0 || y > 100.0)
        {
            y = RoundHalfAway(y);
        }
        return ParamValue::Real(static_cast<float>(y));
    }
    case 4:
        if (record.range == 1.0)
        {
            return ParamValue::Integer(4, normalized > 0.0f ? 1 : 0);
        }
        return ParamValue::Integer(4, ToInt32(RoundHalfAway(x)));
    default:
        return ParamValue::Integer(record.valueKind, 0);
    }
}

float ParamMap::ToNormalized(const Record& record, const ParamValue& value)
{
    const double v = Numeric(value);
    switch (record.valueKind)
    {
    case 1:
    case 4:
        return static_cast<float>(v * record.inverse);
    case 0:
    case 2:
    case 3:
        return static_cast<float>((v - record.offset) * record.inverse);
    default:
        return 0.0f;
    }
}

void ParamMap::Set(ParamChain* chain, int32_t vstIndex, float value) const
{
    const Record* record = Find(vstIndex);
    InsertParams insert;
    if (!chain || !record || record->position < 0 || record->index < 0 || !chain->GetInsert(record->position, &insert))
    {
        return;
    }
    chain->StoreParam(record->position, record->index, ToValue(*record, value));
}

float ParamMap::Get(ParamChain* chain, int32_t vstIndex) const
{
    const Record* record = Find(vstIndex);
    ParamValue value;
    if (!chain || !record || !chain->GetParamValue(record->position, record->index, &value))
    {
        return 0.0f;
    }
    return ToNormalized(*record, value);
}

void ParamMap::Name(ParamChain* chain, int32_t vstIndex, char* text) const
{
    const Record* record = Find(vstIndex);
    if (!record)
    {
        Write(text, "unmapped");
        return;
    }
    InsertParams insert;
    if (!chain || !chain->GetInsert(record->position, &insert))
    {
        Write(text, "No Insert");
        return;
    }
    if (record->index >= insert.count || !insert.descriptors)
    {
        Write(text, "Invalid Parameter");
        return;
    }
    if (chain->GetParamKind(record->position, record->index) == 3)
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
    const ParamDescriptor descriptor(insert.descriptors + static_cast<size_t>(record->index) * ParamDescriptor::kSize);
    descriptor.Name(joined + n, kParamNameUnits + 1);
    NarrowText(joined, text, kNameCharacters + 1);
}

void ParamMap::Display(ParamChain* chain, int32_t vstIndex, char* text) const
{
    const Record* record = Find(vstIndex);
    if (!record)
    {
        Write(text, " NA ");
        return;
    }
    ParamValue value;
    if (!chain || !chain->GetParamValue(record->position, record->index, &value))
    {
        return;
    }
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

void ParamMap::Label(ParamChain* chain, int32_t vstIndex, char* text) const
{
    const Record* record = Find(vstIndex);
    if (!record)
    {
        Write(text, " NA ");
        return;
    }
    InsertParams insert;
    if (!chain || !chain->GetInsert(record->position, &insert) || record->index >= insert.count || !insert.descriptors)
    {
        return;
    }
    char16_t unit[ParamDescriptor::kTextUnits + 1] = {};
    ParamDescriptor(insert.descriptors + static_cast<size_t>(record->index) * ParamDescriptor::kSize)
        .Unit(unit, sizeof(unit) / sizeof(unit[0]));
    NarrowText(unit, text, kLabelCharacters + 1);
}
