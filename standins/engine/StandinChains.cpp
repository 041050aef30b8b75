#include "standins/engine/StandinChains.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <mutex>
#include <ostream>
#include <sstream>

#include "mixer/engine/EngineVocabulary.h"
#include "standins/engine/StandinEffects.h"
#include "standins/engine/StandinStrips.h"

namespace fs = std::filesystem;

namespace
{
// Chain ids and insert keys are the engine's, unique in the process, so a program never mixes
// up the chains of an old and a new model.
std::atomic<int> gNextChainId{0x100};
std::atomic<int> gNextInsertKey{0x7000};
std::atomic<int> gNextEffectKey{0x9000};

std::string Utf8(const std::u16string& text)
{
    return fs::path(text).u8string();
}

std::u16string Utf16(const std::string& utf8)
{
    return fs::u8path(utf8).u16string();
}

StandinEffect::Parameter MeterParameter(const char16_t* name)
{
    StandinEffect::Parameter parameter;
    parameter.name = name;
    parameter.controlKind = 7;
    parameter.minimum = -120.0f;
    parameter.maximum = 12.0f;
    parameter.value = parameter.defaultValue = -120.0f;
    return parameter;
}

StandinEffect::Parameter LevelParameter(const char16_t* name, float minimum, float maximum, float value)
{
    StandinEffect::Parameter parameter;
    parameter.name = name;
    parameter.minimum = minimum;
    parameter.maximum = maximum;
    parameter.value = parameter.defaultValue = value;
    return parameter;
}

// A DSP effect's parameter as the library's clients see it (its descriptor and choice names),
// in the mixer effect's value types and control kinds. A read-only value (a meter, access 8 or
// 9) is marked (state 1); the hidden parameter (parameter kind 3) gets no row (state 3).
StandinEffect::Parameter CatalogueParameter(const StandinEffects::Param& param, int index)
{
    const StandinDescriptorRecord descriptor = StandinEffects::DescriptorOf(param, index);
    char16_t tooltip[128] = {};
    std::memcpy(tooltip, descriptor.detail + 8, sizeof(tooltip) - sizeof(char16_t));
    int32_t initial = 0;
    std::memcpy(&initial, descriptor.detail + 4, sizeof(initial));
    const bool real = descriptor.valueKind == 2;
    const bool readOnly = descriptor.access == 8 || descriptor.access == 9;
    StandinEffect::Parameter parameter;
    parameter.name = descriptor.name;
    parameter.unit = descriptor.unit;
    parameter.help = tooltip;
    parameter.minimum = real ? StandinReal(descriptor.minimum) : static_cast<float>(descriptor.minimum);
    parameter.maximum = real ? StandinReal(descriptor.maximum) : static_cast<float>(descriptor.maximum);
    parameter.value = parameter.defaultValue = real ? StandinReal(initial) : static_cast<float>(initial);
    parameter.entries = StandinEffects::ChoicesOf(param);
    parameter.state = param.paramKind == 3 ? 3 : readOnly ? 1 : 0;
    switch (descriptor.valueKind)
    {
    case 0: // no value: a button
        parameter.valueType = 1, parameter.controlKind = 1;
        break;
    case 1: // a toggle
        parameter.valueType = 0, parameter.controlKind = 0;
        break;
    case 3: // a discrete value with its text
        parameter.valueType = 2, parameter.controlKind = 9;
        break;
    case 4:
        parameter.valueType = 3, parameter.controlKind = 4;
        break;
    default:
        parameter.valueType = 4;
        parameter.controlKind = descriptor.access == 8 ? 7 : descriptor.access == 9 ? 8 : 2;
        break;
    }
    return parameter;
}

std::vector<StandinEffect::Parameter> CatalogueParameters()
{
    std::vector<StandinEffect::Parameter> parameters;
    for (const StandinEffects::Param& param : StandinEffects::ParamsOf(1))
        parameters.push_back(CatalogueParameter(param, static_cast<int>(parameters.size())));
    return parameters;
}

std::vector<StandinEffect::Parameter> ParametersOf(int kind)
{
    switch (kind)
    {
    case InsertKind::kMeteredEffect:
        return {MeterParameter(u"Left"), MeterParameter(u"Right")};
    case InsertKind::kTrim:
        return {LevelParameter(u"Gain", -24.0f, 24.0f, 0.0f)};
    case InsertKind::kTestSignal:
        return {LevelParameter(u"Frequency", 20.0f, 20000.0f, 1000.0f), LevelParameter(u"Level", 0.0f, 1.0f, 0.25f)};
    case InsertKind::kBalance:
        return {LevelParameter(u"Balance", -1.0f, 1.0f, 0.0f)};
    default:
        return CatalogueParameters();
    }
}

bool HasEffect(int kind)
{
    return kind != InsertKind::kSend && kind != InsertKind::kSendReturn && kind != InsertKind::kAsioSendReturn;
}

int CostOf(int kind)
{
    return HasEffect(kind) ? StandinChainStore::kSpecialCost : StandinChainStore::kSendCost;
}

// The insert kind of a special effect id of the library (its trim pot, test signal and peak
// meter at any rate class), or -1.
int SpecialKindOf(const VarnEffectId& id)
{
    static const int kKinds[] = {InsertKind::kTrim, InsertKind::kTestSignal, InsertKind::kMeteredEffect};
    for (int special = 0; special < 3; ++special)
        for (int rateClass = 0; rateClass < 3; ++rateClass)
        {
            const VarnEffectId other = StandinSpecialEffectId(special, rateClass);
            if (std::equal(std::begin(id.data), std::end(id.data), std::begin(other.data)))
                return kKinds[special];
        }
    return -1;
}

VarnEffectId SpecialIdOf(int kind)
{
    switch (kind)
    {
    case InsertKind::kTrim:
        return StandinSpecialEffectId(0, 0);
    case InsertKind::kTestSignal:
        return StandinSpecialEffectId(1, 0);
    case InsertKind::kMeteredEffect:
        return StandinSpecialEffectId(2, 0);
    default:
        return VarnEffectId{};
    }
}

std::string IdWords(const VarnEffectId& id)
{
    char text[48];
    std::snprintf(text, sizeof text, "%08x %08x %08x %08x", static_cast<unsigned>(id.data[0]),
                  static_cast<unsigned>(id.data[1]), static_cast<unsigned>(id.data[2]),
                  static_cast<unsigned>(id.data[3]));
    return text;
}

StandinInsert* AsInsert(IVarnInsert* insert)
{
    return static_cast<StandinInsert*>(insert);
}

// Every chain edit holds the mixer's strip lock; a bus of no system (or a system of no mixer)
// cannot be edited.
struct Edit
{
    explicit Edit(StandinBus& bus)
        : system(bus.system && bus.system->mixer && bus.system->chainStore ? bus.system : nullptr),
          lock(system ? std::unique_lock<std::recursive_mutex>(system->mixer->stripLock)
                      : std::unique_lock<std::recursive_mutex>())
    {
    }
    StandinHardware* system;
    std::unique_lock<std::recursive_mutex> lock;
};

int Size(const StandinBus& bus)
{
    return static_cast<int>(bus.inserts.size());
}

void Renumber(StandinBus& bus)
{
    for (int i = 0; i < Size(bus); ++i)
        AsInsert(bus.inserts[i])->Place(&bus, i);
    bus.count = Size(bus);
}

// Where an add goes: -1 or past the end is the end.
int AddPlace(const StandinBus& bus, int position)
{
    return position < 0 || position > Size(bus) ? Size(bus) : position;
}

void PutAt(StandinBus& bus, int position, StandinInsert* insert)
{
    bus.inserts.insert(bus.inserts.begin() + position, insert);
    Renumber(bus);
}

void Raise(StandinHardware& system, StandinBus& bus, int event, int notify)
{
    if (notify)
        system.RaiseEvent(event, bus.GetId());
}

int Logged(StandinHardware* system, StandinBus& bus, const std::string& call, int answer)
{
    if (system)
        system->Log("Chain " + std::to_string(bus.GetId()) + " " + call + " -> " + std::to_string(answer));
    return answer;
}

// The system's own output port, or null.
StandinOutput* OwnOutput(StandinHardware& system, IVarnOutput* port)
{
    if (!port)
        return nullptr;
    for (auto& kind : system.items.ports)
        for (auto& own : kind)
            if (own.get() == port)
                return own.get();
    for (auto& own : system.routing.entries)
        if (own.get() == port)
            return own.get();
    return nullptr;
}

StandinInput* OwnInput(StandinHardware& system, IVarnInput* port)
{
    return port ? system.inputList.Find(port) : nullptr;
}

bool PortTaken(const StandinOutput* port)
{
    return port && (port->source || port->insert || port->overrideBy || port->takenByPlugin);
}

// The two single channels of a pair, or the pair of a single channel (absent ones are null).
std::vector<StandinOutput*> Companions(StandinHardware& system, StandinOutput& port)
{
    std::vector<StandinOutput*> companions;
    const int kind = port.GetKind();
    auto item = [&](int index) -> StandinOutput* {
        auto& list = system.items.ports[kind];
        return index >= 0 && index < static_cast<int>(list.size()) ? list[index].get() : nullptr;
    };
    auto entry = [&](int index) -> StandinOutput* {
        auto& list = system.routing.entries;
        return index >= 0 && index < static_cast<int>(list.size()) ? list[index].get() : nullptr;
    };
    const int first = system.items.GetFirstSingle(kind);
    if (port.channel < 0)
    {
        const int index = port.GetIndex();
        if (kind == OutputKind::kPhysical)
            companions = {entry(2 * index), entry(2 * index + 1)};
        else if (kind == OutputKind::kAsio)
            companions = {item(first + 2 * index), item(first + 2 * index + 1)};
    }
    else
        companions = {item(port.channel / 2)};
    return companions;
}

bool OutputFree(StandinHardware& system, StandinOutput& port)
{
    if (PortTaken(&port))
        return false;
    for (StandinOutput* companion : Companions(system, port))
        if (PortTaken(companion))
            return false;
    return true;
}

bool InputFree(const StandinInput& input)
{
    return !input.assigned && !input.strip && !input.destination && !input.takenByPlugin && input.present;
}

void Link(StandinBus& bus, StandinInsert& insert, StandinOutput* output, StandinInput* input)
{
    if (output)
    {
        output->source = &bus;
        output->insert = &insert;
        if (output->GetKind() != OutputKind::kPhysical)
            output->overrideBy = &insert;
        insert.outputPort = output;
    }
    if (input)
    {
        input->assigned = true;
        input->destination = &insert;
        insert.inputPort = input;
    }
}

// Which sends each send kind takes: the output kinds, then the input kinds (a kind of -1 is
// none).
bool SendPortsFit(int kind, StandinOutput& output, StandinInput* input)
{
    const int out = output.GetKind();
    switch (kind)
    {
    case InsertKind::kSend:
        return !input && (output.channel < 0 || out != OutputKind::kWave);
    case InsertKind::kSendReturn:
        return input && out == OutputKind::kPhysical &&
               (input->GetKind() == InputKind::kStereoPhysical || input->GetKind() == InputKind::kMonoPhysical);
    case InsertKind::kAsioSendReturn: {
        int subKind = -1;
        return input && out == OutputKind::kAsio && input->GetSubKind(&subKind) &&
               (subKind == InputKind::kSubAsioPair || subKind == InputKind::kSubAsioChannel);
    }
    default:
        return false;
    }
}

// The effect a preset's entry makes: its kind and name; false for an effect the library lacks.
bool PresetEntry(StandinEffects& effects, const VarnEffectId& id, int* kind, std::u16string* name)
{
    const int special = SpecialKindOf(id);
    if (special >= 0)
    {
        *kind = special;
        *name = StandinSpecialInsertName(special);
        return true;
    }
    *kind = InsertKind::kEffect;
    *name = effects.EffectNameOf(id);
    return !name->empty();
}

// Reads a preset into new inserts at position, in place of the insert there when replacing.
int PlacePreset(StandinBus& bus, StandinHardware& system, const VarnPresetRecord* record, int position, bool replace,
                int notify)
{
    StandinEffects* effects = system.mixer->effects;
    if (!record || !effects || (replace && (position < 0 || position >= Size(bus))))
        return 0;
    std::vector<VarnEffectId> contents;
    if (!effects->PresetContents(record->id, &contents))
        return VarnPresetUnregistered;
    if (record->effectCount < 0 || record->effectCount > kVarnPresetEffects || contents.empty())
        return VarnPresetCorrupt;
    struct Entry
    {
        int kind;
        std::u16string name;
        VarnEffectId id;
        int cost;
    };
    std::vector<Entry> entries;
    int units = 0;
    for (const VarnEffectId& id : contents)
    {
        Entry entry{0, {}, id, 0};
        if (!PresetEntry(*effects, id, &entry.kind, &entry.name))
            return VarnPresetUnlicensed;
        entry.cost = entry.kind == InsertKind::kEffect ? effects->EffectCost(id) : CostOf(entry.kind);
        units += entry.cost;
        entries.push_back(entry);
    }
    const int room = StandinChainStore::kMaxInserts - Size(bus) + (replace ? 1 : 0);
    if (static_cast<int>(entries.size()) > room || !system.mixer->dsp.reserve || !system.mixer->dsp.reserve(units))
        return VarnPresetPrepareDsp;
    int at = AddPlace(bus, position);
    if (replace)
    {
        StandinInsert* old = AsInsert(bus.inserts[position]);
        bus.inserts.erase(bus.inserts.begin() + position);
        system.chainStore->Remove(*old);
    }
    for (const Entry& entry : entries)
    {
        StandinInsert* insert = system.chainStore->NewInsert(bus, entry.kind, entry.name, entry.id);
        insert->cost = entry.cost;
        bus.inserts.insert(bus.inserts.begin() + at++, insert);
    }
    Renumber(bus);
    Raise(system, bus, replace ? EngineEvent::kInsertReplaced : EngineEvent::kInsertAdded, notify);
    return VarnPresetDone;
}

// An effect or special insert put at position, or in place of the insert there.
int PlaceEffect(StandinBus& bus, StandinHardware& system, int kind, const std::u16string& name, const VarnEffectId& id,
                int cost, int position, bool replace, int notify)
{
    if (replace && (position < 0 || position >= Size(bus)))
        return 0;
    if (!replace && Size(bus) >= StandinChainStore::kMaxInserts)
        return VarnInsertNoDsp;
    if (!system.mixer->dsp.reserve || !system.mixer->dsp.reserve(cost))
        return system.chainStore->PendingUnits() > 0 ? VarnInsertPrepareDsp : VarnInsertNoDsp;
    StandinInsert* insert = system.chainStore->NewInsert(bus, kind, name, id);
    insert->cost = cost;
    if (replace)
    {
        StandinInsert* old = AsInsert(bus.inserts[position]);
        bus.inserts[position] = insert;
        system.chainStore->Remove(*old);
        Renumber(bus);
    }
    else
        PutAt(bus, AddPlace(bus, position), insert);
    Raise(system, bus, replace ? EngineEvent::kInsertReplaced : EngineEvent::kInsertAdded, notify);
    return VarnInsertDone;
}

// An effect of the library added at position or put in the place of the insert there.
int PlaceLibraryEffect(StandinBus& bus, const VarnCoreEffectRecord* effect, int position, bool replace, int notify)
{
    Edit edit(bus);
    const std::string entry = std::string(replace ? "ReplaceEffect " : "AddEffect ") +
                              (effect ? StandinLogText(effect->name) : "(null)") + " " + std::to_string(position) +
                              " " + std::to_string(notify);
    StandinEffects* effects = edit.system ? edit.system->mixer->effects : nullptr;
    const int cost = effects && effect ? effects->EffectCost(effect->id) : -1;
    const std::u16string name = effects && effect ? effects->EffectNameOf(effect->id) : std::u16string();
    if (cost < 0 || name.empty())
        return Logged(edit.system, bus, entry, 0);
    return Logged(
        edit.system, bus, entry,
        PlaceEffect(bus, *edit.system, InsertKind::kEffect, name, effect->id, cost, position, replace, notify));
}

int AddSpecial(StandinBus& bus, int kind, int position, int notify, const char* call)
{
    Edit edit(bus);
    const std::string entry = std::string(call) + " " + std::to_string(position) + " " + std::to_string(notify);
    if (!edit.system || !bus.CanAdd(kind))
        return Logged(edit.system, bus, entry, 0);
    return Logged(edit.system, bus, entry,
                  PlaceEffect(bus, *edit.system, kind, StandinSpecialInsertName(kind), SpecialIdOf(kind), CostOf(kind),
                              position, false, notify));
}

int AddSend(StandinBus& bus, int kind, IVarnOutput* output, IVarnInput* input, int position, int notify,
            const char* call)
{
    Edit edit(bus);
    const std::string entry = std::string(call) + " " + std::to_string(position) + " " + std::to_string(notify);
    if (!edit.system)
        return Logged(nullptr, bus, entry, 0);
    StandinHardware& system = *edit.system;
    StandinOutput* out = OwnOutput(system, output);
    StandinInput* in = OwnInput(system, input);
    const bool wantsInput = kind != InsertKind::kSend;
    if (!out || (wantsInput && !in) || (!wantsInput && input) || !bus.CanAdd(kind) ||
        !SendPortsFit(kind, *out, wantsInput ? in : nullptr) || !OutputFree(system, *out) || (in && !InputFree(*in)))
        return Logged(&system, bus, entry, 0);
    if (!system.mixer->dsp.reserve || !system.mixer->dsp.reserve(CostOf(kind)))
        return Logged(&system, bus, entry,
                      system.chainStore->PendingUnits() > 0 ? VarnInsertPrepareDsp : VarnInsertNoDsp);
    StandinInsert* insert = system.chainStore->NewInsert(bus, kind, {}, VarnEffectId{});
    insert->cost = CostOf(kind);
    Link(bus, *insert, out, in);
    PutAt(bus, AddPlace(bus, position), insert);
    Raise(system, bus, EngineEvent::kInsertAdded, notify);
    return Logged(&system, bus, entry, VarnInsertDone);
}
} // namespace

