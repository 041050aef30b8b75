// Starts the mixer program of the build's program folder against the simulated card and
// prints "shown" once its main frame is on screen; panel-shot takes the screenshot then. The
// program runs until the shot's prefix is ended.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/mainwindow/ProgramWindows.h"

int main()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::filesystem::path program =
        std::filesystem::path(self).parent_path() / ".." / ".." / "program" / "KivCorvanDSP.exe";
    std::string commandLine = "\"" + program.string() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    {
        std::printf("cannot start %s\n", program.string().c_str());
        return 1;
    }
    // Shown once a frame is up and the program has been idle a moment (its views are drawn).
    while (ProgramWindows(process.dwProcessId).empty())
    {
        if (WaitForSingleObject(process.hProcess, 200) == WAIT_OBJECT_0)
        {
            std::printf("the program ended\n");
            return 1;
        }
    }
    WaitForInputIdle(process.hProcess, 10000);
    std::printf("shown\n");
    std::fflush(stdout);
    WaitForSingleObject(process.hProcess, INFINITE);
    return 0;
}
