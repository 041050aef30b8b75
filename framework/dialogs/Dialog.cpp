#include "framework/dialogs/Dialog.h"

#include "framework/controls/Button.h"
#include "framework/controls/InPlaceEditor.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/DialogGeometry.h"
#include "framework/platform/Timer.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/AppBase.h"

#include <algorithm>
#include <vector>

namespace
{
// Stops the ticker while a modal loop runs and starts it again on every way out, unless told
// to keep it stopped. Only a ticker that ran is started again: a start without one would make
// a new timer.
class TickerPause
{
public:
    TickerPause() : ran_(Timer::IsTickerRunning())
    {
        if (ran_)
            Timer::StopTicker();
    }
    ~TickerPause()
    {
        if (ran_)
            Timer::StartTicker();
    }
    TickerPause(const TickerPause&) = delete;
    TickerPause& operator=(const TickerPause&) = delete;
    void KeepStopped() { ran_ = 0; }

private:
    int ran_;
};

// Opened dialogs not yet destroyed, oldest first; user-interface thread only.
std::vector<Dialog*> gModalList;
DialogAnswerer* gAnswerer = nullptr; // borrowed

// Posted to a dialog whose loop has started, so that a test's answerer runs inside it.
const UINT kAnswerMessage = WM_APP + 17;

void CopyStyle(const DialogStyle& from, DialogStyle& to)
{
    std::copy(std::begin(from.frame), std::end(from.frame), std::begin(to.frame));
    to.exitButton = from.exitButton;
    to.helpButton = from.helpButton;
    to.buttonImages = from.buttonImages;
    to.leftSeg = from.leftSeg;
    to.midSeg = from.midSeg;
    to.rightSeg = from.rightSeg;
    to.tickIcon = from.tickIcon;
    to.crossIcon = from.crossIcon;
    to.buttonFont = from.buttonFont;
    to.titleFont = from.titleFont;
    to.titleTopOffset = from.titleTopOffset;
    to.titleSideOffset = from.titleSideOffset;
    to.sysButTopOffset = from.sysButTopOffset;
    to.helpButRightOffset = from.helpButRightOffset;
    to.exitButRightOffset = from.exitButRightOffset;
    to.titleAlignment = from.titleAlignment;
    to.titleColour = from.titleColour;
    to.normalColour = from.normalColour;
    to.selectedColour = from.selectedColour;
    to.disabledColour = from.disabledColour;
    // A caption the style lacks keeps the one the dialog has.
    for (auto caption : {&DialogStyle::yes, &DialogStyle::no, &DialogStyle::ok, &DialogStyle::cancel})
        if ((from.*caption).Length())
            (to.*caption).Assign(from.*caption);
}

// A frame piece that can be drawn and tiled.
bool Usable(SkinBitmap* piece)
{
    return piece && piece->GetDib() && piece->Width() >= 1 && piece->Height() >= 1;
}

int IsName(const Control* control, const char* name)
{
    return control && control->GetName().CompareLiteral(name) == 0;
}
} // namespace

Dialog::Dialog()
{
    style_.yes.AssignAscii("Yes");
    style_.no.AssignAscii("No");
    style_.ok.AssignAscii("OK");
    style_.cancel.AssignAscii("Cancel");
}

Dialog::~Dialog()
{
    auto found = std::find(gModalList.begin(), gModalList.end(), this);
    if (found != gModalList.end())
        gModalList.erase(found);
    ReleaseOwner();
    Dialog* top = TopModal();
    NativeWindow::SetTopModal(top ? top->GetHandle() : nullptr);
}

int Dialog::IsCompleteStyle(const DialogStyle* style)
{
    if (!style || !style->titleFont || !style->buttonFont)
        return 0;
    for (SkinBitmap* piece : style->frame)
        if (!Usable(piece))
            return 0;
    return 1;
}

int Dialog::TitleBarRightRoom(const DialogStyle& style)
{
    int room = style.frame[TopRight] ? style.frame[TopRight]->Width() : 0;
    if (style.exitButton)
        room = std::max(room, style.exitButRightOffset);
    if (style.helpButton)
        room = std::max(room, style.helpButRightOffset);
    return room;
}