std::u16string StandinSpecialInsertName(int kind)
{
    switch (kind)
    {
    case InsertKind::kMeteredEffect:
        return u"Peak Meter";
    case InsertKind::kTrim:
        return u"Trim Pot";
    case InsertKind::kTestSignal:
        return u"Test Signal";
    case InsertKind::kBalance:
        return u"Insert Balance";
    default:
        return {};
    }
}

StandinInsert* StandinChainStore::NewInsert(StandinBus& bus, int kind, const std::u16string& effectName,
                                            const VarnEffectId& id)
{
    inserts_.push_back(std::make_unique<StandinInsert>(&bus, 0));
    StandinInsert& insert = *inserts_.back();
    StandinHardware* system = &system_;
    insert.kind = kind;
    insert.key = gNextInsertKey++;
    insert.system = system;
    insert.log = [system](std::string entry) { system->Log(entry); };
    insert.raise = [system](int event, VarnEventArg argument) { system->RaiseEvent(event, argument); };
    if (HasEffect(kind))
    {
        effects_.push_back(std::make_unique<StandinEffect>(effectName, id, gNextEffectKey++, ParametersOf(kind)));
        StandinEffect& effect = *effects_.back();
        effect.log = insert.log;
        effect.raise = insert.raise;
        effect.SetLibrary(system->mixer ? system->mixer->corePresets : nullptr);
        insert.effect = &effect;
        insert.hasWetDry = kind == InsertKind::kEffect;
        insert.wetDry = 1.0f;
    }
    return &insert;
}

