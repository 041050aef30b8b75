// What the screenshot programs share: the shipped mixer skin from the program folder the build
// lays out, a top-level panel, and the wait that keeps the panel on screen while panel-shot
// takes its picture.
#pragma once

#include "framework/controls/Panel.h"
#include "framework/skin/Skin.h"

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

// Loads the shipped mixer skin; says why not on stdout.
inline bool LoadShippedSkin(Skin& skin)
{
    std::string path = std::string("Z:") + KIV_PROGRAM_DIR + "/Skins/Default";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (skin.Load(Text(path.c_str()), nullptr))
        return true;
    std::printf("the shipped skin did not load from %s\n", path.c_str());
    return false;
}

// Says "shown", then keeps the windows painted for 30 s.
inline void StayShown()
{
    std::printf("shown\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 30000)
    {
        Pump();
        ::Sleep(20);
    }
}
}
