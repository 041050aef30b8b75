#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/StartProcess.h"

namespace
{

struct Process
{
    PROCESS_INFORMATION info = {};
    ~Process()
    {
        if (info.hProcess)
        {
            if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(info.hProcess, 99);
            ::CloseHandle(info.hProcess);
            ::CloseHandle(info.hThread);
        }
    }
    bool Start(const std::string& mode)
    {
        char path[MAX_PATH];
        ::GetModuleFileNameA(nullptr, path, sizeof path);
        std::string probe(path);
        probe = probe.substr(0, probe.rfind('\\') + 1) + "single_instance_probe.exe";
        const std::string line = "\"" + probe + "\" " + mode;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        return StartProcess(probe.c_str(), line, FALSE, startup, &info);
    }
    DWORD WaitExit(DWORD milliseconds)
    {
        if (::WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0)
            return 0xFFFFFFFF;
        DWORD code = 0;
        ::GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

TEST(SingleInstance, ASecondStartWakesTheFirstAndEnds)
{
    Process first;
    ASSERT_TRUE(first.Start("first"));
    // A process start under Wine on a loaded machine can take tens of seconds: wait for the
    // window as long as the first instance lives, up to two minutes.
    HWND running = nullptr;
    for (int i = 0; i < 2400 && !running; ++i)
    {
        if (::WaitForSingleObject(first.info.hProcess, 50) == WAIT_OBJECT_0)
            break;
        running = ::FindWindowA("KivProbeWnd", "Kiv Probe");
    }
    ASSERT_NE(running, nullptr) << "the first instance did not come up";

    Process second;
    ASSERT_TRUE(second.Start("second"));
    EXPECT_EQ(second.WaitExit(120000), 0u) << "the second start must create nothing and answer 0";
    EXPECT_EQ(first.WaitExit(120000), 101u) << "the first instance must see the activation once";
}

} // namespace
