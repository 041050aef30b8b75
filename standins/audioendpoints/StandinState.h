// The endpoints and the write log that every stand-in object of the process shares.
#pragma once

#include "standins/audioendpoints/AudioEndpointStandin.h"

#include <mutex>
#include <string>
#include <vector>

namespace kiv::standins
{

struct EndpointRecord
{
    EDataFlow flow;
    DWORD state;
    std::wstring id;
    StandinNameKind nameKind;
    std::wstring name;
    std::vector<BYTE> format; // empty: reading the format fails
    bool refuseWrites;
};

class StandinState
{
public:
    static StandinState& Instance();

    void Reset();
    void AddEndpoint(const StandinEndpoint& endpoint);
    // Identifiers and states of the endpoints of `flow` (or all flows) whose state is in `stateMask`.
    std::vector<std::pair<std::wstring, DWORD>> Endpoints(EDataFlow flow, DWORD stateMask);
    bool Find(LPCWSTR id, EndpointRecord* record);
    // Replaces the endpoint's name; false when there is no such endpoint.
    bool SetName(LPCWSTR id, std::wstring name);
    // Checks and records a format write; stores the format when it is accepted.
    HRESULT WriteFormat(LPCWSTR id, const kiv::vista::WaveFormat* format, bool mixFormatGiven);
    ULONG WriteCount();
    bool GetWrite(ULONG index, StandinFormatWrite* write);

    static void ObjectCreated();
    static void ObjectDestroyed();
    static LONG LiveObjects();

private:
    std::mutex lock_;
    std::vector<EndpointRecord> endpoints_;  // guarded by lock_
    std::vector<StandinFormatWrite> writes_; // guarded by lock_
    static LONG liveObjects_;                // changed only with Interlocked operations
};

// Base of every stand-in COM object: its reference count, and its place in the count of live
// objects.
class CountedObject
{
protected:
    CountedObject() { StandinState::ObjectCreated(); }
    virtual ~CountedObject() { StandinState::ObjectDestroyed(); }

    ULONG AddReference() { return InterlockedIncrement(&references_); }
    ULONG ReleaseReference()
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

private:
    LONG references_ = 1; // changed only with Interlocked operations
};

} // namespace kiv::standins
