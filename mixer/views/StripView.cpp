#include "mixer/views/StripView.h"

#include <cstdlib>
#include <memory>

#include "framework/controls/BitmapControl.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/Tooltip.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/BusyWindow.h"
#include "framework/windows/DragDrop.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/AsioChannelCheck.h"
#include "framework/controls/ControlContextMenu.h"
#include "mixer/views/ViewClipboard.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/dialogs/SkinStringTable.h"
#include "mixer/views/StripGroup.h"
#include "mixer/views/StripSection.h"
#include "framework/controls/ValueSetters.h"

namespace
{
StripView* gFocused = nullptr;    // in state 1 or 2
StripView* gDropTarget = nullptr; // in state 3
int gDragActive = 0;

const char* const kTemplates[] = {"monoAudioStrip", "stereoAudioStrip", "stereoSynthStrip", "monoSynthFXSendStrip"};

const uint32_t kHostTagColour = 0xFFFFFF;
const uint32_t kNotPresentColour = 0x0000FF;
const uint32_t kPresentColour = 0xD2D200;

String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

uint32_t MiscColour(Skin& skin, const char* name, uint32_t fallback)
{
    uint32_t colour = fallback;
    return skin.GetMiscParamColour(name, colour) ? colour : fallback;
}

RealItem* AddLevel(Panel& panel, const char* name, float value, float minimum, float maximum, float initial)
{
    RealItem* item = panel.AddRealItem(name, value, minimum, maximum, 0, 0);
    if (item)
        item->defaultValue = initial;
    return item;
}

int SourceType(IVarnInput* source)
{
    return source ? source->GetKind() : -1;
}

// Host sources (0) and single ASIO channels (3) are not physical inputs.
bool IsPhysicalType(int type)
{
    return type != InputKind::kHost && type != InputKind::kAsioChannel;
}

void SetFlag(FlagItem* item, int value)
{
    if (!item)
        return;
    item->value = value;
    item->RefreshControls(nullptr);
}

// A message box of the skin by its name, owned by owner.
int ShowMessage(MainWindowLink& link, const char* id, Window* owner)
{
    return SkinDialogs(link.GetSkin()).ShowDefinedMessageBox(id, owner, nullptr);
}

IVarnMixer* MixerOf(MainWindowLink& link)
{
    IVarnServices* services = link.GetServices();
    return services ? services->GetMixer() : nullptr;
}
} // namespace

StripView* FocusedStrip()
{
    return gFocused;
}

StripView* DropTargetStrip()
{
    return gDropTarget;
}

int StripDragActive()
{
    return gDragActive;
}

void SetFocusedStrip(StripView* view, int state, int force, int redraw)
{
    if (view == gFocused && state == StripView::kFocused && !force)
        return;
    if (gFocused && gFocused != view)
        gFocused->ApplyVisualState(StripView::kNormal, redraw);
    gFocused = view;
    if (view)
        view->ApplyVisualState(state == StripView::kNormal ? StripView::kFocused : state, redraw);
}

void SetStripDropTarget(StripView* view)
{
    if (view == gDropTarget)
        return;
    if (gDropTarget)
        gDropTarget->ApplyVisualState(StripView::kNormal, 1);
    gDropTarget = view;
    if (view)
        view->ApplyVisualState(StripView::kDragTarget, 1);
}

StripView::~StripView()
{
    PopupMenu::CloseMenusOf(this);
    CancelDrag();
    if (gDropTarget == this)
        gDropTarget = nullptr;
    if (gFocused == this)
        gFocused = nullptr;
}