void StandinChainStore::Hold(StandinInsert& insert)
{
    StandinDspAccount& dsp = system_.mixer->dsp;
    insert.hasHardware = dsp.reserve && dsp.reserve(insert.cost);
}

void StandinChainStore::Remove(StandinInsert& insert)
{
    if (auto* output = static_cast<StandinOutput*>(insert.outputPort))
    {
        if (output->insert == &insert)
        {
            output->source = nullptr;
            output->insert = nullptr;
        }
        if (output->overrideBy == &insert)
            output->overrideBy = nullptr;
    }
    if (auto* input = static_cast<StandinInput*>(insert.inputPort))
        if (input->destination == &insert)
        {
            input->assigned = false;
            input->destination = nullptr;
        }
    if (auto* effect = static_cast<StandinEffect*>(insert.effect))
        effect->removed = 1;
    if (insert.hasHardware)
        pending_ += insert.cost;
    insert.hasHardware = false;
    insert.Place(nullptr, -1);
}

int StandinChainStore::Reclaim()
{
    const int units = pending_;
    pending_ = 0;
    if (units && system_.mixer && system_.mixer->dsp.give)
        system_.mixer->dsp.give(units);
    return units;
}

int StandinChainStore::HeldUnits() const
{
    int units = pending_;
    for (const auto& insert : inserts_)
        units += insert->GetChain() && insert->hasHardware ? insert->cost : 0;
    return units;
}

