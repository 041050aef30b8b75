#include "framework/platform/system/HardwareId.h"
#include "framework/platform/system/tests/FakeDeviceBackend.h"

#include <dbt.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace
{
// A plain window that, as the framework's window procedure does, registers again when a
// topology interface of the card arrives.
LRESULT CALLBACK DeviceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE && wParam == DBT_DEVICEARRIVAL)
    {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        if (header && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE)
        {
            const auto* arrival = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
            if (HardwareId::IsCard(arrival->dbcc_name))
                DeviceEnum::RegisterNotifications(window);
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class DeviceWindow
{
public:
    DeviceWindow()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DeviceWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KivDeviceTestWindow";
        RegisterClassA(&windowClass);
        handle = CreateWindowA("KivDeviceTestWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    ~DeviceWindow() { DestroyWindow(handle); }
    // A synthetic arrival of an interface with this device path.
    void Arrive(const char* path)
    {
        std::vector<uint8_t> buffer(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + std::strlen(path));
        auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(buffer.data());
        broadcast->dbcc_size = static_cast<DWORD>(buffer.size());
        broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        std::memcpy(broadcast->dbcc_name, path, std::strlen(path) + 1);
        SendMessageA(handle, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(broadcast));
    }
    HWND handle;
};

TEST(DeviceEnum, AbsentCardRegistersTheInterfaceNoticeOnce)
{
    FakeDevices devices;
    DeviceWindow window;
    ASSERT_NE(window.handle, nullptr);
    EXPECT_EQ(DeviceEnum::IsHardwarePresent(), 0);
    EXPECT_EQ(DeviceEnum::RegisterNotifications(window.handle), 1);
    EXPECT_EQ(DeviceEnum::RegisterNotifications(window.handle), 1);
    EXPECT_EQ(devices.interfaceNotices, std::vector<HWND>{window.handle});
    EXPECT_TRUE(devices.handleNotices.empty());
    String version;
    EXPECT_EQ(DeviceEnum::DriverVersion(version), 0);
    EXPECT_EQ(version.Length(), 0);
    EXPECT_EQ(DeviceEnum::UnregisterNotifications(), 1);
    EXPECT_TRUE(devices.liveNotices.empty());
}

TEST(DeviceEnum, ArrivalRegistersTheHandleNoticeWithoutLeaks)
{
    FakeDevices devices;
    DeviceWindow window;
    ASSERT_EQ(DeviceEnum::RegisterNotifications(window.handle), 1);

    devices.CardPresent();
    window.Arrive(kOtherPath); // not the card: nothing happens
    EXPECT_TRUE(devices.handleNotices.empty());
    for (int arrival = 0; arrival < 3; ++arrival)
        window.Arrive(kCardPath);
    EXPECT_EQ(devices.handleNotices, std::vector<HWND>(3, window.handle));
    EXPECT_EQ(devices.openedPaths, std::vector<std::string>(3, kCardPath));
    EXPECT_TRUE(devices.openHandles.empty()); // each device handle closed after registering
    // The interface notice and the latest handle notice; earlier handle notices released.
    EXPECT_EQ(devices.liveNotices.size(), 2u);
    EXPECT_EQ(devices.interfaceNotices.size(), 1u);

    EXPECT_EQ(DeviceEnum::UnregisterNotifications(), 1);
    EXPECT_TRUE(devices.liveNotices.empty());
}

TEST(DeviceEnum, SearchesLeaveRegisteredNoticesAlone)
{
    FakeDevices devices;
    DeviceWindow window;
    devices.CardPresent();
    ASSERT_EQ(DeviceEnum::RegisterNotifications(window.handle), 1);
    ASSERT_EQ(devices.liveNotices.size(), 1u);
    // Searches that run while a handle notice is delivered must not drop the entry that
    // holds it, or it could never be unregistered.
    EXPECT_EQ(DeviceEnum::IsHardwarePresent(), 1);
    String version;
    EXPECT_EQ(DeviceEnum::DriverVersion(version), 1);
    EXPECT_EQ(version.CompareLiteral("5.12.1.130"), 0);
    EXPECT_EQ(devices.liveNotices.size(), 1u);
    EXPECT_EQ(DeviceEnum::UnregisterNotifications(), 1);
    EXPECT_TRUE(devices.liveNotices.empty());
}

TEST(DeviceEnum, UpperCasePathsAndNearMisses)
{
    FakeDevices devices;
    devices.CardPresent("\\\\?\\PCI#VEN_1D3A&DEV_6A02&SUBSYS_00011D3A&REV_02#4&2B&0&00E0#TOPOLOGY");
    EXPECT_EQ(DeviceEnum::IsHardwarePresent(), 1);
    // Only near misses: ids whose digits read alike with decimal rules.
    devices.present = {DeviceInterfaceInfo{kOtherPath, "", ""},
                       DeviceInterfaceInfo{"pci#ven_1d3a&dev_6a01&subsys_00031d3b", "", ""}};
    EXPECT_EQ(DeviceEnum::IsHardwarePresent(), 0);
}

TEST(DeviceEnum, DriverVersionFromTheCardsClassKey)
{
    FakeDevices devices;
    struct Case
    {
        const char* driverKey;
        int answer;
        const char* version;
    };
    for (const Case& c : {Case{kDriverKey, 1, "5.12.1.130"}, Case{"{no-such-class}\\0000", 0, ""}, Case{"", 0, ""}})
    {
        SCOPED_TRACE(c.driverKey);
        devices.present = {DeviceInterfaceInfo{kCardPath, "KivCorvan Topology", c.driverKey}};
        String version;
        version.AppendAscii("stale");
        EXPECT_EQ(DeviceEnum::DriverVersion(version), c.answer);
        EXPECT_EQ(version.CompareLiteral(c.version), 0);
    }
}

TEST(DeviceEnum, SystemBackendFindsNoCardUnderWine)
{
    EXPECT_EQ(DeviceEnum::IsHardwarePresent(), 0);
    String version;
    EXPECT_EQ(DeviceEnum::DriverVersion(version), 0);
}
} // namespace
