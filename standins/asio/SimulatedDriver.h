#pragma once
// The simulated card's ASIO driver: channels loop back with a fixed gain and delay, buffer
// switches run from the driver's own thread at the real period or one at a time on request.
// Where the engine's DSP table gives a return pair a route, the pair hears the route's send
// pair through the route's inserts instead (see AsioStandin.h).

#include "plugins/base/asio/AsioDriver.h"
#include "standins/asio/StandinConfig.h"
#include "standins/dsp/DspChain.h"
#include "standins/dsp/DspSharedTable.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class SimulatedDriver final : public IAsioDriver
{
public:
    explicit SimulatedDriver(const StandinConfig& config);
    ~SimulatedDriver();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    AsioBool KIV_THISCALL init(void* systemHandle) override;
    void KIV_THISCALL getDriverName(char* name) override;
    int32_t KIV_THISCALL getDriverVersion() override;
    void KIV_THISCALL getErrorMessage(char* text) override;
    AsioError KIV_THISCALL start() override;
    AsioError KIV_THISCALL stop() override;
    AsioError KIV_THISCALL getChannels(int32_t* inputs, int32_t* outputs) override;
    AsioError KIV_THISCALL getLatencies(int32_t* input, int32_t* output) override;
    AsioError KIV_THISCALL getBufferSize(int32_t* minimum, int32_t* maximum, int32_t* preferred,
                                         int32_t* granularity) override;
    AsioError KIV_THISCALL canSampleRate(double rate) override;
    AsioError KIV_THISCALL getSampleRate(double* rate) override;
    AsioError KIV_THISCALL setSampleRate(double rate) override;
    AsioError KIV_THISCALL getClockSources(AsioClockSource* clocks, int32_t* count) override;
    AsioError KIV_THISCALL setClockSource(int32_t reference) override;
    AsioError KIV_THISCALL getSamplePosition(AsioSamples* position, AsioTimeStamp* time) override;
    AsioError KIV_THISCALL getChannelInfo(AsioChannelInfo* info) override;
    AsioError KIV_THISCALL createBuffers(AsioBufferInfo* infos, int32_t count, int32_t bufferSize,
                                         AsioCallbacks* callbacks) override;
    AsioError KIV_THISCALL disposeBuffers() override;
    AsioError KIV_THISCALL controlPanel() override;
    AsioError KIV_THISCALL future(int32_t selector, void* option) override;
    AsioError KIV_THISCALL outputReady() override;

    // Control of the simulation, process-wide.
    static int32_t StepManualDrivers();
    static int32_t StepManualDriversByFrames(int32_t frames);
    static int32_t RequestResetAll();

private:
    struct Buffer
    {
        bool isInput;
        int32_t channel;
        std::vector<uint8_t> memory; // both halves
        std::vector<int32_t> loop;   // outputs: the last bufferSize + loop delay samples played
        size_t oldest = 0;
    };

    // A return pair whose inputs are buffered: the route copied last and its chain's state.
    struct DspPath
    {
        int pair = 0;
        DspRouteSnapshot route;
        DspChainState state;
        float meters[DspRouteSnapshot::kMaxInserts] = {};
        std::vector<double> left, right; // one buffer each, sized when buffers are created
    };

    AsioError Fail(AsioError error, const char* text);
    // Maps the engine's table when it is there and not mapped yet (host thread, switchLock_).
    void OpenDspTable();
    // Capture of the served return pairs through their routes' inserts (switch thread).
    void RunDsp(int half);
    void RunSwitch();
    void StopClock();
    void ClockThread();
    int32_t SampleAt(const Buffer& buffer, int half, int32_t i) const;
    void StoreAt(Buffer& buffer, int half, int32_t i, int32_t value);

    const StandinConfig config_;
    std::atomic<ULONG> references_{1};
    char error_[kAsioErrorMessageSize] = {};
    bool initialized_ = false; // host thread
    double rate_;              // host thread
    // Held during every switch and every change of the buffers or the run state, so no switch
    // runs while they change.
    std::mutex switchLock_;
    std::vector<Buffer> buffers_; // guarded by switchLock_
    bool hasBuffers_ = false;     // guarded by switchLock_
    bool started_ = false;        // guarded by switchLock_
    int32_t bufferSize_ = 0;      // guarded by switchLock_
    AsioCallbacks callbacks_{};   // guarded by switchLock_
    int nextHalf_ = 0;            // guarded by switchLock_
    uint64_t samplePosition_ = 0; // guarded by switchLock_
    int64_t pendingFrames_ = 0;   // guarded by switchLock_: time passed since the last switch
    // The card's DSP: the table stays mapped from the first createBuffers or start that found
    // it until the driver goes, so a new engine takes over the same table.
    DspTableView dspView_;                              // guarded by switchLock_
    DspTable* dsp_ = nullptr;                           // guarded by switchLock_
    std::vector<DspPath> dspPaths_;                     // guarded by switchLock_
    int inputBuffer_[StandinConfig::kMaxChannels] = {}; // buffer index per channel, -1; switchLock_
    int outputBuffer_[StandinConfig::kMaxChannels] = {};
    double switchRate_ = 0.0; // rate_ as the switch sees it; guarded by switchLock_
    // The clock thread (thread mode) and its stop request.
    std::thread clock_;
    std::mutex clockLock_;
    std::condition_variable clockWake_;
    bool clockStopping_ = false; // guarded by clockLock_
};
