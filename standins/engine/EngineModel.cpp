#include "standins/engine/EngineModel.h"

#include "mixer/engine/EngineVocabulary.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

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
    if (name == "devicekey")
    {
        std::memset(driver.deviceKey, 0, sizeof driver.deviceKey);
        std::strncpy(driver.deviceKey, value.c_str(), sizeof driver.deviceKey - 1);
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
    using Link = HardwareProfile::Link;
    int pairs = (profile.inputs + 1) / 2;
    for (int i = 0; i < pairs; ++i)
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
    mainMix = std::make_unique<StandinMainMix>(auxChains, mainBus_, log_, std::move(raise));
    for (int i = 0; i < profile.auxBuses; ++i)
        buses[i]->aux = mainMix->Aux(i);

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
    if (log_)
        log_("PrepareDsp");
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
        systems_.back()->master = i == 0;
        for (auto& strip : systems_.back()->strips)
            strip->id = kMaxChannels * i + strip->GetIndex();
    }
}

IVarnStrip* VARN_CALL StandinMixer::GetStripById(int id)
{
    for (const auto& system : systems_)
        for (const auto& strip : system->strips)
            if (strip && strip->GetId() == id)
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
        for (const auto& text : mixer.sessionSettings.texts)
            out << "session " << text.first << "=" << Utf8(text.second) << "\n";
        for (int i = 0; i < mixer.SystemCount(); ++i)
        {
            auto* system = static_cast<StandinHardware*>(mixer.GetSystem(i));
            for (const auto& setting : system->settings.values)
                out << "setting " << i << " " << setting.first << "=" << setting.second << "\n";
            system->mainMix->Save(out, i);
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
            return std::atoi(line.c_str() + 5);
    }
    return 6;
}

int VARN_CALL StandinFxLibrary::LoadCoreEffects()
{
    coreEffects = SubfolderNames(folder_ / "Core Effects" / "Presets");
    return 1;
}

int VARN_CALL StandinFxLibrary::LoadCategories()
{
    categories = SubfolderNames(folder_ / "Effect Presets");
    return 1;
}

int VARN_CALL StandinFxLibrary::GetCategoryInfo(int index, void* record)
{
    if (!record || index < 0 || index >= GetCategoryCount())
        return 0;
    unsigned char* bytes = static_cast<unsigned char*>(record);
    std::memset(bytes, 0, 264);
    const std::u16string& name = categories[index];
    std::memcpy(bytes, name.data(), std::min<size_t>(name.size(), 127) * sizeof(char16_t));
    return 1;
}

int VARN_CALL StandinFxLibrary::ImportLibrary(const char16_t* corePresetsFolder, const char16_t* effectPresetsFolder)
{
    if (!corePresetsFolder || !effectPresetsFolder)
        return 0;
    std::error_code error;
    const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    fs::create_directories(folder_ / "Core Effects" / "Presets", error);
    fs::copy(fs::path(corePresetsFolder), folder_ / "Core Effects" / "Presets", options, error);
    if (error)
        return 0;
    fs::create_directories(folder_ / "Effect Presets", error);
    fs::copy(fs::path(effectPresetsFolder), folder_ / "Effect Presets", options, error);
    return error ? 0 : 1;
}
