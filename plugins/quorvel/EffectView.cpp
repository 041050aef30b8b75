#include "plugins/quorvel/EffectView.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/Tooltip.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/skin/Skin.h"
#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/EditorDialogs.h"
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/EditorParamList.h"
#include "plugins/quorvel/EditorRules.h"
#include "plugins/quorvel/InsertChain.h"
#include "plugins/quorvel/KivQuorvelEditor.h"
#include "plugins/quorvel/ServicesConnection.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace
{
constexpr uint32_t kBackground = 0x646464;
constexpr int32_t kNoRowKind = 3; // kinds 3 and 4 get no row

// "CorePresetEditMenu"'s commands.
enum CorePresetCommand : int
{
    kCorePresetNew = 1,
    kCorePresetDelete = 2,
    kCorePresetRename = 3,
    kCorePresetStore = 4,
};

void SkinText(const char* id, const char* fallback, String& text)
{
    Skin* skin = Skin::Current();
    if (const String* found = skin ? skin->FindStringById(id) : nullptr)
        text.Assign(*found);
    else
        text.AssignAscii(fallback);
}

const char* KindName(int32_t kind)
{
    switch (kind)
    {
    case kInsertTrimPot:
        return "Trim Pot";
    case kInsertTestSignal:
        return "Test Signal";
    case kInsertPeakMeter:
        return "Peak Meter";
    case kInsertSendReturn:
        return "Send/Return";
    default:
        return "";
    }
}
} // namespace

void InsertDisplayName(const InsertEffect& insert, String& out)
{
    if (insert.Kind() == kInsertDspEffect)
        out.AssignWide(static_cast<const DspEffectInsert&>(insert).Preset().name);
    else
        out.AssignAscii(KindName(insert.Kind()));
}

EffectView::EffectView(EditorMainPanel& panel) : panel_(panel) {}

EffectView::~EffectView()
{
    if (registered_)
        panel_.UnregisterListener(this);
    PopupMenu::CloseMenusOf(this);
    params_.reset();
    Destroy();
}

bool EffectView::Create()
{
    registered_ = panel_.RegisterListener(this, EditorMainPanel::kGroupInsert, 0);
    Skin* skin = Skin::Current();
    if (!skin || !Setup(this, 0, 0, kBackground))
        return false;
    wetDry_ = AddRealItem("wetdrymix", 0.0f, 0.0f, 1.0f, 0, 0);
    bypass_ = AddFlagItem("bypass", 0, 0, 0);
    solo_ = AddFlagItem("solo", 0, 0, 0);
    preset_ = AddIntItem("curpreset", 0, 0, 0, 0, 0);
    if (!PanelBuilder(*skin).BuildPanel("MSTVFXView", *this, 0, nullptr))
        return false;
    int x = 0, y = 0;
    skin->GetMiscParamInt("TVViewXpos", x);
    skin->GetMiscParamInt("TVViewYpos", y);
    if (!Panel::Create(&panel_, x, y, kWindowId))
        return false;
    ::ShowWindow(GetHandle(), SW_SHOWNA);
    Layout(0, true);
    return true;
}

bool EffectView::WithInsert(const std::function<void(InsertEffect&)>& use)
{
    ServicesConnection* services = panel_.Services();
    InsertChain* chain = services && identity_ ? services->GetInsertChain() : nullptr;
    if (!chain)
        return false;
    InsertChain::Hold hold(*chain);
    for (int32_t i = 0; i < chain->Count(); ++i)
        if (InsertEffect* insert = chain->At(i))
            if (insert->Identity() == identity_)
            {
                use(*insert);
                return true;
            }
    return false;
}

void EffectView::SetText(const char* control, const String& text, bool enabled)
{
    if (TextControl* found = FindTextControl(control))
    {
        found->SetText(text, 1);
        found->SetDisabled(enabled ? 0 : 1, 0, 1);
    }
}

void EffectView::Layout(uint32_t identity, bool force)
{
    if (!force && identity != 0 && identity == identity_)
        return;
    identity_ = identity;
    if (identity == 0)
        Tooltip::ForgetOwner(&panel_);
    String barName;
    barName.AssignAscii("vertscrollbar");
    if (auto* bar = dynamic_cast<Scroller*>(FindControl(barName)))
        bar->SetClient(nullptr);
    params_.reset();
    ServicesConnection* services = panel_.Services();
    InsertChain* chain = services ? services->GetInsertChain() : nullptr;
    String available;
    if (!chain || !chain->IsAttached())
        available.AssignAscii("No DSP available");
    SetText("dspavailable", available, true);
    if (!WithInsert([&](InsertEffect& insert) { ShowTexts(&insert); }))
    {
        identity_ = 0;
        ShowTexts(nullptr);
    }
    BuildParams();
}

