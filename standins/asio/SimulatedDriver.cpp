#include "standins/asio/SimulatedDriver.h"

#include "plugins/base/asio/DeviceEnumerator.h"
#include "standins/asio/AsioStandin.h"
#include "standins/asio/StandinLog.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>

namespace
{

// Every live driver of the process, for the control functions.
std::mutex gDriversLock;
std::vector<SimulatedDriver*> gDrivers; // guarded by gDriversLock

// Channels held by any client of the process: [is input][channel] -> client count.
std::mutex gChannelsLock;
int gHeld[2][StandinConfig::kMaxChannels] = {}; // guarded by gChannelsLock

void Hold(bool isInput, int32_t channel, int delta)
{
    std::lock_guard<std::mutex> lock(gChannelsLock);
    gHeld[isInput ? 1 : 0][channel] += delta;
}

bool IsHeld(bool isInput, int32_t channel)
{
    std::lock_guard<std::mutex> lock(gChannelsLock);
    return gHeld[isInput ? 1 : 0][channel] > 0;
}

bool IsSupportedRate(double rate)
{
    for (double supported : {44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0})
    {
        if (rate == supported)
        {
            return true;
        }
    }
    return false;
}

void CopyName(char* to, const std::string& from)
{
    std::memset(to, 0, kAsioNameSize);
    std::strncpy(to, from.c_str(), kAsioNameSize - 1);
}

} // namespace

SimulatedDriver::SimulatedDriver(const StandinConfig& config) : m_config(config), m_rate(config.rate)
{
    std::lock_guard<std::mutex> lock(gDriversLock);
    gDrivers.push_back(this);
}

SimulatedDriver::~SimulatedDriver()
{
    {
        std::lock_guard<std::mutex> lock(gDriversLock);
        gDrivers.erase(std::find(gDrivers.begin(), gDrivers.end(), this));
    }
    if (m_hasBuffers)
    {
        disposeBuffers();
    }
    StandinLog::Add("destroy");
}

