// The endpoint format record that the system's audio policy object hands out and accepts,
// and the arithmetic that turns an endpoint's current format into the one we write.
// Portable: no system header, so the arithmetic is tested natively as well.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kiv::vista
{

#pragma pack(push, 1)

// Same layout as the system's GUID.
struct FormatGuid
{
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// The common header of every wave format (the system's WAVEFORMATEX, 18 bytes). The record
// that holds it is 18 + extraSize bytes long.
struct WaveFormat
{
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample; // the container size when the record is extensible
    uint16_t extraSize;
};

// The extensible record (the system's WAVEFORMATEXTENSIBLE): the header and 22 more bytes.
struct WaveFormatExtensible
{
    WaveFormat format;
    uint16_t validBitsPerSample;
    uint32_t channelMask;
    FormatGuid subFormat;
};

#pragma pack(pop)

static_assert(sizeof(FormatGuid) == 16);
static_assert(sizeof(WaveFormat) == 18);
static_assert(offsetof(WaveFormat, samplesPerSec) == 4);
static_assert(offsetof(WaveFormat, blockAlign) == 12);
static_assert(offsetof(WaveFormat, extraSize) == 16);
static_assert(sizeof(WaveFormatExtensible) == 40);
static_assert(offsetof(WaveFormatExtensible, validBitsPerSample) == 18);
static_assert(offsetof(WaveFormatExtensible, channelMask) == 20);
static_assert(offsetof(WaveFormatExtensible, subFormat) == 24);

inline constexpr uint16_t kWaveFormatPcm = 0x0001;
inline constexpr uint16_t kWaveFormatIeeeFloat = 0x0003;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
inline constexpr uint16_t kExtensibleExtraSize = sizeof(WaveFormatExtensible) - sizeof(WaveFormat);

// Sub-formats of the extensible record (integer PCM and IEEE float).
inline constexpr FormatGuid kSubFormatPcm{0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr FormatGuid kSubFormatIeeeFloat{
    0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

bool operator==(const FormatGuid& a, const FormatGuid& b);

// True when the record carries the extension: the extensible tag and room for its 22 bytes.
// Only then may the extensible fields be read.
bool IsExtensible(const WaveFormat& format);

// The valid bits per sample: the extension's value, or the sample size of a plain record.
uint16_t ValidBitsOf(const WaveFormat& format);

// Builds the format to write for an endpoint whose current format is `current`: `rate` Hz,
// `validBits` valid bits in 16-bit containers (8 or 16 valid bits) or 32-bit containers
// (24 or 32), integer PCM, the current channel count. An extensible current format keeps its
// channel mask; a plain one gets a fresh extensible record. Fails (false) when the result
// would not be a valid format: no channels, no rate, a container smaller than the valid bits,
// or a block or byte rate too large for its field.
bool MakeEndpointFormat(const WaveFormat& current, uint32_t rate, uint16_t validBits, WaveFormatExtensible* result);

} // namespace kiv::vista
