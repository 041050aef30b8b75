// Conversions between the stream's float samples and the driver's little-endian integer
// samples.
#pragma once

#include <cstdint>

// The driver sample types the stream reads and writes; others are neither.
constexpr int32_t kSampleTypeInt16LSB = 16;
constexpr int32_t kSampleTypeInt32LSB = 18;

// Values below -1 give -32767, above 1 give 32767, -1 gives -32768; NaN gives 0.
void FloatToInt16(const float* src, int16_t* dst, int32_t n);
// Values beyond +-1 give +-2147418112 (0x7FFF0000); NaN gives 0.
void FloatToInt32(const float* src, int32_t* dst, int32_t n);
// Scaled by 1/32767 (so 32767 gives 1.0) and by 2^-31.
void Int16ToFloat(const int16_t* src, float* dst, int32_t n);
void Int32ToFloat(const int32_t* src, float* dst, int32_t n);
