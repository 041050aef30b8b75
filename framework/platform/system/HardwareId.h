#pragma once

#include <cstdint>

// The PCI ids of the card family as they appear in a device path
// ("...#pci#ven_1d3a&dev_6a01&subsys_00011d3a..."), read as hexadecimal.
namespace CardIds
{
constexpr uint32_t kVendor = 0x1D3A;
constexpr uint32_t kDevices[] = {0x6A01, 0x6A02};
constexpr uint32_t kSubsystems[] = {0x00011D3A, 0x00021D3A, 0x00031D3A, 0x00041D3A, 0x00051D3A};
} // namespace CardIds

// Ids parsed out of a device path, case-insensitively. Each answers 0 when its marker is
// missing or not followed by exactly the id's number of hexadecimal digits.
class HardwareId
{
public:
    static uint32_t Vendor(const char* devicePath);    // 4 digits after "ven_"
    static uint32_t Device(const char* devicePath);    // 4 digits after "dev_"
    static uint32_t Subsystem(const char* devicePath); // 8 digits after "subsys_"
    // Whether the path names one of the card family's devices.
    static bool IsCard(const char* devicePath);
};
