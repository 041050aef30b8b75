#pragma once

#include "mixer/views/FrameSections.h"

// The views of the running program that exist so far: the main section and the strip section.
// The floating windows are still none.
class ProgramSections : public FrameSections
{
public:
    // A MainSectionView, compact or full, as a child of the frame with the id; null when the
    // skin has no panel for that form.
    std::unique_ptr<MainSectionFace> CreateMainSection(FrameApp& frame, MainSectionHost& host, MainWindowLink& owner,
                                                       int compact, int x, int y, int id) override;
    // A StripSection with a group per engine system as a child of the frame.
    std::unique_ptr<StripSectionFace> CreateStripSection(FrameApp& frame, MainWindowLink& owner, int x, int y,
                                                         int width, int height, int id) override;
};