int StripView::Create(StripGroup* group, MainWindowLink& link, int position, IVarnStrip* engineStrip)
{
    group_ = group;
    link_ = &link;
    engineStrip_ = engineStrip;
    if (!engineStrip)
        return 0;
    stripId_ = engineStrip->GetId();
    IVarnInput* source = engineStrip->GetSource();
    int subKind = -1;
    const int type = SourceType(source);
    const bool hasSubKind = source && source->GetSubKind(&subKind);
    // A strip without a source shows as stereo audio.
    if (type == InputKind::kHost && hasSubKind && subKind == InputKind::kSubMidiFxSend)
        kind_ = kFxSend;
    else if (source && source->GetChannelCount() == 1)
        kind_ = kMonoAudio;
    else if (type == InputKind::kHost && hasSubKind && subKind == InputKind::kSubSynth)
        kind_ = kStereoSynth;
    else
        kind_ = kStereoAudio;

    float minimum = 0.0f, maximum = 0.0f;
    for (int i = 0; i < 2; ++i)
    {
        minimum = maximum = 0.0f;
        engineStrip->GetSendRange(i, &minimum, &maximum);
        sends_[i] = AddLevel(*this, i ? "send2" : "send1", engineStrip->GetSendLevel(i, 0, 0, 0), minimum, maximum,
                             engineStrip->GetSendDefault(i));
    }
    minimum = maximum = 0.0f;
    engineStrip->GetGainRange(&minimum, &maximum);
    gain_ = AddLevel(*this, "gain", engineStrip->GetGain(0, 0, 0), minimum, maximum, engineStrip->GetGainDefault());
    minimum = maximum = 0.0f;
    engineStrip->GetPanRange(&minimum, &maximum);
    const bool mono = kind_ == kMonoAudio || kind_ == kFxSend;
    panLeft_ = AddLevel(*this, mono ? "pan" : "pan_l", engineStrip->GetPan(0, 0, 0, 0), minimum, maximum,
                        engineStrip->GetPanDefault(0));
    if (!mono)
        panRight_ =
            AddLevel(*this, "pan_r", engineStrip->GetPan(1, 0, 0, 0), minimum, maximum, engineStrip->GetPanDefault(1));
    mute_ = AddFlagItem("mute", engineStrip->GetMute(0, 0), 0, 0);
    solo_ = AddFlagItem("solo", engineStrip->GetSolo(0, 0), 0, 0);
    limit_ = AddFlagItem("limit", 0, 0, 0);
    limitStatus_ = AddFlagItem("limit_status", 1, 0, 1);
    String text;
    const char16_t* name = engineStrip->GetName();
    if (name)
        text.AssignWide(name);
    userText_ = AddTextItem("usertext", text, 0, 0);
    if (kind_ == kStereoSynth && source)
    {
        for (int s = 0; s < 2; ++s)
            for (int c = 0; c < 16; ++c)
            {
                const std::string itemName = "s" + std::to_string(s + 1) + " c" + std::to_string(c + 1);
                synthChannels_[16 * s + c] = AddFlagItem(itemName.c_str(), source->GetSynthChannel(s, c), 0, 0);
            }
    }

    if (!Setup(this, 0, 0, 0x646464))
        return 0;
    visualState_ = kNormal;
    Skin& skin = link.GetSkin();
    if (!PanelBuilder(skin).BuildPanel(kTemplates[kind_], *this, 1, nullptr))
        return 0;
    int slots = 0;
    const int found = skin.GetMiscParamInt("stripInsertSlotCount", slots);
    insertSlotCount_ = InsertSlotRules::SlotCountOr(found, slots, 6);
    UpdateHeader();
    if (!Panel::Create(group, 0, 0, position))
        return 0;
    dragTimer_.Attach(this, 50, kDragTimer);
    if (IVarnInsertChain* chain = engineStrip->GetInsertChain())
    {
        FrameApp* frame = group->GetSection() ? group->GetSection()->GetFrame() : nullptr;
        Scroller* bar = frame ? frame->GetInsertsScroller() : nullptr;
        insertSlots_ = std::make_unique<InsertSlotStrip>(link, frame);
        insertSlots_->CreateSlots(chain, this, bar ? std::make_unique<BarScrollSource>(bar, frame, 0) : nullptr,
                                  insertSlotCount_, InsertSlotStrip::SelectedInsertIndex(),
                                  engineStrip->GetKindCode() == 1);
    }
    return 1;
}

