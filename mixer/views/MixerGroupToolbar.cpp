#include "mixer/views/MixerGroupToolbar.h"

#include "framework/dialogs/PanelBuilder.h"
#include "framework/skin/Skin.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/MainWindowLink.h"

namespace
{
// The features as the indicators read them; the second model's sync card is feature 10.
struct Features
{
    explicit Features(IVarnHardware* system)
    {
        auto has = [system](int feature) { return system && system->HasFeature(feature) ? 1 : 0; };
        pciCard = has(HardwareFeature::kPciCard);
        dock = has(HardwareFeature::kDock);
        ioCard = has(HardwareFeature::kIoCard);
        sync = has(HardwareFeature::kSyncCard);
        smallBox = has(HardwareFeature::kSmallBox);
        secondModel = has(HardwareFeature::kSecondModel);
        secondModelSync = has(HardwareFeature::kSecondModelSync);
        thirdModel = has(HardwareFeature::kThirdModel);
        if (secondModel)
            sync = secondModelSync;
    }
    int Dock() const { return thirdModel ? secondModelSync : dock; }

    int pciCard, dock, ioCard, sync, smallBox, secondModel, secondModelSync, thirdModel;
};

void SetFlag(Panel& panel, const char* name, int value)
{
    String wide;
    wide.AssignAscii(name);
    if (auto* item = static_cast<FlagItem*>(panel.FindDataItem(wide)))
        item->SetValue(static_cast<float>(value), 1, 1, nullptr);
}
} // namespace

const char* MixerGroupToolbar::ElementFor(IVarnHardware* system)
{
    const Features f(system);
    if (f.thirdModel)
        return "mixerGroupToolbar4";
    if (f.secondModel)
        return "mixerGroupToolbar3";
    if (f.smallBox)
        return "mixerGroupToolbar2";
    if (f.pciCard)
        return "mixerGroupToolbar";
    return nullptr;
}

int MixerGroupToolbar::Create(FrameApp* frame, MainWindowLink* mainWindow, int x, int y)
{
    frame_ = frame;
    mainWindow_ = mainWindow;
    String one;
    one.AssignAscii("1");
    AddTextItem("cardnum", one, 0, 1);
    IVarnHardware* system = mainWindow->GetCurrentSystem();
    const Features f(system);
    AddFlagItem("pcicard", f.pciCard, 0, 1);
    AddFlagItem("sync", f.sync, 0, 1);
    // The small box has neither a dock connector nor an I/O card slot.
    if (!f.smallBox)
    {
        AddFlagItem("dock", f.Dock(), 0, 1);
        AddFlagItem("iocard", f.ioCard, 0, 1);
    }
    if (!Setup(nullptr, -1, -1, 0x646464))
        return 0;
    if (const char* element = ElementFor(system))
    {
        Skin& skin = mainWindow->GetSkin();
        PanelBuilder(skin).BuildPanel(element, *this, 0, nullptr);
        // Our choice where the skin is silent: the defaults of the left-hand corner, and the
        // toolbar is made there rather than left out.
        x = 45;
        y = 17;
        if (skin.GetMiscParamInt("mixerGroupToolbarXpos", x))
        {
            y = 0;
            skin.GetMiscParamInt("mixerGroupToolbarYpos", y);
        }
    }
    return Panel::Create(frame, x, y, 99);
}

void MixerGroupToolbar::UpdateHardwareButtons()
{
    const Features f(mainWindow_->GetCurrentSystem());
    SetFlag(*this, "pcicard", f.thirdModel ? f.thirdModel : f.pciCard);
    SetFlag(*this, "dock", f.Dock());
    SetFlag(*this, "iocard", f.ioCard);
    SetFlag(*this, "sync", f.sync);
}

void MixerGroupToolbar::OnMouseWheel(WPARAM wParam, int x, int y)
{
    frame_->OnMouseWheel(wParam, x, y);
}

void MixerGroupToolbar::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    Panel::OnMouseDown(flags, x, y);
}
