#include "plugins/quorvel/ServicesLink.h"

#include "plugins/quorvel/EditorMessages.h"

#include <objbase.h>
#include <tlhelp32.h>
#include <windows.h>

#include <cstring>
#include <new>

namespace
{

// hUser travels as a 32-bit word: each link gets a place in this table, its handle is the
// place + 1, so a handle of a gone link or a made-up one names nobody.
constexpr size_t kHandles = 128;
std::mutex gHandleLock;
ServicesLink* gHandles[kHandles] = {}; // gHandleLock

DWORD TakeHandle(ServicesLink* link)
{
    std::lock_guard<std::mutex> hold(gHandleLock);
    for (size_t i = 0; i < kHandles; ++i)
    {
        if (!gHandles[i])
        {
            gHandles[i] = link;
            return static_cast<DWORD>(i + 1);
        }
    }
    return 0;
}

void GiveBackHandle(DWORD handle)
{
    std::lock_guard<std::mutex> hold(gHandleLock);
    if (handle > 0 && handle <= kHandles)
    {
        gHandles[handle - 1] = nullptr;
    }
}

class Win32ServicesSystem final : public ServicesSystem
{
public:
    bool IsMixerRunning() override
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
        {
            return false;
        }
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        bool found = false;
        for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        {
            found = IsMixerProgramName(entry.szExeFile);
        }
        CloseHandle(snapshot);
        return found;
    }
    HRESULT CreateServices(IKivCorvanServices** services) override
    {
        return CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                                reinterpret_cast<void**>(services));
    }
};

KivEffectId IdAt(const CallBlock& block, int first)
{
    KivEffectId id{};
    for (int i = 0; i < kIdSlots; ++i)
    {
        id.data[i] = static_cast<DWORD>(block.a[first + i]);
    }
    return id;
}

LONG Word(const CallBlock& block, int slot)
{
    return static_cast<LONG>(block.a[slot]);
}

template <typename T>
T* Pointer(const CallBlock& block, int slot)
{
    return reinterpret_cast<T*>(block.a[slot]);
}

template <typename T>
void Put(CallBlock& block, int slot, T value)
{
    block.a[slot] = static_cast<uintptr_t>(value);
}

// The ten 32-bit values of an insert's information, one per slot from `first`.
void PutInfo(CallBlock& block, int first, const KivInsertInfo& info)
{
    DWORD words[kInfoSlots] = {};
    static_assert(sizeof(words) == sizeof(info), "insert information");
    std::memcpy(words, &info, sizeof(info));
    for (int i = 0; i < kInfoSlots; ++i)
    {
        block.a[first + i] = words[i];
    }
}

// Hands an array the server allocated to the caller's out pointer, or frees it when the
// caller did not want it.
template <typename T>
void HandOver(T* array, T** wanted)
{
    if (wanted)
    {
        *wanted = array;
    }
    else
    {
        CoTaskMemFree(array);
    }
}

} // namespace

ServicesSystem& ServicesSystem::Win32()
{
    static Win32ServicesSystem system;
    return system;
}

bool IsMixerProgramName(const char* fileName)
{
    static const char kWord[] = "kivcorvandsp";
    return fileName && _strnicmp(fileName, kWord, sizeof(kWord) - 1) == 0;
}

// The sinks live as long as someone holds them: the server keeps one across a broadcast and
// releases it afterwards, also after the link unsubscribed inside the call.
template <typename Interface>
class LinkSink : public Interface
{
public:
    explicit LinkSink(const IID& id) : id_(id) {}
    virtual ~LinkSink() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
        {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, id_))
        {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG count = InterlockedDecrement(&count_);
        if (count == 0)
        {
            delete this;
        }
        return static_cast<ULONG>(count);
    }

protected:
    // Hands a notification to the link hUser names; an unknown or null hUser is ignored.
    HRESULT Deliver(DWORD hUser, DWORD type, DWORD a, DWORD b)
    {
        AddRef();
        if (ServicesLink* link = ServicesLink::FromHandle(hUser))
        {
            try
            {
                link->OnNotify(type, a, b);
            }
            catch (const CallBlockError&)
            {
                // The handler's operation failed; the server hears nothing of it.
            }
        }
        Release();
        return S_OK;
    }

