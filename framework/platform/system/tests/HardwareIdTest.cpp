#include "framework/platform/system/HardwareId.h"

#include <gtest/gtest.h>

namespace
{
TEST(HardwareId, ReadsExactHexadecimalIds)
{
    struct Case
    {
        const char* path;
        uint32_t vendor, device, subsystem;
        bool card;
    };
    for (const Case& c : {
             Case{"\\\\?\\pci#ven_1d3a&dev_6a01&subsys_00011d3a&rev_01#4&1&0#{dda54a40-1e4c-11d1-a050-405705c10000}",
                  0x1D3A, 0x6A01, 0x00011D3A, true},
             Case{"\\\\?\\PCI#VEN_1D3A&DEV_6A02&SUBSYS_00051D3A&REV_01#4&1&0", 0x1D3A, 0x6A02, 0x00051D3A, true},
             // Read with decimal rules "1a2b" and "1c00" both gave 1 and matched each other.
             Case{"pci#ven_1a2b&dev_1c00&subsys_00011d3a", 0x1A2B, 0x1C00, 0x00011D3A, false},
             Case{"pci#ven_1d3a&dev_6a03&subsys_00011d3a", 0x1D3A, 0x6A03, 0x00011D3A, false},
             Case{"pci#ven_1d3a&dev_6a01&subsys_00061d3a", 0x1D3A, 0x6A01, 0x00061D3A, false},
             Case{"pci#ven_1d3&dev_6a01&subsys_00011d3a", 0, 0x6A01, 0x00011D3A, false},
             Case{"pci#ven_1d3a5&dev_6a011&subsys_00011d3a1", 0, 0, 0, false},
             Case{"pci#ven_1d3a&subsys_00011d3a", 0x1D3A, 0, 0x00011D3A, false},
             Case{"usb#vid_1d3a&pid_6a01", 0, 0, 0, false},
             Case{"", 0, 0, 0, false},
             Case{"ven_", 0, 0, 0, false},
         })
    {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(HardwareId::Vendor(c.path), c.vendor);
        EXPECT_EQ(HardwareId::Device(c.path), c.device);
        EXPECT_EQ(HardwareId::Subsystem(c.path), c.subsystem);
        EXPECT_EQ(HardwareId::IsCard(c.path), c.card);
    }
    EXPECT_EQ(HardwareId::Vendor(nullptr), 0u);
    EXPECT_FALSE(HardwareId::IsCard(nullptr));
}
} // namespace
