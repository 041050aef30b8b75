#pragma once
#include <chrono>
#include <thread>

#include "mixer/engine/VarnServices.h"

// A monitor level left at exactly 0.0 is moved to -10.0 and back after a millisecond: the card
// takes a level only when it changes, and 0.0 is where a new route starts. Nothing is written
// at any other level or without a main mix.
inline void KickMonitorLevel(IVarnMainMix* mix)
{
    if (!mix || mix->GetMonitorLevel() != 0.0f)
        return;
    mix->SetMonitorLevel(-10.0f, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    mix->SetMonitorLevel(0.0f, 0);
}