void StripView::SetTagColour(uint32_t colour)
{
    for (const char* name : {"peripheralTag", "indexTag"})
        if (auto* tag = dynamic_cast<LabelControl*>(FindControl(Ascii(name))))
            tag->SetColour(colour, 1);
}

void StripView::UpdateHeader()
{
    Skin& skin = link_->GetSkin();
    auto* peripheral = dynamic_cast<LabelControl*>(FindControl(Ascii("peripheralTag")));
    auto* indexTag = dynamic_cast<LabelControl*>(FindControl(Ascii("indexTag")));
    auto* index = dynamic_cast<LabelControl*>(FindControl(Ascii("index")));
    IVarnInput* source = engineStrip_->GetSource();
    String first, second;
    // A strip without a source has empty tags.
    if (source)
    {
        SkinStringTable strings(skin);
        PortNames(Mixer(), strings).GetInputName(source, &first, &second, 1, 0, 0);
    }
    const int type = SourceType(source);
    const int hasDsp = engineStrip_->HasDsp();
    if (source && !IsPhysicalType(type))
        SetTagColour(hasDsp ? MiscColour(skin, "hostInputTagColor", kHostTagColour)
                            : MiscColour(skin, "physInputTagColorNotPresent", kNotPresentColour));
    else if (source && !source->IsPresent())
        SetTagColour(MiscColour(skin, "physInputTagColorNotPresent", kNotPresentColour));
    if (peripheral)
        peripheral->SetText(second, 1);
    if (indexTag)
        indexTag->SetText(first, 1);
    if (index)
    {
        String number;
        number.AppendInt(engineStrip_->GetIndex() + 1);
        index->SetText(number, 1);
    }
    int x = 0, y = 0, w = 0, h = 0, id = 0;
    SkinBitmap* preFader = skin.FindBitmap(Ascii("preFaderIcon"));
    if (engineStrip_->IsPreFader() && preFader && GetRegionRect(Ascii("preFaderIconPos"), x, y, w, h, id) &&
        !FindControl(Ascii("preFaderIcon")))
    {
        auto icon = std::make_unique<BitmapControl>();
        if (icon->Setup(x, y, Ascii("preFaderIcon"), preFader))
            AddControl(icon.release(), nullptr);
    }
    RefreshNoDspIcon();
}

void StripView::RefreshNoDspIcon()
{
    Skin& skin = link_->GetSkin();
    Control* icon = FindControl(Ascii("exclamationIcon"));
    if (engineStrip_->HasDsp())
    {
        if (icon)
        {
            Rect area;
            icon->GetRect(area);
            DropControl(icon, 0, 0);
            RedrawArea(&area, 1);
        }
        return;
    }
    // Only one: a hardware change or a DSP event may come again while the strip has none.
    int x = 0, y = 0, w = 0, h = 0, id = 0;
    SkinBitmap* image = skin.FindBitmap(Ascii("exclamationIconSmall"));
    if (icon || !image || !GetRegionRect(Ascii("noDSPIconPos"), x, y, w, h, id))
        return;
    auto control = std::make_unique<BitmapControl>();
    if (!control->Setup(x, y, Ascii("exclamationIcon"), image))
        return;
    Control* added = control.release();
    AddControl(added, nullptr);
    Rect area;
    added->GetRect(area);
    RedrawArea(&area, 1);
}

