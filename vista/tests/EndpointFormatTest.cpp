#include "vista/EndpointFormat.h"
#include "vista/tests/FormatBuilders.h"

#include <gtest/gtest.h>

#include <memory>

namespace kiv::vista
{
namespace
{

using test::Extensible;
using test::Plain;

// A plain record in an allocation of exactly its own 18 bytes, as the system hands it out:
// the sanitizers report any read past it.
std::unique_ptr<WaveFormat> OnHeap(const WaveFormat& format)
{
    return std::make_unique<WaveFormat>(format);
}

TEST(EndpointFormat, StereoCdFormatBecomes48kWith24ValidBitsIn32)
{
    const auto current = OnHeap(Plain(kWaveFormatPcm, 2, 44100, 16));
    WaveFormatExtensible made{};
    ASSERT_TRUE(MakeEndpointFormat(*current, 48000, 24, &made));
    EXPECT_EQ(made.format.formatTag, kWaveFormatExtensible);
    EXPECT_EQ(made.format.channels, 2);
    EXPECT_EQ(made.format.samplesPerSec, 48000u);
    EXPECT_EQ(made.validBitsPerSample, 24);
    EXPECT_EQ(made.format.bitsPerSample, 32);
    EXPECT_EQ(made.format.blockAlign, 8);
    EXPECT_EQ(made.format.avgBytesPerSec, 384000u);
    EXPECT_EQ(made.format.extraSize, 22);
    EXPECT_EQ(made.subFormat, kSubFormatPcm);
    EXPECT_EQ(made.channelMask, 0x3u);
}

TEST(EndpointFormat, ValidBitsComeFromTheExtensionOnlyWhenItIsThere)
{
    const auto plain = OnHeap(Plain(kWaveFormatPcm, 2, 48000, 24));
    EXPECT_EQ(ValidBitsOf(*plain), 24);
    EXPECT_FALSE(IsExtensible(*plain));

    // The extensible tag without room for the extension is read as a plain record.
    const auto tagOnly = OnHeap(Plain(kWaveFormatExtensible, 2, 48000, 32));
    EXPECT_FALSE(IsExtensible(*tagOnly));
    EXPECT_EQ(ValidBitsOf(*tagOnly), 32);

    const WaveFormatExtensible extensible = Extensible(2, 48000, 32, 20, 0x3, kSubFormatPcm);
    EXPECT_TRUE(IsExtensible(extensible.format));
    EXPECT_EQ(ValidBitsOf(extensible.format), 20);
}

TEST(EndpointFormat, ContainerFollowsTheValidBits)
{
    struct Case
    {
        uint16_t validBits;
        uint16_t currentBits;
        uint16_t container;
    };
    const Case cases[] = {
        {8, 8, 16},   {16, 24, 16}, {24, 16, 32},
        {32, 16, 32}, {20, 24, 24}, // no rule for 20: the current container stays
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.validBits);
        const auto current = OnHeap(Plain(kWaveFormatPcm, 2, 44100, c.currentBits));
        WaveFormatExtensible made{};
        ASSERT_TRUE(MakeEndpointFormat(*current, 96000, c.validBits, &made));
        EXPECT_EQ(made.format.bitsPerSample, c.container);
        EXPECT_EQ(made.validBitsPerSample, c.validBits);
        EXPECT_EQ(made.format.blockAlign, 2 * c.container / 8);
        EXPECT_EQ(made.format.avgBytesPerSec, 96000u * made.format.blockAlign);
    }
}

TEST(EndpointFormat, ExtensibleFormatKeepsItsSpeakersAndBecomesIntegerPcm)
{
    // Six float channels at 44100: the float sub-format cannot carry 24 valid bits in 32.
    const WaveFormatExtensible current = Extensible(6, 44100, 32, 32, 0x3F, kSubFormatIeeeFloat);
    WaveFormatExtensible made{};
    ASSERT_TRUE(MakeEndpointFormat(current.format, 48000, 24, &made));
    EXPECT_EQ(made.subFormat, kSubFormatPcm);
    EXPECT_EQ(made.channelMask, 0x3Fu);
    EXPECT_EQ(made.format.channels, 6);
    EXPECT_EQ(made.format.blockAlign, 24);
    EXPECT_EQ(made.format.avgBytesPerSec, 48000u * 24);
}

TEST(EndpointFormat, PlainFormatsGetSpeakersByChannelCount)
{
    struct Case
    {
        uint16_t tag;
        uint16_t channels;
        uint32_t mask;
    };
    const Case cases[] = {{kWaveFormatPcm, 1, 0x4}, {kWaveFormatIeeeFloat, 2, 0x3}, {kWaveFormatPcm, 4, 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.channels);
        const auto current = OnHeap(Plain(c.tag, c.channels, 44100, 32));
        WaveFormatExtensible made{};
        ASSERT_TRUE(MakeEndpointFormat(*current, 48000, 24, &made));
        EXPECT_EQ(made.channelMask, c.mask);
        EXPECT_EQ(made.subFormat, kSubFormatPcm);
        EXPECT_EQ(made.format.formatTag, kWaveFormatExtensible);
    }
}

TEST(EndpointFormat, RefusesWhatWouldNotBeAValidFormat)
{
    struct Case
    {
        const char* what;
        uint16_t channels;
        uint16_t currentBits;
        uint32_t rate;
        uint16_t validBits;
    };
    const Case cases[] = {
        {"no channels", 0, 16, 48000, 24},
        {"no rate", 2, 16, 0, 24},
        {"no valid bits", 2, 16, 48000, 0},
        {"container smaller than the valid bits", 2, 16, 48000, 20},
        {"block align beyond 16 bits", 20000, 16, 48000, 24},
        {"bytes per second beyond 32 bits", 2, 16, 0x80000000u, 24},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const auto current = OnHeap(Plain(kWaveFormatPcm, c.channels, 44100, c.currentBits));
        WaveFormatExtensible made{};
        made.format.samplesPerSec = 12345;
        EXPECT_FALSE(MakeEndpointFormat(*current, c.rate, c.validBits, &made));
        EXPECT_EQ(made.format.samplesPerSec, 12345u) << "the result is untouched on failure";
    }
}

} // namespace
} // namespace kiv::vista
