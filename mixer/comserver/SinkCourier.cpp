#include "mixer/comserver/SinkCourier.h"

#include <algorithm>
#include <new>
#include <vector>

#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/comserver/SinkList.h"
#include "mixer/names/WindowMessages.h"

namespace
{

// Live as long as the process: couriers abandoned at the end may still run while statics go.
std::vector<SinkCourier*>& Couriers() // guarded by SinkLock
{
    static auto* couriers = new std::vector<SinkCourier*>;
    return *couriers;
}

// Set whenever a call into a sink returns or a courier's thread ends.
HANDLE Progress()
{
    static HANDLE progress = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return progress;
}

DWORD SystemClock()
{
    return GetTickCount();
}

SinkCourier::Clock gClock = SystemClock;         // set by tests before any courier starts
DWORD gLinger = SinkCourier::kLinger;            // guarded by SinkLock
DWORD gProbeRound = 0;                           // the last round of probes; guarded by SinkLock
SinkCourier::GoneHandler gGoneHandler = nullptr; // set on the main thread before any courier starts

// The owners of sinks found gone, for the main thread; guarded by SinkLock.
std::vector<GUID>& GoneOwners()
{
    static auto* owners = new std::vector<GUID>;
    return *owners;
}

// The window whose thread releases the main apartment's references: the main thread, which
// made it in the first Advise. Guarded by SinkLock.
HWND gReleaseWindow = nullptr;

LRESULT CALLBACK ReleaseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WindowMessage::kCourierEnded)
    {
        SinkCourier::ReleaseEnded();
        return 0;
    }
    if (message == WindowMessage::kClientGone)
    {
        if (gGoneHandler)
            gGoneHandler();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void EnsureReleaseWindow()
{
    SinkLockGuard guard;
    if (gReleaseWindow)
        return;
    static const ATOM windowClass = [] {
        WNDCLASSA description = {};
        description.lpfnWndProc = ReleaseWindowProc;
        description.hInstance = GetModuleHandleA(nullptr);
        description.lpszClassName = "KivCorvanSinkRelease";
        return RegisterClassA(&description);
    }();
    if (windowClass)
        gReleaseWindow = CreateWindowExA(0, "KivCorvanSinkRelease", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
}

// The client of the sink is gone, or the apartment that served it (its interface is no longer
// known there): its calls fail at once and always will.
bool IsGone(HRESULT result)
{
    switch (result)
    {
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_UNKNOWN_IF):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
        return true;
    default:
        return false;
    }
}

// Waits for a courier's progress until deadline, serving the calls that come into this
// apartment meanwhile (a sink may Unadvise from inside its Notify); false when the time is up.
bool WaitForProgress(DWORD deadline)
{
    LONG left = static_cast<LONG>(deadline - GetTickCount());
    if (left <= 0)
        return false;
    HANDLE progress = Progress();
    DWORD index = 0;
    CoWaitForMultipleHandles(0, static_cast<DWORD>(left), 1, &progress, &index);
    return true;
}
} // namespace

SinkCourier* SinkCourier::Start(IUnknown* sink, IUnknown* identity, Face face, const GUID& owner,
                                Subscription* subscription)
{
    EnsureReleaseWindow();
    auto* courier = new (std::nothrow) SinkCourier(identity, face, owner);
    if (!courier)
        return nullptr;
    {
        SinkLockGuard guard;
        try
        {
            Couriers().push_back(courier);
        }
        catch (const std::bad_alloc&)
        {
            delete courier;
            return nullptr;
        }
    }
    courier->wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (courier->wake_)
        courier->thread_ = CreateThread(nullptr, 0, Run, courier, CREATE_SUSPENDED, nullptr);
    // A proxy shares its own references with the marshalled copy: no call to the client here.
    const IID& iid = face == Face::Public ? IID_IKivCorvanNotify : IID_IKivCorvanEventSink;
    IStream* stream = nullptr;
    bool marshalled = courier->thread_ && SUCCEEDED(CoMarshalInterThreadInterfaceInStream(iid, sink, &stream));
    {
        SinkLockGuard guard;
        if (marshalled)
        {
            sink->AddRef();
            courier->sink_ = sink;
            courier->stream_ = stream;
            courier->Subscribe(subscription); // before the thread can find it idle
        }
        else
        {
            courier->closed_ = true;             // a thread ends at once
            courier->ended_ = !courier->thread_; // without one it is over already
        }
    }
    if (courier->thread_)
        ResumeThread(courier->thread_);
    return marshalled ? courier : nullptr;
}

SinkCourier::~SinkCourier()
{
    if (thread_)
        CloseHandle(thread_);
    if (wake_)
        CloseHandle(wake_);
}

SinkCourier* SinkCourier::Find(IUnknown* identity, Face face)
{
    // Caller holds SinkLock.
    for (SinkCourier* courier : Couriers())
    {
        if (courier->identity_ == identity && courier->face_ == face && courier->sink_ && !courier->closed_ &&
            !courier->dropped_)
            return courier;
    }
    return nullptr;
}

