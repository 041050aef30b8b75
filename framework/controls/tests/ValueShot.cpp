// Shows a test panel of value controls built from the shipped mixer skin's images - a knob, a
// fader, a peak meter falling below its held peak, and a page tab of three pages with controls
// on its first page - until it is closed or 30 s have passed. It prints "shown" once
// everything is on screen; panel-shot takes the screenshot then.
#include "framework/controls/PeakMeter.h"
#include "framework/controls/RotaryControl.h"
#include "framework/controls/Slider.h"
#include "framework/controls/tests/ShotSupport.h"
#include "framework/skin/SkinBitmap.h"

using namespace shot;

namespace
{
// A knob of the skin's 16-frame strip.
RotaryControl* Knob(SkinBitmap* strip, const char* name, int x, int y, RealItem* item)
{
    auto* knob = new RotaryControl();
    knob->Setup(x, y, Text(name), strip, nullptr, nullptr, 16, -1, item);
    return knob;
}
} // namespace

int main()
{
    Skin skin;
    if (!LoadMixerSkin(skin))
        return 1;
    const char* names[] = {"panel", "knob", "fader_track", "fader_thumb", "meter_off", "meter_on", "border", "tab"};
    SkinBitmap* images[8] = {};
    for (int i = 0; i < 8; ++i)
        if (!(images[i] = skin.FindBitmap(Text(names[i]))))
        {
            std::printf("the shipped skin lacks the image %s\n", names[i]);
            return 1;
        }
    SkinBitmap* knobStrip = images[1];
    FontInterface* font = skin.FindFont(Text("Normal"));

    ShotPanel panel;
    panel.Setup(nullptr, 0, 0, 0x646464);
    panel.AddBackgroundSection(images[0], 0, 0, 28, 11, -1);
    panel.AddBorder(images[6], 0, 0, 448, 176, nullptr, 0);

    // Left: a knob, a fader and a meter that fell from 28 to 22 LEDs below its held peak.
    RealItem* gain = panel.AddRealItem("gain", 0.7f, 0.0f, 1.0f, 0, 0);
    panel.AddControl(Knob(knobStrip, "gain", 20, 20, gain), gain);
    RealItem* level = panel.AddRealItem("level", 0.6f, 0.0f, 1.0f, 0, 0);
    auto* fader = new Slider();
    fader->Setup(56, 20, Text("level"), 0, images[2], images[3], nullptr, nullptr, -1, 6, 0, 1, level);
    panel.AddControl(fader, level);
    IntItem* peak = panel.AddIntItem("peak", 0, 0, 30, 0, 0);
    auto* meter = new PeakMeter();
    meter->Setup(92, 20, Text("peak"), 0, 0, images[4], images[5], nullptr, 3, 1, 60000, 50, peak);
    panel.AddControl(meter, peak);
    for (int value : {28, 10, 10, 10, 10, 10, 10})
        peak->SetValue(static_cast<float>(value), 1, 0, nullptr);

    // Right: three pages; the first holds two knobs, the second a fader it does not show.
    const String tab = Text("pages");
    const COLORREF text = RGB(0xE6, 0xE6, 0xE6);
    panel.AddPageTab(tab, images[7], images[6], font, text, RGB(0xFF, 0xFF, 0xFF), 6, 12, 6, 128, 16, 304, 148);
    for (const char* title : {"Mix", "Effects", "Routing"})
        panel.AddTabPage(tab, Text(title), Text(title));
    RealItem* left = panel.AddRealItem("left", 0.2f, 0.0f, 1.0f, 0, 0);
    RealItem* right = panel.AddRealItem("right", 0.95f, 0.0f, 1.0f, 0, 0);
    panel.AddControlToPage(tab, 0, Knob(knobStrip, "left", 152, 56, left), left);
    panel.AddControlToPage(tab, 0, Knob(knobStrip, "right", 192, 56, right), right);
    auto* hidden = new Slider();
    hidden->Setup(152, 40, Text("hidden"), 0, images[2], images[3], nullptr, nullptr, -1, 6, 0, 1, level);
    panel.AddControlToPage(tab, 1, hidden, level);

    if (!panel.Create(nullptr, 16, 12, 0))
    {
        std::printf("the panel window could not be made\n");
        return 1;
    }
    panel.Show(SW_SHOWNOACTIVATE);
    StayShown();
    return 0;
}
