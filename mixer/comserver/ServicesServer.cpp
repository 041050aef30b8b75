#include "mixer/comserver/ServicesServer.h"

#include <cstring>

#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/comserver/SinkList.h"

namespace
{
// The hardware the public methods speak of: the mixer model's hardware description (the
// mixer's main window, which may show another system, is not there yet); null without one.
IVarnHardware* CurrentHardware()
{
    ServicesApplication* application = ComModule::GetApplication();
    IVarnServices* services = application ? application->GetServices() : nullptr;
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    return mixer ? mixer->GetHardware() : nullptr;
}

IVarnAutomation* Automation()
{
    ServicesApplication* application = ComModule::GetApplication();
    IVarnServices* services = application ? application->GetServices() : nullptr;
    return services ? services->GetAutomation() : nullptr;
}

// The adapters' rule: no application, engine or automation back end, or an engine result
// of 0 or less, is E_FAIL.
template <class Call> HRESULT Forward(Call call)
{
    IVarnAutomation* automation = Automation();
    return automation && call(*automation) > 0 ? S_OK : E_FAIL;
}

// Engine results of the insert-creating operations that say why an insert was not made.
HRESULT ResultRule(int result, int notEnoughDsp, int noRoom)
{
    if (result == 1)
        return S_OK;
    if (result == notEnoughDsp)
        return MAKE_HRESULT(1, FACILITY_ITF, 0x200);
    if (result == noRoom)
        return MAKE_HRESULT(1, FACILITY_ITF, 0x400);
    return E_FAIL;
}

HRESULT ResultRuleA(int result)
{
    return ResultRule(result, 2, 6);
}

HRESULT ResultRuleB(int result)
{
    return ResultRule(result, 3, 9);
}

// Operations that answer through a flag the server clears first: S_OK when the engine set
// it, S_FALSE when it stayed clear.
template <class Call> HRESULT FlagResult(Call call)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    int flag = 0;
    if (call(*automation, &flag) == 0)
        return E_FAIL;
    return flag ? S_OK : S_FALSE;
}

// The COM and engine spellings of the same 32-bit integers and UTF-16 units.
static_assert(sizeof(LONG) == sizeof(int) && sizeof(WCHAR) == sizeof(char16_t), "word sizes");
int* Ints(LONG* values)
{
    return reinterpret_cast<int*>(values);
}
int** Ints(LONG** values)
{
    return reinterpret_cast<int**>(values);
}
const int* Ints(const LONG* values)
{
    return reinterpret_cast<const int*>(values);
}
const char16_t* Texts(const WCHAR* text)
{
    return reinterpret_cast<const char16_t*>(text);
}
char16_t** Texts(WCHAR** text)
{
    return reinterpret_cast<char16_t**>(text);
}
static_assert(sizeof(KivEffectId) == sizeof(VarnEffectId), "effect id");
VarnEffectId Id(const KivEffectId& id)
{
    VarnEffectId copy;
    std::memcpy(copy.data, id.data, sizeof copy.data);
    return copy;
}
// Record arrays handed back are allocated by the engine; the server only passes the place on.
template <class Record> void** Arrays(Record** records)
{
    return reinterpret_cast<void**>(records);
}
const VarnEffectId* Ids(const KivEffectId* ids)
{
    return reinterpret_cast<const VarnEffectId*>(ids);
}
} // namespace

ServicesServer::ServicesServer() : effectServices_(*this), paramInfo_(*this), eventSource_(*this) {}

ServicesServer::~ServicesServer()
{
    SinkList::Shutdown(kEndWait);
}

