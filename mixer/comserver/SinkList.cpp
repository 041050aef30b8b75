#include "mixer/comserver/SinkList.h"

#include <bcrypt.h>

#include <algorithm>
#include <new>

namespace
{
// Lives as long as the process: the lists may still be emptied during static destruction, and
// couriers abandoned at the end may still take it.
CRITICAL_SECTION& Section()
{
    static CRITICAL_SECTION* section = [] {
        auto* created = new CRITICAL_SECTION;
        InitializeCriticalSection(created);
        return created;
    }();
    return *section;
}

// The sink's object: its IUnknown, which a proxy answers by itself. Not held: the sink's own
// reference keeps it.
IUnknown* IdentityOf(IUnknown* sink)
{
    IUnknown* identity = nullptr;
    if (FAILED(sink->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) || !identity)
        return sink;
    identity->Release();
    return identity;
}

bool gShuttingDown = false; // guarded by SinkLock

// What Shutdown leaves the couriers to end after the last delivery, at the least (milliseconds).
constexpr DWORD kEndGrace = 500;

bool RandomWord(DWORD* word)
{
    return BCRYPT_SUCCESS(
        BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(word), sizeof *word, BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}
} // namespace

void SinkLock::Enter()
{
    EnterCriticalSection(&Section());
}

void SinkLock::Leave()
{
    LeaveCriticalSection(&Section());
}

SinkList::~SinkList()
{
    Clear();
}

HRESULT SinkList::Advise(IUnknown* sink, DWORD mask, DWORD user, DWORD* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    IUnknown* identity = IdentityOf(sink);
    const GUID owner = SinkCourier::Caller();
    auto* subscription = new (std::nothrow) Subscription{nullptr, mask, user, 0, 1, false};
    if (!subscription)
        return E_FAIL;
    SinkLockGuard guard;
    HRESULT result = gShuttingDown ? E_FAIL : CookieFor(identity, &subscription->cookie);
    if (FAILED(result))
    {
        delete subscription;
        return result;
    }
    if (SinkCourier* courier = SinkCourier::Find(identity, face_))
        courier->Subscribe(subscription);
    else
    {
        // Advise runs on the main thread only: no other subscription can come in meanwhile.
        SinkLock::Leave();
        courier = SinkCourier::Start(sink, identity, face_, owner, subscription);
        SinkLock::Enter();
        if (!courier)
        {
            delete subscription;
            return E_FAIL;
        }
    }
    try
    {
        subscriptions_.push_back(subscription);
    }
    catch (const std::bad_alloc&)
    {
        subscription->removed = true;
        SinkCourier::LetGo(subscription);
        return E_FAIL;
    }
    *cookie = subscription->cookie;
    return S_OK;
}

HRESULT SinkList::Unadvise(DWORD cookie)
{
    SinkLockGuard guard;
    auto found = std::find_if(subscriptions_.begin(), subscriptions_.end(),
                              [cookie](const Subscription* s) { return s->cookie == cookie; });
    if (found != subscriptions_.end())
        Unlink(found);
    return S_OK;
}

void SinkList::Clear()
{
    SinkLockGuard guard;
    while (!subscriptions_.empty())
        Unlink(subscriptions_.end() - 1);
}

void SinkList::Unlink(std::vector<Subscription*>::iterator at)
{
    // Caller holds SinkLock.
    Subscription* subscription = *at;
    subscriptions_.erase(at);
    subscription->removed = true;
    SinkCourier::LetGo(subscription);
}

void SinkList::Broadcast(DWORD type, DWORD a, DWORD b)
{
    SinkLockGuard guard;
    // First drop the sinks that have fallen behind; each drop changes the list, so look again.
    DWORD now = SinkCourier::Now();
    auto behind = [&](const Subscription* s) { return (s->mask & type) && s->courier->HasFallenBehind(now); };
    for (auto found = std::find_if(subscriptions_.begin(), subscriptions_.end(), behind); found != subscriptions_.end();
         found = std::find_if(subscriptions_.begin(), subscriptions_.end(), behind))
        Drop((*found)->courier, false);
    for (Subscription* subscription : subscriptions_)
    {
        if (subscription->mask & type)
            subscription->courier->Post(subscription, type, a, b);
    }
}

void SinkList::Drop(SinkCourier* courier, bool gone)
{
    SinkList& list = courier->GetFace() == SinkCourier::Face::Public ? Public() : Private();
    SinkLockGuard guard;
    courier->Drop();
    bool subscribed = false;
    for (auto at = list.subscriptions_.begin(); at != list.subscriptions_.end();)
    {
        if ((*at)->courier == courier)
        {
            subscribed = true;
            list.Unlink(at);
            at = list.subscriptions_.begin();
        }
        else
            ++at;
    }
    // A client that unsubscribed before it went is no news: it let go of what it held itself.
    if (gone && subscribed)
        courier->NoteGone();
}

bool SinkList::Shutdown(DWORD milliseconds)
{
    DWORD deadline = GetTickCount() + milliseconds;
    // Clients are still served meanwhile; none may subscribe again.
    SinkLock::Enter();
    gShuttingDown = true;
    SinkLock::Leave();
    SinkCourier::WaitDelivered(deadline);
    Public().Clear();
    Private().Clear();
    SinkCourier::CloseIdle();
    // The sinks that answered end their threads at once; a moment is left for them even when a
    // stuck one used up the time.
    DWORD endDeadline = GetTickCount() + kEndGrace;
    if (static_cast<LONG>(deadline - endDeadline) > 0)
        endDeadline = deadline;
    bool ended = SinkCourier::WaitEnded(endDeadline);
    SinkLock::Enter();
    gShuttingDown = false;
    SinkLock::Leave();
    return ended;
}

DWORD SinkList::FindCookie(IUnknown* identity) const
{
    for (const Subscription* subscription : subscriptions_)
    {
        if (subscription->courier->Identity() == identity)
            return subscription->cookie;
    }
    return 0;
}

bool SinkList::HasCookie(DWORD cookie) const
{
    return std::any_of(subscriptions_.begin(), subscriptions_.end(),
                       [cookie](const Subscription* s) { return s->cookie == cookie; });
}

HRESULT SinkList::CookieFor(IUnknown* identity, DWORD* cookie)
{
    // Caller holds SinkLock.
    if ((*cookie = Public().FindCookie(identity)) || (*cookie = Private().FindCookie(identity)))
        return S_OK;
    do
    {
        if (!RandomWord(cookie))
            return E_FAIL;
    } while (*cookie == 0 || Public().HasCookie(*cookie) || Private().HasCookie(*cookie));
    return S_OK;
}

SinkList& SinkList::Public()
{
    static SinkList list(SinkCourier::Face::Public);
    return list;
}

SinkList& SinkList::Private()
{
    static SinkList list(SinkCourier::Face::Private);
    return list;
}