private:
    const IID& id_;
    LONG count_ = 0;
};

class NotifySink final : public LinkSink<IKivCorvanNotify>
{
public:
    NotifySink() : LinkSink(IID_IKivCorvanNotify) {}
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD hUser) override { return Deliver(hUser, type, 0, 0); }
};

class EventSink final : public LinkSink<IKivCorvanEventSink>
{
public:
    EventSink() : LinkSink(IID_IKivCorvanEventSink) {}
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD hUser, DWORD a, DWORD b) override
    {
        return Deliver(hUser, type, a, b);
    }
};

namespace
{

// Ends our hold of a sink: the server's proxies to it are cut, and it goes with the last
// reference.
template <typename Sink>
void DropSink(Sink*& sink)
{
    if (sink)
    {
        CoDisconnectObject(static_cast<IUnknown*>(sink), 0);
        sink->Release();
        sink = nullptr;
    }
}

template <typename Interface>
void ReleaseInterface(Interface*& object)
{
    if (object)
    {
        object->Release();
        object = nullptr;
    }
}

} // namespace

ServicesLink::ServicesLink(ServicesLinkOwner* owner, ServicesSystem& system) : owner_(owner)
{
    handle_ = TakeHandle(this);
    if (!system.IsMixerRunning() || FAILED(system.CreateServices(&services_)) || !services_)
    {
        services_ = nullptr;
        return;
    }
    notifySink_ = new (std::nothrow) NotifySink;
    eventSink_ = new (std::nothrow) EventSink;
    if (notifySink_)
    {
        notifySink_->AddRef();
    }
    if (eventSink_)
    {
        eventSink_->AddRef();
    }
    if (!notifySink_ || services_->Advise(notifySink_, kAdviseMask, handle_, &notifyCookie_) != S_OK)
    {
        ReleaseInterface(services_);
        DropSink(notifySink_);
        DropSink(eventSink_);
        return;
    }
    if (SUCCEEDED(services_->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effectServices_))))
    {
        Connect();
    }
    else
    {
        effectServices_ = nullptr;
    }
    if (FAILED(services_->QueryInterface(IID_IKivCorvanEffectServices2, reinterpret_cast<void**>(&effectServices2_))))
    {
        effectServices2_ = nullptr;
    }
    if (SUCCEEDED(services_->QueryInterface(IID_IKivCorvanParamInfo, reinterpret_cast<void**>(&paramInfo_))))
    {
        if (FAILED(services_->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&eventSource_))))
        {
            eventSource_ = nullptr;
        }
        else if (!eventSink_ || eventSource_->Advise(eventSink_, kAdviseMask, handle_, &eventCookie_) != S_OK)
        {
            ReleaseInterface(eventSource_);
        }
    }
    else
    {
        paramInfo_ = nullptr;
    }
    if (!eventSource_)
    {
        DropSink(eventSink_);
    }
}

ServicesLink::~ServicesLink()
{
    Drop();
    GiveBackHandle(handle_);
}

void ServicesLink::Drop()
{
    DropServices();
    Disconnect();
    ReleaseInterface(effectServices_);
    ReleaseInterface(effectServices2_);
    ReleaseInterface(paramInfo_);
    DropEventSource();
}

ServicesLink* ServicesLink::FromHandle(DWORD handle)
{
    std::lock_guard<std::mutex> hold(gHandleLock);
    return handle > 0 && handle <= kHandles ? gHandles[handle - 1] : nullptr;
}

void ServicesLink::DropServices()
{
    if (services_)
    {
        services_->Unadvise(notifyCookie_);
        ReleaseInterface(services_);
    }
    DropSink(notifySink_);
}

void ServicesLink::DropEventSource()
{
    if (eventSource_)
    {
        eventSource_->Unadvise(eventCookie_);
        ReleaseInterface(eventSource_);
    }
    DropSink(eventSink_);
}

void ServicesLink::Connect()
{
    if (clientId_ != 0 && sendPair_ >= 0 && returnPair_ >= 0)
    {
        return;
    }
    if (RegisterClient())
    {
        AcquireSendReturnDirect();
    }
}

