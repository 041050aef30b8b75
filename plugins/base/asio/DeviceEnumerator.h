#pragma once
// Our declaration of the card maker's device enumerator (an in-process COM object whose class
// id doubles as its interface id) and the card family's PCI identity.

#include "plugins/base/asio/ComTypes.h"

#include <cstddef>
#include <cstdint>

// Answered for every PCI audio device the maker's software knows.
struct DeviceInfoRecord
{
    uint32_t size;  // the caller sets 108
    uint32_t index; // the caller sets the entry index
    uint32_t reserved1[5];
    uint32_t vendorId;
    uint32_t deviceId;
    uint32_t subsystemId;
    uint8_t reserved2[68];
};

static_assert(sizeof(DeviceInfoRecord) == 108, "device record");
static_assert(offsetof(DeviceInfoRecord, index) == 4, "device record");
static_assert(offsetof(DeviceInfoRecord, vendorId) == 28, "device record");
static_assert(offsetof(DeviceInfoRecord, deviceId) == 32, "device record");
static_assert(offsetof(DeviceInfoRecord, subsystemId) == 36, "device record");

constexpr size_t kDeviceEntryNameSize = 128;

struct IDeviceEnumerator : public IUnknown
{
    // Entry index: the driver's class id and name; 0 while entries exist, nonzero past the end.
    virtual int32_t STDMETHODCALLTYPE DeviceEntry(uint32_t index, GUID* classId, char* name) = 0;
    // rootKey is a registry root (HKEY); the record arrives zeroed with size and index set.
    virtual int32_t STDMETHODCALLTYPE DeviceInformation(void* rootKey, DeviceInfoRecord* record) = 0;

protected:
    ~IDeviceEnumerator() = default;
};

// {E86E2ED6-EF56-4FE7-A16E-14F0A1D9B953}: class and interface of the enumerator.
inline constexpr GUID kDeviceEnumeratorId = {
    0xe86e2ed6, 0xef56, 0x4fe7, {0xa1, 0x6e, 0x14, 0xf0, 0xa1, 0xd9, 0xb9, 0x53}};

// {8646B420-9F56-4B43-ABBF-2BD19907B367}: the maker's second interface on its ASIO driver.
inline constexpr GUID kKivDriverInterfaceId = {
    0x8646b420, 0x9f56, 0x4b43, {0xab, 0xbf, 0x2b, 0xd1, 0x99, 0x07, 0xb3, 0x67}};

// The card family on the PCI bus.
constexpr uint32_t kKivVendorId = 0x1d1a;
constexpr uint32_t kKivDeviceIds[3] = {0x7301, 0x7302, 0x7303};
// Subsystem ids of the family's cards: the pattern with a nonzero model number in bits 16-27.
constexpr uint32_t kKivSubsystemPattern = 0x10001d1a;
constexpr uint32_t kKivSubsystemModelMask = 0x0fff0000;
static_assert((kKivSubsystemPattern & kKivSubsystemModelMask) == 0, "the pattern leaves the model bits clear");
