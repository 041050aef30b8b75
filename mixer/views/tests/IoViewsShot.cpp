// The main section with its TV area showing the outputs view (KIV_SHOT_TV_MODE 2: the main
// mix, a monitor, an overridden pair, free pairs) or the inputs view (1: mono and stereo
// inputs, assigned and not) as a person sees them. Prints "shown" once the window is up; the
// screenshot script takes the picture and ends the program.
#include <gtest/gtest.h>

#include <cstdio>

#include "mixer/views/MSTVInputsView.h"
#include "mixer/views/MSTVOutputsView.h"
#include "mixer/views/ProgramSections.h"
#include "mixer/views/tests/MainSectionTestSupport.h"

namespace
{
using namespace mainsection;

class Shot : public Fixture
{
public:
    void TestBody() override {}
    void Run()
    {
        SetUp();
        host_.makeTVView = ProgramSections::MakeTVView;
        const String physical = Ascii("physical");
        link_.settings.WriteString(StringRef(u"TV Outputs Mode"), &physical);
        link_.settings.WriteString(StringRef(u"TV Inputs Mode"), &physical);
        StartEngine("model=3\nfeatures=0,1,2\nauxbuses=2\nphysicaloutputs=6\noutput=0 main\noutput=1 monitor\n"
                    "strip=0 Vocals\noverride=2 strip 0\ninput=1 0 strip 0\ninput=1 1 strip 1\ninput=1 2 aux 0\n"
                    "input=2 0 strip 2\ninput=2 1 main\n");
        if (HasFatalFailure())
            return;
        if (!CreateSection(0))
        {
            std::puts("no section");
            return;
        }
        section_->SetTVMode(KIV_SHOT_TV_MODE);
        frame_.Show(SW_SHOWNOACTIVATE);
        std::puts(section_->GetTVView() ? "shown" : "no view");
        std::fflush(stdout);
        PumpUntil([] { return false; }, 120000);
    }
};
} // namespace

int main()
{
    Shot shot;
    shot.Run();
    return 0;
}
