#include "plugins/base/stream/SampleConversion.h"

#include <cmath>

namespace {
constexpr float kInt16Out = 32768.0f;
constexpr float kInt32Out = 2147418112.0f;
constexpr float kInt16In = 3.0518509e-5f;
constexpr float kInt32In = 1.0f / 2147483648.0f;
}

void FloatToInt16(const float* src, int16_t* dst, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const float x = src[i];
        int32_t v;
        if (x > 1.0f)
            v = 32767;
        else if (x < -1.0f)
            v = -32767;
        else if (x != x)
            v = 0;
        else
            v = static_cast<int32_t>(std::lrintf(x * kInt16Out));
        dst[i] = static_cast<int16_t>(v > 32767 ? 32767 : v);
    }
}

void FloatToInt32(const float* src, int32_t* dst, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const float x = src[i];
        if (x > 1.0f)
            dst[i] = 2147418112;
        else if (x < -1.0f)
            dst[i] = -2147418112;
        else if (x != x)
            dst[i] = 0;
        else
            dst[i] = static_cast<int32_t>(std::lrintf(x * kInt32Out));
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