bool ServicesLink::RegisterClient()
{
    if (clientId_ != 0)
    {
        return true;
    }
    if (!effectServices_)
    {
        return false;
    }
    LONG id = 0;
    if (effectServices_->RegisterClient(&id) != S_OK)
    {
        clientId_ = 0;
        return false;
    }
    clientId_ = id;
    return true;
}

bool ServicesLink::AcquireSendReturnDirect()
{
    if (sendPair_ >= 0 && returnPair_ >= 0)
    {
        return true;
    }
    if (clientId_ == 0 || !effectServices_)
    {
        return false;
    }
    if (effectServices_->AcquireSendReturn(clientId_, &sendReturnInfo_, &sendPair_, &returnPair_) != S_OK)
    {
        sendReturnInfo_ = KivSendReturn{};
        sendPair_ = -1;
        returnPair_ = -1;
        return false;
    }
    return true;
}

void ServicesLink::ReleaseSendReturnDirect()
{
    if (sendPair_ < 0 || returnPair_ < 0)
    {
        return;
    }
    owner_->StopAsio(true);
    if (effectServices_)
    {
        effectServices_->ReleaseSendReturn(clientId_);
    }
    sendPair_ = -1;
    returnPair_ = -1;
    sendReturnInfo_ = KivSendReturn{};
}

void ServicesLink::UnregisterClient()
{
    if (clientId_ == 0)
    {
        return;
    }
    if (effectServices_)
    {
        effectServices_->UnregisterClient(clientId_);
    }
    clientId_ = 0;
}

void ServicesLink::Disconnect()
{
    ReleaseSendReturnDirect();
    UnregisterClient();
    // The chain may be held by a thread that waits for this one: its holder rebuilds.
    inserts_.RebuildParamMapSoon();
}

bool ServicesLink::GetSendReturnPair(int32_t* sendPair, int32_t* returnPair)
{
    if (effectServices_ && sendPair_ >= 0 && returnPair_ >= 0)
    {
        *sendPair = sendPair_;
        *returnPair = returnPair_;
        return true;
    }
    *sendPair = -1;
    *returnPair = -1;
    return false;
}

CallBlock* ServicesLink::BeginCall()
{
    lock_.lock();
    if (++inUse_ >= 2)
    {
        --inUse_;
        // The lock is re-entrant: this thread holds it twice now. Give the second back before
        // the operation fails, so the block stays usable.
        lock_.unlock();
        throw CallBlockError{true};
    }
    return &block_;
}

int32_t ServicesLink::Call(int32_t command)
{
    owner_->RunOnServicesThread(command);
    return block_.result;
}

void ServicesLink::EndCall()
{
    if (--inUse_ < 0)
    {
        // Not begun: the lock is not ours to leave.
        ++inUse_;
        throw CallBlockError{false};
    }
    lock_.unlock();
}

HRESULT ServicesLink::Run(int32_t command)
{
    BeginCall();
    const HRESULT result = Call(command);
    EndCall();
    return result;
}

bool ServicesLink::AcquireSendReturn()
{
    return Run(kCmdAcquireSendReturn) == S_OK;
}

void ServicesLink::ReleaseSendReturn()
{
    Run(kCmdReleaseSendReturn);
}

void ServicesLink::FailCall()
{
    block_.result = E_UNEXPECTED;
}

void ServicesLink::Execute(int32_t command)
{
    ExecuteOn(block_, command);
}

void ServicesLink::CallDirect(CallBlock& block, int32_t command)
{
    ExecuteOn(block, command);
}

void ServicesLink::FreeServerArray(void* array)
{
    CoTaskMemFree(array);
}

bool ServicesLink::CaptureInserts(InsertStateList* states)
{
    InsertChain::Hold hold(inserts_);
    return states->Capture(inserts_);
}

bool ServicesLink::FindPreset(const EffectId& id, PresetRecord* record)
{
    const std::shared_ptr<PresetEntry> entry = catalogue_.FindPreset(id);
    if (!entry)
    {
        return false;
    }
    *record = entry->Record();
    return true;
}

bool ServicesLink::RestoreInserts(const InsertStateList& states)
{
    inserts_.Restore(states);
    return true;
}

