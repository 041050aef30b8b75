#pragma once
#include <windows.h>
#include <unknwn.h>

#include <deque>
#include <vector>

class SinkCourier;

// One Advise: its mask, the client's value and its cookie. Shared by its list and by every
// notification queued for it; freed when the last of them lets go (SinkCourier::LetGo).
// Guarded by SinkLock.
struct Subscription
{
    SinkCourier* courier; // the courier of its sink; the subscription counts as one of its users
    DWORD mask;
    DWORD user;
    DWORD cookie;
    int holders;  // the list and the queued notifications
    bool removed; // unlinked from its list: not called again
};

// Delivers the notifications of one subscribed sink on a thread of its own, in the order they
// were queued, so that a sink that blocks holds up no other sink and not the main thread.
//
// The sink is marshalled to that thread when the courier starts. The thread is an apartment of
// its own (single-threaded): its proxy of the sink is unmarshalled, called and released by that
// thread alone and shares nothing with another courier's. In one apartment shared by the
// delivery threads, the proxies of sinks of one client apartment share that apartment's remote
// unknown, and two threads letting go of theirs at once (clients gone, every release failing at
// once) freed it under each other. The main apartment keeps its own reference, which identifies
// the sink while it is subscribed. Releasing a proxy calls back into its client, so the main
// apartment's reference is let go only after the delivery thread has ended (the sink answered
// its last call or its client is gone), on the main thread outside any incoming call: the
// thread's end posts a message to a window of ours that releases it (ReleaseEnded).
//
// Each sink has an owner: the logical thread of the client that subscribed it, the tie between
// a client's sinks and its registrations with the engine (ClientTies). When the sink's client is
// found gone while the sink is still subscribed (a call fails as IsGone says), its owner is
// noted and the main thread is told (SetGoneHandler). Probe asks a sink whether its client is
// still there without notifying it.
//
// When its last subscription goes, a courier lingers for kLinger milliseconds: a client that
// subscribes the same sink again meanwhile gets it back, so that clients which subscribe and
// unsubscribe in a loop cost neither a thread nor a release (a call into the client) each time.
// Then, or when it is dropped or the lists end, it closes; its thread ends after the call it is
// in. Every field is guarded by SinkLock; the calls into the sink are made without it.
class SinkCourier
{
public:
    // Which interface the sink has: IKivCorvanNotify (public list) or IKivCorvanEventSink.
    enum class Face
    {
        Public,
        Private
    };

    // A sink falls behind when it keeps one notification longer than kStuckLimit milliseconds
    // or lets kQueueLimit notifications queue up.
    static constexpr DWORD kStuckLimit = 5000;
    static constexpr size_t kQueueLimit = 1000;
    static constexpr DWORD kLinger = 10000;

    // Starts delivery to sink (on the main thread, which owns the sink's reference); identity
    // is the sink's object (its IUnknown), kept without a reference of its own; owner is the
    // logical thread that subscribed it. Null when out of memory or when the sink cannot be
    // marshalled; nothing is held then. The courier starts with subscription, its first.
    static SinkCourier* Start(IUnknown* sink, IUnknown* identity, Face face, const GUID& owner,
                              Subscription* subscription);

    IUnknown* Identity() const { return identity_; }
    Face GetFace() const { return face_; }

    // The client the incoming call being served comes from, by the call's logical thread
    // (CoGetCurrentLogicalThreadId): a call a client makes from inside a notification carries
    // the delivery thread's, and is its sink's owner's; any other call is its own.
    static GUID Caller();
    // Asks every sink of these owners that has a subscription whether its client is still
    // there, and waits, serving incoming calls, until each has answered or until deadline (a
    // tick count). A sink whose client is gone is dropped and its owner noted (TakeGoneOwners).
    static void Probe(const std::vector<GUID>& owners, DWORD deadline);
    // Called on the main thread, outside any incoming call, after owners were noted as gone.
    typedef void (*GoneHandler)();
    static void SetGoneHandler(GoneHandler handler);
    // The owners noted as gone since the last call, each once.
    static std::vector<GUID> TakeGoneOwners();
    // Notes the owner of a dropped sink that was still subscribed when its client was found gone.
    // Caller holds SinkLock.
    void NoteGone();

    // A lingering or subscribed courier of the same sink (by identity) and face that may take a
    // new subscription; null when there is none.
    static SinkCourier* Find(IUnknown* identity, Face face);
    // Makes a new subscription one of this courier's.
    void Subscribe(Subscription* subscription);
    // The courier closes as soon as it has no subscription: dropped sinks do not linger.
    void Drop();
    // Closes every courier that has no subscription (the lists' end).
    static void CloseIdle();
    // How long couriers linger (kLinger unless a test sets its own).
    static void SetLinger(DWORD milliseconds);
    // Lets go of one holder of a subscription; the last frees it, and the courier's last
    // subscription closes the courier.
    static void LetGo(Subscription* subscription);

    // Queues one notification for a subscription of this courier.
    void Post(Subscription* subscription, DWORD type, DWORD a, DWORD b);
    // See kStuckLimit; now by Now().
    bool HasFallenBehind(DWORD now) const;

    // Waits, serving incoming calls, until no courier has a notification of a live subscription
    // to deliver, or until deadline (a tick count); true when all were delivered.
    static bool WaitDelivered(DWORD deadline);
    // Waits, serving incoming calls, until every courier's thread has ended and what it held is
    // released, or until deadline, or until only couriers in a call are left; true when no
    // courier is left.
    static bool WaitEnded(DWORD deadline);
    // Releases the main apartment's references of the couriers whose threads have ended and
    // frees them. Main thread, outside any incoming call.
    static void ReleaseEnded();
    // True when no courier is left: nothing of a sink is held any more.
    static bool NoneLeft();

    // The clock of the delivery times (milliseconds): the system's tick count, unless a test sets
    // its own (null: the system's again).
    typedef DWORD (*Clock)();
    static void SetClock(Clock clock);
    static DWORD Now();

private:
    // A notification, or a probe (no subscription; a is its round).
    struct Notification
    {
        Subscription* subscription; // holds it; null for a probe
        DWORD type, a, b;
    };

    SinkCourier(IUnknown* identity, Face face, const GUID& owner) : identity_(identity), face_(face), owner_(owner) {}
    ~SinkCourier();
    SinkCourier(const SinkCourier&) = delete;
    SinkCourier& operator=(const SinkCourier&) = delete;

    static DWORD WINAPI Run(void* self);
    void Deliver(IUnknown* sink);
    bool Answered(DWORD round) const;
    bool HasWork() const;
    void Close();

    IUnknown* sink_ = nullptr; // the main apartment's reference; null when the start failed
    IUnknown* identity_;       // borrowed: lives as long as sink_
    Face face_;
    GUID owner_;
    GUID causality_ = GUID_NULL; // the delivery thread's logical thread, once it runs
    IStream* stream_ = nullptr;  // the sink marshalled for the delivery thread, until it takes it
    HANDLE thread_ = nullptr;
    HANDLE wake_ = nullptr; // set when a notification is queued or the courier closes
    std::deque<Notification> queue_;
    Subscription* current_ = nullptr; // the subscription whose call is running
    DWORD callStart_ = 0;
    int subscriptions_ = 0;
    DWORD probeAsked_ = 0;    // the last round of probes queued here
    DWORD probeAnswered_ = 0; // the last round of probes answered here
    bool closed_ = false;
    bool dropped_ = false;
    bool ended_ = false; // the thread has finished with everything but its handle
};
