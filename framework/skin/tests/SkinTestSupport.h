// Skin folders written by the tests: text files and 24-bit bitmaps, and a skin that keeps
// the failure texts it would otherwise drop.
#pragma once

#include "framework/base/String.h"
#include "framework/skin/Skin.h"
#include "tests/support/ScratchFolder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace skintest
{
inline String Text(const char* text)
{
    String s;
    s.AssignAscii(text);
    return s;
}

inline std::string Narrow(const String& text)
{
    std::string out;
    for (int i = 0; i < text.Length(); ++i)
        out += static_cast<char>(text.WideCharAt(i));
    return out;
}

inline String PathText(const std::filesystem::path& path)
{
    return Text(path.string().c_str());
}

class RecordingSkin : public Skin
{
public:
    std::vector<std::string> reports;

protected:
    void Report(const String& text) override { reports.push_back(Narrow(text)); }
};

// Pixels are 0xRRGGBB, as a person writes colours.
using PixelSource = std::function<uint32_t(int x, int y)>;

inline void WriteBitmap(const std::filesystem::path& path, int width, int height, const PixelSource& pixel)
{
    const int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> bytes(54 + stride * height, 0);
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bytes[26] = 1;
    bytes[28] = 24;
    put32(34, stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const uint32_t colour = pixel(x, y);
            const int at = 54 + (height - 1 - y) * stride + 3 * x; // bottom-up rows
            bytes[at] = static_cast<uint8_t>(colour);
            bytes[at + 1] = static_cast<uint8_t>(colour >> 8);
            bytes[at + 2] = static_cast<uint8_t>(colour >> 16);
        }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kSolid = 0x102030;
constexpr uint32_t kGreen = 0x00C000;

// The composite of the fixture skins, 16 x 8: "solid" (0, 0, 4, 4) of one colour, "keyed"
// (4, 0, 4, 4) green with magenta corners and its key point on a corner, "strip" (8, 0, 8, 4)
// four glyph cells; the rest magenta.
inline uint32_t CompositePixel(int x, int y)
{
    if (x < 4 && y < 4)
        return kSolid;
    if (x >= 4 && x < 8 && y < 4)
        return ((x == 4 || x == 7) && (y == 0 || y == 3)) ? kMagenta : kGreen;
    if (x >= 8 && y < 4)
        return 0x000000 + static_cast<uint32_t>(x);
    return kMagenta;
}

// A complete skin with a composite; tests change or remove its files.
class FixtureSkin
{
public:
    FixtureSkin()
    {
        WriteBitmap(folder_ / "composite.bmp", 16, 8, CompositePixel);
        Write("regions.xml", "<regions>"
                             "<region name=\"solid\" x=\"0\" y=\"0\" w=\"4\" h=\"4\"/>"
                             "<region name=\"keyed\" x=\"4\" y=\"0\" w=\"4\" h=\"4\" tx=\"4\" ty=\"0\"/>"
                             "<region name=\"strip\" x=\"8\" y=\"0\" w=\"8\" h=\"4\"/>"
                             "</regions>");
        Write("strings.xml", "<stringtable><string id=\"IDS_HELLO\" value=\"Hello\"/></stringtable>");
        Write("layout.xml", "<layout><fonts><font name=\"Normal\" size=\"9\"/></fonts></layout>");
    }

    void Write(const char* name, const std::string& text) const { WriteText(folder_ / name, text); }
    void Remove(const char* name) const { std::filesystem::remove(folder_ / name); }
    void MakeImagesFolder() const { std::filesystem::create_directories(folder_ / "images"); }
    std::filesystem::path operator/(const std::string& name) const { return folder_ / name; }
    String Path() const { return PathText(folder_.Path()); }

private:
    ScratchFolder folder_{"kiv-skin-test"};
};
} // namespace skintest
