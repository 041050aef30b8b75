#include "standins/audioendpoints/StandinState.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace kiv::standins
{

using kiv::vista::WaveFormat;
using kiv::vista::WaveFormatExtensible;

LONG StandinState::liveObjects_ = 0;

namespace
{

// Refuses what the system's audio service would refuse: a record whose sizes and rates
// disagree, and valid bits that the container or the sample type cannot carry.
HRESULT CheckFormat(const WaveFormatExtensible& record)
{
    const WaveFormat& format = record.format;
    if (format.channels == 0 || format.samplesPerSec == 0 || format.bitsPerSample == 0 || format.bitsPerSample % 8 != 0)
        return E_INVALIDARG;
    if (format.blockAlign != format.channels * format.bitsPerSample / 8 ||
        format.avgBytesPerSec != uint64_t{format.blockAlign} * format.samplesPerSec)
        return E_INVALIDARG;
    switch (format.formatTag)
    {
    case kiv::vista::kWaveFormatPcm:
        return S_OK;
    case kiv::vista::kWaveFormatIeeeFloat:
        return format.bitsPerSample == 32 ? S_OK : E_INVALIDARG;
    case kiv::vista::kWaveFormatExtensible:
        if (format.extraSize < kiv::vista::kExtensibleExtraSize || record.validBitsPerSample == 0 ||
            record.validBitsPerSample > format.bitsPerSample)
            return E_INVALIDARG;
        if (record.subFormat == kiv::vista::kSubFormatPcm)
            return S_OK;
        if (record.subFormat == kiv::vista::kSubFormatIeeeFloat)
            return format.bitsPerSample == 32 && record.validBitsPerSample == 32 ? S_OK : E_INVALIDARG;
        return E_INVALIDARG;
    default:
        return E_INVALIDARG;
    }
}

} // namespace

StandinState& StandinState::Instance()
{
    static StandinState state;
    return state;
}

void StandinState::Reset()
{
    std::lock_guard<std::mutex> hold(lock_);
    endpoints_.clear();
    writes_.clear();
}

void StandinState::AddEndpoint(const StandinEndpoint& endpoint)
{
    EndpointRecord record{endpoint.flow,
                          endpoint.state,
                          endpoint.id ? endpoint.id : L"",
                          endpoint.nameKind,
                          endpoint.name ? endpoint.name : L"",
                          {},
                          endpoint.refuseWrites != FALSE};
    if (endpoint.format != nullptr)
    {
        const auto* bytes = reinterpret_cast<const BYTE*>(endpoint.format);
        record.format.assign(bytes, bytes + sizeof(WaveFormat) + endpoint.format->extraSize);
    }
    std::lock_guard<std::mutex> hold(lock_);
    endpoints_.push_back(std::move(record));
}

std::vector<std::pair<std::wstring, DWORD>> StandinState::Endpoints(EDataFlow flow, DWORD stateMask)
{
    std::vector<std::pair<std::wstring, DWORD>> found;
    std::lock_guard<std::mutex> hold(lock_);
    for (const EndpointRecord& endpoint : endpoints_)
    {
        if ((flow == eAll || endpoint.flow == flow) && (endpoint.state & stateMask) != 0)
            found.emplace_back(endpoint.id, endpoint.state);
    }
    return found;
}

bool StandinState::Find(LPCWSTR id, EndpointRecord* record)
{
    std::lock_guard<std::mutex> hold(lock_);
    for (const EndpointRecord& endpoint : endpoints_)
    {
        if (id != nullptr && endpoint.id == id)
        {
            *record = endpoint;
            return true;
        }
    }
    return false;
}

bool StandinState::SetName(LPCWSTR id, std::wstring name)
{
    std::lock_guard<std::mutex> hold(lock_);
    for (EndpointRecord& endpoint : endpoints_)
    {
        if (id != nullptr && endpoint.id == id)
        {
            endpoint.nameKind = StandinNameKind::Text;
            endpoint.name = std::move(name);
            return true;
        }
    }
    return false;
}

HRESULT StandinState::WriteFormat(LPCWSTR id, const WaveFormat* format, bool mixFormatGiven)
{
    StandinFormatWrite write{};
    if (id != nullptr)
        wcsncpy(write.endpointId, id, ARRAYSIZE(write.endpointId) - 1);
    write.mixFormatGiven = mixFormatGiven;
    if (format != nullptr)
    {
        write.size = sizeof(WaveFormat) + format->extraSize;
        std::memcpy(&write.format, format, std::min<size_t>(write.size, sizeof write.format));
    }

    std::lock_guard<std::mutex> hold(lock_);
    auto endpoint = std::find_if(endpoints_.begin(), endpoints_.end(),
                                 [&](const EndpointRecord& e) { return id != nullptr && e.id == id; });
    if (format == nullptr)
        write.result = E_POINTER;
    else if (endpoint == endpoints_.end())
        write.result = E_NOTFOUND;
    else if (endpoint->refuseWrites)
        write.result = E_ACCESSDENIED;
    else
        write.result = CheckFormat(write.format);
    if (SUCCEEDED(write.result))
    {
        const auto* bytes = reinterpret_cast<const BYTE*>(&write.format);
        endpoint->format.assign(bytes, bytes + std::min<size_t>(write.size, sizeof write.format));
        // A record longer than the part we keep is stored as what it starts with.
        reinterpret_cast<WaveFormat*>(endpoint->format.data())->extraSize =
            static_cast<uint16_t>(endpoint->format.size() - sizeof(WaveFormat));
    }
    writes_.push_back(write);
    return write.result;
}

ULONG StandinState::WriteCount()
{
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<ULONG>(writes_.size());
}

bool StandinState::GetWrite(ULONG index, StandinFormatWrite* write)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (index >= writes_.size())
        return false;
    *write = writes_[index];
    return true;
}

void StandinState::ObjectCreated()
{
    InterlockedIncrement(&liveObjects_);
}

void StandinState::ObjectDestroyed()
{
    InterlockedDecrement(&liveObjects_);
}

LONG StandinState::LiveObjects()
{
    return InterlockedCompareExchange(&liveObjects_, 0, 0);
}

} // namespace kiv::standins
