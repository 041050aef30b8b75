#include "framework/base/AnsiCodePage.h"

// Stands in for the system code page where there is no Win32: Windows-1252. Bytes 0x80-0x9F
// that the code page leaves undefined map to the same C1 control units, as Windows does.
namespace
{
const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t ByteToUnit(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return byte;
}

char UnitToByte(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    for (int i = 0; i < 32; ++i)
    {
        if (kHighControls[i] == unit)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}
} // namespace

namespace AnsiCodePage
{
// One unit per byte and one byte per unit, so both directions need exactly count places.
int ToWide(const char* bytes, int count, char16_t* out, int room)
{
    if (count <= 0)
        return 0;
    if (out == nullptr)
        return count;
    if (room < count)
        return 0;
    for (int i = 0; i < count; ++i)
        out[i] = ByteToUnit(static_cast<unsigned char>(bytes[i]));
    return count;
}

int FromWide(const char16_t* units, int count, char* out, int room)
{
    if (count <= 0)
        return 0;
    if (out == nullptr)
        return count;
    if (room < count)
        return 0;
    for (int i = 0; i < count; ++i)
        out[i] = UnitToByte(units[i]);
    return count;
}
} // namespace AnsiCodePage
