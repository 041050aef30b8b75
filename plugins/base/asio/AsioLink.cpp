#include "plugins/base/asio/AsioLink.h"

#include "plugins/base/asio/AsioSystem.h"
#include "plugins/base/asio/DeviceEnumerator.h"
#include "plugins/base/platform/PlatformBase.h"
#include "plugins/base/stream/AudioStream.h"

#include <array>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

namespace
{

// One entry of the process-wide link table.
struct LinkSlot
{
    std::atomic<AsioLink*> link{nullptr};
    // Trampolines of this entry that are running (counted before the link is looked up).
    std::atomic<int32_t> busy{0};
};

LinkSlot gSlots[kAsioLinkSlots];
// Every link's buffer-switch work runs under it, one switch at a time.
PlatformLock gCallbackLock;

// Runs `work` on the link of entry `slot`, unless the entry is empty or the link does not
// take callbacks now.
template <typename Work>
auto WithLink(int slot, Work work, decltype(work(nullptr)) nothing)
{
    LinkSlot& entry = gSlots[slot];
    entry.busy.fetch_add(1);
    AsioLink* link = entry.link.load();
    auto answer = link && link->TakesCallbacks() ? work(link) : nothing;
    entry.busy.fetch_sub(1);
    return answer;
}

template <int Slot>
void BufferSwitchTrampoline(int32_t bufferIndex, AsioBool)
{
    WithLink(
        Slot, [bufferIndex](AsioLink* link) { return link->OnBufferSwitch(bufferIndex), 0; }, 0);
}

template <int Slot>
int32_t MessageTrampoline(int32_t selector, int32_t value, void*, double*)
{
    return WithLink(
        Slot, [selector, value](AsioLink* link) { return link->OnAsioMessage(selector, value); }, 0);
}

void SampleRateChanged(double) {}

template <size_t... Slots>
constexpr auto MakeSwitchTable(std::index_sequence<Slots...>)
{
    return std::array<void (*)(int32_t, AsioBool), sizeof...(Slots)>{&BufferSwitchTrampoline<Slots>...};
}

template <size_t... Slots>
constexpr auto MakeMessageTable(std::index_sequence<Slots...>)
{
    return std::array<int32_t (*)(int32_t, int32_t, void*, double*), sizeof...(Slots)>{&MessageTrampoline<Slots>...};
}

const auto kSwitchTrampolines = MakeSwitchTable(std::make_index_sequence<kAsioLinkSlots>());
const auto kMessageTrampolines = MakeMessageTable(std::make_index_sequence<kAsioLinkSlots>());

#ifdef _WIN32
void* const kLocalMachine = HKEY_LOCAL_MACHINE;
#else
void* const kLocalMachine = reinterpret_cast<void*>(static_cast<intptr_t>(static_cast<int32_t>(0x80000002u)));
#endif

// An enumerator that never ends is cut off here.
constexpr uint32_t kMaxDeviceEntries = 1024;

bool IsCardDevice(const DeviceInfoRecord& record)
{
    if (record.vendorId != kKivVendorId)
    {
        return false;
    }
    bool familyDevice = false;
    for (uint32_t id : kKivDeviceIds)
    {
        familyDevice = familyDevice || record.deviceId == id;
    }
    return familyDevice && (record.subsystemId & ~kKivSubsystemModelMask) == kKivSubsystemPattern &&
           record.subsystemId != kKivSubsystemPattern;
}

size_t NameLength(const char* name)
{
    size_t n = 0;
    while (n < kAsioNameSize - 1 && name[n] != '\0')
    {
        ++n;
    }
    return n;
}

// Pairs that start below the channel count (the last one of an odd count has no second
// channel). Counted by division: a pair index comes from the host's chunk, and 2n of a large
// one does not fit in 32 bits.
int32_t PairCount(int32_t channels)
{
    return (channels + 1) / 2;
}

} // namespace

AsioLink::AsioLink(AsioLinkOwner* owner, AsioLinkVariant variant) : owner_(owner), variant_(variant)
{
    for (int slot = 0; slot < kAsioLinkSlots; ++slot)
    {
        AsioLink* empty = nullptr;
        if (gSlots[slot].link.compare_exchange_strong(empty, this))
        {
            slot_ = slot;
            break;
        }
    }
}

AsioLink::~AsioLink()
{
    // The entry stays taken until the driver has stopped: a link made meanwhile must not get
    // the trampolines that this link's driver may still call.
    Close();
    if (slot_ >= 0)
    {
        gSlots[slot_].link.store(nullptr);
    }
    // A trampoline may have found this link just before the entry emptied.
    WaitForCallbacks();
}

