#include "mixer/comserver/ServicesServer.h"

#include <cstring>
#include <memory>
#include <vector>

#include "mixer/names/PortNames.h"
#include "mixer/comserver/ClientTies.h"
#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/comserver/SinkList.h"

namespace
{
IVarnMixer* Mixer()
{
    ServicesApplication* application = ComModule::GetApplication();
    IVarnServices* services = application ? application->GetServices() : nullptr;
    return services ? services->GetMixer() : nullptr;
}

// The hardware the public methods speak of: the system the main window shows, else the
// mixer model's hardware description; null without either.
IVarnHardware* CurrentHardware()
{
    ServicesApplication* application = ComModule::GetApplication();
    if (!application)
        return nullptr;
    if (IVarnHardware* system = application->GetCurrentSystem())
        return system;
    IVarnMixer* mixer = Mixer();
    return mixer ? mixer->GetHardware() : nullptr;
}

// A channel item in use is one that something feeds.
bool InUse(IVarnOutput* item)
{
    return item && item->GetSource();
}

// A host input counts for a playback channel when it is in use and the plug-in has not taken it.
bool Counts(IVarnInput* input)
{
    return input && input->IsAssigned() && !input->IsTakenByPlugin();
}

// The name a user gave a strip; "-" and empty mean none.
bool OwnName(IVarnStrip* strip, String& name)
{
    const char16_t* text = strip ? strip->GetName() : nullptr;
    if (!text || !text[0] || (text[0] == u'-' && !text[1]))
        return false;
    name.AssignWide(text);
    return true;
}

void AppendText(String& out, StringTable& strings, const char* id)
{
    if (const String* text = strings.FindStringById(id))
        out.Append(*text);
}

void AppendSide(String& out, StringTable& strings, int right)
{
    AppendText(out, strings, right ? "IDS_R" : "IDS_L");
}

// A builder's result as a channel name: its category, a blank, its name.
bool Generated(int result, const String& category, const String& name, String& out)
{
    if (!result)
        return false;
    out.Assign(category);
    out.AppendAscii(" ");
    out.Append(name);
    return true;
}

// The name of an ASIO input channel (what the hardware records into it), by the first rule that
// applies: the own name of its strip, the generated name of its item, the aux, main or
// recorded mix its pair carries; false when none does.
bool InputChannelName(IVarnHardware* hardware, PortNames& names, StringTable& strings, int channel, String& name)
{
    IVarnItemList* items = hardware->GetItemList();
    if (!items)
        return false;
    int pairs = items->GetCount(1) / 3;
    int right = channel & 1;
    bool isPair = channel / 2 < pairs && InUse(items->GetPort(1, channel / 2));
    IVarnOutput* item = isPair ? items->GetPort(1, channel / 2) : items->GetPort(1, pairs + channel);
    if (!InUse(item))
        return false;
    IVarnInsertChain* bus = item->GetSource();
    bool mainMix = bus->GetBusType() == 2;
    if (IVarnStrip* strip = bus->GetStrip())
    {
        if (OwnName(strip, name))
        {
            if (mainMix)
            {
                name.AppendAscii(" ");
                AppendSide(name, strings, right);
            }
            return true;
        }
        if (mainMix)
        {
            names.GetMainMixName(bus, &name, 1, right);
            return true;
        }
        String itemName, category;
        int result = names.GetOutputName(item, &itemName, &category, 0, 1, right);
        return Generated(result, category, itemName, name);
    }
    if (!isPair)
        return false;
    name.Clear();
    if (bus->GetBusType() == 1)
    {
        AppendText(name, strings, "IDS_AUX");
        name.AppendAscii(" ");
        IVarnAux* aux = bus->GetAux();
        name.AppendInt(aux ? aux->GetIndex() + 1 : 1);
    }
    else if (mainMix)
        AppendText(name, strings, "IDS_MAIN");
    else if (item->GetType() == 0 || item->GetType() == 1)
        AppendText(name, strings, item->GetType() == 0 ? "IDS_MIX" : "IDS_MONITOR");
    else
        return false;
    name.AppendAscii(" ");
    AppendSide(name, strings, right);
    return true;
}

// The name of a host input playing into the mixer: the own name of the strip it feeds, else
// what its signal chain ends in.
bool PlaybackName(IVarnInput* input, PortNames& names, int right, String& name)
{
    if (OwnName(input->GetStrip(), name))
        return true;
    IVarnOutput* output = nullptr;
    int end = input->GetChainEnd(&output);
    String builtName, category;
    if (end == VarnChainEndOutput && output)
        return Generated(names.GetOutputName(output, &builtName, &category, 0, 1, right), category, builtName, name);
    if (end == VarnChainEndStrip || end == VarnChainEndNone)
    {
        name.Clear();
        names.GetStripName(input, &name, 0);
        return name.Length() > 0;
    }
    return Generated(names.GetInputName(input, &builtName, &category, 0, 1, right), category, builtName, name);
}

// The name of an ASIO output channel (what the host plays into the mixer through it): the
// host input of its pair, else the single-channel input of the channel.
bool OutputChannelName(IVarnHardware* hardware, PortNames& names, int channel, String& name)
{
    IVarnInputList* inputs = hardware->GetInputList();
    if (!inputs)
        return false;
    int right = channel & 1;
    const struct
    {
        int kind, subKind, index;
    } candidates[] = {{0, 1, channel / 2}, {3, 4, channel}};
    for (const auto& candidate : candidates)
    {
        for (int i = 0; i < inputs->GetCount(candidate.kind); ++i)
        {
            IVarnInput* input = inputs->GetInput(candidate.kind, i);
            int subKind = -1, index = -1;
            if (!Counts(input) || !input->GetSubKind(&subKind) || subKind != candidate.subKind ||
                !input->GetAsioIndex(&index) || index != candidate.index)
                continue;
            if (PlaybackName(input, names, right, name))
                return true;
            break;
        }
    }
    return false;
}

IVarnAutomation* Automation()
{
    ServicesApplication* application = ComModule::GetApplication();
    IVarnServices* services = application ? application->GetServices() : nullptr;
    return services ? services->GetAutomation() : nullptr;
}

// The adapters' rule: no application, engine or automation back end, or an engine result
// of 0 or less, is E_FAIL.
template <class Call>
HRESULT Forward(Call call)
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
template <class Call>
HRESULT FlagResult(Call call)
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
template <class Record>
void** Arrays(Record** records)
{
    return reinterpret_cast<void**>(records);
}
const VarnEffectId* Ids(const KivEffectId* ids)
{
    return reinterpret_cast<const VarnEffectId*>(ids);
}
} // namespace

