#include "mixer/views/StripGroup.h"

#include <algorithm>

#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/Skin.h"
#include "mixer/dialogs/NewStripDialog.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/StripRules.h"
#include "mixer/views/StripSection.h"
#include "mixer/views/StripView.h"

StripGroup::StripGroup() = default;

StripGroup::~StripGroup()
{
    strips_.clear();
}

int StripGroup::Create(StripSection* section, MainWindowLink& link, int index, IVarnHardware* engineGroup)
{
    section_ = section;
    link_ = &link;
    index_ = index;
    engineGroup_ = engineGroup;
    if (!CreateEx(nullptr, 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 20, 20, 0, section))
        return 0;
    ::SetWindowLongPtrA(GetHandle(), GWLP_ID, index);
    BuildViews();
    return 1;
}

void StripGroup::BuildViews()
{
    IVarnStripList* list = engineGroup_ ? engineGroup_->GetStripList() : nullptr;
    for (int i = 0; list && i < list->GetCount(); ++i)
        AddStripView(list->GetStrip(i));
    Move(0, 0, GetWidth(), GetHeight(), 0);
    Layout();
}

int StripGroup::AddStripView(IVarnStrip* strip)
{
    auto view = std::make_unique<StripView>();
    if (!strip || !view->Create(this, *link_, Count(), strip))
        return 0;
    strips_.push_back(std::move(view));
    return 1;
}

int StripGroup::AddNewStripView(IVarnStrip* strip)
{
    // A group built from the engine's list may show the strip already.
    if (!strip || FindStripViewById(strip->GetId()) || !AddStripView(strip))
        return 0;
    StripView* view = strips_.back().get();
    const int width = view->BackgroundWidth();
    RECT area = {};
    ::GetWindowRect(GetHandle(), &area);
    const int height = area.bottom - area.top;
    Move(StripX0(), 0, area.right - area.left + width, height ? height : view->BackgroundHeight(), 1);
    Layout();
    SetModified();
    return width;
}

int StripGroup::StripX0() const
{
    RECT area = {};
    ::GetWindowRect(GetHandle(), &area);
    POINT origin = {area.left, area.top};
    ::ScreenToClient(::GetParent(GetHandle()), &origin);
    return origin.x;
}

void StripGroup::RemoveStripView(StripView* view)
{
    const int i = PositionOf(view);
    if (i < 0)
        return;
    const int width = view->BackgroundWidth();
    const bool wasFocused = FocusedStrip() == view;
    std::unique_ptr<StripView> gone = std::move(strips_[i]);
    strips_.erase(strips_.begin() + i);
    gone.reset();
    StripView* next = wasFocused && Count() > 0 ? strips_[std::min(i, Count() - 1)].get() : nullptr;
    for (int j = i; j < Count(); ++j)
    {
        StripView* moved = strips_[j].get();
        moved->UpdateIndex();
        moved->LoadDsp(1);
    }
    Layout();
    RECT area = {};
    ::GetWindowRect(GetHandle(), &area);
    Move(StripX0(), 0, std::max(static_cast<int>(area.right - area.left) - width, 0), area.bottom - area.top, 1);
    SetModified();
    if (next)
        SetFocusedStrip(next, StripView::kFocused, 0, 1);
    if (FrameApp* frame = section_->GetFrame())
    {
        frame->FocusStripEditor(nullptr, 0);
        frame->SyncVerticalScroll(1);
    }
}

void StripGroup::MoveStripView(StripView* view)
{
    const int from = PositionOf(view);
    if (from < 0)
        return;
    const int to = view->GetEngineStrip()->GetIndex();
    std::vector<int> xs;
    for (auto& strip : strips_)
        xs.push_back(StripXInGroup(strip.get()));
    const std::vector<int> placed = StripRules::MoveViews(xs, from, to, view->BackgroundWidth());
    const std::vector<int> order = StripRules::MoveOrder(Count(), from, to);
    std::vector<std::unique_ptr<StripView>> moved;
    for (int i : order)
        moved.push_back(std::move(strips_[i]));
    strips_ = std::move(moved);
    for (int i = 0; i < Count(); ++i)
    {
        strips_[i]->SetPosition(placed[i], 0, 0);
        strips_[i]->UpdateIndex();
    }
    SetModified();
    InvalidateAll(1);
}

