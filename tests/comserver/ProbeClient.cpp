// Other clients of the COM server, as the cross-process tests need them. The first argument
// names an event that the client sets once it is subscribed; the rest says what it does:
//   (nothing)            subscribes a sink to each list and waits to be killed
//   block <ms>           subscribes a public sink that sleeps ms inside every Notify, without
//                        serving any call meanwhile, and waits to be killed
//   churn <threads> <stop event>
//                        runs that many clients (one apartment each) that subscribe and
//                        unsubscribe on both lists in a loop until the stop event is set; exits
//                        with the number of rounds made
//   guess <tries>        subscribes a sink to each list, then unsubscribes every number within
//                        tries of its own cookie on both lists; exits with 0
//   pair [apartment]     subscribes a sink to each list, registers with the effect services and
//                        takes a send and return pair, as an effects plug-in does, and waits to
//                        be killed; with "apartment" all that is done by a thread whose
//                        apartment then ends without giving anything back
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/comserver/Sinks.h"

namespace
{
struct Client
{
    IKivCorvanServices* services = nullptr;
    IKivCorvanEventSource* source = nullptr;

    HRESULT Connect()
    {
        HRESULT result = CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                                          reinterpret_cast<void**>(&services));
        if (SUCCEEDED(result))
            result = services->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source));
        return result;
    }
    ~Client()
    {
        if (source)
            source->Release();
        if (services)
            services->Release();
    }
};

class SleepingSink : public PublicSink
{
public:
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD user) override
    {
        Record(type, user, 0, 0);
        Sleep(milliseconds);
        return S_OK;
    }
    DWORD milliseconds = 0;
};

// Says on the test's output why the probe ends early, and gives the exit code.
int Failed(int code, const char* what, HRESULT result)
{
    std::fprintf(stderr, "probe client %lu: %s failed, 0x%08lx\n", GetCurrentProcessId(), what,
                 static_cast<unsigned long>(result));
    return code;
}

bool SetNamedEvent(const char* name)
{
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    if (!event)
        return false;
    SetEvent(event);
    CloseHandle(event);
    return true;
}

// What an effects plug-in's link does on its thread: both sinks, a registration, a pair.
HRESULT TakePair(Client& client, PublicSink& publicSink, PrivateSink& privateSink)
{
    DWORD cookie = 0;
    LONG id = 0, send = -1, ret = -1;
    KivSendReturn record = {};
    IKivCorvanEffectServices* effects = nullptr;
    HRESULT result = client.Connect();
    if (SUCCEEDED(result))
        result = client.services->Advise(&publicSink, 0xFFFFFFFF, 1, &cookie);
    if (SUCCEEDED(result))
        result = client.source->Advise(&privateSink, 0xFFFFFFFF, 2, &cookie);
    if (SUCCEEDED(result))
        result = client.services->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effects));
    if (SUCCEEDED(result))
        result = effects->RegisterClient(&id);
    if (SUCCEEDED(result))
        result = effects->AcquireSendReturn(id, &record, &send, &ret);
    if (effects)
        effects->Release();
    return result;
}

int WaitToBeKilled()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

// One churning client: its own apartment, connection and sinks. The sinks outlive the apartment,
// whose end disconnects them from the server's late calls.
void Churn(HANDLE stop, LONG* rounds)
{
    PublicSink publicSink;
    PrivateSink privateSink;
    if (FAILED(CoInitialize(nullptr)))
        return;
    {
        Client client;
        bool connected = SUCCEEDED(client.Connect());
        while (connected && WaitForSingleObject(stop, 0) != WAIT_OBJECT_0)
        {
            DWORD publicCookie = 0, privateCookie = 0;
            if (FAILED(client.services->Advise(&publicSink, 0xFFFF, 3, &publicCookie)) ||
                FAILED(client.source->Advise(&privateSink, 0xFFFF, 4, &privateCookie)))
                break;
            client.services->Unadvise(publicCookie);
            client.source->Unadvise(privateCookie);
            InterlockedIncrement(rounds);
            // Notifications to the sinks may still be on their way.
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        }
    }
    CoUninitialize();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || FAILED(CoInitialize(nullptr)))
        return 1;
    const char* mode = argc > 2 ? argv[2] : "";
    if (std::strcmp(mode, "pair") == 0)
    {
        // The sinks outlive the apartments: their stubs are let go as an apartment ends.
        static PublicSink publicSink;
        static PrivateSink privateSink;
        Client client;
        HRESULT result = E_UNEXPECTED;
        if (argc > 3 && std::strcmp(argv[3], "apartment") == 0)
        {
            std::thread([&result] {
                if (FAILED(CoInitialize(nullptr)))
                    return;
                {
                    Client own;
                    result = TakePair(own, publicSink, privateSink);
                }
                CoUninitialize();
            }).join();
        }
        else
            result = TakePair(client, publicSink, privateSink);
        if (FAILED(result))
            return Failed(6, "taking a pair", result);
        return SetNamedEvent(argv[1]) ? WaitToBeKilled() : 5;
    }
    if (std::strcmp(mode, "churn") == 0)
    {
        int threads = argc > 3 ? std::atoi(argv[3]) : 1;
        HANDLE stop = argc > 4 ? OpenEventA(SYNCHRONIZE, FALSE, argv[4]) : nullptr;
        if (!stop)
            return 5;
        LONG rounds = 0;
        std::vector<std::thread> clients;
        for (int i = 0; i < threads; ++i)
            clients.emplace_back(Churn, stop, &rounds);
        SetNamedEvent(argv[1]);
        for (std::thread& client : clients)
            client.join();
        return static_cast<int>(rounds);
    }

    // The sinks outlive the connection: the server may still call them as it ends.
    PublicSink publicSink;
    SleepingSink sleepingSink;
    PrivateSink privateSink;
    Client client;
    if (HRESULT result = client.Connect(); FAILED(result))
        return Failed(2, "connecting", result);
    DWORD cookie = 0;
    if (std::strcmp(mode, "block") == 0)
    {
        sleepingSink.milliseconds = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : INFINITE;
        if (HRESULT result = client.services->Advise(&sleepingSink, 0xFFFF, 1, &cookie); FAILED(result))
            return Failed(4, "subscribing", result);
        return SetNamedEvent(argv[1]) ? WaitToBeKilled() : 5;
    }
    DWORD privateCookie = 0;
    if (HRESULT result = client.services->Advise(&publicSink, 0xFFFFFFFF, 1, &cookie); FAILED(result))
        return Failed(4, "subscribing to the public list", result);
    if (HRESULT result = client.source->Advise(&privateSink, 0xFFFFFFFF, 2, &privateCookie); FAILED(result))
        return Failed(4, "subscribing to the private list", result);
    if (std::strcmp(mode, "guess") == 0)
    {
        DWORD tries = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 0;
        for (DWORD distance = 1; distance <= tries; ++distance)
        {
            for (DWORD guess : {cookie - distance, cookie + distance})
            {
                client.services->Unadvise(guess);
                client.source->Unadvise(guess);
            }
        }
        client.services->Unadvise(cookie);
        client.source->Unadvise(privateCookie);
        return SetNamedEvent(argv[1]) ? 0 : 5;
    }
    return SetNamedEvent(argv[1]) ? WaitToBeKilled() : 5;
}
