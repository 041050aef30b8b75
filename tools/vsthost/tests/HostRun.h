#pragma once
// Runs tools/vsthost on a plug-in under Wine and collects what it printed, for end-to-end
// tests.

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

// A file name in the (per-prefix) temporary folder.
inline std::string TempPath(const std::string& name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

struct HostRun
{
    DWORD exitCode = 1;
    std::string output;
};

inline HostRun RunHost(const std::string& host, const std::string& plugin, const std::string& arguments)
{
    HostRun run;
    const std::string log = TempPath("vsthost-test-" + std::to_string(GetCurrentProcessId()) + ".log");
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE file = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + WindowsPath(host) + "\" \"" + WindowsPath(plugin) + "\" " + arguments;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    {
        ADD_FAILURE() << "vsthost did not start: " << GetLastError();
        CloseHandle(file);
        return run;
    }
    WaitForSingleObject(process.hProcess, 120000);
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
