// Shows a test panel built from the shipped mixer skin's images - text buttons in their four
// states, a plain button, a tick image and a hint - until it is closed or 30 s have passed.
// It prints "shown" once everything is on screen; panel-shot takes the screenshot then.
#include "framework/controls/BitmapControl.h"
#include "framework/controls/Button.h"
#include "framework/controls/Panel.h"
#include "framework/controls/Tooltip.h"
#include "framework/controls/tests/ShotSupport.h"
#include "framework/skin/SkinBitmap.h"

using namespace shot;

int main()
{
    Skin skin;
    ShotPanel panel;
    if (!StartPanel(skin, panel, 24, 5))
        return 1;
    SkinBitmap* buttonImage = skin.FindBitmap(Text("button"));
    if (!buttonImage)
    {
        std::printf("the shipped skin has no button image\n");
        return 1;
    }
    FontInterface* font = skin.FindFont(Text("Normal"));
    const COLORREF text = RGB(0xE6, 0xE6, 0xE6);
    const COLORREF checked = RGB(0xFF, 0xFF, 0xFF);
    const COLORREF disabled = RGB(0x8A, 0x8A, 0x8A);

    const char* captions[4] = {"Normal", "Down", "Disabled", "Disabled down"};
    Button* buttons[4] = {};
    for (int i = 0; i < 4; ++i)
    {
        buttons[i] = new Button();
        buttons[i]->SetupSegmented(12 + 90 * i, 30, Text(captions[i]), 84, buttonImage, 6, 12, 6, nullptr,
                                   Text(captions[i]), font, text, checked, disabled, text, checked, nullptr);
        panel.AddControl(buttons[i], nullptr);
    }
    buttons[0]->SetTooltip(Text("A hint above the control"));
    buttons[1]->SetChecked(1, 0, 0, 0);
    buttons[2]->SetDisabled(1, 0, 0);
    buttons[3]->SetDisabled(1, 0, 0);
    buttons[3]->SetChecked(1, 0, 0, 0);
    auto* plain = new Button();
    plain->Setup(12, 58, Text("plain"), buttonImage, nullptr, nullptr);
    panel.AddControl(plain, nullptr);
    if (SkinBitmap* tick = skin.FindBitmap(Text("tick")))
    {
        auto* image = new BitmapControl();
        image->Setup(48, 62, Text("tick"), tick);
        panel.AddControl(image, nullptr);
    }
    if (!ShowPanel(panel, 20, 40))
        return 1;
    // The pointer rests on the first button; its hint shows on the tooltip's timer.
    panel.OnMouseMove(0, 20, 36);
    panel.PostMessage(WM_TIMER, Tooltip::kShowTimer, 0);
    Pump();
    StayShown();
    Tooltip::Destroy();
    return 0;
}