void StripView::RefreshInputTag()
{
    Skin& skin = link_->GetSkin();
    IVarnInput* source = engineStrip_->GetSource();
    const int type = SourceType(source);
    if (source && IsPhysicalType(type))
    {
        const int present = source->IsPresent();
        SetTagColour(present ? MiscColour(skin, "physInputTagColorPresent", kPresentColour)
                             : MiscColour(skin, "physInputTagColorNotPresent", kNotPresentColour));
        IVarnHardware* system = link_->GetCurrentSystem();
        if (present && system && system->HasFeature(HardwareFeature::kThirdModel))
        {
            String first, second;
            SkinStringTable strings(skin);
            PortNames(Mixer(), strings).GetInputName(source, &first, &second, 1, 0, 0);
            if (auto* peripheral = dynamic_cast<LabelControl*>(FindControl(Ascii("peripheralTag"))))
                peripheral->SetText(second, 1);
            if (auto* indexTag = dynamic_cast<LabelControl*>(FindControl(Ascii("indexTag"))))
                indexTag->SetText(first, 1);
        }
    }
    RefreshNoDspIcon();
}

void StripView::UpdateIndex()
{
    if (auto* index = dynamic_cast<LabelControl*>(FindControl(Ascii("index"))))
    {
        String number;
        number.AppendInt(engineStrip_->GetIndex() + 1);
        index->SetText(number, 1);
    }
}

IVarnMixer* StripView::Mixer()
{
    return MixerOf(*link_);
}

Window* StripView::Frame()
{
    FrameApp* frame = group_ && group_->GetSection() ? group_->GetSection()->GetFrame() : nullptr;
    return frame;
}

int StripView::IsCurrent()
{
    IVarnMixer* mixer = Mixer();
    return mixer && mixer->GetStripById(stripId_) == engineStrip_ ? 1 : 0;
}

int StripView::IsMonoSource()
{
    IVarnInput* source = engineStrip_->GetSource();
    return source && source->GetChannelCount() == 1 ? 1 : 0;
}

int StripView::IsStereoSynthSource()
{
    return kind_ == kStereoSynth ? 1 : 0;
}

int StripView::IsFxSendSource()
{
    return kind_ == kFxSend ? 1 : 0;
}

int StripView::ApplyVisualState(int state, int redraw)
{
    if (!IsCurrent() || state == visualState_)
        return 1;
    visualState_ = state;
    const char* name = "normal";
    if (state == kFocused)
        name = "normalWithFocus";
    else if (state == kDragSource)
        name = "normalDragMoveSource";
    else if (state == kDragTarget)
        name = gFocused && gFocused->PositionInGroup() <= PositionInGroup() ? "normalDragMoveDest_curRight"
                                                                            : "normalDragMoveDest_curLeft";
    const int applied = PanelBuilder(link_->GetSkin()).ApplyPanelState(*this, name, redraw);
    // Only the focused strip holds the insert selection.
    if (applied && state != kFocused && insertSlots_)
        insertSlots_->Deselect();
    return applied;
}

int StripView::PositionInGroup()
{
    return group_ ? group_->PositionOf(this) : -1;
}

int StripView::LoadDsp(int flag)
{
    return IsCurrent() && engineStrip_->LoadDsp(flag) ? 1 : 0;
}

StripView* StripView::StripAtScreen(int screenX, int screenY)
{
    for (int i = 0; group_ && i < group_->Count(); ++i)
    {
        StripView* view = group_->ViewAt(i);
        RECT area = {};
        ::GetWindowRect(view->GetHandle(), &area);
        if (screenX >= area.left && screenX <= area.right && screenY >= area.top && screenY <= area.bottom)
            return view;
    }
    return nullptr;
}

