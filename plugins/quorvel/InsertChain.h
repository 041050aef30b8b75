#pragma once
// This instance's inserts on the card's DSP, as the services link's notifications see them:
// detached while the mixer program loads a session, attached again after. The inserts
// themselves (and with them the parameter chain the host sees) come with the effect model;
// until then the chain is empty.

#include "mixer/comserver/ComInterfaces.h"
#include "plugins/quorvel/ServicesConnection.h"

#include <cstdint>

class InsertChain
{
public:
    explicit InsertChain(ServicesLinkOwner* owner) : m_owner(owner) {}
    InsertChain(const InsertChain&) = delete;
    InsertChain& operator=(const InsertChain&) = delete;

    bool IsAttached() const { return m_attached; }
    int32_t InsertCount() const { return 0; }

    // Services thread, a session load begins: the mixer program forgets the chain's flag,
    // the chain uses its local values.
    void Detach(IKivCorvanEffectServices* services, LONG clientId);
    void Invalidate(bool post);
    // Services thread, the load ended: the chain's flag again; false when refused.
    bool Attach(IKivCorvanEffectServices* services, LONG clientId);
    // Every insert reads its bypass and solo again; with post the editor hears of it.
    void ReadBypassSolo(bool post);
    // Services thread: an effect's preset list changed; the matching inserts follow it.
    void OnParamModelChange(const KivParamModelChange& change);

private:
    void MarkAttached();

    ServicesLinkOwner* m_owner; // borrowed: the instance owns the link that owns this chain
    bool m_attached = true;     // services thread
};
