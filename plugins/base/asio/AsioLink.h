#pragma once
// One plug-in instance's client of the card's ASIO driver: finds the driver through the
// maker's device enumerator, opens it, reads its channels, registers two output and two input
// channels and hands every buffer switch to the instance's audio stream.
//
// The driver's callbacks carry no context, so each link owns one entry of a process-wide
// table and the driver calls that entry's trampolines. Once Stop, Close or the destructor has
// returned, no callback of the link runs and none can start: a trampoline counts itself busy
// on its entry before it looks the link up, and the link waits for that count to drop.

#include "plugins/base/asio/AsioDriver.h"

#include <atomic>
#include <cstdint>

// Entries of the link table: a build constant of each plug-in file (the effects plug-in
// builds with 33).
#ifndef KIV_ASIO_LINK_SLOTS
#define KIV_ASIO_LINK_SLOTS 8
#endif
constexpr int kAsioLinkSlots = KIV_ASIO_LINK_SLOTS;

class AudioStream;

// The plug-in effect that owns a link: the driver's reset requests go to it, on the driver's
// thread.
class AsioLinkOwner
{
public:
    virtual void OnResetRequest() = 0;

protected:
    ~AsioLinkOwner() = default;
};

// How a plug-in file opens the driver. The effects plug-in asks the driver for the maker's
// second interface (and refuses a driver without it), tells a failed channel query in a box
// of its own, reads the driver's sample rate back, and starts without asking the preferred
// size first.
enum class AsioLinkVariant
{
    Routing,
    Effects,
};

class AsioLink
{
public:
    static constexpr int32_t kMaxChannels = 64;
    static constexpr size_t kDriverNameSize = 260;

    enum ErrorState : int32_t
    {
        kNoError = 0,
        kDriverNotFound = 1,
        kOpenFailed = 2,
        kBuffersNotCreated = 3,
    };

    // Texts of the plug-in file's string table.
    enum TextId : int
    {
        kTextNotFound = 1,
        kTextChannelsFailed = 2,
        kTextOpenFailed = 3,
        kTextCaption = 4,
    };

    // Takes the first free table entry.
    explicit AsioLink(AsioLinkOwner* owner, AsioLinkVariant variant = AsioLinkVariant::Routing);
    virtual ~AsioLink();
    AsioLink(const AsioLink&) = delete;
    AsioLink& operator=(const AsioLink&) = delete;

    // The callback lock and an empty table: with a file's first instance; the lock goes with
    // its last. Needs the process-wide Platform.
    static void InitInstanceTable();
    static void FreeInstanceTable();

    bool Open();
    // False when the driver could not tell its channels (error state 2).
    bool ReadChannelInfo();
    bool SetSampleRate(int32_t rate);
    int32_t GetPreferredBufferSize();
    void GetBufferSizes(int32_t* minimum, int32_t* maximum, int32_t* granularity, int32_t* preferred);
    bool Start(AudioStream* stream, int32_t bufferSize, int32_t firstInput, int32_t firstOutput);
    bool CreateBuffers(int32_t bufferSize);
    void Stop();
    void Close();
    const AsioChannelInfo* GetInputPair(int32_t n) const;
    const AsioChannelInfo* GetOutputPair(int32_t n) const;
    // At least 32 bytes; nothing is written when input channel 2n + 1 does not exist.
    void PairName(int32_t n, char* text) const;
    void ShowErrorMessage() const;

    // Called by the trampolines of the link's table entry.
    void OnBufferSwitch(int32_t bufferIndex);
    int32_t OnAsioMessage(int32_t selector, int32_t value);

    // The driver's class id, or all zeros when no device of the card family is installed.
    static GUID FindDriver();

    // Whether the trampolines may reach this link: from the registration of its callbacks
    // until Stop.
    bool TakesCallbacks() const { return armed_; }
    int32_t GetSlot() const { return slot_; }
    bool IsOpen() const { return driver_ != nullptr; }
    bool IsRunning() const { return running_; }
    int32_t GetErrorState() const { return errorState_; }
    const char* GetDriverName() const { return driverName_; }
    int32_t GetDriverVersion() const { return driverVersion_; }
    int32_t GetInputCount() const { return inputCount_; }
    int32_t GetOutputCount() const { return outputCount_; }
    int32_t GetInputLatency() const { return inputLatency_; }
    int32_t GetOutputLatency() const { return outputLatency_; }
    int32_t GetSampleRate() const { return sampleRate_; }
    const AsioBufferInfo* GetBufferInfos() const { return bufferInfos_; }
    const AsioChannelInfo* GetChannelInfos() const { return channelInfos_; }

private:
    void ReleaseDriver();
    void WaitForCallbacks();
    void ArmCallbacks();

    // Host thread, unless said otherwise. The callbacks read the driver, the stream and the
    // flags only while TakesCallbacks holds; Stop waits for them before anything changes.
    int32_t slot_ = -1; // -1 when the table was full; fixed for the link's life
    GUID driverId_{};
    IAsioDriver* driver_ = nullptr; // owned reference
    char driverName_[kDriverNameSize] = {};
    int32_t driverVersion_ = 0;
    int32_t inputCount_ = 0;
    int32_t outputCount_ = 0;
    int32_t activeOutputs_ = 2;
    int32_t activeInputs_ = 2;
    int32_t sampleRate_ = 44100;
    // Read by the driver's thread: whether a switch feeds the stream, and whether the
    // trampolines may reach this link at all.
    std::atomic<bool> running_{false};
    std::atomic<bool> armed_{false};
    int32_t outputReadyAnswer_ = 0; // guarded by the callback lock
    AsioCallbacks callbacks_{};
    AsioBufferInfo bufferInfos_[4] = {}; // outputs, then inputs; the driver fills the halves
    AsioChannelInfo channelInfos_[4] = {};
    AsioChannelInfo outputChannels_[kMaxChannels] = {};
    AsioChannelInfo inputChannels_[kMaxChannels] = {};
    int32_t errorState_ = kNoError;
    int32_t inputLatency_ = 0;
    int32_t outputLatency_ = 0;
    int32_t preferredBufferSize_ = 440;
    int32_t minimumBufferSize_ = 0;
    AudioStream* stream_ = nullptr; // borrowed
    AsioLinkOwner* owner_;          // borrowed; told of reset requests on the driver's thread
    AsioLinkVariant variant_;
};
