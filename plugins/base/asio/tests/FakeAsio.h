#pragma once
// A scriptable driver, device enumerator and system for the link's tests: each records the
// calls made on it and answers what the test sets.

#include "plugins/base/asio/AsioDriver.h"
#include "plugins/base/asio/AsioSystem.h"
#include "plugins/base/asio/DeviceEnumerator.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class FakeDriver final : public IAsioDriver
{
public:
    std::vector<std::string> calls; // not outputReady: see outputReadyCalls
    int32_t inputs = 8;
    int32_t outputs = 8;
    std::vector<std::string> inputNames;
    std::vector<int32_t> activeOutputs;
    int32_t sampleType = kAsioSampleInt32;
    int32_t minimumSize = 64;
    int32_t maximumSize = 4096;
    int32_t preferredSize = 512;
    int32_t granularity = 64;
    AsioBool initAnswer = 1;
    AsioError channelsAnswer = kAsioOk;
    int channelsAnsweredFirst = 0; // getChannels calls that succeed before channelsAnswer applies
    AsioError latenciesAnswer = kAsioOk;
    AsioError bufferSizeAnswer = kAsioOk;
    AsioError createAnswer = kAsioOk;
    AsioError startAnswer = kAsioOk;
    AsioError canRateAnswer = kAsioOk;
    AsioError setRateAnswer = kAsioOk;
    AsioError outputReadyAnswer = kAsioOk;
    int outputReadyCalls = 0; // read by the test after the switching thread joined
    // Runs inside outputReady, on the switching thread (lets a test hold a switch open).
    std::function<void()> duringOutputReady;
    // Runs inside start and stop (lets a test run a clock, or act while the driver stops).
    std::function<void()> duringStart;
    std::function<void()> duringStop;
    AsioCallbacks callbacks{};
    std::vector<int32_t> memory; // the buffers of the last createBuffers, both halves each
    int32_t bufferCount = 0;
    int32_t bufferSize = 0;
    int references = 1;
    // The maker's second interface: answered by this object unless refused.
    bool refuseKivInterface = false;
    double sampleRate = 44100;
    AsioError sampleRateAnswer = kAsioOk;

    void Log(const std::string& call) { calls.push_back(call); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        Log("QueryInterface");
        if (id == kKivDriverInterfaceId && !refuseKivInterface)
        {
            AddRef();
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        Log("Release");
        return static_cast<ULONG>(--references);
    }

    AsioBool KIV_THISCALL init(void*) override
    {
        Log("init");
        return initAnswer;
    }
    void KIV_THISCALL getDriverName(char* name) override
    {
        Log("getDriverName");
        std::string("Fake card").copy(name, 9);
        name[9] = '\0';
    }
    int32_t KIV_THISCALL getDriverVersion() override
    {
        Log("getDriverVersion");
        return 7;
    }
    void KIV_THISCALL getErrorMessage(char* text) override { text[0] = '\0'; }
    AsioError KIV_THISCALL start() override
    {
        Log("start");
        if (duringStart && startAnswer == kAsioOk)
        {
            duringStart();
        }
        return startAnswer;
    }
    AsioError KIV_THISCALL stop() override
    {
        Log("stop");
        if (duringStop)
        {
            duringStop();
        }
        return kAsioOk;
    }
    AsioError KIV_THISCALL getChannels(int32_t* in, int32_t* out) override
    {
        Log("getChannels");
        const AsioError answer = channelsAnsweredFirst > 0 ? kAsioOk : channelsAnswer;
        channelsAnsweredFirst = channelsAnsweredFirst > 0 ? channelsAnsweredFirst - 1 : 0;
        if (answer == kAsioOk)
        {
            *in = inputs;
            *out = outputs;
        }
        return answer;
    }
    AsioError KIV_THISCALL getLatencies(int32_t* in, int32_t* out) override
    {
        Log("getLatencies");
        *in = 100;
        *out = 200;
        return latenciesAnswer;
    }
    AsioError KIV_THISCALL getBufferSize(int32_t* minimum, int32_t* maximum, int32_t* preferred,
                                         int32_t* granularity) override
    {
        Log("getBufferSize");
        *minimum = minimumSize;
        *maximum = maximumSize;
        *preferred = preferredSize;
        *granularity = this->granularity;
        return bufferSizeAnswer;
    }
    AsioError KIV_THISCALL canSampleRate(double rate) override
    {
        Log("canSampleRate " + std::to_string(static_cast<int>(rate)));
        return canRateAnswer;
    }
    AsioError KIV_THISCALL getSampleRate(double* rate) override
    {
        Log("getSampleRate");
        *rate = sampleRate;
        return sampleRateAnswer;
    }
    AsioError KIV_THISCALL setSampleRate(double rate) override
    {
        Log("setSampleRate " + std::to_string(static_cast<int>(rate)));
        return setRateAnswer;
    }
    AsioError KIV_THISCALL getClockSources(AsioClockSource*, int32_t*) override { return kAsioOk; }
    AsioError KIV_THISCALL setClockSource(int32_t) override { return kAsioOk; }
    AsioError KIV_THISCALL getSamplePosition(AsioSamples*, AsioTimeStamp*) override { return kAsioOk; }
    AsioError KIV_THISCALL getChannelInfo(AsioChannelInfo* info) override
    {
        Log(std::string("getChannelInfo ") + (info->isInput ? "in " : "out ") + std::to_string(info->channel));
        info->type = sampleType;
        info->isActive = 0;
        if (!info->isInput)
        {
            for (int32_t active : activeOutputs)
            {
                info->isActive = info->isActive || active == info->channel;
            }
        }
        const std::string name = info->isInput && info->channel < static_cast<int32_t>(inputNames.size())
                                     ? inputNames[static_cast<size_t>(info->channel)]
                                     : "Ch " + std::to_string(info->channel);
        name.copy(info->name, kAsioNameSize - 1);
        info->name[std::min(name.size(), kAsioNameSize - 1)] = '\0';
        return kAsioOk;
    }
    AsioError KIV_THISCALL createBuffers(AsioBufferInfo* infos, int32_t count, int32_t size,
                                         AsioCallbacks* given) override
    {
        Log("createBuffers " + std::to_string(count) + " " + std::to_string(size));
        if (createAnswer != kAsioOk)
        {
            return createAnswer;
        }
        memory.assign(static_cast<size_t>(count) * 2 * static_cast<size_t>(size), 0);
        for (int32_t i = 0; i < count; ++i)
        {
            infos[i].buffers[0] = &memory[static_cast<size_t>(2 * i) * static_cast<size_t>(size)];
            infos[i].buffers[1] = &memory[static_cast<size_t>(2 * i + 1) * static_cast<size_t>(size)];
        }
        callbacks = *given;
        bufferCount = count;
        bufferSize = size;
        return kAsioOk;
    }
    AsioError KIV_THISCALL disposeBuffers() override
    {
        Log("disposeBuffers");
        return kAsioOk;
    }
    AsioError KIV_THISCALL controlPanel() override { return kAsioOk; }
    AsioError KIV_THISCALL future(int32_t, void*) override { return kAsioInvalidParameter; }
    AsioError KIV_THISCALL outputReady() override
    {
        ++outputReadyCalls;
        if (duringOutputReady)
        {
            duringOutputReady();
        }
        return outputReadyAnswer;
    }
};

struct FakeDevice
{
    GUID classId;
    uint32_t vendorId;
    uint32_t deviceId;
    uint32_t subsystemId;
};

class FakeEnumerator final : public IDeviceEnumerator
{
public:
    std::vector<FakeDevice> devices;
    std::vector<std::string> calls;
    int references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        calls.push_back("Release");
        return static_cast<ULONG>(--references);
    }
    int32_t STDMETHODCALLTYPE DeviceEntry(uint32_t index, GUID* classId, char* name) override
    {
        calls.push_back("entry " + std::to_string(index));
        if (index >= devices.size())
        {
            return 1;
        }
        *classId = devices[index].classId;
        std::string("device").copy(name, 7);
        return 0;
    }
    int32_t STDMETHODCALLTYPE DeviceInformation(void* root, DeviceInfoRecord* record) override
    {
        calls.push_back("info " + std::to_string(record->size) + " " + std::to_string(record->index));
        lastRoot = root;
        // The record arrives zeroed apart from size and index.
        zeroed = record->vendorId == 0 && record->deviceId == 0 && record->subsystemId == 0;
        if (record->index < devices.size())
        {
            record->vendorId = devices[record->index].vendorId;
            record->deviceId = devices[record->index].deviceId;
            record->subsystemId = devices[record->index].subsystemId;
        }
        return 0;
    }
    void* lastRoot = nullptr;
    bool zeroed = false;
};

class FakeSystem final : public AsioSystem
{
public:
    std::map<std::string, IUnknown*> objects; // by the class id's first field, in hex
    std::vector<std::string> messages;        // "text|caption"

    static std::string Key(const GUID& id) { return std::to_string(id.Data1); }

    HRESULT CreateObject(const GUID& classId, void** object) override
    {
        auto found = objects.find(Key(classId));
        if (found == objects.end())
        {
            *object = nullptr;
            return E_FAIL;
        }
        found->second->AddRef();
        *object = found->second;
        return S_OK;
    }
    std::string LoadText(int id) override { return "text " + std::to_string(id); }
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        messages.push_back(text + "|" + caption);
    }
};
