#include "plugins/quorvel/EditorInsertSlot.h"

#include "framework/controls/BitmapControl.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/PeakMeter.h"
#include "framework/controls/TextControl.h"
#include "framework/skin/Skin.h"
#include "framework/windows/BusyWindow.h"
#include "plugins/quorvel/EditorDialogs.h"
#include "plugins/quorvel/EditorParamList.h"
#include "plugins/quorvel/EffectCatalog.h"
#include "plugins/quorvel/EffectView.h"
#include "plugins/quorvel/InsertChain.h"
#include "plugins/quorvel/KivQuorvelEditor.h"
#include "plugins/quorvel/ServicesConnection.h"

#include <algorithm>
#include <cwctype>
#include <numeric>
#include <string>

namespace
{
// A slot meter's range in dB when its parameter names none; it shows its floor while the
// host does not process.
constexpr float kMeterFloor = -120.0f;
constexpr float kMeterTop = 0.0f;

String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

int MiscInt(Skin& skin, const char* name)
{
    int value = 0;
    skin.GetMiscParamInt(name, value);
    return value;
}

bool IsPeakName(const String& name)
{
    const char16_t* text = name.Text();
    const char16_t peak[] = u"peak";
    for (int i = 0; i < 4; ++i)
        if (!text[i] || std::towlower(static_cast<wint_t>(text[i])) != static_cast<wint_t>(peak[i]))
            return false;
    return text[4] == 0;
}

// The level a slot meter shows: what the model read when it lies within the meter's range.
void ShowLevel(RealItem& item, float level)
{
    if (item.minimum == item.maximum || (level >= item.minimum && level <= item.maximum))
        item.SetValue(level, 1, 0, nullptr);
}
} // namespace

String EditorInsertSlot::SlotRegion(int32_t slot)
{
    return Ascii(("insert_slot_" + std::to_string(slot)).c_str());
}

EditorInsertSlot::EditorInsertSlot(EditorMainPanel& panel, Scroller* scrollBar, InsertChain& chain)
    : ScrolledContent(1), panel_(panel), scrollBar_(scrollBar), chain_(chain)
{
    registered_ = panel_.RegisterListener(this, EditorMainPanel::kGroupChain, 0);
    selection_.Reset(Length());
    selection_.SetCurrent(Length() > 0 ? 0 : SlotSelection::kNone);
    disconnected_ = !chain_.IsAttached();
    if (scrollBar_)
        scrollBar_->SetClient(this);
}

EditorInsertSlot::~EditorInsertSlot()
{
    if (registered_)
        panel_.UnregisterListener(this);
    if (scrollBar_)
        scrollBar_->SetClient(nullptr);
    PopupMenu::CloseMenusOf(this);
    RemoveMeters();
    DropSlotControls();
}

void EditorInsertSlot::AttachScroller(Scroller* scroller, int)
{
    SetVerticalScroller(scroller);
    Refresh();
}

int32_t EditorInsertSlot::Length()
{
    InsertChain::Hold hold(chain_);
    return chain_.Count();
}

uint32_t EditorInsertSlot::IdentityAt(int32_t row)
{
    InsertChain::Hold hold(chain_);
    InsertEffect* insert = row >= 0 ? chain_.At(row) : nullptr;
    return insert ? insert->Identity() : 0;
}

bool EditorInsertSlot::HasInsertAt(int32_t slot)
{
    return slot >= 0 && FirstVisible() + slot < Length();
}

void EditorInsertSlot::ShowCurrent(bool force)
{
    const uint32_t identity = IdentityAt(selection_.Current());
    if (identity != 0 || force)
        panel_.ShowInsert(identity, force);
}

void EditorInsertSlot::ClickSlot(int32_t slot, int32_t keys)
{
    selection_.Click(FirstVisible() + slot, keys);
    Rebuild();
}