std::vector<StandinBus*> StandinChainStore::Buses()
{
    std::vector<StandinBus*> buses;
    for (auto& strip : system_.strips)
        if (strip)
            buses.push_back(&strip->bus);
    for (auto& bus : system_.buses)
        buses.push_back(bus.get());
    return buses;
}

StandinBus* StandinChainStore::FindBus(IVarnInsertChain* chain)
{
    for (StandinBus* bus : Buses())
        if (bus == chain)
            return bus;
    return nullptr;
}

StandinBus::StandinBus(int type) : type_(type), id_(gNextChainId++) {}

IVarnHardware* VARN_CALL StandinBus::GetHardware()
{
    return system;
}

int VARN_CALL StandinBus::CanAdd(int kind)
{
    Edit edit(*this);
    if (!edit.system || Size(*this) >= StandinChainStore::kMaxInserts || kind < 0 || kind > InsertKind::kBalance)
        return 0;
    // The balance sits on strips; an ASIO send/return needs the card's ASIO pairs.
    if (kind == InsertKind::kBalance && type_ != 0)
        return 0;
    if (kind == InsertKind::kAsioSendReturn && edit.system->items.ports[OutputKind::kAsio].empty())
        return 0;
    return 1;
}

int VARN_CALL StandinBus::AddEffect(const VarnCoreEffectRecord* effect, int position, int notify)
{
    return PlaceLibraryEffect(*this, effect, position, false, notify);
}

