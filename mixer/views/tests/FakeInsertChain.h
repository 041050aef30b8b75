// An insert chain the test fills by hand, with inserts of any kind, state and port, and the
// calls the views make on it recorded. For the insert-slot tests, native and under Wine.
#pragma once
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "mixer/engine/VarnServices.h"

class FakeEffect final : public IVarnEffect
{
public:
    std::u16string name = u"Effect";
    int parameterCount = 0;
    float minimum = -60.0f, maximum = 6.0f, level = -12.0f;
    int reads = 0; // parameter reads past the count land here too

    const char16_t* VARN_CALL GetName() override { return name.c_str(); }
    const char16_t* VARN_CALL GetSlotName() override { return name.c_str(); }
    int VARN_CALL SelectPreset(int, int) override { return 0; }
    int VARN_CALL GetPresetName(char16_t*, int) override { return 0; }
    int VARN_CALL GetParameterCount() override { return parameterCount; }
    int VARN_CALL GetParameterName(int, char16_t*, int) override { return 0; }
    int VARN_CALL GetValueType(int) override { return 4; }
    int VARN_CALL GetControlKind(int) override { return 7; }
    int VARN_CALL GetFlagValue(int, int) override { return 0; }
    int VARN_CALL GetIntValue(int, int) override { return 0; }
    int VARN_CALL GetSelectorValue(int, int) override { return 0; }
    float VARN_CALL GetRealValue(int index, int) override
    {
        ++reads;
        readIndices.push_back(index);
        return level;
    }
    int VARN_CALL GetSelectorText(int, int, char16_t*, int) override { return 0; }
    int VARN_CALL GetIntRange(int, int*, int*, int*, int*) override { return 0; }
    int VARN_CALL GetSelectorRange(int, int*, int*, int*, int*) override { return 0; }
    int VARN_CALL GetRealRange(int, float* low, float* high, float*, float*) override
    {
        if (low)
            *low = minimum;
        if (high)
            *high = maximum;
        return 1;
    }
    int VARN_CALL SetFlagValue(int, int, int) override { return 0; }
    int VARN_CALL Trigger(int, int, int) override { return 0; }
    int VARN_CALL SetIntValue(int, int, int) override { return 0; }
    int VARN_CALL SetSelectorValue(int, int, int) override { return 0; }
    int VARN_CALL SetRealValue(int, float, int) override { return 0; }
    int VARN_CALL GetUnit(int, char16_t*, int) override { return 0; }
    int VARN_CALL GetHelp(int, char16_t*, int) override { return 0; }
    int VARN_CALL GetParameterState(int) override { return 0; }
    int VARN_CALL GetCoreEffectId(VarnEffectId*) override { return 0; }
    int VARN_CALL GetEventKey() override { return 0; }
    int VARN_CALL IsInternalParameter(int) override { return 0; }
    int VARN_CALL IsLinkedParameter(int) override { return 0; }
    int VARN_CALL GetDisplayText(int, char16_t*, int) override { return 0; }

    std::vector<int> readIndices;
};

// A physical output's routing table and an input list that answer whether a port may carry
// an insert's send or return.
class FakeRoutingTable final : public IVarnRoutingTable
{
public:
    int mayCarry = 1;
    IVarnOutput* VARN_CALL GetEntry(int, int) override { return nullptr; }
    int VARN_CALL GetBase(int) override { return 0; }
    int VARN_CALL MayCarry(int, int) override { return mayCarry; }
};

class FakeInputList final : public IVarnInputList
{
public:
    int mayCarry = 1;
    // The (kind, second value) pairs whose free test answers yes.
    std::set<std::pair<int, int>> free;
    int VARN_CALL GetCount(int) override { return 0; }
    IVarnInput* VARN_CALL GetInput(int, int) override { return nullptr; }
    int VARN_CALL GetFreeCount(int kind, int value) override { return free.count({kind, value}) ? 1 : 0; }
    int VARN_CALL MayCarry(int, int) override { return mayCarry; }
};

