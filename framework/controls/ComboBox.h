#pragma once

#include "framework/base/String.h"
#include "framework/controls/Control.h"
#include "framework/controls/PopupMenu.h"

#include <cstdint>
#include <vector>

class FontInterface;
class PopupMenuStyle;
class ScrollbarStyle;
class SkinBitmap;

// A drop-down list: shows the chosen entry's text over a segmented image and opens a popup
// menu of the entries under itself. With a bound numeric item the item holds the chosen index.
class ComboBox : public Control, public MenuListener
{
public:
    static constexpr int kMinimumWidth = 56;

    // The combo box has no type code of its own: it keeps the base's first.
    ComboBox() : Control(TypeButton) {}
    // Closes the menu it opened: the menu would report to a deleted listener.
    ~ComboBox() override;

    int Setup(int x, int y, const String& name, int width, SkinBitmap* image, uint32_t textColour,
              uint32_t disabledTextColour, FontInterface* font, const PopupMenuStyle* popupStyle,
              const ScrollbarStyle* popupScrollbarStyle, int leftWidth, int midWidth, int rightWidth);

    int AddItem(const String& text, int enabled, int value);
    void ClearItems();
    int GetItemText(int index, String& text) const;
    void SetItemEnabled(int index, int flag);
    // An entry's value and whether it can be chosen; -1 and 0 outside the entries.
    int GetItemValue(int index) const;
    int IsItemEnabled(int index) const;
    int ItemCount() const { return static_cast<int>(texts_.size()); }
    // With an item, the item's value.
    int GetSelection();
    // Indexes outside the entries are refused.
    void SetSelection(int index);

    void Draw() override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnMenuCommand(int index) override;

private:
    // Index into the entries for the selection, or -1 when it names none.
    int SelectedEntry();
    // Stores the index in the bound numeric item when its range allows; 0 when it does not.
    int WriteItem(int index);

    SkinBitmap* image_ = nullptr; // borrowed from the skin
    int leftWidth_ = 8;
    int midWidth_ = 16;
    int rightWidth_ = 32;
    FontInterface* font_ = nullptr; // borrowed from the skin
    uint32_t textColour_ = 0;
    uint32_t disabledTextColour_ = 0x646464;
    std::vector<String> texts_;
    std::vector<uint8_t> enabled_;
    std::vector<int32_t> values_;
    int selection_ = -1;
    const PopupMenuStyle* popupStyle_ = nullptr;          // borrowed from the skin
    const ScrollbarStyle* popupScrollbarStyle_ = nullptr; // borrowed from the skin
};
