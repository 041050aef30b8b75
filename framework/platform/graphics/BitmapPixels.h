#pragma once

#include <cstdint>

// A bottom-up device-independent pixel array as GDI describes a DIB section: image row r lies
// at bits + (height - r - 1) * stride. The bits are borrowed.
struct PixelBuffer
{
    int width = 0;
    int height = 0;
    int stride = 0; // bytes per row
    int bitsPerPixel = 0;
    uint8_t* bits = nullptr;
};

// The pixel work of bitmaps, apart from GDI. Spans are clipped to every bitmap involved;
// a negative width or height, a depth the operation cannot handle or bitmaps of different
// depths are refused (answer 0) before any byte is touched.
namespace BitmapPixels
{
// 1, 2, 3, 4 for 8, 16, 24, 32 bits; 0 for any other depth.
int BytesPerPixel(int bitsPerPixel);

// Row stride of a DIB of this width and depth (rows are padded to 4 bytes).
int DibStride(int width, int bitsPerPixel);

// The largest bitmap made or loaded: no side above kMaxSide pixels and no more than kMaxPixels
// in all (64 MB at 32 bits a pixel). Sizes come from skins and files a user may edit; no
// window of ours needs more, and a 32-bit address space does not have it to spare.
const int kMaxSide = 16384;
const int64_t kMaxPixels = int64_t{16} * 1024 * 1024;
// Whether a bitmap of this size and depth may be made: both sides at least 1, within the
// limits above, and a byte count that fits an int.
bool SizeAllowed(int64_t width, int64_t height, int bitsPerPixel);

// The pixel's bytes as a little-endian value; 0 outside the bitmap or without bits.
uint32_t Get(const PixelBuffer& buffer, int x, int y);
// Writes the low bytes of value; nothing outside the bitmap.
void Set(const PixelBuffer& buffer, int x, int y, uint32_t value);

enum CopyMode
{
    CopyBottomUp = 0,  // whole spans, rows from the area's bottom image row upward
    CopyUnlessKey = 1, // pixels that differ from the key
    CopyOnlyKey = 2,   // pixels equal to the key
    CopyTopDown = 3    // whole spans, rows from the area's top image row downward
};

// Copies the area (sx, sy, width, height) of source to (tx, ty) of target. In the keyed
// modes the key is the source pixel at (keyX, keyY), or the low bytes of keyColour when keyX
// is negative. Answers 0 when refused (no bits, unequal or unknown depths, a negative span,
// a key point outside the source, an unknown mode), else 1 (also when clipping left nothing).
int Copy(const PixelBuffer& target, const PixelBuffer& source, int sx, int sy, int width, int height, int tx, int ty,
         int mode, int keyX, int keyY, uint32_t keyColour);

// Moves the area's content vertically by delta rows (negative: up); the uncovered rows keep
// their content.
int Scroll(const PixelBuffer& buffer, int delta, int x, int y, int width, int height);

// target = a + truncate((b - a) * factor) per colour byte; all three must be 24-bit.
int Blend(const PixelBuffer& target, double factor, const PixelBuffer& a, const PixelBuffer& b, int width, int height,
          int ax, int ay, int bx, int by, int tx, int ty);

// Receives the opaque runs of ScanRuns, one rectangle (right and bottom exclusive) each.
class RunSink
{
public:
    virtual int AddRun(int left, int top, int right, int bottom) = 0; // 0 stops the scan

protected:
    ~RunSink() = default;
};

// Reports every run of pixels that differ from the key pixel (keyX, keyY), row by row, in
// coordinates relative to (x, y). The area is clipped to the bitmap. Answers 0 when refused
// (no bits, key point outside, negative span) or when the sink stopped, else 1.
int ScanRuns(const PixelBuffer& buffer, int x, int y, int width, int height, int keyX, int keyY, RunSink& sink);
// The same with the key given as a pixel value (the low bytes, as Get answers them), for
// images composed from pieces whose key pixel lies elsewhere.
int ScanRunsKeyed(const PixelBuffer& buffer, int x, int y, int width, int height, uint32_t key, RunSink& sink);
} // namespace BitmapPixels