namespace
{

// What a command's handler reaches: the server's interfaces, the client id, and for
// kCmdAcquireSendReturn and kCmdReleaseSendReturn the link's pair and the owner that lets go
// of the driver first.
struct Server
{
    IKivCorvanEffectServices* es;
    IKivCorvanEffectServices2* es2;
    IKivCorvanParamInfo* pi;
    LONG id;
    KivSendReturn* sendReturnInfo;
    LONG* sendPair;
    LONG* returnPair;
    ServicesLinkOwner* owner;
};

// Out values come back into locals (the proxy refuses null out pointers, and slots are wider
// than the server's words), then into the slots.
using Handler = HRESULT (*)(const Server& s, CallBlock& b);

// How a command uses the client id.
enum class Client
{
    None,      // neither needs nor passes it
    Passed,    // needs it and passes it first
    Needed,    // needs it without passing it
    Unchecked, // passes it, also when 0
};

// The interface a command lives on; a missing optional one answers E_NOTIMPL.
enum class On
{
    ES,
    ES2,
    PI,
};

struct CommandRow
{
    LinkCommand command;
    Client client;
    On on;
    bool updatesDisplay; // the host's display follows, whatever the answer
    Handler run;
};

HRESULT ClearPair(const Server& s)
{
    *s.sendReturnInfo = KivSendReturn{};
    *s.sendPair = -1;
    *s.returnPair = -1;
    return S_OK;
}

// A command answering a count and an array the server allocated, into two slots.
template <typename T, typename Ask>
HRESULT List(CallBlock& b, int countSlot, int arraySlot, Ask ask)
{
    LONG count = 0;
    T* records = nullptr;
    const HRESULT r = ask(&count, &records);
    Put(b, countSlot, count);
    PutPointer(b, arraySlot, records);
    return r;
}

// A command answering one word into a slot.
template <typename Ask>
HRESULT Answer(CallBlock& b, int slot, Ask ask)
{
    LONG value = 0;
    const HRESULT r = ask(&value);
    Put(b, slot, value);
    return r;
}

// A command that sets an insert and answers its information into ten slots from `first`.
template <typename Ask>
HRESULT Placed(CallBlock& b, int first, Ask ask)
{
    KivInsertInfo info{};
    const HRESULT r = ask(&info);
    PutInfo(b, first, info);
    return r;
}

// The executor's commands, one row each, in command order.
constexpr CommandRow kCommands[] = {
    {kCmdAcquireSendReturn, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock&) -> HRESULT {
         const HRESULT r = s.es->AcquireSendReturn(s.id, s.sendReturnInfo, s.sendPair, s.returnPair);
         if (r != S_OK)
         {
             ClearPair(s);
         }
         return r;
     }},
    {kCmdReleaseSendReturn, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock&) -> HRESULT {
         // The driver lets go of the pair first, and the pair is gone whatever the answer.
         s.owner->StopAsio(true);
         const HRESULT r = s.es->ReleaseSendReturn(s.id);
         ClearPair(s);
         return r;
     }},
    {kCmdGetEffectCatalog, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetEffectCatalog;
         return List<KivEffectCategory>(b, S::kCount, S::kRecords, [&](LONG* count, KivEffectCategory** records) {
             return s.es->GetEffectCatalog(count, records);
         });
     }},
    {kCmdGetEffectPresets, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetEffectPresets;
         return List<KivEffectPreset>(b, S::kCount, S::kRecords, [&](LONG* count, KivEffectPreset** records) {
             return s.es->GetEffectPresets(Pointer<const KivEffectCategory>(b, S::kCategory), count, records);
         });
     }},
    {kCmdGetEffectCorePresets, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetEffectCorePresets;
         return List<KivCorePreset>(b, S::kCount, S::kRecords, [&](LONG* count, KivCorePreset** records) {
             return s.es->GetEffectCorePresets(IdAt(b, S::kEffect), count, records);
         });
     }},
    {kCmdGetInserts, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) -> HRESULT {
         using S = Slots::GetInserts;
         LONG factory = 0;
         LONG count = 0;
         KivEffectPreset* effects = nullptr;
         LONG* valueCounts = nullptr;
         float* wetDry = nullptr;
         KivPresetValue* values = nullptr;
         LONG valueCount = 0;
         const HRESULT r = s.es->GetInserts(IdAt(b, S::kPreset), &factory, &count, &effects, &valueCounts, &wetDry,
                                            &valueCount, &values);
         Put(b, S::kFactory, factory);
         Put(b, S::kCount, count);
         PutPointer(b, S::kEffects, effects);
         HandOver(valueCounts, Pointer<LONG*>(b, S::kValueCounts));
         HandOver(wetDry, Pointer<float*>(b, S::kWetDry));
         if (LONG* wanted = Pointer<LONG>(b, S::kValueTotal))
         {
             *wanted = valueCount;
         }
         HandOver(values, Pointer<KivPresetValue*>(b, S::kValues));
         return r;
     }},
    {kCmdCreatePresetCategory, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         return s.es->CreatePresetCategory(Pointer<const WCHAR>(b, Slots::CreatePresetCategory::kName));
     }},
    {kCmdDeletePresetCategory, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         return s.es->DeletePresetCategory(Pointer<const WCHAR>(b, Slots::DeletePresetCategory::kName));
     }},
    {kCmdRenamePresetCategory, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::RenamePresetCategory;
         return s.es->RenamePresetCategory(Pointer<const WCHAR>(b, S::kName), Pointer<const WCHAR>(b, S::kNewName));
     }},
    {kCmdCreatePreset, Client::Unchecked, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::CreatePreset;
         return s.es->CreatePreset(s.id, Pointer<const WCHAR>(b, S::kCategory), Pointer<const WCHAR>(b, S::kName),
                                   Word(b, S::kInsertCount), Pointer<const LONG>(b, S::kPositions));
     }},
    {kCmdDeletePreset, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) { return s.es->DeletePreset(IdAt(b, Slots::DeletePreset::kPreset)); }},
    {kCmdRenamePreset, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::RenamePreset;
         return s.es->RenamePreset(IdAt(b, S::kPreset), Pointer<const WCHAR>(b, S::kName));
     }},
    {kCmdGetEffectsFit, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetEffectsFit;
         return s.es->GetEffectsFit(Word(b, S::kCount), Pointer<const KivEffectId>(b, S::kIds),
                                    Pointer<LONG>(b, S::kFlags));
     }},
    {kCmdGetPresetsFit, Client::None, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetPresetsFit;
         return s.es->GetPresetsFit(Word(b, S::kCount), Pointer<const KivEffectId>(b, S::kIds),
                                    Pointer<LONG>(b, S::kFlags));
     }},
    {kCmdSetInsertEffect, Client::Passed, On::ES, true,
     [](const Server& s, CallBlock& b) {
         using S = Slots::SetInsertEffect;
         return Placed(b, S::kInfo, [&](KivInsertInfo* info) {
             return s.es->SetInsertEffect(s.id, Word(b, S::kPosition), IdAt(b, S::kPreset), info, Word(b, S::kWait));
         });
     }},
    {kCmdRemoveInsert, Client::Passed, On::ES, true,
     [](const Server& s, CallBlock& b) { return s.es->RemoveInsert(s.id, Word(b, Slots::RemoveInsert::kPosition)); }},
    {kCmdLoadPresetIntoInsert, Client::Passed, On::ES, true,
     [](const Server& s, CallBlock& b) {
         using S = Slots::LoadPresetIntoInsert;
         return Placed(b, S::kInfo, [&](KivInsertInfo* info) {
             return s.es->LoadPresetIntoInsert(s.id, Word(b, S::kPosition), IdAt(b, S::kPreset), info);
         });
     }},
    {kCmdMoveInsert, Client::Passed, On::ES, true,
     [](const Server& s, CallBlock& b) {
         return s.es->MoveInsert(s.id, Word(b, Slots::MoveInsert::kFrom), Word(b, Slots::MoveInsert::kTo));
     }},
    {kCmdSelectPreset, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         return s.es->SelectPreset(s.id, Word(b, Slots::SelectPreset::kPosition), Word(b, Slots::SelectPreset::kIndex));
     }},
    {kCmdSetSpecialInsert, Client::Passed, On::ES, true,
     // The wait flag is read before the information overwrites its slot.
     [](const Server& s, CallBlock& b) {
         using S = Slots::SetSpecialInsert;
         return Placed(b, S::kInfo, [&](KivInsertInfo* info) {
             return s.es->SetSpecialInsert(s.id, Word(b, S::kPosition), Word(b, S::kKind), info, Word(b, S::kWait));
         });
     }},
    {kCmdRefreshInserts, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock&) { return s.es->RefreshInserts(s.id); }},
    {kCmdClearInsertChainFlag, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock&) { return s.es->ClearInsertChainFlag(s.id); }},
    {kCmdSetInsertChainFlag, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock&) { return s.es->SetInsertChainFlag(s.id); }},
    {kCmdGetParameterDescriptors, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetParameterDescriptors;
         return List<KivParameterDescriptor>(
             b, S::kCount, S::kRecords, [&](LONG* count, KivParameterDescriptor** records) {
                 return s.es->GetParameterDescriptors(s.id, Word(b, S::kPosition), count, records);
             });
     }},
    {kCmdGetParameterChoiceNames, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetParameterChoiceNames;
         return List<KivChoiceName>(b, S::kCount, S::kRecords, [&](LONG* count, KivChoiceName** records) {
             return s.es->GetParameterChoiceNames(s.id, Word(b, S::kPosition), Word(b, S::kIndex), count, records);
         });
     }},
    {kCmdGetParameterValue, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) -> HRESULT {
         using S = Slots::GetParameterValue;
         KivParameterValue value{};
         const HRESULT r = s.es->GetParameterValue(s.id, Word(b, S::kPosition), Word(b, S::kIndex), &value);
         Put(b, S::kKind, value.kind);
         Put(b, S::kBits, static_cast<DWORD>(value.value));
         return r;
     }},
    {kCmdSetParameterValue, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::SetParameterValue;
         return s.es->SetParameterValue(s.id, Word(b, S::kPosition), Word(b, S::kIndex), Word(b, S::kKind),
                                        Word(b, S::kBits));
     }},
    {kCmdGetInsertSolo, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetInsertSolo;
         return Answer(b, S::kOn, [&](LONG* value) { return s.es->GetInsertSolo(s.id, Word(b, S::kPosition), value); });
     }},
    {kCmdGetInsertBypass, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetInsertBypass;
         return Answer(b, S::kOn,
                       [&](LONG* value) { return s.es->GetInsertBypass(s.id, Word(b, S::kPosition), value); });
     }},
    {kCmdSetInsertSolo, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         return s.es->SetInsertSolo(s.id, Word(b, Slots::SetInsertSolo::kPosition), Word(b, Slots::SetInsertSolo::kOn));
     }},
    {kCmdSetInsertBypass, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::SetInsertBypass;
         return s.es->SetInsertBypass(s.id, Word(b, S::kPosition), Word(b, S::kOn));
     }},
    {kCmdCreateCorePreset, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::CreateCorePreset;
         return s.es->CreateCorePreset(s.id, Word(b, S::kPosition), Pointer<const WCHAR>(b, S::kName));
     }},
    {kCmdApplyPresetById, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::ApplyPresetById;
         return s.es->ApplyPresetById(s.id, Word(b, S::kPosition), Word(b, S::kPreset));
     }},
    {kCmdDeleteCorePreset, Client::Needed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::DeleteCorePreset;
         return s.es->DeleteCorePreset(IdAt(b, S::kEffect), Word(b, S::kIndex));
     }},
    {kCmdRenameCorePreset, Client::Needed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::RenameCorePreset;
         return s.es->RenameCorePreset(IdAt(b, S::kEffect), Word(b, S::kIndex), Pointer<const WCHAR>(b, S::kName));
     }},
    {kCmdSetAllInsertsBypass, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         return s.es->SetAllInsertsBypass(s.id, Word(b, Slots::SetAllInsertsBypass::kOn));
     }},
    {kCmdQueryClientState, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         return Answer(b, Slots::QueryClientState::kState,
                       [&](LONG* value) { return s.es->QueryClientState(s.id, value); });
     }},
    {kCmdGetParameterValuesBatch, Client::Passed, On::ES, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetParameterValuesBatch;
         return s.es->GetParameterValuesBatch(s.id, Word(b, S::kCount),
                                              Pointer<KivParameterValueEntry>(b, S::kEntries));
     }},
    {kCmdGetHardwareChannels, Client::None, On::ES2, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetHardwareChannels;
         return List<KivHardwareChannel>(b, S::kCount, S::kRecords, [&](LONG* count, KivHardwareChannel** records) {
             return s.es2->GetHardwareChannels(count, records);
         });
     }},
    {kCmdSetSendInsertRouting, Client::Passed, On::ES2, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::SetSendInsertRouting;
         return Placed(b, S::kInfo, [&](KivInsertInfo* info) {
             return s.es2->SetSendInsertRouting(s.id, Word(b, S::kPosition), Word(b, S::kSendFirst),
                                                Word(b, S::kSendSecond), Word(b, S::kWait), info);
         });
     }},
    {kCmdGetHardwareChannelsEx, Client::None, On::ES2, false,
     [](const Server& s, CallBlock& b) -> HRESULT {
         using S = Slots::GetHardwareChannelsEx;
         LONG outputCount = 0;
         LONG inputCount = 0;
         KivHardwareChannel* outputs = nullptr;
         KivHardwareChannel* inputs = nullptr;
         const HRESULT r = s.es2->GetHardwareChannelsEx(&outputCount, &outputs, &inputCount, &inputs);
         Put(b, S::kOutputCount, outputCount);
         PutPointer(b, S::kOutputs, outputs);
         Put(b, S::kInputCount, inputCount);
         PutPointer(b, S::kInputs, inputs);
         return r;
     }},
    {kCmdSetSendReturnInsertRouting, Client::Passed, On::ES2, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::SetSendReturnInsertRouting;
         return Placed(b, S::kInfo, [&](KivInsertInfo* info) {
             return s.es2->SetSendReturnInsertRouting(s.id, Word(b, S::kPosition), Word(b, S::kSendFirst),
                                                      Word(b, S::kSendSecond), Word(b, S::kReturnFirst),
                                                      Word(b, S::kReturnSecond), Word(b, S::kWait), info);
         });
     }},
    {kCmdClientRoutingCallA, Client::Passed, On::ES2, false,
     [](const Server& s, CallBlock&) { return s.es2->Reserved54(s.id); }},
    {kCmdClientRoutingCallB, Client::Passed, On::ES2, false,
     [](const Server& s, CallBlock&) { return s.es2->EnableCategory2Items(s.id); }},
    {kCmdGetInsertNotifyId, Client::Passed, On::PI, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetInsertNotifyId;
         return Answer(b, S::kNotifyId,
                       [&](LONG* value) { return s.pi->GetInsertNotifyId(s.id, Word(b, S::kPosition), value); });
     }},
    {kCmdGetParameterKinds, Client::Passed, On::PI, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::GetParameterKinds;
         return List<LONG>(b, S::kCount, S::kRecords, [&](LONG* count, LONG** records) {
             return s.pi->GetParameterKinds(s.id, Word(b, S::kPosition), count, records);
         });
     }},
    {kCmdQueryParameter, Client::Passed, On::PI, false,
     [](const Server& s, CallBlock& b) {
         using S = Slots::QueryParameter;
         return Answer(b, S::kAnswer, [&](LONG* value) {
             return s.pi->QueryParameter(s.id, Word(b, S::kPosition), Word(b, S::kIndex), value);
         });
     }},
    {kCmdGetParameterText, Client::Passed, On::PI, false,
     [](const Server& s, CallBlock& b) -> HRESULT {
         using S = Slots::GetParameterText;
         WCHAR* text = nullptr;
         const HRESULT r =
             s.pi->GetParameterText(s.id, Word(b, S::kPosition), Word(b, S::kIndex), &text, Word(b, S::kUnits));
         PutPointer(b, S::kText, text);
         return r;
     }},
};