void StripView::OnEngineEvent(int id)
{
    using namespace EngineEvent;
    IVarnInput* source = engineStrip_->GetSource();
    switch (id)
    {
    case kStripGain:
        SetItemRealValue(gain_, engineStrip_->GetGain(1, 0, 0), 1, 0, nullptr);
        return;
    case kStripSend1:
    case kStripSend2:
        SetItemRealValue(sends_[id - kStripSend1], engineStrip_->GetSendLevel(id - kStripSend1, 1, 0, 0), 1, 0,
                         nullptr);
        return;
    case kStripPanLeft:
        SetItemRealValue(panLeft_, engineStrip_->GetPan(0, 1, 0, 0), 1, 0, nullptr);
        return;
    case kStripPanRight:
        SetItemRealValue(panRight_, engineStrip_->GetPan(1, 1, 0, 0), 1, 0, nullptr);
        return;
    case kStripMute:
        SetFlag(mute_, engineStrip_->GetMute(0, 0));
        return;
    case kStripSolo:
        SetFlag(solo_, engineStrip_->GetSolo(0, 0));
        return;
    case kStripUserText:
        if (userText_)
        {
            const char16_t* name = engineStrip_->GetName();
            userText_->text.AssignWide(name ? name : u"");
            userText_->RefreshControls(nullptr);
        }
        return;
    case kStripDsp:
        RefreshNoDspIcon();
        return;
    default:
        break;
    }
    if (kStripSynthChannels.Holds(id) && source)
    {
        const int offset = id - kStripSynthChannels.first;
        SetFlag(synthChannels_[offset], source->GetSynthChannel(offset / 16, offset % 16));
    }
}

int StripView::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (!item)
        return 0;
    const String& name = item->GetName();
    auto real = [&] { return static_cast<RealItem*>(item)->value; };
    auto flag = [&] { return static_cast<FlagItem*>(item)->value; };
    if (item == sends_[0] || item == sends_[1])
        engineStrip_->SetSendLevel(item == sends_[1] ? 1 : 0, real(), 0);
    else if (item == gain_)
        engineStrip_->SetGain(real(), 0);
    else if (item == panLeft_)
        engineStrip_->SetPan(0, real(), 0);
    else if (item == panRight_)
        engineStrip_->SetPan(1, real(), 0);
    else if (item == mute_)
        engineStrip_->SetMute(flag(), 1);
    else if (item == solo_)
        engineStrip_->SetSolo(flag(), 1, 0);
    else if (item == userText_)
        engineStrip_->SetName(userText_->text.Text(), 1);
    else if (kind_ == kStereoSynth && name.FindAscii("s") == 0)
    {
        int index = -1;
        for (int i = 0; i < 32; ++i)
            index = synthChannels_[i] == item ? i : index;
        IVarnInput* source = engineStrip_->GetSource();
        if (index < 0 || !source)
            return Panel::OnDataItemNotify(panel, item, argument);
        if (flag())
            source->SetSynthChannelOn(index / 16, index % 16, 1);
        else
            source->SetSynthChannelOff(index / 16, index % 16, 1);
    }
    else if (item != limit_)
        return Panel::OnDataItemNotify(panel, item, argument);
    Edited();
    return 1;
}

void StripView::Edited()
{
    if (IVarnMixer* mixer = Mixer())
        mixer->SetModified(1);
    link_->RebuildView(EngineEvent::kUserEdit, 0);
}

void StripView::StartDragMove()
{
    SetCapture();
    gDragActive = 1;
    dragging_ = 1;
    Cursor cursor;
    if (cursor.Load(kDragCursor))
        cursor.Apply();
    SetFocusedStrip(this, kDragSource, 0, 1);
    dragTimer_.Start();
    if (FrameApp* frame = group_->GetSection()->GetFrame())
        frame->FocusStripEditor(nullptr, 0);
}

void StripView::CancelDrag()
{
    if (!dragging_)
        return;
    dragging_ = 0;
    gDragActive = 0;
    dragTimer_.Stop();
    if (gDropTarget)
        SetStripDropTarget(nullptr);
    if (HasCapture())
        ReleaseCapture();
    Cursor::SetShape(Cursor::Arrow);
}

