#include "standins/engine/EngineModel.h"

#include "mixer/engine/EngineVocabulary.h"
#include "standins/engine/StandinEffects.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "standins/engine/StandinChains.h"
#include "standins/engine/StandinStrips.h"

namespace fs = std::filesystem;

namespace
{
std::string Utf8(const std::u16string& text)
{
    return fs::path(text).u8string();
}

std::u16string Utf16(const std::string& utf8)
{
    return fs::u8path(utf8).u16string();
}

std::vector<std::u16string> SubfolderNames(const fs::path& folder)
{
    std::vector<std::u16string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    {
        if (it->is_directory(error))
            names.push_back(it->path().filename().u16string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

namespace
{
// A whole decimal number (or, with base 0, also 0x hexadecimal); false for anything else.
bool ParseNumber(const std::string& word, long long& value, int base = 10)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(word.c_str(), &end, base);
    return errno == 0 && end && *end == 0;
}

bool ParseInt(const std::string& word, int low, int high, int& value)
{
    long long number = 0;
    if (!ParseNumber(word, number) || number < low || number > high)
        return false;
    value = static_cast<int>(number);
    return true;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

const int kMaxChannels = 64;
const int kMaxAuxBuses = 16;
const int kMaxInserts = 16;

// "free", "strip <n> [<position>]", "aux <n> [<position>]", "main [<position>]", "mix",
// "monitor", "plugin" or "output <pair>", from words[first] on.
bool ParseLink(const std::vector<std::string>& words, size_t first, HardwareProfile::Link& link)
{
    using Link = HardwareProfile::Link;
    if (first >= words.size())
        return false;
    const std::string& kind = words[first];
    size_t rest = words.size() - first - 1;
    auto number = [&](size_t at, int high, int& value) { return ParseInt(words[first + at], 0, high, value); };
    if ((kind == "free" || kind == "mix" || kind == "monitor" || kind == "plugin") && rest == 0)
    {
        link.kind = kind == "free"      ? Link::Free
                    : kind == "mix"     ? Link::Mix
                    : kind == "monitor" ? Link::Monitor
                                        : Link::Plugin;
        return true;
    }
    if (kind == "main" && rest <= 1)
    {
        link.kind = Link::Main;
        return rest == 0 || number(1, kMaxInserts - 1, link.position);
    }
    if ((kind == "strip" || kind == "aux") && (rest == 1 || rest == 2))
    {
        link.kind = kind == "strip" ? Link::Strip : Link::Aux;
        if (!number(1, kind == "strip" ? kMaxChannels - 1 : kMaxAuxBuses - 1, link.index))
            return false;
        return rest == 1 || number(2, kMaxInserts - 1, link.position);
    }
    if (kind == "output" && rest == 1)
    {
        link.kind = Link::Output;
        return number(1, kMaxChannels - 1, link.index);
    }
    return false;
}
} // namespace

HardwareProfile HardwareProfile::Read(const fs::path& file)
{
    HardwareProfile profile;
    std::ifstream in(file);
    if (!in)
        return profile;
    profile.present = true;
    std::string line;
    int number = 0;
    while (std::getline(in, line))
    {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#')
            continue;
        if (!profile.ReadLine(line))
            profile.problems.push_back("SimulatedCard.txt line " + std::to_string(number) + " skipped: " + line);
    }
    return profile;
}

bool HardwareProfile::ReadLine(const std::string& line)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    std::string name = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    std::vector<std::string> words = Words(value);
    if (name == "features")
    {
        std::vector<int> list;
        std::istringstream items(value);
        std::string item;
        int feature = 0;
        while (std::getline(items, item, ','))
        {
            if (!ParseInt(item, 0, 255, feature))
                return false;
            list.push_back(feature);
        }
        features = list;
        return true;
    }
    if (name == "firmware")
    {
        // firmware=<pcicard|dock|synccard> <version>
        static const char* const parts[] = {"pcicard", "dock", "synccard"};
        if (words.size() != 2 || std::find(std::begin(parts), std::end(parts), words[0]) == std::end(parts))
            return false;
        texts[words[0] + "_firmware_version"] = Utf16(words[1]);
        return true;
    }
    if (name == "syncsources")
    {
        std::vector<int> list;
        std::istringstream items(value);
        std::string item;
        int id = 0;
        while (std::getline(items, item, ','))
        {
            if (!ParseInt(item, 0, 31, id))
                return false;
            list.push_back(id);
        }
        syncSources = list;
        return true;
    }
    if (name == "rates")
    {
        std::vector<int> list;
        std::istringstream items(value);
        std::string item;
        int code = 0;
        while (std::getline(items, item, ','))
        {
            if (!ParseInt(item, 0, 5, code))
                return false;
            list.push_back(code);
        }
        rates = list;
        return true;
    }
    if (name == "devicekey")
    {
        std::memset(driver.deviceKey, 0, sizeof driver.deviceKey);
        std::strncpy(driver.deviceKey, value.c_str(), sizeof driver.deviceKey - 1);
        return true;
    }
    if (name == "insert")
    {
        // insert=<kind> <chain> [: <effect name>], the chain as "strip <n>", "aux <n>" or "main".
        CardInsert card;
        const size_t colon = value.find(" : ");
        std::vector<std::string> head = Words(value.substr(0, colon));
        if (colon != std::string::npos)
            card.name = Utf16(value.substr(colon + 3));
        if (head.empty() || !ParseInt(head[0], 0, InsertKind::kBalance, card.kind) || !ParseLink(head, 1, card.chain) ||
            (card.chain.kind != Link::Strip && card.chain.kind != Link::Aux && card.chain.kind != Link::Main))
            return false;
        const bool effectKind = card.kind == InsertKind::kEffect || card.kind == InsertKind::kMeteredEffect ||
                                card.kind == InsertKind::kTrim || card.kind == InsertKind::kTestSignal ||
                                card.kind == InsertKind::kBalance;
        if (!effectKind || (card.kind == InsertKind::kEffect) == card.name.empty())
            return false;
        cardInserts.push_back(card);
        return true;
    }
    if (name == "strip")
    {
        int index = 0;
        size_t space = value.find(' ');
        if (space == std::string::npos || !ParseInt(value.substr(0, space), 0, kMaxChannels - 1, index))
            return false;
        stripNames[index] = Utf16(value.substr(space + 1));
        return true;
    }
    if (name == "setting")
    {
        int number = 0;
        if (words.size() != 2 || !ParseInt(words[1], INT_MIN, INT_MAX, number))
            return false;
        settings[words[0]] = number;
        return true;
    }
    if (name == "category2" && (value == "keep" || value == "clear"))
    {
        keepCategory2 = value == "keep";
        return true;
    }
    const struct
    {
        const char* name;
        std::uint32_t VarnDriverProfile::*field;
    } driverFields[] = {
        {"devnode", &VarnDriverProfile::devnode},
        {"refcount", &VarnDriverProfile::refcount},
        {"pcifunction", &VarnDriverProfile::pciFuncNum},
        {"baseaddress", &VarnDriverProfile::baseAddr},
        {"irq", &VarnDriverProfile::irq},
        {"vendor", &VarnDriverProfile::vendorID},
        {"device", &VarnDriverProfile::deviceID},
        {"subsystem", &VarnDriverProfile::subsys},
        {"revision", &VarnDriverProfile::rev},
        {"driverversion", &VarnDriverProfile::driverVersion},
    };
    for (const auto& field : driverFields)
    {
        long long number = 0;
        if (name != field.name)
            continue;
        if (!ParseNumber(value, number, 0) || number < 0 || number > 0xFFFFFFFFLL)
            return false;
        driver.*field.field = static_cast<std::uint32_t>(number);
        return true;
    }
    const struct
    {
        const char* name;
        int HardwareProfile::*field;
        int low, high;
    } counts[] = {
        {"model", &HardwareProfile::model, 0, 255},
        {"systems", &HardwareProfile::systems, 0, 8},
        {"inputs", &HardwareProfile::inputs, 0, kMaxChannels},
        {"outputs", &HardwareProfile::outputs, 0, kMaxChannels},
        {"rate", &HardwareProfile::rateCode, 0, 5},
        {"wave", &HardwareProfile::wavePairs, 0, kMaxChannels / 2},
        {"monoinputs", &HardwareProfile::monoInputs, 0, kMaxChannels},
        {"stereoinputs", &HardwareProfile::stereoInputs, 0, kMaxChannels / 2},
        {"physicaloutputs", &HardwareProfile::physicalOutputs, 0, kMaxChannels / 2},
        {"midifxsends", &HardwareProfile::midiFxSends, 0, 16},
        {"synths", &HardwareProfile::synths, 0, 16},
        {"strips", &HardwareProfile::strips, 0, kMaxChannels},
        {"auxbuses", &HardwareProfile::auxBuses, 0, kMaxAuxBuses},
    };
    for (const auto& count : counts)
    {
        if (name == count.name)
            return words.size() == 1 && ParseInt(words[0], count.low, count.high, this->*count.field);
    }
    if (name == "present")
    {
        int flag = 0;
        if (words.size() != 1 || !ParseInt(words[0], 0, 1, flag))
            return false;
        present = flag != 0;
        return true;
    }
    int index = 0, kind = 0;
    Link link;
    if (words.empty() || !ParseInt(words[0], 0, kMaxChannels - 1, index))
        return false;
    if (name == "record" && ParseLink(words, 1, link) && link.kind != Link::Output && link.kind != Link::Plugin)
    {
        records[index] = link;
        return true;
    }
    if (name == "mono" && words.size() == 2 && ParseInt(words[1], 0, kMaxChannels - 1, kind))
    {
        monoRecords[index] = kind; // the strip
        return true;
    }
    // A physical pair may also carry the monitor mix.
    if ((name == "output" || name == "route") && ParseLink(words, 1, link) && link.kind != Link::Output &&
        link.kind != Link::Mix && (link.kind != Link::Monitor || name == "output"))
    {
        (name == "output" ? outputLinks : routes)[index] = link;
        return true;
    }
    if (name == "override" && ParseLink(words, 1, link) &&
        (link.kind == Link::Strip || link.kind == Link::Aux || link.kind == Link::Main))
    {
        overrides[index] = link;
        return true;
    }
    if (name == "input" && words.size() >= 3)
    {
        // input=<kind> <index> <link>: the first word was the kind.
        kind = index;
        if (kind > 3 || !ParseInt(words[1], 0, kMaxChannels - 1, index) || !ParseLink(words, 2, link) ||
            link.kind == Link::Mix || link.kind == Link::Monitor)
            return false;
        inputLinks[{kind, index}] = link;
        return true;
    }
    if (name == "absent" && words.size() == 2 && index >= 1 && index <= 2)
    {
        int input = 0;
        if (!ParseInt(words[1], 0, kMaxChannels - 1, input))
            return false;
        absent.emplace_back(index, input); // the first word was the kind
        return true;
    }
    if (name == "fit" && words.size() == 3)
    {
        int rate = 0, channels = 0;
        kind = index;
        if (kind > 2 || !ParseInt(words[1], 0, 5, rate) || !ParseInt(words[2], 0, kMaxChannels, channels))
            return false;
        fits[{kind, rate}] = channels;
        return true;
    }
    return false;
}

int VARN_CALL StandinSettings::SetValue(const char* name, int value, int, int)
{
    if (!name)
        return 0;
    if (log)
        log("SetValue " + std::string(name) + "=" + std::to_string(value));
    values[name] = value;
    texts.erase(name);
    return 1;
}

int VARN_CALL StandinSettings::SetText(const char* name, const char16_t* text, int, int)
{
    if (!name || !text)
        return 0;
    const std::string utf8 = Utf8(text);
    if (log)
        log("SetText " + std::string(name) + "=" + utf8);
    int number = 0;
    values.erase(name);
    texts.erase(name);
    if (utf8.empty())
        return 1;
    texts[name] = text;
    if (ParseInt(utf8, INT_MIN, INT_MAX, number))
        values[name] = number;
    return 1;
}

int VARN_CALL StandinSettings::RunCommand(const char* name)
{
    if (!name)
        return 0;
    if (log)
        log("RunCommand " + std::string(name));
    return 1;
}

int VARN_CALL StandinSettings::GetText(const char* name, char16_t* buffer, int capacity)
{
    if (!name || !buffer || capacity <= 0)
        return 0;
    auto found = texts.find(name);
    if (found == texts.end() || static_cast<int>(found->second.size()) >= capacity)
        return 0;
    std::copy(found->second.begin(), found->second.end(), buffer);
    buffer[found->second.size()] = 0;
    return 1;
}

namespace
{
int FillCodes(const std::vector<int>& codes, VarnCodeList* list)
{
    if (!list || codes.size() > sizeof list->codes / sizeof list->codes[0])
        return 0;
    list->count = static_cast<std::int32_t>(codes.size());
    std::copy(codes.begin(), codes.end(), list->codes);
    return 1;
}
} // namespace

int VARN_CALL StandinSettings::GetSyncSources(VarnCodeList* list)
{
    return FillCodes(syncSources, list);
}

int VARN_CALL StandinHardware::GetRates(int reserved, VarnCodeList* rates)
{
    return reserved == 0 ? FillCodes(profile_.rates, rates) : 0;
}

int VARN_CALL StandinSettings::GetValue(const char* name, int* value)
{
    if (!name || !value)
        return 0;
    auto found = values.find(name);
    if (found == values.end())
        return 0;
    *value = found->second;
    return 1;
}

StandinHardware::StandinHardware(const HardwareProfile& profile, std::function<void(std::string)> log,
                                 StandinMainMix::Raise raise)
    : driver(profile), profile_(profile), log_(std::move(log)), raise_(raise)
{
    settings.log = log_;
    settings.values = profile.settings;
    settings.texts = profile.texts;
    settings.syncSources = profile.syncSources;
    using Link = HardwareProfile::Link;
    int pairs = (profile.inputs + 1) / 2;
    for (int i = 0; i < (profile.strips >= 0 ? profile.strips : pairs); ++i)
    {
        strips.push_back(std::make_unique<StandinStrip>(i));
        strips.back()->log = log_;
        auto name = profile.stripNames.find(i);
        if (name != profile.stripNames.end())
            strips.back()->name = name->second;
    }
    std::vector<StandinBus*> auxChains;
    for (int i = 0; i < profile.auxBuses; ++i)
    {
        buses.push_back(std::make_unique<StandinBus>(1));
        auxChains.push_back(buses.back().get());
    }
    buses.push_back(std::make_unique<StandinBus>(2));
    mainBus_ = buses.back().get();
    mainMix = std::make_unique<StandinMainMix>(auxChains, mainBus_, log_, raise);
    for (int i = 0; i < profile.auxBuses; ++i)
        buses[i]->aux = mainMix->Aux(i);
    chainStore = std::make_unique<StandinChainStore>(*this);
    for (auto& bus : buses)
        bus->system = this;
    for (auto& strip : strips)
        strip->bus.system = this;

    for (int i = 0; i < profile.wavePairs; ++i)
        items.ports[0].push_back(std::make_unique<StandinOutput>(0, i));
    items.channels[0] = 2 * profile.wavePairs;

    // ASIO input pairs, each recording its own strip unless the card says otherwise; then one
    // item per channel, recorded only where the card says.
    for (int i = 0; i < pairs; ++i)
    {
        items.ports[1].push_back(std::make_unique<StandinOutput>(1, i));
        auto record = profile.records.find(i);
        Link link;
        link.kind = Link::Strip;
        link.index = i;
        Feed(*items.ports[1].back(), record != profile.records.end() ? record->second : link);
    }
    for (int channel = 0; channel < 2 * pairs; ++channel)
    {
        if (channel >= profile.inputs)
        {
            items.ports[1].push_back(nullptr);
            continue;
        }
        items.ports[1].push_back(std::make_unique<StandinOutput>(1, pairs + channel));
        items.ports[1].back()->channel = channel;
        auto record = profile.monoRecords.find(channel);
        if (record != profile.monoRecords.end())
        {
            Link link;
            link.kind = Link::Strip;
            link.index = record->second;
            Feed(*items.ports[1].back(), link);
        }
    }
    items.channels[1] = profile.inputs;

    for (int i = 0; i < profile.physicalOutputs; ++i)
    {
        items.ports[2].push_back(std::make_unique<StandinOutput>(2, i));
        StandinOutput& port = *items.ports[2].back();
        port.table = &routing;
        auto link = profile.outputLinks.find(i);
        if (link != profile.outputLinks.end())
            Feed(port, link->second);
        // A send insert on the bus the card names took the pair over: the send feeds it, and
        // the port keeps the mix it was given.
        auto taken = profile.overrides.find(i);
        if (taken != profile.overrides.end())
            if (IVarnInsert* send = Insert(taken->second))
            {
                static_cast<StandinInsert*>(send)->kind = InsertKind::kSend;
                static_cast<StandinInsert*>(send)->outputPort = &port;
                port.overrideBy = send;
                port.source = send->GetChain();
                port.insert = send;
            }
    }
    for (auto& kind : items.ports)
        for (auto& port : kind)
            if (port)
                port->hardware = this;
    items.system = this;
    routing.system = this;
    inputList.system = this;
    items.channels[2] = 2 * profile.physicalOutputs;
    for (int channel = 0; channel < 2 * profile.physicalOutputs; ++channel)
    {
        routing.entries.push_back(std::make_unique<StandinOutput>(2, channel / 2));
        routing.entries.back()->channel = channel;
        auto link = profile.routes.find(channel);
        if (link != profile.routes.end())
            Feed(*routing.entries.back(), link->second);
    }

    // Host inputs: the Wave pairs, the ASIO output pairs, the MIDI FX sends; the physical
    // inputs; one input per ASIO output channel.
    auto add = [this](int kind) -> StandinInput& {
        auto& list = inputList.inputs[kind];
        list.push_back(std::make_unique<StandinInput>(kind, static_cast<int>(list.size())));
        return *list.back();
    };
    for (int i = 0; i < profile.wavePairs; ++i)
    {
        StandinInput& input = add(0);
        input.subKind = 0;
        input.wavePair = i;
    }
    for (int i = 0; i < (profile.outputs + 1) / 2; ++i)
    {
        StandinInput& input = add(0);
        input.subKind = 1;
        input.asioIndex = i;
    }
    for (int i = 0; i < profile.midiFxSends; ++i)
    {
        StandinInput& input = add(0);
        input.subKind = 3;
        input.midiFxSend = i;
    }
    for (int i = 0; i < profile.synths; ++i)
    {
        StandinInput& input = add(0);
        input.subKind = 2;
        input.raise = raise;
        input.log = log_;
    }
    for (int i = 0; i < profile.monoInputs; ++i)
        add(1);
    for (int i = 0; i < profile.stereoInputs; ++i)
        add(2);
    for (int i = 0; i < profile.outputs; ++i)
    {
        StandinInput& input = add(3);
        input.subKind = 4;
        input.asioIndex = i;
    }
    for (auto& kind : inputList.inputs)
        for (auto& input : kind)
            input->list = &inputList;
    for (const auto& entry : profile.absent)
    {
        if (entry.second < static_cast<int>(inputList.inputs[entry.first].size()))
            inputList.inputs[entry.first][entry.second]->present = false;
    }
    for (const auto& entry : profile.inputLinks)
    {
        auto& list = inputList.inputs[entry.first.first];
        if (entry.first.second >= static_cast<int>(list.size()))
            continue;
        StandinInput& input = *list[entry.first.second];
        const Link& link = entry.second;
        input.assigned = link.kind != Link::Free;
        switch (link.kind)
        {
        case Link::Strip:
            input.strip = Strip(link.index);
            if (input.strip)
                input.strip->source = &input;
            input.chainEnd = VarnChainEndStrip;
            break;
        case Link::Aux:
        case Link::Main:
            input.destination = Insert(link);
            break;
        case Link::Plugin:
            input.takenByPlugin = true;
            break;
        case Link::Output:
            input.chainEnd = VarnChainEndOutput;
            input.chainOutput = items.GetPort(2, link.index);
            break;
        default:
            break;
        }
    }
}

StandinHardware::~StandinHardware() = default;

StandinStrip* StandinHardware::Strip(int index)
{
    return index >= 0 && index < static_cast<int>(strips.size()) ? strips[index].get() : nullptr;
}

IVarnInsertChain* StandinHardware::Bus(const HardwareProfile::Link& link)
{
    using Link = HardwareProfile::Link;
    switch (link.kind)
    {
    case Link::Strip: {
        StandinStrip* strip = Strip(link.index);
        return strip ? &strip->bus : nullptr;
    }
    case Link::Aux:
        return link.index < profile_.auxBuses ? buses[link.index].get() : nullptr;
    case Link::Main:
        return mainBus_;
    case Link::Mix:
    case Link::Monitor:
    case Link::Plugin:
        // A recording or plug-in path: a bus of no strip.
        buses.push_back(std::make_unique<StandinBus>(0));
        buses.back()->system = this;
        return buses.back().get();
    default:
        return nullptr;
    }
}

IVarnInsert* StandinHardware::Insert(const HardwareProfile::Link& link)
{
    IVarnInsertChain* bus = link.kind == HardwareProfile::Link::Plugin ? nullptr : Bus(link);
    if (!bus)
        return nullptr;
    inserts.push_back(std::make_unique<StandinInsert>(bus, link.position));
    inserts.back()->log = log_;
    return inserts.back().get();
}

void StandinHardware::Feed(StandinOutput& port, const HardwareProfile::Link& link)
{
    using Link = HardwareProfile::Link;
    port.source = Bus(link);
    if (!port.source)
        return;
    port.type = link.kind == Link::Monitor ? 1 : 0;
    port.takenByPlugin = link.kind == Link::Plugin;
    if (link.kind == Link::Strip || link.kind == Link::Aux || link.kind == Link::Main)
    {
        inserts.push_back(std::make_unique<StandinInsert>(port.source, link.position));
        inserts.back()->log = log_;
        port.insert = inserts.back().get();
        // A host port (Wave, ASIO) that a bus records is taken by that bus's send: the outputs
        // view lists such ports.
        if (port.GetKind() != OutputKind::kPhysical)
            port.overrideBy = port.insert;
    }
}

int VARN_CALL StandinHardware::HasFeature(int feature)
{
    return std::find(profile_.features.begin(), profile_.features.end(), feature) != profile_.features.end() ? 1 : 0;
}

IVarnInputList* VARN_CALL StandinHardware::GetInputList()
{
    if (log_)
        log_("GetInputList");
    return &inputList;
}

IVarnItemList* VARN_CALL StandinHardware::GetItemList()
{
    if (log_)
        log_("GetItemList");
    return &items;
}

int VARN_CALL StandinHardware::PrepareDsp()
{
    int units = stripList ? stripList->Reclaim() : 0;
    if (mixer && chainStore)
    {
        std::lock_guard<std::recursive_mutex> hold(mixer->stripLock);
        units += chainStore->Reclaim();
    }
    if (log_)
        log_("PrepareDsp" + (units ? " reclaimed " + std::to_string(units) : std::string()));
    return 1;
}

int VARN_CALL StandinOutput::Assign(int assignment, int notify)
{
    return hardware ? hardware->AssignOutput(*this, assignment, notify) : 0;
}

int StandinHardware::AssignOutput(StandinOutput& port, int assignment, int notify)
{
    if (log_)
        log_("Assign " + std::to_string(port.GetKind()) + " " + std::to_string(port.GetIndex()) + " " +
             std::to_string(assignment) + " " + std::to_string(notify));
    if (assignment < 0 || assignment > 2)
        return 0;
    int answer = 1;
    if (!assignAnswers.empty())
    {
        answer = assignAnswers.front();
        assignAnswers.pop_front();
    }
    if (answer != 1)
        return answer;
    port.type = assignment;
    port.source = assignment == 2 ? nullptr : mainBus_;
    port.insert = nullptr;
    if (notify && raise_)
        raise_(EngineEvent::kOutputChanged, reinterpret_cast<VarnEventArg>(&port));
    return 1;
}

int VARN_CALL StandinHardware::ChannelExists(int kind, int rateCode, int index)
{
    if (log_)
        log_("ChannelExists " + std::to_string(kind) + " " + std::to_string(rateCode) + " " + std::to_string(index));
    auto fit = profile_.fits.find({kind, rateCode});
    return index >= 0 && (fit == profile_.fits.end() || index < fit->second) ? 1 : 0;
}

int VARN_CALL StandinMonitor::SetParameter(int index, int value)
{
    if (index < 0 || index >= static_cast<int>(sizeof parameters / sizeof parameters[0]))
        return 0;
    parameters[index] = value;
    return 1;
}

IVarnStrip* VARN_CALL StandinBus::GetStrip()
{
    return strip;
}

int VARN_CALL StandinStrip::HasHardware()
{
    if (log)
        log("HasHardware strip " + std::to_string(id));
    return hasHardware ? 1 : 0;
}

int VARN_CALL StandinInsert::HasHardware()
{
    if (log)
        log("HasHardware insert " + std::to_string(GetPosition()));
    return hasHardware ? 1 : 0;
}

IVarnInsert* VARN_CALL StandinBus::GetInsert(int index)
{
    return index >= 0 && index < static_cast<int>(inserts.size()) ? inserts[index] : nullptr;
}

void StandinInsert::Changed(const std::string& what, int event)
{
    if (log)
        log("insert " + std::to_string(key) + " " + what);
    if (event && raise)
        raise(event, key);
}

int VARN_CALL StandinInsert::SetWetDry(float value, int flags)
{
    if (!hasWetDry || !(value >= 0.0f && value <= 1.0f))
    {
        Changed("SetWetDry refused", 0);
        return 0;
    }
    wetDry = value;
    Changed("SetWetDry " + std::to_string(value) + " " + std::to_string(flags), EngineEvent::kInsertSlot.first + 2);
    return 1;
}

int VARN_CALL StandinInsert::SetBypass(int value, int flags)
{
    if (!effect || (value != 0 && value != 1))
    {
        Changed("SetBypass refused", 0);
        return 0;
    }
    bypassed = value != 0;
    Changed("SetBypass " + std::to_string(value) + " " + std::to_string(flags), EngineEvent::kInsertSlot.first);
    return 1;
}

int VARN_CALL StandinInsert::SetSolo(int value, int flags)
{
    if (!effect || (value != 0 && value != 1))
    {
        Changed("SetSolo refused", 0);
        return 0;
    }
    soloed = value != 0;
    Changed("SetSolo " + std::to_string(value) + " " + std::to_string(flags), EngineEvent::kInsertSlot.first + 1);
    return 1;
}

int VARN_CALL StandinStrip::SetState(int value, int flag)
{
    state = value;
    stateFlag = flag;
    return 1;
}

IVarnRoutingTable* VARN_CALL StandinOutput::GetRoutingTable()
{
    return table;
}

IVarnOutput* VARN_CALL StandinRoutingTable::GetEntry(int kind, int index)
{
    if (kind != 2 || index < 0 || index >= static_cast<int>(entries.size()))
        return nullptr;
    return entries[index].get();
}

int VARN_CALL StandinInput::GetChainEnd(IVarnOutput** output)
{
    if (output)
        *output = chainOutput;
    return chainEnd;
}

int VARN_CALL StandinInputList::GetCount(int kind)
{
    return kind >= 0 && kind < 4 ? static_cast<int>(inputs[kind].size()) : 0;
}

IVarnInput* VARN_CALL StandinInputList::GetInput(int kind, int index)
{
    if (index < 0 || index >= GetCount(kind))
        return nullptr;
    return inputs[kind][index].get();
}

int VARN_CALL StandinItemList::GetCount(int kind)
{
    return kind >= 0 && kind < 3 ? static_cast<int>(ports[kind].size()) : 0;
}

IVarnOutput* VARN_CALL StandinItemList::GetPort(int kind, int index)
{
    if (index < 0 || index >= GetCount(kind))
        return nullptr;
    return ports[kind][index].get();
}

int VARN_CALL StandinItemList::GetChannelCount(int kind)
{
    return kind >= 0 && kind < 3 ? channels[kind] : 0;
}

int VARN_CALL StandinDriver::GetProfile(VarnDriverProfile* profile)
{
    if (!profile)
        return 0;
    *profile = profile_.driver;
    return 1;
}

StandinMixer::StandinMixer(const HardwareProfile& profile, std::function<void(std::string)> log,
                           StandinMainMix::Raise raise)
    : rateCode(profile.rateCode), hardwareRateCode(profile.rateCode)
{
    sessionSettings.log = log;
    for (int i = 0; i < (profile.present ? profile.systems : 0); ++i)
    {
        systems_.push_back(std::make_unique<StandinHardware>(profile, log, raise));
        StandinHardware& system = *systems_.back();
        system.master = i == 0;
        system.mixer = this;
        system.stripList = std::make_unique<StandinStripList>(system, *this, raise, log);
        for (auto& strip : system.strips)
        {
            strip->id = kMaxChannels * i + strip->GetIndex();
            StandinResetStripValues(*strip);
            system.stripList->Append(strip.get());
        }
        StandinApplyCardInserts(system, profile);
    }
    // Strips made later take ids above every card strip's.
    nextStripId_ = kMaxChannels * std::max(SystemCount(), 1);
    UseOwnBudget();
}

IVarnStrip* VARN_CALL StandinMixer::GetStripById(int id)
{
    // A removed strip stays valid but is no longer found.
    std::lock_guard<std::recursive_mutex> hold(stripLock);
    for (const auto& system : systems_)
        for (const auto& strip : system->strips)
            if (strip && strip->GetId() == id && !strip->removed)
                return strip.get();
    return nullptr;
}

IVarnHardware* VARN_CALL StandinMixer::GetSystem(int index)
{
    if (index < 0 || index >= SystemCount())
        return nullptr;
    return systems_[index].get();
}

int VARN_CALL StandinMixer::GetRateText(char16_t* buffer, int capacity)
{
    static const char16_t* const texts[] = {u"44100", u"48000", u"96000", u"192000", u"88200", u"176400"};
    if (!buffer || capacity <= 0 || hardwareRateCode < 0 || hardwareRateCode > 5)
        return 0;
    const std::u16string text = texts[hardwareRateCode];
    if (static_cast<int>(text.size()) >= capacity)
        return 0;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return 1;
}

namespace
{
// "strip <system> <id> <source kind> <source index> <pre-fader> <dsp> <send 1> <send 2> <gain>
// <pan 0> <pan 1> <mute> <solo> <synth channels> <UTF-8 name>" per strip, in the list's order;
// a strip without a source has kind and index -1.
void SaveStrips(std::ostream& out, int system, StandinHardware& hardware)
{
    std::lock_guard<std::recursive_mutex> hold(hardware.mixer->stripLock);
    auto number = [](float value) {
        std::ostringstream text;
        text.precision(9);
        text << value;
        return text.str();
    };
    for (StandinStrip* strip : hardware.stripList->Strips())
    {
        auto* source = hardware.inputList.Find(strip->source);
        out << "strip " << system << " " << strip->id << " " << (source ? source->GetKind() : -1) << " "
            << (source ? source->GetIndex() : -1) << " " << strip->preFader << " " << strip->hasDsp << " "
            << number(strip->sends[0].value) << " " << number(strip->sends[1].value) << " " << number(strip->gain.value)
            << " " << number(strip->pan[0].value) << " " << number(strip->pan[1].value) << " " << strip->mute << " "
            << strip->solo << " " << (source ? source->synthChannels.load() : 0u) << " " << Utf8(strip->name) << "\n";
    }
}

// One strip line after its system number; false when it does not read as written. The first
// strip of a system takes the card's strips out of its list: the session brings its own.
bool LoadStrip(std::istream& fields, StandinHardware* hardware, std::vector<StandinHardware*>& cleared)
{
    int id = 0, kind = 0, index = 0, preFader = 0, dsp = 0, mute = 0, solo = 0;
    float values[5] = {};
    unsigned long synth = 0;
    if (!(fields >> id >> kind >> index >> preFader >> dsp >> values[0] >> values[1] >> values[2] >> values[3] >>
          values[4] >> mute >> solo >> synth) ||
        id < 0 || (preFader | dsp | mute | solo) & ~1)
        return false;
    std::string name;
    std::getline(fields, name);
    if (!name.empty() && name[0] == ' ')
        name.erase(0, 1);
    if (!hardware)
        return true;
    StandinMixer& mixer = *hardware->mixer;
    std::lock_guard<std::recursive_mutex> hold(mixer.stripLock);
    if (std::find(cleared.begin(), cleared.end(), hardware) == cleared.end())
    {
        hardware->stripList->Clear();
        cleared.push_back(hardware);
    }
    StandinStrip* strip = nullptr;
    for (auto& candidate : hardware->strips)
        strip = candidate->id == id ? candidate.get() : strip;
    if (strip && !strip->removed)
        return false; // the same id twice
    if (!strip)
    {
        hardware->strips.push_back(std::make_unique<StandinStrip>(0));
        strip = hardware->strips.back().get();
        strip->bus.system = hardware;
        strip->id = id;
        strip->hasMonitor = false;
        strip->log = hardware->strips.front()->log;
    }
    StandinInput* source = hardware->inputList.Find(hardware->inputList.GetInput(kind, index));
    if (source && !source->assigned && !source->strip)
    {
        source->assigned = true;
        source->strip = strip;
        source->chainEnd = VarnChainEndStrip;
        source->synthChannels = static_cast<std::uint32_t>(synth);
        strip->source = source;
    }
    StandinResetStripValues(*strip);
    StandinLevel* levels[5] = {&strip->sends[0], &strip->sends[1], &strip->gain, &strip->pan[0], &strip->pan[1]};
    for (int i = 0; i < 5; ++i)
    {
        if (!levels[i]->Accepts(values[i]))
            return false;
        levels[i]->value = values[i];
    }
    strip->preFader = preFader != 0;
    strip->hasDsp = dsp != 0;
    if (strip->hasDsp && mixer.dsp.hold)
        mixer.dsp.hold(kStandinStripDsp);
    strip->mute = mute;
    strip->solo = solo;
    strip->name = Utf16(name);
    hardware->stripList->Append(strip);
    mixer.NoteStripId(id);
    return true;
}
} // namespace

bool SessionFile::Save(const fs::path& file, StandinMixer& mixer)
{
    fs::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out)
            return false;
        out << "KivCorvanSession " << kFormatVersion << "\n";
        out << "rate=" << mixer.rateCode << "\n";
        out << "systems=" << mixer.SystemCount() << "\n";
        out << "name=" << Utf8(mixer.sessionName) << "\n";
        if (!mixer.sessionPath.empty())
            out << "path=" << Utf8(mixer.sessionPath) << "\n";
        for (const auto& text : mixer.sessionSettings.texts)
            out << "session " << text.first << "=" << Utf8(text.second) << "\n";
        for (int i = 0; i < mixer.SystemCount(); ++i)
        {
            auto* system = static_cast<StandinHardware*>(mixer.GetSystem(i));
            for (const auto& setting : system->settings.values)
                out << "setting " << i << " " << setting.first << "=" << setting.second << "\n";
            system->mainMix->Save(out, i);
            SaveStrips(out, i, *system);
            StandinSaveChains(out, i, *system);
        }
        if (!out.flush())
        {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, file, error);
    if (error)
        fs::remove(temporary, error);
    return !error;
}

int SessionFile::Load(const fs::path& file, StandinMixer& mixer, int& systemsWanted)
{
    std::ifstream in(file);
    std::string tag;
    int version = 0;
    if (!(in >> tag >> version) || tag != "KivCorvanSession" || version <= 0)
        return 0;
    if (version > kFormatVersion)
        return version;
    std::string line;
    std::getline(in, line);
    std::vector<StandinHardware*> cleared; // the systems whose strips the session brings
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        // A line that does not read as it was written makes the file unreadable: the caller's
        // model stays as it was.
        std::istringstream fields(line);
        std::string word;
        fields >> word;
        int system = 0;
        std::string rest;
        size_t equals = std::string::npos;
        if (word.rfind("rate=", 0) == 0)
        {
            if (!ParseInt(word.substr(5), 0, 5, mixer.rateCode))
                return 0;
        }
        else if (word.rfind("systems=", 0) == 0)
        {
            if (!ParseInt(word.substr(8), 0, 64, systemsWanted))
                return 0;
        }
        else if (line.rfind("name=", 0) == 0)
            mixer.sessionName = Utf16(line.substr(5));
        else if (line.rfind("path=", 0) == 0)
            mixer.sessionPath = Utf16(line.substr(5));
        else if (line.rfind("session ", 0) == 0 && (equals = line.find('=')) != std::string::npos && equals > 8)
            mixer.sessionSettings.texts[line.substr(8, equals - 8)] = Utf16(line.substr(equals + 1));
        else if (word == "setting" && fields >> system >> rest && (equals = rest.find('=')) != std::string::npos)
        {
            int value = 0;
            auto* hardware = static_cast<StandinHardware*>(mixer.GetSystem(system));
            if (!ParseInt(rest.substr(equals + 1), INT_MIN, INT_MAX, value))
                return 0;
            if (hardware)
                hardware->settings.values[rest.substr(0, equals)] = value;
        }
        else if (word == "strip" && fields >> system)
        {
            auto* hardware = static_cast<StandinHardware*>(mixer.GetSystem(system));
            if (!LoadStrip(fields, hardware, cleared))
                return 0;
        }
        else if ((word == "chains" || word == "insert") && fields >> system)
        {
            auto* hardware = static_cast<StandinHardware*>(mixer.GetSystem(system));
            if (!StandinLoadChainLine(word, fields, hardware))
                return 0;
        }
        else if ((word == "mix" || word == "level") && fields >> system)
        {
            auto* hardware = static_cast<StandinHardware*>(mixer.GetSystem(system));
            if (!StandinMainMix::ReadSessionLine(word, fields, hardware ? hardware->mainMix.get() : nullptr))
                return 0;
        }
        else
            return 0;
    }
    return version;
}

int SessionFile::ReadRate(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    if (line.rfind("KivCorvanSession ", 0) != 0)
        return 6;
    while (std::getline(in, line))
    {
        if (line.rfind("rate=", 0) == 0)
        {
            int code = 6;
            return ParseInt(line.substr(5), 0, 5, code) ? code : 6;
        }
    }
    return 6;
}

namespace
{
// Copies a folder's tree into target, replacing files of the same name. fs::copy is not used:
// the Windows runtime's refuses a target folder that exists.
bool CopyTree(const fs::path& source, const fs::path& target)
{
    std::error_code error;
    fs::create_directories(target, error);
    if (!fs::is_directory(target, error))
        return false;
    for (fs::recursive_directory_iterator it(source, error), end; !error && it != end; it.increment(error))
    {
        const fs::path to = target / fs::relative(it->path(), source, error);
        if (error)
            return false;
        if (it->is_directory(error))
            fs::create_directories(to, error);
        else
            fs::copy_file(it->path(), to, fs::copy_options::overwrite_existing, error);
        if (error)
            return false;
    }
    return !error;
}

std::string Utf8(const char16_t* text)
{
    return text ? fs::path(text).u8string() : std::string("(null)");
}
std::string IdText(const VarnEffectId& id)
{
    char text[40];
    std::snprintf(text, sizeof(text), "%08x-%08x-%08x-%08x", id.data[0], id.data[1], id.data[2], id.data[3]);
    return text;
}
} // namespace

int StandinFxLibrary::Logged(std::string entry, int answer)
{
    if (log_)
        log_(entry + " -> " + std::to_string(answer));
    return answer;
}

void StandinFxLibrary::ReadFolders()
{
    coreEffects = SubfolderNames(folder_ / "Core Effects" / "Presets");
    categories = SubfolderNames(folder_ / "Effect Presets");
    effects_.AddFolders(coreEffects, categories);
}

int VARN_CALL StandinFxLibrary::LoadCoreEffects()
{
    coreEffects = SubfolderNames(folder_ / "Core Effects" / "Presets");
    if (effects_.AddFolders(coreEffects, {}) && raise_)
        raise_(EngineEvent::kPresetListToPalette, 0);
    return Logged("Library LoadCoreEffects", 1);
}

int VARN_CALL StandinFxLibrary::LoadCategories()
{
    categories = SubfolderNames(folder_ / "Effect Presets");
    effects_.AddFolders({}, categories);
    return Logged("Library LoadCategories", 1);
}

int VARN_CALL StandinFxLibrary::GetCoreEffectCount()
{
    return effects_.CoreEffectCount();
}

int VARN_CALL StandinFxLibrary::GetCoreEffectInfo(int index, VarnCoreEffectRecord* record)
{
    return effects_.CoreEffectInfo(index, record);
}

int VARN_CALL StandinFxLibrary::GetPresetCount(int category)
{
    return effects_.PresetCount(category);
}

int VARN_CALL StandinFxLibrary::GetPresetInfo(int category, int preset, VarnPresetRecord* record)
{
    return effects_.PresetInfo(category, preset, record);
}

int VARN_CALL StandinFxLibrary::GetCategoryCount()
{
    return effects_.CategoryCount();
}

int VARN_CALL StandinFxLibrary::GetCategoryInfo(int index, VarnCategoryRecord* record)
{
    return effects_.CategoryInfo(index, record);
}

int VARN_CALL StandinFxLibrary::FindCategory(const char16_t* name, int)
{
    return effects_.CategoryIndex(name);
}

int VARN_CALL StandinFxLibrary::FindPreset(const VarnPresetRecord* preset, VarnPresetRecord* found)
{
    return effects_.FindPresetRecord(preset, found);
}

int VARN_CALL StandinFxLibrary::GetEffectName(const VarnEffectId* effect, char16_t* name, int capacity)
{
    return effects_.EffectName(effect, name, capacity);
}

int VARN_CALL StandinFxLibrary::DeleteCategory(const char16_t* name, int notify)
{
    std::string entry = "Library DeleteCategory " + Utf8(name) + " " + std::to_string(notify);
    if (!effects_.DeletePresetCategory(name))
        return Logged(entry, 0);
    std::error_code error;
    fs::remove_all(folder_ / "Effect Presets" / fs::path(name), error);
    return Logged(entry, 1);
}

int VARN_CALL StandinFxLibrary::RenameCategory(const char16_t* name, const char16_t* newName, int notify)
{
    std::string entry = "Library RenameCategory " + Utf8(name) + " " + Utf8(newName) + " " + std::to_string(notify);
    if (!effects_.RenamePresetCategory(name, newName))
        return Logged(entry, 0);
    std::error_code error;
    const fs::path from = folder_ / "Effect Presets" / fs::path(name);
    if (fs::exists(from, error))
        fs::rename(from, folder_ / "Effect Presets" / fs::path(newName), error);
    return Logged(entry, 1);
}

int VARN_CALL StandinFxLibrary::CreateCategory(const char16_t* name, int notify)
{
    std::string entry = "Library CreateCategory " + Utf8(name) + " " + std::to_string(notify);
    if (!effects_.CreatePresetCategory(name))
        return Logged(entry, 0);
    std::error_code error;
    fs::create_directories(folder_ / "Effect Presets" / fs::path(name), error);
    return Logged(entry, 1);
}

int VARN_CALL StandinFxLibrary::DeletePreset(const VarnPresetRecord* preset, int notify)
{
    if (!preset)
        return Logged("Library DeletePreset (null)", 0);
    return Logged("Library DeletePreset " + IdText(preset->id) + " " + std::to_string(notify),
                  effects_.DeletePreset(preset->id));
}

int VARN_CALL StandinFxLibrary::RenamePreset(const VarnPresetRecord* preset, const char16_t* name, int notify)
{
    if (!preset)
        return Logged("Library RenamePreset (null)", 0);
    return Logged("Library RenamePreset " + IdText(preset->id) + " " + Utf8(name) + " " + std::to_string(notify),
                  effects_.RenamePreset(preset->id, name));
}

int VARN_CALL StandinFxLibrary::ImportCategory(const char16_t* effectPresetsFolder, const char16_t* category)
{
    std::string entry = "Library ImportCategory " + Utf8(effectPresetsFolder) + " " + Utf8(category);
    if (!effectPresetsFolder || !category || !StandinIsValidName(StandinCutName(category)))
        return Logged(entry, 0);
    std::error_code error;
    const fs::path source = fs::path(effectPresetsFolder) / fs::path(category);
    if (!fs::is_directory(source, error))
        return Logged(entry, 0);
    if (!CopyTree(source, folder_ / "Effect Presets" / fs::path(category)))
        return Logged(entry, 0);
    LoadCategories();
    return Logged(entry, 1);
}

int VARN_CALL StandinFxLibrary::ImportLibrary(const char16_t* corePresetsFolder, const char16_t* effectPresetsFolder)
{
    std::string entry = "Library ImportLibrary " + Utf8(corePresetsFolder) + " " + Utf8(effectPresetsFolder);
    if (!corePresetsFolder || !effectPresetsFolder)
        return Logged(entry, 0);
    // An exported library may hold either part; a part that is not there is not imported.
    std::error_code error;
    const std::pair<fs::path, fs::path> parts[] = {{corePresetsFolder, folder_ / "Core Effects" / "Presets"},
                                                   {effectPresetsFolder, folder_ / "Effect Presets"}};
    int imported = 0;
    for (const auto& [from, to] : parts)
    {
        if (!fs::is_directory(from, error))
            continue;
        if (!CopyTree(from, to))
            return Logged(entry, 0);
        ++imported;
    }
    if (!imported)
        return Logged(entry, 0);
    LoadCoreEffects();
    LoadCategories();
    return Logged(entry, 1);
}

void StandinFxLibrary::Log(const std::string& line)
{
    if (log_)
        log_("library " + line);
}

int VARN_CALL StandinFxLibrary::GetCorePresetCount(const VarnEffectId* effect)
{
    return effect ? static_cast<int>(corePresets.PresetsOf(*effect).size()) : 0;
}

int VARN_CALL StandinFxLibrary::GetCorePreset(const VarnEffectId* effect, int index, VarnCorePresetRecord* record)
{
    if (!effect || !record)
        return 0;
    const auto& list = corePresets.PresetsOf(*effect);
    if (index < 0 || index >= static_cast<int>(list.size()))
        return 0;
    *record = list[index];
    return 1;
}

int VARN_CALL StandinFxLibrary::NewCorePreset(const char16_t* name, IVarnEffect* effect, int flags, int)
{
    const std::u16string text = name ? name : u"";
    Log("NewCorePreset " + std::to_string(flags));
    VarnEffectId id{};
    if (!effect || !effect->GetCoreEffectId(&id) || text.size() > 127 || !StandinIsValidName(text))
        return 0;
    auto& list = corePresets.PresetsOf(id);
    int number = 1;
    for (const auto& preset : list)
        number = std::max(number, preset.number + 1);
    corePresets.AddPreset(id, number, text, 0);
    if (raise_)
        raise_(EngineEvent::kPresetList.first, effect->GetEventKey());
    return 1;
}

int VARN_CALL StandinFxLibrary::DeleteCorePreset(const VarnCorePresetRecord* record, int index, int flags)
{
    Log("DeleteCorePreset " + std::to_string(index) + " " + std::to_string(flags));
    auto* list = record ? corePresets.ListHolding(*record, index) : nullptr;
    if (!list || (*list)[index].isFactory)
        return 0;
    list->erase(list->begin() + index);
    if (raise_)
        raise_(EngineEvent::kPresetList.first + 1, 0);
    return 1;
}

int VARN_CALL StandinFxLibrary::RenameCorePreset(const VarnCorePresetRecord* record, int index, const char16_t* name,
                                                 int flags)
{
    const std::u16string text = name ? name : u"";
    Log("RenameCorePreset " + std::to_string(index) + " " + std::to_string(flags));
    auto* list = record ? corePresets.ListHolding(*record, index) : nullptr;
    if (!list || (*list)[index].isFactory || text.size() > 49 || !StandinIsValidName(text))
        return 0;
    std::memset((*list)[index].name, 0, sizeof((*list)[index].name));
    std::copy(text.begin(), text.end(), (*list)[index].name);
    if (raise_)
        raise_(EngineEvent::kPresetList.first + 2, 0);
    return 1;
}

int VARN_CALL StandinFxLibrary::StoreCorePreset(IVarnEffect* effect, int index, int flags)
{
    Log("StoreCorePreset " + std::to_string(index) + " " + std::to_string(flags));
    VarnEffectId id{};
    if (!effect || !effect->GetCoreEffectId(&id))
        return 0;
    const auto& list = corePresets.PresetsOf(id);
    if (index < 0 || index >= static_cast<int>(list.size()) || list[index].isFactory)
        return 0;
    if (raise_)
        raise_(EngineEvent::kPresetList.first + 2, effect->GetEventKey());
    return 1;
}
