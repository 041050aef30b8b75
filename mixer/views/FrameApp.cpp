#include "mixer/views/FrameApp.h"
#include "mixer/dialogs/AboutDialog.h"
#include "mixer/dialogs/ManualPath.h"

#include <algorithm>

#include "framework/controls/Control.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/ScrollPanel.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/Tooltip.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/Timer.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/AppBase.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FXPaletteWindow.h"
#include "mixer/views/PresetTreeView.h"
#include "mixer/views/FrameSections.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/LogoPanel.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MainSectionView.h"
#include "mixer/views/MainToolbar.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/MixerGroupToolbar.h"
#include "mixer/views/MixerStripsToolbar.h"
#include "mixer/views/ProgramSections.h"

namespace
{
using FrameLayout::kStripWidth;

// The style the frame is made with: a popup with its own frame, clipping its children.
const DWORD kFrameStyle = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX;
const int kHitBorder = 6;
const int kSessionNameId = 11;
const int kMainSectionId = 10;

// The views the program has.
ProgramSections gProgramSections;

// A stored number, signed (a monitor left of or above the primary one gives negative
// places); the default when missing or no number.
int ReadNumber(RegistryKey& key, const char16_t* name, int defaultValue)
{
    String text;
    if (!key.ReadString(name, text, nullptr) || text.Length() == 0)
        return defaultValue;
    return text.ToInt();
}

void WriteNumber(RegistryKey& key, const char16_t* name, int value)
{
    String text;
    text.AppendInt(value);
    key.WriteString(name, &text);
}

Rect ToRect(const RECT& rect)
{
    Rect result;
    result.left = rect.left;
    result.top = rect.top;
    result.right = rect.right;
    result.bottom = rect.bottom;
    return result;
}

// The work area of the monitor nearest to the rectangle.
Rect NearestWorkArea(const RECT& rect)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = ::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    if (!monitor || !::GetMonitorInfoA(monitor, &info))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return ToRect(info.rcWork);
}

void SetFlagItem(Panel& panel, const char* name, int value)
{
    String wide;
    wide.AssignAscii(name);
    DataItem* item = panel.FindDataItem(wide);
    if (item && item->GetKind() == DataItem::KindFlag)
        static_cast<FlagItem*>(item)->SetValue(static_cast<float>(value), 1, 1, nullptr);
}
} // namespace

FrameApp::FrameApp() : sections_(&gProgramSections) {}

std::unique_ptr<MainFrameTarget> FrameApp::Make(MainWindowLink& owner, bool fullBuild)
{
    auto frame = std::make_unique<FrameApp>();
    if (!frame->Create(&owner, fullBuild ? 1 : 0))
        return nullptr;
    return frame;
}

FrameApp::~FrameApp()
{
    // An open menu of the frame would report to a deleted listener.
    PopupMenu::CloseMenusOf(this);
    // The flags stay as the user left them: the next frame (a restart, a rebuild) shows the
    // palette and the sync panel again.
    fxPalette_.reset();
    syncPanel_.reset();
    Timer::StopTicker();
    mainSection_.reset();
    stripSection_.reset();
    mainToolbar_.reset();
    logo_.reset();
    stripsToolbar_.reset();
    groupToolbar_.reset();
    stripsScroll_.reset();
    sessionName_.reset();
    if (hooked_)
        NativeWindow::SetKeyboardHook(nullptr);
}

int FrameApp::PieceWidth(int piece) const
{
    const Rect& rect = GetStyle2().pieces[piece];
    return rect.right - rect.left;
}

int FrameApp::PieceHeight(int piece) const
{
    const Rect& rect = GetStyle2().pieces[piece];
    return rect.bottom - rect.top;
}

int FrameApp::HorizontalPieces() const
{
    return PieceWidth(CenterLeft) + PieceWidth(CenterRight);
}

int FrameApp::MainSectionWidth() const
{
    if (!mainSection_)
        return 0;
    RECT rect = {};
    ::GetWindowRect(mainSection_->GetWindow().GetHandle(), &rect);
    return rect.right - rect.left;
}

int FrameApp::MainSectionLeft(int frameWidth) const
{
    return frameWidth - PieceWidth(CenterRight) - MainSectionWidth();
}

