#pragma once
// Runs tools/vsthost on a plug-in under Wine and collects what it printed, for end-to-end
// tests.

#include "tests/support/ScratchFolder.h"
#include "tests/support/StartProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// Wine shows the build tree's folders on drive Z:.
inline std::string WindowsPath(std::string path)
{
    for (char& c : path)
    {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + path;
}

struct HostRun
{
    DWORD exitCode = 1;
    std::string output;
};

// Waits up to timeoutMs for the host; one still running then is ended (exit code kHostTimedOut).
constexpr DWORD kHostTimedOut = 0xDEAD;
inline HostRun RunHost(const std::string& host, const std::string& plugin, const std::string& arguments,
                       DWORD timeoutMs = 120000)
{
    HostRun run;
    const ScratchFolder folder("kiv-vsthost-run");
    const std::string log = (folder / "vsthost.log").string();
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE file = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process{};
    const std::string command = "\"" + WindowsPath(host) + "\" \"" + WindowsPath(plugin) + "\" " + arguments;
    if (!StartProcess(nullptr, command, TRUE, startup, &process))
    {
        ADD_FAILURE() << "vsthost did not start: " << GetLastError();
        CloseHandle(file);
        return run;
    }
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
    {
        TerminateProcess(process.hProcess, kHostTimedOut);
        WaitForSingleObject(process.hProcess, 10000);
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(file);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();
    DeleteFileA(log.c_str());
    return run;
}

// The number that follows `label` in the host's report, or -1.
inline int Reported(const std::string& output, const std::string& label)
{
    const size_t at = output.find(label);
    return at == std::string::npos ? -1 : std::atoi(output.c_str() + at + label.size());
}