// A port that is an output and an input at once, as the tests need it: a single channel or a
// pair, of some channel count.
class FakeOutputPort final : public IVarnOutput
{
public:
    int kind = 2, single = 0, type = 2;
    int VARN_CALL GetKind() override { return kind; }
    int VARN_CALL GetIndex() override { return 0; }
    int VARN_CALL GetType() override { return type; }
    IVarnInsert* VARN_CALL GetOverride() override { return nullptr; }
    IVarnInsertChain* VARN_CALL GetSource() override { return nullptr; }
    IVarnInsert* VARN_CALL GetInsert() override { return nullptr; }
    IVarnRoutingTable* VARN_CALL GetRoutingTable() override { return table; }
    IVarnRoutingTable* table = nullptr;
    int VARN_CALL QueryMixOverride() override { return 0; }
    int VARN_CALL Assign(int, int) override { return 0; }
    int VARN_CALL IsTakenByPlugin() override { return 0; }
    int VARN_CALL IsSingleChannel() override { return single; }
    int VARN_CALL GetChannel() override { return 0; }
    int VARN_CALL IsHidden() override { return 0; }
};

class FakeInputPort final : public IVarnInput
{
public:
    int channels = 2;
    int VARN_CALL GetKind() override { return 2; }
    int VARN_CALL GetIndex() override { return 0; }
    int VARN_CALL IsAssigned() override { return 0; }
    IVarnStrip* VARN_CALL GetStrip() override { return nullptr; }
    IVarnInsert* VARN_CALL GetDestination() override { return nullptr; }
    int VARN_CALL GetSubKind(int*) override { return 0; }
    int VARN_CALL GetChannelCount() override { return channels; }
    int VARN_CALL GetWavePair(int*) override { return 0; }
    int VARN_CALL GetAsioIndex(int*) override { return 0; }
    int VARN_CALL GetMidiFxSend(int*) override { return 0; }
    int VARN_CALL IsTakenByPlugin() override { return 0; }
    int VARN_CALL GetChainEnd(IVarnOutput**) override { return 0; }
    IVarnInputList* VARN_CALL GetList() override { return list; }
    IVarnInputList* list = nullptr;
};

// An aux bus known by its number only.
class FakeAux final : public IVarnAux
{
public:
    explicit FakeAux(int index) : index_(index) {}
    IVarnInsertChain* VARN_CALL GetInsertChain() override { return nullptr; }
    int VARN_CALL GetIndex() override { return index_; }
    float VARN_CALL GetSendLevel() override { return 0.0f; }
    float VARN_CALL GetSendDefault() override { return 0.0f; }
    int VARN_CALL SetSendLevel(float, int) override { return 0; }
    int VARN_CALL GetSendRange(float*, float*) override { return 0; }
    float VARN_CALL GetReturnLevel() override { return 0.0f; }
    float VARN_CALL GetReturnDefault() override { return 0.0f; }
    int VARN_CALL SetReturnLevel(float, int) override { return 0; }
    int VARN_CALL GetReturnRange(float*, float*) override { return 0; }

private:
    int index_;
};

// A system whose only channel item is one ASIO output (recording a mix unless its type is 2),
// without inputs; its free tests answer yes for the pairs the test lists; it prepares its DSP
// when asked and counts it.
class FakeHardware final : public IVarnHardware, public IVarnItemList
{
public:
    FakeOutputPort asioOut;
    FakeInputList inputs;
    // The (kind, stereo) pairs of the outputs' free test that answer yes.
    std::set<std::pair<int, int>> freeOutputs;
    int prepared = 0;
    FakeHardware()
    {
        asioOut.kind = 1;
        asioOut.type = 0;
    }

