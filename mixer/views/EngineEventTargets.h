#pragma once
#include <functional>
#include <memory>

#include "mixer/engine/VarnServices.h"

class MainWindowLink;
class MenuListener;
class Window;

// What the main window's engine-event dispatcher reaches in the views. All of it runs on the
// user-interface thread. A view that does not exist is a null target, and the dispatcher's
// rows for it do nothing; the views implement these faces, their tests hand the dispatcher
// recorders.

// An engine strip's view in the strip section.
class StripViewTarget
{
public:
    // Events 100-199 and 201-232 of its strip.
    virtual void OnEngineEvent(int id) = 0;
    virtual IVarnStrip* GetEngineStrip() = 0;

protected:
    ~StripViewTarget() = default;
};

// The strip section: the strip groups, one per engine system.
class StripSectionTarget
{
public:
    // The view of the strip with the engine id, or null.
    virtual StripViewTarget* FindStripView(VarnEventArg stripId) = 0;
    // Whether every engine object the groups list (their strips and the inserts of every
    // strip's insert list) has its hardware (IVarnStrip 30, IVarnInsert 13).
    virtual bool HasItsHardware() = 0;

protected:
    ~StripSectionTarget() = default;
};

// An insert-slot strip (the inserts of a strip, of an aux or of the main bus).
class InsertStripTarget
{
public:
    // Events 700-799 whose argument this strip shows.
    virtual void OnEngineEvent(int id, VarnEventArg argument) = 0;

protected:
    ~InsertStripTarget() = default;
};

// The main section view with its TV area.
class MainSectionTarget
{
public:
    // Events 55 and 300-399.
    virtual void OnEngineEvent(int id, VarnEventArg argument) = 0;
    // Event 400: an output changed (the argument is the port); to the outputs view when shown.
    virtual void OnOutputChanged(VarnEventArg port) = 0;
    // Event 500: an input changed; to the inputs view when shown.
    virtual void OnInputChanged(VarnEventArg argument) = 0;
    // Events 800-849, to the FX view when shown.
    virtual void OnPresetListEvent(int id, VarnEventArg argument) = 0;
    // Events 602, 610-699 and 1000-1299, to the FX view when shown.
    virtual void OnEffectEvent(int id, VarnEventArg argument) = 0;
    // Events 700-748 and 750-799, to the FX view when shown.
    virtual void OnInsertEvent(int id, VarnEventArg argument) = 0;
    // Copies every engine value into the section again (after a session load).
    virtual void UpdateStatus() = 0;
    // "SampleRate" for the rate code ("srlocked" 0 for a code outside 0-5).
    virtual void ShowSampleRate(int rateCode) = 0;
    // "SampleRateType" EXTERNAL or INTERNAL, then the session's rate when locked.
    virtual void ShowSyncSource(int external, int locked) = 0;
    // Whether every engine object the section lists (its buses and their inserts) has its
    // hardware.
    virtual bool HasItsHardware() = 0;

protected:
    ~MainSectionTarget() = default;
};

// The floating FX palette.
class FxPaletteTarget
{
public:
    // Effect-library events 804 and 850-898.
    virtual void OnAppEvent(int id, VarnEventArg argument) = 0;
    // Recomputes which effects fit the DSP.
    virtual void RefreshFit() = 0;

protected:
    ~FxPaletteTarget() = default;
};

// The floating sync settings panel.
class SyncPanelTarget
{
public:
    // Event 53: the status in the argument's low byte.
    virtual void OnSyncStatus(VarnEventArg argument) = 0;
    // Event 54, with the copy the listener took on the engine's thread.
    virtual void ShowSyncTime(const VarnSyncTime& time) = 0;

protected:
    ~SyncPanelTarget() = default;
};

// The main frame as the main window drives it. The main window owns it and deletes it through
// its virtual destructor (which leaves the stored "FX palette visible" as it is, so that the
// next frame shows the palette again).
class MainFrameTarget
{
public:
    virtual ~MainFrameTarget() = default;

    // Restores, shows and brings the frame forward.
    virtual void BringForward() = 0;
    // The title: the session name with the modified mark.
    virtual void UpdateSessionTitle() = 0;
    // Event 55: the group toolbar's hardware buttons.
    virtual void UpdateHardwareButtons(VarnEventArg argument) = 0;
    // Events 76 and 703.
    virtual void RefreshForEvent(int id, VarnEventArg argument) = 0;
    // Events 10, 11 and 12: a strip view added for an engine strip, removed or updated by id.
    virtual void AddStripView(IVarnStrip* strip) = 0;
    virtual void RemoveStripView(VarnEventArg stripId) = 0;
    virtual void UpdateStrip(VarnEventArg stripId) = 0;
    // Event 55: the extra section, when the frame has one.
    virtual void RefreshExtraSection() = 0;
    // The engine system of the current strip group; null without a current group.
    virtual IVarnHardware* GetCurrentSystem() = 0;
    // Whether the session-name panel exists.
    virtual bool HasSessionSection() = 0;
    // The insert-slot strip that shows an event's argument, or null: for 700-748 the chain of
    // that id, for 750-799 the chain that holds the insert of that key.
    virtual InsertStripTarget* FindInsertStrip(int id, VarnEventArg argument) = 0;

    // The sections; null while absent.
    virtual StripSectionTarget* GetStripSection() = 0;
    virtual MainSectionTarget* GetMainSection() = 0;
    virtual FxPaletteTarget* GetFxPalette() = 0;
    virtual SyncPanelTarget* GetSyncPanel() = 0;

    // The session commands: the frame's window as the parent of their dialogs and boxes, and
    // the listener of the save menu (commands 24 and 25); null where a frame has none.
    virtual Window* GetFrameWindow() { return nullptr; }
    virtual MenuListener* GetMenuListener() { return nullptr; }
};

// Makes the main frame for its owner and creates its window; null on failure. With fullBuild
// every section is laid out from the engine's session and the frame is shown; without it the
// frame stays hidden.
using MainFrameFactory = std::function<std::unique_ptr<MainFrameTarget>(MainWindowLink& owner, bool fullBuild)>;