void EditorInsertSlot::Refresh()
{
    const int32_t n = Length();
    const int32_t before = FirstVisible();
    // One more row than inserts: the empty slot below the chain takes drops.
    UpdateScroller(n + 1, kSlots, kRowHeight * (n + 1), kPageHeight);
    if (FirstVisible() == before)
        Rebuild();
}

void EditorInsertSlot::ScrollBy(int32_t delta)
{
    Scroller* bar = VerticalScroller();
    if (!bar)
        return;
    const int32_t target = std::min(std::max(FirstVisible() + delta, 0), bar->GetRange());
    if (target != FirstVisible())
        MoveScrollerTo(target);
}

void EditorInsertSlot::OnScrollEnd()
{
    // Meters of rows scrolled out of sight go; they come back when their row shows again.
    std::vector<uint32_t> gone;
    for (const std::unique_ptr<SlotMeter>& meter : meters_)
        if (meter->row < FirstVisible() || meter->row >= FirstVisible() + kSlots)
            gone.push_back(meter->identity);
    for (uint32_t identity : gone)
        RemoveMeter(identity);
}

void EditorInsertSlot::DropSlotControls()
{
    for (Control* control : slotControls_)
        panel_.DropControl(control, 0, 0);
    slotControls_.clear();
}

void EditorInsertSlot::AddSlotImage(const char* image, int x, int y)
{
    Skin* skin = Skin::Current();
    SkinBitmap* bitmap = skin ? skin->FindBitmap(Ascii(image)) : nullptr;
    if (!bitmap)
        return;
    auto* control = new BitmapControl();
    if (!control->Setup(x, y, Ascii("slotBg"), bitmap))
    {
        delete control;
        return;
    }
    panel_.AddControl(control, nullptr);
    slotControls_.push_back(control);
}

void EditorInsertSlot::AddSlotText(const String& text, const char* font, int x, int y)
{
    Skin* skin = Skin::Current();
    if (!skin)
        return;
    uint32_t colour = 0xE6E6E6;
    skin->GetMiscParamColour("insertTextColEnabled", colour);
    auto* control = new TextControl();
    int x0 = 0, y0 = 0, width = 0, height = 0, id = 0;
    panel_.GetRegionRect(SlotRegion(0), x0, y0, width, height, id);
    const int textX = x + MiscInt(*skin, "insertEffectTextXpos");
    if (!control->Setup(textX, y + MiscInt(*skin, "insertEffectTextYpos"), Ascii("slotText"), text,
                        skin->FindFont(Ascii(font)), nullptr, colour, colour, std::max(width - (textX - x), 1), 0,
                        nullptr, 0, 0, 0, 0, 0))
    {
        delete control;
        return;
    }
    panel_.AddControl(control, nullptr);
    slotControls_.push_back(control);
}

void EditorInsertSlot::Rebuild()
{
    DropSlotControls();
    uint32_t shown = 0;
    {
        InsertChain::Hold hold(chain_);
        for (int32_t slot = 0; slot < kSlots; ++slot)
        {
            const int32_t row = FirstVisible() + slot;
            PaintSlot(slot, row, row < chain_.Count() ? chain_.At(row) : nullptr, &shown);
        }
    }
    // The effect view is told outside the chain's hold: it takes the chain itself.
    if (shown != 0)
        panel_.ShowInsert(shown, false);
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    if (panel_.GetRegionRect(Ascii("inserts"), x, y, width, height, id))
    {
        const Rect area{x, y, x + width, y + height};
        panel_.RedrawArea(&area, 1);
    }
    else
    {
        panel_.RedrawArea(nullptr, 1);
    }
}

