#pragma once

#include "framework/platform/Win32Api.h"

#include <string>
#include <vector>

// One present kernel-streaming topology interface.
struct DeviceInterfaceInfo
{
    std::string path;         // the device interface path
    std::string friendlyName; // device property 12
    std::string driverKey;    // device property 9: the key below the device class key
};

// What DeviceEnum needs of Windows: the present topology interfaces, opening a device and
// the device notifications. Tests give their own (the card cannot exist under Wine).
class DeviceBackend
{
public:
    virtual ~DeviceBackend() = default;
    // 0 when the device set cannot be had.
    virtual int ListTopologyInterfaces(std::vector<DeviceInterfaceInfo>& out) = 0;
    // INVALID_HANDLE_VALUE on failure.
    virtual HANDLE OpenDevice(const std::string& path) = 0;
    virtual void CloseDevice(HANDLE device) = 0;
    // Notices to window about the device's handle, or about topology interfaces arriving;
    // null when they cannot be registered.
    virtual HDEVNOTIFY RegisterHandleNotice(HWND window, HANDLE device) = 0;
    virtual HDEVNOTIFY RegisterInterfaceNotice(HWND window) = 0;
    virtual void UnregisterNotice(HDEVNOTIFY notice) = 0;
};

// The backend over SetupAPI and the notification functions of User32.dll.
DeviceBackend& SystemDeviceBackend();
