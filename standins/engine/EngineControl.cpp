#include "standins/engine/EngineControl.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "standins/engine/StandinServices.h"

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

std::string EngineControl::SetLevel(const std::string& request, const std::vector<std::string>& words)
{
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
