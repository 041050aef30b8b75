// Popup menus under Wine: built from the test skin, driven by keys, the wheel, the scroll bar
// and one real click. Every menu window costs Wine about 2 s without a window manager, so
// the tests open few.
#include "framework/controls/PopupMenu.h"
#include "framework/controls/ScrollPanel.h"
#include "framework/controls/tests/ScrollTestSupport.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/tests/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace controlstest;
using namespace scrolltest;

namespace
{
// Counts the menus it hears of going.
class CountingSkin : public Skin
{
public:
    int released = 0;
    void OnPopupMenuReleased(PopupMenu*) override { ++released; }
};

// Writes what it hears, and whether any menu (or a watched window) still existed then.
class RecordingListener : public MenuListener
{
public:
    Log log;
    std::vector<HWND> watched;

    void OnMenuCommand(int commandId) override
    {
        bool alive = false;
        for (HWND window : watched)
            alive |= ::IsWindow(window) != 0;
        log.push_back("command " + std::to_string(commandId) + (PopupMenu::Current() ? " menu current" : "") +
                      (alive ? " window alive" : ""));
    }
    void OnSubmenuOpen(int commandId, PopupMenu* submenu) override
    {
        log.push_back("open " + std::to_string(commandId) + " with " + std::to_string(submenu->ItemCount()));
    }
};

String Name(const char* text)
{
    return Text(text);
}

TEST(PopupMenu, SetUpFailsWithoutFontFrameOrRowsOfAPixel)
{
    ScrollSkin skin;
    for (const char* name : {"Unstyled", "Missing"})
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(skin.skin.CreatePopupMenu(name), nullptr);
        EXPECT_EQ(PopupMenu::Current(), nullptr); // the menu that was dropped is not current
    }
    PopupMenuStyle style = *skin.skin.FindPopupMenuStyle(Name("Default"));
    PopupMenu menu;
    EXPECT_EQ(menu.SetStyle(nullptr, -1, nullptr), 0);
    style.frame[BotMid] = nullptr;
    EXPECT_EQ(menu.SetStyle(&style, -1, nullptr), 0);
    style = *skin.skin.FindPopupMenuStyle(Name("Default"));
    style.itemVertSpacing = -style.font->Height(); // rows of no height
    EXPECT_EQ(menu.SetStyle(&style, -1, nullptr), 0);
    style.font = nullptr;
    EXPECT_EQ(menu.SetStyle(&style, -1, nullptr), 0);
    EXPECT_EQ(menu.AddItem("refused without a style", 1, 0, 0, nullptr), 0);
    EXPECT_EQ(menu.Track(10, 10, nullptr, nullptr, 0), 0);

    // A skin without any popup-menu style builds no menu.
    skintest::FixtureSkin fixture;
    Skin bare;
    ASSERT_EQ(bare.Load(fixture.Path(), nullptr), 1);
    EXPECT_EQ(bare.CreatePopupMenu("Main"), nullptr);
}