    int VARN_CALL HasFeature(int) override { return 0; }
    IVarnSettings* VARN_CALL GetSettings() override { return nullptr; }
    IVarnMainMix* VARN_CALL GetMainMix() override { return nullptr; }
    IVarnInputList* VARN_CALL GetInputList() override { return &inputs; }
    IVarnItemList* VARN_CALL GetItemList() override { return this; }
    int VARN_CALL GetModelCode() override { return 0; }
    int VARN_CALL IsMaster() override { return 1; }
    int VARN_CALL PrepareDsp() override { return ++prepared; }
    IVarnFitChecker* VARN_CALL GetFitChecker() override { return nullptr; }
    int VARN_CALL ChannelExists(int, int, int) override { return 1; }
    int VARN_CALL GetRates(int, VarnCodeList*) override { return 0; }
    IVarnDriver* VARN_CALL GetDriver() override { return nullptr; }

    int VARN_CALL GetCount(int kind) override { return kind == 1 ? 1 : 0; }
    IVarnOutput* VARN_CALL GetPort(int kind, int index) override
    {
        return kind == 1 && index == 0 ? &asioOut : nullptr;
    }
    int VARN_CALL GetChannelCount(int kind) override { return GetCount(kind); }
    int VARN_CALL HasFree(int kind, int stereo) override { return freeOutputs.count({kind, stereo}) ? 1 : 0; }
};

class FakeInsertChain;

class FakeInsert final : public IVarnInsert
{
public:
    int kind = 0, bypassed = 0, soloed = 0, dsp = 1, key = 0;
    FakeEffect effect;
    IVarnOutput* send = nullptr;
    IVarnInput* back = nullptr;
    FakeInsertChain* chain = nullptr;

    int VARN_CALL GetKind() override { return kind; }
    IVarnEffect* VARN_CALL GetEffect() override { return HasEffect() ? &effect : nullptr; }
    IVarnOutput* VARN_CALL GetOutputPort() override { return send; }
    IVarnInput* VARN_CALL GetInputPort() override { return back; }
    int VARN_CALL GetPosition() override;
    int VARN_CALL GetEventKey() override { return key; }
    int VARN_CALL HasWetDry() override { return 0; }
    float VARN_CALL GetWetDry() override { return 1.0f; }
    int VARN_CALL SetWetDry(float, int) override { return 0; }
    int VARN_CALL HasEffect() override { return kind != 1 && kind != 2 && kind != 6; }
    int VARN_CALL IsBypassed() override { return bypassed; }
    int VARN_CALL SetBypass(int value, int) override
    {
        bypassed = value;
        return 1;
    }
    int VARN_CALL IsSoloed() override { return soloed; }
    int VARN_CALL SetSolo(int value, int) override
    {
        soloed = value;
        return 1;
    }
    int VARN_CALL HasHardware() override { return dsp; }
    IVarnInsertChain* VARN_CALL GetChain() override;
};

class FakeInsertChain final : public IVarnInsertChain
{
public:
    explicit FakeInsertChain(int busType = 0) : busType_(busType) {}

    // A new insert of the kind at the end (or at position); the chain owns it.
    FakeInsert& Add(int kind, const char16_t* name = u"Effect") { return AddAt(-1, kind, name); }
    FakeInsert& AddAt(int position, int kind, const char16_t* name = u"Effect")
    {
        owned_.push_back(std::make_unique<FakeInsert>());
        FakeInsert& insert = *owned_.back();
        insert.kind = kind;
        insert.effect.name = name;
        insert.chain = this;
        insert.key = 5000 + static_cast<int>(owned_.size());
        order_.insert(position < 0 ? order_.end() : order_.begin() + position, &insert);
        return insert;
    }
    void RemoveAt(int index) { order_.erase(order_.begin() + index); }
    int IndexOf(const FakeInsert* insert) const
    {
        for (size_t i = 0; i < order_.size(); ++i)
            if (order_[i] == insert)
                return static_cast<int>(i);
        return -1;
    }

