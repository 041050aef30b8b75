#include "standins/engine/StandinAutomation.h"

int VARN_CALL StandinAutomation::RegisterClient(int* clientId)
{
    if (!clientId)
        return 0;
    std::lock_guard<std::mutex> lock(lock_);
    *clientId = nextClient_++;
    clients_.insert(*clientId);
    return 1;
}

int VARN_CALL StandinAutomation::UnregisterClient(int clientId)
{
    std::lock_guard<std::mutex> lock(lock_);
    return clients_.erase(clientId) ? 1 : 0;
}
