#pragma once

#include "framework/base/String.h"

#include <cstdint>
#include <vector>

class DataItem;

// The clipboard of the controls' context menu: one slot per data-item kind (flag, integer,
// real, text). A process has one, shared by every view, so a value copied from one control
// can be pasted into a control of the same kind anywhere; a slot is empty until the first
// copy of its kind and stays filled from then on. User-interface thread only.
class ControlClipboard
{
public:
    // Texts are kept up to maxTextUnits UTF-16 units (at least 1); a longer text keeps its
    // first units.
    explicit ControlClipboard(int maxTextUnits);

    // The process's clipboard, made with the limit of the first call (each program asks with
    // its own).
    static ControlClipboard& Shared(int maxTextUnits);
    int MaxTextUnits() const { return maxTextUnits_; }

    // Whether the slot of that kind (DataItem::Kind) is still empty; kinds without a slot
    // answer 0, so the menu leaves Paste enabled for them.
    int IsEmpty(int kind) const;
    // The item's value into the slot of its kind; items of other kinds change nothing.
    void Copy(const DataItem& item);
    // The slot of the item's kind into the item, with redraw and notification; nothing while
    // the slot is empty. A flag takes the value as it is (no range check), an integer or real
    // item only a value its range accepts (SetItemIntValue, SetItemRealValue), a text the
    // stored text (its owner is told 0).
    void Paste(DataItem& item) const;
    // A text is cut to MaxTextUnits(), but never between the two halves of a surrogate pair.
    void SetText(const String& text);
    void GetText(String& out) const;

private:
    int32_t flag_ = 0;
    int32_t integer_ = 0;
    float real_ = 0.0f;
    int maxTextUnits_;
    std::vector<char16_t> text_;
    bool empty_[4] = {true, true, true, true}; // by kind
};