void EffectView::ShowTexts(InsertEffect* insert)
{
    String origin;
    origin.AssignAscii("KIV Quorvel for VST");
    if (!insert)
    {
        String none;
        SkinText("IDS_NO_EFFECT", "No Effect", none);
        SetText("effectname", none, false);
        SetText("effectorigin", origin, false);
        for (const char* tag : {"drytag", "wettag"})
            if (TextControl* found = FindTextControl(tag))
                found->SetDisabled(1, 0, 1);
        for (NumericItem* item :
             {static_cast<NumericItem*>(wetDry_), static_cast<NumericItem*>(bypass_), static_cast<NumericItem*>(solo_)})
            if (item)
            {
                item->SetValue(0.0f, 1, 0, nullptr);
                item->SetDisabled(1, 1);
            }
        FillPresetCombo(nullptr);
        return;
    }
    String name;
    InsertDisplayName(*insert, name);
    SetText("effectname", name, true);
    SetText("effectorigin", origin, true);
    const bool wetDry = insert->HasWetDry();
    for (const char* tag : {"drytag", "wettag"})
        if (TextControl* found = FindTextControl(tag))
            found->SetDisabled(wetDry ? 0 : 1, 0, 1);
    if (wetDry_)
    {
        wetDry_->SetDisabled(wetDry ? 0 : 1, 1);
        if (!wetDry)
            wetDry_->SetValue(0.0f, 1, 0, nullptr);
    }
    // Showing an insert changes nothing of it: bypass and solo show the insert's own state.
    const bool canBypass = insert->CanBypass();
    for (FlagItem* item : {bypass_, solo_})
        if (item)
        {
            item->SetValue(0.0f, 1, 0, nullptr);
            item->SetDisabled(canBypass ? 0 : 1, 1);
        }
    RefreshBypassSolo(*insert);
    RefreshWetDry(*insert);
    FillPresetCombo(insert);
}

void EffectView::BuildParams()
{
    String region;
    region.AssignAscii("clientarea");
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    if (!GetRegionRect(region, x, y, width, height, id))
        return;
    params_ = std::make_unique<EditorParamList>(*this);
    if (!params_->Create(x, y, width, height))
    {
        params_.reset();
        return;
    }
    String barName;
    barName.AssignAscii("vertscrollbar");
    if (auto* bar = dynamic_cast<Scroller*>(FindControl(barName)))
        bar->SetClient(params_.get());
    RedrawArea(nullptr, 1);
}

void EffectView::RefreshBypassSolo(InsertEffect& insert)
{
    if (!insert.CanBypass())
        return;
    if (bypass_)
        bypass_->SetValue(insert.IsBypassed() ? 1.0f : 0.0f, 1, 0, nullptr);
    if (solo_)
        solo_->SetValue(insert.IsSoloed() ? 1.0f : 0.0f, 1, 0, nullptr);
}

void EffectView::RefreshWetDry(InsertEffect& insert)
{
    if (dragging_ || !wetDry_ || !insert.HasWetDry())
        return;
    wetDry_->SetValue(insert.GetWetDry(), 1, 0, nullptr);
}

void EffectView::FillPresetCombo(InsertEffect* insert)
{
    String comboName;
    comboName.AssignAscii("presets");
    auto* combo = dynamic_cast<ComboBox*>(FindControl(comboName));
    if (!combo || !preset_)
        return;
    combo->ClearItems();
    auto* effect = insert && insert->Kind() == kInsertDspEffect ? static_cast<DspEffectInsert*>(insert) : nullptr;
    const int32_t count = effect ? effect->PresetCount() : 0;
    String userDefinedText;
    SkinText("IDS_USER_DEFINED", "[user defined]", userDefinedText);
    const std::u16string userDefined(userDefinedText.Text());
    for (int32_t i = 0; i < count; ++i)
        if (const CorePresetRecord* record = effect->PresetAt(i))
        {
            String text;
            const size_t units = std::char_traits<char16_t>::length(record->name);
            const std::u16string name(record->name, std::min(units, std::size(record->name)));
            text.AssignWide(PresetComboText(i, record->number, name, record->isFactory == 0, userDefined).c_str());
            combo->AddItem(text, 1, i);
        }
    preset_->minimum = 0;
    preset_->maximum = count > 0 ? count - 1 : 0;
    const int32_t value = pendingPreset_ >= 0 ? pendingPreset_ : (effect ? effect->SelectedPreset() : 0);
    pendingPreset_ = -1;
    // The combo shows the item's value: setting it alone selects without a user's choice.
    preset_->Store(value, 1, 0, nullptr);
    combo->Invalidate(nullptr);
}

