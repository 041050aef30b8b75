// The operations of Platform that are the same on every target.
#include "plugins/base/platform/Platform.h"

#include "plugins/base/platform/AlignedBuffer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

size_t Platform::ReservedBlockSize()
{
    return reservedSize_;
}

bool Platform::HasSse()
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    return (edx & (1u << 25)) != 0;
#else
    return false;
#endif
}

namespace
{
// A buffer whose memory could not be had is no buffer.
AlignedBuffer* KeepIfValid(AlignedBuffer* buffer)
{
    if (buffer && !buffer->IsValid())
    {
        delete buffer;
        return nullptr;
    }
    return buffer;
}
} // namespace

AlignedBuffer* Platform::NewBufferCopy(const AlignedBuffer& buffer)
{
    return KeepIfValid(new (std::nothrow) AlignedBuffer(buffer, 16, true));
}

AlignedBuffer* Platform::NewBufferFrom(const void* data, size_t size)
{
    return KeepIfValid(new (std::nothrow) AlignedBuffer(data, size, 16, true));
}

AlignedBuffer* Platform::NewBuffer(size_t size)
{
    return KeepIfValid(new (std::nothrow) AlignedBuffer(size, 16, false, true));
}

void* Platform::MoveBytes(void* dst, const void* src, size_t n)
{
    if (n)
        std::memmove(dst, src, n);
    return dst;
}

int Platform::ZeroBytes(void* dst, size_t n)
{
    if (n)
        std::memset(dst, 0, n);
    return 0;
}

size_t Platform::CopyBytes(void* dst, const void* src, size_t n)
{
    if (n)
        std::memmove(dst, src, n);
    return n;
}

namespace
{
template <typename Char>
size_t LengthOf(const Char* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

template <typename Char>
Char* CopyBounded(Char* dst, const Char* src, size_t capacity)
{
    if (capacity == 0)
        return dst;
    size_t i = 0;
    for (; i + 1 < capacity && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}
} // namespace

PlatformWideChar* Platform::CopyWideN(PlatformWideChar* dst, const PlatformWideChar* src, size_t capacity)
{
    return CopyBounded(dst, src, capacity);
}

char* Platform::CopyStringN(char* dst, const char* src, size_t capacity)
{
    return CopyBounded(dst, src, capacity);
}

PlatformWideChar* Platform::CopyWide(PlatformWideChar* dst, const PlatformWideChar* src)
{
    std::memmove(dst, src, (LengthOf(src) + 1) * sizeof(PlatformWideChar));
    return dst;
}

size_t Platform::CopyString(char* dst, const char* src)
{
    size_t n = LengthOf(src) + 1;
    std::memmove(dst, src, n);
    return n;
}

size_t Platform::WideLength(const PlatformWideChar* text)
{
    return LengthOf(text);
}

size_t Platform::StringLength(const char* text)
{
    return LengthOf(text);
}

void Platform::SwapBytes(void* buffer, size_t length, int order)
{
    if (order == 1 || length < 2)
        return;
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (size_t i = 0, j = length - 1; i < j; ++i, --j)
    {
        unsigned char t = bytes[i];
        bytes[i] = bytes[j];
        bytes[j] = t;
    }
}

double Platform::Abs(double x)
{
    return std::fabs(x);
}
double Platform::Sin(double x)
{
    return std::sin(x);
}
double Platform::Cos(double x)
{
    return std::cos(x);
}
double Platform::Tan(double x)
{
    return std::tan(x);
}
double Platform::Exp(double x)
{
    return std::exp(x);
}
double Platform::Pow2(double x)
{
    return std::pow(2.0, x);
}
double Platform::Log10(double x)
{
    return std::log10(x);
}
double Platform::Log2(double x)
{
    return std::log10(x) / std::log10(2.0);
}
double Platform::Pow(double a, double b)
{
    return std::pow(a, b);
}
double Platform::Sqrt(double x)
{
    return std::sqrt(x);
}

uint32_t Platform::Random32()
{
    int64_t now = 0;
    GetTimeMicroseconds(&now);
    std::srand(static_cast<unsigned>(now));
    uint32_t a = static_cast<uint32_t>(std::rand());
    GetTimeMicroseconds(&now);
    std::srand(static_cast<unsigned>(now));
    uint32_t b = static_cast<uint32_t>(std::rand());
    return (a << 16) | b;
}