    int VARN_CALL GetCount() override { return static_cast<int>(order_.size()); }
    IVarnInsert* VARN_CALL GetInsert(int index) override
    {
        return index >= 0 && index < GetCount() ? order_[static_cast<size_t>(index)] : nullptr;
    }
    int VARN_CALL GetBusType() override { return busType_; }
    IVarnStrip* VARN_CALL GetStrip() override { return nullptr; }
    IVarnAux* VARN_CALL GetAux() override { return aux; }
    int VARN_CALL GetId() override { return id; }
    IVarnHardware* VARN_CALL GetHardware() override { return hardware; }
    int VARN_CALL CanAdd(int kind) override { return (canAdd >> kind) & 1; }

    // The add and replace operations answer the next of results (1 when none is left).
    int VARN_CALL AddEffect(const VarnCoreEffectRecord*, int position, int) override
    {
        return Answer("AddEffect", position);
    }
    int VARN_CALL ReplaceEffect(const VarnCoreEffectRecord*, int position, int) override
    {
        return Answer("ReplaceEffect", position);
    }
    int VARN_CALL AddPreset(const VarnPresetRecord*, int position, int) override
    {
        return Answer("AddPreset", position);
    }
    int VARN_CALL ReplacePreset(const VarnPresetRecord*, int position, int) override
    {
        return Answer("ReplacePreset", position);
    }
    int VARN_CALL AddMeterInsert(int position, int) override { return Answer("AddMeterInsert", position); }
    int VARN_CALL AddBalanceInsert(int position, int) override { return Answer("AddBalanceInsert", position); }
    int VARN_CALL DeleteInserts(const int* indices, int count, int) override
    {
        std::string line = "DeleteInserts";
        for (int i = count - 1; i >= 0; --i)
        {
            line = line + " " + std::to_string(indices[i]);
            RemoveAt(indices[i]);
        }
        calls.push_back(line);
        return 1;
    }
    int VARN_CALL DeleteAllInserts(int) override
    {
        calls.push_back("DeleteAllInserts");
        order_.clear();
        return 1;
    }
    int VARN_CALL MoveInsert(int from, IVarnInsertChain* to, int position, int) override
    {
        calls.push_back("MoveInsert " + std::to_string(from) + " " + std::to_string(position));
        auto* target = static_cast<FakeInsertChain*>(to);
        if (refuseMoves || from < 0 || from >= GetCount())
            return 0;
        FakeInsert* insert = order_[static_cast<size_t>(from)];
        order_.erase(order_.begin() + from);
        insert->chain = target;
        auto& into = target->order_;
        into.insert(position < 0 || position >= static_cast<int>(into.size()) ? into.end() : into.begin() + position,
                    insert);
        return 1;
    }
    int VARN_CALL GetBypassedCount() override
    {
        int n = 0;
        for (FakeInsert* insert : order_)
            n += insert->HasEffect() && insert->bypassed;
        return n;
    }
    int VARN_CALL GetBypassableCount() override
    {
        int n = 0;
        for (FakeInsert* insert : order_)
            n += insert->HasEffect();
        return n;
    }
    int VARN_CALL BypassAll(int bypass) override
    {
        calls.push_back("BypassAll " + std::to_string(bypass));
        return 1;
    }

    int id = 20;
    IVarnAux* aux = nullptr;
    IVarnHardware* hardware = nullptr;
    int canAdd = 0xFF;
    int refuseMoves = 0;
    std::vector<int> results;
    std::vector<std::string> calls;

private:
    int Answer(const char* what, int position)
    {
        calls.push_back(std::string(what) + " " + std::to_string(position));
        if (results.empty())
            return 1;
        const int result = results.front();
        results.erase(results.begin());
        return result;
    }

    int busType_;
    std::vector<std::unique_ptr<FakeInsert>> owned_;
    std::vector<FakeInsert*> order_;
};

inline int VARN_CALL FakeInsert::GetPosition()
{
    return chain ? chain->IndexOf(this) : -1;
}

inline IVarnInsertChain* VARN_CALL FakeInsert::GetChain()
{
    return chain;
}
