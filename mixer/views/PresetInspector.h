#pragma once

#include <cstdint>

#include "framework/base/String.h"
#include "framework/controls/Scroller.h"
#include "framework/windows/Window.h"

class FontInterface;
class Panel;
class PresetTreeView;
class Scrollbar;
class Skin;
class TreeItem;
class IVarnFxLibrary;

// The text panel beside the preset tree that describes the selected entry: a category's or
// the Core Effects node's name with its count, a core effect's name, or a preset's text with
// its numbered effects, scrolled by the palette's "inspscrollbar" in steps of 5 pixels.
// User-interface thread only.
class PresetInspector : public Window, public ScrollClient
{
public:
    static constexpr int kControlId = 678;

    PresetInspector(Skin& skin, PresetTreeView& tree, IVarnFxLibrary* library);
    ~PresetInspector() override;

    // A visible child of the palette over its region "presetinspector"; 0 without it.
    int Create(Panel& palette);
    // Shows the item (a top-level node or an entry with a record; anything else shows nothing).
    void SetItem(TreeItem* item);
    // Shows nothing when the item is the one shown.
    void ClearItem(TreeItem* item);
    TreeItem* ShownItem() const { return item_; }
    int ContentHeight() const { return contentHeight_; }
    // The lines painted, top to bottom (for tests and the paint alike).
    int Lines(String* lines, int room);
    int LineHeight() const;

    int OnEraseBackground(Graphics& graphics) override;
    void OnPaint(Graphics& graphics) override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseWheel(WPARAM keys, int x, int y) override;

    // ScrollClient
    void AttachScroller(Scroller* scroller, int id) override;
    void OnScrollPosition(int position, Scroller* scroller, int id) override;
    void OnLineUp(int, Scroller*, int) override {}
    void OnLineDown(int, Scroller*, int) override {}
    void OnPageUp(int, Scroller*, int) override {}
    void OnPageDown(int, Scroller*, int) override {}
    void OnScrollerNotify(Scroller*, int) override { Layout(false); }
    void OnScrollEnd() override {}

private:
    void Layout(bool notify);
    int WindowHeight() const;

    Skin& skin_;
    PresetTreeView& tree_;
    IVarnFxLibrary* library_;       // borrowed: the engine's; may be null
    Scroller* scroller_ = nullptr;  // borrowed: the palette's bar
    TreeItem* item_ = nullptr;      // borrowed: the shown item
    FontInterface* font_ = nullptr; // borrowed from the skin
    uint32_t background_ = 0;
    uint32_t textColour_ = 0xFFFFFF;
    int contentHeight_ = 0;
    int position_ = 0;
    int height_ = 0;
};
