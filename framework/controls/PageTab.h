#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/controls/RadioGroupLogic.h"

#include <cstdint>
#include <memory>
#include <vector>

class Button;
class Control;
class FontInterface;
class IntItem;
class SkinBitmap;

// One page of a page tab: the controls shown while it is the current page and its tab button.
class TabPage : public Object
{
public:
    String name;
    String title;
    std::vector<Control*> controls; // borrowed: the panel owns its controls
    Button* tabButton = nullptr;    // borrowed, as the controls
};

// A row of tab buttons over a bordered page area, one set of controls per page; only the
// current page's controls are visible. The selection is the panel's integer item named after
// the tab, kept by the tab's own radio logic over the tab buttons. Owned by its panel, which
// does the page operations (Panel::AddTabPage and the others).
class PageTab : public Object
{
public:
    int PageCount() const { return static_cast<int>(pages.size()); }
    TabPage* Page(int index) const;
    // The panel's item the logic is bound to; null once the item is gone.
    IntItem* SelectionItem() const;
    // Drops a control from the pages that list it (the panel deletes it).
    void Forget(Control* control);

    String name;
    int x = 0;
    int y = 0;
    int width = 0; // a multiple of 16
    int height = 0;
    std::vector<std::unique_ptr<TabPage>> pages;
    // Owned here rather than by its last button, so that removing every page leaves it whole.
    RadioGroupLogic selectionLogic;
    SkinBitmap* tabImages = nullptr; // borrowed from the skin, as is the font
    FontInterface* font = nullptr;
    uint32_t textColour = 0;
    uint32_t checkedTextColour = 0;
    int leftSegment = 0;
    int middleSegment = 0;
    int rightSegment = 0;
    int currentPage = 0;
};