void EffectView::RefreshMeters(bool processing)
{
    if (params_)
        params_->RefreshMeters(processing);
}

int EffectView::OnDataItemNotify(Panel*, DataItem* item, int)
{
    if (!item)
        return 0;
    bool sent = false;
    WithInsert([&](InsertEffect& insert) {
        if (item == wetDry_)
            sent = insert.SetWetDry(wetDry_->value);
        else if (item == bypass_)
            sent = insert.SetBypass(bypass_->value == 1);
        else if (item == solo_)
            sent = insert.SetSolo(solo_->value == 1);
        else if (item == preset_ && insert.Kind() == kInsertDspEffect)
            sent = static_cast<DspEffectInsert&>(insert).SelectPreset(preset_->value);
    });
    return sent ? 1 : 0;
}

int EffectView::OnControlNotify(Panel*, Control* control, int)
{
    if (!control || control->GetName().CompareLiteral("editpreset") != 0)
        return 0;
    ShowPresetMenu();
    return 1;
}

bool EffectView::ShowPresetMenu()
{
    bool factory = false;
    bool offered = false;
    WithInsert([&](InsertEffect& insert) {
        if (!insert.IsConnected() || insert.Kind() != kInsertDspEffect)
            return;
        offered = true;
        const CorePresetRecord* record = static_cast<DspEffectInsert&>(insert).PresetAt(preset_ ? preset_->value : 0);
        factory = record && record->isFactory != 0;
    });
    Skin* skin = Skin::Current();
    PopupMenu* menu = offered && skin ? skin->CreatePopupMenu("CorePresetEditMenu") : nullptr;
    if (!menu)
        return false;
    // A factory preset is neither deleted, renamed nor stored over.
    for (int position : {2, 3, 4})
        if (position < menu->ItemCount())
            menu->SetItemDisabled(position, factory ? 1 : 0);
    POINT cursor{0, 0};
    ::GetCursorPos(&cursor);
    menu->Track(cursor.x, cursor.y, this, &panel_, 1);
    return true;
}

void EffectView::RunPresetCommand(int command)
{
    const int32_t selected = preset_ ? preset_->value : 0;
    switch (command)
    {
    case kCorePresetNew:
        NewCorePreset();
        break;
    case kCorePresetDelete:
        DeleteCorePreset(selected);
        break;
    case kCorePresetRename:
        RenameCorePreset(selected);
        break;
    case kCorePresetStore:
        WithInsert([&](InsertEffect& insert) {
            if (insert.Kind() == kInsertDspEffect)
                static_cast<DspEffectInsert&>(insert).ApplyPreset(selected);
        });
        break;
    default:
        break;
    }
}

// The dialogs and boxes run without the chain held: setChunk may want it meanwhile, and the
// insert is looked up again afterwards.
void EffectView::NewCorePreset()
{
    EditorNameDialog dialog(panel_);
    dialog.Setup("IDS_NEW_CORE_PRESET_TITLE", "IDS_NEW_CORE_PRESET_PROMPT", "IDS_NEW_CORE_PRESET_DEFAULT");
    String name;
    if (dialog.Run() != 1 || !dialog.GetName(name) || name.Length() == 0 || !panel_.CheckName(name))
        return;
    WithInsert([&](InsertEffect& insert) {
        if (insert.Kind() != kInsertDspEffect)
            return;
        auto& effect = static_cast<DspEffectInsert&>(insert);
        const int32_t count = effect.PresetCount();
        // The new preset is appended: the next fill selects it.
        if (effect.CreatePreset(name.Text()))
            pendingPreset_ = count;
    });
}

