// Hosts (tools/vsthost) one after another, each with many KivQuorvel instances, against one
// mixer program: the program lets go of the sinks of every instance that went, and the one
// program that served the first host still serves the last.
#include "mixer/comserver/SinkCourier.h"
#include "plugins/quorvel/tests/QuorvelTrip.h"
#include "plugins/quorvel/tests/WithTheMixer.h"
#include "tests/mixer/MixerServer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace
{

// The running mixer program's process, to tell it from one started again after a crash.
HANDLE OpenMixerProcess()
{
    HWND mixer = FindWindowA("Varn Services", nullptr);
    DWORD process = 0;
    if (!mixer || !GetWindowThreadProcessId(mixer, &process))
        return nullptr;
    return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process);
}

// Six hosts one after another, each with 33 instances open while one of them runs and all
// closed as the host ends: the mixer lets go of every sink's proxies without a crash and still
// answers (the last host's instance gets a pair), and it ends well. Before, its delivery threads
// released the proxies of the gone clients at once and crashed it.
TEST_F(QuorvelWithTheMixer, SixHostsOfThirtyThreeInstancesLeaveTheMixerAnswering)
{
    HANDLE mixer = OpenMixerProcess();
    ASSERT_NE(mixer, nullptr) << GetLastError();
    for (int host = 0; host < 6; ++host)
    {
        const HostRun run = RunHost(KIV_VSTHOST, KIV_QUORVEL, "--open 32 --blocks 40");
        ASSERT_EQ(run.exitCode, 0u) << host << run.output;
        EXPECT_NE(run.output.find("open: 32 of 32 made"), std::string::npos) << host << run.output;
    }
    // The mixer lets go of the last sinks once they have lingered.
    Sleep(SinkCourier::kLinger + 5000);
    EXPECT_EQ(WaitForSingleObject(mixer, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the first mixer program still runs";
    CloseHandle(mixer);
    const Trip last = RunTripThroughTheCard(KIV_QUORVEL);
    ASSERT_EQ(last.run.exitCode, 0u) << last.run.output;
    EXPECT_EQ(last.measured, 1791) << "the mixer answers: a pair runs" << last.run.output;
    ReleaseServices();
    EXPECT_TRUE(EndMixerProgram()) << "the mixer ends well";
}

} // namespace