TEST(PopupMenu, TheSkinBuildsItemsSeparatorsAndSubmenusFromItsLayout)
{
    CountingSkin skin;
    ASSERT_EQ(skin.Load(SkinPath(), nullptr), 1);
    PopupMenu* menu = skin.CreatePopupMenu("Main");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetSkin(), &skin);
    ASSERT_EQ(menu->ItemCount(), 7);
    struct Row
    {
        const char* text;
        int separator;
        int submenu;
        int disabled;
        int checked;
        int commandId;
        bool icon;
    } rows[] = {
        {"Open", 0, 0, 0, 0, 1, false},      {"Save", 0, 0, 0, 1, 2, false},   {"UNDEFINED", 0, 0, 0, 0, 3, false},
        {"", 1, 0, 0, 0, -1, false},         {"Disabled", 0, 0, 1, 0, 4, false}, {"More", 0, 1, 0, 0, 5, false},
        {"With icon", 0, 0, 0, 0, 6, true},
    };
    for (int i = 0; i < 7; ++i)
    {
        SCOPED_TRACE(i);
        const PopupMenuItem& item = *menu->ItemAt(i);
        EXPECT_EQ(Narrow(item.text), rows[i].text);
        EXPECT_EQ(item.separator, rows[i].separator);
        EXPECT_EQ(item.hasSubmenu, rows[i].submenu);
        EXPECT_EQ(item.disabled, rows[i].disabled);
        EXPECT_EQ(item.checked, rows[i].checked);
        EXPECT_EQ(item.commandId, rows[i].commandId);
        EXPECT_EQ(item.icon != nullptr, rows[i].icon);
    }
    EXPECT_EQ(Narrow(menu->ItemAt(5)->submenuName), "More");
    EXPECT_EQ(menu->FindItem(6), 6);
    EXPECT_EQ(menu->FindItem(99), -1);
    EXPECT_EQ(menu->ItemAt(7), nullptr);
    menu->SetItemChecked(99, 1); // outside the items: nothing happens
    EXPECT_EQ(menu->IsItemChecked(99), 0);
    delete menu;
    EXPECT_EQ(skin.released, 1);
    EXPECT_EQ(PopupMenu::Current(), nullptr);
}

TEST(PopupMenu, ThirtyItemsShow25RowsAndScrollByWheelKeysAndBar)
{
    ScrollSkin skin;
    RecordingListener listener;
    auto* menu = new PopupMenu();
    ASSERT_EQ(menu->SetStyle(skin.skin.FindPopupMenuStyle(Name("Default")), 97, skin.Style("Default", 1)), 1);
    for (int i = 0; i < 30; ++i)
        menu->AddItem(("Item " + std::to_string(i)).c_str(), i, 0, 0, nullptr);
    const int row = menu->RowHeight();
    EXPECT_EQ(menu->Height(), 25 * row + 8);
    ASSERT_EQ(menu->Track(100, 100, &listener, nullptr, 0), 1);
    EXPECT_EQ(menu->Width(), 112); // the minimum of 97, rounded up to 16
    ASSERT_NE(menu->GetScrollPanel(), nullptr);
    Scroller* bar = menu->GetScrollPanel()->GetScroller();
    EXPECT_EQ(bar->GetRange(), 5);
    EXPECT_EQ(bar->GetTotal(), 30 * row);

    menu->OnMouseWheel(MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0, 0);
    EXPECT_EQ(menu->ScrollPosition(), 1);
    menu->OnMouseWheel(MAKEWPARAM(0, WHEEL_DELTA), 0, 0);
    menu->OnMouseWheel(MAKEWPARAM(0, WHEEL_DELTA), 0, 0);
    EXPECT_EQ(menu->ScrollPosition(), 0);
    // Up with nothing highlighted takes the last item and scrolls it into view.
    EXPECT_EQ(menu->OnKey(VK_UP), 1);
    EXPECT_EQ(menu->HighlightedIndex(), 29);
    EXPECT_EQ(menu->ScrollPosition(), 5);
    EXPECT_EQ(bar->GetPosition(), 5);
    // A press on the bar's decrement button (left of the rows' end, over the bar) steps back.
    const int buttonX = menu->Width() - 17 + 6;
    menu->OnMouseDown(0, buttonX, 1 + 6);
    menu->GetScrollPanel()->OnMouseUp(0, 6, 6);
    EXPECT_EQ(menu->ScrollPosition(), 4);
    EXPECT_EQ(menu->HasCapture(), 1); // taken back at the scroll's end
    PopupMenu::CloseAll();
    EXPECT_TRUE(listener.log.empty());
}

