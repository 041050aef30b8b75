// KivAsioStandin.dll: class objects of the simulated driver and the device enumerator, and
// the control functions of the simulation.

#include "framework/platform/ComClassFactory.h"
#include "standins/asio/AsioStandin.h"
#include "standins/asio/SimulatedDriver.h"
#include "standins/asio/StandinEnumerator.h"
#include "standins/asio/StandinLog.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{

// Each object reads the simulation's configuration as it is made.
template <typename Object>
struct ConfiguredCreator : NewObjectCreator<Object>
{
    static HRESULT Create(REFIID iid, void** object)
    {
        return HandOutNewObject(new (std::nothrow) Object(StandinConfig::Load()), iid, object);
    }
};

ComClassFactory<ConfiguredCreator<SimulatedDriver>> gDriverFactory;
ComClassFactory<ConfiguredCreator<StandinEnumerator>> gEnumeratorFactory;

} // namespace

extern "C"
{
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