void EditorInsertSlot::PaintSlot(int32_t slot, int32_t row, InsertEffect* insert, uint32_t* shown)
{
    Skin* skin = Skin::Current();
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    if (!skin || !panel_.GetRegionRect(SlotRegion(slot), x, y, width, height, id))
        return;
    if (!insert)
    {
        AddSlotImage("insert_bg", x, y);
    }
    else if (!insert->IsConnected())
    {
        AddSlotImage("insert_noDSP_bg", x, y);
        String name;
        InsertDisplayName(*insert, name);
        if (!IsPeakName(name) && insert->Kind() != kInsertPeakMeter)
        {
            AddSlotText(name, "digitalFontNoDSP", x, y);
        }
        else
        {
            AddSlotImage("peakMeter_insertThin_disabled", x + MiscInt(*skin, "insertLeftPeakMeterXpos"),
                         y + MiscInt(*skin, "insertLeftPeakMeterYpos"));
            AddSlotImage("peakMeter_insertThin_disabled", x + MiscInt(*skin, "insertRightPeakMeterXpos"),
                         y + MiscInt(*skin, "insertRightPeakMeterYpos"));
        }
    }
    else if (insert->Kind() != kInsertPeakMeter)
    {
        AddSlotImage("insert_bg", x, y);
        String name;
        InsertDisplayName(*insert, name);
        AddSlotText(name, insert->IsBypassed() ? "digitalFontDisabled" : "digitalFontNormal", x, y);
    }
    else
    {
        AddSlotImage("insert_bg", x, y);
        AddSlotImage("insert_clear_mask", x, y);
        auto found = std::find_if(meters_.begin(), meters_.end(), [insert](const std::unique_ptr<SlotMeter>& m) {
            return m->identity == insert->Identity();
        });
        if (found == meters_.end() || (*found)->row != row)
        {
            RemoveMeter(insert->Identity());
            AddMeter(*insert, row, x, y);
        }
        else
        {
            // The slot's images were made again under the kept meters: the meters go back on
            // top, or a level that holds steady (and so never redraws) stays covered.
            for (PeakMeter* meter : (*found)->meters)
                if (meter)
                    panel_.RaiseControl(meter);
        }
    }
    if (selection_.IsSelected(row))
        AddSlotImage("insert_selected_mask", x, y);
    if (row == selection_.Current() && insert)
    {
        AddSlotImage("insert_focus_mask", x, y);
        *shown = insert->Identity();
    }
}

void EditorInsertSlot::AddMeter(InsertEffect& insert, int32_t row, int x, int y)
{
    Skin* skin = Skin::Current();
    if (!skin)
        return;
    auto meter = std::make_unique<SlotMeter>();
    meter->identity = insert.Identity();
    meter->row = row;
    int32_t count = 0;
    const uint8_t* descriptors = nullptr;
    insert.GetParamDescriptors(&count, &descriptors);
    for (int32_t i = 0, side = 0; i < count && side < 2; ++i)
        if (ParamDescriptor(descriptors + static_cast<size_t>(i) * ParamDescriptor::kSize).IsReadOnly())
            meter->params[side++] = i;
    // One meter parameter measures both channels: both slot meters show it.
    if (meter->params[1] < 0)
        meter->params[1] = meter->params[0];
    const char* offsets[2][2] = {{"insertLeftPeakMeterXpos", "insertLeftPeakMeterYpos"},
                                 {"insertRightPeakMeterXpos", "insertRightPeakMeterYpos"}};
    const char* names[2] = {"leftPeakMeter", "rightPeakMeter"};
    const ResponseFunction* response = skin->FindResponseFunction(Ascii("insertpeakmeterresponse"));
    for (int side = 0; side < 2; ++side)
    {
        meter->items[side] = std::make_unique<RealItem>();
        RealItem& item = *meter->items[side];
        // The parameter's own range (as the effect view's row takes it): a meter in dB or
        // one of 0..1 lights as far as its value goes.
        item.minimum = kMeterFloor;
        item.maximum = kMeterTop;
        if (meter->params[side] >= 0)
        {
            const ParamDescriptor d(descriptors + static_cast<size_t>(meter->params[side]) * ParamDescriptor::kSize);
            if (d.ValueKind() == EditorParamItem::kContinuous && d.FloatMinimum() < d.FloatMaximum())
            {
                item.minimum = d.FloatMinimum();
                item.maximum = d.FloatMaximum();
            }
        }
        item.value = item.minimum;
        item.defaultValue = item.minimum;
        auto* control = new PeakMeter();
        if (!control->Setup(
                x + MiscInt(*skin, offsets[side][0]), y + MiscInt(*skin, offsets[side][1]), Ascii(names[side]),
                skin->GetMiscParamFlag("insertPeakMeterHorzOrientation"), 0,
                skin->FindBitmap(Ascii("peakMeter_insertThin_unlit_top")),
                skin->FindBitmap(Ascii("peakMeter_insertThin_lit")),
                skin->FindBitmap(Ascii("peakMeter_insertThin_disabled")),
                std::max(MiscInt(*skin, "insertPeakMeterLEDThickness"), 1), MiscInt(*skin, "insertPeakMeterLEDSpacing"),
                static_cast<uint32_t>(MiscInt(*skin, "insertPeakMeterHoldDurn")),
                static_cast<uint32_t>(std::max(MiscInt(*skin, "insertPeakMeterDecayInterval"), 1)), nullptr))
        {
            delete control;
            continue;
        }
        if (response)
            control->SetResponseFunction(response);
        panel_.AddControl(control, &item);
        meter->meters[side] = control;
    }
    meters_.push_back(std::move(meter));
}

