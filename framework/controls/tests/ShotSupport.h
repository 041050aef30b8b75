// What the screenshot programs share: texts, a top-level panel, the message pump, a folder as
// Wine names it, and the time on screen that panel-shot takes its picture in.
#pragma once

#include "framework/base/String.h"
#include "framework/controls/Panel.h"

#include <cstdio>
#include <string>

namespace shot
{
inline String Text(const char* text)
{
    String s;
    s.AssignAscii(text);
    return s;
}

class ShotPanel : public Panel
{
public:
    DWORD GetStyle() override { return WS_POPUP; }
};

inline void Pump()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

// A folder of the build (a Unix path) on Wine's drive Z.
inline std::string WinePath(const char* folder)
{
    std::string path = std::string("Z:") + folder;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Says "shown" (panel-shot waits for it) and keeps the windows working for 30 s.
inline void StayShown()
{
    Pump();
    std::printf("shown\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 30000)
    {
        Pump();
        ::Sleep(20);
    }
}
} // namespace shot