int VARN_CALL StandinBus::ReplaceEffect(const VarnCoreEffectRecord* effect, int position, int notify)
{
    return PlaceLibraryEffect(*this, effect, position, true, notify);
}

int VARN_CALL StandinBus::AddPreset(const VarnPresetRecord* preset, int position, int notify)
{
    Edit edit(*this);
    const std::string entry = "AddPreset " + std::string(preset ? StandinLogText(preset->name) : "(null)") + " " +
                              std::to_string(position) + " " + std::to_string(notify);
    if (!edit.system)
        return Logged(nullptr, *this, entry, 0);
    return Logged(edit.system, *this, entry, PlacePreset(*this, *edit.system, preset, position, false, notify));
}

int VARN_CALL StandinBus::ReplacePreset(const VarnPresetRecord* preset, int position, int notify)
{
    Edit edit(*this);
    const std::string entry = "ReplacePreset " + std::string(preset ? StandinLogText(preset->name) : "(null)") + " " +
                              std::to_string(position) + " " + std::to_string(notify);
    if (!edit.system)
        return Logged(nullptr, *this, entry, 0);
    return Logged(edit.system, *this, entry, PlacePreset(*this, *edit.system, preset, position, true, notify));
}

int VARN_CALL StandinBus::AddMeterInsert(int position, int notify)
{
    return AddSpecial(*this, InsertKind::kMeteredEffect, position, notify, "AddMeterInsert");
}

int VARN_CALL StandinBus::AddTrimInsert(int position, int notify)
{
    return AddSpecial(*this, InsertKind::kTrim, position, notify, "AddTrimInsert");
}

int VARN_CALL StandinBus::AddTestSignalInsert(int position, int notify)
{
    return AddSpecial(*this, InsertKind::kTestSignal, position, notify, "AddTestSignalInsert");
}

int VARN_CALL StandinBus::AddBalanceInsert(int position, int notify)
{
    return AddSpecial(*this, InsertKind::kBalance, position, notify, "AddBalanceInsert");
}

int VARN_CALL StandinBus::AddSendInsert(IVarnOutput* output, int position, int notify)
{
    return AddSend(*this, InsertKind::kSend, output, nullptr, position, notify, "AddSendInsert");
}

int VARN_CALL StandinBus::AddSendReturnInsert(IVarnOutput* output, IVarnInput* input, int position, int notify)
{
    return AddSend(*this, InsertKind::kSendReturn, output, input, position, notify, "AddSendReturnInsert");
}

int VARN_CALL StandinBus::AddAsioSendReturnInsert(IVarnOutput* output, IVarnInput* input, int position, int notify)
{
    return AddSend(*this, InsertKind::kAsioSendReturn, output, input, position, notify, "AddAsioSendReturnInsert");
}

int VARN_CALL StandinBus::DeleteInserts(const int* indices, int count, int notify)
{
    Edit edit(*this);
    std::string entry = "DeleteInserts";
    std::vector<int> doomed;
    for (int i = 0; indices && i < count && i < StandinChainStore::kMaxInserts * 16; ++i)
    {
        entry += " " + std::to_string(indices[i]);
        doomed.push_back(indices[i]);
    }
    entry += " " + std::to_string(notify);
    std::sort(doomed.begin(), doomed.end());
    doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
    if (!edit.system || doomed.empty() || count < 1 || doomed.front() < 0 || doomed.back() >= Size(*this))
        return Logged(edit.system, *this, entry, 0);
    for (auto at = doomed.rbegin(); at != doomed.rend(); ++at)
    {
        StandinInsert* insert = AsInsert(inserts[*at]);
        inserts.erase(inserts.begin() + *at);
        edit.system->chainStore->Remove(*insert);
    }
    Renumber(*this);
    Raise(*edit.system, *this, EngineEvent::kInsertRemoved, notify);
    return Logged(edit.system, *this, entry, 1);
}

