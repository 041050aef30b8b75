#include "framework/platform/system/DeviceBackend.h"

#include <dbt.h>
#include <setupapi.h>

#include <memory>

namespace
{
// KSCATEGORY_TOPOLOGY
const GUID kTopologyCategory = {0xDDA54A40, 0x1E4C, 0x11D1, {0xA0, 0x50, 0x40, 0x57, 0x05, 0xC1, 0x00, 0x00}};

// RegisterDeviceNotificationA and UnregisterDeviceNotification, looked up by name: either
// may be missing, and every use checks. User32 stays loaded, so the pointers stay valid.
struct DeviceNotify
{
    using Register = HDEVNOTIFY(WINAPI*)(HANDLE, LPVOID, DWORD);
    using Unregister = BOOL(WINAPI*)(HDEVNOTIFY);

    DeviceNotify()
    {
        HMODULE user = LoadLibraryA("User32.dll");
        if (!user)
            return;
        registerNotice =
            reinterpret_cast<Register>(reinterpret_cast<void*>(GetProcAddress(user, "RegisterDeviceNotificationA")));
        unregisterNotice =
            reinterpret_cast<Unregister>(reinterpret_cast<void*>(GetProcAddress(user, "UnregisterDeviceNotification")));
    }
    Register registerNotice = nullptr;
    Unregister unregisterNotice = nullptr;
};

const DeviceNotify& Notify()
{
    static const DeviceNotify notify;
    return notify;
}

bool ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, std::string& out)
{
    char value[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, nullptr, reinterpret_cast<BYTE*>(value),
                                           sizeof(value) - 1, nullptr))
        return false;
    out = value;
    return true;
}

class SetupApiBackend : public DeviceBackend
{
public:
    int ListTopologyInterfaces(std::vector<DeviceInterfaceInfo>& out) override
    {
        out.clear();
        HDEVINFO set =
            SetupDiGetClassDevsA(&kTopologyCategory, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE)
            return 0;
        for (DWORD index = 0;; ++index)
        {
            SP_DEVICE_INTERFACE_DATA interfaceData = {};
            interfaceData.cbSize = sizeof(interfaceData);
            if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kTopologyCategory, index, &interfaceData))
                break;
            DWORD size = 0;
            SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &size, nullptr);
            if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
                continue;
            std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]());
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.get());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            SP_DEVINFO_DATA device = {};
            device.cbSize = sizeof(device);
            if (!SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail, size, nullptr, &device))
                continue;
            DeviceInterfaceInfo info;
            info.path = detail->DevicePath;
            ReadProperty(set, device, SPDRP_FRIENDLYNAME, info.friendlyName);
            ReadProperty(set, device, SPDRP_DRIVER, info.driverKey);
            out.push_back(std::move(info));
        }
        SetupDiDestroyDeviceInfoList(set);
        return 1;
    }

    HANDLE OpenDevice(const std::string& path) override
    {
        return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    void CloseDevice(HANDLE device) override { CloseHandle(device); }

    HDEVNOTIFY RegisterHandleNotice(HWND window, HANDLE device) override
    {
        if (!Notify().registerNotice)
            return nullptr;
        DEV_BROADCAST_HANDLE filter = {};
        filter.dbch_size = sizeof(filter);
        filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
        filter.dbch_handle = device;
        return Notify().registerNotice(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }

    HDEVNOTIFY RegisterInterfaceNotice(HWND window) override
    {
        if (!Notify().registerNotice)
            return nullptr;
        DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
        filter.dbcc_size = sizeof(filter);
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kTopologyCategory;
        return Notify().registerNotice(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }

    void UnregisterNotice(HDEVNOTIFY notice) override
    {
        if (Notify().unregisterNotice)
            Notify().unregisterNotice(notice);
    }
};
} // namespace

DeviceBackend& SystemDeviceBackend()
{
    static SetupApiBackend backend;
    return backend;
}
