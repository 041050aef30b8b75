// The COM server across processes: this test is a client of KivCorvanDSP.exe, started by COM
// from the build's program folder, and drives its broadcasts through the application's test
// hooks.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <deque>
#include <string>

#include "mixer/app/Application.h"
#include "tests/comserver/Sinks.h"

namespace
{
std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    char folder[MAX_PATH];
    PathCombineA(folder, path, "..\\..\\program");
    return folder;
}

std::string TestFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    return path;
}

DWORD RunAndWait(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0xFFFFFFFF;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Serves incoming calls (this apartment's sinks) until done() or the time is up.
template <class Done>
bool PumpUntil(Done done, DWORD milliseconds = 60000)
{
    DWORD start = GetTickCount();
    while (!done())
    {
        if (GetTickCount() - start > milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return true;
}

class ComServerClientTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::string program = ProgramFolder() + "\\KivCorvanDSP.exe";
        ASSERT_EQ(RunAndWait("\"" + program + "\" -RegServer"), 0u);
        // The marshalling must be known before the first call reaches the server.
        HMODULE proxyStub = LoadLibraryA((ProgramFolder() + "\\KivCorvanDSP_ps.dll").c_str());
        ASSERT_NE(proxyStub, nullptr);
        auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(proxyStub, "DllRegisterServer")));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        FreeLibrary(proxyStub);
    }

    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER,
                                   IID_IKivCorvanServices, reinterpret_cast<void**>(&services)),
                  S_OK);
        ASSERT_EQ(services->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source)), S_OK);
        ASSERT_TRUE(PumpUntil([&] { return (server = FindWindowA("Varn Services", nullptr)) != nullptr; }));
    }

    void TearDown() override
    {
        if (source)
            source->Release();
        if (services)
            services->Release();
        CoUninitialize();
    }

    static void TearDownTestSuite()
    {
        // The server runs until it is told to end: end it for the next run.
        if (HWND window = FindWindowA("Varn Services", nullptr))
        {
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id))
            {
                TerminateProcess(process, 0);
                WaitForSingleObject(process, 10000);
                CloseHandle(process);
            }
        }
    }

    void FirePublic(DWORD type) { PostMessageA(server, Application::kFireNotifyMessage, type, 0); }
    void FirePrivate(DWORD type, DWORD a, DWORD b)
    {
        PostMessageA(server, Application::kFirePrivateNotifyMessage, type | (a << 16), static_cast<LPARAM>(b));
    }
    // The server handles its posted messages in order: once the last one has arrived, every
    // earlier broadcast is done.
    template <class Sink>
    bool WaitFor(Sink& sink, size_t count)
    {
        return PumpUntil([&] { return sink.arrivals.size() >= count; });
    }

    // Sinks outlive the apartment: COM releases its stubs' references at CoUninitialize.
    PublicSink& NewPublicSink() { return publicSinks.emplace_back(); }
    PrivateSink& NewPrivateSink() { return privateSinks.emplace_back(); }

    std::deque<PublicSink> publicSinks;
    std::deque<PrivateSink> privateSinks;
    IKivCorvanServices* services = nullptr;
    IKivCorvanEventSource* source = nullptr;
    HWND server = nullptr;
};

TEST_F(ComServerClientTest, SinksReceiveExactlyTheBitsOfTheirMask)
{
    PublicSink& publicSink = NewPublicSink();
    PrivateSink& privateSink = NewPrivateSink();
    DWORD publicCookie = 0, privateCookie = 0;
    ASSERT_EQ(services->Advise(&publicSink, 0x77FC, 0x11, &publicCookie), S_OK);
    ASSERT_EQ(source->Advise(&privateSink, 0x7400, 0x22, &privateCookie), S_OK);

    for (DWORD bit = 1; bit <= 0x4000; bit <<= 1)
        FirePublic(bit);
    FirePrivate(0x400, 1, 0xDEADBEEF);
    FirePrivate(0x800, 2, 2);
    FirePrivate(0x1000, 0xFFFF, 0);
    FirePrivate(0x4000, 3, 0x80000000);
    ASSERT_TRUE(WaitFor(privateSink, 3));
    ASSERT_TRUE(WaitFor(publicSink, 12));

    std::vector<Arrival> expected;
    for (DWORD bit : {0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x1000, 0x2000, 0x4000})
        expected.push_back({bit, 0x11, 0, 0});
    EXPECT_EQ(publicSink.arrivals, expected);
    EXPECT_EQ(privateSink.arrivals,
              (std::vector<Arrival>{{0x400, 0x22, 1, 0xDEADBEEF}, {0x1000, 0x22, 0xFFFF, 0}, {0x4000, 0x22, 3, 0x80000000}}));
    EXPECT_EQ(services->Unadvise(publicCookie), S_OK);
    EXPECT_EQ(source->Unadvise(privateCookie), S_OK);
}

