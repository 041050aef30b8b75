#include "framework/platform/FileNames.h"

#include <cstring>
#include <initializer_list>

namespace
{
bool IsDeviceName(const char16_t* name, int length)
{
    // The part before the first dot names the device: "NUL.txt" is NUL too.
    int stem = 0;
    while (stem < length && name[stem] != u'.')
        ++stem;
    while (stem > 0 && name[stem - 1] == u' ')
        --stem;
    char upper[5] = {};
    if (stem < 3 || stem > 4)
        return false;
    for (int i = 0; i < stem; ++i)
    {
        const char16_t unit = name[i];
        if (unit > 0x7F)
            return false;
        upper[i] = static_cast<char>(unit >= u'a' && unit <= u'z' ? unit - 32 : unit);
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (std::strcmp(upper, device) == 0)
            return true;
    return stem == 4 && (std::strncmp(upper, "COM", 3) == 0 || std::strncmp(upper, "LPT", 3) == 0) && upper[3] >= '1' &&
           upper[3] <= '9';
}
} // namespace

bool IsPlainFileName(const char16_t* units, int length)
{
    if (length <= 0)
        return false;
    for (int i = 0; i < length; ++i)
    {
        const char16_t unit = units[i];
        if (unit < 0x20 || std::strchr("\\/:*?\"<>|", static_cast<char>(unit < 0x80 ? unit : 'x')))
            return false;
    }
    // Covers "." and "..": the file system drops trailing dots and blanks.
    if (units[length - 1] == u'.' || units[length - 1] == u' ')
        return false;
    return !IsDeviceName(units, length);
}