int VARN_CALL StandinBus::DeleteAllInserts(int notify)
{
    Edit edit(*this);
    const std::string entry = "DeleteAllInserts " + std::to_string(notify);
    if (!edit.system || inserts.empty())
        return Logged(edit.system, *this, entry, 0);
    for (IVarnInsert* insert : inserts)
        edit.system->chainStore->Remove(*AsInsert(insert));
    inserts.clear();
    Renumber(*this);
    Raise(*edit.system, *this, EngineEvent::kInsertsCleared, notify);
    return Logged(edit.system, *this, entry, 1);
}

int VARN_CALL StandinBus::MoveInsert(int from, IVarnInsertChain* destination, int to, int notify)
{
    Edit edit(*this);
    const std::string entry = "MoveInsert " + std::to_string(from) + " " +
                              std::to_string(destination ? destination->GetId() : 0) + " " + std::to_string(to) + " " +
                              std::to_string(notify);
    StandinBus* target = edit.system ? edit.system->chainStore->FindBus(destination) : nullptr;
    if (!target || from < 0 || from >= Size(*this) ||
        (target != this && Size(*target) >= StandinChainStore::kMaxInserts))
        return Logged(edit.system, *this, entry, 0);
    StandinInsert* insert = AsInsert(inserts[from]);
    inserts.erase(inserts.begin() + from);
    // The insert ends at the destination position, the end for -1 or past it.
    const int place = to < 0 || to > Size(*target) ? Size(*target) : to;
    if (target == this && place == from)
    {
        inserts.insert(inserts.begin() + from, insert);
        return Logged(edit.system, *this, entry, 0);
    }
    target->inserts.insert(target->inserts.begin() + place, insert);
    Renumber(*this);
    Renumber(*target);
    if (auto* output = static_cast<StandinOutput*>(insert->outputPort))
        if (output->insert == insert)
            output->source = target;
    Raise(*edit.system, *this, EngineEvent::kInsertMoved, notify);
    if (target != this)
        Raise(*edit.system, *target, EngineEvent::kInsertMoved, notify);
    return Logged(edit.system, *this, entry, 1);
}

int VARN_CALL StandinBus::GetBypassedCount()
{
    Edit edit(*this);
    int count = 0;
    for (IVarnInsert* insert : inserts)
        count += insert->HasEffect() && insert->IsBypassed() ? 1 : 0;
    return count;
}

int VARN_CALL StandinBus::GetBypassableCount()
{
    Edit edit(*this);
    int count = 0;
    for (IVarnInsert* insert : inserts)
        count += insert->HasEffect() ? 1 : 0;
    return count;
}

int VARN_CALL StandinBus::BypassAll(int bypass)
{
    Edit edit(*this);
    const std::string entry = "BypassAll " + std::to_string(bypass);
    if (!edit.system || (bypass != 0 && bypass != 1))
        return Logged(edit.system, *this, entry, 0);
    for (IVarnInsert* insert : inserts)
        if (insert->HasEffect() && insert->IsBypassed() != bypass)
            insert->SetBypass(bypass, 1);
    return Logged(edit.system, *this, entry, 1);
}

int VARN_CALL StandinInsert::RetryDsp()
{
    auto* bus = static_cast<StandinBus*>(chain_);
    if (!system || !system->mixer || !bus)
        return 0;
    std::lock_guard<std::recursive_mutex> hold(system->mixer->stripLock);
    if (!hasHardware && position_ >= 0)
    {
        StandinDspAccount& dsp = system->mixer->dsp;
        hasHardware = dsp.reserve && dsp.reserve(cost);
        if (hasHardware)
            system->RaiseEvent(EngineEvent::kInsertFit, bus->GetId());
    }
    system->Log("insert " + std::to_string(key) + " RetryDsp -> " + std::to_string(hasHardware ? 1 : 0));
    return hasHardware ? 1 : 0;
}

// Ports: what is free, what may carry an insert where it goes.
int VARN_CALL StandinItemList::GetFirstSingle(int kind)
{
    if (kind < 0 || kind > 2)
        return 0;
    // The ASIO pairs come first, then their channels; the other kinds list pairs only.
    if (kind == OutputKind::kAsio)
        return (channels[kind] + 1) / 2;
    return static_cast<int>(ports[kind].size());
}

int VARN_CALL StandinItemList::HasFree(int kind, int stereo)
{
    if (!system || kind < 0 || kind > 2)
        return 0;
    std::vector<StandinOutput*> candidates;
    const int first = GetFirstSingle(kind);
    for (int i = 0; i < static_cast<int>(ports[kind].size()); ++i)
        if (ports[kind][i] && (i < first) == (stereo != 0))
            candidates.push_back(ports[kind][i].get());
    if (kind == OutputKind::kPhysical && !stereo)
        for (auto& entry : system->routing.entries)
            candidates.push_back(entry.get());
    for (StandinOutput* port : candidates)
        if (!port->hidden && OutputFree(*system, *port))
            return 1;
    return 0;
}

