#include "mixer/views/StripSection.h"

#include <algorithm>

#include "framework/controls/Scroller.h"
#include "framework/controls/TextControl.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/Skin.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/StripGroup.h"
#include "mixer/views/StripRules.h"
#include "mixer/views/StripView.h"

StripSection::StripSection() = default;

StripSection::~StripSection()
{
    groups_.clear();
}

int StripSection::Create(FrameApp* frame, MainWindowLink& link, int x, int y, int width, int height, int id)
{
    frame_ = frame;
    link_ = &link;
    if (!CreateEx(nullptr, 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, 0, frame))
        return 0;
    ::SetWindowLongPtrA(GetHandle(), GWLP_ID, id);
    BuildGroups();
    return 1;
}

void StripSection::BuildGroups()
{
    IVarnServices* services = link_->GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    for (int i = 0; mixer && i < mixer->GetSystemCount(); ++i)
    {
        auto group = std::make_unique<StripGroup>();
        if (!group->Create(this, *link_, i, mixer->GetSystem(i)))
            return;
        groups_.push_back(std::move(group));
    }
    // The later groups follow the first with the skin's spacing.
    int x = 0;
    for (auto& group : groups_)
    {
        group->Move(x, 0, group->GetWidth(), group->GetHeight(), 1);
        x += group->GetWidth() + Spacing();
    }
    activeGroup_ = groups_.empty() ? nullptr : groups_.front().get();
}

StripGroup* StripSection::GroupAt(int index) const
{
    return index >= 0 && index < GroupCount() ? groups_[index].get() : nullptr;
}

int StripSection::IndexOf(const StripGroup* group) const
{
    for (int i = 0; i < GroupCount(); ++i)
        if (groups_[i].get() == group)
            return i;
    return -1;
}

int StripSection::Spacing() const
{
    int spacing = StripRules::kDefaultGroupSpacing;
    return link_->GetSkin().GetMiscParamInt("interGroupHorzSpacing", spacing) ? spacing
                                                                              : StripRules::kDefaultGroupSpacing;
}

int StripSection::ScrollPosition() const
{
    Scroller* scroller = frame_ ? frame_->GetStripsScroller() : nullptr;
    return scroller ? scroller->GetPosition() : 0;
}

int StripSection::GetTotalWidth()
{
    if (groups_.empty())
        return 100;
    int width = 0;
    for (auto& group : groups_)
        width += group->GetWidth();
    return width;
}

StripView* StripSection::FindStripViewById(int id) const
{
    for (auto& group : groups_)
        if (StripView* view = group->FindStripViewById(id))
            return view;
    return nullptr;
}

StripView* StripSection::FindFocusedStripView() const
{
    for (auto& group : groups_)
        if (StripView* view = group->FindFocusedStripView())
            return view;
    return nullptr;
}

StripViewTarget* StripSection::FindStripView(VarnEventArg stripId)
{
    return FindStripViewById(static_cast<int>(stripId));
}

InsertStripTarget* StripSection::FindInsertStrip(int id, VarnEventArg argument)
{
    for (auto& group : groups_)
        for (int i = 0; i < group->Count(); ++i)
            if (InsertSlotStrip* slots = group->ViewAt(i)->GetInsertSlots())
                if (InsertStripTarget* target = slots->TargetFor(id, argument))
                    return target;
    return nullptr;
}

IVarnInsert* StripSection::GetSelectedInsert()
{
    StripView* focused = FindFocusedStripView();
    InsertSlotStrip* slots = focused ? focused->GetInsertSlots() : nullptr;
    return slots ? slots->GetSelectedInsert() : nullptr;
}

void StripSection::AutoScrollFirstStripInserts(int screenX, int screenY)
{
    StripView* first = activeGroup_ && activeGroup_->Count() > 0 ? activeGroup_->ViewAt(0) : nullptr;
    InsertSlotStrip* slots = first ? first->GetInsertSlots() : nullptr;
    if (!slots)
        return;
    RECT area = {};
    ::GetWindowRect(first->GetHandle(), &area);
    if (screenX < area.left || screenX >= area.right || screenY < area.top || screenY >= area.bottom)
        slots->AutoScroll(screenX, screenY);
}

InsertSlotStrip* StripSection::FirstInsertSlots() const
{
    for (auto& group : groups_)
        for (int i = 0; i < group->Count(); ++i)
            if (InsertSlotStrip* slots = group->ViewAt(i)->GetInsertSlots())
                return slots;
    return nullptr;
}

