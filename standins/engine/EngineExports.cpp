// KivCorvanDSP.dll: the simulated services engine as the program loads it, and the handles
// tests use to drive it.
#include <new>
#include <string>

#include "standins/engine/StandinServices.h"

extern "C" IVarnServices* CreateVarnServices()
{
    try
    {
        return new StandinServices;
    }
    catch (...) // no memory or no thread: the program reports a missing component
    {
        return nullptr;
    }
}

// Raises an engine event as the card would (tests only).
extern "C" void KivEngineRaiseEvent(IVarnServices* engine, int id, VarnEventArg argument)
{
    if (engine)
        static_cast<StandinServices*>(engine)->RaiseEvent(id, argument);
}

// Copies the call log, one entry a line, into buffer; answers the length the whole log needs.
extern "C" int KivEngineCallLog(IVarnServices* engine, char* buffer, int size)
{
    if (!engine)
        return 0;
    std::string text;
    for (const std::string& entry : static_cast<StandinServices*>(engine)->GetCallLog())
        text += entry + "\n";
    if (buffer && size > 0)
    {
        size_t count = text.size() < static_cast<size_t>(size) ? text.size() : static_cast<size_t>(size - 1);
        text.copy(buffer, count);
        buffer[count] = 0;
    }
    return static_cast<int>(text.size()) + 1;
}
