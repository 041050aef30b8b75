// The effect view as a person sees it: three main sections side by side, each with the effect
// view of one insert whose effect has a row of every kind, scrolled to rows 0, 2 and 4, so
// that every row kind shows (toggle, trigger, selector, discrete, continuous, meter and
// inverted meter, the meters moving on the ticker). Prints "shown" once the windows are up;
// the screenshot script takes the picture and ends the program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "framework/controls/Scrollbar.h"
#include "framework/platform/Timer.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MSTVFXViewList.h"
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
        StartEngine("auxbuses=2\n");
        if (HasFatalFailure())
            return;
        auto* library = static_cast<StandinFxLibrary*>(engine_.GetFxLibrary());
        const VarnEffectId id{{21, 0, 0, 0}};
        library->corePresets.AddPreset(id, 1, u"Init", 1);
        library->corePresets.AddPreset(id, 2, u"Warm Room", 0);
        effect_.SetLibrary(&library->corePresets);
        effect_.presetName = u"Warm Room";
        effect_.parameters[4].value = 6.0f;
        insert_.effect = &effect_;
        insert_.hasWetDry = true;
        insert_.wetDry = 0.6f;
        bus_.count = 1;
        bus_.inserts = {&insert_};
        ::SetWindowPos(frame_.GetHandle(), nullptr, 0, 0, 960, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        const int positions[3] = {0, 2, 4};
        for (int k = 0; k < 3; ++k)
        {
            sections_[k] = std::make_unique<MainSectionView>();
            views_[k] = std::make_unique<MSTVFXView>();
            if (!sections_[k]->Create(&frame_, nullptr, link_, 0, 320 * k, 0) ||
                !views_[k]->Create(*sections_[k], link_, &insert_) || !views_[k]->GetList())
            {
                std::puts("no view");
                return;
            }
            auto* bar = dynamic_cast<Scrollbar*>(views_[k]->FindControl(Ascii("vertscrollbar")));
            if (bar)
            {
                bar->SetPosition(positions[k], true);
                views_[k]->GetList()->OnScrollPosition(positions[k], bar, 0);
            }
        }
        frame_.Show(SW_SHOWNOACTIVATE);
        Timer::StartTicker(frame_.GetHandle());
        // The meters move on their own: the engine's levels follow a slow wave.
        for (int tick = 0; tick < 40; ++tick)
        {
            effect_.parameters[5].value = -30.0f + 24.0f * static_cast<float>(std::sin(tick * 0.3));
            effect_.parameters[6].value = -12.0f + 8.0f * static_cast<float>(std::sin(tick * 0.5));
            PumpUntil([] { return false; }, 25);
        }
        std::puts("shown");
        std::fflush(stdout);
        PumpUntil([] { return false; }, 120000);
    }

private:
    StandinEffect effect_{u"Studio Compressor", VarnEffectId{{21, 0, 0, 0}}, 90, StandinEffect::CoreParameters()};
    StandinBus bus_{2};
    StandinInsert insert_{&bus_, 0};
    std::unique_ptr<MainSectionView> sections_[3];
    std::unique_ptr<MSTVFXView> views_[3];
};
} // namespace

int main()
{
    Shot shot;
    shot.Run();
    return 0;
}
