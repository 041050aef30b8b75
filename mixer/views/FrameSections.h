#pragma once

#include <memory>

#include <windows.h>

#include "mixer/views/EngineEventTargets.h"

class FrameApp;
class IVarnInsert;
class MainSectionHost;
class MainSectionView;
class MainWindowLink;
class TVAreaView;
class Window;

// The strip-group area as the main frame drives it: its window, the view mode it takes part
// in, the widths and insert rows the frame's scroll bars follow, the strip commands of the
// strips toolbar, and what the dispatcher reaches through the frame.
class StripSectionFace : public StripSectionTarget
{
public:
    virtual ~StripSectionFace() = default;
    virtual Window& GetWindow() = 0;
    // The width of its strip groups (100 when it has none).
    virtual int GetTotalWidth() = 0;
    virtual void EnterViewMode() = 0;
    virtual void LeaveViewMode() = 0;
    virtual int OnKeyDown(WPARAM key, LPARAM flags) = 0;
    virtual int GetMaxInsertCount() = 0;
    virtual int GetInsertRowHeight() = 0;
    virtual int GetVisibleInsertRows() = 0;
    // The insert rows' scroll position changed: every group lays its rows out again.
    virtual void RelayInsertRows() = 0;
    virtual void CreateStrip() = 0;
    virtual void DeleteStrip() = 0;
    // Engine events 10, 11 and 12: a strip view added, removed or updated.
    virtual void AddStripView(IVarnStrip* strip) = 0;
    virtual void RemoveStripView(VarnEventArg stripId) = 0;
    virtual void UpdateStrip(VarnEventArg stripId) = 0;
    // Engine events 76 and 703.
    virtual void RefreshForEvent(int id, VarnEventArg argument) = 0;
    // The engine system of the current strip group; null without one.
    virtual IVarnHardware* GetCurrentSystem() = 0;
    // The insert-slot strip of a strip that shows the event's chain or insert, or null.
    virtual InsertStripTarget* FindInsertStrip(int id, VarnEventArg argument) = 0;
    // The selected insert of the focused strip, or null.
    virtual IVarnInsert* GetSelectedInsert() = 0;
    // The drag scrolling of the active group's first strip's slots, when the screen point lies
    // outside that strip.
    virtual void AutoScrollFirstStripInserts(int screenX, int screenY) = 0;
    // The engine strip's view gets the focus and, when asked, is scrolled into view; nothing
    // for a strip no group shows.
    virtual void FocusEngineStrip(IVarnStrip* strip, int ensureVisible) = 0;
};

// The main section as the frame drives it: layout 1 is the first (the frame's mode 1), 0 the
// second (mode 2).
class MainSectionFace : public MainSectionTarget
{
public:
    virtual ~MainSectionFace() = default;
    virtual Window& GetWindow() = 0;
    virtual void EnterViewMode(int layout) = 0;
    virtual void LeaveViewMode(int layout) = 0;
    virtual int OnKeyDown(WPARAM key, LPARAM flags) = 0;
    // The aux or main bus's insert-slot strip that shows the event's chain or insert, or null.
    virtual InsertStripTarget* FindInsertStrip(int id, VarnEventArg argument) = 0;
    // A strip changed (null: strips may have changed): the inputs or outputs view follows.
    virtual void OnStripChanged(IVarnStrip* strip) = 0;
    // The drag scrolling of its aux and main insert-slot strips for the screen point.
    virtual void AutoScrollInserts(int screenX, int screenY) = 0;
};

// The floating windows as the frame shows and hides them.
class FxPaletteFace : public FxPaletteTarget
{
public:
    virtual ~FxPaletteFace() = default;
    virtual Window& GetWindow() = 0;
};

class SyncPanelFace : public SyncPanelTarget
{
public:
    virtual ~SyncPanelFace() = default;
    virtual Window& GetWindow() = 0;
};

// Where the frame gets the views that other parts of the program build: the strip section,
// the main section (compact or full, asking the frame through the host) and the two floating
// windows (the FX palette and the sync panel, made with the frame as parent and the main
// window as owner). Here every creation answers none and the frame goes on without the view;
// the program's own sections (ProgramSections) override the entries of the views that exist.
class FrameSections
{
public:
    virtual ~FrameSections() = default;
    virtual std::unique_ptr<StripSectionFace> CreateStripSection(FrameApp&, MainWindowLink&, int, int, int, int, int)
    {
        return nullptr;
    }
    virtual std::unique_ptr<MainSectionFace> CreateMainSection(FrameApp&, MainSectionHost&, MainWindowLink&, int, int,
                                                               int, int)
    {
        return nullptr;
    }
    virtual std::unique_ptr<FxPaletteFace> CreateFxPalette(FrameApp&, MainWindowLink&) { return nullptr; }
    // The main section's TV view of the mode (0 effect, 1 inputs, 2 outputs), created in the
    // section; the section owns it.
    virtual TVAreaView* CreateTVView(FrameApp&, int /*mode*/, MainSectionView& /*owner*/, IVarnInsert* /*insert*/)
    {
        return nullptr;
    }
    virtual std::unique_ptr<SyncPanelFace> CreateSyncPanel(FrameApp&, MainWindowLink&) { return nullptr; }
};