void FrameApp::PlaceOnScreen(int x, int y, int width, int height)
{
    const RECT wanted = {x, y, x + width, y + height};
    Rect frame = ToRect(wanted);
    frame = FrameLayout::ClampIntoWorkArea(frame, NearestWorkArea(wanted));
    ::SetWindowPos(GetHandle(), nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

int FrameApp::Create(MainWindowLink* owner, int show)
{
    owner_ = owner;
    RegistryKey& key = owner->GetSettings();
    const int storedX = ReadNumber(key, ViewSettings::kFrameX, 20);
    const int storedY = ReadNumber(key, ViewSettings::kFrameY, 20);
    const int width =
        FrameLayout::OpeningWidth(ReadNumber(key, ViewSettings::kFrameWidth, FrameLayout::kMinOpeningWidth));

    Skin& skin = owner->GetSkin();
    if (!SkinDialogs(skin).CreateFrameWindow2("frameApp", this))
        return 0;
    String name;
    name.AssignAscii("bg_stripNormal");
    SkinBitmap* strip = skin.FindBitmap(name);
    stripAreaHeight_ = strip && strip->GetDib() ? strip->Height() : FrameLayout::kDefaultStripAreaHeight;
    const int height = stripAreaHeight_ + PieceHeight(TopMid) + PieceHeight(BotMid);

    // The whole frame opens inside the nearest monitor's work area, narrowed to it when wider:
    // a place stored on a monitor that has gone, or any y off every screen, is reachable again.
    const RECT wanted = {storedX, storedY, storedX + width, storedY + height};
    const Rect placed = FrameLayout::ClampIntoWorkArea(ToRect(wanted), NearestWorkArea(wanted));
    const int frameWidth = placed.right - placed.left;
    const String* title = skin.FindStringById("IDS_CORVANDSP_TITLE");
    if (!FrameWindow::Create(title, kFrameStyle, placed.left, placed.top, frameWidth, placed.bottom - placed.top,
                             nullptr, 0))
        return 0;
    Rect content;
    GetContentRect(content);

    int x = 0;
    int y = 0;
    skin.GetMiscParamInt("stripToolsXPos", x);
    skin.GetMiscParamInt("stripToolsYPos", y);
    stripsToolbar_ = std::make_unique<MixerStripsToolbar>();
    if (!stripsToolbar_->Create(this, owner, x, y))
        stripsToolbar_.reset();

    IVarnServices* services = owner->GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    mainToolbar_ = std::make_unique<MainToolbar>();
    mainToolbar_->SetHasSync(hardware && hardware->HasFeature(HardwareFeature::kSyncCard));
    if (!mainToolbar_->Create(this, owner, frameWidth, content.bottom))
        mainToolbar_.reset();

    String inserts;
    inserts.AssignAscii("insertsScrollbar");
    for (Panel* panel : {static_cast<Panel*>(stripsToolbar_.get()), static_cast<Panel*>(mainToolbar_.get())})
    {
        Control* control = panel ? panel->FindControl(inserts) : nullptr;
        if (control && control->GetType() == Control::TypeScrollbar && !vertical_)
            vertical_ = static_cast<Scrollbar*>(control);
    }

    x = 0;
    y = 0;
    skin.GetMiscParamInt("stripGroupToolsXPos", x);
    skin.GetMiscParamInt("stripGroupToolsYPos", y);
    groupToolbar_ = std::make_unique<MixerGroupToolbar>();
    if (!groupToolbar_->Create(this, owner, x, y))
        groupToolbar_.reset();

    String styleName;
    styleName.AssignAscii("stripsection");
    const ScrollbarStyle* style = skin.FindScrollbarStyle(&styleName, 0);
    if (!style)
        return 0;
    const int stripWidth = StripAreaWidth(frameWidth);
    stripsScroll_ = std::make_unique<ScrollPanel>();
    if (!stripsScroll_->Setup(style, nullptr, stripWidth - 5))
        return 0;
    scrollLeft_ = PieceWidth(CenterLeft);
    scrollFromBottom_ = stripsScroll_->Thickness() + scrollInset_;
    int value = 0;
    if (skin.GetMiscParamInt("stripHorzScrollbarLeftOffset", value))
        scrollLeft_ = value;
    if (skin.GetMiscParamInt("stripHorzScrollbarBotOffset", value))
        scrollFromBottom_ = value;
    const int scrollTop = (placed.bottom - placed.top) - scrollFromBottom_;
    if (!stripsScroll_->Create(this, scrollLeft_, scrollTop, 8))
        return 0;
    stripsScroll_->Move(scrollLeft_, scrollTop, stripWidth - scrollInset_, 1);
    horizontal_ = stripsScroll_->GetScroller();

    // The main section takes the right of the frame; the strips have the rest, and the frame
    // grows to hold the section.
    MakeMainSection();
    stripSection_ = sections_->CreateStripSection(*this, *owner, content.left, content.top, StripAreaWidth(frameWidth),
                                                  stripAreaHeight_, 7);
    FitToMainSection();

    if (horizontal_)
        horizontal_->SetClient(this);
    if (vertical_)
        vertical_->SetClient(this);
    SyncHorizontalScroll(1);
    SyncVerticalScroll(1);

    // The frame as the main section left it.
    RECT now = {};
    GetWindowRect(now);
    const int nowWidth = now.right - now.left;
    const FrameStyle2& frame = GetStyle2();
    logo_ = std::make_unique<LogoPanel>();
    if (!logo_->Create(skin, this, this, now.left + nowWidth - frame.leftLogoOffset, now.top + frame.topLogoOffset))
        logo_.reset();
    else
    {
        logo_->SetAboutListener(this);
        logo_->SetPosition(now.left + nowWidth - frame.leftLogoOffset, now.top + frame.topLogoOffset, now.left,
                           now.top);
    }

    sessionName_ = std::make_unique<Panel>();
    sessionName_->Setup(nullptr, -1, -1, 0x646464);
    if (!PanelBuilder(skin).BuildPanel("SessionName", *sessionName_, 0, nullptr) ||
        !sessionName_->Create(this, nowWidth - frame.sessionNameXOffset,
                              (now.bottom - now.top) - frame.sessionNameYOffset, kSessionNameId))
        sessionName_.reset();
    UpdateSessionTitle();

    if (show)
    {
        Show(SW_SHOW);
        if (key.ReadBool(ViewSettings::kFxPaletteVisible, 0))
            ShowFxPalette(1);
    }
    Timer::StartTicker(GetHandle());
    FitWidth();
    if (!show)
    {
        if (fxPalette_)
            fxPalette_->GetWindow().Show(SW_HIDE);
        if (syncPanel_)
            syncPanel_->GetWindow().Show(SW_HIDE);
        Show(SW_HIDE);
    }
    return 1;
}

void FrameApp::FitWidth()
{
    if (!stripSection_)
        return;
    RECT area = {};
    ::GetWindowRect(stripSection_->GetWindow().GetHandle(), &area);
    const int shrink = FrameLayout::FitShrink(area.right - area.left, stripSection_->GetTotalWidth());
    if (shrink <= 0)
        return;
    RECT frame = {};
    GetWindowRect(frame);
    RegistryKey& key = owner_->GetSettings();
    PlaceOnScreen(ReadNumber(key, ViewSettings::kFrameX, frame.left), ReadNumber(key, ViewSettings::kFrameY, frame.top),
                  frame.right - frame.left - shrink, frame.bottom - frame.top);
}

void FrameApp::UpdateSessionTitle()
{
    RegistryKey& key = owner_->GetSettings();
    String untitled;
    untitled.AssignAscii("Untitled.session");
    String stored;
    if (!key.ReadString(ViewSettings::kLastSavedSession, stored, nullptr))
    {
        key.WriteString(ViewSettings::kLastSavedSession, &untitled);
        stored.Assign(untitled);
    }
    int modified = 0;
    String dirty;
    if (!key.ReadString(ViewSettings::kDirtySession, dirty, nullptr))
    {
        key.WriteBool(ViewSettings::kDirtySession, 1);
        stored.Assign(untitled);
    }
    else
        modified = dirty.CompareLiteral("yes") == 0;
    TextControl* control = sessionName_ ? sessionName_->FindTextControl("sessionname") : nullptr;
    if (!control)
        return;
    String shown;
    if (owner_->GetSessionName(shown))
        key.WriteString(ViewSettings::kLastSavedSession, &shown);
    else
        shown.Assign(stored);
    if (modified)
        shown.AppendAscii("*");
    control->SetText(shown, 1);
}

void FrameApp::SetViewMode(int mode)
{
    viewMode_ = FrameLayout::SwitchViewMode(viewMode_, mode, *this);
}

void FrameApp::LeaveMode(int mode)
{
    SwitchModeView(mode, false);
}

void FrameApp::EnterMode(int mode)
{
    SwitchModeView(mode, true);
}

void FrameApp::SwitchModeView(int mode, bool enter)
{
    switch (mode)
    {
    case FrameLayout::kModeStrips:
        if (stripSection_)
            enter ? stripSection_->EnterViewMode() : stripSection_->LeaveViewMode();
        break;
    case FrameLayout::kModeMainFirst:
    case FrameLayout::kModeMainSecond: {
        const int layout = mode == FrameLayout::kModeMainFirst ? 1 : 0;
        if (mainSection_)
            enter ? mainSection_->EnterViewMode(layout) : mainSection_->LeaveViewMode(layout);
        // Mode 1 shows the compact section, mode 2 the full one. The switch may come from a
        // handler of the section itself (a key, a press in its inserts): the section is made
        // again from a posted message, never while its own handler runs.
        if (enter && mainSection_ && layout != mainSectionCompact_)
            PostMessage(WindowMessage::kMainSectionForm, 0, 0);
        break;
    }
    case FrameLayout::kModeLogo:
        if (logo_)
            enter ? logo_->EnterViewMode() : logo_->LeaveViewMode();
        break;
    default:
        // The main toolbar's mode changes nothing.
        break;
    }
}

void FrameApp::ShowFxPalette(int on)
{
    on = on ? 1 : 0;
    // Stored even when the palette already is as asked: the toolbar's toggle always says so.
    owner_->GetSettings().WriteBool(ViewSettings::kFxPaletteVisible, on);
    if ((fxPalette_ != nullptr) == (on == 1))
        return;
    if (on)
        fxPalette_ = sections_->CreateFxPalette(*this, *owner_);
    else
        fxPalette_.reset();
}

void FrameApp::ShowSyncPanel(int on)
{
    on = on ? 1 : 0;
    if ((syncPanel_ != nullptr) == (on == 1))
        return;
    owner_->GetSettings().WriteBool(ViewSettings::kSyncUiPanel, on);
    if (on)
        syncPanel_ = sections_->CreateSyncPanel(*this, *owner_);
    else
        syncPanel_.reset();
}

void FrameApp::SyncHorizontalScroll(int notify)
{
    if (!horizontal_ || !stripSection_)
        return;
    RECT area = {};
    ::GetClientRect(stripSection_->GetWindow().GetHandle(), &area);
    const FrameLayout::ScrollSettings settings =
        FrameLayout::HorizontalScroll(area.right, stripSection_->GetTotalWidth(), lastHorizontal_);
    horizontal_->SetVisible(settings.visible, false);
    horizontal_->SetTotal(settings.total, false);
    horizontal_->SetPosition(settings.position, false);
    horizontal_->SetRange(settings.range, notify != 0);
    if (settings.position != lastHorizontal_)
        OnScrollPosition(settings.position, horizontal_, 0);
}

void FrameApp::SyncVerticalScroll(int notify)
{
    if (!vertical_ || !stripSection_)
        return;
    const int before = vertical_->GetPosition();
    const FrameLayout::ScrollSettings settings =
        FrameLayout::VerticalScroll(stripSection_->GetMaxInsertCount(), stripSection_->GetInsertRowHeight(),
                                    stripSection_->GetVisibleInsertRows(), before);
    vertical_->SetVisible(settings.visible, false);
    vertical_->SetTotal(settings.total, false);
    vertical_->SetPosition(settings.position, false);
    vertical_->SetRange(settings.range, notify != 0);
    if (settings.position != before)
        OnScrollPosition(settings.position, vertical_, 0);
}

void FrameApp::AttachScroller(Scroller* scroller, int)
{
    if (scroller == vertical_)
        SyncVerticalScroll(0);
    else
        SyncHorizontalScroll(0);
}

void FrameApp::OnScrollerNotify(Scroller* scroller, int)
{
    if (scroller == vertical_)
        SyncVerticalScroll(1);
    else
        SyncHorizontalScroll(1);
}

void FrameApp::OnScrollPosition(int position, Scroller* scroller, int)
{
    if (!stripSection_)
        return;
    if (scroller == horizontal_)
    {
        const int old = lastHorizontal_;
        lastHorizontal_ = position;
        if (old == position)
            return;
        Window& strips = stripSection_->GetWindow();
        ::ScrollWindowEx(strips.GetHandle(), (old - position) * kStripWidth, 0, nullptr, nullptr, nullptr, nullptr,
                         SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        ::UpdateWindow(strips.GetHandle());
    }
    else if (scroller == vertical_)
    {
        lastVertical_ = position;
        stripSection_->RelayInsertRows();
    }
}

Scroller* FrameApp::ScrollerToWheel() const
{
    if (vertical_ && vertical_->GetRange() >= 1)
        return vertical_;
    if (horizontal_ && horizontal_->GetRange() >= 1)
        return horizontal_;
    return nullptr;
}

void FrameApp::OnMouseWheel(WPARAM wParam, int, int)
{
    Scroller* scroller = ScrollerToWheel();
    const int delta = static_cast<short>(HIWORD(wParam));
    if (!scroller || delta == 0)
        return;
    const int position = scroller->GetPosition();
    const int next = delta > 0 ? std::max(0, position - 1) : std::min(scroller->GetRange(), position + 1);
    // The bar tells the frame of a changed position itself.
    scroller->SetPosition(next, true);
}

void FrameApp::RestoreWindows()
{
    if (IsMinimized())
        Restore();
    if (!IsVisible())
        Show(SW_SHOW);
    // A frame made hidden (as at the program's start) has no palette yet: one left open comes
    // back when the frame does.
    if (!fxPalette_ && owner_->GetSettings().ReadBool(ViewSettings::kFxPaletteVisible, 0))
        ShowFxPalette(1);
    if (fxPalette_)
        fxPalette_->GetWindow().Show(SW_SHOW);
    if (syncPanel_)
        syncPanel_->GetWindow().Show(SW_SHOW);
}

void FrameApp::BringForward()
{
    RestoreWindows();
    Activate();
}

void FrameApp::RefreshForEvent(int id, VarnEventArg argument)
{
    if (stripSection_)
        stripSection_->RefreshForEvent(id, argument);
    if (mainSection_)
        mainSection_->OnStripChanged(nullptr);
}

void FrameApp::AddStripView(IVarnStrip* strip)
{
    if (!stripSection_)
        return;
    stripSection_->AddStripView(strip);
    SyncHorizontalScroll(1);
}

void FrameApp::RemoveStripView(VarnEventArg stripId)
{
    if (!stripSection_)
        return;
    stripSection_->RemoveStripView(stripId);
    SyncHorizontalScroll(1);
    FitWidth();
}

void FrameApp::UpdateStrip(VarnEventArg stripId)
{
    if (stripSection_)
        stripSection_->UpdateStrip(stripId);
    if (!mainSection_)
        return;
    IVarnServices* services = owner_ ? owner_->GetServices() : nullptr;
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    mainSection_->OnStripChanged(mixer ? mixer->GetStripById(static_cast<int>(stripId)) : nullptr);
}

IVarnHardware* FrameApp::GetCurrentSystem()
{
    return stripSection_ ? stripSection_->GetCurrentSystem() : nullptr;
}

InsertStripTarget* FrameApp::FindInsertStrip(int id, VarnEventArg argument)
{
    InsertStripTarget* strip = stripSection_ ? stripSection_->FindInsertStrip(id, argument) : nullptr;
    if (!strip && mainSection_)
        strip = mainSection_->FindInsertStrip(id, argument);
    return strip;
}

StripSectionTarget* FrameApp::GetStripSection()
{
    return stripSection_.get();
}

MainSectionTarget* FrameApp::GetMainSection()
{
    return mainSection_.get();
}

FxPaletteTarget* FrameApp::GetFxPalette()
{
    return fxPalette_.get();
}

SyncPanelTarget* FrameApp::GetSyncPanel()
{
    return syncPanel_.get();
}

TVAreaView* FrameApp::SectionHost::CreateTVView(int mode, MainSectionView& owner, IVarnInsert* insert)
{
    return frame_.sections_->CreateTVView(frame_, mode, owner, insert);
}

int FrameApp::SectionHost::ToStripSection(int screenX, int screenY, int& x, int& y, int& clientWidth)
{
    if (!frame_.stripSection_)
        return 0;
    HWND strips = frame_.stripSection_->GetWindow().GetHandle();
    POINT point = {screenX, screenY};
    ::ScreenToClient(strips, &point);
    RECT client = {};
    ::GetClientRect(strips, &client);
    x = point.x;
    y = point.y;
    clientWidth = client.right;
    return 1;
}

int FrameApp::NewPresetCategory(String& name)
{
    auto* palette = dynamic_cast<FXPaletteWindow*>(fxPalette_.get());
    PresetTreeView* tree = palette ? palette->GetTree() : nullptr;
    return tree ? tree->NewCategory(&name, this) : 0;
}

IVarnInsert* FrameApp::SectionHost::GetSelectedStripInsert()
{
    return frame_.stripSection_ ? frame_.stripSection_->GetSelectedInsert() : nullptr;
}

InsertStripLink* FrameApp::SectionHost::CreateInsertStrip(IVarnInsertChain* chain, MainSectionView& owner,
                                                          Scrollbar* bar, int slotCount)
{
    return InsertSlotStrip::ForSection(*frame_.owner_, &frame_, chain, owner, bar, slotCount);
}

void FrameApp::SectionHost::AutoScrollStripInserts(int screenX, int screenY)
{
    if (frame_.stripSection_)
        frame_.stripSection_->AutoScrollFirstStripInserts(screenX, screenY);
}

void FrameApp::SectionHost::AutoScrollSectionInserts(int screenX, int screenY)
{
    if (frame_.mainSection_)
        frame_.mainSection_->AutoScrollInserts(screenX, screenY);
}

void FrameApp::SectionHost::ShowEngineStrip(IVarnStrip* strip)
{
    if (frame_.stripSection_)
        frame_.stripSection_->FocusEngineStrip(strip, 1);
}

void FrameApp::SectionHost::ScrollStrips(int direction)
{
    Scroller* scroller = frame_.horizontal_;
    if (!scroller || !frame_.stripSection_)
        return;
    const int position = std::clamp(scroller->GetPosition() + direction, 0, scroller->GetRange());
    if (position != scroller->GetPosition())
        scroller->SetPosition(position, true);
}

void FrameApp::UpdateHardwareButtons()
{
    if (groupToolbar_)
        groupToolbar_->UpdateHardwareButtons();
}

void FrameApp::CreateStrip()
{
    if (stripSection_)
        stripSection_->CreateStrip();
}

void FrameApp::DeleteStrip()
{
    if (stripSection_)
        stripSection_->DeleteStrip();
    FocusStripEditor(nullptr, 0);
}

void FrameApp::FocusStripEditor(IVarnInsert* insert, int force)
{
    auto* section = dynamic_cast<MainSectionView*>(mainSection_.get());
    auto editor = [section] { return section ? dynamic_cast<MSTVFXView*>(section->GetTVView()) : nullptr; };
    if (insert && section && !editor())
        section->SetTVMode(0);
    if (MSTVFXView* view = editor())
    {
        view->SetInsert(insert, force);
        return;
    }
    if (insert)
        return;
    if (auto* panel = section ? dynamic_cast<Panel*>(section->GetTVView()) : nullptr)
        panel->RedrawArea(nullptr, 1);
    MSTVFXView::SetCurrentInsert(nullptr);
}

void FrameApp::CollapseStrips()
{
    ::PostMessageA(GetHandle(), WindowMessage::kToolbarRequest, kCollapse, 0);
}

void FrameApp::ShowAboutMenu()
{
    PopupMenu* menu = owner_->GetSkin().CreatePopupMenu("AboutContextMenu");
    if (!menu)
        return;
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    menu->Track(cursor.x, cursor.y, this, this, 1);
}

void FrameApp::OnMenuCommand(int command)
{
    if (command == LogoPanel::kAboutCommand)
    {
        IVarnServices* services = owner_->GetServices();
        IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
        AboutDialog::Show(owner_->GetSkin(), mixer ? mixer->GetHardware() : nullptr, owner_->GetCurrentSystem(), this);
    }
    else if (command == kSaveCommand)
        owner_->SaveSession();
    else if (command == kSaveAsCommand)
        owner_->SaveSessionAs();
}

void FrameApp::Close()
{
    owner_->Close();
}

void FrameApp::Help()
{
    String path;
    if (FindManualPath(path))
        AppBase::OpenDocument(path);
}

void FrameApp::OnCreate()
{
    NativeWindow::SetKeyboardHook(&keys_);
    hooked_ = true;
}

int FrameApp::OnClose()
{
    Close();
    return 0;
}

void FrameApp::OnRightButtonDown(WPARAM, int, int)
{
    ShowAboutMenu();
}

int FrameApp::OnSize(WPARAM type, int width, int height)
{
    if (type != SIZE_MINIMIZED && FrameLayout::StoresWidth(width))
        WriteNumber(owner_->GetSettings(), ViewSettings::kFrameWidth, width);
    LayOut(width, height);
    return FrameWindow::OnSize(type, width, height);
}

void FrameApp::LayOut(int width, int height)
{
    Rect content;
    GetContentRect(content);
    if (mainSection_)
        mainSection_->GetWindow().SetPosition(MainSectionLeft(width), content.top, 1);
    if (mainToolbar_)
        mainToolbar_->SetPosition(width - mainToolbar_->BackgroundWidth() - 36,
                                  content.bottom - mainToolbar_->BackgroundHeight(), 1);
    const FrameStyle2& frame = GetStyle2();
    if (logo_)
    {
        RECT rect = {};
        GetWindowRect(rect);
        logo_->SetPosition(rect.left + width - frame.leftLogoOffset, rect.top + frame.topLogoOffset, rect.left,
                           rect.top);
    }
    if (sessionName_)
        sessionName_->SetPosition(width - frame.sessionNameXOffset, height - frame.sessionNameYOffset, 1);
    if (stripSection_)
    {
        RECT area = {};
        ::GetWindowRect(stripSection_->GetWindow().GetHandle(), &area);
        stripSection_->GetWindow().SetSize(StripAreaWidth(width), area.bottom - area.top, 1);
    }
    if (stripsScroll_)
    {
        stripsScroll_->Move(scrollLeft_, height - scrollFromBottom_, StripAreaWidth(width) - scrollInset_, 1);
        SyncHorizontalScroll(1);
        // Widening at the end of the strips shows one strip more rather than empty space.
        if (horizontal_ && stripSection_ && horizontal_->GetPosition() == horizontal_->GetRange() &&
            stripSection_->GetTotalWidth() > StripAreaWidth(width) && horizontal_->GetPosition() > 0)
            horizontal_->SetPosition(horizontal_->GetPosition() - 1, true);
    }
}

void FrameApp::MakeMainSection()
{
    const int compact = viewMode_ == FrameLayout::kModeMainFirst ? 1 : 0;
    if (mainSection_ && compact == mainSectionCompact_)
        return;
    std::unique_ptr<MainSectionFace> section =
        sections_->CreateMainSection(*this, sectionHost_, *owner_, compact, 0, 0, kMainSectionId);
    if (!section)
        return;
    // Made visible at (0, 0), the section's first paint went to that place and was lost when
    // FitToMainSection moved it: the compact section stayed grey. It stays hidden until it
    // is placed.
    section->GetWindow().Show(SW_HIDE);
    mainSection_ = std::move(section);
    mainSectionCompact_ = compact;
}

void FrameApp::FitToMainSection()
{
    RECT frame = {};
    GetWindowRect(frame);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    if (mainSection_)
    {
        RECT section = {};
        ::GetWindowRect(mainSection_->GetWindow().GetHandle(), &section);
        width = std::max(width, FrameLayout::OpeningWidth(0, section.right - section.left));
        height = FrameLayout::FrameHeight(stripAreaHeight_, PieceHeight(TopMid), PieceHeight(BotMid),
                                          section.bottom - section.top, GetStyle2().sessionNameYOffset);
        PlaceOnScreen(frame.left, frame.top, width, height);
        GetWindowRect(frame);
    }
    // The size may not have changed while the strips' part did: lay out in any case.
    LayOut(frame.right - frame.left, frame.bottom - frame.top);
    if (mainSection_ && !mainSection_->GetWindow().IsVisible())
        mainSection_->GetWindow().Show(SW_SHOWNA);
}

void FrameApp::OnMove(int, int)
{
    if (IsMinimized() || !owner_)
        return;
    RECT frame = {};
    GetWindowRect(frame);
    // Moved off every monitor (a monitor that went, a work area that shrank): back onto the
    // nearest one; the move that brings it there stores the place.
    if (!::MonitorFromRect(&frame, MONITOR_DEFAULTTONULL))
    {
        PlaceOnScreen(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
        return;
    }
    if (logo_)
        logo_->OnOwnerMoved(frame.left, frame.top, 1);
    WriteNumber(owner_->GetSettings(), ViewSettings::kFrameX, frame.left);
    WriteNumber(owner_->GetSettings(), ViewSettings::kFrameY, frame.top);
}

int FrameApp::OnNcHitTest(int x, int)
{
    Rect content;
    GetContentRect(content);
    if (x < kHitBorder)
        return HTLEFT;
    if (x < content.right)
        return HTCAPTION;
    return HTRIGHT;
}

void FrameApp::OnGetMinMaxInfo(MINMAXINFO* info)
{
    FrameWindow::OnGetMinMaxInfo(info);
    if (!info)
        return;
    // The main section stays whole beside at least two strips.
    const int fixed = HorizontalPieces() + MainSectionWidth();
    info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, fixed + FrameLayout::kMinStripsWidth);
    if (stripSection_)
        info->ptMaxTrackSize.x = std::max(stripSection_->GetTotalWidth() + fixed, fixed + FrameLayout::kMinStripsWidth);
}

void FrameApp::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WindowMessage::kEngineEvent)
    {
        owner_->RebuildView(static_cast<int>(wParam), static_cast<VarnEventArg>(lParam));
        return;
    }
    if (message == WindowMessage::kMainSectionForm)
    {
        const int before = mainSectionCompact_;
        MakeMainSection();
        if (mainSectionCompact_ != before)
        {
            FitToMainSection();
            if (viewMode_ == FrameLayout::kModeMainFirst || viewMode_ == FrameLayout::kModeMainSecond)
                SwitchModeView(viewMode_, true);
        }
        return;
    }
    if (message == WindowMessage::kToolbarRequest)
    {
        // The main section's expand and collapse buttons switch to the mode of that form.
        if (wParam == kMainSectionForm)
            SetViewMode(lParam ? FrameLayout::kModeMainSecond : FrameLayout::kModeMainFirst);
        else if (mainToolbar_ && wParam == kFxVisible)
            SetFlagItem(*mainToolbar_, "fxVisible", static_cast<int>(lParam));
        else if (mainToolbar_ && wParam == kSyncSettings)
            SetFlagItem(*mainToolbar_, "syncsettings", static_cast<int>(lParam));
        return;
    }
    FrameWindow::OnUserMessage(message, wParam, lParam);
}

int FrameApp::OnKeyDown(WPARAM key, LPARAM flags)
{
    return hooked_ ? 0 : HandleKey(key, flags);
}

int FrameApp::HandleKey(WPARAM key, LPARAM flags)
{
    switch (key)
    {
    case VK_TAB:
        SetViewMode(FrameLayout::kModeNext);
        return 1;
    case VK_F1: {
        Tooltip* tooltip = Tooltip::Current();
        if (!tooltip || !::IsWindowVisible(tooltip->GetHandle()))
        {
            // The manual opens, and the key goes on to the focused window.
            Help();
            return 0;
        }
        Control* hovered = Control::HoverControl();
        if (hovered && hovered->GetHelp().Length())
        {
            String document;
            document.Assign(hovered->GetHelp());
            Tooltip::Destroy();
            AppBase::OpenDocument(document);
            return 1;
        }
        return 0;
    }
    case 'S': {
        IVarnHardware* system = owner_->GetCurrentSystem();
        if (!system || !system->HasFeature(HardwareFeature::kSyncCard))
            return 0;
        syncToggle_ = !syncToggle_;
        ShowSyncPanel(syncToggle_);
        return 1;
    }
    default:
        break;
    }
    switch (viewMode_)
    {
    case FrameLayout::kModeStrips:
        return stripSection_ ? stripSection_->OnKeyDown(key, flags) : 0;
    case FrameLayout::kModeMainFirst:
    case FrameLayout::kModeMainSecond:
        return mainSection_ ? mainSection_->OnKeyDown(key, flags) : 0;
    case FrameLayout::kModeToolbar:
        return mainToolbar_ ? mainToolbar_->OnKeyDown(key, flags) : 0;
    default:
        // The logo hands its keys to the frame: handing them back would go round for ever.
        return 0;
    }
}
