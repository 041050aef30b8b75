// Serves this thread's messages - the calls that come into its apartment, posted messages -
// until done() holds or milliseconds have passed; false on time-out. For Windows tests and
// programs that wait for COM calls or for messages of their own thread.
#pragma once

#include <windows.h>

template <class Done>
bool PumpUntil(Done done, DWORD milliseconds = 60000)
{
    DWORD start = GetTickCount();
    while (!done())
    {
        if (GetTickCount() - start > milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return true;
}
