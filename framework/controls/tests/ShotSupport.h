// What the screenshot programs share: texts, a top-level panel, the message pump, a folder as
// Wine names it, the shipped mixer skin, and the time on screen that panel-shot takes its
// picture in.
#pragma once

#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
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

// For menus that are shown only to be seen.
class NoMenuListener : public MenuListener
{
public:
    void OnMenuCommand(int) override {}
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

// Loads the shipped mixer skin and lays countX by countY of its panel swatches under the
// panel; says why not on stdout.
inline bool StartPanel(Skin& skin, ShotPanel& panel, int countX, int countY)
{
    if (!LoadMixerSkin(skin))
        return false;
    SkinBitmap* background = skin.FindBitmap(Text("panel"));
    if (!background)
    {
        std::printf("the shipped skin has no panel image\n");
        return false;
    }
    panel.Setup(nullptr, 0, 0, 0x646464);
    panel.AddBackgroundSection(background, 0, 0, countX, countY, -1);
    return true;
}
#endif

// Creates the panel's window at (x, y) and shows it; says why not on stdout.
inline bool ShowPanel(ShotPanel& panel, int x, int y)
{
    if (!panel.Create(nullptr, x, y, 0))
    {
        std::printf("the panel window could not be made\n");
        return false;
    }
    panel.Show(SW_SHOWNOACTIVATE);
    Pump();
    return true;
}

// Says "shown" (panel-shot waits for it) and keeps the windows working for 30 s.
inline void StayShown()
{
    Pump();
    std::printf("shown\n");
    std::fflush(stdout);
    PumpUntil([] { return false; }, 30000);
}
} // namespace shot
