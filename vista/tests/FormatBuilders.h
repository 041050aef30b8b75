// Endpoint format records for tests.
#pragma once

#include "vista/EndpointFormat.h"

namespace kiv::vista::test
{

// A plain record: the header only, no extension.
inline WaveFormat Plain(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    const uint16_t blockAlign = static_cast<uint16_t>(channels * bits / 8);
    return WaveFormat{tag, channels, rate, uint32_t{blockAlign} * rate, blockAlign, bits, 0};
}

inline WaveFormatExtensible Extensible(uint16_t channels, uint32_t rate, uint16_t container, uint16_t valid,
                                       uint32_t mask, const FormatGuid& subFormat)
{
    WaveFormatExtensible format{};
    format.format = Plain(kWaveFormatExtensible, channels, rate, container);
    format.format.extraSize = kExtensibleExtraSize;
    format.validBitsPerSample = valid;
    format.channelMask = mask;
    format.subFormat = subFormat;
    return format;
}

// A plain record in an extensible one's room, for tables that hold either kind.
inline WaveFormatExtensible AsRecord(const WaveFormat& plain)
{
    WaveFormatExtensible record{};
    record.format = plain;
    return record;
}

} // namespace kiv::vista::test
