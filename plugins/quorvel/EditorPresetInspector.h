#pragma once
// A small scrolling text window of the editor that describes the item selected in the FX
// palette: a category with its number of presets, a preset by its label, a chain preset with
// its numbered effects. The lines are made when the item is set, never while painting (which
// must not ask the mixer). GUI thread.

#include "framework/dialogs/ScrolledContent.h"
#include "framework/windows/Window.h"

#include <cstdint>
#include <string>
#include <vector>

class EditorMainPanel;
class EffectCatalog;
class FontInterface;
class TreeItem;

class EditorPresetInspector final : public Window, public ScrolledContent
{
public:
    static constexpr int kWindowId = 678;
    static constexpr int kScrollUnit = 5;

    explicit EditorPresetInspector(EffectCatalog* catalog);
    ~EditorPresetInspector() override;

    // Takes the skin's region "presetinspector", its colours and font, and the panel's scroll
    // bar "inspscrollbar"; false when the window cannot be made.
    bool Create(EditorMainPanel& panel);
    void Disconnect() { catalog_ = nullptr; }

    void SetItem(TreeItem* item);
    // Nothing is shown any more when the item is the shown one.
    void ClearItem(TreeItem* item);
    const std::vector<std::u16string>& Lines() const { return lines_; }
    const TreeItem* ShownItem() const { return item_; }
    int ContentHeight() const;

    void OnPaint(Graphics& graphics) override;
    int OnEraseBackground(Graphics& graphics) override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseWheel(WPARAM keys, int x, int y) override;
    int OnSize(WPARAM type, int width, int height) override;
    void AttachScroller(Scroller* scroller, int id) override;

protected:
    void ScrollContents(int dy) override;

private:
    void Layout();

    EffectCatalog* catalog_;           // borrowed; null once the link went
    EditorMainPanel* panel_ = nullptr; // borrowed: the parent
    uint32_t background_ = 0xFFFFFF;
    uint32_t textColour_ = 0;
    FontInterface* font_ = nullptr; // the skin's
    TreeItem* item_ = nullptr;      // borrowed: the palette's; null = none
    int lineHeight_ = 10;
    int height_ = 0;
    std::vector<std::u16string> lines_;
};