HRESULT STDMETHODCALLTYPE SimulatedDriver::QueryInterface(REFIID iid, void** object)
{
    if (!object)
    {
        return E_POINTER;
    }
    *object = nullptr;
    const bool kivInterface = iid == kKivDriverInterfaceId;
    StandinLog::Add(kivInterface ? "QueryInterface kiv" : "QueryInterface");
    if (iid == IID_IUnknown || iid == kStandinDriverId || (kivInterface && !m_config.refuseKivInterface))
    {
        *object = static_cast<IAsioDriver*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE SimulatedDriver::AddRef()
{
    return ++m_references;
}

ULONG STDMETHODCALLTYPE SimulatedDriver::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
    {
        delete this;
    }
    return left;
}

AsioError SimulatedDriver::Fail(AsioError error, const char* text)
{
    std::strncpy(m_error, text, sizeof(m_error) - 1);
    return error;
}

AsioBool KIV_THISCALL SimulatedDriver::init(void*)
{
    StandinLog::Add("init");
    if (m_config.failInit)
    {
        Fail(kAsioNotPresent, "init refused (configured)");
        return 0;
    }
    m_initialized = true;
    return 1;
}

void KIV_THISCALL SimulatedDriver::getDriverName(char* name)
{
    StandinLog::Add("getDriverName");
    CopyName(name, kStandinDriverName);
}

int32_t KIV_THISCALL SimulatedDriver::getDriverVersion()
{
    StandinLog::Add("getDriverVersion");
    return 1;
}

void KIV_THISCALL SimulatedDriver::getErrorMessage(char* text)
{
    StandinLog::Add("getErrorMessage");
    std::memcpy(text, m_error, sizeof(m_error));
}

AsioError KIV_THISCALL SimulatedDriver::start()
{
    StandinLog::Add("start");
    std::lock_guard<std::mutex> lock(m_switchLock);
    if (!m_hasBuffers)
    {
        return Fail(kAsioInvalidMode, "start without buffers");
    }
    if (m_config.failStart)
    {
        return Fail(kAsioHardwareMalfunction, "start refused (configured)");
    }
    if (!m_started)
    {
        m_started = true;
        if (!m_config.manualClock)
        {
            m_clockStopping = false;
            m_clock = std::thread(&SimulatedDriver::ClockThread, this);
        }
    }
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::stop()
{
    StandinLog::Add("stop");
    StopClock();
    std::lock_guard<std::mutex> lock(m_switchLock);
    m_started = false;
    return kAsioOk;
}

void SimulatedDriver::StopClock()
{
    {
        std::lock_guard<std::mutex> lock(m_clockLock);
        m_clockStopping = true;
    }
    m_clockWake.notify_all();
    if (m_clock.joinable())
    {
        m_clock.join();
    }
}

void SimulatedDriver::ClockThread()
{
    const auto period = std::chrono::duration<double>(static_cast<double>(m_bufferSize) / m_rate);
    auto next = std::chrono::steady_clock::now();
    for (;;)
    {
        next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        {
            std::unique_lock<std::mutex> lock(m_clockLock);
            if (m_clockWake.wait_until(lock, next, [this] { return m_clockStopping; }))
            {
                return;
            }
        }
        std::lock_guard<std::mutex> lock(m_switchLock);
        if (m_started)
        {
            RunSwitch();
        }
    }
}

AsioError KIV_THISCALL SimulatedDriver::getChannels(int32_t* inputs, int32_t* outputs)
{
    StandinLog::Add("getChannels");
    if (m_config.failGetChannels)
    {
        return Fail(kAsioHardwareMalfunction, "getChannels refused (configured)");
    }
    *inputs = m_config.inputs;
    *outputs = m_config.outputs;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::getLatencies(int32_t* input, int32_t* output)
{
    StandinLog::Add("getLatencies");
    *input = m_config.inputLatency;
    *output = m_config.outputLatency;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::getBufferSize(int32_t* minimum, int32_t* maximum, int32_t* preferred,
                                                      int32_t* granularity)
{
    StandinLog::Add("getBufferSize");
    *minimum = m_config.minBuffer;
    *maximum = m_config.maxBuffer;
    *preferred = m_config.preferredBuffer;
    *granularity = m_config.granularity;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::canSampleRate(double rate)
{
    StandinLog::Add("canSampleRate " + std::to_string(std::lround(rate)));
    return IsSupportedRate(rate) ? kAsioOk : kAsioNoClock;
}

AsioError KIV_THISCALL SimulatedDriver::getSampleRate(double* rate)
{
    StandinLog::Add("getSampleRate");
    if (m_config.failGetSampleRate)
    {
        return Fail(kAsioHardwareMalfunction, "getSampleRate refused (configured)");
    }
    *rate = m_rate;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::setSampleRate(double rate)
{
    StandinLog::Add("setSampleRate " + std::to_string(std::lround(rate)));
    if (!IsSupportedRate(rate))
    {
        return Fail(kAsioNoClock, "rate not supported");
    }
    m_rate = rate;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::getClockSources(AsioClockSource* clocks, int32_t* count)
{
    StandinLog::Add("getClockSources");
    if (!clocks || !count || *count < 1)
    {
        return kAsioInvalidParameter;
    }
    *clocks = AsioClockSource{0, -1, 0, 1, {}};
    CopyName(clocks->name, "Internal");
    *count = 1;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::setClockSource(int32_t reference)
{
    StandinLog::Add("setClockSource " + std::to_string(reference));
    return reference == 0 ? kAsioOk : kAsioInvalidParameter;
}

AsioError KIV_THISCALL SimulatedDriver::getSamplePosition(AsioSamples* position, AsioTimeStamp* time)
{
    std::lock_guard<std::mutex> lock(m_switchLock);
    if (!m_started)
    {
        return kAsioNotPresent;
    }
    position->hi = static_cast<uint32_t>(m_samplePosition >> 32);
    position->lo = static_cast<uint32_t>(m_samplePosition);
    const uint64_t nanoseconds = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    time->hi = static_cast<uint32_t>(nanoseconds >> 32);
    time->lo = static_cast<uint32_t>(nanoseconds);
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::getChannelInfo(AsioChannelInfo* info)
{
    if (!info)
    {
        return kAsioInvalidParameter;
    }
    const bool isInput = info->isInput != 0;
    StandinLog::Add(std::string("getChannelInfo ") + (isInput ? "in " : "out ") + std::to_string(info->channel));
    const int count = isInput ? m_config.inputs : m_config.outputs;
    if (info->channel < 0 || info->channel >= count)
    {
        return Fail(kAsioInvalidParameter, "no such channel");
    }
    info->isActive = IsHeld(isInput, info->channel) ? 1 : 0;
    info->channelGroup = 0;
    info->type = m_config.sampleType;
    CopyName(info->name, (isInput ? m_config.inputNames : m_config.outputNames)[info->channel]);
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::createBuffers(AsioBufferInfo* infos, int32_t count, int32_t bufferSize,
                                                      AsioCallbacks* callbacks)
{
    StandinLog::Add("createBuffers " + std::to_string(count) + " " + std::to_string(bufferSize));
    std::unique_lock<std::mutex> lock(m_switchLock);
    if (!m_initialized || m_hasBuffers)
    {
        return Fail(kAsioInvalidMode, "createBuffers in the wrong state");
    }
    if (m_config.failCreateBuffers)
    {
        return Fail(kAsioNoMemory, "createBuffers refused (configured)");
    }
    if (count < 0 || (count > 0 && !infos) || !callbacks || !callbacks->bufferSwitch ||
        bufferSize < m_config.minBuffer || bufferSize > m_config.maxBuffer)
    {
        return Fail(kAsioInvalidParameter, "createBuffers arguments");
    }
    for (int32_t i = 0; i < count; ++i)
    {
        const int channels = infos[i].isInput ? m_config.inputs : m_config.outputs;
        if (infos[i].channelNum < 0 || infos[i].channelNum >= channels)
        {
            return Fail(kAsioInvalidParameter, "createBuffers channel");
        }
    }
    const size_t sampleBytes = m_config.sampleType == kAsioSampleInt16 ? 2 : 4;
    for (int32_t i = 0; i < count; ++i)
    {
        Buffer buffer;
        buffer.isInput = infos[i].isInput != 0;
        buffer.channel = infos[i].channelNum;
        buffer.memory.assign(2 * static_cast<size_t>(bufferSize) * sampleBytes, 0);
        if (!buffer.isInput)
        {
            buffer.loop.assign(static_cast<size_t>(bufferSize) + static_cast<size_t>(m_config.loopDelay), 0);
        }
        m_buffers.push_back(std::move(buffer));
        Hold(infos[i].isInput != 0, infos[i].channelNum, 1);
    }
    for (int32_t i = 0; i < count; ++i)
    {
        uint8_t* memory = m_buffers[static_cast<size_t>(i)].memory.data();
        infos[i].buffers[0] = memory;
        infos[i].buffers[1] = memory + static_cast<size_t>(bufferSize) * sampleBytes;
    }
    m_bufferSize = bufferSize;
    m_callbacks = *callbacks;
    m_hasBuffers = true;
    m_nextHalf = 0;
    m_samplePosition = 0;
    m_pendingFrames = 0;
    lock.unlock();
    // Like a real driver, ask at once whether the client understands reset requests.
    if (callbacks->asioMessage)
    {
        const int32_t answer = callbacks->asioMessage(kAsioSelectorSupported, kAsioResetRequest, nullptr, nullptr);
        StandinLog::Add("asioMessage 1 3 = " + std::to_string(answer));
    }
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::disposeBuffers()
{
    StandinLog::Add("disposeBuffers");
    StopClock();
    std::lock_guard<std::mutex> lock(m_switchLock);
    m_started = false;
    if (!m_hasBuffers)
    {
        return kAsioInvalidMode;
    }
    for (const Buffer& buffer : m_buffers)
    {
        Hold(buffer.isInput, buffer.channel, -1);
    }
    m_buffers.clear();
    m_hasBuffers = false;
    m_callbacks = AsioCallbacks{};
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::controlPanel()
{
    StandinLog::Add("controlPanel");
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::future(int32_t selector, void*)
{
    StandinLog::Add("future " + std::to_string(selector));
    return kAsioInvalidParameter;
}

AsioError KIV_THISCALL SimulatedDriver::outputReady()
{
    StandinLog::CountOutputReady();
    return m_config.outputReadyAnswer;
}

int32_t SimulatedDriver::SampleAt(const Buffer& buffer, int half, int32_t i) const
{
    const size_t index = static_cast<size_t>(half) * static_cast<size_t>(m_bufferSize) + static_cast<size_t>(i);
    if (m_config.sampleType == kAsioSampleInt16)
    {
        int16_t value;
        std::memcpy(&value, buffer.memory.data() + index * 2, 2);
        return value;
    }
    int32_t value;
    std::memcpy(&value, buffer.memory.data() + index * 4, 4);
    return value;
}

void SimulatedDriver::StoreAt(Buffer& buffer, int half, int32_t i, int32_t value)
{
    const size_t index = static_cast<size_t>(half) * static_cast<size_t>(m_bufferSize) + static_cast<size_t>(i);
    if (m_config.sampleType == kAsioSampleInt16)
    {
        const int16_t narrow = static_cast<int16_t>(value);
        std::memcpy(buffer.memory.data() + index * 2, &narrow, 2);
        return;
    }
    std::memcpy(buffer.memory.data() + index * 4, &value, 4);
}

void SimulatedDriver::RunSwitch()
{
    const int half = m_nextHalf;
    m_nextHalf ^= 1;
    const double limit = m_config.sampleType == kAsioSampleInt16 ? 32767.0 : 2147483647.0;
    // Capture: each input channel hears its output channel's oldest bufferSize loop samples.
    for (Buffer& input : m_buffers)
    {
        if (!input.isInput)
        {
            continue;
        }
        const Buffer* output = nullptr;
        for (const Buffer& candidate : m_buffers)
        {
            if (!candidate.isInput && candidate.channel == input.channel)
            {
                output = &candidate;
            }
        }
        for (int32_t i = 0; i < m_bufferSize; ++i)
        {
            double value = 0.0;
            if (output)
            {
                value =
                    output->loop[(output->oldest + static_cast<size_t>(i)) % output->loop.size()] * m_config.loopGain;
            }
            StoreAt(input, half, i, static_cast<int32_t>(std::lround(std::clamp(value, -limit - 1.0, limit))));
        }
    }
    m_callbacks.bufferSwitch(half, 1);
    // Play: what the client wrote enters the loop in place of the samples just captured.
    for (Buffer& output : m_buffers)
    {
        if (output.isInput)
        {
            continue;
        }
        for (int32_t i = 0; i < m_bufferSize; ++i)
        {
            output.loop[(output.oldest + static_cast<size_t>(i)) % output.loop.size()] = SampleAt(output, half, i);
        }
        output.oldest = (output.oldest + static_cast<size_t>(m_bufferSize)) % output.loop.size();
    }
    m_samplePosition += static_cast<uint64_t>(m_bufferSize);
    StandinLog::CountSwitch();
}

int32_t SimulatedDriver::StepManualDrivers()
{
    std::lock_guard<std::mutex> drivers(gDriversLock);
    int32_t stepped = 0;
    for (SimulatedDriver* driver : gDrivers)
    {
        std::lock_guard<std::mutex> lock(driver->m_switchLock);
        if (driver->m_started && driver->m_config.manualClock)
        {
            driver->RunSwitch();
            ++stepped;
        }
    }
    return stepped;
}

int32_t SimulatedDriver::StepManualDriversByFrames(int32_t frames)
{
    std::lock_guard<std::mutex> drivers(gDriversLock);
    int32_t stepped = 0;
    for (SimulatedDriver* driver : gDrivers)
    {
        std::lock_guard<std::mutex> lock(driver->m_switchLock);
        if (!driver->m_started || !driver->m_config.manualClock || driver->m_bufferSize <= 0)
        {
            continue;
        }
        driver->m_pendingFrames += frames;
        while (driver->m_pendingFrames >= driver->m_bufferSize)
        {
            driver->m_pendingFrames -= driver->m_bufferSize;
            driver->RunSwitch();
            ++stepped;
        }
    }
    return stepped;
}

int32_t SimulatedDriver::RequestResetAll()
{
    std::lock_guard<std::mutex> drivers(gDriversLock);
    int32_t asked = 0;
    for (SimulatedDriver* driver : gDrivers)
    {
        AsioCallbacks callbacks;
        {
            std::lock_guard<std::mutex> lock(driver->m_switchLock);
            if (!driver->m_hasBuffers)
            {
                continue;
            }
            callbacks = driver->m_callbacks;
        }
        if (callbacks.asioMessage)
        {
            callbacks.asioMessage(kAsioResetRequest, 0, nullptr, nullptr);
            ++asked;
        }
    }
    return asked;
}