void StripView::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    FrameApp* frame = group_->GetSection()->GetFrame();
    if (IsPointInRegion(x, y, Ascii("title")))
    {
        titlePressed_ = 1;
        StartDragMove();
    }
    else
    {
        titlePressed_ = 0;
        if (insertSlots_)
        {
            insertSlots_->OnMouse(InsertSlotRules::PressModifiers(flags), x, y, FocusedStrip() == this, 0);
            if (DragDrop::IsSource(this))
                dragTimer_.Start();
        }
        if (IsPointInRegion(x, y, Ascii("inserts")))
        {
            SetFocusedStrip(this, kFocused, 0, 1);
            if (insertSlots_)
                insertSlots_->Select();
        }
        else
        {
            Panel::OnMouseDown(flags, x, y);
            Control* pressed = Control::PressedControl();
            if (pressed && pressed->GetParent() == this && pressed->GetName().CompareLiteral("peripheralTag") != 0 &&
                pressed->GetName().CompareLiteral("indexTag") != 0)
                SetFocusedStrip(this, kFocused, 0, 1);
            else
                StartDragMove();
        }
    }
    if (frame)
        frame->SetViewMode(0);
}

void StripView::OnMouseMove(WPARAM flags, int x, int y)
{
    if (!dragging_)
    {
        if (DragDrop::IsSource(this))
            DragDrop::OnMouseMove();
        Panel::OnMouseMove(flags, x, y);
        return;
    }
    POINT point = {x, y};
    ::ClientToScreen(GetHandle(), &point);
    StripView* under = StripAtScreen(point.x, point.y);
    if (under)
        SetStripDropTarget(under == this ? nullptr : under);
}

void StripView::EndDragMove(int screenX, int screenY)
{
    StripView* target = StripAtScreen(screenX, screenY);
    SetFocusedStrip(this, kFocused, 1, 1);
    SetStripDropTarget(nullptr);
    gDragActive = 0;
    dragging_ = 0;
    dragTimer_.Stop();
    Cursor::SetShape(Cursor::Arrow);
    if (HasCapture())
        ReleaseCapture();
    // The view moves when the engine reports the new order.
    if (target && target != this)
        if (IVarnStripList* list = engineStrip_->GetOwnerList())
            list->MoveStrip(engineStrip_->GetIndex(), target->engineStrip_->GetIndex(), 1);
}

void StripView::OnMouseUp(WPARAM flags, int x, int y)
{
    if (dragging_)
    {
        POINT point = {x, y};
        ::ClientToScreen(GetHandle(), &point);
        EndDragMove(point.x, point.y);
        return;
    }
    if (DragDrop::IsSource(this))
    {
        dragTimer_.Stop();
        DragDrop::End();
    }
    Panel::OnMouseUp(flags, x, y);
}

void StripView::OnTimerTick(int32_t argument)
{
    if (argument != kDragTimer)
        return;
    dragTimer_.Stop();
    // A dialog took the mouse: the drag ends without a move.
    if (dragging_ && !HasCapture())
    {
        CancelDrag();
        return;
    }
    StripSection* section = group_->GetSection();
    int screenX = 0, screenY = 0;
    Cursor::GetPosition(screenX, screenY);
    POINT point = {screenX, screenY};
    ::ScreenToClient(section->GetHandle(), &point);
    RECT client = {};
    ::GetClientRect(section->GetHandle(), &client);
    if (point.x > -20 && point.x < 0)
        section->ScrollBy(-1);
    else if (point.x > client.right && point.x < client.right + 20)
        section->ScrollBy(1);
    // The slots take the screen point, whatever strip they are on.
    if (insertSlots_ && DragDrop::IsSource(this))
        insertSlots_->AutoScroll(screenX, screenY);
    dragTimer_.Start();
}

