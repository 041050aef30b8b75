#include "plugins/quorvel/EditorMainPanel.h"

#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/Tooltip.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/platform/FrameworkModule.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/TimerImpl.h"
#include "framework/skin/Skin.h"
#include "framework/windows/AppBase.h"
#include "framework/windows/DragDrop.h"
#include "plugins/quorvel/EditorDialogs.h"
#include "plugins/quorvel/EditorInsertSlot.h"
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/EditorPresetInspector.h"
#include "plugins/quorvel/EditorRules.h"
#include "plugins/quorvel/EffectView.h"
#include "plugins/quorvel/FxPalette.h"
#include "plugins/quorvel/InsertChain.h"
#include "plugins/quorvel/KivQuorvelEditor.h"
#include "plugins/quorvel/Preferences.h"
#include "plugins/quorvel/ServicesConnection.h"

#include <algorithm>
#include <string>

namespace
{
constexpr const char* kLampNames[EditorMeters::kLamps] = {"sendleft", "sendright", "returnleft", "returnright"};
constexpr uint32_t kBackground = 0x646464;

// The group bit of a message id (0x1100-0x1400), 0 for the others.
uint32_t GroupOf(uint32_t id)
{
    switch (id & 0xFF00)
    {
    case 0x1100:
        return EditorMainPanel::kGroupLibrary;
    case 0x1200:
        return EditorMainPanel::kGroupChain;
    case 0x1300:
        return EditorMainPanel::kGroupInsert;
    case 0x1400:
        return EditorMainPanel::kGroupLink;
    default:
        return 0;
    }
}

String Named(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

int GroupIndex(uint32_t group)
{
    int index = 0;
    while (group > 1)
    {
        group >>= 1;
        ++index;
    }
    return index;
}
} // namespace

EditorMainPanel::EditorMainPanel(KivQuorvelEditor& editor, ServicesConnection* services, const String& help)
    : editor_(editor), services_(services)
{
    help_.Assign(help);
    Tooltip::TooltipsEnabled = Preferences::ReadTooltipEnabled() ? 1 : 0;
}

EditorMainPanel::~EditorMainPanel()
{
    Destroy();
}

bool EditorMainPanel::Create(Skin& skin, Window* parent, int x, int y)
{
    if (!Setup(this, KivQuorvelEditor::kWidth, KivQuorvelEditor::kHeight, kBackground))
        return false;
    for (int32_t lamp = 0; lamp < EditorMeters::kLamps; ++lamp)
        lamps_[lamp] = AddFlagItem(kLampNames[lamp], 0, 0, 0);
    if (!PanelBuilder(skin).BuildPanel("vstPluginPanel", *this, 0, nullptr))
        return false;
    if (Panel::Create(parent, x, y, 0) == 0)
        return false;
    InsertChain* chain = services_ ? services_->GetInsertChain() : nullptr;
    if (auto* bar = dynamic_cast<Scroller*>(FindControl(Named("insertsScrollbar"))); bar && chain)
    {
        slots_ = std::make_unique<EditorInsertSlot>(*this, bar, *chain);
        slots_->Refresh();
    }
    return true;
}

void EditorMainPanel::OnCreate()
{
    Panel::OnCreate();
    EffectCatalog* catalog = services_ ? services_->GetCatalog() : nullptr;
    String presets;
    presets.AssignAscii("presets");
    auto* host = dynamic_cast<ViewHostControl*>(FindControl(presets));
    palette_ = host ? dynamic_cast<FxPalette*>(host->GetView()) : nullptr;
    if (palette_)
        palette_->SetCatalog(this, catalog);
    inspector_ = std::make_unique<EditorPresetInspector>(catalog);
    inspector_->Create(*this);
    if (palette_ && palette_->ChildCount(nullptr) > 0)
        palette_->SelectItem(palette_->ChildAt(nullptr, 0), true, true);
    effectView_ = std::make_unique<EffectView>(*this);
    if (!effectView_->Create())
        effectView_.reset();
}

void EditorMainPanel::ShowInsert(uint32_t identity, bool force)
{
    if (effectView_)
        effectView_->Layout(identity, force);
}

void EditorMainPanel::OnDestroy()
{
    // Only this editor's hint, menus and dialogs: another editor of the host keeps its own.
    Tooltip::ForgetOwner(this);
    EndModalRuns();
    // The palette goes with its control, after this panel's lists: it lets go of them now.
    if (palette_)
        palette_->Detach();
    palette_ = nullptr;
    inspector_.reset();
    slots_.reset();
    effectView_.reset();
    Panel::OnDestroy();
}

void EditorMainPanel::Disconnect()
{
    services_ = nullptr;
    if (palette_)
        palette_->SetCatalog(this, nullptr);
    if (inspector_)
        inspector_->Disconnect();
    // The slots lean on the link's chain.
    slots_.reset();
    if (effectView_)
        effectView_->Layout(0, true);
}

void EditorMainPanel::EndModalRuns()
{
    if (palette_)
        PopupMenu::CloseMenusOf(palette_);
    // This editor's dialogs and boxes lie above those open when its first one ran; the
    // topmost ends first.
    const int base = editor_.ModalBase();
    if (base < 0)
        return;
    for (int i = Dialog::ModalCount() - 1; i >= base; --i)
        if (Dialog* dialog = Dialog::ModalAt(i))
            dialog->End(0);
}

bool EditorMainPanel::RegisterListener(EditorMessageListener* listener, uint32_t groups, intptr_t cookie)
{
    bool any = false;
    for (int group = 0; group < 4; ++group)
        if (groups & (1u << group))
        {
            listeners_[group].push_back(Registration{listener, cookie});
            any = true;
        }
    return any;
}

bool EditorMainPanel::UnregisterListener(EditorMessageListener* listener)
{
    bool any = false;
    for (std::vector<Registration>& list : listeners_)
    {
        auto found = std::find_if(list.begin(), list.end(),
                                  [listener](const Registration& r) { return r.listener == listener; });
        if (found != list.end())
        {
            list.erase(found);
            any = true;
        }
    }
    return any;
}

void EditorMainPanel::Dispatch(uint32_t group, uint32_t id, uintptr_t wParam, uintptr_t lParam)
{
    // A listener may unregister (or a message box may let others in) meanwhile: walk a copy.
    const std::vector<Registration> list = listeners_[GroupIndex(group)];
    for (const Registration& entry : list)
    {
        const std::vector<Registration>& now = listeners_[GroupIndex(group)];
        const bool still = std::any_of(now.begin(), now.end(),
                                       [&entry](const Registration& r) { return r.listener == entry.listener; });
        if (still)
            entry.listener->OnEditorMessage(id, wParam, lParam, entry.cookie);
    }
}

void EditorMainPanel::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const uint32_t id = message;
    const auto w = static_cast<uintptr_t>(wParam);
    const auto l = static_cast<uintptr_t>(lParam);
    if (const uint32_t group = GroupOf(id))
    {
        Dispatch(group, id, w, l);
        FreeUndeliveredMessage(id, w, l);
        return;
    }
    switch (id)
    {
    case kMessageMeterLamps:
        meters_.lampsQueued.store(false);
        ShowLamps();
        break;
    case kMessageMeterTick:
        meters_.tickQueued.store(false);
        if (services_)
            if (InsertChain* chain = services_->GetInsertChain())
                chain->PollReadOnlyParams();
        if (slots_)
            slots_->RefreshMeters(wParam != 0);
        if (effectView_)
            effectView_->RefreshMeters(wParam != 0);
        // The editor's timers run from this tick: a pass of the due ones.
        TimerImpl::FireDue();
        break;
    case kMessageEvent1:
    case kMessageEvent2:
    case kMessageEvent3:
    case kMessageEvent4:
        OnParamModelMessage(id, w, l);
        break;
    default:
        // Payload-free ids need nothing freed.
        FreeUndeliveredMessage(id, w, l);
        break;
    }
}

