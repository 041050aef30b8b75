#pragma once

#include "mixer/views/FrameSections.h"

// The views of the running program that exist so far: the main section. The strip section
// and the floating windows are still none.
class ProgramSections : public FrameSections
{
public:
    // A MainSectionView, compact or full, as a child of the frame with the id; null when the
    // skin has no panel for that form.
    std::unique_ptr<MainSectionFace> CreateMainSection(FrameApp& frame, MainSectionHost& host, MainWindowLink& owner,
                                                       int compact, int x, int y, int id) override;
    // The TV views that exist: the effect view (mode 0); the inputs and outputs views are
    // still none.
    TVAreaView* CreateTVView(FrameApp&, int mode, MainSectionView& owner, IVarnInsert* insert) override;
};