void SinkCourier::Subscribe(Subscription* subscription)
{
    // Caller holds SinkLock.
    subscription->courier = this;
    ++subscriptions_;
}

void SinkCourier::LetGo(Subscription* subscription)
{
    // Caller holds SinkLock.
    if (--subscription->holders > 0)
        return;
    SinkCourier* courier = subscription->courier;
    delete subscription;
    if (--courier->subscriptions_ == 0)
    {
        if (courier->dropped_)
            courier->Close();
        else
            SetEvent(courier->wake_); // it starts to linger
    }
}

void SinkCourier::Drop()
{
    // Caller holds SinkLock.
    dropped_ = true;
    if (subscriptions_ == 0)
        Close();
}

void SinkCourier::CloseIdle()
{
    SinkLockGuard guard;
    for (SinkCourier* courier : Couriers())
    {
        if (courier->subscriptions_ == 0 && !courier->closed_)
            courier->Close();
    }
}

void SinkCourier::SetLinger(DWORD milliseconds)
{
    SinkLockGuard guard;
    gLinger = milliseconds;
}

void SinkCourier::Close()
{
    closed_ = true;
    SetEvent(wake_);
}

void SinkCourier::Post(Subscription* subscription, DWORD type, DWORD a, DWORD b)
{
    // Caller holds SinkLock.
    try
    {
        queue_.push_back({subscription, type, a, b});
    }
    catch (const std::bad_alloc&)
    {
        return; // out of memory: this notification is lost, not the sink
    }
    ++subscription->holders;
    SetEvent(wake_);
}

bool SinkCourier::HasFallenBehind(DWORD now) const
{
    // Caller holds SinkLock.
    return (current_ && now - callStart_ > kStuckLimit) || queue_.size() >= kQueueLimit;
}

bool SinkCourier::HasWork() const
{
    // Caller holds SinkLock.
    if (current_ && !current_->removed)
        return true;
    return std::any_of(queue_.begin(), queue_.end(),
                       [](const Notification& n) { return n.subscription && !n.subscription->removed; });
}

DWORD WINAPI SinkCourier::Run(void* self)
{
    auto* courier = static_cast<SinkCourier*>(self);
    // An apartment of this thread alone: see the class comment. It exports nothing, so nothing
    // calls into it and it need not serve messages between calls.
    HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    GUID causality = GUID_NULL;
    CoGetCurrentLogicalThreadId(&causality);
    IStream* stream = nullptr;
    {
        SinkLockGuard guard;
        std::swap(stream, courier->stream_);
        courier->causality_ = causality;
    }
    IUnknown* sink = nullptr;
    const IID& iid = courier->face_ == Face::Public ? IID_IKivCorvanNotify : IID_IKivCorvanEventSink;
    HRESULT unmarshalled =
        stream ? CoGetInterfaceAndReleaseStream(stream, iid, reinterpret_cast<void**>(&sink)) : E_FAIL;
    if (FAILED(unmarshalled))
        sink = nullptr;
    if (!sink) // a sink we cannot reach is as good as gone
        SinkList::Drop(courier, IsGone(unmarshalled));
    courier->Deliver(sink);
    if (sink)
        sink->Release(); // may wait for the client: only this thread waits
    if (SUCCEEDED(initialised))
        CoUninitialize();
    {
        SinkLockGuard guard;
        courier->ended_ = true; // from here on the main thread may free the courier: the thread
                                // touches nothing of it any more
        if (gReleaseWindow)
            PostMessageA(gReleaseWindow, WindowMessage::kCourierEnded, 0, 0);
    }
    SetEvent(Progress());
    return 0;
}

void SinkCourier::Deliver(IUnknown* sink)
{
    SinkLock::Enter();
    for (;;)
    {
        if (queue_.empty())
        {
            if (closed_)
                break;
            bool idle = subscriptions_ == 0;
            DWORD wait = idle ? gLinger : INFINITE;
            SinkLock::Leave();
            DWORD woken = WaitForSingleObject(wake_, wait);
            SinkLock::Enter();
            if (woken == WAIT_TIMEOUT && subscriptions_ == 0 && queue_.empty())
                closed_ = true; // nobody came back for it
            continue;
        }
        Notification notification = queue_.front();
        queue_.pop_front();
        Subscription* subscription = notification.subscription;
        if (!sink)
            SinkList::Drop(this, false); // also what was subscribed after the thread gave up
        if (!subscription)
        {
            if (sink && !closed_ && !dropped_)
            {
                SinkLock::Leave();
                // No bit and no user's value: nothing a client acts on. A proxy's own calls
                // (QueryInterface) answer E_NOINTERFACE also when the client is gone.
                HRESULT result = static_cast<IKivCorvanEventSink*>(sink)->Notify(0, 0, 0, 0);
                SinkLock::Enter();
                if (IsGone(result))
                    SinkList::Drop(this, true);
            }
            probeAnswered_ = notification.a;
            SetEvent(Progress());
            continue;
        }
        if (subscription->removed || !sink)
        {
            LetGo(subscription);
            continue;
        }
        DWORD user = subscription->user;
        current_ = subscription;
        callStart_ = Now();
        SinkLock::Leave();
        HRESULT result = face_ == Face::Public ? static_cast<IKivCorvanNotify*>(sink)->Notify(notification.type, user)
                                               : static_cast<IKivCorvanEventSink*>(sink)->Notify(
                                                     notification.type, user, notification.a, notification.b);
        SinkLock::Enter();
        current_ = nullptr;
        LetGo(subscription);
        if (IsGone(result))
            SinkList::Drop(this, true);
        SetEvent(Progress());
    }
    SinkLock::Leave();
}