void EditorMainPanel::OnParamModelMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam)
{
    InsertChain* chain = services_ ? services_->GetInsertChain() : nullptr;
    if (!chain)
        return;
    const auto index = static_cast<int32_t>(wParam);
    bool found = false;
    {
        InsertChain::Hold hold(*chain);
        for (int32_t i = 0; i < chain->Count() && !found; ++i)
        {
            InsertEffect* insert = chain->At(i);
            if (!insert || insert->GetNotifyId() != static_cast<int32_t>(lParam))
                continue;
            found = true;
            switch (id)
            {
            case kMessageEvent1:
                insert->RefreshParamValue(index);
                break;
            case kMessageEvent2:
                insert->RefreshParams();
                insert->RefreshChoiceList(index);
                insert->ReadParamKinds();
                break;
            case kMessageEvent3:
                insert->RefreshParams();
                insert->RefreshParamValue(index);
                insert->ReadParamKinds();
                break;
            default:
                insert->RefreshParams();
                break;
            }
        }
        // The host's map names and sets these parameters: it follows their new set.
        if (found && id != kMessageEvent1)
            chain->RebuildParamMapSoon();
    }
    if (found && effectView_)
        effectView_->OnEditorMessage(id, wParam, lParam, 0);
}

void EditorMainPanel::ShowLamps()
{
    for (int32_t lamp = 0; lamp < EditorMeters::kLamps; ++lamp)
        if (FlagItem* item = lamps_[lamp])
        {
            const float value = meters_.lit[lamp].load() ? 1.0f : 0.0f;
            if (item->value != value)
                item->SetValue(value, 1, 1, nullptr);
        }
}

