#include "framework/platform/system/Wow64.h"

#include "framework/platform/Win32Api.h"

namespace
{
using Disable = BOOL(WINAPI*)(PVOID*);
using Revert = BOOL(WINAPI*)(PVOID);

// Looked up once by name: 32-bit Windows lacks both.
struct Functions
{
    Functions()
    {
        HMODULE kernel = GetModuleHandleA("Kernel32.dll");
        if (!kernel)
            return;
        disable = reinterpret_cast<Disable>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
        revert =
            reinterpret_cast<Revert>(reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    }
    Disable disable = nullptr;
    Revert revert = nullptr;
};

const Functions& Lookup()
{
    static const Functions functions;
    return functions;
}
} // namespace

int Wow64::DisableRedirection(void*& old)
{
    old = nullptr;
    const Functions& functions = Lookup();
    return functions.disable && functions.disable(&old) ? 1 : 0;
}

void Wow64::RevertRedirection(void* old)
{
    const Functions& functions = Lookup();
    if (functions.revert)
        functions.revert(old);
}
