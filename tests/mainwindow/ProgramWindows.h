// The windows a person sees of a running mixer program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace program_windows
{
struct Search
{
    DWORD processId;
    std::vector<HWND> found;
};

inline BOOL CALLBACK Collect(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && IsWindowVisible(window) && std::string(name) != "Varn Services")
        search->found.push_back(window);
    return TRUE;
}
} // namespace program_windows

// The program's visible top-level windows other than its application window.
inline std::vector<HWND> ProgramWindows(DWORD processId)
{
    program_windows::Search search{processId, {}};
    EnumWindows(&program_windows::Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