int StripSection::GetInsertRowHeight()
{
    InsertSlotStrip* slots = FirstInsertSlots();
    return slots ? slots->GetSlotExtent(1) : 0;
}

int StripSection::GetVisibleInsertRows()
{
    InsertSlotStrip* slots = FirstInsertSlots();
    return slots ? slots->GetSlotCount() : 0;
}

void StripSection::RelayInsertRows()
{
    for (auto& group : groups_)
        for (int i = 0; i < group->Count(); ++i)
            if (InsertSlotStrip* slots = group->ViewAt(i)->GetInsertSlots())
                slots->Refresh(1);
}

StripView* StripSection::FirstVisibleStripView() const
{
    RECT section = {};
    ::GetWindowRect(GetHandle(), &section);
    for (auto& group : groups_)
        for (int i = 0; i < group->Count(); ++i)
        {
            RECT area = {};
            ::GetWindowRect(group->ViewAt(i)->GetHandle(), &area);
            if (area.left >= section.left)
                return group->ViewAt(i);
        }
    return nullptr;
}

int StripSection::StripX(const StripView* view) const
{
    std::vector<std::vector<int>> widths;
    int group = -1, position = -1;
    for (int g = 0; g < GroupCount(); ++g)
    {
        widths.emplace_back();
        for (int i = 0; i < groups_[g]->Count(); ++i)
        {
            StripView* candidate = groups_[g]->ViewAt(i);
            widths.back().push_back(candidate->BackgroundWidth());
            if (candidate == view)
            {
                group = g;
                position = i;
            }
        }
    }
    return StripRules::StripX(widths, Spacing(), group, position);
}

void StripSection::EnsureStripVisible(StripView* view)
{
    Scroller* scroller = frame_ ? frame_->GetStripsScroller() : nullptr;
    const int x = StripX(view);
    if (!scroller || x < 0)
        return;
    RECT client = {};
    ::GetClientRect(GetHandle(), &client);
    const int position =
        StripRules::VisiblePosition(x, view->BackgroundWidth(), scroller->GetPosition(), client.right - client.left);
    if (position != scroller->GetPosition())
        scroller->SetPosition(std::clamp(position, 0, std::max(scroller->GetRange(), 0)), true);
}

void StripSection::ScrollBy(int direction)
{
    Scroller* scroller = frame_ ? frame_->GetStripsScroller() : nullptr;
    if (!scroller || !direction)
        return;
    const int position = StripRules::ScrollPosition(scroller->GetPosition(), scroller->GetRange(), direction);
    if (position != scroller->GetPosition())
        scroller->SetPosition(position, true);
}

void StripSection::FocusEngineStrip(IVarnStrip* strip, int ensureVisible)
{
    StripView* view = strip ? FindStripViewById(strip->GetId()) : nullptr;
    if (!view)
        return;
    SetFocusedStrip(view, StripView::kFocused, 0, 1);
    if (ensureVisible)
        EnsureStripVisible(view);
}

void StripSection::FocusFirstVisibleIfNone()
{
    if (!FocusedStrip())
        if (StripView* view = FirstVisibleStripView())
            SetFocusedStrip(view, StripView::kFocused, 0, 1);
}

void StripSection::ClearFocus()
{
    SetFocusedStrip(nullptr, StripView::kFocused, 0, 1);
}

bool StripSection::NewStrip()
{
    return activeGroup_ ? activeGroup_->NewStrip() : false;
}

void StripSection::DeleteFocusedStrip()
{
    if (StripView* view = FocusedStrip())
        StripView::ConfirmDelete(*link_, frame_, view->GetStripId());
}

int StripSection::OnStripAdded(IVarnStrip* strip)
{
    IVarnStripList* list = strip ? strip->GetOwnerList() : nullptr;
    IVarnHardware* system = list ? list->GetSystem() : nullptr;
    for (auto& group : groups_)
    {
        if (group->GetEngineGroup() != system)
            continue;
        const int width = group->AddNewStripView(strip);
        ShiftGroupsAfter(group.get(), width);
        return width;
    }
    return 0;
}

void StripSection::ShiftGroupsAfter(StripGroup* group, int dx)
{
    if (!dx)
        return;
    bool after = false;
    for (auto& other : groups_)
    {
        if (after)
        {
            RECT area = {};
            ::GetWindowRect(other->GetHandle(), &area);
            POINT origin = {area.left, area.top};
            ::ScreenToClient(GetHandle(), &origin);
            other->SetPosition(origin.x + dx, origin.y, 1);
        }
        after = after || other.get() == group;
    }
}

