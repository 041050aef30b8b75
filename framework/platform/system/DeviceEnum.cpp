#include "framework/platform/system/DeviceEnum.h"

#include "framework/platform/RegistryKey.h"
#include "framework/platform/system/DeviceBackend.h"
#include "framework/platform/system/HardwareId.h"

#include <memory>
#include <vector>

namespace
{
// A device whose handle notice is registered.
struct DeviceEntry
{
    HANDLE file = INVALID_HANDLE_VALUE;
    HDEVNOTIFY notice = nullptr;
    std::string path;
};

// Owned by RegisterNotifications / UnregisterNotifications only; GUI thread.
std::vector<DeviceEntry> gRegisteredDevices;
HDEVNOTIFY gInterfaceNotice = nullptr;
DeviceBackend* gInstalledBackend = nullptr; // borrowed; null: the system's

DeviceBackend& Backend()
{
    return gInstalledBackend ? *gInstalledBackend : SystemDeviceBackend();
}

// Searches into a list of its own; true with the card's interface when it is present.
bool FindCard(DeviceInterfaceInfo& card)
{
    std::vector<DeviceInterfaceInfo> present;
    if (!Backend().ListTopologyInterfaces(present))
        return false;
    for (DeviceInterfaceInfo& device : present)
    {
        if (HardwareId::IsCard(device.path.c_str()))
        {
            card = std::move(device);
            return true;
        }
    }
    return false;
}

void Release(DeviceEntry& entry)
{
    if (entry.notice)
        Backend().UnregisterNotice(entry.notice);
    if (entry.file != INVALID_HANDLE_VALUE)
        Backend().CloseDevice(entry.file);
    entry = DeviceEntry();
}

void ReleaseDevices()
{
    for (DeviceEntry& entry : gRegisteredDevices)
        Release(entry);
    gRegisteredDevices.clear();
}
} // namespace

DeviceBackend* DeviceEnum::InstallBackend(DeviceBackend* backend)
{
    DeviceBackend* previous = gInstalledBackend;
    gInstalledBackend = backend;
    return previous;
}

int DeviceEnum::IsHardwarePresent()
{
    DeviceInterfaceInfo card;
    return FindCard(card) ? 1 : 0;
}

int DeviceEnum::RegisterNotifications(HWND window)
{
    DeviceInterfaceInfo card;
    if (!FindCard(card))
    {
        if (!gInterfaceNotice)
            gInterfaceNotice = Backend().RegisterInterfaceNotice(window);
        return 1;
    }
    // The card came (again): the notice of its earlier arrival is released first.
    ReleaseDevices();
    DeviceEntry entry;
    entry.path = card.path;
    HANDLE device = Backend().OpenDevice(card.path);
    if (device != INVALID_HANDLE_VALUE)
    {
        entry.notice = Backend().RegisterHandleNotice(window, device);
        // The notice keeps its own reference to the device; the handle is not needed.
        Backend().CloseDevice(device);
    }
    gRegisteredDevices.push_back(std::move(entry));
    return 1;
}

int DeviceEnum::UnregisterNotifications()
{
    if (gInterfaceNotice)
        Backend().UnregisterNotice(gInterfaceNotice);
    gInterfaceNotice = nullptr;
    ReleaseDevices();
    return 1;
}

int DeviceEnum::UnregisterNotice(HDEVNOTIFY notice)
{
    for (auto entry = gRegisteredDevices.begin(); entry != gRegisteredDevices.end(); ++entry)
    {
        if (entry->notice == notice)
        {
            Release(*entry);
            gRegisteredDevices.erase(entry);
            return 1;
        }
    }
    if (notice)
        Backend().UnregisterNotice(notice);
    return 1;
}

int DeviceEnum::DriverVersion(String& out)
{
    out.Clear();
    DeviceInterfaceInfo card;
    if (!FindCard(card) || card.driverKey.empty())
        return 0;
    String classKey;
    classKey.AppendAscii("SYSTEM\\CurrentControlSet\\Control\\Class\\");
    classKey.AppendAnsi(card.driverKey.c_str());
    RegistryKey machine;
    if (!machine.Open("HKEY_LOCAL_MACHINE", StringRef(u""), 0))
        return 0;
    return machine.ReadValue(classKey, StringRef(u"DriverVersion"), out);
}
