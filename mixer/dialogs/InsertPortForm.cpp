#include "mixer/dialogs/InsertPortForm.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/SkinDialogs.h"

namespace InsertPortForm
{
void Show(Dialog& dialog, const char* comboName, IntItem* item, const InsertPortList& list, bool disabled)
{
    const int count = static_cast<int>(list.entries.size());
    if (item)
    {
        // The range holds every entry: a smaller maximum would refuse the later ones.
        item->minimum = 0;
        item->maximum = LastIndex(list);
        item->Store(count > 0 ? list.choice : 0, 1, 0, nullptr);
    }
    String name;
    name.AssignAscii(comboName);
    auto* box = dynamic_cast<ComboBox*>(dialog.FindControl(name));
    if (!box)
        return;
    box->ClearItems();
    for (int i = 0; i < count; ++i)
        box->AddItem(list.entries[i].text, list.entries[i].selectable, i);
    box->SetDisabled(disabled ? 1 : 0, 0, 1);
}

int LastIndex(const InsertPortList& list)
{
    return list.entries.empty() ? 0 : static_cast<int>(list.entries.size()) - 1;
}

int Selected(const IntItem* item)
{
    return item ? item->value : -1;
}

int Refuse(Skin& skin, Dialog& dialog, const char* messageId)
{
    SkinDialogs(skin).ShowDefinedMessageBox(messageId, &dialog, nullptr);
    return 0;
}
} // namespace InsertPortForm
