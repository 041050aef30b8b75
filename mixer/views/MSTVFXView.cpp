#include "mixer/views/MSTVFXView.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/LabelControl.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/Tooltip.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/files/FileSystem.h"
#include "mixer/dialogs/NameDialog.h"
#include "framework/skin/Skin.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/PortNames.h"
#include "mixer/views/CorePresetList.h"
#include "mixer/views/MSTVFXViewItem.h"
#include "mixer/views/MSTVFXViewList.h"
#include "mixer/views/MainSectionView.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/dialogs/SkinStringTable.h"
#include "framework/controls/ValueSetters.h"

#include <algorithm>
#include <string>

namespace
{
// Where the view sits in the main section's TV border when the skin says nothing.
constexpr int kDefaultX = 24;
constexpr int kDefaultY = 52;

IVarnInsert* currentInsert = nullptr; // the engine's; user-interface thread

String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

// The skin's text of the id, else the fallback.
String SkinText(Skin& skin, const char* id, const char* fallback)
{
    String text;
    if (const String* found = skin.FindStringById(id))
        text.Assign(*found);
    else
        text.AssignAscii(fallback);
    return text;
}

} // namespace

IVarnInsert* MSTVFXView::GetCurrentInsert()
{
    return currentInsert;
}

void MSTVFXView::SetCurrentInsert(IVarnInsert* insert)
{
    currentInsert = insert;
}

MSTVFXView::MSTVFXView() = default;

MSTVFXView::~MSTVFXView()
{
    // An open menu would report to a deleted view.
    PopupMenu::CloseMenusOf(this);
    list_.reset();
}

int MSTVFXView::Create(MainSectionView& owner, MainWindowLink& link, IVarnInsert* insert)
{
    owner_ = &owner;
    link_ = &link;
    initial_ = insert ? insert : currentInsert;
    wetDry_ = AddRealItem("wetdrymix", 0.0f, 0.0f, 1.0f, 1, 0);
    bypass_ = AddFlagItem("bypass", 0, 0, 0);
    solo_ = AddFlagItem("solo", 0, 0, 0);
    curPreset_ = AddIntItem("curpreset", 0, 0, 0, 0, 0);
    Setup(this, 0, 0, 0x646464);
    Skin& skin = link.GetSkin();
    if (!PanelBuilder(skin).BuildPanel("MSTVFXView", *this, 1, nullptr))
        return 0;
    int x = kDefaultX, y = kDefaultY;
    skin.GetMiscParamInt("mainSectionTVXPos", x);
    skin.GetMiscParamInt("mainSectionTVYPos", y);
    return Panel::Create(&owner, x, y, 0);
}

void MSTVFXView::OnCreate()
{
    Panel::OnCreate();
    // The insert remembered from an earlier view may have gone since.
    SetInsert(IsInItsChain(initial_) ? initial_ : nullptr, 1);
}

int MSTVFXView::IsInItsChain(IVarnInsert* insert)
{
    IVarnInsertChain* chain = insert ? insert->GetChain() : nullptr;
    const int count = chain ? chain->GetCount() : 0;
    for (int k = 0; k < count; ++k)
        if (chain->GetInsert(k) == insert)
            return 1;
    return 0;
}

IVarnFxLibrary* MSTVFXView::Library() const
{
    IVarnServices* services = link_ ? link_->GetServices() : nullptr;
    return services ? services->GetFxLibrary() : nullptr;
}

void MSTVFXView::NotifyEngine()
{
    IVarnServices* services = link_ ? link_->GetServices() : nullptr;
    if (IVarnMixer* mixer = services ? services->GetMixer() : nullptr)
        mixer->SetModified(1);
}

void MSTVFXView::SetText(const char* control, const String& text, int enabled)
{
    if (auto* label = dynamic_cast<LabelControl*>(FindControl(Ascii(control))))
    {
        label->SetText(text, 1);
        label->SetDisabled(enabled ? 0 : 1, 0, 1);
    }
}