RealItem* EditorInsertSlot::MeterItem(uint32_t identity, int side) const
{
    for (const std::unique_ptr<SlotMeter>& meter : meters_)
        if (meter->identity == identity && side >= 0 && side < 2)
            return meter->items[side].get();
    return nullptr;
}

void EditorInsertSlot::RemoveMeter(uint32_t identity)
{
    auto found = std::find_if(meters_.begin(), meters_.end(),
                              [identity](const std::unique_ptr<SlotMeter>& m) { return m->identity == identity; });
    if (found == meters_.end())
        return;
    // The controls go before the items they are bound to.
    for (PeakMeter* control : (*found)->meters)
        if (control)
            panel_.DropControl(control, 1, 0);
    meters_.erase(found);
}

void EditorInsertSlot::RemoveMeters()
{
    while (!meters_.empty())
        RemoveMeter(meters_.front()->identity);
}

void EditorInsertSlot::RefreshMeters(bool processing)
{
    InsertChain::Hold hold(chain_);
    for (const std::unique_ptr<SlotMeter>& meter : meters_)
    {
        InsertEffect* insert = nullptr;
        for (int32_t i = 0; i < chain_.Count() && !insert; ++i)
            if (chain_.At(i)->Identity() == meter->identity)
                insert = chain_.At(i);
        for (int side = 0; side < 2; ++side)
        {
            if (!meter->items[side])
                continue;
            ParamValue value;
            if (!processing)
                ShowLevel(*meter->items[side], meter->items[side]->minimum);
            else if (insert && meter->params[side] >= 0 && insert->GetParamValue(meter->params[side], &value))
                ShowLevel(*meter->items[side], value.AsReal());
        }
    }
}

bool EditorInsertSlot::AddAt(const PresetEntry& entry, int32_t slot)
{
    const int32_t position = SlotAddPosition(FirstVisible(), slot, Length());
    {
        BusyWindow busy(&panel_);
        if (!chain_.LoadPreset(entry.Id(), position, true, true))
            return false;
    }
    if (entry.IsChain())
        selection_.InsertAt(position, const_cast<PresetEntry&>(entry).ChildCount());
    selection_.SetCurrent(position);
    Refresh();
    return true;
}

