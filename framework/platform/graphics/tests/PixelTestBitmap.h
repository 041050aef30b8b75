#pragma once

#include "framework/platform/graphics/BitmapPixels.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// A bottom-up pixel array in plain memory with guard bytes after the last row, so a write
// past the bitmap shows up as a changed guard.
class PixelTestBitmap
{
public:
    PixelTestBitmap(int width, int height, int bitsPerPixel)
        : bytes_(static_cast<size_t>(BitmapPixels::DibStride(width, bitsPerPixel) * height + kGuard), kGuardByte)
    {
        buffer_.width = width;
        buffer_.height = height;
        buffer_.bitsPerPixel = bitsPerPixel;
        buffer_.stride = BitmapPixels::DibStride(width, bitsPerPixel);
        buffer_.bits = bytes_.data();
        std::fill(bytes_.begin(), bytes_.end() - kGuard, 0);
    }

    const PixelBuffer& Buffer() const { return buffer_; }
    uint32_t Get(int x, int y) const { return BitmapPixels::Get(buffer_, x, y); }
    void Set(int x, int y, uint32_t value) { BitmapPixels::Set(buffer_, x, y, value); }
    // Each pixel gets a value made of its position, so misplaced copies are told apart.
    void FillPattern(uint32_t base)
    {
        for (int y = 0; y < buffer_.height; ++y)
            for (int x = 0; x < buffer_.width; ++x)
                Set(x, y, base + static_cast<uint32_t>(y * 16 + x));
    }
    bool GuardIntact() const
    {
        for (size_t i = bytes_.size() - kGuard; i < bytes_.size(); ++i)
            if (bytes_[i] != kGuardByte)
                return false;
        return true;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    static constexpr int kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;
    std::vector<uint8_t> bytes_;
    PixelBuffer buffer_;
};
