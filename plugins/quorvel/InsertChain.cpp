#include "plugins/quorvel/InsertChain.h"

#include "plugins/quorvel/EditorMessages.h"

void InsertChain::Detach(IKivCorvanEffectServices* services, LONG clientId)
{
    if (services && services->ClearInsertChainFlag(clientId) == S_OK)
    {
        Invalidate(true);
    }
}

void InsertChain::Invalidate(bool post)
{
    m_attached = false;
    if (InsertCount() > 0)
    {
        m_owner->RebuildParamMap();
        if (post)
        {
            m_owner->PostToPanel(kMessageChainDetached, 0, 0);
        }
    }
}

bool InsertChain::Attach(IKivCorvanEffectServices* services, LONG clientId)
{
    if (!services || services->SetInsertChainFlag(clientId) != S_OK)
    {
        return false;
    }
    MarkAttached();
    return true;
}

void InsertChain::MarkAttached()
{
    m_attached = true;
    m_owner->RebuildParamMap();
    m_owner->PostToPanel(kMessageChainAttached, 0, 0);
}

void InsertChain::ReadBypassSolo(bool post)
{
    // No insert is held yet: only the editor hears of it.
    if (post)
    {
        m_owner->PostToPanel(kMessageSwitchesRead, 0, 0);
    }
}

void InsertChain::OnParamModelChange(const KivParamModelChange&)
{
    // No insert runs an effect yet.
}
