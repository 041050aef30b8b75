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

SimulatedDriver::SimulatedDriver(const StandinConfig& config) : config_(config), rate_(config.rate)
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
    if (hasBuffers_)
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
    if (iid == IID_IUnknown || iid == kStandinDriverId || (kivInterface && !config_.refuseKivInterface))
    {
        *object = static_cast<IAsioDriver*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE SimulatedDriver::AddRef()
{
    return ++references_;
}

ULONG STDMETHODCALLTYPE SimulatedDriver::Release()
{
    const ULONG left = --references_;
    if (left == 0)
    {
        delete this;
    }
    return left;
}

AsioError SimulatedDriver::Fail(AsioError error, const char* text)
{
    std::strncpy(error_, text, sizeof(error_) - 1);
    return error;
}

AsioBool KIV_THISCALL SimulatedDriver::init(void*)
{
    StandinLog::Add("init");
    if (config_.failInit)
    {
        Fail(kAsioNotPresent, "init refused (configured)");
        return 0;
    }
    initialized_ = true;
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
    std::memcpy(text, error_, sizeof(error_));
}

AsioError KIV_THISCALL SimulatedDriver::start()
{
    StandinLog::Add("start");
    std::lock_guard<std::mutex> lock(switchLock_);
    if (!hasBuffers_)
    {
        return Fail(kAsioInvalidMode, "start without buffers");
    }
    if (config_.failStart)
    {
        return Fail(kAsioHardwareMalfunction, "start refused (configured)");
    }
    OpenDspTable();
    switchRate_ = rate_;
    if (!started_)
    {
        started_ = true;
        if (!config_.manualClock)
        {
            clockStopping_ = false;
            clock_ = std::thread(&SimulatedDriver::ClockThread, this);
        }
    }
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::stop()
{
    StandinLog::Add("stop");
    StopClock();
    std::lock_guard<std::mutex> lock(switchLock_);
    started_ = false;
    return kAsioOk;
}

void SimulatedDriver::StopClock()
{
    {
        std::lock_guard<std::mutex> lock(clockLock_);
        clockStopping_ = true;
    }
    clockWake_.notify_all();
    if (clock_.joinable())
    {
        clock_.join();
    }
}

void SimulatedDriver::ClockThread()
{
    const auto period = std::chrono::duration<double>(static_cast<double>(bufferSize_) / rate_);
    auto next = std::chrono::steady_clock::now();
    for (;;)
    {
        next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        {
            std::unique_lock<std::mutex> lock(clockLock_);
            if (clockWake_.wait_until(lock, next, [this] { return clockStopping_; }))
            {
                return;
            }
        }
        std::lock_guard<std::mutex> lock(switchLock_);
        if (started_)
        {
            RunSwitch();
        }
    }
}

AsioError KIV_THISCALL SimulatedDriver::getChannels(int32_t* inputs, int32_t* outputs)
{
    StandinLog::Add("getChannels");
    if (config_.failGetChannels)
    {
        return Fail(kAsioHardwareMalfunction, "getChannels refused (configured)");
    }
    *inputs = config_.inputs;
    *outputs = config_.outputs;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::getLatencies(int32_t* input, int32_t* output)
{
    StandinLog::Add("getLatencies");
    *input = config_.inputLatency;
    *output = config_.outputLatency;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::getBufferSize(int32_t* minimum, int32_t* maximum, int32_t* preferred,
                                                      int32_t* granularity)
{
    StandinLog::Add("getBufferSize");
    *minimum = config_.minBuffer;
    *maximum = config_.maxBuffer;
    *preferred = config_.preferredBuffer;
    *granularity = config_.granularity;
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
    if (config_.failGetSampleRate)
    {
        return Fail(kAsioHardwareMalfunction, "getSampleRate refused (configured)");
    }
    *rate = rate_;
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::setSampleRate(double rate)
{
    StandinLog::Add("setSampleRate " + std::to_string(std::lround(rate)));
    if (!IsSupportedRate(rate))
    {
        return Fail(kAsioNoClock, "rate not supported");
    }
    rate_ = rate;
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
    std::lock_guard<std::mutex> lock(switchLock_);
    if (!started_)
    {
        return kAsioNotPresent;
    }
    position->hi = static_cast<uint32_t>(samplePosition_ >> 32);
    position->lo = static_cast<uint32_t>(samplePosition_);
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
    const int count = isInput ? config_.inputs : config_.outputs;
    if (info->channel < 0 || info->channel >= count)
    {
        return Fail(kAsioInvalidParameter, "no such channel");
    }
    info->isActive = IsHeld(isInput, info->channel) ? 1 : 0;
    info->channelGroup = 0;
    info->type = config_.sampleType;
    CopyName(info->name, (isInput ? config_.inputNames : config_.outputNames)[info->channel]);
    return kAsioOk;
}

AsioError KIV_THISCALL SimulatedDriver::createBuffers(AsioBufferInfo* infos, int32_t count, int32_t bufferSize,
                                                      AsioCallbacks* callbacks)
{
    StandinLog::Add("createBuffers " + std::to_string(count) + " " + std::to_string(bufferSize));
    std::unique_lock<std::mutex> lock(switchLock_);
    if (!initialized_ || hasBuffers_)
    {
        return Fail(kAsioInvalidMode, "createBuffers in the wrong state");
    }
    if (config_.failCreateBuffers)
    {
        return Fail(kAsioNoMemory, "createBuffers refused (configured)");
    }
    if (count < 0 || (count > 0 && !infos) || !callbacks || !callbacks->bufferSwitch ||
        bufferSize < config_.minBuffer || bufferSize > config_.maxBuffer)
    {
        return Fail(kAsioInvalidParameter, "createBuffers arguments");
    }
    for (int32_t i = 0; i < count; ++i)
    {
        const int channels = infos[i].isInput ? config_.inputs : config_.outputs;
        if (infos[i].channelNum < 0 || infos[i].channelNum >= channels)
        {
            return Fail(kAsioInvalidParameter, "createBuffers channel");
        }
    }
    const size_t sampleBytes = config_.sampleType == kAsioSampleInt16 ? 2 : 4;
    for (int32_t i = 0; i < count; ++i)
    {
        Buffer buffer;
        buffer.isInput = infos[i].isInput != 0;
        buffer.channel = infos[i].channelNum;
        buffer.memory.assign(2 * static_cast<size_t>(bufferSize) * sampleBytes, 0);
        if (!buffer.isInput)
        {
            const int32_t delay = config_.loopDelayOneBuffer ? bufferSize : config_.loopDelay;
            buffer.loop.assign(static_cast<size_t>(bufferSize) + static_cast<size_t>(delay), 0);
        }
        buffers_.push_back(std::move(buffer));
        Hold(infos[i].isInput != 0, infos[i].channelNum, 1);
    }
    std::fill(std::begin(inputBuffer_), std::end(inputBuffer_), -1);
    std::fill(std::begin(outputBuffer_), std::end(outputBuffer_), -1);
    for (int32_t i = 0; i < count; ++i)
        (buffers_[static_cast<size_t>(i)].isInput ? inputBuffer_
                                                  : outputBuffer_)[buffers_[static_cast<size_t>(i)].channel] = i;
    dspPaths_.clear();
    for (int pair = 0; pair < DspTable::kRoutes && 2 * pair + 1 < config_.inputs; ++pair)
    {
        if (inputBuffer_[2 * pair] < 0 || inputBuffer_[2 * pair + 1] < 0)
            continue;
        DspPath path;
        path.pair = pair;
        path.left.assign(static_cast<size_t>(bufferSize), 0.0);
        path.right.assign(static_cast<size_t>(bufferSize), 0.0);
        dspPaths_.push_back(std::move(path));
    }
    OpenDspTable();
    switchRate_ = rate_;
    for (int32_t i = 0; i < count; ++i)
    {
        uint8_t* memory = buffers_[static_cast<size_t>(i)].memory.data();
        infos[i].buffers[0] = memory;
        infos[i].buffers[1] = memory + static_cast<size_t>(bufferSize) * sampleBytes;
    }
    bufferSize_ = bufferSize;
    callbacks_ = *callbacks;
    hasBuffers_ = true;
    nextHalf_ = 0;
    samplePosition_ = 0;
    pendingFrames_ = 0;
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
    std::lock_guard<std::mutex> lock(switchLock_);
    started_ = false;
    if (!hasBuffers_)
    {
        return kAsioInvalidMode;
    }
    for (const Buffer& buffer : buffers_)
    {
        Hold(buffer.isInput, buffer.channel, -1);
    }
    buffers_.clear();
    dspPaths_.clear();
    hasBuffers_ = false;
    callbacks_ = AsioCallbacks{};
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
    return config_.outputReadyAnswer;
}

int32_t SimulatedDriver::SampleAt(const Buffer& buffer, int half, int32_t i) const
{
    const size_t index = static_cast<size_t>(half) * static_cast<size_t>(bufferSize_) + static_cast<size_t>(i);
    if (config_.sampleType == kAsioSampleInt16)
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
    const size_t index = static_cast<size_t>(half) * static_cast<size_t>(bufferSize_) + static_cast<size_t>(i);
    if (config_.sampleType == kAsioSampleInt16)
    {
        const int16_t narrow = static_cast<int16_t>(value);
        std::memcpy(buffer.memory.data() + index * 2, &narrow, 2);
        return;
    }
    std::memcpy(buffer.memory.data() + index * 4, &value, 4);
}

void SimulatedDriver::RunSwitch()
{
    const int half = nextHalf_;
    nextHalf_ ^= 1;
    const double limit = config_.sampleType == kAsioSampleInt16 ? 32767.0 : 2147483647.0;
    // Capture: each input channel hears its output channel's oldest bufferSize loop samples.
    for (Buffer& input : buffers_)
    {
        if (!input.isInput)
        {
            continue;
        }
        const Buffer* output = nullptr;
        for (const Buffer& candidate : buffers_)
        {
            if (!candidate.isInput && candidate.channel == input.channel)
            {
                output = &candidate;
            }
        }
        for (int32_t i = 0; i < bufferSize_; ++i)
        {
            double value = 0.0;
            if (output)
            {
                value =
                    output->loop[(output->oldest + static_cast<size_t>(i)) % output->loop.size()] * config_.loopGain;
            }
            StoreAt(input, half, i, static_cast<int32_t>(std::lround(std::clamp(value, -limit - 1.0, limit))));
        }
    }
    if (dsp_)
        RunDsp(half);
    callbacks_.bufferSwitch(half, 1);
    // Play: what the client wrote enters the loop in place of the samples just captured.
    for (Buffer& output : buffers_)
    {
        if (output.isInput)
        {
            continue;
        }
        for (int32_t i = 0; i < bufferSize_; ++i)
        {
            output.loop[(output.oldest + static_cast<size_t>(i)) % output.loop.size()] = SampleAt(output, half, i);
        }
        output.oldest = (output.oldest + static_cast<size_t>(bufferSize_)) % output.loop.size();
    }
    samplePosition_ += static_cast<uint64_t>(bufferSize_);
    StandinLog::CountSwitch();
}

void SimulatedDriver::OpenDspTable()
{
    if (dsp_)
        return;
    std::string problem;
    dsp_ = dspView_.Open(&problem);
    if (!problem.empty())
        StandinLog::Add("dsp table refused: " + problem);
}

void SimulatedDriver::RunDsp(int half)
{
    const bool int16 = config_.sampleType == kAsioSampleInt16;
    for (DspPath& path : dspPaths_)
    {
        dsp_->Copy(path.pair, &path.route); // a route being written keeps the last copy
        const DspRouteSnapshot& route = path.route;
        const int send = static_cast<int>(route.sendPair);
        if (!route.active || send < 0 || 2 * send + 1 >= StandinConfig::kMaxChannels || outputBuffer_[2 * send] < 0 ||
            outputBuffer_[2 * send + 1] < 0)
            continue; // the plain loop stays
        const Buffer& sendLeft = buffers_[static_cast<size_t>(outputBuffer_[2 * send])];
        const Buffer& sendRight = buffers_[static_cast<size_t>(outputBuffer_[2 * send + 1])];
        for (int32_t i = 0; i < bufferSize_; ++i)
        {
            const size_t at = static_cast<size_t>(i);
            path.left[at] = DspChain::ToDouble(
                sendLeft.loop[(sendLeft.oldest + at) % sendLeft.loop.size()] * config_.loopGain, int16);
            path.right[at] = DspChain::ToDouble(
                sendRight.loop[(sendRight.oldest + at) % sendRight.loop.size()] * config_.loopGain, int16);
        }
        DspChain::Run(route, switchRate_, path.state, path.left.data(), path.right.data(), bufferSize_, path.meters);
        Buffer& returnLeft = buffers_[static_cast<size_t>(inputBuffer_[2 * path.pair])];
        Buffer& returnRight = buffers_[static_cast<size_t>(inputBuffer_[2 * path.pair + 1])];
        for (int32_t i = 0; i < bufferSize_; ++i)
        {
            StoreAt(returnLeft, half, i, DspChain::FromDouble(path.left[static_cast<size_t>(i)], int16));
            StoreAt(returnRight, half, i, DspChain::FromDouble(path.right[static_cast<size_t>(i)], int16));
        }
        dsp_->ReportRun(path.pair, route.serial, path.meters, static_cast<int>(route.insertCount));
    }
}

int32_t SimulatedDriver::StepManualDrivers()
{
    std::lock_guard<std::mutex> drivers(gDriversLock);
    int32_t stepped = 0;
    for (SimulatedDriver* driver : gDrivers)
    {
        std::lock_guard<std::mutex> lock(driver->switchLock_);
        if (driver->started_ && driver->config_.manualClock)
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
        std::lock_guard<std::mutex> lock(driver->switchLock_);
        if (!driver->started_ || !driver->config_.manualClock || driver->bufferSize_ <= 0)
        {
            continue;
        }
        driver->pendingFrames_ += frames;
        while (driver->pendingFrames_ >= driver->bufferSize_)
        {
            driver->pendingFrames_ -= driver->bufferSize_;
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
            std::lock_guard<std::mutex> lock(driver->switchLock_);
            if (!driver->hasBuffers_)
            {
                continue;
            }
            callbacks = driver->callbacks_;
        }
        if (callbacks.asioMessage)
        {
            callbacks.asioMessage(kAsioResetRequest, 0, nullptr, nullptr);
            ++asked;
        }
    }
    return asked;
}
