#include "mixer/views/ProgramSections.h"

#include "mixer/views/FrameApp.h"
#include "mixer/views/MSTVFXView.h"
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

TVAreaView* ProgramSections::CreateTVView(FrameApp&, int mode, MainSectionView& owner, IVarnInsert* insert)
{
    switch (mode)
    {
    case 0: {
        auto view = std::make_unique<MSTVFXView>();
        if (!view->Create(owner, owner.GetLink(), insert))
            return nullptr;
        return view.release();
    }
    default:
        return nullptr;
    }
}