bool EditorInsertSlot::ReplaceAt(const PresetEntry& entry, int32_t slot)
{
    const int32_t row = FirstVisible() + std::min(slot, Length());
    const uint32_t identity = IdentityAt(row);
    if (identity == 0)
        return false;
    RemoveMeter(identity);
    panel_.ShowInsert(0, true);
    bool replaced = false;
    {
        BusyWindow busy(&panel_);
        replaced = chain_.ReplaceWithPreset(row, entry.Id());
    }
    if (replaced)
    {
        selection_.SetCurrent(row);
        Refresh();
    }
    return replaced;
}

bool EditorInsertSlot::Move(int32_t from, int32_t to)
{
    if (from == to || to == from + 1)
        return true;
    RemoveMeter(IdentityAt(from));
    bool moved = false;
    {
        BusyWindow busy(&panel_);
        moved = chain_.Move(from, to);
    }
    if (moved)
        selection_.SetCurrent(from < to ? to - 1 : to);
    Refresh();
    return moved;
}

void EditorInsertSlot::DeleteSelected()
{
    for (int32_t row = std::min(Length(), selection_.Count()) - 1; row >= 0; --row)
    {
        if (!selection_.IsSelected(row))
            continue;
        RemoveMeter(IdentityAt(row));
        panel_.ShowInsert(0, true);
        if (chain_.RemoveAt(row, true))
            selection_.RemoveAt(row);
    }
    if (selection_.Current() == SlotSelection::kNone)
        selection_.SetCurrent(0);
    selection_.Click(selection_.Current(), -1);
    Refresh();
}

void EditorInsertSlot::RemoveAll()
{
    RemoveMeters();
    selection_.Clear();
    panel_.ShowInsert(0, true);
    chain_.RemoveAll(true);
    Refresh();
}

void EditorInsertSlot::OnEditorMessage(uint32_t id, uintptr_t, uintptr_t, intptr_t)
{
    switch (id)
    {
    case kMessageChainChanged:
        selection_.Rebuild(Length());
        Refresh();
        ShowCurrent(true);
        break;
    case kMessageBypassSoloRead:
        Rebuild();
        break;
    case kMessageChainDetached:
        RemoveMeters();
        Rebuild();
        ShowCurrent(true);
        break;
    case kMessageChainAttached:
        Rebuild();
        ShowCurrent(true);
        break;
    default:
        break;
    }
}

InsertMenuFacts EditorInsertSlot::MenuFacts(int32_t slot)
{
    InsertMenuFacts facts;
    facts.disconnected = disconnected_;
    facts.fits[kSpecialTrimPot] = chain_.SpecialFits(kSpecialTrimPot);
    facts.fits[kSpecialTestSignal] = chain_.SpecialFits(kSpecialTestSignal);
    facts.fits[kSpecialPeakMeter] = chain_.SpecialFits(kSpecialPeakMeter);
    InsertChain::Hold hold(chain_);
    facts.chainLength = chain_.Count();
    facts.slotHasInsert = slot >= 0 && FirstVisible() + slot < chain_.Count();
    // Without a focus the first insert stands for it.
    const int32_t current = std::max(selection_.Current(), 0);
    if (InsertEffect* insert = current < chain_.Count() ? chain_.At(current) : nullptr)
    {
        facts.currentExists = true;
        facts.currentCanBypass = insert->CanBypass();
        facts.currentSoloed = insert->IsSoloed();
        facts.currentBypassed = insert->IsBypassed();
    }
    bool allBypassed = true;
    for (int32_t i = 0; i < chain_.Count(); ++i)
    {
        InsertEffect* insert = chain_.At(i);
        if (insert->CanBypass())
        {
            facts.anyCanBypass = true;
            allBypassed = allBypassed && insert->IsBypassed();
        }
        facts.anyBypassed = facts.anyBypassed || insert->IsBypassed();
    }
    facts.allBypassableBypassed = facts.anyCanBypass && allBypassed;
    return facts;
}

