// The control context menu under Wine, from the shipped mixer skin. Every menu window costs
// Wine a moment without a window manager, so the tests open few.
#include "framework/controls/ControlContextMenu.h"
#include "framework/controls/tests/BoundItem.h"

#include "framework/controls/PopupMenu.h"
#include "framework/controls/tests/ShotSupport.h"
#include "framework/platform/cursor/Cursor.h"

#include <gtest/gtest.h>

#include <string>

using namespace itemtest;

namespace
{
// Passes the chosen command with the item on, as a view's menu listener does.
class ViewListener : public MenuListener
{
public:
    ViewListener(DataItem& item, ControlClipboard& clipboard) : item_(item), clipboard_(clipboard) {}
    void OnMenuCommand(int commandId) override
    {
        commands.push_back(commandId);
        ControlContextMenu::OnCommand(&item_, commandId, clipboard_);
    }
    std::vector<int> commands;

private:
    DataItem& item_;
    ControlClipboard& clipboard_;
};

class ContextMenuFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(shot::LoadMixerSkin(skin_), 1);
        Cursor::SetPosition(120, 100);
    }
    void TearDown() override { PopupMenu::CloseAll(); }

    // Whether the open menu offers Paste; -1 without a menu or its entry.
    static int PasteEnabled()
    {
        PopupMenu* menu = PopupMenu::Current();
        const int index = menu ? menu->FindItem(ControlContextMenu::kPaste) : -1;
        return index < 0 ? -1 : !menu->ItemAt(index)->disabled;
    }

    Skin skin_;
    ControlClipboard clipboard_{199};
};

TEST_F(ContextMenuFixture, ItOpensOnlyForAnItemThatIsThereEnabledAndShown)
{
    IntItem disabled, hidden;
    disabled.SetDisabled(1, 0);
    hidden.SetHidden(1, 0);
    EXPECT_EQ(ControlContextMenu::Show(skin_, nullptr, nullptr, nullptr, clipboard_), 0);
    EXPECT_EQ(ControlContextMenu::Show(skin_, &disabled, nullptr, nullptr, clipboard_), 0);
    EXPECT_EQ(ControlContextMenu::Show(skin_, &hidden, nullptr, nullptr, clipboard_), 0);
    EXPECT_EQ(PopupMenu::Current(), nullptr);
    // A skin without the menu shows nothing.
    Skin empty;
    IntItem item;
    EXPECT_EQ(ControlContextMenu::Show(empty, &item, nullptr, nullptr, clipboard_), 0);
    EXPECT_EQ(PopupMenu::Current(), nullptr);
}

TEST_F(ContextMenuFixture, PasteIsOfferedOnlyForAKindThatWasCopied)
{
    IntItem integer;
    RealItem real;
    DataItem bare;
    integer.value = 9;
    ASSERT_EQ(ControlContextMenu::Show(skin_, &integer, nullptr, nullptr, clipboard_), 1);
    PopupMenu* menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    int x = 0, y = 0;
    Cursor::GetPosition(x, y);
    RECT box = {};
    ::GetWindowRect(menu->GetHandle(), &box);
    EXPECT_EQ(box.left, x); // at the pointer
    EXPECT_EQ(box.top, y);
    for (int id : {ControlContextMenu::kReset, ControlContextMenu::kCopy})
        EXPECT_EQ(menu->ItemAt(menu->FindItem(id))->disabled, 0) << id;
    EXPECT_EQ(PasteEnabled(), 0);
    PopupMenu::CloseAll();

    clipboard_.Copy(integer);
    struct Case
    {
        const char* trace;
        DataItem* item;
        int pasteEnabled;
    } cases[] = {{"integer", &integer, 1}, {"real", &real, 0}, {"no kind", &bare, 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        ASSERT_EQ(ControlContextMenu::Show(skin_, c.item, nullptr, nullptr, clipboard_), 1);
        EXPECT_EQ(PasteEnabled(), c.pasteEnabled);
        PopupMenu::CloseAll();
    }
}

TEST_F(ContextMenuFixture, AChosenCommandReachesTheItemThroughTheListener)
{
    Bound<RealItem> bound;
    bound.item->minimum = -90;
    bound.item->maximum = 6;
    bound.item->defaultValue = -6;
    bound.item->value = 2.5f;
    ViewListener listener(*bound.item, clipboard_);
    ASSERT_EQ(ControlContextMenu::Show(skin_, bound.item.get(), &listener, nullptr, clipboard_), 1);
    PopupMenu* menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    menu->OnKey(VK_DOWN); // the first entry: reset
    EXPECT_EQ(menu->OnKey(VK_RETURN), 1);
    EXPECT_EQ(listener.commands, (std::vector<int>{ControlContextMenu::kReset}));
    EXPECT_EQ(bound.item->value, -6.0f);
    EXPECT_EQ(bound.log, (Log{"redraw a", "redraw b", "notify -6"}));
    EXPECT_EQ(PopupMenu::Current(), nullptr);
}

TEST_F(ContextMenuFixture, CommandsResetCopyAndPasteAndIgnoreTheRest)
{
    Bound<IntItem> source, target;
    source.item->maximum = 100;
    source.item->defaultValue = 10;
    source.item->value = 42;
    target.item->maximum = 100;

    ControlContextMenu::OnCommand(target.item.get(), ControlContextMenu::kPaste, clipboard_);
    EXPECT_TRUE(target.log.empty()); // nothing copied yet
    ControlContextMenu::OnCommand(source.item.get(), ControlContextMenu::kCopy, clipboard_);
    EXPECT_TRUE(source.log.empty());
    ControlContextMenu::OnCommand(target.item.get(), ControlContextMenu::kPaste, clipboard_);
    EXPECT_EQ(target.item->value, 42);
    EXPECT_EQ(target.log, (Log{"notify 42", "redraw a", "redraw b"}));
    ControlContextMenu::OnCommand(source.item.get(), ControlContextMenu::kReset, clipboard_);
    EXPECT_EQ(source.item->value, 10);
    EXPECT_EQ(source.log, (Log{"notify 10", "redraw a", "redraw b"}));

    source.log.clear();
    for (int other : {0, 19, 23, -1})
        ControlContextMenu::OnCommand(source.item.get(), other, clipboard_);
    ControlContextMenu::OnCommand(nullptr, ControlContextMenu::kReset, clipboard_);
    EXPECT_TRUE(source.log.empty());
    EXPECT_EQ(source.item->value, 10);
}
} // namespace