void EffectView::DeleteCorePreset(int32_t index)
{
    bool factory = true;
    if (!WithInsert([&](InsertEffect& insert) {
            const CorePresetRecord* record =
                insert.Kind() == kInsertDspEffect ? static_cast<DspEffectInsert&>(insert).PresetAt(index) : nullptr;
            factory = !record || record->isFactory != 0;
        }))
        return;
    if (factory)
    {
        panel_.Editor().ShowMessage("IDM_DELETE_FACTORY_CORE_PRESET_ALERT");
        return;
    }
    if (!IsConfirmed(panel_.Editor().ShowMessage("IDM_DELETE_PRESET_ALERT")))
        return;
    WithInsert([&](InsertEffect& insert) {
        if (insert.Kind() == kInsertDspEffect && static_cast<DspEffectInsert&>(insert).DeletePreset(index))
            pendingPreset_ = 0;
    });
}

void EffectView::RenameCorePreset(int32_t index)
{
    bool factory = true;
    String old;
    if (!WithInsert([&](InsertEffect& insert) {
            const CorePresetRecord* record =
                insert.Kind() == kInsertDspEffect ? static_cast<DspEffectInsert&>(insert).PresetAt(index) : nullptr;
            factory = !record || record->isFactory != 0;
            if (record)
            {
                const size_t units = std::char_traits<char16_t>::length(record->name);
                old.AssignWide(std::u16string(record->name, std::min(units, std::size(record->name))).c_str());
            }
        }))
        return;
    if (factory)
    {
        panel_.Editor().ShowMessage("IDM_RENAME_FACTORY_CORE_PRESET_ALERT");
        return;
    }
    EditorNameDialog dialog(panel_);
    dialog.Setup("IDS_RENAME_CORE_PRESET_TITLE", "IDS_RENAME_CORE_PRESET_PROMPT", old);
    String name;
    if (dialog.Run() != 1 || !dialog.GetName(name) || name.Length() == 0 || name.Compare(old) == 0 ||
        !panel_.CheckName(name))
        return;
    WithInsert([&](InsertEffect& insert) {
        if (insert.Kind() == kInsertDspEffect)
            static_cast<DspEffectInsert&>(insert).RenamePreset(index, name.Text());
    });
}

void EffectView::OnEditorMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam, intptr_t)
{
    if (identity_ == 0)
        return;
    const auto param = static_cast<int32_t>(lParam);
    switch (id)
    {
    case kMessageInsertBypass:
    case kMessageInsertSolo:
        if (wParam == identity_)
            WithInsert([&](InsertEffect& insert) { RefreshBypassSolo(insert); });
        break;
    case kMessageParamValue:
        if (wParam == identity_)
            WithInsert([&](InsertEffect& insert) {
                if (insert.HasWetDry() && param == insert.Info().wetDryIndex)
                    RefreshWetDry(insert);
                else if (params_)
                    params_->RefreshRow(params_->FindRow(param));
            });
        break;
    case kMessagePresetSelected:
        if (wParam == identity_)
        {
            WithInsert([&](InsertEffect& insert) {
                RefreshWetDry(insert);
                RefreshBypassSolo(insert);
            });
            if (params_)
                params_->RefreshAll();
        }
        break;
    case kMessageCorePresetsChanged: {
        uint32_t named = 0;
        if (lParam)
            std::memcpy(&named, reinterpret_cast<const void*>(lParam), sizeof(named));
        if (named == identity_)
            WithInsert([&](InsertEffect& insert) { FillPresetCombo(&insert); });
        break;
    }
    default:
        OnParamEvent(id, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        break;
    }
}

void EffectView::OnParamEvent(uint32_t id, int32_t index, int32_t notifyId)
{
    if (!params_)
        return;
    int32_t notify = 0;
    int32_t kind = 0;
    WithInsert([&](InsertEffect& insert) {
        notify = insert.GetNotifyId();
        kind = insert.GetParamKind(index);
    });
    if (notify != notifyId)
        return;
    const int row = params_->FindRow(index);
    switch (id)
    {
    case kMessageEvent1:
        params_->RefreshRow(row);
        break;
    case kMessageEvent2:
        if (row >= 0)
            params_->ReloadRow(row);
        else if (kind < kNoRowKind)
            params_->Rebuild();
        break;
    case kMessageEvent3:
        if (row >= 0 && kind >= kNoRowKind)
            params_->Rebuild();
        break;
    case kMessageEvent4:
        if (row >= 0)
        {
            params_->ReloadRow(row);
            params_->RenameRow(row);
        }
        break;
    default:
        break;
    }
}

void EffectView::OnMouseDown(WPARAM flags, int x, int y)
{
    dragging_ = true;
    Panel::OnMouseDown(flags, x, y);
}

void EffectView::OnMouseUp(WPARAM flags, int x, int y)
{
    dragging_ = false;
    Panel::OnMouseUp(flags, x, y);
}
