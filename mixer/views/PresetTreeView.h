#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <variant>

#include "framework/base/String.h"
#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/TreeView.h"
#include "framework/platform/Timer.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/PresetDrag.h"

class FXPaletteWindow;
class MainSectionHost;
class MainWindowLink;
class Skin;
class Window;

using PresetItemStorage = std::variant<CoreEffectItem, CategoryItem, PresetItem>;

// The checks of a name the user typed in the palette's name dialog.
namespace PresetNames
{
// The longest name the engine keeps whole: its records hold 128 units with the end mark, and
// KivQuorvel finds categories by these names.
constexpr int kMaxName = 127;
// Renames keep their own, smaller limit.
constexpr int kMaxRename = 49;

enum class Use
{
    RenameCategory,
    NewCategory,
    RenamePreset
};
enum class Verdict
{
    Send,    // name holds what goes to the engine
    Nothing, // unchanged (or nothing typed): no message, no engine call
    Refused  // message holds the message box to show
};
// typed: what the dialog answered; current: the entry's text (for renames); coreText: the
// Core Effects text. name receives what goes to the engine, message the box to show.
Verdict Check(Use use, const String& typed, const String& current, const String& coreText, String& name,
              const char*& message);
} // namespace PresetNames

// The effects library as a two-level tree: the core effects and the user's categories with
// their presets, each entry marked by whether it fits the DSP of the strip being edited. Its
// menus edit the library; the tree itself changes only through the library's events, each of
// which it acknowledges to the engine. User-interface thread only.
class PresetTreeView : public TreeView, public TreeItemComparer, public MenuListener, public TimerListener
{
public:
    PresetTreeView(MainWindowLink& link, FXPaletteWindow* palette);
    ~PresetTreeView() override;

    void OnCreate() override;
    // The tree built again from the library (after an import).
    void Rebuild();
    void Reload();

    // Fit marking against the current target (the current strip group's system, else system
    // 0 of the mixer model).
    void UpdateFitAll(bool redraw);
    void UpdateFitCategory(TreeItem* node, bool redraw);

    // Library events 0x352-0x357 and 804; each handled one is acknowledged.
    void OnLibraryEvent(int id, VarnEventArg data);

    // Commands of the context menus; each works on the entry it is given.
    int NewCategory(String* name, Window* owner);
    void DeleteCategory(TreeItem* node);
    void RenameCategory(TreeItem* node);
    void DeletePreset(TreeItem* item);
    void RenamePreset(TreeItem* item);
    // The palette goes before the tree (its panel deletes the tree): nothing is told after.
    void ForgetPalette() { palette_ = nullptr; }
    // The remembered menu item, as a right click sets it.
    void RememberItem(TreeItem* item) { remembered_ = item; }
    TreeItem* RememberedItem() const { return remembered_; }

    // Whether a drag may start on the item: an effect or preset that fits, or any when
    // system 0 lacks feature 0.
    bool CanDrag(TreeItem* item);
    // Where the drag scrolls the strips and gives the pointer to their insert slots (the
    // frame's main-section host); borrowed, may be null (no drag scrolling).
    void SetDragArea(MainSectionHost* area) { dragArea_ = area; }

    // The item's record, or null (nodes without one, the placeholder).
    PresetItemRecord* RecordOf(const TreeItem* item) const;
    TreeItem* CoreNode() const;
    const String& CoreText();
    // The text shown for a preset: its name, and for a user preset a blank and "[user]".
    String PresetText(const VarnPresetRecord& record);

    // TreeViewListener
    void OnSelectionChanged(TreeView* view, TreeItem* item) override;
    void OnExpanded(TreeView* view, TreeItem* item) override;
    void OnCollapsed(TreeView* view, TreeItem* item) override;
    void OnItemRightUp(TreeView* view, TreeItem* item, int x, int y) override;
    // The drag: a press on an entry that may be dragged starts it, moves and the release
    // go to DragDrop while the tree is its source.
    void OnItemMouseDown(TreeView* view, TreeItem* item, int x, int y) override;
    void OnItemMouseMove(TreeView* view, TreeItem* item, int x, int y) override;
    void OnItemMouseUp(TreeView* view, TreeItem* item, int x, int y) override;
    // TimerListener: the drag scrolling, every 50 ms while a drag runs.
    void OnTimerTick(int32_t argument) override;
    // TreeItemComparer: ASCII letters folded.
    int CompareItems(const String& newText, const String& existingText) override;
    // MenuListener
    void OnMenuCommand(int command) override;
    // Rendering: the fit's font or colour for entries, the entries' icons.
    void DrawItemIcon(Graphics& graphics, TreeItem* item, int x, int y) override;
    void DrawItemText(Graphics& graphics, TreeItem* item, int x, int y) override;
    COLORREF TextColour(TreeItem* item) override;

private:
    void AddCoreEffects();
    void AddCategories();
    TreeItem* AddEntry(TreeItem* parent, const String& text, std::unique_ptr<PresetItemStorage> record, int data2,
                       bool redraw);
    void AddPlaceholder(TreeItem* node, bool redraw);
    // Frees the records of the item and below, tells the inspector, forgets the remembered
    // item when it goes, and deletes the item.
    void RemoveItem(TreeItem* item, bool redraw);
    void UpdateFitItem(TreeItem* item, IVarnFitChecker* checker, bool redraw);
    IVarnFitChecker* Target();
    IVarnFxLibrary* Library();
    int Ask(const char* box);
    TreeItem* FindNode(const String& text) const;
    TreeItem* FindPresetItem(const VarnEffectId& id) const;
    void Acknowledge(int id, VarnEventArg a, VarnEventArg b, VarnEventArg c);
    const String& SkinText(const char* id, const char* fallback, String& storage);

    MainWindowLink& link_;
    FXPaletteWindow* palette_;       // borrowed: the palette that owns the tree's panel; may be null
    TreeItem* remembered_ = nullptr; // borrowed: the item of the open context menu
    std::map<const TreeItem*, std::unique_ptr<PresetItemStorage>> records_;
    String coreText_, userText_, emptyText_;
    Timer dragTimer_;
    // The entry of the last drag: the drop reads this copy, whatever the library does to the
    // entry meanwhile.
    std::unique_ptr<PresetItemStorage> dragged_;
    MainSectionHost* dragArea_ = nullptr; // borrowed; may be null
};