int StripGroup::StripXInGroup(StripView* view) const
{
    RECT area = {};
    ::GetWindowRect(view->GetHandle(), &area);
    POINT origin = {area.left, area.top};
    ::ScreenToClient(GetHandle(), &origin);
    return origin.x;
}

StripView* StripGroup::FindStripViewById(int id) const
{
    for (auto& strip : strips_)
        if (strip->GetStripId() == id)
            return strip.get();
    return nullptr;
}

StripView* StripGroup::FindFocusedStripView() const
{
    for (auto& strip : strips_)
        if (strip->GetVisualState() == StripView::kFocused)
            return strip.get();
    return nullptr;
}

int StripGroup::GetWidth() const
{
    return strips_.empty() ? 0 : Count() * strips_.front()->BackgroundWidth();
}

int StripGroup::GetHeight() const
{
    return strips_.empty() ? 0 : strips_.front()->BackgroundHeight();
}

int StripGroup::IndexInSection() const
{
    return section_ ? section_->IndexOf(this) : -1;
}

StripView* StripGroup::ViewAt(int index) const
{
    return index >= 0 && index < Count() ? strips_[index].get() : nullptr;
}

int StripGroup::PositionOf(const StripView* view) const
{
    for (int i = 0; i < Count(); ++i)
        if (strips_[i].get() == view)
            return i;
    return -1;
}

void StripGroup::Layout()
{
    int x = 0;
    for (auto& strip : strips_)
    {
        strip->SetPosition(x, 0, 1);
        x += strip->BackgroundWidth();
    }
}

int StripGroup::OnSize(WPARAM, int, int)
{
    Layout();
    return 1;
}

int PaintGroupBackground(Window& window, Skin& skin, Graphics& graphics)
{
    uint32_t colour = 0x6A5F51;
    skin.GetMiscParamColour("mixerGroupBackgroundCol", colour);
    RECT client = {};
    ::GetClientRect(window.GetHandle(), &client);
    graphics.FillRect(Rect{client.left, client.top, client.right, client.bottom}, colour);
    return 1;
}

int StripGroup::OnEraseBackground(Graphics& graphics)
{
    return PaintGroupBackground(*this, link_->GetSkin(), graphics);
}

void StripGroup::OnMouseWheel(WPARAM flags, int x, int y)
{
    section_->OnMouseWheel(flags, x, y);
}

void StripGroup::SetModified()
{
    IVarnServices* services = link_->GetServices();
    if (IVarnMixer* mixer = services ? services->GetMixer() : nullptr)
        mixer->SetModified(1);
}

bool StripGroup::NewStrip()
{
    Window* frame = section_->GetFrame();
    SkinDialogs dialogs(link_->GetSkin());
    IVarnInputList* inputs = engineGroup_ ? engineGroup_->GetInputList() : nullptr;
    if (!inputs)
        return false;
    int free = 0;
    for (int kind : {InputKind::kMonoPhysical, InputKind::kStereoPhysical, InputKind::kHost, InputKind::kAsioChannel})
        free += inputs->GetFreeCount(kind, 5);
    if (!free)
    {
        dialogs.ShowDefinedMessageBox("IDM_NO_FREE_INPUTS", frame, nullptr);
        return false;
    }
    NewStripDialog dialog(link_->GetSkin());
    if (!dialog.Init(engineGroup_))
    {
        dialogs.ShowDefinedMessageBox("IDM_NO_FREE_INPUTS", frame, nullptr);
        return false;
    }
    if (dialogs.ShowDialogPanel("newstrip", &dialog, frame) != 1)
        return false;
    const NewStripResult result = CreateChosenStrip(
        engineGroup_, dialog.GetChoice(), [] { Cursor::SetShape(Cursor::Wait); },
        [] { Cursor::SetShape(Cursor::Arrow); });
    if (result.status == 2)
        dialogs.ShowDefinedMessageBox("IDM_INSUFFICIENT_DSP", frame, nullptr);
    return result.made;
}
