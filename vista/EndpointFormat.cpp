#include "vista/EndpointFormat.h"

#include <cstring>

namespace kiv::vista
{

namespace
{

// Speaker positions for a plain format, which names none: mono is front centre, stereo front
// left and right; wider layouts stay unassigned.
uint32_t DefaultChannelMask(uint16_t channels)
{
    switch (channels)
    {
    case 1:
        return 0x4;
    case 2:
        return 0x1 | 0x2;
    default:
        return 0;
    }
}

uint16_t ContainerBitsFor(uint16_t validBits, uint16_t currentContainerBits)
{
    switch (validBits)
    {
    case 8:
    case 16:
        return 16;
    case 24:
    case 32:
        return 32;
    default:
        return currentContainerBits;
    }
}

} // namespace

bool operator==(const FormatGuid& a, const FormatGuid& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool IsExtensible(const WaveFormat& format)
{
    return format.formatTag == kWaveFormatExtensible && format.extraSize >= kExtensibleExtraSize;
}

uint16_t ValidBitsOf(const WaveFormat& format)
{
    if (!IsExtensible(format))
        return format.bitsPerSample;
    // The record is 18 + extraSize bytes long, so the extension is there to read.
    return reinterpret_cast<const WaveFormatExtensible&>(format).validBitsPerSample;
}

bool MakeEndpointFormat(const WaveFormat& current, uint32_t rate, uint16_t validBits, WaveFormatExtensible* result)
{
    WaveFormatExtensible made{};
    if (IsExtensible(current))
        made.channelMask = reinterpret_cast<const WaveFormatExtensible&>(current).channelMask;
    else
        made.channelMask = DefaultChannelMask(current.channels);

    const uint16_t containerBits = ContainerBitsFor(validBits, current.bitsPerSample);
    if (current.channels == 0 || rate == 0 || validBits == 0 || containerBits < validBits || containerBits % 8 != 0)
        return false;
    const uint64_t blockAlign = uint64_t{current.channels} * containerBits / 8;
    const uint64_t bytesPerSec = blockAlign * rate;
    if (blockAlign > UINT16_MAX || bytesPerSec > UINT32_MAX)
        return false;

    made.format.formatTag = kWaveFormatExtensible;
    made.format.channels = current.channels;
    made.format.samplesPerSec = rate;
    made.format.avgBytesPerSec = static_cast<uint32_t>(bytesPerSec);
    made.format.blockAlign = static_cast<uint16_t>(blockAlign);
    made.format.bitsPerSample = containerBits;
    made.format.extraSize = kExtensibleExtraSize;
    made.validBitsPerSample = validBits;
    // Always integer PCM: valid bits below the container are meaningless in a float format.
    made.subFormat = kSubFormatPcm;
    *result = made;
    return true;
}

} // namespace kiv::vista
