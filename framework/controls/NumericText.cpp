#include "framework/controls/NumericText.h"

#include "framework/controls/DataItem.h"
#include "framework/skin/ResponseFunction.h"

namespace NumericText
{
int DisplayText(const DataItem* item, int decimals, const ResponseFunction* response, String& out)
{
    if (!item || item->GetKind() == DataItem::KindText || item->GetKind() == DataItem::KindBare)
        return out.AssignAscii("-");
    if (item->GetKind() == DataItem::KindInt)
    {
        const IntItem* integer = static_cast<const IntItem*>(item);
        if (integer->showValueText)
            return out.Assign(integer->valueText);
    }
    float value = static_cast<float>(static_cast<const NumericItem*>(item)->GetValue());
    if (response)
        value = response->Map(value);
    return out.AssignReal(value, decimals);
}

int EditorText(const DataItem* item, int decimals, const String& shown, String& out)
{
    if (item && item->GetKind() == DataItem::KindInt)
        return out.AssignReal(static_cast<float>(static_cast<const IntItem*>(item)->value), decimals);
    return out.Assign(shown);
}

void StoreEntry(DataItem* item, const String& text, const ResponseFunction* response, int update)
{
    if (!item || (item->GetKind() != DataItem::KindInt && item->GetKind() != DataItem::KindReal))
        return;
    float number = text.ParseReal();
    if (response)
        number = response->Unmap(number);
    static_cast<NumericItem*>(item)->SetValue(number, update, 1, nullptr);
}
}
