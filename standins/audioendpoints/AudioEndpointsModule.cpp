// The in-process server of the audio endpoint stand-ins: one class object for the device
// enumerator and one for the policy-configuration object.
#include "standins/audioendpoints/StandinDeviceEnumerator.h"
#include "standins/audioendpoints/StandinPolicyConfig.h"

#include <new>

namespace kiv::standins {

namespace {

template <typename Object>
class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Static objects: nothing to count.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* created = new (std::nothrow) Object();
        if (created == nullptr)
            return E_OUTOFMEMORY;
        const HRESULT result = created->QueryInterface(iid, object);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ClassFactory<StandinDeviceEnumerator> enumeratorFactory;
ClassFactory<StandinPolicyConfig> policyConfigFactory;

}  // namespace

}  // namespace kiv::standins

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (classId == __uuidof(MMDeviceEnumerator))
        return kiv::standins::enumeratorFactory.QueryInterface(iid, object);
    if (classId == kiv::vista::kPolicyConfigClassId)
        return kiv::standins::policyConfigFactory.QueryInterface(iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

// The configured endpoints live as long as the module: it stays loaded.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}
