#include "mixer/views/ProgramSections.h"

#include "framework/windows/AppBase.h"
#include "mixer/views/FXPaletteWindow.h"
#include "mixer/views/SyncSettingsPanel.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/MSTVInputsView.h"
#include "mixer/views/MSTVOutputsView.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MainSectionView.h"
#include "mixer/views/PresetTreeView.h"
#include "mixer/views/StripSection.h"

std::unique_ptr<MainSectionFace> ProgramSections::CreateMainSection(FrameApp& frame, MainSectionHost& host,
                                                                    MainWindowLink& owner, int compact, int x, int y,
                                                                    int id)
{
    auto section = std::make_unique<MainSectionView>();
    if (!section->Create(&frame, &host, owner, compact, x, y, id))
        return nullptr;
    return section;
}

std::unique_ptr<StripSectionFace> ProgramSections::CreateStripSection(FrameApp& frame, MainWindowLink& owner, int x,
                                                                      int y, int width, int height, int id)
{
    auto section = std::make_unique<StripSection>();
    if (!section->Create(&frame, owner, x, y, width, height, id))
        return nullptr;
    return section;
}

TVAreaView* ProgramSections::CreateTVView(FrameApp&, int mode, MainSectionView& owner, IVarnInsert* insert)
{
    return MakeTVView(mode, owner, insert);
}

TVAreaView* ProgramSections::MakeTVView(int mode, MainSectionView& owner, IVarnInsert* insert)
{
    switch (mode)
    {
    case 0: {
        auto view = std::make_unique<MSTVFXView>();
        if (!view->Create(owner, owner.GetLink(), insert))
            return nullptr;
        return view.release();
    }
    case 1:
        return MSTVIoView::Place(std::make_unique<MSTVInputsView>(), owner);
    case 2:
        return MSTVIoView::Place(std::make_unique<MSTVOutputsView>(), owner);
    default:
        return nullptr;
    }
}

std::unique_ptr<FxPaletteFace> ProgramSections::CreateFxPalette(FrameApp& frame, MainWindowLink& owner)
{
    String folder;
    if (!AppBase::ModulePath(folder))
        return nullptr;
    auto palette = std::make_unique<FXPaletteWindow>();
    if (!palette->Create(&frame, owner, folder))
        return nullptr;
    if (PresetTreeView* tree = palette->GetTree())
        tree->SetDragArea(&frame.GetSectionHost());
    palette->Show(SW_SHOW);
    return palette;
}

std::unique_ptr<SyncPanelFace> ProgramSections::CreateSyncPanel(FrameApp& frame, MainWindowLink& owner)
{
    auto panel = std::make_unique<SyncSettingsPanel>();
    if (!panel->Create(&frame, owner))
        return nullptr;
    panel->Show(SW_SHOW);
    return panel;
}
