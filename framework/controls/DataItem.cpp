#include "framework/controls/DataItem.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace DataItemValues
{
namespace
{
// Every float in (kBelow, kAbove) truncates to a 32-bit integer; both are exact floats.
constexpr float kAbove = 2147483648.0f;
constexpr float kBelow = -2147483904.0f; // the float just below -2^31
}

bool ToInt32(float value, int32_t& out)
{
    // A typed "1e12" or a NaN from a broken calculation would make the cast undefined.
    if (std::isnan(value) || value >= kAbove || value <= kBelow)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

int32_t SaturateToInt32(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= kAbove)
        return INT32_MAX;
    if (value <= kBelow)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}
}

DataItem::~DataItem()
{
    // A listener may unbind itself while it hears the news: work on the list taken away.
    std::vector<DataItemListener*> listeners;
    listeners.swap(listeners_);
    for (DataItemListener* listener : listeners)
        listener->OnDataItemDetached();
}

void DataItem::Reset(int, int, DataItemListener*)
{
}

void DataItem::Bind(DataItemListener* listener)
{
    listeners_.push_back(listener);
}

void DataItem::Unbind(DataItemListener* listener)
{
    auto found = std::find(listeners_.begin(), listeners_.end(), listener);
    if (found != listeners_.end())
        listeners_.erase(found);
}

void DataItem::RefreshControls(DataItemListener* except)
{
    // A listener's redraw may bind or unbind others (a notified owner may even delete them):
    // walk a copy and skip whoever is no longer bound.
    const std::vector<DataItemListener*> listeners = listeners_;
    for (DataItemListener* listener : listeners)
        if (listener != except && std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->OnDataItemChanged();
}

int DataItem::NotifyOwner(int argument)
{
    return owner_ ? owner_->OnOwnedItemNotify(this, argument) : 0;
}

void DataItem::SetDisabled(int flag, int redraw)
{
    disabled_ = flag;
    if (redraw)
        RefreshControls(nullptr);
}

void DataItem::SetHidden(int flag, int redraw)
{
    hidden_ = flag;
    if (redraw)
        RefreshControls(nullptr);
}

void DataItem::RedrawThenNotify(int update, int notify, DataItemListener* except, int argument)
{
    if (update)
        RefreshControls(except);
    if (notify)
        NotifyOwner(argument);
}

void DataItem::NotifyThenRedraw(int update, int notify, DataItemListener* except, int argument)
{
    if (notify)
        NotifyOwner(argument);
    if (update)
        RefreshControls(except);
}

void FlagItem::SetValue(float newValue, int update, int notify, DataItemListener* except)
{
    int32_t whole = 0;
    if (!DataItemValues::ToInt32(newValue, whole))
        return;
    value = whole;
    RedrawThenNotify(update, notify, except, value);
}

void FlagItem::Reset(int update, int notify, DataItemListener* except)
{
    value = defaultValue;
    RedrawThenNotify(update, notify, except, value);
}

int IntItem::Accepts(int32_t candidate) const
{
    return minimum == maximum || (candidate >= minimum && candidate <= maximum);
}

void IntItem::Store(int32_t candidate, int update, int notify, DataItemListener* except)
{
    if (!Accepts(candidate))
        return;
    value = candidate;
    NotifyThenRedraw(update, notify, except, value);
}

void IntItem::SetValue(float newValue, int update, int notify, DataItemListener* except)
{
    int32_t whole = 0;
    if (DataItemValues::ToInt32(newValue, whole))
        Store(whole, update, notify, except);
}

void IntItem::Reset(int update, int notify, DataItemListener* except)
{
    Store(defaultValue, update, notify, except);
}

void RealItem::SetValue(float newValue, int update, int notify, DataItemListener* except)
{
    // A NaN bound makes the range count as open, as equal bounds do.
    const bool ranged = !std::isnan(minimum) && !std::isnan(maximum) && minimum != maximum;
    if (ranged && (std::isnan(newValue) || newValue < minimum || newValue > maximum))
        return;
    value = newValue;
    RedrawThenNotify(update, notify, except, DataItemValues::SaturateToInt32(value));
}

void RealItem::Reset(int update, int notify, DataItemListener* except)
{
    SetValue(defaultValue, update, notify, except);
}

void TextItem::Reset(int update, int notify, DataItemListener* except)
{
    text.Assign(defaultText);
    RedrawThenNotify(update, notify, except, 0);
}
