// KivAsioStandin.dll: class objects of the simulated driver and the device enumerator, and
// the control functions of the simulation.

#include "standins/asio/AsioStandin.h"
#include "standins/asio/SimulatedDriver.h"
#include "standins/asio/StandinEnumerator.h"
#include "standins/asio/StandinLog.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Object>
class ClassFactory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
        {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IClassFactory)
        {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    // The factories are static objects.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
        {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer)
        {
            return CLASS_E_NOAGGREGATION;
        }
        Object* created = new Object(StandinConfig::Load());
        const HRESULT result = created->QueryInterface(iid, object);
        created->Release();
        return result;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ClassFactory<SimulatedDriver> gDriverFactory;
ClassFactory<StandinEnumerator> gEnumeratorFactory;

} // namespace

extern "C" {

HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (classId == kStandinDriverId)
    {
        return gDriverFactory.QueryInterface(iid, object);
    }
    if (classId == kDeviceEnumeratorId)
    {
        return gEnumeratorFactory.QueryInterface(iid, object);
    }
    if (object)
    {
        *object = nullptr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

// The file stays loaded: its channel table and call log outlive single objects.
HRESULT STDMETHODCALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}

int32_t StandinAsioStep()
{
    return SimulatedDriver::StepManualDrivers();
}

int32_t StandinAsioStepFrames(int32_t frames)
{
    return SimulatedDriver::StepManualDriversByFrames(frames);
}

int32_t StandinAsioRequestReset()
{
    return SimulatedDriver::RequestResetAll();
}

int32_t StandinAsioCallLog(char* text, int32_t size)
{
    const std::string log = StandinLog::Text();
    if (text && size > 0)
    {
        const size_t n = std::min(log.size(), static_cast<size_t>(size - 1));
        std::memcpy(text, log.data(), n);
        text[n] = '\0';
    }
    return static_cast<int32_t>(log.size());
}

void StandinAsioClearLog()
{
    StandinLog::Clear();
}

void StandinAsioCounters(int32_t* switches, int32_t* outputReadyCalls)
{
    StandinLog::Counters(switches, outputReadyCalls);
}

} // extern "C"
