#include "mixer/dialogs/InsertPortChoices.h"

#include "mixer/dialogs/NewStripChoices.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/PortNames.h"

namespace
{
bool Taken(IVarnOutput* port)
{
    return port && port->GetSource() != nullptr;
}

// A missing input counts as free.
bool Taken(IVarnInput* port)
{
    return port && port->IsAssigned() != 0;
}

IVarnMixer* MixerOf(IVarnHardware* system)
{
    return system ? system->GetMixer() : nullptr;
}

int RateOf(IVarnHardware* system)
{
    IVarnMixer* mixer = MixerOf(system);
    return mixer ? mixer->GetRateCode() : 0;
}

void AppendBracketed(String& text, const String& name)
{
    text.AppendAscii(" [");
    text.Append(name);
    text.AppendAscii("]");
}

void AppendAsioFrom(String& text, StringTable& strings)
{
    if (const String* from = strings.FindStringById("IDS_ASIO_FROM"))
        text.Append(*from);
    text.AppendAscii(" OUT ");
}

// The entry of an output: "category name", greyed with the insert that uses it when taken,
// or when a companion channel is taken; false when the port cannot be named.
bool OutputEntry(PortNames& names, IVarnOutput* port, const std::vector<IVarnOutput*>& companions, bool firstOnly,
                 InsertPortEntry& entry)
{
    String first, second;
    if (!names.GetOutputName(port, &first, &second, 0, 0, 0))
        return false;
    if (!firstOnly)
    {
        entry.text.Append(second);
        entry.text.AppendAscii(" ");
    }
    entry.text.Append(first);
    entry.output = port;
    entry.selectable = 1;
    if (Taken(port))
    {
        String user;
        names.GetInsertName(port, &user, 0);
        AppendBracketed(entry.text, user);
        entry.selectable = 0;
    }
    for (IVarnOutput* companion : companions)
        if (Taken(companion))
            entry.selectable = 0;
    return true;
}

// The two single channels of a pair: the ASIO channels follow the pairs in the item list, the
// physical ones are routing-table entries.
std::vector<IVarnOutput*> ChannelsOf(IVarnItemList* items, IVarnOutput* pair)
{
    const int kind = pair->GetKind();
    const int index = pair->GetIndex();
    if (kind == OutputKind::kPhysical)
    {
        IVarnRoutingTable* table = pair->GetRoutingTable();
        if (!table)
            return {};
        const int base = table->GetBase(kind);
        return {table->GetEntry(kind, base + 2 * index), table->GetEntry(kind, base + 2 * index + 1)};
    }
    if (kind == OutputKind::kAsio)
    {
        const int first = items->GetFirstSingle(kind);
        return {items->GetPort(kind, first + 2 * index), items->GetPort(kind, first + 2 * index + 1)};
    }
    return {};
}

// The outputs of one kind: the pairs, then (for a mono strip) the single channels.
void AppendOutputs(IVarnHardware* system, PortNames& names, int kind, bool singles, InsertPortList& list)
{
    IVarnItemList* items = system->GetItemList();
    if (!items)
        return;
    const int rate = RateOf(system);
    std::vector<IVarnOutput*> pairs, channels;
    for (int i = 0; i < items->GetCount(kind); ++i)
        if (IVarnOutput* port = items->GetPort(kind, i))
            (port->IsSingleChannel() ? channels : pairs).push_back(port);
    if (kind == OutputKind::kPhysical && !pairs.empty())
    {
        // The physical single channels are not items: the routing table holds them.
        channels.clear();
        if (IVarnRoutingTable* table = pairs.front()->GetRoutingTable())
        {
            const int base = table->GetBase(kind);
            for (int j = 0; j < 2 * static_cast<int>(pairs.size()); ++j)
                if (IVarnOutput* channel = table->GetEntry(kind, base + j))
                    channels.push_back(channel);
        }
    }
    for (IVarnOutput* pair : pairs)
    {
        InsertPortEntry entry;
        if (system->ChannelExists(kind, rate, pair->GetIndex()) &&
            OutputEntry(names, pair, ChannelsOf(items, pair), false, entry))
            list.entries.push_back(std::move(entry));
    }
    if (!singles)
        return;
    for (IVarnOutput* channel : channels)
    {
        const int pairIndex = channel->GetChannel() / 2;
        InsertPortEntry entry;
        if (system->ChannelExists(kind, rate, pairIndex) &&
            OutputEntry(names, channel, {items->GetPort(kind, pairIndex)}, false, entry))
            list.entries.push_back(std::move(entry));
    }
}

int FirstSelectable(const InsertPortList& list)
{
    for (size_t i = 0; i < list.entries.size(); ++i)
        if (list.entries[i].selectable)
            return static_cast<int>(i);
    return 0;
}

InsertPortEntry DisabledEntry()
{
    InsertPortEntry entry;
    entry.text.AssignAscii("Disabled");
    entry.selectable = 1; // shown as a choice, but it names no port
    return entry;
}

// The entry of a physical input with its companions; the strip that uses it when taken.
void AppendInput(PortNames& names, IVarnInput* port, const std::vector<IVarnInput*>& companions, InsertPortList& list)
{
    String first, second;
    if (!port || !names.GetInputName(port, &first, &second, 1, 0, 0))
        return;
    InsertPortEntry entry;
    entry.text.Append(second);
    entry.text.AppendAscii(" ");
    entry.text.Append(first);
    entry.input = port;
    entry.selectable = !Taken(port);
    for (IVarnInput* companion : companions)
        if (Taken(companion))
            entry.selectable = 0;
    if (Taken(port))
    {
        String strip;
        names.GetStripName(port, &strip, 0);
        if (strip.Length() != 0)
            AppendBracketed(entry.text, strip);
    }
    list.entries.push_back(std::move(entry));
}
} // namespace