void MSTVFXView::DisableItem(DataItem* item, int flag)
{
    // The controls show it: each bound control takes the flag along with the item.
    item->SetDisabled(flag, 1);
    for (int k = 0; k < ControlCount(); ++k)
        if (Control* control = ControlAtIndex(k))
            if (control->GetItem() == item)
                control->SetDisabled(flag, 0, 1);
}

void MSTVFXView::EnableControl(const char* control, int enabled)
{
    if (Control* found = FindControl(Ascii(control)))
        found->SetDisabled(enabled ? 0 : 1, 0, 1);
}

void MSTVFXView::SetInsert(IVarnInsert* insert, int force)
{
    if (!force && insert && insert == insert_)
        return;
    insert_ = insert;
    currentInsert = insert;
    IVarnEffect* effect = GetEffect();
    shownEffect_ = effect;
    insertKey_ = insert ? insert->GetEventKey() : 0;
    effectKey_ = effect ? effect->GetEventKey() : 0;
    if (!insert)
        Tooltip::Destroy();
    if (auto* bar = dynamic_cast<Scrollbar*>(FindControl(Ascii("vertscrollbar"))))
        bar->SetPosition(0, false);
    list_.reset();

    Skin& skin = link_->GetSkin();
    auto* presets = dynamic_cast<ComboBox*>(FindControl(Ascii("presets")));
    EnableControl("editpreset", effect ? 1 : 0);
    if (!insert)
    {
        if (presets)
            presets->ClearItems();
        SetText("effectname", SkinText(skin, "IDS_NO_EFFECT", "No Effect"), 0);
        SetText("effectorigin", String(), 0);
        EnableControl("drytag", 0);
        EnableControl("wettag", 0);
        // Shown, not edited: the items take the values with redraw and tell nobody.
        SetItemRealValue(wetDry_, 0.0f, 1, 0, nullptr);
        bypass_->value = 0;
        solo_->value = 0;
        DisableItem(wetDry_, 1);
        DisableItem(bypass_, 1);
        DisableItem(solo_, 1);
        MakeList();
        return;
    }

    if (effect)
    {
        String name;
        name.AssignWide(effect->GetName());
        SetText("effectname", name, 1);
    }
    else
    {
        const int kind = insert->GetKind();
        const char* id = kind == 1 ? "IDS_SEND" : kind == 2 ? "IDS_SEND_RETURN" : "IDS_ASIO_SEND_RETURN";
        const char* fallback = kind == 1 ? "Send" : kind == 2 ? "Send/Return" : "ASIO Send/Return";
        SetText("effectname", SkinText(skin, id, fallback), 1);
        if (presets)
            presets->ClearItems();
    }
    SkinStringTable strings(skin);
    IVarnServices* services = link_->GetServices();
    PortNames names(services ? services->GetMixer() : nullptr, strings);
    String origin;
    names.GetMainMixName(insert->GetChain(), &origin, 0, 0);
    SetText("effectorigin", origin, 1);

    const int wet = insert->HasWetDry();
    EnableControl("drytag", wet);
    EnableControl("wettag", wet);
    DisableItem(wetDry_, wet ? 0 : 1);
    SetItemRealValue(wetDry_, wet ? insert->GetWetDry() : 0.0f, 1, 0, nullptr);

    const int hasBypass = insert->HasEffect();
    bypass_->value = hasBypass ? insert->IsBypassed() : 0;
    solo_->value = hasBypass ? insert->IsSoloed() : 0;
    DisableItem(bypass_, hasBypass ? 0 : 1);
    DisableItem(solo_, hasBypass ? 0 : 1);
    bypass_->RefreshControls(nullptr);
    solo_->RefreshControls(nullptr);

    if (effect)
    {
        Cursor::SetShape(Cursor::Wait);
        FillPresets(effect);
        Cursor::SetShape(Cursor::Arrow);
    }
    MakeList();
}