constexpr bool InCommandOrder()
{
    for (size_t i = 0; i < sizeof(kCommands) / sizeof(kCommands[0]); ++i)
    {
        if (kCommands[i].command != kFirstLinkCommand + static_cast<int32_t>(i))
        {
            return false;
        }
    }
    return sizeof(kCommands) / sizeof(kCommands[0]) == kLastLinkCommand - kFirstLinkCommand + 1;
}
static_assert(InCommandOrder(), "one row per command, in command order");

} // namespace

void ServicesLink::ExecuteOn(CallBlock& b, int32_t command)
{
    if (!effectServices_)
    {
        b.result = E_NOINTERFACE;
        return;
    }
    if (command < kFirstLinkCommand || command > kLastLinkCommand)
    {
        b.result = E_NOTIMPL;
        return;
    }
    const CommandRow& row = kCommands[command - kFirstLinkCommand];
    if (row.updatesDisplay)
    {
        displayUpdate_.store(true);
    }
    if ((row.client == Client::Passed || row.client == Client::Needed) && clientId_ == 0)
    {
        b.result = E_HANDLE;
        return;
    }
    if ((row.on == On::ES2 && !effectServices2_) || (row.on == On::PI && !paramInfo_))
    {
        b.result = E_NOTIMPL;
        return;
    }
    const Server server{effectServices_,  effectServices2_, paramInfo_,   clientId_,
                        &sendReturnInfo_, &sendPair_,       &returnPair_, owner_};
    b.result = row.run(server, b);
}

