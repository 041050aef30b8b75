#include "standins/engine/EngineControl.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "mixer/engine/EngineVocabulary.h"
#include "standins/engine/StandinChains.h"
#include "standins/engine/StandinEffects.h"
#include "standins/engine/StandinServices.h"
#include "standins/engine/StandinStrips.h"

namespace
{
bool ParseWhole(const std::string& word, long long low, long long high, long long& value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(word.c_str(), &end, 10);
    return errno == 0 && end && *end == 0 && value >= low && value <= high;
}

bool ParseReal(const std::string& word, float& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtof(word.c_str(), &end);
    return !word.empty() && errno == 0 && end && *end == 0 && std::isfinite(value);
}
} // namespace

std::string EngineControl::Refuse(const std::string& request, const std::string& why)
{
    // A hostile request may be long or unprintable: the log keeps a short, readable part.
    std::string shown;
    for (char c : request.substr(0, 64))
        shown += c >= 0x20 && c < 0x7F ? c : '?';
    engine_.Log("Control refused (" + why + "): " + shown);
    return "refused: " + why;
}

std::string EngineControl::Handle(const std::string& request)
{
    if (request.size() > kMaxRequest)
        return Refuse(request, "too long");
    for (char c : request)
    {
        if (c < 0x20 || c >= 0x7F)
            return Refuse(request, "not printable text");
    }
    std::istringstream in(request);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.size() == 1 && words[0] == "log")
    {
        std::string text;
        for (const std::string& entry : engine_.GetCallLog())
            text += entry + "\n";
        return text;
    }
    if (!words.empty() && words[0] == "set")
        return SetLevel(request, words);
    if (!words.empty() && words[0] == "insert")
        return AddInsert(request, words);
    if (!words.empty() && words[0] == "setting")
        return SetSetting(request, words);
    if (!words.empty() && words[0] == ClientRequest::kRequest)
        return ChangeClientParameter(request, words);
    if (words.empty() || words[0] != "raise")
        return Refuse(request, "unknown request");
    long long id = 0, argument = 0;
    if (words.size() < 2 || !ParseWhole(words[1], 0, INT32_MAX, id))
        return Refuse(request, "no event id");
    if (words.size() == 8 && words[2] == "time")
    {
        auto record = std::make_unique<std::array<unsigned char, 5>>();
        for (size_t i = 0; i < record->size(); ++i)
        {
            long long byte = 0;
            if (!ParseWhole(words[3 + i], 0, 255, byte))
                return Refuse(request, "bad time code");
            (*record)[i] = static_cast<unsigned char>(byte);
        }
        unsigned char* bytes = record->data();
        timeCodes_.push_back(std::move(record));
        engine_.Log("Control " + request);
        engine_.RaiseEvent(static_cast<int>(id), reinterpret_cast<VarnEventArg>(bytes),
                           [bytes] { std::fill(bytes, bytes + 5, 0xFF); });
        return "ok";
    }
    if (words.size() == 6 && (words[2] == "port" || words[2] == "input"))
    {
        // A channel item (IVarnOutput, kinds 0-2) or an input (IVarnInput, kinds 0-3).
        const bool port = words[2] == "port";
        long long system = 0, kind = 0, index = 0;
        VarnEventArg object = 0;
        if (ParseWhole(words[3], 0, 63, system) && ParseWhole(words[4], 0, port ? 2 : 3, kind) &&
            ParseWhole(words[5], 0, 255, index))
        {
            IVarnMixer* mixer = engine_.GetMixer();
            auto* hardware =
                mixer ? static_cast<StandinHardware*>(mixer->GetSystem(static_cast<int>(system))) : nullptr;
            if (hardware && port)
                object = reinterpret_cast<VarnEventArg>(
                    hardware->items.GetPort(static_cast<int>(kind), static_cast<int>(index)));
            else if (hardware)
                object = reinterpret_cast<VarnEventArg>(
                    hardware->inputList.GetInput(static_cast<int>(kind), static_cast<int>(index)));
        }
        if (!object)
            return Refuse(request, port ? "no such port" : "no such input");
        engine_.Log("Control " + request);
        engine_.RaiseEvent(static_cast<int>(id), object);
        return "ok";
    }
    if (words.size() > 3 || (words.size() == 3 && !ParseWhole(words[2], INT32_MIN, INT32_MAX, argument)))
        return Refuse(request, "bad argument");
    engine_.Log("Control " + request);
    engine_.RaiseEvent(static_cast<int>(id), static_cast<VarnEventArg>(argument));
    return "ok";
}

