#pragma once

#include "framework/base/Object.h"
#include "framework/controls/DataItem.h"

#include <vector>

class Button;

// Keeps a set of buttons mutually exclusive through one integer item holding the selected
// index (or, without an item, through the buttons' own states). A logic bound with
// deleteWhenEmpty deletes itself with its last button.
class RadioGroupLogic : public Object, public DataItemListener
{
public:
    RadioGroupLogic() = default;
    // Leaves its item and its members, so that neither calls it afterwards.
    ~RadioGroupLogic() override;
    RadioGroupLogic(const RadioGroupLogic&) = delete;
    RadioGroupLogic& operator=(const RadioGroupLogic&) = delete;

    void Bind(DataItem* item, int deleteWhenEmpty);
    DataItem* GetItem() const { return item_; }
    int MemberCount() const { return static_cast<int>(members_.size()); }
    Button* Member(int index) const;

    void Add(Button* button);
    // Called by the button's destructor; may delete the logic.
    void Remove(Button* button);
    void Select(Button* button);

    void OnDataItemChanged() override;
    void OnDataItemDetached() override;

private:
    std::vector<Button*> members_; // borrowed, in adding order
    DataItem* item_ = nullptr;     // borrowed
    int deleteWhenEmpty_ = 0;
};
