// Shows two combo boxes (one chosen, one disabled) and a popup menu with its submenu open, from
// the scroll test skin, until 30 s have passed. It prints "shown" once everything is on screen;
// panel-shot takes the screenshot then.
#include "framework/controls/ComboBox.h"
#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/tests/ShotSupport.h"
#include "framework/skin/Skin.h"

#include <cstdio>
#include <string>

using namespace shot;

int main()
{
    const std::string path = WinePath(KIV_SCROLL_TEST_SKIN);
    Skin skin;
    if (!skin.Load(Text(path.c_str()), nullptr))
    {
        std::printf("the test skin did not load from %s\n", path.c_str());
        return 1;
    }
    const String defaultName = Text("Default");
    ShotPanel panel;
    panel.Setup(nullptr, 0, 0, 0x646464);
    panel.AddBackgroundSection(skin.FindBitmap(Text("panel")), 0, 0, 20, 3, -1);
    ComboBox* combos[2] = {};
    for (int i = 0; i < 2; ++i)
    {
        combos[i] = new ComboBox();
        combos[i]->Setup(10 + 150 * i, 14, Text(i ? "disabled" : "chosen"), 140, skin.FindBitmap(Text("combo")),
                         RGB(230, 230, 230), RGB(138, 138, 138), skin.FindFont(Text("Normal")),
                         skin.FindPopupMenuStyle(defaultName), skin.FindScrollbarStyle(&defaultName, 1), 8, 16, 32);
        for (const char* entry : {"First preset", "Second preset", "Third preset"})
            combos[i]->AddItem(Text(entry), 1, 0);
        panel.AddControl(combos[i], nullptr);
    }
    combos[0]->SetSelection(1);
    combos[1]->SetSelection(2);
    combos[1]->SetDisabled(1, 0, 0);
    if (!panel.Create(nullptr, 20, 20, 0))
    {
        std::printf("the panel window could not be made\n");
        return 1;
    }
    panel.Show(SW_SHOWNOACTIVATE);
    Pump();

    NoMenuListener listener;
    PopupMenu* menu = skin.CreatePopupMenu("Main");
    if (!menu || !menu->Track(30, 90, &listener, nullptr, 0))
    {
        std::printf("the menu could not be shown\n");
        return 1;
    }
    // Down to "More" (past the separator and the disabled item) and open it.
    for (int i = 0; i < 4; ++i)
        menu->OnKey(VK_DOWN);
    menu->OnKey(VK_RIGHT);
    if (PopupMenu* submenu = menu->Submenu())
        submenu->OnKey(VK_DOWN);
    StayShown();
    PopupMenu::CloseAll();
    return 0;
}