std::string EngineControl::SetSetting(const std::string& request, const std::vector<std::string>& words)
{
    long long system = 0, value = 0;
    if (words.size() != 4 || !ParseWhole(words[1], 0, 63, system) || !ParseWhole(words[3], INT32_MIN, INT32_MAX, value))
        return Refuse(request, "bad argument");
    IVarnMixer* mixer = engine_.GetMixer();
    IVarnHardware* hardware = mixer ? mixer->GetSystem(static_cast<int>(system)) : nullptr;
    IVarnSettings* settings = hardware ? hardware->GetSettings() : nullptr;
    if (!settings)
        return Refuse(request, "no such system");
    engine_.Log("Control " + request);
    if (!settings->SetValue(words[2].c_str(), static_cast<int>(value), 0, 0))
        return Refuse(request, "refused by the settings");
    return "ok";
}

std::string EngineControl::SetLevel(const std::string& request, const std::vector<std::string>& words)
{
    if (words.size() == 5 && words[1] == "strip")
        return SetStripValue(request, words);
    float level = 0.0f;
    if (words.size() != 3 || words[1] != "mainlevel" || !ParseReal(words[2], level))
        return Refuse(request, "bad argument");
    IVarnMixer* mixer = engine_.GetMixer();
    IVarnHardware* hardware = mixer ? mixer->GetSystem(0) : nullptr;
    IVarnMainMix* mix = hardware ? hardware->GetMainMix() : nullptr;
    if (!mix)
        return Refuse(request, "no main mix");
    engine_.Log("Control " + request);
    // The main mix raises 300 itself, as for any change.
    return mix->SetMainLevel(level, 0) ? "ok" : "refused: out of range";
}

std::string EngineControl::SetStripValue(const std::string& request, const std::vector<std::string>& words)
{
    long long id = 0;
    IVarnMixer* mixer = engine_.GetMixer();
    auto* strip = mixer && ParseWhole(words[2], 0, INT32_MAX, id)
                      ? static_cast<StandinStrip*>(mixer->GetStripById(static_cast<int>(id)))
                      : nullptr;
    if (!strip)
        return Refuse(request, "no such strip");
    const std::string& value = words[3];
    const std::string& text = words[4];
    float real = 0.0f;
    long long flag = 0;
    const bool isReal = ParseReal(text, real);
    const bool isFlag = ParseWhole(text, 0, 1, flag);
    int done = -1;
    int synth = 0, channel = 0;
    char tail = 0;
    if (value == "gain" && isReal)
        done = strip->SetGain(real, 0);
    else if ((value == "send1" || value == "send2") && isReal)
        done = strip->SetSendLevel(value == "send2" ? 1 : 0, real, 0);
    else if ((value == "pan0" || value == "pan1") && isReal)
        done = strip->SetPan(value == "pan1" ? 1 : 0, real, 0);
    else if (value == "mute" && isFlag)
        done = strip->SetMute(static_cast<int>(flag), 0);
    else if (value == "solo" && isFlag)
        done = strip->SetSolo(static_cast<int>(flag), 0, 0);
    else if (value == "name")
        done = strip->SetName(std::u16string(text.begin(), text.end()).c_str(), 0);
    else if (value == "dsp" && isFlag)
        done = flag ? strip->LoadDsp(0) : FreeStripDsp(*strip);
    else if (std::sscanf(value.c_str(), "s%dc%d%c", &synth, &channel, &tail) == 2 && synth >= 1 && synth <= 2 &&
             channel >= 1 && channel <= 16 && isFlag)
    {
        auto* source = dynamic_cast<StandinInput*>(strip->GetSource());
        done = source && source->SetSynthChannel(synth - 1, channel - 1, flag != 0) ? 1 : 0;
    }
    if (done < 0)
        return Refuse(request, "bad argument");
    engine_.Log("Control " + request);
    return done ? "ok" : "refused: out of range";
}

std::string EngineControl::AddInsert(const std::string& request, const std::vector<std::string>& words)
{
    // The chain takes one word ("main") or two; the kind and the effect's name follow.
    const size_t kindAt = words.size() > 2 && words[2] == "main" ? 3 : 4;
    if (words.size() <= kindAt)
        return Refuse(request, "bad argument");
    long long system = 0;
    IVarnMixer* mixer = engine_.GetMixer();
    auto* hardware = mixer && ParseWhole(words[1], 0, 63, system)
                         ? static_cast<StandinHardware*>(mixer->GetSystem(static_cast<int>(system)))
                         : nullptr;
    if (!hardware)
        return Refuse(request, "no such system");
    std::istringstream chainWords(words[2] + (kindAt == 4 ? " " + words[3] : std::string()));
    StandinBus* bus = StandinFindChain(*hardware, chainWords);
    if (!bus)
        return Refuse(request, "no such chain");
    const std::string& kind = words[kindAt];
    std::string name;
    for (size_t i = kindAt + 1; i < words.size(); ++i)
        name += (name.empty() ? "" : " ") + words[i];
    if (kind != "effect" && !name.empty())
        return Refuse(request, "bad argument");
    VarnCoreEffectRecord effect{};
    if (kind == "effect")
    {
        StandinEffects* effects = hardware->mixer ? hardware->mixer->effects : nullptr;
        const int count = effects ? effects->CoreEffectCount() : 0;
        int found = 0;
        for (int i = 0; i < count && !found; ++i)
            found = effects->CoreEffectInfo(i, &effect) && StandinLogText(effect.name) == name;
        if (!found)
            return Refuse(request, "no such effect");
    }
    else if (kind != "meter" && kind != "trim" && kind != "testsignal" && kind != "balance")
        return Refuse(request, "bad argument");
    engine_.Log("Control " + request);
    // The chain raises 700 itself, as for any add.
    const int answer = kind == "effect"       ? bus->AddEffect(&effect, -1, 1)
                       : kind == "meter"      ? bus->AddMeterInsert(-1, 1)
                       : kind == "trim"       ? bus->AddTrimInsert(-1, 1)
                       : kind == "testsignal" ? bus->AddTestSignalInsert(-1, 1)
                                              : bus->AddBalanceInsert(-1, 1);
    return answer == VarnInsertDone ? "ok" : "refused: answer " + std::to_string(answer);
}