bool EditorInsertSlot::ShowContextMenu(int32_t slot)
{
    Skin* skin = Skin::Current();
    if (!skin)
        return false;
    disconnected_ = !chain_.IsAttached();
    const InsertMenuPlan plan = PlanInsertMenu(MenuFacts(slot), selection_.Current());
    if (!plan.show)
        return false;
    PopupMenu* menu = skin->CreatePopupMenu("VSTPPInsertContextMenu");
    if (!menu)
        return false;
    for (int position : {0, 2, 4, 5, 6, 8})
        if (position < menu->ItemCount())
            menu->SetItemDisabled(position, plan.disabledAt[position] ? 1 : 0);
    for (const InsertMenuEntry& item : plan.appended)
    {
        String text;
        if (const String* found = skin->FindStringById(item.textId))
            text.Assign(*found);
        else
            text.AssignAscii(item.textId);
        menu->AddItem(text, item.command, item.disabled ? 1 : 0, 0, nullptr);
    }
    menuSlot_ = slot;
    POINT cursor{0, 0};
    ::GetCursorPos(&cursor);
    menu->Track(cursor.x, cursor.y, this, &panel_, 1);
    return true;
}

void EditorInsertSlot::OnMenuCommand(int commandId)
{
    RunCommand(commandId);
}

void EditorInsertSlot::AddSpecial(int32_t kind)
{
    const int32_t position = std::min(std::max(selection_.Current(), 0), Length());
    switch (kind)
    {
    case kSpecialPeakMeter:
        chain_.AddPeakMeter(position, true, true);
        break;
    case kSpecialTrimPot:
        chain_.AddTrimPot(position, true, true);
        break;
    default:
        chain_.AddTestSignal(position, true, true);
        break;
    }
    Refresh();
}

void EditorInsertSlot::PresetFromInserts()
{
    ServicesConnection* services = panel_.Services();
    EffectCatalog* catalog = services ? services->GetCatalog() : nullptr;
    if (!catalog)
        return;
    String name;
    String category;
    {
        // The chain is not held here: setChunk may want it while the dialog runs.
        EditorNewPresetDialog dialog(panel_, catalog);
        if (dialog.Run() != 1 || !dialog.GetPresetName(name) || name.Length() == 0)
            return;
        dialog.GetCategory(category);
    }
    if (!panel_.CheckName(name))
        return;
    std::vector<int32_t> positions(static_cast<size_t>(Length()));
    std::iota(positions.begin(), positions.end(), 0);
    if (catalog->CreatePreset(category.Text(), name.Text(), static_cast<int32_t>(positions.size()), positions.data()) !=
        EffectCatalog::kEditDone)
        panel_.Editor().ShowMessage("IDM_DUPLICATE_WRONG_DATA_CREATEPRESET");
}

void EditorInsertSlot::RunCommand(int32_t command)
{
    switch (command)
    {
    case kInsertMenuDelete:
        DeleteSelected();
        break;
    case kInsertMenuRemoveAll:
        RemoveAll();
        break;
    case kInsertMenuAddPeakMeter:
        AddSpecial(kSpecialPeakMeter);
        break;
    case kInsertMenuAddTrimPot:
        AddSpecial(kSpecialTrimPot);
        break;
    case kInsertMenuAddTestSignal:
        AddSpecial(kSpecialTestSignal);
        break;
    case kInsertMenuPresetFromInserts:
        PresetFromInserts();
        break;
    case kInsertMenuSolo:
    case kInsertMenuBypass: {
        InsertChain::Hold hold(chain_);
        const int32_t current = std::max(selection_.Current(), 0);
        if (InsertEffect* insert = current < chain_.Count() ? chain_.At(current) : nullptr)
        {
            if (command == kInsertMenuSolo)
                insert->SetSolo(!insert->IsSoloed());
            else
                insert->SetBypass(!insert->IsBypassed());
        }
        break;
    }
    case kInsertMenuBypassAll:
        chain_.SetAllBypass(true);
        break;
    case kInsertMenuUnbypassAll:
        chain_.SetAllBypass(false);
        break;
    default:
        return;
    }
    Rebuild();
}
