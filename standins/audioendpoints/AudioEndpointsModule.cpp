// The in-process server of the audio endpoint stand-ins: one class object for the device
// enumerator and one for the policy-configuration object.
#include "framework/platform/ComClassFactory.h"
#include "standins/audioendpoints/StandinDeviceEnumerator.h"
#include "standins/audioendpoints/StandinPolicyConfig.h"

namespace kiv::standins
{

namespace
{

ComClassFactory<NewObjectCreator<StandinDeviceEnumerator>> gEnumeratorFactory;
ComClassFactory<NewObjectCreator<StandinPolicyConfig>> gPolicyConfigFactory;

} // namespace

} // namespace kiv::standins

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (classId == __uuidof(MMDeviceEnumerator))
        return kiv::standins::gEnumeratorFactory.QueryInterface(iid, object);
    if (classId == kiv::vista::kPolicyConfigClassId)
        return kiv::standins::gPolicyConfigFactory.QueryInterface(iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

// The configured endpoints live as long as the module: it stays loaded.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}
