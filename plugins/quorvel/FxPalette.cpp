#include "plugins/quorvel/FxPalette.h"

#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/ViewPainting.h"
#include "framework/platform/FrameworkModule.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/BusyWindow.h"
#include "framework/windows/DragDrop.h"
#include "plugins/quorvel/EditorDialogs.h"
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/EditorRules.h"
#include "plugins/quorvel/EffectCatalog.h"
#include "plugins/quorvel/KivQuorvelEditor.h"

#include <vector>

namespace
{
constexpr char16_t kEmpty[] = u"<empty>";
constexpr char16_t kUser[] = u" [user]";

enum MenuCommand : int
{
    kDeleteCategory = 1,
    kRenameCategory = 2,
    kNewCategory = 3,
    kDeletePreset = 10,
    kRenamePreset = 11,
};

bool IsEmptyItem(const TreeItem* item)
{
    return item && item->GetText().Compare(kEmpty) == 0;
}

// The label of a preset: its name, and " [user]" for a user's own.
void Label(PresetEntry& entry, String& out)
{
    const PresetRecord record = entry.Record();
    out.AssignWide(record.name);
    if (!entry.IsFactory())
        out.AppendWide(kUser);
}

} // namespace

FxPalette::FxPalette() = default;

FxPalette::~FxPalette()
{
    Detach();
}

void FxPalette::SetCatalog(EditorMainPanel* panel, EffectCatalog* catalog)
{
    if (panel_ != panel)
        Detach();
    panel_ = panel;
    catalog_ = catalog;
    if (panel_ && !registered_)
        registered_ = panel_->RegisterListener(this, EditorMainPanel::kGroupLibrary, 0);
    Fill();
}

void FxPalette::Detach()
{
    if (panel_ && registered_)
        panel_->UnregisterListener(this);
    registered_ = false;
    PopupMenu::CloseMenusOf(this);
    panel_ = nullptr;
}

void FxPalette::Fill()
{
    std::unique_ptr<BusyWindow> busy;
    if (GetHandle())
        busy = std::make_unique<BusyWindow>(this);
    menuTarget_ = nullptr;
    DeleteAllItems(false);
    items_.clear();
    if (catalog_)
    {
        const int32_t count = catalog_->CategoryCount();
        for (int32_t c = 0; c < count; ++c)
            if (std::shared_ptr<PresetCategory> category = catalog_->CategoryAt(c))
                AddCategory(category);
    }
    RepaintAll();
}

TreeItem* FxPalette::AddCategory(const std::shared_ptr<PresetCategory>& category)
{
    const CategoryRecord record = category->Record();
    TreeItem* item = AddItem(nullptr, StringRef(record.name), 0, record.isCore, false);
    if (!item)
        return nullptr;
    items_[item] = PaletteItem{category, nullptr, false};
    const int32_t presets = category->PresetCount();
    for (int32_t p = 0; p < presets; ++p)
        if (std::shared_ptr<PresetEntry> entry = category->PresetAt(p))
            AddPreset(item, category, entry);
    if (item->ChildCount() == 0)
        AddItem(item, StringRef(kEmpty), 0, record.isCore, false);
    return item;
}

TreeItem* FxPalette::AddPreset(TreeItem* parent, const std::shared_ptr<PresetCategory>& category,
                               const std::shared_ptr<PresetEntry>& entry)
{
    String label;
    Label(*entry, label);
    TreeItem* item = AddItem(parent, label, 0, parent->Data2(), false);
    if (item)
        items_[item] = PaletteItem{category, entry, false};
    return item;
}

void FxPalette::RemoveItem(TreeItem* item)
{
    // The inspector forgets the item and everything below it before they go.
    if (panel_)
    {
        for (int i = 0; i < item->ChildCount(); ++i)
            panel_->ClearItem(item->ChildAt(i));
        panel_->ClearItem(item);
    }
    for (int i = 0; i < item->ChildCount(); ++i)
        items_.erase(item->ChildAt(i));
    items_.erase(item);
    if (menuTarget_ && item->Contains(menuTarget_))
        menuTarget_ = nullptr;
    DeleteItem(item, true);
}

const PaletteItem* FxPalette::DataOf(const TreeItem* item) const
{
    auto found = items_.find(item);
    return found == items_.end() ? nullptr : &found->second;
}

