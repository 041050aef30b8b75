#pragma once
// Our declaration of the ASIO driver interface, written from what the link needs of it. The
// driver is an in-process COM object whose class id doubles as the interface id; its
// operations after IUnknown's are C++ member functions (thiscall on x86) in this order.

#include "plugins/base/asio/ComTypes.h"

#include <cstddef>
#include <cstdint>

using AsioError = int32_t;
using AsioBool = int32_t;

constexpr AsioError kAsioOk = 0;
constexpr AsioError kAsioNotPresent = -1000;
constexpr AsioError kAsioHardwareMalfunction = -999;
constexpr AsioError kAsioInvalidParameter = -998;
constexpr AsioError kAsioInvalidMode = -997;
constexpr AsioError kAsioNoClock = -995;
constexpr AsioError kAsioNoMemory = -994;

// Sample types the system handles: 16-bit and 32-bit little-endian integers.
constexpr int32_t kAsioSampleInt16 = 16;
constexpr int32_t kAsioSampleInt32 = 18;

// Message selectors of the driver's message callback.
constexpr int32_t kAsioSelectorSupported = 1;
constexpr int32_t kAsioEngineVersion = 2;
constexpr int32_t kAsioResetRequest = 3;

constexpr size_t kAsioNameSize = 32;

struct AsioBufferInfo
{
    AsioBool isInput;
    int32_t channelNum;
    void* buffers[2]; // the two halves, filled by createBuffers
};

struct AsioChannelInfo
{
    int32_t channel;
    AsioBool isInput;
    AsioBool isActive;
    int32_t channelGroup;
    int32_t type;
    char name[kAsioNameSize];
};

struct AsioClockSource
{
    int32_t index;
    int32_t associatedChannel;
    int32_t associatedGroup;
    AsioBool isCurrentSource;
    char name[kAsioNameSize];
};

// 64-bit counts travel as two 32-bit halves.
struct AsioSamples
{
    uint32_t hi;
    uint32_t lo;
};
using AsioTimeStamp = AsioSamples;

// The callbacks carry no context pointer; they use the platform's C convention.
struct AsioCallbacks
{
    void (*bufferSwitch)(int32_t bufferIndex, AsioBool directProcess);
    void (*sampleRateDidChange)(double rate);
    int32_t (*asioMessage)(int32_t selector, int32_t value, void* message, double* option);
    void* (*bufferSwitchTimeInfo)(void* time, int32_t bufferIndex, AsioBool directProcess);
};

struct IAsioDriver : public IUnknown
{
    virtual AsioBool KIV_THISCALL init(void* systemHandle) = 0;
    virtual void KIV_THISCALL getDriverName(char* name) = 0; // at most 32 bytes
    virtual int32_t KIV_THISCALL getDriverVersion() = 0;
    virtual void KIV_THISCALL getErrorMessage(char* text) = 0; // at most 124 bytes
    virtual AsioError KIV_THISCALL start() = 0;
    virtual AsioError KIV_THISCALL stop() = 0;
    virtual AsioError KIV_THISCALL getChannels(int32_t* inputs, int32_t* outputs) = 0;
    virtual AsioError KIV_THISCALL getLatencies(int32_t* input, int32_t* output) = 0;
    virtual AsioError KIV_THISCALL getBufferSize(int32_t* minimum, int32_t* maximum, int32_t* preferred,
                                                 int32_t* granularity) = 0;
    virtual AsioError KIV_THISCALL canSampleRate(double rate) = 0;
    virtual AsioError KIV_THISCALL getSampleRate(double* rate) = 0;
    virtual AsioError KIV_THISCALL setSampleRate(double rate) = 0;
    virtual AsioError KIV_THISCALL getClockSources(AsioClockSource* clocks, int32_t* count) = 0;
    virtual AsioError KIV_THISCALL setClockSource(int32_t reference) = 0;
    virtual AsioError KIV_THISCALL getSamplePosition(AsioSamples* position, AsioTimeStamp* time) = 0;
    virtual AsioError KIV_THISCALL getChannelInfo(AsioChannelInfo* info) = 0;
    virtual AsioError KIV_THISCALL createBuffers(AsioBufferInfo* infos, int32_t count, int32_t bufferSize,
                                                 AsioCallbacks* callbacks) = 0;
    virtual AsioError KIV_THISCALL disposeBuffers() = 0;
    virtual AsioError KIV_THISCALL controlPanel() = 0;
    virtual AsioError KIV_THISCALL future(int32_t selector, void* option) = 0;
    virtual AsioError KIV_THISCALL outputReady() = 0;

protected:
    ~IAsioDriver() = default;
};

constexpr size_t kAsioErrorMessageSize = 124;

// The driver reads and writes these records in place: their layout is the interface.
static_assert(sizeof(AsioChannelInfo) == 52, "channel record");
static_assert(offsetof(AsioChannelInfo, type) == 16 && offsetof(AsioChannelInfo, name) == 20, "channel record");
static_assert(sizeof(AsioClockSource) == 48, "clock record");
static_assert(sizeof(AsioSamples) == 8, "64-bit count");
static_assert(offsetof(AsioBufferInfo, buffers) == 8, "buffer record");
static_assert(sizeof(AsioBufferInfo) == 8 + 2 * sizeof(void*), "buffer record");
static_assert(sizeof(AsioCallbacks) == 4 * sizeof(void*), "callback record");