void MSTVFXView::MakeList()
{
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    if (GetRegionRect(Ascii("clientarea"), x, y, width, height, id))
    {
        list_ = std::make_unique<MSTVFXViewList>(*this, *link_);
        if (!list_->Create(x, y, width, height))
            list_.reset();
    }
    if (list_)
    {
        auto* bar = dynamic_cast<Scrollbar*>(FindControl(Ascii("vertscrollbar")));
        if (bar)
            bar->SetClient(list_.get());
        list_->AttachScrollbar(bar);
        list_->Populate();
        list_->Layout(1);
    }
    RedrawArea(nullptr, 1);
}

void MSTVFXView::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    Panel::OnMouseDown(flags, x, y);
}

void MSTVFXView::OnMouseWheel(WPARAM flags, int x, int y)
{
    if (list_)
        list_->OnMouseWheel(flags, x, y);
}

void MSTVFXView::FillPresets(IVarnEffect* effect, int keepScroll)
{
    auto* presets = dynamic_cast<ComboBox*>(FindControl(Ascii("presets")));
    IVarnFxLibrary* library = Library();
    if (!presets || !library)
        return;
    const int shown = keepScroll ? presets->GetSelection() : -1;
    CorePresetList list;
    list.Read(*library, *effect, SkinText(link_->GetSkin(), "IDS_USER_DEFINED", "[user defined]"));
    presets->ClearItems();
    for (size_t k = 0; k < list.texts.size(); ++k)
        presets->AddItem(list.texts[k], 1, static_cast<int>(k));
    curPreset_->maximum = list.texts.empty() ? 0 : static_cast<int>(list.texts.size()) - 1;
    // Showing the list selects nothing in the engine: redraw, no notification.
    SetItemIntValue(curPreset_, list.selected, 1, 0, nullptr);
    if (keepScroll && shown >= 0)
        SetItemIntValue(curPreset_, std::min(shown, curPreset_->maximum), 1, 0, nullptr);
}

int MSTVFXView::SelectedRecord(VarnCorePresetRecord& record, int& index)
{
    IVarnEffect* effect = GetEffect();
    IVarnFxLibrary* library = Library();
    VarnEffectId id{};
    if (!effect || !library || !effect->GetCoreEffectId(&id))
        return 0;
    index = curPreset_->value;
    if (index < 0 || index >= library->GetCorePresetCount(&id))
        return 0;
    record = VarnCorePresetRecord{};
    return library->GetCorePreset(&id, index, &record) > 0;
}

int MSTVFXView::StillThere(const VarnCorePresetRecord& record, int index)
{
    IVarnEffect* effect = GetEffect();
    IVarnFxLibrary* library = Library();
    VarnEffectId id{};
    VarnCorePresetRecord now{};
    if (!effect || !library || !effect->GetCoreEffectId(&id) || library->GetCorePreset(&id, index, &now) <= 0)
        return 0;
    return now.number == record.number && now.isFactory == record.isFactory &&
           std::char_traits<char16_t>::compare(now.name, record.name, 128) == 0;
}

int MSTVFXView::CheckName(const String& name, int maximum)
{
    const char* problem = nullptr;
    if (name.Length() > maximum)
        problem = "IDM_MAX_CHAR_EXCEEDED";
    else if (!FileSystem::IsValidName(StringRef(name)))
        problem = "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET";
    if (!problem)
        return 1;
    SkinDialogs(link_->GetSkin()).ShowDefinedMessageBox(problem, nullptr, nullptr);
    return 0;
}

void MSTVFXView::ShowPresetEditMenu()
{
    VarnCorePresetRecord record{};
    int index = 0;
    if (!SelectedRecord(record, index))
        return;
    PopupMenu* menu = link_->GetSkin().CreatePopupMenu("CorePresetEditMenu");
    if (!menu)
        return;
    if (record.isFactory)
        for (int command : {kDeletePreset, kRenamePreset, kStorePreset})
            menu->SetItemDisabled(menu->FindItem(command), 1);
    int x = 0, y = 0;
    Cursor::GetPosition(x, y);
    if (!menu->Track(x, y, this, this, 1))
        delete menu;
}