void FxPalette::UpdateFitCategory(TreeItem* item, bool repaint)
{
    auto found = items_.find(item);
    if (!catalog_ || found == items_.end() || found->second.entry || !item->IsExpanded())
        return;
    if (item->ChildCount() == 1 && IsEmptyItem(item->ChildAt(0)))
        return;
    std::vector<EffectId> ids;
    std::vector<PaletteItem*> presets;
    for (int i = 0; i < item->ChildCount(); ++i)
    {
        auto child = items_.find(item->ChildAt(i));
        if (child != items_.end() && child->second.entry)
        {
            ids.push_back(child->second.entry->Id());
            presets.push_back(&child->second);
        }
    }
    std::vector<int32_t> flags(ids.size(), 0);
    catalog_->GetFit(static_cast<int32_t>(ids.size()), ids.data(), flags.data(), found->second.category->IsCore());
    for (size_t i = 0; i < presets.size(); ++i)
        presets[i]->fits = flags[i] == 1;
    if (repaint)
        RepaintAll();
}

void FxPalette::UpdateFitAll(bool repaint)
{
    for (int i = 0; i < ChildCount(nullptr); ++i)
        UpdateFitCategory(ChildAt(nullptr, i), false);
    if (repaint)
        RepaintAll();
}

TreeItem* FxPalette::FindCategory(uint32_t identity) const
{
    for (int i = 0; i < ChildCount(nullptr); ++i)
    {
        TreeItem* item = ChildAt(nullptr, i);
        const PaletteItem* data = DataOf(item);
        if (data && !data->entry && data->category->Identity() == identity)
            return item;
    }
    return nullptr;
}

TreeItem* FxPalette::FindPreset(uint32_t identity) const
{
    for (const auto& entry : items_)
        if (entry.second.entry && entry.second.entry->Identity() == identity)
            return const_cast<TreeItem*>(entry.first);
    return nullptr;
}

bool FxPalette::IsCoreName(const String& name) const
{
    Skin* skin = Skin::Current();
    const String* core = skin ? skin->FindStringById("IDS_CAT_CORE_EFFECTS") : nullptr;
    return core && name.Compare(core->Text()) == 0;
}

int FxPalette::Message(const char* box)
{
    return panel_ ? panel_->Editor().ShowMessage(box) : 0;
}

std::shared_ptr<PresetEntry> FxPalette::EntryOf(uint32_t identity) const
{
    const PaletteItem* data = DataOf(FindPreset(identity));
    return data ? data->entry : nullptr;
}

int FxPalette::NewCategory(String* name)
{
    if (!panel_ || !catalog_)
        return 0;
    EditorNameDialog dialog(*panel_);
    dialog.Setup("IDS_NEW_PRESET_CATEGORY_TITLE", "IDS_NEW_PRESET_CATEGORY_PROMPT", "IDS_NEW_PRESET_CATEGORY_DEFAULT");
    String chosen;
    if (dialog.Run() != 1 || !dialog.GetName(chosen))
        return 0;
    if (IsCoreName(chosen))
    {
        Message("IDM_PRESET_CATEGORY_EXISTS");
        return 0;
    }
    if (!(panel_ && panel_->CheckName(chosen)) || !catalog_)
        return 0;
    if (catalog_->CreateCategory(chosen.Text()) != EffectCatalog::kEditDone)
    {
        Message("IDM_PRESET_CATEGORY_EXISTS");
        return 0;
    }
    if (name)
        name->Assign(chosen);
    return 1;
}

void FxPalette::DeleteCategory(TreeItem* item)
{
    if (!IsConfirmed(Message("IDM_DELETE_CATEGORY_ALERT")) || !catalog_)
        return;
    catalog_->DeleteCategory(item->GetText().Text());
    if (panel_ && ChildCount(nullptr) > 0)
        panel_->ShowItem(ChildAt(nullptr, 0));
}

void FxPalette::RenameCategory(TreeItem* item)
{
    if (!panel_)
        return;
    EditorNameDialog dialog(*panel_);
    dialog.Setup("IDS_RENAME_CAT_TITLE", "IDS_RENAME_CAT_PROMPT", item->GetText());
    String chosen;
    if (dialog.Run() != 1 || !dialog.GetName(chosen) || chosen.Compare(item->GetText().Text()) == 0)
        return;
    // The core category's name stays the core category's, as a new category may not take it.
    if (IsCoreName(chosen))
    {
        Message("IDM_PRESET_CATEGORY_EXISTS");
        return;
    }
    if (panel_ && panel_->CheckName(chosen) && catalog_)
        catalog_->RenameCategory(item->GetText().Text(), chosen.Text());
}

void FxPalette::DeletePreset(TreeItem* item)
{
    const PaletteItem* data = DataOf(item);
    if (!data || !data->entry)
        return;
    const std::shared_ptr<PresetEntry> entry = data->entry;
    if (entry->IsFactory())
    {
        Message("IDM_DELETE_FACTORY_PRESET_ALERT");
        return;
    }
    if (IsConfirmed(Message("IDM_DELETE_PRESET_ALERT")) && catalog_)
        catalog_->DeletePreset(entry->Id());
}

