// Shows the panel "demo" of the builder's picture skin (the shipped mixer skin's images with
// a layout of its own): texts, a link, a number, an image, buttons, a radio group, a knob, a
// fader, a meter, a combo box, a tree with its scroll bar, a page tab, an icon view and a
// border, every one made by the builder and bound to the panel's items. It prints "shown"
// once the panel is on screen; panel-shot takes the screenshot then.
#include "framework/controls/ComboBox.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/controls/tests/ShotSupport.h"
#include "framework/dialogs/ListBox.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/TreeView.h"

using namespace shot;

int main()
{
    Skin skin;
    const std::string path = WinePath(KIV_BUILDER_SHOT_SKIN);
    if (!skin.Load(Text(path.c_str()), nullptr))
    {
        std::printf("the picture skin did not load from %s\n", path.c_str());
        return 1;
    }
    ShotPanel panel;
    panel.AddRealItem("gain", -3.5f, -60.0f, 12.0f, 0, 0);
    panel.AddFlagItem("mute", 1, 0, 0);
    panel.AddIntItem("mode", 1, 0, 2, 0, 0);
    panel.AddIntItem("choice", 1, 0, 2, 0, 0);
    panel.AddRealItem("pan", 0.3f, 0.0f, 1.0f, 0, 0);
    panel.AddRealItem("level", 0.7f, 0.0f, 1.0f, 0, 0);
    panel.AddRealItem("peak", 0.6f, 0.0f, 1.0f, 0, 0);
    panel.AddRealItem("bar", 0.4f, 0.0f, 1.0f, 0, 0);
    if (!PanelBuilder(skin).BuildPanel("demo", panel, 1, nullptr))
    {
        std::printf("the builder found no panel \"demo\"\n");
        return 1;
    }
    if (auto* combo = static_cast<ComboBox*>(panel.FindControl(Text("choice"))))
    {
        for (const char* entry : {"44.1 kHz", "48 kHz", "96 kHz"})
            combo->AddItem(Text(entry), 1, 0);
        combo->Invalidate(nullptr);
    }
    if (auto* host = static_cast<ViewHostControl*>(panel.FindControl(Text("tree"))))
        if (auto* tree = dynamic_cast<TreeView*>(host->GetView()))
        {
            TreeItem* effects = tree->AddItem(nullptr, Text("Core Effects"), 0, 0, false);
            for (const char* name : {"Reverb", "Delay", "Chorus", "Flanger", "Phaser", "Compressor", "Limiter"})
                tree->AddItem(effects, Text(name), 0, 0, false);
            tree->AddItem(nullptr, Text("My Presets"), 0, 0, false);
            tree->Expand(effects, false);
        }
    if (auto* host = static_cast<ViewHostControl*>(panel.FindControl(Text("icons"))))
        if (auto* list = dynamic_cast<ListBox*>(host->GetView()))
            for (const char* name : {"Vocals", "Drums", "Keys", "Bass"})
                list->AddItem(nullptr, Text(name), 0, 0, false);
    if (!ShowPanel(panel, 20, 20))
        return 1;
    StayShown();
    return 0;
}
