// The insert slots as a person sees them: the main section's aux and main slots and two strips
// with effects, presets, sends, a bypassed effect, one without DSP, metered inserts and a
// selection on a strip and on the main section; with KIV_SHOT_MENU the slots' menu open over
// the main slots. Prints "shown" once the windows are up; the screenshot script takes the
// picture and ends the program.
#include <gtest/gtest.h>

#include <cstdio>

#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/platform/Timer.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/tests/FakeInsertChain.h"
#include "mixer/views/tests/MainSectionTestSupport.h"

namespace
{
using namespace mainsection;

class NoEditor : public InsertStripOwner
{
public:
    void FocusStripEditor(IVarnInsert*, int) override {}
    Window* GetDialogParent() override { return nullptr; }
    int NewPresetCategory(String&) override { return 0; }
};

class Shot : public Fixture
{
public:
    void TestBody() override {}

    void Fill()
    {
        aux1_.aux = &auxBus1_;
        aux2_.aux = &auxBus2_;
        aux1_.Add(0, u"Reverb");
        aux1_.Add(3).effect.parameterCount = 2;
        aux2_.Add(0, u"Delay").bypassed = 1;
        main_.Add(0, u"EQ 4");
        main_.Add(0, u"Comp");
        main_.Add(1);
        main_.Add(2);
        main_.Add(0, u"Limiter").dsp = 0;
        main_.Add(3).effect.parameterCount = 1;
        for (FakeInsertChain* chain : {&aux1_, &main_, &strip1_, &strip2_})
            for (int i = 0; i < chain->GetCount(); ++i)
                static_cast<FakeInsert*>(chain->GetInsert(i))->effect.level = -6.0f - 9.0f * i;
        strip1_.Add(0, u"Gate");
        strip1_.Add(0, u"Vocal").soloed = 1;
        strip1_.Add(6);
        strip2_.Add(0, u"Chorus").bypassed = 1;
        strip2_.Add(3).effect.parameterCount = 2;
    }

    InsertSlotStrip& Strip(FakeInsertChain& chain, Panel& panel, int slots, int* anchor)
    {
        strips_.push_back(std::make_unique<InsertSlotStrip>(link_, &owner_));
        strips_.back()->CreateSlots(&chain, &panel, nullptr, slots, anchor, 0);
        return *strips_.back();
    }

    int MakeStripPanel(Panel& panel, int x)
    {
        if (!panel.Setup(&panel, 0, 0, 0x646464) ||
            !PanelBuilder(skin_).BuildPanel("monoAudioStrip", panel, 1, nullptr) || !panel.Create(&frame_, x, 0, 0))
            return 0;
        PanelBuilder(skin_).ApplyPanelState(panel, "normalWithFocus", 1);
        return 1;
    }

    void Run()
    {
        SetUp();
        StartEngine("auxbuses=2\n");
        if (HasFatalFailure() || !CreateSection(0) || !MakeStripPanel(stripPanel1_, 330) ||
            !MakeStripPanel(stripPanel2_, 410))
        {
            std::puts("no section");
            return;
        }
        Fill();
        Strip(aux1_, *section_, 3, &sectionAnchor_);
        Strip(aux2_, *section_, 3, &sectionAnchor_);
        InsertSlotStrip& main = Strip(main_, *section_, 6, &sectionAnchor_);
        InsertSlotStrip& strip = Strip(strip1_, stripPanel1_, 6, InsertSlotStrip::SelectedInsertIndex());
        Strip(strip2_, stripPanel2_, 6, InsertSlotStrip::SelectedInsertIndex());
        frame_.Show(SW_SHOWNOACTIVATE);
        Timer::StartTicker(frame_.GetHandle());
        // The main slots hold the selection: the first two and the fourth, the second the anchor.
        main.Select();
        main.OnMouse(0, 240, 48 + 18, 1, 1);
        main.OnMouse(InsertSlotRules::kShift, 240, 48, 1, 0);
        main.OnMouse(InsertSlotRules::kControl, 240, 48 + 3 * 18, 1, 0);
        strip.Select();
        strip.OnMouse(0, 20, 40 + 16, 1, 1);
#ifdef KIV_SHOT_MENU
        POINT point = {250, 50};
        ::ClientToScreen(section_->GetHandle(), &point);
        ::SetCursorPos(point.x, point.y);
        main.ShowContextMenu(240, 48);
#endif
        PumpUntil([] { return false; }, 500);
        std::puts("shown");
        std::fflush(stdout);
        PumpUntil([] { return false; }, 120000);
        PopupMenu::CloseAll();
    }

private:
    NoEditor owner_;
    FakeAux auxBus1_{0}, auxBus2_{1};
    FakeInsertChain aux1_{1}, aux2_{1}, main_{2}, strip1_{0}, strip2_{0};
    Panel stripPanel1_, stripPanel2_;
    int sectionAnchor_ = -1;
    std::vector<std::unique_ptr<InsertSlotStrip>> strips_;
};
} // namespace

int main()
{
    Shot shot;
    shot.Run();
    return 0;
}
