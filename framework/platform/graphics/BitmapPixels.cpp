#include "framework/platform/graphics/BitmapPixels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace BitmapPixels
{
namespace
{
uint8_t* Address(const PixelBuffer& buffer, int x, int y, int bytes)
{
    return buffer.bits + static_cast<ptrdiff_t>(buffer.height - y - 1) * buffer.stride +
           static_cast<ptrdiff_t>(x) * bytes;
}

bool Inside(const PixelBuffer& buffer, int x, int y)
{
    return x >= 0 && y >= 0 && x < buffer.width && y < buffer.height;
}

// Moves a negative origin of either side to 0, shortening the span by the same amount.
void ClipOrigins(int& first, int& second, int& length)
{
    if (first < 0)
    {
        length += first;
        second -= first;
        first = 0;
    }
    if (second < 0)
    {
        length += second;
        first -= second;
        second = 0;
    }
}

// Cuts the span to what remains of size from origin; false when the origin lies beyond it.
bool ClipToSize(int origin, int size, int& length)
{
    if (origin > size)
        return false;
    length = std::min(length, size - origin);
    return true;
}
// One row of a keyed copy: the pixels that do (copyKey) or do not equal the key, copied in
// runs. The pixel size is a constant here so the compare is a few byte tests, not a call.
template <int Bytes>
void CopyRowKeyed(uint8_t* to, const uint8_t* from, int width, const uint8_t* key, bool copyKey)
{
    const auto matches = [&](int column) {
        const uint8_t* pixel = from + column * Bytes;
        for (int i = 0; i < Bytes; ++i)
            if (pixel[i] != key[i])
                return false;
        return true;
    };
    for (int column = 0; column < width;)
    {
        if (matches(column) != copyKey)
        {
            ++column;
            continue;
        }
        const int start = column;
        while (column < width && matches(column) == copyKey)
            ++column;
        std::memmove(to + start * Bytes, from + start * Bytes, static_cast<size_t>(column - start) * Bytes);
    }
}
} // namespace

int BytesPerPixel(int bitsPerPixel)
{
    switch (bitsPerPixel)
    {
    case 8:
        return 1;
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

int DibStride(int width, int bitsPerPixel)
{
    return static_cast<int>((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4);
}

bool SizeAllowed(int64_t width, int64_t height, int bitsPerPixel)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels ||
        bitsPerPixel < 1 || bitsPerPixel > 32)
        return false;
    const int64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    return stride * height <= INT32_MAX;
}

uint32_t Get(const PixelBuffer& buffer, int x, int y)
{
    const int bytes = BytesPerPixel(buffer.bitsPerPixel);
    if (!buffer.bits || bytes == 0 || !Inside(buffer, x, y))
        return 0;
    const uint8_t* pixel = Address(buffer, x, y, bytes);
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | pixel[i];
    return value;
}

void Set(const PixelBuffer& buffer, int x, int y, uint32_t value)
{
    const int bytes = BytesPerPixel(buffer.bitsPerPixel);
    if (!buffer.bits || bytes == 0 || !Inside(buffer, x, y))
        return;
    uint8_t* pixel = Address(buffer, x, y, bytes);
    for (int i = 0; i < bytes; ++i)
        pixel[i] = static_cast<uint8_t>(value >> (8 * i));
}

int Copy(const PixelBuffer& target, const PixelBuffer& source, int sx, int sy, int width, int height, int tx, int ty,
         int mode, int keyX, int keyY, uint32_t keyColour)
{
    const int bytes = BytesPerPixel(source.bitsPerPixel);
    if (!source.bits || !target.bits || bytes == 0 || target.bitsPerPixel != source.bitsPerPixel)
        return 0;
    if (width < 0 || height < 0 || mode < CopyBottomUp || mode > CopyTopDown)
        return 0;

    // The key is taken before any byte is written: source and target may be one bitmap.
    uint8_t key[4] = {};
    if (mode == CopyUnlessKey || mode == CopyOnlyKey)
    {
        if (keyX < 0)
        {
            for (int i = 0; i < bytes; ++i)
                key[i] = static_cast<uint8_t>(keyColour >> (8 * i));
        }
        else
        {
            if (!Inside(source, keyX, keyY))
                return 0;
            std::memcpy(key, Address(source, keyX, keyY, bytes), static_cast<size_t>(bytes));
        }
    }

    ClipOrigins(sx, tx, width);
    ClipOrigins(sy, ty, height);
    if (!ClipToSize(sx, source.width, width) || !ClipToSize(sy, source.height, height) ||
        !ClipToSize(tx, target.width, width) || !ClipToSize(ty, target.height, height))
        return 1;
    if (width <= 0 || height <= 0)
        return 1;

    const size_t span = static_cast<size_t>(width) * static_cast<size_t>(bytes);
    if (mode == CopyTopDown)
    {
        for (int row = 0; row < height; ++row)
            std::memmove(Address(target, tx, ty + row, bytes), Address(source, sx, sy + row, bytes), span);
        return 1;
    }
    for (int row = height - 1; row >= 0; --row)
    {
        uint8_t* to = Address(target, tx, ty + row, bytes);
        const uint8_t* from = Address(source, sx, sy + row, bytes);
        if (mode == CopyBottomUp)
        {
            std::memmove(to, from, span);
            continue;
        }
        const bool copyKey = mode == CopyOnlyKey;
        if (source.bits == target.bits)
        {
            // Within one bitmap a pixel may be read after an earlier one was written: pixel
            // by pixel, in order.
            for (int column = 0; column < width; ++column, to += bytes, from += bytes)
                if ((std::memcmp(from, key, static_cast<size_t>(bytes)) == 0) == copyKey)
                    std::memmove(to, from, static_cast<size_t>(bytes));
            continue;
        }
        switch (bytes)
        {
        case 1:
            CopyRowKeyed<1>(to, from, width, key, copyKey);
            break;
        case 2:
            CopyRowKeyed<2>(to, from, width, key, copyKey);
            break;
        case 3:
            CopyRowKeyed<3>(to, from, width, key, copyKey);
            break;
        default:
            CopyRowKeyed<4>(to, from, width, key, copyKey);
            break;
        }
    }
    return 1;
}

int Scroll(const PixelBuffer& buffer, int delta, int x, int y, int width, int height)
{
    if (width < 0 || height < 0)
        return 0;
    const int distance = delta < 0 ? -delta : delta;
    const int moving = height - distance;
    if (moving <= 0)
        return 1;
    if (delta < 0)
        return Copy(buffer, buffer, x, y + distance, width, moving, x, y, CopyTopDown, x, y, 0xFF00FF);
    return Copy(buffer, buffer, x, y, width, moving, x, y + distance, CopyBottomUp, x, y, 0xFF00FF);
}

int Blend(const PixelBuffer& target, double factor, const PixelBuffer& a, const PixelBuffer& b, int width, int height,
          int ax, int ay, int bx, int by, int tx, int ty)
{
    if (!target.bits || !a.bits || !b.bits || target.bitsPerPixel != 24 || a.bitsPerPixel != 24 || b.bitsPerPixel != 24)
        return 0;
    if (width < 0 || height < 0)
        return 0;

    // A negative origin on any side shifts all three.
    const int shiftX = std::max({0, -ax, -bx, -tx});
    const int shiftY = std::max({0, -ay, -by, -ty});
    ax += shiftX, bx += shiftX, tx += shiftX, width -= shiftX;
    ay += shiftY, by += shiftY, ty += shiftY, height -= shiftY;
    width = std::min({width, a.width - ax, b.width - bx, target.width - tx});
    height = std::min({height, a.height - ay, b.height - by, target.height - ty});
    if (width <= 0 || height <= 0)
        return 1;

    for (int row = height - 1; row >= 0; --row)
    {
        const uint8_t* pa = Address(a, ax, ay + row, 3);
        const uint8_t* pb = Address(b, bx, by + row, 3);
        uint8_t* pt = Address(target, tx, ty + row, 3);
        for (int i = 0; i < width * 3; ++i)
        {
            const int difference = static_cast<int>(pb[i]) - static_cast<int>(pa[i]);
            pt[i] = static_cast<uint8_t>(static_cast<int>(difference * factor) + pa[i]);
        }
    }
    return 1;
}

int ScanRuns(const PixelBuffer& buffer, int x, int y, int width, int height, int keyX, int keyY, RunSink& sink)
{
    if (!buffer.bits || !Inside(buffer, keyX, keyY))
        return 0;
    return ScanRunsKeyed(buffer, x, y, width, height, Get(buffer, keyX, keyY), sink);
}

int ScanRunsKeyed(const PixelBuffer& buffer, int x, int y, int width, int height, uint32_t key, RunSink& sink)
{
    if (!buffer.bits || width < 0 || height < 0)
        return 0;
    // Pixels of a depth without a byte size all compare equal to the key: nothing is opaque.
    const int bytes = BytesPerPixel(buffer.bitsPerPixel);
    if (bytes == 0)
        return 1;
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + width, buffer.width);
    const int bottom = std::min(y + height, buffer.height);
    // Only the pixel's bytes count: Get answers nothing above them.
    if (bytes < 4)
        key &= (1u << (8 * bytes)) - 1;
    for (int row = top; row < bottom; ++row)
    {
        int column = left;
        while (column < right)
        {
            if (Get(buffer, column, row) == key)
            {
                ++column;
                continue;
            }
            const int start = column;
            while (column < right && Get(buffer, column, row) != key)
                ++column;
            if (!sink.AddRun(start - x, row - y, column - x, row - y + 1))
                return 0;
        }
    }
    return 1;
}
} // namespace BitmapPixels