void MSTVFXView::OnMenuCommand(int command)
{
    VarnCorePresetRecord record{};
    int index = 0;
    if (!SelectedRecord(record, index))
        return;
    switch (command)
    {
    case kNewPreset:
        NewPreset();
        break;
    case kDeletePreset:
        DeletePreset(record, index);
        break;
    case kRenamePreset:
        RenamePreset(record, index);
        break;
    case kStorePreset:
        if (!record.isFactory)
            Library()->StoreCorePreset(GetEffect(), index, 1);
        break;
    default:
        break;
    }
}

void MSTVFXView::NewPreset()
{
    NameDialog dialog(link_->GetSkin());
    dialog.SetTextsFromIds("IDS_NEW_CORE_PRESET_TITLE", "IDS_NEW_CORE_PRESET_PROMPT", "IDS_NEW_CORE_PRESET_DEFAULT");
    if (dialog.Run(nullptr) != 1 || !dialog.GetName() || !dialog.GetName()->Length())
        return;
    String name;
    name.Assign(*dialog.GetName());
    // The dialog's loop may have shown another insert: the view asks for its own again.
    IVarnEffect* effect = GetEffect();
    if (effect && CheckName(name, kMaxNewNameLength))
        Library()->NewCorePreset(name.Text(), effect, 1, 0);
}

void MSTVFXView::DeletePreset(const VarnCorePresetRecord& record, int index)
{
    SkinDialogs dialogs(link_->GetSkin());
    if (record.isFactory)
    {
        dialogs.ShowDefinedMessageBox("IDM_DELETE_FACTORY_CORE_PRESET_ALERT", nullptr, nullptr);
        return;
    }
    const int answer = dialogs.ShowDefinedMessageBox("IDM_DELETE_PRESET_ALERT", nullptr, nullptr);
    if ((answer == 1 || answer == 3) && StillThere(record, index))
        Library()->DeleteCorePreset(&record, index, 1);
}

void MSTVFXView::RenamePreset(const VarnCorePresetRecord& record, int index)
{
    if (record.isFactory)
    {
        SkinDialogs(link_->GetSkin()).ShowDefinedMessageBox("IDM_RENAME_FACTORY_CORE_PRESET_ALERT", nullptr, nullptr);
        return;
    }
    String old;
    old.AssignWide(record.name);
    NameDialog dialog(link_->GetSkin());
    dialog.SetTextsFromIds("IDS_RENAME_CORE_PRESET_TITLE", "IDS_RENAME_CORE_PRESET_PROMPT", old);
    if (dialog.Run(nullptr) != 1 || !dialog.GetName())
        return;
    String name;
    name.Assign(*dialog.GetName());
    if (name.Compare(old.Text()) == 0 || !CheckName(name, kMaxRenameLength) || !StillThere(record, index))
        return;
    Library()->RenameCorePreset(&record, index, name.Text(), 1);
}

int MSTVFXView::OnControlNotify(Panel*, Control* control, int)
{
    if (control && control->GetName().CompareLiteral("editpreset") == 0 && GetEffect())
        ShowPresetEditMenu();
    return 0;
}

int MSTVFXView::OnDataItemNotify(Panel*, DataItem* item, int)
{
    if (!insert_)
        return 0;
    if (item == wetDry_)
        insert_->SetWetDry(wetDry_->value, 0);
    else if (item == bypass_)
        insert_->SetBypass(bypass_->value, 1);
    else if (item == solo_)
        insert_->SetSolo(solo_->value, 1);
    else if (item == curPreset_)
    {
        IVarnEffect* effect = GetEffect();
        if (!effect)
            return 0;
        effect->SelectPreset(curPreset_->value, 1);
    }
    else
        return 0;
    NotifyEngine();
    return 1;
}