TEST_F(ComServerClientTest, SecondAdviseOfTheSameSinkAndNullSink)
{
    PublicSink& sink = NewPublicSink();
    PublicSink& marker = NewPublicSink();
    DWORD first = 0, second = 0, markerCookie = 0;
    ASSERT_EQ(services->Advise(&sink, 0x8, 1, &first), S_OK);
    ASSERT_EQ(services->Advise(&sink, 0x8, 2, &second), S_OK);
    EXPECT_EQ(first, second);
    ASSERT_EQ(services->Advise(&marker, 0x8, 3, &markerCookie), S_OK);
    EXPECT_NE(markerCookie, first);

    FirePublic(0x8);
    ASSERT_TRUE(WaitFor(marker, 1));
    ASSERT_TRUE(WaitFor(sink, 2));
    EXPECT_EQ(sink.arrivals, (std::vector<Arrival>{{0x8, 1, 0, 0}, {0x8, 2, 0, 0}}));

    EXPECT_EQ(services->Unadvise(first), S_OK);
    FirePublic(0x8);
    ASSERT_TRUE(WaitFor(marker, 2));
    EXPECT_EQ(sink.arrivals.size(), 3u);
    EXPECT_EQ(sink.arrivals.back(), (Arrival{0x8, 2, 0, 0}));

    DWORD untouched = 99;
    EXPECT_EQ(services->Advise(nullptr, 0xFFFF, 4, &untouched), E_POINTER);
    EXPECT_EQ(source->Advise(nullptr, 0xFFFF, 4, &untouched), E_POINTER);
    EXPECT_EQ(services->Unadvise(0), S_OK);
    FirePublic(0x8);
    ASSERT_TRUE(WaitFor(marker, 3)); // the server still serves
    services->Unadvise(second);
    services->Unadvise(markerCookie);
}

TEST_F(ComServerClientTest, UnadviseFromInsideNotify)
{
    PublicSink& leaving = NewPublicSink();
    PublicSink& staying = NewPublicSink();
    DWORD leavingCookie = 0, stayingCookie = 0;
    ASSERT_EQ(services->Advise(&leaving, 0x4, 1, &leavingCookie), S_OK);
    ASSERT_EQ(services->Advise(&staying, 0x4, 2, &stayingCookie), S_OK);
    HRESULT unadvised = E_FAIL;
    leaving.onNotify = [&] { unadvised = services->Unadvise(leavingCookie); };

    FirePublic(0x4);
    ASSERT_TRUE(WaitFor(staying, 1));
    EXPECT_EQ(unadvised, S_OK);
    FirePublic(0x4);
    ASSERT_TRUE(WaitFor(staying, 2));
    EXPECT_EQ(leaving.arrivals.size(), 1u);
    services->Unadvise(stayingCookie);
}

TEST_F(ComServerClientTest, AKilledClientDoesNotStopDelivery)
{
    const char* readyName = "KivComServerProbeReady";
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName);
    ASSERT_NE(ready, nullptr);
    std::string commandLine = "\"" + TestFolder() + "\\comserver_probe_client.exe\" " + readyName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION probe = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &probe));
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(ready, 0) == WAIT_OBJECT_0; }));

    PublicSink& publicSink = NewPublicSink();
    PrivateSink& privateSink = NewPrivateSink();
    DWORD publicCookie = 0, privateCookie = 0;
    ASSERT_EQ(services->Advise(&publicSink, 0x20, 5, &publicCookie), S_OK);
    ASSERT_EQ(source->Advise(&privateSink, 0x2000, 6, &privateCookie), S_OK);

    TerminateProcess(probe.hProcess, 1);
    WaitForSingleObject(probe.hProcess, 10000);
    CloseHandle(probe.hThread);
    CloseHandle(probe.hProcess);
    CloseHandle(ready);

    FirePublic(0x20);
    FirePrivate(0x2000, 7, 8);
    FirePublic(0x20);
    ASSERT_TRUE(WaitFor(publicSink, 2));
    ASSERT_TRUE(WaitFor(privateSink, 1));
    EXPECT_EQ(privateSink.arrivals, (std::vector<Arrival>{{0x2000, 6, 7, 8}}));
    services->Unadvise(publicCookie);
    source->Unadvise(privateCookie);
}
} // namespace