int VARN_CALL StandinRoutingTable::MayCarry(int kind, int index)
{
    // A send may go wherever the channel exists at the session's rate.
    if (!system || !system->mixer || kind < 0 || kind > 2 || index < 0)
        return 0;
    return system->ChannelExists(kind, system->mixer->rateCode, index);
}

IVarnInputList* VARN_CALL StandinInput::GetList()
{
    return list;
}

IVarnHardware* VARN_CALL StandinInputList::GetSystem()
{
    return system;
}

int VARN_CALL StandinInputList::MayCarry(int kind, int index)
{
    StandinInput* input = Find(GetInput(kind, index));
    return input && input->present && system && system->mixer ? 1 : 0;
}

// The session lines of the chains.
namespace
{
// The system's main bus: its one bus of that type (asked without the main mix, which logs).
StandinBus* MainBus(StandinHardware& system)
{
    for (auto& bus : system.buses)
        if (bus->GetBusType() == 2)
            return bus.get();
    return nullptr;
}

StandinBus* AuxBus(StandinHardware& system, int index)
{
    for (auto& bus : system.buses)
        if (bus->aux && bus->aux->GetIndex() == index)
            return bus.get();
    return nullptr;
}

std::string ChainWords(StandinHardware& system, StandinBus& bus)
{
    if (bus.strip)
        return bus.strip->GetIndex() >= 0 ? "strip " + std::to_string(bus.strip->GetIndex()) : std::string();
    if (bus.aux)
        return "aux " + std::to_string(bus.aux->GetIndex());
    if (&bus == MainBus(system))
        return "main";
    return {};
}

StandinBus* ReadChain(std::istream& fields, StandinHardware& system)
{
    std::string word;
    int index = -1;
    if (!(fields >> word))
        return nullptr;
    if (word == "main")
        return MainBus(system);
    if (!(fields >> index) || index < 0)
        return nullptr;
    if (word == "strip")
    {
        for (auto& strip : system.strips)
            if (strip && !strip->removed && strip->GetIndex() == index)
                return &strip->bus;
        return nullptr;
    }
    if (word == "aux")
        return AuxBus(system, index);
    return nullptr;
}

// An output as "<list> <kind> <index>": list 0 the item list, 1 the routing table.
std::string OutputWords(StandinHardware& system, IVarnOutput* port)
{
    for (int kind = 0; kind < 3; ++kind)
        for (size_t i = 0; i < system.items.ports[kind].size(); ++i)
            if (system.items.ports[kind][i].get() == port)
                return "0 " + std::to_string(kind) + " " + std::to_string(i);
    for (size_t i = 0; i < system.routing.entries.size(); ++i)
        if (system.routing.entries[i].get() == port)
            return "1 2 " + std::to_string(i);
    return {};
}

StandinOutput* ReadOutput(std::istream& fields, StandinHardware& system)
{
    int list = -1, kind = -1, index = -1;
    if (!(fields >> list >> kind >> index) || kind < 0 || kind > 2 || index < 0)
        return nullptr;
    if (list == 0 && index < static_cast<int>(system.items.ports[kind].size()))
        return system.items.ports[kind][index].get();
    if (list == 1 && kind == 2 && index < static_cast<int>(system.routing.entries.size()))
        return system.routing.entries[index].get();
    return nullptr;
}

StandinInput* ReadInput(std::istream& fields, StandinHardware& system)
{
    int kind = -1, index = -1;
    if (!(fields >> kind >> index) || kind < 0 || kind > 3)
        return nullptr;
    return system.inputList.Find(system.inputList.GetInput(kind, index));
}
} // namespace

StandinBus* StandinFindChain(StandinHardware& system, std::istream& words)
{
    if (!system.mixer)
        return nullptr;
    std::lock_guard<std::recursive_mutex> hold(system.mixer->stripLock);
    return ReadChain(words, system);
}

void StandinSaveChains(std::ostream& out, int systemIndex, StandinHardware& system)
{
    if (!system.mixer || !system.chainStore)
        return;
    std::lock_guard<std::recursive_mutex> hold(system.mixer->stripLock);
    out << "chains " << systemIndex << "\n";
    for (StandinBus* bus : system.chainStore->Buses())
    {
        const std::string chain = ChainWords(system, *bus);
        if (chain.empty())
            continue;
        for (IVarnInsert* item : bus->inserts)
        {
            StandinInsert& insert = *AsInsert(item);
            out << "insert " << systemIndex << " " << chain << " " << insert.kind << " " << (insert.bypassed ? 1 : 0)
                << " " << (insert.soloed ? 1 : 0);
            if (HasEffect(insert.kind))
            {
                VarnEffectId id{};
                insert.effect->GetCoreEffectId(&id);
                out << " " << IdWords(id) << " " << Utf8(insert.effect->GetName());
            }
            else
            {
                out << " " << OutputWords(system, insert.outputPort);
                if (auto* input = static_cast<StandinInput*>(insert.inputPort))
                    out << " " << input->GetKind() << " " << input->GetIndex();
            }
            out << "\n";
        }
    }
}