ServicesServer::ServicesServer() : effectServices_(*this), paramInfo_(*this), eventSource_(*this)
{
    SinkCourier::SetGoneHandler([] { ReleaseGoneClients(); });
}

void ServicesServer::ReleaseGoneClients()
{
    std::vector<ClientTies::Registration> gone = ClientTies::Get().TakeRegistrationsOf(SinkCourier::TakeGoneOwners());
    IVarnAutomation* automation = Automation();
    if (!automation)
        return;
    // In the order the client itself gives them back.
    for (const ClientTies::Registration& registration : gone)
    {
        if (registration.holdsPair)
            automation->ReleaseSendReturn(registration.client);
        automation->UnregisterClient(registration.client);
    }
}

bool ServicesServer::ReleaseGoneHolders()
{
    std::vector<GUID> holders = ClientTies::Get().PairHolders();
    if (holders.empty())
        return false;
    SinkCourier::Probe(holders, GetTickCount() + kProbeWait);
    // A call served while the probe waited may have let go of the gone holders already.
    ReleaseGoneClients();
    return true;
}

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
    else if (IsEqualIID(iid, IID_IKivCorvanEffectServices) || IsEqualIID(iid, IID_IKivCorvanEffectServices2))
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

HRESULT STDMETHODCALLTYPE ServicesServer::Advise(IKivCorvanNotify* pNotify, DWORD dwAdviseMask, DWORD hUser,
                                                 DWORD* phAdviseCookie)
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