void StripView::OnRightButtonDown(WPARAM flags, int x, int y)
{
    FrameApp* frame = group_->GetSection()->GetFrame();
    if (IsPointInRegion(x, y, Ascii("title")))
    {
        titlePressed_ = 1;
        SetCapture();
        SetFocusedStrip(this, kFocused, 0, 1);
        if (frame)
            frame->FocusStripEditor(nullptr, 0);
    }
    else
    {
        if (insertSlots_)
            insertSlots_->OnMouse(InsertSlotRules::PressModifiers(flags), x, y, FocusedStrip() == this, 1);
        SetFocusedStrip(this, kFocused, 0, 1);
        if (insertSlots_)
            insertSlots_->Select();
    }
    if (frame)
        frame->SetViewMode(0);
    Panel::OnRightButtonDown(flags, x, y);
}

void StripView::OnRightButtonUp(WPARAM, int x, int y)
{
    if (HasCapture())
        ReleaseCapture();
    const bool inTitle = IsPointInRegion(x, y, Ascii("title"));
    if (!inTitle && IsPointInRegion(x, y, Ascii("inserts")))
    {
        if (insertSlots_)
            insertSlots_->ShowContextMenu(x, y);
        return;
    }
    if (!inTitle && ControlAtForClick(x, y))
        return; // a control's menu came with the press
    ShowContextMenu();
}

void StripView::OnRightClickControl(Control* control)
{
    DataItem* item = control ? control->GetItem() : nullptr;
    if (ControlContextMenu::Show(link_->GetSkin(), item, this, this, ViewClipboard()))
        menuItem_ = item;
}

int StripView::OnKeyDown(WPARAM key, LPARAM)
{
    if (key != kKeyDelete)
        return 0;
    if (titlePressed_)
    {
        ConfirmDelete(*link_, Frame(), stripId_);
        return 1;
    }
    return insertSlots_ && insertSlots_->DeleteSelectedInserts() ? 1 : 0;
}

void StripView::OnMouseWheel(WPARAM flags, int x, int y)
{
    group_->OnMouseWheel(flags, x, y);
}

int StripView::OnDragOver(int x, int y, intptr_t kind, intptr_t payload)
{
    int answer = InsertSlotRules::kRefuse;
    if (IsPointInRegion(x, y, Ascii("inserts")) && insertSlots_ && engineStrip_->HasDsp())
        answer = insertSlots_->DragOver(x, y, kind, payload);
    Cursor cursor;
    if (answer != InsertSlotRules::kRefuse && cursor.Load(answer))
        cursor.Apply();
    else
        Cursor::SetShape(Cursor::NotAllowed);
    return answer != InsertSlotRules::kRefuse ? 1 : 0;
}

int StripView::OnDrop(int x, int y, intptr_t kind, intptr_t payload)
{
    if (!IsPointInRegion(x, y, Ascii("inserts")))
        return 0;
    if (!IsCurrent())
        return 1;
    if (!insertSlots_ || !engineStrip_->HasDsp())
        return 0;
    const int index = insertSlots_->Drop(x, y, kind, payload);
    if (index >= 0)
    {
        *InsertSlotStrip::SelectedInsertIndex() = index;
        SetFocusedStrip(this, kFocused, 0, 1);
    }
    return 1;
}

void StripView::ShowContextMenu()
{
    int x = 0, y = 0;
    Cursor::GetPosition(x, y);
    Skin& skin = link_->GetSkin();
    PopupMenu* menu = skin.CreatePopupMenu("StripContextMenu");
    if (!menu)
        return;
    const int second = menu->FindItem(2);
    if (second >= 0)
        menu->SetItemDisabled(second, 1);
    const int create = menu->FindItem(kNewStrip);
    if (create >= 0)
        menu->SetItemDisabled(create, 0);
    const int noDsp = engineStrip_->HasDsp() ? 0 : 1;
    auto add = [&](const char* id, int command, int disabled) {
        if (const String* found = skin.FindStringById(id))
            menu->AddItem(*found, command, disabled, 0, nullptr);
        else
            menu->AddItem(id, command, disabled, 0, nullptr);
    };
    add(engineStrip_->GetMute(0, 0) ? "IDS_UNMUTE_STRIP" : "IDS_MUTE_STRIP", kMute, noDsp);
    add(engineStrip_->GetSolo(0, 0) ? "IDS_UNSOLO_STRIP" : "IDS_SOLO_STRIP", kSolo, noDsp);
    if (noDsp)
    {
        menu->AddSeparator();
        add("IDS_LOAD_STRIP_DSP", kLoadDsp, 0);
    }
    menuItem_ = nullptr;
    if (!menu->Track(x, y, this, this, 1))
        delete menu;
}

