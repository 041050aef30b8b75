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

void StandinAutomation::Configure(bool keepCategory2, std::function<void(std::string)> log)
{
    std::lock_guard<std::mutex> lock(lock_);
    keepCategory2_ = keepCategory2;
    log_ = std::move(log);
}

int VARN_CALL StandinAutomation::EnableCategory2Items(int clientId, int* flag)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (log_)
        log_("EnableCategory2Items " + std::to_string(clientId) + (keepCategory2_ ? " keep" : " clear"));
    if (!flag)
        return 0;
    if (!keepCategory2_)
        *flag = 0;
    return 1;
}
