#include "plugins/base/gui/FontTable.h"

namespace
{
const FontSpec kFonts[kFontCount] = {
    {"Arial", 12, true, false},  {"Arial", 18, false, false}, {"Arial", 14, false, false},
    {"Arial", 12, false, false}, {"Arial", 11, false, false}, {"Small Fonts", 9, false, false},
    {"Symbol", 13, false, true},
};
} // namespace

const FontSpec& GetFontSpec(int32_t index)
{
    return kFonts[index >= 0 && index < kFontCount ? index : 0];
}
