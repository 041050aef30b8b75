#pragma once
// An instance's link to the mixer program, made and ended on its services thread. This one
// never connects: the instance holds no channel pair and passes its audio through. The
// connecting link takes its place through CreateServicesLink, which each build of the
// plug-in file defines.

#include <cstdint>

class KivQuorvelEffect;

class ServicesLink
{
public:
    explicit ServicesLink(KivQuorvelEffect* effect) : m_effect(effect) {}
    virtual ~ServicesLink() = default;
    ServicesLink(const ServicesLink&) = delete;
    ServicesLink& operator=(const ServicesLink&) = delete;

    // The send and return pairs granted to the instance; false when it holds none.
    virtual bool GetSendReturnPair(int32_t* sendPair, int32_t* returnPair);
    // While the mixer program loads a session, driver errors are not shown.
    virtual bool IsLoadingSession() const;

protected:
    KivQuorvelEffect* Effect() const { return m_effect; }

private:
    KivQuorvelEffect* m_effect; // borrowed: the instance owns this link
};

// Services thread. Null when the link cannot be made.
ServicesLink* CreateServicesLink(KivQuorvelEffect* effect);
