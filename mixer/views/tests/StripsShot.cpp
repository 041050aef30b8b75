// The mixer strips as a person sees them: the frame over the stand-in engine with a strip of
// each kind (stereo and mono audio, a synth with channels on, an FX send), one without its
// DSP, one focused and one the drop target of a drag-move. With the argument "newstrip" it
// opens the new-strip dialog over the frame instead. It prints "shown" once they are up;
// panel-shot takes the screenshot then.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/SkinDialogs.h"
#include "mixer/dialogs/NewStripDialog.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/StripGroup.h"
#include "mixer/views/StripSection.h"
#include "mixer/views/StripView.h"
#include "mixer/views/tests/RecordingMainWindow.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

namespace
{
// Says "shown" once the dialog's loop runs and leaves it open.
class Shown : public DialogAnswerer
{
public:
    void OnDialogShown(Dialog&) override
    {
        std::printf("shown\n");
        std::fflush(stdout);
    }
};
} // namespace

#ifndef KIV_SHOT_NEWSTRIP
#define KIV_SHOT_NEWSTRIP 0
#endif

int main()
{
    using namespace viewstest;
    namespace fs = std::filesystem;
    ScratchFolder scratch("kiv-strips-shot");
    for (const char* folder : {"program", "data", "sessions"})
        fs::create_directories(scratch.Path() / folder);
    std::ofstream(scratch.Path() / "program" / "SimulatedCard.txt")
        << "present=1\nsystems=1\nrate=1\ninputs=8\noutputs=8\nwave=1\nmonoinputs=4\nstereoinputs=4\nmidifxsends=1\n"
           "synths=1\nstrips=7\nstrip=0 Vocals\nstrip=5 Pads\ninput=0 1 strip 0\ninput=2 0 strip 1\n"
           "input=1 0 strip 4\ninput=0 6 strip 5\ninput=0 5 strip 6\nfeatures=0,1,2\n";
    auto* engine = new StandinServices;
    if (engine->Init((scratch.Path() / "program").u16string().c_str(), (scratch.Path() / "data").u16string().c_str(),
                     (scratch.Path() / "sessions").u16string().c_str()) != 1)
    {
        std::printf("the engine did not start\n");
        return 1;
    }
    RecordingLink link;
    link.services = engine;
    if (!LoadMixerSkin(link.skin) ||
        !link.settings.Open("HKEY_CURRENT_USER", Text("Software\\KivViewsTest\\Strips"), 1))
    {
        std::printf("the skin or the settings could not be opened\n");
        return 1;
    }
    engine->Control("set strip 5 s1c1 1");
    engine->Control("set strip 5 s1c10 1");
    engine->Control("set strip 5 s2c3 1");
    engine->Control("set strip 3 dsp 0");
    engine->Control("set strip 1 gain -20");
    engine->WaitForEvents();
    FrameApp frame;
    if (!frame.Create(&link, 1))
    {
        std::printf("the frame could not be made\n");
        return 1;
    }
    auto* section = dynamic_cast<StripSection*>(frame.GetStripSection());
    if (!section || section->GroupCount() < 1)
    {
        std::printf("no strips\n");
        return 1;
    }
    StripGroup& group = *section->GroupAt(0);
    if (KIV_SHOT_NEWSTRIP)
    {
        Shown shown;
        Dialog::SetAnswerer(&shown);
        NewStripDialog dialog(link.skin);
        dialog.Init(group.GetEngineGroup());
        SkinDialogs(link.skin).ShowDialogPanel("newstrip", &dialog, &frame);
        return 0;
    }
    SetFocusedStrip(group.ViewAt(1), StripView::kDragSource, 0, 1);
    SetStripDropTarget(group.ViewAt(3));
    std::printf("shown\n");
    std::fflush(stdout);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