TEST(PopupMenu, KeysSkipSeparatorsAndDisabledItemsAndSubmenusComeFromTheMenusSkin)
{
    CountingSkin skin;
    ASSERT_EQ(skin.Load(SkinPath(), nullptr), 1);
    // Another skin, without menus, becomes the current one.
    skintest::FixtureSkin fixture;
    Skin other;
    ASSERT_EQ(other.Load(fixture.Path(), nullptr), 1);
    ASSERT_EQ(Skin::Current(), &other);

    RecordingListener listener;
    PopupMenu* menu = skin.CreatePopupMenu("Main");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Track(200, 200, &listener, nullptr, 0), 1);
    EXPECT_EQ(NativeWindow::GetCurrentPopup(), menu);
    listener.watched.push_back(menu->GetHandle());

    std::vector<int> highlighted;
    for (int i = 0; i < 6; ++i)
    {
        menu->OnKey(VK_DOWN);
        highlighted.push_back(menu->HighlightedIndex());
    }
    for (int i = 0; i < 5; ++i)
    {
        menu->OnKey(VK_UP);
        highlighted.push_back(menu->HighlightedIndex());
    }
    EXPECT_EQ(highlighted, (std::vector<int>{0, 1, 2, 5, 6, 6, 5, 2, 1, 0, 0}));

    for (int i = 0; i < 3; ++i)
        menu->OnKey(VK_DOWN);
    EXPECT_EQ(menu->OnKey(VK_RIGHT), 1);
    PopupMenu* submenu = menu->Submenu();
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(Narrow(submenu->ItemAt(0)->text), "First of more");
    EXPECT_EQ(PopupMenu::Current(), submenu);
    EXPECT_EQ(NativeWindow::GetCurrentPopup(), submenu);
    listener.watched.push_back(submenu->GetHandle());
    EXPECT_EQ(submenu->OnKey(VK_ESCAPE), 1);
    EXPECT_EQ(menu->Submenu(), nullptr);
    EXPECT_EQ(PopupMenu::Current(), menu);
    EXPECT_EQ(NativeWindow::GetCurrentPopup(), menu);

    menu->OnKey(VK_DOWN);
    EXPECT_EQ(menu->OnKey(VK_RETURN), 1);
    EXPECT_EQ(listener.log, (Log{"open 5 with 2", "command 6"}));
    EXPECT_EQ(PopupMenu::Current(), nullptr);
    EXPECT_EQ(NativeWindow::GetCurrentPopup(), nullptr);
    EXPECT_EQ(skin.released, 2);
}

TEST(PopupMenu, AClickOutsideClosesItWithoutCallingTheListener)
{
    ScrollSkin skin;
    RecordingListener listener;
    PopupMenu* menu = skin.skin.CreatePopupMenu("More");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Track(300, 300, &listener, nullptr, 0), 1);
    Pump();
    SendMouse(MOUSEEVENTF_LEFTDOWN, 40, 40);
    SendMouse(MOUSEEVENTF_LEFTUP, 40, 40);
    for (int i = 0; i < 500 && PopupMenu::Current(); ++i)
    {
        Pump();
        ::Sleep(10);
    }
    EXPECT_EQ(PopupMenu::Current(), nullptr);
    EXPECT_TRUE(listener.log.empty());
}

TEST(PopupMenu, AMenuWhoseOwnerWentAwayNeitherCallsTheListenerNorTheOwner)
{
    ScrollSkin skin;
    RecordingListener listener;
    auto* owner = new Window();
    ASSERT_EQ(owner->Create(nullptr, WS_POPUP, 0, 0, 50, 50, nullptr, 0, 0), 1);
    PopupMenu* menu = skin.skin.CreatePopupMenu("More");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Track(300, 300, &listener, owner, 0), 1);
    menu->OnKey(VK_DOWN);
    delete owner; // its owned popups go with its window
    Pump();
    EXPECT_EQ(menu->GetHandle(), nullptr);
    EXPECT_EQ(PopupMenu::Current(), menu); // deleted at the next key or click
    EXPECT_EQ(menu->OnKey(VK_RETURN), 0);
    EXPECT_EQ(PopupMenu::Current(), nullptr);
    EXPECT_TRUE(listener.log.empty());
}
} // namespace
