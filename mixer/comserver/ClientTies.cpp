#include "mixer/comserver/ClientTies.h"

#include <algorithm>
#include <iterator>
#include <new>

ClientTies& ClientTies::Get()
{
    static ClientTies ties;
    return ties;
}

ClientTies::Registration* ClientTies::Find(LONG client)
{
    auto found = std::find_if(registrations_.begin(), registrations_.end(),
                              [client](const Registration& r) { return r.client == client; });
    return found == registrations_.end() ? nullptr : &*found;
}

void ClientTies::Registered(LONG client, const GUID& owner)
{
    if (Registration* known = Find(client))
    {
        *known = {client, owner, false};
        return;
    }
    try
    {
        registrations_.push_back({client, owner, false});
    }
    catch (const std::bad_alloc&)
    {
    }
}

void ClientTies::Unregistered(LONG client)
{
    registrations_.erase(std::remove_if(registrations_.begin(), registrations_.end(),
                                        [client](const Registration& r) { return r.client == client; }),
                         registrations_.end());
}

void ClientTies::PairTaken(LONG client)
{
    if (Registration* known = Find(client))
        known->holdsPair = true;
}

void ClientTies::PairGiven(LONG client)
{
    if (Registration* known = Find(client))
        known->holdsPair = false;
}

std::vector<GUID> ClientTies::PairHolders() const
{
    std::vector<GUID> owners;
    for (const Registration& registration : registrations_)
    {
        if (registration.holdsPair && std::find(owners.begin(), owners.end(), registration.owner) == owners.end())
            owners.push_back(registration.owner);
    }
    return owners;
}

std::vector<ClientTies::Registration> ClientTies::TakeRegistrationsOf(const std::vector<GUID>& owners)
{
    auto gone = [&owners](const Registration& r) {
        return std::find(owners.begin(), owners.end(), r.owner) != owners.end();
    };
    std::vector<Registration> taken;
    std::copy_if(registrations_.begin(), registrations_.end(), std::back_inserter(taken), gone);
    registrations_.erase(std::remove_if(registrations_.begin(), registrations_.end(), gone), registrations_.end());
    return taken;
}
