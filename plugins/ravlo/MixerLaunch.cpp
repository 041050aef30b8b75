#include "plugins/ravlo/MixerLaunch.h"

#include <windows.h>

#include <cstdio>
#include <string>

bool LaunchMixer()
{
    char keyName[512];
    std::snprintf(keyName, sizeof(keyName), "%s\\%s", kBrandingKey, kCardInstanceId);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    {
        return false;
    }
    char path[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH; // one byte kept for the terminator the value may lack
    DWORD type = 0;
    const LONG read = RegQueryValueExA(key, kLaunchPathValue, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
    {
        return false;
    }
    // The value names the program alone; it may come quoted. The program is named apart from
    // the command line so that a path with blanks cannot start a program at a prefix of it.
    std::string program(path);
    if (program.size() >= 2 && program.front() == '"' && program.back() == '"')
    {
        program = program.substr(1, program.size() - 2);
    }
    if (program.empty())
    {
        return false;
    }
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
    {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
