#pragma once
// The maker's device enumerator as the simulated machine has it: the configured PCI devices,
// each served by the simulated driver.

#include "plugins/base/asio/DeviceEnumerator.h"
#include "standins/asio/StandinConfig.h"

#include <atomic>

class StandinEnumerator final : public IDeviceEnumerator
{
public:
    explicit StandinEnumerator(const StandinConfig& config);
    ~StandinEnumerator();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    int32_t STDMETHODCALLTYPE DeviceEntry(uint32_t index, GUID* classId, char* name) override;
    int32_t STDMETHODCALLTYPE DeviceInformation(void* rootKey, DeviceInfoRecord* record) override;

private:
    const StandinConfig config_;
    std::atomic<ULONG> references_{1};
};