void AsioLink::InitInstanceTable()
{
    ThePlatform()->InitLock(&gCallbackLock);
    for (LinkSlot& slot : gSlots)
    {
        slot.link.store(nullptr);
    }
}

void AsioLink::FreeInstanceTable()
{
    ThePlatform()->DeleteLock(&gCallbackLock);
}

void AsioLink::WaitForCallbacks()
{
    armed_.store(false);
    if (slot_ < 0)
    {
        return;
    }
    while (gSlots[slot_].busy.load() != 0)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

GUID AsioLink::FindDriver()
{
    GUID found{};
    void* object = nullptr;
    if (FAILED(AsioSystem::Current().CreateObject(kDeviceEnumeratorId, &object)) || !object)
    {
        return found;
    }
    auto* enumerator = static_cast<IDeviceEnumerator*>(object);
    for (uint32_t i = 0; i < kMaxDeviceEntries; ++i)
    {
        GUID classId{};
        char name[kDeviceEntryNameSize] = {};
        if (enumerator->DeviceEntry(i, &classId, name) != 0)
        {
            break;
        }
        enumerator->DeviceEntry(i, &classId, name);
        DeviceInfoRecord record{};
        record.size = sizeof(record);
        record.index = i;
        enumerator->DeviceInformation(kLocalMachine, &record);
        if (IsCardDevice(record))
        {
            found = classId;
        }
    }
    enumerator->Release();
    return found;
}

void AsioLink::ReleaseDriver()
{
    driver_->Release();
    driver_ = nullptr;
}

bool AsioLink::Open()
{
    driverId_ = FindDriver();
    if (driverId_ == GUID{})
    {
        errorState_ = kDriverNotFound;
        return false;
    }
    void* object = nullptr;
    if (FAILED(AsioSystem::Current().CreateObject(driverId_, &object)) || !object)
    {
        driver_ = nullptr;
        errorState_ = kOpenFailed;
        return false;
    }
    driver_ = static_cast<IAsioDriver*>(object);
    if (variant_ == AsioLinkVariant::Effects)
    {
        void* second = nullptr;
        if (FAILED(driver_->QueryInterface(kKivDriverInterfaceId, &second)) || !second)
        {
            ReleaseDriver();
            errorState_ = kOpenFailed;
            return false;
        }
        driver_->Release();
        driver_ = static_cast<IAsioDriver*>(second);
    }
    if (driver_->init(nullptr) != 1)
    {
        ReleaseDriver();
        errorState_ = kOpenFailed;
        return false;
    }
    char name[kAsioNameSize + 1] = {};
    driver_->getDriverName(name);
    std::memcpy(driverName_, name, sizeof(name));
    driverVersion_ = driver_->getDriverVersion();
    // A driver that cannot tell its channels cannot be used: fail here, where the owner
    // shows the error, rather than run on unknown counts.
    int32_t inputs = 0;
    int32_t outputs = 0;
    const AsioError channels = driver_->getChannels(&inputs, &outputs);
    if (channels != kAsioOk && variant_ == AsioLinkVariant::Effects)
    {
        AsioSystem::Current().ShowMessage("getChannels", "getChannels");
    }
    if (channels != kAsioOk || outputs <= 0)
    {
        ReleaseDriver();
        errorState_ = kOpenFailed;
        return false;
    }
    if (!ReadChannelInfo())
    {
        ReleaseDriver();
        return false;
    }
    int32_t maximum = 0;
    int32_t granularity = 0;
    if (driver_->getLatencies(&inputLatency_, &outputLatency_) != kAsioOk ||
        driver_->getBufferSize(&minimumBufferSize_, &maximum, &preferredBufferSize_, &granularity) != kAsioOk)
    {
        errorState_ = kOpenFailed;
    }
    if (variant_ == AsioLinkVariant::Effects)
    {
        // A driver that cannot tell its rate still opens; the error state tells the owner.
        double rate = 0.0;
        if (driver_->getSampleRate(&rate) != kAsioOk)
        {
            errorState_ = kOpenFailed;
        }
        else if (rate >= 1.0 && rate < 2147483647.0)
        {
            sampleRate_ = static_cast<int32_t>(rate);
        }
    }
    return true;
}

bool AsioLink::ReadChannelInfo()
{
    if (!driver_)
    {
        return false;
    }
    int32_t inputs = 0;
    int32_t outputs = 0;
    if (driver_->getChannels(&inputs, &outputs) != kAsioOk)
    {
        errorState_ = kOpenFailed;
        return false;
    }
    inputCount_ = inputs < 0 ? 0 : (inputs > kMaxChannels ? kMaxChannels : inputs);
    outputCount_ = outputs < 0 ? 0 : (outputs > kMaxChannels ? kMaxChannels : outputs);
    for (int32_t i = 0; i < outputCount_; ++i)
    {
        outputChannels_[i] = AsioChannelInfo{};
        outputChannels_[i].channel = i;
        outputChannels_[i].isInput = 0;
        driver_->getChannelInfo(&outputChannels_[i]);
    }
    for (int32_t i = 0; i < inputCount_; ++i)
    {
        inputChannels_[i] = AsioChannelInfo{};
        inputChannels_[i].channel = i;
        inputChannels_[i].isInput = 1;
        driver_->getChannelInfo(&inputChannels_[i]);
    }
    return true;
}

bool AsioLink::SetSampleRate(int32_t rate)
{
    sampleRate_ = rate;
    if (!driver_ || driver_->canSampleRate(rate) != kAsioOk)
    {
        return false;
    }
    return driver_->setSampleRate(rate) == kAsioOk;
}

int32_t AsioLink::GetPreferredBufferSize()
{
    if (driver_)
    {
        int32_t minimum = 0, maximum = 0, preferred = 0, granularity = 0;
        if (driver_->getBufferSize(&minimum, &maximum, &preferred, &granularity) == kAsioOk)
        {
            preferredBufferSize_ = preferred;
        }
    }
    return preferredBufferSize_;
}

void AsioLink::GetBufferSizes(int32_t* minimum, int32_t* maximum, int32_t* granularity, int32_t* preferred)
{
    if (driver_)
    {
        int32_t least = 0, best = 0;
        if (driver_->getBufferSize(&least, maximum, &best, granularity) == kAsioOk)
        {
            minimumBufferSize_ = least;
            preferredBufferSize_ = best;
        }
    }
    *minimum = minimumBufferSize_;
    *preferred = preferredBufferSize_;
}

// Points the driver's callbacks at this link's table entry and lets them through.
void AsioLink::ArmCallbacks()
{
    callbacks_.bufferSwitch = kSwitchTrampolines[static_cast<size_t>(slot_)];
    callbacks_.sampleRateDidChange = &SampleRateChanged;
    callbacks_.asioMessage = kMessageTrampolines[static_cast<size_t>(slot_)];
    callbacks_.bufferSwitchTimeInfo = nullptr;
    armed_.store(true);
}

bool AsioLink::Start(AudioStream* stream, int32_t bufferSize, int32_t firstInput, int32_t firstOutput)
{
    if (!driver_)
    {
        return false;
    }
    stream_ = stream;
    if (variant_ == AsioLinkVariant::Routing)
    {
        GetPreferredBufferSize();
    }
    errorState_ = kNoError;
    activeOutputs_ = 0;
    activeInputs_ = 0;
    std::memset(bufferInfos_, 0, sizeof(bufferInfos_));
    std::memset(channelInfos_, 0, sizeof(channelInfos_));
    // A driver that cannot tell its buffer sizes fails the start before any buffer exists: a
    // failed Start leaves the driver without buffers and stopped, as a refused start does.
    int32_t maximum = 0, granularity = 0;
    bool failed = driver_->getBufferSize(&minimumBufferSize_, &maximum, &preferredBufferSize_, &granularity) != kAsioOk;
    for (int k = 0; k < 2; ++k)
    {
        ++activeOutputs_;
        bufferInfos_[k].isInput = 0;
        bufferInfos_[k].channelNum = firstOutput + k;
        channelInfos_[k].channel = firstOutput + k;
        channelInfos_[k].isInput = 0;
        if (driver_->getChannelInfo(&channelInfos_[k]) != kAsioOk || channelInfos_[k].isActive)
        {
            failed = true;
        }
    }
    activeInputs_ = 2;
    for (int k = 0; k < 2; ++k)
    {
        bufferInfos_[2 + k].isInput = 1;
        bufferInfos_[2 + k].channelNum = firstInput + k;
        channelInfos_[2 + k].channel = firstInput + k;
        channelInfos_[2 + k].isInput = 1;
        driver_->getChannelInfo(&channelInfos_[2 + k]);
    }
    if (failed)
    {
        errorState_ = kOpenFailed;
        return false;
    }
    if (slot_ < 0)
    {
        errorState_ = kBuffersNotCreated;
        return false;
    }
    ArmCallbacks();
    if (driver_->createBuffers(bufferInfos_, 4, bufferSize, &callbacks_) != kAsioOk)
    {
        errorState_ = kBuffersNotCreated;
        return false;
    }
    if (stream_)
    {
        DriverBuffer buffers[AudioStream::kDriverBuffers];
        for (int b = 0; b < AudioStream::kDriverBuffers; ++b)
        {
            buffers[b] = DriverBuffer{{bufferInfos_[b].buffers[0], bufferInfos_[b].buffers[1]}, channelInfos_[b].type};
        }
        stream_->AttachDriverBuffers(buffers);
    }
    if (driver_->start() != kAsioOk)
    {
        errorState_ = kOpenFailed;
        driver_->disposeBuffers();
    }
    if (errorState_ == kNoError)
    {
        running_ = true;
    }
    return running_;
}

bool AsioLink::CreateBuffers(int32_t bufferSize)
{
    if (!driver_)
    {
        return false;
    }
    if (slot_ < 0)
    {
        errorState_ = kBuffersNotCreated;
        return false;
    }
    ArmCallbacks();
    if (driver_->createBuffers(nullptr, 0, bufferSize, &callbacks_) != kAsioOk)
    {
        errorState_ = kBuffersNotCreated;
    }
    if (errorState_ == kNoError)
    {
        running_ = true;
    }
    return running_;
}

void AsioLink::Stop()
{
    if (!driver_)
    {
        return;
    }
    driver_->stop();
    running_ = false;
    WaitForCallbacks();
    // No switch reaches the stream any more: its owner may delete it now.
    stream_ = nullptr;
    driver_->disposeBuffers();
}

void AsioLink::Close()
{
    if (!driver_)
    {
        return;
    }
    Stop();
    ReleaseDriver();
}

const AsioChannelInfo* AsioLink::GetInputPair(int32_t n) const
{
    return n >= 0 && n < PairCount(inputCount_) ? &inputChannels_[2 * n] : nullptr;
}

const AsioChannelInfo* AsioLink::GetOutputPair(int32_t n) const
{
    return n >= 0 && n < PairCount(outputCount_) ? &outputChannels_[2 * n] : nullptr;
}

void AsioLink::PairName(int32_t n, char* text) const
{
    if (n < 0 || n >= inputCount_ / 2)
    {
        return;
    }
    const char* first = inputChannels_[2 * n].name;
    const char* second = inputChannels_[2 * n + 1].name;
    const size_t firstLength = NameLength(first);
    const size_t secondLength = NameLength(second);
    size_t common = 0;
    while (common < firstLength && common < secondLength && first[common] == second[common])
    {
        ++common;
    }
    bool digitsOnly = true;
    for (size_t i = common; i < firstLength; ++i)
    {
        digitsOnly = digitsOnly && first[i] >= '0' && first[i] <= '9';
    }
    // Equal names, names that differ at once, or a difference in the number only: the first
    // name; otherwise what the two have in common ("Mix L", "Mix R" -> "Mix ").
    const bool whole = common == 0 || digitsOnly;
    const size_t length = whole ? firstLength : common;
    std::memcpy(text, first, length);
    text[length] = '\0';
}

void AsioLink::ShowErrorMessage() const
{
    int text = 0;
    switch (errorState_)
    {
    case kDriverNotFound:
        text = kTextNotFound;
        break;
    case kOpenFailed:
        text = kTextOpenFailed;
        break;
    case kBuffersNotCreated:
        text = kTextChannelsFailed;
        break;
    default:
        return;
    }
    AsioSystem& system = AsioSystem::Current();
    system.ShowMessage(system.LoadText(text), system.LoadText(kTextCaption));
}

void AsioLink::OnBufferSwitch(int32_t bufferIndex)
{
    const PlatformLockGuard guard(*ThePlatform(), &gCallbackLock);
    if (running_ && stream_)
    {
        stream_->OnSwitch(bufferIndex);
    }
    if (outputReadyAnswer_ == 0 && driver_)
    {
        outputReadyAnswer_ = driver_->outputReady();
    }
}

int32_t AsioLink::OnAsioMessage(int32_t selector, int32_t value)
{
    switch (selector)
    {
    case kAsioSelectorSupported:
        return value == kAsioResetRequest ? 1 : 0;
    case kAsioResetRequest:
        if (owner_)
        {
            owner_->OnResetRequest();
        }
        return 0;
    default:
        return 0;
    }
}
