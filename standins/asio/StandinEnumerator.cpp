#include "standins/asio/StandinEnumerator.h"

#include "standins/asio/AsioStandin.h"
#include "standins/asio/StandinLog.h"

#include <cstring>
#include <string>

StandinEnumerator::StandinEnumerator(const StandinConfig& config) : config_(config) {}

StandinEnumerator::~StandinEnumerator() = default;

HRESULT STDMETHODCALLTYPE StandinEnumerator::QueryInterface(REFIID iid, void** object)
{
    if (!object)
    {
        return E_POINTER;
    }
    *object = nullptr;
    if (iid == IID_IUnknown || iid == kDeviceEnumeratorId)
    {
        *object = static_cast<IDeviceEnumerator*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE StandinEnumerator::AddRef()
{
    return ++references_;
}

ULONG STDMETHODCALLTYPE StandinEnumerator::Release()
{
    const ULONG left = --references_;
    if (left == 0)
    {
        delete this;
    }
    return left;
}

int32_t STDMETHODCALLTYPE StandinEnumerator::DeviceEntry(uint32_t index, GUID* classId, char* name)
{
    StandinLog::Add("DeviceEntry " + std::to_string(index));
    if (index >= config_.devices.size() || !classId || !name)
    {
        return 1;
    }
    *classId = kStandinDriverId;
    std::strncpy(name, kStandinDriverName, kDeviceEntryNameSize - 1);
    name[kDeviceEntryNameSize - 1] = '\0';
    return 0;
}

int32_t STDMETHODCALLTYPE StandinEnumerator::DeviceInformation(void*, DeviceInfoRecord* record)
{
    if (!record || record->size != sizeof(DeviceInfoRecord) || record->index >= config_.devices.size())
    {
        StandinLog::Add("DeviceInformation refused");
        return 1;
    }
    StandinLog::Add("DeviceInformation " + std::to_string(record->index));
    const StandinDevice& device = config_.devices[record->index];
    record->vendorId = device.vendorId;
    record->deviceId = device.deviceId;
    record->subsystemId = device.subsystemId;
    return 0;
}