bool ServicesLink::RefreshInserts()
{
    if (!AcquireSendReturnDirect())
    {
        return false;
    }
    if (effectServices_->RefreshInserts(clientId_) == S_OK && inserts_.Attach())
    {
        return true;
    }
    ReleaseSendReturnDirect();
    return false;
}

bool ServicesLink::PostToEditor(uint32_t id, uintptr_t wParam, uintptr_t lParam)
{
    if (owner_->PostToPanel(id, wParam, lParam))
    {
        return true;
    }
    FreeUndeliveredMessage(id, wParam, lParam);
    return false;
}

void ServicesLink::OnNotify(DWORD type, DWORD a, DWORD b)
{
    switch (type)
    {
    case KivKDSPASIO_Terminate:
        Disconnect();
        PostToEditor(kMessageTerminated, 0, 0);
        DropServices();
        ReleaseInterface(effectServices_);
        ReleaseInterface(effectServices2_);
        break;
    case 0x8:
        if (effectServices_)
        {
            KivPresetChange change{};
            if (effectServices_->GetPresetChange(&change) == S_OK)
            {
                PresetChangeRecord record;
                std::memcpy(&record, &change, sizeof(record));
                catalogue_.OnPresetChange(record);
            }
        }
        break;
    case 0x10:
        if (effectServices_)
        {
            KivParamModelChange change{};
            if (effectServices_->GetParamModelChange(&change) == S_OK)
            {
                ParamModelChange record;
                std::memcpy(static_cast<void*>(&record), &change, sizeof(record)); // the same layout
                inserts_.OnParamModelChange(record);
            }
        }
        break;
    case 0x20:
    case 0x80:
        sessionLoading_ = true;
        if (clientId_ != 0)
        {
            ReleaseSendReturnDirect();
            inserts_.Detach();
        }
        break;
    case 0x40:
        if (clientId_ == 0)
        {
            break;
        }
        if (AcquireSendReturnDirect())
        {
            owner_->OnAssignmentChanged();
            if (owner_->GetAsioSampleRate() <= 48000)
            {
                RefreshInserts();
            }
            else
            {
                ReleaseSendReturnDirect();
            }
        }
        sessionLoading_ = false;
        PostToEditor(kMessageSessionChanged, 0, 0);
        break;
    case 0x100:
        PostToEditor(kMessageSessionChanged, 0, 0);
        break;
    case 0x200:
        if (!inserts_.IsAttached() && RefreshInserts())
        {
            owner_->OnAssignmentChanged();
        }
        PostToEditor(kMessageSessionChanged, 0, 0);
        break;
    case 0x400:
        PostToEditor(kMessageEvent1, a, b);
        break;
    case 0x1000:
        PostToEditor(kMessageEvent2, a, b);
        break;
    case 0x2000:
        PostToEditor(kMessageEvent3, a, b);
        break;
    case 0x4000:
        PostToEditor(kMessageEvent4, a, b);
        break;
    default:
        break;
    }
}