bool StandinLoadChainLine(const std::string& word, std::istream& fields, StandinHardware* system)
{
    if (!system)
        return true; // a system the card lacks: its lines are read and dropped
    if (!system->mixer || !system->chainStore)
        return false;
    std::lock_guard<std::recursive_mutex> hold(system->mixer->stripLock);
    if (word == "chains")
    {
        for (StandinBus* bus : system->chainStore->Buses())
        {
            for (IVarnInsert* insert : bus->inserts)
                system->chainStore->Remove(*AsInsert(insert));
            bus->inserts.clear();
            Renumber(*bus);
        }
        system->chainStore->Reclaim();
        return true;
    }
    StandinBus* bus = ReadChain(fields, *system);
    int kind = -1, bypassed = 0, soloed = 0;
    if (!bus || !(fields >> kind >> bypassed >> soloed) || kind < 0 || kind > InsertKind::kBalance ||
        Size(*bus) >= StandinChainStore::kMaxInserts)
        return false;
    StandinInsert* insert = nullptr;
    if (HasEffect(kind))
    {
        VarnEffectId id{};
        for (std::uint32_t& part : id.data)
        {
            std::string hex;
            if (!(fields >> hex) || hex.size() != 8 || hex.find_first_not_of("0123456789abcdef") != std::string::npos)
                return false;
            part = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
        }
        std::string name;
        std::getline(fields >> std::ws, name);
        if (name.empty())
            return false;
        insert = system->chainStore->NewInsert(*bus, kind, Utf16(name), id);
        StandinEffects* effects = system->mixer->effects;
        const int cost = kind != InsertKind::kEffect ? CostOf(kind) : effects ? effects->EffectCost(id) : 0;
        insert->cost = std::max(cost, 0);
    }
    else
    {
        StandinOutput* output = ReadOutput(fields, *system);
        StandinInput* input = kind == InsertKind::kSend ? nullptr : ReadInput(fields, *system);
        if (!output || (kind != InsertKind::kSend && !input) || !SendPortsFit(kind, *output, input) ||
            !OutputFree(*system, *output) || (input && !InputFree(*input)))
            return false;
        insert = system->chainStore->NewInsert(*bus, kind, {}, VarnEffectId{});
        insert->cost = CostOf(kind);
        Link(*bus, *insert, output, input);
    }
    insert->bypassed = bypassed != 0 && insert->effect;
    insert->soloed = soloed != 0 && insert->effect;
    system->chainStore->Hold(*insert);
    PutAt(*bus, Size(*bus), insert);
    return true;
}

void StandinApplyCardInserts(StandinHardware& system, const HardwareProfile& profile)
{
    using Link = HardwareProfile::Link;
    for (const HardwareProfile::CardInsert& card : profile.cardInserts)
    {
        StandinBus* bus = nullptr;
        if (card.chain.kind == Link::Strip && card.chain.index < static_cast<int>(system.strips.size()))
            bus = &system.strips[card.chain.index]->bus;
        else if (card.chain.kind == Link::Aux)
            bus = AuxBus(system, card.chain.index);
        else if (card.chain.kind == Link::Main)
            bus = MainBus(system);
        if (!bus || Size(*bus) >= StandinChainStore::kMaxInserts)
            continue;
        // The card brings them with its own DSP: they take no units of the account.
        const std::u16string name = card.kind == InsertKind::kEffect ? card.name : StandinSpecialInsertName(card.kind);
        StandinInsert* insert = system.chainStore->NewInsert(*bus, card.kind, name, SpecialIdOf(card.kind));
        PutAt(*bus, Size(*bus), insert);
    }
}

int VARN_CALL StandinFxLibrary::CreatePresetFromInserts(const char16_t* category, const char16_t* name,
                                                        IVarnInsertChain* chain, const int* indices, int count,
                                                        int notify)
{
    std::string entry = "Library CreatePresetFromInserts " + StandinLogText(category) + " " + StandinLogText(name) +
                        " " + std::to_string(count) + " " + std::to_string(notify);
    auto* bus = static_cast<StandinBus*>(chain);
    StandinHardware* system = bus ? bus->system : nullptr;
    if (!system || !system->mixer || !system->chainStore || system->chainStore->FindBus(chain) != bus || !indices ||
        count < 1 || count > kVarnPresetEffects)
        return Logged(entry, 0);
    // The effects are read under the chain's lock; the library takes its own lock after it.
    std::vector<VarnEffectId> effects;
    {
        std::lock_guard<std::recursive_mutex> hold(system->mixer->stripLock);
        for (int i = 0; i < count; ++i)
        {
            IVarnInsert* insert = bus->GetInsert(indices[i]);
            VarnEffectId id{};
            if (!insert || !insert->GetEffect() || !insert->GetEffect()->GetCoreEffectId(&id))
                return Logged(entry, 0);
            // Only effects the library knows go into a preset (a balance or an effect the card
            // brought is left out).
            if (SpecialKindOf(id) >= 0 || !effects_.EffectNameOf(id).empty())
                effects.push_back(id);
        }
    }
    if (!effects_.CreatePresetOf(category, name, effects))
        return Logged(entry, 0);
    std::error_code error;
    fs::create_directories(folder_ / "Effect Presets" / fs::path(StandinCutName(category)), error);
    return Logged(entry, 1);
}
