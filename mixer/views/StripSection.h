#pragma once
#include <memory>
#include <vector>

#include "framework/windows/Window.h"
#include "mixer/views/FrameSections.h"

class FrameApp;
class InsertSlotStrip;
class MainWindowLink;
class StripGroup;
class StripView;

// The strip area of the frame: one strip group per engine system, side by side with the skin's
// spacing between them, scrolled by the frame's horizontal bar in steps of 76 pixels. It
// follows the engine's strip reports, runs the arrow-key navigation between strips and the
// strip commands of the strips toolbar. User-interface thread only.
class StripSection : public Window, public StripSectionFace
{
public:
    StripSection();
    ~StripSection() override;

    // A visible child of the frame; builds a group per system of the mixer model.
    int Create(FrameApp* frame, MainWindowLink& link, int x, int y, int width, int height, int id);

    StripGroup* GetActiveGroup() const { return activeGroup_; }
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    StripGroup* GroupAt(int index) const;
    int IndexOf(const StripGroup* group) const;
    StripView* FindStripViewById(int id) const;
    StripView* FindFocusedStripView() const;
    StripView* FirstVisibleStripView() const;
    // The view's x in the whole strip area; -1 in no group.
    int StripX(const StripView* view) const;
    void EnsureStripVisible(StripView* view);
    void ScrollBy(int direction);
    // The strip's view gets the focus (and, when asked, is scrolled into view).
    void FocusEngineStrip(IVarnStrip* strip, int ensureVisible) override;
    void FocusFirstVisibleIfNone();
    void ClearFocus();
    bool NewStrip();
    void DeleteFocusedStrip();
    // Engine events 10-12.
    int OnStripAdded(IVarnStrip* strip);
    void OnStripRemoved(int id);
    void OnStripMoved(int id);
    void RefreshInputTags();
    FrameApp* GetFrame() const { return frame_; }
    MainWindowLink& GetLink() const { return *link_; }
    // Moves every group after group by dx (redraw).
    void ShiftGroupsAfter(StripGroup* group, int dx);

    // StripSectionFace.
    Window& GetWindow() override { return *this; }
    int GetTotalWidth() override;
    void EnterViewMode() override { FocusFirstVisibleIfNone(); }
    void LeaveViewMode() override { ClearFocus(); }
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    int GetMaxInsertCount() override;
    // The slot height and the slot count of the strips' insert slots (0 without a strip that
    // has them).
    int GetInsertRowHeight() override;
    int GetVisibleInsertRows() override;
    // The insert rows' scroll position changed: every strip shows its chain from there.
    void RelayInsertRows() override;
    void CreateStrip() override { NewStrip(); }
    void DeleteStrip() override { DeleteFocusedStrip(); }
    void AddStripView(IVarnStrip* strip) override { OnStripAdded(strip); }
    void RemoveStripView(VarnEventArg stripId) override { OnStripRemoved(static_cast<int>(stripId)); }
    void UpdateStrip(VarnEventArg stripId) override { OnStripMoved(static_cast<int>(stripId)); }
    // 76: the hardware changed, every input tag again. 703 (an insert selected) reaches the
    // strip's insert slots through FindInsertStrip; the section itself has nothing to redo.
    void RefreshForEvent(int id, VarnEventArg argument) override;
    IVarnHardware* GetCurrentSystem() override;
    InsertStripTarget* FindInsertStrip(int id, VarnEventArg argument) override;
    IVarnInsert* GetSelectedInsert() override;
    void AutoScrollFirstStripInserts(int screenX, int screenY) override;
    StripViewTarget* FindStripView(VarnEventArg stripId) override;
    bool HasItsHardware() override;

    // A group for each system of the mixer model.
    void BuildGroups();
    int OnSize(WPARAM type, int width, int height) override;
    int OnEraseBackground(Graphics& graphics) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;

private:
    void Layout();
    // The insert slots of the first strip that has them, or null.
    InsertSlotStrip* FirstInsertSlots() const;
    int Spacing() const;
    int ScrollPosition() const;

    FrameApp* frame_ = nullptr;      // borrowed: the parent
    MainWindowLink* link_ = nullptr; // borrowed
    std::vector<std::unique_ptr<StripGroup>> groups_;
    StripGroup* activeGroup_ = nullptr; // one of groups_
    int layoutPending_ = 1;
};
