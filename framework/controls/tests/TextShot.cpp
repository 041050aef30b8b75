// Shows a test panel of text controls drawn with the shipped mixer skin's fonts - a name with
// the in-place editor open on it, a static label, numeric displays with and without an item, a
// disabled one and a link - until it is closed or 30 s have passed. It prints "shown" once
// everything is on screen; panel-shot takes the screenshot then.
#include "framework/controls/NumericDisplay.h"
#include "framework/controls/Panel.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/UrlTextControl.h"
#include "framework/controls/tests/ShotSupport.h"

using namespace shot;

int main()
{
    Skin skin;
    ShotPanel panel;
    if (!StartPanel(skin, panel, 24, 11))
        return 1;
    FontInterface* font = skin.FindFont(Text("Normal"));
    FontInterface* bold = skin.FindFont(Text("Bold"));
    if (!font || !bold)
    {
        std::printf("the shipped skin lacks its fonts\n");
        return 1;
    }
    const COLORREF text = RGB(0xE6, 0xE6, 0xE6);
    const COLORREF disabled = RGB(0x8A, 0x8A, 0x8A);
    const COLORREF link = RGB(0x7A, 0xA6, 0xCF);

    TextItem* name = panel.AddTextItem("name", Text("Vocal mic"), 0, 0);
    RealItem* gain = panel.AddRealItem("gain", -3.25f, -60.0f, 6.0f, 0, 0);
    IntItem* steps = panel.AddIntItem("steps", 7, 0, 10, 0, 0);
    RealItem* locked = panel.AddRealItem("locked", 0.5f, 0.0f, 1.0f, 1, 0);

    struct Label
    {
        const char* text;
        int y;
    } labels[] = {{"Name", 14}, {"Gain (dB)", 40}, {"Steps", 66}, {"No item", 92}, {"Disabled", 118}};
    for (const Label& label : labels)
    {
        auto* control = new TextControl();
        control->Setup(12, label.y, Text(label.text), Text(label.text), bold, nullptr, text, disabled, 90, 0, nullptr,
                       -1, 0, 0, 0, 0);
        panel.AddControl(control, nullptr);
    }
    auto* nameControl = new TextControl();
    nameControl->Setup(110, 10, Text("name"), String(), font, nullptr, text, disabled, 160, 0, nullptr, -1, 0, 0, 2, 0);
    panel.AddControl(nameControl, name);
    DataItem* numbers[] = {gain, steps, nullptr, locked};
    for (int i = 0; i < 4; ++i)
    {
        auto* display = new NumericDisplay();
        display->Setup(110, 40 + 26 * i, Text("number"), font, nullptr, text, disabled, 2, 60, 2, nullptr, -1, 0, 0);
        panel.AddControl(display, numbers[i]);
    }
    auto* address = new UrlTextControl();
    address->Setup(12, 150, Text("link"), Text("http://www.example.invalid/support"), font, link, disabled, 260, 0,
                   nullptr, -1, 0, 0, 0);
    panel.AddControl(address, nullptr);

    if (!ShowPanel(panel, 20, 20))
        return 1;
    nameControl->OpenEditor();
    TextControl::SetEditorText(Text("Vocal mic (edited)"));
    Pump();
    StayShown();
    TextControl::CancelEditor();
    return 0;
}