int Dialog::Create(const DialogStyle* style, int width, int height, const String* title)
{
    if (!IsCompleteStyle(style))
        return 0;
    CopyStyle(*style, style_);
    if (!LayoutFrame(width, height))
        return 0;
    if (title && !title_.Assign(*title))
        return 0;
    const struct
    {
        SkinBitmap* image;
        const char* name;
        int rightOffset;
    } systemButtons[] = {{style_.exitButton, "dialogclose", style_.exitButRightOffset},
                         {style_.helpButton, "dialoghelp", style_.helpButRightOffset}};
    for (const auto& system : systemButtons)
    {
        if (!system.image)
            continue;
        auto* button = new Button();
        String name;
        name.AssignAscii(system.name);
        button->Setup(Width() - system.rightOffset, style_.sysButTopOffset, name, system.image, nullptr, nullptr);
        AddControl(button, nullptr);
    }
    // The title spans the top row up to the system buttons: added before them, it would take
    // their presses and make them drag the dialog instead; wider, it would run under them.
    if (title_.Length())
    {
        auto* text = new TextControl();
        const int textWidth = Width() - style_.titleSideOffset - TitleBarRightRoom(style_);
        String name;
        name.AssignAscii("title");
        text->Setup(style_.titleSideOffset, style_.titleTopOffset, name, title_, style_.titleFont, nullptr,
                    style_.titleColour, 0x808080, textWidth, style_.titleAlignment, nullptr, -1, -1, -1, 0, 0);
        AddControl(text, nullptr);
    }
    return 1;
}

int Dialog::LayoutFrame(int width, int height)
{
    SkinBitmap* const* piece = style_.frame;
    auto w = [&](int i) { return piece[i]->Width(); };
    auto h = [&](int i) { return piece[i]->Height(); };
    if (!DialogGeometry::RoundToTiles(width, w(CenterLeft), w(CenterRight), w(TopMid), width) ||
        !DialogGeometry::RoundToTiles(height, h(TopMid), h(BotMid), h(CenterLeft), height))
        return 0;
    Setup(nullptr, width, height, 0x646464);
    const int innerWidth = width - w(CenterLeft) - w(CenterRight);
    const int innerHeight = height - h(TopMid) - h(BotMid);
    const struct
    {
        int piece, x, y, across, down;
    } cells[] = {
        {TopLeft, 0, 0, 1, 1},
        {TopMid, w(TopLeft), 0, innerWidth / w(TopMid), 1},
        {TopRight, width - w(TopRight), 0, 1, 1},
        {CenterLeft, 0, h(TopLeft), 1, innerHeight / h(CenterLeft)},
        {CenterMid, w(TopLeft), h(TopLeft), innerWidth / w(CenterMid), innerHeight / h(CenterMid)},
        {CenterRight, width - w(CenterRight), h(TopRight), 1, innerHeight / h(CenterRight)},
        {BotLeft, 0, height - h(BotLeft), 1, 1},
        {BotMid, w(TopLeft), height - h(BotMid), innerWidth / w(BotMid), 1},
        {BotRight, width - w(BotRight), height - h(BotRight), 1, 1},
    };
    for (const auto& cell : cells)
        // A dialog no larger than its edges has no middle tiles.
        if (cell.across > 0 && cell.down > 0)
            AddBackgroundSection(piece[cell.piece], cell.x, cell.y, cell.across, cell.down, -1);
    return 1;
}

Button* Dialog::AddStyleButton(const char* name, int x, int y, const String& caption, SkinBitmap* icon, int widen)
{
    if (!style_.buttonImages || !style_.buttonFont)
        return nullptr;
    // The caption between the end slices; with an icon the button draws it a left slice
    // further in.
    const int left = std::max(style_.leftSeg, 0);
    int width = style_.buttonFont->TextWidth(caption) + left + std::max(style_.rightSeg, 0);
    if (icon && icon->GetDib())
        width += icon->Width() + left;
    String buttonName;
    buttonName.AssignAscii(name);
    auto* button = new Button();
    if (!button->SetupSegmented(x, y, buttonName, width + widen, style_.buttonImages, style_.leftSeg, style_.midSeg,
                                style_.rightSeg, icon, caption, style_.buttonFont, style_.normalColour,
                                style_.selectedColour, style_.disabledColour, style_.normalColour, style_.normalColour,
                                nullptr))
    {
        delete button;
        return nullptr;
    }
    AddControl(button, nullptr);
    return button;
}

void Dialog::AddOkCancelButtons(int okX, int okY, int cancelX, int cancelY)
{
    if (okX < 0 || okY < 0 || !style_.frame[BotLeft])
        return;
    AddStyleButton("OK", okX, okY, style_.ok, style_.tickIcon, 0);
    if (cancelX >= 0 && cancelY >= 0)
        AddStyleButton("CANCEL", cancelX, cancelY, style_.cancel, style_.crossIcon, 0);
}

void Dialog::AddYesNoButtons(int yesX, int yesY, int noX, int noY)
{
    if (yesX < 0 || yesY < 0 || !style_.frame[BotLeft])
        return;
    AddStyleButton("OK", yesX, yesY, style_.yes, nullptr, 0);
    if (noX >= 0 && noY >= 0)
        AddStyleButton("CANCEL", noX, noY, style_.no, nullptr, 0);
}

