// Starts a helper program of a test. Under Wine on a busy machine a new process now and then
// ends in its own start-up, before its first instruction of ours: CreateProcess then fails
// with ERROR_INTERNAL_ERROR. Such a start is made again (three tries in all); any other
// failure is answered at once. On failure the system's error is left for GetLastError.
#pragma once

#include <windows.h>

#include <string>

inline bool StartProcess(const char* application, const std::string& commandLine, BOOL inheritHandles,
                         const STARTUPINFOA& startup, PROCESS_INFORMATION* process)
{
    for (int attempt = 1;; ++attempt)
    {
        // CreateProcessA may write into the command line.
        std::string line = commandLine;
        STARTUPINFOA info = startup;
        if (CreateProcessA(application, &line[0], nullptr, nullptr, inheritHandles, 0, nullptr, nullptr, &info,
                           process))
        {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3)
        {
            SetLastError(error);
            return false;
        }
        Sleep(500);
    }
}
