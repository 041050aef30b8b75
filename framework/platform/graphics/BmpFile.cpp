#include "framework/platform/graphics/BmpFile.h"

#include "framework/base/FileStream.h"
#include "framework/base/String.h"

#include <climits>
#include <cstring>
#include <new>

namespace
{
const size_t kFileHeaderBytes = 14;
const size_t kInfoHeaderBytes = 40;
const size_t kMaskBytes = 12;
const uint32_t kCompressionNone = 0;      // BI_RGB
const uint32_t kCompressionBitFields = 3; // BI_BITFIELDS

uint32_t Read16(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0] | at[1] << 8);
}

uint32_t Read32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

void Write32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}
} // namespace

BmpFile::BmpFile() = default;

BmpFile::~BmpFile() = default;

void BmpFile::Reset()
{
    bytes_.reset();
    size_ = 0;
    info_.reset();
    infoSize_ = 0;
    width_ = height_ = topDown_ = bitsPerPixel_ = 0;
    pixelOffset_ = rowBytes_ = 0;
}

int BmpFile::Refuse()
{
    Reset();
    return 0;
}

int BmpFile::Read(const String& path)
{
    Reset();
    FileStream stream(0);
    if (!stream.OpenRead(path.Text()))
        return 0;
    const long size = stream.BytesLeft();
    int read = 0;
    if (size <= 0 || size > kMaxFileBytes)
    {
        stream.Close();
        return 0;
    }
    bytes_.reset(new (std::nothrow) uint8_t[size]);
    const int whole = bytes_ && stream.Read(bytes_.get(), static_cast<int>(size), &read);
    stream.Close();
    if (!whole)
        return Refuse();
    size_ = static_cast<size_t>(size);
    return Check();
}

int BmpFile::Parse(const uint8_t* bytes, size_t size)
{
    Reset();
    if (!bytes || size == 0 || size > static_cast<size_t>(kMaxFileBytes))
        return 0;
    bytes_.reset(new (std::nothrow) uint8_t[size]);
    if (!bytes_)
        return 0;
    std::memcpy(bytes_.get(), bytes, size);
    size_ = size;
    return Check();
}

int BmpFile::Check()
{
    const uint8_t* file = bytes_.get();
    // Every offset below is checked against the size as a 64-bit sum: nothing can wrap.
    const int64_t size = static_cast<int64_t>(size_);
    if (size < static_cast<int64_t>(kFileHeaderBytes + 4) || file[0] != 'B' || file[1] != 'M')
        return Refuse();
    const int64_t pixelOffset = Read32(file + 10);
    const int64_t headerBytes = Read32(file + kFileHeaderBytes);
    if ((headerBytes != 40 && headerBytes != 108 && headerBytes != 124) ||
        static_cast<int64_t>(kFileHeaderBytes) + headerBytes > size)
        return Refuse();
    const uint8_t* header = file + kFileHeaderBytes;
    const int32_t width = static_cast<int32_t>(Read32(header + 4));
    const int32_t height = static_cast<int32_t>(Read32(header + 8));
    const uint32_t planes = Read16(header + 12);
    const uint32_t bits = Read16(header + 14);
    const uint32_t compression = Read32(header + 16);
    const uint32_t paletteUsed = Read32(header + 32);
    if (width <= 0 || height == 0 || height == INT_MIN || planes != 1)
        return Refuse();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Refuse();
    const int bitFields = compression == kCompressionBitFields;
    if (compression != kCompressionNone && !(bitFields && (bits == 16 || bits == 32)))
        return Refuse();
    // The masks follow a 40-byte header; the longer headers hold them at the same place.
    const int64_t maskOffset = static_cast<int64_t>(kFileHeaderBytes + kInfoHeaderBytes);
    int64_t tableOffset = static_cast<int64_t>(kFileHeaderBytes) + headerBytes;
    if (bitFields && headerBytes == 40)
        tableOffset += kMaskBytes;
    int64_t colours = 0;
    if (bits <= 8)
    {
        colours = paletteUsed ? paletteUsed : int64_t(1) << bits;
        if (colours > (int64_t(1) << bits))
            return Refuse();
    }
    if (tableOffset + colours * 4 > pixelOffset)
        return Refuse();
    const int64_t rowBytes = (static_cast<int64_t>(width) * bits + 31) / 32 * 4;
    const int64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    // Divided, not multiplied: a row can take 2^34 bytes and there can be 2^31 rows.
    if (pixelOffset > size || rows > (size - pixelOffset) / rowBytes)
        return Refuse();

    infoSize_ = kInfoHeaderBytes + (bitFields ? kMaskBytes : 0) + static_cast<size_t>(colours) * 4;
    info_.reset(new (std::nothrow) uint8_t[infoSize_]());
    if (!info_)
        return Refuse();
    uint8_t* info = info_.get();
    Write32(info, kInfoHeaderBytes);
    Write32(info + 4, static_cast<uint32_t>(width));
    Write32(info + 8, static_cast<uint32_t>(rows)); // bottom-up
    info[12] = 1;
    info[14] = static_cast<uint8_t>(bits);
    Write32(info + 16, compression);
    Write32(info + 32, static_cast<uint32_t>(colours));
    if (bitFields)
        std::memcpy(info + kInfoHeaderBytes, file + maskOffset, kMaskBytes);
    else
        std::memcpy(info + kInfoHeaderBytes, file + tableOffset, static_cast<size_t>(colours) * 4);

    width_ = width;
    height_ = static_cast<int>(rows);
    topDown_ = height < 0;
    bitsPerPixel_ = static_cast<int>(bits);
    pixelOffset_ = static_cast<size_t>(pixelOffset);
    rowBytes_ = static_cast<size_t>(rowBytes);
    return 1;
}

void BmpFile::CopyRows(uint8_t* bits, int stride) const
{
    if (!bytes_ || !info_ || !bits || stride < 0 || static_cast<size_t>(stride) < rowBytes_)
        return;
    for (int row = 0; row < height_; ++row)
    {
        // Row 0 of the target is the image's bottom row.
        const int fileRow = topDown_ ? height_ - 1 - row : row;
        std::memcpy(bits + static_cast<size_t>(row) * static_cast<size_t>(stride),
                    bytes_.get() + pixelOffset_ + static_cast<size_t>(fileRow) * rowBytes_, rowBytes_);
    }
}
