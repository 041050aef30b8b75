#pragma once
// The fixture of the tests that run KivQuorvel with the mixer program: the program registered
// as the COM server of the test's prefix, kept running by a reference of the test's own for
// each case, and ended with its quit message after the last one.
#include "mixer/comcontract/ComInterfaces.h"
#include "standins/engine/EngineControl.h"
#include "tests/mixer/MixerServer.h"
#include "tools/vsthost/tests/HostRun.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <string>

// The running mixer program's engine's answer to a control request.
inline std::string EngineRequest(const std::string& request)
{
    HWND mixer = FindWindowA("Varn Services", nullptr);
    DWORD process = 0;
    std::string reply;
    if (!mixer || !GetWindowThreadProcessId(mixer, &process) || !SendControlRequest(process, request, reply))
    {
        return "(no answer)";
    }
    return reply;
}

// The call log of the running mixer program's engine, through the engine's control channel.
inline std::string EngineLog()
{
    return EngineRequest("log");
}

class QuorvelWithTheMixer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        program_ = new ScratchMixerProgram(WindowsPath(KIV_MIXER), WindowsPath(KIV_MIXER_PS));
        ASSERT_TRUE(program_->Registered());
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    static void TearDownTestSuite()
    {
        // The server runs until it is told to end: end it for the next run.
        EXPECT_TRUE(EndMixerProgram());
        CoUninitialize();
        delete program_;
        program_ = nullptr;
    }
    void SetUp() override
    {
        // The plug-in never starts the mixer program: this reference starts it (again, after a
        // case that ended it) and keeps it.
        ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                                   reinterpret_cast<void**>(&services_)),
                  S_OK);
    }
    void TearDown() override { ReleaseServices(); }
    static inline ScratchMixerProgram* program_ = nullptr; // the suite's copy of the program
    static void ReleaseServices()
    {
        if (services_)
        {
            services_->Release();
            services_ = nullptr;
        }
    }

public:
    static IKivCorvanServices* Services() { return services_; }

protected:
    static inline IKivCorvanServices* services_ = nullptr;
};