std::string ClientRequest::Text(int clientId, int position, const char* change, int parameter, const std::string& value)
{
    return std::string(kRequest) + " " + std::to_string(clientId) + " " + std::to_string(position) + " " + change +
           " " + std::to_string(parameter) + " " + value;
}

std::string EngineControl::ChangeClientParameter(const std::string& request, const std::vector<std::string>& words)
{
    if (words.size() < 6)
        return Refuse(request, "bad argument");
    const std::string& change = words[3];
    const IdRange range = change == ClientRequest::kLevel || change == ClientRequest::kValue
                              ? EngineEvent::kEffectParameter
                          : change == ClientRequest::kChoices ? EngineEvent::kEffectBankA
                          : change == ClientRequest::kKind    ? EngineEvent::kEffectBankB
                          : change == ClientRequest::kName    ? EngineEvent::kEffectBankC
                                                              : IdRange{0, -1};
    long long client = 0, position = 0, parameter = 0;
    if (range.last < range.first || !ParseWhole(words[1], 1, INT32_MAX, client) ||
        !ParseWhole(words[2], 0, INT32_MAX, position) || !ParseWhole(words[4], 0, range.last - range.first, parameter))
        return Refuse(request, "bad argument");
    // The value is the rest of the request, its words one blank apart.
    std::string value;
    for (size_t i = 5; i < words.size(); ++i)
        value += (i > 5 ? " " : "") + words[i];
    const auto text = [](const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); };
    StandinEffects& effects = static_cast<StandinAutomation*>(engine_.GetAutomation())->Effects();
    const int c = static_cast<int>(client), at = static_cast<int>(position), p = static_cast<int>(parameter);
    int notifyId = 0;
    if (!effects.GetInsertNotifyId(c, at, &notifyId))
        return Refuse(request, "no such insert");
    float real = 0.0f;
    long long whole = 0;
    int done = 0;
    if (change == ClientRequest::kLevel)
        done = words.size() == 6 && ParseReal(value, real) && effects.HoldMeterLevel(c, at, p, real, &notifyId);
    else if (change == ClientRequest::kValue)
        done = words.size() == 6 && ParseReal(value, real) &&
               effects.ChangeValue(c, at, p, static_cast<double>(real), &notifyId);
    else if (change == ClientRequest::kChoices)
    {
        std::vector<std::u16string> choices;
        std::istringstream names(value);
        for (std::string name; std::getline(names, name, ',');)
            choices.push_back(text(name));
        done = effects.ChangeChoices(c, at, p, choices, &notifyId);
    }
    else if (change == ClientRequest::kKind)
        done = words.size() == 6 && ParseWhole(value, 0, 4, whole) &&
               effects.ChangeParamKind(c, at, p, static_cast<int>(whole), &notifyId);
    else
        done = effects.ChangeParamName(c, at, p, text(value), &notifyId);
    if (!done)
        return Refuse(request, "refused by the insert");
    engine_.Log("Control " + request);
    engine_.RaiseEvent(range.first + p, static_cast<VarnEventArg>(notifyId));
    return "ok";
}

int EngineControl::FreeStripDsp(StandinStrip& strip)
{
    {
        std::lock_guard<std::recursive_mutex> hold(strip.list->Mixer().stripLock);
        if (!strip.hasDsp)
            return 1;
        strip.hasDsp = false;
        strip.list->Mixer().dsp.give(kStandinStripDsp);
    }
    strip.list->Raise(EngineEvent::kStripDsp, strip);
    return 1;
}

std::string ControlChannelName(unsigned long processId)
{
    return "\\\\.\\pipe\\KivCorvanEngine." + std::to_string(processId);
}

#ifndef _WIN32
std::unique_ptr<ControlChannel> OpenControlChannel(std::function<std::string(const std::string&)>)
{
    return nullptr;
}
#endif
