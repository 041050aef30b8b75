#include "framework/controls/PageTab.h"

#include "framework/controls/Button.h"
#include "framework/controls/DataItem.h"

#include <algorithm>

TabPage* PageTab::Page(int index) const
{
    return index >= 0 && index < PageCount() ? pages[static_cast<size_t>(index)].get() : nullptr;
}

IntItem* PageTab::SelectionItem() const
{
    DataItem* item = selectionLogic.GetItem();
    return item && item->GetKind() == DataItem::KindInt ? static_cast<IntItem*>(item) : nullptr;
}

void PageTab::Forget(Control* control)
{
    for (const auto& page : pages)
    {
        page->controls.erase(std::remove(page->controls.begin(), page->controls.end(), control), page->controls.end());
        if (static_cast<Control*>(page->tabButton) == control)
            page->tabButton = nullptr;
    }
}
