#pragma once
// The toolkit's small value types: points, rectangles and colours.

#include <cstdint>

struct Rect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
};

struct Point
{
    int32_t x = 0;
    int32_t y = 0;

    constexpr Point() = default;
    constexpr Point(int32_t px, int32_t py) : x(px), y(py) {}
    // All four edges count as inside.
    constexpr bool IsInside(const Rect& r) const { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; }
};

struct Color
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0; // drawing ignores it

    constexpr Color() = default;
    constexpr Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0) : red(r), green(g), blue(b), alpha(a) {}
    constexpr uint32_t Value() const
    {
        return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16 |
               static_cast<uint32_t>(alpha) << 24;
    }
    constexpr bool operator==(const Color& other) const { return Value() == other.Value(); }
    constexpr bool operator!=(const Color& other) const { return Value() != other.Value(); }
    // The GDI form: red in the low byte, no alpha.
    constexpr uint32_t ToGdi() const { return Value() & 0x00FFFFFFu; }
};

namespace Colors
{
constexpr Color kWhite{255, 255, 255};
constexpr Color kBlack{0, 0, 0};
constexpr Color kGrey{127, 127, 127};
constexpr Color kRed{255, 0, 0};
constexpr Color kGreen{0, 255, 0};
constexpr Color kBlue{0, 0, 255};
constexpr Color kYellow{255, 255, 0};
constexpr Color kMagenta{255, 0, 255};
constexpr Color kCyan{0, 255, 255};
// Bitmap pixels of this colour are not drawn by a transparent draw.
constexpr Color kTransparent = kWhite;
} // namespace Colors