void StripSection::OnStripRemoved(int id)
{
    for (auto& group : groups_)
    {
        StripView* view = group->FindStripViewById(id);
        if (!view)
            continue;
        const int width = view->BackgroundWidth();
        group->RemoveStripView(view);
        ShiftGroupsAfter(group.get(), -width);
        return;
    }
}

void StripSection::OnStripMoved(int id)
{
    for (auto& group : groups_)
        if (StripView* view = group->FindStripViewById(id))
        {
            group->MoveStripView(view);
            return;
        }
}

void StripSection::RefreshInputTags()
{
    for (auto& group : groups_)
        for (int i = 0; i < group->Count(); ++i)
            group->ViewAt(i)->RefreshInputTag();
}

void StripSection::RefreshForEvent(int id, VarnEventArg)
{
    if (id == EngineEvent::kFrameRefresh)
        RefreshInputTags();
}

IVarnHardware* StripSection::GetCurrentSystem()
{
    return activeGroup_ ? activeGroup_->GetEngineGroup() : nullptr;
}

bool StripSection::HasItsHardware()
{
    for (auto& group : groups_)
    {
        IVarnStripList* list = group->GetEngineGroup() ? group->GetEngineGroup()->GetStripList() : nullptr;
        for (int i = 0; list && i < list->GetCount(); ++i)
        {
            IVarnStrip* strip = list->GetStrip(i);
            if (!strip || !strip->HasHardware())
                return false;
            IVarnInsertChain* chain = strip->GetInsertChain();
            for (int j = 0; chain && j < chain->GetCount(); ++j)
                if (IVarnInsert* insert = chain->GetInsert(j))
                    if (!insert->HasHardware())
                        return false;
        }
    }
    return true;
}

int StripSection::GetMaxInsertCount()
{
    int most = 0;
    for (auto& group : groups_)
    {
        IVarnStripList* list = group->GetEngineGroup() ? group->GetEngineGroup()->GetStripList() : nullptr;
        for (int i = 0; list && i < list->GetCount(); ++i)
        {
            IVarnStrip* strip = list->GetStrip(i);
            IVarnInsertChain* chain = strip ? strip->GetInsertChain() : nullptr;
            most = std::max(most, chain ? chain->GetCount() : 0);
        }
    }
    return most;
}

int StripSection::OnKeyDown(WPARAM key, LPARAM flags)
{
    FocusFirstVisibleIfNone();
    StripView* focused = FocusedStrip();
    if (!focused)
        return 0;
    StripGroup* group = focused->GetGroup();
    const StripRules::Place from = {IndexOf(group), group->PositionOf(focused)};
    if (key == StripRules::kKeyLeft || key == StripRules::kKeyRight)
    {
        std::vector<int> sizes;
        for (auto& each : groups_)
            sizes.push_back(each->Count());
        StripRules::Place to = {};
        if (StripRules::Navigate(sizes, from, static_cast<int>(key), to))
        {
            StripView* view = groups_[to.group]->ViewAt(to.view);
            SetFocusedStrip(view, StripView::kFocused, 0, 1);
            EnsureStripVisible(view);
        }
        return 1;
    }
    if (focused->OnKeyDown(key, flags))
        return 1;
    if (key == StripView::kKeyDelete)
    {
        DeleteFocusedStrip();
        return 1;
    }
    return 0;
}

void StripSection::Layout()
{
    if (!layoutPending_)
        return;
    layoutPending_ = 0;
    if (!groups_.empty())
        groups_.front()->Move(0, 0, groups_.front()->GetWidth(), groups_.front()->GetHeight(), 1);
    ::ScrollWindowEx(GetHandle(), -StripRules::kStripStep * ScrollPosition(), 0, nullptr, nullptr, nullptr, nullptr,
                     SW_SCROLLCHILDREN);
    InvalidateAll(1);
    ::UpdateWindow(GetHandle());
}

int StripSection::OnSize(WPARAM, int, int)
{
    Layout();
    return 1;
}

int StripSection::OnEraseBackground(Graphics& graphics)
{
    return PaintGroupBackground(*this, link_->GetSkin(), graphics);
}

void StripSection::OnMouseDown(WPARAM, int, int)
{
    TextControl::CancelEditor();
    SetFocus();
}

void StripSection::OnMouseWheel(WPARAM flags, int x, int y)
{
    if (frame_)
        frame_->OnMouseWheel(flags, x, y);
}
