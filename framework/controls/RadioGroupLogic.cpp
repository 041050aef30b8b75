#include "framework/controls/RadioGroupLogic.h"

#include "framework/controls/Button.h"

#include <algorithm>

RadioGroupLogic::~RadioGroupLogic()
{
    if (item_)
        item_->Unbind(this);
    for (Button* member : members_)
        member->SetRadio(nullptr, -1);
}

void RadioGroupLogic::Bind(DataItem* item, int deleteWhenEmpty)
{
    if (item_)
        item_->Unbind(this);
    item_ = item;
    deleteWhenEmpty_ = deleteWhenEmpty;
    if (item_)
        item_->Bind(this);
}

Button* RadioGroupLogic::Member(int index) const
{
    return index >= 0 && index < MemberCount() ? members_[static_cast<size_t>(index)] : nullptr;
}

void RadioGroupLogic::Add(Button* button)
{
    members_.push_back(button);
    const int index = MemberCount() - 1;
    button->SetRadio(this, index);
    if (item_ && item_->GetKind() == DataItem::KindInt)
        button->SetChecked(static_cast<IntItem*>(item_)->value == index, 1, 1, 1);
}

void RadioGroupLogic::Remove(Button* button)
{
    auto found = std::find(members_.begin(), members_.end(), button);
    if (found == members_.end())
        return;
    members_.erase(found);
    button->SetRadio(nullptr, -1);
    if (deleteWhenEmpty_ && members_.empty())
        delete this; // the destructor leaves the item
}

void RadioGroupLogic::Select(Button* button)
{
    if ((item_ && item_->IsHidden()) || button->IsChecked())
        return;
    // With an item the members report through the item's refresh below, not here.
    const int quiet = item_ ? 1 : 0;
    int index = -1;
    for (int i = 0; i < MemberCount(); ++i)
    {
        Button* member = members_[static_cast<size_t>(i)];
        if (member == button)
        {
            member->SetChecked(1, 1, !quiet, !quiet);
            index = i;
        }
        else if (member->IsChecked())
        {
            member->SetChecked(0, 1, !quiet, !quiet);
        }
    }
    if (index < 0 || !item_ || item_->GetKind() != DataItem::KindInt)
        return;
    auto* item = static_cast<IntItem*>(item_);
    if (!item->Accepts(index))
        return;
    item->value = index;
    item->NotifyOwner(index);
    item->RefreshControls(nullptr);
}

void RadioGroupLogic::OnDataItemChanged()
{
    if (!item_ || item_->GetKind() != DataItem::KindInt)
        return;
    const int value = static_cast<IntItem*>(item_)->value;
    for (int i = 0; i < MemberCount(); ++i)
        members_[static_cast<size_t>(i)]->SetChecked(i == value, 1, 1, 1);
}

void RadioGroupLogic::OnDataItemDetached()
{
    item_ = nullptr;
    OnDataItemChanged();
}
