#pragma once

// Win32 takes UTF-16 as wchar_t, which is 16 bits wide there; our text is char16_t.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

inline const wchar_t* AsWin32Text(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

inline wchar_t* AsWin32Text(char16_t* text)
{
    return reinterpret_cast<wchar_t*>(text);
}
