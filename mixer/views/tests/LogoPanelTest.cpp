// The floating logo built from the shipped mixer skin: where it goes when its owner moves.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/skin/Skin.h"
#include "mixer/views/LogoPanel.h"

namespace
{
RECT Where(const LogoPanel& logo)
{
    RECT rect = {};
    ::GetWindowRect(logo.GetHandle(), &rect);
    return rect;
}

TEST(LogoPanel, FollowsItsOwnerByTheOwnersChange)
{
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder = folder.substr(0, folder.rfind('\\')) + "\\..\\..\\program\\Skins\\Default";
    String path;
    path.AppendAnsi(folder.c_str());
    Skin skin;
    ASSERT_TRUE(skin.Load(path, nullptr));

    LogoPanel logo;
    ASSERT_EQ(logo.Create(skin, nullptr, nullptr, 100, 80), 1);
    RECT rect = Where(logo);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 80);
    EXPECT_EQ(rect.right - rect.left, 96) << "the size of bg_logo";
    EXPECT_EQ(logo.BackgroundColour(), 0x646464u);

    logo.SetPosition(120, 90, 20, 20);
    struct Row
    {
        const char* label;
        int ownerX, ownerY, move;
        int left, top;
    };
    const Row rows[] = {
        {"moved by (30, 10)", 50, 30, 1, 150, 100},
        {"no change, no move", 50, 30, 1, 150, 100},
        {"the flag clear changes nothing", 10, 10, 0, 150, 100},
        {"back by (-40, -20)", 10, 10, 1, 110, 80},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        logo.OnOwnerMoved(row.ownerX, row.ownerY, row.move);
        rect = Where(logo);
        EXPECT_EQ(rect.left, row.left);
        EXPECT_EQ(rect.top, row.top);
    }
    logo.LeaveViewMode();
    EXPECT_FALSE(::IsWindowVisible(logo.GetHandle()));
    logo.EnterViewMode();
    EXPECT_TRUE(::IsWindowVisible(logo.GetHandle()));
}

// The about command goes to the listener that opens the about box; other commands do not.
TEST(LogoPanel, TheAboutCommandReachesItsListener)
{
    class Recorder : public MenuListener
    {
    public:
        void OnMenuCommand(int command) override { commands.push_back(command); }
        std::vector<int> commands;
    } recorder;
    LogoPanel logo;
    logo.OnMenuCommand(LogoPanel::kAboutCommand); // without a listener: nothing
    logo.SetAboutListener(&recorder);
    logo.OnMenuCommand(24);
    logo.OnMenuCommand(LogoPanel::kAboutCommand);
    EXPECT_EQ(recorder.commands, std::vector<int>{LogoPanel::kAboutCommand});
}
} // namespace
