#pragma once
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "mixer/engine/VarnServices.h"

// A listener that keeps what the engine raised, in order, and whether every event came on the
// engine's thread (engineThread, set by the test).
class EventRecorder : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        heard.emplace_back(id, argument);
        onEngineThread = onEngineThread && std::this_thread::get_id() == engineThread;
        return 1;
    }
    std::vector<std::pair<int, VarnEventArg>> Take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto taken = heard;
        heard.clear();
        return taken;
    }
    std::mutex mutex;
    std::vector<std::pair<int, VarnEventArg>> heard;
    std::thread::id engineThread;
    bool onEngineThread = true;
};
