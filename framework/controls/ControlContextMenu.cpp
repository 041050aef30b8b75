#include "framework/controls/ControlContextMenu.h"

#include "framework/controls/DataItem.h"
#include "framework/controls/PopupMenu.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/skin/Skin.h"

int ControlContextMenu::Show(Skin& skin, DataItem* item, MenuListener* listener, Window* owner,
                             const ControlClipboard& clipboard)
{
    if (!item || item->IsDisabled() || item->IsHidden())
        return 0;
    int x = 0, y = 0;
    if (!Cursor::GetPosition(x, y))
        return 0;
    PopupMenu* menu = skin.CreatePopupMenu("ControlContextMenu");
    if (!menu)
        return 0;
    const int paste = menu->FindItem(kPaste);
    if (paste >= 0)
        menu->SetItemDisabled(paste, clipboard.IsEmpty(item->GetKind()));
    if (!menu->Track(x, y, listener, owner, 1))
    {
        delete menu;
        return 0;
    }
    return 1;
}

void ControlContextMenu::OnCommand(DataItem* item, int id, ControlClipboard& clipboard)
{
    if (!item)
        return;
    switch (id)
    {
    case kReset:
        item->Reset(1, 1, nullptr);
        break;
    case kCopy:
        clipboard.Copy(*item);
        break;
    case kPaste:
        clipboard.Paste(*item);
        break;
    default:
        break;
    }
}
