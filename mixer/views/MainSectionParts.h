#pragma once
#include <cstdint>

#include "mixer/engine/VarnServices.h"
#include "mixer/views/EngineEventTargets.h"

class MainSectionView;
class Scrollbar;

// An insert-slot strip as the main section drives it: the slot widgets of one insert chain
// (an aux bus's or the main bus's), built by the insert-slot controller. Coordinates are the
// main section's client coordinates.
class InsertStripLink
{
public:
    virtual ~InsertStripLink() = default;

    virtual IVarnInsertChain* GetChain() = 0;
    virtual int GetSlotCount() = 0;
    // The length of slot 0 along a vertical (height) or horizontal (width) bar.
    virtual int GetSlotExtent(int vertical) = 0;
    // The first visible slot.
    virtual int GetScrollOffset() = 0;
    // The slot under the point, or -1.
    virtual int HitTest(int x, int y) = 0;
    // A press with the key modifiers (InsertSlotRules::kShift, kControl); focused: the strip
    // already held the focus (its slots redraw at once).
    virtual void OnMouse(int modifiers, int x, int y, int focused, int rightButton) = 0;
    virtual void ShowContextMenu(int x, int y) = 0;
    // Takes a drop: the slot index, or a negative value when refused.
    virtual int QueryDrop(int x, int y, std::intptr_t kind, std::intptr_t payload) = 0;
    virtual int IsSelected() = 0;
    virtual void Select() = 0;
    virtual void Deselect() = 0;
    // The engine insert at the selected slot, or null.
    virtual IVarnInsert* GetSelectedInsert() = 0;
    virtual void DeleteSelected() = 0;
    // Shows the chain again (after a scroll or an insert change).
    virtual void Refresh() = 0;
    virtual void RetryDspInserts() = 0;
    // Drag scrolling while something is dragged near the slots (screen coordinates).
    virtual void AutoScroll(int screenX, int screenY) = 0;
    // The strip as an engine event reaches it when it shows the event's chain (700-748) or
    // insert (750-799); null otherwise.
    virtual InsertStripTarget* TargetFor(int id, VarnEventArg argument) = 0;
};

// A view of the main section's TV area: the insert-effect view (mode 0), the inputs view
// (mode 1) or the outputs view (mode 2). Each answers the events of its own kind; the rest
// pass by.
class TVAreaView
{
public:
    virtual ~TVAreaView() = default;

    virtual void OnOutputChanged(VarnEventArg) {}
    virtual void OnInputChanged(VarnEventArg) {}
    virtual void OnPresetListEvent(int, VarnEventArg) {}
    virtual void OnEffectEvent(int, VarnEventArg) {}
    virtual void OnInsertEvent(int, VarnEventArg) {}
    virtual void OnStripChanged(IVarnStrip*) {}
    // Whether one of the view's own handlers of the user's action runs (and with it perhaps a
    // message box's loop): the view must not be replaced until it has returned.
    virtual bool IsBusy() { return false; }
};

// What the main section asks of the frame that holds it: its view mode, its strip section,
// and the insert strips and TV views, which other parts of the program build. Every answer
// may be none; the section then goes on without the part.
class MainSectionHost
{
public:
    virtual int GetViewMode() = 0;
    virtual void SetViewMode(int mode) = 0;
    // The selected insert of the strip section's selected strip, or null.
    virtual IVarnInsert* GetSelectedStripInsert() = 0;
    // A strip of slotCount slots over the chain, or null when none can be made.
    virtual InsertStripLink* CreateInsertStrip(IVarnInsertChain* chain, MainSectionView& owner, Scrollbar* bar,
                                               int slotCount) = 0;
    // The TV view of the mode (0 effect, 1 inputs, 2 outputs) created in the section, or null.
    virtual TVAreaView* CreateTVView(int mode, MainSectionView& owner, IVarnInsert* insert) = 0;
    // The screen point in the strip section's client coordinates with the section's client
    // width; 0 without a strip section.
    virtual int ToStripSection(int screenX, int screenY, int& x, int& y, int& clientWidth) = 0;
    // One step left (-1) or right (+1).
    virtual void ScrollStrips(int direction) = 0;
    // The drag scrolling of the insert slots of the active group's first strip, when the
    // screen point lies outside that strip.
    virtual void AutoScrollStripInserts(int screenX, int screenY) = 0;
    // The same for the main section's aux and main insert-slot strips; nothing without a main
    // section.
    virtual void AutoScrollSectionInserts(int screenX, int screenY) = 0;
    // The strip section focuses the engine strip's view and scrolls it into view; nothing
    // without a strip section.
    virtual void ShowEngineStrip(IVarnStrip* strip) = 0;

protected:
    ~MainSectionHost() = default;
};

// A drag's strip scrolling: -1 (one step left) when x lies 1 to 19 pixels left of the strip
// area, +1 when it lies 1 to 19 pixels right of its right edge (width), else 0.
inline int DragScrollDirection(int x, int width)
{
    if (x > -20 && x < 0)
        return -1;
    return x > width && x < width + 20 ? 1 : 0;
}
