#include "mixer/views/InsertSlotStrip.h"

#include <algorithm>
#include <string>

#include <windows.h>

#include "framework/controls/Panel.h"
#include "framework/controls/Scroller.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/skin/Skin.h"
#include "framework/windows/DragDrop.h"
#include "mixer/dialogs/AsioSendReturnInsertDialog.h"
#include "mixer/dialogs/MixerNewPresetDialog.h"
#include "mixer/dialogs/NewSendInsertDialog.h"
#include "mixer/dialogs/NewSendReturnInsertDialog.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/AsioChannelCheck.h"
#include "mixer/views/InsertSlot.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MSTVIoView.h"
#include "mixer/views/MainSectionView.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/PresetTreeView.h"

using InsertSlotRules::SlotRect;

static_assert(MK_SHIFT == InsertSlotRules::kShift && MK_CONTROL == InsertSlotRules::kControl, "modifier bits");

namespace
{
int gSelectedInsertIndex = 0;

// The wait cursor while the engine works; the arrow after.
class WaitCursor
{
public:
    WaitCursor() { Cursor::SetShape(Cursor::Wait); }
    ~WaitCursor() { Cursor::SetShape(Cursor::Arrow); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace

int BarScrollSource::GetFirstVisible()
{
    return bar_ ? bar_->GetPosition() : 0;
}

void BarScrollSource::SetFirstVisible(int index, int redraw)
{
    if (!bar_)
        return;
    // The range first: the chain may have grown since the bar last took it.
    bar_->NotifyClient();
    bar_->SetPosition(std::max(0, index), redraw != 0);
    if (client_)
        client_->OnScrollPosition(bar_->GetPosition(), bar_, id_);
}

int BarScrollSource::GetOrientation()
{
    return bar_ && bar_->IsVertical() ? 1 : 0;
}

void BarScrollSource::UpdateRange()
{
    if (bar_)
        bar_->NotifyClient();
}

InsertSlotStrip::InsertSlotStrip(MainWindowLink& link, InsertStripOwner* owner) : link_(link), owner_(owner) {}

InsertSlotStrip::~InsertSlotStrip()
{
    PopupMenu::CloseMenusOf(this);
    slots_.clear();
}

InsertSlotStrip* InsertSlotStrip::ForSection(MainWindowLink& link, InsertStripOwner* owner, IVarnInsertChain* chain,
                                             MainSectionView& section, Scroller* bar, int slotCount)
{
    auto* strip = new InsertSlotStrip(link, owner);
    strip->CreateSlots(chain, &section, bar ? std::make_unique<BarScrollSource>(bar, &section, 0) : nullptr, slotCount,
                       section.GetSelectedInsertIndex(), 0);
    return strip;
}

int* InsertSlotStrip::SelectedInsertIndex()
{
    return &gSelectedInsertIndex;
}

Skin& InsertSlotStrip::GetSkin()
{
    return link_.GetSkin();
}

int InsertSlotStrip::CreateSlots(IVarnInsertChain* chain, Panel* panel, std::unique_ptr<InsertScrollSource> scroller,
                                 int slotCount, int* selectedIndex, int mono)
{
    chain_ = chain;
    panel_ = panel;
    scroller_ = std::move(scroller);
    selectedIndex_ = selectedIndex;
    mono_ = mono;
    chainId_ = chain ? chain->GetId() : 0;
    RefillSelection();
    std::string prefix;
    switch (chain ? chain->GetBusType() : -1)
    {
    case 0:
        prefix = "insert_slot_";
        break;
    case 1: {
        IVarnAux* aux = chain->GetAux();
        prefix = "aux" + std::to_string((aux ? aux->GetIndex() : 0) + 1) + "_insert_slot_";
        break;
    }
    case 2:
        prefix = "main_insert_slot_";
        break;
    default:
        break;
    }
    namePrefix_ = AsciiString(prefix.c_str());
    const int count = std::max(1, slotCount);
    for (int n = 1; n <= count; ++n)
    {
        int x = 0, y = 0, width = 0, height = 0, id = 0;
        panel_->GetRegionRect(AsciiString((prefix + std::to_string(n)).c_str()), x, y, width, height, id);
        slots_.push_back(std::make_unique<InsertSlot>(*this, n - 1, x, y, x + width, y + height));
    }
    std::vector<SlotRect> rects;
    for (int n = 0; n < GetSlotCount(); ++n)
        rects.push_back(GetSlotRect(n));
    bounds_ = InsertSlotRules::Bounds(rects);
    Refresh(1);
    return 1;
}

InsertSlot* InsertSlotStrip::GetSlot(int n) const
{
    return n >= 0 && n < static_cast<int>(slots_.size()) ? slots_[static_cast<size_t>(n)].get() : nullptr;
}

SlotRect InsertSlotStrip::GetSlotRect(int n) const
{
    SlotRect rect;
    if (InsertSlot* slot = GetSlot(n))
        rect = {slot->Left(), slot->Top(), slot->Right(), slot->Bottom()};
    return rect;
}

int InsertSlotStrip::GetSlotExtent(int vertical)
{
    const SlotRect rect = GetSlotRect(0);
    return vertical ? rect.bottom - rect.top : rect.right - rect.left;
}

int InsertSlotStrip::GetScrollOffset()
{
    return scroller_ ? scroller_->GetFirstVisible() : 0;
}

int InsertSlotStrip::HitTest(int x, int y)
{
    std::vector<SlotRect> rects;
    for (int n = 0; n < GetSlotCount(); ++n)
        rects.push_back(GetSlotRect(n));
    return InsertSlotRules::HitTest(rects, x, y);
}

int InsertSlotStrip::GetInsertIndex(int x, int y)
{
    std::vector<SlotRect> rects;
    for (int n = 0; n < GetSlotCount(); ++n)
        rects.push_back(GetSlotRect(n));
    return InsertSlotRules::InsertIndex(rects, x, y);
}

int InsertSlotStrip::IsSlotSelected(int n) const
{
    const int first = scroller_ ? scroller_->GetFirstVisible() : 0;
    return selection_.IsSet(n + first);
}

void InsertSlotStrip::RefillSelection()
{
    selection_.Refill(chain_ ? chain_->GetCount() : 0);
}

void InsertSlotStrip::Refresh(int redraw)
{
    for (auto& slot : slots_)
        slot->Clear();
    const int first = GetScrollOffset();
    const int count = chain_ ? chain_->GetCount() : 0;
    for (int i = 0; i < GetSlotCount(); ++i)
    {
        const int index = first + i;
        IVarnInsert* insert = index < count ? chain_->GetInsert(index) : nullptr;
        const int anchor = isSelected_ && selectedIndex_ && *selectedIndex_ == index;
        if (anchor)
            selection_.Set(index);
        slots_[static_cast<size_t>(i)]->Paint(insert);
        if (anchor)
            slots_[static_cast<size_t>(i)]->SetFocusMask(1);
    }
    if (redraw)
        RedrawAll();
}

void InsertSlotStrip::RedrawAll()
{
    if (slots_.empty() || !panel_)
        return;
    const SlotRect a = GetSlotRect(0);
    const SlotRect b = GetSlotRect(GetSlotCount() - 1);
    Rect area;
    area.left = std::min(a.left, b.left);
    area.top = std::min(a.top, b.top);
    area.right = std::max(a.right, b.right);
    area.bottom = std::max(a.bottom, b.bottom);
    panel_->RedrawArea(&area, 1);
}

void InsertSlotStrip::Select()
{
    if (isSelected_)
        return;
    isSelected_ = 1;
    Refresh(1);
    FocusAnchorInsert(0);
}

void InsertSlotStrip::Deselect()
{
    if (!isSelected_)
        return;
    isSelected_ = 0;
    selection_.ClearAll();
    Refresh(1);
}

IVarnInsert* InsertSlotStrip::GetSelectedInsert()
{
    if (!chain_ || !selectedIndex_)
        return nullptr;
    const int index = *selectedIndex_;
    return index >= 0 && index < chain_->GetCount() ? chain_->GetInsert(index) : nullptr;
}

void InsertSlotStrip::FocusAnchorInsert(int force)
{
    if (!owner_)
        return;
    IVarnInsert* insert = isSelected_ ? GetSelectedInsert() : nullptr;
    owner_->FocusStripEditor(insert, insert ? force : 0);
}

void InsertSlotStrip::OnMouse(int modifiers, int x, int y, int redraw, int noDrag)
{
    const int slot = HitTest(x, y);
    if (slot < 0)
        return;
    const int index = slot + GetScrollOffset();
    const int count = chain_ ? chain_->GetCount() : 0;
    int local = -1;
    int& anchor = selectedIndex_ ? *selectedIndex_ : local;
    const int plain = !(modifiers & (InsertSlotRules::kControl | InsertSlotRules::kShift));
    const int taken = selection_.Press(modifiers, index, count, noDrag, anchor);
    Refresh(redraw);
    if (plain)
        FocusAnchorInsert(0);
    IVarnInsert* insert = taken ? chain_->GetInsert(index) : nullptr;
    if (insert && !noDrag && InsertSlotRules::CanDragInsert(insert))
        StartInsertDrag(insert);
}

void InsertSlotStrip::StartInsertDrag(IVarnInsert* insert)
{
    // The drag owns its cursor.
    auto* cursor = new Cursor();
    cursor->Load(kDropCursor);
    DragDrop::Begin(cursor, panel_, InsertSlotRules::kDragInsert, reinterpret_cast<std::intptr_t>(insert));
    InsertSlotRules::InsertDragClock::Started();
}

int InsertSlotStrip::WarnNoAsio(const int* indices, int n)
{
    const AsioChannelCounts counts = CountAsioChannels(chain_ ? chain_->GetHardware() : nullptr, chain_, indices, n);
    return ::WarnNoAsio(counts, link_, owner_ ? owner_->GetDialogParent() : nullptr);
}

void InsertSlotStrip::DeleteSelected()
{
    DeleteSelectedInserts();
}

int InsertSlotStrip::DeleteSelectedInserts()
{
    if (!selectedIndex_ || !isSelected_ || !chain_)
        return 0;
    int table[InsertSlotRules::kMaxIndices];
    const int n = selection_.Collect(table, InsertSlotRules::kMaxIndices);
    if (n == 0)
        return 0;
    std::vector<IVarnInsert*> chosen;
    for (int i = 0; i < n; ++i)
        chosen.push_back(chain_->GetInsert(table[i]));
    if (!WarnNoAsio(table, n))
        return 1;
    // The warning's loop heard the engine: delete only when the same inserts are still
    // selected where they were.
    int again[InsertSlotRules::kMaxIndices];
    if (selection_.Collect(again, InsertSlotRules::kMaxIndices) != n || !std::equal(table, table + n, again))
        return 1;
    for (int i = 0; i < n; ++i)
        if (chain_->GetInsert(table[i]) != chosen[static_cast<size_t>(i)])
            return 1;
    MSTVFXView::SetCurrentInsert(nullptr);
    chain_->DeleteInserts(table, n, 1);
    if (owner_)
        owner_->FocusStripEditor(nullptr, 0);
    return 1;
}

int InsertSlotStrip::DeleteAll()
{
    const int count = chain_ ? std::min(chain_->GetCount(), InsertSlotRules::kMaxIndices) : 0;
    if (count == 0)
        return 0;
    int table[InsertSlotRules::kMaxIndices];
    for (int i = 0; i < count; ++i)
        table[i] = i;
    if (!WarnNoAsio(table, count))
        return 1;
    chain_->DeleteAllInserts(1);
    if (owner_)
        owner_->FocusStripEditor(nullptr, 0);
    return 1;
}

void InsertSlotStrip::RetryDspInserts()
{
    const int count = chain_ ? chain_->GetCount() : 0;
    for (int i = 0; i < count; ++i)
        if (IVarnInsert* insert = chain_->GetInsert(i))
            if (!insert->HasHardware())
                insert->RetryDsp();
}

int InsertSlotStrip::IsDspAvailable()
{
    IVarnStrip* strip = chain_ ? chain_->GetStrip() : nullptr;
    return strip ? strip->HasDsp() : 1;
}

int InsertSlotStrip::ShowsEvent(int id, VarnEventArg argument)
{
    if (!chain_)
        return 0;
    if (EngineEvent::kInsert.Holds(id))
        return chainId_ == static_cast<int>(argument);
    if (!EngineEvent::kInsertSlot.Holds(id))
        return 0;
    for (int i = 0; i < chain_->GetCount(); ++i)
        if (IVarnInsert* insert = chain_->GetInsert(i))
            if (insert->GetEventKey() == static_cast<int>(argument))
                return 1;
    return 0;
}

void InsertSlotStrip::OnEngineEvent(int id, VarnEventArg)
{
    switch (id)
    {
    case EngineEvent::kInsertAdded:
    case EngineEvent::kInsertRemoved:
    case EngineEvent::kInsertMoved:
    case EngineEvent::kInsertSelected:
    case EngineEvent::kInsertsCleared:
    case EngineEvent::kInsertFit:
        RefillSelection();
        Refresh(1);
        FocusAnchorInsert(1);
        if (scroller_)
            scroller_->UpdateRange();
        break;
    case EngineEvent::kInsertBypassed:
    case EngineEvent::kInsertSoloed:
        RefillSelection();
        Refresh(1);
        break;
    case EngineEvent::kInsertReplaced:
        if (owner_)
            owner_->FocusStripEditor(nullptr, 0);
        break;
    default:
        break;
    }
}

void InsertSlotStrip::ScrollIntoView(int index)
{
    if (!scroller_ || !chain_)
        return;
    const int first =
        InsertSlotRules::FirstVisibleFor(index, chain_->GetCount(), scroller_->GetFirstVisible(), GetSlotCount());
    if (first >= 0)
        scroller_->SetFirstVisible(first, 1);
}

void InsertSlotStrip::AutoScroll(int screenX, int screenY)
{
    if (!scroller_ || !panel_ || !panel_->GetHandle())
        return;
    POINT point = {screenX, screenY};
    ::ScreenToClient(panel_->GetHandle(), &point);
    const int step = InsertSlotRules::AutoScrollStep(bounds_, scroller_->GetOrientation(), point.x, point.y);
    if (step != 0)
        scroller_->SetFirstVisible(scroller_->GetFirstVisible() + step, 1);
}

int InsertSlotStrip::Drop(int x, int y, std::intptr_t kind, std::intptr_t data)
{
    if (InsertSlotRules::InsertDragClock::DropIsClick())
        return selectedIndex_ ? *selectedIndex_ : -1;
    if (kind == PresetDrag::kKind)
    {
        auto* item = reinterpret_cast<PresetItemRecord*>(data);
        if (!item || item->kind == PresetItemRecord::kCategory)
            return 1;
        return DropFromPalette(x, y, item);
    }
    if (kind == InsertSlotRules::kDragInsert)
        return DropInsert(x, y, reinterpret_cast<IVarnInsert*>(data));
    const int slot = HitTest(x, y);
    return (slot >= 0 ? slot : GetInsertIndex(x, y)) + GetScrollOffset();
}

int InsertSlotStrip::DragOver(int x, int y, std::intptr_t kind, std::intptr_t data)
{
    const int slot = HitTest(x, y);
    const int position = slot + GetScrollOffset();
    auto* insert = kind == InsertSlotRules::kDragInsert ? reinterpret_cast<IVarnInsert*>(data) : nullptr;
    const int accepted = InsertSlotRules::AcceptsInsert(insert, mono_);
    const int own = insert && insert->GetChain() == chain_ && insert->GetPosition() == position;
    return InsertSlotRules::DragOverAnswer(kind, accepted, slot, position, chain_ ? chain_->GetCount() : 0, own);
}

int InsertSlotStrip::DropFromPalette(int x, int y, PresetItemRecord* item)
{
    WaitCursor wait;
    const int slot = HitTest(x, y);
    const int first = GetScrollOffset();
    const int count = chain_ ? chain_->GetCount() : 0;
    if (slot >= 0 && slot + first < count)
    {
        const int index = slot + first;
        if (item->kind == PresetItemRecord::kCoreEffect)
            ReplaceEffect(index, item);
        else
        {
            if (owner_)
                owner_->FocusStripEditor(nullptr, 0);
            ReplacePreset(index, item);
        }
        return index;
    }
    const int index = (slot >= 0 ? slot : GetInsertIndex(x, y)) + first;
    if (item->kind == PresetItemRecord::kCoreEffect)
        AddEffect(index, item);
    else
        LoadPreset(index, item);
    return index;
}

int InsertSlotStrip::DropInsert(int x, int y, IVarnInsert* insert)
{
    IVarnInsertChain* source = insert ? insert->GetChain() : nullptr;
    if (!source || !chain_ || !InsertSlotRules::AcceptsInsert(insert, mono_))
        return -1;
    const int from = insert->GetPosition();
    const int first = GetScrollOffset();
    const int slot = HitTest(x, y);
    if (source == chain_ && slot >= 0 && slot + first == from)
        return -1;
    const int count = chain_->GetCount();
    const int destination = GetInsertIndex(x, y) + first;
    const int append = destination >= count;
    const int moved = source->MoveInsert(from, chain_, append ? -1 : destination, 1);
    const int final = append ? chain_->GetCount() - 1 : destination;
    ScrollIntoView(append ? -1 : destination);
    // A refused move leaves the insert as it was.
    if (moved)
    {
        insert->SetSolo(0, 0);
        insert->SetBypass(0, 0);
        if (InsertSlotRules::IsOtherInsertSoloed(chain_, insert))
            insert->SetBypass(1, 1);
    }
    return source == chain_ ? final : -1;
}

int InsertSlotStrip::ShowMessage(const char* id)
{
    return SkinDialogs(GetSkin()).ShowDefinedMessageBox(id, owner_ ? owner_->GetDialogParent() : nullptr, nullptr);
}

int InsertSlotStrip::RunDialog(const char* name, Dialog& dialog)
{
    return SkinDialogs(GetSkin()).ShowDialogPanel(name, &dialog, owner_ ? owner_->GetDialogParent() : nullptr);
}

void InsertSlotStrip::PrepareDsp()
{
    WaitCursor wait;
    if (IVarnHardware* hardware = chain_ ? chain_->GetHardware() : nullptr)
        hardware->PrepareDsp();
}

void InsertSlotStrip::CheckDsp(int result, int position)
{
    if (result == VarnInsertNoDsp)
        ShowMessage("IDM_INSUFFICIENT_DSP");
    else if (result == VarnInsertPrepareDsp)
        PrepareDsp();
    else
        ScrollIntoView(position);
}

namespace
{
const VarnCoreEffectRecord* EffectOf(PresetItemRecord* item)
{
    return &ItemOf<CoreEffectItem>(item)->record;
}

const VarnPresetRecord* PresetOf(PresetItemRecord* item)
{
    return &ItemOf<PresetItem>(item)->record;
}
} // namespace

void InsertSlotStrip::AddEffect(int position, PresetItemRecord* item)
{
    if (chain_)
        CheckDsp(chain_->AddEffect(EffectOf(item), position, 1), position);
}

void InsertSlotStrip::ReplaceEffect(int position, PresetItemRecord* item)
{
    if (!chain_)
        return;
    const int result = chain_->ReplaceEffect(EffectOf(item), position, 1);
    if (result == VarnInsertNoDsp)
        ShowMessage("IDM_INSUFFICIENT_DSP");
    else if (result == VarnInsertPrepareDsp)
        PrepareDsp();
}

void InsertSlotStrip::LoadPreset(int position, PresetItemRecord* item)
{
    PutPreset(position, item, 0);
}

void InsertSlotStrip::ReplacePreset(int position, PresetItemRecord* item)
{
    PutPreset(position, item, 1);
}

void InsertSlotStrip::PutPreset(int position, PresetItemRecord* item, int replace)
{
    if (!chain_)
        return;
    auto put = [&] {
        return replace ? chain_->ReplacePreset(PresetOf(item), position, 1)
                       : chain_->AddPreset(PresetOf(item), position, 1);
    };
    const int result = put();
    if (result == VarnPresetPrepareDsp)
    {
        // Once more after the preparation; the preset then fits or the DSP has no room.
        PrepareDsp();
        if (put() != VarnPresetDone)
            ShowMessage("IDM_INSUFFICIENT_DSP");
        return;
    }
    if (result == VarnPresetUnregistered || result == VarnPresetUnlicensed)
        ShowMessage("IDM_PRESET_NOT_REGISTERED");
    else if (result == VarnPresetCorrupt)
        ShowMessage("IDM_PRESET_DATA_CORRUPT");
}

int InsertSlotStrip::MenuPosition()
{
    return menuSlot_ + GetScrollOffset();
}

void InsertSlotStrip::AddSpecialInsert(int command)
{
    if (!chain_)
        return;
    const int position = MenuPosition();
    int result = 0;
    switch (command)
    {
    case kAddMeter:
        result = chain_->AddMeterInsert(position, 1);
        break;
    case kAddTrim:
        result = chain_->AddTrimInsert(position, 1);
        break;
    case kAddTestSignal:
        result = chain_->AddTestSignalInsert(position, 1);
        break;
    case kAddBalance:
        result = chain_->AddBalanceInsert(position, 1);
        break;
    default:
        return;
    }
    CheckDsp(result, position);
}

void InsertSlotStrip::AddSendInsert()
{
    if (!chain_)
        return;
    if (!InsertMenuChoices::Of(chain_, mono_).send)
    {
        ShowMessage("IDM_NO_FREE_OUTPUTS");
        return;
    }
    NewSendInsertDialog dialog(GetSkin());
    dialog.Setup(chain_->GetHardware(), mono_);
    if (RunDialog("newsendinsert", dialog) != 1)
        return;
    if (IVarnOutput* output = dialog.GetSelectedOutput())
    {
        const int position = MenuPosition();
        CheckDsp(chain_->AddSendInsert(output, position, 1), position);
    }
}

void InsertSlotStrip::AddSendReturnInsert()
{
    if (!chain_)
        return;
    const InsertMenuChoices choices = InsertMenuChoices::Of(chain_, mono_);
    if (!choices.sendReturnOutputs || !choices.sendReturnInputs)
    {
        ShowMessage(choices.sendReturnOutputs ? "IDM_NO_FREE_INPUTS" : "IDM_NO_FREE_OUTPUTS");
        return;
    }
    NewSendReturnInsertDialog dialog(GetSkin());
    dialog.Setup(chain_->GetHardware(), mono_);
    if (RunDialog("newsendreturninsert", dialog) != 1)
        return;
    IVarnOutput* output = dialog.GetSelectedOutput();
    IVarnInput* input = dialog.GetSelectedInput();
    if (output && input)
    {
        const int position = MenuPosition();
        CheckDsp(chain_->AddSendReturnInsert(output, input, position, 1), position);
    }
}

void InsertSlotStrip::AddAsioSendReturnInsert()
{
    if (!chain_)
        return;
    const InsertMenuChoices choices = InsertMenuChoices::Of(chain_, mono_);
    if (!choices.asioOutputs || !choices.asioInputs)
    {
        ShowMessage(choices.asioOutputs ? "IDM_NO_FREE_INPUTS" : "IDM_NO_FREE_OUTPUTS");
        return;
    }
    AsioSendReturnInsertDialog dialog(GetSkin());
    dialog.Init(chain_->GetHardware(), mono_);
    if (RunDialog("newasiosendreturninsert", dialog) != 1)
        return;
    // The return is made on demand: asked only once a send was chosen.
    IVarnOutput* output = dialog.GetSend();
    IVarnInput* input = output ? dialog.GetReturn() : nullptr;
    if (output && input)
    {
        const int position = MenuPosition();
        CheckDsp(chain_->AddAsioSendReturnInsert(output, input, position, 1), position);
    }
}

void InsertSlotStrip::CreatePreset()
{
    IVarnServices* services = link_.GetServices();
    IVarnFxLibrary* library = services ? services->GetFxLibrary() : nullptr;
    if (!chain_ || !library)
        return;
    MixerNewPresetDialog dialog(GetSkin());
    InsertStripOwner* owner = owner_;
    auto prompt = [owner](String& name) { return owner ? owner->NewPresetCategory(name) : 0; };
    if (!dialog.Init(library, prompt) || RunDialog("newpreset", dialog) != 1)
        return;
    String name, category;
    dialog.GetPresetName(name);
    dialog.GetCategoryName(category);
    if (name.Length() == 0)
        return;
    // The library keeps names of at most 127 units and takes only names a file can have.
    if (const char* refusal = MixerNewPresetDialog::CheckName(name))
    {
        ShowMessage(refusal);
        return;
    }
    int table[InsertSlotRules::kMaxIndices];
    const int n = InsertSlotRules::CollectEffectInserts(chain_, table);
    if (n > 0 && !library->CreatePresetFromInserts(category.Text(), name.Text(), chain_, table, n, 1))
        ShowMessage("IDM_DUPLICATE_WRONG_DATA_CREATEPRESET");
}

void InsertSlotStrip::ShowContextMenu(int x, int y)
{
    menuSlot_ = HitTest(x, y);
    menuInsert_ = nullptr;
    if (menuSlot_ < 0 || !chain_)
        return;
    Skin& skin = GetSkin();
    PopupMenu* menu = skin.CreatePopupMenu("InsertContextMenu");
    if (!menu)
        return;
    const int position = MenuPosition();
    const int count = chain_->GetCount();
    const int dsp = IsDspAvailable();
    auto disable = [menu](int command, int flag) {
        const int index = menu->FindItem(command);
        if (index >= 0)
            menu->SetItemDisabled(index, flag ? 1 : 0);
    };
    int table[InsertSlotRules::kMaxIndices];
    disable(kDeleteSelected, position >= count);
    disable(kDeleteAll, count == 0);
    disable(kCreatePreset, InsertSlotRules::CollectEffectInserts(chain_, table) == 0);
    disable(kAddMeter, !chain_->CanAdd(InsertKind::kMeteredEffect) || !dsp);
    disable(kAddTrim, !chain_->CanAdd(InsertKind::kTrim) || !dsp);
    disable(kAddTestSignal, !chain_->CanAdd(InsertKind::kTestSignal) || !dsp);
    if (chain_->CanAdd(InsertKind::kBalance))
        menu->InsertItem(AsciiString("Insert Balance"), kAddBalance, dsp ? 0 : 1, 0, nullptr, kBalancePosition);
    const InsertMenuChoices choices = InsertMenuChoices::Of(chain_, mono_);
    disable(kAddSend, !(choices.send && chain_->CanAdd(InsertKind::kSend) && dsp));
    disable(kAddSendReturn, !(choices.sendReturn && chain_->CanAdd(InsertKind::kSendReturn) && dsp));
    disable(kAddAsioSendReturn, !(choices.asioSendReturn && chain_->CanAdd(InsertKind::kAsioSendReturn) && dsp));
    auto add = [&skin, menu](const char* id, int command, int disabled) {
        if (const String* text = skin.FindStringById(id))
            menu->AddItem(*text, command, disabled, 0, nullptr);
    };
    IVarnInsert* insert = position < count ? chain_->GetInsert(position) : nullptr;
    if (insert)
    {
        menuInsert_ = insert;
        const int disabled = !insert->HasEffect() || !insert->HasHardware();
        add(insert->IsSoloed() ? "IDS_UNSOLO_INSERT" : "IDS_SOLO_INSERT", kSolo, disabled);
        add(insert->IsBypassed() ? "IDS_UNBYPASS_INSERT" : "IDS_BYPASS_INSERT", kBypass, disabled);
    }
    else
    {
        add("IDS_SOLO_INSERT", kSolo, 1);
        add("IDS_BYPASS_INSERT", kBypass, 1);
    }
    const int bypassable = chain_->GetBypassableCount();
    const int bypassed = chain_->GetBypassedCount();
    if (bypassed < bypassable)
        add("IDS_BYPASS_ALLINSERTS", kBypassAll, bypassable == 0 || bypassed >= count);
    if (bypassed > 0)
        add("IDS_UNBYPASS_ALLINSERTS", kUnbypassAll, bypassable == 0);
    int screenX = 0, screenY = 0;
    Cursor::GetPosition(screenX, screenY);
    if (!menu->Track(screenX, screenY, this, panel_, 1))
        delete menu;
}

void InsertSlotStrip::ToggleInsertState(int command)
{
    // The menu stays open while the engine works: only the insert it was opened on counts.
    IVarnInsert* insert = chain_ ? chain_->GetInsert(MenuPosition()) : nullptr;
    if (!insert || insert != menuInsert_ || !insert->HasEffect())
        return;
    if (command == kSolo)
        insert->SetSolo(insert->IsSoloed() ? 0 : 1, 1);
    else
        insert->SetBypass(insert->IsBypassed() ? 0 : 1, 1);
}

void InsertSlotStrip::OnMenuCommand(int command)
{
    switch (command)
    {
    case kDeleteSelected:
        DeleteSelectedInserts();
        break;
    case kDeleteAll:
        DeleteAll();
        break;
    case kAddSend:
        AddSendInsert();
        break;
    case kAddSendReturn:
        AddSendReturnInsert();
        break;
    case kAddAsioSendReturn:
        AddAsioSendReturnInsert();
        break;
    case kAddMeter:
    case kAddTrim:
    case kAddTestSignal:
    case kAddBalance:
        AddSpecialInsert(command);
        break;
    case kCreatePreset:
        CreatePreset();
        break;
    case kSolo:
    case kBypass:
        ToggleInsertState(command);
        break;
    case kBypassAll:
    case kUnbypassAll:
        if (chain_)
            chain_->BypassAll(command == kBypassAll ? 1 : 0);
        break;
    default:
        break;
    }
}