void MSTVFXView::OnInsertEvent(int id, VarnEventArg argument)
{
    // The inserts of a chain changed: the shown insert may have left its chain or taken
    // another effect without the insert slots telling this view.
    if (EngineEvent::kInsert.Holds(id))
    {
        if (insert_ && !IsInItsChain(insert_))
            SetInsert(nullptr, 1);
        else if (insert_ && insert_->GetEffect() != shownEffect_)
            SetInsert(insert_, 1);
        return;
    }
    if (!insert_ || argument != insertKey_)
        return;
    const int first = EngineEvent::kInsertSlot.first;
    if (id == first && insert_->HasEffect())
    {
        bypass_->value = insert_->IsBypassed();
        bypass_->RefreshControls(nullptr);
    }
    else if (id == first + 1 && insert_->HasEffect())
    {
        solo_->value = insert_->IsSoloed();
        solo_->RefreshControls(nullptr);
    }
    else if (id == first + 2 && insert_->HasWetDry() && !Control::PressedControl())
        SetItemRealValue(wetDry_, insert_->GetWetDry(), 1, 0, nullptr);
}

void MSTVFXView::OnPresetListEvent(int id, VarnEventArg)
{
    IVarnEffect* effect = GetEffect();
    IVarnFxLibrary* library = Library();
    VarnEffectId effectId{};
    if (!effect || !library || !effect->GetCoreEffectId(&effectId))
        return;
    const int count = library->GetCorePresetCount(&effectId);
    const int old = curPreset_->maximum + 1;
    const int previous = curPreset_->value;
    const int first = EngineEvent::kPresetList.first;
    // A rename or a store keeps the count, so only the other changes stop at an equal one.
    if (id == first + 2)
    {
        FillPresets(effect, 1);
        return;
    }
    if (count == old || (id != first && id != first + 1 && id != first + 5 && id != first + 6))
        return;
    FillPresets(effect);
    // The list is shown again; the engine's current preset stays what it is.
    if ((id == first || id == first + 5) && count > old)
        SetItemIntValue(curPreset_, id == first ? count - 1 : previous, 1, 0, nullptr);
    else if ((id == first + 1 || id == first + 6) && count < old)
        SetItemIntValue(curPreset_, std::min(previous, count - 1), 1, 0, nullptr);
}

void MSTVFXView::OnEffectEvent(int id, VarnEventArg argument)
{
    IVarnEffect* effect = GetEffect();
    if (!effect || argument != effectKey_)
        return;
    if (id == EngineEvent::kEffectEvent)
    {
        // Every row, whichever parameters are shown: a preset select changes them all.
        for (int k = 0; list_ && k < list_->RowCount(); ++k)
        {
            NotifyEngine();
            list_->RowAt(k)->UpdateValue();
        }
        if (insert_->HasWetDry())
            SetItemRealValue(wetDry_, insert_->GetWetDry(), 1, 0, nullptr);
        return;
    }
    if (!list_)
        return;
    int index = -1;
    for (const IdRange& range : {EngineEvent::kEffectParameter, EngineEvent::kEffectBankA, EngineEvent::kEffectBankB,
                                 EngineEvent::kEffectBankC})
        if (range.Holds(id))
            index = id - range.first;
    if (index < 0)
        return;
    NotifyEngine();
    MSTVFXViewItem* row = list_->RowOf(index);
    if (EngineEvent::kEffectParameter.Holds(id))
    {
        if (row)
            row->UpdateValue();
    }
    else if (EngineEvent::kEffectBankA.Holds(id))
    {
        if (row)
            row->UpdateValue();
        else if (effect->GetParameterState(index) != 3)
            list_->Rebuild();
    }
    else if (EngineEvent::kEffectBankB.Holds(id))
    {
        if (row && effect->GetParameterState(index) == 3)
            list_->Rebuild();
    }
    else if (row)
        row->UpdateName();
}
