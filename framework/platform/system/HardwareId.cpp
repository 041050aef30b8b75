#include "framework/platform/system/HardwareId.h"

#include <cctype>
#include <cstring>
#include <string>

namespace
{
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

uint32_t IdAfter(const char* devicePath, const char* marker, int digits)
{
    if (!devicePath)
        return 0;
    std::string lower(devicePath);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t at = lower.find(marker);
    if (at == std::string::npos)
        return 0;
    const char* number = lower.c_str() + at + std::strlen(marker);
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i)
    {
        const int digit = HexDigit(number[i]);
        if (digit < 0)
            return 0;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    // A longer number is a different id, not this one with something appended.
    return HexDigit(number[digits]) < 0 ? value : 0;
}

template <size_t N>
bool OneOf(uint32_t value, const uint32_t (&set)[N])
{
    for (uint32_t member : set)
        if (value == member)
            return true;
    return false;
}
} // namespace

uint32_t HardwareId::Vendor(const char* devicePath)
{
    return IdAfter(devicePath, "ven_", 4);
}

uint32_t HardwareId::Device(const char* devicePath)
{
    return IdAfter(devicePath, "dev_", 4);
}

uint32_t HardwareId::Subsystem(const char* devicePath)
{
    return IdAfter(devicePath, "subsys_", 8);
}

bool HardwareId::IsCard(const char* devicePath)
{
    return Vendor(devicePath) == CardIds::kVendor && OneOf(Device(devicePath), CardIds::kDevices) &&
           OneOf(Subsystem(devicePath), CardIds::kSubsystems);
}
