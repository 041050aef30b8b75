#pragma once
#include <memory>
#include <vector>

#include "framework/controls/Panel.h"
#include "framework/controls/Scroller.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/names/PortNames.h"
#include "mixer/views/IoViewRules.h"
#include "mixer/views/MainSectionParts.h"

class MainSectionView;
class MainWindowLink;
class MSTVIoView;
class Scrollbar;
class Skin;

// What the outputs and inputs views of the main section's TV area share: a panel with a mode
// choice (physical or host, kept in the settings), "prevsys"/"nextsys" to step through the
// hardware systems and a scrolling list of rows in its "clientarea", one row per output or
// input. User-interface thread only.

// The views' and rows' panel colour.
constexpr uint32_t kTVPanelColour = 0x646464;

// An ASCII text as a String.
String AsciiString(const char* text);

// The features and model code of a system as the rows' rules read them (none: all off).
IoHardware ReadIoHardware(IVarnHardware* system);

// The list of rows: each row a panel, placed one row height below the other; a vertical
// scroll bar of the view, when it has one, scrolls them a row at a time. A row's handler of
// the user's action can run message boxes, whose loops handle the engine's events: while one
// runs (RowAction), every rebuild or refresh of the rows waits and runs once the handler has
// returned, so no row and no control is deleted under its own handler.
class MSTVIoList : public Window, public ScrollClient
{
public:
    static constexpr int kControlId = 999;

    MSTVIoList(MSTVIoView& view, MainWindowLink& link, IVarnHardware* system, int mode);
    ~MSTVIoList() override;

    // A visible child of the view; the rows are made as it is created. 0 on failure.
    int Create(int x, int y, int width, int height);
    // Mode 0 physical, 1 host; a change (or another system) builds the rows again from the
    // top.
    void SetMode(int mode);
    void SetSystem(IVarnHardware* system);
    IVarnHardware* GetSystem() const { return system_; }
    int GetMode() const { return mode_; }
    MainWindowLink& GetLink() const { return link_; }
    MSTVIoView& GetView() const { return view_; }
    // The mixer model the names are read from; null without an engine.
    IVarnMixer* GetMixer() const;

    int GetRowCount() const { return static_cast<int>(rows_.size()); }
    Panel* GetRow(int index) const;
    int GetScrollPosition() const { return position_; }
    // The scroll bar's range, page and position for the rows; with notify the bar redraws.
    void Layout(int notify);
    // One row up for a positive delta, one down for a negative one.
    void OnWheel(int delta);

    // Held while a row handles the user's action.
    class RowAction
    {
    public:
        explicit RowAction(MSTVIoList& list);
        ~RowAction();
        RowAction(const RowAction&) = delete;
        RowAction& operator=(const RowAction&) = delete;

    private:
        MSTVIoList& list_;
    };
    bool IsBusy() const { return busy_ > 0; }

    void OnCreate() override;
    int OnEraseBackground(Graphics& graphics) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ScrollClient: the view's "vertscrollbar".
    void AttachScroller(Scroller* scroller, int id) override;
    void OnScrollPosition(int position, Scroller* scroller, int id) override;
    void OnLineUp(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnLineDown(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnPageUp(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnPageDown(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnScrollerNotify(Scroller*, int) override { Layout(1); }
    void OnScrollEnd() override {}

protected:
    // Makes the rows of the system in the mode, under the wait cursor (AddRow for each).
    virtual void Populate() = 0;
    // A row that was created; its index is the count of rows before it.
    void AddRow(std::unique_ptr<Panel> row) { rows_.push_back(std::move(row)); }
    // Deletes the rows and makes them again from the top, laid out; held while a row's
    // handler runs.
    void Rebuild();
    // The height of the first row's background; 0 without rows.
    int RowHeight();

private:
    void RebuildNow();
    void EndRowAction();

    MSTVIoView& view_;
    MainWindowLink& link_;
    IVarnHardware* system_; // the engine's; null for none
    int mode_;
    std::vector<std::unique_ptr<Panel>> rows_;
    Scroller* bar_ = nullptr; // the view's control, or null
    int position_ = 0;        // the first row shown
    int busy_ = 0;            // row handlers running
    bool rebuildHeld_ = false;
};

// What the rows of both lists share: their list and index, a template of the skin built into
// them, their place one row height per index down the list, and their texts.
class MSTVIoRow : public Panel
{
protected:
    MSTVIoRow(MSTVIoList& list, int rowIndex) : list_(list), rowIndex_(rowIndex) {}
    // The panel set up for the row (its own listener).
    void SetupRow() { Setup(this, 0, 0, kTVPanelColour); }
    // The skin's template of that name in place of the row's controls; 0 without it.
    int BuildTemplate(const char* name, int rebuild);
    // The row's window in the list; 0 when it cannot be made.
    int Place();
    // The text control's text, drawn with the row.
    void SetText(const char* control, const String& text);

    MSTVIoList& list_;
    int rowIndex_;
};

// The view: its panel of the skin at the TV area's place, with its mode item.
class MSTVIoView : public Panel, public TVAreaView
{
public:
    ~MSTVIoView() override;

    // The view created in the main section's TV area for the section's main window; null (and
    // the view deleted) when it cannot be made. The section owns what it answers.
    static TVAreaView* Place(std::unique_ptr<MSTVIoView> view, MainSectionView& owner);
    // Reads the mode, builds the skin panel with the mode's background and creates it in the
    // parent at misc "mainSectionTVXPos" (24) and "mainSectionTVYPos" (52); 0 on failure.
    int Create(Window* parent, MainWindowLink& link);
    // Ignored for the shown index, a negative one or one past the mixer model's systems.
    void SelectSystem(int index);
    int GetSystemIndex() const { return systemIndex_; }
    // Null while the view is empty (no "clientarea", no engine or no system).
    MSTVIoList* GetList() const { return list_.get(); }
    bool IsBusy() override { return list_ && list_->IsBusy(); }
    // A row's handler ended: the main section may go on with what waited for it.
    void OnRowActionsEnded();
    // The strip section focuses the strip and scrolls it into view (through the section's
    // host; nothing without one).
    void ShowEngineStrip(IVarnStrip* strip);

    void OnCreate() override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

protected:
    // The names of the view's panel, mode item and mode setting.
    MSTVIoView(const char* panelName, const char* modeItem, const char16_t* modeSetting)
        : panelName_(panelName), modeItem_(modeItem), modeSetting_(modeSetting)
    {
    }
    // The list of the view's kind.
    virtual std::unique_ptr<MSTVIoList> MakeList(IVarnHardware* system, int mode) = 0;
    // The panel's background for a mode; null: the panel's first.
    virtual const char* BackgroundOf(int) { return nullptr; }
    MainWindowLink* GetLink() const { return link_; }

private:
    const char* panelName_;
    const char* modeItem_;
    const char16_t* modeSetting_;
    MainWindowLink* link_ = nullptr;  // borrowed
    MainSectionHost* host_ = nullptr; // borrowed: the section's; may be null
    Window* area_ = nullptr;          // borrowed: the window that holds the view
    IntItem* mode_ = nullptr;         // the panel's
    std::unique_ptr<MSTVIoList> list_;
    int systemIndex_ = 0;
};
