// The main section as a person sees it: the simulated card's meters moving on the ticker, one
// clip light lit, a no-DSP warning. Prints "shown" once the window is up; the screenshot
// script takes the picture and ends the program.
#include <gtest/gtest.h>

#include <cstdio>

#include "framework/platform/Timer.h"
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
        StartEngine("auxbuses=2\nfeatures=0,1,2\n");
        if (HasFatalFailure())
            return;
        if (!CreateSection(0))
        {
            std::puts("no section");
            return;
        }
        frame_.Show(SW_SHOWNOACTIVATE);
        Timer::StartTicker(frame_.GetHandle());
        // Drive the right channel past its clip threshold once; the meters then follow the
        // card's own movement.
        auto* mix = static_cast<StandinMainMix*>(Mix());
        mix->SetMeterPeak(1, mix->GetClipThreshold(1) + 0.4f);
        PumpUntil([this] { return ItemNamed<FlagItem>("clipright")->value == 1; }, 20000);
        mix->SetMeterPeak(1, StandinMainMix::kMeterPeak);
        std::puts("shown");
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
