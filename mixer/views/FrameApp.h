#pragma once

#include <memory>

#include "framework/controls/PopupMenu.h"
#include "framework/controls/Scroller.h"
#include "framework/dialogs/FrameWindow.h"
#include "framework/windows/NativeWindow.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/EngineEventTargets.h"
#include "mixer/views/FrameLayout.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/MainSectionParts.h"
#include "mixer/views/ToolbarHost.h"

class LogoPanel;
class MainSectionFace;
class MainToolbar;
class MainWindowLink;
class MixerGroupToolbar;
class MixerStripsToolbar;
class FrameSections;
class FxPaletteFace;
class ScrollPanel;
class StripSectionFace;
class SyncPanelFace;

// The mixer's main top-level window, built from the skin's "frameApp": the strips, main and
// group toolbars, the strip section with its two scroll bars, the main section, the logo
// and the session-name panel; it shows and hides the FX palette and the sync panel, switches
// its view modes, keeps its place and width in the main window's settings and hands the
// engine's events (message 2023) to the main window's dispatcher. User-interface thread
// only.
class FrameApp : public FrameWindow,
                 public ScrollClient,
                 public MenuListener,
                 public MainFrameTarget,
                 public ToolbarHost,
                 public InsertStripOwner,
                 private FrameLayout::ViewModeViews
{
public:
    // What the frame's toolbar request (WindowMessage::kToolbarRequest) carries first.
    enum ToolbarState
    {
        // The main section's "expand" (1) and "collapse" (0): its full and compact forms.
        kMainSectionForm = 1,
        kCollapse = 2,
        kFxVisible = 3,
        kSyncSettings = 4
    };
    // The save menu's commands.
    enum
    {
        kSaveCommand = 24,
        kSaveAsCommand = 25
    };

    FrameApp();
    // The main window's factory: a frame made for owner, shown with a full build and hidden
    // without; null when it cannot be made.
    static std::unique_ptr<MainFrameTarget> Make(MainWindowLink& owner, bool fullBuild);
    // Destroys the floating windows without touching their stored flags, so the next frame
    // shows them again, and the children; stops the shared ticker.
    ~FrameApp() override;

    // Where the views of other parts come from; borrowed, set before Create (by default the
    // program's own, ProgramSections).
    void SetSections(FrameSections& sections) { sections_ = &sections; }
    // 1 on success; 0 when the skin has no "frameApp" or no "stripsection" scroll bars, or the
    // window cannot be made.
    int Create(MainWindowLink* owner, int show);

    void UpdateSessionTitle() override;
    void SetViewMode(int mode);
    int GetViewMode() const { return viewMode_; }
    void ShowFxPalette(int on) override;
    void ShowSyncPanel(int on) override;
    void SyncHorizontalScroll(int notify);
    void SyncVerticalScroll(int notify);
    void RestoreWindows();
    void UpdateHardwareButtons();

    // MainFrameTarget: what the main window's dispatcher reaches.
    void BringForward() override;
    void UpdateHardwareButtons(VarnEventArg) override { UpdateHardwareButtons(); }
    void RefreshForEvent(int id, VarnEventArg argument) override;
    void AddStripView(IVarnStrip* strip) override;
    void RemoveStripView(VarnEventArg stripId) override;
    void UpdateStrip(VarnEventArg stripId) override;
    // The frame has no extra section.
    void RefreshExtraSection() override {}
    IVarnHardware* GetCurrentSystem() override;
    bool HasSessionSection() override { return sessionName_ != nullptr; }
    InsertStripTarget* FindInsertStrip(int id, VarnEventArg argument) override;
    StripSectionTarget* GetStripSection() override;
    MainSectionTarget* GetMainSection() override;
    FxPaletteTarget* GetFxPalette() override;
    SyncPanelTarget* GetSyncPanel() override;
    Window* GetFrameWindow() override { return this; }
    MenuListener* GetMenuListener() override { return this; }
    // ToolbarHost: what the toolbars ask of the frame.
    Window& GetToolbarParent() override { return *this; }
    void CreateStrip() override;
    void DeleteStrip() override;
    void CollapseStrips() override;
    void OnToolbarWheel(WPARAM wParam, int x, int y) override { OnMouseWheel(wParam, x, y); }
    void ShowAboutMenu();
    // Shows the insert in the main section's effect view, switching the TV area to it first;
    // null clears the view (or, without one, the remembered insert).
    void FocusStripEditor(IVarnInsert* insert, int force) override;
    // InsertStripOwner: the slots' messages and dialogs belong to the frame.
    Window* GetDialogParent() override { return this; }
    // The FX palette's prompt (none without the palette).
    int NewPresetCategory(String& name) override;
    // The strips' insert rows' scroll bar ("insertsScrollbar"), or null.
    Scroller* GetInsertsScroller() const { return vertical_; }

    // The main section's form: 1 compact, 0 full (or no section).
    int IsMainSectionCompact() const { return mainSectionCompact_; }
    MixerStripsToolbar* GetStripsToolbar() const { return stripsToolbar_.get(); }
    MixerGroupToolbar* GetGroupToolbar() const { return groupToolbar_.get(); }
    MainToolbar* GetMainToolbar() const { return mainToolbar_.get(); }
    Panel* GetSessionNamePanel() const { return sessionName_.get(); }

    // FrameWindow: the caption's close asks the main window; help opens the manual.
    void Close() override;
    void Help() override;

    void OnCreate() override;
    int OnClose() override;
    void OnRightButtonDown(WPARAM flags, int x, int y) override;
    int OnSize(WPARAM type, int width, int height) override;
    void OnMove(int x, int y) override;
    int OnNcHitTest(int x, int y) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The program's keys, through the keyboard hook the frame sets: Tab, F1, "S", else the
    // current mode's view.
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    void OnMouseWheel(WPARAM wParam, int x, int y) override;

    // ScrollClient: both scroll bars.
    void AttachScroller(Scroller* scroller, int id) override;
    void OnScrollPosition(int position, Scroller* scroller, int id) override;
    void OnLineUp(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnLineDown(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnPageUp(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnPageDown(int position, Scroller* scroller, int id) override { OnScrollPosition(position, scroller, id); }
    void OnScrollerNotify(Scroller* scroller, int id) override;
    void OnScrollEnd() override {}

    // MenuListener: the save menu.
    void OnMenuCommand(int command) override;

    // The strip section's view of the frame: the scroll bar over the strips (a strip clears
    // the editor's focus, FocusStripEditor(null, 0), when it takes the focus itself).
    Scroller* GetStripsScroller() const { return horizontal_; }
    // What the main section asks of the frame; the FX palette's drag scrolls the strips
    // through it too.
    MainSectionHost& GetSectionHost() { return sectionHost_; }

private:
    // The process-wide keyboard hook: every key of the program reaches the frame's OnKeyDown
    // first. The frame's own window slot then leaves the keys alone, or a key the hook did
    // not take (F1) would act twice.
    class Keys : public KeyboardHook
    {
    public:
        explicit Keys(FrameApp& frame) : frame_(frame) {}
        int OnChar(WPARAM, LPARAM) override { return 0; }
        int OnKeyDown(WPARAM key, LPARAM flags) override { return frame_.HandleKey(key, flags); }
        int OnKeyUp(WPARAM, LPARAM) override { return 0; }

    private:
        FrameApp& frame_;
    };
    int HandleKey(WPARAM key, LPARAM flags);

    // What the main section asks of the frame. The insert-slot strips and the strip section's
    // insert rows are built by other parts: until they exist the host makes no strip, and the
    // drag scrolling of the strips' inserts changes nothing a person sees. The TV views come
    // from the frame's sections.
    class SectionHost : public MainSectionHost
    {
    public:
        explicit SectionHost(FrameApp& frame) : frame_(frame) {}
        int GetViewMode() override { return frame_.viewMode_; }
        void SetViewMode(int mode) override { frame_.SetViewMode(mode); }
        IVarnInsert* GetSelectedStripInsert() override;
        InsertStripLink* CreateInsertStrip(IVarnInsertChain* chain, MainSectionView& owner, Scrollbar* bar,
                                           int slotCount) override;
        TVAreaView* CreateTVView(int mode, MainSectionView& owner, IVarnInsert* insert) override;
        int ToStripSection(int screenX, int screenY, int& x, int& y, int& clientWidth) override;
        void ScrollStrips(int direction) override;
        void AutoScrollStripInserts(int screenX, int screenY) override;
        void AutoScrollSectionInserts(int screenX, int screenY) override;
        void ShowEngineStrip(IVarnStrip* strip) override;

    private:
        FrameApp& frame_;
    };

    // Makes the main section in the form the view mode asks for (compact in mode 1), when it
    // has another form or none; keeps the old one when the new one cannot be made.
    void MakeMainSection();
    // The frame's height and width for its main section, then the children laid out again.
    void FitToMainSection();
    // Places the children for the frame's width and height.
    void LayOut(int width, int height);
    int MainSectionWidth() const;

    // ViewModeViews.
    bool HasStripSection() override { return stripSection_ != nullptr; }
    void LeaveMode(int mode) override;
    void EnterMode(int mode) override;
    void SwitchModeView(int mode, bool enter);

    int PieceWidth(int piece) const;
    int PieceHeight(int piece) const;
    // The frame's left and right pieces together.
    int HorizontalPieces() const;
    // The strips' part of the frame: inside its left and right pieces, beside the main section.
    int StripAreaWidth(int frameWidth) const { return frameWidth - HorizontalPieces() - MainSectionWidth(); }
    // The main section's left edge for a frame width: inside the right edge.
    int MainSectionLeft(int frameWidth) const;
    // Moves the frame to (x, y, width, height), all of it inside the nearest monitor's work
    // area.
    void PlaceOnScreen(int x, int y, int width, int height);
    void FitWidth();
    Scroller* ScrollerToWheel() const;

    MainWindowLink* owner_ = nullptr; // borrowed: owns the frame
    FrameSections* sections_;         // borrowed
    std::unique_ptr<MixerStripsToolbar> stripsToolbar_;
    std::unique_ptr<MainToolbar> mainToolbar_;
    std::unique_ptr<LogoPanel> logo_;
    std::unique_ptr<MixerGroupToolbar> groupToolbar_;
    std::unique_ptr<ScrollPanel> stripsScroll_;
    int scrollLeft_ = 0;
    int scrollFromBottom_ = 0; // the bar's top, up from the frame's bottom edge
    int scrollInset_ = 4;
    std::unique_ptr<MainSectionFace> mainSection_;
    int mainSectionCompact_ = 0;
    SectionHost sectionHost_{*this};
    int stripAreaHeight_ = FrameLayout::kDefaultStripAreaHeight;
    std::unique_ptr<StripSectionFace> stripSection_;
    std::unique_ptr<FxPaletteFace> fxPalette_;
    int viewMode_ = FrameLayout::kModeNone;
    std::unique_ptr<SyncPanelFace> syncPanel_;
    int syncToggle_ = 0;
    Scroller* horizontal_ = nullptr; // the strips scroll panel's
    int lastHorizontal_ = 0;
    Scroller* vertical_ = nullptr; // the "insertsScrollbar" control's
    int lastVertical_ = 0;
    std::unique_ptr<Panel> sessionName_;
    Keys keys_{*this};
    bool hooked_ = false; // the keyboard hook is keys_
};
