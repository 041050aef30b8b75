// What the test panels a person looks at share: the shipped mixer skin, a top-level panel,
// and showing it until panel-shot has taken its screenshot.
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

// The build's mixer skin as Wine sees it (the Unix root is drive Z:); says so when it fails.
inline int LoadMixerSkin(Skin& skin)
{
    std::string path = std::string("Z:") + KIV_PROGRAM_DIR + "/Skins/Default";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (skin.Load(Text(path.c_str()), nullptr))
        return 1;
    std::printf("the shipped skin did not load from %s\n", path.c_str());
    return 0;
}

// Prints "shown" (panel-shot's cue) and keeps the windows painted for 30 s.
inline void ShowFor30Seconds()
{
    Pump();
    std::printf("shown\n");
    std::fflush(stdout);
    PumpUntil([] { return false; }, 30000);
}
} // namespace shot