GUID SinkCourier::Caller()
{
    GUID causality = GUID_NULL;
    CoGetCurrentLogicalThreadId(&causality);
    SinkLockGuard guard;
    for (const SinkCourier* courier : Couriers())
    {
        if (courier->causality_ == causality)
            return courier->owner_;
    }
    return causality;
}

bool SinkCourier::Answered(DWORD round) const
{
    // Caller holds SinkLock.
    return static_cast<LONG>(probeAnswered_ - round) >= 0 || static_cast<LONG>(probeAsked_ - round) < 0;
}

void SinkCourier::Probe(const std::vector<GUID>& owners, DWORD deadline)
{
    DWORD round = 0;
    {
        SinkLockGuard guard;
        round = ++gProbeRound;
        for (SinkCourier* courier : Couriers())
        {
            // Private sinks only: their clients are the effects plug-in's instances.
            if (courier->face_ != Face::Private || courier->subscriptions_ == 0 || courier->closed_ ||
                courier->dropped_ || std::find(owners.begin(), owners.end(), courier->owner_) == owners.end())
                continue;
            try
            {
                courier->queue_.push_back({nullptr, 0, round, 0});
            }
            catch (const std::bad_alloc&)
            {
                continue; // out of memory: this sink is not asked
            }
            courier->probeAsked_ = round;
            SetEvent(courier->wake_);
        }
    }
    for (;;)
    {
        {
            SinkLockGuard guard;
            if (std::all_of(Couriers().begin(), Couriers().end(),
                            [round](const SinkCourier* c) { return c->Answered(round); }))
                return;
        }
        if (!WaitForProgress(deadline))
            return;
    }
}

void SinkCourier::SetGoneHandler(GoneHandler handler)
{
    gGoneHandler = handler;
}

std::vector<GUID> SinkCourier::TakeGoneOwners()
{
    SinkLockGuard guard;
    std::vector<GUID> owners;
    owners.swap(GoneOwners());
    return owners;
}

void SinkCourier::NoteGone()
{
    // Caller holds SinkLock.
    std::vector<GUID>& owners = GoneOwners();
    if (std::find(owners.begin(), owners.end(), owner_) != owners.end())
        return;
    try
    {
        owners.push_back(owner_);
    }
    catch (const std::bad_alloc&)
    {
        return; // out of memory: what the client held stays until its sink is found gone again
    }
    if (gReleaseWindow)
        PostMessageA(gReleaseWindow, WindowMessage::kClientGone, 0, 0);
}

bool SinkCourier::WaitDelivered(DWORD deadline)
{
    for (;;)
    {
        {
            SinkLockGuard guard;
            if (std::none_of(Couriers().begin(), Couriers().end(), [](const SinkCourier* c) { return c->HasWork(); }))
                return true;
        }
        if (!WaitForProgress(deadline))
            return false;
    }
}

bool SinkCourier::WaitEnded(DWORD deadline)
{
    for (;;)
    {
        ReleaseEnded();
        {
            SinkLockGuard guard;
            if (Couriers().empty())
                return true;
            // A courier in a call ends only when its sink returns: no use waiting for that.
            if (std::all_of(Couriers().begin(), Couriers().end(), [](const SinkCourier* c) { return c->current_; }))
                return false;
        }
        if (!WaitForProgress(deadline))
            return false;
    }
}

void SinkCourier::ReleaseEnded()
{
    std::vector<SinkCourier*> ended;
    {
        SinkLockGuard guard;
        std::vector<SinkCourier*>& couriers = Couriers();
        auto split =
            std::stable_partition(couriers.begin(), couriers.end(), [](const SinkCourier* c) { return !c->ended_; });
        ended.assign(split, couriers.end());
        couriers.erase(split, couriers.end());
    }
    for (SinkCourier* courier : ended)
    {
        if (courier->sink_)
            courier->sink_->Release();
        delete courier;
    }
}

bool SinkCourier::NoneLeft()
{
    SinkLockGuard guard;
    return Couriers().empty();
}

void SinkCourier::SetClock(Clock value)
{
    gClock = value ? value : SystemClock;
}

DWORD SinkCourier::Now()
{
    return gClock();
}
