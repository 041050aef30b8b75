#pragma once
// An insert chain held in memory for the parameter tests: inserts with descriptors built
// from a few fields, values stored as they are set.

#include "plugins/quorvel/ParamChain.h"

#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct FakeParam
{
    std::u16string name;
    std::u16string unit;
    int32_t valueKind = 0;
    int32_t access = 0;
    int32_t minimum = 0; // integers, or the bits of a float for value kind 2
    int32_t maximum = 0;
    int32_t paramKind = 0;
};

inline FakeParam FloatParam(std::u16string name, float minimum, float maximum)
{
    FakeParam param;
    param.name = std::move(name);
    param.valueKind = 2;
    std::memcpy(&param.minimum, &minimum, 4);
    std::memcpy(&param.maximum, &maximum, 4);
    return param;
}

inline FakeParam IntParam(std::u16string name, int32_t valueKind, int32_t minimum, int32_t maximum)
{
    FakeParam param;
    param.name = std::move(name);
    param.valueKind = valueKind;
    param.minimum = minimum;
    param.maximum = maximum;
    return param;
}

// The server's descriptors of the parameters, one after the other.
inline std::vector<uint8_t> MakeDescriptors(const std::vector<FakeParam>& params)
{
    std::vector<uint8_t> descriptors(params.size() * ParamDescriptor::kSize, 0);
    for (size_t j = 0; j < params.size(); ++j)
    {
        uint8_t* d = &descriptors[j * ParamDescriptor::kSize];
        const FakeParam& p = params[j];
        std::memcpy(d + ParamDescriptor::kNameOffset, p.name.data(), 2 * p.name.size());
        std::memcpy(d + ParamDescriptor::kUnitOffset, p.unit.data(), 2 * p.unit.size());
        std::memcpy(d + 516, &p.access, 4);
        std::memcpy(d + 520, &p.valueKind, 4);
        std::memcpy(d + 524, &p.minimum, 4);
        std::memcpy(d + 528, &p.maximum, 4);
    }
    return descriptors;
}

class FakeChain final : public ParamChain
{
public:
    struct Insert
    {
        std::u16string shortName;
        std::vector<FakeParam> params;
        bool hasWetDry = false;
        bool hasHidden = false;
        int32_t wetDryIndex = -1;
        int32_t hiddenIndex = -1;
        std::vector<uint8_t> descriptors;
        std::vector<ParamValue> values;
        int32_t shownCount = -1; // the count the insert answers; -1: all of its parameters
        uint32_t identity = 0;
    };

    bool attached = true;
    std::vector<Insert> inserts; // an empty short name and no parameters: no insert at that position
    std::vector<std::pair<int32_t, int32_t>> stored; // (position, index) of every StoreParam
    int directStores = 0;
    std::atomic<int> storeRequests{0}; // StoreRequestedParams calls (from the services thread)

    Insert& Add(std::u16string shortName, std::vector<FakeParam> params)
    {
        Insert insert;
        insert.shortName = std::move(shortName);
        insert.identity = static_cast<uint32_t>(inserts.size()) + 1;
        insert.params = std::move(params);
        insert.descriptors = MakeDescriptors(insert.params);
        insert.values.resize(insert.params.size());
        for (size_t j = 0; j < insert.params.size(); ++j)
        {
            insert.values[j].kind = insert.params[j].valueKind;
        }
        inserts.push_back(std::move(insert));
        return inserts.back();
    }
    void AddEmpty() { inserts.emplace_back(); }

    bool IsAttached() const override { return attached; }
    int32_t InsertCount() override { return static_cast<int32_t>(inserts.size()); }
    bool GetInsert(int32_t position, InsertParams* params) override
    {
        const Insert* insert = Find(position);
        if (!insert)
        {
            return false;
        }
        params->descriptors = insert->descriptors.empty() ? nullptr : insert->descriptors.data();
        params->count = insert->shownCount >= 0 ? insert->shownCount : static_cast<int32_t>(insert->params.size());
        std::memset(params->shortName, 0, sizeof(params->shortName));
        std::memcpy(params->shortName, insert->shortName.data(), 2 * std::min<size_t>(insert->shortName.size(), 10));
        params->hasWetDry = insert->hasWetDry;
        params->hasHidden = insert->hasHidden;
        params->wetDryIndex = insert->wetDryIndex;
        params->hiddenIndex = insert->hiddenIndex;
        params->identity = insert->identity;
        return true;
    }
    bool GetParamValue(int32_t position, int32_t index, ParamValue* value) override
    {
        const Insert* insert = Find(position);
        if (!insert || index < 0 || index >= static_cast<int32_t>(insert->values.size()))
        {
            return false;
        }
        *value = insert->values[static_cast<size_t>(index)];
        return true;
    }
    bool StoreParam(int32_t position, int32_t index, const ParamValue& value, bool direct) override
    {
        directStores += direct ? 1 : 0;
        Insert* insert = Find(position);
        if (!insert || index < 0 || index >= static_cast<int32_t>(insert->values.size()))
        {
            return false;
        }
        stored.emplace_back(position, index);
        insert->values[static_cast<size_t>(index)] = value;
        return true;
    }
    void StoreRequestedParams() override { ++storeRequests; }
    int32_t GetParamKind(int32_t position, int32_t index) override
    {
        const Insert* insert = Find(position);
        return insert && index >= 0 && index < static_cast<int32_t>(insert->params.size())
                   ? insert->params[static_cast<size_t>(index)].paramKind
                   : 4;
    }

private:
    Insert* Find(int32_t position)
    {
        if (position < 0 || position >= static_cast<int32_t>(inserts.size()) ||
            inserts[static_cast<size_t>(position)].shortName.empty())
        {
            return nullptr;
        }
        return &inserts[static_cast<size_t>(position)];
    }
};
