// The dialogs demo: the shipped mixer skin's frame "frameApp" holding a panel built from a
// layout, the popup menu "SaveSessionMenu", the dialog panel "newname" and the message box
// "IDM_EXPORT_FX_CAT_EXISTS". It prints "shown <scene>" for each and goes on once the scene's
// picture dialog-<scene>.png exists in the folder it is given (dialogs-demo takes them).
//   dialogs_demo.exe <shots folder>
#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/FrameWindow.h"
#include "framework/dialogs/MessageBox.h"
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
    if (!dialogstest::LoadShippedSkinWith(skin, folder.Path(), {}))
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
