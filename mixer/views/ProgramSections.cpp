#include "mixer/views/ProgramSections.h"

#include "mixer/views/FrameApp.h"
#include "mixer/views/MainSectionView.h"
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