HRESULT STDMETHODCALLTYPE ServicesServer::GetASIOChannelName(LONG lChannel, LONG bInput, LONG nNumChars, char* buf)
{
    ServicesApplication* application = ComModule::GetApplication();
    if (!application)
        return E_FAIL;
    // A negative channel would pass as the "no special channel" value or reach pair 0.
    if (!buf || nNumChars < 1 || lChannel < 0)
        return E_INVALIDARG;
    bool input = bInput != 0;
    if (lChannel == 0)
        RecomputeSpecialChannel(input);
    buf[0] = 0;
    IVarnHardware* hardware = CurrentHardware();
    if (!hardware)
        return E_FAIL;
    String name;
    if (lChannel == specialChannels_[input ? 1 : 0])
        name.AssignAscii(" - ");
    else
    {
        PortNames names(Mixer(), application->GetStrings());
        bool named = input ? InputChannelName(hardware, names, application->GetStrings(), lChannel, name)
                           : OutputChannelName(hardware, names, lChannel, name);
        if (!named)
            return S_FALSE;
    }
    std::unique_ptr<char[]> text = name.ToAnsi();
    lstrcpynA(buf, text ? text.get() : "", nNumChars);
    return S_OK;
}

void ServicesServer::RecomputeSpecialChannel(bool input)
{
    LONG& special = specialChannels_[input ? 1 : 0];
    ServicesApplication* application = ComModule::GetApplication();
    IVarnHardware* system = application ? application->GetCurrentSystem() : nullptr;
    IVarnItemList* items = system && input ? system->GetItemList() : nullptr;
    IVarnInputList* inputs = system && !input ? system->GetInputList() : nullptr;
    if (!items && !inputs)
    {
        special = -1;
        return;
    }
    // Inputs: the mono items follow the pair items; outputs: the single-channel inputs.
    int channels = items ? items->GetChannelCount(1) : inputs->GetCount(3);
    if (channels % 2 == 0)
    {
        special = -1;
        return;
    }
    int first = items ? items->GetCount(1) / 3 : 0;
    auto inUse = [&](int channel) {
        return items ? InUse(items->GetPort(1, first + channel))
                     : inputs->GetInput(3, channel) && inputs->GetInput(3, channel)->IsAssigned();
    };
    for (int pair = 0; 2 * pair < channels; ++pair)
    {
        bool left = inUse(2 * pair), right = inUse(2 * pair + 1);
        if (left != right)
        {
            special = left ? 2 * pair + 1 : 2 * pair;
            return;
        }
    }
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

HRESULT STDMETHODCALLTYPE ServicesServer::EventSource::Advise(IKivCorvanEventSink* pSink, DWORD dwAdviseMask,
                                                              DWORD hUser, DWORD* phAdviseCookie)
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
    HRESULT result = Forward([&](IVarnAutomation& automation) { return automation.RegisterClient(Ints(clientId)); });
    if (SUCCEEDED(result))
        ClientTies::Get().Registered(*clientId, SinkCourier::Caller());
    return result;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::UnregisterClient(LONG clientId)
{
    ClientTies::Get().Unregistered(clientId);
    return Forward([&](IVarnAutomation& automation) { return automation.UnregisterClient(clientId); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::AcquireSendReturn(LONG clientId, KivSendReturn* record,
                                                                            LONG* sendPair, LONG* returnPair)
{
    if (!record || !sendPair || !returnPair)
        return E_POINTER;
    auto acquire = [&](IVarnAutomation& automation) {
        return automation.AcquireSendReturn(clientId, record, Ints(sendPair), Ints(returnPair));
    };
    HRESULT result = Forward(acquire);
    // The pairs may be held by clients that are gone: once those are asked, ask again.
    if (FAILED(result) && ReleaseGoneHolders())
        result = Forward(acquire);
    if (SUCCEEDED(result))
        ClientTies::Get().PairTaken(clientId);
    return result;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::ReleaseSendReturn(LONG clientId)
{
    ClientTies::Get().PairGiven(clientId);
    return Forward([&](IVarnAutomation& automation) { return automation.ReleaseSendReturn(clientId); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetEffectCatalog(LONG* count, KivEffectCategory** records)
{
    if (!count || !records)
        return E_POINTER;
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetEffectCatalog(Ints(count), Arrays(records)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetEffectPresets(const KivEffectCategory* category,
                                                                           LONG* count, KivEffectPreset** records)
{
    if (!category || !count || !records)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetEffectPresets(category, Ints(count), Arrays(records));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetEffectCorePresets(KivEffectId effect, LONG* count,
                                                                               KivCorePreset** records)
{
    if (!count || !records)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetEffectCorePresets(Id(effect), Ints(count), Arrays(records));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetInserts(KivEffectId preset, LONG* isFactory, LONG* count,
                                                                     KivEffectPreset** effects, LONG** valueCounts,
                                                                     float** wetDry, LONG* valueCount,
                                                                     KivPresetValue** values)
{
    if (!count || !effects)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetInserts(Id(preset), Ints(isFactory), Ints(count), Arrays(effects), Ints(valueCounts),
                                     wetDry, Ints(valueCount), Arrays(values));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::CreatePreset(LONG clientId, const WCHAR* category,
                                                                       const WCHAR* name, LONG insertCount,
                                                                       const LONG* positions)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.CreatePreset(clientId, Texts(category), Texts(name), insertCount, Ints(positions));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::DeletePreset(KivEffectId preset)
{
    return Forward([&](IVarnAutomation& automation) { return automation.DeletePreset(Id(preset)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RenamePreset(KivEffectId preset, const WCHAR* name)
{
    return Forward([&](IVarnAutomation& automation) { return automation.RenamePreset(Id(preset), Texts(name)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::CreatePresetCategory(const WCHAR* name)
{
    return Forward([&](IVarnAutomation& automation) { return automation.CreatePresetCategory(Texts(name)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::DeletePresetCategory(const WCHAR* name)
{
    return Forward([&](IVarnAutomation& automation) { return automation.DeletePresetCategory(Texts(name)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RenamePresetCategory(const WCHAR* oldName,
                                                                               const WCHAR* newName)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.RenamePresetCategory(Texts(oldName), Texts(newName)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetEffectsFit(LONG count, const KivEffectId* effects,
                                                                        LONG* fits)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetEffectsFit(count, Ids(effects), Ints(fits)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetPresetsFit(LONG count, const KivEffectId* presets,
                                                                        LONG* fits)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetPresetsFit(count, Ids(presets), Ints(fits)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RemoveInsert(LONG clientId, LONG position)
{
    return Forward([&](IVarnAutomation& automation) { return automation.RemoveInsert(clientId, position); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SelectPreset(LONG clientId, LONG position, LONG presetIndex)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.SelectPreset(clientId, position, presetIndex); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::MoveInsert(LONG clientId, LONG from, LONG to)
{
    return Forward([&](IVarnAutomation& automation) { return automation.MoveInsert(clientId, from, to); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterDescriptors(LONG clientId, LONG position,
                                                                                  LONG* count,
                                                                                  KivParameterDescriptor** descriptors)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterDescriptors(clientId, position, Ints(count), Arrays(descriptors));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterChoiceNames(LONG clientId, LONG position,
                                                                                  LONG parameter, LONG* count,
                                                                                  KivChoiceName** names)
{
    if (!count || !names)
        return E_POINTER;
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterChoiceNames(clientId, position, parameter, Ints(count), Arrays(names));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterValue(LONG clientId, LONG position,
                                                                            LONG parameter, KivParameterValue* value)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterValue(clientId, position, parameter, value);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetParameterValue(LONG clientId, LONG position,
                                                                            LONG parameter, LONG kind, LONG value)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.SetParameterValue(clientId, position, parameter, kind, value);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertBypass(LONG clientId, LONG position, LONG bypass)
{
    return Forward([&](IVarnAutomation& automation) { return automation.SetInsertBypass(clientId, position, bypass); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertSolo(LONG clientId, LONG position, LONG solo)
{
    return Forward([&](IVarnAutomation& automation) { return automation.SetInsertSolo(clientId, position, solo); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetInsertBypass(LONG clientId, LONG position, LONG* bypass)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetInsertBypass(clientId, position, Ints(bypass)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetInsertSolo(LONG clientId, LONG position, LONG* solo)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetInsertSolo(clientId, position, Ints(solo)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::CreateCorePreset(LONG clientId, LONG position,
                                                                           const WCHAR* name)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.CreateCorePreset(clientId, position, Texts(name)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::ApplyPresetById(LONG clientId, LONG position, LONG value)
{
    return Forward([&](IVarnAutomation& automation) { return automation.ApplyPresetById(clientId, position, value); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetPresetChange(KivPresetChange* change)
{
    return Forward([&](IVarnAutomation& automation) { return automation.GetPresetChange(change); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParamModelChange(KivParamModelChange* change)
{
    return Forward([&](IVarnAutomation& automation) { return automation.GetParamModelChange(change); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetAllInsertsBypass(LONG clientId, LONG bypass)
{
    return Forward([&](IVarnAutomation& automation) { return automation.SetAllInsertsBypass(clientId, bypass); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::QueryClientState(LONG clientId, LONG* value)
{
    return Forward([&](IVarnAutomation& automation) { return automation.QueryClientState(clientId, Ints(value)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetParameterValuesBatch(LONG clientId, LONG count,
                                                                                  KivParameterValueEntry* entries)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetParameterValuesBatch(clientId, count, entries); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::GetInsertNotifyId(LONG clientId, LONG position, LONG* notifyId)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.GetInsertNotifyId(clientId, position, Ints(notifyId)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::GetParameterKinds(LONG clientId, LONG position, LONG* count,
                                                                       LONG** kinds)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterKinds(clientId, position, Ints(count), Ints(kinds));
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::QueryParameter(LONG clientId, LONG a1, LONG a2, LONG* value)
{
    return Forward(
        [&](IVarnAutomation& automation) { return automation.QueryParameter(clientId, a1, a2, Ints(value)); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::ParamInfo::GetParameterText(LONG clientId, LONG position, LONG parameter,
                                                                      WCHAR** text, LONG a4)
{
    return Forward([&](IVarnAutomation& automation) {
        return automation.GetParameterText(clientId, position, parameter, Texts(text), a4);
    });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertEffect(LONG clientId, LONG position,
                                                                          KivEffectId effect, KivInsertInfo* info,
                                                                          LONG wait)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleA(automation->SetInsertEffect(Id(effect), clientId, position, info, wait));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetSpecialInsert(LONG clientId, LONG position,
                                                                           LONG specialKind, KivInsertInfo* info,
                                                                           LONG wait)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleB(automation->SetSpecialInsert(specialKind, clientId, position, info, wait));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::LoadPresetIntoInsert(LONG clientId, LONG position,
                                                                               KivEffectId preset, KivInsertInfo* info)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleA(automation->LoadPresetIntoInsert(Id(preset), clientId, position, info));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RefreshInserts(LONG clientId)
{
    return FlagResult(
        [&](IVarnAutomation& automation, int* flag) { return automation.RefreshInserts(clientId, flag); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Method26(LONG clientId)
{
    return FlagResult([&](IVarnAutomation& automation, int* flag) { return automation.Method26(clientId, flag); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::ClearInsertChainFlag(LONG clientId)
{
    return Forward([&](IVarnAutomation& automation) { return automation.SetInsertChainFlag(clientId, 0); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetInsertChainFlag(LONG clientId)
{
    return Forward([&](IVarnAutomation& automation) { return automation.SetInsertChainFlag(clientId, 1); });
}

// The engine takes the id by address here: it gets a copy, not the caller's stack words.
HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::DeleteCorePreset(KivEffectId effect, LONG index)
{
    VarnEffectId copy = Id(effect);
    return Forward([&](IVarnAutomation& automation) { return automation.DeleteCorePreset(&copy, index); });
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::RenameCorePreset(KivEffectId effect, LONG index,
                                                                           const WCHAR* name)
{
    VarnEffectId copy = Id(effect);
    return Forward([&](IVarnAutomation& automation) { return automation.RenameCorePreset(&copy, index, Texts(name)); });
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

namespace
{
// What the channel-list methods read: the engine's mixer model, its hardware and lists.
struct ChannelContext
{
    IVarnMixer* mixer = nullptr;
    IVarnHardware* hardware = nullptr;
    IVarnItemList* items = nullptr;
    IVarnInputList* inputs = nullptr;
    int rate = 0;

    bool Read()
    {
        mixer = Mixer();
        hardware = mixer ? mixer->GetHardware() : nullptr;
        items = hardware ? hardware->GetItemList() : nullptr;
        inputs = hardware ? hardware->GetInputList() : nullptr;
        rate = mixer ? mixer->GetRateCode() : 0;
        return items != nullptr;
    }
    // A channel item that exists at the rate and that nothing feeds.
    IVarnOutput* FreeItem(int kind, int index)
    {
        IVarnOutput* item = items->GetPort(kind, index);
        if (!item || !hardware->ChannelExists(kind, rate, index) || InUse(item))
            return nullptr;
        return item;
    }
    int FreePhysicalOutputs()
    {
        int count = 0;
        for (int i = 0; i < items->GetCount(2); ++i)
            count += FreeItem(2, i) ? 1 : 0;
        return count;
    }
};

KivHardwareChannel Record(const String& name, int type, int index)
{
    KivHardwareChannel record;
    std::memset(&record, 0, sizeof record);
    std::unique_ptr<char[]> text = name.ToAnsi();
    if (text)
        lstrcpynA(record.name, text.get(), sizeof record.name); // longer names are cut
    record.type = type;
    record.index = index;
    return record;
}

// Hands the records over in one CoTaskMemAlloc block; no records give a null array.
HRESULT HandOver(const std::vector<KivHardwareChannel>& list, LONG* count, KivHardwareChannel** records)
{
    *count = 0;
    *records = nullptr;
    if (list.empty())
        return S_OK;
    void* block = CoTaskMemAlloc(list.size() * sizeof(KivHardwareChannel));
    if (!block)
        return E_OUTOFMEMORY;
    std::memcpy(block, list.data(), list.size() * sizeof(KivHardwareChannel));
    *records = static_cast<KivHardwareChannel*>(block);
    *count = static_cast<LONG>(list.size());
    return S_OK;
}

// A channel's record name: the builder's category, a blank, its name.
String RecordName(const String& category, const String& name)
{
    String text;
    Generated(1, category, name, text);
    return text;
}
} // namespace

static_assert(sizeof(KivHardwareChannel) == 264, "hardware channel record");

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetHardwareChannels(LONG* count, KivHardwareChannel** records)
{
    if (!count || !records)
        return E_POINTER;
    ServicesApplication* application = ComModule::GetApplication();
    ChannelContext context;
    if (!application || !context.Read())
        return E_FAIL;
    PortNames names(context.mixer, application->GetStrings());
    std::vector<KivHardwareChannel> list;
    const int kinds[] = {1, 0, 2};
    for (int kind : kinds)
    {
        for (int i = 0; i < context.items->GetCount(kind); ++i)
        {
            IVarnOutput* item = context.FreeItem(kind, i);
            String name, category;
            if (!item || !names.GetOutputName(item, &name, &category, 0, 0, 0))
                continue;
            // The channel types of the client: 0 ASIO, 1 Wave, 2 physical.
            list.push_back(Record(RecordName(category, name), kind == 0 ? 1 : kind == 1 ? 0 : 2, i));
        }
    }
    return HandOver(list, count, records);
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::GetHardwareChannelsEx(LONG* outCount,
                                                                                KivHardwareChannel** outputs,
                                                                                LONG* inCount,
                                                                                KivHardwareChannel** inputs)
{
    if (!outCount || !outputs || !inCount || !inputs)
        return E_POINTER;
    ServicesApplication* application = ComModule::GetApplication();
    ChannelContext context;
    if (!application || !context.Read() || !context.inputs)
        return E_FAIL;
    PortNames names(context.mixer, application->GetStrings());

    std::vector<KivHardwareChannel> outputList;
    for (int i = 0; i < context.items->GetCount(2); ++i)
    {
        IVarnOutput* item = context.FreeItem(2, i);
        String name, category;
        if (!item)
            continue;
        names.GetOutputName(item, &name, &category, 0, 0, 0);
        outputList.push_back(Record(RecordName(category, name), 2, i));
    }

    // A stereo input in use that feeds nothing of its own may stand for its partner at the
    // higher rates; the record then names what the partner feeds.
    std::vector<KivHardwareChannel> inputList;
    int count = context.inputs->GetCount(2);
    for (int i = 0; i < count; ++i)
    {
        IVarnInput* input = context.inputs->GetInput(2, i);
        if (!input)
            continue;
        String name, category;
        names.GetInputName(input, &name, &category, 0, 0, 0);
        String text = RecordName(category, name);
        if (input->IsAssigned() && (context.rate == 2 || context.rate == 3) && !input->GetStrip() &&
            !input->GetDestination())
        {
            int partner = i;
            if (context.rate == 2 && i >= 1 && i <= 4)
                partner = i <= 2 ? i + 2 : i - 2;
            else if (context.rate == 3 && (i == 0 || i == 2))
                partner = 2 - i;
            // A partner past the list is no input: skip rather than read it.
            input = partner < count ? context.inputs->GetInput(2, partner) : nullptr;
            if (!input)
                continue;
            String feeds;
            names.GetStripName(input, &feeds, 0);
            text.AppendAscii(" [");
            text.Append(feeds);
            text.AppendAscii("]");
        }
        if (!input->IsAssigned())
            inputList.push_back(Record(text, 2, i));
    }

    HRESULT result = HandOver(outputList, outCount, outputs);
    if (FAILED(result))
        return result;
    result = HandOver(inputList, inCount, inputs);
    if (FAILED(result))
    {
        CoTaskMemFree(*outputs);
        *outputs = nullptr;
        *outCount = 0;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetSendInsertRouting(LONG, LONG, LONG, LONG, LONG,
                                                                               KivInsertInfo*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::SetSendReturnInsertRouting(LONG clientId, LONG position,
                                                                                     LONG send1, LONG send2,
                                                                                     LONG return1, LONG return2,
                                                                                     LONG wait, KivInsertInfo* info)
{
    IVarnAutomation* automation = Automation();
    if (!automation)
        return E_FAIL;
    return ResultRuleB(
        automation->SetSendReturnInsertRouting(clientId, position, send1, send2, return1, return2, wait, info));
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::Reserved54(LONG)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ServicesServer::EffectServices::EnableCategory2Items(LONG clientId)
{
    ChannelContext context;
    IVarnAutomation* automation = Automation();
    if (!context.Read() || !context.inputs || !automation)
        return E_FAIL;
    if (context.FreePhysicalOutputs() < 1 || context.inputs->GetCount(2) < 1)
        return S_FALSE;
    int flag = 1;
    if (automation->EnableCategory2Items(clientId, &flag) == 0)
        return E_FAIL;
    return flag ? S_OK : S_FALSE;
}
