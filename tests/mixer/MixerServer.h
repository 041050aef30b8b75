#pragma once
// For tests that start the mixer program as the COM local server in their prefix: its
// registration, and its end (it runs until told to end).

#include "mixer/app/Application.h"
#include "mixer/names/WindowMessages.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/StartProcess.h"

#include <objbase.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

// Runs a program and waits for it (60 s at most); its exit code, 0xFFFFFFFF when it did not
// start.
inline DWORD RunAndWait(const std::string& commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!StartProcess(nullptr, commandLine, FALSE, startup, &process))
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

// A copy of the mixer program's folder in a scratch folder of the test's own, registered as the
// prefix's server: what the program's library keeps as files (categories, user presets) goes to
// the copy, never to the build tree, so every run starts from the folder as built.
class ScratchMixerProgram
{
public:
    ScratchMixerProgram(const std::string& program, const std::string& proxyStub) : folder_("kiv-mixer-copy")
    {
        const std::filesystem::path built(program);
        std::error_code error;
        std::filesystem::copy(built.parent_path(), folder_.Path(), std::filesystem::copy_options::recursive, error);
        registered_ = !error && RegisterMixerServer((folder_.Path() / built.filename()).string(), proxyStub);
    }
    bool Registered() const { return registered_; }
    const std::filesystem::path& Folder() const { return folder_.Path(); }

private:
    ScratchFolder folder_;
    bool registered_ = false;
};

// Ends the running mixer program, found by its application window, as the user's quit does:
// its subscribers hear Terminate and it revokes its class, so the next activation in the prefix
// starts it afresh (after a killed program the next CoCreateInstance failed with
// RPC_S_SERVER_UNAVAILABLE). Serves this thread's messages meanwhile; true when no mixer
// program runs any more and the one that ran ended well (exit code 0, no crash).
inline bool EndMixerProgram()
{
    HWND window = FindWindowA("Varn Services", nullptr);
    if (!window)
        return true;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
    if (!process)
        return false;
    PostMessageA(window, WindowMessage::kQuit, 0, 0);
    const bool ended = PumpUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return ended && code == 0;
}
