#pragma once

#include "mixer/views/FrameSections.h"

// The views of the running program that exist so far: the strip section, the main section with
// the effect, inputs and outputs views of its TV area, the FX palette and the sync panel.
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
    // The effect (0), inputs (1) and outputs (2) views over the section's TV area (MakeTVView).
    TVAreaView* CreateTVView(FrameApp& frame, int mode, MainSectionView& owner, IVarnInsert* insert) override;
    // The TV view of the mode the program has, created in the section; null for another mode
    // or when the skin has no panel for it.
    static TVAreaView* MakeTVView(int mode, MainSectionView& owner, IVarnInsert* insert);
    // The FX palette over the program folder's library; null when the skin has no "fxPalette".
    std::unique_ptr<FxPaletteFace> CreateFxPalette(FrameApp& frame, MainWindowLink& owner) override;
    // The sync settings panel; null without the sync card or the skin's "syncsettings".
    std::unique_ptr<SyncPanelFace> CreateSyncPanel(FrameApp& frame, MainWindowLink& owner) override;
};
