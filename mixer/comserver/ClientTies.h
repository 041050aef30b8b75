#pragma once
#include <windows.h>

#include <vector>

// The clients registered with the engine through the effect services, each tied to its owner:
// the logical thread that registered it (SinkCourier::Caller), the same that subscribes the
// client's sinks. When a sink of an owner is found gone while still subscribed, the server lets
// go of that owner's registrations and pairs as if the client had given them back and
// unregistered. A client whose calls come from a thread that subscribed no sink is never found
// gone: its registrations last until it unregisters. Used on the main thread only (the
// server's apartment).
class ClientTies
{
public:
    struct Registration
    {
        LONG client;
        GUID owner;
        bool holdsPair;
    };

    static ClientTies& Get();

    // Out of memory, a registration is not tied: it stays until its client unregisters.
    void Registered(LONG client, const GUID& owner);
    void Unregistered(LONG client);
    // A client not registered here changes nothing.
    void PairTaken(LONG client);
    void PairGiven(LONG client);
    // The owners of the registrations that hold a pair, each once.
    std::vector<GUID> PairHolders() const;
    // Removes the registrations of these owners and gives them back.
    std::vector<Registration> TakeRegistrationsOf(const std::vector<GUID>& owners);

private:
    Registration* Find(LONG client);

    std::vector<Registration> registrations_; // owned by the main thread
};