void FxPalette::RenamePreset(TreeItem* item)
{
    const PaletteItem* data = DataOf(item);
    if (!data || !data->entry || !panel_)
        return;
    const std::shared_ptr<PresetEntry> entry = data->entry;
    if (entry->IsFactory())
    {
        Message("IDM_RENAME_FACTORY_PRESET_ALERT");
        return;
    }
    String current;
    current.AssignWide(entry->Record().name);
    EditorNameDialog dialog(*panel_);
    dialog.Setup("IDS_RENAME_PRESET_TITLE", "IDS_RENAME_PRESET_PROMPT", current);
    String chosen;
    if (dialog.Run() != 1 || !dialog.GetName(chosen) || chosen.Compare(item->GetText().Text()) == 0)
        return;
    if (panel_ && panel_->CheckName(chosen) && catalog_)
        catalog_->RenamePreset(entry->Id(), chosen.Text());
}

void FxPalette::RunCommand(TreeItem* target, int command)
{
    if (command == kNewCategory)
    {
        NewCategory(nullptr);
        return;
    }
    if (!target)
        return;
    switch (command)
    {
    case kDeleteCategory:
        DeleteCategory(target);
        break;
    case kRenameCategory:
        RenameCategory(target);
        break;
    case kDeletePreset:
        DeletePreset(target);
        break;
    case kRenamePreset:
        RenamePreset(target);
        break;
    default:
        break;
    }
}

void FxPalette::OnMenuCommand(int commandId)
{
    TreeItem* target = menuTarget_;
    menuTarget_ = nullptr;
    RunCommand(target, commandId);
}

bool FxPalette::OpenMenu(TreeItem* item, int screenX, int screenY)
{
    Skin* skin = Skin::Current();
    if (!item || !skin || !panel_)
        return false;
    const char* menuName = nullptr;
    if (!item->Parent())
    {
        if (!IsCoreName(item->GetText()))
            menuName = "PresetCategoryContextMenu";
    }
    else if (!IsEmptyItem(item) && !IsCoreName(item->Parent()->GetText()))
    {
        menuName = "PresetContextMenu";
    }
    if (!menuName)
        return false;
    PopupMenu* menu = skin->CreatePopupMenu(menuName);
    if (!menu)
        return false;
    menuTarget_ = item;
    menu->Track(screenX, screenY, this, panel_, 1);
    return true;
}

bool FxPalette::CanDrag(const TreeItem* item) const
{
    const PaletteItem* data = DataOf(item);
    return data && data->entry && data->fits && !IsEmptyItem(item) && catalog_ && catalog_->IsConnected();
}

void FxPalette::OnItemMouseDown(TreeView*, TreeItem* item, int, int)
{
    if (!CanDrag(item))
        return;
    auto* cursor = new ::Cursor();
    if (!cursor->Load(FrameworkModule(), kDragCursor))
    {
        delete cursor;
        cursor = nullptr;
    }
    // The drop finds the entry by its identity: an item deleted meanwhile leaves nothing behind.
    DragDrop::Begin(cursor, this, kDragPreset, static_cast<intptr_t>(DataOf(item)->entry->Identity()));
}

void FxPalette::OnItemMouseMove(TreeView*, TreeItem*, int, int)
{
    if (DragDrop::IsSource(this))
        DragDrop::OnMouseMove();
}

void FxPalette::OnItemMouseUp(TreeView*, TreeItem*, int, int)
{
    if (DragDrop::IsSource(this))
        DragDrop::End();
}

void FxPalette::OnItemRightUp(TreeView*, TreeItem* item, int x, int y)
{
    POINT point{x, y};
    ::ClientToScreen(GetHandle(), &point);
    OpenMenu(item, point.x, point.y);
}

int FxPalette::OnItemKeyDown(TreeView*, int key)
{
    return panel_ ? panel_->OnKeyDown(static_cast<WPARAM>(key), 0) : 0;
}

void FxPalette::OnSelectionChanged(TreeView*, TreeItem* item)
{
    if (panel_)
        panel_->ShowItem(item);
}

void FxPalette::OnExpanded(TreeView*, TreeItem* item)
{
    std::unique_ptr<BusyWindow> busy;
    if (panel_ && panel_->GetHandle())
        busy = std::make_unique<BusyWindow>(panel_);
    UpdateFitCategory(item, false);
}

void FxPalette::DrawItemIcon(Graphics& graphics, TreeItem* item, int x, int y)
{
    const PaletteItem* data = DataOf(item);
    Skin* skin = Skin::Current();
    if (!data || !data->entry || !skin)
    {
        TreeView::DrawItemIcon(graphics, item, x, y);
        return;
    }
    const bool core = data->category->IsCore();
    String name;
    name.AssignAscii(core ? "core_fx_16x16_01" : "user_fx_16x16_01");
    if (!data->fits)
        name.AppendAscii("_v2");
    if (SkinBitmap* icon = skin->FindBitmap(name))
        DrawImageOver(graphics, *icon, icon->Width(), x + 4, y + (ItemHeight() - icon->Height()) / 2 + 1,
                      Style().bgColor);
}

