// What the screenshot programs share: the shipped mixer skin from the program folder the build
// lays out, a top-level panel, and the wait that keeps the panel on screen while panel-shot
// takes its picture.
#pragma once

#include "framework/controls/Panel.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"

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

// Loads the shipped mixer skin and lays countX by countY of its panel swatches under the
// panel; says why not on stdout.
inline bool StartPanel(Skin& skin, ShotPanel& panel, int countX, int countY)
{
    std::string path = std::string("Z:") + KIV_PROGRAM_DIR + "/Skins/Default";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    SkinBitmap* background = nullptr;
    if (!skin.Load(Text(path.c_str()), nullptr) || !(background = skin.FindBitmap(Text("panel"))))
    {
        std::printf("the shipped skin did not load from %s\n", path.c_str());
        return false;
    }
    panel.Setup(nullptr, 0, 0, 0x646464);
    panel.AddBackgroundSection(background, 0, 0, countX, countY, -1);
    return true;
}

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
