#include <windows.h>

// Never loaded as code: only its version resource is read.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
