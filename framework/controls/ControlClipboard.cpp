#include "framework/controls/ControlClipboard.h"

#include "framework/base/StringRef.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/ValueSetters.h"

#include <algorithm>

ControlClipboard::ControlClipboard(int maxTextUnits) : maxTextUnits_(std::max(maxTextUnits, 1)) {}

ControlClipboard& ControlClipboard::Shared(int maxTextUnits)
{
    static ControlClipboard clipboard(maxTextUnits);
    return clipboard;
}

int ControlClipboard::IsEmpty(int kind) const
{
    return kind >= DataItem::KindFlag && kind <= DataItem::KindText && empty_[kind] ? 1 : 0;
}

void ControlClipboard::Copy(const DataItem& item)
{
    switch (item.GetKind())
    {
    case DataItem::KindFlag:
        flag_ = static_cast<const FlagItem&>(item).value;
        break;
    case DataItem::KindInt:
        integer_ = static_cast<const IntItem&>(item).value;
        break;
    case DataItem::KindReal:
        real_ = static_cast<const RealItem&>(item).value;
        break;
    case DataItem::KindText:
        SetText(static_cast<const TextItem&>(item).text);
        return;
    default:
        return;
    }
    empty_[item.GetKind()] = false;
}

void ControlClipboard::Paste(DataItem& item) const
{
    if (IsEmpty(item.GetKind()))
        return;
    switch (item.GetKind())
    {
    case DataItem::KindFlag: {
        auto& flag = static_cast<FlagItem&>(item);
        flag.value = flag_;
        flag.RefreshControls(nullptr);
        flag.NotifyOwner(flag.value);
        break;
    }
    case DataItem::KindInt:
        SetItemIntValue(&static_cast<IntItem&>(item), integer_, 1, 1, nullptr);
        break;
    case DataItem::KindReal:
        SetItemRealValue(&static_cast<RealItem&>(item), real_, 1, 1, nullptr);
        break;
    case DataItem::KindText: {
        auto& text = static_cast<TextItem&>(item);
        String stored;
        GetText(stored);
        // Without memory for the text the item keeps its own and nobody hears of a change.
        if (!text.text.Assign(stored))
            return;
        text.RefreshControls(nullptr);
        text.NotifyOwner(0);
        break;
    }
    default:
        break;
    }
}

void ControlClipboard::SetText(const String& text)
{
    int length = std::min(text.Length(), maxTextUnits_);
    // A high surrogate whose partner falls past the cut goes with it.
    if (length < text.Length() && length > 0 && text.WideCharAt(length - 1) >= 0xD800 &&
        text.WideCharAt(length - 1) <= 0xDBFF)
        --length;
    text_.assign(text.Text(), text.Text() + length);
    empty_[DataItem::KindText] = false;
}

void ControlClipboard::GetText(String& out) const
{
    out.Assign(StringRef(text_.data(), static_cast<int>(text_.size())));
}
