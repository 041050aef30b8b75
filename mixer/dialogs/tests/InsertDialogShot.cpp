// Puts up the send/return insert dialog of the shipped skin over a stand-in system with some
// ports taken (greyed, named) and prints "shown"; panel-shot takes the screenshot then.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/NewSendReturnInsertDialog.h"
#include "standins/engine/EngineModel.h"
#include "tests/support/WinePath.h"

namespace
{
class SayShown : public DialogAnswerer
{
public:
    void OnDialogShown(Dialog&) override
    {
        std::printf("shown\n");
        std::fflush(stdout);
    }
};
} // namespace

int main()
{
    HardwareProfile profile;
    profile.present = true;
    std::istringstream lines("inputs=4\noutputs=4\nphysicaloutputs=3\noutput=0 main\nstereoinputs=4\nmonoinputs=8\n"
                             "input=2 1 strip 0\nroute=4 strip 1\n");
    for (std::string line; std::getline(lines, line);)
        profile.ReadLine(line);
    StandinMixer mixer(profile);
    Skin skin;
    if (!skin.Load(skintest::Text(WinePath(std::filesystem::path(KIV_PROGRAM_DIR) / "Skins" / "Default").c_str()),
                   nullptr))
        return 1;
    SayShown answerer;
    Dialog::SetAnswerer(&answerer);
    NewSendReturnInsertDialog dialog(skin);
    dialog.Setup(mixer.GetSystem(0), 1);
    SkinDialogs(skin).ShowDialogPanel("newsendreturninsert", &dialog, nullptr);
    Dialog::SetAnswerer(nullptr);
    return 0;
}
