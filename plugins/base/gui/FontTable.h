#pragma once
// The toolkit's fixed fonts, chosen by index.

#include <cstdint>

struct FontSpec
{
    const char* family;
    int32_t height; // pixels
    bool bold;
    bool decorative; // a symbol font rather than a swiss one
};

constexpr int32_t kFontCount = 7;

// An index outside the table means font 0.
const FontSpec& GetFontSpec(int32_t index);
