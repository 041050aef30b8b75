#include "framework/base/AnsiCodePage.h"
#include "framework/base/Win32Text.h"

#include <windows.h>

// An output of no room would make the Win32 converters measure instead of convert (and
// answer the size as if they had written it), so it is refused here.
namespace AnsiCodePage
{
int ToWide(const char* bytes, int count, char16_t* out, int room)
{
    if (count <= 0 || (out != nullptr && room <= 0))
        return 0;
    if (out == nullptr)
        room = 0;
    return MultiByteToWideChar(GetACP(), 0, bytes, count, AsWin32Text(out), room);
}

int FromWide(const char16_t* units, int count, char* out, int room)
{
    if (count <= 0 || (out != nullptr && room <= 0))
        return 0;
    if (out == nullptr)
        room = 0;
    return WideCharToMultiByte(GetACP(), 0, AsWin32Text(units), count, out, room, nullptr, nullptr);
}
} // namespace AnsiCodePage
