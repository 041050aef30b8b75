#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class String;

// A .bmp file read whole and checked before any of it is used: every size and offset the
// headers claim is proven, in 64-bit arithmetic, to lie inside the bytes that were read, so
// a damaged or cut-short file is refused instead of being read past its end.
//
// Taken: "BM" files with a 40, 108 or 124-byte header, a width above 0, a height that is
// neither 0 nor INT_MIN (negative: rows top-down), one plane, 1, 4, 8, 16, 24 or 32 bits per
// pixel, uncompressed or (16 and 32 bits) with colour masks, a palette of at most 2^bits
// entries for up to 8 bits, the palette before the pixels and every row inside the file.
// Refused: anything else, including run-length and embedded compressed images.
class BmpFile
{
public:
    // Larger files are refused before they are read: a 4096 x 4096 image at 32 bits per pixel
    // fits, and the file is held next to its bitmap while it loads.
    static const long kMaxFileBytes = 64L * 1024 * 1024 + 4096;

    BmpFile();
    ~BmpFile();
    BmpFile(const BmpFile&) = delete;
    BmpFile& operator=(const BmpFile&) = delete;

    // Reads the file and checks it; 0 when it is missing, unreadable, larger than
    // kMaxFileBytes or refused by Parse.
    int Read(const String& path);
    // Checks a file's bytes (copied); 0 when refused.
    int Parse(const uint8_t* bytes, size_t size);

    int Width() const { return width_; }
    int Height() const { return height_; } // always positive
    int BitsPerPixel() const { return bitsPerPixel_; }
    // The bitmap-info block of a bottom-up DIB of the image: a 40-byte header, then the colour
    // masks or the palette as the file gives them.
    const uint8_t* Info() const { return info_.get(); }
    size_t InfoSize() const { return infoSize_; }
    // Copies the pixel rows, bottom row first, into bits whose rows are stride bytes apart;
    // stride must be at least the rows' size in the file. Nothing without a parsed file.
    void CopyRows(uint8_t* bits, int stride) const;

private:
    void Reset();
    int Refuse(); // resets, answers 0
    int Check();

    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_ = 0;
    std::unique_ptr<uint8_t[]> info_;
    size_t infoSize_ = 0;
    int width_ = 0;
    int height_ = 0;
    int topDown_ = 0;
    int bitsPerPixel_ = 0;
    size_t pixelOffset_ = 0;
    size_t rowBytes_ = 0;
};
