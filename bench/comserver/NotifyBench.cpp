// The cost of one notification that the mixer program delivers to a client in another process,
// next to one plain cross-process COM call into the same client's sink, measured in one run.
//
//   comserver_notify_bench [count=2000] [churners=0] [interval=0]
//
// It starts the program's COM server (from the build's program folder) as the tests do,
// subscribes a sink and raises notifications through the application's test hook. For the plain
// call it starts itself a second time, hands that process its sink and lets it call Notify.
// With churners, that many other clients (the cross-process tests' probe client, five to a
// process) subscribe and unsubscribe without pause all the while. With an interval (ms), the
// notifications are also raised at that pace, as the program raises them while it runs, and the
// delay of each until the sink had it is printed: a sink whose calls take longer than the
// interval falls ever further behind.
#include <windows.h>

#include <objbase.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mixer/app/Application.h"
#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/names/WindowMessages.h"
#include "bench/support/BenchClock.h"
#include "tests/support/MessagePump.h"

namespace
{
class CountingSink : public IKivCorvanNotify
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKivCorvanNotify))
        {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Notify(DWORD, DWORD) override
    {
        ++count;
        if (timed)
            arrivals.push_back(Seconds());
        return S_OK;
    }
    long count = 0;
    bool timed = false;           // arrivals are recorded
    std::vector<double> arrivals; // Seconds() of each while timed
};

std::string Folder(const char* relative)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    char folder[MAX_PATH];
    PathCombineA(folder, path, relative);
    return folder;
}

bool Register()
{
    std::string commandLine = "\"" + Folder("..\\..\\program") + "\\KivCorvanDSP.exe\" -RegServer";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    HMODULE proxyStub = LoadLibraryA((Folder("..\\..\\program") + "\\KivCorvanDSP_ps.dll").c_str());
    auto registerServer = proxyStub ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                          reinterpret_cast<void*>(GetProcAddress(proxyStub, "DllRegisterServer")))
                                    : nullptr;
    return registerServer && SUCCEEDED(registerServer());
}

// The sink as a marshalled object reference in hexadecimal, for another process.
std::string MarshalToText(IUnknown* sink)
{
    IStream* stream = nullptr;
    std::string text;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return text;
    HGLOBAL memory = nullptr;
    if (SUCCEEDED(CoMarshalInterface(stream, IID_IKivCorvanNotify, sink, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL)) &&
        SUCCEEDED(GetHGlobalFromStream(stream, &memory)))
    {
        auto* bytes = static_cast<const unsigned char*>(GlobalLock(memory));
        for (SIZE_T i = 0; i < GlobalSize(memory); ++i)
        {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
            text += pair;
        }
        GlobalUnlock(memory);
    }
    stream->Release();
    return text;
}

// Clients of the server that subscribe and unsubscribe in a loop until Stop.
class Churners
{
public:
    explicit Churners(long clients)
    {
        std::string stopName = "KivNotifyBenchStop" + std::to_string(GetCurrentProcessId());
        stop_ = CreateEventA(nullptr, TRUE, FALSE, stopName.c_str());
        for (long made = 0; stop_ && made < clients; made += kPerProcess)
        {
            std::string ready =
                "KivNotifyBenchReady" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(made);
            HANDLE event = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
            std::string commandLine = "\"" + Folder("..\\..\\tests\\comserver") + "\\comserver_probe_client.exe\" " +
                                      ready + " churn " + std::to_string(std::min(kPerProcess, clients - made)) + " " +
                                      stopName;
            STARTUPINFOA startup = {};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION process = {};
            if (event && CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process))
            {
                HANDLE either[] = {event, process.hProcess};
                PumpUntil([&] { return WaitForMultipleObjects(2, either, FALSE, 0) != WAIT_TIMEOUT; });
                CloseHandle(process.hThread);
                processes_.push_back(process.hProcess);
                if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0)
                    started_ += std::min(kPerProcess, clients - made);
            }
            if (event)
                CloseHandle(event);
        }
    }
    ~Churners()
    {
        Stop();
        if (stop_)
            CloseHandle(stop_);
    }
    long Started() const { return started_; }
    // Ends them (serving this apartment meanwhile) and gives the rounds of four calls they made.
    long Stop()
    {
        if (stop_)
            SetEvent(stop_);
        long rounds = 0;
        for (HANDLE process : processes_)
        {
            PumpUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; });
            DWORD code = 0;
            if (GetExitCodeProcess(process, &code) && code != STILL_ACTIVE)
                rounds += static_cast<long>(code);
            CloseHandle(process);
        }
        processes_.clear();
        return rounds;
    }

private:
    static constexpr long kPerProcess = 5;
    HANDLE stop_ = nullptr;
    std::vector<HANDLE> processes_;
    long started_ = 0;
};

// The second process: calls the sink count times; the exit code is the mean call in microseconds.
int CallSink(const char* text, long count)
{
    std::vector<unsigned char> bytes;
    for (const char* p = text; p[0] && p[1]; p += 2)
        bytes.push_back(static_cast<unsigned char>(std::strtoul(std::string(p, 2).c_str(), nullptr, 16)));
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return -1;
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    IKivCorvanNotify* sink = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) ||
        FAILED(CoUnmarshalInterface(stream, IID_IKivCorvanNotify, reinterpret_cast<void**>(&sink))))
        return -1;
    stream->Release();
    sink->Notify(0x8, 0); // the first call sets the channel up
    double start = Seconds();
    for (long i = 0; i < count; ++i)
        sink->Notify(0x8, 0);
    double took = Seconds() - start;
    sink->Release();
    return static_cast<int>(took / static_cast<double>(count) * 1e6);
}
} // namespace

