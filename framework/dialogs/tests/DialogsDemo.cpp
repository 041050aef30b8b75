// The dialogs demo: the shipped mixer skin's frame "frameApp" holding a panel built from the
// layout (the demo's own "framePanel", added to a copy of the skin), the popup menu "SaveSessionMenu", the dialog panel "newname" and the message box
// "IDM_EXPORT_FX_CAT_EXISTS". It prints "shown <scene>" for each and goes on once the scene's
// picture dialog-<scene>.png exists in the folder it is given (dialogs-demo takes them).
//   dialogs_demo.exe <shots folder>
#include "framework/controls/PopupMenu.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/FrameWindow.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/dialogs/tests/ShippedSkinCopy.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

#include <cstdio>
#include <string>

namespace
{
using skintest::Text;

std::string gShots;

// The panel inside the frame: the shipped skin's images, laid out by the demo.
const char kPanel[] =
    "<panel name=\"framePanel\">"
    "<background><section region=\"panel\" x=\"0\" y=\"0\" dx=\"33\" dy=\"23\"/></background>"
    "<border x=\"8\" y=\"8\" w=\"240\" h=\"144\" borderImages=\"border\"/>"
    "<text name=\"heading\" x=\"20\" y=\"18\" font=\"Title\" text=\"Insert 1: Reverb Hall\" textcol=\"#e6e6e6\"/>"
    "<numericdisplay name=\"gainText\" x=\"56\" y=\"54\" w=\"60\" font=\"Fixed\" data=\"gain\" decimalPlaces=\"1\" "
    "textcol=\"#e6e6e6\" align=\"right\"/>"
    "<rotary name=\"gain\" x=\"24\" y=\"48\" images=\"knob\" frameCount=\"16\" data=\"pan\"/>"
    "<command_button name=\"apply\" x=\"20\" y=\"92\" w=\"80\" bgallstates=\"button\" leftSeg=\"6\" midSeg=\"12\" "
    "rightSeg=\"6\" text=\"Apply\" font=\"Normal\" textColUp=\"#e6e6e6\" textColDown=\"#ffffff\"/>"
    "<toggle_button name=\"mute\" x=\"108\" y=\"92\" w=\"80\" bgallstates=\"button\" leftSeg=\"6\" midSeg=\"12\" "
    "rightSeg=\"6\" text=\"Mute\" font=\"Normal\" textColUp=\"#e6e6e6\" textColDown=\"#ffffff\" data=\"mute\"/>"
    "<slider name=\"level\" x=\"272\" y=\"16\" orientation=\"vert\" bgImage=\"fader_track\" knobImage=\"fader_thumb\" "
    "data=\"level\"/>"
    "<peakmeter name=\"peak\" x=\"304\" y=\"16\" orientation=\"vert\" ledsUnlit=\"meter_off\" ledsLit=\"meter_on\" "
    "ledThickness=\"3\" ledSpacing=\"1\" data=\"peak\"/>"
    "</panel>";

// Says the scene is shown and waits (serving the windows) until its picture was taken.
void Show(const char* scene)
{
    std::printf("shown %s\n", scene);
    std::fflush(stdout);
    const std::string picture = gShots + "\\dialog-" + scene + ".png";
    PumpUntil([&] { return ::GetFileAttributesA(picture.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);
}

class NoListener : public MenuListener
{
public:
    void OnMenuCommand(int) override {}
};

// The name-entry dialog as the program will make it: its item "name", its prompt set by code.
class NameDialog : public Dialog
{
public:
    NameDialog() { AddTextItem("name", Text("Reverb Hall"), 0, 0); }
    int OnInitDialog() override
    {
        SetText("title", "New Preset");
        SetText("prompt", "Name of the new preset:");
        return 1;
    }

private:
    void SetText(const char* name, const char* text)
    {
        Control* control = FindControl(Text(name));
        if (control && control->GetType() == Control::TypeText)
            static_cast<TextControl*>(control)->SetText(Text(text), 0);
    }
};

// Each dialog shown is pictured and then ended.
class Pictures : public DialogAnswerer
{
public:
    void OnDialogShown(Dialog& dialog) override
    {
        Show(dialog.GetSourceName().CompareLiteral("newname") == 0 ? "dialog" : "box");
        dialog.End(1);
    }
};
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::printf("usage: dialogs_demo <shots folder>\n");
        return 2;
    }
    gShots = argv[1];
    Skin skin;
    ScratchFolder folder("kiv-dialogs-demo");
    if (!dialogstest::LoadShippedSkinWith(skin, folder.Path(), {{"</panels>", kPanel}}))
    {
        std::printf("the shipped skin did not load\n");
        return 1;
    }
    SkinDialogs dialogs(skin);
    FrameWindow frame;
    const String title = Text("KIV Corvan DSP");
    if (!dialogs.CreateFrameWindow2("frameApp", &frame) ||
        !frame.Create(&title, WS_POPUP | WS_VISIBLE, 40, 40, 560, 400, nullptr, 0))
    {
        std::printf("the frame could not be made\n");
        return 1;
    }
    Rect content;
    frame.GetContentRect(content);
    Panel panel;
    panel.AddRealItem("pan", 0.3f, 0.0f, 1.0f, 0, 0);
    panel.AddRealItem("gain", -3.5f, -60.0f, 12.0f, 0, 0);
    panel.AddFlagItem("mute", 1, 0, 0);
    panel.AddRealItem("level", 0.7f, 0.0f, 1.0f, 0, 0);
    panel.AddRealItem("peak", 0.6f, 0.0f, 1.0f, 0, 0);
    if (!PanelBuilder(skin).BuildPanel("framePanel", panel, 1, nullptr) ||
        !panel.Create(&frame, content.left, content.top, 1))
    {
        std::printf("the panel could not be built\n");
        return 1;
    }
    Show("frame");

    NoListener listener;
    PopupMenu* menu = skin.CreatePopupMenu("SaveSessionMenu");
    if (!menu || !menu->Track(120, 120, &listener, &frame, 1))
    {
        std::printf("the menu could not be shown\n");
        return 1;
    }
    menu->OnKey(VK_DOWN);
    Show("menu");
    PopupMenu::CloseAll();

    Pictures pictures;
    Dialog::SetAnswerer(&pictures);
    NameDialog name;
    if (!dialogs.ShowDialogPanel("newname", &name, &frame))
        std::printf("the dialog panel was not shown\n");
    if (!dialogs.ShowDefinedMessageBox("IDM_EXPORT_FX_CAT_EXISTS", &frame, nullptr))
        std::printf("the message box was not shown\n");
    Dialog::SetAnswerer(nullptr);
    std::printf("done\n");
    return 0;
}