void EditorMainPanel::ShowItem(TreeItem* item)
{
    if (inspector_)
        inspector_->SetItem(item);
}

void EditorMainPanel::ClearItem(TreeItem* item)
{
    if (inspector_)
        inspector_->ClearItem(item);
}

int EditorMainPanel::OnKeyDown(WPARAM key, LPARAM)
{
    // Delete removes the selected inserts; the host keeps every other key.
    if (key != VK_DELETE)
        return 0;
    if (slots_)
        slots_->DeleteSelected();
    return 1;
}

bool EditorMainPanel::CheckName(const String& name)
{
    switch (CheckLibraryName(name.Text(), name.Length()))
    {
    case LibraryNameCheck::kAccepted:
        return true;
    case LibraryNameCheck::kTooLong:
        editor_.ShowMessage("IDM_MAX_CHAR_EXCEEDED");
        return false;
    case LibraryNameCheck::kInvalid:
        break;
    }
    editor_.ShowMessage("IDM_DUPLICATE_INVALID_NAME_CREATEPRESET");
    return false;
}

int EditorMainPanel::SlotAt(int x, int y) const
{
    if (!slots_)
        return -1;
    for (int slot = 0; slot < EditorInsertSlot::kSlots; ++slot)
        if (IsPointInRegion(x, y, EditorInsertSlot::SlotRegion(slot)))
            return slot;
    return -1;
}

int EditorMainPanel::OutsideInserts(int y) const
{
    int x0 = 0, y0 = 0, width = 0, height = 0, id = 0;
    if (!GetRegionRect(Named("inserts"), x0, y0, width, height, id))
        return 0;
    return y < y0 ? -1 : y >= y0 + height ? 1 : 0;
}

int EditorMainPanel::RowBelow(int y) const
{
    for (int slot = 0; slot < EditorInsertSlot::kSlots; ++slot)
    {
        int x0 = 0, y0 = 0, width = 0, height = 0, id = 0;
        if (GetRegionRect(EditorInsertSlot::SlotRegion(slot), x0, y0, width, height, id) && y < y0 + height)
            return slot;
    }
    return -1;
}

void EditorMainPanel::OnMouseDown(WPARAM flags, int x, int y)
{
    const int slot = SlotAt(x, y);
    if (slot >= 0)
    {
        const auto keys = static_cast<int32_t>(flags & (MK_SHIFT | MK_CONTROL));
        slots_->ClickSlot(slot, keys);
        // Shift and Ctrl select; a plain press on an insert may drag it.
        if (keys == 0 && slots_->HasInsertAt(slot))
        {
            auto* cursor = new ::Cursor();
            if (!cursor->Load(FrameworkModule(), kCursorDrop))
            {
                delete cursor;
                cursor = nullptr;
            }
            DragDrop::Begin(cursor, this, kDragInsert, slots_->FirstVisible() + slot);
        }
    }
    Panel::OnMouseDown(flags, x, y);
}

