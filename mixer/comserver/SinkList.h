#pragma once
#include <windows.h>
#include <unknwn.h>

#include <new>
#include <vector>

// SinkLock: the one critical section of the notification lists. It is re-entrant, so a sink
// may Advise or Unadvise from inside its Notify on the broadcasting thread.
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
// A record is shared by the list and by every broadcast that copied it; the sink is released
// when the last of them lets go, so an Unadvise from inside a Notify cannot free what the
// running broadcast still walks. An unadvised record is not called again.
//
// The cookie is a 32-bit number of ours (pointers do not fit on 64-bit builds): the same sink
// gets the same cookie while it has a record in either list, and Unadvise removes the first
// record with that cookie.
class SinkList
{
public:
    SinkList() = default;
    ~SinkList();
    SinkList(const SinkList&) = delete;
    SinkList& operator=(const SinkList&) = delete;

    // S_OK; E_POINTER for a null sink or cookie pointer; E_FAIL when out of memory.
    HRESULT Advise(IUnknown* sink, DWORD mask, DWORD user, DWORD* cookie);
    // Always S_OK: an unknown cookie changes nothing.
    HRESULT Unadvise(DWORD cookie);
    // Releases every sink.
    void Clear();

    // Calls notify(sink, user) for each sink whose mask shares a bit with type. Results of
    // the sinks are the caller's to ignore.
    template <class Notify>
    void Broadcast(DWORD type, Notify notify);

    // The process-wide lists: public sinks (IKivCorvanNotify) and private sinks
    // (IKivCorvanEventSink).
    static SinkList& Public();
    static SinkList& Private();

private:
    struct Record
    {
        IUnknown* sink; // owned reference
        DWORD mask;
        DWORD user;
        DWORD cookie;
        int holders;    // the list and the broadcasts that copied it
        bool removed;
    };

    static void Drop(Record* record);
    static DWORD CookieFor(IUnknown* sink);
    DWORD FindCookie(IUnknown* sink) const;
    bool HasCookie(DWORD cookie) const;

    std::vector<Record*> records_; // guarded by SinkLock
};

template <class Notify>
void SinkList::Broadcast(DWORD type, Notify notify)
{
    SinkLockGuard guard;
    if (records_.empty())
        return;
    Record** copy = new (std::nothrow) Record*[records_.size()];
    if (!copy)
        return;
    size_t count = 0;
    for (Record* record : records_)
    {
        if (record && (record->mask & type))
        {
            ++record->holders;
            copy[count++] = record;
        }
    }
    for (size_t i = 0; i < count; ++i)
    {
        if (!copy[i]->removed && copy[i]->sink)
            notify(copy[i]->sink, copy[i]->user);
    }
    for (size_t i = 0; i < count; ++i)
        Drop(copy[i]);
    delete[] copy;
}
