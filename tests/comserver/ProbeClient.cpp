// A second client of the COM server: subscribes a sink to each list, says so through the
// event named on its command line, and waits to be killed.
#include <windows.h>

#include "tests/comserver/Sinks.h"

int main(int argc, char** argv)
{
    if (argc < 2 || FAILED(CoInitialize(nullptr)))
        return 1;
    IKivCorvanServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER,
                                IID_IKivCorvanServices, reinterpret_cast<void**>(&services))))
        return 2;
    IKivCorvanEventSource* source = nullptr;
    if (FAILED(services->QueryInterface(IID_IKivCorvanEventSource, reinterpret_cast<void**>(&source))))
        return 3;
    PublicSink publicSink;
    PrivateSink privateSink;
    DWORD cookie = 0;
    if (FAILED(services->Advise(&publicSink, 0xFFFFFFFF, 1, &cookie)) ||
        FAILED(source->Advise(&privateSink, 0xFFFFFFFF, 2, &cookie)))
        return 4;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    if (!ready)
        return 5;
    SetEvent(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
