#pragma once
// Devices as a test says they are (the card cannot exist under Wine), installed as the device
// search's backend for the fake's lifetime.
#include "framework/platform/system/DeviceBackend.h"
#include "framework/platform/system/DeviceEnum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// A card of the family, a device whose vendor id reads like the card's with decimal rules,
// and the card's driver key (whose class key the Wine prefix set-up writes).
inline const char kCardPath[] = "\\\\?\\pci#ven_1d3a&dev_6a01&subsys_00031d3a&rev_02#4&2b&0&00e0#"
                                "{dda54a40-1e4c-11d1-a050-405705c10000}\\topology";
inline const char kOtherPath[] = "\\\\?\\pci#ven_1a2b&dev_1c00&subsys_00031d3a&rev_02#4&2c&0&00e0#"
                                 "{dda54a40-1e4c-11d1-a050-405705c10000}\\topology";
inline const char kDriverKey[] = "{4d36e96c-e325-11ce-bfc1-08002be10318}\\0042";

// Records what was registered, opened and released.
class FakeDevices : public DeviceBackend
{
public:
    FakeDevices() { previous_ = DeviceEnum::InstallBackend(this); }
    ~FakeDevices() override
    {
        DeviceEnum::UnregisterNotifications();
        DeviceEnum::InstallBackend(previous_);
    }

    int ListTopologyInterfaces(std::vector<DeviceInterfaceInfo>& out) override
    {
        ++searches;
        out = present;
        return 1;
    }
    HANDLE OpenDevice(const std::string& path) override
    {
        openedPaths.push_back(path);
        HANDLE handle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x100 + openedPaths.size()));
        openHandles.insert(handle);
        return handle;
    }
    void CloseDevice(HANDLE device) override { EXPECT_EQ(openHandles.erase(device), 1u); }
    HDEVNOTIFY RegisterHandleNotice(HWND window, HANDLE device) override
    {
        EXPECT_EQ(openHandles.count(device), 1u);
        handleNotices.push_back(window);
        return Remember();
    }
    HDEVNOTIFY RegisterInterfaceNotice(HWND window) override
    {
        interfaceNotices.push_back(window);
        return Remember();
    }
    void UnregisterNotice(HDEVNOTIFY notice) override { EXPECT_EQ(liveNotices.erase(notice), 1u); }

    void CardPresent(const char* path = kCardPath)
    {
        present = {DeviceInterfaceInfo{kOtherPath, "Other audio", "{4d36e96c-e325-11ce-bfc1-08002be10318}\\0001"},
                   DeviceInterfaceInfo{path, "KivCorvan Topology", kDriverKey}};
    }

    std::vector<DeviceInterfaceInfo> present;
    int searches = 0;
    std::vector<std::string> openedPaths;
    std::set<HANDLE> openHandles;
    std::vector<HWND> handleNotices;
    std::vector<HWND> interfaceNotices;
    std::set<HDEVNOTIFY> liveNotices;

private:
    HDEVNOTIFY Remember()
    {
        HDEVNOTIFY notice = reinterpret_cast<HDEVNOTIFY>(static_cast<intptr_t>(0x1000 + ++noticeCount_));
        liveNotices.insert(notice);
        return notice;
    }
    int noticeCount_ = 0;
    DeviceBackend* previous_;
};
