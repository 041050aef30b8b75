// Shows two knobs of the shipped mixer skin with the control context menu open over the first
// one after an integer was copied: Paste is disabled for the knob's real value. It prints
// "shown" once everything is on screen; panel-shot takes the screenshot then.
#include "framework/controls/ControlContextMenu.h"
#include "mixer/views/ViewClipboard.h"

#include "framework/controls/PopupMenu.h"
#include "framework/controls/RotaryControl.h"
#include "framework/controls/tests/ShotSupport.h"
#include "framework/platform/cursor/Cursor.h"

using namespace shot;

int main()
{
    Skin skin;
    ShotPanel panel;
    if (!StartPanel(skin, panel, 12, 6))
        return 1;
    SkinBitmap* strip = skin.FindBitmap(Text("knob"));
    if (!strip)
    {
        std::printf("the shipped skin has no knob image\n");
        return 1;
    }
    RealItem* levels[2] = {panel.AddRealItem("mixlevel", -6.0f, -90.0f, 6.0f, 0, 0),
                           panel.AddRealItem("monitorlevel", 0.0f, -90.0f, 6.0f, 0, 0)};
    for (int i = 0; i < 2; ++i)
    {
        auto* knob = new RotaryControl();
        knob->Setup(16 + 40 * i, 16, levels[i]->GetName(), strip, nullptr, nullptr, 16, -1, levels[i]);
        panel.AddControl(knob, levels[i]);
    }
    if (!ShowPanel(panel, 8, 8))
        return 1;

    IntItem copied;
    ViewClipboard().Copy(copied);
    NoMenuListener listener;
    Cursor::SetPosition(40, 40);
    if (!ControlContextMenu::Show(skin, levels[0], &listener, &panel, ViewClipboard()))
    {
        std::printf("the menu could not be shown\n");
        return 1;
    }
    PopupMenu::Current()->OnKey(VK_DOWN);
    StayShown();
    PopupMenu::CloseAll();
    return 0;
}
