#pragma once

#include "mixer/views/FrameSections.h"

// The views of the running program that exist so far: the main section with the inputs and
// outputs views of its TV area. The strip section, the effect view and the floating windows
// are still none.
class ProgramSections : public FrameSections
{
public:
    // A MainSectionView, compact or full, as a child of the frame with the id; null when the
    // skin has no panel for that form.
    std::unique_ptr<MainSectionFace> CreateMainSection(FrameApp& frame, MainSectionHost& host, MainWindowLink& owner,
                                                       int compact, int x, int y, int id) override;
    // The inputs (1) and outputs (2) views over the section's TV area (MakeTVView).
    TVAreaView* CreateTVView(FrameApp& frame, int mode, MainSectionView& owner, IVarnInsert* insert) override;
    // The TV view of the mode the program has, created in the section; null for another mode
    // or when the skin has no panel for it.
    static TVAreaView* MakeTVView(int mode, MainSectionView& owner);
};