InsertPortList BuildSendOutputs(IVarnHardware* system, bool mono, StringTable& strings)
{
    InsertPortList list;
    if (!system)
        return list;
    PortNames names(MixerOf(system), strings);
    AppendOutputs(system, names, OutputKind::kAsio, false, list);
    AppendOutputs(system, names, OutputKind::kWave, mono, list);
    AppendOutputs(system, names, OutputKind::kPhysical, mono, list);
    list.choice = -1;
    for (size_t i = 0; i < list.entries.size() && list.choice < 0; ++i)
        if (list.entries[i].selectable && list.entries[i].output->GetType() == 2)
            list.choice = static_cast<int>(i);
    if (list.choice < 0)
        list.choice = FirstSelectable(list);
    return list;
}

InsertPortLists BuildSendReturnLists(IVarnHardware* system, bool mono, StringTable& strings)
{
    InsertPortLists lists;
    IVarnInputList* inputs = system ? system->GetInputList() : nullptr;
    if (!inputs)
        return lists;
    IVarnHardware* inputSystem = inputs->GetSystem() ? inputs->GetSystem() : system;
    const PhysicalFeatures f = ReadPhysicalFeatures(inputSystem, MixerOf(inputSystem));
    if (f.f9 && !f.f10)
    {
        lists.disabled = true;
        lists.sends.entries.push_back(DisabledEntry());
        lists.returns.entries.push_back(DisabledEntry());
        return lists;
    }
    PortNames names(MixerOf(system), strings);
    AppendOutputs(system, names, OutputKind::kPhysical, mono, lists.sends);
    lists.sends.choice = FirstSelectable(lists.sends);

    const int count = inputs->GetCount(InputKind::kStereoPhysical);
    const bool combined = f.f9; // f9, or f10 with f11
    for (int i = 0; i < count; ++i)
    {
        const int index = StereoListIndex(f, i, count);
        std::vector<IVarnInput*> companions;
        int left = 2 * index + 4, right = 2 * index + 5;
        bool none = combined && f.f10 && index >= count - 1;
        if (i == count - 1 && (f.f4 || f.f2))
            left = 2, right = 3, none = false;
        else if (i == count - 1 && (f.f1 || combined) && !none)
            left = 0, right = 1;
        if (!none)
            companions = {inputs->GetInput(InputKind::kMonoPhysical, left),
                          inputs->GetInput(InputKind::kMonoPhysical, right)};
        AppendInput(names, inputs->GetInput(InputKind::kStereoPhysical, index), companions, lists.returns);
    }
    if (mono)
        for (int i = 0; i < inputs->GetCount(InputKind::kMonoPhysical); ++i)
        {
            const int j = MonoListIndex(f, i);
            const int pair = MonoPairIndex(f, j, count);
            std::vector<IVarnInput*> companions;
            if (pair >= 0)
                companions.push_back(inputs->GetInput(InputKind::kStereoPhysical, pair));
            AppendInput(names, inputs->GetInput(InputKind::kMonoPhysical, j), companions, lists.returns);
        }
    lists.returns.choice = FirstSelectable(lists.returns);
    return lists;
}

