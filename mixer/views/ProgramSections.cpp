#include "mixer/views/ProgramSections.h"

#include "mixer/views/FrameApp.h"
#include "mixer/views/MSTVInputsView.h"
#include "mixer/views/MSTVOutputsView.h"
#include "mixer/views/MainSectionView.h"

std::unique_ptr<MainSectionFace> ProgramSections::CreateMainSection(FrameApp& frame, MainSectionHost& host,
                                                                    MainWindowLink& owner, int compact, int x, int y,
                                                                    int id)
{
    auto section = std::make_unique<MainSectionView>();
    if (!section->Create(&frame, &host, owner, compact, x, y, id))
        return nullptr;
    return section;
}

TVAreaView* ProgramSections::CreateTVView(FrameApp&, int mode, MainSectionView& owner, IVarnInsert*)
{
    return MakeTVView(mode, owner);
}

TVAreaView* ProgramSections::MakeTVView(int mode, MainSectionView& owner)
{
    switch (mode)
    {
    case 1:
        return MSTVIoView::Place(std::make_unique<MSTVInputsView>(), owner);
    case 2:
        return MSTVIoView::Place(std::make_unique<MSTVOutputsView>(), owner);
    default:
        return nullptr;
    }
}
