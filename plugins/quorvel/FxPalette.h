#pragma once
// The FX palette: the mixer's preset categories with their presets, which of them fit on the
// DSP now, drags onto the inserts and the menus that create, rename and delete categories
// and presets. Every change goes to the mixer; the tree changes only when the library's
// change comes back as the editor's messages 4353 and 4354. GUI thread.
//
// Items hold the shared categories and entries of the catalogue (one that the library drops
// stays valid while its item lives); messages name them by identity.

#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/TreeView.h"
#include "plugins/quorvel/EditorMainPanel.h"

#include <map>
#include <memory>

class EffectCatalog;
class PresetCategory;
class PresetEntry;

struct PaletteItem
{
    std::shared_ptr<PresetCategory> category; // the category's, or the preset's category
    std::shared_ptr<PresetEntry> entry;       // null for a category
    bool fits = false;
};

class FxPalette final : public TreeView, public MenuListener, public EditorMessageListener
{
public:
    // The drag's kind: a preset or effect from the palette (value: the entry's identity).
    static constexpr intptr_t kDragPreset = 0;
    static constexpr int kDragCursor = 103;

    FxPalette();
    ~FxPalette() override;

    // Registers with the panel for the library's messages and fills the tree; a null
    // catalogue empties it (the link went).
    void SetCatalog(EditorMainPanel* panel, EffectCatalog* catalog);
    // The panel goes: no more messages, no more panel.
    void Detach();
    void Fill();
    // The name dialog for a new category; 1 when the mixer took it (its name in name).
    int NewCategory(String* name);

    // The item's data; null for "<empty>" and for items the palette does not know.
    const PaletteItem* DataOf(const TreeItem* item) const;
    EffectCatalog* Catalog() const { return catalog_; }
    // The entry of a dragged preset or effect by its identity; null when its item went.
    std::shared_ptr<PresetEntry> EntryOf(uint32_t identity) const;
    // A menu command as if chosen on the item (tests drive the menus through it too).
    void RunCommand(TreeItem* target, int command);

    void OnEditorMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam, intptr_t cookie) override;
    void OnMenuCommand(int commandId) override;

    void OnItemMouseDown(TreeView*, TreeItem* item, int x, int y) override;
    void OnItemMouseUp(TreeView*, TreeItem* item, int x, int y) override;
    void OnItemMouseMove(TreeView*, TreeItem* item, int x, int y) override;
    void OnItemRightUp(TreeView*, TreeItem* item, int x, int y) override;
    int OnItemKeyDown(TreeView*, int key) override;
    void OnSelectionChanged(TreeView*, TreeItem* item) override;
    void OnExpanded(TreeView*, TreeItem* item) override;

    void DrawItemIcon(Graphics& graphics, TreeItem* item, int x, int y) override;
    void DrawItemText(Graphics& graphics, TreeItem* item, int x, int y) override;

    // Whether a drag may start from the item (a preset that fits while the chain is
    // attached).
    bool CanDrag(const TreeItem* item) const;
    // Opens the item's context menu at the screen point; false when the item has none.
    bool OpenMenu(TreeItem* item, int screenX, int screenY);

private:
    TreeItem* AddCategory(const std::shared_ptr<PresetCategory>& category);
    TreeItem* AddPreset(TreeItem* parent, const std::shared_ptr<PresetCategory>& category,
                        const std::shared_ptr<PresetEntry>& entry);
    void RemoveItem(TreeItem* item);
    void UpdateFitCategory(TreeItem* item, bool repaint);
    void UpdateFitAll(bool repaint);
    TreeItem* FindCategory(uint32_t identity) const;
    TreeItem* FindPreset(uint32_t identity) const;
    bool IsCoreName(const String& name) const;
    int Message(const char* box);
    void OnPresetMessage(uintptr_t change, uintptr_t payload);
    void OnCategoryMessage(uintptr_t change, uintptr_t payload);
    void RenameCategory(TreeItem* item);
    void DeleteCategory(TreeItem* item);
    void RenamePreset(TreeItem* item);
    void DeletePreset(TreeItem* item);

    EditorMainPanel* panel_ = nullptr; // borrowed: the panel holds this tree's control
    EffectCatalog* catalog_ = nullptr; // borrowed: the link's
    bool registered_ = false;
    TreeItem* menuTarget_ = nullptr; // the item whose menu is open
    std::map<const TreeItem*, PaletteItem> items_;
};