InsertPortLists BuildAsioSendReturnLists(IVarnHardware* system, bool mono, StringTable& strings)
{
    InsertPortLists lists;
    IVarnInputList* inputs = system ? system->GetInputList() : nullptr;
    IVarnItemList* items = system ? system->GetItemList() : nullptr;
    if (!inputs || !items)
        return lists;
    PortNames names(MixerOf(system), strings);
    const int pairs = inputs->GetSetSize(InputKind::kSubAsioPair);
    auto returnEntry = [&](IVarnInput* port, std::vector<IVarnInput*> companions, int subKind, int index) {
        InsertPortEntry entry;
        entry.input = port;
        entry.makeSubKind = port ? -1 : subKind;
        entry.makeIndex = port ? -1 : index;
        entry.selectable = !Taken(port);
        for (IVarnInput* companion : companions)
            if (Taken(companion))
                entry.selectable = 0;
        return entry;
    };
    for (int p = 0; p < pairs; ++p)
    {
        IVarnInput* port = inputs->GetHostSource(InputKind::kSubAsioPair, p);
        InsertPortEntry entry = returnEntry(port,
                                            {inputs->GetHostSource(InputKind::kSubAsioChannel, 2 * p),
                                             inputs->GetHostSource(InputKind::kSubAsioChannel, 2 * p + 1)},
                                            InputKind::kSubAsioPair, p);
        AppendAsioFrom(entry.text, strings);
        entry.text.AppendInt(2 * p + 1);
        entry.text.AppendAscii(2 * p + 1 < 10 ? " / " : "/");
        entry.text.AppendInt(2 * p + 2);
        if (port && !entry.selectable)
        {
            String strip;
            names.GetStripName(port, &strip, 0);
            AppendBracketed(entry.text, strip);
        }
        lists.returns.entries.push_back(std::move(entry));
    }
    for (int i = 0; mono && i < 2 * pairs; ++i)
    {
        IVarnInput* port = inputs->GetHostSource(InputKind::kSubAsioChannel, i);
        InsertPortEntry entry =
            returnEntry(port, {inputs->GetHostSource(InputKind::kSubAsioPair, i / 2)}, InputKind::kSubAsioChannel, i);
        AppendAsioFrom(entry.text, strings);
        entry.text.AppendInt(i + 1);
        if (port && !entry.selectable)
        {
            String strip;
            names.GetStripName(port, &strip, 0);
            AppendBracketed(entry.text, strip);
        }
        lists.returns.entries.push_back(std::move(entry));
    }
    lists.returns.choice = FirstSelectable(lists.returns);

    const int rate = RateOf(system);
    for (int i = 0; i < items->GetCount(OutputKind::kAsio); ++i)
    {
        IVarnOutput* port = items->GetPort(OutputKind::kAsio, i);
        if (!port || port->IsSingleChannel() || !system->ChannelExists(OutputKind::kAsio, rate, i))
            continue;
        std::vector<IVarnOutput*> channels = ChannelsOf(items, port);
        // The channels grey the pair only when both exist.
        if (!channels[0] || !channels[1])
            channels.clear();
        InsertPortEntry entry;
        if (OutputEntry(names, port, channels, true, entry))
            lists.sends.entries.push_back(std::move(entry));
    }
    lists.sends.choice = FirstSelectable(lists.sends);
    return lists;
}

IVarnOutput* ChosenOutput(const InsertPortList& list, int index)
{
    if (index < 0 || index >= static_cast<int>(list.entries.size()))
        return nullptr;
    const InsertPortEntry& entry = list.entries[index];
    return entry.selectable && entry.output && !Taken(entry.output) ? entry.output : nullptr;
}

IVarnInput* ChosenInput(const InsertPortList& list, int index)
{
    if (index < 0 || index >= static_cast<int>(list.entries.size()))
        return nullptr;
    const InsertPortEntry& entry = list.entries[index];
    return entry.selectable && entry.input && !Taken(entry.input) ? entry.input : nullptr;
}

bool AsioReturnChoosable(IVarnHardware* system, const InsertPortList& list, int index)
{
    if (ChosenAsioReturn(system, list, index, false))
        return true;
    // A return the engine makes when the insert is added is a choice as well.
    const bool inside = index >= 0 && index < static_cast<int>(list.entries.size());
    return inside && list.entries[index].selectable && !list.entries[index].input &&
           list.entries[index].makeSubKind >= 0 && system && system->GetInputList() &&
           !system->GetInputList()->GetHostSource(list.entries[index].makeSubKind, list.entries[index].makeIndex);
}

IVarnInput* ChosenAsioReturn(IVarnHardware* system, const InsertPortList& list, int index, bool make)
{
    if (index < 0 || index >= static_cast<int>(list.entries.size()))
        return nullptr;
    const InsertPortEntry& entry = list.entries[index];
    if (!entry.selectable)
        return nullptr;
    if (entry.input)
        return Taken(entry.input) ? nullptr : entry.input;
    IVarnInputList* inputs = system ? system->GetInputList() : nullptr;
    if (entry.makeSubKind < 0 || !inputs)
        return nullptr;
    if (IVarnInput* made = inputs->GetHostSource(entry.makeSubKind, entry.makeIndex))
        return Taken(made) ? nullptr : made;
    if (!make)
        return nullptr;
    IVarnInput* port = entry.makeSubKind == InputKind::kSubAsioPair ? inputs->CreatePairPort(entry.makeSubKind)
                                                                    : inputs->CreateChannelPort(entry.makeSubKind);
    if (!port || !port->Select(entry.makeSubKind, entry.makeIndex, 0))
        return nullptr;
    return port;
}
