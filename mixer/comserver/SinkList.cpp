#include "mixer/comserver/SinkList.h"

#include <algorithm>

namespace
{
// Lives as long as the process: the lists may still be emptied during static destruction.
CRITICAL_SECTION& Section()
{
    static CRITICAL_SECTION* section = [] {
        auto* created = new CRITICAL_SECTION;
        InitializeCriticalSection(created);
        return created;
    }();
    return *section;
}

DWORD lastCookie = 0; // guarded by SinkLock
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
    SinkLockGuard guard;
    Record* record = new (std::nothrow) Record{sink, mask, user, CookieFor(sink), 1, false};
    if (!record)
        return E_FAIL;
    try
    {
        records_.push_back(record);
    }
    catch (const std::bad_alloc&)
    {
        delete record;
        return E_FAIL;
    }
    sink->AddRef();
    *cookie = record->cookie;
    return S_OK;
}

HRESULT SinkList::Unadvise(DWORD cookie)
{
    SinkLockGuard guard;
    auto found = std::find_if(records_.begin(), records_.end(),
                              [cookie](const Record* r) { return r->cookie == cookie; });
    if (found != records_.end())
    {
        Record* record = *found;
        records_.erase(found);
        record->removed = true;
        Drop(record);
    }
    return S_OK;
}

void SinkList::Clear()
{
    SinkLockGuard guard;
    std::vector<Record*> records;
    records.swap(records_);
    for (Record* record : records)
    {
        record->removed = true;
        Drop(record);
    }
}

DWORD SinkList::FindCookie(IUnknown* sink) const
{
    for (const Record* record : records_)
    {
        if (record->sink == sink)
            return record->cookie;
    }
    return 0;
}

bool SinkList::HasCookie(DWORD cookie) const
{
    return std::any_of(records_.begin(), records_.end(),
                       [cookie](const Record* r) { return r->cookie == cookie; });
}

void SinkList::Drop(Record* record)
{
    if (--record->holders > 0)
        return;
    record->sink->Release();
    delete record;
}

DWORD SinkList::CookieFor(IUnknown* sink)
{
    // Caller holds SinkLock.
    if (DWORD cookie = Public().FindCookie(sink))
        return cookie;
    if (DWORD cookie = Private().FindCookie(sink))
        return cookie;
    // A fresh number that no record holds; 0 is never a cookie.
    do
        ++lastCookie;
    while (lastCookie == 0 || Public().HasCookie(lastCookie) || Private().HasCookie(lastCookie));
    return lastCookie;
}

SinkList& SinkList::Public()
{
    static SinkList list;
    return list;
}

SinkList& SinkList::Private()
{
    static SinkList list;
    return list;
}