int main(int argc, char** argv)
{
    if (FAILED(CoInitialize(nullptr)))
        return 1;
    if (argc == 4 && std::string(argv[1]) == "call")
        return CallSink(argv[2], std::atol(argv[3]));

    long count = argc > 1 ? std::atol(argv[1]) : 2000;
    long churners = argc > 2 ? std::atol(argv[2]) : 0;
    long interval = argc > 3 ? std::atol(argv[3]) : 0;
    if (count < 1 || churners < 0 || interval < 0 || !Register())
    {
        std::fprintf(stderr,
                     "usage: comserver_notify_bench [count] [churners] [interval]; the program folder must be built\n");
        return 1;
    }
    IKivCorvanServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                                reinterpret_cast<void**>(&services))))
    {
        std::fprintf(stderr, "the COM server did not start\n");
        return 1;
    }
    HWND server = nullptr;
    PumpUntil([&] { return (server = FindWindowA("Varn Services", nullptr)) != nullptr; });
    CountingSink sink;
    DWORD cookie = 0;
    if (!server || FAILED(services->Advise(&sink, 0x8, 1, &cookie)))
        return 1;

    Churners churning(churners);
    if (churning.Started() < churners)
    {
        std::fprintf(stderr, "the churning clients did not start (the tests' probe client must be built)\n");
        return 1;
    }

    // One at a time: raise, wait until it arrived (the server's hook, its queue, the call).
    auto raise = [&] { PostMessageA(server, WindowMessage::kFireNotify, 0x8, 0); };
    raise();
    PumpUntil([&] { return sink.count == 1; });
    double start = Seconds();
    for (long i = 0; i < count; ++i)
    {
        long before = sink.count;
        raise();
        PumpUntil([&] { return sink.count > before; });
    }
    double oneAtATime = (Seconds() - start) / static_cast<double>(count);

    // In a stream: raise them all, wait for the last.
    long before = sink.count;
    start = Seconds();
    for (long i = 0; i < count; ++i)
        raise();
    PumpUntil([&] { return sink.count >= before + count; });
    double streamed = (Seconds() - start) / static_cast<double>(count);

    // At a pace: raise one every interval, serving this apartment meanwhile.
    std::vector<double> delays;
    if (interval > 0)
    {
        std::vector<double> raised;
        sink.timed = true;
        for (long i = 0; i < count; ++i)
        {
            raised.push_back(Seconds());
            raise();
            double next = raised.back() + static_cast<double>(interval) / 1000.0;
            PumpUntil([&] { return Seconds() >= next; });
        }
        PumpUntil([&] { return sink.arrivals.size() >= raised.size(); });
        sink.timed = false;
        for (size_t i = 0; i < raised.size() && i < sink.arrivals.size(); ++i)
            delays.push_back((sink.arrivals[i] - raised[i]) * 1e3);
        std::sort(delays.begin(), delays.end());
    }

    // A plain call into the same sink from another process.
    std::string commandLine = "\"" + Folder(".") + "\\comserver_notify_bench.exe\" call " + MarshalToText(&sink) + " " +
                              std::to_string(count);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION caller = {};
    DWORD microseconds = 0xFFFFFFFF;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &caller))
    {
        PumpUntil([&] { return WaitForSingleObject(caller.hProcess, 0) == WAIT_OBJECT_0; });
        GetExitCodeProcess(caller.hProcess, &microseconds);
        CloseHandle(caller.hThread);
        CloseHandle(caller.hProcess);
    }
    long rounds = churning.Stop();
    services->Unadvise(cookie);
    services->Release();
    PostMessageA(server, WindowMessage::kQuit, 0, 0); // the server runs until told to end

    std::printf("%ld notifications across processes, and as many plain calls into the same sink:\n", count);
    if (churners)
        std::printf("  meanwhile %ld clients subscribed and unsubscribed %ld times\n", churners, rounds);
    std::printf("  notification, raised and awaited one at a time  %8.1f us\n", oneAtATime * 1e6);
    std::printf("  notification, raised in a stream                %8.1f us\n", streamed * 1e6);
    if (interval > 0 && delays.size() < static_cast<size_t>(count))
        std::printf("  raised every %ld ms: only %zu arrived\n", interval, delays.size());
    else if (interval > 0)
        std::printf("  raised every %ld ms, delay until the sink had it: median %.1f, 90%% %.1f, max %.1f ms\n",
                    interval, delays[delays.size() / 2], delays[delays.size() * 9 / 10], delays.back());
    if (microseconds == 0xFFFFFFFF)
        std::printf("  plain call into the sink                        (failed)\n");
    else
    {
        std::printf("  plain call into the sink from another process   %8.1f us\n", static_cast<double>(microseconds));
        if (microseconds > 0)
            std::printf("  ratio one-at-a-time / plain call: %.2f, stream / plain call: %.2f\n",
                        oneAtATime * 1e6 / microseconds, streamed * 1e6 / microseconds);
    }
    CoUninitialize();
    return 0;
}
