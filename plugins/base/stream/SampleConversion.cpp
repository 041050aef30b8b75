#include "plugins/base/stream/SampleConversion.h"

#include <cmath>

namespace
{
// Rounds to nearest with the processor's instruction. g++'s builtin returns an int, which
// lets it convert several samples at once; other compilers get the library call.
inline int32_t RoundToInt(float y)
{
#if defined(__GNUC__) && !defined(__clang__)
    return __builtin_irintf(y);
#else
    return static_cast<int32_t>(std::lrintf(y));
#endif
}

// The x87 unit keeps a product in extended precision; storing it is what rounds it to
// single precision, as the 32-bit conversion requires. SSE arithmetic rounds at once.
inline float Single(float y)
{
#if defined(__i386__) && !defined(__SSE_MATH__)
    volatile float stored = y;
    return stored;
#else
    return y;
#endif
}

constexpr float kInt16Out = 32768.0f;
constexpr float kInt32Out = 2147418112.0f;
constexpr float kInt16In = 3.0518509e-5f;
constexpr float kInt32In = 1.0f / 2147483648.0f;
} // namespace

// The loops are written as selects without branches so the compiler can convert several
// samples at once; rounding is the processor's (to nearest).
void FloatToInt16(const float* src, int16_t* dst, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
    {
        const float x = src[i];
        float y = x * kInt16Out;
        y = y > 32767.0f ? 32767.0f : y; // +1 would give 32768
        y = x < -1.0f ? -32767.0f : y;
        y = x == x ? y : 0.0f;
        dst[i] = static_cast<int16_t>(RoundToInt(y));
    }
}

void FloatToInt32(const float* src, int32_t* dst, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
    {
        const float x = src[i];
        float y = Single(x * kInt32Out);
        // Beyond +-1 the product is beyond +-kInt32Out as well.
        y = y > kInt32Out ? kInt32Out : y;
        y = y < -kInt32Out ? -kInt32Out : y;
        y = x == x ? y : 0.0f;
        dst[i] = RoundToInt(y);
    }
}

void Int16ToFloat(const int16_t* src, float* dst, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        dst[i] = static_cast<float>(src[i]) * kInt16In;
}

void Int32ToFloat(const int32_t* src, float* dst, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        dst[i] = static_cast<float>(src[i]) * kInt32In;
}
