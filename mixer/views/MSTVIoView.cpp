#include "mixer/views/MSTVIoView.h"

#include "framework/controls/Scrollbar.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/Skin.h"
#include "framework/windows/BusyWindow.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/MainSectionView.h"
#include "mixer/views/MainWindowLink.h"

String AsciiString(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

int MSTVIoRow::BuildTemplate(const char* name, int rebuild)
{
    return name && PanelBuilder(list_.GetLink().GetSkin()).BuildPanel(name, *this, rebuild, nullptr);
}

int MSTVIoRow::Place()
{
    return Panel::Create(&list_, 0, BackgroundHeight() * rowIndex_, 0);
}

void MSTVIoRow::SetText(const char* control, const String& text)
{
    if (auto* label = dynamic_cast<TextControl*>(FindControl(AsciiString(control))))
        label->SetText(text, 0);
}

IoHardware ReadIoHardware(IVarnHardware* system)
{
    if (!system)
        return IoHardware{};
    auto has = [system](int feature) { return system->HasFeature(feature) != 0; };
    return MakeIoHardware(system->GetModelCode(), has(1), has(2), has(4), has(9), has(10), has(11));
}

MSTVIoList::MSTVIoList(MSTVIoView& view, MainWindowLink& link, IVarnHardware* system, int mode)
    : view_(view), link_(link), system_(system), mode_(mode)
{
}

MSTVIoList::~MSTVIoList()
{
    rows_.clear();
}

IVarnMixer* MSTVIoList::GetMixer() const
{
    IVarnServices* services = link_.GetServices();
    return services ? services->GetMixer() : nullptr;
}

Panel* MSTVIoList::GetRow(int index) const
{
    return index >= 0 && index < GetRowCount() ? rows_[index].get() : nullptr;
}

int MSTVIoList::Create(int x, int y, int width, int height)
{
    // Not clipping its rows: the view paints its background under the list, and a redraw of the
    // view has to reach the rows to paint them again over that. A clipping list would stop the
    // view's invalidation at itself and leave the rows covered.
    if (!Window::Create(nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, &view_, 0, 0))
        return 0;
    ::SetWindowLongPtrA(GetHandle(), GWLP_ID, kControlId);
    return 1;
}

void MSTVIoList::OnCreate()
{
    BusyWindow busy(this);
    Populate();
}

int MSTVIoList::OnEraseBackground(Graphics& graphics)
{
    Rect clip;
    graphics.GetClipBox(clip);
    graphics.FillRect(clip, kTVPanelColour);
    return 1;
}

void MSTVIoList::SetMode(int mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    Rebuild();
}

void MSTVIoList::SetSystem(IVarnHardware* system)
{
    if (system == system_)
        return;
    system_ = system;
    Rebuild();
}

void MSTVIoList::Rebuild()
{
    if (busy_)
    {
        rebuildHeld_ = true;
        return;
    }
    RebuildNow();
}

// The rows come back at their first places, so the scroll position starts again at the top;
// the list hides while it fills.
void MSTVIoList::RebuildNow()
{
    rebuildHeld_ = false;
    rows_.clear();
    position_ = 0;
    if (bar_)
        bar_->SetPosition(0, false);
    Show(SW_HIDE);
    {
        BusyWindow busy(this);
        Populate();
    }
    Show(SW_SHOW);
    Layout(1);
    InvalidateAll(1);
    Update();
}

int MSTVIoList::RowHeight()
{
    return rows_.empty() ? 0 : rows_.front()->BackgroundHeight();
}

void MSTVIoList::Layout(int notify)
{
    if (!bar_)
        return;
    const int rows = GetRowCount();
    const int height = RowHeight();
    int maximum = 0;
    int position = 0;
    if (rows > 0 && height > 0)
    {
        int x = 0, y = 0, width = 0, windowHeight = 0;
        GetClientArea(x, y, width, windowHeight);
        maximum = rows * height / height - windowHeight / height;
        if (maximum < 0)
            maximum = 0;
        position = position_ < maximum - 1 ? position_ : maximum - 1;
        if (position < 0)
            position = 0;
        bar_->SetVisible(windowHeight, notify != 0);
        bar_->SetTotal(rows * height, notify != 0);
    }
    else
    {
        bar_->SetTotal(0, notify != 0);
    }
    bar_->SetRange(maximum, notify != 0);
    // The bar tells the list of a new position, which scrolls the rows.
    bar_->SetPosition(position, notify != 0);
    if (position != position_)
        OnScrollPosition(position, bar_, 0);
}

void MSTVIoList::OnScrollPosition(int position, Scroller*, int)
{
    if (position == position_)
        return;
    const int height = RowHeight();
    const int old = position_;
    position_ = position;
    if (height > 0)
    {
        Scroll(0, height * (old - position));
        Update();
    }
}

void MSTVIoList::AttachScroller(Scroller* scroller, int)
{
    bar_ = scroller;
    Layout(0);
}

void MSTVIoList::OnWheel(int delta)
{
    if (!bar_ || delta == 0)
        return;
    int position = position_ + (delta > 0 ? -1 : 1);
    if (position < 0 || position > bar_->GetRange())
        return;
    bar_->SetPosition(position, true);
}

void MSTVIoList::OnMouseWheel(WPARAM flags, int, int)
{
    OnWheel(GET_WHEEL_DELTA_WPARAM(flags));
}

MSTVIoList::RowAction::RowAction(MSTVIoList& list) : list_(list)
{
    ++list_.busy_;
}

MSTVIoList::RowAction::~RowAction()
{
    list_.EndRowAction();
}

void MSTVIoList::EndRowAction()
{
    if (--busy_ > 0)
        return;
    // The handler's own caller (the control that reported the action) is still on the stack:
    // what waited runs from the message loop.
    if (rebuildHeld_)
        PostMessage(WindowMessage::kTVListRebuild, 0, 0);
    view_.OnRowActionsEnded();
}

void MSTVIoList::OnUserMessage(UINT message, WPARAM, LPARAM)
{
    if (message == WindowMessage::kTVListRebuild && rebuildHeld_)
        Rebuild();
}

MSTVIoView::~MSTVIoView()
{
    list_.reset();
}

TVAreaView* MSTVIoView::Place(std::unique_ptr<MSTVIoView> view, MainSectionView& owner)
{
    view->host_ = owner.GetHost();
    return view->Create(&owner, owner.GetLink()) ? view.release() : nullptr;
}

void MSTVIoView::ShowEngineStrip(IVarnStrip* strip)
{
    if (host_ && strip)
        host_->ShowEngineStrip(strip);
}

int MSTVIoView::Create(Window* parent, MainWindowLink& link)
{
    link_ = &link;
    area_ = parent;
    String text;
    const String fallback = AsciiString("physical");
    link.GetSettings().ReadString(StringRef(modeSetting_), text, &fallback);
    const int mode = text.CompareLiteral("host") == 0 ? 1 : 0;
    mode_ = AddIntItem(modeItem_, mode, 0, 1, 0, 0);
    if (!mode_)
        return 0;
    Setup(this, 0, 0, kTVPanelColour);
    if (!PanelBuilder(link.GetSkin()).BuildPanel(panelName_, *this, 1, BackgroundOf(mode)))
        return 0;
    int x = 24, y = 52;
    link.GetSkin().GetMiscParamInt("mainSectionTVXPos", x);
    link.GetSkin().GetMiscParamInt("mainSectionTVYPos", y);
    return Panel::Create(parent, x, y, 0);
}

void MSTVIoView::OnCreate()
{
    Panel::OnCreate();
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    if (!GetRegionRect(AsciiString("clientarea"), x, y, width, height, id))
        return;
    systemIndex_ = 0;
    // Without an engine, a card or a system the view stays empty.
    IVarnServices* services = link_->GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    IVarnHardware* system = mixer && mixer->GetSystemCount() > 0 ? mixer->GetSystem(0) : nullptr;
    if (!system)
        return;
    list_ = MakeList(system, mode_->value);
    if (!list_->Create(x, y, width, height))
    {
        list_.reset();
        return;
    }
    if (auto* bar = dynamic_cast<Scrollbar*>(FindControl(AsciiString("vertscrollbar"))))
        bar->SetClient(list_.get());
    list_->Layout(0);
}

void MSTVIoView::SelectSystem(int index)
{
    IVarnServices* services = link_ ? link_->GetServices() : nullptr;
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    if (index == systemIndex_ || index < 0 || !mixer || index >= mixer->GetSystemCount())
        return;
    systemIndex_ = index;
    if (list_)
        list_->SetSystem(mixer->GetSystem(index));
}

void MSTVIoView::OnRowActionsEnded()
{
    if (area_ && area_->GetHandle())
        area_->PostMessage(WindowMessage::kTVViewIdle, 0, 0);
}

void MSTVIoView::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    Panel::OnMouseDown(flags, x, y);
}

void MSTVIoView::OnMouseWheel(WPARAM flags, int, int)
{
    if (list_)
        list_->OnWheel(GET_WHEEL_DELTA_WPARAM(flags));
}

int MSTVIoView::OnControlNotify(Panel*, Control* control, int)
{
    if (!control)
        return 0;
    if (control->GetName().CompareLiteral("prevsys") == 0)
        SelectSystem(systemIndex_ - 1);
    else if (control->GetName().CompareLiteral("nextsys") == 0)
        SelectSystem(systemIndex_ + 1);
    return 1;
}

int MSTVIoView::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (item != mode_)
        return Panel::OnDataItemNotify(panel, item, argument);
    const int mode = mode_->value;
    if (mode != 0 && mode != 1)
        return 1;
    if (BackgroundOf(mode) && !PanelBuilder(link_->GetSkin()).RebuildPanelBackground(*this, BackgroundOf(mode), 1))
        return 1;
    const String text = AsciiString(mode ? "host" : "physical");
    link_->GetSettings().WriteString(StringRef(modeSetting_), &text);
    if (list_)
        list_->SetMode(mode);
    return 1;
}