void StripView::OnMenuCommand(int command)
{
    DataItem* item = menuItem_;
    menuItem_ = nullptr;
    if (item)
    {
        ControlContextMenu::OnCommand(item, command, ViewClipboard());
        return;
    }
    MainWindowLink& link = *link_;
    Window* frame = Frame();
    const int id = stripId_;
    switch (command)
    {
    case kDelete:
        ConfirmDelete(link, frame, id);
        break;
    case kNewStrip:
        group_->NewStrip();
        break;
    case kMute:
        engineStrip_->SetMute(engineStrip_->GetMute(0, 0) ? 0 : 1, 1);
        break;
    case kSolo:
        engineStrip_->SetSolo(engineStrip_->GetSolo(0, 0) ? 0 : 1, 1, 0);
        break;
    case kLoadDsp:
        LoadDspWithRetry(link, frame, id);
        break;
    default:
        break;
    }
}

int StripView::ConfirmDelete(MainWindowLink& link, Window* owner, int stripId)
{
    Tooltip::Destroy();
    if (ShowMessage(link, "IDM_CONFIRM_DELETE_STRIP", owner) != 1)
        return 0;
    IVarnMixer* mixer = MixerOf(link);
    IVarnStrip* strip = mixer ? mixer->GetStripById(stripId) : nullptr;
    IVarnStripList* list = strip ? strip->GetOwnerList() : nullptr;
    if (!list || strip->GetIndex() < 0)
        return 0;
    IVarnInsertChain* chain = strip->GetInsertChain();
    int indices[200];
    const int count = chain ? std::min(chain->GetCount(), 200) : 0;
    for (int i = 0; i < count; ++i)
        indices[i] = i;
    AsioChannelCounts counts = CountAsioChannels(list->GetSystem(), chain, indices, count);
    int asio = 0;
    IVarnInput* source = strip->GetSource();
    if (source && source->GetAsioIndex(&asio))
        --counts.playbackAfter;
    if (!WarnNoAsio(counts, link, owner))
        return 0;
    // The warning's loop may have heard the strip go or move.
    strip = mixer->GetStripById(stripId);
    list = strip ? strip->GetOwnerList() : nullptr;
    if (!list || strip->GetIndex() < 0)
        return 0;
    list->RemoveStrip(strip->GetIndex(), 1);
    mixer->SetModified(1);
    return 1;
}

void StripView::LoadDspWithRetry(MainWindowLink& link, Window* owner, int stripId)
{
    IVarnMixer* mixer = MixerOf(link);
    IVarnStrip* strip = mixer ? mixer->GetStripById(stripId) : nullptr;
    if (!strip || strip->LoadDsp(1))
        return;
    if (ShowMessage(link, "IDM_STRIP_LOAD_DSP_FAIL_RETRY", owner) != 3)
        return;
    strip = mixer->GetStripById(stripId);
    if (!strip)
        return;
    {
        BusyWindow busy(owner);
        IVarnStripList* list = strip->GetOwnerList();
        if (IVarnHardware* system = list ? list->GetSystem() : nullptr)
            system->PrepareDsp();
        if (strip->HasDsp() || strip->LoadDsp(1))
            return;
    }
    ShowMessage(link, "IDM_STRIP_LOAD_DSP_FAIL", owner);
}
