#include "standins/asio/StandinLog.h"

#include <atomic>
#include <mutex>

namespace
{

std::mutex gLogLock;
std::string gLog; // guarded by gLogLock
std::atomic<int32_t> gSwitches{0};
std::atomic<int32_t> gOutputReadyCalls{0};

} // namespace

namespace StandinLog
{

void Add(const std::string& call)
{
    std::lock_guard<std::mutex> lock(gLogLock);
    gLog += call;
    gLog += '\n';
}

std::string Text()
{
    std::lock_guard<std::mutex> lock(gLogLock);
    return gLog;
}

void Clear()
{
    std::lock_guard<std::mutex> lock(gLogLock);
    gLog.clear();
    gSwitches = 0;
    gOutputReadyCalls = 0;
}

void CountSwitch()
{
    ++gSwitches;
}

void CountOutputReady()
{
    ++gOutputReadyCalls;
}

void Counters(int32_t* switches, int32_t* outputReadyCalls)
{
    *switches = gSwitches;
    *outputReadyCalls = gOutputReadyCalls;
}

} // namespace StandinLog
