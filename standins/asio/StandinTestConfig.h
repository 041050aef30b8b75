#pragma once
// For tests in the stand-in's process: writes a configuration of the simulated card to a
// temporary file and points the stand-in at it for the objects created meanwhile.

#include "standins/asio/AsioStandin.h"

#include <windows.h>

#include <cstdio>
#include <string>

class StandinTestConfig
{
public:
    explicit StandinTestConfig(const std::string& text)
    {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        char path[MAX_PATH] = {};
        GetTempFileNameA(folder, "asi", 0, path);
        path_ = path;
        if (FILE* file = std::fopen(path, "w"))
        {
            std::fputs(text.c_str(), file);
            std::fclose(file);
        }
        SetEnvironmentVariableA(kStandinConfigVariable, path);
    }
    ~StandinTestConfig()
    {
        SetEnvironmentVariableA(kStandinConfigVariable, nullptr);
        DeleteFileA(path_.c_str());
    }
    StandinTestConfig(const StandinTestConfig&) = delete;
    StandinTestConfig& operator=(const StandinTestConfig&) = delete;

private:
    std::string path_;
};

// A control function of the loaded stand-in (null before any of its objects exists).
template <typename Proc>
Proc StandinControl(const char* name)
{
    HMODULE module = GetModuleHandleA(kStandinModuleName);
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The loaded stand-in's call log, one call a line.
inline std::string StandinCallLog()
{
    auto log = StandinControl<StandinAsioCallLogProc>("StandinAsioCallLog");
    std::string text(static_cast<size_t>(log(nullptr, 0)) + 1, '\0');
    log(&text[0], static_cast<int32_t>(text.size()));
    text.resize(text.size() - 1);
    return text;
}