int Dialog::DoModal(Window* owner)
{
    TickerPause tickerPause;
    Setup(nullptr, Width(), Height(), BackgroundColour());
    if (!OnInitDialog())
        return 0;
    if (!owner && AppBase::Current())
        owner = AppBase::Current()->GetMainWindow();
    const int width = BackgroundWidth();
    const int height = BackgroundHeight();
    RECT work = {};
    Rect workArea;
    Rect ownerArea;
    const Rect* centreOn = nullptr;
    if (owner && owner->GetMonitorWorkArea(work))
    {
        RECT rect = {};
        if (owner->IsVisible() && owner->GetWindowRect(rect))
        {
            ownerArea = Rect{rect.left, rect.top, rect.right, rect.bottom};
            centreOn = &ownerArea;
        }
    }
    else
    {
        Window::GetWorkArea(work);
    }
    workArea = Rect{work.left, work.top, work.right, work.bottom};
    int x = 0;
    int y = 0;
    DialogGeometry::Place(centreOn, workArea, width, height, x, y);

    if (owner && owner->IsEnabled())
    {
        owner->Enable(0);
        owner_ = owner;
        ownerDisabled_ = 1;
    }
    windowId_ = ModalCount() + 1;
    if (!Panel::Create(owner, x, y, windowId_))
    {
        ReleaseOwner();
        return 0;
    }
    ::SetWindowPos(GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    gModalList.push_back(this);
    NativeWindow::SetTopModal(GetHandle());
    BringToFront();
    if (gAnswerer)
        PostMessage(kAnswerMessage, 0, 0);
    result_ = RunModalLoop();
    HideNoActivate();
    Dialog* top = TopModal();
    NativeWindow::SetTopModal(top ? top->GetHandle() : nullptr);
    // The program is closing: its windows are gone and nothing is to be given back.
    if (NativeWindow::LiveWindowCount() == 0)
    {
        owner_ = nullptr;
        ownerDisabled_ = 0;
        tickerPause.KeepStopped();
        return MapResult(0);
    }
    ReleaseOwner();
    if (owner)
    {
        owner->Activate();
        owner->SetFocus();
    }
    return MapResult(result_);
}

void Dialog::ReleaseOwner()
{
    if (owner_ && ownerDisabled_)
        owner_->Enable(1);
    owner_ = nullptr;
    ownerDisabled_ = 0;
}

int Dialog::ShowModeless()
{
    if (!OnInitDialog())
        return 0;
    RECT work = {};
    Window::GetWorkArea(work);
    int x = 0;
    int y = 0;
    DialogGeometry::Place(nullptr, Rect{work.left, work.top, work.right, work.bottom}, BackgroundWidth(),
                          BackgroundHeight(), x, y);
    Window* mainWindow = AppBase::Current() ? AppBase::Current()->GetMainWindow() : nullptr;
    if (!Panel::Create(mainWindow, x, y, 1))
        return 0;
    Show(SW_SHOW);
    return 1;
}

void Dialog::End(int code)
{
    InPlaceEditor::CloseCurrent();
    result_ = code;
    EndModalLoop(code);
}

int Dialog::OnKeyDown(WPARAM key, LPARAM)
{
    if (key == VK_ESCAPE)
    {
        End(0);
        return 1;
    }
    if (key == VK_RETURN)
    {
        if (CanAccept())
            End(1);
        return 1;
    }
    return 0;
}

int Dialog::OnNcHitTest(int x, int y)
{
    const Control* control = ControlAt(x, y);
    if (!control || (control->GetType() == Control::TypeText && !control->IsHidden() && !control->GetItem()))
        return HTCAPTION;
    return -1;
}

int Dialog::OnClose()
{
    End(0);
    return 0;
}

void Dialog::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kAnswerMessage && gAnswerer)
    {
        gAnswerer->OnDialogShown(*this);
        return;
    }
    Panel::OnUserMessage(message, wParam, lParam);
}

int Dialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (IsName(control, "dialogclose") || IsName(control, "CANCEL"))
    {
        End(0);
        return 1;
    }
    if (IsName(control, "OK"))
    {
        End(1);
        return 1;
    }
    if (IsName(control, "dialoghelp"))
    {
        if (helpTopic_.Length() && AppBase::Current())
            AppBase::Current()->ShowHelp();
        return 1;
    }
    return Panel::OnControlNotify(sender, control, argument);
}

Dialog* Dialog::TopModal()
{
    // Only a dialog whose loop runs takes the input: one kept after its end would block all.
    for (auto at = gModalList.rbegin(); at != gModalList.rend(); ++at)
        if ((*at)->IsInModalLoop())
            return *at;
    return nullptr;
}

int Dialog::ModalCount()
{
    return static_cast<int>(gModalList.size());
}

Dialog* Dialog::ModalAt(int index)
{
    return gModalList.at(static_cast<size_t>(index));
}

void Dialog::SetAnswerer(DialogAnswerer* answerer)
{
    gAnswerer = answerer;
}
