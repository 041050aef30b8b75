// The windows a person sees of a running mixer program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The program's visible top-level windows other than its application window.
inline std::vector<HWND> ProgramWindows(DWORD processId)
{
    struct Search
    {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s->processId && IsWindowVisible(window) && std::string(name) != "Varn Services")
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
