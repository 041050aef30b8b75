// What the screenshot programs share: texts, a top-level panel, the message pump, a folder as
// Wine names it, the shipped mixer skin, and the time on screen that panel-shot takes its
// picture in.
#pragma once

#include "framework/controls/Panel.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "tests/support/MessagePump.h"

#include <cstdio>
#include <string>

namespace shot
{
using skintest::Text;

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

#ifdef KIV_PROGRAM_DIR
// The build's mixer skin from the program folder; says so when it fails.
inline int LoadMixerSkin(Skin& skin)
{
    const std::string path = WinePath(KIV_PROGRAM_DIR "/Skins/Default");
    if (skin.Load(Text(path.c_str()), nullptr))
        return 1;
    std::printf("the shipped skin did not load from %s\n", path.c_str());
    return 0;
}
#endif

// Says "shown" (panel-shot waits for it) and keeps the windows working for 30 s.
inline void StayShown()
{
    Pump();
    std::printf("shown\n");
    std::fflush(stdout);
    PumpUntil([] { return false; }, 30000);
}
} // namespace shot