void FxPalette::DrawItemText(Graphics& graphics, TreeItem* item, int x, int y)
{
    const PaletteItem* data = DataOf(item);
    Skin* skin = Skin::Current();
    if (!data || !data->entry || !skin || !Style().font)
    {
        TreeView::DrawItemText(graphics, item, x, y);
        return;
    }
    const FontInterface* font = Style().font;
    COLORREF colour = TextColour(item);
    if (data->fits)
    {
        String fitFont;
        fitFont.AssignAscii("tv_fxWillFit");
        if (FontInterface* found = skin->FindFont(fitFont))
            font = found;
    }
    else if (!item->IsSelected())
    {
        uint32_t noFit = 0;
        colour = skin->GetMiscParamColour("fxPaletteFontColNoFit", noFit) ? static_cast<COLORREF>(noFit)
                                                                          : static_cast<COLORREF>(colour >> 1);
    }
    const int width = font->TextWidth(item->GetText());
    if (item->IsSelected())
        graphics.FillRect(Rect{x + 2, y, x + 2 + width + 3, y + ItemHeight()}, Style().selectedBgColor);
    graphics.TextOut(item->GetText(), x + 4, y + 1, Rect{x, y, ClientWidth(), y + ItemHeight()}, *font, colour);
}

void FxPalette::OnEditorMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam, intptr_t)
{
    switch (id)
    {
    case kMessageSessionChanged:
        UpdateFitAll(true);
        break;
    case kMessagePresetChanged:
        OnPresetMessage(wParam, lParam);
        break;
    case kMessageCategoryChanged:
        OnCategoryMessage(wParam, lParam);
        break;
    default:
        break;
    }
}

void FxPalette::OnCategoryMessage(uintptr_t change, uintptr_t payload)
{
    const auto* message = reinterpret_cast<const CategoryMessage*>(payload);
    if (!message || !catalog_)
        return;
    if (change == 0)
    {
        if (FindCategory(message->identity))
            return;
        for (int32_t c = 0; c < catalog_->CategoryCount(); ++c)
        {
            std::shared_ptr<PresetCategory> category = catalog_->CategoryAt(c);
            if (category && category->Identity() == message->identity)
            {
                if (TreeItem* item = AddCategory(category))
                    if (!item->IsExpanded())
                    {
                        Expand(item, true);
                        Collapse(item, true);
                    }
                break;
            }
        }
        RepaintAll();
        return;
    }
    TreeItem* item = FindCategory(message->identity);
    if (!item)
        return;
    if (change == 1)
    {
        RemoveItem(item);
    }
    else if (change == 2)
    {
        SetItemText(item, StringRef(message->newName), true);
        if (panel_ && Marked() == item)
            panel_->ShowItem(item);
    }
}

void FxPalette::OnPresetMessage(uintptr_t change, uintptr_t payload)
{
    const auto* message = reinterpret_cast<const PresetMessage*>(payload);
    if (!message || !catalog_)
        return;
    if (change == 0)
    {
        TreeItem* parent = FindCategory(message->category);
        if (!parent || FindPreset(message->identity))
            return;
        const std::shared_ptr<PresetCategory> category = DataOf(parent)->category;
        std::shared_ptr<PresetEntry> entry;
        for (int32_t p = 0; p < category->PresetCount() && !entry; ++p)
        {
            std::shared_ptr<PresetEntry> candidate = category->PresetAt(p);
            if (candidate && candidate->Identity() == message->identity)
                entry = candidate;
        }
        if (!entry)
            return;
        if (parent->ChildCount() == 1 && IsEmptyItem(parent->ChildAt(0)))
        {
            if (panel_)
                panel_->ClearItem(parent->ChildAt(0));
            DeleteItem(parent->ChildAt(0), false);
        }
        if (TreeItem* item = AddPreset(parent, category, entry))
        {
            int32_t fits = 0;
            const EffectId id = entry->Id();
            catalog_->GetFit(1, &id, &fits, false);
            items_[item].fits = fits == 1;
        }
        Collapse(parent, false);
        Expand(parent, true);
        RepaintAll();
        return;
    }
    TreeItem* item = FindPreset(message->identity);
    if (!item)
        return;
    TreeItem* parent = item->Parent();
    if (change == 1)
    {
        RemoveItem(item);
        if (parent && parent->ChildCount() == 0)
            AddItem(parent, StringRef(kEmpty), 0, parent->Data2(), true);
    }
    else if (change == 2)
    {
        String label;
        label.AssignWide(message->preset.name);
        label.AppendWide(kUser);
        SetItemText(item, label, true);
        if (panel_ && Marked() == item)
            panel_->ShowItem(item);
    }
}
