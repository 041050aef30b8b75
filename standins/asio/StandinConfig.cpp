#include "standins/asio/StandinConfig.h"

#include "plugins/base/asio/DeviceEnumerator.h"
#include "standins/asio/AsioStandin.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{

struct IniFile
{
    std::string path;

    std::string Text(const char* section, const char* key, const std::string& fallback) const
    {
        char value[256] = {};
        GetPrivateProfileStringA(section, key, fallback.c_str(), value, sizeof(value), path.c_str());
        return value;
    }

    int Int(const char* section, const char* key, int fallback) const
    {
        return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, path.c_str()));
    }

    double Real(const char* section, const char* key, double fallback) const
    {
        const std::string text = Text(section, key, "");
        return text.empty() ? fallback : std::strtod(text.c_str(), nullptr);
    }

    bool Flag(const char* section, const char* key) const { return Int(section, key, 0) != 0; }
};

std::vector<std::string> Names(const IniFile* file, const char* key, const char* prefix, int count)
{
    std::vector<std::string> names;
    for (int k = 0; k < count; ++k)
    {
        const std::string fallback = prefix + std::to_string(k + 1);
        const std::string name = file ? file->Text("Driver", (key + std::to_string(k)).c_str(), fallback) : fallback;
        names.push_back(name);
    }
    return names;
}

} // namespace

StandinConfig StandinConfig::Load()
{
    StandinConfig config;
    // An unrelated device of the maker (its subsystem id is the bare pattern), then the card.
    config.devices = {{kKivVendorId, kKivDeviceIds[0], kKivSubsystemPattern},
                      {kKivVendorId, kKivDeviceIds[1], kKivSubsystemPattern | 0x00010000}};

    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(kStandinConfigVariable, path, sizeof(path));
    const bool hasFile = length > 0 && length < sizeof(path);
    IniFile file{hasFile ? path : ""};
    if (hasFile)
    {
        config.inputs = std::clamp(file.Int("Driver", "Inputs", config.inputs), 0, kMaxChannels);
        config.outputs = std::clamp(file.Int("Driver", "Outputs", config.outputs), 0, kMaxChannels);
        config.sampleType = file.Int("Driver", "SampleType", config.sampleType);
        config.minBuffer = file.Int("Driver", "MinBuffer", config.minBuffer);
        config.maxBuffer = file.Int("Driver", "MaxBuffer", config.maxBuffer);
        config.preferredBuffer = file.Int("Driver", "PreferredBuffer", config.preferredBuffer);
        config.granularity = file.Int("Driver", "Granularity", config.granularity);
        config.rate = file.Real("Driver", "Rate", config.rate);
        config.inputLatency = file.Int("Driver", "InputLatency", config.inputLatency);
        config.outputLatency = file.Int("Driver", "OutputLatency", config.outputLatency);
        config.loopDelay = std::max(0, file.Int("Driver", "LoopDelay", config.loopDelay));
        config.loopDelayOneBuffer = file.Text("Driver", "LoopDelay", "") == "buffer";
        config.loopGain = file.Real("Driver", "LoopGain", config.loopGain);
        config.outputReadyAnswer = file.Int("Driver", "OutputReady", config.outputReadyAnswer);
        config.manualClock = file.Text("Driver", "Clock", "thread") == "manual";
        config.failInit = file.Flag("Driver", "FailInit");
        config.failGetChannels = file.Flag("Driver", "FailGetChannels");
        config.failCreateBuffers = file.Flag("Driver", "FailCreateBuffers");
        config.failStart = file.Flag("Driver", "FailStart");
        config.failGetSampleRate = file.Flag("Driver", "FailGetSampleRate");
        config.refuseKivInterface = file.Flag("Driver", "RefuseKivInterface");

        const int devices = file.Int("Enumerator", "Devices", -1);
        if (devices >= 0)
        {
            config.devices.clear();
            for (int i = 0; i < devices; ++i)
            {
                const std::string text = file.Text("Enumerator", ("Device" + std::to_string(i)).c_str(), "");
                StandinDevice device{};
                if (std::sscanf(text.c_str(), "%x %x %x", &device.vendorId, &device.deviceId, &device.subsystemId) == 3)
                {
                    config.devices.push_back(device);
                }
            }
        }
    }
    config.inputNames = Names(hasFile ? &file : nullptr, "InputName", "In ", config.inputs);
    config.outputNames = Names(hasFile ? &file : nullptr, "OutputName", "Out ", config.outputs);
    return config;
}
