#include "mixer/views/PresetTreeView.h"

#include <cstring>

#include "framework/dialogs/SkinDialogs.h"
#include "framework/dialogs/ViewPainting.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/DragDrop.h"
#include "mixer/dialogs/NameDialog.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/FXPaletteWindow.h"
#include "mixer/views/MainSectionParts.h"
#include "mixer/views/MainWindowLink.h"

namespace
{
// Menu commands of "PresetCategoryContextMenu" and "PresetContextMenu".
enum MenuCommand
{
    kDeleteCategory = 1,
    kRenameCategory = 2,
    kNewCategory = 3,
    kDeletePreset = 10,
    kRenamePreset = 11
};
// The library's events.
enum LibraryEvent
{
    kCategoryAdded = 0x352,
    kCategoryDeleted = 0x353,
    kCategoryRenamed = 0x354,
    kPresetAdded = 0x355,
    kPresetDeleted = 0x356,
    kPresetRenamed = 0x357,
    kCoreEffectsChanged = EngineEvent::kPresetListToPalette
};
// The program's drop cursor and the drag's scrolling interval.
constexpr int kDragCursor = 104;
constexpr uint32_t kDragInterval = 50;
// Answers of the skin's message boxes.
constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 3;

bool SameId(const VarnEffectId& a, const VarnEffectId& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

String Copy(const StringRef& text)
{
    String copy;
    copy.Append(text);
    return copy;
}

// Names as the records hold them (zero-terminated in their 256 units).
String NameOf(const char16_t (&name)[256])
{
    int length = 0;
    while (length < 255 && name[length])
        ++length;
    return Copy(StringRef(name, length));
}

} // namespace

namespace PresetNames
{
Verdict Check(Use use, const String& typed, const String& current, const String& coreText, String& name,
              const char*& message)
{
    name.Clear();
    message = nullptr;
    auto refuse = [&message](const char* box) {
        message = box;
        return Verdict::Refused;
    };
    if (use == Use::NewCategory)
    {
        if (typed.Length() == 0)
            return Verdict::Nothing;
        String lower = Copy(typed), core = Copy(coreText);
        lower.MakeLower();
        core.MakeLower();
        if (lower.Compare(core.Text()) == 0)
            return refuse("IDM_PRESET_CATEGORY_EXISTS");
        if (typed.Length() > kMaxName)
            return refuse("IDM_MAX_CHAR_EXCEEDED");
        // A path character test alone lets "..", "a\b" or "C:x" make folders outside the
        // library: the name must be one valid folder name.
        if (!FileSystem::IsValidPath(typed) || !FileSystem::IsValidName(typed))
            return refuse("IDM_DUPLICATE_INVALID_NAME_CREATEPRESET");
        name.Assign(typed);
        return Verdict::Send;
    }
    if (typed.Length() > kMaxRename)
        return refuse("IDM_MAX_CHAR_EXCEEDED");
    if (!FileSystem::IsValidPath(typed))
        return refuse("IDM_DUPLICATE_INVALID_NAME_CREATEPRESET");
    if (typed.Compare(current.Text()) == 0)
        return Verdict::Nothing;
    String trimmed = Copy(typed);
    if (use == Use::RenameCategory && trimmed.Length() > 0 && trimmed.WideCharAt(trimmed.Length() - 1) == u' ')
        trimmed.TrimRightChars(" \t\n\r");
    // An empty or trimmed-away name, or one a folder cannot have, is refused before the engine.
    if (!FileSystem::IsValidName(trimmed))
        return refuse("IDM_DUPLICATE_INVALID_NAME_CREATEPRESET");
    if (use == Use::RenameCategory && trimmed.CompareNoCase(coreText.Text()) == 0)
        return refuse("IDM_PRESET_CATEGORY_EXISTS");
    name.Assign(trimmed);
    return Verdict::Send;
}
} // namespace PresetNames

PresetTreeView::PresetTreeView(MainWindowLink& link, FXPaletteWindow* palette) : link_(link), palette_(palette)
{
    SetListener(this);
    SetComparer(this);
}

PresetTreeView::~PresetTreeView()
{
    if (DragDrop::IsSource(this))
        DragDrop::End();
    remembered_ = nullptr;
    records_.clear();
}

void PresetTreeView::OnCreate()
{
    TreeView::OnCreate();
    dragTimer_.Attach(this, kDragInterval, PresetDrag::kTimerArgument);
    Rebuild();
}

IVarnFxLibrary* PresetTreeView::Library()
{
    IVarnServices* services = link_.GetServices();
    return services ? services->GetFxLibrary() : nullptr;
}

const String& PresetTreeView::SkinText(const char* id, const char* fallback, String& storage)
{
    const String* text = link_.GetSkin().FindStringById(id);
    if (text && text->Length() > 0)
        storage.Assign(*text);
    else
        storage.AssignAscii(fallback);
    return storage;
}

const String& PresetTreeView::CoreText()
{
    return SkinText("IDS_CAT_CORE_EFFECTS", "Core Effects", coreText_);
}

String PresetTreeView::PresetText(const VarnPresetRecord& record)
{
    String text = NameOf(record.name);
    if (!record.factory)
    {
        text.AppendAscii(" ");
        text.Append(SkinText("IDS_USER_DEFINED", "[user]", userText_));
    }
    return text;
}

int PresetTreeView::CompareItems(const String& newText, const String& existingText)
{
    return newText.CompareNoCase(existingText.Text());
}

PresetItemRecord* PresetTreeView::RecordOf(const TreeItem* item) const
{
    auto found = records_.find(item);
    if (found == records_.end())
        return nullptr;
    return std::visit([](auto& entry) { return &entry.head; }, *found->second);
}

TreeItem* PresetTreeView::FindNode(const String& text) const
{
    for (int i = 0; i < ChildCount(nullptr); ++i)
        if (ChildAt(nullptr, i)->GetText().Compare(text.Text()) == 0)
            return ChildAt(nullptr, i);
    return nullptr;
}

TreeItem* PresetTreeView::CoreNode() const
{
    for (int i = 0; i < ChildCount(nullptr); ++i)
    {
        TreeItem* node = ChildAt(nullptr, i);
        if (!RecordOf(node))
            return node;
    }
    return nullptr;
}

TreeItem* PresetTreeView::FindPresetItem(const VarnEffectId& id) const
{
    for (const auto& [item, record] : records_)
        if (const PresetItem* preset = std::get_if<PresetItem>(record.get()); preset && SameId(preset->record.id, id))
            return const_cast<TreeItem*>(item);
    return nullptr;
}

TreeItem* PresetTreeView::AddEntry(TreeItem* parent, const String& text, std::unique_ptr<PresetItemStorage> record,
                                   int data2, bool redraw)
{
    TreeItem* item = AddItem(parent, text, 0, data2, redraw);
    if (item && record)
        records_[item] = std::move(record);
    return item;
}

void PresetTreeView::AddPlaceholder(TreeItem* node, bool redraw)
{
    AddItem(node, SkinText("IDS_EMPTY", "<empty>", emptyText_), 0, 0, redraw);
}

void PresetTreeView::RemoveItem(TreeItem* item, bool redraw)
{
    if (!item)
        return;
    for (int i = item->ChildCount() - 1; i >= 0; --i)
        RemoveItem(item->ChildAt(i), false);
    if (palette_)
        palette_->RemoveFromInspector(item);
    if (remembered_ == item)
        remembered_ = nullptr;
    records_.erase(item);
    DeleteItem(item, redraw);
}

void PresetTreeView::Rebuild()
{
    AddCoreEffects();
    AddCategories();
    InvalidateAll(1);
}

void PresetTreeView::Reload()
{
    remembered_ = nullptr;
    if (palette_)
        palette_->ShowInInspector(nullptr);
    records_.clear();
    DeleteAllItems(true);
    Rebuild();
}

void PresetTreeView::AddCoreEffects()
{
    TreeItem* node = AddItem(nullptr, CoreText(), 0, 0, false);
    IVarnFxLibrary* library = Library();
    if (!node)
        return;
    if (library)
    {
        int count = library->GetCoreEffectCount();
        if (count == 0)
        {
            library->LoadCoreEffects();
            count = library->GetCoreEffectCount();
        }
        for (int i = 0; i < count; ++i)
        {
            auto record = std::make_unique<PresetItemStorage>(std::in_place_type<CoreEffectItem>);
            CoreEffectItem& core = std::get<CoreEffectItem>(*record);
            if (!library->GetCoreEffectInfo(i, &core.record))
                continue;
            const String name = NameOf(core.record.name);
            AddEntry(node, name, std::move(record), 1, false);
        }
    }
    if (node->ChildCount() == 0)
        AddPlaceholder(node, false);
}

void PresetTreeView::AddCategories()
{
    IVarnFxLibrary* library = Library();
    if (!library)
        return;
    int count = library->GetCategoryCount();
    if (count == 0)
    {
        library->LoadCategories();
        count = library->GetCategoryCount();
    }
    for (int i = 0; i < count; ++i)
    {
        auto category = std::make_unique<PresetItemStorage>(std::in_place_type<CategoryItem>);
        CategoryItem& entry = std::get<CategoryItem>(*category);
        if (!library->GetCategoryInfo(i, &entry.record))
            continue;
        const String name = NameOf(entry.record.name);
        TreeItem* node = AddEntry(nullptr, name, std::move(category), 0, false);
        if (!node)
            continue;
        const int presets = library->GetPresetCount(i);
        for (int j = 0; j < presets; ++j)
        {
            auto preset = std::make_unique<PresetItemStorage>(std::in_place_type<PresetItem>);
            PresetItem& entry = std::get<PresetItem>(*preset);
            if (!library->GetPresetInfo(i, j, &entry.record))
                continue;
            const String text = PresetText(entry.record);
            AddEntry(node, text, std::move(preset), 0, false);
        }
        if (node->ChildCount() == 0)
            AddPlaceholder(node, false);
    }
}

IVarnFitChecker* PresetTreeView::Target()
{
    IVarnHardware* system = link_.GetCurrentSystem();
    return system ? system->GetFitChecker() : nullptr;
}

void PresetTreeView::UpdateFitAll(bool redraw)
{
    for (int i = 0; i < ChildCount(nullptr); ++i)
        UpdateFitCategory(ChildAt(nullptr, i), redraw);
}

void PresetTreeView::UpdateFitCategory(TreeItem* node, bool redraw)
{
    if (!node || !node->IsExpanded())
        return;
    IVarnFitChecker* checker = Target();
    for (int i = 0; i < node->ChildCount(); ++i)
    {
        TreeItem* child = node->ChildAt(i);
        if (checker)
            UpdateFitItem(child, checker, redraw);
        else if (PresetItemRecord* record = RecordOf(child); record && record->fit != PresetItemRecord::kDoesNotFit)
        {
            record->fit = PresetItemRecord::kDoesNotFit;
            if (redraw)
                RedrawItem(child);
        }
    }
}

void PresetTreeView::UpdateFitItem(TreeItem* item, IVarnFitChecker* checker, bool redraw)
{
    PresetItemRecord* record = RecordOf(item);
    if (!record || record->kind == PresetItemRecord::kCategory)
        return;
    const int fits = record->kind == PresetItemRecord::kCoreEffect
                         ? checker->CoreEffectFits(&ItemOf<CoreEffectItem>(record)->record)
                         : checker->PresetFits(&ItemOf<PresetItem>(record)->record);
    const int state = fits == 1 ? PresetItemRecord::kFits : PresetItemRecord::kDoesNotFit;
    if (state == record->fit)
        return;
    record->fit = state;
    if (redraw)
        RedrawItem(item);
}

void PresetTreeView::OnSelectionChanged(TreeView*, TreeItem* item)
{
    if (palette_)
        palette_->ShowInInspector(item);
}

void PresetTreeView::OnExpanded(TreeView*, TreeItem* item)
{
    UpdateFitCategory(item, false);
}

void PresetTreeView::OnCollapsed(TreeView*, TreeItem* item)
{
    for (int i = 0; item && i < item->ChildCount(); ++i)
        if (PresetItemRecord* record = RecordOf(item->ChildAt(i)))
            record->fit = PresetItemRecord::kNotComputed;
}

void PresetTreeView::OnItemRightUp(TreeView*, TreeItem* item, int, int)
{
    if (!item)
        return;
    const char* menuName = nullptr;
    if (!item->Parent() && item->GetText().Compare(CoreText().Text()) != 0)
        menuName = "PresetCategoryContextMenu";
    else if (item->Parent() && RecordOf(item) && item->Parent()->GetText().Compare(CoreText().Text()) != 0)
        menuName = "PresetContextMenu";
    PopupMenu* menu = menuName ? link_.GetSkin().CreatePopupMenu(menuName) : nullptr;
    if (!menu)
        return;
    remembered_ = item;
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    menu->Track(cursor.x, cursor.y, this, this, 1);
}

void PresetTreeView::OnMenuCommand(int command)
{
    // The command's dialogs run loops that hear library events: the item may go meanwhile,
    // and the commands find their entry again after each dialog.
    TreeItem* item = remembered_;
    remembered_ = nullptr;
    switch (command)
    {
    case kDeleteCategory:
        DeleteCategory(item);
        break;
    case kRenameCategory:
        RenameCategory(item);
        break;
    case kNewCategory:
        NewCategory(nullptr, GetParent());
        break;
    case kDeletePreset:
        DeletePreset(item);
        break;
    case kRenamePreset:
        RenamePreset(item);
        break;
    default:
        break;
    }
}

int PresetTreeView::Ask(const char* box)
{
    return SkinDialogs(link_.GetSkin()).ShowDefinedMessageBox(box, nullptr, nullptr);
}

int PresetTreeView::NewCategory(String* name, Window* owner)
{
    NameDialog dialog(link_.GetSkin());
    dialog.SetTextsFromIds("IDS_NEW_PRESET_CATEGORY_TITLE", "IDS_NEW_PRESET_CATEGORY_PROMPT",
                           "IDS_NEW_PRESET_CATEGORY_DEFAULT");
    if (dialog.Run(owner) != 1 || !dialog.GetName())
        return 0;
    String checked;
    const char* message = nullptr;
    const PresetNames::Verdict verdict =
        PresetNames::Check(PresetNames::Use::NewCategory, *dialog.GetName(), String(), CoreText(), checked, message);
    if (verdict == PresetNames::Verdict::Refused)
        Ask(message);
    if (verdict != PresetNames::Verdict::Send)
        return 0;
    IVarnFxLibrary* library = Library();
    if (!library || !library->CreateCategory(checked.Text(), 1))
    {
        Ask("IDM_PRESET_CATEGORY_EXISTS");
        return 0;
    }
    if (name)
        name->Assign(checked);
    return 1;
}

void PresetTreeView::DeleteCategory(TreeItem* node)
{
    if (!node)
        return;
    const String text = Copy(node->GetText());
    const int answer = Ask("IDM_DELETE_CATEGORY_ALERT");
    IVarnFxLibrary* library = Library();
    if ((answer == kAnswerOk || answer == kAnswerYes) && library && FindNode(text))
        library->DeleteCategory(text.Text(), 1);
}

void PresetTreeView::RenameCategory(TreeItem* node)
{
    if (!node)
        return;
    const String current = Copy(node->GetText());
    NameDialog dialog(link_.GetSkin());
    dialog.SetTextsFromIds("IDS_RENAME_CAT_TITLE", "IDS_RENAME_CAT_PROMPT", current);
    if (dialog.Run(nullptr) != 1 || !dialog.GetName())
        return;
    String checked;
    const char* message = nullptr;
    const PresetNames::Verdict verdict =
        PresetNames::Check(PresetNames::Use::RenameCategory, *dialog.GetName(), current, CoreText(), checked, message);
    if (verdict == PresetNames::Verdict::Refused)
        Ask(message);
    // The category may have gone while the dialog ran.
    IVarnFxLibrary* library = Library();
    if (verdict == PresetNames::Verdict::Send && library && FindNode(current))
        library->RenameCategory(current.Text(), checked.Text(), 1);
}

void PresetTreeView::DeletePreset(TreeItem* item)
{
    auto* record = ItemOf<PresetItem>(RecordOf(item));
    if (!record || record->head.kind != PresetItemRecord::kPreset)
        return;
    if (record->record.factory)
    {
        Ask("IDM_DELETE_FACTORY_PRESET_ALERT");
        return;
    }
    const VarnPresetRecord copy = record->record;
    const int answer = Ask("IDM_DELETE_PRESET_ALERT");
    IVarnFxLibrary* library = Library();
    if ((answer == kAnswerOk || answer == kAnswerYes) && library && FindPresetItem(copy.id))
        library->DeletePreset(&copy, 1);
}

void PresetTreeView::RenamePreset(TreeItem* item)
{
    auto* record = ItemOf<PresetItem>(RecordOf(item));
    if (!record || record->head.kind != PresetItemRecord::kPreset)
        return;
    if (record->record.factory)
    {
        Ask("IDM_RENAME_FACTORY_PRESET_ALERT");
        return;
    }
    const VarnPresetRecord copy = record->record;
    const String shown = Copy(item->GetText());
    NameDialog dialog(link_.GetSkin());
    dialog.SetTextsFromIds("IDS_RENAME_PRESET_TITLE", "IDS_RENAME_PRESET_PROMPT", NameOf(copy.name));
    if (dialog.Run(nullptr) != 1 || !dialog.GetName())
        return;
    String checked;
    const char* message = nullptr;
    const PresetNames::Verdict verdict =
        PresetNames::Check(PresetNames::Use::RenamePreset, *dialog.GetName(), shown, CoreText(), checked, message);
    if (verdict == PresetNames::Verdict::Refused)
        Ask(message);
    IVarnFxLibrary* library = Library();
    if (verdict == PresetNames::Verdict::Send && library && FindPresetItem(copy.id))
        library->RenamePreset(&copy, checked.Text(), 1);
}

bool PresetTreeView::CanDrag(TreeItem* item)
{
    PresetItemRecord* record = item && item->Parent() ? RecordOf(item) : nullptr;
    if (!record || record->kind == PresetItemRecord::kCategory)
        return false;
    if (record->fit == PresetItemRecord::kFits)
        return true;
    IVarnServices* services = link_.GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    IVarnHardware* system = mixer ? mixer->GetSystem(0) : nullptr;
    return !(system && system->HasFeature(0));
}

void PresetTreeView::OnItemMouseDown(TreeView*, TreeItem* item, int, int)
{
    if (DragDrop::IsSource(this) || !CanDrag(item))
        return;
    dragged_ = std::make_unique<PresetItemStorage>(*records_.at(item));
    PresetItemRecord* head = std::visit([](auto& entry) { return &entry.head; }, *dragged_);
    auto* cursor = new ::Cursor();
    if (!cursor->Load(kDragCursor))
    {
        delete cursor;
        cursor = nullptr;
    }
    DragDrop::Begin(cursor, this, PresetDrag::kKind, reinterpret_cast<intptr_t>(head));
    dragTimer_.Start();
}

void PresetTreeView::OnItemMouseMove(TreeView*, TreeItem*, int, int)
{
    if (DragDrop::IsSource(this))
        DragDrop::OnMouseMove();
}

void PresetTreeView::OnItemMouseUp(TreeView*, TreeItem*, int, int)
{
    if (DragDrop::IsSource(this))
        DragDrop::End();
    dragTimer_.Stop();
}

void PresetTreeView::OnTimerTick(int32_t argument)
{
    if (argument != PresetDrag::kTimerArgument)
        return;
    dragTimer_.Stop();
    if (!DragDrop::IsSource(this))
        return;
    int screenX = 0, screenY = 0;
    ::Cursor::GetPosition(screenX, screenY);
    int x = 0, y = 0, width = 0;
    if (dragArea_ && dragArea_->ToStripSection(screenX, screenY, x, y, width))
    {
        if (const int direction = DragScrollDirection(x, width))
            dragArea_->ScrollStrips(direction);
        RECT tree = {};
        ::GetWindowRect(GetHandle(), &tree);
        const POINT pointer = {screenX, screenY};
        if (!::PtInRect(&tree, pointer))
        {
            dragArea_->AutoScrollStripInserts(screenX, screenY);
            dragArea_->AutoScrollSectionInserts(screenX, screenY);
        }
    }
    dragTimer_.Start();
}

void PresetTreeView::Acknowledge(int id, VarnEventArg a, VarnEventArg b, VarnEventArg c)
{
    if (IVarnServices* services = link_.GetServices())
        services->AcknowledgeEvent(id, a, b, c);
}

namespace
{
VarnEventArg Arg(const void* pointer)
{
    return reinterpret_cast<VarnEventArg>(pointer);
}
} // namespace

void PresetTreeView::OnLibraryEvent(int id, VarnEventArg data)
{
    IVarnFxLibrary* library = Library();
    if (!library)
        return;
    switch (id)
    {
    case kCategoryAdded:
        for (int i = 0; i < library->GetCategoryCount(); ++i)
        {
            auto category = std::make_unique<PresetItemStorage>(std::in_place_type<CategoryItem>);
            CategoryItem& entry = std::get<CategoryItem>(*category);
            if (!library->GetCategoryInfo(i, &entry.record))
                continue;
            const String name = NameOf(entry.record.name);
            if (FindNode(name))
                continue;
            const VarnCategoryRecord* record = &entry.record;
            TreeItem* node = AddEntry(nullptr, name, std::move(category), 0, true);
            if (!node)
                return;
            AddPlaceholder(node, true);
            Acknowledge(id, 0, Arg(record), 0);
            return;
        }
        return;
    case kCategoryDeleted:
        for (int i = 0; i < ChildCount(nullptr); ++i)
        {
            TreeItem* node = ChildAt(nullptr, i);
            if (!RecordOf(node) || library->FindCategory(node->GetText().Text(), 0) >= 0)
                continue;
            // The node's text goes with it: the acknowledgement carries a copy.
            const String text = Copy(node->GetText());
            RemoveItem(node, true);
            Acknowledge(id, Arg(text.Text()), 0, 0);
            return;
        }
        return;
    case kCategoryRenamed: {
        TreeItem* stale = nullptr;
        for (int i = 0; i < ChildCount(nullptr) && !stale; ++i)
        {
            TreeItem* node = ChildAt(nullptr, i);
            if (RecordOf(node) && library->FindCategory(node->GetText().Text(), 0) < 0)
                stale = node;
        }
        VarnCategoryRecord renamed{};
        bool found = false;
        for (int i = 0; stale && i < library->GetCategoryCount() && !found; ++i)
            found = library->GetCategoryInfo(i, &renamed) && !FindNode(NameOf(renamed.name));
        if (!stale || !found)
            return;
        ItemOf<CategoryItem>(RecordOf(stale))->record = renamed;
        const String oldText = Copy(stale->GetText());
        const String newName = NameOf(renamed.name);
        Acknowledge(id, Arg(oldText.Text()), Arg(newName.Text()), 0);
        SetItemText(stale, newName, true);
        if (palette_)
            palette_->ShowInInspector(Marked());
        return;
    }
    case kPresetAdded:
        for (int i = 0; i < library->GetCategoryCount(); ++i)
        {
            for (int j = 0; j < library->GetPresetCount(i); ++j)
            {
                auto preset = std::make_unique<PresetItemStorage>(std::in_place_type<PresetItem>);
                PresetItem& entry = std::get<PresetItem>(*preset);
                if (!library->GetPresetInfo(i, j, &entry.record) || FindPresetItem(entry.record.id))
                    continue;
                VarnCategoryRecord category{};
                library->GetCategoryInfo(i, &category);
                const String categoryName = NameOf(category.name);
                TreeItem* node = FindNode(categoryName);
                if (!node)
                    return;
                if (node->ChildCount() == 1 && !RecordOf(node->ChildAt(0)))
                    DeleteItem(node->ChildAt(0), false);
                const String text = PresetText(entry.record);
                const String presetName = NameOf(entry.record.name);
                const VarnPresetRecord* record = &entry.record;
                TreeItem* item = AddEntry(node, text, std::move(preset), 0, true);
                if (IVarnFitChecker* checker = Target())
                    UpdateFitItem(item, checker, true);
                Collapse(node, true);
                Expand(node, true);
                Acknowledge(id, Arg(categoryName.Text()), Arg(presetName.Text()), Arg(record));
                return;
            }
        }
        return;
    case kPresetDeleted:
        for (int i = 0; i < ChildCount(nullptr); ++i)
        {
            TreeItem* node = ChildAt(nullptr, i);
            if (!RecordOf(node))
                continue;
            for (int j = 0; j < node->ChildCount(); ++j)
            {
                TreeItem* item = node->ChildAt(j);
                auto* record = ItemOf<PresetItem>(RecordOf(item));
                if (!record || library->FindPreset(&record->record, nullptr))
                    continue;
                const VarnEffectId removedId = record->record.id;
                const String categoryText = Copy(node->GetText());
                const String itemText = Copy(item->GetText());
                Acknowledge(id, Arg(categoryText.Text()), Arg(itemText.Text()), Arg(&removedId));
                RemoveItem(item, true);
                if (node->ChildCount() == 0)
                    AddPlaceholder(node, true);
                return;
            }
        }
        return;
    case kPresetRenamed: {
        const auto* renamed = reinterpret_cast<const VarnPresetRecord*>(data);
        TreeItem* item = renamed ? FindPresetItem(renamed->id) : nullptr;
        if (!item)
            return;
        auto* record = ItemOf<PresetItem>(RecordOf(item));
        std::memcpy(record->record.name, renamed->name, sizeof(record->record.name));
        record->record.name[255] = 0;
        const String text = PresetText(record->record);
        SetItemText(item, text, true);
        const String categoryText = Copy(item->Parent()->GetText());
        Acknowledge(id, Arg(categoryText.Text()), Arg(text.Text()), data);
        return;
    }
    case kCoreEffectsChanged:
        if (TreeItem* node = CoreNode())
            RemoveItem(node, false);
        AddCoreEffects();
        InvalidateAll(1);
        UpdateWindow(GetHandle());
        return;
    default:
        return;
    }
}

void PresetTreeView::DrawItemIcon(Graphics& graphics, TreeItem* item, int x, int y)
{
    PresetItemRecord* record = RecordOf(item);
    if (!item->Parent() || !record)
    {
        if (!item->Parent())
            TreeView::DrawItemIcon(graphics, item, x, y);
        return;
    }
    String name;
    name.AssignAscii(item->Data2() == 1 ? "core_fx_16x16_01" : "user_fx_16x16_01");
    if (record->fit != PresetItemRecord::kFits)
        name.AppendAscii("_v2");
    if (SkinBitmap* icon = link_.GetSkin().FindBitmap(name))
        DrawImageOver(graphics, *icon, icon->Width(), x + 4, y + (ItemHeight() - icon->Height()) / 2 + 1,
                      Style().bgColor);
}

void PresetTreeView::DrawItemText(Graphics& graphics, TreeItem* item, int x, int y)
{
    PresetItemRecord* record = RecordOf(item);
    FontInterface* fitFont = nullptr;
    if (item->Parent() && record && record->fit == PresetItemRecord::kFits)
        fitFont = link_.GetSkin().FindFont(Copy(u"tv_fxWillFit"));
    if (!fitFont)
    {
        TreeView::DrawItemText(graphics, item, x, y);
        return;
    }
    const int width = fitFont->TextWidth(item->GetText());
    if (item->IsSelected())
        graphics.FillRect(Rect{x + 2, y, x + 2 + width + 3, y + ItemHeight()}, Style().selectedBgColor);
    graphics.TextOut(item->GetText(), x + 4, y + 1, Rect{x, y, ClientWidth(), y + ItemHeight()}, *fitFont,
                     TextColour(item));
}

COLORREF PresetTreeView::TextColour(TreeItem* item)
{
    const COLORREF normal = TreeView::TextColour(item);
    if (!item->Parent() || item->IsSelected())
        return normal;
    PresetItemRecord* record = RecordOf(item);
    if (record && record->fit == PresetItemRecord::kFits)
        return normal;
    uint32_t noFit = 0;
    if (link_.GetSkin().GetMiscParamColour("fxPaletteFontColNoFit", noFit))
        return noFit;
    return normal >> 1;
}
