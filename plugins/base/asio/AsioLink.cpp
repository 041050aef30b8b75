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

AsioLink::AsioLink(AsioLinkOwner* owner, AsioLinkVariant variant) : m_owner(owner), m_variant(variant)
{
    for (int slot = 0; slot < kAsioLinkSlots; ++slot)
    {
        AsioLink* empty = nullptr;
        if (gSlots[slot].link.compare_exchange_strong(empty, this))
        {
            m_slot = slot;
            break;
        }
    }
}

AsioLink::~AsioLink()
{
    // The entry stays taken until the driver has stopped: a link made meanwhile must not get
    // the trampolines that this link's driver may still call.
    Close();
    if (m_slot >= 0)
    {
        gSlots[m_slot].link.store(nullptr);
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
    m_armed.store(false);
    if (m_slot < 0)
    {
        return;
    }
    while (gSlots[m_slot].busy.load() != 0)
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
    m_driver->Release();
    m_driver = nullptr;
}

bool AsioLink::Open()
{
    m_driverId = FindDriver();
    if (m_driverId == GUID{})
    {
        m_errorState = kDriverNotFound;
        return false;
    }
    void* object = nullptr;
    if (FAILED(AsioSystem::Current().CreateObject(m_driverId, &object)) || !object)
    {
        m_driver = nullptr;
        m_errorState = kOpenFailed;
        return false;
    }
    m_driver = static_cast<IAsioDriver*>(object);
    if (m_variant == AsioLinkVariant::Effects)
    {
        void* second = nullptr;
        if (FAILED(m_driver->QueryInterface(kKivDriverInterfaceId, &second)) || !second)
        {
            ReleaseDriver();
            m_errorState = kOpenFailed;
            return false;
        }
        m_driver->Release();
        m_driver = static_cast<IAsioDriver*>(second);
    }
    if (m_driver->init(nullptr) != 1)
    {
        ReleaseDriver();
        m_errorState = kOpenFailed;
        return false;
    }
    char name[kAsioNameSize + 1] = {};
    m_driver->getDriverName(name);
    std::memcpy(m_driverName, name, sizeof(name));
    m_driverVersion = m_driver->getDriverVersion();
    // A driver that cannot tell its channels cannot be used: fail here, where the owner
    // shows the error, rather than run on unknown counts.
    int32_t inputs = 0;
    int32_t outputs = 0;
    const AsioError channels = m_driver->getChannels(&inputs, &outputs);
    if (channels != kAsioOk && m_variant == AsioLinkVariant::Effects)
    {
        AsioSystem::Current().ShowMessage("getChannels", "getChannels");
    }
    if (channels != kAsioOk || outputs <= 0)
    {
        ReleaseDriver();
        m_errorState = kOpenFailed;
        return false;
    }
    if (!ReadChannelInfo())
    {
        ReleaseDriver();
        return false;
    }
    int32_t maximum = 0;
    int32_t granularity = 0;
    if (m_driver->getLatencies(&m_inputLatency, &m_outputLatency) != kAsioOk ||
        m_driver->getBufferSize(&m_minimumBufferSize, &maximum, &m_preferredBufferSize, &granularity) != kAsioOk)
    {
        m_errorState = kOpenFailed;
    }
    if (m_variant == AsioLinkVariant::Effects)
    {
        // A driver that cannot tell its rate still opens; the error state tells the owner.
        double rate = 0.0;
        if (m_driver->getSampleRate(&rate) != kAsioOk)
        {
            m_errorState = kOpenFailed;
        }
        else if (rate >= 1.0 && rate < 2147483647.0)
        {
            m_sampleRate = static_cast<int32_t>(rate);
        }
    }
    return true;
}

bool AsioLink::ReadChannelInfo()
{
    if (!m_driver)
    {
        return false;
    }
    int32_t inputs = 0;
    int32_t outputs = 0;
    if (m_driver->getChannels(&inputs, &outputs) != kAsioOk)
    {
        m_errorState = kOpenFailed;
        return false;
    }
    m_inputCount = inputs < 0 ? 0 : (inputs > kMaxChannels ? kMaxChannels : inputs);
    m_outputCount = outputs < 0 ? 0 : (outputs > kMaxChannels ? kMaxChannels : outputs);
    for (int32_t i = 0; i < m_outputCount; ++i)
    {
        m_outputChannels[i] = AsioChannelInfo{};
        m_outputChannels[i].channel = i;
        m_outputChannels[i].isInput = 0;
        m_driver->getChannelInfo(&m_outputChannels[i]);
    }
    for (int32_t i = 0; i < m_inputCount; ++i)
    {
        m_inputChannels[i] = AsioChannelInfo{};
        m_inputChannels[i].channel = i;
        m_inputChannels[i].isInput = 1;
        m_driver->getChannelInfo(&m_inputChannels[i]);
    }
    return true;
}

bool AsioLink::SetSampleRate(int32_t rate)
{
    m_sampleRate = rate;
    if (!m_driver || m_driver->canSampleRate(rate) != kAsioOk)
    {
        return false;
    }
    return m_driver->setSampleRate(rate) == kAsioOk;
}

int32_t AsioLink::GetPreferredBufferSize()
{
    if (m_driver)
    {
        int32_t minimum = 0, maximum = 0, preferred = 0, granularity = 0;
        if (m_driver->getBufferSize(&minimum, &maximum, &preferred, &granularity) == kAsioOk)
        {
            m_preferredBufferSize = preferred;
        }
    }
    return m_preferredBufferSize;
}

void AsioLink::GetBufferSizes(int32_t* minimum, int32_t* maximum, int32_t* granularity, int32_t* preferred)
{
    if (m_driver)
    {
        int32_t least = 0, best = 0;
        if (m_driver->getBufferSize(&least, maximum, &best, granularity) == kAsioOk)
        {
            m_minimumBufferSize = least;
            m_preferredBufferSize = best;
        }
    }
    *minimum = m_minimumBufferSize;
    *preferred = m_preferredBufferSize;
}

// Points the driver's callbacks at this link's table entry and lets them through.
void AsioLink::ArmCallbacks()
{
    m_callbacks.bufferSwitch = kSwitchTrampolines[static_cast<size_t>(m_slot)];
    m_callbacks.sampleRateDidChange = &SampleRateChanged;
    m_callbacks.asioMessage = kMessageTrampolines[static_cast<size_t>(m_slot)];
    m_callbacks.bufferSwitchTimeInfo = nullptr;
    m_armed.store(true);
}

bool AsioLink::Start(AudioStream* stream, int32_t bufferSize, int32_t firstInput, int32_t firstOutput)
{
    if (!m_driver)
    {
        return false;
    }
    m_stream = stream;
    if (m_variant == AsioLinkVariant::Routing)
    {
        GetPreferredBufferSize();
    }
    m_errorState = kNoError;
    m_activeOutputs = 0;
    m_activeInputs = 0;
    std::memset(m_bufferInfos, 0, sizeof(m_bufferInfos));
    std::memset(m_channelInfos, 0, sizeof(m_channelInfos));
    // A driver that cannot tell its buffer sizes fails the start before any buffer exists: a
    // failed Start leaves the driver without buffers and stopped, as a refused start does.
    int32_t maximum = 0, granularity = 0;
    bool failed =
        m_driver->getBufferSize(&m_minimumBufferSize, &maximum, &m_preferredBufferSize, &granularity) != kAsioOk;
    for (int k = 0; k < 2; ++k)
    {
        ++m_activeOutputs;
        m_bufferInfos[k].isInput = 0;
        m_bufferInfos[k].channelNum = firstOutput + k;
        m_channelInfos[k].channel = firstOutput + k;
        m_channelInfos[k].isInput = 0;
        if (m_driver->getChannelInfo(&m_channelInfos[k]) != kAsioOk || m_channelInfos[k].isActive)
        {
            failed = true;
        }
    }
    m_activeInputs = 2;
    for (int k = 0; k < 2; ++k)
    {
        m_bufferInfos[2 + k].isInput = 1;
        m_bufferInfos[2 + k].channelNum = firstInput + k;
        m_channelInfos[2 + k].channel = firstInput + k;
        m_channelInfos[2 + k].isInput = 1;
        m_driver->getChannelInfo(&m_channelInfos[2 + k]);
    }
    if (failed)
    {
        m_errorState = kOpenFailed;
        return false;
    }
    if (m_slot < 0)
    {
        m_errorState = kBuffersNotCreated;
        return false;
    }
    ArmCallbacks();
    if (m_driver->createBuffers(m_bufferInfos, 4, bufferSize, &m_callbacks) != kAsioOk)
    {
        m_errorState = kBuffersNotCreated;
        return false;
    }
    if (m_stream)
    {
        DriverBuffer buffers[AudioStream::kDriverBuffers];
        for (int b = 0; b < AudioStream::kDriverBuffers; ++b)
        {
            buffers[b] =
                DriverBuffer{{m_bufferInfos[b].buffers[0], m_bufferInfos[b].buffers[1]}, m_channelInfos[b].type};
        }
        m_stream->AttachDriverBuffers(buffers);
    }
    if (m_driver->start() != kAsioOk)
    {
        m_errorState = kOpenFailed;
        m_driver->disposeBuffers();
    }
    if (m_errorState == kNoError)
    {
        m_running = true;
    }
    return m_running;
}

bool AsioLink::CreateBuffers(int32_t bufferSize)
{
    if (!m_driver)
    {
        return false;
    }
    if (m_slot < 0)
    {
        m_errorState = kBuffersNotCreated;
        return false;
    }
    ArmCallbacks();
    if (m_driver->createBuffers(nullptr, 0, bufferSize, &m_callbacks) != kAsioOk)
    {
        m_errorState = kBuffersNotCreated;
    }
    if (m_errorState == kNoError)
    {
        m_running = true;
    }
    return m_running;
}

void AsioLink::Stop()
{
    if (!m_driver)
    {
        return;
    }
    m_driver->stop();
    m_running = false;
    WaitForCallbacks();
    // No switch reaches the stream any more: its owner may delete it now.
    m_stream = nullptr;
    m_driver->disposeBuffers();
}

void AsioLink::Close()
{
    if (!m_driver)
    {
        return;
    }
    Stop();
    ReleaseDriver();
}

const AsioChannelInfo* AsioLink::GetInputPair(int32_t n) const
{
    return n >= 0 && n < PairCount(m_inputCount) ? &m_inputChannels[2 * n] : nullptr;
}

const AsioChannelInfo* AsioLink::GetOutputPair(int32_t n) const
{
    return n >= 0 && n < PairCount(m_outputCount) ? &m_outputChannels[2 * n] : nullptr;
}

void AsioLink::PairName(int32_t n, char* text) const
{
    if (n < 0 || n >= m_inputCount / 2)
    {
        return;
    }
    const char* first = m_inputChannels[2 * n].name;
    const char* second = m_inputChannels[2 * n + 1].name;
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
    switch (m_errorState)
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
    if (m_running && m_stream)
    {
        m_stream->OnSwitch(bufferIndex);
    }
    if (m_outputReadyAnswer == 0 && m_driver)
    {
        m_outputReadyAnswer = m_driver->outputReady();
    }
}

int32_t AsioLink::OnAsioMessage(int32_t selector, int32_t value)
{
    switch (selector)
    {
    case kAsioSelectorSupported:
        return value == kAsioResetRequest ? 1 : 0;
    case kAsioResetRequest:
        if (m_owner)
        {
            m_owner->OnResetRequest();
        }
        return 0;
    default:
        return 0;
    }
}