void EditorMainPanel::OnMouseUp(WPARAM flags, int x, int y)
{
    if (DragDrop::IsSource(this))
        DragDrop::End();
    Panel::OnMouseUp(flags, x, y);
}

void EditorMainPanel::OnMouseMove(WPARAM flags, int x, int y)
{
    if (DragDrop::IsSource(this))
        DragDrop::OnMouseMove();
    Panel::OnMouseMove(flags, x, y);
}

void EditorMainPanel::OnRightButtonUp(WPARAM flags, int x, int y)
{
    const int slot = SlotAt(x, y);
    if (slot < 0)
        return;
    if ((flags & (MK_SHIFT | MK_CONTROL)) == 0)
        slots_->ClickSlot(slot, -1);
    slots_->ShowContextMenu(slot);
}

void EditorMainPanel::OnMouseWheel(WPARAM flags, int, int)
{
    if (!slots_)
        return;
    const auto delta = static_cast<int16_t>(HIWORD(flags));
    if (delta != 0)
        slots_->ScrollBy(delta > 0 ? -1 : 1);
}

int EditorMainPanel::OnDragOver(int x, int y, intptr_t, intptr_t value2)
{
    if (!slots_)
        return 0;
    const int slot = SlotAt(x, y);
    if (DragDrop::IsSource(this))
    {
        if (slot >= 0)
            return slots_->HasInsertAt(slot) && slots_->FirstVisible() + slot != value2 ? kCursorDrop : kCursorNoDrop;
        if (const int outside = OutsideInserts(y))
            slots_->ScrollBy(outside);
        return kCursorNoDrop;
    }
    if (palette_ && DragDrop::IsSource(palette_))
    {
        if (slot >= 0)
            return kCursorDrop;
        if (const int outside = OutsideInserts(y))
            slots_->ScrollBy(outside);
        return kCursorScrollDrop;
    }
    return 0;
}

int EditorMainPanel::OnDrop(int x, int y, intptr_t value1, intptr_t value2)
{
    if (!slots_)
        return 0;
    const int slot = SlotAt(x, y);
    // Beside the slots, within the insert area: the row at that height.
    const int target = slot >= 0 ? slot : IsPointInRegion(x, y, Named("inserts")) ? RowBelow(y) : -1;
    if (palette_ && DragDrop::IsSource(palette_) && value1 == FxPalette::kDragPreset)
    {
        const std::shared_ptr<PresetEntry> entry = palette_->EntryOf(static_cast<uint32_t>(value2));
        if (!entry || target < 0)
            return 0;
        if (slot >= 0 && slots_->HasInsertAt(slot))
            return slots_->ReplaceAt(*entry, slot) ? 1 : 0;
        return slots_->AddAt(*entry, target) ? 1 : 0;
    }
    if (DragDrop::IsSource(this) && value1 == kDragInsert && target >= 0)
    {
        // Onto an insert it goes before that insert (onto the one right below: unchanged);
        // onto an empty slot, to the end.
        const auto from = static_cast<int32_t>(value2);
        const int32_t to = slots_->HasInsertAt(target) ? slots_->FirstVisible() + target : slots_->Length();
        return slots_->Move(from, to) ? 1 : 0;
    }
    return 0;
}

int EditorMainPanel::OnControlNotify(Panel*, Control* control, int)
{
    if (!control)
        return 0;
    const String& name = control->GetName();
    if (name.CompareLiteral("newcategory") == 0)
    {
        if (palette_)
            palette_->NewCategory(nullptr);
        return 1;
    }
    if (name.CompareLiteral("globalpreferences") == 0)
    {
        RunPreferences();
        return 1;
    }
    if (name.CompareLiteral("help") == 0)
    {
        if (help_.Length() > 0)
            AppBase::OpenWithShell(help_);
        return 1;
    }
    return 0;
}

void EditorMainPanel::RunPreferences()
{
    EditorPreferencesDialog dialog(*this);
    if (dialog.Run() == 1)
        dialog.Apply();
}
