#pragma once
#include <windows.h>
#include <unknwn.h>

#include <vector>

#include "mixer/comserver/SinkCourier.h"

// SinkLock: the one critical section of the notification lists and their couriers. It is
// re-entrant, so a sink living in this apartment may Advise or Unadvise from inside its Notify.
class SinkLock
{
public:
    static void Enter();
    static void Leave();
};

class SinkLockGuard
{
public:
    SinkLockGuard() { SinkLock::Enter(); }
    ~SinkLockGuard() { SinkLock::Leave(); }
    SinkLockGuard(const SinkLockGuard&) = delete;
    SinkLockGuard& operator=(const SinkLockGuard&) = delete;
};

// A list of subscribed callback sinks, each with its notification mask and the client's value.
// Every access happens under SinkLock.
//
// No client can stall the server through it: Advise and Unadvise never call out (Unadvise only
// unlinks; the sink's reference is let go later by its courier), and Broadcast only queues each
// subscription's notification on the courier of its sink (SinkCourier), which calls the sink on
// a thread of its own. A sink that falls behind (SinkCourier::kStuckLimit, kQueueLimit) is
// dropped as if it had unsubscribed; so is a sink whose client has gone.
//
// The cookie is an unpredictable 32-bit number, so that no client can unsubscribe another by
// guessing: the same sink (the same object, by its IUnknown) has the same cookie while it has a
// subscription in either list, no two live sinks share one, and 0 is never a cookie. Unadvise removes the first subscription with
// that cookie.
class SinkList
{
public:
    explicit SinkList(SinkCourier::Face face) : face_(face) {}
    ~SinkList();
    SinkList(const SinkList&) = delete;
    SinkList& operator=(const SinkList&) = delete;

    // S_OK; E_POINTER for a null sink or cookie pointer; E_FAIL when out of memory, when the
    // sink cannot be reached from a delivery thread, or while the lists end (Shutdown). The
    // sink's owner is the caller (SinkCourier::Caller).
    HRESULT Advise(IUnknown* sink, DWORD mask, DWORD user, DWORD* cookie);
    // Always S_OK: an unknown cookie changes nothing.
    HRESULT Unadvise(DWORD cookie);
    // Unlinks every subscription.
    void Clear();

    // Queues the notification type (with the private list's two values a and b) for each sink
    // whose mask shares a bit with it, in list order; waits for no sink.
    void Broadcast(DWORD type, DWORD a, DWORD b);

    // The process-wide lists: public sinks (IKivCorvanNotify) and private sinks
    // (IKivCorvanEventSink).
    static SinkList& Public();
    static SinkList& Private();

    // Unlinks every subscription of a courier's sink, as if the client had unsubscribed it.
    // gone: its client was found gone; when the sink was still subscribed its owner is noted
    // (SinkCourier::NoteGone).
    static void Drop(SinkCourier* courier, bool gone);

    // The end of the lists, on the main thread at program end: waits, serving incoming calls,
    // until what is queued has been delivered, unlinks every subscription and waits for the
    // couriers to end, all within milliseconds (and half a second more when the deliveries took
    // it all); no sink can subscribe meanwhile. False when a
    // sink still keeps its courier (it has not returned from a call): the process must then end
    // without waiting for it.
    static bool Shutdown(DWORD milliseconds);

private:
    DWORD FindCookie(IUnknown* identity) const;
    bool HasCookie(DWORD cookie) const;
    static HRESULT CookieFor(IUnknown* identity, DWORD* cookie);
    void Unlink(std::vector<Subscription*>::iterator at);

    SinkCourier::Face face_;
    std::vector<Subscription*> subscriptions_; // guarded by SinkLock
};
