#pragma once
// For tests that start the mixer program as the COM local server in their prefix: its
// registration, and its end (it runs until told to end).

#include <objbase.h>
#include <windows.h>

#include <string>

// Runs a program and waits for it (60 s at most); its exit code, 0xFFFFFFFF when it did not
// start.
inline DWORD RunAndWait(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0xFFFFFFFF;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Registers the program's class and its proxy/stub library: the marshalling must be known
// before the first call reaches the server.
inline bool RegisterMixerServer(const std::string& program, const std::string& proxyStub)
{
    if (RunAndWait("\"" + program + "\" -RegServer") != 0)
        return false;
    HMODULE library = LoadLibraryA(proxyStub.c_str());
    if (!library)
        return false;
    auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
    const bool registered = registerServer && registerServer() == S_OK;
    FreeLibrary(library);
    return registered;
}

// Ends the running mixer program, found by its application window.
inline void EndMixerProgram()
{
    if (HWND window = FindWindowA("Varn Services", nullptr))
    {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id))
        {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
}