HRESULT STDMETHODCALLTYPE ServicesServer::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKivCorvanServices))
        *object = static_cast<IKivCorvanServices*>(this);
    else if (IsEqualIID(iid, IID_IKivCorvanEffectServices) ||
             IsEqualIID(iid, IID_IKivCorvanEffectServices2))
        *object = static_cast<IKivCorvanEffectServices2*>(&effectServices_);
    else if (IsEqualIID(iid, IID_IKivCorvanParamInfo))
        *object = static_cast<IKivCorvanParamInfo*>(&paramInfo_);
    else if (IsEqualIID(iid, IID_IKivCorvanEventSource))
        *object = static_cast<IKivCorvanEventSource*>(&eventSource_);
    else
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ServicesServer::AddRef()
{
    ComModule::Lock();
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE ServicesServer::Release()
{
    ULONG left = static_cast<ULONG>(InterlockedDecrement(&references_));
    ComModule::Unlock();
    return left;
}

HRESULT STDMETHODCALLTYPE ServicesServer::Advise(IKivCorvanNotify* pNotify, DWORD dwAdviseMask,
                                                 DWORD hUser, DWORD* phAdviseCookie)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Public().Advise(pNotify, dwAdviseMask, hUser, phAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::Unadvise(DWORD hAdviseCookie)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Public().Unadvise(hAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::GetASIOChannelName(LONG, LONG, LONG nNumChars, char* buf)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    if (!buf || nNumChars < 1)
        return E_INVALIDARG;
    buf[0] = 0;
    if (!CurrentHardware())
        return E_FAIL;
    // The channel items do not give their display names yet: no channel has a name.
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE ServicesServer::SetMonitorInfo(KivASIOMonitorInfo* pInfo)
{
    if (!pInfo || !ComModule::GetApplication())
        return E_FAIL;
    IVarnHardware* hardware = CurrentHardware();
    if (!hardware || pInfo->input < 0)
        return E_FAIL;
    // The strip that records the input's pair: the pair's ASIO port must exist, be in use
    // and not be hidden.
    IVarnItemList* items = hardware->GetItemList();
    IVarnOutput* port = items ? items->GetPort(1, pInfo->input / 2) : nullptr;
    IVarnInsertChain* bus = port && !port->IsHidden() ? port->GetSource() : nullptr;
    IVarnStrip* strip = bus ? bus->GetStrip() : nullptr;
    if (!strip)
        return E_FAIL;
    int side = pInfo->input % 2;
    if (IVarnMonitor* monitor = strip->GetMonitor())
    {
        monitor->SetParameter(side * 2, pInfo->gain);
        monitor->SetParameter(side * 2 + 1, pInfo->pan);
        monitor->SetParameter(side + 4, pInfo->state);
    }
    else
        strip->SetState(pInfo->state, 1);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ServicesServer::GetASIODriverProfile(KivASIODrvProfile* pProfile)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    if (!pProfile)
        return E_POINTER;
    IVarnHardware* hardware = CurrentHardware();
    IVarnDriver* driver = hardware ? hardware->GetDriver() : nullptr;
    if (!driver)
        return E_FAIL;
    VarnDriverProfile record = {};
    if (driver->GetProfile(&record) <= 0)
        return E_FAIL;
    pProfile->devnode = record.devnode;
    pProfile->refcount = record.refcount;
    pProfile->pciFuncNum = record.pciFuncNum;
    pProfile->baseAddr = record.baseAddr;
    pProfile->irq = record.irq;
    pProfile->vendorID = record.vendorID;
    pProfile->deviceID = record.deviceID;
    pProfile->subsys = record.subsys;
    pProfile->rev = record.rev;
    pProfile->driverVersion = record.driverVersion;
    // The engine's text need not be terminated within its field.
    lstrcpynA(pProfile->szDeviceKey, record.deviceKey, sizeof pProfile->szDeviceKey);
    return S_OK;
}

void ServicesServer::FireNotify(DWORD type)
{
    SinkList::Public().Broadcast(type, 0, 0);
}

void ServicesServer::FirePrivateNotify(DWORD type, DWORD a, DWORD b)
{
    SinkList::Private().Broadcast(type, a, b);
}

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::QueryInterface(REFIID iid, void** object)
{
    return owner_.QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE ServicesServer::EventSource::AddRef()
{
    return owner_.AddRef();
}

ULONG STDMETHODCALLTYPE ServicesServer::EventSource::Release()
{
    return owner_.Release();
}

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::Advise(IKivCorvanEventSink* pSink,
                                                              DWORD dwAdviseMask, DWORD hUser,
                                                              DWORD* phAdviseCookie)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Private().Advise(pSink, dwAdviseMask, hUser, phAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::Unadvise(DWORD hAdviseCookie)
{
    if (!ComModule::GetApplication())
        return E_FAIL;
    return SinkList::Private().Unadvise(hAdviseCookie);
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::QueryInterface(REFIID iid, void** object)
{
    return owner_.QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE ServicesServer::EffectServices::AddRef()
{
    return owner_.AddRef();
}

ULONG STDMETHODCALLTYPE ServicesServer::EffectServices::Release()
{
    return owner_.Release();
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::QueryInterface(REFIID iid, void** object)
{
    return owner_.QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE ServicesServer::ParamInfo::AddRef()
{
    return owner_.AddRef();
}

ULONG STDMETHODCALLTYPE ServicesServer::ParamInfo::Release()
{
    return owner_.Release();
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RegisterClient(LONG* clientId)
{
    if (!clientId)
        return E_POINTER;
    return Forward(
        [&](IVarnAutomation& automation) { return automation.RegisterClient(Ints(clientId)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::UnregisterClient(LONG clientId)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.UnregisterClient(clientId); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::AcquireSendReturn(LONG clientId,
                                                                            KivSendReturn* record,
                                                                            LONG* sendPair,
                                                                            LONG* returnPair)
{
    if (!record || !sendPair || !returnPair)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.AcquireSendReturn(clientId, record, Ints(sendPair), Ints(returnPair));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::ReleaseSendReturn(LONG clientId)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.ReleaseSendReturn(clientId); });
}

HRESULT STDMETHODCALLTYPE
ServicesServer::EffectServices::GetEffectCatalog(LONG* count, KivEffectCategory** records)
{
    if (!count || !records)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetEffectCatalog(Ints(count), Arrays(records));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetEffectPresets(
    const KivEffectCategory* category, LONG* count, KivEffectPreset** records)
{
    if (!category || !count || !records)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetEffectPresets(category, Ints(count), Arrays(records));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetEffectCorePresets(
    KivEffectId effect, LONG* count, KivCorePreset** records)
{
    if (!count || !records)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetEffectCorePresets(Id(effect), Ints(count), Arrays(records));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetInserts(
    KivEffectId preset, LONG* isFactory, LONG* count, KivEffectPreset** effects, LONG** valueCounts,
    float** wetDry, LONG* valueCount, KivPresetValue** values)
{
    if (!count || !effects)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetInserts(Id(preset), Ints(isFactory), Ints(count), Arrays(effects),
                                     Ints(valueCounts), wetDry, Ints(valueCount), Arrays(values));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::CreatePreset(LONG clientId,
                                                                       const WCHAR* category,
                                                                       const WCHAR* name,
                                                                       LONG insertCount,
                                                                       const LONG* positions)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.CreatePreset(clientId, Texts(category), Texts(name), insertCount,
                                       Ints(positions));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::DeletePreset(KivEffectId preset)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.DeletePreset(Id(preset)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RenamePreset(KivEffectId preset,
                                                                       const WCHAR* name)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.RenamePreset(Id(preset), Texts(name));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::CreatePresetCategory(const WCHAR* name)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.CreatePresetCategory(Texts(name)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::DeletePresetCategory(const WCHAR* name)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.DeletePresetCategory(Texts(name)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RenamePresetCategory(const WCHAR* oldName,
                                                                               const WCHAR* newName)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.RenamePresetCategory(Texts(oldName), Texts(newName));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetEffectsFit(LONG count,
                                                                        const KivEffectId* effects,
                                                                        LONG* fits)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetEffectsFit(count, Ids(effects), Ints(fits));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetPresetsFit(LONG count,
                                                                        const KivEffectId* presets,
                                                                        LONG* fits)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetPresetsFit(count, Ids(presets), Ints(fits));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RemoveInsert(LONG clientId, LONG position)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.RemoveInsert(clientId, position); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SelectPreset(LONG clientId, LONG position,
                                                                       LONG presetIndex)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.SelectPreset(clientId, position, presetIndex);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::MoveInsert(LONG clientId, LONG from,
                                                                     LONG to)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.MoveInsert(clientId, from, to); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterDescriptors(
    LONG clientId, LONG position, LONG* count, KivParameterDescriptor** descriptors)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterDescriptors(clientId, position, Ints(count),
                                                  Arrays(descriptors));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterChoiceNames(
    LONG clientId, LONG position, LONG parameter, LONG* count, KivChoiceName** names)
{
    if (!count || !names)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterChoiceNames(clientId, position, parameter, Ints(count),
                                                  Arrays(names));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterValue(
    LONG clientId, LONG position, LONG parameter, KivParameterValue* value)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterValue(clientId, position, parameter, value);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetParameterValue(LONG clientId,
                                                                            LONG position,
                                                                            LONG parameter,
                                                                            LONG kind, LONG value)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.SetParameterValue(clientId, position, parameter, kind, value);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertBypass(LONG clientId,
                                                                          LONG position,
                                                                          LONG bypass)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.SetInsertBypass(clientId, position, bypass);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertSolo(LONG clientId,
                                                                        LONG position, LONG solo)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.SetInsertSolo(clientId, position, solo);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetInsertBypass(LONG clientId,
                                                                          LONG position,
                                                                          LONG* bypass)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetInsertBypass(clientId, position, Ints(bypass));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetInsertSolo(LONG clientId,
                                                                        LONG position, LONG* solo)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetInsertSolo(clientId, position, Ints(solo));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::CreateCorePreset(LONG clientId,
                                                                           LONG position,
                                                                           const WCHAR* name)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.CreateCorePreset(clientId, position, Texts(name));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::ApplyPresetById(LONG clientId,
                                                                          LONG position, LONG value)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.ApplyPresetById(clientId, position, value);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetPresetChange(KivPresetChange* change)
{
    return Forward([&](IVarnAutomation& automation) { return automation.GetPresetChange(change); });
}

HRESULT STDMETHODCALLTYPE
ServicesServer::EffectServices::GetParamModelChange(KivParamModelChange* change)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetParamModelChange(change); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetAllInsertsBypass(LONG clientId,
                                                                              LONG bypass)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.SetAllInsertsBypass(clientId, bypass);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::QueryClientState(LONG clientId,
                                                                           LONG* value)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.QueryClientState(clientId, Ints(value));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterValuesBatch(
    LONG clientId, LONG count, KivParameterValueEntry* entries)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterValuesBatch(clientId, count, entries);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::GetInsertNotifyId(LONG clientId, LONG position,
                                                                       LONG* notifyId)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetInsertNotifyId(clientId, position, Ints(notifyId));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::GetParameterKinds(LONG clientId, LONG position,
                                                                       LONG* count, LONG** kinds)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterKinds(clientId, position, Ints(count), Ints(kinds));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::QueryParameter(LONG clientId, LONG a1, LONG a2,
                                                                    LONG* value)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.QueryParameter(clientId, a1, a2, Ints(value));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::GetParameterText(LONG clientId, LONG position,
                                                                      LONG parameter, WCHAR** text,
                                                                      LONG a4)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterText(clientId, position, parameter, Texts(text), a4);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertEffect(
    LONG clientId, LONG position, KivEffectId effect, KivInsertInfo* info, LONG wait)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleA(automation->SetInsertEffect(Id(effect), clientId, position, info, wait));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetSpecialInsert(
    LONG clientId, LONG position, LONG specialKind, KivInsertInfo* info, LONG wait)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleB(automation->SetSpecialInsert(specialKind, clientId, position, info, wait));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::LoadPresetIntoInsert(LONG clientId,
                                                                               LONG position,
                                                                               KivEffectId preset,
                                                                               KivInsertInfo* info)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleA(automation->LoadPresetIntoInsert(Id(preset), clientId, position, info));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RefreshInserts(LONG clientId)
{
    return FlagResult([&](IVarnAutomation& automation, int* flag) {
        return automation.RefreshInserts(clientId, flag);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Method26(LONG clientId)
{
    return FlagResult([&](IVarnAutomation& automation, int* flag) {
        return automation.Method26(clientId, flag);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::ClearInsertChainFlag(LONG clientId)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.SetInsertChainFlag(clientId, 0); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertChainFlag(LONG clientId)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.SetInsertChainFlag(clientId, 1); });
}

// The engine takes the id by address here: it gets a copy, not the caller's stack words.
HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::DeleteCorePreset(KivEffectId effect,
                                                                           LONG index)
{
    VarnEffectId copy = Id(effect);
    return Forward(
        [&](IVarnAutomation& automation) { return automation.DeleteCorePreset(&copy, index); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RenameCorePreset(KivEffectId effect,
                                                                           LONG index,
                                                                           const WCHAR* name)
{
    VarnEffectId copy = Id(effect);
    return Forward([&](IVarnAutomation& automation) {
        return automation.RenameCorePreset(&copy, index, Texts(name));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Reserved46(LONG, LONG)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Reserved47(LONG, LONG, LONG)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Reserved48(LONG, LONG, LONG, LONG)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Reserved49(LONG, LONG, LONG, LONG)
{
    return E_NOTIMPL;
}

// The channel lists and the enabling of the kind-2 channels need the kind-2 channel items,
// their display names and the input list, which the engine interface does not offer yet:
// they fail as they do for a missing list object.
HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetHardwareChannels(LONG* count,
                                                                              KivHardwareChannel** records)
{
    return count && records ? E_FAIL : E_POINTER;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetHardwareChannelsEx(
    LONG* outCount, KivHardwareChannel** outputs, LONG* inCount, KivHardwareChannel** inputs)
{
    return outCount && outputs && inCount && inputs ? E_FAIL : E_POINTER;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetSendInsertRouting(LONG, LONG, LONG,
                                                                               LONG, LONG,
                                                                               KivInsertInfo*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetSendReturnInsertRouting(
    LONG clientId, LONG position, LONG send1, LONG send2, LONG return1, LONG return2, LONG wait,
    KivInsertInfo* info)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleB(automation->SetSendReturnInsertRouting(clientId, position, send1, send2,
                                                              return1, return2, wait, info));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Reserved54(LONG)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::EnableCategory2Items(LONG)
{
    return E_FAIL;
}
