// .bmp files as users leave them: cut short, hand-edited, made by other programs. Each damaged
// file is refused as a whole; each sound one loads with its pixels in image order.
#include "framework/base/String.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/BmpFile.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace
{
// The fields of a file with a 40-byte header, written as given (nothing is made consistent).
struct BmpFields
{
    uint32_t headerBytes = 40;
    int32_t width = 3;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t paletteUsed = 0;
    uint32_t paletteBytes = 0; // bytes of palette or masks written after the header
};

void Put16(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Pixel bytes count up from 1 in file order, so every byte tells where it came from.
std::vector<uint8_t> MakeBmp(const BmpFields& f)
{
    const size_t offset = 14 + f.headerBytes + f.paletteBytes;
    const int64_t rows = f.height < 0 ? -static_cast<int64_t>(f.height) : f.height;
    const int64_t rowBytes = (static_cast<int64_t>(f.width) * f.bits + 31) / 32 * 4;
    std::vector<uint8_t> bytes(offset + static_cast<size_t>(rowBytes * rows), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    Put32(bytes, 10, static_cast<uint32_t>(offset));
    Put32(bytes, 14, f.headerBytes);
    Put32(bytes, 18, static_cast<uint32_t>(f.width));
    Put32(bytes, 22, static_cast<uint32_t>(f.height));
    Put16(bytes, 26, f.planes);
    Put16(bytes, 28, f.bits);
    Put32(bytes, 30, f.compression);
    Put32(bytes, 46, f.paletteUsed);
    for (size_t i = 14 + f.headerBytes; i < offset; ++i)
        bytes[i] = static_cast<uint8_t>(0xA0 + i);
    for (size_t i = offset; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i - offset + 1);
    return bytes;
}

using Damage = std::function<void(std::vector<uint8_t>&)>;

struct DamagedCase
{
    const char* what;
    BmpFields fields;
    Damage damage;
};

BmpFields With(std::function<void(BmpFields&)> change)
{
    BmpFields fields;
    change(fields);
    return fields;
}

// Depth, compression and what follows the header: a palette of paletteUsed entries (0: the
// whole one) spelled in paletteBytes, or colour masks.
BmpFields Format(uint16_t bits, uint32_t compression, uint32_t paletteUsed, uint32_t paletteBytes)
{
    BmpFields fields;
    fields.bits = bits;
    fields.compression = compression;
    fields.paletteUsed = paletteUsed;
    fields.paletteBytes = paletteBytes;
    return fields;
}

const DamagedCase kDamaged[] = {
    {"empty", {}, [](std::vector<uint8_t>& b) { b.clear(); }},
    {"not BM", {}, [](std::vector<uint8_t>& b) { b[1] = 'A'; }},
    {"headers only, claiming 64 x 64 x 24", With([](BmpFields& f) { f.width = f.height = 64; }),
     [](std::vector<uint8_t>& b) { b.resize(54); }},
    {"one byte short", {}, [](std::vector<uint8_t>& b) { b.pop_back(); }},
    {"half the pixels", With([](BmpFields& f) { f.height = 8; }),
     [](std::vector<uint8_t>& b) { b.resize(54 + (b.size() - 54) / 2); }},
    {"cut inside the header", {}, [](std::vector<uint8_t>& b) { b.resize(30); }},
    {"header size 12", With([](BmpFields& f) { f.headerBytes = 12; }), nullptr},
    {"header size 64", With([](BmpFields& f) { f.headerBytes = 64; }), nullptr},
    {"header size beyond the file", {}, [](std::vector<uint8_t>& b) { Put32(b, 14, 0xFFFFFFF0u); }},
    {"width 0", With([](BmpFields& f) { f.width = 0; }), nullptr},
    {"negative width", {}, [](std::vector<uint8_t>& b) { Put32(b, 18, static_cast<uint32_t>(-3)); }},
    {"height 0", With([](BmpFields& f) { f.height = 0; }), nullptr},
    {"height INT_MIN", {}, [](std::vector<uint8_t>& b) { Put32(b, 22, 0x80000000u); }},
    {"two planes", With([](BmpFields& f) { f.planes = 2; }), nullptr},
    {"2 bits per pixel", With([](BmpFields& f) { f.bits = 2; }), nullptr},
    {"48 bits per pixel", With([](BmpFields& f) { f.bits = 48; }), nullptr},
    {"run-length 8 bits", Format(8, 1, 0, 1024), nullptr},
    {"colour masks on 24 bits", Format(24, 3, 0, 12), nullptr},
    {"embedded compressed image", With([](BmpFields& f) { f.compression = 4; }), nullptr},
    {"palette of 257 entries for 8 bits", Format(8, 0, 257, 257 * 4), nullptr},
    {"palette reaching into the pixels", Format(8, 0, 16, 8), nullptr},
    {"masks missing after a 40-byte header", Format(32, 3, 0, 0), nullptr},
    {"pixel offset past the end", {}, [](std::vector<uint8_t>& b) { Put32(b, 10, 0xFFFFFFF0u); }},
    // 2^30 pixels of 4 bytes per row: 2^32 bytes, zero in 32-bit arithmetic.
    {"row size wrapping 32 bits",
     {},
     [](std::vector<uint8_t>& b) {
         Put32(b, 18, 0x40000000u);
         Put16(b, 28, 32);
     }},
    {"rows wrapping 32 bits",
     {},
     [](std::vector<uint8_t>& b) {
         Put32(b, 18, 0x4000u);
         Put32(b, 22, 0x10000u);
         Put16(b, 28, 32);
     }},
    // 2^31 - 1 rows of 2^33 bytes: beyond 64 bits when multiplied.
    {"rows wrapping 64 bits",
     {},
     [](std::vector<uint8_t>& b) {
         Put32(b, 18, 0x7FFFFFFFu);
         Put32(b, 22, 0x7FFFFFFFu);
         Put16(b, 28, 32);
     }},
};

std::vector<uint8_t> DamagedBytes(const DamagedCase& c)
{
    std::vector<uint8_t> bytes = MakeBmp(c.fields);
    if (c.damage)
        c.damage(bytes);
    return bytes;
}

TEST(BmpFile, RefusesDamagedFiles)
{
    for (const DamagedCase& c : kDamaged)
    {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> bytes = DamagedBytes(c);
        BmpFile file;
        EXPECT_EQ(file.Parse(bytes.data(), bytes.size()), 0);
        EXPECT_EQ(file.Info(), nullptr);
    }
}

TEST(BmpFile, SoundFilesGiveABottomUpImage)
{
    struct Case
    {
        const char* what;
        BmpFields fields;
        size_t infoSize;
    };
    const Case cases[] = {
        {"24 bits", {}, 40},
        {"top-down rows", With([](BmpFields& f) { f.height = -2; }), 40},
        {"8 bits, whole palette", Format(8, 0, 0, 1024), 40 + 1024},
        {"4 bits, three colours", Format(4, 0, 3, 12), 40 + 12},
        {"32 bits with masks", Format(32, 3, 0, 12), 40 + 12},
        {"124-byte header", With([](BmpFields& f) { f.headerBytes = 124; }), 40},
        {"a gap before the pixels", With([](BmpFields& f) { f.paletteBytes = 6; }), 40},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> bytes = MakeBmp(c.fields);
        BmpFile file;
        ASSERT_EQ(file.Parse(bytes.data(), bytes.size()), 1);
        EXPECT_EQ(file.Width(), 3);
        EXPECT_EQ(file.Height(), 2);
        EXPECT_EQ(file.BitsPerPixel(), c.fields.bits);
        ASSERT_EQ(file.InfoSize(), c.infoSize);
        // The made header describes a bottom-up image; palette or masks follow it as read.
        EXPECT_EQ(file.Info()[0], 40);
        EXPECT_EQ(file.Info()[8], 2);
        EXPECT_EQ(file.Info()[11], 0);
        if (c.infoSize > 40)
        {
            EXPECT_EQ(file.Info()[40], static_cast<uint8_t>(0xA0 + 14 + c.fields.headerBytes));
        }

        const int rowBytes = (3 * c.fields.bits + 31) / 32 * 4;
        std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * 2, 0);
        file.CopyRows(bits.data(), rowBytes);
        // The file's first row is the image's bottom row, unless the file is top-down.
        const int bottomInFile = c.fields.height < 0 ? 1 : 0;
        EXPECT_EQ(bits[0], 1 + bottomInFile * rowBytes);
        EXPECT_EQ(bits[static_cast<size_t>(rowBytes)], 1 + (1 - bottomInFile) * rowBytes);
    }
}

class BmpFiles : public ::testing::Test
{
protected:
    String Write(const char* name, const std::vector<uint8_t>& bytes)
    {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        String text;
        text.AssignAscii(path.string().c_str());
        return text;
    }

    ScratchFolder folder_{"kiv-bmp-file"};
};

// The same table through files: a damaged file leaves no bitmap behind and nothing is read
// past its end.
TEST_F(BmpFiles, DamagedFilesLoadNoBitmap)
{
    for (const DamagedCase& c : kDamaged)
    {
        SCOPED_TRACE(c.what);
        Bitmap bitmap;
        EXPECT_EQ(bitmap.LoadFile(Write("damaged.bmp", DamagedBytes(c))), 0);
        EXPECT_EQ(bitmap.Bits(), nullptr);
        EXPECT_EQ(bitmap.Width(), 0);
    }
}

TEST_F(BmpFiles, SoundFileLoadsItsPixelsInImageOrder)
{
    const BmpFields topDown = With([](BmpFields& f) { f.height = -2; });
    for (const BmpFields& fields : {BmpFields{}, topDown})
    {
        SCOPED_TRACE(fields.height);
        Bitmap bitmap;
        ASSERT_EQ(bitmap.LoadFile(Write("sound.bmp", MakeBmp(fields))), 1);
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 2);
        EXPECT_EQ(bitmap.BitsPerPixel(), 24);
        // File bytes 1, 2, 3 are the first pixel of the file's first row.
        const int firstRowInImage = fields.height < 0 ? 0 : 1;
        EXPECT_EQ(bitmap.GetPixel(0, firstRowInImage), 0x030201u);
        EXPECT_EQ(bitmap.GetPixel(0, 1 - firstRowInImage), 0x0F0E0Du);
    }
}

// A file above the cap is refused before it is read; the file is made sparse at test time.
TEST_F(BmpFiles, FilesAboveTheCapAreNotRead)
{
    const std::vector<uint8_t> bytes = MakeBmp({});
    const String path = Write("huge.bmp", bytes);
    std::filesystem::resize_file(folder_ / "huge.bmp", static_cast<uintmax_t>(BmpFile::kMaxFileBytes) + 1);
    BmpFile file;
    EXPECT_EQ(file.Read(path), 0);
    std::filesystem::resize_file(folder_ / "huge.bmp", bytes.size());
    EXPECT_EQ(file.Read(path), 1);
}
} // namespace
